#include "volume.h"

#include "debug_channel.h"
#include "device.h"
#include "surface.h"

Volume::Volume(Device* device, IUnknown* container, const VolumeParams& params)
    : DeviceObject(device, Ownership::kContained, container), lockable_(params.lockable) {
  desc_.Format = params.format;
  desc_.Type = D3DRTYPE_VOLUME;
  desc_.Usage = params.usage;
  desc_.Pool = params.pool;
  desc_.Size = 0;
  desc_.Width = params.width;
  desc_.Height = params.height;
  desc_.Depth = params.depth;
}

HRESULT Volume::Create(Device* device, IUnknown* container, const VolumeParams& params, Volume** volume) {
  PixelImage image;
  const HRESULT hr = image.Allocate(params.format, params.width, params.height, params.depth);
  if (FAILED(hr)) return Fail(hr, "Create volume", "not enough memory for the pixels");
  Volume* made = new (std::nothrow) Volume(device, container, params);
  if (made == nullptr) return E_OUTOFMEMORY;
  made->image_ = std::move(image);
  made->desc_.Size = static_cast<UINT>(made->image_.Size());
  *volume = made;
  return D3D_OK;
}

HRESULT Volume::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DVolume8) {
    AddRef();
    *object = static_cast<IDirect3DVolume8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT Volume::GetContainer(REFIID riid, void** container) {
  if (container == nullptr) return Fail(D3DERR_INVALIDCALL, "GetContainer", "null output");
  void* found = nullptr;
  const HRESULT hr = Container()->QueryInterface(riid, &found);
  if (FAILED(hr)) return Fail(hr, "GetContainer", "the container has no such interface");
  *container = found;
  return D3D_OK;
}

HRESULT Volume::GetDesc(D3DVOLUME_DESC* desc) {
  if (desc == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDesc", "null output");
  *desc = desc_;
  return D3D_OK;
}

HRESULT Volume::LockBox(D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) {
  if (lockedVolume == nullptr) return Fail(D3DERR_INVALIDCALL, "LockBox", "null output");
  if (!ValidLockFlags(flags)) return Fail(D3DERR_INVALIDCALL, "LockBox", "unknown lock flags");
  if (locked_) return Fail(D3DERR_INVALIDCALL, "LockBox", "the volume is locked already");
  if (!lockable_) return Fail(D3DERR_INVALIDCALL, "LockBox", "this volume cannot be locked");
  UINT x = 0, y = 0, z = 0;
  if (box != nullptr) {
    if (box->Front > box->Back || box->Back > desc_.Depth)
      return Fail(D3DERR_INVALIDCALL, "LockBox", "box outside the volume or inverted");
    if (box->Right > 0x7fffffffu || box->Bottom > 0x7fffffffu)
      return Fail(D3DERR_INVALIDCALL, "LockBox", "box outside the volume");
    const RECT rect{static_cast<LONG>(box->Left), static_cast<LONG>(box->Top), static_cast<LONG>(box->Right),
                    static_cast<LONG>(box->Bottom)};
    if (box->Left > 0x7fffffffu || box->Top > 0x7fffffffu)
      return Fail(D3DERR_INVALIDCALL, "LockBox", "box outside the volume");
    if (const char* why = CheckRect(desc_.Format, desc_.Width, desc_.Height, rect))
      return Fail(D3DERR_INVALIDCALL, "LockBox", why);
    x = box->Left;
    y = box->Top;
    z = box->Front;
  }
  lockedVolume->pBits = image_.At(x, y, z);
  lockedVolume->RowPitch = static_cast<INT>(image_.RowPitch());
  lockedVolume->SlicePitch = static_cast<INT>(image_.SlicePitch());
  locked_ = true;
  return D3D_OK;
}

HRESULT Volume::UnlockBox() {
  if (!locked_) return Fail(D3DERR_INVALIDCALL, "UnlockBox", "the volume is not locked");
  locked_ = false;
  return D3D_OK;
}
