#include "kernel_handles.h"

#include <map>
#include <mutex>

#include "win_file.h"

namespace {
struct HandleTable {
  std::mutex mutex;
  std::map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}
}  // namespace

HANDLE AddKernelObject(std::unique_ptr<KernelObject> object) {
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  HANDLE handle = object.get();
  t.objects.emplace(handle, std::move(object));
  return handle;
}

KernelObject* FindKernelObject(HANDLE handle) {
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(handle);
  return it == t.objects.end() ? nullptr : it->second.get();
}

bool RemoveKernelObject(HANDLE handle) {
  std::unique_ptr<KernelObject> doomed;  // destroyed outside the lock
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(handle);
  if (it == t.objects.end()) return false;
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

BOOL CloseHandle(HANDLE object) {
  if (!RemoveKernelObject(object)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
