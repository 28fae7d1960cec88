#include "picture_support.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::string ReferencePath(const std::string& name) {
  const char* root = std::getenv("KELVANE_SOURCE_DIR");
  const std::string base = root ? root : ".";
  return base + "/tests/platform/d3d8/pipeline/pictures/" + name + ".png";
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WritePng(const std::string& path, const Picture& picture) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t c = picture.At(x, y);
      row[3 * x] = static_cast<png_byte>(c >> 16);
      row[3 * x + 1] = static_cast<png_byte>(c >> 8);
      row[3 * x + 2] = static_cast<png_byte>(c);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::string& path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return true;
}

std::string CompareWithReference(const std::string& name, const Picture& picture, int tolerance, int maxOffPixels) {
  const std::string path = ReferencePath(name);
  const char* update = std::getenv("KELVANE_UPDATE_PICTURES");
  if (update && std::string(update) == "1") {
    return WritePng(path, picture) ? "" : "cannot write " + path;
  }
  Picture reference;
  if (!ReadPng(path, reference)) return "cannot read " + path;
  if (reference.width != picture.width || reference.height != picture.height) return "size differs from " + path;
  int off = 0, worst = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t a = picture.At(x, y), b = reference.At(x, y);
      int diff = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
        diff = std::max(diff, d);
      }
      worst = std::max(worst, diff);
      if (diff > tolerance) {
        if (off == 0) firstX = x, firstY = y;
        ++off;
      }
    }
  }
  if (off > maxOffPixels) {
    WritePng(name + ".actual.png", picture);
    return std::to_string(off) + " pixels differ by more than " + std::to_string(tolerance) + " (worst " +
           std::to_string(worst) + ", first at " + std::to_string(firstX) + "," + std::to_string(firstY) +
           "); wrote " + name + ".actual.png";
  }
  return "";
}
