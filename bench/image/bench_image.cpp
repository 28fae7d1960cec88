// Decoding the Earth texture (2048 x 1024 baseline JPEG) through the format
// detector and the JPEG reader, beside a plain libjpeg-turbo scanline decode of
// the same bytes into the same 32-bit layout. The reader should add nothing
// that costs: the goal is within 5% of the plain decode.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

#include "gfx/image/source_image.h"

namespace {

const std::vector<unsigned char>& EarthJpeg() {
  static const std::vector<unsigned char> bytes = [] {
    const char* path = std::getenv("KELVANE_EARTH_JPG");
    std::ifstream in(path ? path : KELVANE_EARTH_JPG, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

void BM_SourceImageLoadEarthJpeg(benchmark::State& state) {
  const auto& file = EarthJpeg();
  if (file.empty()) {
    state.SkipWithError("earth.jpg not found");
    return;
  }
  for (auto _ : state) {
    SourceImage image;
    GxImageInfo info{};
    if (FAILED(image.Load(file.data(), static_cast<UINT>(file.size()), &info, TRUE))) {
      state.SkipWithError("load failed");
      return;
    }
    benchmark::DoNotOptimize(image.pixels);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048 * 1024 * 4);
}

struct PlainError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// libjpeg-turbo on its own: its memory source, one scanline at a time, each
// row turned into 32-bit pixels (red << 16 | green << 8 | blue).
bool PlainDecode(const std::vector<unsigned char>& file, std::vector<unsigned char>& out) {
  jpeg_decompress_struct info{};
  PlainError error{};
  info.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<PlainError*>(c->err)->jump, 1); };
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), file.size());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  out.resize(static_cast<size_t>(info.output_width) * info.output_height * 4);
  std::vector<JSAMPLE> row(static_cast<size_t>(info.output_width) * info.output_components);
  while (info.output_scanline < info.output_height) {
    unsigned char* dst = out.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 4;
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    const JSAMPLE* src = row.data();
    for (JDIMENSION x = 0; x < info.output_width; ++x, src += 3, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = 0;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

void BM_PlainLibjpegEarthJpeg(benchmark::State& state) {
  const auto& file = EarthJpeg();
  if (file.empty()) {
    state.SkipWithError("earth.jpg not found");
    return;
  }
  for (auto _ : state) {
    // A fresh block each time, as the reader allocates its image each time.
    std::vector<unsigned char> out;
    if (!PlainDecode(file, out)) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048 * 1024 * 4);
}

BENCHMARK(BM_SourceImageLoadEarthJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLibjpegEarthJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
