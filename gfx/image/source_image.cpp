#include "gfx/image/source_image.h"

#include <cstdlib>
#include <limits>

#include "gfx/pixel/format_info.h"

namespace {

using Reader = HRESULT (SourceImage::*)(const BYTE*, UINT);

struct ReaderEntry {
  Reader read;
  GxImageFileFormat fileFormat;
};

// Formats with a signature come first; TGA and the bare DIB, recognised only
// by a plausible header, come last.
constexpr ReaderEntry kReaders[] = {
    {&SourceImage::LoadBmp, GX_IFF_BMP},  {&SourceImage::LoadPpm, GX_IFF_PPM}, {&SourceImage::LoadDds, GX_IFF_DDS},
    {&SourceImage::LoadJpeg, GX_IFF_JPG}, {&SourceImage::LoadPng, GX_IFF_PNG}, {&SourceImage::LoadTga, GX_IFF_TGA},
    {&SourceImage::LoadDib, GX_IFF_DIB},
};

void SetWholeBox(SourceImage& image) {
  for (SourceImage* face = &image; face != nullptr; face = face->nextFace.get()) {
    for (SourceImage* level = face; level != nullptr; level = level->nextLevel.get()) {
      level->box = D3DBOX{0, 0, level->width, level->height, 0, level->depth};
    }
  }
}

UINT CountLevels(const SourceImage& image) {
  UINT levels = 1;
  for (const SourceImage* level = image.nextLevel.get(); level != nullptr; level = level->nextLevel.get()) ++levels;
  return levels;
}

}  // namespace

void SourceImage::Clear() {
  if (ownsPixels) std::free(pixels);
  if (ownsPalette) std::free(palette);
  // Unlink the lists one record at a time so destruction never recurses
  // deeper than one list.
  while (nextLevel) nextLevel = std::move(nextLevel->nextLevel);
  while (nextFace) nextFace = std::move(nextFace->nextFace);
  format = D3DFMT_UNKNOWN;
  pixels = nullptr;
  palette = nullptr;
  width = height = depth = 0;
  box = D3DBOX{};
  rowPitch = slicePitch = 0;
  ownsPixels = ownsPalette = FALSE;
  loadPixels = FALSE;
  resourceType = static_cast<D3DRESOURCETYPE>(0);
  fileFormat = GX_IFF_BMP;
}

HRESULT SourceImage::AllocatePixels(uint64_t bytes) {
  if (bytes > std::numeric_limits<UINT>::max()) return E_OUTOFMEMORY;
  // calloc so that pixels a stream never writes read as zero, and at least one
  // byte so that an empty image still has a distinct block.
  void* block = std::calloc(bytes == 0 ? 1 : static_cast<size_t>(bytes), 1);
  if (block == nullptr) return E_OUTOFMEMORY;
  if (ownsPixels) std::free(pixels);
  pixels = static_cast<BYTE*>(block);
  ownsPixels = TRUE;
  return S_OK;
}

HRESULT SourceImage::AllocatePalette() {
  void* block = std::calloc(256, sizeof(PALETTEENTRY));
  if (block == nullptr) return E_OUTOFMEMORY;
  if (ownsPalette) std::free(palette);
  palette = static_cast<PALETTEENTRY*>(block);
  ownsPalette = TRUE;
  return S_OK;
}

HRESULT SourceImage::Load(const void* data, UINT size, GxImageInfo* info, BOOL load) {
  if (data == nullptr) return D3DERR_INVALIDCALL;
  const BYTE* bytes = static_cast<const BYTE*>(data);

  bool accepted = false;
  for (const ReaderEntry& reader : kReaders) {
    Clear();
    loadPixels = load;
    fileFormat = reader.fileFormat;
    resourceType = D3DRTYPE_TEXTURE;
    if (SUCCEEDED((this->*reader.read)(bytes, size))) {
      accepted = true;
      break;
    }
  }
  if (!accepted) {
    Clear();
    return GXERR_INVALID_DATA;
  }

  if (info != nullptr) {
    *info = GxImageInfo{};
    info->Width = width;
    info->Height = height;
    info->Depth = depth;
    info->MipLevels = CountLevels(*this);
    info->Format = static_cast<D3DFORMAT>(ToPublicFormat(format));
    info->ResourceType = resourceType;
    info->ImageFileFormat = fileFormat;
  }
  SetWholeBox(*this);
  return S_OK;
}
