#include "direct3d.h"

#include <cstdio>
#include <new>

#include "d3d8_test_creation.h"
#include "debug_channel.h"
#include "device.h"
#include "format_layout.h"
#include "profile.h"
#include "window_present.h"

namespace {
const char* CheckAdapterAndType(UINT adapter, D3DDEVTYPE type) {
  if (adapter != D3DADAPTER_DEFAULT) return "no such adapter";
  if (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF) return "unknown device type";
  return nullptr;
}
}  // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
  RefreshDebugChannel();
  RegisterRuntimeModule();
  if (sdkVersion != D3D_SDK_VERSION) {
    Fail(D3DERR_INVALIDCALL, "Direct3DCreate8", "built for another interface version");
    return nullptr;
  }
  if (D3D8TestDirect3DCreateFails()) return nullptr;
  return new (std::nothrow) Direct3D();
}

D3DDISPLAYMODE AdapterDisplayMode() {
  const D3D8TestProfile& profile = CurrentProfile();
  UINT width = profile.desktopWidth, height = profile.desktopHeight;
  if (width == 0 || height == 0) ScreenSize(&width, &height);
  return {width, height, 60, D3DFMT_X8R8G8B8};
}

bool DeviceTypeAvailable(D3DDEVTYPE type) {
  if (type == D3DDEVTYPE_HAL) return CurrentProfile().halDevice != FALSE;
  if (type == D3DDEVTYPE_REF) return CurrentProfile().refDevice != FALSE;
  return false;
}

bool ValidBackBufferFormat(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5 ||
         format == D3DFMT_X1R5G5B5;
}

HRESULT Direct3D::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3D8) {
    AddRef();
    *object = static_cast<IDirect3D8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG Direct3D::Release() {
  if (refs_ == 0) return 0;
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Direct3D::RegisterSoftwareDevice(void*) {
  return Fail(D3DERR_INVALIDCALL, "RegisterSoftwareDevice", "pluggable software devices are not supported");
}

HRESULT Direct3D::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) {
  if (adapter != D3DADAPTER_DEFAULT) return Fail(D3DERR_INVALIDCALL, "GetAdapterIdentifier", "no such adapter");
  if (identifier == nullptr) return Fail(D3DERR_INVALIDCALL, "GetAdapterIdentifier", "null output");
  if (flags & ~D3DENUM_NO_WHQL_LEVEL) return Fail(D3DERR_INVALIDCALL, "GetAdapterIdentifier", "unknown flags");
  D3DADAPTER_IDENTIFIER8 id{};
  std::snprintf(id.Driver, sizeof(id.Driver), "%s", "kelvane_d3d8");
  std::snprintf(id.Description, sizeof(id.Description), "%s", "Kelvane software rasterizer");
  id.DriverVersion.QuadPart = (LONGLONG{8} << 48) | (LONGLONG{1} << 32);
  id.VendorId = CurrentProfile().vendorId;
  id.DeviceId = CurrentProfile().deviceId;
  id.DeviceIdentifier = {0x4B454C56, 0x414E, 0x4538, {0x53, 0x4F, 0x46, 0x54, 0x52, 0x41, 0x53, 0x54}};
  id.WHQLLevel = 0;
  *identifier = id;
  return D3D_OK;
}

HRESULT Direct3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
  if (adapter != D3DADAPTER_DEFAULT || mode != 0 || displayMode == nullptr)
    return Fail(D3DERR_INVALIDCALL, "EnumAdapterModes", "no such adapter or mode, or null output");
  *displayMode = AdapterDisplayMode();
  return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
  if (adapter != D3DADAPTER_DEFAULT) return Fail(D3DERR_INVALIDCALL, "GetAdapterDisplayMode", "no such adapter");
  if (displayMode == nullptr) return Fail(D3DERR_INVALIDCALL, "GetAdapterDisplayMode", "null output");
  *displayMode = AdapterDisplayMode();
  return D3D_OK;
}

HRESULT Direct3D::CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                                  D3DFORMAT backBufferFormat, BOOL) {
  if (const char* why = CheckAdapterAndType(adapter, checkType))
    return Fail(D3DERR_INVALIDCALL, "CheckDeviceType", why);
  if (!DeviceTypeAvailable(checkType)) return Fail(D3DERR_NOTAVAILABLE, "CheckDeviceType", "device type not available");
  if (displayFormat != D3DFMT_X8R8G8B8 || !ValidBackBufferFormat(backBufferFormat))
    return Fail(D3DERR_NOTAVAILABLE, "CheckDeviceType", "display or back buffer format not supported");
  return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
  if (const char* why = CheckAdapterAndType(adapter, deviceType))
    return Fail(D3DERR_INVALIDCALL, "CheckDeviceFormat", why);
  if (adapterFormat != D3DFMT_X8R8G8B8)
    return Fail(D3DERR_NOTAVAILABLE, "CheckDeviceFormat", "the adapter format is not the display format");
  if (!DeviceTypeAvailable(deviceType))
    return Fail(D3DERR_NOTAVAILABLE, "CheckDeviceFormat", "device type not available");
  if (resourceType == D3DRTYPE_VERTEXBUFFER || resourceType == D3DRTYPE_INDEXBUFFER) {
    const bool ok = resourceType == D3DRTYPE_VERTEXBUFFER
                        ? checkFormat == D3DFMT_VERTEXDATA
                        : (checkFormat == D3DFMT_INDEX16 || checkFormat == D3DFMT_INDEX32);
    return ok ? D3D_OK : Fail(D3DERR_NOTAVAILABLE, "CheckDeviceFormat", "not a buffer format");
  }
  const D3DRESOURCETYPE listed = resourceType == D3DRTYPE_VOLUME ? D3DRTYPE_VOLUMETEXTURE : resourceType;
  if (!ProfileAcceptsFormat(listed, usage, checkFormat))
    return Fail(D3DERR_NOTAVAILABLE, "CheckDeviceFormat", "format not supported for this usage and resource type");
  return D3D_OK;
}

HRESULT Direct3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT surfaceFormat, BOOL,
                                             D3DMULTISAMPLE_TYPE multiSampleType) {
  if (const char* why = CheckAdapterAndType(adapter, deviceType))
    return Fail(D3DERR_INVALIDCALL, "CheckDeviceMultiSampleType", why);
  if (!IsSurfaceFormat(surfaceFormat)) return Fail(D3DERR_INVALIDCALL, "CheckDeviceMultiSampleType", "unknown format");
  return multiSampleType == D3DMULTISAMPLE_NONE
             ? D3D_OK
             : Fail(D3DERR_NOTAVAILABLE, "CheckDeviceMultiSampleType", "multisampling is not supported");
}

HRESULT Direct3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) {
  if (const char* why = CheckAdapterAndType(adapter, deviceType))
    return Fail(D3DERR_INVALIDCALL, "CheckDepthStencilMatch", why);
  if (adapterFormat != D3DFMT_X8R8G8B8 ||
      !ProfileAcceptsFormat(D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, renderTargetFormat) ||
      !ProfileAcceptsFormat(D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, depthStencilFormat))
    return Fail(D3DERR_NOTAVAILABLE, "CheckDepthStencilMatch", "formats do not go together");
  return D3D_OK;  // any depth format works with any colour format here
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) {
  if (const char* why = CheckAdapterAndType(adapter, deviceType))
    return Fail(D3DERR_INVALIDCALL, "GetDeviceCaps", why);
  if (caps == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDeviceCaps", "null output");
  if (!DeviceTypeAvailable(deviceType)) return Fail(D3DERR_NOTAVAILABLE, "GetDeviceCaps", "device type not available");
  *caps = ProfileCaps(deviceType);
  return D3D_OK;
}

HMONITOR Direct3D::GetAdapterMonitor(UINT adapter) {
  // One monitor; its handle only needs to be non-null and stable.
  static char monitor;
  return adapter == D3DADAPTER_DEFAULT ? reinterpret_cast<HMONITOR>(&monitor) : nullptr;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** device) {
  if (const char* why = CheckAdapterAndType(adapter, deviceType)) return Fail(D3DERR_INVALIDCALL, "CreateDevice", why);
  if (presentationParameters == nullptr || device == nullptr)
    return Fail(D3DERR_INVALIDCALL, "CreateDevice", "null parameters or output");
  const DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING)
    return Fail(D3DERR_INVALIDCALL, "CreateDevice", "exactly one vertex-processing mode is required");
  if (!DeviceTypeAvailable(deviceType)) return Fail(D3DERR_NOTAVAILABLE, "CreateDevice", "device type not available");
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
      (deviceType != D3DDEVTYPE_HAL || !CurrentProfile().hardwareVertexProcessing))
    return Fail(D3DERR_INVALIDCALL, "CreateDevice", "hardware vertex processing is not available");
  if ((behaviorFlags & D3DCREATE_PUREDEVICE) && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING)
    return Fail(D3DERR_INVALIDCALL, "CreateDevice", "a pure device needs hardware vertex processing");
  return Device::Create(this, {adapter, deviceType, focusWindow, behaviorFlags}, *presentationParameters, device);
}
