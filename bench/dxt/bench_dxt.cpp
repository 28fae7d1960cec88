// DXT1 and DXT5 encoding of the 2048x1024 Earth image: throughput (pixels per
// second on one core) and quality (RMSE and PSNR against the original), for
// our encoder beside libsquish (range fit, cluster fit, iterative cluster fit)
// and stb_dxt (normal and high quality). Every result is decoded by the same
// decoder (ours) before it is measured. Ours runs eight blocks at a time
// (AVX2), four (SSE2), one at a time, and through the surface blitter.
//
// The image has no alpha; the DXT5 runs give it one (the pixel's luminance)
// so that the alpha encoders have work to do. Their quality counters cover
// colour and alpha separately.
//
// The image is found at $KELVANE_EARTH_JPG, else in the shared data directory
// next to the source tree, else in graphics/ of the source tree.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <squish.h>

#include <cstring>  // stb_dxt uses memcpy without including it

#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gfx/pixel/block_decode.h"
#include "gfx/pixel/block_encode.h"
#include "gfx/pixel/block_format.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // 8-bit source, alpha = luminance
};

bool ReadJpeg(const std::string& path, Image& image) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  image.width = static_cast<int>(cinfo.output_width);
  image.height = static_cast<int>(cinfo.output_height);
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
  for (int y = 0; y < image.height; ++y) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < image.width; ++x) {
      uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      p[0] = row[3 * x];
      p[1] = row[3 * x + 1];
      p[2] = row[3 * x + 2];
      p[3] = static_cast<uint8_t>((54 * p[0] + 183 * p[1] + 19 * p[2] + 128) >> 8);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return true;
}

// The image as 4x4 blocks, in both input forms: 8-bit RGBA (libsquish,
// stb_dxt) and FloatColor (ours). `opaque` replaces alpha by 255.
struct Blocks {
  size_t count = 0;
  std::vector<uint8_t> rgba;      // 64 bytes per block
  std::vector<FloatColor> color;  // 16 per block
};

const Image& Earth() {
  static const Image image = [] {
    Image img;
    std::vector<std::string> paths;
    if (const char* env = std::getenv("KELVANE_EARTH_JPG")) paths.emplace_back(env);
    // The shared data directory sits beside the main tree and two levels
    // above a work tree.
    paths.emplace_back(std::string(KELVANE_SOURCE_DIR) + "/../shared/data/earth.jpg");
    paths.emplace_back(std::string(KELVANE_SOURCE_DIR) + "/../../shared/data/earth.jpg");
    paths.emplace_back(std::string(KELVANE_SOURCE_DIR) + "/graphics/earth.jpg");
    for (const std::string& p : paths)
      if (ReadJpeg(p, img)) return img;
    std::fprintf(stderr, "bench_dxt: earth.jpg not found (set KELVANE_EARTH_JPG)\n");
    std::exit(1);
  }();
  return image;
}

Blocks MakeBlocks(bool opaque) {
  const Image& image = Earth();
  Blocks b;
  const int bw = image.width / 4, bh = image.height / 4;
  b.count = static_cast<size_t>(bw) * bh;
  b.rgba.resize(b.count * 64);
  b.color.resize(b.count * 16);
  for (int by = 0; by < bh; ++by) {
    for (int bx = 0; bx < bw; ++bx) {
      const size_t n = static_cast<size_t>(by) * bw + bx;
      for (int i = 0; i < 16; ++i) {
        const uint8_t* p = &image.rgba[((static_cast<size_t>(by) * 4 + i / 4) * image.width + bx * 4 + i % 4) * 4];
        uint8_t* q = &b.rgba[n * 64 + i * 4];
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
        q[3] = opaque ? 255 : p[3];
        b.color[n * 16 + i] = {q[0] / 255.0f, q[1] / 255.0f, q[2] / 255.0f, q[3] / 255.0f};
      }
    }
  }
  return b;
}

const Blocks& OpaqueBlocks() {
  static const Blocks b = MakeBlocks(true);
  return b;
}
const Blocks& AlphaBlocks() {
  static const Blocks b = MakeBlocks(false);
  return b;
}

int To8(float v) {
  const float x = v * 255.0f + 0.5f;
  return x <= 0.0f ? 0 : x >= 255.0f ? 255 : static_cast<int>(x);
}

// Decodes every block with our decoder and reports colour (and alpha) RMSE
// and PSNR in 8-bit units against the 8-bit source: RMSE over red, green and
// blue alike, as the usual figure.
void ReportQuality(benchmark::State& state, uint32_t format, const Blocks& in, const std::vector<uint8_t>& out) {
  const uint32_t size = BlockBytes(format);
  const BlockDecoder decode = GetBlockDecoder(format);
  double colorSum = 0.0, lumaSum = 0.0, alphaSum = 0.0;
  FloatColor pixels[16];
  for (size_t n = 0; n < in.count; ++n) {
    decode(&out[n * size], pixels);
    for (int i = 0; i < 16; ++i) {
      const uint8_t* src = &in.rgba[n * 64 + i * 4];
      const double dr = To8(pixels[i].r) - src[0], dg = To8(pixels[i].g) - src[1], db = To8(pixels[i].b) - src[2];
      const double da = To8(pixels[i].a) - src[3];
      colorSum += dr * dr + dg * dg + db * db;
      lumaSum += 0.2125 * dr * dr + 0.7154 * dg * dg + 0.0721 * db * db;
      alphaSum += da * da;
    }
  }
  const double colorRmse = std::sqrt(colorSum / (in.count * 48.0));
  state.counters["rmse"] = colorRmse;
  state.counters["psnr_db"] = 20.0 * std::log10(255.0 / colorRmse);
  // The same error with the channels weighted by their share of luma, the
  // measure our encoder's perceptual weights aim at.
  state.counters["luma_weighted_psnr_db"] = 20.0 * std::log10(255.0 / std::sqrt(lumaSum / (in.count * 16.0)));
  if (format != D3DFMT_DXT1) {
    const double alphaRmse = std::sqrt(alphaSum / (in.count * 16.0));
    state.counters["alpha_rmse"] = alphaRmse;
    state.counters["alpha_psnr_db"] = alphaRmse > 0 ? 20.0 * std::log10(255.0 / alphaRmse) : 999.0;
  }
}

using EncodeImage = std::function<void(uint32_t format, const Blocks& in, uint8_t* out)>;

void Run(benchmark::State& state, uint32_t format, const EncodeImage& encode) {
  const Blocks& in = format == D3DFMT_DXT1 ? OpaqueBlocks() : AlphaBlocks();
  std::vector<uint8_t> out(in.count * BlockBytes(format));
  for (auto _ : state) {
    encode(format, in, out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.count) * 16);
  ReportQuality(state, format, in, out);
}

void OursSse2(uint32_t format, const Blocks& in, uint8_t* out) {
  BlockEncodeTestAllowAvx2(false);
  EncodeBlocks(format, in.color.data(), static_cast<uint32_t>(in.count), out);
  BlockEncodeTestAllowAvx2(true);
}

// AVX2 where the processor has it (otherwise the same as the SSE2 run).
void OursAvx2(uint32_t format, const Blocks& in, uint8_t* out) {
  EncodeBlocks(format, in.color.data(), static_cast<uint32_t>(in.count), out);
}

void OursOneBlock(uint32_t format, const Blocks& in, uint8_t* out) {
  const BlockEncoder encode = GetBlockEncoder(format);
  const uint32_t size = BlockBytes(format);
  for (size_t n = 0; n < in.count; ++n) encode(&in.color[n * 16], out + n * size);
}

// The whole road of a texture load: 32-bit pixels through the surface
// blitter (convert path) into a DXT surface, whose blocks are laid out row of
// blocks after row of blocks like `out`.
struct ArgbImage {
  std::vector<uint32_t> opaque, withAlpha;
};

const ArgbImage& EarthArgb() {
  static const ArgbImage image = [] {
    const Image& e = Earth();
    ArgbImage a;
    for (size_t i = 0; i < e.rgba.size(); i += 4) {
      const uint32_t rgb = (uint32_t{e.rgba[i]} << 16) | (uint32_t{e.rgba[i + 1]} << 8) | e.rgba[i + 2];
      a.opaque.push_back(0xFF000000u | rgb);
      a.withAlpha.push_back((uint32_t{e.rgba[i + 3]} << 24) | rgb);
    }
    return a;
  }();
  return image;
}

void OursThroughBlitter(uint32_t format, const Blocks&, uint8_t* out) {
  const Image& e = Earth();
  const uint32_t w = static_cast<uint32_t>(e.width), h = static_cast<uint32_t>(e.height);
  const std::vector<uint32_t>& pixels = format == D3DFMT_DXT1 ? EarthArgb().opaque : EarthArgb().withAlpha;
  PixelRegion source{};
  source.bits = reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(pixels.data()));
  source.format = D3DFMT_A8R8G8B8;
  source.rowPitch = w * 4;
  source.extent = source.box = {0, 0, w, h, 0, 1};
  PixelRegion dest{};
  dest.bits = out;
  dest.format = format;
  dest.rowPitch = w / 4 * BlockBytes(format);
  dest.extent = dest.box = {0, 0, w, h, 0, 1};
  SurfaceBlitter blitter;
  if (blitter.Blit(dest, source, GX_FILTER_NONE) != S_OK) std::abort();
}

EncodeImage Squish(int fit) {
  return [fit](uint32_t format, const Blocks& in, uint8_t* out) {
    const int flags = fit | (format == D3DFMT_DXT1 ? squish::kDxt1 : squish::kDxt5);
    const uint32_t size = BlockBytes(format);
    for (size_t n = 0; n < in.count; ++n) squish::Compress(&in.rgba[n * 64], out + n * size, flags);
  };
}

EncodeImage Stb(int mode) {
  return [mode](uint32_t format, const Blocks& in, uint8_t* out) {
    const int alpha = format == D3DFMT_DXT1 ? 0 : 1;
    const uint32_t size = BlockBytes(format);
    for (size_t n = 0; n < in.count; ++n) stb_compress_dxt_block(out + n * size, &in.rgba[n * 64], alpha, mode);
  };
}

void Register(const char* name, uint32_t format, EncodeImage encode, int iterations) {
  benchmark::RegisterBenchmark(name, [format, encode](benchmark::State& s) { Run(s, format, encode); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(iterations);
}

// Registered before main runs, in table order.
const bool kRegistered = [] {
  for (uint32_t format : {uint32_t{D3DFMT_DXT1}, uint32_t{D3DFMT_DXT5}}) {
    const std::string f = format == D3DFMT_DXT1 ? "DXT1" : "DXT5";
    Register((f + "/ours_avx2").c_str(), format, OursAvx2, 5);
    Register((f + "/ours_sse2").c_str(), format, OursSse2, 5);
    Register((f + "/ours_one_block").c_str(), format, OursOneBlock, 3);
    Register((f + "/ours_through_blitter").c_str(), format, OursThroughBlitter, 5);
    Register((f + "/stb_dxt_normal").c_str(), format, Stb(STB_DXT_NORMAL), 10);
    Register((f + "/stb_dxt_highqual").c_str(), format, Stb(STB_DXT_HIGHQUAL), 10);
    Register((f + "/squish_range_fit").c_str(), format, Squish(squish::kColourRangeFit), 10);
    Register((f + "/squish_cluster_fit").c_str(), format, Squish(squish::kColourClusterFit), 1);
    Register((f + "/squish_iterative_cluster_fit").c_str(), format, Squish(squish::kColourIterativeClusterFit), 1);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
