#include "reference_scene.h"

#include "tests/support/argb_mip_chain.h"

#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace refscene {

namespace {

struct V3 {
  float x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Norm(V3 a) {
  const float l = std::sqrt(Dot(a, a));
  return {a.x / l, a.y / l, a.z / l};
}

D3DMATRIX Identity() { return D3DMATRIX{{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}}; }

bool ReadJpeg(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<size_t>(y) * width + x] =
          0xFF000000u | (uint32_t{row[3 * x]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x + 2];
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return true;
}

// Bilinear resize to w x h (only used when the image is not 2048x1024 already).
std::vector<uint32_t> Resize(const std::vector<uint32_t>& src, int sw, int sh, int w, int h) {
  std::vector<uint32_t> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = std::min(sw - 1, x * sw / w), sy = std::min(sh - 1, y * sh / h);
      out[static_cast<size_t>(y) * w + x] = src[static_cast<size_t>(sy) * sw + sx];
    }
  }
  return out;
}

void BuildMips(Image& image) {
  int w = image.width, h = image.height;
  while (w > 1 || h > 1) {
    image.levels.push_back(HalveArgbLevel(image.levels.back(), w, h));
    w = std::max(w / 2, 1);
    h = std::max(h / 2, 1);
  }
}

void LoadEarth(Scene& scene) {
  std::vector<std::string> candidates;
  if (const char* env = std::getenv("KELVANE_EARTH_JPG")) candidates.emplace_back(env);
  candidates.push_back(std::string(KELVANE_SOURCE_DIR) + "/../shared/data/earth.jpg");
  candidates.push_back(std::string(KELVANE_SOURCE_DIR) + "/graphics/earth.jpg");
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  for (const std::string& path : candidates) {
    if (ReadJpeg(path, w, h, pixels)) {
      scene.earthSource = path;
      break;
    }
  }
  if (scene.earthSource.empty()) {
    w = 2048;
    h = 1024;
    pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        pixels[static_cast<size_t>(y) * w + x] = 0xFF000000u | ((x & 255) << 16) | ((y & 255) << 8) | ((x ^ y) & 255);
    scene.earthSource = "generated";
  }
  if (w != 2048 || h != 1024) pixels = Resize(pixels, w, h, 2048, 1024);
  scene.earth.width = 2048;
  scene.earth.height = 1024;
  scene.earth.levels.push_back(std::move(pixels));
  BuildMips(scene.earth);
}

// A UV sphere with poles on ±z, texture u around z from +y (as the globe's
// builder does), then turned so that its poles lie on the y axis.
void BuildSphere(Scene& scene, float radius, int slices, int stacks) {
  auto add = [&](float nx, float ny, float nz) {
    const float u = std::atan2(nx, ny) / (2 * kPi);
    const float v = 1.0f - (nz + 1.0f) * 0.5f;
    scene.sphere.push_back({radius * nx, radius * ny, radius * nz, nx, ny, nz, u, v});
  };
  add(0, 0, 1);
  for (int i = 1; i < stacks; ++i) {
    const float phi = kPi * static_cast<float>(i) / static_cast<float>(stacks);
    for (int j = 0; j < slices; ++j) {
      const float theta = 2 * kPi * static_cast<float>(j) / static_cast<float>(slices);
      add(std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi));
    }
  }
  add(0, 0, -1);
  const uint16_t bottom = static_cast<uint16_t>(scene.sphere.size() - 1);
  auto ring = [&](int i, int j) { return static_cast<uint16_t>(1 + (i - 1) * slices + (j % slices)); };
  auto& idx = scene.sphereIndices;
  for (int j = 0; j < slices; ++j) idx.insert(idx.end(), {0, ring(1, j), ring(1, j + 1)});
  for (int i = 1; i < stacks - 1; ++i) {
    for (int j = 0; j < slices; ++j) {
      idx.insert(idx.end(), {ring(i, j), ring(i + 1, j), ring(i + 1, j + 1)});
      idx.insert(idx.end(), {ring(i, j), ring(i + 1, j + 1), ring(i, j + 1)});
    }
  }
  for (int j = 0; j < slices; ++j) idx.insert(idx.end(), {ring(stacks - 1, j), bottom, ring(stacks - 1, j + 1)});
}

// A box of length 1 along x and `thickness` across, faces counter-clockwise from outside.
void BuildBox(Scene& scene, float thickness) {
  const float hx = 0.5f, h = thickness * 0.5f;
  const V3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (const V3& n : normals) {
    // Two axes spanning the face, chosen so that (a × b) = n.
    const V3 a = std::fabs(n.x) > 0 ? V3{0, 1, 0} : V3{1, 0, 0};
    const V3 b = Cross(n, a);
    const V3 a2 = Cross(b, n);
    const uint16_t base = static_cast<uint16_t>(scene.box.size());
    for (int k = 0; k < 4; ++k) {
      const float sa = (k & 1) ? 1.0f : -1.0f, sb = (k & 2) ? 1.0f : -1.0f;
      const V3 p{n.x + sa * a2.x + sb * b.x, n.y + sa * a2.y + sb * b.y, n.z + sa * a2.z + sb * b.z};
      scene.box.push_back({p.x * hx, p.y * h, p.z * h, n.x, n.y, n.z, 0, 0});
    }
    scene.boxIndices.insert(scene.boxIndices.end(), {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 3),
                                                     base, static_cast<uint16_t>(base + 3), static_cast<uint16_t>(base + 2)});
  }
}

}  // namespace

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
  return r;
}

D3DMATRIX GlobeWorld(int frame) {
  // Poles from z onto y (−90° about x), then the spin about y.
  D3DMATRIX rx = Identity();
  const float ax = -kPi / 2;
  rx._22 = std::cos(ax);
  rx._23 = std::sin(ax);
  rx._32 = -std::sin(ax);
  rx._33 = std::cos(ax);
  D3DMATRIX ry = Identity();
  const float ay = static_cast<float>(frame % 1800) * 0.2f * kPi / 180.0f;
  ry._11 = std::cos(ay);
  ry._13 = -std::sin(ay);
  ry._31 = std::sin(ay);
  ry._33 = std::cos(ay);
  return Multiply(rx, ry);
}

const Parts& SelectedParts() {
  static const Parts parts = [] {
    Parts p;
    const char* list = std::getenv("KELVANE_RENDER_PARTS");
    if (!list) return p;
    const std::string names = std::string(",") + list + ",";
    auto has = [&](const char* name) { return names.find(std::string(",") + name + ",") != std::string::npos; };
    p.globe = has("globe");
    p.grid = has("grid");
    p.stars = has("stars");
    p.text = has("text");
    return p;
  }();
  return parts;
}

void Build(Scene& scene) {
  LoadEarth(scene);
  BuildSphere(scene, 10.0f, 24, 24);
  BuildBox(scene, 0.4f);

  // View: eye (0, 5, 30) at the origin, right-handed; 60° vertical field of view.
  const V3 eye{0, 5, 30}, at{0, 0, 0}, up{0, 1, 0};
  const V3 z = Norm(Sub(eye, at)), x = Norm(Cross(up, z)), y = Cross(z, x);
  scene.view = D3DMATRIX{{{x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1}}};
  const float zn = 0.01f, zf = 10000.0f, ys = 1.0f / std::tan(kPi / 6), xs = ys * kHeight / kWidth;
  scene.projection = D3DMATRIX{{{xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, zf / (zn - zf), -1, 0, 0, zn * zf / (zn - zf), 0}}};

  // Grid boxes: 21 along z at x = −100..100, 21 along x at z = −100..100; length 200.
  for (int i = 0; i < 21; ++i) {
    const float offset = static_cast<float>(-100 + 10 * i);
    D3DMATRIX alongZ = Identity();  // x axis of the box onto z, scaled to 200
    alongZ._11 = 0;
    alongZ._13 = -200;
    alongZ._31 = 1;
    alongZ._33 = 0;
    alongZ._41 = offset;
    scene.boxWorld[i] = alongZ;
    D3DMATRIX alongX = Identity();
    alongX._11 = 200;
    alongX._43 = offset;
    scene.boxWorld[21 + i] = alongX;
  }

  // Stars: the application's generator, seeded with a fixed value.
  uint32_t state = 12345;
  auto rand15 = [&] {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  };
  for (int i = 0; i < 300; ++i) {
    const float sx = rand15() % 2 ? 1.0f : -1.0f, sy = rand15() % 2 ? 1.0f : -1.0f, sz = rand15() % 2 ? 1.0f : -1.0f;
    float px, py, pz;
    do {
      px = static_cast<float>(rand15() % 200) * sx;
      py = static_cast<float>(rand15() % 200) * sy;
      pz = static_cast<float>(rand15() % 200) * sz;
    } while (std::sqrt(px * px + py * py + pz * pz) < 200.0f);
    scene.stars.push_back({px, py, pz, 0xFFFFFFFFu, 0, 0});
  }

  scene.star.width = scene.star.height = 32;
  scene.star.levels.emplace_back(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float dx = static_cast<float>(x) - 15.5f, dy = static_cast<float>(y) - 15.5f;
      const float d = std::sqrt(dx * dx + dy * dy) / 16.0f;
      const uint32_t a = d >= 1.0f ? 0u : static_cast<uint32_t>((1.0f - d) * (1.0f - d) * 255.0f);
      scene.star.levels[0][y * 32 + x] = (a << 24) | 0xFFFFE0u;
    }
  BuildMips(scene.star);

  // Text: 256x32, glyph-like strokes in alpha over white.
  scene.textImage.width = 256;
  scene.textImage.height = 32;
  scene.textImage.levels.emplace_back(256 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 256; ++x) {
      const int cx = x % 18, cy = y;
      const bool ink = cy > 4 && cy < 28 && (cx < 3 || cy < 8 || (cy > 14 && cy < 18 && cx < 12) || cy > 24) && cx < 14;
      scene.textImage.levels[0][y * 256 + x] = (ink ? 0xFF000000u : 0u) | 0xFFFFFFu;
    }
  const uint32_t yellow = 0xFFFFFF00u;
  scene.text[0] = {-0.5f, -0.5f, 0, 1, yellow, 0, 0};
  scene.text[1] = {-0.5f, 31.5f, 0, 1, yellow, 0, 1};
  scene.text[2] = {255.5f, 31.5f, 0, 1, yellow, 1, 1};
  scene.text[3] = {255.5f, -0.5f, 0, 1, yellow, 1, 0};

  scene.light = D3DLIGHT8{};
  scene.light.Type = D3DLIGHT_DIRECTIONAL;
  scene.light.Diffuse = {0.5f, 0.5f, 0.5f, 1};
  scene.light.Ambient = {0.5f, 0.5f, 0.5f, 1};
  scene.light.Direction = {0, -5, -30};
  scene.material = D3DMATERIAL8{};
  scene.material.Diffuse = scene.material.Ambient = scene.material.Specular = scene.material.Emissive = {1, 1, 1, 1};
  scene.material.Emissive = {0, 0, 0, 0};
  scene.material.Power = 1;
}

}  // namespace refscene
