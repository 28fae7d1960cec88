// Creating textures, cube and volume textures, surfaces and buffers: exactly
// what was asked for, in every pool and usage, and nothing for a bad request.
#include "d3d8_fixture.h"

namespace {

class ResourcesTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
  }
};

struct PoolUsage {
  D3DPOOL pool;
  DWORD usage;
};
constexpr PoolUsage kTexturePoolUsages[] = {
    {D3DPOOL_DEFAULT, 0},
    {D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC},
    {D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET},
    {D3DPOOL_MANAGED, 0},
    {D3DPOOL_SYSTEMMEM, 0},
    {D3DPOOL_SYSTEMMEM, D3DUSAGE_DYNAMIC},
    {D3DPOOL_SCRATCH, 0},
};

TEST_F(ResourcesTest, TexturesHaveTheAskedShapeInEveryPoolAndUsage) {
  for (const PoolUsage& c : kTexturePoolUsages) {
    SCOPED_TRACE(testing::Message() << "pool " << c.pool << " usage " << c.usage);
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(device_->CreateTexture(40, 12, 0, c.usage, D3DFMT_X8R8G8B8, c.pool, texture.ReleaseAndGetAddressOf()),
              D3D_OK);
    EXPECT_EQ(texture->GetType(), D3DRTYPE_TEXTURE);
    ASSERT_EQ(texture->GetLevelCount(), 6u);  // 40x12 down to 1x1
    const UINT widths[] = {40, 20, 10, 5, 2, 1};
    const UINT heights[] = {12, 6, 3, 1, 1, 1};
    for (UINT level = 0; level < 6; ++level) {
      D3DSURFACE_DESC desc{};
      ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
      EXPECT_EQ(desc.Width, widths[level]);
      EXPECT_EQ(desc.Height, heights[level]);
      EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
      EXPECT_EQ(desc.Pool, c.pool);
      EXPECT_EQ(desc.Usage, c.usage);
      EXPECT_EQ(desc.Type, D3DRTYPE_SURFACE);
      EXPECT_EQ(desc.Size, widths[level] * heights[level] * 4);
    }
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(texture->GetLevelDesc(6, &desc), D3DERR_INVALIDCALL);
  }
}

TEST_F(ResourcesTest, LevelCountIsWhatWasAsked) {
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(256, 256, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 3u);
  ComPtr<IDirect3DTexture8> tooMany;
  EXPECT_EQ(device_->CreateTexture(256, 256, 10, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, tooMany.ReleaseAndGetAddressOf()),
            D3DERR_INVALIDCALL);
  EXPECT_FALSE(tooMany);
}

TEST_F(ResourcesTest, CubeAndVolumeTexturesHaveTheirLevelsAndContainers) {
  ComPtr<IDirect3DCubeTexture8> cube;
  ASSERT_EQ(device_->CreateCubeTexture(16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, cube.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
  EXPECT_EQ(cube->GetLevelCount(), 5u);
  ComPtr<IDirect3DSurface8> face;
  ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Z, 2, face.ReleaseAndGetAddressOf()), D3D_OK);
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(face->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 4u);
  void* container = nullptr;
  ASSERT_EQ(face->GetContainer(IID_IDirect3DCubeTexture8, &container), D3D_OK);
  EXPECT_EQ(container, static_cast<void*>(cube.Get()));
  static_cast<IUnknown*>(container)->Release();
  EXPECT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACES(6), 0, face.ReleaseAndGetAddressOf()), D3DERR_INVALIDCALL);

  ComPtr<IDirect3DVolumeTexture8> volume;
  ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 16, 0, 0, D3DFMT_L8, D3DPOOL_SYSTEMMEM, volume.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(volume->GetType(), D3DRTYPE_VOLUMETEXTURE);
  EXPECT_EQ(volume->GetLevelCount(), 5u);  // depth 16 sets the chain
  D3DVOLUME_DESC vdesc{};
  ASSERT_EQ(volume->GetLevelDesc(4, &vdesc), D3D_OK);
  EXPECT_EQ(vdesc.Width, 1u);
  EXPECT_EQ(vdesc.Height, 1u);
  EXPECT_EQ(vdesc.Depth, 1u);
  EXPECT_EQ(vdesc.Type, D3DRTYPE_VOLUME);
  ComPtr<IDirect3DVolume8> level;
  ASSERT_EQ(volume->GetVolumeLevel(1, level.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(level->GetDesc(&vdesc), D3D_OK);
  EXPECT_EQ(vdesc.Depth, 8u);
  EXPECT_EQ(vdesc.Size, 4u * 2 * 8);
  container = nullptr;
  ASSERT_EQ(level->GetContainer(IID_IDirect3DBaseTexture8, &container), D3D_OK);
  static_cast<IUnknown*>(container)->Release();
}

TEST_F(ResourcesTest, SurfacesKnowTheirContainer) {
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, texture.ReleaseAndGetAddressOf()), D3D_OK);
  ComPtr<IDirect3DSurface8> level;
  ASSERT_EQ(texture->GetSurfaceLevel(0, level.ReleaseAndGetAddressOf()), D3D_OK);
  void* container = nullptr;
  ASSERT_EQ(level->GetContainer(IID_IDirect3DBaseTexture8, &container), D3D_OK);
  EXPECT_EQ(container, static_cast<void*>(texture.Get()));
  static_cast<IUnknown*>(container)->Release();

  ComPtr<IDirect3DSurface8> image;
  ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, image.ReleaseAndGetAddressOf()), D3D_OK);
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(image->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
  container = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(image->GetContainer(IID_IDirect3DBaseTexture8, &container), E_NOINTERFACE);
  EXPECT_EQ(container, reinterpret_cast<void*>(0x1)) << "output written on failure";
  ASSERT_EQ(image->GetContainer(IID_IDirect3DDevice8, &container), D3D_OK);
  EXPECT_EQ(container, static_cast<void*>(device_.Get()));
  static_cast<IUnknown*>(container)->Release();
}

TEST_F(ResourcesTest, BuffersInEveryPoolAndUsage) {
  const PoolUsage cases[] = {
      {D3DPOOL_DEFAULT, 0},
      {D3DPOOL_DEFAULT, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC},
      {D3DPOOL_MANAGED, D3DUSAGE_WRITEONLY},
      {D3DPOOL_SYSTEMMEM, D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_POINTS | D3DUSAGE_DONOTCLIP},
      {D3DPOOL_SYSTEMMEM, D3DUSAGE_DYNAMIC | D3DUSAGE_NPATCHES | D3DUSAGE_RTPATCHES},
  };
  for (const PoolUsage& c : cases) {
    SCOPED_TRACE(testing::Message() << "pool " << c.pool << " usage " << c.usage);
    ComPtr<IDirect3DVertexBuffer8> vb;
    ASSERT_EQ(device_->CreateVertexBuffer(192, c.usage, 0x142, c.pool, vb.ReleaseAndGetAddressOf()), D3D_OK);
    D3DVERTEXBUFFER_DESC vdesc{};
    ASSERT_EQ(vb->GetDesc(&vdesc), D3D_OK);
    EXPECT_EQ(vdesc.Size, 192u);
    EXPECT_EQ(vdesc.FVF, 0x142u);
    EXPECT_EQ(vdesc.Pool, c.pool);
    EXPECT_EQ(vdesc.Usage, c.usage);
    EXPECT_EQ(vdesc.Type, D3DRTYPE_VERTEXBUFFER);
    EXPECT_EQ(vdesc.Format, D3DFMT_VERTEXDATA);
    ComPtr<IDirect3DIndexBuffer8> ib;
    ASSERT_EQ(device_->CreateIndexBuffer(60, c.usage, D3DFMT_INDEX32, c.pool, ib.ReleaseAndGetAddressOf()), D3D_OK);
    D3DINDEXBUFFER_DESC idesc{};
    ASSERT_EQ(ib->GetDesc(&idesc), D3D_OK);
    EXPECT_EQ(idesc.Size, 60u);
    EXPECT_EQ(idesc.Format, D3DFMT_INDEX32);
    EXPECT_EQ(idesc.Type, D3DRTYPE_INDEXBUFFER);
  }
}

TEST_F(ResourcesTest, BadRequestsCreateNothing) {
  IDirect3DTexture8* texture = nullptr;
  IDirect3DVertexBuffer8* vb = nullptr;
  IDirect3DIndexBuffer8* ib = nullptr;
  IDirect3DSurface8* surface = nullptr;
  EXPECT_EQ(device_->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL(7), &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_POINTS, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(6, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &vb), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateVertexBuffer(8, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb), D3DERR_INVALIDCALL);  // < one vertex
  EXPECT_EQ(device_->CreateVertexBuffer(64, D3DUSAGE_RENDERTARGET, 0, D3DPOOL_MANAGED, &vb), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateIndexBuffer(64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &ib), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_SCRATCH, &ib), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_D16, &surface), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_A4R4G4B4, D3DMULTISAMPLE_NONE, TRUE, &surface), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateDepthStencilSurface(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, &surface), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture, nullptr);
  EXPECT_EQ(vb, nullptr);
  EXPECT_EQ(ib, nullptr);
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(D3D8TestLiveObjectCount(), 4u) << "Direct3D, device, back and depth buffer only";
}

TEST_F(ResourcesTest, HugeRequestsFailWithOutOfMemoryInsteadOfAborting) {
  IDirect3DVertexBuffer8* vb = nullptr;
  EXPECT_EQ(device_->CreateVertexBuffer(0xFFFFFFF0u, 0, 0, D3DPOOL_SYSTEMMEM, &vb), E_OUTOFMEMORY);
  EXPECT_EQ(vb, nullptr);
  IDirect3DTexture8* texture = nullptr;
  // 16384 x 16384 x 4 bytes is above the runtime's limit for one level.
  EXPECT_EQ(device_->CreateTexture(16384, 16384, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &texture), E_OUTOFMEMORY);
  EXPECT_EQ(texture, nullptr);
}

struct LimitCase {
  DWORD quirks;
  UINT width, height, levels;
  HRESULT expected;
};

TEST_F(ResourcesTest, TextureSizesFollowTheProfilesLimits) {
  const LimitCase cases[] = {
      {0, 300, 200, 0, D3D_OK},
      {D3D8_TEST_POW2_ONLY, 300, 200, 1, D3DERR_INVALIDCALL},
      {D3D8_TEST_POW2_ONLY, 512, 256, 0, D3D_OK},
      {D3D8_TEST_SQUARE_ONLY, 512, 128, 1, D3DERR_INVALIDCALL},
      {D3D8_TEST_SQUARE_ONLY, 128, 128, 1, D3D_OK},
  };
  for (const LimitCase& c : cases) {
    D3D8TestInstallProfile(D3D8TestQuirkProfile(c.quirks));
    ComPtr<IDirect3DTexture8> texture;
    EXPECT_EQ(device_->CreateTexture(c.width, c.height, c.levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     texture.ReleaseAndGetAddressOf()),
              c.expected)
        << "quirks " << c.quirks << " " << c.width << "x" << c.height;
  }
  D3D8TestProfile conditional = D3D8TestQuirkProfile(D3D8_TEST_POW2_ONLY);
  conditional.caps.TextureCaps |= D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
  D3D8TestInstallProfile(conditional);
  ComPtr<IDirect3DTexture8> texture;
  EXPECT_EQ(device_->CreateTexture(300, 200, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(device_->CreateTexture(300, 200, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()),
            D3DERR_INVALIDCALL);
  // Dynamic textures exist only where Caps2 says so.
  D3D8TestProfile noDynamic = D3D8TestDefaultProfile();
  noDynamic.caps.Caps2 &= ~D3DCAPS2_DYNAMICTEXTURES;
  D3D8TestInstallProfile(noDynamic);
  EXPECT_EQ(device_->CreateTexture(64, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   texture.ReleaseAndGetAddressOf()),
            D3DERR_INVALIDCALL);
  D3D8TestResetProfile();
  EXPECT_EQ(device_->CreateTexture(64, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   texture.ReleaseAndGetAddressOf()),
            D3D_OK);
  // The scratch pool is bound by no device limit.
  EXPECT_EQ(device_->CreateTexture(300, 200, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, texture.ReleaseAndGetAddressOf()),
            D3D_OK);
}

TEST_F(ResourcesTest, PrivateDataRoundTripsAndKeepsInterfacesReferenced) {
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  const GUID key = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  const DWORD value = 0xCAFEF00D;
  ASSERT_EQ(texture->SetPrivateData(key, &value, sizeof(value), 0), D3D_OK);
  DWORD out = 0, size = 2;
  EXPECT_EQ(texture->GetPrivateData(key, &out, &size), D3DERR_MOREDATA);
  EXPECT_EQ(size, 4u);
  ASSERT_EQ(texture->GetPrivateData(key, &out, &size), D3D_OK);
  EXPECT_EQ(out, value);
  // An interface stored with D3DSPD_IUNKNOWN stays alive while stored.
  ComPtr<IDirect3DSurface8> image;
  ASSERT_EQ(device_->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, image.ReleaseAndGetAddressOf()), D3D_OK);
  IUnknown* object = image.Get();
  ASSERT_EQ(texture->SetPrivateData(key, &object, sizeof(object), D3DSPD_IUNKNOWN), D3D_OK);
  EXPECT_EQ(image->AddRef(), 3u);
  image->Release();
  EXPECT_EQ(texture->FreePrivateData(key), D3D_OK);
  EXPECT_EQ(texture->GetPrivateData(key, &out, &size), D3DERR_NOTFOUND);
  EXPECT_EQ(image->AddRef(), 2u);
  image->Release();
}

}  // namespace
