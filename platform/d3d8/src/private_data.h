// Data that callers attach to an object under a GUID (SetPrivateData and friends).
#pragma once

#include <vector>

#include "d3d8_types.h"

class PrivateDataStore {
 public:
  PrivateDataStore() = default;
  PrivateDataStore(const PrivateDataStore&) = delete;
  PrivateDataStore& operator=(const PrivateDataStore&) = delete;
  ~PrivateDataStore();

  HRESULT Set(REFGUID guid, const void* data, DWORD size, DWORD flags);
  HRESULT Get(REFGUID guid, void* data, DWORD* size) const;
  HRESULT Free(REFGUID guid);

 private:
  struct Entry {
    GUID guid;
    std::vector<BYTE> bytes;
    IUnknown* object = nullptr;  // D3DSPD_IUNKNOWN: the referenced object
  };
  static void Drop(Entry& entry);
  std::vector<Entry> entries_;
};
