// Creation of textures, buffers and surfaces, checked against the profile.
#include <new>

#include "buffers.h"
#include "debug_channel.h"
#include "device.h"
#include "format_layout.h"
#include "profile.h"
#include "texture.h"

namespace {

constexpr DWORD kTextureUsages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;
constexpr UINT kMaxScratchSize = 16384;

bool IsPowerOfTwo(UINT value) { return value != 0 && (value & (value - 1)) == 0; }

bool KnownPool(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

// Caps bits that differ by texture kind.
struct KindCaps {
  DWORD present;  // the kind exists at all (0: always)
  DWORD pow2;
  DWORD mip;
};
KindCaps CapsFor(D3DRESOURCETYPE type) {
  switch (type) {
    case D3DRTYPE_CUBETEXTURE:
      return {D3DPTEXTURECAPS_CUBEMAP, D3DPTEXTURECAPS_CUBEMAP_POW2, D3DPTEXTURECAPS_MIPCUBEMAP};
    case D3DRTYPE_VOLUMETEXTURE:
      return {D3DPTEXTURECAPS_VOLUMEMAP, D3DPTEXTURECAPS_VOLUMEMAP_POW2, D3DPTEXTURECAPS_MIPVOLUMEMAP};
    default:
      return {0, D3DPTEXTURECAPS_POW2, D3DPTEXTURECAPS_MIPMAP};
  }
}

// The device limits of the profile; null when the request fits them.
const char* CheckCapsLimits(D3DRESOURCETYPE type, UINT width, UINT height, UINT depth, UINT levels) {
  const D3DCAPS8& caps = CurrentProfile().caps;
  const KindCaps kind = CapsFor(type);
  if (kind.present != 0 && (caps.TextureCaps & kind.present) == 0) return "the device has no textures of this kind";
  if (type == D3DRTYPE_VOLUMETEXTURE) {
    if (width > caps.MaxVolumeExtent || height > caps.MaxVolumeExtent || depth > caps.MaxVolumeExtent)
      return "larger than MaxVolumeExtent";
  } else if (width > caps.MaxTextureWidth || height > caps.MaxTextureHeight) {
    return "larger than MaxTextureWidth or MaxTextureHeight";
  }
  if (type == D3DRTYPE_TEXTURE) {
    if ((caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) && width != height) return "the device takes square textures only";
    const UINT longer = width > height ? width : height;
    const UINT shorter = width > height ? height : width;
    if (caps.MaxTextureAspectRatio != 0 && longer / shorter > caps.MaxTextureAspectRatio)
      return "aspect ratio above MaxTextureAspectRatio";
  }
  const bool allPow2 = IsPowerOfTwo(width) && IsPowerOfTwo(height) && IsPowerOfTwo(depth);
  if ((caps.TextureCaps & kind.pow2) && !allPow2) {
    // Conditional support allows other sizes for 2-D textures without mip levels.
    const bool conditional = type == D3DRTYPE_TEXTURE && (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) &&
                             levels == 1;
    if (!conditional) return "the device takes power-of-two sizes only";
  }
  if (levels > 1 && (caps.TextureCaps & kind.mip) == 0) return "the device has no mip maps for this kind";
  return nullptr;
}

}  // namespace

HRESULT Device::CheckTextureRequest(const char* call, D3DRESOURCETYPE type, UINT width, UINT height, UINT depth,
                                    UINT& levels, DWORD usage, D3DFORMAT format, D3DPOOL pool) const {
  if (width == 0 || height == 0 || depth == 0) return Fail(D3DERR_INVALIDCALL, call, "a size of 0");
  if (!KnownPool(pool)) return Fail(D3DERR_INVALIDCALL, call, "unknown pool");
  if (usage & ~kTextureUsages) return Fail(D3DERR_INVALIDCALL, call, "usage not valid for a texture");
  if ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) && pool != D3DPOOL_DEFAULT)
    return Fail(D3DERR_INVALIDCALL, call, "render targets and depth buffers live in D3DPOOL_DEFAULT");
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return Fail(D3DERR_INVALIDCALL, call, "dynamic textures cannot be managed");
  if ((usage & D3DUSAGE_DYNAMIC) && pool != D3DPOOL_SCRATCH &&
      (CurrentProfile().caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) == 0)
    return Fail(D3DERR_INVALIDCALL, call, "the device has no dynamic textures");
  if (!IsSurfaceFormat(format)) return Fail(D3DERR_INVALIDCALL, call, "not a texture format");
  if (IsBlockCompressed(format) && (width % 4 != 0 || height % 4 != 0))
    return Fail(D3DERR_INVALIDCALL, call, "block-compressed sizes must be multiples of 4");
  const UINT full = FullMipCount(width, height, type == D3DRTYPE_VOLUMETEXTURE ? depth : 1);
  if (levels > full) return Fail(D3DERR_INVALIDCALL, call, "more levels than the chain down to 1x1 has");
  // The scratch pool is plain memory: no format list and no device limits.
  if (pool == D3DPOOL_SCRATCH) {
    if (width > kMaxScratchSize || height > kMaxScratchSize || depth > kMaxScratchSize)
      return Fail(D3DERR_INVALIDCALL, call, "larger than the runtime's limit");
    if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_DYNAMIC))
      return Fail(D3DERR_INVALIDCALL, call, "scratch resources have no such usage");
    if (levels == 0) levels = full;
    return D3D_OK;
  }
  if (!ProfileAcceptsFormat(type, usage, format))
    return Fail(D3DERR_INVALIDCALL, call, "format not supported for this usage and resource type");
  const D3DCAPS8& caps = CurrentProfile().caps;
  if (levels == 0) levels = (caps.TextureCaps & CapsFor(type).mip) ? full : 1;
  if (const char* why = CheckCapsLimits(type, width, height, depth, levels)) return Fail(D3DERR_INVALIDCALL, call, why);
  return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** texture) {
  if (texture == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateTexture", "null output");
  const HRESULT hr = CheckTextureRequest("CreateTexture", D3DRTYPE_TEXTURE, width, height, 1, levels, usage, format, pool);
  if (FAILED(hr)) return hr;
  Texture* made = nullptr;
  const HRESULT created = Texture::Create(this, {D3DRTYPE_TEXTURE, format, usage, pool}, {width, height, 1, levels}, &made);
  if (FAILED(created)) return created;
  *texture = made;
  return D3D_OK;
}

HRESULT Device::CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DCubeTexture8** cubeTexture) {
  if (cubeTexture == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateCubeTexture", "null output");
  const HRESULT hr = CheckTextureRequest("CreateCubeTexture", D3DRTYPE_CUBETEXTURE, edgeLength, edgeLength, 1, levels,
                                         usage, format, pool);
  if (FAILED(hr)) return hr;
  CubeTexture* made = nullptr;
  const HRESULT created = CubeTexture::Create(this, {D3DRTYPE_CUBETEXTURE, format, usage, pool},
                                              {edgeLength, edgeLength, 1, levels}, &made);
  if (FAILED(created)) return created;
  *cubeTexture = made;
  return D3D_OK;
}

HRESULT Device::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                    D3DPOOL pool, IDirect3DVolumeTexture8** volumeTexture) {
  if (volumeTexture == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateVolumeTexture", "null output");
  if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))
    return Fail(D3DERR_INVALIDCALL, "CreateVolumeTexture", "volumes cannot be render targets or depth buffers");
  const HRESULT hr = CheckTextureRequest("CreateVolumeTexture", D3DRTYPE_VOLUMETEXTURE, width, height, depth, levels,
                                         usage, format, pool);
  if (FAILED(hr)) return hr;
  VolumeTexture* made = nullptr;
  const HRESULT created = VolumeTexture::Create(this, {D3DRTYPE_VOLUMETEXTURE, format, usage, pool},
                                                {width, height, depth, levels}, &made);
  if (FAILED(created)) return created;
  *volumeTexture = made;
  return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8** vertexBuffer) {
  if (vertexBuffer == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateVertexBuffer", "null output");
  VertexBuffer* made = nullptr;
  const HRESULT hr = VertexBuffer::Create(this, length, usage, fvf, pool, &made);
  if (FAILED(hr)) return hr;
  *vertexBuffer = made;
  return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer8** indexBuffer) {
  if (indexBuffer == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateIndexBuffer", "null output");
  IndexBuffer* made = nullptr;
  const HRESULT hr = IndexBuffer::Create(this, length, usage, format, pool, &made);
  if (FAILED(hr)) return hr;
  *indexBuffer = made;
  return D3D_OK;
}

namespace {
const char* CheckSurfaceSize(UINT width, UINT height, D3DFORMAT format) {
  if (width == 0 || height == 0) return "a size of 0";
  if (width > kMaxScratchSize || height > kMaxScratchSize) return "larger than the runtime's limit";
  if (IsBlockCompressed(format) && (width % 4 != 0 || height % 4 != 0))
    return "block-compressed sizes must be multiples of 4";
  return nullptr;
}
}  // namespace

HRESULT Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                   BOOL lockable, IDirect3DSurface8** surface) {
  if (surface == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateRenderTarget", "null output");
  if (const char* why = CheckSurfaceSize(width, height, format)) return Fail(D3DERR_INVALIDCALL, "CreateRenderTarget", why);
  if (multiSample != D3DMULTISAMPLE_NONE)
    return Fail(D3DERR_INVALIDCALL, "CreateRenderTarget", "multisampling is not supported");
  if (!ProfileAcceptsFormat(D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, format))
    return Fail(D3DERR_INVALIDCALL, "CreateRenderTarget", "format cannot be rendered to");
  const bool canLock = lockable && CurrentProfile().lockableDefaultPoolSurfaces;
  Surface* made = nullptr;
  const HRESULT hr = Surface::Create(this, DeviceObject::Ownership::kPublic, nullptr,
                                     {format, width, height, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, multiSample, canLock},
                                     &made);
  if (FAILED(hr)) return hr;
  *surface = made;
  return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                          IDirect3DSurface8** surface) {
  if (surface == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateDepthStencilSurface", "null output");
  if (const char* why = CheckSurfaceSize(width, height, format))
    return Fail(D3DERR_INVALIDCALL, "CreateDepthStencilSurface", why);
  if (multiSample != D3DMULTISAMPLE_NONE)
    return Fail(D3DERR_INVALIDCALL, "CreateDepthStencilSurface", "multisampling is not supported");
  if (!ProfileAcceptsFormat(D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, format))
    return Fail(D3DERR_INVALIDCALL, "CreateDepthStencilSurface", "not a depth format of this device");
  const bool canLock = format == D3DFMT_D16_LOCKABLE && CurrentProfile().lockableDefaultPoolSurfaces;
  Surface* made = nullptr;
  const HRESULT hr = Surface::Create(this, DeviceObject::Ownership::kPublic, nullptr,
                                     {format, width, height, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, multiSample, canLock},
                                     &made);
  if (FAILED(hr)) return hr;
  *surface = made;
  return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) {
  if (surface == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateImageSurface", "null output");
  if (const char* why = CheckSurfaceSize(width, height, format)) return Fail(D3DERR_INVALIDCALL, "CreateImageSurface", why);
  // Image surfaces are system memory the caller fills: any surface format
  // except depth formats, whatever the device draws with.
  if (!IsSurfaceFormat(format) || IsDepthFormat(format))
    return Fail(D3DERR_INVALIDCALL, "CreateImageSurface", "not an image format");
  Surface* made = nullptr;
  const HRESULT hr = Surface::Create(this, DeviceObject::Ownership::kPublic, nullptr,
                                     {format, width, height, 0, D3DPOOL_SYSTEMMEM, D3DMULTISAMPLE_NONE, true}, &made);
  if (FAILED(hr)) return hr;
  *surface = made;
  return D3D_OK;
}
