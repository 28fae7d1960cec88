#include "fvf.h"

bool ValidFvf(DWORD fvf) {
  if (fvf & (D3DFVF_RESERVED0 | D3DFVF_RESERVED2)) return false;
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  if (position == 0) return false;
  if ((fvf & D3DFVF_LASTBETA_UBYTE4) && (position == D3DFVF_XYZ || position == D3DFVF_XYZRHW)) return false;
  const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  return texCount <= D3DDP_MAXTEXCOORD;
}

UINT FvfVertexSize(DWORD fvf) {
  if (!ValidFvf(fvf)) return 0;
  UINT size = 0;
  switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: size = 12; break;
    case D3DFVF_XYZRHW: size = 16; break;
    case D3DFVF_XYZB1: size = 16; break;
    case D3DFVF_XYZB2: size = 20; break;
    case D3DFVF_XYZB3: size = 24; break;
    case D3DFVF_XYZB4: size = 28; break;
    default: size = 32; break;  // D3DFVF_XYZB5
  }
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_PSIZE) size += 4;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  if (fvf & D3DFVF_SPECULAR) size += 4;
  const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  for (DWORD i = 0; i < texCount; ++i) {
    static constexpr UINT kFloats[4] = {2, 3, 4, 1};  // by the two format bits of the set
    size += 4 * kFloats[(fvf >> (16 + 2 * i)) & 3];
  }
  return size;
}
