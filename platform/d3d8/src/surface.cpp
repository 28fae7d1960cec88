#include "surface.h"

#include "debug_channel.h"
#include "device.h"
#include "draw_context.h"

namespace {
constexpr DWORD kLockFlags =
    D3DLOCK_READONLY | D3DLOCK_DISCARD | D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE;
}

bool ValidLockFlags(DWORD flags) { return (flags & ~kLockFlags) == 0; }

Surface::Surface(Device* device, Ownership ownership, IUnknown* container, const SurfaceParams& params)
    : DeviceObject(device, ownership, container), lockable_(params.lockable) {
  desc_.Format = params.format;
  desc_.Type = D3DRTYPE_SURFACE;
  desc_.Usage = params.usage;
  desc_.Pool = params.pool;
  desc_.Size = 0;
  desc_.MultiSampleType = params.multiSample;
  desc_.Width = params.width;
  desc_.Height = params.height;
}

Surface::~Surface() { d3d8pipe::FlushRasterizer(); }

HRESULT Surface::Create(Device* device, Ownership ownership, IUnknown* container, const SurfaceParams& params,
                        Surface** surface) {
  PixelImage image;
  const HRESULT hr = image.Allocate(params.format, params.width, params.height, 1);
  if (FAILED(hr)) return Fail(hr, "Create surface", "not enough memory for the pixels");
  Surface* made = new (std::nothrow) Surface(device, ownership, container, params);
  if (made == nullptr) return E_OUTOFMEMORY;
  made->image_ = std::move(image);
  made->desc_.Size = static_cast<UINT>(made->image_.Size());
  *surface = made;
  return D3D_OK;
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DSurface8) {
    AddRef();
    *object = static_cast<IDirect3DSurface8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT Surface::GetContainer(REFIID riid, void** container) {
  if (container == nullptr) return Fail(D3DERR_INVALIDCALL, "GetContainer", "null output");
  // A surface outside a texture belongs to the device.
  IUnknown* owner = Container() != nullptr ? Container() : static_cast<IDirect3DDevice8*>(OwnerDevice());
  void* found = nullptr;
  const HRESULT hr = owner->QueryInterface(riid, &found);
  if (FAILED(hr)) return Fail(hr, "GetContainer", "the container has no such interface");
  *container = found;
  return D3D_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
  if (desc == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDesc", "null output");
  *desc = desc_;
  return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (lockedRect == nullptr) return Fail(D3DERR_INVALIDCALL, "LockRect", "null output");
  if (!ValidLockFlags(flags)) return Fail(D3DERR_INVALIDCALL, "LockRect", "unknown lock flags");
  if (locked_) return Fail(D3DERR_INVALIDCALL, "LockRect", "the surface is locked already");
  if (!lockable_) return Fail(D3DERR_INVALIDCALL, "LockRect", "this surface cannot be locked");
  UINT x = 0, y = 0;
  if (rect != nullptr) {
    if (const char* why = CheckRect(desc_.Format, desc_.Width, desc_.Height, *rect))
      return Fail(D3DERR_INVALIDCALL, "LockRect", why);
    x = static_cast<UINT>(rect->left);
    y = static_cast<UINT>(rect->top);
  }
  // The caller reads and writes the pixels directly: queued drawing that
  // draws to them or samples them is finished first.
  d3d8pipe::FlushRasterizer();
  lockedRect->pBits = image_.At(x, y, 0);
  lockedRect->Pitch = static_cast<INT>(image_.RowPitch());
  locked_ = true;
  return D3D_OK;
}

HRESULT Surface::UnlockRect() {
  if (!locked_) return Fail(D3DERR_INVALIDCALL, "UnlockRect", "the surface is not locked");
  locked_ = false;
  return D3D_OK;
}
