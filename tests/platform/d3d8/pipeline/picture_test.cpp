// Small scenes drawn through the whole pipeline and compared with stored
// pictures. Each reference was inspected by eye before it was stored.
#include <gtest/gtest.h>

#include <cmath>

#include "scene_support.h"

using d3d8pipe::DrawIndexedPrimitives;
using d3d8pipe::DrawPrimitives;

namespace {

constexpr float kPi = 3.14159265f;

class SphereScene {
 public:
  explicit SphereScene(Canvas& canvas, int slices = 24, int stacks = 24) : canvas_(canvas) {
    BuildSphere(1.0f, slices, stacks, vertices_, indices_);
    canvas.SetStream(vertices_.data(), sizeof(MeshVertex), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                     static_cast<UINT>(vertices_.size()));
    canvas.SetIndices(indices_);
  }
  HRESULT Draw() {
    return DrawIndexedPrimitives(canvas_.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices_.size()), 0,
                                 static_cast<UINT>(indices_.size() / 3));
  }

 private:
  Canvas& canvas_;
  std::vector<MeshVertex> vertices_;
  std::vector<uint16_t> indices_;
};

D3DLIGHT8 DirectionalLight(Vec3f direction) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Specular = {1, 1, 1, 1};
  light.Direction = {direction.x, direction.y, direction.z};
  return light;
}

// An "earth" of longitude stripes and latitude bands, so that a misplaced seam shows.
Texture EarthTexture() {
  return MakeTexture(128, 64, true, [](int x, int y) {
    const uint32_t band = (y / 8) % 2 ? 0x30u : 0x00u;
    const uint32_t r = static_cast<uint32_t>(x * 2), g = 0x80u + band, b = 0xFFu - static_cast<uint32_t>(x * 2);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
  });
}

void ExpectPicture(const std::string& name, const Canvas& canvas) {
  const std::string failure = CompareWithReference(name, canvas.Snapshot());
  EXPECT_EQ(failure, "") << name;
}

TEST(PictureTest, SphereUnderDirectionalLight) {
  Canvas canvas(64, 64);
  canvas.Clear(0xFF000020);
  canvas.Camera({0, 0, 3}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_AMBIENT, 0xFF202020);
  canvas.SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  canvas.SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  canvas.context.material = {{1, 0.5f, 0.2f, 1}, {1, 0.5f, 0.2f, 1}, {0.6f, 0.6f, 0.6f, 1}, {0, 0, 0, 0}, 20};
  const D3DLIGHT8 light = DirectionalLight({-1, -1, -1});
  canvas.context.lights = &light;
  canvas.context.lightCount = 1;
  SphereScene sphere(canvas);
  ASSERT_EQ(sphere.Draw(), D3D_OK);
  // The light comes from the upper right front: brighter there than at the lower left.
  EXPECT_GT((canvas.Pixel(40, 24) >> 8) & 0xFF, (canvas.Pixel(24, 40) >> 8) & 0xFF);
  EXPECT_EQ(canvas.Pixel(1, 1), 0xFF000020u);
  ExpectPicture("sphere_directional", canvas);
}

TEST(PictureTest, SphereUnderPointLightWithRange) {
  Canvas canvas(64, 64);
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 0, 3}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  canvas.context.material.Diffuse = {0.2f, 1, 0.4f, 1};
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1, 1, 1, 1};
  light.Position = {1.2f, 0.0f, 1.2f};
  light.Range = 2.0f;
  light.Attenuation0 = 0.2f;
  light.Attenuation1 = 0.5f;
  canvas.context.lights = &light;
  canvas.context.lightCount = 1;
  SphereScene sphere(canvas);
  ASSERT_EQ(sphere.Draw(), D3D_OK);
  // The side beyond the light's range stays dark.
  EXPECT_EQ(canvas.Pixel(14, 32) & 0xFFFFFF, 0u);
  EXPECT_GT((canvas.Pixel(44, 32) >> 8) & 0xFF, 0x60u);
  ExpectPicture("sphere_point_light", canvas);
}

// Globe with the seam of its texture on the far side turned toward the camera.
void DrawGlobe(Canvas& canvas, const Texture& earth, DWORD wrap) {
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 0, 3}, {0, 0, 0});
  canvas.context.world = RotationY(kPi);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_WRAP0, wrap);
  canvas.context.textures[0] = &earth.view;
  for (auto state : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) canvas.SetStageState(0, state, D3DTEXF_LINEAR);
  SphereScene sphere(canvas);
  ASSERT_EQ(sphere.Draw(), D3D_OK);
}

TEST(PictureTest, GlobeSeamClosedByWrap0) {
  const Texture earth = EarthTexture();
  Canvas wrapped(64, 64), plain(64, 64);
  DrawGlobe(wrapped, earth, D3DWRAPCOORD_0);
  DrawGlobe(plain, earth, 0);
  // Along the seam column the wrapped globe changes colour smoothly; without
  // WRAP0 the seam triangles squeeze the whole texture into one strip.
  auto jump = [](const Canvas& c) {
    int worst = 0;
    for (int x = 24; x < 40; ++x) {
      const int a = (c.Pixel(x, 32) >> 16) & 255, b = (c.Pixel(x + 1, 32) >> 16) & 255;
      worst = std::max(worst, std::abs(a - b));
    }
    return worst;
  };
  EXPECT_LT(jump(wrapped), 40);
  EXPECT_GT(jump(plain), 80);
  ExpectPicture("globe_wrap0", wrapped);
}

// One textured quad per case across the canvas.
struct QuadCase {
  DWORD mag, min, mip, address;
  float uvScale;  // coordinates run from 0.5 - scale / 2 to 0.5 + scale / 2
  float size;     // on-screen size in pixels
};

TEST(PictureTest, TexturedQuadsUnderFiltersAndAddressModes) {
  const Texture checker = MakeTexture(8, 8, true, [](int x, int y) {
    const bool dark = ((x / 2) + (y / 2)) % 2;
    return dark ? 0xFF2040C0u : (x == 0 || y == 0 ? 0xFFFF4040u : 0xFFF0F0F0u);
  });
  const QuadCase cases[] = {
      {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_WRAP, 1, 30},      // magnified, blocky
      {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP, 1, 30},    // magnified, smooth
      {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_WRAP, 3, 30},      // repeated
      {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_MIRROR, 3, 30},    // mirrored
      {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP, 3, 30},     // edges stretched
      {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTADDRESS_WRAP, 16, 30}, // minified: averaged by mips
  };
  Canvas canvas(96, 64);
  canvas.Clear(0xFF000000);
  canvas.context.textures[0] = &checker.view;
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  int index = 0;
  for (const QuadCase& c : cases) {
    const float x0 = static_cast<float>(index % 3) * 32 + 1 - 0.5f, y0 = static_cast<float>(index / 3) * 32 + 1 - 0.5f;
    const float lo = 0.5f - c.uvScale / 2, hi = 0.5f + c.uvScale / 2;
    const TlVertex quad[4] = {{x0, y0, 0.5f, 1, 0xFFFFFFFF, lo, lo},
                                  {x0 + c.size, y0, 0.5f, 1, 0xFFFFFFFF, hi, lo},
                                  {x0, y0 + c.size, 0.5f, 1, 0xFFFFFFFF, lo, hi},
                                  {x0 + c.size, y0 + c.size, 0.5f, 1, 0xFFFFFFFF, hi, hi}};
    canvas.SetStageState(0, D3DTSS_MAGFILTER, c.mag);
    canvas.SetStageState(0, D3DTSS_MINFILTER, c.min);
    canvas.SetStageState(0, D3DTSS_MIPFILTER, c.mip);
    canvas.SetStageState(0, D3DTSS_ADDRESSU, c.address);
    canvas.SetStageState(0, D3DTSS_ADDRESSV, c.address);
    canvas.SetStream(quad, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
    ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    ++index;
  }
  // The minified quad is the checker's average, close to a flat mid-tone.
  const uint32_t mid = canvas.Pixel(80, 48);
  EXPECT_NEAR(static_cast<int>((mid >> 16) & 255), static_cast<int>((canvas.Pixel(75, 40) >> 16) & 255), 12);
  ExpectPicture("textured_quads", canvas);
}

TEST(PictureTest, PointSpritesShrinkWithDistance) {
  const Texture star = MakeTexture(32, 32, false, [](int x, int y) {
    const float dx = static_cast<float>(x) - 15.5f, dy = static_cast<float>(y) - 15.5f;
    const float d = std::sqrt(dx * dx + dy * dy) / 16.0f;
    const uint32_t a = d >= 1.0f ? 0u : static_cast<uint32_t>((1.0f - d) * 255.0f);
    return (a << 24) | 0xFFFFD0u;
  });
  Canvas canvas(96, 48);
  canvas.Clear(0xFF101040);
  canvas.Camera({0, 0, 0}, {0, 0, -1});
  canvas.context.textures[0] = &star.view;
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  canvas.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  canvas.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  canvas.SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  canvas.SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  canvas.SetRenderState(D3DRS_POINTSIZE, FloatBits(2.0f));
  canvas.SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
  canvas.SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
  canvas.SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
  canvas.SetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  canvas.SetStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  // Four stars at growing distance, each drawn as its own call, as the application does.
  const ColorVertex vertices[4] = {{-3.0f, 0, -8, 0xFFFFFFFF}, {-0.5f, 0, -12, 0xFFFFFFFF},
                                   {1.5f, 0, -20, 0xFFFFFFFF}, {4.5f, 0, -40, 0xFFFFFFFF}};
  canvas.SetStream(vertices, sizeof(ColorVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, 4);
  for (UINT i = 0; i < 4; ++i) ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_POINTLIST, i, 1), D3D_OK);
  // Size on screen = viewport height × 2 / distance: 12 pixels at 8, 2.4 at 40.
  auto width = [&](int y, int fromX, int toX) {
    int lit = 0;
    for (int x = fromX; x < toX; ++x) lit += ((canvas.Pixel(x, y) >> 16) & 255) > 0x20;
    return lit;
  };
  EXPECT_GT(width(24, 0, 40), width(24, 60, 96));
  ExpectPicture("point_sprites", canvas);
}

TEST(PictureTest, AlphaBlendingAndAlphaTest) {
  Canvas canvas(64, 32);
  canvas.Clear(0xFF0000FF);
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  canvas.SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  canvas.SetStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  // Left: red whose alpha fades from 0 to 1 left to right, blended over blue.
  // Right: the same ramp with alpha test GREATER 0x80 instead of blending.
  const TlVertex left[4] = {{-0.5f, -0.5f, 0, 1, 0x00FF0000, 0, 0}, {31.5f, -0.5f, 0, 1, 0xFFFF0000, 0, 0},
                                {-0.5f, 31.5f, 0, 1, 0x00FF0000, 0, 0}, {31.5f, 31.5f, 0, 1, 0xFFFF0000, 0, 0}};
  TlVertex right[4];
  for (int i = 0; i < 4; ++i) {
    right[i] = left[i];
    right[i].x += 32;
  }
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  canvas.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  canvas.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  canvas.SetStream(left, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  canvas.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  canvas.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  canvas.SetRenderState(D3DRS_ALPHAREF, 0x80);
  canvas.SetStream(right, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  // Blend half way: alpha 0x80 at x = 16 gives about half red, half blue.
  const uint32_t half = canvas.Pixel(16, 16);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 255), 0x80, 6);
  EXPECT_NEAR(static_cast<int>(half & 255), 0x7F, 6);
  EXPECT_EQ(canvas.Pixel(32 + 10, 16), 0xFF0000FFu);  // rejected: background
  EXPECT_EQ(canvas.Pixel(32 + 24, 16), 0xFFFF0000u);  // passed: opaque red
  ExpectPicture("alpha_blend_and_test", canvas);
}

TEST(PictureTest, WireframeAndPointFill) {
  Canvas canvas(64, 32);
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 0, 3}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.context.projection = PerspectiveFovRH(kPi / 3, 1.0f, 0.1f, 100.0f);  // square viewports
  std::vector<MeshVertex> vertices;
  std::vector<uint16_t> indices;
  BuildSphere(1.0f, 8, 6, vertices, indices);
  canvas.SetStream(vertices.data(), sizeof(MeshVertex), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                   static_cast<UINT>(vertices.size()));
  canvas.SetIndices(indices);
  const UINT faces = static_cast<UINT>(indices.size() / 3);
  canvas.context.viewport = {0, 0, 32, 32, 0, 1};
  canvas.SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  ASSERT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size()), 0, faces), D3D_OK);
  canvas.context.viewport = {32, 0, 32, 32, 0, 1};
  canvas.SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
  ASSERT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size()), 0, faces), D3D_OK);
  int wire = 0, points = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      wire += (canvas.Pixel(x, y) & 0xFFFFFF) != 0;
      points += (canvas.Pixel(x + 32, y) & 0xFFFFFF) != 0;
    }
  // Lines and dots, not filled discs (a filled disc would cover about 500 pixels).
  EXPECT_GT(wire, 60);
  EXPECT_LT(wire, 350);
  EXPECT_GT(points, 10);
  EXPECT_LT(points, 60);
  ExpectPicture("wireframe_and_points", canvas);
}

TEST(PictureTest, EachCullMode) {
  // A clockwise (green) and a counter-clockwise (red) triangle, drawn under each cull mode in its own column.
  Canvas canvas(96, 32);
  canvas.Clear(0xFF000000);
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  const DWORD modes[3] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
  int counts[3][2] = {};
  for (int m = 0; m < 3; ++m) {
    const float x = static_cast<float>(32 * m);
    const TlVertex tris[6] = {{x + 2, 2, 0, 1, 0xFF00FF00, 0, 0},  {x + 14, 2, 0, 1, 0xFF00FF00, 0, 0},
                                  {x + 2, 28, 0, 1, 0xFF00FF00, 0, 0}, {x + 18, 2, 0, 1, 0xFFFF0000, 0, 0},
                                  {x + 18, 28, 0, 1, 0xFFFF0000, 0, 0}, {x + 30, 2, 0, 1, 0xFFFF0000, 0, 0}};
    canvas.SetRenderState(D3DRS_CULLMODE, modes[m]);
    canvas.SetStream(tris, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 6);
    ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    for (int y = 0; y < 32; ++y)
      for (int px = 0; px < 32; ++px) {
        const uint32_t c = canvas.Pixel(32 * m + px, y);
        counts[m][0] += c == 0xFF00FF00u;
        counts[m][1] += c == 0xFFFF0000u;
      }
  }
  EXPECT_GT(counts[0][0], 0);
  EXPECT_GT(counts[0][1], 0);
  EXPECT_EQ(counts[1][0], 0);  // CW culls the clockwise triangle
  EXPECT_GT(counts[1][1], 0);
  EXPECT_GT(counts[2][0], 0);
  EXPECT_EQ(counts[2][1], 0);  // CCW culls the counter-clockwise one
  ExpectPicture("cull_modes", canvas);
}

TEST(PictureTest, DepthTestOrdersCrossingQuads) {
  // Two quads that pierce each other: depth decides per pixel, whatever the draw order.
  Canvas canvas(64, 64, D3DFMT_X8R8G8B8, D3DFMT_D16);
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 0, 4}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const ColorVertex a[4] = {{-1, -1, -1, 0xFFFF0000}, {1, -1, 1, 0xFFFF0000}, {-1, 1, -1, 0xFFFF0000}, {1, 1, 1, 0xFFFF0000}};
  const ColorVertex b[4] = {{-1, -0.6f, 1, 0xFF00FF00}, {1, -0.6f, -1, 0xFF00FF00}, {-1, 0.6f, 1, 0xFF00FF00}, {1, 0.6f, -1, 0xFF00FF00}};
  canvas.SetStream(a, sizeof(ColorVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  canvas.SetStream(b, sizeof(ColorVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(canvas.Pixel(22, 32), 0xFF00FF00u);  // green nearer on the left
  EXPECT_EQ(canvas.Pixel(42, 32), 0xFFFF0000u);  // red nearer on the right
  ExpectPicture("depth_test", canvas);
}

TEST(PictureTest, NearPlaneClipsGeometryThroughTheCamera) {
  // A floor that runs from behind the camera to far ahead: the near plane cuts it cleanly.
  Canvas canvas(64, 64);
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 1, 0}, {0, 1, -1}, 0.5f, 100.0f);
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const Texture grid = MakeTexture(8, 8, true, [](int x, int y) { return (x == 0 || y == 0) ? 0xFFFFFFFFu : 0xFF406080u; });
  struct V {
    float x, y, z, u, v;
  };
  const V floor[4] = {{-20, 0, 10, 0, 0}, {20, 0, 10, 40, 0}, {-20, 0, -60, 0, 70}, {20, 0, -60, 40, 70}};
  canvas.context.textures[0] = &grid.view;
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  for (auto state : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) canvas.SetStageState(0, state, D3DTEXF_LINEAR);
  canvas.SetStream(floor, sizeof(V), D3DFVF_XYZ | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  // The floor fills the lower half right down to the bottom row; the upper half stays empty.
  EXPECT_NE(canvas.Pixel(32, 63) & 0xFFFFFF, 0u);
  EXPECT_EQ(canvas.Pixel(32, 20) & 0xFFFFFF, 0u);
  ExpectPicture("near_plane_clip", canvas);
}

TEST(PictureTest, PretransformedTextQuad) {
  // A 32x8 "text" texture whose alpha carries the glyphs, drawn 1:1 as a sprite quad is.
  const Texture text = MakeTexture(32, 8, false, [](int x, int y) {
    const bool ink = (x % 6 < 4) && (y > 1 && y < 7) && ((x % 6 == 0) || y == 2 || y == 6 || (x % 12 < 6 && y == 4));
    return ink ? 0xFFFFFFFFu : 0x00FFFFFFu;
  });
  Canvas canvas(40, 16, D3DFMT_R5G6B5, D3DFMT_D16);
  canvas.Clear(0xFF204020);
  canvas.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  canvas.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  canvas.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  canvas.SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  canvas.SetStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  canvas.SetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  canvas.SetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  canvas.context.textures[0] = &text.view;
  const D3DCOLOR yellow = 0xFFFFFF00;
  const TlVertex quad[4] = {{4 - 0.5f, 4 - 0.5f, 0, 1, yellow, 0, 0}, {4 - 0.5f, 12 - 0.5f, 0, 1, yellow, 0, 1},
                                {36 - 0.5f, 12 - 0.5f, 0, 1, yellow, 1, 1}, {36 - 0.5f, 4 - 0.5f, 0, 1, yellow, 1, 0}};
  canvas.SetStream(quad, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
  // Texel centres land on pixel centres: ink and background come through unfiltered.
  EXPECT_EQ(canvas.Pixel(4, 4 + 3), 0xFFFFFF00u);   // texel (0, 3): ink
  const uint32_t background = canvas.Pixel(0, 0);
  EXPECT_EQ(canvas.Pixel(5, 4 + 3), background);  // texel (1, 3): no ink
  EXPECT_EQ(canvas.Pixel(3, 7), background);      // outside the quad
  ExpectPicture("pretransformed_text", canvas);
}

}  // namespace
