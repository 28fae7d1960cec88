// CopyRects and UpdateTexture move bytes unchanged, and change nothing when
// any part of the request is bad.
#include <vector>

#include "d3d8_fixture.h"

namespace {

class CopyTest : public D3D8Test {
 protected:
  void SetUp() override {
    D3D8Test::SetUp();
    MakeDevice();
  }

  ComPtr<IDirect3DSurface8> Image(UINT w, UINT h, D3DFORMAT format) {
    ComPtr<IDirect3DSurface8> surface;
    EXPECT_EQ(device_->CreateImageSurface(w, h, format, surface.ReleaseAndGetAddressOf()), D3D_OK);
    return surface;
  }

  // Fills every byte with a pattern that differs per surface, row and column.
  static void Fill(IDirect3DSurface8* surface, BYTE seed) {
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    auto* bytes = static_cast<BYTE*>(locked.pBits);
    for (UINT i = 0; i < desc.Size; ++i) bytes[i] = static_cast<BYTE>(seed + i * 7 + i / 13);
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);
  }

  static std::vector<BYTE> Bytes(IDirect3DSurface8* surface) {
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* bytes = static_cast<const BYTE*>(locked.pBits);
    std::vector<BYTE> copy(bytes, bytes + desc.Size);
    EXPECT_EQ(surface->UnlockRect(), D3D_OK);
    return copy;
  }
};

TEST_F(CopyTest, WholeSurfaceWhenNoRectanglesAreGiven) {
  for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_R8G8B8, D3DFMT_DXT1, D3DFMT_DXT5, D3DFMT_YUY2, D3DFMT_L8}) {
    SCOPED_TRACE(testing::Message() << "format " << format);
    ComPtr<IDirect3DSurface8> source = Image(16, 8, format);
    ComPtr<IDirect3DSurface8> destination = Image(16, 8, format);
    Fill(source.Get(), 3);
    ASSERT_EQ(device_->CopyRects(source.Get(), nullptr, 0, destination.Get(), nullptr), D3D_OK);
    EXPECT_EQ(Bytes(destination.Get()), Bytes(source.Get()));
  }
}

TEST_F(CopyTest, RectanglesLandAtTheirPointsAndNothingElseChanges) {
  ComPtr<IDirect3DSurface8> source = Image(8, 8, D3DFMT_R5G6B5);
  ComPtr<IDirect3DSurface8> destination = Image(10, 10, D3DFMT_R5G6B5);
  Fill(source.Get(), 1);
  Fill(destination.Get(), 99);
  const std::vector<BYTE> from = Bytes(source.Get());
  std::vector<BYTE> expected = Bytes(destination.Get());
  const RECT rects[] = {{1, 2, 4, 5}, {6, 0, 8, 8}};
  const POINT points[] = {{7, 7}, {0, 0}};
  ASSERT_EQ(device_->CopyRects(source.Get(), rects, 2, destination.Get(), points), D3D_OK);
  for (int i = 0; i < 2; ++i)
    for (LONG y = rects[i].top; y < rects[i].bottom; ++y)
      for (LONG x = rects[i].left; x < rects[i].right; ++x)
        for (int b = 0; b < 2; ++b)
          expected[(points[i].y + y - rects[i].top) * 20 + (points[i].x + x - rects[i].left) * 2 + b] =
              from[y * 16 + x * 2 + b];
  EXPECT_EQ(Bytes(destination.Get()), expected);
}

TEST_F(CopyTest, CopiesIntoADefaultPoolTexture) {
  // The road of a shadow copy: an image surface written back into a level the caller cannot lock.
  ComPtr<IDirect3DTexture8> texture;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, texture.ReleaseAndGetAddressOf()), D3D_OK);
  ComPtr<IDirect3DSurface8> level;
  ASSERT_EQ(texture->GetSurfaceLevel(0, level.ReleaseAndGetAddressOf()), D3D_OK);
  ComPtr<IDirect3DSurface8> shadow = Image(8, 8, D3DFMT_A8R8G8B8);
  Fill(shadow.Get(), 42);
  ASSERT_EQ(device_->CopyRects(shadow.Get(), nullptr, 0, level.Get(), nullptr), D3D_OK);
  ComPtr<IDirect3DSurface8> readBack = Image(8, 8, D3DFMT_A8R8G8B8);
  ASSERT_EQ(device_->CopyRects(level.Get(), nullptr, 0, readBack.Get(), nullptr), D3D_OK);
  EXPECT_EQ(Bytes(readBack.Get()), Bytes(shadow.Get()));
}

TEST_F(CopyTest, BadRequestsChangeNothing) {
  ComPtr<IDirect3DSurface8> source = Image(8, 8, D3DFMT_A8R8G8B8);
  ComPtr<IDirect3DSurface8> destination = Image(8, 8, D3DFMT_A8R8G8B8);
  ComPtr<IDirect3DSurface8> other = Image(8, 8, D3DFMT_X8R8G8B8);
  ComPtr<IDirect3DSurface8> dxt = Image(8, 8, D3DFMT_DXT1);
  ComPtr<IDirect3DSurface8> dxtTarget = Image(8, 8, D3DFMT_DXT1);
  Fill(source.Get(), 5);
  Fill(destination.Get(), 77);
  const std::vector<BYTE> before = Bytes(destination.Get());
  const RECT good{0, 0, 2, 2};
  const RECT outside{0, 0, 9, 2};
  const RECT both[] = {good, outside};
  const POINT off{7, 7};
  EXPECT_EQ(device_->CopyRects(source.Get(), nullptr, 0, other.Get(), nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CopyRects(source.Get(), both, 2, destination.Get(), nullptr), D3DERR_INVALIDCALL)
      << "one bad rectangle fails the whole call";
  EXPECT_EQ(device_->CopyRects(source.Get(), &good, 1, destination.Get(), &off), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CopyRects(source.Get(), &good, 0, destination.Get(), nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CopyRects(source.Get(), nullptr, 0, source.Get(), nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CopyRects(nullptr, nullptr, 0, destination.Get(), nullptr), D3DERR_INVALIDCALL);
  const RECT halfBlock{0, 0, 2, 4};
  EXPECT_EQ(device_->CopyRects(dxt.Get(), &halfBlock, 1, dxtTarget.Get(), nullptr), D3DERR_INVALIDCALL);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(source->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(device_->CopyRects(source.Get(), nullptr, 0, destination.Get(), nullptr), D3DERR_INVALIDCALL);
  ASSERT_EQ(source->UnlockRect(), D3D_OK);
  EXPECT_EQ(Bytes(destination.Get()), before);
}

TEST_F(CopyTest, UpdateTextureCopiesEveryLevelUnchanged) {
  ComPtr<IDirect3DTexture8> staging, texture;
  ASSERT_EQ(device_->CreateTexture(16, 16, 0, 0, D3DFMT_DXT3, D3DPOOL_SYSTEMMEM, staging.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->CreateTexture(16, 16, 0, 0, D3DFMT_DXT3, D3DPOOL_DEFAULT, texture.ReleaseAndGetAddressOf()), D3D_OK);
  const DWORD levels = staging->GetLevelCount();
  for (UINT level = 0; level < levels; ++level) {
    ComPtr<IDirect3DSurface8> surface;
    ASSERT_EQ(staging->GetSurfaceLevel(level, surface.ReleaseAndGetAddressOf()), D3D_OK);
    Fill(surface.Get(), static_cast<BYTE>(level * 31));
  }
  ASSERT_EQ(device_->UpdateTexture(staging.Get(), texture.Get()), D3D_OK);
  for (UINT level = 0; level < levels; ++level) {
    SCOPED_TRACE(testing::Message() << "level " << level);
    ComPtr<IDirect3DSurface8> from, to;
    ASSERT_EQ(staging->GetSurfaceLevel(level, from.ReleaseAndGetAddressOf()), D3D_OK);
    ASSERT_EQ(texture->GetSurfaceLevel(level, to.ReleaseAndGetAddressOf()), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(to->GetDesc(&desc), D3D_OK);
    ComPtr<IDirect3DSurface8> readBack = Image(desc.Width < 4 ? 4 : desc.Width, desc.Height < 4 ? 4 : desc.Height,
                                               D3DFMT_DXT3);
    const RECT all{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    ASSERT_EQ(device_->CopyRects(to.Get(), &all, 1, readBack.Get(), nullptr), D3D_OK);
    EXPECT_EQ(Bytes(readBack.Get()), Bytes(from.Get()));
  }
}

TEST_F(CopyTest, UpdateTextureStartsWhereTheSizesMatch) {
  ComPtr<IDirect3DCubeTexture8> staging, cube;
  ASSERT_EQ(device_->CreateCubeTexture(16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, staging.ReleaseAndGetAddressOf()),
            D3D_OK);
  ASSERT_EQ(device_->CreateCubeTexture(8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, cube.ReleaseAndGetAddressOf()), D3D_OK);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(staging->LockRect(D3DCUBEMAP_FACE_POSITIVE_Y, 1, &locked, nullptr, 0), D3D_OK);
  static_cast<DWORD*>(locked.pBits)[0] = 0x11223344;
  ASSERT_EQ(staging->UnlockRect(D3DCUBEMAP_FACE_POSITIVE_Y, 1), D3D_OK);
  ASSERT_EQ(device_->UpdateTexture(staging.Get(), cube.Get()), D3D_OK);
  ComPtr<IDirect3DSurface8> face;
  ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_POSITIVE_Y, 0, face.ReleaseAndGetAddressOf()), D3D_OK);
  ComPtr<IDirect3DSurface8> readBack = Image(8, 8, D3DFMT_A8R8G8B8);
  ASSERT_EQ(device_->CopyRects(face.Get(), nullptr, 0, readBack.Get(), nullptr), D3D_OK);
  EXPECT_EQ(reinterpret_cast<const DWORD*>(Bytes(readBack.Get()).data())[0], 0x11223344u);
}

TEST_F(CopyTest, UpdateTextureRejectsMismatches) {
  ComPtr<IDirect3DTexture8> system, managed, wrongFormat, larger;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, system.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, managed.ReleaseAndGetAddressOf()), D3D_OK);
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, wrongFormat.ReleaseAndGetAddressOf()),
            D3D_OK);
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, larger.ReleaseAndGetAddressOf()), D3D_OK);
  EXPECT_EQ(device_->UpdateTexture(system.Get(), managed.Get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->UpdateTexture(system.Get(), wrongFormat.Get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->UpdateTexture(system.Get(), larger.Get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->UpdateTexture(nullptr, larger.Get()), D3DERR_INVALIDCALL);
}

}  // namespace
