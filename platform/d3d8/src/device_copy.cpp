// Byte-exact copies between surfaces and textures, and the front-buffer read.
#include <cstring>
#include <vector>

#include "debug_channel.h"
#include "device.h"
#include "draw_context.h"
#include "format_layout.h"
#include "texture.h"

namespace {

struct CopyStep {
  RECT source;
  POINT destination;
};

}  // namespace

HRESULT Device::CopyRects(IDirect3DSurface8* sourceSurface, const RECT* sourceRects, UINT rectCount,
                          IDirect3DSurface8* destinationSurface, const POINT* destPoints) {
  auto* source = dynamic_cast<Surface*>(sourceSurface);
  auto* destination = dynamic_cast<Surface*>(destinationSurface);
  if (source == nullptr || destination == nullptr) return Fail(D3DERR_INVALIDCALL, "CopyRects", "missing surface");
  if (source->OwnerDevice() != this || destination->OwnerDevice() != this)
    return Fail(D3DERR_INVALIDCALL, "CopyRects", "surface of another device");
  if (source == destination) return Fail(D3DERR_INVALIDCALL, "CopyRects", "source and destination are one surface");
  const D3DSURFACE_DESC& from = source->Desc();
  const D3DSURFACE_DESC& to = destination->Desc();
  if (from.Format != to.Format) return Fail(D3DERR_INVALIDCALL, "CopyRects", "formats differ");
  if (IsDepthFormat(from.Format)) return Fail(D3DERR_INVALIDCALL, "CopyRects", "depth surfaces cannot be copied");
  if (source->IsLocked() || destination->IsLocked()) return Fail(D3DERR_INVALIDCALL, "CopyRects", "a surface is locked");
  if (sourceRects != nullptr && rectCount == 0) return Fail(D3DERR_INVALIDCALL, "CopyRects", "rectangles but no count");

  // Check every rectangle before copying any, so a bad one changes nothing.
  std::vector<CopyStep> steps;
  const UINT count = sourceRects == nullptr ? 1 : rectCount;
  try {
    steps.reserve(count);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  const FormatLayout layout = GetFormatLayout(from.Format);
  for (UINT i = 0; i < count; ++i) {
    const RECT rect = sourceRects == nullptr
                          ? RECT{0, 0, static_cast<LONG>(from.Width), static_cast<LONG>(from.Height)}
                          : sourceRects[i];
    if (const char* why = CheckRect(from.Format, from.Width, from.Height, rect))
      return Fail(D3DERR_INVALIDCALL, "CopyRects", why);
    const POINT point = destPoints != nullptr ? destPoints[i] : POINT{rect.left, rect.top};
    if (point.x < 0 || point.y < 0 || static_cast<UINT>(point.x) % layout.blockWidth != 0 ||
        static_cast<UINT>(point.y) % layout.blockHeight != 0)
      return Fail(D3DERR_INVALIDCALL, "CopyRects", "destination point negative or not on a block");
    const uint64_t right = uint64_t(point.x) + uint64_t(rect.right - rect.left);
    const uint64_t bottom = uint64_t(point.y) + uint64_t(rect.bottom - rect.top);
    if (right > to.Width || bottom > to.Height)
      return Fail(D3DERR_INVALIDCALL, "CopyRects", "rectangle does not fit the destination");
    steps.push_back({rect, point});
  }
  d3d8pipe::FlushRasterizer();  // queued draws may draw the source or sample the destination
  for (const CopyStep& step : steps) {
    if (step.source.right == step.source.left || step.source.bottom == step.source.top) continue;
    CopyImageRect(source->Image(), step.source, destination->Image(), static_cast<UINT>(step.destination.x),
                  static_cast<UINT>(step.destination.y));
  }
  return D3D_OK;
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destinationTexture) {
  TextureCore* source = sourceTexture != nullptr ? AsTextureCore(sourceTexture) : nullptr;
  TextureCore* destination = destinationTexture != nullptr ? AsTextureCore(destinationTexture) : nullptr;
  if (source == nullptr || destination == nullptr) return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "missing texture");
  if (source->Object().OwnerDevice() != this || destination->Object().OwnerDevice() != this)
    return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "texture of another device");
  const ResourceParams& from = source->Params();
  const ResourceParams& to = destination->Params();
  if (from.pool != D3DPOOL_SYSTEMMEM || to.pool != D3DPOOL_DEFAULT)
    return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "copies from D3DPOOL_SYSTEMMEM to D3DPOOL_DEFAULT only");
  if (from.type != to.type || from.format != to.format)
    return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "textures differ in kind or format");
  if (source->AnyLevelLocked() || destination->AnyLevelLocked())
    return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "a level is locked");
  // The destination's chain may start further down the source's chain.
  const TextureShape& src = source->Shape();
  const TextureShape& dst = destination->Shape();
  UINT first = 0;
  while (first < src.levels && (MipSize(src.width, first) != dst.width || MipSize(src.height, first) != dst.height ||
                                MipSize(src.depth, first) != dst.depth))
    ++first;
  if (first == src.levels || src.levels - first < dst.levels)
    return Fail(D3DERR_INVALIDCALL, "UpdateTexture", "the source has no levels of the destination's sizes");
  d3d8pipe::FlushRasterizer();  // queued draws may sample the destination
  for (UINT face = 0; face < destination->Faces(); ++face) {
    for (UINT level = 0; level < dst.levels; ++level) {
      const PixelImage& in = source->LevelImage(face, first + level);
      PixelImage& out = destination->LevelImage(face, level);
      std::memcpy(out.Bytes(), in.Bytes(), out.Size());
    }
  }
  return D3D_OK;
}

HRESULT Device::GetFrontBuffer(IDirect3DSurface8* destSurface) {
  auto* destination = dynamic_cast<Surface*>(destSurface);
  if (destination == nullptr || destination->OwnerDevice() != this)
    return Fail(D3DERR_INVALIDCALL, "GetFrontBuffer", "missing surface");
  const D3DSURFACE_DESC& desc = destination->Desc();
  if (desc.Format != D3DFMT_A8R8G8B8 || destination->IsLocked())
    return Fail(D3DERR_INVALIDCALL, "GetFrontBuffer", "the destination must be an unlocked A8R8G8B8 surface");
  if (desc.Width < backBuffer_.Get()->Desc().Width || desc.Height < backBuffer_.Get()->Desc().Height)
    return Fail(D3DERR_INVALIDCALL, "GetFrontBuffer", "the destination is smaller than the front buffer");
  // The front buffer is what the last Present showed; black before the first.
  d3d8pipe::FlushRasterizer();  // queued draws may sample the destination
  PixelImage& out = destination->Image();
  for (UINT y = 0; y < desc.Height; ++y) {
    auto* row = reinterpret_cast<DWORD*>(out.At(0, y, 0));
    for (UINT x = 0; x < desc.Width; ++x) {
      const bool shown = y < presentedHeight_ && x < presentedWidth_;
      row[x] = shown ? presentedFrame_[size_t{y} * presentedWidth_ + x] : 0xFF000000u;
    }
  }
  return D3D_OK;
}
