#include "vertex_fetch.h"

#include <cstring>

namespace d3d8pipe {

namespace {

float ReadFloat(const BYTE* p) {
  float value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

DWORD ReadDword(const BYTE* p) {
  DWORD value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

UINT FloatsOfTexCoordSet(DWORD fvf, UINT set) {
  switch ((fvf >> (16 + 2 * set)) & 3u) {
    case D3DFVF_TEXTUREFORMAT1: return 1;
    case D3DFVF_TEXTUREFORMAT3: return 3;
    case D3DFVF_TEXTUREFORMAT4: return 4;
    default: return 2;
  }
}

}  // namespace

FvfLayout DecodeFvf(DWORD fvf) {
  FvfLayout layout;
  if ((fvf & D3DFVF_RESERVED0) != 0 || (fvf & D3DFVF_RESERVED2) != 0) return layout;
  UINT offset = 0;
  switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: offset = 12; break;
    case D3DFVF_XYZRHW: offset = 16; layout.pretransformed = true; break;
    case D3DFVF_XYZB1: case D3DFVF_XYZB2: case D3DFVF_XYZB3: case D3DFVF_XYZB4: case D3DFVF_XYZB5:
      layout.blendWeights = ((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZRHW) / 2;  // B1 = 0x6 … B5 = 0xE
      offset = 12 + 4 * layout.blendWeights;
      break;
    default: return layout;  // no position
  }
  if (fvf & D3DFVF_NORMAL) { layout.normal = static_cast<int>(offset); offset += 12; }
  if (fvf & D3DFVF_PSIZE) { layout.pointSize = static_cast<int>(offset); offset += 4; }
  if (fvf & D3DFVF_DIFFUSE) { layout.diffuse = static_cast<int>(offset); offset += 4; }
  if (fvf & D3DFVF_SPECULAR) { layout.specular = static_cast<int>(offset); offset += 4; }
  layout.texCoordSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (layout.texCoordSets > D3DDP_MAXTEXCOORD) return layout;
  for (UINT set = 0; set < layout.texCoordSets; ++set) {
    layout.texCoord[set] = static_cast<int>(offset);
    layout.texCoordSize[set] = FloatsOfTexCoordSet(fvf, set);
    offset += 4 * layout.texCoordSize[set];
  }
  layout.size = offset;
  layout.valid = true;
  return layout;
}

void FetchVertex(const FvfLayout& layout, const BYTE* vertex, FetchedVertex& out) {
  out.position[0] = ReadFloat(vertex);
  out.position[1] = ReadFloat(vertex + 4);
  out.position[2] = ReadFloat(vertex + 8);
  out.position[3] = layout.pretransformed ? ReadFloat(vertex + 12) : 1.0f;
  if (layout.normal >= 0) {
    for (int i = 0; i < 3; ++i) out.normal[i] = ReadFloat(vertex + layout.normal + 4 * i);
  } else {
    out.normal[0] = out.normal[1] = out.normal[2] = 0.0f;
  }
  out.pointSize = layout.pointSize >= 0 ? ReadFloat(vertex + layout.pointSize) : 0.0f;
  out.diffuse = layout.diffuse >= 0 ? ReadDword(vertex + layout.diffuse) : 0xFFFFFFFFu;
  out.specular = layout.specular >= 0 ? ReadDword(vertex + layout.specular) : 0u;
  // Every set starts as (0, 0, 0, 1); the sets the format has overwrite it.
  static constexpr float kMissing[D3DDP_MAXTEXCOORD][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1},
                                                           {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
  std::memcpy(out.texCoord, kMissing, sizeof kMissing);
  for (UINT set = 0; set < layout.texCoordSets; ++set) {
    const BYTE* in = vertex + layout.texCoord[set];
    for (UINT i = 0; i < layout.texCoordSize[set]; ++i) out.texCoord[set][i] = ReadFloat(in + 4 * i);
  }
}

}  // namespace d3d8pipe
