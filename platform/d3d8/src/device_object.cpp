#include "device_object.h"

#include "debug_channel.h"
#include "device.h"

DeviceObject::DeviceObject(Device* device, Ownership ownership, IUnknown* container)
    : device_(device), container_(container), refs_(0), bindings_(0) {
  if (ownership == Ownership::kPublic) {
    refs_ = 1;
    device_->AddRef();
  }
}

DeviceObject::~DeviceObject() = default;

ULONG DeviceObject::AddRefObject() {
  if (container_ != nullptr) return container_->AddRef();
  if (refs_++ == 0) device_->AddRef();
  return refs_;
}

ULONG DeviceObject::ReleaseObject() {
  if (container_ != nullptr) return container_->Release();
  if (refs_ == 0) return 0;  // an unbalanced Release must not free twice
  const ULONG left = --refs_;
  if (left == 0) {
    Device* device = device_;
    if (bindings_ == 0) delete this;
    // The device may go here; if it does, it drops our bindings and deletes us.
    device->Release();
  }
  return left;
}

void DeviceObject::Bind() { ++bindings_; }

void DeviceObject::Unbind() {
  if (bindings_ == 0) return;
  if (--bindings_ == 0 && refs_ == 0) delete this;
}

HRESULT DeviceObject::GetDeviceObject(IDirect3DDevice8** device) {
  if (device == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDevice", "null output");
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}
