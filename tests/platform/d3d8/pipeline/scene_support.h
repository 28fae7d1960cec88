// Small scenes for the pipeline tests: a canvas with its own target and depth
// memory, camera matrices, a UV sphere and textures built in code.
#pragma once

#include <cstdint>
#include <vector>

#include "draw_context.h"
#include "picture_support.h"

struct Vec3f {
  float x, y, z;
};

D3DMATRIX Identity();
D3DMATRIX LookAtRH(Vec3f eye, Vec3f at, Vec3f up);
D3DMATRIX PerspectiveFovRH(float fovY, float aspect, float zn, float zf);
D3DMATRIX Translation(float x, float y, float z);
D3DMATRIX Scaling(float x, float y, float z);
D3DMATRIX RotationY(float angle);
D3DMATRIX RotationX(float angle);
D3DMATRIX operator*(const D3DMATRIX& a, const D3DMATRIX& b);
DWORD FloatBits(float value);

// Render target, depth buffer and a DrawContext with the device defaults over them.
class Canvas {
 public:
  Canvas(int width, int height, D3DFORMAT target = D3DFMT_X8R8G8B8, D3DFORMAT depth = D3DFMT_D24S8);

  d3d8pipe::DrawContext context;

  void Clear(D3DCOLOR color, float z = 1.0f);
  // Camera at eye looking at `at`, 60° field of view, near 0.1, far 1000.
  void Camera(Vec3f eye, Vec3f at, float zn = 0.1f, float zf = 1000.0f);
  void SetStream(const void* vertices, UINT stride, DWORD fvf, UINT count);
  void SetIndices(const std::vector<uint16_t>& indices, UINT base = 0);
  void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) { context.renderStates[state] = value; }
  void SetStageState(UINT stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) { context.stageStates[stage][state] = value; }

  Picture Snapshot() const;  // A8R8G8B8 (X8 read as opaque, 16-bit expanded)
  uint32_t Pixel(int x, int y) const;

  int width, height;
  std::vector<uint8_t> color;
  std::vector<uint8_t> depth;

 private:
  std::vector<uint16_t> indices_;
};

// A texture with every level of its mip chain (box-filtered), in A8R8G8B8.
struct Texture {
  std::vector<std::vector<uint32_t>> levels;
  d3d8pipe::TextureView view;
};
// `texel(x, y)` gives level 0; `mips` false keeps one level.
template <typename F>
Texture MakeTexture(int width, int height, bool mips, F texel);
Texture BuildTexture(int width, int height, bool mips, std::vector<uint32_t> level0);

template <typename F>
Texture MakeTexture(int width, int height, bool mips, F texel) {
  std::vector<uint32_t> level0(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) level0[static_cast<size_t>(y) * width + x] = texel(x, y);
  return BuildTexture(width, height, mips, std::move(level0));
}

// Position, normal, texture coordinate: FVF 0x112.
struct MeshVertex {
  float x, y, z, nx, ny, nz, u, v;
};
// UV sphere around the y axis, u = atan2(x, z) / 2π in (−0.5, 0.5] (the seam
// where u jumps lies on −z), v from 0 at the top to 1 at the bottom. Faces are
// counter-clockwise seen from outside.
void BuildSphere(float radius, int slices, int stacks, std::vector<MeshVertex>& vertices,
                 std::vector<uint16_t>& indices);

// Vertex of pre-transformed geometry: FVF XYZRHW | DIFFUSE | TEX1 (0x144).
struct TlVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
// Vertex with position and colour: FVF XYZ | DIFFUSE (0x042).
struct ColorVertex {
  float x, y, z;
  D3DCOLOR color;
};
