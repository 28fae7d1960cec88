// Writes small PNG files in memory with libpng's encoder, so a test can state
// exactly which chunks and sample layout a file has.
#pragma once

#include <png.h>

#include <csetjmp>
#include <optional>
#include <vector>

#include "image_builders.h"

struct PngSpec {
  uint32_t width = 2;
  uint32_t height = 2;
  int bitDepth = 8;
  int colorType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  Bytes samples;  // rows of packed samples as stored in the file (big-endian 16-bit)
  std::vector<png_color> palette;
  Bytes paletteAlphas;
  std::optional<png_color_16> transparentColor;
  std::optional<double> gamma;
  std::optional<int> srgbIntent;
};

inline Bytes EncodePng(const PngSpec& s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* buffer = static_cast<Bytes*>(png_get_io_ptr(p));
        buffer->insert(buffer->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.paletteAlphas.empty()) {
    png_set_tRNS(png, info, s.paletteAlphas.data(), static_cast<int>(s.paletteAlphas.size()), nullptr);
  }
  if (s.transparentColor) {
    png_color_16 color = *s.transparentColor;
    png_set_tRNS(png, info, nullptr, 0, &color);
  }
  if (s.gamma) png_set_gAMA(png, info, *s.gamma);
  if (s.srgbIntent) png_set_sRGB(png, info, *s.srgbIntent);
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_bytep> rows(s.height);
  Bytes samples = s.samples;
  samples.resize(rowBytes * s.height);
  for (uint32_t y = 0; y < s.height; ++y) rows[y] = samples.data() + y * rowBytes;
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}
