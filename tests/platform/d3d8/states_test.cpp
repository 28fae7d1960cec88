// Device states stay as set until changed; bad values are refused and change nothing.
#include <cstring>

#include "d3d8_fixture.h"

namespace {

class StatesTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
  }
};

D3DMATRIX Matrix(float seed) {
  D3DMATRIX m{};
  for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = seed + static_cast<float>(i);
  return m;
}

TEST_F(StatesTest, NewDeviceStartsFromThePlatformDefaults) {
  const struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } defaults[] = {{D3DRS_ZENABLE, D3DZB_TRUE},  // an automatic depth buffer was asked for
                  {D3DRS_CULLMODE, D3DCULL_CCW},   {D3DRS_LIGHTING, TRUE},
                  {D3DRS_FILLMODE, D3DFILL_SOLID}, {D3DRS_SRCBLEND, D3DBLEND_ONE},
                  {D3DRS_DESTBLEND, D3DBLEND_ZERO}, {D3DRS_COLORWRITEENABLE, 0xF},
                  {D3DRS_SOFTWAREVERTEXPROCESSING, TRUE}};
  for (const auto& d : defaults) {
    DWORD value = 0xDEAD;
    ASSERT_EQ(device_->GetRenderState(d.state, &value), D3D_OK);
    EXPECT_EQ(value, d.value) << "render state " << d.state;
  }
  DWORD op = 0;
  ASSERT_EQ(device_->GetTextureStageState(0, D3DTSS_COLOROP, &op), D3D_OK);
  EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_MODULATE));
  ASSERT_EQ(device_->GetTextureStageState(3, D3DTSS_COLOROP, &op), D3D_OK);
  EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_DISABLE));
  ASSERT_EQ(device_->GetTextureStageState(3, D3DTSS_TEXCOORDINDEX, &op), D3D_OK);
  EXPECT_EQ(op, 3u);
  D3DVIEWPORT8 viewport{};
  ASSERT_EQ(device_->GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.Width, 64u);
  EXPECT_EQ(viewport.Height, 32u);
  EXPECT_EQ(viewport.MaxZ, 1.0f);
  D3DMATRIX world{};
  ASSERT_EQ(device_->GetTransform(D3DTS_WORLD, &world), D3D_OK);
  EXPECT_EQ(world._11, 1.0f);
  EXPECT_EQ(world._12, 0.0f);
}

TEST_F(StatesTest, StatesStayAsSet) {
  ASSERT_EQ(device_->SetRenderState(D3DRS_AMBIENT, 0xFF404040), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_WRAP0, D3DWRAPCOORD_0), D3D_OK);
  ASSERT_EQ(device_->SetTextureStageState(7, D3DTSS_MAGFILTER, D3DTEXF_LINEAR), D3D_OK);
  const D3DMATRIX view = Matrix(1.0f);
  const D3DMATRIX world5 = Matrix(50.0f);
  ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &view), D3D_OK);
  ASSERT_EQ(device_->SetTransform(D3DTS_WORLDMATRIX(5), &world5), D3D_OK);
  D3DMATERIAL8 material{};
  material.Diffuse = {0.1f, 0.2f, 0.3f, 0.4f};
  material.Power = 8.0f;
  ASSERT_EQ(device_->SetMaterial(&material), D3D_OK);
  const D3DVIEWPORT8 viewport{4, 2, 20, 10, 0.25f, 0.75f};
  ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
  ASSERT_EQ(device_->SetVertexShader(0x142), D3D_OK);
  ComPtr<IDirect3DVertexBuffer8> vb;
  ASSERT_EQ(device_->CreateVertexBuffer(192, 0, 0x142, D3DPOOL_MANAGED, vb.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, vb.Get(), 24), D3D_OK);
  ComPtr<IDirect3DIndexBuffer8> ib;
  ASSERT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, ib.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetIndices(ib.Get(), 9), D3D_OK);
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetTexture(2, texture.Get()), D3D_OK);

  DWORD value = 0;
  ASSERT_EQ(device_->GetRenderState(D3DRS_AMBIENT, &value), D3D_OK);
  EXPECT_EQ(value, 0xFF404040u);
  ASSERT_EQ(device_->GetRenderState(D3DRS_WRAP0, &value), D3D_OK);
  EXPECT_EQ(value, D3DWRAPCOORD_0);
  ASSERT_EQ(device_->GetTextureStageState(7, D3DTSS_MAGFILTER, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
  D3DMATRIX m{};
  ASSERT_EQ(device_->GetTransform(D3DTS_WORLDMATRIX(5), &m), D3D_OK);
  EXPECT_EQ(std::memcmp(&m, &world5, sizeof(m)), 0);
  ASSERT_EQ(device_->GetTransform(D3DTS_VIEW, &m), D3D_OK);
  EXPECT_EQ(std::memcmp(&m, &view, sizeof(m)), 0);
  D3DMATERIAL8 gotMaterial{};
  ASSERT_EQ(device_->GetMaterial(&gotMaterial), D3D_OK);
  EXPECT_EQ(std::memcmp(&gotMaterial, &material, sizeof(material)), 0);
  D3DVIEWPORT8 gotViewport{};
  ASSERT_EQ(device_->GetViewport(&gotViewport), D3D_OK);
  EXPECT_EQ(std::memcmp(&gotViewport, &viewport, sizeof(viewport)), 0);
  ASSERT_EQ(device_->GetVertexShader(&value), D3D_OK);
  EXPECT_EQ(value, 0x142u);
  IDirect3DVertexBuffer8* gotVb = nullptr;
  UINT stride = 0;
  ASSERT_EQ(device_->GetStreamSource(0, &gotVb, &stride), D3D_OK);
  EXPECT_EQ(gotVb, vb.Get());
  EXPECT_EQ(stride, 24u);
  gotVb->Release();
  IDirect3DIndexBuffer8* gotIb = nullptr;
  UINT base = 0;
  ASSERT_EQ(device_->GetIndices(&gotIb, &base), D3D_OK);
  EXPECT_EQ(gotIb, ib.Get());
  EXPECT_EQ(base, 9u);
  gotIb->Release();
  IDirect3DBaseTexture8* gotTexture = nullptr;
  ASSERT_EQ(device_->GetTexture(2, &gotTexture), D3D_OK);
  EXPECT_EQ(gotTexture, static_cast<IDirect3DBaseTexture8*>(texture.Get()));
  gotTexture->Release();
  ASSERT_EQ(device_->GetTexture(1, &gotTexture), D3D_OK);
  EXPECT_EQ(gotTexture, nullptr);
}

TEST_F(StatesTest, LightsAtAnyIndex) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1, 0.5f, 0.25f, 1};
  light.Range = 100.0f;
  light.Attenuation0 = 1.0f;
  for (DWORD index : {0u, 1u, 300u, 100000u}) {
    light.Position = {static_cast<float>(index), 0, 0};
    ASSERT_EQ(device_->SetLight(index, &light), D3D_OK);
    ASSERT_EQ(device_->LightEnable(index, TRUE), D3D_OK);
  }
  D3DLIGHT8 got{};
  ASSERT_EQ(device_->GetLight(300, &got), D3D_OK);
  EXPECT_EQ(got.Position.x, 300.0f);
  BOOL enabled = FALSE;
  ASSERT_EQ(device_->GetLightEnable(100000, &enabled), D3D_OK);
  EXPECT_TRUE(enabled);
  ASSERT_EQ(device_->LightEnable(300, FALSE), D3D_OK);
  ASSERT_EQ(device_->GetLightEnable(300, &enabled), D3D_OK);
  EXPECT_FALSE(enabled);
  // Enabling a light that was never set makes the default white directional light.
  ASSERT_EQ(device_->LightEnable(7, TRUE), D3D_OK);
  ASSERT_EQ(device_->GetLight(7, &got), D3D_OK);
  EXPECT_EQ(got.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(got.Diffuse.r, 1.0f);
  EXPECT_EQ(got.Direction.z, 1.0f);
  EXPECT_EQ(device_->GetLight(8, &got), D3DERR_INVALIDCALL);
}

TEST_F(StatesTest, InvalidCallsChangeNothing) {
  ASSERT_EQ(device_->SetRenderState(D3DRS_AMBIENT, 0x12345678), D3D_OK);
  const D3DMATRIX identity = Matrix(0.0f);
  D3DLIGHT8 badLight{};
  badLight.Type = D3DLIGHTTYPE(9);
  D3DLIGHT8 negativeRange{};
  negativeRange.Type = D3DLIGHT_SPOT;
  negativeRange.Range = -1.0f;
  const D3DVIEWPORT8 tooLarge{0, 0, 65, 32, 0.0f, 1.0f};
  const D3DVIEWPORT8 badDepth{0, 0, 8, 8, 0.5f, 2.0f};
  ComPtr<IDirect3DTexture8> system;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, system.ReleaseAndGetAddressOf()), D3D_OK);

  EXPECT_EQ(device_->SetRenderState(D3DRENDERSTATETYPE(3), 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetRenderState(D3DRENDERSTATETYPE(400), 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(12), 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTransform(D3DTRANSFORMSTATETYPE(4), &identity), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetLight(0, &badLight), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetLight(0, &negativeRange), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetViewport(&tooLarge), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetViewport(&badDepth), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTexture(0, system.Get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(0x1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(D3DFVF_NORMAL), D3DERR_INVALIDCALL) << "no position";
  EXPECT_EQ(device_->SetStreamSource(16, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetPixelShader(5), D3DERR_INVALIDCALL);

  DWORD value = 0;
  ASSERT_EQ(device_->GetRenderState(D3DRS_AMBIENT, &value), D3D_OK);
  EXPECT_EQ(value, 0x12345678u);
  D3DLIGHT8 light{};
  EXPECT_EQ(device_->GetLight(0, &light), D3DERR_INVALIDCALL) << "no light was made";
  D3DVIEWPORT8 viewport{};
  ASSERT_EQ(device_->GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.Width, 64u);
  IDirect3DBaseTexture8* texture = nullptr;
  ASSERT_EQ(device_->GetTexture(0, &texture), D3D_OK);
  EXPECT_EQ(texture, nullptr);
  ASSERT_EQ(device_->GetVertexShader(&value), D3D_OK);
  EXPECT_EQ(value, 0u);
}

TEST_F(StatesTest, MultiplyTransformPremultiplies) {
  D3DMATRIX scale{};
  scale._11 = 2.0f;
  scale._22 = 3.0f;
  scale._33 = 4.0f;
  scale._44 = 1.0f;
  D3DMATRIX translate{};
  translate._11 = translate._22 = translate._33 = translate._44 = 1.0f;
  translate._41 = 5.0f;
  ASSERT_EQ(device_->SetTransform(D3DTS_WORLD, &translate), D3D_OK);
  ASSERT_EQ(device_->MultiplyTransform(D3DTS_WORLD, &scale), D3D_OK);
  D3DMATRIX result{};
  ASSERT_EQ(device_->GetTransform(D3DTS_WORLD, &result), D3D_OK);
  EXPECT_EQ(result._11, 2.0f);
  EXPECT_EQ(result._41, 5.0f);  // scale first, then translate: the row-vector order
}

}  // namespace
