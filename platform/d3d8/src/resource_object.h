// The methods every resource (buffers, textures) shares, written once for
// each interface they implement.
#pragma once

#include "device_object.h"
#include "private_data.h"

struct ResourceParams {
  D3DRESOURCETYPE type;
  D3DFORMAT format;
  DWORD usage;
  D3DPOOL pool;
};

template <class Interface>
class ResourceObject : public Interface, public DeviceObject {
 public:
  ULONG AddRef() override { return AddRefObject(); }
  ULONG Release() override { return ReleaseObject(); }
  HRESULT GetDevice(IDirect3DDevice8** device) override { return GetDeviceObject(device); }
  HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD size, DWORD flags) override {
    return privateData_.Set(guid, data, size, flags);
  }
  HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* size) override { return privateData_.Get(guid, data, size); }
  HRESULT FreePrivateData(REFGUID guid) override { return privateData_.Free(guid); }
  // Priorities mean something only to managed resources; others keep 0.
  DWORD SetPriority(DWORD priority) override {
    const DWORD old = priority_;
    if (params_.pool == D3DPOOL_MANAGED) priority_ = priority;
    return old;
  }
  DWORD GetPriority() override { return priority_; }
  void PreLoad() override {}  // every resource already lives in memory the device reads
  D3DRESOURCETYPE GetType() override { return params_.type; }

  const ResourceParams& Params() const { return params_; }

 protected:
  ResourceObject(Device* device, const ResourceParams& params)
      : DeviceObject(device, Ownership::kPublic), params_(params) {}

 private:
  ResourceParams params_;
  PrivateDataStore privateData_;
  DWORD priority_ = 0;
};
