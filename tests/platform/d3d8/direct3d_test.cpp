// The Direct3D object: entry point, adapter queries, format checks, device
// creation and its fallbacks under the installed profile.
#include "d3d8_fixture.h"
#include "win_window.h"

namespace {

using Direct3DTest = D3D8Test;

IDirect3DDevice8* const kUntouched = reinterpret_cast<IDirect3DDevice8*>(0x1234);

TEST_F(Direct3DTest, EntryPointAcceptsOnlyItsOwnVersion) {
  EXPECT_EQ(Direct3DCreate8(120), nullptr);
  IDirect3D8* second = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Release(), 0u);
}

TEST_F(Direct3DTest, DisplayModeIsTheDesktopInX8R8G8B8) {
  D3D8TestProfile profile = D3D8TestDefaultProfile();
  profile.desktopWidth = 1600;
  profile.desktopHeight = 900;
  D3D8TestInstallProfile(profile);
  D3DDISPLAYMODE mode{};
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Width, 1600u);
  EXPECT_EQ(mode.Height, 900u);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(d3d_->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
  D3D8TestResetProfile();  // the default asks the Win32 layer for the screen
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Width, static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN)));
  EXPECT_EQ(mode.Height, static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, AdapterIdentifierCarriesTheProfilesIds) {
  D3D8TestProfile profile = D3D8TestDefaultProfile();
  profile.vendorId = 0x1002;
  profile.deviceId = 0x5145;
  D3D8TestInstallProfile(profile);
  D3DADAPTER_IDENTIFIER8 id{};
  ASSERT_EQ(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, D3DENUM_NO_WHQL_LEVEL, &id), D3D_OK);
  EXPECT_EQ(id.VendorId, 0x1002u);
  EXPECT_EQ(id.DeviceId, 0x5145u);
  EXPECT_NE(id.Description[0], '\0');
  EXPECT_EQ(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0x80, &id), D3DERR_INVALIDCALL);
}

struct FormatCase {
  DWORD usage;
  D3DRESOURCETYPE type;
  D3DFORMAT format;
  HRESULT expected;
};

TEST_F(Direct3DTest, CheckDeviceFormatFollowsUsageAndResourceType) {
  const FormatCase cases[] = {
      {0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_R8G8B8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_L8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_A8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_P8, D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_TEXTURE, D3DFMT_V8U8, D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_TEXTURE, D3DFMT_D16, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_DYNAMIC, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_X8R8G8B8, D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_CUBETEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
      {0, D3DRTYPE_VOLUMETEXTURE, D3DFMT_X8R8G8B8, D3D_OK},
      {0, D3DRTYPE_VOLUME, D3DFMT_X8R8G8B8, D3D_OK},
      {0, D3DRTYPE_VERTEXBUFFER, D3DFMT_VERTEXDATA, D3D_OK},
      {0, D3DRTYPE_INDEXBUFFER, D3DFMT_INDEX32, D3D_OK},
      {0, D3DRTYPE_INDEXBUFFER, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.type, c.format),
              c.expected)
        << "usage " << c.usage << " type " << c.type << " format " << c.format;
  }
  EXPECT_EQ(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE,
                                    D3DFMT_A8R8G8B8),
            D3DERR_NOTAVAILABLE)
      << "the adapter format must be the display format";
  EXPECT_EQ(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_SW, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                    D3DFMT_A8R8G8B8),
            D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, CheckDeviceFormatFollowsTheInstalledProfile) {
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_NO_24BIT_TEXTURES));
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_R8G8B8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8), D3D_OK);
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_NO_HAL));
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8), D3D_OK);
}

// The application's three attempts, in its order, under each profile.
struct FallbackCase {
  DWORD quirks;
  bool refAvailable;
  int firstSuccess;  // index of the first attempt that succeeds, -1 for none
};

TEST_F(Direct3DTest, DeviceCreationFallsBackAsTheProfileSays) {
  const struct {
    D3DDEVTYPE type;
    DWORD flags;
  } attempts[] = {{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                  {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                  {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
  const FallbackCase cases[] = {
      {0, true, 0},
      {D3D8_TEST_NO_HW_VERTEX_PROCESSING, true, 1},
      {D3D8_TEST_NO_HAL, true, 2},
      {D3D8_TEST_NO_HAL, false, -1},
  };
  for (const FallbackCase& c : cases) {
    D3D8TestProfile profile = D3D8TestQuirkProfile(c.quirks);
    profile.refDevice = c.refAvailable ? TRUE : FALSE;
    D3D8TestInstallProfile(profile);
    int firstSuccess = -1;
    for (int i = 0; i < 3 && firstSuccess < 0; ++i) {
      D3DPRESENT_PARAMETERS p = Parameters();
      IDirect3DDevice8* device = kUntouched;
      const HRESULT hr = d3d_->CreateDevice(0, attempts[i].type, nullptr, attempts[i].flags, &p, &device);
      if (SUCCEEDED(hr)) {
        firstSuccess = i;
        D3DDEVICE_CREATION_PARAMETERS creation{};
        ASSERT_EQ(device->GetCreationParameters(&creation), D3D_OK);
        EXPECT_EQ(creation.DeviceType, attempts[i].type);
        EXPECT_EQ(creation.BehaviorFlags, attempts[i].flags);
        D3DCAPS8 caps{};
        ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
        EXPECT_EQ(caps.DeviceType, attempts[i].type);
        device->Release();
      } else {
        EXPECT_EQ(device, kUntouched) << "a failed creation must not write its output";
      }
    }
    EXPECT_EQ(firstSuccess, c.firstSuccess) << "quirks " << c.quirks << " ref " << c.refAvailable;
  }
}

TEST_F(Direct3DTest, CreateDeviceRejectsBadParameters) {
  struct Case {
    const char* what;
    void (*change)(D3DPRESENT_PARAMETERS&, DWORD&);
  };
  const Case cases[] = {
      {"size 0 without a window", [](D3DPRESENT_PARAMETERS& p, DWORD&) { p.BackBufferWidth = 0; }},
      {"unknown back buffer format", [](D3DPRESENT_PARAMETERS& p, DWORD&) { p.BackBufferFormat = D3DFMT_DXT1; }},
      {"depth format not accepted", [](D3DPRESENT_PARAMETERS& p, DWORD&) { p.AutoDepthStencilFormat = D3DFMT_A8; }},
      {"multisampling", [](D3DPRESENT_PARAMETERS& p, DWORD&) { p.MultiSampleType = D3DMULTISAMPLE_2_SAMPLES; }},
      {"unknown swap effect", [](D3DPRESENT_PARAMETERS& p, DWORD&) { p.SwapEffect = D3DSWAPEFFECT(9); }},
      {"no vertex processing mode", [](D3DPRESENT_PARAMETERS&, DWORD& f) { f = 0; }},
      {"two vertex processing modes",
       [](D3DPRESENT_PARAMETERS&, DWORD& f) { f = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING; }},
  };
  for (const Case& c : cases) {
    D3DPRESENT_PARAMETERS p = Parameters();
    DWORD flags = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    c.change(p, flags);
    IDirect3DDevice8* device = kUntouched;
    EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, flags, &p, &device), D3DERR_INVALIDCALL) << c.what;
    EXPECT_EQ(device, kUntouched) << c.what;
  }
  IDirect3DDevice8* device = kUntouched;
  EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr, &device),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device, kUntouched);
}

TEST_F(Direct3DTest, CapsFollowTheInstalledProfile) {
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_POW2_ONLY | D3D8_TEST_SQUARE_ONLY));
  D3DCAPS8 caps{};
  ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3D_OK);
  EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_REF);
  EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_POW2);
  EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
  MakeDevice();
  ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
  EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_POW2);
  EXPECT_TRUE(caps.SrcBlendCaps & D3DPBLENDCAPS_SRCALPHA);
  EXPECT_TRUE(caps.DestBlendCaps & D3DPBLENDCAPS_INVSRCALPHA);
  EXPECT_GT(caps.MaxVertexIndex, 0xFFFFu);
  EXPECT_GE(caps.MaxActiveLights, 301u) << "the application enables 301 lights";
}

}  // namespace
