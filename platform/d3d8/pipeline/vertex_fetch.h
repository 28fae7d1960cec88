// Vertex fetch: decodes a flexible vertex format code into element offsets and
// reads one vertex of the stream into a plain record.
#pragma once

#include "d3d8_types.h"

namespace d3d8pipe {

struct FvfLayout {
  bool valid = false;
  bool pretransformed = false;  // D3DFVF_XYZRHW: screen position and 1/w, no transform or lighting
  UINT size = 0;                // bytes of one vertex
  UINT blendWeights = 0;        // XYZB1..B5 weights, skipped
  int normal = -1;              // byte offsets, -1 when absent
  int pointSize = -1;
  int diffuse = -1;
  int specular = -1;
  UINT texCoordSets = 0;
  int texCoord[D3DDP_MAXTEXCOORD] = {};
  UINT texCoordSize[D3DDP_MAXTEXCOORD] = {};  // floats per set, 1..4
};

// Decodes `fvf`; `valid` is false for codes the pipeline cannot draw (no
// position, reserved bits, more than eight texture sets).
FvfLayout DecodeFvf(DWORD fvf);

struct FetchedVertex {
  float position[4];  // x, y, z, and rhw for pre-transformed vertices (1 otherwise)
  float normal[3];
  float pointSize;
  D3DCOLOR diffuse;
  D3DCOLOR specular;
  float texCoord[D3DDP_MAXTEXCOORD][4];  // missing components read as 0 (w as 1)
};

// Reads the vertex at `vertex` (layout.size readable bytes) into `out`;
// elements the format lacks get the platform's defaults (white diffuse, black
// specular, zero normal and point size).
void FetchVertex(const FvfLayout& layout, const BYTE* vertex, FetchedVertex& out);

}  // namespace d3d8pipe
