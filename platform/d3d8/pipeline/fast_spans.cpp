#include "fast_spans.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

#include "fast_state.h"
#include "pixel_shader.h"

namespace d3d8pipe {

namespace {

bool IsPowerOfTwo(UINT v) { return v != 0 && (v & (v - 1)) == 0; }

inline int FloorToInt(float x) {
  const int i = static_cast<int>(x);
  return x < static_cast<float>(i) ? i - 1 : i;
}

inline float Tame(float x) { return std::min(std::max(x, -1.0e6f), 1.0e6f); }

inline int Wrap(int i, int mask, bool clamp) {
  if (!clamp) return i & mask;
  return i < 0 ? 0 : (i > mask ? mask : i);
}

inline uint32_t Texel(const FastLevel& l, int x, int y) {
  uint32_t t;
  std::memcpy(&t, l.bits + static_cast<ptrdiff_t>(y) * l.pitch + 4 * x, 4);
  return t;
}

// Texel colour in the low four 16-bit lanes (b, g, r, a).
inline __m128i Widen(uint32_t texel) { return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(texel)), _mm_setzero_si128()); }

[[gnu::always_inline]] inline __m128i Lerp16(__m128i a, __m128i b, int weight7) {  // weight in 0..128
  const __m128i d = _mm_mullo_epi16(_mm_sub_epi16(b, a), _mm_set1_epi16(static_cast<short>(weight7)));
  return _mm_add_epi16(a, _mm_srai_epi16(d, 7));
}

[[gnu::always_inline]] inline __m128i SamplePoint(const FastState& s, const FastLevel& l, float u, float v) {
  const int x = Wrap(FloorToInt(Tame(u * l.width)), l.widthMask, s.clampU);
  const int y = Wrap(FloorToInt(Tame(v * l.height)), l.heightMask, s.clampV);
  return Widen(Texel(l, x, y));
}

[[gnu::always_inline]] inline __m128i SampleLinear(const FastState& s, const FastLevel& l, float u, float v) {
  const float x = Tame(u * l.width - 0.5f), y = Tame(v * l.height - 0.5f);
  const int xi = FloorToInt(x), yi = FloorToInt(y);
  const int wx = static_cast<int>((x - static_cast<float>(xi)) * 128.0f);
  const int wy = static_cast<int>((y - static_cast<float>(yi)) * 128.0f);
  const int x0 = Wrap(xi, l.widthMask, s.clampU), x1 = Wrap(xi + 1, l.widthMask, s.clampU);
  const int y0 = Wrap(yi, l.heightMask, s.clampV), y1 = Wrap(yi + 1, l.heightMask, s.clampV);
  const BYTE* r0 = l.bits + static_cast<ptrdiff_t>(y0) * l.pitch;
  const BYTE* r1 = l.bits + static_cast<ptrdiff_t>(y1) * l.pitch;
  uint32_t t00, t01, t10, t11;
  std::memcpy(&t00, r0 + 4 * x0, 4);
  std::memcpy(&t01, r0 + 4 * x1, 4);
  std::memcpy(&t10, r1 + 4 * x0, 4);
  std::memcpy(&t11, r1 + 4 * x1, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128i left = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t00)), _mm_cvtsi32_si128(static_cast<int>(t10))), zero);
  const __m128i right = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t01)), _mm_cvtsi32_si128(static_cast<int>(t11))), zero);
  const __m128i rows = Lerp16(left, right, wx);  // top row in the low lanes, bottom row in the high lanes
  return Lerp16(rows, _mm_unpackhi_epi64(rows, rows), wy);
}

[[gnu::always_inline]] inline __m128i SampleLevel(const FastState& s, int level, bool linear, float u, float v) {
  return linear ? SampleLinear(s, s.levels[level], u, v) : SamplePoint(s, s.levels[level], u, v);
}

[[gnu::always_inline]] inline __m128i Sample(const FastState& s, float u, float v, float lod) {
  if (lod <= 0.0f || s.mipFilter == D3DTEXF_NONE || s.lastLevel == s.baseLevel) {
    return SampleLevel(s, s.baseLevel, lod <= 0.0f ? s.magLinear : s.minLinear, u, v);
  }
  if (s.mipFilter == D3DTEXF_POINT) {
    return SampleLevel(s, std::min(s.baseLevel + static_cast<int>(lod + 0.5f), s.lastLevel), s.minLinear, u, v);
  }
  const float clamped = std::min(lod, static_cast<float>(s.lastLevel - s.baseLevel));
  const int first = s.baseLevel + static_cast<int>(clamped);
  if (first >= s.lastLevel) return SampleLevel(s, s.lastLevel, s.minLinear, u, v);
  const int weight = static_cast<int>((clamped - static_cast<float>(static_cast<int>(clamped))) * 128.0f);
  const __m128i a = SampleLevel(s, first, s.minLinear, u, v);
  if (weight == 0) return a;
  return Lerp16(a, SampleLevel(s, first + 1, s.minLinear, u, v), weight);
}

// x / 255 with rounding, for x in 0..65025, per 16-bit lane.
inline __m128i Div255(__m128i x) {
  x = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

inline __m128i Pick(Source source, __m128i diffuse, __m128i texture, __m128i modulated) {
  switch (source) {
    case Source::kDiffuse: return diffuse;
    case Source::kTexture: return texture;
    case Source::kModulate: return modulated;
    default: return _mm_set1_epi16(255);
  }
}

template <DepthMode kDepth, bool kTextured, bool kBlend>
void FastSpan(const void* opaque, const RasterPrimitive& p, int y, int x0, int x1) {
  const PixelShader& shader = *static_cast<const PixelShader*>(opaque);
  const FastState& s = *std::launder(reinterpret_cast<const FastState*>(shader.fastState));
  const float fy = static_cast<float>(y) - p.originY;
  const float fx = static_cast<float>(x0) - p.originX;
  float z = p.z.base + p.z.dx * fx + p.z.dy * fy;
  float q = p.invW.base + p.invW.dx * fx + p.invW.dy * fy;
  // Diffuse in b, g, r, a order, pre-multiplied by 1/w.
  const Plane* d = p.attr + kDiffuseAttr;
  __m128 diffuse = _mm_setr_ps(d[2].base + d[2].dx * fx + d[2].dy * fy, d[1].base + d[1].dx * fx + d[1].dy * fy,
                               d[0].base + d[0].dx * fx + d[0].dy * fy, d[3].base + d[3].dx * fx + d[3].dy * fy);
  const __m128 diffuseStep = _mm_setr_ps(d[2].dx, d[1].dx, d[0].dx, d[3].dx);
  const Plane& pu = p.attr[kTexAttr];
  const Plane& pv = p.attr[kTexAttr + 1];
  float uq = 0, vq = 0;
  if (kTextured) {
    uq = pu.base + pu.dx * fx + pu.dy * fy;
    vq = pv.base + pv.dx * fx + pv.dy * fy;
  }
  const __m128 scale255 = _mm_set1_ps(255.0f);
  const __m128i alphaLane = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, 0);

  uint32_t* target = reinterpret_cast<uint32_t*>(shader.target + static_cast<ptrdiff_t>(y) * shader.targetPitch);
  BYTE* depthRow = kDepth == DepthMode::kNone ? nullptr : shader.depth.bits + static_cast<ptrdiff_t>(y) * shader.depth.pitch;

  for (int x = x0; x <= x1; ++x) {
    bool visible = true;
    uint32_t depthValue = 0;
    if constexpr (kDepth == DepthMode::k24) {
      uint32_t stored;
      std::memcpy(&stored, depthRow + 4 * x, 4);
      const float zc = z < 0.0f ? 0.0f : (z > 1.0f ? 1.0f : z);
      depthValue = std::min(static_cast<uint32_t>(zc * 16777215.0f + 0.5f), 0xFFFFFFu);
      visible = depthValue < (stored >> 8) + s.depthInclusive;
      if (visible && s.depthWrite) {
        stored = (stored & 0xFFu) | (depthValue << 8);
        std::memcpy(depthRow + 4 * x, &stored, 4);
      }
    } else if constexpr (kDepth == DepthMode::k16) {
      uint16_t stored;
      std::memcpy(&stored, depthRow + 2 * x, 2);
      const float zc = z < 0.0f ? 0.0f : (z > 1.0f ? 1.0f : z);
      depthValue = static_cast<uint32_t>(zc * 65535.0f + 0.5f);
      visible = depthValue < static_cast<uint32_t>(stored) + s.depthInclusive;
      if (visible && s.depthWrite) {
        stored = static_cast<uint16_t>(depthValue);
        std::memcpy(depthRow + 2 * x, &stored, 2);
      }
    }
    if (visible) {
      const float w = 1.0f / q;
      const __m128i diffuse32 = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_mul_ps(diffuse, _mm_set1_ps(w)), scale255), _mm_setzero_ps()), scale255));
      const __m128i diffuse16 = _mm_packs_epi32(diffuse32, diffuse32);
      __m128i texture16 = _mm_set1_epi16(255);
      if constexpr (kTextured) {
        const float u = uq * w, v = vq * w;
        const float ax = (pu.dx - u * p.invW.dx) * w * s.width0, bx = (pv.dx - v * p.invW.dx) * w * s.height0;
        const float ay = (pu.dy - u * p.invW.dy) * w * s.width0, by = (pv.dy - v * p.invW.dy) * w * s.height0;
        const float rho2 = std::max(ax * ax + bx * bx, ay * ay + by * by);
        const float lod = rho2 > 0.0f ? 0.5f * FastLog2(rho2) + s.lodBias : -100.0f;
        texture16 = Sample(s, u, v, lod);
      }
      const __m128i modulated = Div255(_mm_mullo_epi16(texture16, diffuse16));
      const __m128i rgb = Pick(s.color, diffuse16, texture16, modulated);
      const __m128i a = Pick(s.alpha, diffuse16, texture16, modulated);
      __m128i color = _mm_or_si128(_mm_andnot_si128(alphaLane, rgb), _mm_and_si128(alphaLane, a));
      if constexpr (kBlend) {
        const __m128i dst = Widen(target[x] | (shader.targetKind == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u));
        const __m128i alpha = _mm_shufflelo_epi16(color, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
        color = Div255(_mm_add_epi16(_mm_mullo_epi16(color, alpha), _mm_mullo_epi16(dst, inverse)));
      }
      target[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(color, color)));
    }
    z += p.z.dx;
    q += p.invW.dx;
    diffuse = _mm_add_ps(diffuse, diffuseStep);
    if (kTextured) {
      uq += pu.dx;
      vq += pv.dx;
    }
  }
}

template <DepthMode kDepth>
SpanFunction ForDepth(bool textured, bool blend) {
  if (textured) return blend ? FastSpan<kDepth, true, true> : FastSpan<kDepth, true, false>;
  return blend ? FastSpan<kDepth, false, true> : FastSpan<kDepth, false, false>;
}

bool ArgIs(DWORD arg, DWORD which) { return arg == which; }

// Source of a single-stage operation over TEXTURE and DIFFUSE, if it is one.
bool StageSource(DWORD op, DWORD arg1, DWORD arg2, bool textureWhite, Source& out) {
  auto of = [&](DWORD arg, Source& s) {
    if (ArgIs(arg, D3DTA_TEXTURE)) {
      s = textureWhite ? Source::kOne : Source::kTexture;
      return true;
    }
    if (ArgIs(arg, D3DTA_DIFFUSE) || ArgIs(arg, D3DTA_CURRENT)) {  // stage 0: current is diffuse
      s = Source::kDiffuse;
      return true;
    }
    return false;
  };
  Source a, b;
  switch (op) {
    case D3DTOP_SELECTARG1: return of(arg1, out);
    case D3DTOP_SELECTARG2: return of(arg2, out);
    case D3DTOP_MODULATE:
      if (!of(arg1, a) || !of(arg2, b)) return false;
      if (a == b && a != Source::kOne) return false;  // texture × texture, diffuse × diffuse
      if (a == Source::kOne) out = b;
      else if (b == Source::kOne) out = a;
      else out = Source::kModulate;
      return true;
    default: return false;
  }
}

}  // namespace

SpanFunction SelectFastSpan(const PixelShader& shader) {
  static_assert(sizeof(FastState) <= sizeof(shader.fastState), "scratch space too small");
  // The state object lives in the shader's scratch space from here on.
  FastState& s = *new (const_cast<PixelShader&>(shader).fastState) FastState{};
  if (shader.targetKind != TargetKind::kX8R8G8B8 && shader.targetKind != TargetKind::kA8R8G8B8) return nullptr;
  if (shader.alphaTest || shader.specularAdd || (shader.blend.writeMask & 0xF) != 0xF) return nullptr;
  const bool blend = shader.blend.enabled;
  if (blend && !(shader.blend.source == D3DBLEND_SRCALPHA && shader.blend.dest == D3DBLEND_INVSRCALPHA &&
                 shader.blend.op == D3DBLENDOP_ADD))
    return nullptr;
  DepthMode depth = DepthMode::kNone;
  if (shader.depth.test) {
    if (shader.depth.func == D3DCMP_LESSEQUAL) s.depthInclusive = 1;
    else if (shader.depth.func == D3DCMP_LESS) s.depthInclusive = 0;
    else return nullptr;
    if (shader.depth.kind == DepthKind::k24) depth = DepthMode::k24;
    else if (shader.depth.kind == DepthKind::k16) depth = DepthMode::k16;
    else return nullptr;
    s.depthWrite = shader.depth.write;
  }

  s.textured = false;
  if (shader.stageCount == 0) {
    s.color = s.alpha = Source::kDiffuse;
  } else if (shader.stageCount == 1) {
    const StageSetup& st = shader.stages[0];
    if (st.resultArg != D3DTA_CURRENT && st.resultArg != D3DTA_DIFFUSE) return nullptr;
    const bool white = !shader.sampled[0];
    if (!StageSource(st.colorOp, st.colorArg1, st.colorArg2, white, s.color)) return nullptr;
    if (st.alphaOp == D3DTOP_DISABLE) {
      s.alpha = Source::kDiffuse;
    } else if (!StageSource(st.alphaOp, st.alphaArg1, st.alphaArg2, white, s.alpha)) {
      return nullptr;
    }
    if (shader.sampled[0] && st.readsTexture) {
      const Sampler& sampler = shader.samplers[0];
      const TextureView& t = *sampler.texture;
      if (t.format != D3DFMT_A8R8G8B8 && t.format != D3DFMT_X8R8G8B8) return nullptr;
      if (t.format == D3DFMT_X8R8G8B8 && (s.alpha == Source::kTexture || s.alpha == Source::kModulate)) return nullptr;
      const auto mode = [](DWORD a, bool& clamp) {
        clamp = a == D3DTADDRESS_CLAMP;
        return a == D3DTADDRESS_CLAMP || a == D3DTADDRESS_WRAP;
      };
      if (!mode(sampler.addressU, s.clampU) || !mode(sampler.addressV, s.clampV)) return nullptr;
      if (sampler.magFilter > D3DTEXF_LINEAR || sampler.minFilter > D3DTEXF_LINEAR || sampler.mipFilter > D3DTEXF_LINEAR)
        return nullptr;
      for (UINT l = 0; l < t.levelCount; ++l) {
        const SurfaceView& level = t.levels[l];
        if (!IsPowerOfTwo(level.width) || !IsPowerOfTwo(level.height)) return nullptr;
        s.levels[l] = {static_cast<const BYTE*>(level.bits), level.pitch, static_cast<int>(level.width - 1),
                       static_cast<int>(level.height - 1), static_cast<float>(level.width), static_cast<float>(level.height),
                       static_cast<int8_t>(std::countr_zero(t.levels[0].width) - std::countr_zero(level.width)),
                       static_cast<int8_t>(std::countr_zero(t.levels[0].height) - std::countr_zero(level.height)),
                       level.width > 1 && level.height > 1};
      }
      s.magLinear = sampler.magFilter == D3DTEXF_LINEAR;
      s.minLinear = sampler.minFilter == D3DTEXF_LINEAR;
      s.mipFilter = sampler.mipFilter;
      s.lodBias = sampler.lodBias;
      s.baseLevel = sampler.baseLevel;
      s.lastLevel = sampler.lastLevel;
      s.width0 = sampler.width;
      s.height0 = sampler.height;
      s.textured = true;
      // An X8R8G8B8 texture's alpha reads as 1: only its colour is used here.
    }
  } else {
    return nullptr;
  }

  if (AllowedSpanRoutines() == SpanRoutines::kFastest) {
    if (SpanFunction wide = SelectAvx2Span(depth, s.textured, blend, s)) return wide;
  }
  switch (depth) {
    case DepthMode::k24: return ForDepth<DepthMode::k24>(s.textured, blend);
    case DepthMode::k16: return ForDepth<DepthMode::k16>(s.textured, blend);
    default: return ForDepth<DepthMode::kNone>(s.textured, blend);
  }
}

}  // namespace d3d8pipe
