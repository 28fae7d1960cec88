// BlockCodec: the PixelCodec of the block-compressed formats (DXT1-DXT5).
// The blitter reads and writes one pixel row at a time; blocks hold four rows.
// Reading decodes a whole row of blocks into a cache; writing collects rows
// per block row until all four are present and then encodes the blocks.
//
// Partly covered block rows and blocks are completed from the surface: when a
// block row is first written, its rows outside the box are decoded from memory
// and counted as present, and so are the columns of its edge blocks outside
// the box. Every block row whose box rows have all been written is therefore
// encoded, and no pixel outside the box changes beyond the loss of encoding
// its block again. Pixels past the surface's right and bottom edges are not
// read from memory: surfaces one or two pixels wide or tall fill their blocks
// by repeating their pixels, larger ones by repeating their edge pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gfx/pixel/block_decode.h"
#include "gfx/pixel/pixel_codec.h"

class BlockCodec final : public PixelCodec {
 public:
  // Use CreateBlockCodec; the region must have been checked by it.
  explicit BlockCodec(const PixelRegion& region);
  ~BlockCodec() override;

  void DecodeRow(uint32_t y, uint32_t z, FloatColor* out) override;
  void EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) override;
  // Quantizes the key as DecodeRow quantizes the pixels it compares: colour
  // to 5:6:5, alpha to the format's alpha step.
  void QuantizeColorKey() override;

  uint32_t blockBytes() const { return blockBytes_; }
  uint32_t replicateMaskX() const { return replicateMaskX_; }
  uint32_t replicateMaskY() const { return replicateMaskY_; }
  uint32_t blocksPerRow() const { return blocksPerRow_; }
  uint32_t blockRows() const { return blockRows_; }
  // Buffers of block rows that are being collected (or were handed on).
  uint32_t liveBuffers() const { return liveBuffers_; }

 private:
  struct PendingRow {
    uint8_t mask = 0;  // bit r: pixel row r of the block row is present
    std::unique_ptr<FloatColor[]> blocks;
  };

  uint8_t* BlockAddress(uint32_t blockRow, uint32_t blockColumn, uint32_t slice) const;
  bool FillDecodeCache(uint32_t blockRow, uint32_t slice);
  void StartPendingRow(PendingRow& row, uint32_t y, uint32_t slice);
  void FillPastEdges(FloatColor* blocks, uint32_t y) const;
  void FinishPendingRow(size_t entry, uint32_t y, uint32_t slice);
  FloatColor QuantizeLikeKey(const FloatColor& c) const;

  uint32_t blockBytes_;
  BlockDecoder decoder_;
  uint32_t replicateMaskX_;
  uint32_t replicateMaskY_;
  bool replicate_;
  D3DBOX extent_;
  uint32_t alignedLeft_;
  uint32_t alignedTop_;
  uint32_t alignedRight_;
  uint32_t alignedBottom_;
  uint32_t blocksPerRow_;
  uint32_t blockRows_;

  // Reading: one decoded row of blocks and which one it is.
  std::unique_ptr<FloatColor[]> decodeCache_;
  int64_t cachedBlockRow_ = -1;
  int64_t cachedSlice_ = -1;

  // Writing: one entry per block row of each slice of the box.
  std::unique_ptr<PendingRow[]> pending_;
  uint32_t liveBuffers_ = 0;

  float alphaStep_;  // 15 for explicit alpha, 255 otherwise
};

// A BlockCodec for a region of a block-compressed format, or null when the
// format has no blocks, the box is inverted or reaches outside the extent, or
// memory is short.
std::unique_ptr<PixelCodec> CreateBlockCodec(const PixelRegion& region);
