// Reference counting as on the platform: every object goes at its last
// release, resources keep their device alive, the device keeps its Direct3D.
#include "d3d8_fixture.h"

namespace {

using ReferencesTest = D3D8Test;

TEST_F(ReferencesTest, DeviceKeepsItsDirect3DAlive) {
  MakeDevice();
  IDirect3D8* d3d = d3d_.Detach();
  EXPECT_EQ(d3d->Release(), 1u) << "the device holds one reference";
  IDirect3D8* fromDevice = nullptr;
  ASSERT_EQ(device_->GetDirect3D(&fromDevice), D3D_OK);
  EXPECT_EQ(fromDevice, d3d);
  D3DDISPLAYMODE mode{};
  EXPECT_EQ(fromDevice->GetAdapterDisplayMode(0, &mode), D3D_OK);
  EXPECT_EQ(fromDevice->Release(), 1u);
  EXPECT_EQ(device_.Detach()->Release(), 0u);
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u);
}

TEST_F(ReferencesTest, ResourcesKeepTheirDeviceAlive) {
  MakeDevice();
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  ComPtr<IDirect3DVertexBuffer8> vb;
  ASSERT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_DEFAULT, vb.ReleaseAndGetAddressOf()), D3D_OK);
  IDirect3DDevice8* raw = device_.Get();
  EXPECT_EQ(device_.Detach()->Release(), 2u) << "one reference per live resource";
  d3d_.Reset();
  IDirect3DDevice8* fromTexture = nullptr;
  ASSERT_EQ(texture->GetDevice(&fromTexture), D3D_OK);
  EXPECT_EQ(fromTexture, raw);
  EXPECT_EQ(fromTexture->Release(), 2u);
  vb.Reset();
  texture.Reset();
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u) << "the last resource took the device and Direct3D with it";
}

TEST_F(ReferencesTest, SurfacesCountForTheirTexture) {
  MakeDevice();
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
  EXPECT_EQ(texture.Detach()->Release(), 1u) << "the surface holds the texture";
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
  static_cast<DWORD*>(locked.pBits)[15] = 1;
  ASSERT_EQ(level->UnlockRect(), D3D_OK);
  IDirect3DTexture8* container = nullptr;
  ASSERT_EQ(level->GetContainer(IID_IDirect3DTexture8, reinterpret_cast<void**>(&container)), D3D_OK);
  EXPECT_EQ(container->GetLevelCount(), 2u);
  container->Release();
  const size_t before = D3D8TestLiveObjectCount();
  EXPECT_EQ(level->Release(), 0u);
  EXPECT_EQ(D3D8TestLiveObjectCount(), before - 3) << "texture and both levels";
}

TEST_F(ReferencesTest, BoundResourcesLiveUntilUnboundOrTheDeviceGoes) {
  MakeDevice();
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetTexture(0, texture.Get()), D3D_OK);
  const size_t bound = D3D8TestLiveObjectCount();
  texture.Reset();
  EXPECT_EQ(D3D8TestLiveObjectCount(), bound) << "the stage keeps the texture";
  IDirect3DBaseTexture8* again = nullptr;
  ASSERT_EQ(device_->GetTexture(0, &again), D3D_OK);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetLevelCount(), 1u);
  EXPECT_EQ(again->Release(), 0u);
  EXPECT_EQ(D3D8TestLiveObjectCount(), bound) << "still bound";
  ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
  EXPECT_EQ(D3D8TestLiveObjectCount(), bound - 2) << "texture and its level";

  // A bound resource with no public reference left does not keep the device:
  // releasing the device frees both (the fixture checks that nothing is left).
  ComPtr<IDirect3DIndexBuffer8> ib;
  ASSERT_EQ(device_->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, ib.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetIndices(ib.Get(), 0), D3D_OK);
  ib.Reset();
}

TEST_F(ReferencesTest, QueryInterfaceAnswersTheObjectsInterfacesOnly) {
  MakeDevice();
  ComPtr<IDirect3DCubeTexture8> cube;
  ASSERT_EQ(device_->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, cube.ReleaseAndGetAddressOf()), D3D_OK);
  for (const IID* iid : {&IID_IUnknown, &IID_IDirect3DResource8, &IID_IDirect3DBaseTexture8, &IID_IDirect3DCubeTexture8}) {
    void* object = nullptr;
    ASSERT_EQ(cube->QueryInterface(*iid, &object), S_OK);
    EXPECT_EQ(object, static_cast<void*>(cube.Get()));
    static_cast<IUnknown*>(object)->Release();
  }
  void* object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(cube->QueryInterface(IID_IDirect3DTexture8, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(device_->QueryInterface(IID_IDirect3D8, &object), E_NOINTERFACE);
  ASSERT_EQ(d3d_->QueryInterface(IID_IDirect3D8, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
}

}  // namespace
