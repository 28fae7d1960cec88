// The linear paths of the blitter: bilinear and trilinear resampling with a
// small cache of decoded source rows.
#include <utility>

#include "gfx/pixel/filter_weights.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

// Two decoded source rows of one slice with their indices (-1: none).
struct RowPair {
  FloatColor* row[2];
  int32_t index[2] = {-1, -1};
};

inline FloatColor Bilinear(const RowPair& rows, const LinearTap& tx, float wy0, float wy1) {
  const FloatColor& a0 = rows.row[0][tx.index0];
  const FloatColor& a1 = rows.row[0][tx.index1];
  const FloatColor& b0 = rows.row[1][tx.index0];
  const FloatColor& b1 = rows.row[1][tx.index1];
  const float u0 = tx.weight0, u1 = tx.weight1;
  return {wy0 * (u0 * a0.r + u1 * a1.r) + wy1 * (u0 * b0.r + u1 * b1.r),
          wy0 * (u0 * a0.g + u1 * a1.g) + wy1 * (u0 * b0.g + u1 * b1.g),
          wy0 * (u0 * a0.b + u1 * a1.b) + wy1 * (u0 * b0.b + u1 * b1.b),
          wy0 * (u0 * a0.a + u1 * a1.a) + wy1 * (u0 * b0.a + u1 * b1.a)};
}

// Brings rows i0 and i1 of `slices` into their pairs. When i0 is the row held
// second, the buffers swap roles instead of decoding again; all slices move
// together, so checking the first is enough.
void FetchRows(PixelCodec& source, RowPair* pairs, const uint32_t* slices, int count, const LinearTap& ty) {
  if (pairs[0].index[0] != ty.index0) {
    if (pairs[0].index[1] == ty.index0) {
      for (int k = 0; k < count; ++k) {
        std::swap(pairs[k].row[0], pairs[k].row[1]);
        pairs[k].index[0] = pairs[k].index[1];
        pairs[k].index[1] = -1;
      }
    } else {
      for (int k = 0; k < count; ++k) {
        source.DecodeRow(static_cast<uint32_t>(ty.index0), slices[k], pairs[k].row[0]);
        pairs[k].index[0] = ty.index0;
      }
    }
  }
  if (pairs[0].index[1] != ty.index1) {
    for (int k = 0; k < count; ++k) {
      source.DecodeRow(static_cast<uint32_t>(ty.index1), slices[k], pairs[k].row[1]);
      pairs[k].index[1] = ty.index1;
    }
  }
}

}  // namespace

bool SurfaceBlitter::BlitLinear2D() {
  if (FilterType() != GX_FILTER_LINEAR) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (s.depth() != 1 || d.depth() != 1) return false;
  auto tx = BuildLinearTaps(d.width(), s.width(), Wraps(GX_FILTER_MIRROR_U));
  auto ty = BuildLinearTaps(d.height(), s.height(), Wraps(GX_FILTER_MIRROR_V));
  auto buf0 = AllocateColors(s.width());
  auto buf1 = AllocateColors(s.width());
  auto out = AllocateColors(d.width());
  if (!tx || !ty || !buf0 || !buf1 || !out) return false;

  RowPair rows{{buf0.get(), buf1.get()}};
  const uint32_t slice = 0;
  for (uint32_t y = 0; y < d.height(); ++y) {
    const LinearTap& tapY = ty[y];
    FetchRows(s, &rows, &slice, 1, tapY);
    for (uint32_t x = 0; x < d.width(); ++x) out[x] = Bilinear(rows, tx[x], tapY.weight0, tapY.weight1);
    d.EncodeRow(y, 0, out.get());
  }
  path_ = BlitPath::kLinear2D;
  return true;
}

bool SurfaceBlitter::BlitLinear3D() {
  if (FilterType() != GX_FILTER_LINEAR) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  auto tx = BuildLinearTaps(d.width(), s.width(), Wraps(GX_FILTER_MIRROR_U));
  auto ty = BuildLinearTaps(d.height(), s.height(), Wraps(GX_FILTER_MIRROR_V));
  auto tz = BuildLinearTaps(d.depth(), s.depth(), Wraps(GX_FILTER_MIRROR_W));
  std::unique_ptr<FloatColor[]> buffers[4];
  for (auto& b : buffers) b = AllocateColors(s.width());
  auto out = AllocateColors(d.width());
  if (!tx || !ty || !tz || !buffers[0] || !buffers[1] || !buffers[2] || !buffers[3] || !out) return false;

  for (uint32_t z = 0; z < d.depth(); ++z) {
    const LinearTap& tapZ = tz[z];
    // The cache starts empty for every destination slice.
    RowPair pairs[2] = {RowPair{{buffers[0].get(), buffers[1].get()}}, RowPair{{buffers[2].get(), buffers[3].get()}}};
    const uint32_t slices[2] = {static_cast<uint32_t>(tapZ.index0), static_cast<uint32_t>(tapZ.index1)};
    for (uint32_t y = 0; y < d.height(); ++y) {
      const LinearTap& tapY = ty[y];
      FetchRows(s, pairs, slices, 2, tapY);
      for (uint32_t x = 0; x < d.width(); ++x) {
        const FloatColor p = Bilinear(pairs[0], tx[x], tapY.weight0, tapY.weight1);
        const FloatColor q = Bilinear(pairs[1], tx[x], tapY.weight0, tapY.weight1);
        const float c0 = tapZ.weight0, c1 = tapZ.weight1;
        out[x] = {c0 * p.r + c1 * q.r, c0 * p.g + c1 * q.g, c0 * p.b + c1 * q.b, c0 * p.a + c1 * q.a};
      }
      d.EncodeRow(y, z, out.get());
    }
  }
  path_ = BlitPath::kLinear3D;
  return true;
}
