// Portable pixmaps: P3 (decimal samples) and P6 (binary bytes).
#include "gfx/image/source_image.h"

namespace {

bool IsSpace(BYTE c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

// Reads the decimal tokens of the file, skipping white space and comments.
class PpmTokens {
 public:
  PpmTokens(const BYTE* data, uint64_t size, uint64_t start) : data_(data), size_(size), pos_(start) {}

  // S_OK with the next number; S_FALSE at the end of the data; E_FAIL for a
  // token that is not a decimal number or does not fit in 32 bits.
  HRESULT Next(UINT& value) {
    while (pos_ < size_) {
      const BYTE c = data_[pos_];
      if (IsSpace(c)) {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < size_ && data_[pos_] != '\n') ++pos_;
        if (pos_ < size_) ++pos_;
      } else {
        return ReadNumber(value);
      }
    }
    return S_FALSE;
  }

  uint64_t position() const { return pos_; }

 private:
  HRESULT ReadNumber(UINT& value) {
    uint64_t number = 0;
    while (pos_ < size_ && !IsSpace(data_[pos_])) {
      const BYTE c = data_[pos_++];
      if (c < '0' || c > '9') return E_FAIL;
      number = number * 10 + (c - '0');
      if (number > 0xFFFFFFFFu) return E_FAIL;
    }
    value = static_cast<UINT>(number);
    return S_OK;
  }

  const BYTE* data_;
  uint64_t size_;
  uint64_t pos_;
};

DWORD Scale(UINT sample, UINT maximum) {
  // Samples above the maximum are clamped so that a channel never spills into its neighbour.
  const uint64_t scaled = uint64_t{sample} * 255 / maximum;
  return static_cast<DWORD>(scaled > 255 ? 255 : scaled);
}

DWORD Pixel(DWORD red, DWORD green, DWORD blue) { return 0xFF000000u | red << 16 | green << 8 | blue; }

}  // namespace

HRESULT SourceImage::LoadPpm(const BYTE* data, UINT size) {
  if (size < 2 || data[0] != 'P' || (data[1] != '3' && data[1] != '6')) return E_FAIL;
  if (size == 2) return E_FAIL;
  const bool binary = data[1] == '6';

  PpmTokens tokens(data, size, 2);
  UINT header[3] = {};
  for (int i = 0; i < 3; ++i) {
    if (tokens.Next(header[i]) != S_OK || header[i] == 0) return E_FAIL;
    if (i == 1) {
      // Every pixel needs at least three more bytes: refuse what the data
      // cannot fill before allocating for it.
      const uint64_t count = uint64_t{header[0]} * header[1];
      if (count * 3 > size - tokens.position() || count * 4 > 0xFFFFFFFFu) return E_FAIL;
      const HRESULT hr = AllocatePixels(count * 4);
      if (FAILED(hr)) return hr;
      format = D3DFMT_X8R8G8B8;
      width = header[0];
      height = header[1];
      depth = 1;
      rowPitch = 4 * width;
      slicePitch = 0;
    }
  }
  const UINT maximum = header[2];
  const uint64_t count = uint64_t{width} * height;
  DWORD* out = reinterpret_cast<DWORD*>(pixels);

  if (!binary) {
    for (uint64_t i = 0; i < count; ++i) {
      UINT rgb[3];
      for (UINT& sample : rgb) {
        if (tokens.Next(sample) != S_OK) return E_FAIL;
      }
      out[i] = Pixel(Scale(rgb[0], maximum), Scale(rgb[1], maximum), Scale(rgb[2], maximum));
    }
    return S_OK;
  }

  if (maximum > 255) return E_FAIL;
  uint64_t pos = tokens.position();
  if (size - pos >= 2 && data[pos] == '\r') ++pos;
  if (pos < size) ++pos;  // the one white-space byte that ends the header
  if ((size - pos) / 3 < count) return E_FAIL;
  for (uint64_t i = 0; i < count; ++i, pos += 3) {
    out[i] = Pixel(Scale(data[pos], maximum), Scale(data[pos + 1], maximum), Scale(data[pos + 2], maximum));
  }
  return S_OK;
}
