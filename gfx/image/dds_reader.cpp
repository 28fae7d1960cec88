// DirectDraw Surface files: 2-D images, volumes and cube maps with their mip
// chains. Nothing is copied: every record points into the caller's file image.
#include <memory>
#include <new>

#include "gfx/image/byte_order.h"
#include "gfx/image/source_image.h"
#include "gfx/pixel/format_info.h"

namespace {

constexpr UINT kHeaderBytes = 128;
constexpr UINT kPaletteBytes = 1024;
constexpr DWORD DDSD_DEPTH = 0x800000;
constexpr DWORD DDPF_FOURCC = 0x4;
constexpr DWORD kCubeFaceBits = 0xFC00;

// Which pixel-format fields a row's flags make significant.
constexpr DWORD kBitCountFlags = 0xC4462;
constexpr DWORD kRedMaskFlags = 0xE4040;
constexpr DWORD kGreenMaskFlags = 0xC4440;
constexpr DWORD kBlueMaskFlags = 0xC4040;
constexpr DWORD kAlphaMaskFlags = 0x80003;

struct DdsPixelFormat {
  D3DFORMAT format;
  DWORD flags;
  DWORD fourCC;
  DWORD bitCount;
  DWORD red, green, blue, alpha;
};

// The first row that matches wins.
constexpr DdsPixelFormat kDdsPixelFormats[] = {
    {D3DFMT_R8G8B8, 0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_A8R8G8B8, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {D3DFMT_X8R8G8B8, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_R5G6B5, 0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0},
    {D3DFMT_X1R5G5B5, 0x40, 0, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {D3DFMT_A8P8, 0x21, 0, 16, 0, 0, 0, 0xFF00},
    {D3DFMT_P8, 0x20, 0, 8, 0, 0, 0, 0},
    {D3DFMT_A1R5G5B5, 0x41, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {D3DFMT_A4R4G4B4, 0x41, 0, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {D3DFMT_R3G3B2, 0x40, 0, 8, 0xE0, 0x1C, 0x3, 0},
    {D3DFMT_A8, 0x2, 0, 8, 0, 0, 0, 0xFF},
    {D3DFMT_A8R3G3B2, 0x41, 0, 16, 0xE0, 0x1C, 0x3, 0xFF00},
    {D3DFMT_X4R4G4B4, 0x40, 0, 16, 0xF00, 0xF0, 0xF, 0},
    {D3DFMT_A2B10G10R10, 0x41, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
    {D3DFMT_G16R16, 0x40, 0, 32, 0xFFFF, 0xFFFF0000, 0, 0},
    {D3DFMT_L8, 0x20000, 0, 8, 0xFF, 0, 0, 0},
    {D3DFMT_A8L8, 0x20001, 0, 16, 0xFF, 0, 0, 0xFF00},
    {D3DFMT_A4L4, 0x20001, 0, 8, 0xF, 0, 0, 0xF0},
    {D3DFMT_V8U8, 0x80000, 0, 16, 0xFF, 0xFF00, 0, 0},
    {D3DFMT_L6V5U5, 0x40000, 0, 16, 0x1F, 0x3E0, 0xFC00, 0},
    {D3DFMT_X8L8V8U8, 0x40000, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {D3DFMT_Q8W8V8U8, 0x80000, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {D3DFMT_V16U16, 0x80000, 0, 32, 0xFFFF, 0xFFFF0000, 0, 0},
    {D3DFMT_W11V11U10, 0x80000, 0, 32, 0x3FF, 0x1FFC00, 0xFFE00000, 0},
    {D3DFMT_A2W10V10U10, 0x80001, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
    {D3DFMT_UYVY, 0x4, D3DFMT_UYVY, 0, 0, 0, 0, 0},
    {D3DFMT_YUY2, 0x4, D3DFMT_YUY2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT1, 0x4, D3DFMT_DXT1, 0, 0, 0, 0, 0},
    {D3DFMT_DXT2, 0x4, D3DFMT_DXT2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT3, 0x4, D3DFMT_DXT3, 0, 0, 0, 0, 0},
    {D3DFMT_DXT4, 0x4, D3DFMT_DXT4, 0, 0, 0, 0, 0},
    {D3DFMT_DXT5, 0x4, D3DFMT_DXT5, 0, 0, 0, 0, 0},
    {D3DFMT_D16_LOCKABLE, 0x400, 0, 16, 0, 0xFFFF, 0, 0},
};

bool Matches(const DdsPixelFormat& row, const BYTE* pf) {
  const DWORD flags = ReadLe32(pf + 4);
  if (flags != row.flags) return false;
  if ((flags & DDPF_FOURCC) && ReadLe32(pf + 8) != row.fourCC) return false;
  if ((flags & kBitCountFlags) && ReadLe32(pf + 12) != row.bitCount) return false;
  if ((flags & kRedMaskFlags) && ReadLe32(pf + 16) != row.red) return false;
  if ((flags & kGreenMaskFlags) && ReadLe32(pf + 20) != row.green) return false;
  if ((flags & kBlueMaskFlags) && ReadLe32(pf + 24) != row.blue) return false;
  if ((flags & kAlphaMaskFlags) && ReadLe32(pf + 28) != row.alpha) return false;
  return true;
}

D3DFORMAT FindFormat(const BYTE* pf) {
  if (ReadLe32(pf) != 32) return D3DFMT_UNKNOWN;
  for (const DdsPixelFormat& row : kDdsPixelFormats) {
    if (Matches(row, pf)) return row.format;
  }
  return D3DFMT_UNKNOWN;
}

struct LevelSize {
  uint64_t pitch;
  uint64_t slice;
};

LevelSize SizeOfLevel(D3DFORMAT format, uint64_t w, uint64_t h) {
  const uint64_t blocksWide = (w + 3) / 4;
  const uint64_t blocksHigh = (h + 3) / 4;
  switch (format) {
    case D3DFMT_DXT1:
      return {blocksWide * 8, blocksWide * 8 * blocksHigh};
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
      return {blocksWide * 16, blocksWide * 16 * blocksHigh};
    case D3DFMT_UYVY:
    case D3DFMT_YUY2:
      return {(w + 1) / 2 * 4, h * ((w + 1) / 2 * 4)};
    default: {
      const uint64_t pitch = GetFormatInfo(format)->bitsPerPixel / 8 * w;
      return {pitch, h * pitch};
    }
  }
}

// Levels of a complete chain down to 1 x 1 x 1.
UINT FullChainLength(UINT w, UINT h, UINT d) {
  UINT largest = w > h ? w : h;
  if (d > largest) largest = d;
  UINT levels = 1;
  while (largest > 1) {
    largest >>= 1;
    ++levels;
  }
  return levels;
}

}  // namespace

HRESULT SourceImage::LoadDds(const BYTE* data, UINT size) {
  if (size < kHeaderBytes || ReadLe32(data) != MakeFourCC('D', 'D', 'S', ' ')) return E_FAIL;

  const DWORD flags = ReadLe32(data + 8);
  const UINT baseHeight = ReadLe32(data + 12);
  const UINT baseWidth = ReadLe32(data + 16);
  UINT baseDepth = 1;
  if (flags & DDSD_DEPTH) {
    baseDepth = ReadLe32(data + 24);
    if (baseDepth == 0) baseDepth = 1;
  }
  if (baseWidth == 0 || baseHeight == 0) return E_FAIL;  // nothing to describe

  const DWORD faceBits = ReadLe32(data + 112) & kCubeFaceBits;
  if (faceBits != 0 && faceBits != kCubeFaceBits) return E_FAIL;
  const UINT faces = faceBits == kCubeFaceBits ? 6 : 1;
  UINT levels = ReadLe32(data + 28);
  if (levels == 0) levels = 1;
  // Levels below 1 x 1 x 1 do not exist; a count beyond them is corrupt.
  if (levels > FullChainLength(baseWidth, baseHeight, baseDepth)) return E_FAIL;

  const D3DFORMAT found = FindFormat(data + 76);
  if (found == D3DFMT_UNKNOWN) return E_FAIL;

  const D3DRESOURCETYPE type = (flags & DDSD_DEPTH) ? D3DRTYPE_VOLUMETEXTURE
                               : faces == 6         ? D3DRTYPE_CUBETEXTURE
                                                    : D3DRTYPE_TEXTURE;

  uint64_t position = kHeaderBytes;
  PALETTEENTRY* filePalette = nullptr;
  if (GetFormatInfo(found)->formatClass == FORMAT_CLASS_PALETTE) {
    if (size - position < kPaletteBytes) return E_FAIL;
    filePalette = reinterpret_cast<PALETTEENTRY*>(const_cast<BYTE*>(data + position));
    position += kPaletteBytes;
  }

  SourceImage* faceHead = this;
  for (UINT face = 0; face < faces; ++face) {
    if (face > 0) {
      faceHead->nextFace.reset(new (std::nothrow) SourceImage);
      if (!faceHead->nextFace) return E_OUTOFMEMORY;
      faceHead = faceHead->nextFace.get();
    }
    SourceImage* record = faceHead;
    UINT w = baseWidth, h = baseHeight, d = baseDepth;
    for (UINT level = 0; level < levels; ++level) {
      if (level > 0) {
        record->nextLevel.reset(new (std::nothrow) SourceImage);
        if (!record->nextLevel) return E_OUTOFMEMORY;
        record = record->nextLevel.get();
      }
      const LevelSize bytes = SizeOfLevel(found, w, h);
      if (bytes.pitch > 0xFFFFFFFFu || bytes.slice > 0xFFFFFFFFu) return E_FAIL;
      record->format = found;
      record->pixels = const_cast<BYTE*>(data + position);  // into the caller's file image
      record->width = w;
      record->height = h;
      record->depth = d;
      record->rowPitch = static_cast<UINT>(bytes.pitch);
      record->slicePitch = static_cast<UINT>(bytes.slice);
      record->palette = filePalette;
      record->ownsPixels = FALSE;
      record->ownsPalette = FALSE;
      record->loadPixels = loadPixels;
      record->resourceType = type;
      record->fileFormat = fileFormat;
      const uint64_t levelBytes = uint64_t{d} * bytes.slice;
      if (levelBytes > size - position) return E_FAIL;
      position += levelBytes;
      w = w > 1 ? w / 2 : 1;
      h = h > 1 ? h / 2 : 1;
      d = d > 1 ? d / 2 : 1;
    }
  }
  return S_OK;
}
