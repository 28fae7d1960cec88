// Draw calls check their arguments and buffers before anything is drawn.
#include "d3d8_fixture.h"

namespace {

class DrawsTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
    ASSERT_EQ(device_->CreateVertexBuffer(4 * 24, 0, 0x142, D3DPOOL_MANAGED, vb_.ReleaseAndGetAddressOf()), D3D_OK);
    ASSERT_EQ(device_->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, ib_.ReleaseAndGetAddressOf()), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(0x142), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, vb_.Get(), 24), D3D_OK);
    ASSERT_EQ(device_->SetIndices(ib_.Get(), 0), D3D_OK);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
  }
  void TearDown() override {
    vb_.Reset();
    ib_.Reset();
    D3D8Test::TearDown();
  }
  ComPtr<IDirect3DVertexBuffer8> vb_;
  ComPtr<IDirect3DIndexBuffer8> ib_;
};

TEST_F(DrawsTest, DrawsWithinTheBuffersPass) {
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 4), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_LINESTRIP, 0, 4, 1, 4), D3D_OK);
}

TEST_F(DrawsTest, DrawsBeyondTheBuffersOrWithBadArgumentsFail) {
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 1, 4), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);  // needs 6 vertices
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPRIMITIVETYPE(7), 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0xFFFFFFFF, 2), D3DERR_INVALIDCALL) << "overflow";
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);  // indices 3..8
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 4, 0, 1), D3DERR_INVALIDCALL);  // vertices 2..5
  ASSERT_EQ(device_->SetIndices(ib_.Get(), 1), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL) << "base vertex 1";
  BYTE* data = nullptr;
  ASSERT_EQ(vb_->Lock(0, 0, &data, 0), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL) << "buffer locked";
  ASSERT_EQ(vb_->Unlock(), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, vb_.Get(), 16), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL) << "stride below the vertex size";
  ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL) << "no stream";
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, vb_.Get(), 24), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL) << "outside a scene";
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  ASSERT_EQ(device_->SetVertexShader(0), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL) << "no vertex format";
}

TEST_F(DrawsTest, UserMemoryDrawsLeaveStreamZeroUnset) {
  const float quad[4][7] = {};
  ASSERT_EQ(device_->SetVertexShader(0x144), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 28), D3D_OK);
  IDirect3DVertexBuffer8* stream = reinterpret_cast<IDirect3DVertexBuffer8*>(0x1);
  UINT stride = 9;
  ASSERT_EQ(device_->GetStreamSource(0, &stream, &stride), D3D_OK);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 20), D3DERR_INVALIDCALL) << "stride below the format";
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nullptr, 28), D3DERR_INVALIDCALL);
  const WORD indices[] = {0, 1, 2, 0, 2, 3};
  EXPECT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_INDEX16, quad, 28), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_A8, quad, 28),
            D3DERR_INVALIDCALL);
  IDirect3DIndexBuffer8* index = reinterpret_cast<IDirect3DIndexBuffer8*>(0x1);
  UINT base = 9;
  ASSERT_EQ(device_->GetIndices(&index, &base), D3D_OK);
  EXPECT_EQ(index, nullptr);
}

}  // namespace
