// Test hooks of the software Direct3D 8 runtime. The program never calls these.
//
// Everything that only the runtime knows (capabilities, the formats accepted
// per usage and resource type, which device types and vertex-processing modes
// can be created, the vertex-cache record, ...) comes from one capability
// profile. Tests install other profiles to drive the adaptation and fallback
// paths of their callers; objects created afterwards follow the new profile.
#pragma once

#include <vector>

#include "d3d8.h"

// The resource-type bit of D3D8TestFormat::resourceTypes.
constexpr DWORD D3D8TestResourceBit(D3DRESOURCETYPE type) { return 1u << static_cast<uint32_t>(type); }

// One accepted format: the resource types that take it, and which of the
// format-bound usages (D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL) it may
// carry. Other usage bits never restrict a format.
struct D3D8TestFormat {
  D3DFORMAT format;
  DWORD resourceTypes;
  DWORD usages;
};

struct D3D8TestProfile {
  D3DCAPS8 caps;                        // DeviceType and AdapterOrdinal are filled per query
  std::vector<D3D8TestFormat> formats;  // CheckDeviceFormat and every Create* follow this list
  BOOL halDevice = TRUE;                // D3DDEVTYPE_HAL can be created
  BOOL refDevice = TRUE;                // D3DDEVTYPE_REF can be created
  BOOL hardwareVertexProcessing = TRUE; // D3DCREATE_HARDWARE/MIXED_VERTEXPROCESSING on the HAL
  BOOL lockableDefaultPoolSurfaces = TRUE;  // default-pool surfaces outside a texture lock
  BOOL vertexCacheInfo = TRUE;          // GetInfo(D3DDEVINFOID_VCACHE) answers with vertexCache
  D3DDEVINFO_VCACHE vertexCache{};
  UINT failingPresents = 0;             // this many following Presents fail with D3DERR_DEVICELOST
  UINT desktopWidth = 0;                // the adapter's display mode (always D3DFMT_X8R8G8B8);
  UINT desktopHeight = 0;               // 0: the Win32 layer's screen size
  DWORD vendorId = 0;
  DWORD deviceId = 0;

  // Drops a format from every resource type; true if it was listed.
  bool RemoveFormat(D3DFORMAT format);
};

// Quirks for D3D8TestQuirkProfile, combined with |.
constexpr DWORD D3D8_TEST_POW2_ONLY = 0x0001;            // D3DPTEXTURECAPS_POW2 (and cube, volume)
constexpr DWORD D3D8_TEST_SQUARE_ONLY = 0x0002;          // D3DPTEXTURECAPS_SQUAREONLY
constexpr DWORD D3D8_TEST_NO_24BIT_TEXTURES = 0x0004;    // no D3DFMT_R8G8B8 textures
constexpr DWORD D3D8_TEST_NO_HW_VERTEX_PROCESSING = 0x0008;
constexpr DWORD D3D8_TEST_NO_HAL = 0x0010;               // only the reference device can be created
constexpr DWORD D3D8_TEST_PRESENT_FAILS_ONCE = 0x0020;   // the first Present fails, later ones succeed
constexpr DWORD D3D8_TEST_NO_VCACHE_INFO = 0x0040;       // GetInfo(D3DDEVINFOID_VCACHE) fails
constexpr DWORD D3D8_TEST_UNLOCKABLE_DEFAULT_SURFACES = 0x0080;

// The default profile: a capable device (see the source for the exact record).
D3D8TestProfile D3D8TestDefaultProfile();
// The default profile with the given quirks applied.
D3D8TestProfile D3D8TestQuirkProfile(DWORD quirks);
// Makes `profile` the runtime's profile.
void D3D8TestInstallProfile(const D3D8TestProfile& profile);
// Back to the default profile.
void D3D8TestResetProfile();

// The last frame a device created without a window presented: X8R8G8B8
// pixels (0xFFRRGGBB), rows top to bottom, the back buffer's size. FALSE when
// the device has presented nothing yet or was created with a window.
BOOL D3D8TestGetPresentedFrame(IDirect3DDevice8* device, std::vector<DWORD>* pixels, UINT* width, UINT* height);

// Holds back queued drawing: with `hold` TRUE draws return with their pixels
// not yet drawn (on two threads whatever the machine has) until the runtime
// flushes, so tests see every place that must flush; FALSE undoes it.
void D3D8TestHoldQueuedDrawing(BOOL hold);

// How many objects of the runtime (Direct3D objects, devices, resources,
// surfaces and volumes) are alive in the process; lets tests prove that
// everything went at its last release.
size_t D3D8TestLiveObjectCount();
