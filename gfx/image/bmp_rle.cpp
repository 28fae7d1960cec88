#include "gfx/image/bmp_rle.h"

namespace {

// The output cursor: x within the row, y counting rows in file order (bottom up).
class RleCanvas {
 public:
  RleCanvas(BYTE* out, UINT width, UINT height, UINT pitch) : out_(out), width_(width), height_(height), pitch_(pitch) {}

  bool Done() const { return y_ >= height_; }
  void Put(BYTE index) {
    if (x_ < width_ && y_ < height_) out_[static_cast<size_t>(height_ - 1 - y_) * pitch_ + x_] = index;
    ++x_;
  }
  void NextLine() {
    x_ = 0;
    ++y_;
  }
  void Move(UINT dx, UINT dy) {
    x_ += dx;
    y_ += dy;
  }

 private:
  BYTE* out_;
  UINT width_;
  UINT height_;
  UINT pitch_;
  // 64-bit so that runs and deltas past the edge never wrap back inside.
  uint64_t x_ = 0;
  uint64_t y_ = 0;
};

BYTE Nibble(BYTE value, size_t i) { return static_cast<BYTE>(i % 2 == 0 ? value >> 4 : value & 0x0F); }

}  // namespace

void DecodeBmpRle(const BYTE* stream, size_t size, bool fourBit, BYTE* out, UINT width, UINT height, UINT pitch) {
  RleCanvas canvas(out, width, height, pitch);
  size_t pos = 0;
  while (pos + 2 <= size && !canvas.Done()) {
    const BYTE count = stream[pos];
    const BYTE value = stream[pos + 1];
    pos += 2;
    if (count > 0) {
      for (size_t i = 0; i < count; ++i) canvas.Put(fourBit ? Nibble(value, i) : value);
      continue;
    }
    switch (value) {
      case 0:
        canvas.NextLine();
        break;
      case 1:
        return;
      case 2:
        if (pos + 2 > size) return;
        canvas.Move(stream[pos], stream[pos + 1]);
        pos += 2;
        break;
      default: {
        // Absolute run of `value` pixels, its bytes padded to an even count.
        const size_t bytes = fourBit ? (value + 1u) / 2 : value;
        if (pos + bytes > size) return;
        for (size_t i = 0; i < value; ++i) canvas.Put(fourBit ? Nibble(stream[pos + i / 2], i) : stream[pos + i]);
        pos += bytes + (bytes & 1);
        break;
      }
    }
  }
}
