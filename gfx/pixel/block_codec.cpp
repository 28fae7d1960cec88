#include "gfx/pixel/block_codec.h"

#include <new>

#include "gfx/pixel/block_encode.h"
#include "gfx/pixel/block_format.h"
#include "gfx/pixel/block_lanes.h"

namespace {

// 0 for a surface 1 pixel across, 1 for 2 pixels, 3 otherwise: pixel i of a
// block repeats pixel i & mask.
uint32_t ReplicateMask(uint32_t size) { return size == 1 ? 0 : size == 2 ? 1 : 3; }

float Quantize(float v, float levels) { return block_lanes::Trunc(v * levels + 0.5f) / levels; }

std::unique_ptr<FloatColor[]> NewBlocks(uint32_t count) {
  return std::unique_ptr<FloatColor[]>(new (std::nothrow) FloatColor[size_t{count} * kBlockPixels]());
}

}  // namespace

BlockCodec::BlockCodec(const PixelRegion& region)
    : PixelCodec(region, 0, DOMAIN_UNSIGNED),
      blockBytes_(BlockBytes(region.format)),
      decoder_(GetBlockDecoder(region.format)),
      replicateMaskX_(ReplicateMask(region.extent.Right - region.extent.Left)),
      replicateMaskY_(ReplicateMask(region.extent.Bottom - region.extent.Top)),
      replicate_(replicateMaskX_ != 3 || replicateMaskY_ != 3),
      extent_(region.extent),
      alignedLeft_(region.box.Left & ~3u),
      alignedTop_(region.box.Top & ~3u),
      alignedRight_((region.box.Right + 3) & ~3u),
      alignedBottom_((region.box.Bottom + 3) & ~3u),
      blocksPerRow_((alignedRight_ - alignedLeft_) / 4),
      blockRows_((alignedBottom_ - alignedTop_) / 4),
      alphaStep_(region.format == D3DFMT_DXT2 || region.format == D3DFMT_DXT3 ? 15.0f : 255.0f) {}

BlockCodec::~BlockCodec() = default;

uint8_t* BlockCodec::BlockAddress(uint32_t blockRow, uint32_t blockColumn, uint32_t slice) const {
  return bits_ + size_t{blockRow} * rowPitch_ + size_t{blockColumn} * blockBytes_ + size_t{slice} * slicePitch_;
}

bool BlockCodec::FillDecodeCache(uint32_t blockRow, uint32_t slice) {
  if (!decodeCache_) {
    decodeCache_ = NewBlocks(blocksPerRow_);
    if (!decodeCache_) return false;
  }
  if (cachedBlockRow_ != blockRow || cachedSlice_ != slice) {
    for (uint32_t i = 0; i < blocksPerRow_; ++i)
      decoder_(BlockAddress(blockRow, alignedLeft_ / 4 + i, slice), &decodeCache_[size_t{i} * kBlockPixels]);
    cachedBlockRow_ = blockRow;
    cachedSlice_ = slice;
  }
  return true;
}

FloatColor BlockCodec::QuantizeLikeKey(const FloatColor& c) const {
  return {Quantize(c.r, 31.0f), Quantize(c.g, 63.0f), Quantize(c.b, 31.0f), Quantize(c.a, alphaStep_)};
}

void BlockCodec::QuantizeColorKey() { keyColor_ = QuantizeLikeKey(keyColor_); }

void BlockCodec::DecodeRow(uint32_t y, uint32_t z, FloatColor* out) {
  if (y >= height_ || z >= depth_ || width_ == 0) return;
  const uint32_t row = box_.Top + y;
  if (!FillDecodeCache(row / 4, box_.Front + z)) return;
  const uint32_t first = box_.Left - alignedLeft_;
  const uint32_t inBlockRow = (row & 3) * 4;
  for (uint32_t i = 0; i < width_; ++i) {
    const uint32_t column = first + i;
    out[i] = decodeCache_[size_t{column / 4} * kBlockPixels + inBlockRow + (column & 3)];
  }
  if (colorKey_ == 0) return;
  // Compare as the format stores colours, so that interpolated palette
  // entries match the key they round to.
  const FloatColor& k = keyColor_;
  for (uint32_t i = 0; i < width_; ++i) {
    const FloatColor q = QuantizeLikeKey(out[i]);
    if (q.r == k.r && q.g == k.g && q.b == k.b && q.a == k.a) out[i] = {0.0f, 0.0f, 0.0f, 0.0f};
  }
}

void BlockCodec::StartPendingRow(PendingRow& row, uint32_t y, uint32_t slice) {
  // Rows outside the box count as present. Those on the surface come from
  // memory; those past its edge are filled when the block row is complete.
  const uint32_t top = y & ~3u;
  bool loadAll = false;
  uint8_t present = 0;
  for (uint32_t r = 0; r < 4; ++r) {
    const uint32_t py = top + r;
    if (py >= box_.Top && py < box_.Bottom) continue;
    present |= static_cast<uint8_t>(1u << r);
    if (py >= extent_.Top && py < extent_.Bottom) loadAll = true;
  }
  row.mask = present;

  const uint32_t blockRow = y / 4;
  auto load = [&](uint32_t i) {
    decoder_(BlockAddress(blockRow, alignedLeft_ / 4 + i, slice), &row.blocks[size_t{i} * kBlockPixels]);
  };
  if (loadAll) {
    for (uint32_t i = 0; i < blocksPerRow_; ++i) load(i);
    return;
  }
  // Columns of the edge blocks outside the box, likewise.
  const bool loadFirst = alignedLeft_ < box_.Left;
  const bool loadLast = alignedRight_ > box_.Right && box_.Right < extent_.Right;
  if (loadFirst) load(0);
  if (loadLast && !(loadFirst && blocksPerRow_ == 1)) load(blocksPerRow_ - 1);
}

void BlockCodec::FillPastEdges(FloatColor* blocks, uint32_t y) const {
  if (replicate_) {
    // Surfaces 1 or 2 pixels across: pixel (r, c) repeats pixel
    // (r & maskY, c & maskX); those sources map onto themselves, so the
    // order of copying does not matter.
    for (uint32_t i = 0; i < blocksPerRow_; ++i) {
      FloatColor* px = blocks + size_t{i} * kBlockPixels;
      for (uint32_t r = 0; r < 4; ++r)
        for (uint32_t c = 0; c < 4; ++c) px[r * 4 + c] = px[(r & replicateMaskY_) * 4 + (c & replicateMaskX_)];
    }
  }
  // Larger surfaces whose size is no multiple of 4: the pixels past the
  // right and bottom edges repeat the edge pixels, so that the blocks fit the
  // surface's own pixels rather than whatever the padding held.
  const uint32_t top = y & ~3u;
  if (replicateMaskY_ == 3 && top + 4 > extent_.Bottom) {
    const uint32_t lastRow = extent_.Bottom - 1 - top;
    for (uint32_t i = 0; i < blocksPerRow_; ++i) {
      FloatColor* px = blocks + size_t{i} * kBlockPixels;
      for (uint32_t r = lastRow + 1; r < 4; ++r)
        for (uint32_t c = 0; c < 4; ++c) px[r * 4 + c] = px[lastRow * 4 + c];
    }
  }
  if (replicateMaskX_ == 3 && alignedRight_ > extent_.Right) {
    FloatColor* px = blocks + size_t{blocksPerRow_ - 1} * kBlockPixels;
    const uint32_t lastColumn = (extent_.Right - 1) & 3;
    for (uint32_t r = 0; r < 4; ++r)
      for (uint32_t c = lastColumn + 1; c < 4; ++c) px[r * 4 + c] = px[r * 4 + lastColumn];
  }
}

void BlockCodec::FinishPendingRow(size_t entry, uint32_t y, uint32_t slice) {
  PendingRow& row = pending_[entry];
  FillPastEdges(row.blocks.get(), y);
  EncodeBlocks(format_, row.blocks.get(), blocksPerRow_, BlockAddress(y / 4, alignedLeft_ / 4, slice));

  // The next block row usually starts next: let it reuse the buffer.
  const size_t next = entry + 1;
  if (next < size_t{blockRows_} * depth_ && !pending_[next].blocks && pending_[next].mask == 0) {
    pending_[next].blocks = std::move(row.blocks);
  } else {
    row.blocks.reset();
    --liveBuffers_;
  }
}

void BlockCodec::EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) {
  if (y >= height_ || z >= depth_ || width_ == 0) return;
  if (!pending_) {
    const uint64_t entries = uint64_t{blockRows_} * depth_;
    if (entries > (uint64_t{1} << 40) / sizeof(PendingRow)) return;
    pending_.reset(new (std::nothrow) PendingRow[static_cast<size_t>(entries)]);
    if (!pending_) return;
  }
  const uint32_t row = box_.Top + y;
  const uint32_t slice = box_.Front + z;
  const size_t entry = size_t{z} * blockRows_ + (row - alignedTop_) / 4;
  PendingRow& pending = pending_[entry];
  if (!pending.blocks) {
    pending.blocks = NewBlocks(blocksPerRow_);
    if (!pending.blocks) return;
    pending.mask = 0;
    ++liveBuffers_;
  }
  if (pending.mask == 0) StartPendingRow(pending, row, slice);

  const FloatColor* src = ConvertRange(in);
  const uint32_t first = box_.Left - alignedLeft_;
  const uint32_t r = row & 3;
  for (uint32_t i = 0; i < width_; ++i) {
    const uint32_t column = first + i;
    pending.blocks[size_t{column / 4} * kBlockPixels + r * 4 + (column & 3)] = src[i];
  }
  if (replicate_) {
    for (uint32_t bit = 0; bit < 4; ++bit)
      if (r == (bit & replicateMaskY_)) pending.mask |= static_cast<uint8_t>(1u << bit);
  } else {
    pending.mask |= static_cast<uint8_t>(1u << r);
  }
  if (pending.mask == 15) FinishPendingRow(entry, row, slice);
}

std::unique_ptr<PixelCodec> CreateBlockCodec(const PixelRegion& region) {
  const D3DBOX& b = region.box;
  const D3DBOX& e = region.extent;
  if (!IsBlockFormat(region.format) || region.bits == nullptr) return nullptr;
  if (b.Right < b.Left || b.Bottom < b.Top || b.Back < b.Front) return nullptr;
  // The box must lie inside the surface, whose blocks the codec reads and
  // writes whole.
  if (b.Left < e.Left || b.Top < e.Top || b.Front < e.Front || b.Right > e.Right || b.Bottom > e.Bottom ||
      b.Back > e.Back || e.Right > 0xFFFFFFF0u || e.Bottom > 0xFFFFFFF0u)
    return nullptr;
  return std::unique_ptr<PixelCodec>(new (std::nothrow) BlockCodec(region));
}
