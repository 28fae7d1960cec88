#include "device.h"

#include <cstring>
#include <new>

#include "debug_channel.h"
#include "draw_context.h"
#include "profile.h"

Device::Device(Direct3D* d3d, const D3DDEVICE_CREATION_PARAMETERS& creation) : d3d_(d3d), creation_(creation) {
  d3d_->AddRef();
  // Draws return once set up; the device flushes wherever others touch pixels.
  d3d8pipe::SetQueuedRasterization(true);
  for (UINT i = 0; i < 256; ++i) {
    const WORD level = static_cast<WORD>(i * 257);
    gamma_.red[i] = gamma_.green[i] = gamma_.blue[i] = level;
  }
}

HRESULT Device::Create(Direct3D* d3d, const D3DDEVICE_CREATION_PARAMETERS& creation,
                       D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice8** device) {
  Device* made = new (std::nothrow) Device(d3d, creation);
  if (made == nullptr) return E_OUTOFMEMORY;
  D3DPRESENT_PARAMETERS resolved = parameters;
  HRESULT hr = made->CheckPresentParameters(resolved);
  if (SUCCEEDED(hr)) hr = made->BuildSwapChain(resolved);
  if (FAILED(hr)) {
    made->Release();
    return hr;
  }
  parameters = resolved;
  *device = made;
  return D3D_OK;
}

Device::~Device() {
  d3d8pipe::FlushRasterizer();
  // Dropping the bindings deletes every object that has no public reference
  // left; objects with public references hold the device, so there are none.
  recording_.reset();
  blocks_.clear();
  state_ = DeviceState{};
  renderTarget_.Reset();
  depthStencil_.Reset();
  backBuffer_.Reset();
  autoDepth_.Reset();
  d3d_->Release();
}

HRESULT Device::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DDevice8) {
    AddRef();
    *object = static_cast<IDirect3DDevice8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG Device::Release() {
  if (refs_ == 0) return 0;
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Device::TestCooperativeLevel() { return needsReset_ ? D3DERR_DEVICENOTRESET : D3D_OK; }

UINT Device::GetAvailableTextureMem() { return 256u << 20; }

HRESULT Device::ResourceManagerDiscardBytes(DWORD) { return D3D_OK; }

HRESULT Device::GetDirect3D(IDirect3D8** d3d8) {
  if (d3d8 == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDirect3D", "null output");
  d3d_->AddRef();
  *d3d8 = d3d_;
  return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* caps) {
  if (caps == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDeviceCaps", "null output");
  *caps = ProfileCaps(creation_.DeviceType);
  if (creation_.BehaviorFlags & D3DCREATE_PUREDEVICE) caps->DevCaps |= D3DDEVCAPS_PUREDEVICE;
  return D3D_OK;
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE* mode) {
  if (mode == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDisplayMode", "null output");
  *mode = AdapterDisplayMode();
  return D3D_OK;
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
  if (parameters == nullptr) return Fail(D3DERR_INVALIDCALL, "GetCreationParameters", "null output");
  *parameters = creation_;
  return D3D_OK;
}

HRESULT Device::SetCursorProperties(UINT, UINT, IDirect3DSurface8* cursorBitmap) {
  auto* surface = dynamic_cast<Surface*>(cursorBitmap);
  if (surface == nullptr || surface->Desc().Format != D3DFMT_A8R8G8B8)
    return Fail(D3DERR_INVALIDCALL, "SetCursorProperties", "the cursor must be an A8R8G8B8 surface");
  return D3D_OK;  // windowed devices show the system cursor; the bitmap is not drawn
}

void Device::SetCursorPosition(int, int, DWORD) {}

BOOL Device::ShowCursor(BOOL show) {
  const BOOL old = cursorShown_;
  cursorShown_ = show ? TRUE : FALSE;
  return old;
}

HRESULT Device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS*, IDirect3DSwapChain8**) {
  return Fail(D3DERR_NOTAVAILABLE, "CreateAdditionalSwapChain", "additional swap chains are not supported");
}

HRESULT Device::GetRasterStatus(D3DRASTER_STATUS*) {
  return Fail(D3DERR_INVALIDCALL, "GetRasterStatus", "the device cannot read the scan line");
}

void Device::SetGammaRamp(DWORD, const D3DGAMMARAMP* ramp) {
  if (ramp != nullptr) gamma_ = *ramp;  // kept for GetGammaRamp; windowed frames are not corrected
}

void Device::GetGammaRamp(D3DGAMMARAMP* ramp) {
  if (ramp != nullptr) *ramp = gamma_;
}

HRESULT Device::ValidateDevice(DWORD* numPasses) {
  if (numPasses == nullptr) return Fail(D3DERR_INVALIDCALL, "ValidateDevice", "null output");
  *numPasses = 1;
  return D3D_OK;
}

HRESULT Device::GetInfo(DWORD devInfoId, void* devInfoStruct, DWORD devInfoStructSize) {
  if (devInfoStruct == nullptr || devInfoStructSize == 0)
    return Fail(D3DERR_INVALIDCALL, "GetInfo", "null or empty output");
  if (devInfoId < D3DDEVINFOID_TEXTUREMANAGER || devInfoId > D3DDEVINFOID_VERTEXSTATS)
    return Fail(D3DERR_INVALIDCALL, "GetInfo", "unknown information identifier");
  // S_FALSE: the query is known but this device keeps no such record.
  if (devInfoId != D3DDEVINFOID_VCACHE) return Fail(S_FALSE, "GetInfo", "no record of this kind");
  const D3D8TestProfile& profile = CurrentProfile();
  if (!profile.vertexCacheInfo) return Fail(S_FALSE, "GetInfo", "no vertex-cache record");
  if (devInfoStructSize != sizeof(D3DDEVINFO_VCACHE))
    return Fail(D3DERR_INVALIDCALL, "GetInfo", "the record size does not match");
  std::memcpy(devInfoStruct, &profile.vertexCache, sizeof(D3DDEVINFO_VCACHE));
  return D3D_OK;
}

HRESULT Device::SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY* entries) {
  if (entries == nullptr) return Fail(D3DERR_INVALIDCALL, "SetPaletteEntries", "null entries");
  if (paletteNumber > 0xFFFF) return Fail(D3DERR_INVALIDCALL, "SetPaletteEntries", "palette number too large");
  try {
    palettes_[paletteNumber].assign(entries, entries + 256);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

HRESULT Device::GetPaletteEntries(UINT paletteNumber, PALETTEENTRY* entries) {
  const auto it = palettes_.find(paletteNumber);
  if (entries == nullptr || it == palettes_.end())
    return Fail(D3DERR_INVALIDCALL, "GetPaletteEntries", "null output or palette never set");
  std::memcpy(entries, it->second.data(), 256 * sizeof(PALETTEENTRY));
  return D3D_OK;
}

HRESULT Device::SetCurrentTexturePalette(UINT paletteNumber) {
  if (paletteNumber > 0xFFFF) return Fail(D3DERR_INVALIDCALL, "SetCurrentTexturePalette", "palette number too large");
  Target().currentPalette = paletteNumber;
  if (StateMask* mask = Recording()) mask->currentPalette = true;
  return D3D_OK;
}

HRESULT Device::GetCurrentTexturePalette(UINT* paletteNumber) {
  if (paletteNumber == nullptr) return Fail(D3DERR_INVALIDCALL, "GetCurrentTexturePalette", "null output");
  *paletteNumber = state_.currentPalette;
  return D3D_OK;
}

HRESULT Device::SetClipStatus(const D3DCLIPSTATUS8* clipStatus) {
  if (clipStatus == nullptr) return Fail(D3DERR_INVALIDCALL, "SetClipStatus", "null status");
  clipStatus_ = *clipStatus;
  return D3D_OK;
}

HRESULT Device::GetClipStatus(D3DCLIPSTATUS8* clipStatus) {
  if (clipStatus == nullptr) return Fail(D3DERR_INVALIDCALL, "GetClipStatus", "null output");
  *clipStatus = clipStatus_;
  return D3D_OK;
}
