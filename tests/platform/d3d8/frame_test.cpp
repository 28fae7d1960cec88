// Frames: Clear, Present into an off-screen frame, lost devices and Reset,
// the front buffer and the device-information query.
#include <cstring>
#include <vector>

#include "d3d8_fixture.h"

namespace {

using FrameTest = D3D8Test;

std::vector<DWORD> PresentedFrame(IDirect3DDevice8* device, UINT* width, UINT* height) {
  std::vector<DWORD> pixels;
  EXPECT_TRUE(D3D8TestGetPresentedFrame(device, &pixels, width, height));
  return pixels;
}

TEST_F(FrameTest, ClearThenPresentShowsTheColourOffScreen) {
  for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5}) {
    SCOPED_TRACE(testing::Message() << "back buffer format " << format);
    MakeDevice(Parameters(20, 10, format));
    UINT width = 0, height = 0;
    std::vector<DWORD> pixels;
    EXPECT_FALSE(D3D8TestGetPresentedFrame(device_.Get(), &pixels, &width, &height)) << "nothing presented yet";
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0xFF, 0x80, 0x00), 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    pixels = PresentedFrame(device_.Get(), &width, &height);
    EXPECT_EQ(width, 20u);
    EXPECT_EQ(height, 10u);
    ASSERT_EQ(pixels.size(), 200u);
    // 16-bit formats keep the top bits of each channel and expand them again.
    const DWORD expected = format == D3DFMT_R5G6B5 ? 0xFFFF8200u : format == D3DFMT_X1R5G5B5 ? 0xFFFF8400u : 0xFFFF8000u;
    for (DWORD pixel : pixels) ASSERT_EQ(pixel, expected);
  }
}

TEST_F(FrameTest, ClearKeepsToRectanglesAndTheViewport) {
  MakeDevice(Parameters(8, 8));
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
  const D3DVIEWPORT8 viewport{2, 2, 4, 4, 0.0f, 1.0f};
  ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
  const D3DRECT rects[] = {{0, 0, 3, 3}, {5, 5, 8, 8}};
  ASSERT_EQ(device_->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  UINT width = 0, height = 0;
  const std::vector<DWORD> pixels = PresentedFrame(device_.Get(), &width, &height);
  for (UINT y = 0; y < 8; ++y)
    for (UINT x = 0; x < 8; ++x) {
      const bool white = (x == 2 && y == 2) || (x == 5 && y == 5);  // each rectangle cut by the viewport
      EXPECT_EQ(pixels[y * 8 + x], white ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
    }
}

TEST_F(FrameTest, ClearWritesDepthAndRefusesWhatIsNotThere) {
  D3DPRESENT_PARAMETERS p = Parameters(4, 4);
  p.AutoDepthStencilFormat = D3DFMT_D16_LOCKABLE;
  MakeDevice(p);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0), D3D_OK);
  ComPtr<IDirect3DSurface8> depth;
  ASSERT_EQ(device_->GetDepthStencilSurface(depth.ReleaseAndGetAddressOf()), D3D_OK);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(depth->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  WORD value = 0;
  std::memcpy(&value, locked.pBits, 2);
  EXPECT_EQ(value, 0x8000);
  ASSERT_EQ(depth->UnlockRect(), D3D_OK);
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL) << "D16 has no stencil";
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  MakeDevice(Parameters(4, 4, D3DFMT_X8R8G8B8, false));
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetDepthStencilSurface(depth.ReleaseAndGetAddressOf()), D3DERR_NOTFOUND);
}

TEST_F(FrameTest, PresentThatFailsOnceIsCuredByReset) {
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_PRESENT_FAILS_ONCE));
  MakeDevice(Parameters(8, 8));
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST) << "lost until reset";
  D3DPRESENT_PARAMETERS p = Parameters(8, 8);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  UINT width = 0, height = 0;
  EXPECT_EQ(PresentedFrame(device_.Get(), &width, &height)[0], 0xFF0000FFu);
}

TEST_F(FrameTest, ResetRebuildsTheSwapChainAndTheStates) {
  MakeDevice(Parameters(16, 16));
  ComPtr<IDirect3DSurface8> oldBack;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, oldBack.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
  DWORD block = 0;
  ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &block), D3D_OK);
  D3DPRESENT_PARAMETERS p = Parameters(40, 30, D3DFMT_R5G6B5);
  p.AutoDepthStencilFormat = D3DFMT_D24S8;
  ASSERT_EQ(device_->Reset(&p), D3D_OK);

  ComPtr<IDirect3DSurface8> back, depth;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->GetDepthStencilSurface(depth.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_NE(back.Get(), oldBack.Get());
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 40u);
  EXPECT_EQ(desc.Height, 30u);
  EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
  EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
  ASSERT_EQ(depth->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Format, D3DFMT_D24S8);
  EXPECT_EQ(desc.Width, 40u);
  ASSERT_EQ(oldBack->GetDesc(&desc), D3D_OK) << "a back buffer the caller holds outlives the reset";
  EXPECT_EQ(desc.Width, 16u);
  D3DVIEWPORT8 viewport{};
  ASSERT_EQ(device_->GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.Width, 40u);
  DWORD cull = 0;
  ASSERT_EQ(device_->GetRenderState(D3DRS_CULLMODE, &cull), D3D_OK);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW)) << "a reset returns the states to their defaults";
  EXPECT_EQ(device_->ApplyStateBlock(block), D3D_OK) << "state blocks survive a reset";
  ASSERT_EQ(device_->GetRenderState(D3DRS_CULLMODE, &cull), D3D_OK);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));

  D3DPRESENT_PARAMETERS bad = Parameters(40, 30, D3DFMT_DXT1);
  EXPECT_EQ(device_->Reset(&bad), D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Format, D3DFMT_R5G6B5) << "a failed reset keeps the swap chain";
}

TEST_F(FrameTest, PresentedSourceRectangleAndFrontBuffer) {
  MakeDevice(Parameters(8, 4));
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
  const D3DRECT corner{0, 0, 1, 1};
  ASSERT_EQ(device_->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
  const RECT source{0, 0, 2, 2};
  ASSERT_EQ(device_->Present(&source, nullptr, nullptr, nullptr), D3D_OK);
  UINT width = 0, height = 0;
  const std::vector<DWORD> pixels = PresentedFrame(device_.Get(), &width, &height);
  EXPECT_EQ(width, 2u);
  EXPECT_EQ(height, 2u);
  EXPECT_EQ(pixels, (std::vector<DWORD>{0xFFFFFFFF, 0xFF102030, 0xFF102030, 0xFF102030}));
  const RECT outside{0, 0, 9, 2};
  EXPECT_EQ(device_->Present(&outside, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);

  ComPtr<IDirect3DSurface8> front;
  ASSERT_EQ(device_->CreateImageSurface(8, 4, D3DFMT_A8R8G8B8, front.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->GetFrontBuffer(front.Get()), D3D_OK);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(front->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  const auto* row = static_cast<const DWORD*>(locked.pBits);
  EXPECT_EQ(row[0], 0xFFFFFFFFu);
  EXPECT_EQ(row[1], 0xFF102030u);
  EXPECT_EQ(row[2], 0xFF000000u) << "outside what was shown";
  ASSERT_EQ(front->UnlockRect(), D3D_OK);
  ComPtr<IDirect3DSurface8> small;
  ASSERT_EQ(device_->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, small.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_EQ(device_->GetFrontBuffer(small.Get()), D3DERR_INVALIDCALL);
}

TEST_F(FrameTest, ScenesPairUp) {
  MakeDevice();
  EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->EndScene(), D3D_OK);
}

TEST_F(FrameTest, VertexCacheInformationFollowsTheProfile) {
  MakeDevice();
  D3DDEVINFO_VCACHE cache{};
  ASSERT_EQ(device_->GetInfo(D3DDEVINFOID_VCACHE, &cache, sizeof(cache)), D3D_OK);
  EXPECT_EQ(cache.Pattern, MAKEFOURCC('C', 'A', 'C', 'H'));
  EXPECT_EQ(cache.OptMethod, 1u);
  EXPECT_EQ(cache.CacheSize, 16u);
  EXPECT_EQ(device_->GetInfo(D3DDEVINFOID_VCACHE, &cache, 8), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetInfo(99, &cache, sizeof(cache)), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetInfo(D3DDEVINFOID_RESOURCEMANAGER, &cache, sizeof(cache)), S_FALSE);

  D3D8TestProfile profile = D3D8TestDefaultProfile();
  profile.vertexCache = {MAKEFOURCC('C', 'A', 'C', 'H'), 0, 24, 12};
  D3D8TestInstallProfile(profile);
  ASSERT_EQ(device_->GetInfo(D3DDEVINFOID_VCACHE, &cache, sizeof(cache)), D3D_OK);
  EXPECT_EQ(cache.OptMethod, 0u);
  EXPECT_EQ(cache.CacheSize, 24u);
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_NO_VCACHE_INFO));
  cache = {};
  EXPECT_EQ(device_->GetInfo(D3DDEVINFOID_VCACHE, &cache, sizeof(cache)), S_FALSE);
  EXPECT_EQ(cache.Pattern, 0u);
}

}  // namespace
