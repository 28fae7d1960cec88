#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <string>

#include "kernel_handles.h"
#include "utf.h"
#include "win_file.h"

namespace {

class FileObject : public KernelObject {
 public:
  explicit FileObject(int fd) : fd_(fd) {}
  ~FileObject() override { ::close(fd_); }
  int fd() const { return fd_; }

 private:
  int fd_;
};

class MappingObject : public KernelObject {
 public:
  MappingObject(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~MappingObject() override { ::close(fd_); }
  int fd() const { return fd_; }
  uint64_t size() const { return size_; }

 private:
  int fd_;  // our own duplicate: the mapping outlives the file handle
  uint64_t size_;
};

// Views stay valid after their mapping handle closes, as on the platform; the
// table remembers each view's length for the unmap.
struct ViewTable {
  std::mutex mutex;
  std::map<const void*, size_t> lengths;
};
ViewTable& Views() {
  static ViewTable views;
  return views;
}

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_INVALID_PARAMETER;
  }
}

HANDLE OpenForReading(const char* path, DWORD access, DWORD disposition) {
  if (path == nullptr || access != GENERIC_READ || disposition != OPEN_EXISTING) {
    SetLastError(path == nullptr ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return AddKernelObject(std::make_unique<FileObject>(fd));
}

}  // namespace

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  return OpenForReading(path, access, disposition);
}

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  if (path == nullptr) return OpenForReading(nullptr, access, disposition);
  std::string utf8;
  if (!Utf16ToUtf8(path, utf8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return OpenForReading(utf8.c_str(), access, disposition);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  auto* f = FindKernelObjectAs<FileObject>(file);
  struct stat st {};
  if (f == nullptr || ::fstat(f->fd(), &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh, DWORD sizeLow, LPCSTR) {
  auto* f = FindKernelObjectAs<FileObject>(file);
  if (f == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (protect != PAGE_READONLY || sizeHigh != 0 || sizeLow != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(f->fd(), &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (st.st_size == 0) {
    SetLastError(ERROR_FILE_INVALID);
    return nullptr;
  }
  int fd = ::fcntl(f->fd(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return AddKernelObject(std::make_unique<MappingObject>(fd, static_cast<uint64_t>(st.st_size)));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
  auto* m = FindKernelObjectAs<MappingObject>(mapping);
  if (m == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (access != FILE_MAP_READ || offsetHigh != 0 || offsetLow != 0 || bytes > m->size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const size_t length = bytes == 0 ? static_cast<size_t>(m->size()) : bytes;
  void* base = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, m->fd(), 0);
  if (base == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  ViewTable& views = Views();
  std::lock_guard lock(views.mutex);
  views.lengths[base] = length;
  return base;
}

BOOL UnmapViewOfFile(LPCVOID base) {
  size_t length = 0;
  {
    ViewTable& views = Views();
    std::lock_guard lock(views.mutex);
    auto it = views.lengths.find(base);
    if (it == views.lengths.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    length = it->second;
    views.lengths.erase(it);
  }
  ::munmap(const_cast<void*>(base), length);
  return TRUE;
}
