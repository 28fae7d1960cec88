// Queued rasterization: scenes drawn through the queue by several threads come
// out exactly as drawn at once on one thread, whatever the queue has to do on
// the way (long draws in pieces, more draws than it holds at once, clears in
// between, views that change before the flush, draws that sample what queued
// work draws to).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "scene_support.h"

using namespace d3d8pipe;

namespace {

const Texture& Checker() {
  static const Texture t = MakeTexture(64, 64, true, [](int x, int y) {
    return 0xFF000000u | (static_cast<uint32_t>(x * 4) << 16) | (static_cast<uint32_t>(y * 4) << 8) |
           (((x / 8) ^ (y / 8)) & 1 ? 0xFFu : 0u);
  });
  return t;
}

const Texture& Glow() {
  static const Texture t = MakeTexture(8, 8, true, [](int x, int y) {
    return (static_cast<uint32_t>((x + y) * 16) << 24) | 0xFFC080u;
  });
  return t;
}

void LitTextured(Canvas& canvas) {
  canvas.Camera({0, 0.4f, 2.6f}, {0, 0, 0});
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  canvas.SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  for (auto s : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) canvas.SetStageState(0, s, D3DTEXF_LINEAR);
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}

// A sphere of many small triangles (more than the queue takes in one piece),
// textured through a view that the caller reuses for another texture before
// the queue draws, and a smaller one in front.
void DenseSphere(Canvas& canvas) {
  static D3DLIGHT8 light = [] {
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Diffuse = {0.9f, 0.9f, 0.9f, 1};
    l.Direction = {-1, -0.5f, -1};
    return l;
  }();
  canvas.Clear(0xFF202040);
  LitTextured(canvas);
  canvas.context.lights = &light;
  canvas.context.lightCount = 1;
  std::vector<MeshVertex> sphere;
  std::vector<uint16_t> indices;
  BuildSphere(1.0f, 96, 64, sphere, indices);
  canvas.SetStream(sphere.data(), sizeof(MeshVertex), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                   static_cast<UINT>(sphere.size()));
  canvas.SetIndices(indices);
  TextureView view = Checker().view;
  canvas.context.textures[0] = &view;
  // Alpha testing takes the generic span routine, which reads the view itself.
  canvas.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  canvas.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  ASSERT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(sphere.size()), 0,
                                  static_cast<UINT>(indices.size() / 3)),
            D3D_OK);
  view = Glow().view;
  canvas.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  canvas.context.world = Scaling(0.4f, 0.4f, 0.4f) * Translation(0.9f, 0.6f, 0.8f);
  ASSERT_EQ(DrawIndexedPrimitives(canvas.context, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(sphere.size()), 0,
                                  static_cast<UINT>(indices.size() / 3)),
            D3D_OK);
  canvas.context.textures[0] = nullptr;
}

// Hundreds of one-sprite draws (more than the queue holds at once), blended,
// with clears of rectangles and of the depth buffer in between.
void ManySprites(Canvas& canvas) {
  canvas.Clear(0xFF000000);
  canvas.Camera({0, 0, 3}, {0, 0, 0});
  canvas.context.textures[0] = &Glow().view;
  canvas.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  canvas.SetRenderState(D3DRS_LIGHTING, FALSE);
  canvas.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  canvas.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  canvas.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  canvas.SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  canvas.SetRenderState(D3DRS_POINTSIZE, FloatBits(24.0f));
  std::vector<ColorVertex> points;
  for (int i = 0; i < 700; ++i) {
    const float a = static_cast<float>(i) * 0.37f, r = 0.2f + static_cast<float>(i % 50) * 0.03f;
    points.push_back({r * std::cos(a), r * std::sin(a) * 0.8f, static_cast<float>(i % 7) * 0.1f,
                      0xFF000000u | (static_cast<uint32_t>(i * 37) & 0xFFFFFFu)});
  }
  canvas.SetStream(points.data(), sizeof(ColorVertex), D3DFVF_XYZ | D3DFVF_DIFFUSE, static_cast<UINT>(points.size()));
  const D3DRECT rects[2] = {{10, 5, 120, 60}, {100, 90, 250, 230}};
  for (UINT i = 0; i < points.size(); ++i) {
    ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_POINTLIST, i, 1), D3D_OK);
    if (i == 300) {
      ASSERT_EQ(ClearSurfaces(canvas.context, 2, rects, D3DCLEAR_TARGET, 0xFF336699, 1, 0), D3D_OK);
    }
    if (i == 500) {
      ASSERT_EQ(ClearSurfaces(canvas.context, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0), D3D_OK);
    }
  }
  canvas.context.textures[0] = nullptr;
}

// A second target samples the first one as a texture right after drawing it:
// the sampling draw waits for the queued work it reads.
void RenderToTexture(Canvas& canvas) {
  Canvas source(64, 64);
  source.Clear(0xFF000000);
  const TlVertex triangle[3] = {{2, 2, 0.5f, 1, 0xFFFF0000, 0, 0},
                                {62, 10, 0.5f, 1, 0xFF00FF00, 0, 0},
                                {20, 62, 0.5f, 1, 0xFF0000FF, 0, 0}};
  source.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  source.SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  source.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  source.SetStream(triangle, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 3);
  ASSERT_EQ(DrawPrimitives(source.context, D3DPT_TRIANGLELIST, 0, 1), D3D_OK);

  TextureView view;
  view.format = D3DFMT_X8R8G8B8;
  view.levelCount = 1;
  view.levels[0] = source.context.renderTarget;
  canvas.Clear(0xFF000000);
  canvas.context.textures[0] = &view;
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const TlVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                            {static_cast<float>(canvas.width), 0, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                            {0, static_cast<float>(canvas.height), 0.5f, 1, 0xFFFFFFFF, 0, 1},
                            {static_cast<float>(canvas.width), static_cast<float>(canvas.height), 0.5f, 1,
                             0xFFFFFFFF, 1, 1}};
  canvas.SetStream(quad, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  // And a draw into the source while the canvas's work that samples it may be queued.
  ASSERT_EQ(DrawPrimitives(source.context, D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  FlushRasterizer();
  canvas.context.textures[0] = nullptr;
}

// A draw that samples the upper half of its own target while queued work
// still draws there: it waits for that work.
void SampleOwnTarget(Canvas& canvas) {
  DenseSphere(canvas);
  TextureView upper;
  upper.format = D3DFMT_X8R8G8B8;
  upper.levelCount = 1;
  upper.levels[0] = canvas.context.renderTarget;
  upper.levels[0].height = 128;  // the sampled rows: 0..127
  canvas.context.textures[0] = &upper;
  canvas.SetStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  canvas.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  canvas.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  canvas.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  for (auto s : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER}) canvas.SetStageState(0, s, D3DTEXF_POINT);
  canvas.SetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  const float w = static_cast<float>(canvas.width);
  const TlVertex quad[4] = {{0, 130, 0, 1, 0xFFFFFFFF, 0, 0},
                            {w, 130, 0, 1, 0xFFFFFFFF, 1, 0},
                            {0, 258, 0, 1, 0xFFFFFFFF, 0, 1},
                            {w, 258, 0, 1, 0xFFFFFFFF, 1, 1}};
  canvas.SetStream(quad, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  ASSERT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  canvas.context.textures[0] = nullptr;
}

struct SceneCase {
  const char* name;
  std::function<void(Canvas&)> draw;
};

Picture Render(const SceneCase& scene, UINT threads, bool queued) {
  SetRasterizerThreadCount(threads);
  SetQueuedRasterization(queued);
  Canvas canvas(300, 260);
  scene.draw(canvas);
  FlushRasterizer();
  SetQueuedRasterization(false);
  SetRasterizerThreadCount(0);
  return canvas.Snapshot();
}

TEST(DrawQueueTest, QueuedScenesMatchOneThread) {
  const SceneCase scenes[] = {{"dense sphere", DenseSphere},
                              {"many sprites", ManySprites},
                              {"render to texture", RenderToTexture},
                              {"sample own target", SampleOwnTarget}};
  for (const SceneCase& scene : scenes) {
    const Picture one = Render(scene, 1, false);
    const Picture queued = Render(scene, 3, true);
    EXPECT_EQ(one.pixels, queued.pixels) << scene.name;
    // The scene must draw something for the comparison to mean anything.
    EXPECT_NE(std::count(one.pixels.begin(), one.pixels.end(), one.pixels[0]),
              static_cast<std::ptrdiff_t>(one.pixels.size()))
        << scene.name;
  }
}

TEST(DrawQueueTest, QueuedCallsStillCheckTheirArguments) {
  SetRasterizerThreadCount(2);
  SetQueuedRasterization(true);
  Canvas canvas(64, 64);
  EXPECT_EQ(ClearSurfaces(canvas.context, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(ClearSurfaces(canvas.context, 1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
  const TlVertex quad[4] = {};
  canvas.SetStream(quad, sizeof(TlVertex), D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4);
  EXPECT_EQ(DrawPrimitives(canvas.context, D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);
  // A clear with more rectangles than the queue copies runs at once, after the queued work.
  canvas.Clear(0xFF000000);
  std::vector<D3DRECT> rects;
  for (LONG i = 0; i < 40; ++i) rects.push_back({i, i, i + 1, i + 1});
  EXPECT_EQ(ClearSurfaces(canvas.context, static_cast<DWORD>(rects.size()), rects.data(), D3DCLEAR_TARGET,
                          0xFFFFFFFF, 1, 0),
            D3D_OK);
  FlushRasterizer();
  EXPECT_EQ(canvas.Pixel(39, 39), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.Pixel(40, 39), 0xFF000000u);
  SetQueuedRasterization(false);
  SetRasterizerThreadCount(0);
}

}  // namespace
