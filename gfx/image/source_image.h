// The decoded-image record that the image readers fill, and the format
// detector that offers a file image to each reader in turn.
#pragma once

#include <memory>

#include "d3d8_types.h"
#include "gfx/image/gx_image.h"
#include "win_types.h"

// One decoded level or face. A loaded image is a list of faces (nextFace), each
// a list of mip levels (nextLevel); only DDS files produce more than one record.
// `pixels` and `palette` are either owned (allocated by a reader, freed with the
// record) or point into the file image handed to Load, which must then outlive
// the record.
class SourceImage {
 public:
  SourceImage() = default;
  ~SourceImage() { Clear(); }
  SourceImage(const SourceImage&) = delete;
  SourceImage& operator=(const SourceImage&) = delete;

  // Offers (data, size) to the readers in their fixed order until one accepts
  // it; describes the result in `info` when given. GXERR_INVALID_DATA when no
  // reader accepts the data; D3DERR_INVALIDCALL for null data.
  HRESULT Load(const void* data, UINT size, GxImageInfo* info, BOOL loadPixels);

  // The readers. Each fills this record (and, for DDS, further records) and
  // leaves it destroyable whatever the outcome.
  HRESULT LoadBmp(const BYTE* data, UINT size);
  HRESULT LoadPpm(const BYTE* data, UINT size);
  HRESULT LoadDds(const BYTE* data, UINT size);
  HRESULT LoadJpeg(const BYTE* data, UINT size);
  HRESULT LoadPng(const BYTE* data, UINT size);
  HRESULT LoadTga(const BYTE* data, UINT size);
  HRESULT LoadDib(const BYTE* data, UINT size);

  // Frees owned pixels and palette and the further records, and returns every
  // field to its cleared state.
  void Clear();

  // Owned allocations for the readers: zero-filled, E_OUTOFMEMORY when the
  // size does not fit in memory (or in 32 bits for the pixel block).
  HRESULT AllocatePixels(uint64_t bytes);
  HRESULT AllocatePalette();

  D3DFORMAT format = D3DFMT_UNKNOWN;
  BYTE* pixels = nullptr;
  PALETTEENTRY* palette = nullptr;
  UINT width = 0;
  UINT height = 0;
  UINT depth = 0;
  D3DBOX box{};
  UINT rowPitch = 0;
  UINT slicePitch = 0;
  BOOL ownsPixels = FALSE;
  BOOL ownsPalette = FALSE;
  BOOL loadPixels = FALSE;
  D3DRESOURCETYPE resourceType = static_cast<D3DRESOURCETYPE>(0);
  GxImageFileFormat fileFormat = GX_IFF_BMP;
  std::unique_ptr<SourceImage> nextLevel;
  std::unique_ptr<SourceImage> nextFace;
};
