// A whole file made visible as one read-only block of memory.
#pragma once

#include "win_types.h"

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Close(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // `path` is UTF-16 (const WCHAR*) when `wide` is nonzero, else an 8-bit string.
  // D3DERR_INVALIDCALL for a null path, GXERR_INVALID_DATA when the file cannot
  // be opened, mapped or sized. Whatever was acquired stays until Close.
  HRESULT Open(const void* path, BOOL wide);
  // Releases the view, the mapping and the file; safe to call more than once.
  void Close();

  const BYTE* data() const { return view; }
  DWORD bytes() const { return size; }

  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = INVALID_HANDLE_VALUE;
  const BYTE* view = nullptr;
  DWORD size = 0;
};
