// 2-D, cube and volume textures: a chain of levels (six chains for a cube).
#pragma once

#include <memory>
#include <vector>

#include "resource_object.h"
#include "surface.h"
#include "volume.h"

struct TextureShape {
  UINT width;
  UINT height;
  UINT depth;   // 1 except for volume textures
  UINT levels;  // already resolved: never 0
};

// What the device needs of any texture, whatever its kind.
class TextureCore {
 public:
  virtual ~TextureCore() = default;
  virtual const ResourceParams& Params() const = 0;
  virtual DeviceObject& Object() = 0;
  virtual IDirect3DBaseTexture8* BaseInterface() = 0;
  UINT Faces() const { return Params().type == D3DRTYPE_CUBETEXTURE ? 6 : 1; }
  UINT Levels() const { return shape_.levels; }
  const TextureShape& Shape() const { return shape_; }
  virtual PixelImage& LevelImage(UINT face, UINT level) = 0;
  virtual bool AnyLevelLocked() const = 0;

 protected:
  explicit TextureCore(const TextureShape& shape) : shape_(shape) {}

 private:
  TextureShape shape_;
};

// The texture object behind an interface, or null for a foreign object.
TextureCore* AsTextureCore(IDirect3DBaseTexture8* texture);

template <class I>
class TextureObject : public ResourceObject<I>, public TextureCore {
 public:
  const ResourceParams& Params() const override { return ResourceObject<I>::Params(); }
  DeviceObject& Object() override { return *this; }
  IDirect3DBaseTexture8* BaseInterface() override { return this; }

  DWORD SetLOD(DWORD lod) override {
    const DWORD old = lod_;
    if (Params().pool == D3DPOOL_MANAGED) lod_ = lod < Levels() ? lod : Levels() - 1;
    return old;
  }
  DWORD GetLOD() override { return lod_; }
  DWORD GetLevelCount() override { return Levels(); }

 protected:
  TextureObject(Device* device, const ResourceParams& params, const TextureShape& shape)
      : ResourceObject<I>(device, params), TextureCore(shape) {}

 private:
  DWORD lod_ = 0;
};

class Texture final : public TextureObject<IDirect3DTexture8> {
 public:
  static HRESULT Create(Device* device, const ResourceParams& params, const TextureShape& shape, Texture** texture);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  HRESULT AddDirtyRect(const RECT* dirtyRect) override;

  PixelImage& LevelImage(UINT face, UINT level) override;
  bool AnyLevelLocked() const override;

 private:
  using TextureObject::TextureObject;
  std::vector<std::unique_ptr<Surface>> levels_;
};

class CubeTexture final : public TextureObject<IDirect3DCubeTexture8> {
 public:
  static HRESULT Create(Device* device, const ResourceParams& params, const TextureShape& shape,
                        CubeTexture** texture);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                   DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
  HRESULT AddDirtyRect(D3DCUBEMAP_FACES face, const RECT* dirtyRect) override;

  PixelImage& LevelImage(UINT face, UINT level) override;
  bool AnyLevelLocked() const override;

 private:
  using TextureObject::TextureObject;
  Surface* Find(D3DCUBEMAP_FACES face, UINT level);
  std::vector<std::unique_ptr<Surface>> surfaces_;  // face-major: face * levels + level
};

class VolumeTexture final : public TextureObject<IDirect3DVolumeTexture8> {
 public:
  static HRESULT Create(Device* device, const ResourceParams& params, const TextureShape& shape,
                        VolumeTexture** texture);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;
  HRESULT GetVolumeLevel(UINT level, IDirect3DVolume8** volume) override;
  HRESULT LockBox(UINT level, D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) override;
  HRESULT UnlockBox(UINT level) override;
  HRESULT AddDirtyBox(const D3DBOX* dirtyBox) override;

  PixelImage& LevelImage(UINT face, UINT level) override;
  bool AnyLevelLocked() const override;

 private:
  using TextureObject::TextureObject;
  std::vector<std::unique_ptr<Volume>> levels_;
};

// Number of levels of a full chain down to 1x1(x1).
UINT FullMipCount(UINT width, UINT height, UINT depth);
// Size of level `level` of an edge `size` long.
inline UINT MipSize(UINT size, UINT level) {
  const UINT shifted = level >= 32 ? 0 : size >> level;
  return shifted == 0 ? 1 : shifted;
}
