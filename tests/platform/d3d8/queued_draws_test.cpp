// Draws return before their pixels are drawn; the device finishes them
// wherever anything else reads or writes pixels. Queued work is held back
// here, so that each of those places shows wrong pixels (or, where memory goes,
// a use after free under the sanitizers) if it does not finish the draws first.
#include <functional>
#include <vector>

#include "d3d8_fixture.h"

namespace {

constexpr DWORD kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u;
constexpr UINT kWidth = 64, kHeight = 32;

class QueuedDrawsTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    D3D8TestHoldQueuedDrawing(TRUE);
    MakeDevice(LockableParameters());
    Prepare();
  }
  void Prepare() {
    ASSERT_EQ(device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
  }
  void TearDown() override {
    D3D8TestHoldQueuedDrawing(FALSE);
    D3D8Test::TearDown();
  }

  static D3DPRESENT_PARAMETERS LockableParameters() {
    D3DPRESENT_PARAMETERS p = Parameters(kWidth, kHeight);
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    return p;
  }

  // A quad over the whole target in one colour.
  void DrawQuad(D3DCOLOR color) {
    struct Vertex {
      float x, y, z, rhw;
      D3DCOLOR color;
    };
    const float w = kWidth, h = kHeight;
    const Vertex quad[4] = {{0, 0, 0.5f, 1, color}, {w, 0, 0.5f, 1, color}, {0, h, 0.5f, 1, color}, {w, h, 0.5f, 1, color}};
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
  }

  // A quad over the whole target showing `texture`.
  void DrawTexturedQuad(IDirect3DTexture8* texture) {
    struct Vertex {
      float x, y, z, rhw, u, v;
    };
    const float w = kWidth, h = kHeight;
    const Vertex quad[4] = {{0, 0, 0.5f, 1, 0, 0}, {w, 0, 0.5f, 1, 1, 0}, {0, h, 0.5f, 1, 0, 1}, {w, h, 0.5f, 1, 1, 1}};
    ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
  }

  ComPtr<IDirect3DTexture8> SolidTexture(D3DCOLOR color, D3DPOOL pool = D3DPOOL_MANAGED) {
    ComPtr<IDirect3DTexture8> texture;
    EXPECT_EQ(device_->CreateTexture(kWidth, kHeight, 1, 0, D3DFMT_A8R8G8B8, pool, texture.ReleaseAndGetAddressOf()),
              D3D_OK);
    if (!texture) return texture;
    if (pool != D3DPOOL_DEFAULT) {
      Fill(texture.Get(), color);
      return texture;
    }
    // Default-pool textures cannot be locked: filled from system memory.
    ComPtr<IDirect3DTexture8> source = SolidTexture(color, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(device_->UpdateTexture(source.Get(), texture.Get()), D3D_OK);
    return texture;
  }

  static void Fill(IDirect3DTexture8* texture, D3DCOLOR color) {
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
      for (UINT x = 0; x < kWidth; ++x) row[x] = color;
    }
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  }

  // The centre pixel of a locked surface (X8R8G8B8 or A8R8G8B8, read as opaque).
  static DWORD CentreOf(IDirect3DSurface8* surface) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    if (locked.pBits == nullptr) return 0;
    const DWORD pixel =
        reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + (kHeight / 2) * locked.Pitch)[kWidth / 2];
    EXPECT_EQ(surface->UnlockRect(), D3D_OK);
    return pixel | 0xFF000000u;
  }

  DWORD BackBufferCentre() {
    ComPtr<IDirect3DSurface8> back;
    EXPECT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.ReleaseAndGetAddressOf()), D3D_OK);
    return back ? CentreOf(back.Get()) : 0;
  }

  DWORD PresentedCentre() {
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<DWORD> pixels;
    UINT width = 0, height = 0;
    EXPECT_TRUE(D3D8TestGetPresentedFrame(device_.Get(), &pixels, &width, &height));
    return pixels.size() == size_t{kWidth} * kHeight ? pixels[(kHeight / 2) * kWidth + kWidth / 2] : 0;
  }
};

// Places that read or overwrite what a queued draw draws.
TEST_F(QueuedDrawsTest, ReadersAndWritersOfTheTargetSeeTheDrawsBeforeThem) {
  struct Case {
    const char* name;
    std::function<DWORD()> drawThenLook;
    DWORD expected;
  };
  const Case cases[] = {
      {"LockRect of the back buffer", [this] {
         DrawQuad(kRed);
         return BackBufferCentre();
       }, kRed},
      {"Present", [this] {
         DrawQuad(kRed);
         return PresentedCentre();
       }, kRed},
      {"Clear after a draw", [this] {
         DrawQuad(kRed);
         EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0), D3D_OK);
         return BackBufferCentre();
       }, kBlue},
      {"CopyRects from the back buffer", [this] {
         ComPtr<IDirect3DSurface8> back, copy;
         EXPECT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.ReleaseAndGetAddressOf()), D3D_OK);
         EXPECT_EQ(device_->CreateImageSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, copy.ReleaseAndGetAddressOf()), D3D_OK);
         DrawQuad(kRed);
         EXPECT_EQ(device_->CopyRects(back.Get(), nullptr, 0, copy.Get(), nullptr), D3D_OK);
         DrawQuad(kBlue);  // after the copy: not in it
         return CentreOf(copy.Get());
       }, kRed},
      {"LockRect of another render target", [this] {
         ComPtr<IDirect3DSurface8> back, target;
         EXPECT_EQ(device_->GetRenderTarget(back.ReleaseAndGetAddressOf()), D3D_OK);
         EXPECT_EQ(device_->CreateRenderTarget(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, TRUE,
                                               target.ReleaseAndGetAddressOf()), D3D_OK);
         EXPECT_EQ(device_->SetRenderTarget(target.Get(), nullptr), D3D_OK);
         DrawQuad(kGreen);
         const DWORD seen = CentreOf(target.Get());
         EXPECT_EQ(device_->SetRenderTarget(back.Get(), nullptr), D3D_OK);
         return seen;
       }, kGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(c.drawThenLook(), c.expected);
  }
}

// Places that overwrite a texture that a queued draw samples: the draw shows
// the texture as it was when drawn.
TEST_F(QueuedDrawsTest, WritersOfASampledTextureWaitForTheDrawsThatSampleIt) {
  struct Case {
    const char* name;
    std::function<void(IDirect3DTexture8* texture, IDirect3DTexture8* blue)> overwrite;
    D3DPOOL pool;
  };
  const Case cases[] = {
      {"LockRect", [](IDirect3DTexture8* texture, IDirect3DTexture8*) { Fill(texture, kBlue); }, D3DPOOL_MANAGED},
      {"UpdateTexture", [this](IDirect3DTexture8* texture, IDirect3DTexture8* blue) {
         EXPECT_EQ(device_->UpdateTexture(blue, texture), D3D_OK);
       }, D3DPOOL_DEFAULT},
      {"GetFrontBuffer", [this](IDirect3DTexture8* texture, IDirect3DTexture8*) {
         ComPtr<IDirect3DSurface8> level;
         EXPECT_EQ(texture->GetSurfaceLevel(0, level.ReleaseAndGetAddressOf()), D3D_OK);
         EXPECT_EQ(device_->GetFrontBuffer(level.Get()), D3D_OK);  // black: nothing presented yet
       }, D3DPOOL_MANAGED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeDevice(LockableParameters());
    Prepare();
    ComPtr<IDirect3DTexture8> texture = SolidTexture(kRed, c.pool);
    ComPtr<IDirect3DTexture8> blue = SolidTexture(kBlue, D3DPOOL_SYSTEMMEM);  // made before the draw
    DrawTexturedQuad(texture.Get());
    c.overwrite(texture.Get(), blue.Get());
    EXPECT_EQ(PresentedCentre(), kRed);
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
  }
}

// Pixel memory that queued draws use goes only after they are drawn (the
// sanitizers see a use after free otherwise).
TEST_F(QueuedDrawsTest, ReleasedSurfacesAndResetBuffersOutliveTheirDraws) {
  {
    ComPtr<IDirect3DTexture8> texture = SolidTexture(kRed);
    DrawTexturedQuad(texture.Get());
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
  }  // the texture's last reference goes here
  EXPECT_EQ(PresentedCentre(), kRed);

  DrawQuad(kBlue);
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  D3DPRESENT_PARAMETERS parameters = LockableParameters();
  ASSERT_EQ(device_->Reset(&parameters), D3D_OK);
  EXPECT_EQ(PresentedCentre(), 0xFF000000u) << "a new back buffer";

  Prepare();
  DrawQuad(kBlue);
  device_.Reset();  // the device and its buffers go
}

}  // namespace
