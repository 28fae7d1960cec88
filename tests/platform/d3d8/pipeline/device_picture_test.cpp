// Pictures drawn through the device: the runtime fills the pipeline's draw
// context from its states, resources and buffers, and the frame is read back
// from the back buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "com_ptr.h"
#include "d3d8.h"
#include "scene_support.h"

namespace {

constexpr float kPi = 3.14159265f;

class DevicePictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d3d_ = ComPtr<IDirect3D8>(Direct3DCreate8(D3D_SDK_VERSION));
    ASSERT_TRUE(d3d_);
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 64;
    p.BackBufferHeight = 64;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_FLIP;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                                 device_.ReleaseAndGetAddressOf()),
              D3D_OK);
  }

  // A mip-mapped A8R8G8B8 texture filled level by level through LockRect.
  ComPtr<IDirect3DTexture8> CreateFilledTexture(const Texture& source, UINT width, UINT height) {
    ComPtr<IDirect3DTexture8> texture;
    EXPECT_EQ(device_->CreateTexture(width, height, static_cast<UINT>(source.levels.size()), 0, D3DFMT_A8R8G8B8,
                                     D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()),
              D3D_OK);
    if (!texture) return texture;
    for (UINT level = 0; level < source.levels.size(); ++level) {
      D3DLOCKED_RECT locked{};
      EXPECT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
      const UINT w = source.view.levels[level].width, h = source.view.levels[level].height;
      for (UINT y = 0; y < h; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, source.levels[level].data() + y * w, w * 4);
      texture->UnlockRect(level);
    }
    return texture;
  }

  Picture ReadBackBuffer() {
    Picture picture;
    ComPtr<IDirect3DSurface8> surface;
    EXPECT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, surface.ReleaseAndGetAddressOf()), D3D_OK);
    D3DLOCKED_RECT locked{};
    if (!surface || surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return picture;
    picture.width = picture.height = 64;
    picture.pixels.resize(64 * 64);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        uint32_t v;
        std::memcpy(&v, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
        picture.pixels[static_cast<size_t>(y) * 64 + x] = v | 0xFF000000u;
      }
    }
    surface->UnlockRect();
    return picture;
  }

  ComPtr<IDirect3D8> d3d_;
  ComPtr<IDirect3DDevice8> device_;
};

// The application's frame in small: a lit, textured, mip-mapped globe with
// WRAP0 under a directional light, blended point sprites with depth writes
// off, and a blended pre-transformed quad drawn from user memory.
TEST_F(DevicePictureTest, GlobeSpritesAndTextThroughTheDevice) {
  const Texture earthImage = MakeTexture(64, 32, true, [](int x, int y) {
    const uint32_t band = (y / 4) % 2 ? 0x40u : 0x00u;
    return 0xFF000000u | (static_cast<uint32_t>(x * 4) << 16) | ((0x60u + band) << 8) | (255u - x * 4);
  });
  const Texture starImage = MakeTexture(8, 8, true, [](int x, int y) {
    const int dx = x * 2 - 7, dy = y * 2 - 7;
    const int d2 = dx * dx + dy * dy;
    return (d2 < 50 ? static_cast<uint32_t>(255 - d2 * 5) << 24 : 0u) | 0xFFFFC0u;
  });
  ComPtr<IDirect3DTexture8> earth = CreateFilledTexture(earthImage, 64, 32);
  ComPtr<IDirect3DTexture8> star = CreateFilledTexture(starImage, 8, 8);
  ASSERT_TRUE(earth && star);

  std::vector<MeshVertex> sphere;
  std::vector<uint16_t> indices;
  BuildSphere(1.0f, 24, 24, sphere, indices);
  ComPtr<IDirect3DVertexBuffer8> vb;
  ComPtr<IDirect3DIndexBuffer8> ib;
  ASSERT_EQ(device_->CreateVertexBuffer(static_cast<UINT>(sphere.size() * sizeof(MeshVertex)), 0, 0x112,
                                        D3DPOOL_MANAGED, vb.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                       ib.ReleaseAndGetAddressOf()), D3D_OK);
  BYTE* data = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
  std::memcpy(data, sphere.data(), sphere.size() * sizeof(MeshVertex));
  vb->Unlock();
  ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
  std::memcpy(data, indices.data(), indices.size() * 2);
  ib->Unlock();

  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  const D3DMATRIX view = LookAtRH({0, 0.5f, 3}, {0, 0, 0}, {0, 1, 0});
  const D3DMATRIX projection = PerspectiveFovRH(kPi / 3, 1.0f, 0.1f, 100.0f);
  const D3DMATRIX world = RotationY(0.5f);
  device_->SetTransform(D3DTS_VIEW, &view);
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTransform(D3DTS_WORLD, &world);
  device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  device_->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device_->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  device_->SetRenderState(D3DRS_WRAP0, D3DWRAPCOORD_0);
  for (auto s : {D3DTSS_MIPFILTER, D3DTSS_MAGFILTER, D3DTSS_MINFILTER}) device_->SetTextureStageState(0, s, D3DTEXF_LINEAR);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = light.Ambient = {0.5f, 0.5f, 0.5f, 1};
  light.Direction = {-1, -0.5f, -1};
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  D3DMATERIAL8 material{};
  material.Diffuse = material.Ambient = {1, 1, 1, 1};
  device_->SetMaterial(&material);
  device_->SetTexture(0, earth.Get());
  device_->SetVertexShader(0x112);
  device_->SetStreamSource(0, vb.Get(), sizeof(MeshVertex));
  device_->SetIndices(ib.Get(), 0);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(sphere.size()), 0,
                                          static_cast<UINT>(indices.size() / 3)), D3D_OK);
  device_->SetRenderState(D3DRS_WRAP0, 0);

  // Stars.
  const D3DMATRIX identity = Identity();
  device_->SetTransform(D3DTS_WORLD, &identity);
  device_->SetTexture(0, star.Get());
  device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(0.5f));
  device_->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
  device_->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
  device_->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
  struct StarVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
  };
  const StarVertex stars[3] = {{-1.3f, 1.0f, -1, 0xFFFFFFFF, 0, 0}, {1.2f, 0.9f, -2, 0xFFFFFFFF, 0, 0},
                               {-1.1f, -1.0f, 0.5f, 0xFFFFFFFF, 0, 0}};
  device_->SetVertexShader(0x142);
  for (const StarVertex& s : stars) ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &s, sizeof s), D3D_OK);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
  device_->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);

  // Text-like quad, pre-transformed, in the top-left corner.
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetTexture(0, nullptr);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  const TlVertex quad[4] = {{1.5f, 1.5f, 0, 1, 0x80FFFF00, 0, 0}, {20.5f, 1.5f, 0, 1, 0x80FFFF00, 1, 0},
                            {20.5f, 8.5f, 0, 1, 0x80FFFF00, 1, 1}, {1.5f, 8.5f, 0, 1, 0x80FFFF00, 0, 1}};
  device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(TlVertex)), D3D_OK);
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  device_->SetTexture(0, nullptr);
  device_->SetStreamSource(0, nullptr, 0);
  device_->SetIndices(nullptr, 0);

  const Picture frame = ReadBackBuffer();
  ASSERT_EQ(frame.width, 64);
  EXPECT_NE(frame.At(32, 32) & 0xFFFFFF, 0u);                      // the globe
  EXPECT_EQ(frame.At(60, 60) & 0xFFFFFF, 0u);                      // background
  EXPECT_NEAR(static_cast<int>((frame.At(5, 5) >> 16) & 255), 0x80, 2);  // half-blended yellow
  const std::string failure = CompareWithReference("device_scene", frame);
  EXPECT_EQ(failure, "");
}

}  // namespace
