// One 2-D image: a texture level, a cube face level, an image surface, a render
// target, a depth-stencil surface or the device's back buffer.
#pragma once

#include "device_object.h"
#include "pixel_image.h"
#include "private_data.h"

struct SurfaceParams {
  D3DFORMAT format;
  UINT width;
  UINT height;
  DWORD usage;
  D3DPOOL pool;
  D3DMULTISAMPLE_TYPE multiSample;
  bool lockable;
};

class Surface final : public IDirect3DSurface8, public DeviceObject {
 public:
  // E_OUTOFMEMORY when the pixels cannot be had; the caller owns the result as
  // the ownership says.
  static HRESULT Create(Device* device, Ownership ownership, IUnknown* container, const SurfaceParams& params,
                        Surface** surface);

  // Queued drawing may still write or read the pixels: it is finished first.
  ~Surface() override;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return AddRefObject(); }
  ULONG Release() override { return ReleaseObject(); }
  HRESULT GetDevice(IDirect3DDevice8** device) override { return GetDeviceObject(device); }
  HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD size, DWORD flags) override {
    return privateData_.Set(guid, data, size, flags);
  }
  HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* size) override { return privateData_.Get(guid, data, size); }
  HRESULT FreePrivateData(REFGUID guid) override { return privateData_.Free(guid); }
  HRESULT GetContainer(REFIID riid, void** container) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  const D3DSURFACE_DESC& Desc() const { return desc_; }
  PixelImage& Image() { return image_; }
  const PixelImage& Image() const { return image_; }
  bool IsLocked() const { return locked_; }

 private:
  Surface(Device* device, Ownership ownership, IUnknown* container, const SurfaceParams& params);

  D3DSURFACE_DESC desc_;
  bool lockable_;
  bool locked_ = false;
  PixelImage image_;
  PrivateDataStore privateData_;
};

// Checks the flags of a LockRect, LockBox or buffer Lock.
bool ValidLockFlags(DWORD flags);
