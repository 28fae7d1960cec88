// The swap chain and the frame: back and depth buffers, render targets,
// scenes, Clear, Present and Reset.
#include <cmath>
#include <new>

#include "debug_channel.h"
#include "device.h"
#include "draw_context.h"
#include "format_layout.h"
#include "profile.h"
#include "surface_fill.h"
#include "window_present.h"

namespace {
constexpr UINT kMaxBackBufferSize = 8192;
}

HWND Device::PresentWindow() const {
  return present_.hDeviceWindow != nullptr ? present_.hDeviceWindow : creation_.hFocusWindow;
}

HRESULT Device::CheckPresentParameters(D3DPRESENT_PARAMETERS& parameters) const {
  const char* call = "CreateDevice/Reset";
  if (parameters.BackBufferCount > 3) return Fail(D3DERR_INVALIDCALL, call, "more than 3 back buffers");
  if (parameters.BackBufferCount == 0) parameters.BackBufferCount = 1;
  if (parameters.MultiSampleType != D3DMULTISAMPLE_NONE)
    return Fail(D3DERR_INVALIDCALL, call, "multisampling is not supported");
  if (parameters.SwapEffect < D3DSWAPEFFECT_DISCARD || parameters.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
    return Fail(D3DERR_INVALIDCALL, call, "unknown swap effect");
  if (parameters.Flags & ~D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) return Fail(D3DERR_INVALIDCALL, call, "unknown flags");
  if (parameters.BackBufferFormat == D3DFMT_UNKNOWN && parameters.Windowed)
    parameters.BackBufferFormat = AdapterDisplayMode().Format;
  if (!ValidBackBufferFormat(parameters.BackBufferFormat))
    return Fail(D3DERR_INVALIDCALL, call, "back buffer format not supported");
  const HWND window = parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : creation_.hFocusWindow;
  if (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0) {
    // A windowed swap chain of size 0 takes the window's client area.
    UINT width = 0, height = 0;
    if (!parameters.Windowed || window == nullptr || !WindowClientSize(window, &width, &height))
      return Fail(D3DERR_INVALIDCALL, call, "a back buffer of size 0 and no window to take the size from");
    if (parameters.BackBufferWidth == 0) parameters.BackBufferWidth = width == 0 ? 1 : width;
    if (parameters.BackBufferHeight == 0) parameters.BackBufferHeight = height == 0 ? 1 : height;
  }
  if (parameters.BackBufferWidth > kMaxBackBufferSize || parameters.BackBufferHeight > kMaxBackBufferSize)
    return Fail(D3DERR_INVALIDCALL, call, "back buffer larger than the runtime's limit");
  if (parameters.EnableAutoDepthStencil &&
      !ProfileAcceptsFormat(D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, parameters.AutoDepthStencilFormat))
    return Fail(D3DERR_INVALIDCALL, call, "automatic depth format not supported");
  return D3D_OK;
}

HRESULT Device::BuildSwapChain(D3DPRESENT_PARAMETERS& parameters) {
  const bool lockable = CurrentProfile().lockableDefaultPoolSurfaces != FALSE;
  Surface* back = nullptr;
  HRESULT hr = Surface::Create(this, DeviceObject::Ownership::kBound, nullptr,
                               {parameters.BackBufferFormat, parameters.BackBufferWidth, parameters.BackBufferHeight,
                                D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE,
                                lockable && (parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0},
                               &back);
  if (FAILED(hr)) return hr;
  Binding<Surface> backBinding(back);
  Binding<Surface> depthBinding;
  if (parameters.EnableAutoDepthStencil) {
    Surface* depth = nullptr;
    hr = Surface::Create(this, DeviceObject::Ownership::kBound, nullptr,
                         {parameters.AutoDepthStencilFormat, parameters.BackBufferWidth, parameters.BackBufferHeight,
                          D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE,
                          lockable && parameters.AutoDepthStencilFormat == D3DFMT_D16_LOCKABLE},
                         &depth);
    if (FAILED(hr)) return hr;
    depthBinding = Binding<Surface>(depth);
  }
  // Nothing can fail from here on: the old swap chain goes (surfaces the caller
  // still holds stay alive until their last release).
  present_ = parameters;
  backBuffer_ = backBinding;
  renderTarget_ = backBinding;
  autoDepth_ = depthBinding;
  depthStencil_ = depthBinding;
  const D3DVIEWPORT8 viewport{0, 0, parameters.BackBufferWidth, parameters.BackBufferHeight, 0.0f, 1.0f};
  InitDeviceState(state_, viewport, parameters.EnableAutoDepthStencil != FALSE,
                  (creation_.BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0);
  lightsChanged_ = true;
  inScene_ = false;
  needsReset_ = false;
  return D3D_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
  if (parameters == nullptr) return Fail(D3DERR_INVALIDCALL, "Reset", "null parameters");
  if (recording_) return Fail(D3DERR_INVALIDCALL, "Reset", "a state block is being recorded");
  D3DPRESENT_PARAMETERS resolved = *parameters;
  HRESULT hr = CheckPresentParameters(resolved);
  if (SUCCEEDED(hr)) {
    d3d8pipe::FlushRasterizer();  // the old back and depth buffers go
    hr = BuildSwapChain(resolved);
  }
  if (FAILED(hr)) return hr;
  *parameters = resolved;
  return D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT*, HWND destWindowOverride, const RGNDATA*) {
  if (needsReset_) return Fail(D3DERR_DEVICELOST, "Present", "the device is lost until Reset");
  if (ProfileTakeFailingPresent()) {
    needsReset_ = true;
    return Fail(D3DERR_DEVICELOST, "Present", "the device was lost");
  }
  Surface* back = backBuffer_.Get();
  const D3DSURFACE_DESC& desc = back->Desc();
  RECT source{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
  if (sourceRect != nullptr) {
    if (CheckRect(desc.Format, desc.Width, desc.Height, *sourceRect) != nullptr ||
        sourceRect->left == sourceRect->right || sourceRect->top == sourceRect->bottom)
      return Fail(D3DERR_INVALIDCALL, "Present", "source rectangle empty or outside the back buffer");
    source = *sourceRect;
  }
  std::vector<DWORD> frame;
  d3d8pipe::FlushRasterizer();  // the frame is done once the queued draws are
  try {
    ReadFramePixels(back->Image(), source, frame);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  const UINT width = static_cast<UINT>(source.right - source.left);
  const UINT height = static_cast<UINT>(source.bottom - source.top);
  // The destination rectangle is not used: a windowed frame always fills the
  // client area, scaled.
  const HWND window = destWindowOverride != nullptr ? destWindowOverride : PresentWindow();
  if (window != nullptr && !ShowFrameInWindow(window, frame, width, height))
    return Fail(D3DERR_INVALIDCALL, "Present", "the window cannot show the frame");
  presentedFrame_ = std::move(frame);
  presentedWidth_ = width;
  presentedHeight_ = height;
  return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) {
  if (backBufferSurface == nullptr) return Fail(D3DERR_INVALIDCALL, "GetBackBuffer", "null output");
  if (backBuffer >= present_.BackBufferCount || type != D3DBACKBUFFER_TYPE_MONO)
    return Fail(D3DERR_INVALIDCALL, "GetBackBuffer", "no such back buffer");
  // Further back buffers of a FLIP chain only matter to the order of frames,
  // which a chain presented at once never shows; all of them are this one.
  backBuffer_.Get()->AddRef();
  *backBufferSurface = backBuffer_.Get();
  return D3D_OK;
}

HRESULT Device::SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) {
  Surface* target = renderTarget_.Get();
  if (renderTarget != nullptr) {
    target = dynamic_cast<Surface*>(renderTarget);
    if (target == nullptr || target->OwnerDevice() != this || (target->Desc().Usage & D3DUSAGE_RENDERTARGET) == 0)
      return Fail(D3DERR_INVALIDCALL, "SetRenderTarget", "not a render target of this device");
  }
  Surface* depth = nullptr;
  if (newZStencil != nullptr) {
    depth = dynamic_cast<Surface*>(newZStencil);
    if (depth == nullptr || depth->OwnerDevice() != this || (depth->Desc().Usage & D3DUSAGE_DEPTHSTENCIL) == 0)
      return Fail(D3DERR_INVALIDCALL, "SetRenderTarget", "not a depth buffer of this device");
    if (depth->Desc().Width < target->Desc().Width || depth->Desc().Height < target->Desc().Height)
      return Fail(D3DERR_INVALIDCALL, "SetRenderTarget", "depth buffer smaller than the render target");
  }
  d3d8pipe::FlushRasterizer();  // the old target may be sampled or locked next
  renderTarget_ = Binding<Surface>(target);
  depthStencil_ = Binding<Surface>(depth);
  state_.viewport = {0, 0, target->Desc().Width, target->Desc().Height, 0.0f, 1.0f};
  return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** renderTarget) {
  if (renderTarget == nullptr) return Fail(D3DERR_INVALIDCALL, "GetRenderTarget", "null output");
  renderTarget_.Get()->AddRef();
  *renderTarget = renderTarget_.Get();
  return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) {
  if (zStencilSurface == nullptr) return Fail(D3DERR_INVALIDCALL, "GetDepthStencilSurface", "null output");
  if (!depthStencil_) return Fail(D3DERR_NOTFOUND, "GetDepthStencilSurface", "no depth buffer is set");
  depthStencil_.Get()->AddRef();
  *zStencilSurface = depthStencil_.Get();
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (inScene_) return Fail(D3DERR_INVALIDCALL, "BeginScene", "already in a scene");
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!inScene_) return Fail(D3DERR_INVALIDCALL, "EndScene", "not in a scene");
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
  if (flags == 0 || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
    return Fail(D3DERR_INVALIDCALL, "Clear", "no or unknown flags");
  if (count != 0 && rects == nullptr) return Fail(D3DERR_INVALIDCALL, "Clear", "a count but no rectangles");
  Surface* target = renderTarget_.Get();
  Surface* depth = depthStencil_.Get();
  DWORD colorValue = 0, depthValue = 0, keepMask = 0;
  if ((flags & D3DCLEAR_TARGET) && !EncodeClearColor(target->Desc().Format, color, &colorValue))
    return Fail(D3DERR_INVALIDCALL, "Clear", "the render target's format cannot be cleared");
  if (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) {
    if (depth == nullptr) return Fail(D3DERR_INVALIDCALL, "Clear", "no depth buffer to clear");
    if (!(z >= 0.0f && z <= 1.0f)) return Fail(D3DERR_INVALIDCALL, "Clear", "depth outside 0 to 1");
    const D3DFORMAT format = depth->Desc().Format;
    const bool hasStencil = format == D3DFMT_D15S1 || format == D3DFMT_D24S8 || format == D3DFMT_D24X4S4;
    if ((flags & D3DCLEAR_STENCIL) && !hasStencil) return Fail(D3DERR_INVALIDCALL, "Clear", "no stencil bits");
    EncodeClearDepth(format, z, stencil, flags, &depthValue, &keepMask);
  }
  d3d8pipe::FlushRasterizer();  // queued draws come before the clear
  // Everything is cleared inside the viewport only.
  const D3DVIEWPORT8& vp = state_.viewport;
  const RECT viewport{static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
                      static_cast<LONG>(vp.Y + vp.Height)};
  const DWORD pieces = count == 0 ? 1 : count;
  for (DWORD i = 0; i < pieces; ++i) {
    RECT rect = viewport;
    if (count != 0) {
      rect.left = std::max(rect.left, rects[i].x1);
      rect.top = std::max(rect.top, rects[i].y1);
      rect.right = std::min(rect.right, rects[i].x2);
      rect.bottom = std::min(rect.bottom, rects[i].y2);
    }
    if (rect.left >= rect.right || rect.top >= rect.bottom) continue;
    if (flags & D3DCLEAR_TARGET) FillImageRect(target->Image(), rect, colorValue, 0);
    if (depth != nullptr && (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))) {
      RECT inDepth = rect;
      inDepth.right = std::min<LONG>(inDepth.right, static_cast<LONG>(depth->Desc().Width));
      inDepth.bottom = std::min<LONG>(inDepth.bottom, static_cast<LONG>(depth->Desc().Height));
      if (inDepth.left < inDepth.right && inDepth.top < inDepth.bottom)
        FillImageRect(depth->Image(), inDepth, depthValue, keepMask);
    }
  }
  return D3D_OK;
}
