#include "texture.h"

#include "debug_channel.h"
#include "device.h"

namespace {

// Default-pool textures live where only the device reaches them, unless dynamic.
bool LevelsLockable(const ResourceParams& params) {
  return params.pool != D3DPOOL_DEFAULT || (params.usage & D3DUSAGE_DYNAMIC) != 0;
}

SurfaceParams LevelSurfaceParams(const ResourceParams& params, const TextureShape& shape, UINT level) {
  return {params.format, MipSize(shape.width, level), MipSize(shape.height, level), params.usage,
          params.pool,   D3DMULTISAMPLE_NONE,          LevelsLockable(params)};
}

template <class Object, class... Interfaces>
HRESULT QueryTexture(Object* self, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource8 || riid == IID_IDirect3DBaseTexture8 ||
      ((riid == Interfaces::kIid) || ...)) {
    self->AddRef();
    *object = static_cast<IDirect3DBaseTexture8*>(self);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

struct TextureIid {
  static constexpr const IID& kIid = IID_IDirect3DTexture8;
};
struct CubeIid {
  static constexpr const IID& kIid = IID_IDirect3DCubeTexture8;
};
struct VolumeIid {
  static constexpr const IID& kIid = IID_IDirect3DVolumeTexture8;
};

}  // namespace

TextureCore* AsTextureCore(IDirect3DBaseTexture8* texture) { return dynamic_cast<TextureCore*>(texture); }

UINT FullMipCount(UINT width, UINT height, UINT depth) {
  UINT largest = width > height ? width : height;
  if (depth > largest) largest = depth;
  UINT count = 1;
  while (largest > 1) {
    largest >>= 1;
    ++count;
  }
  return count;
}

// ---- 2-D textures ------------------------------------------------------------------
HRESULT Texture::Create(Device* device, const ResourceParams& params, const TextureShape& shape, Texture** texture) {
  std::unique_ptr<Texture> made(new (std::nothrow) Texture(device, params, shape));
  if (!made) return E_OUTOFMEMORY;
  // The texture holds one public reference until it is complete; dropping it
  // on failure frees everything made so far.
  for (UINT level = 0; level < shape.levels; ++level) {
    Surface* surface = nullptr;
    const HRESULT hr = Surface::Create(device, Ownership::kContained, made.get(),
                                       LevelSurfaceParams(params, shape, level), &surface);
    if (FAILED(hr)) {
      made.release()->Release();
      return hr;
    }
    made->levels_.emplace_back(surface);
  }
  *texture = made.release();
  return D3D_OK;
}

HRESULT Texture::QueryInterface(REFIID riid, void** object) { return QueryTexture<Texture, TextureIid>(this, riid, object); }

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "GetLevelDesc", "no such level");
  return levels_[level]->GetDesc(desc);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
  if (surface == nullptr) return Fail(D3DERR_INVALIDCALL, "GetSurfaceLevel", "null output");
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "GetSurfaceLevel", "no such level");
  levels_[level]->AddRef();
  *surface = levels_[level].get();
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "LockRect", "no such level");
  return levels_[level]->LockRect(lockedRect, rect, flags);
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "UnlockRect", "no such level");
  return levels_[level]->UnlockRect();
}

HRESULT Texture::AddDirtyRect(const RECT* dirtyRect) {
  if (dirtyRect != nullptr) {
    if (const char* why = CheckRect(Params().format, Shape().width, Shape().height, *dirtyRect))
      return Fail(D3DERR_INVALIDCALL, "AddDirtyRect", why);
  }
  return D3D_OK;  // UpdateTexture copies whole levels, so nothing needs tracking
}

PixelImage& Texture::LevelImage(UINT, UINT level) { return levels_[level]->Image(); }

bool Texture::AnyLevelLocked() const {
  for (const auto& level : levels_)
    if (level->IsLocked()) return true;
  return false;
}

// ---- cube textures ------------------------------------------------------------------
HRESULT CubeTexture::Create(Device* device, const ResourceParams& params, const TextureShape& shape,
                            CubeTexture** texture) {
  std::unique_ptr<CubeTexture> made(new (std::nothrow) CubeTexture(device, params, shape));
  if (!made) return E_OUTOFMEMORY;
  for (UINT face = 0; face < 6; ++face) {
    for (UINT level = 0; level < shape.levels; ++level) {
      Surface* surface = nullptr;
      const HRESULT hr = Surface::Create(device, Ownership::kContained, made.get(),
                                         LevelSurfaceParams(params, shape, level), &surface);
      if (FAILED(hr)) {
        made.release()->Release();
        return hr;
      }
      made->surfaces_.emplace_back(surface);
    }
  }
  *texture = made.release();
  return D3D_OK;
}

HRESULT CubeTexture::QueryInterface(REFIID riid, void** object) {
  return QueryTexture<CubeTexture, CubeIid>(this, riid, object);
}

Surface* CubeTexture::Find(D3DCUBEMAP_FACES face, UINT level) {
  if (static_cast<uint32_t>(face) >= 6 || level >= Levels()) return nullptr;
  return surfaces_[static_cast<size_t>(face) * Levels() + level].get();
}

HRESULT CubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= Levels()) return Fail(D3DERR_INVALIDCALL, "GetLevelDesc", "no such level");
  return surfaces_[level]->GetDesc(desc);
}

HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) {
  if (surface == nullptr) return Fail(D3DERR_INVALIDCALL, "GetCubeMapSurface", "null output");
  Surface* found = Find(face, level);
  if (found == nullptr) return Fail(D3DERR_INVALIDCALL, "GetCubeMapSurface", "no such face or level");
  found->AddRef();
  *surface = found;
  return D3D_OK;
}

HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                              DWORD flags) {
  Surface* found = Find(face, level);
  if (found == nullptr) return Fail(D3DERR_INVALIDCALL, "LockRect", "no such face or level");
  return found->LockRect(lockedRect, rect, flags);
}

HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
  Surface* found = Find(face, level);
  if (found == nullptr) return Fail(D3DERR_INVALIDCALL, "UnlockRect", "no such face or level");
  return found->UnlockRect();
}

HRESULT CubeTexture::AddDirtyRect(D3DCUBEMAP_FACES face, const RECT* dirtyRect) {
  if (static_cast<uint32_t>(face) >= 6) return Fail(D3DERR_INVALIDCALL, "AddDirtyRect", "no such face");
  if (dirtyRect != nullptr) {
    if (const char* why = CheckRect(Params().format, Shape().width, Shape().height, *dirtyRect))
      return Fail(D3DERR_INVALIDCALL, "AddDirtyRect", why);
  }
  return D3D_OK;
}

PixelImage& CubeTexture::LevelImage(UINT face, UINT level) {
  return surfaces_[static_cast<size_t>(face) * Levels() + level]->Image();
}

bool CubeTexture::AnyLevelLocked() const {
  for (const auto& surface : surfaces_)
    if (surface->IsLocked()) return true;
  return false;
}

// ---- volume textures -----------------------------------------------------------------
HRESULT VolumeTexture::Create(Device* device, const ResourceParams& params, const TextureShape& shape,
                              VolumeTexture** texture) {
  std::unique_ptr<VolumeTexture> made(new (std::nothrow) VolumeTexture(device, params, shape));
  if (!made) return E_OUTOFMEMORY;
  for (UINT level = 0; level < shape.levels; ++level) {
    const VolumeParams volumeParams{params.format,
                                    MipSize(shape.width, level),
                                    MipSize(shape.height, level),
                                    MipSize(shape.depth, level),
                                    params.usage,
                                    params.pool,
                                    LevelsLockable(params)};
    Volume* volume = nullptr;
    const HRESULT hr = Volume::Create(device, made.get(), volumeParams, &volume);
    if (FAILED(hr)) {
      made.release()->Release();
      return hr;
    }
    made->levels_.emplace_back(volume);
  }
  *texture = made.release();
  return D3D_OK;
}

HRESULT VolumeTexture::QueryInterface(REFIID riid, void** object) {
  return QueryTexture<VolumeTexture, VolumeIid>(this, riid, object);
}

HRESULT VolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "GetLevelDesc", "no such level");
  return levels_[level]->GetDesc(desc);
}

HRESULT VolumeTexture::GetVolumeLevel(UINT level, IDirect3DVolume8** volume) {
  if (volume == nullptr) return Fail(D3DERR_INVALIDCALL, "GetVolumeLevel", "null output");
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "GetVolumeLevel", "no such level");
  levels_[level]->AddRef();
  *volume = levels_[level].get();
  return D3D_OK;
}

HRESULT VolumeTexture::LockBox(UINT level, D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "LockBox", "no such level");
  return levels_[level]->LockBox(lockedVolume, box, flags);
}

HRESULT VolumeTexture::UnlockBox(UINT level) {
  if (level >= levels_.size()) return Fail(D3DERR_INVALIDCALL, "UnlockBox", "no such level");
  return levels_[level]->UnlockBox();
}

HRESULT VolumeTexture::AddDirtyBox(const D3DBOX* dirtyBox) {
  if (dirtyBox != nullptr && (dirtyBox->Left > dirtyBox->Right || dirtyBox->Top > dirtyBox->Bottom ||
                              dirtyBox->Front > dirtyBox->Back || dirtyBox->Right > Shape().width ||
                              dirtyBox->Bottom > Shape().height || dirtyBox->Back > Shape().depth))
    return Fail(D3DERR_INVALIDCALL, "AddDirtyBox", "box outside the volume or inverted");
  return D3D_OK;
}

PixelImage& VolumeTexture::LevelImage(UINT, UINT level) { return levels_[level]->Image(); }

bool VolumeTexture::AnyLevelLocked() const {
  for (const auto& level : levels_)
    if (level->IsLocked()) return true;
  return false;
}
