#include "private_data.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "debug_channel.h"

PrivateDataStore::~PrivateDataStore() {
  for (Entry& entry : entries_) Drop(entry);
}

void PrivateDataStore::Drop(Entry& entry) {
  if (entry.object != nullptr) entry.object->Release();
  entry.object = nullptr;
}

HRESULT PrivateDataStore::Set(REFGUID guid, const void* data, DWORD size, DWORD flags) {
  if (flags & ~D3DSPD_IUNKNOWN) return Fail(D3DERR_INVALIDCALL, "SetPrivateData", "unknown flags");
  if (data == nullptr && size != 0) return Fail(D3DERR_INVALIDCALL, "SetPrivateData", "null data");
  Entry entry{guid, {}, nullptr};
  if (flags & D3DSPD_IUNKNOWN) {
    if (size != sizeof(IUnknown*) || data == nullptr)
      return Fail(D3DERR_INVALIDCALL, "SetPrivateData", "an interface pointer must be pointer-sized");
    std::memcpy(&entry.object, data, sizeof(IUnknown*));
  } else {
    try {
      entry.bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
  if (entry.object != nullptr) entry.object->AddRef();  // before Free: it may be the same object
  Free(guid);
  try {
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    Drop(entry);
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

HRESULT PrivateDataStore::Get(REFGUID guid, void* data, DWORD* size) const {
  if (size == nullptr) return Fail(D3DERR_INVALIDCALL, "GetPrivateData", "null size");
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.guid == guid; });
  if (it == entries_.end()) return Fail(D3DERR_NOTFOUND, "GetPrivateData", "no data under this GUID");
  const DWORD needed = it->object != nullptr ? sizeof(IUnknown*) : static_cast<DWORD>(it->bytes.size());
  if (data == nullptr || *size < needed) {
    *size = needed;
    return data == nullptr ? D3D_OK : Fail(D3DERR_MOREDATA, "GetPrivateData", "buffer too small");
  }
  if (it->object != nullptr) {
    it->object->AddRef();
    std::memcpy(data, &it->object, sizeof(IUnknown*));
  } else if (needed != 0) {
    std::memcpy(data, it->bytes.data(), needed);
  }
  *size = needed;
  return D3D_OK;
}

HRESULT PrivateDataStore::Free(REFGUID guid) {
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.guid == guid; });
  if (it == entries_.end()) return D3DERR_NOTFOUND;
  Drop(*it);
  entries_.erase(it);
  return D3D_OK;
}
