// The IDirect3DDevice8 object. Its methods are spread over the device_*.cpp
// files by concern: queries and odds and ends (device.cpp), resource creation,
// copies, states, state blocks, frames and presenting, and drawing.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "d3d8.h"
#include "device_state.h"
#include "direct3d.h"
#include "live_objects.h"
#include "surface.h"

struct DrawCall;

struct StateBlock {
  DeviceState values{};
  StateMask mask;
};

class Device final : public IDirect3DDevice8, LiveObject {
 public:
  static HRESULT Create(Direct3D* d3d, const D3DDEVICE_CREATION_PARAMETERS& creation,
                        D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice8** device);
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  virtual ~Device();

  // ---- IUnknown
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;

  // ---- device.cpp
  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT ResourceManagerDiscardBytes(DWORD bytes) override;
  HRESULT GetDirect3D(IDirect3D8** d3d8) override;
  HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
  HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
  HRESULT SetCursorProperties(UINT xHotSpot, UINT yHotSpot, IDirect3DSurface8* cursorBitmap) override;
  void SetCursorPosition(int x, int y, DWORD flags) override;
  BOOL ShowCursor(BOOL show) override;
  HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* parameters, IDirect3DSwapChain8** swapChain) override;
  HRESULT GetRasterStatus(D3DRASTER_STATUS* rasterStatus) override;
  void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) override;
  void GetGammaRamp(D3DGAMMARAMP* ramp) override;
  HRESULT ValidateDevice(DWORD* numPasses) override;
  HRESULT GetInfo(DWORD devInfoId, void* devInfoStruct, DWORD devInfoStructSize) override;
  HRESULT SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY* entries) override;
  HRESULT GetPaletteEntries(UINT paletteNumber, PALETTEENTRY* entries) override;
  HRESULT SetCurrentTexturePalette(UINT paletteNumber) override;
  HRESULT GetCurrentTexturePalette(UINT* paletteNumber) override;
  HRESULT SetClipStatus(const D3DCLIPSTATUS8* clipStatus) override;
  HRESULT GetClipStatus(D3DCLIPSTATUS8* clipStatus) override;

  // ---- device_resources.cpp
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture8** texture) override;
  HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DVolumeTexture8** volumeTexture) override;
  HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture8** cubeTexture) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** vertexBuffer) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer8** indexBuffer) override;
  HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                             BOOL lockable, IDirect3DSurface8** surface) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    IDirect3DSurface8** surface) override;
  HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;

  // ---- device_copy.cpp
  HRESULT CopyRects(IDirect3DSurface8* sourceSurface, const RECT* sourceRects, UINT rectCount,
                    IDirect3DSurface8* destinationSurface, const POINT* destPoints) override;
  HRESULT UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destinationTexture) override;
  HRESULT GetFrontBuffer(IDirect3DSurface8* destSurface) override;

  // ---- device_frame.cpp
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const RGNDATA* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) override;
  HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) override;
  HRESULT GetRenderTarget(IDirect3DSurface8** renderTarget) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

  // ---- device_states.cpp
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT GetMaterial(D3DMATERIAL8* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetClipPlane(DWORD index, const float* plane) override;
  HRESULT GetClipPlane(DWORD index, float* plane) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT SetVertexShader(DWORD handle) override;
  HRESULT GetVertexShader(DWORD* handle) override;
  HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) override;
  HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) override;
  HRESULT GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) override;
  HRESULT SetPixelShader(DWORD handle) override;
  HRESULT GetPixelShader(DWORD* handle) override;

  // ---- device_state_blocks.cpp
  HRESULT BeginStateBlock() override;
  HRESULT EndStateBlock(DWORD* token) override;
  HRESULT ApplyStateBlock(DWORD token) override;
  HRESULT CaptureStateBlock(DWORD token) override;
  HRESULT DeleteStateBlock(DWORD token) override;
  HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) override;

  // ---- device_draw.cpp
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, UINT minIndex, UINT numVertices, UINT startIndex,
                               UINT primitiveCount) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexStreamZeroData,
                          UINT vertexStreamZeroStride) override;
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT minVertexIndex, UINT numVertexIndices,
                                 UINT primitiveCount, const void* indexData, D3DFORMAT indexDataFormat,
                                 const void* vertexStreamZeroData, UINT vertexStreamZeroStride) override;
  HRESULT ProcessVertices(UINT srcStartIndex, UINT destIndex, UINT vertexCount, IDirect3DVertexBuffer8* destBuffer,
                          DWORD flags) override;
  HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) override;
  HRESULT DeleteVertexShader(DWORD handle) override;
  HRESULT SetVertexShaderConstant(DWORD registerIndex, const void* constantData, DWORD constantCount) override;
  HRESULT GetVertexShaderConstant(DWORD registerIndex, void* constantData, DWORD constantCount) override;
  HRESULT GetVertexShaderDeclaration(DWORD handle, void* data, DWORD* sizeOfData) override;
  HRESULT GetVertexShaderFunction(DWORD handle, void* data, DWORD* sizeOfData) override;
  HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) override;
  HRESULT DeletePixelShader(DWORD handle) override;
  HRESULT SetPixelShaderConstant(DWORD registerIndex, const void* constantData, DWORD constantCount) override;
  HRESULT GetPixelShaderConstant(DWORD registerIndex, void* constantData, DWORD constantCount) override;
  HRESULT GetPixelShaderFunction(DWORD handle, void* data, DWORD* sizeOfData) override;
  HRESULT DrawRectPatch(UINT handle, const float* numSegs, const D3DRECTPATCH_INFO* rectPatchInfo) override;
  HRESULT DrawTriPatch(UINT handle, const float* numSegs, const D3DTRIPATCH_INFO* triPatchInfo) override;
  HRESULT DeletePatch(UINT handle) override;

  // ---- for the runtime's own use
  const DeviceState& State() const { return state_; }
  Surface* RenderTarget() const { return renderTarget_.Get(); }
  Surface* DepthStencil() const { return depthStencil_.Get(); }
  const D3DPRESENT_PARAMETERS& PresentParameters() const { return present_; }
  // The last frame presented without a window (X8R8G8B8, rows top down).
  const std::vector<DWORD>& PresentedFrame() const { return presentedFrame_; }
  UINT PresentedWidth() const { return presentedWidth_; }
  UINT PresentedHeight() const { return presentedHeight_; }
  HWND PresentWindow() const;

 private:
  Device(Direct3D* d3d, const D3DDEVICE_CREATION_PARAMETERS& creation);

  // The state set that setters write: the block being recorded, else the device's.
  DeviceState& Target() { return recording_ ? recording_->values : state_; }
  StateMask* Recording() { return recording_ ? &recording_->mask : nullptr; }

  // Makes the back buffer and the automatic depth buffer from `parameters`
  // (resolved in place) and resets the states that depend on them.
  HRESULT BuildSwapChain(D3DPRESENT_PARAMETERS& parameters);
  HRESULT CheckPresentParameters(D3DPRESENT_PARAMETERS& parameters) const;
  // Resource checks shared by the three texture kinds.
  HRESULT CheckTextureRequest(const char* call, D3DRESOURCETYPE type, UINT width, UINT height, UINT depth,
                              UINT& levels, DWORD usage, D3DFORMAT format, D3DPOOL pool) const;
  // Hands every draw to the pipeline once its arguments are checked.
  HRESULT SubmitDraw(const DrawCall& call);
  HRESULT CheckDrawState(const char* call, D3DPRIMITIVETYPE type, UINT primitiveCount, UINT* vertexCount) const;

  ULONG refs_ = 1;
  Direct3D* d3d_;
  D3DDEVICE_CREATION_PARAMETERS creation_;
  D3DPRESENT_PARAMETERS present_{};
  Binding<Surface> backBuffer_;
  Binding<Surface> autoDepth_;
  Binding<Surface> renderTarget_;
  Binding<Surface> depthStencil_;
  DeviceState state_{};
  std::unique_ptr<StateBlock> recording_;
  std::map<DWORD, std::unique_ptr<StateBlock>> blocks_;
  DWORD nextBlock_ = 1;
  bool inScene_ = false;
  bool needsReset_ = false;
  bool lightsChanged_ = true;  // enabledLights_ must be rebuilt before the next draw
  std::vector<D3DLIGHT8> enabledLights_;
  D3DGAMMARAMP gamma_{};
  D3DCLIPSTATUS8 clipStatus_{};
  std::map<UINT, std::vector<PALETTEENTRY>> palettes_;
  BOOL cursorShown_ = FALSE;
  std::vector<DWORD> presentedFrame_;
  UINT presentedWidth_ = 0;
  UINT presentedHeight_ = 0;
};
