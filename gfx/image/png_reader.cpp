// PNG through libpng: a read hook over the file image, error hooks that jump
// back here, and the transformations that give the library's pixel formats.
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "gfx/image/decode_limits.h"
#include "gfx/image/source_image.h"
#include "gfx/pixel/format_info.h"

namespace {

constexpr double kScreenGamma = 2.2;
// Ancillary chunks the reader has no use for. The library would allocate a
// chunk's whole claimed length before reading it (a 45-byte file can claim a
// 2 GB sPLT), and decompress text and profiles; skipped chunks are only
// checksummed in small pieces. The image needs IHDR, PLTE, IDAT, tRNS, gAMA
// and sRGB, which the library bounds itself.
constexpr png_byte kUnusedChunks[] =
    "bKGD\0cHRM\0eXIf\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sTER\0tEXt\0tIME\0zTXt";

void IgnoreChunksNotUsed(png_structp png) {
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnusedChunks, sizeof(kUnusedChunks) / 5);
}

struct MemorySource {
  const BYTE* position;
  size_t left;
};

// Everything the error jump must find again lives here, in memory.
struct PngDecode {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemorySource source{};
  png_bytep* rows = nullptr;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (source->left < count) png_error(png, "read error");
  std::memcpy(out, source->position, count);
  source->position += count;
  source->left -= count;
}

[[noreturn]] void PngErrorHook(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarningHook(png_structp, png_const_charp) {}

UINT ExpectedChannels(uint32_t format) {
  switch (format) {
    case D3DFMT_R8G8B8:
    case GXFMT_R16G16B16:
      return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case GXFMT_A16R16G16B16:
      return 4;
    case D3DFMT_A8L8:
    case GXFMT_A16L16:
      return 2;
    default:
      return 1;  // P8, L8, L16
  }
}

uint32_t FormatForColorType(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
      return D3DFMT_L8;
    case PNG_COLOR_TYPE_RGB:
      return D3DFMT_R8G8B8;
    case PNG_COLOR_TYPE_PALETTE:
      return D3DFMT_P8;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return D3DFMT_A8L8;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return D3DFMT_A8R8G8B8;
    default:
      return D3DFMT_UNKNOWN;
  }
}

uint32_t SixteenBitFormat(uint32_t format) {
  switch (format) {
    case D3DFMT_R8G8B8:
      return GXFMT_R16G16B16;
    case D3DFMT_A8R8G8B8:
      return GXFMT_A16R16G16B16;
    case D3DFMT_L8:
      return GXFMT_L16;
    case D3DFMT_A8L8:
      return GXFMT_A16L16;
    default:
      return D3DFMT_UNKNOWN;
  }
}

uint32_t WithAlpha(uint32_t format) {
  switch (format) {
    case D3DFMT_R8G8B8:
      return D3DFMT_A8R8G8B8;
    case D3DFMT_L8:
      return D3DFMT_A8L8;
    case GXFMT_L16:
      return GXFMT_A16L16;
    case GXFMT_R16G16B16:
      return GXFMT_A16R16G16B16;
    default:
      return format;
  }
}

bool IsRgbFormat(uint32_t format) {
  return format == D3DFMT_R8G8B8 || format == D3DFMT_A8R8G8B8 || format == GXFMT_R16G16B16 ||
         format == GXFMT_A16R16G16B16;
}

// Asks for the transformations and returns the resulting format (D3DFMT_UNKNOWN
// for a combination the library cannot give).
uint32_t RequestTransformations(PngDecode& d, int bitDepth, int colorType) {
  uint32_t format = FormatForColorType(colorType);
  if (bitDepth == 16) {
    png_set_swap(d.png);
    format = SixteenBitFormat(format);
    if (format == D3DFMT_UNKNOWN) return format;
  }
  if (bitDepth < 8) {
    png_set_packing(d.png);
    if (colorType == PNG_COLOR_TYPE_GRAY) png_set_expand(d.png);
  }

  int intent = 0;
  double fileGamma = 0;
  if (png_get_sRGB(d.png, d.info, &intent)) {
    png_set_sRGB(d.png, d.info, intent);
  } else if (png_get_gAMA(d.png, d.info, &fileGamma)) {
    png_set_gamma(d.png, kScreenGamma, fileGamma);
  }

  if (colorType != PNG_COLOR_TYPE_PALETTE && png_get_valid(d.png, d.info, PNG_INFO_tRNS)) {
    png_set_expand(d.png);
    format = WithAlpha(format);
  }
  if (IsRgbFormat(format)) {
    png_set_bgr(d.png);
    if (format == D3DFMT_R8G8B8) {
      png_set_filler(d.png, 255, PNG_FILLER_AFTER);
      format = D3DFMT_X8R8G8B8;
    }
  }
  png_set_interlace_handling(d.png);
  return format;
}

// 256 entries: the PLTE colours, the tRNS alphas, opaque white beyond. When a
// gamma correction was requested, the library has already applied it to the
// PLTE entries in place (with the same exponent, 1 / (file gamma x screen
// gamma), and the same rounding), so the colours are taken as they are: a
// second table would correct them twice.
void BuildPalette(PngDecode& d, PALETTEENTRY* palette) {
  png_colorp colors = nullptr;
  int colorCount = 0;
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  if (!png_get_valid(d.png, d.info, PNG_INFO_PLTE) || !png_get_PLTE(d.png, d.info, &colors, &colorCount)) colorCount = 0;
  if (!png_get_valid(d.png, d.info, PNG_INFO_tRNS) || !png_get_tRNS(d.png, d.info, &alphas, &alphaCount, nullptr)) {
    alphaCount = 0;
  }
  for (int i = 0; i < 256; ++i) {
    if (i < colorCount) {
      const BYTE alpha = i < alphaCount ? alphas[i] : 255;
      palette[i] = PALETTEENTRY{colors[i].red, colors[i].green, colors[i].blue, alpha};
    } else {
      palette[i] = PALETTEENTRY{255, 255, 255, 255};
    }
  }
}

// Runs with the jump point set; a library error leaves through the jump.
HRESULT Decode(PngDecode& d, SourceImage& image, UINT size) {
  png_set_read_fn(d.png, &d.source, ReadFromMemory);
  png_read_info(d.png, d.info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(d.png, d.info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);

  const uint32_t format = RequestTransformations(d, bitDepth, colorType);
  if (format == D3DFMT_UNKNOWN) return E_FAIL;
  png_read_update_info(d.png, d.info);
  if (png_get_channels(d.png, d.info) != ExpectedChannels(format)) return E_FAIL;

  const size_t rowBytes = png_get_rowbytes(d.png, d.info);
  if (rowBytes > 0xFFFFFFFFu) return E_FAIL;
  image.format = static_cast<D3DFORMAT>(format);
  image.width = width;
  image.height = height;
  image.depth = 1;
  image.rowPitch = static_cast<UINT>(rowBytes);
  image.slicePitch = 0;
  if (!image.loadPixels) return S_OK;

  // Deflate packs at most about 1032 bytes into one, and the transformations
  // widen a 1-bit sample at most sixteen-fold.
  const uint64_t imageBytes = uint64_t{rowBytes} * height;
  if (!IsPlausibleDecodeSize(imageBytes, size, 1032 * 16)) return E_FAIL;
  HRESULT hr = image.AllocatePixels(imageBytes);
  if (FAILED(hr)) return hr;
  d.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (d.rows == nullptr) return E_OUTOFMEMORY;
  for (png_uint_32 y = 0; y < height; ++y) d.rows[y] = image.pixels + uint64_t{y} * rowBytes;
  png_read_image(d.png, d.rows);

  if (format == D3DFMT_P8) {
    hr = image.AllocatePalette();
    if (FAILED(hr)) return hr;
    BuildPalette(d, image.palette);
  }
  return S_OK;
}

}  // namespace

HRESULT SourceImage::LoadPng(const BYTE* data, UINT size) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return E_FAIL;
  PngDecode decode;
  decode.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorHook, PngWarningHook);
  if (decode.png == nullptr) return E_OUTOFMEMORY;
  decode.info = png_create_info_struct(decode.png);
  if (decode.info == nullptr) {
    png_destroy_read_struct(&decode.png, nullptr, nullptr);
    return E_OUTOFMEMORY;
  }
  decode.source = MemorySource{data, size};
  IgnoreChunksNotUsed(decode.png);

  if (setjmp(png_jmpbuf(decode.png))) {
    png_destroy_read_struct(&decode.png, &decode.info, nullptr);
    std::free(decode.rows);
    return E_FAIL;
  }
  const HRESULT hr = Decode(decode, *this, size);
  png_destroy_read_struct(&decode.png, &decode.info, nullptr);
  std::free(decode.rows);
  return hr;
}
