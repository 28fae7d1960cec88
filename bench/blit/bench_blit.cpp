// The blitter on a 2048x1024 image: conversions, resampling, the box mip
// chain, and stb_image_resize doing the same resamples on the same 8-bit data.
#include <benchmark/benchmark.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include <cstdint>
#include <random>
#include <vector>

#include "gfx/pixel/format_info.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

constexpr uint32_t kWidth = 2048;
constexpr uint32_t kHeight = 1024;

struct Image {
  uint32_t format, w, h, bpp;
  std::vector<uint8_t> bytes;
  Image(uint32_t fmt, uint32_t width, uint32_t height)
      : format(fmt), w(width), h(height), bpp(GetFormatInfo(fmt)->bitsPerPixel / 8),
        bytes(size_t{width} * height * bpp) {}
  PixelRegion Region() {
    PixelRegion r{};
    r.bits = bytes.data();
    r.format = format;
    r.rowPitch = w * bpp;
    r.slicePitch = r.rowPitch * h;
    r.extent = {0, 0, w, h, 0, 1};
    r.box = r.extent;
    return r;
  }
};

// A smooth picture with noise, so that no path profits from uniform data.
const Image& Source() {
  static const Image image = [] {
    Image img(D3DFMT_A8R8G8B8, kWidth, kHeight);
    std::mt19937 gen(42);
    for (uint32_t y = 0; y < kHeight; ++y)
      for (uint32_t x = 0; x < kWidth; ++x) {
        uint8_t* p = &img.bytes[(size_t{y} * kWidth + x) * 4];
        p[0] = static_cast<uint8_t>(x / 8 + (gen() & 15));
        p[1] = static_cast<uint8_t>(y / 4 + (gen() & 15));
        p[2] = static_cast<uint8_t>((x + y) / 12 + (gen() & 15));
        p[3] = static_cast<uint8_t>(255 - (gen() & 63));
      }
    return img;
  }();
  return image;
}

void Blit(Image& dst, Image& src, uint32_t filter, benchmark::State& state) {
  SurfaceBlitter blitter;
  if (blitter.Blit(dst.Region(), src.Region(), filter) != S_OK) state.SkipWithError("blit failed");
}

void RunBlit(benchmark::State& state, uint32_t dstFormat, uint32_t dw, uint32_t dh, uint32_t filter) {
  Image src = Source();
  Image dst(dstFormat, dw, dh);
  for (auto _ : state) {
    Blit(dst, src, filter, state);
    benchmark::DoNotOptimize(dst.bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);  // source pixels per second
}

void BM_ConvertToX8R8G8B8(benchmark::State& s) { RunBlit(s, D3DFMT_X8R8G8B8, kWidth, kHeight, GX_FILTER_POINT); }
void BM_ConvertToR5G6B5Dither(benchmark::State& s) {
  RunBlit(s, D3DFMT_R5G6B5, kWidth, kHeight, GX_FILTER_POINT | GX_FILTER_DITHER);
}
void BM_Linear_1024x512(benchmark::State& s) { RunBlit(s, D3DFMT_A8R8G8B8, 1024, 512, GX_FILTER_LINEAR); }
void BM_Linear_2048x2048(benchmark::State& s) { RunBlit(s, D3DFMT_A8R8G8B8, 2048, 2048, GX_FILTER_LINEAR); }
void BM_Box2x2Integer_1024x512(benchmark::State& s) { RunBlit(s, D3DFMT_A8R8G8B8, 1024, 512, GX_FILTER_BOX); }
void BM_Box2x2Float_1024x512(benchmark::State& s) {
  RunBlit(s, D3DFMT_A8R8G8B8, 1024, 512, GX_FILTER_BOX | GX_FILTER_DITHER);
}
void BM_Triangle_700x350(benchmark::State& s) { RunBlit(s, D3DFMT_A8R8G8B8, 700, 350, GX_FILTER_TRIANGLE); }

void RunStb(benchmark::State& state, uint32_t dw, uint32_t dh, stbir_filter filter) {
  const Image& src = Source();
  std::vector<uint8_t> dst(size_t{dw} * dh * 4);
  for (auto _ : state) {
    stbir_resize_uint8_generic(src.bytes.data(), kWidth, kHeight, kWidth * 4, dst.data(), dw, dh, dw * 4, 4, 3, 0,
                               STBIR_EDGE_CLAMP, filter, STBIR_COLORSPACE_LINEAR, nullptr);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
}

void BM_Stb_Triangle_1024x512(benchmark::State& s) { RunStb(s, 1024, 512, STBIR_FILTER_TRIANGLE); }
void BM_Stb_Triangle_2048x2048(benchmark::State& s) { RunStb(s, 2048, 2048, STBIR_FILTER_TRIANGLE); }
void BM_Stb_Box_1024x512(benchmark::State& s) { RunStb(s, 1024, 512, STBIR_FILTER_BOX); }
void BM_Stb_Triangle_700x350(benchmark::State& s) { RunStb(s, 700, 350, STBIR_FILTER_TRIANGLE); }

// ---- mip chains -------------------------------------------------------------------

std::vector<Image> ChainLevels() {
  std::vector<Image> levels;
  for (uint32_t w = kWidth, h = kHeight;; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1) {
    levels.emplace_back(D3DFMT_A8R8G8B8, w, h);
    if (w == 1 && h == 1) break;
  }
  return levels;  // 12 levels: 2048x1024 down to 1x1
}

// Box filter, each level from the one before.
void BM_BoxMipChain(benchmark::State& state) {
  std::vector<Image> levels = ChainLevels();
  levels[0] = Source();
  for (auto _ : state) {
    for (size_t i = 1; i < levels.size(); ++i) Blit(levels[i], levels[i - 1], GX_FILTER_BOX, state);
    benchmark::DoNotOptimize(levels.back().bytes.data());
  }
  state.counters["levels"] = static_cast<double>(levels.size());
}

// The yardstick: a plain 2x2 integer loop over bytes for the same chain.
void BM_PlainLoopMipChain(benchmark::State& state) {
  std::vector<Image> levels = ChainLevels();
  levels[0] = Source();
  for (auto _ : state) {
    for (size_t i = 1; i < levels.size(); ++i) {
      const Image& s = levels[i - 1];
      Image& d = levels[i];
      const size_t sx = s.w > 1 ? 4 : 0, sy = s.h > 1 ? size_t{s.w} * 4 : 0;
      for (uint32_t y = 0; y < d.h; ++y) {
        const uint8_t* r0 = &s.bytes[(s.h > 1 ? 2 * y : 0) * size_t{s.w} * 4];
        uint8_t* out = &d.bytes[size_t{y} * d.w * 4];
        for (uint32_t x = 0; x < d.w; ++x) {
          const uint8_t* p = r0 + (s.w > 1 ? 8 * size_t{x} : 0);
          for (int c = 0; c < 4; ++c) {
            out[4 * x + c] = static_cast<uint8_t>((p[c] + p[c + sx] + p[c + sy] + p[c + sx + sy] + 2) >> 2);
          }
        }
      }
    }
    benchmark::DoNotOptimize(levels.back().bytes.data());
  }
}

// Triangle filter, every level made from the full-size image.
void BM_TriangleChainFromFullSize(benchmark::State& state) {
  std::vector<Image> levels = ChainLevels();
  levels[0] = Source();
  for (auto _ : state) {
    for (size_t i = 1; i < levels.size(); ++i) Blit(levels[i], levels[0], GX_FILTER_TRIANGLE, state);
    benchmark::DoNotOptimize(levels.back().bytes.data());
  }
}

void BM_Stb_TriangleChainFromFullSize(benchmark::State& state) {
  std::vector<Image> levels = ChainLevels();
  levels[0] = Source();
  for (auto _ : state) {
    for (size_t i = 1; i < levels.size(); ++i) {
      Image& d = levels[i];
      stbir_resize_uint8_generic(levels[0].bytes.data(), kWidth, kHeight, kWidth * 4, d.bytes.data(), d.w, d.h,
                                 d.w * 4, 4, 3, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_TRIANGLE, STBIR_COLORSPACE_LINEAR,
                                 nullptr);
    }
    benchmark::DoNotOptimize(levels.back().bytes.data());
  }
}

}  // namespace

BENCHMARK(BM_ConvertToX8R8G8B8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToR5G6B5Dither)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Linear_1024x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Triangle_1024x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Linear_2048x2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Triangle_2048x2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box2x2Integer_1024x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box2x2Float_1024x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Box_1024x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Triangle_700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Triangle_700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMipChain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoopMipChain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangleChainFromFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_TriangleChainFromFullSize)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
