// The reference scene of the render benchmark, as plain data that both
// renderers draw: a textured, lit globe, 42 thin grid boxes, 300 star sprites
// and one text quad, seen from (0, 5, 30).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "d3d8_types.h"

namespace refscene {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kPi = 3.14159265f;

struct MeshVertex {  // FVF XYZ | NORMAL | TEX1
  float x, y, z, nx, ny, nz, u, v;
};
struct StarVertex {  // FVF XYZ | DIFFUSE | TEX1
  float x, y, z;
  uint32_t color;
  float u, v;
};
struct TextVertex {  // FVF XYZRHW | DIFFUSE | TEX1
  float x, y, z, rhw;
  uint32_t color;
  float u, v;
};

struct Image {  // A8R8G8B8 with its mip chain
  int width = 0, height = 0;
  std::vector<std::vector<uint32_t>> levels;
};

struct Scene {
  std::vector<MeshVertex> sphere;
  std::vector<uint16_t> sphereIndices;
  std::vector<MeshVertex> box;  // unit-length box along x, centred at the origin
  std::vector<uint16_t> boxIndices;
  std::vector<StarVertex> stars;  // one vertex per star
  TextVertex text[4];
  Image earth, star, textImage;
  std::string earthSource;  // where the earth image came from

  D3DMATRIX view, projection;
  D3DMATRIX boxWorld[42];
  D3DLIGHT8 light;
  D3DMATERIAL8 material;
};

// Builds the scene; the Earth image comes from $KELVANE_EARTH_JPG, the shared
// data directory next to the source tree, or graphics/earth.jpg, else it is
// generated (earthSource says which).
void Build(Scene& scene);

// World matrix of the globe at frame n (0.2° of spin per frame).
D3DMATRIX GlobeWorld(int frame);

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);

// The parts of the scene a run draws, from $KELVANE_RENDER_PARTS: a comma
// list of globe, grid, stars and text (all of them when unset), so that each
// part's cost can be measured on its own; the clear is always done.
struct Parts {
  bool globe = true, grid = true, stars = true, text = true;
};
const Parts& SelectedParts();

}  // namespace refscene
