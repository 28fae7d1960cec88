#include "gfx/image/mapped_file.h"

#include <vector>

#include "d3d8_types.h"
#include "gfx/image/gx_image.h"
#include "win_codepage.h"
#include "win_file.h"
#include "win_sysinfo.h"

namespace {

bool IsValidHandle(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

bool IsWindowsNt() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Wide path on a platform without wide file calls: the ANSI form, or empty on failure.
std::vector<char> ToAnsiPath(const WCHAR* path) {
  const int needed = WideCharToMultiByte(CP_ACP, 0, path, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::vector<char> ansi(static_cast<size_t>(needed));
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, ansi.data(), needed, nullptr, nullptr) != needed) return {};
  return ansi;
}

}  // namespace

HRESULT MappedFile::Open(const void* path, BOOL wide) {
  if (path == nullptr) return D3DERR_INVALIDCALL;

  std::vector<char> ansiPath;
  const char* narrow = static_cast<const char*>(path);
  if (wide && !IsWindowsNt()) {
    ansiPath = ToAnsiPath(static_cast<const WCHAR*>(path));
    if (ansiPath.empty()) return GXERR_INVALID_DATA;
    narrow = ansiPath.data();
    wide = FALSE;
  }

  file = wide ? CreateFileW(static_cast<const WCHAR*>(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr)
              : CreateFileA(narrow, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (!IsValidHandle(file)) return GXERR_INVALID_DATA;

  mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!IsValidHandle(mapping)) return GXERR_INVALID_DATA;

  view = static_cast<const BYTE*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  if (view == nullptr) return GXERR_INVALID_DATA;

  // A file of 4 GiB or more cannot be described by the 32-bit size: refuse it
  // rather than hand the readers a size that does not match the view.
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE || high != 0) return GXERR_INVALID_DATA;
  size = low;
  return S_OK;
}

void MappedFile::Close() {
  if (view != nullptr) UnmapViewOfFile(view);
  view = nullptr;
  size = 0;
  if (IsValidHandle(mapping)) CloseHandle(mapping);
  mapping = INVALID_HANDLE_VALUE;
  if (IsValidHandle(file)) CloseHandle(file);
  file = INVALID_HANDLE_VALUE;
}
