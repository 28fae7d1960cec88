// The Direct3D 8 interfaces: abstract classes whose virtual functions stand in
// the platform's slot order, their interface identifiers, and the entry point.
// Value types and constants live in d3d8_types.h.
#pragma once

#include "d3d8_types.h"

struct IDirect3D8;
struct IDirect3DDevice8;
struct IDirect3DSwapChain8;
struct IDirect3DResource8;
struct IDirect3DBaseTexture8;
struct IDirect3DTexture8;
struct IDirect3DCubeTexture8;
struct IDirect3DVolumeTexture8;
struct IDirect3DSurface8;
struct IDirect3DVolume8;
struct IDirect3DVertexBuffer8;
struct IDirect3DIndexBuffer8;

// A region of the screen for Present; declared by the drawing layer, only passed through here.
struct RGNDATA;

// ---- interface identifiers ------------------------------------------------------
// {1DD9E8DA-1C77-4D40-B0CF-98FEFDFF9512}
inline constexpr IID IID_IDirect3D8 = {0x1DD9E8DA, 0x1C77, 0x4D40, {0xB0, 0xCF, 0x98, 0xFE, 0xFD, 0xFF, 0x95, 0x12}};
// {7385E5DF-8FE8-41D5-86B6-D7B48547B6CF}
inline constexpr IID IID_IDirect3DDevice8 = {0x7385E5DF, 0x8FE8, 0x41D5, {0x86, 0xB6, 0xD7, 0xB4, 0x85, 0x47, 0xB6, 0xCF}};
// {1B36BB7B-09B7-410A-B445-7D1430D7B33F}
inline constexpr IID IID_IDirect3DResource8 = {0x1B36BB7B, 0x09B7, 0x410A, {0xB4, 0x45, 0x7D, 0x14, 0x30, 0xD7, 0xB3, 0x3F}};
// {B4211CFA-51B9-4A9F-AB78-DB99B2BB678E}
inline constexpr IID IID_IDirect3DBaseTexture8 = {0xB4211CFA, 0x51B9, 0x4A9F, {0xAB, 0x78, 0xDB, 0x99, 0xB2, 0xBB, 0x67, 0x8E}};
// {E4CDD575-2866-4F01-B12E-7EECE1EC9358}
inline constexpr IID IID_IDirect3DTexture8 = {0xE4CDD575, 0x2866, 0x4F01, {0xB1, 0x2E, 0x7E, 0xEC, 0xE1, 0xEC, 0x93, 0x58}};
// {3EE5B968-2ACA-4C34-8BB5-7E0C3D19B750}
inline constexpr IID IID_IDirect3DCubeTexture8 = {0x3EE5B968, 0x2ACA, 0x4C34, {0x8B, 0xB5, 0x7E, 0x0C, 0x3D, 0x19, 0xB7, 0x50}};
// {4B8AAAFA-140F-42BA-9131-597EAFAA2EAD}
inline constexpr IID IID_IDirect3DVolumeTexture8 = {0x4B8AAAFA, 0x140F, 0x42BA, {0x91, 0x31, 0x59, 0x7E, 0xAF, 0xAA, 0x2E, 0xAD}};
// {8AEEEAC7-05F9-44D4-B591-000B0DF1CB95}
inline constexpr IID IID_IDirect3DVertexBuffer8 = {0x8AEEEAC7, 0x05F9, 0x44D4, {0xB5, 0x91, 0x00, 0x0B, 0x0D, 0xF1, 0xCB, 0x95}};
// {0E689C9A-053D-44A0-9D92-DB0E3D750F86}
inline constexpr IID IID_IDirect3DIndexBuffer8 = {0x0E689C9A, 0x053D, 0x44A0, {0x9D, 0x92, 0xDB, 0x0E, 0x3D, 0x75, 0x0F, 0x86}};
// {B96EEBCA-B326-4EA5-882F-2FF5BAE021DD}
inline constexpr IID IID_IDirect3DSurface8 = {0xB96EEBCA, 0xB326, 0x4EA5, {0x88, 0x2F, 0x2F, 0xF5, 0xBA, 0xE0, 0x21, 0xDD}};
// {BD7349F5-14F1-42E4-9C79-972380DB40C0}
inline constexpr IID IID_IDirect3DVolume8 = {0xBD7349F5, 0x14F1, 0x42E4, {0x9C, 0x79, 0x97, 0x23, 0x80, 0xDB, 0x40, 0xC0}};
// {928C088B-76B9-4C6B-A536-A590853876CD}
inline constexpr IID IID_IDirect3DSwapChain8 = {0x928C088B, 0x76B9, 0x4C6B, {0xA5, 0x36, 0xA5, 0x90, 0x85, 0x38, 0x76, 0xCD}};

// ---- IDirect3D8 ------------------------------------------------------------------
struct IDirect3D8 : IUnknown {
  virtual HRESULT RegisterSoftwareDevice(void* initializeFunction) = 0;
  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
  virtual UINT GetAdapterModeCount(UINT adapter) = 0;
  virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
  virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                                  D3DFORMAT backBufferFormat, BOOL windowed) = 0;
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
  virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT surfaceFormat,
                                             BOOL windowed, D3DMULTISAMPLE_TYPE multiSampleType) = 0;
  virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) = 0;
  virtual HMONITOR GetAdapterMonitor(UINT adapter) = 0;
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* presentationParameters,
                               IDirect3DDevice8** returnedDeviceInterface) = 0;
};

// ---- IDirect3DDevice8 -------------------------------------------------------------
struct IDirect3DDevice8 : IUnknown {
  virtual HRESULT TestCooperativeLevel() = 0;
  virtual UINT GetAvailableTextureMem() = 0;
  virtual HRESULT ResourceManagerDiscardBytes(DWORD bytes) = 0;
  virtual HRESULT GetDirect3D(IDirect3D8** d3d8) = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
  virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) = 0;
  virtual HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) = 0;
  virtual HRESULT SetCursorProperties(UINT xHotSpot, UINT yHotSpot, IDirect3DSurface8* cursorBitmap) = 0;
  virtual void SetCursorPosition(int x, int y, DWORD flags) = 0;
  virtual BOOL ShowCursor(BOOL show) = 0;
  virtual HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* presentationParameters,
                                            IDirect3DSwapChain8** swapChain) = 0;
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* presentationParameters) = 0;
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                          const RGNDATA* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) = 0;
  virtual HRESULT GetRasterStatus(D3DRASTER_STATUS* rasterStatus) = 0;
  virtual void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) = 0;
  virtual void GetGammaRamp(D3DGAMMARAMP* ramp) = 0;
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture) = 0;
  virtual HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                      D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture8** volumeTexture) = 0;
  virtual HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DCubeTexture8** cubeTexture) = 0;
  virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** vertexBuffer) = 0;
  virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** indexBuffer) = 0;
  virtual HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                     BOOL lockable, IDirect3DSurface8** surface) = 0;
  virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface) = 0;
  virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;
  virtual HRESULT CopyRects(IDirect3DSurface8* sourceSurface, const RECT* sourceRects, UINT rectCount,
                            IDirect3DSurface8* destinationSurface, const POINT* destPoints) = 0;
  virtual HRESULT UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destinationTexture) = 0;
  virtual HRESULT GetFrontBuffer(IDirect3DSurface8* destSurface) = 0;
  virtual HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) = 0;
  virtual HRESULT GetRenderTarget(IDirect3DSurface8** renderTarget) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT GetLight(DWORD index, D3DLIGHT8* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
  virtual HRESULT SetClipPlane(DWORD index, const float* plane) = 0;
  virtual HRESULT GetClipPlane(DWORD index, float* plane) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT BeginStateBlock() = 0;
  virtual HRESULT EndStateBlock(DWORD* token) = 0;
  virtual HRESULT ApplyStateBlock(DWORD token) = 0;
  virtual HRESULT CaptureStateBlock(DWORD token) = 0;
  virtual HRESULT DeleteStateBlock(DWORD token) = 0;
  virtual HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) = 0;
  virtual HRESULT SetClipStatus(const D3DCLIPSTATUS8* clipStatus) = 0;
  virtual HRESULT GetClipStatus(D3DCLIPSTATUS8* clipStatus) = 0;
  virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT ValidateDevice(DWORD* numPasses) = 0;
  virtual HRESULT GetInfo(DWORD devInfoId, void* devInfoStruct, DWORD devInfoStructSize) = 0;
  virtual HRESULT SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY* entries) = 0;
  virtual HRESULT GetPaletteEntries(UINT paletteNumber, PALETTEENTRY* entries) = 0;
  virtual HRESULT SetCurrentTexturePalette(UINT paletteNumber) = 0;
  virtual HRESULT GetCurrentTexturePalette(UINT* paletteNumber) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) = 0;
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, UINT minIndex, UINT numVertices,
                                       UINT startIndex, UINT primitiveCount) = 0;
  virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                  const void* vertexStreamZeroData, UINT vertexStreamZeroStride) = 0;
  virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT minVertexIndex,
                                         UINT numVertexIndices, UINT primitiveCount, const void* indexData,
                                         D3DFORMAT indexDataFormat, const void* vertexStreamZeroData,
                                         UINT vertexStreamZeroStride) = 0;
  virtual HRESULT ProcessVertices(UINT srcStartIndex, UINT destIndex, UINT vertexCount,
                                  IDirect3DVertexBuffer8* destBuffer, DWORD flags) = 0;
  virtual HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle,
                                     DWORD usage) = 0;
  virtual HRESULT SetVertexShader(DWORD handle) = 0;
  virtual HRESULT GetVertexShader(DWORD* handle) = 0;
  virtual HRESULT DeleteVertexShader(DWORD handle) = 0;
  virtual HRESULT SetVertexShaderConstant(DWORD registerIndex, const void* constantData, DWORD constantCount) = 0;
  virtual HRESULT GetVertexShaderConstant(DWORD registerIndex, void* constantData, DWORD constantCount) = 0;
  virtual HRESULT GetVertexShaderDeclaration(DWORD handle, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT GetVertexShaderFunction(DWORD handle, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) = 0;
  virtual HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) = 0;
  virtual HRESULT SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) = 0;
  virtual HRESULT GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) = 0;
  virtual HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) = 0;
  virtual HRESULT SetPixelShader(DWORD handle) = 0;
  virtual HRESULT GetPixelShader(DWORD* handle) = 0;
  virtual HRESULT DeletePixelShader(DWORD handle) = 0;
  virtual HRESULT SetPixelShaderConstant(DWORD registerIndex, const void* constantData, DWORD constantCount) = 0;
  virtual HRESULT GetPixelShaderConstant(DWORD registerIndex, void* constantData, DWORD constantCount) = 0;
  virtual HRESULT GetPixelShaderFunction(DWORD handle, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT DrawRectPatch(UINT handle, const float* numSegs, const D3DRECTPATCH_INFO* rectPatchInfo) = 0;
  virtual HRESULT DrawTriPatch(UINT handle, const float* numSegs, const D3DTRIPATCH_INFO* triPatchInfo) = 0;
  virtual HRESULT DeletePatch(UINT handle) = 0;
};

// ---- IDirect3DSwapChain8 ----------------------------------------------------------
struct IDirect3DSwapChain8 : IUnknown {
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                          const RGNDATA* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) = 0;
};

// ---- resources ----------------------------------------------------------------------
struct IDirect3DResource8 : IUnknown {
  virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
  virtual HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD sizeOfData, DWORD flags) = 0;
  virtual HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT FreePrivateData(REFGUID guid) = 0;
  virtual DWORD SetPriority(DWORD priorityNew) = 0;
  virtual DWORD GetPriority() = 0;
  virtual void PreLoad() = 0;
  virtual D3DRESOURCETYPE GetType() = 0;
};

struct IDirect3DBaseTexture8 : IDirect3DResource8 {
  virtual DWORD SetLOD(DWORD lodNew) = 0;
  virtual DWORD GetLOD() = 0;
  virtual DWORD GetLevelCount() = 0;
};

struct IDirect3DTexture8 : IDirect3DBaseTexture8 {
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) = 0;
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
  virtual HRESULT AddDirtyRect(const RECT* dirtyRect) = 0;
};

struct IDirect3DVolumeTexture8 : IDirect3DBaseTexture8 {
  virtual HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) = 0;
  virtual HRESULT GetVolumeLevel(UINT level, IDirect3DVolume8** volumeLevel) = 0;
  virtual HRESULT LockBox(UINT level, D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) = 0;
  virtual HRESULT UnlockBox(UINT level) = 0;
  virtual HRESULT AddDirtyBox(const D3DBOX* dirtyBox) = 0;
};

struct IDirect3DCubeTexture8 : IDirect3DBaseTexture8 {
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES faceType, UINT level, IDirect3DSurface8** cubeMapSurface) = 0;
  virtual HRESULT LockRect(D3DCUBEMAP_FACES faceType, UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                           DWORD flags) = 0;
  virtual HRESULT UnlockRect(D3DCUBEMAP_FACES faceType, UINT level) = 0;
  virtual HRESULT AddDirtyRect(D3DCUBEMAP_FACES faceType, const RECT* dirtyRect) = 0;
};

struct IDirect3DVertexBuffer8 : IDirect3DResource8 {
  virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

struct IDirect3DIndexBuffer8 : IDirect3DResource8 {
  virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

// Surfaces and volumes are not resources of their own: they belong to a
// texture, a swap chain or the device, which GetContainer names.
struct IDirect3DSurface8 : IUnknown {
  virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
  virtual HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD sizeOfData, DWORD flags) = 0;
  virtual HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT FreePrivateData(REFGUID guid) = 0;
  virtual HRESULT GetContainer(REFIID riid, void** container) = 0;
  virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

struct IDirect3DVolume8 : IUnknown {
  virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
  virtual HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD sizeOfData, DWORD flags) = 0;
  virtual HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* sizeOfData) = 0;
  virtual HRESULT FreePrivateData(REFGUID guid) = 0;
  virtual HRESULT GetContainer(REFIID riid, void** container) = 0;
  virtual HRESULT GetDesc(D3DVOLUME_DESC* desc) = 0;
  virtual HRESULT LockBox(D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) = 0;
  virtual HRESULT UnlockBox() = 0;
};

using LPDIRECT3D8 = IDirect3D8*;
using LPDIRECT3DDEVICE8 = IDirect3DDevice8*;
using LPDIRECT3DSWAPCHAIN8 = IDirect3DSwapChain8*;
using LPDIRECT3DRESOURCE8 = IDirect3DResource8*;
using LPDIRECT3DBASETEXTURE8 = IDirect3DBaseTexture8*;
using LPDIRECT3DTEXTURE8 = IDirect3DTexture8*;
using LPDIRECT3DCUBETEXTURE8 = IDirect3DCubeTexture8*;
using LPDIRECT3DVOLUMETEXTURE8 = IDirect3DVolumeTexture8*;
using LPDIRECT3DSURFACE8 = IDirect3DSurface8*;
using LPDIRECT3DVOLUME8 = IDirect3DVolume8*;
using LPDIRECT3DVERTEXBUFFER8 = IDirect3DVertexBuffer8*;
using LPDIRECT3DINDEXBUFFER8 = IDirect3DIndexBuffer8*;

// The entry point: a new IDirect3D8 with one reference, or null when the
// caller was built for another interface version (anything but D3D_SDK_VERSION).
IDirect3D8* Direct3DCreate8(UINT sdkVersion);

// The exported debug switch: non-zero silences the runtime's debug messages,
// 0 lets them through again. Also reachable as "DebugSetMute" of "d3d8.dll".
void DebugSetMute(DWORD mute);
