// Reference counting shared by every object a device makes.
//
// Public references (AddRef/Release) keep an object and its device alive.
// Bindings are the device's own references (states, state blocks, the
// implicit back and depth buffers): they keep the object alive but not the
// device, so a device and the resources bound to it never hold each other in a
// cycle. An object goes when both counts are zero; a device that goes drops
// its bindings and so takes every bound object with it.
//
// Surfaces and volumes of a texture are contained: their counting is the
// texture's, and the texture deletes them.
#pragma once

#include "d3d8.h"
#include "live_objects.h"

class Device;

class DeviceObject : LiveObject {
 public:
  enum class Ownership { kPublic, kBound, kContained };

  DeviceObject(const DeviceObject&) = delete;
  DeviceObject& operator=(const DeviceObject&) = delete;
  virtual ~DeviceObject();

  Device* OwnerDevice() const { return device_; }
  void Bind();
  void Unbind();

 protected:
  // kPublic: one public reference, the device referenced. kBound: no reference
  // at all yet; the device binds it at once. kContained: `container` counts.
  DeviceObject(Device* device, Ownership ownership, IUnknown* container = nullptr);

  ULONG AddRefObject();
  ULONG ReleaseObject();
  IUnknown* Container() const { return container_; }
  HRESULT GetDeviceObject(IDirect3DDevice8** device);

 private:
  Device* device_;
  IUnknown* container_;
  ULONG refs_;
  ULONG bindings_;
};
