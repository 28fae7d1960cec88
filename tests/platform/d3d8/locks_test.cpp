// Locks: the pitch and slice pitch of every format, partial locks, and the
// surfaces that cannot be locked.
#include "d3d8_fixture.h"

namespace {

class LocksTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
  }
};

struct PitchCase {
  D3DFORMAT format;
  UINT pitchFor12;  // row pitch of a 12-pixel-wide surface
  UINT rowsFor8;    // pitch rows (block rows) of an 8-pixel-high surface
};

// Every non-depth format of the format table, block-compressed and YUV included.
constexpr PitchCase kPitches[] = {
    {D3DFMT_R8G8B8, 36, 8},      {D3DFMT_A8R8G8B8, 48, 8},    {D3DFMT_X8R8G8B8, 48, 8},
    {D3DFMT_R5G6B5, 24, 8},      {D3DFMT_X1R5G5B5, 24, 8},    {D3DFMT_A1R5G5B5, 24, 8},
    {D3DFMT_A4R4G4B4, 24, 8},    {D3DFMT_R3G3B2, 12, 8},      {D3DFMT_A8, 12, 8},
    {D3DFMT_A8R3G3B2, 24, 8},    {D3DFMT_X4R4G4B4, 24, 8},    {D3DFMT_A2B10G10R10, 48, 8},
    {D3DFMT_G16R16, 48, 8},      {D3DFMT_A8P8, 24, 8},        {D3DFMT_P8, 12, 8},
    {D3DFMT_L8, 12, 8},          {D3DFMT_A8L8, 24, 8},        {D3DFMT_A4L4, 12, 8},
    {D3DFMT_V8U8, 24, 8},        {D3DFMT_L6V5U5, 24, 8},      {D3DFMT_X8L8V8U8, 48, 8},
    {D3DFMT_Q8W8V8U8, 48, 8},    {D3DFMT_V16U16, 48, 8},      {D3DFMT_W11V11U10, 48, 8},
    {D3DFMT_A2W10V10U10, 48, 8}, {D3DFMT_UYVY, 24, 8},        {D3DFMT_YUY2, 24, 8},
    {D3DFMT_DXT1, 24, 2},        {D3DFMT_DXT2, 48, 2},        {D3DFMT_DXT3, 48, 2},
    {D3DFMT_DXT4, 48, 2},        {D3DFMT_DXT5, 48, 2},
};

TEST_F(LocksTest, ImageSurfacePitchesForEveryFormat) {
  for (const PitchCase& c : kPitches) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    ComPtr<IDirect3DSurface8> surface;
    ASSERT_EQ(device_->CreateImageSurface(12, 8, c.format, surface.ReleaseAndGetAddressOf()), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, c.pitchFor12 * c.rowsFor8);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, static_cast<INT>(c.pitchFor12));
    // The whole surface is writable: the last byte is inside the allocation
    // (the sanitizer build catches it otherwise).
    static_cast<BYTE*>(locked.pBits)[desc.Size - 1] = 0x5A;
    EXPECT_EQ(surface->UnlockRect(), D3D_OK);
  }
}

TEST_F(LocksTest, PartialLocksPointAtTheRectangle) {
  ComPtr<IDirect3DSurface8> surface;
  ASSERT_EQ(device_->CreateImageSurface(16, 16, D3DFMT_R5G6B5, surface.ReleaseAndGetAddressOf()), D3D_OK);
  D3DLOCKED_RECT whole{}, part{};
  ASSERT_EQ(surface->LockRect(&whole, nullptr, D3DLOCK_READONLY), D3D_OK);
  ASSERT_EQ(surface->UnlockRect(), D3D_OK);
  const RECT rect{3, 5, 9, 16};
  ASSERT_EQ(surface->LockRect(&part, &rect, D3DLOCK_NOSYSLOCK), D3D_OK);
  EXPECT_EQ(static_cast<BYTE*>(part.pBits), static_cast<BYTE*>(whole.pBits) + 5 * 32 + 3 * 2);
  EXPECT_EQ(part.Pitch, 32);
  ASSERT_EQ(surface->UnlockRect(), D3D_OK);

  // Block-compressed formats lock whole 4x4 blocks; the edge of the surface ends a block too.
  ComPtr<IDirect3DSurface8> dxt;
  ASSERT_EQ(device_->CreateImageSurface(64, 64, D3DFMT_DXT1, dxt.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(dxt->LockRect(&whole, nullptr, 0), D3D_OK);
  ASSERT_EQ(dxt->UnlockRect(), D3D_OK);
  const RECT blocks{4, 4, 12, 20};
  ASSERT_EQ(dxt->LockRect(&part, &blocks, 0), D3D_OK);
  EXPECT_EQ(static_cast<BYTE*>(part.pBits), static_cast<BYTE*>(whole.pBits) + 1 * 128 + 1 * 8);
  ASSERT_EQ(dxt->UnlockRect(), D3D_OK);
  const RECT unaligned{5, 6, 10, 20};
  EXPECT_EQ(dxt->LockRect(&part, &unaligned, 0), D3DERR_INVALIDCALL);
}

TEST_F(LocksTest, BadLocksAreRejectedAndLockNothing) {
  ComPtr<IDirect3DSurface8> surface;
  ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, surface.ReleaseAndGetAddressOf()), D3D_OK);
  D3DLOCKED_RECT locked{};
  const RECT outside{0, 0, 9, 8};
  const RECT inverted{4, 0, 2, 8};
  const RECT negative{-1, 0, 2, 8};
  EXPECT_EQ(surface->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->LockRect(&locked, &inverted, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->LockRect(&locked, &negative, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0x1), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->LockRect(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL) << "none of the above may have locked";
  ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL) << "locked twice";
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
}

TEST_F(LocksTest, WhichSurfacesCanBeLocked) {
  D3DLOCKED_RECT locked{};
  ComPtr<IDirect3DTexture8> texture;
  // Default-pool textures are the device's alone unless dynamic.
  ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, texture.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   texture.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  EXPECT_EQ(texture->UnlockRect(1), D3D_OK);
  EXPECT_EQ(texture->LockRect(2, &locked, nullptr, 0), D3DERR_INVALIDCALL);

  // Render targets as asked for, and as the profile allows.
  ComPtr<IDirect3DSurface8> target;
  ASSERT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, FALSE, target.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(target->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, TRUE, target.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(target->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(target->UnlockRect(), D3D_OK);
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_UNLOCKABLE_DEFAULT_SURFACES));
  ASSERT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, TRUE, target.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(target->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);

  // Depth buffers only in the lockable format.
  D3D8TestResetProfile();
  ComPtr<IDirect3DSurface8> depth;
  ASSERT_EQ(device_->CreateDepthStencilSurface(8, 8, D3DFMT_D16_LOCKABLE, D3DMULTISAMPLE_NONE,
                                               depth.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(depth->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  EXPECT_EQ(depth->UnlockRect(), D3D_OK);
  ASSERT_EQ(device_->CreateDepthStencilSurface(8, 8, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, depth.ReleaseAndGetAddressOf()),
            D3D_OK);
  EXPECT_EQ(depth->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(LocksTest, VolumeLocksHaveRowAndSlicePitches) {
  const struct {
    D3DFORMAT format;
    INT rowPitch;
    INT slicePitch;
  } cases[] = {{D3DFMT_A8R8G8B8, 32, 32 * 4}, {D3DFMT_R5G6B5, 16, 16 * 4}, {D3DFMT_DXT3, 32, 32}, {D3DFMT_L8, 8, 8 * 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    ComPtr<IDirect3DVolumeTexture8> volume;
    ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 3, 1, 0, c.format, D3DPOOL_MANAGED, volume.ReleaseAndGetAddressOf()),
              D3D_OK);
    D3DLOCKED_BOX whole{}, part{};
    ASSERT_EQ(volume->LockBox(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.RowPitch, c.rowPitch);
    EXPECT_EQ(whole.SlicePitch, c.slicePitch);
    static_cast<BYTE*>(whole.pBits)[3 * c.slicePitch - 1] = 1;  // last byte of the last slice
    ASSERT_EQ(volume->UnlockBox(0), D3D_OK);
    const D3DBOX box{4, 0, 8, 4, 2, 3};
    ASSERT_EQ(volume->LockBox(0, &part, &box, 0), D3D_OK);
    const INT columnBytes = c.format == D3DFMT_DXT3 ? 16 : c.rowPitch / 2;
    EXPECT_EQ(static_cast<BYTE*>(part.pBits), static_cast<BYTE*>(whole.pBits) + 2 * c.slicePitch + columnBytes);
    ASSERT_EQ(volume->UnlockBox(0), D3D_OK);
  }
  ComPtr<IDirect3DVolumeTexture8> volume;
  ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 3, 1, 0, D3DFMT_L8, D3DPOOL_DEFAULT, volume.ReleaseAndGetAddressOf()), D3D_OK);
  D3DLOCKED_BOX locked{};
  EXPECT_EQ(volume->LockBox(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "default-pool volumes are not lockable";
  ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 3, 1, 0, D3DFMT_L8, D3DPOOL_SYSTEMMEM, volume.ReleaseAndGetAddressOf()),
            D3D_OK);
  const D3DBOX deep{0, 0, 8, 4, 2, 4};
  EXPECT_EQ(volume->LockBox(0, &locked, &deep, 0), D3DERR_INVALIDCALL);
}

TEST_F(LocksTest, BufferLocksHandOutTheBufferFromTheOffset) {
  ComPtr<IDirect3DVertexBuffer8> vb;
  ASSERT_EQ(device_->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, vb.ReleaseAndGetAddressOf()), D3D_OK);
  BYTE* whole = nullptr;
  BYTE* part = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &whole, 0), D3D_OK);
  whole[95] = 7;
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  ASSERT_EQ(vb->Lock(24, 48, &part, D3DLOCK_NOSYSLOCK), D3D_OK);
  EXPECT_EQ(part, whole + 24);
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  ASSERT_EQ(vb->Lock(0, 96, &part, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(part[95], 7) << "contents survive an unlock";
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  BYTE* untouched = reinterpret_cast<BYTE*>(0x10);
  EXPECT_EQ(vb->Lock(90, 8, &untouched, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Lock(97, 0, &untouched, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(untouched, reinterpret_cast<BYTE*>(0x10));
  EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);

  ComPtr<IDirect3DIndexBuffer8> ib;
  ASSERT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, ib.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(ib->Lock(0, 12, &whole, 0), D3D_OK);
  whole[11] = 1;
  ASSERT_EQ(ib->Unlock(), D3D_OK);
}

}  // namespace
