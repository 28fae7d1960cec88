// The box paths of the blitter: 2x2 and 2x2x2 averages for exact halving.
#include "gfx/pixel/box_filter_fixed.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

// Wd = Ws / 2, or both 1.
bool Halves(uint32_t source, uint32_t dest) { return dest == source / 2 || (dest == 1 && source == 1); }

// An odd size above 1 loses its last column (row, slice).
uint32_t EvenPart(uint32_t size) { return size > 1 ? size & ~1u : 1; }

inline FloatColor Add(const FloatColor& a, const FloatColor& b) { return {a.r + b.r, a.g + b.g, a.b + b.b, a.a + b.a}; }
inline FloatColor Scale(const FloatColor& a, float s) { return {a.r * s, a.g * s, a.b * s, a.a * s}; }

// Sum of the 2x2 samples of destination column x (column 0 twice when the source is one pixel wide).
inline FloatColor Sum2x2(const FloatColor* row0, const FloatColor* row1, uint32_t x, bool single) {
  const uint32_t c0 = single ? 0 : 2 * x;
  const uint32_t c1 = single ? 0 : 2 * x + 1;
  return Add(Add(Add(row0[c0], row0[c1]), row1[c0]), row1[c1]);
}

}  // namespace

bool SurfaceBlitter::BlitBox2D() {
  if (FilterType() != GX_FILTER_BOX) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (!Halves(s.width(), d.width()) || !Halves(s.height(), d.height()) || s.depth() != 1 || d.depth() != 1)
    return false;
  const uint32_t w = EvenPart(s.width());
  const uint32_t h = EvenPart(s.height());

  // Integer fast path on the stored values. It cannot apply a colour key, so
  // keyed sources take the float path below.
  if ((filter_ & GX_FILTER_DITHER) == 0 && s.format() == d.format() && w > 1 && h > 1 && s.colorKey() == 0 &&
      s.byteAddressable()) {
    const BoxFilterRows rows{s.bits(), s.rowPitch(), d.bits(), d.rowPitch(), d.width(), d.height()};
    if (BoxFilter2DInteger(s.format(), rows)) {
      path_ = BlitPath::kBox2DInteger;
      return true;
    }
  }

  auto row0 = AllocateColors(s.width());
  auto row1 = AllocateColors(s.width());
  auto out = AllocateColors(d.width());
  if (!row0 || !row1 || !out) return false;
  const bool singleColumn = w == 1;
  for (uint32_t y = 0; y < d.height(); ++y) {
    s.DecodeRow(h == 1 ? 0 : 2 * y, 0, row0.get());
    const FloatColor* second = row0.get();
    if (h > 1) {
      s.DecodeRow(2 * y + 1, 0, row1.get());
      second = row1.get();
    }
    for (uint32_t x = 0; x < d.width(); ++x) out[x] = Scale(Sum2x2(row0.get(), second, x, singleColumn), 0.25f);
    d.EncodeRow(y, 0, out.get());
  }
  path_ = BlitPath::kBox2D;
  return true;
}

bool SurfaceBlitter::BlitBox3D() {
  if (FilterType() != GX_FILTER_BOX) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (!Halves(s.width(), d.width()) || !Halves(s.height(), d.height()) || d.depth() != s.depth() / 2) return false;
  const uint32_t w = EvenPart(s.width());
  const uint32_t h = EvenPart(s.height());

  // rows[slice][row]
  std::unique_ptr<FloatColor[]> buffers[4];
  for (auto& b : buffers) {
    b = AllocateColors(s.width());
    if (!b) return false;
  }
  auto out = AllocateColors(d.width());
  if (!out) return false;
  const bool singleColumn = w == 1;
  for (uint32_t z = 0; z < d.depth(); ++z) {
    for (uint32_t y = 0; y < d.height(); ++y) {
      const FloatColor* rows[2][2];
      for (uint32_t k = 0; k < 2; ++k) {
        s.DecodeRow(h == 1 ? 0 : 2 * y, 2 * z + k, buffers[2 * k].get());
        rows[k][0] = rows[k][1] = buffers[2 * k].get();
        if (h > 1) {
          s.DecodeRow(2 * y + 1, 2 * z + k, buffers[2 * k + 1].get());
          rows[k][1] = buffers[2 * k + 1].get();
        }
      }
      for (uint32_t x = 0; x < d.width(); ++x) {
        const FloatColor front = Sum2x2(rows[0][0], rows[0][1], x, singleColumn);
        const FloatColor back = Sum2x2(rows[1][0], rows[1][1], x, singleColumn);
        out[x] = Scale(Add(front, back), 0.125f);
      }
      d.EncodeRow(y, z, out.get());
    }
  }
  path_ = BlitPath::kBox3D;
  return true;
}
