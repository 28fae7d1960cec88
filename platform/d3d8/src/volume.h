// One 3-D image: a level of a volume texture.
#pragma once

#include "device_object.h"
#include "pixel_image.h"
#include "private_data.h"

struct VolumeParams {
  D3DFORMAT format;
  UINT width;
  UINT height;
  UINT depth;
  DWORD usage;
  D3DPOOL pool;
  bool lockable;
};

class Volume final : public IDirect3DVolume8, public DeviceObject {
 public:
  // Volumes always live in a volume texture, which counts for them.
  static HRESULT Create(Device* device, IUnknown* container, const VolumeParams& params, Volume** volume);

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
  HRESULT GetDesc(D3DVOLUME_DESC* desc) override;
  HRESULT LockBox(D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) override;
  HRESULT UnlockBox() override;

  const D3DVOLUME_DESC& Desc() const { return desc_; }
  PixelImage& Image() { return image_; }
  const PixelImage& Image() const { return image_; }
  bool IsLocked() const { return locked_; }

 private:
  Volume(Device* device, IUnknown* container, const VolumeParams& params);

  D3DVOLUME_DESC desc_;
  bool lockable_;
  bool locked_ = false;
  PixelImage image_;
  PrivateDataStore privateData_;
};
