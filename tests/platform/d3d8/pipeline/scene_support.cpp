#include "scene_support.h"

#include "tests/support/argb_mip_chain.h"

#include <cmath>
#include <cstring>

D3DMATRIX Identity() { return D3DMATRIX{{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}}; }

D3DMATRIX operator*(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
  return r;
}

namespace {
Vec3f Sub(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f Norm(Vec3f a) {
  const float l = std::sqrt(Dot(a, a));
  return {a.x / l, a.y / l, a.z / l};
}
}  // namespace

D3DMATRIX LookAtRH(Vec3f eye, Vec3f at, Vec3f up) {
  const Vec3f z = Norm(Sub(eye, at));
  const Vec3f x = Norm(Cross(up, z));
  const Vec3f y = Cross(z, x);
  return D3DMATRIX{{{x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1}}};
}

D3DMATRIX PerspectiveFovRH(float fovY, float aspect, float zn, float zf) {
  const float ys = 1.0f / std::tan(fovY / 2), xs = ys / aspect;
  return D3DMATRIX{{{xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, zf / (zn - zf), -1, 0, 0, zn * zf / (zn - zf), 0}}};
}

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = Identity();
  m._41 = x;
  m._42 = y;
  m._43 = z;
  return m;
}

D3DMATRIX Scaling(float x, float y, float z) {
  D3DMATRIX m = Identity();
  m._11 = x;
  m._22 = y;
  m._33 = z;
  return m;
}

D3DMATRIX RotationY(float a) {
  D3DMATRIX m = Identity();
  m._11 = std::cos(a);
  m._13 = -std::sin(a);
  m._31 = std::sin(a);
  m._33 = std::cos(a);
  return m;
}

D3DMATRIX RotationX(float a) {
  D3DMATRIX m = Identity();
  m._22 = std::cos(a);
  m._23 = std::sin(a);
  m._32 = -std::sin(a);
  m._33 = std::cos(a);
  return m;
}

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

Canvas::Canvas(int w, int h, D3DFORMAT targetFormat, D3DFORMAT depthFormat) : width(w), height(h) {
  d3d8pipe::SetDefaultStates(context);
  const int targetBytes = (targetFormat == D3DFMT_X8R8G8B8 || targetFormat == D3DFMT_A8R8G8B8) ? 4 : 2;
  const int depthBytes = (depthFormat == D3DFMT_D16 || depthFormat == D3DFMT_D16_LOCKABLE || depthFormat == D3DFMT_D15S1) ? 2 : 4;
  color.assign(static_cast<size_t>(w) * h * targetBytes, 0);
  depth.assign(static_cast<size_t>(w) * h * depthBytes, 0);
  context.renderTarget = {color.data(), w * targetBytes, targetFormat, static_cast<UINT>(w), static_cast<UINT>(h)};
  context.depth = {depth.data(), w * depthBytes, depthFormat, static_cast<UINT>(w), static_cast<UINT>(h)};
  context.viewport = {0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0.0f, 1.0f};
  context.material.Diffuse = {1, 1, 1, 1};
  context.material.Ambient = {1, 1, 1, 1};
}

void Canvas::Clear(D3DCOLOR c, float z) {
  d3d8pipe::ClearSurfaces(context, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, z, 0);
}

void Canvas::Camera(Vec3f eye, Vec3f at, float zn, float zf) {
  context.view = LookAtRH(eye, at, {0, 1, 0});
  context.projection = PerspectiveFovRH(3.14159265f / 3, static_cast<float>(width) / height, zn, zf);
}

void Canvas::SetStream(const void* vertices, UINT stride, DWORD fvf, UINT count) {
  context.stream = {static_cast<const BYTE*>(vertices), stride, fvf, count};
}

void Canvas::SetIndices(const std::vector<uint16_t>& indices, UINT base) {
  indices_ = indices;
  context.indices = {indices_.data(), false, static_cast<UINT>(indices_.size()), base};
}

uint32_t Canvas::Pixel(int x, int y) const {
  const d3d8pipe::SurfaceView& rt = context.renderTarget;
  const uint8_t* p = color.data() + static_cast<size_t>(y) * rt.pitch;
  if (rt.format == D3DFMT_X8R8G8B8 || rt.format == D3DFMT_A8R8G8B8) {
    uint32_t v;
    std::memcpy(&v, p + 4 * x, 4);
    return rt.format == D3DFMT_X8R8G8B8 ? (v | 0xFF000000u) : v;
  }
  uint16_t v;
  std::memcpy(&v, p + 2 * x, 2);
  auto five = [](uint32_t c) { return (c << 3) | (c >> 2); };
  if (rt.format == D3DFMT_R5G6B5) {
    const uint32_t g = (v >> 5) & 63;
    return 0xFF000000u | (five(v >> 11) << 16) | (((g << 2) | (g >> 4)) << 8) | five(v & 31);
  }
  return 0xFF000000u | (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
}

Picture Canvas::Snapshot() const {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.pixels[static_cast<size_t>(y) * width + x] = Pixel(x, y);
  return p;
}

Texture BuildTexture(int width, int height, bool mips, std::vector<uint32_t> level0) {
  Texture t;
  t.levels.push_back(std::move(level0));
  int w = width, h = height;
  while (mips && (w > 1 || h > 1)) {
    t.levels.push_back(HalveArgbLevel(t.levels.back(), w, h));
    w = std::max(w / 2, 1);
    h = std::max(h / 2, 1);
  }
  t.view.format = D3DFMT_A8R8G8B8;
  t.view.levelCount = static_cast<UINT>(t.levels.size());
  w = width;
  h = height;
  for (size_t i = 0; i < t.levels.size(); ++i) {
    t.view.levels[i] = {t.levels[i].data(), w * 4, D3DFMT_A8R8G8B8, static_cast<UINT>(w), static_cast<UINT>(h)};
    w = std::max(w / 2, 1);
    h = std::max(h / 2, 1);
  }
  return t;
}

void BuildSphere(float radius, int slices, int stacks, std::vector<MeshVertex>& vertices,
                 std::vector<uint16_t>& indices) {
  const float pi = 3.14159265f;
  vertices.clear();
  indices.clear();
  vertices.push_back({0, radius, 0, 0, 1, 0, 0, 0});
  for (int i = 1; i < stacks; ++i) {
    const float phi = pi * static_cast<float>(i) / static_cast<float>(stacks);
    for (int j = 0; j < slices; ++j) {
      const float theta = 2 * pi * static_cast<float>(j) / static_cast<float>(slices);
      const float nx = std::sin(phi) * std::sin(theta), ny = std::cos(phi), nz = std::sin(phi) * std::cos(theta);
      const float u = std::atan2(nx, nz) / (2 * pi);
      vertices.push_back({radius * nx, radius * ny, radius * nz, nx, ny, nz, u, static_cast<float>(i) / stacks});
    }
  }
  vertices.push_back({0, -radius, 0, 0, -1, 0, 0, 1});
  const uint16_t bottom = static_cast<uint16_t>(vertices.size() - 1);
  auto ring = [&](int i, int j) { return static_cast<uint16_t>(1 + (i - 1) * slices + (j % slices)); };
  // Counter-clockwise seen from outside: with theta growing toward +x from +z,
  // (top, j, j + 1) winds the right way.
  for (int j = 0; j < slices; ++j) {
    indices.insert(indices.end(), {0, ring(1, j), ring(1, j + 1)});
  }
  for (int i = 1; i < stacks - 1; ++i) {
    for (int j = 0; j < slices; ++j) {
      indices.insert(indices.end(), {ring(i, j), ring(i + 1, j), ring(i + 1, j + 1)});
      indices.insert(indices.end(), {ring(i, j), ring(i + 1, j + 1), ring(i, j + 1)});
    }
  }
  for (int j = 0; j < slices; ++j) {
    indices.insert(indices.end(), {ring(stacks - 1, j), bottom, ring(stacks - 1, j + 1)});
  }
}
