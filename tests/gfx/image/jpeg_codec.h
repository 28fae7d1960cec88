// libjpeg-turbo used directly, as the reference the JPEG reader must match:
// an encoder for test files and a plain scanline decoder into the reader's
// 32-bit layout.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <optional>

#include <jpeglib.h>

#include "image_builders.h"

struct JpegSpec {
  int width = 16;
  int height = 16;
  int components = 3;  // 1 greyscale, 3 YCbCr, 4 CMYK
  bool progressive = false;
  int quality = 90;
};

// A deterministic picture with edges, so the DCT methods give different results.
inline Bytes TestSamples(int width, int height, int components) {
  Bytes out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < components; ++c) {
        out.push_back(static_cast<uint8_t>(((x * 37 + y * 11) ^ (c * 85)) + ((x / 3 + y / 5) % 2) * 90));
      }
    }
  }
  return out;
}

inline Bytes EncodeJpeg(const JpegSpec& s) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(s.width);
  info.image_height = static_cast<JDIMENSION>(s.height);
  info.input_components = s.components;
  info.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, s.quality, TRUE);
  if (s.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  Bytes samples = TestSamples(s.width, s.height, s.components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = samples.data() + static_cast<size_t>(info.next_scanline) * s.width * s.components;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// Decodes with libjpeg's own memory source into rows of 4 bytes per pixel
// (blue, green, red, 0) or 1 byte for greyscale.
inline std::optional<Bytes> ReferenceDecode(const Bytes& file, J_DCT_METHOD method = JDCT_ISLOW) {
  struct Error {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
  } error{};
  jpeg_decompress_struct info{};
  info.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<Error*>(c->err)->jump, 1); };
  error.pub.output_message = [](j_common_ptr) {};
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), file.size());
  jpeg_read_header(&info, TRUE);
  info.dct_method = method;
  jpeg_start_decompress(&info);
  const int components = info.output_components;
  Bytes out, row(info.output_width * components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW p = row.data();
    jpeg_read_scanlines(&info, &p, 1);
    for (JDIMENSION x = 0; x < info.output_width; ++x) {
      if (components == 1) {
        out.push_back(row[x]);
      } else {
        Append(out, {row[3 * x + 2], row[3 * x + 1], row[3 * x], 0});
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return out;
}
