// The draw entry points: argument checks, index handling, primitive types,
// flat shading, and agreement between the span routines and between one and
// several threads.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <utility>

#include "fast_spans.h"
#include "pixel_shader.h"
#include "scene_support.h"

using namespace d3d8pipe;
using d3d8pipe::DrawPrimitives;

namespace {

constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class DrawTest : public ::testing::Test {
 protected:
  DrawTest() : canvas(16, 16) {
    canvas.Clear(0xFF000000);
    canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }
  int Lit() const {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += (canvas.Pixel(x, y) & 0xFFFFFF) != 0;
    return n;
  }
  Canvas canvas;
};

const TlVertex kQuad[4] = {{0, 0, 0, 1, 0xFFFF0000, 0, 0},
                               {16, 0, 0, 1, 0xFF00FF00, 0, 0},
                               {0, 16, 0, 1, 0xFF0000FF, 0, 0},
                               {16, 16, 0, 1, 0xFFFFFFFF, 0, 0}};

TEST_F(DrawTest, InvalidCallsDrawNothing) {
  canvas.SetStream(kQuad, sizeof(TlVertex), kScreenFvf, 4);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);  // needs vertex 4
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
  EXPECT_EQ(DrawPrimitives(canvas.context, static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
  canvas.SetStream(kQuad, 8, kScreenFvf, 4);  // stride shorter than the vertex
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  canvas.SetStream(kQuad, sizeof(TlVertex), D3DFVF_NORMAL, 4);  // no position
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  canvas.SetStream(nullptr, sizeof(TlVertex), kScreenFvf, 4);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  canvas.SetStream(kQuad, sizeof(TlVertex), kScreenFvf, 4);
  canvas.context.renderTarget.format = D3DFMT_DXT1;
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  canvas.context.renderTarget.format = D3DFMT_X8R8G8B8;
  canvas.context.depth.pitch = 4;  // shorter than a row of the depth buffer
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(Lit(), 0);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 0), D3D_OK);  // nothing to draw is fine
}

TEST_F(DrawTest, IndicesAreCheckedAgainstTheRangeAndTheStream) {
  canvas.SetStream(kQuad, sizeof(TlVertex), kScreenFvf, 4);
  canvas.SetIndices({0, 1, 2, 1, 3, 2, 7});
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 4, 4, 1), D3DERR_INVALIDCALL);  // index 7
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 1, 3, 0, 1), D3DERR_INVALIDCALL);  // 0 < min
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 5, 0, 2), D3DERR_INVALIDCALL);  // range past stream
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 4, 6, 1), D3DERR_INVALIDCALL);  // past the indices
  EXPECT_EQ(Lit(), 0);
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(Lit(), 256);
}

TEST_F(DrawTest, ThirtyTwoBitIndicesWithBaseVertex) {
  // Two quads in one stream; the indices address the second through the base.
  TlVertex vertices[8];
  for (int i = 0; i < 4; ++i) {
    vertices[i] = kQuad[i];
    vertices[4 + i] = kQuad[i];
    vertices[4 + i].x = vertices[4 + i].x / 2 + 8;  // right half only
  }
  canvas.SetStream(vertices, sizeof(TlVertex), kScreenFvf, 8);
  const uint32_t indices[6] = {0, 1, 2, 1, 3, 2};
  canvas.context.indices = {indices, true, 6, 4};
  ASSERT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(Lit(), 128);
  EXPECT_EQ(canvas.Pixel(3, 3), 0xFF000000u);
}

TEST_F(DrawTest, StripAndFanCoverTheQuadAndKeepWinding) {
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  canvas.SetStream(kQuad, sizeof(TlVertex), kScreenFvf, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(Lit(), 256);  // both strip triangles face the same way
  canvas.Clear(0xFF000000);
  const TlVertex fan[4] = {kQuad[0], kQuad[1], kQuad[3], kQuad[2]};
  canvas.SetStream(fan, sizeof(TlVertex), kScreenFvf, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
  EXPECT_EQ(Lit(), 256);
  canvas.Clear(0xFF000000);
  // Three sides of a square, 13 pixels each (the last pixel of a segment is left out).
  const TlVertex strip[4] = {{1, 1, 0, 1, 0xFFFFFFFF, 0, 0}, {14, 1, 0, 1, 0xFFFFFFFF, 0, 0},
                             {14, 14, 0, 1, 0xFFFFFFFF, 0, 0}, {1, 14, 0, 1, 0xFFFFFFFF, 0, 0}};
  canvas.SetStream(strip, sizeof(TlVertex), kScreenFvf, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_LINESTRIP, 0, 3), D3D_OK);
  EXPECT_EQ(Lit(), 39);
}

// Squares centred beside the viewport still draw the part that reaches into
// it; one a little further out draws nothing.
TEST_F(DrawTest, PointsCentredOutsideTheViewportDrawTheirOverlap) {
  canvas.SetRenderState(D3DRS_POINTSIZE, FloatBits(6.0f));
  const TlVertex points[4] = {{-2.5f, 8, 0, 1, 0xFFFFFFFF, 0, 0}, {18.0f, 8, 0, 1, 0xFFFFFFFF, 0, 0},
                              {8, -2.5f, 0, 1, 0xFFFFFFFF, 0, 0}, {8, 19.5f, 0, 1, 0xFFFFFFFF, 0, 0}};
  canvas.SetStream(points, sizeof(TlVertex), kScreenFvf, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_POINTLIST, 0, 4), D3D_OK);
  // Left: x in [-5.5, 0.5) covers column 0; top likewise row 0; right: [15, 21)
  // covers column 15; bottom: [16.5, 22.5) covers nothing.
  EXPECT_EQ(canvas.Pixel(0, 8), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.Pixel(8, 0), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.Pixel(15, 8), 0xFFFFFFFFu);
  EXPECT_EQ(Lit(), 18);
}

// Triangles reaching behind the camera are cut by the near plane; whichever
// way each one faces, every pixel it covers without culling is drawn under
// exactly one of the two cull modes.
TEST(CullingTest, TrianglesThroughTheCameraAreDrawnUnderExactlyOneCullMode) {
  struct ColoredVertex {
    float x, y, z;
    DWORD color;
  };
  Canvas canvas(40, 30);
  canvas.Camera({0, 0, 0}, {0, 0, -1});
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_ZENABLE, FALSE);
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  std::mt19937 random(5);
  std::uniform_real_distribution<float> across(-3.0f, 3.0f), along(-2.0f, 6.0f);
  auto coverage = [&](DWORD cull) {
    canvas.Clear(0xFF000000);
    canvas.SetRenderState(D3DRS_CULLMODE, cull);
    EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    std::vector<bool> lit;
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x) lit.push_back((canvas.Pixel(x, y) & 0xFFFFFF) != 0);
    return lit;
  };
  int drawn[2] = {0, 0};
  for (int n = 0; n < 200; ++n) {
    ColoredVertex v[3];
    for (ColoredVertex& p : v) p = {across(random), across(random), -along(random), 0xFFFFFFFF};
    if (!(v[0].z < 0 || v[1].z < 0 || v[2].z < 0) || !(v[0].z > 0 || v[1].z > 0 || v[2].z > 0)) continue;
    canvas.SetStream(v, sizeof(ColoredVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, 3);
    const std::vector<bool> all = coverage(D3DCULL_NONE), cw = coverage(D3DCULL_CW), ccw = coverage(D3DCULL_CCW);
    for (size_t i = 0; i < all.size(); ++i) {
      ASSERT_EQ(all[i], cw[i] != ccw[i]) << "triangle " << n << " pixel " << i;
      ASSERT_FALSE(cw[i] && ccw[i]) << "triangle " << n << " pixel " << i;
      drawn[0] += cw[i];
      drawn[1] += ccw[i];
    }
  }
  EXPECT_GT(drawn[0], 0);  // both facings occur
  EXPECT_GT(drawn[1], 0);
}

TEST_F(DrawTest, FlatShadingTakesTheFirstVertexColour) {
  canvas.SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  canvas.SetStream(kQuad, sizeof(TlVertex), kScreenFvf, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(canvas.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(12, 2), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(2, 12), 0xFFFF0000u);
}

TEST_F(DrawTest, ClearHonoursRectanglesViewportAndStencil) {
  canvas.context.viewport = {4, 4, 8, 8, 0, 1};
  const D3DRECT rect{0, 0, 6, 6};
  ASSERT_EQ(ClearSurfaces(canvas.context, 1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1, 0), D3D_OK);
  EXPECT_EQ(canvas.Pixel(5, 5), 0xFF00FF00u);
  EXPECT_EQ(canvas.Pixel(3, 3), 0xFF000000u);  // outside the viewport
  EXPECT_EQ(canvas.Pixel(7, 7), 0xFF000000u);  // outside the rectangle
  uint32_t word;
  ASSERT_EQ(ClearSurfaces(canvas.context, 0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0x5A), D3D_OK);
  ASSERT_EQ(ClearSurfaces(canvas.context, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0), D3D_OK);
  std::memcpy(&word, canvas.depth.data() + (5 * 16 + 5) * 4, 4);
  EXPECT_EQ(word & 0xFF, 0x5Au);
  EXPECT_EQ(word >> 8, 0x800000u);
  EXPECT_EQ(ClearSurfaces(canvas.context, 1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(ClearSurfaces(canvas.context, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0), D3DERR_INVALIDCALL);
}

// Rectangles at every alignment over surfaces with and without row padding:
// the wide stores must reach exactly the rectangle, and a depth clear must keep
// the stencil bits of every word.
TEST(ClearTest, FillsExactlyTheRectangleAtEveryAlignment) {
  struct Case {
    int width, pitchWords;
    D3DRECT rect;
  };
  const Case cases[] = {
      {37, 37, {0, 0, 37, 5}},   // whole rows without padding: one run
      {37, 40, {0, 0, 37, 5}},   // whole rows with padding
      {37, 37, {1, 1, 36, 4}},   // unaligned start, tail shorter than eight words
      {37, 37, {3, 0, 4, 5}},    // one column
      {37, 37, {7, 2, 31, 3}},   // one row, aligned body between head and tail
      {64, 64, {9, 1, 64, 5}},   // up to the right side
  };
  for (const Case& c : cases) {
    const int height = 5;
    std::vector<uint32_t> color(static_cast<size_t>(c.pitchWords) * height + 8, 0x12345678u);
    std::vector<uint32_t> depth(color.size(), 0xABCDEF5Au);
    DrawContext context;
    SetDefaultStates(context);
    context.renderTarget = {color.data() + 1, c.pitchWords * 4, D3DFMT_A8R8G8B8, static_cast<UINT>(c.width),
                            static_cast<UINT>(height)};
    context.depth = {depth.data() + 1, c.pitchWords * 4, D3DFMT_D24S8, static_cast<UINT>(c.width),
                     static_cast<UINT>(height)};
    context.viewport = {0, 0, static_cast<DWORD>(c.width), static_cast<DWORD>(height), 0, 1};
    ASSERT_EQ(ClearSurfaces(context, 1, &c.rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x80FF0000u, 0.0f, 0), D3D_OK);
    for (size_t i = 0; i < color.size(); ++i) {
      const long word = static_cast<long>(i) - 1;
      const long x = word >= 0 ? word % c.pitchWords : -1, y = word >= 0 ? word / c.pitchWords : -1;
      const bool inside = x >= c.rect.x1 && x < c.rect.x2 && y >= c.rect.y1 && y < c.rect.y2;
      ASSERT_EQ(color[i], inside ? 0x80FF0000u : 0x12345678u) << c.width << " " << c.rect.x1 << " word " << word;
      ASSERT_EQ(depth[i], inside ? 0x0000005Au : 0xABCDEF5Au) << c.width << " " << c.rect.x1 << " word " << word;
    }
  }
}

// A scene that exercises every specialised routine: textured and lit,
// blended sprites, a blended pre-transformed quad, untextured geometry.
Picture RenderMixedScene(D3DFORMAT depthFormat) {
  static const Texture earth = MakeTexture(64, 32, true, [](int x, int y) {
    return 0xFF000000u | (static_cast<uint32_t>(x * 4) << 16) | (static_cast<uint32_t>(y * 8) << 8) | ((x ^ y) & 255);
  });
  static const Texture glow = MakeTexture(8, 8, true, [](int x, int y) {
    return (static_cast<uint32_t>((x + y) * 16) << 24) | 0xFFFFFFu;
  });
  Canvas canvas(96, 72, D3DFMT_X8R8G8B8, depthFormat);
  canvas.Clear(0xFF101010);
  canvas.Camera({0, 0.5f, 3}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  canvas.SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  canvas.SetRenderState(D3DRS_WRAP0, D3DWRAPCOORD_0);
  for (auto s : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) canvas.SetStageState(0, s, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.8f, 0.8f, 0.8f, 1};
  light.Direction = {-1, -0.5f, -1};
  canvas.context.lights = &light;
  canvas.context.lightCount = 1;
  canvas.context.textures[0] = &earth.view;
  std::vector<MeshVertex> sphere;
  std::vector<uint16_t> indices;
  BuildSphere(1.0f, 24, 16, sphere, indices);
  canvas.SetStream(sphere.data(), sizeof(MeshVertex), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, static_cast<UINT>(sphere.size()));
  canvas.SetIndices(indices);
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(sphere.size()), 0,
                                  static_cast<UINT>(indices.size() / 3)), D3D_OK);
  // Untextured, lit: a second smaller sphere to the side.
  canvas.context.textures[0] = nullptr;
  canvas.context.world = Scaling(0.3f, 0.3f, 0.3f) * Translation(1.3f, 0, 0.5f);
  EXPECT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(sphere.size()), 0,
                                  static_cast<UINT>(indices.size() / 3)), D3D_OK);
  // Blended sprites with depth writes off.
  canvas.context.world = Identity();
  canvas.context.textures[0] = &glow.view;
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  canvas.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  canvas.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  canvas.SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  canvas.SetRenderState(D3DRS_POINTSIZE, FloatBits(13.0f));
  const ColorVertex points[3] = {{-1.2f, 0.8f, 0, 0xFFFFFFFF}, {0.2f, 0.1f, 1.2f, 0xFFFF8080}, {1.0f, -0.7f, -1, 0xFF80FF80}};
  canvas.SetStream(points, sizeof(ColorVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, 3);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_POINTLIST, 0, 3), D3D_OK);
  // A blended pre-transformed quad without depth.
  canvas.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  canvas.SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  canvas.SetStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  const TlVertex quad[4] = {{2.5f, 50.5f, 0, 1, 0xC0FFFF00, 0, 0}, {40.5f, 50.5f, 0, 1, 0xC0FFFF00, 1, 0},
                                {2.5f, 70.5f, 0, 1, 0xC0FFFF00, 0, 1}, {40.5f, 70.5f, 0, 1, 0xC0FFFF00, 1, 1}};
  canvas.SetStream(quad, sizeof(TlVertex), kScreenFvf, 4);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  return canvas.Snapshot();
}

// A plane receding in perspective, textured beyond its texture's edges with
// the given addressing: magnified near the bottom, down to the 1x1 level at
// the top.
Picture RenderReceding(DWORD addressU, DWORD addressV) {
  static const Texture checks = MakeTexture(32, 16, true, [](int x, int y) {
    return ((x ^ y) & 1 ? 0xFFF0E020u : 0x80203090u) + static_cast<uint32_t>(x * 3 + y);
  });
  Canvas canvas(96, 72);
  canvas.Clear(0xFF101010);
  canvas.context.textures[0] = &checks.view;
  for (auto s : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) canvas.SetStageState(0, s, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_ADDRESSU, addressU);
  canvas.SetStageState(0, D3DTSS_ADDRESSV, addressV);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  canvas.SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  canvas.SetStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const TlVertex plane[4] = {{44.5f, 1.5f, 0.9f, 0.02f, 0xFFFFFFFF, -0.7f, -0.6f},
                             {51.5f, 1.5f, 0.9f, 0.02f, 0xFF80FF80, 1.8f, -0.6f},
                             {1.5f, 70.5f, 0.1f, 1.0f, 0xFFFF8080, -0.7f, 1.6f},
                             {94.5f, 70.5f, 0.1f, 1.0f, 0xFF8080FF, 1.8f, 1.6f}};
  canvas.SetStream(plane, sizeof(TlVertex), kScreenFvf, 4);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  return canvas.Snapshot();
}

int WorstDifference(const Picture& a, const Picture& b) {
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(static_cast<int>((a.pixels[i] >> shift) & 255) - static_cast<int>((b.pixels[i] >> shift) & 255)));
  return worst;
}

TEST(SpanRoutineTest, SpecialisedRoutinesMatchTheGenericOne) {
  const std::pair<const char*, std::function<Picture()>> scenes[] = {
      {"mixed, D24S8", [] { return RenderMixedScene(D3DFMT_D24S8); }},
      {"mixed, D16", [] { return RenderMixedScene(D3DFMT_D16); }},
      {"receding, clamped", [] { return RenderReceding(D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP); }},
      {"receding, wrapped across, clamped down", [] { return RenderReceding(D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP); }},
      {"receding, clamped across, wrapped down", [] { return RenderReceding(D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP); }},
  };
  for (const auto& [name, render] : scenes) {
    TestSetSpanRoutines(SpanRoutines::kGeneric);
    const Picture generic = render();
    TestSetSpanRoutines(SpanRoutines::kSse2);
    const Picture sse2 = render();
    TestSetSpanRoutines(SpanRoutines::kFastest);
    const Picture fastest = render();
    TestLimitWideSpansToAvx2(true);  // the same as fastest without AVX-512
    const Picture avx2 = render();
    TestLimitWideSpansToAvx2(false);
    // Fixed-point filtering rounds differently from the float reference by a few steps at most.
    EXPECT_LE(WorstDifference(generic, sse2), 6) << name;
    EXPECT_LE(WorstDifference(generic, fastest), 6) << name;
    EXPECT_LE(WorstDifference(generic, avx2), 6) << name;
  }
}

TEST(SpanRoutineTest, SeveralThreadsDrawTheSamePictureAsOne) {
  SetRasterizerThreadCount(1);
  const Picture one = RenderMixedScene(D3DFMT_D24S8);
  SetRasterizerThreadCount(3);
  const Picture three = RenderMixedScene(D3DFMT_D24S8);
  SetRasterizerThreadCount(0);
  EXPECT_EQ(one.pixels, three.pixels);
}

}  // namespace
