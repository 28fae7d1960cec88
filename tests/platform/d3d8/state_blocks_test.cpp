// State blocks record, capture and apply exactly their own states.
#include "d3d8_fixture.h"

namespace {

class StateBlocksTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
  }
  DWORD RenderState(D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device_->GetRenderState(state, &value), D3D_OK);
    return value;
  }
  DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device_->GetTextureStageState(stage, state, &value), D3D_OK);
    return value;
  }
  IDirect3DBaseTexture8* Texture(DWORD stage) {
    IDirect3DBaseTexture8* texture = nullptr;
    EXPECT_EQ(device_->GetTexture(stage, &texture), D3D_OK);
    if (texture != nullptr) texture->Release();  // only compared, the device keeps it
    return texture;
  }
};

TEST_F(StateBlocksTest, RecordingDoesNotTouchTheDeviceAndApplyRestoresOnlyWhatWasRecorded) {
  ASSERT_EQ(device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_FOGCOLOR, 0x111111), D3D_OK);
  ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
  ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
  ASSERT_EQ(device_->SetVertexShader(0x144), D3D_OK);
  DWORD block = 0;
  ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE)) << "recording applied a state";
  DWORD shader = 1;
  ASSERT_EQ(device_->GetVertexShader(&shader), D3D_OK);
  EXPECT_EQ(shader, 0u);

  ASSERT_EQ(device_->SetRenderState(D3DRS_FOGCOLOR, 0x222222), D3D_OK);
  ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
  ASSERT_EQ(device_->GetVertexShader(&shader), D3D_OK);
  EXPECT_EQ(shader, 0x144u);
  EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0x222222u) << "a state outside the block changed";
}

TEST_F(StateBlocksTest, CaptureRefreshesTheRecordedStatesOnly) {
  // The save-and-restore pattern of the sprite and text code: two blocks over
  // one list, one captured from the caller and one applied.
  DWORD saved = 0, sprite = 0;
  for (DWORD* token : {&saved, &sprite}) {
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_ZENABLE, FALSE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
    ASSERT_EQ(device_->EndStateBlock(token), D3D_OK);
  }
  ComPtr<IDirect3DTexture8> callerTexture;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, callerTexture.ReleaseAndGetAddressOf()),
            D3D_OK);
  ASSERT_EQ(device_->SetTexture(0, callerTexture.Get()), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);

  ASSERT_EQ(device_->CaptureStateBlock(saved), D3D_OK);
  ASSERT_EQ(device_->ApplyStateBlock(sprite), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), static_cast<DWORD>(FALSE));
  EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
  EXPECT_EQ(Texture(0), nullptr);
  ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, TRUE), D3D_OK);  // not in the list

  ASSERT_EQ(device_->ApplyStateBlock(saved), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
  EXPECT_EQ(Texture(0), static_cast<IDirect3DBaseTexture8*>(callerTexture.Get()));
  EXPECT_EQ(RenderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE)) << "the block restored a state it never held";
}

TEST_F(StateBlocksTest, BlocksKeepTheirResourcesAliveUntilDeleted) {
  ComPtr<IDirect3DVertexBuffer8> vb;
  ASSERT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, vb.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, vb.Get(), 16), D3D_OK);
  DWORD block = 0;
  ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
  IDirect3DVertexBuffer8* raw = vb.Get();
  const size_t withBuffer = D3D8TestLiveObjectCount();
  vb.Reset();
  EXPECT_EQ(D3D8TestLiveObjectCount(), withBuffer) << "the block holds the buffer";
  ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
  IDirect3DVertexBuffer8* got = nullptr;
  UINT stride = 0;
  ASSERT_EQ(device_->GetStreamSource(0, &got, &stride), D3D_OK);
  EXPECT_EQ(got, raw);
  EXPECT_EQ(stride, 16u);
  got->Release();
  ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
  ASSERT_EQ(device_->DeleteStateBlock(block), D3D_OK);
  EXPECT_EQ(D3D8TestLiveObjectCount(), withBuffer - 1) << "deleting the block freed the buffer";
  EXPECT_EQ(device_->ApplyStateBlock(block), D3DERR_INVALIDCALL);
}

TEST_F(StateBlocksTest, RecordedLightsAndEnables) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0, -1, 0};
  ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
  ASSERT_EQ(device_->SetLight(12, &light), D3D_OK);
  ASSERT_EQ(device_->LightEnable(12, TRUE), D3D_OK);
  DWORD block = 0;
  ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
  D3DLIGHT8 got{};
  EXPECT_EQ(device_->GetLight(12, &got), D3DERR_INVALIDCALL) << "recording made the light on the device";
  ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
  ASSERT_EQ(device_->GetLight(12, &got), D3D_OK);
  EXPECT_EQ(got.Direction.y, -1.0f);
  BOOL enabled = FALSE;
  ASSERT_EQ(device_->GetLightEnable(12, &enabled), D3D_OK);
  EXPECT_TRUE(enabled);
  ASSERT_EQ(device_->LightEnable(12, FALSE), D3D_OK);
  ASSERT_EQ(device_->CaptureStateBlock(block), D3D_OK);
  ASSERT_EQ(device_->LightEnable(12, TRUE), D3D_OK);
  ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
  ASSERT_EQ(device_->GetLightEnable(12, &enabled), D3D_OK);
  EXPECT_FALSE(enabled) << "the captured disable was not restored";
}

TEST_F(StateBlocksTest, TypedBlocksHoldTheirKindOfStates) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {1, 0, 0};
  ASSERT_EQ(device_->SetLight(3, &light), D3D_OK);
  ASSERT_EQ(device_->LightEnable(3, TRUE), D3D_OK);
  DWORD pixel = 0, vertex = 0, all = 0;
  ASSERT_EQ(device_->CreateStateBlock(D3DSBT_PIXELSTATE, &pixel), D3D_OK);
  ASSERT_EQ(device_->CreateStateBlock(D3DSBT_VERTEXSTATE, &vertex), D3D_OK);
  ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &all), D3D_OK);

  const D3DMATRIX zero{};
  ASSERT_EQ(device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);  // pixel
  ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);       // vertex
  ASSERT_EQ(device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);   // pixel
  ASSERT_EQ(device_->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0), D3D_OK);      // vertex
  ASSERT_EQ(device_->LightEnable(3, FALSE), D3D_OK);
  ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &zero), D3D_OK);  // only in ALL

  ASSERT_EQ(device_->ApplyStateBlock(pixel), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
  EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
  EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
  EXPECT_EQ(StageState(1, D3DTSS_TEXCOORDINDEX), 0u);

  ASSERT_EQ(device_->ApplyStateBlock(vertex), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
  EXPECT_EQ(StageState(1, D3DTSS_TEXCOORDINDEX), 1u);
  BOOL enabled = FALSE;
  ASSERT_EQ(device_->GetLightEnable(3, &enabled), D3D_OK);
  EXPECT_TRUE(enabled);
  D3DMATRIX view{};
  ASSERT_EQ(device_->GetTransform(D3DTS_VIEW, &view), D3D_OK);
  EXPECT_EQ(view._11, 0.0f);

  ASSERT_EQ(device_->ApplyStateBlock(all), D3D_OK);
  ASSERT_EQ(device_->GetTransform(D3DTS_VIEW, &view), D3D_OK);
  EXPECT_EQ(view._11, 1.0f);
}

TEST_F(StateBlocksTest, MisusedBlocksAreRejected) {
  DWORD token = 77;
  EXPECT_EQ(device_->EndStateBlock(&token), D3DERR_INVALIDCALL);
  EXPECT_EQ(token, 77u);
  EXPECT_EQ(device_->ApplyStateBlock(1234), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CaptureStateBlock(1234), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DeleteStateBlock(1234), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateStateBlock(D3DSTATEBLOCKTYPE(9), &token), D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &token), D3D_OK);
  ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
  EXPECT_EQ(device_->BeginStateBlock(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->ApplyStateBlock(token), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CaptureStateBlock(token), D3DERR_INVALIDCALL);
  DWORD second = 0;
  ASSERT_EQ(device_->EndStateBlock(&second), D3D_OK);
  EXPECT_NE(second, token);
  EXPECT_EQ(device_->DeleteStateBlock(token), D3D_OK);
  EXPECT_EQ(device_->DeleteStateBlock(token), D3DERR_INVALIDCALL);
}

}  // namespace
