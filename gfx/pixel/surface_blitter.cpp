#include "gfx/pixel/surface_blitter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

bool BoxIsValid(const D3DBOX& b) { return b.Left < b.Right && b.Top < b.Bottom && b.Front < b.Back; }

bool IsBlockCompressed(uint32_t format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
         format == D3DFMT_DXT5;
}

}  // namespace

std::unique_ptr<FloatColor[]> AllocateColors(uint64_t count) {
  if (count == 0 || count > (uint64_t{1} << 32)) return nullptr;
  return std::unique_ptr<FloatColor[]>(new (std::nothrow) FloatColor[count]);
}

SurfaceBlitter::~SurfaceBlitter() {
  // The destination goes first: it flushes pending rows of YUV and
  // block-compressed surfaces.
  dest_.reset();
  source_.reset();
}

HRESULT SurfaceBlitter::Blit(const PixelRegion& dest, const PixelRegion& source, uint32_t filter) {
  const uint32_t type = filter & 0xFFFF;
  if (type == 0 || type > GX_FILTER_BOX || (filter & 0xFFF00000u) != 0) return D3DERR_INVALIDCALL;
  if (!BoxIsValid(dest.box) || !BoxIsValid(source.box)) return D3DERR_INVALIDCALL;

  filter_ = filter;
  path_ = BlitPath::kNone;
  PixelRegion destRegion = dest;
  destRegion.dither = (filter & GX_FILTER_DITHER) ? 1 : 0;
  dest_ = CreatePixelCodec(destRegion);
  source_ = dest_ ? CreatePixelCodec(source) : nullptr;

  HRESULT hr = E_FAIL;
  if (dest_ && source_) {
    hr = dest_->SetSourceDomain(*source_);
    if (SUCCEEDED(hr)) {
      const bool done = BlitSameFormat() || BlitConvert() || BlitNone() || BlitPoint() || BlitBox2D() ||
                        BlitBox3D() || BlitLinear2D() || BlitLinear3D() || BlitTriangle2D() || BlitTriangle3D();
      hr = done ? S_OK : E_FAIL;
    }
  }
  dest_.reset();
  source_.reset();
  return hr;
}

bool SurfaceBlitter::BlitSameFormat() {
  const PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (s.format() != d.format() || s.colorKey() != 0) return false;
  if (s.width() != d.width() || s.height() != d.height() || s.depth() != d.depth()) return false;
  if (s.isPalettised()) {
    for (int i = 0; i < 256; ++i) {
      const FloatColor& a = s.palette()[i];
      const FloatColor& b = d.palette()[i];
      if (a.r != b.r || a.g != b.g || a.b != b.b || a.a != b.a) return false;
    }
  }
  if (!s.byteAddressable()) return BlitBlockCopy();

  for (uint32_t z = 0; z < d.depth(); ++z) {
    for (uint32_t y = 0; y < d.height(); ++y) {
      const uint8_t* from = s.bits() + size_t{y} * s.rowPitch() + size_t{z} * s.slicePitch();
      uint8_t* to = d.bits() + size_t{y} * d.rowPitch() + size_t{z} * d.slicePitch();
      std::memmove(to, from, d.bytesPerRow());
    }
  }
  path_ = BlitPath::kSameFormat;
  return true;
}

bool SurfaceBlitter::BlitBlockCopy() {
  const PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (!IsBlockCompressed(s.format())) return false;
  const D3DBOX& sb = s.box();
  const D3DBOX& db = d.box();
  if (((sb.Left | sb.Top | sb.Right | sb.Bottom | db.Left | db.Top | db.Right | db.Bottom) & 3) != 0) return false;

  const size_t blockBytes = s.format() == D3DFMT_DXT1 ? 8 : 16;
  const size_t rowBytes = size_t{d.width() / 4} * blockBytes;
  for (uint32_t z = 0; z < d.depth(); ++z) {
    for (uint32_t row = 0; row < d.height() / 4; ++row) {
      const uint8_t* from = s.bits() + size_t{sb.Top / 4 + row} * s.rowPitch() + size_t{sb.Left / 4} * blockBytes +
                            size_t{sb.Front + z} * s.slicePitch();
      uint8_t* to = d.bits() + size_t{db.Top / 4 + row} * d.rowPitch() + size_t{db.Left / 4} * blockBytes +
                    size_t{db.Front + z} * d.slicePitch();
      std::memmove(to, from, rowBytes);
    }
  }
  path_ = BlitPath::kBlockCopy;
  return true;
}

bool SurfaceBlitter::BlitConvert() {
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  if (s.width() != d.width() || s.height() != d.height() || s.depth() != d.depth()) return false;
  auto row = AllocateColors(d.width());
  if (!row) return false;
  for (uint32_t z = 0; z < d.depth(); ++z) {
    for (uint32_t y = 0; y < d.height(); ++y) {
      s.DecodeRow(y, z, row.get());
      d.EncodeRow(y, z, row.get());
    }
  }
  path_ = BlitPath::kConvert;
  return true;
}

bool SurfaceBlitter::BlitNone() {
  if (FilterType() != GX_FILTER_NONE) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  const uint32_t h = std::min(s.height(), d.height());
  const uint32_t depth = std::min(s.depth(), d.depth());
  auto row = AllocateColors(std::max(s.width(), d.width()));
  auto zeros = AllocateColors(d.width());
  if (!row || !zeros) return false;
  std::fill_n(row.get(), std::max(s.width(), d.width()), FloatColor{0, 0, 0, 0});
  std::fill_n(zeros.get(), d.width(), FloatColor{0, 0, 0, 0});

  for (uint32_t z = 0; z < d.depth(); ++z) {
    for (uint32_t y = 0; y < d.height(); ++y) {
      if (z < depth && y < h) {
        // Columns at or beyond the source's width keep the zeros they started with.
        s.DecodeRow(y, z, row.get());
        d.EncodeRow(y, z, row.get());
      } else {
        d.EncodeRow(y, z, zeros.get());
      }
    }
  }
  path_ = BlitPath::kNoFilter;
  return true;
}

bool SurfaceBlitter::BlitPoint() {
  if (FilterType() != GX_FILTER_POINT) return false;
  PixelCodec& s = *source_;
  PixelCodec& d = *dest_;
  auto in = AllocateColors(s.width());
  auto out = AllocateColors(d.width());
  if (!in || !out) return false;
  // 16.16 fixed-point steps, not centred: destination 0 samples source 0.
  const uint64_t stepX = (uint64_t{s.width()} << 16) / d.width();
  const uint64_t stepY = (uint64_t{s.height()} << 16) / d.height();
  const uint64_t stepZ = (uint64_t{s.depth()} << 16) / d.depth();

  uint64_t posZ = 0;
  for (uint32_t z = 0; z < d.depth(); ++z, posZ += stepZ) {
    const uint32_t sz = static_cast<uint32_t>(posZ >> 16);
    int64_t decodedRow = -1;
    uint64_t posY = 0;
    for (uint32_t y = 0; y < d.height(); ++y, posY += stepY) {
      const uint32_t sy = static_cast<uint32_t>(posY >> 16);
      if (sy != decodedRow) {
        s.DecodeRow(sy, sz, in.get());
        decodedRow = sy;
      }
      uint64_t posX = 0;
      for (uint32_t x = 0; x < d.width(); ++x, posX += stepX) out[x] = in[posX >> 16];
      d.EncodeRow(y, z, out.get());
    }
  }
  path_ = BlitPath::kPoint;
  return true;
}
