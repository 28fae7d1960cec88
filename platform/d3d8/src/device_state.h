// Everything a device remembers between calls, as plain data: the live states
// of a device and the values of a state block have this one shape, and a
// StateMask says which of them a block holds.
#pragma once

#include <bitset>
#include <map>

#include "binding.h"
#include "buffers.h"
#include "texture.h"

constexpr UINT kTransformSlots = 512;  // indexed by the D3DTRANSFORMSTATETYPE value
constexpr UINT kMaxStreams = 16;
constexpr UINT kMaxClipPlanes = 32;

struct LightSlot {
  D3DLIGHT8 light;
  bool enabled = false;
};

struct StreamSlot {
  Binding<VertexBuffer> buffer;
  UINT stride = 0;
};

struct DeviceState {
  DWORD renderStates[kD3DRenderStateCount];
  DWORD stageStates[kD3DTextureStageCount][kD3DTextureStageStateCount];
  D3DMATRIX transforms[kTransformSlots];
  D3DVIEWPORT8 viewport;
  D3DMATERIAL8 material;
  std::map<DWORD, LightSlot> lights;  // any index may be used: a sparse map
  Binding<TextureCore> textures[kD3DTextureStageCount];
  StreamSlot streams[kMaxStreams];
  Binding<IndexBuffer> indices;
  UINT baseVertexIndex = 0;
  DWORD vertexShader = 0;  // a vertex format code
  DWORD pixelShader = 0;
  float clipPlanes[kMaxClipPlanes][4];
  UINT currentPalette = 0;
};

struct StateMask {
  std::bitset<kD3DRenderStateCount> renderStates;
  std::bitset<kD3DTextureStageStateCount> stageStates[kD3DTextureStageCount];
  std::bitset<kTransformSlots> transforms;
  std::bitset<kD3DTextureStageCount> textures;
  std::bitset<kMaxStreams> streams;
  std::bitset<kMaxClipPlanes> clipPlanes;
  std::map<DWORD, bool> lights;        // index -> the light's parameters are held
  std::map<DWORD, bool> lightEnables;  // index -> its enable is held
  bool viewport = false;
  bool material = false;
  bool indices = false;
  bool vertexShader = false;
  bool pixelShader = false;
  bool currentPalette = false;
};

// The states of a new device. `depthBuffer` says whether it has an automatic
// depth buffer (D3DRS_ZENABLE starts on then), `softwareVertexProcessing`
// whether it was created for it.
void InitDeviceState(DeviceState& state, const D3DVIEWPORT8& viewport, bool depthBuffer,
                     bool softwareVertexProcessing);

// Render-state and stage-state codes the device knows.
bool ValidRenderState(DWORD state);
bool ValidStageState(DWORD state);
bool ValidTransform(DWORD state);

// The light a LightEnable of a never-set index creates: white, directional, down +z.
D3DLIGHT8 DefaultLight();

// Copies the states in `mask` from one state set to another (capturing into a
// block and applying a block are the same walk in opposite directions).
void TransferStates(const DeviceState& from, DeviceState& to, const StateMask& mask);

// The states that CreateStateBlock records for D3DSBT_ALL, _PIXELSTATE and
// _VERTEXSTATE on a device whose states are `current`.
StateMask MaskForType(D3DSTATEBLOCKTYPE type, const DeviceState& current);
