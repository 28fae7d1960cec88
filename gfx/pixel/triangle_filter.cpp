// The triangle paths of the blitter: every source pixel is scattered into the
// destination pixels its tent covers. Each source row (slice) is decoded
// once; only the destination rows (slices) still open hold an accumulator.
#include <algorithm>
#include <new>

#include "gfx/pixel/filter_weights.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

// Accumulators of destination rows (or slices): the open ones by destination
// index, finished buffers kept for reuse, and the contributions still due.
class RowAccumulators {
 public:
  bool Init(uint32_t count, uint64_t colorsPerBuffer, const TriangleWeights& weights, uint32_t sources) {
    count_ = count;
    colors_ = colorsPerBuffer;
    open_.reset(new (std::nothrow) std::unique_ptr<FloatColor[]>[count]);
    free_.reset(new (std::nothrow) std::unique_ptr<FloatColor[]>[count]);
    pending_.reset(new (std::nothrow) uint32_t[count]());
    if (!open_ || !free_ || !pending_) return false;
    TriangleWeights::Cursor cursor = weights.Begin();
    for (uint32_t s = 0; s < sources; ++s) {
      const WeightWord* pairs;
      uint32_t n;
      cursor.Next(pairs, n);
      for (uint32_t i = 0; i < n; ++i) ++pending_[pairs[2 * i].index];
    }
    return true;
  }

  // The buffer of destination `index`, attached (and cleared) on first use.
  FloatColor* Attach(uint32_t index) {
    if (!open_[index]) {
      open_[index] = freeCount_ > 0 ? std::move(free_[--freeCount_]) : AllocateColors(colors_);
      if (!open_[index]) return nullptr;
      std::fill_n(open_[index].get(), colors_, FloatColor{0, 0, 0, 0});
    }
    return open_[index].get();
  }

  FloatColor* Buffer(uint32_t index) const { return open_[index].get(); }

  // One contribution of `index` is done; true when it was the last.
  bool Complete(uint32_t index) { return --pending_[index] == 0; }

  void Release(uint32_t index) { free_[freeCount_++] = std::move(open_[index]); }

  // Destinations that no source reaches (only possible when every weight of
  // theirs was below the cut-off) are finished as zeros.
  template <class Emit>
  bool FinishUnreached(const TriangleWeights& weights, uint32_t sources, Emit emit) {
    std::unique_ptr<bool[]> reached(new (std::nothrow) bool[count_]());
    if (!reached) return false;
    TriangleWeights::Cursor cursor = weights.Begin();
    for (uint32_t s = 0; s < sources; ++s) {
      const WeightWord* pairs;
      uint32_t n;
      cursor.Next(pairs, n);
      for (uint32_t i = 0; i < n; ++i) reached[pairs[2 * i].index] = true;
    }
    for (uint32_t i = 0; i < count_; ++i) {
      if (reached[i]) continue;
      FloatColor* zeros = Attach(i);
      if (!zeros) return false;
      emit(i, zeros);
      Release(i);
    }
    return true;
  }

 private:
  uint32_t count_ = 0;
  uint64_t colors_ = 0;
  std::unique_ptr<std::unique_ptr<FloatColor[]>[]> open_;
  std::unique_ptr<std::unique_ptr<FloatColor[]>[]> free_;
  uint32_t freeCount_ = 0;
  std::unique_ptr<uint32_t[]> pending_;
};

// acc[c] += (wx * weight) * pixel for every pixel of `row` and every pair of its x record.
inline void ScatterRow(const FloatColor* row, uint32_t width, const TriangleWeights& wx, float weight,
                       FloatColor* acc) {
  TriangleWeights::Cursor cursor = wx.Begin();
  for (uint32_t x = 0; x < width; ++x) {
    const WeightWord* pairs;
    uint32_t n;
    cursor.Next(pairs, n);
    const FloatColor p = row[x];
    for (uint32_t i = 0; i < n; ++i) {
      const float w = pairs[2 * i + 1].weight * weight;
      FloatColor& a = acc[pairs[2 * i].index];
      a.r += w * p.r;
      a.g += w * p.g;
      a.b += w * p.b;
      a.a += w * p.a;
    }
  }
}

}  // namespace

bool SurfaceBlitter::BlitTriangle2D() {
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (s.depth() != 1 || d.depth() != 1) return false;
  TriangleWeights wx, wy;
  if (!wx.Build(s.width(), d.width(), Wraps(GX_FILTER_MIRROR_U)) ||
      !wy.Build(s.height(), d.height(), Wraps(GX_FILTER_MIRROR_V)))
    return false;
  RowAccumulators rows;
  auto in = AllocateColors(s.width());
  if (!in || !rows.Init(d.height(), d.width(), wy, s.height())) return false;

  TriangleWeights::Cursor cursor = wy.Begin();
  for (uint32_t sy = 0; sy < s.height(); ++sy) {
    const WeightWord* pairs;
    uint32_t n;
    cursor.Next(pairs, n);
    for (uint32_t i = 0; i < n; ++i) {
      if (!rows.Attach(pairs[2 * i].index)) return false;
    }
    s.DecodeRow(sy, 0, in.get());
    for (uint32_t i = 0; i < n; ++i) {
      ScatterRow(in.get(), s.width(), wx, pairs[2 * i + 1].weight, rows.Buffer(pairs[2 * i].index));
    }
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t r = pairs[2 * i].index;
      if (rows.Complete(r)) {
        d.EncodeRow(r, 0, rows.Buffer(r));
        rows.Release(r);
      }
    }
  }
  if (!rows.FinishUnreached(wy, s.height(), [&](uint32_t r, const FloatColor* zeros) { d.EncodeRow(r, 0, zeros); }))
    return false;
  path_ = BlitPath::kTriangle2D;
  return true;
}

bool SurfaceBlitter::BlitTriangle3D() {
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  TriangleWeights wx, wy, wz;
  if (!wx.Build(s.width(), d.width(), Wraps(GX_FILTER_MIRROR_U)) ||
      !wy.Build(s.height(), d.height(), Wraps(GX_FILTER_MIRROR_V)) ||
      !wz.Build(s.depth(), d.depth(), Wraps(GX_FILTER_MIRROR_W)))
    return false;
  const uint64_t sliceColors = uint64_t{d.width()} * d.height();
  RowAccumulators slices;
  auto in = AllocateColors(s.width());
  if (!in || !slices.Init(d.depth(), sliceColors, wz, s.depth())) return false;

  auto emitSlice = [&](uint32_t z, const FloatColor* slice) {
    for (uint32_t y = 0; y < d.height(); ++y) d.EncodeRow(y, z, slice + size_t{y} * d.width());
  };
  TriangleWeights::Cursor zCursor = wz.Begin();
  for (uint32_t sz = 0; sz < s.depth(); ++sz) {
    const WeightWord* zPairs;
    uint32_t zn;
    zCursor.Next(zPairs, zn);
    for (uint32_t k = 0; k < zn; ++k) {
      if (!slices.Attach(zPairs[2 * k].index)) return false;
    }
    TriangleWeights::Cursor yCursor = wy.Begin();
    for (uint32_t sy = 0; sy < s.height(); ++sy) {
      const WeightWord* yPairs;
      uint32_t yn;
      yCursor.Next(yPairs, yn);
      s.DecodeRow(sy, sz, in.get());
      for (uint32_t k = 0; k < zn; ++k) {
        FloatColor* slice = slices.Buffer(zPairs[2 * k].index);
        const float wz = zPairs[2 * k + 1].weight;
        for (uint32_t i = 0; i < yn; ++i) {
          FloatColor* acc = slice + size_t{yPairs[2 * i].index} * d.width();
          // Each pair is weighted wz * (wx * wy).
          TriangleWeights::Cursor xCursor = wx.Begin();
          const float wyv = yPairs[2 * i + 1].weight;
          for (uint32_t x = 0; x < s.width(); ++x) {
            const WeightWord* xPairs;
            uint32_t xn;
            xCursor.Next(xPairs, xn);
            const FloatColor p = in[x];
            for (uint32_t j = 0; j < xn; ++j) {
              const float w = wz * (xPairs[2 * j + 1].weight * wyv);
              FloatColor& a = acc[xPairs[2 * j].index];
              a.r += w * p.r;
              a.g += w * p.g;
              a.b += w * p.b;
              a.a += w * p.a;
            }
          }
        }
      }
    }
    for (uint32_t k = 0; k < zn; ++k) {
      const uint32_t z = zPairs[2 * k].index;
      if (slices.Complete(z)) {
        emitSlice(z, slices.Buffer(z));
        slices.Release(z);
      }
    }
  }
  if (!slices.FinishUnreached(wz, s.depth(), emitSlice)) return false;
  path_ = BlitPath::kTriangle3D;
  return true;
}
