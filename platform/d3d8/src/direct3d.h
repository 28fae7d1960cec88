// The IDirect3D8 object: one adapter whose abilities come from the profile.
#pragma once

#include "d3d8.h"
#include "live_objects.h"

class Direct3D final : public IDirect3D8, LiveObject {
 public:
  Direct3D() = default;
  Direct3D(const Direct3D&) = delete;
  Direct3D& operator=(const Direct3D&) = delete;
  virtual ~Direct3D() = default;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;

  HRESULT RegisterSoftwareDevice(void* initializeFunction) override;
  UINT GetAdapterCount() override { return 1; }
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
  UINT GetAdapterModeCount(UINT adapter) override { return adapter == D3DADAPTER_DEFAULT ? 1 : 0; }
  HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                          BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT surfaceFormat, BOOL windowed,
                                     D3DMULTISAMPLE_TYPE multiSampleType) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) override;
  HMONITOR GetAdapterMonitor(UINT adapter) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** device) override;

 private:
  ULONG refs_ = 1;
};

// The adapter's one display mode: the desktop's size, D3DFMT_X8R8G8B8.
D3DDISPLAYMODE AdapterDisplayMode();
// Whether a device of this type can be made under the current profile.
bool DeviceTypeAvailable(D3DDEVTYPE type);
// Formats a back buffer may have.
bool ValidBackBufferFormat(D3DFORMAT format);
