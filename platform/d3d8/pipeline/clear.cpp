// Clear: fills rectangles of the render target and the depth buffer.
#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "draw_context.h"
#include "draw_queue.h"
#include "pixel_output.h"

namespace d3d8pipe {

namespace {

struct Rect {
  int64_t x0, y0, x1, y1;  // half-open
};

// One run of 32-bit words: the bits in keepMask are kept, the rest set from value.
void FillRun32(uint32_t* p, int64_t count, uint32_t value, uint32_t keepMask) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(value & ~keepMask));
  const __m128i keep = _mm_set1_epi32(static_cast<int>(keepMask));
  int64_t x = 0;
  for (; x + 4 <= count; x += 4) {
    __m128i* q = reinterpret_cast<__m128i*>(p + x);
    __m128i out = v;
    if (keepMask != 0) out = _mm_or_si128(_mm_and_si128(_mm_loadu_si128(q), keep), v);
    _mm_storeu_si128(q, out);
  }
  for (; x < count; ++x) p[x] = (p[x] & keepMask) | (value & ~keepMask);
}

// The same eight words at a time, with the stores aligned: the clear runs every
// frame over the whole target and depth buffer, and on processors with AVX2
// the wide stores take half the time.
__attribute__((target("avx2"))) void FillRun32Avx2(uint32_t* p, int64_t count, uint32_t value,
                                                    uint32_t keepMask) {
  const uint32_t set = value & ~keepMask;
  int64_t x = 0;
  for (; x < count && (reinterpret_cast<uintptr_t>(p + x) & 31) != 0; ++x) p[x] = (p[x] & keepMask) | set;
  const __m256i v = _mm256_set1_epi32(static_cast<int>(set));
  if (keepMask == 0) {
    for (; x + 8 <= count; x += 8) _mm256_store_si256(reinterpret_cast<__m256i*>(p + x), v);
  } else {
    const __m256i keep = _mm256_set1_epi32(static_cast<int>(keepMask));
    for (; x + 8 <= count; x += 8) {
      __m256i* q = reinterpret_cast<__m256i*>(p + x);
      _mm256_store_si256(q, _mm256_or_si256(_mm256_and_si256(_mm256_load_si256(q), keep), v));
    }
  }
  for (; x < count; ++x) p[x] = (p[x] & keepMask) | set;
}

void FillRect32(const SurfaceView& surface, const Rect& r, uint32_t value, uint32_t keepMask) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  BYTE* bits = static_cast<BYTE*>(surface.bits);
  const int64_t width = r.x1 - r.x0;
  // Whole rows of a surface without padding make one run.
  const bool contiguous = width * 4 == surface.pitch;
  const int64_t rows = contiguous ? 1 : r.y1 - r.y0;
  const int64_t count = contiguous ? width * (r.y1 - r.y0) : width;
  for (int64_t y = 0; y < rows; ++y) {
    uint32_t* run = reinterpret_cast<uint32_t*>(bits + (r.y0 + y) * surface.pitch) + r.x0;
    if (avx2) {
      FillRun32Avx2(run, count, value, keepMask);
    } else {
      FillRun32(run, count, value, keepMask);
    }
  }
}

template <typename T>
void FillRect(const SurfaceView& surface, const Rect& r, T value, T keepMask) {
  for (int64_t y = r.y0; y < r.y1; ++y) {
    T* row = reinterpret_cast<T*>(static_cast<BYTE*>(surface.bits) + y * surface.pitch);
    if (keepMask == 0) {
      std::fill(row + r.x0, row + r.x1, value);
    } else {
      for (int64_t x = r.x0; x < r.x1; ++x) row[x] = static_cast<T>((row[x] & keepMask) | (value & ~keepMask));
    }
  }
}

}  // namespace

HRESULT ClearSurfaces(const DrawContext& context, DWORD rectCount, const D3DRECT* rects, DWORD flags,
                      D3DCOLOR color, float z, DWORD stencil) {
  if (rectCount != 0 && rects == nullptr) return D3DERR_INVALIDCALL;
  const SurfaceView& rt = context.renderTarget;
  const SurfaceView& ds = context.depth;
  const TargetKind target = TargetKindOf(rt.format);
  const DepthKind depth = DepthKindOf(ds.format);
  const bool clearTarget = (flags & D3DCLEAR_TARGET) != 0;
  const bool clearDepth = (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0;
  if (clearTarget && (target == TargetKind::kNone || rt.bits == nullptr ||
                      rt.pitch < static_cast<INT>(rt.width * TargetBytes(target))))
    return D3DERR_INVALIDCALL;
  if (clearDepth && (depth == DepthKind::kNone || ds.bits == nullptr ||
                     ds.pitch < static_cast<INT>(ds.width * DepthBytes(depth))))
    return D3DERR_INVALIDCALL;
  if (!(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
  if (QueueClear(context, rectCount, rects, flags, color, z, stencil)) return D3D_OK;

  // Depth word: depth bits and/or stencil bits replaced, the rest kept.
  uint32_t depthValue = 0, keep = 0xFFFFFFFFu;
  if (clearDepth) {
    const uint32_t depthMask = DepthMask(depth);
    const uint32_t stencilMask = depth == DepthKind::k24 ? (ds.format == D3DFMT_D24X4S4 ? 0x0Fu : 0xFFu)
                                 : depth == DepthKind::k15S1 ? 0x1u : 0u;
    if (flags & D3DCLEAR_ZBUFFER) {
      depthValue |= QuantizeDepth(depth, z) & depthMask;
      keep &= ~depthMask;
    }
    if ((flags & D3DCLEAR_STENCIL) && stencilMask != 0 && ds.format != D3DFMT_D24X8) {
      depthValue |= stencil & stencilMask;
      keep &= ~stencilMask;
    }
  }

  const D3DVIEWPORT8& vp = context.viewport;
  auto clearOne = [&](Rect r) {
    r.x0 = std::max<int64_t>(r.x0, vp.X);
    r.y0 = std::max<int64_t>(r.y0, vp.Y);
    r.x1 = std::min<int64_t>(r.x1, static_cast<int64_t>(vp.X) + vp.Width);
    r.y1 = std::min<int64_t>(r.y1, static_cast<int64_t>(vp.Y) + vp.Height);
    if (clearTarget) {
      Rect t{r.x0, r.y0, std::min<int64_t>(r.x1, rt.width), std::min<int64_t>(r.y1, rt.height)};
      if (t.x0 < t.x1 && t.y0 < t.y1) {
        if (TargetBytes(target) == 4) {
          FillRect32(rt, t, target == TargetKind::kX8R8G8B8 ? (color | 0xFF000000u) : color, 0);
        } else {
          uint16_t packed;
          WriteTarget(target, reinterpret_cast<BYTE*>(&packed), color);
          FillRect<uint16_t>(rt, t, packed, 0);
        }
      }
    }
    if (clearDepth) {
      Rect t{r.x0, r.y0, std::min<int64_t>(r.x1, ds.width), std::min<int64_t>(r.y1, ds.height)};
      if (t.x0 < t.x1 && t.y0 < t.y1) {
        if (DepthBytes(depth) == 4) {
          FillRect32(ds, t, depthValue, keep);
        } else {
          FillRect<uint16_t>(ds, t, static_cast<uint16_t>(depthValue), static_cast<uint16_t>(keep));
        }
      }
    }
  };
  if (rectCount == 0) {
    clearOne({vp.X, vp.Y, static_cast<int64_t>(vp.X) + vp.Width, static_cast<int64_t>(vp.Y) + vp.Height});
  } else {
    for (DWORD i = 0; i < rectCount; ++i) {
      const D3DRECT& r = rects[i];
      if (r.x1 < r.x2 && r.y1 < r.y2) clearOne({std::max(r.x1, 0), std::max(r.y1, 0), r.x2, r.y2});
    }
  }
  return D3D_OK;
}

}  // namespace d3d8pipe
