// The reference scene through the drawing pipeline, with the states the
// application sets.
#include <cstring>

#include "draw_context.h"
#include "renderers.h"

namespace {

using namespace d3d8pipe;
using refscene::Scene;

DWORD Bits(float f) {
  DWORD d;
  std::memcpy(&d, &f, 4);
  return d;
}

TextureView ViewOf(const refscene::Image& image) {
  TextureView view;
  view.format = D3DFMT_A8R8G8B8;
  view.levelCount = static_cast<UINT>(image.levels.size());
  int w = image.width, h = image.height;
  for (size_t i = 0; i < image.levels.size(); ++i) {
    view.levels[i] = {const_cast<uint32_t*>(image.levels[i].data()), w * 4, D3DFMT_A8R8G8B8, static_cast<UINT>(w),
                      static_cast<UINT>(h)};
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  return view;
}

class KelvaneRenderer : public SceneRenderer {
 public:
  explicit KelvaneRenderer(const Scene& scene)
      : scene_(scene), color_(refscene::kWidth * refscene::kHeight), depth_(refscene::kWidth * refscene::kHeight) {
    earth_ = ViewOf(scene.earth);
    star_ = ViewOf(scene.star);
    text_ = ViewOf(scene.textImage);
  }

  void DrawFrame(int frame) override {
    const refscene::Parts& parts = refscene::SelectedParts();
    DrawContext c;
    SetDefaultStates(c);
    c.renderTarget = {color_.data(), refscene::kWidth * 4, D3DFMT_X8R8G8B8, refscene::kWidth, refscene::kHeight};
    c.depth = {depth_.data(), refscene::kWidth * 4, D3DFMT_D24S8, refscene::kWidth, refscene::kHeight};
    c.viewport = {0, 0, refscene::kWidth, refscene::kHeight, 0, 1};
    ClearSurfaces(c, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);

    DWORD* rs = c.renderStates;
    rs[D3DRS_ZENABLE] = TRUE;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_AMBIENT] = 0xFF404040;
    rs[D3DRS_CULLMODE] = D3DCULL_CW;
    rs[D3DRS_NORMALIZENORMALS] = TRUE;
    for (auto s : {D3DTSS_MIPFILTER, D3DTSS_MAGFILTER, D3DTSS_MINFILTER}) c.stageStates[0][s] = D3DTEXF_LINEAR;
    c.stageStates[0][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    c.stageStates[0][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    c.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    c.view = scene_.view;
    c.projection = scene_.projection;
    c.lights = &scene_.light;
    c.lightCount = 1;
    c.material = scene_.material;

    // Globe.
    rs[D3DRS_WRAP0] = D3DWRAPCOORD_0;
    c.world = refscene::GlobeWorld(frame);
    c.textures[0] = &earth_;
    c.stream = {reinterpret_cast<const BYTE*>(scene_.sphere.data()), sizeof(refscene::MeshVertex),
                D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, static_cast<UINT>(scene_.sphere.size())};
    c.indices = {scene_.sphereIndices.data(), false, static_cast<UINT>(scene_.sphereIndices.size()), 0};
    if (parts.globe) {
      DrawIndexedPrimitives(c, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(scene_.sphere.size()), 0,
                            static_cast<UINT>(scene_.sphereIndices.size() / 3));
    }
    rs[D3DRS_WRAP0] = 0;

    // Grid boxes, untextured.
    c.textures[0] = nullptr;
    c.stream = {reinterpret_cast<const BYTE*>(scene_.box.data()), sizeof(refscene::MeshVertex),
                D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, static_cast<UINT>(scene_.box.size())};
    c.indices = {scene_.boxIndices.data(), false, static_cast<UINT>(scene_.boxIndices.size()), 0};
    for (const D3DMATRIX& world : scene_.boxWorld) {
      if (!parts.grid) break;
      c.world = world;
      DrawIndexedPrimitives(c, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(scene_.box.size()), 0,
                            static_cast<UINT>(scene_.boxIndices.size() / 3));
    }

    // Stars: blended point sprites, one call each, depth writes off.
    c.textures[0] = &star_;
    c.world = D3DMATRIX{{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
    rs[D3DRS_ZWRITEENABLE] = FALSE;
    rs[D3DRS_CULLMODE] = D3DCULL_NONE;
    rs[D3DRS_LIGHTING] = FALSE;
    rs[D3DRS_ALPHABLENDENABLE] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    rs[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    rs[D3DRS_POINTSPRITEENABLE] = TRUE;
    rs[D3DRS_POINTSCALEENABLE] = TRUE;
    rs[D3DRS_POINTSIZE] = Bits(2.0f);
    rs[D3DRS_POINTSIZE_MIN] = Bits(0.0f);
    rs[D3DRS_POINTSCALE_A] = Bits(0.0f);
    rs[D3DRS_POINTSCALE_B] = Bits(0.0f);
    rs[D3DRS_POINTSCALE_C] = Bits(1.0f);
    c.stream = {reinterpret_cast<const BYTE*>(scene_.stars.data()), sizeof(refscene::StarVertex),
                D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, static_cast<UINT>(scene_.stars.size())};
    for (UINT i = 0; parts.stars && i < scene_.stars.size(); ++i) DrawPrimitives(c, D3DPT_POINTLIST, i, 1);
    rs[D3DRS_POINTSPRITEENABLE] = FALSE;
    rs[D3DRS_POINTSCALEENABLE] = FALSE;

    // Text quad, pre-transformed, with the sprite states.
    rs[D3DRS_ZENABLE] = FALSE;
    c.textures[0] = &text_;
    c.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    c.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    c.stageStates[0][D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    c.stageStates[0][D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    c.stageStates[0][D3DTSS_ADDRESSU] = D3DTADDRESS_CLAMP;
    c.stageStates[0][D3DTSS_ADDRESSV] = D3DTADDRESS_CLAMP;
    c.stream = {reinterpret_cast<const BYTE*>(scene_.text), sizeof(refscene::TextVertex),
                D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 4};
    if (parts.text) DrawPrimitives(c, D3DPT_TRIANGLEFAN, 0, 2);
    // The frame is done once the queued rows are drawn, as at Present.
    FlushRasterizer();
  }

  std::vector<uint32_t> Pixels() override { return color_; }

 private:
  const Scene& scene_;
  std::vector<uint32_t> color_, depth_;
  TextureView earth_, star_, text_;
};

}  // namespace

std::unique_ptr<SceneRenderer> MakeKelvaneRenderer(const refscene::Scene& scene) {
  return std::make_unique<KelvaneRenderer>(scene);
}
