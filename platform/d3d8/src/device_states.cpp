// Setting and reading the device states. While a state block is being
// recorded, setters write into the block (and mark what they wrote) instead of
// the device; getters always read the device.
#include <cmath>
#include <cstring>

#include "debug_channel.h"
#include "device.h"
#include "fvf.h"
#include "profile.h"

namespace {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[row][k] * b.m[k][col];
      r.m[row][col] = sum;
    }
  return r;
}

const char* CheckLight(const D3DLIGHT8& light) {
  if (light.Type != D3DLIGHT_POINT && light.Type != D3DLIGHT_SPOT && light.Type != D3DLIGHT_DIRECTIONAL)
    return "unknown light type";
  if (light.Type != D3DLIGHT_DIRECTIONAL) {
    if (!(light.Range >= 0.0f) || light.Range > std::sqrt(3.4e38f)) return "range negative or too large";
    if (light.Attenuation0 < 0.0f || light.Attenuation1 < 0.0f || light.Attenuation2 < 0.0f)
      return "negative attenuation";
  }
  if (light.Type == D3DLIGHT_SPOT &&
      !(light.Theta >= 0.0f && light.Theta <= light.Phi && light.Phi <= 3.14159274f))
    return "spot cone angles out of order";
  return nullptr;
}

}  // namespace

// ---- transforms -------------------------------------------------------------------------
HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr || !ValidTransform(state))
    return Fail(D3DERR_INVALIDCALL, "SetTransform", "null matrix or unknown transform");
  Target().transforms[state] = *matrix;
  if (StateMask* mask = Recording()) mask->transforms.set(state);
  return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (matrix == nullptr || !ValidTransform(state))
    return Fail(D3DERR_INVALIDCALL, "GetTransform", "null output or unknown transform");
  *matrix = state_.transforms[state];
  return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr || !ValidTransform(state))
    return Fail(D3DERR_INVALIDCALL, "MultiplyTransform", "null matrix or unknown transform");
  const D3DMATRIX product = Multiply(*matrix, Target().transforms[state]);
  Target().transforms[state] = product;
  if (StateMask* mask = Recording()) mask->transforms.set(state);
  return D3D_OK;
}

// ---- viewport and material ------------------------------------------------------------------
HRESULT Device::SetViewport(const D3DVIEWPORT8* viewport) {
  if (viewport == nullptr) return Fail(D3DERR_INVALIDCALL, "SetViewport", "null viewport");
  const D3DSURFACE_DESC& target = renderTarget_.Get()->Desc();
  if (viewport->Width == 0 || viewport->Height == 0 || uint64_t{viewport->X} + viewport->Width > target.Width ||
      uint64_t{viewport->Y} + viewport->Height > target.Height)
    return Fail(D3DERR_INVALIDCALL, "SetViewport", "viewport empty or outside the render target");
  if (!(viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f && viewport->MaxZ >= 0.0f && viewport->MaxZ <= 1.0f))
    return Fail(D3DERR_INVALIDCALL, "SetViewport", "depth range outside 0 to 1");
  Target().viewport = *viewport;
  if (StateMask* mask = Recording()) mask->viewport = true;
  return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* viewport) {
  if (viewport == nullptr) return Fail(D3DERR_INVALIDCALL, "GetViewport", "null output");
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* material) {
  if (material == nullptr) return Fail(D3DERR_INVALIDCALL, "SetMaterial", "null material");
  Target().material = *material;
  if (StateMask* mask = Recording()) mask->material = true;
  return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* material) {
  if (material == nullptr) return Fail(D3DERR_INVALIDCALL, "GetMaterial", "null output");
  *material = state_.material;
  return D3D_OK;
}

// ---- lights ------------------------------------------------------------------------------------
HRESULT Device::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (light == nullptr) return Fail(D3DERR_INVALIDCALL, "SetLight", "null light");
  if (const char* why = CheckLight(*light)) return Fail(D3DERR_INVALIDCALL, "SetLight", why);
  try {
    Target().lights[index].light = *light;
    if (StateMask* mask = Recording()) mask->lights[index] = true;
    lightsChanged_ = true;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT8* light) {
  const auto it = state_.lights.find(index);
  if (light == nullptr || it == state_.lights.end())
    return Fail(D3DERR_INVALIDCALL, "GetLight", "null output or light never set");
  *light = it->second.light;
  return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable) {
  try {
    auto& lights = Target().lights;
    auto it = lights.find(index);
    if (it == lights.end()) it = lights.emplace(index, LightSlot{DefaultLight(), false}).first;
    it->second.enabled = enable != FALSE;
    if (StateMask* mask = Recording()) mask->lightEnables[index] = true;
    lightsChanged_ = true;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
  const auto it = state_.lights.find(index);
  if (enable == nullptr || it == state_.lights.end())
    return Fail(D3DERR_INVALIDCALL, "GetLightEnable", "null output or light never set");
  *enable = it->second.enabled ? TRUE : FALSE;
  return D3D_OK;
}

// ---- clip planes -----------------------------------------------------------------------------------
HRESULT Device::SetClipPlane(DWORD index, const float* plane) {
  if (plane == nullptr || index >= CurrentProfile().caps.MaxUserClipPlanes || index >= kMaxClipPlanes)
    return Fail(D3DERR_INVALIDCALL, "SetClipPlane", "null plane or index above MaxUserClipPlanes");
  std::memcpy(Target().clipPlanes[index], plane, sizeof(float) * 4);
  if (StateMask* mask = Recording()) mask->clipPlanes.set(index);
  return D3D_OK;
}

HRESULT Device::GetClipPlane(DWORD index, float* plane) {
  if (plane == nullptr || index >= kMaxClipPlanes)
    return Fail(D3DERR_INVALIDCALL, "GetClipPlane", "null output or no such plane");
  std::memcpy(plane, state_.clipPlanes[index], sizeof(float) * 4);
  return D3D_OK;
}

// ---- render and stage states ---------------------------------------------------------------------------
HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (!ValidRenderState(state)) return Fail(D3DERR_INVALIDCALL, "SetRenderState", "unknown render state");
  Target().renderStates[state] = value;
  if (StateMask* mask = Recording()) mask->renderStates.set(state);
  return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (value == nullptr || !ValidRenderState(state))
    return Fail(D3DERR_INVALIDCALL, "GetRenderState", "null output or unknown render state");
  *value = state_.renderStates[state];
  return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= kD3DTextureStageCount || !ValidStageState(type))
    return Fail(D3DERR_INVALIDCALL, "SetTextureStageState", "no such stage or stage state");
  Target().stageStates[stage][type] = value;
  if (StateMask* mask = Recording()) mask->stageStates[stage].set(type);
  return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (value == nullptr || stage >= kD3DTextureStageCount || !ValidStageState(type))
    return Fail(D3DERR_INVALIDCALL, "GetTextureStageState", "null output, no such stage or stage state");
  *value = state_.stageStates[stage][type];
  return D3D_OK;
}

// ---- textures, streams, indices, shaders ------------------------------------------------------------------
HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
  if (stage >= kD3DTextureStageCount) return Fail(D3DERR_INVALIDCALL, "SetTexture", "no such stage");
  TextureCore* core = nullptr;
  if (texture != nullptr) {
    core = AsTextureCore(texture);
    if (core == nullptr || core->Object().OwnerDevice() != this)
      return Fail(D3DERR_INVALIDCALL, "SetTexture", "texture of another device");
    const D3DPOOL pool = core->Params().pool;
    if (pool == D3DPOOL_SYSTEMMEM || pool == D3DPOOL_SCRATCH)
      return Fail(D3DERR_INVALIDCALL, "SetTexture", "the device cannot sample system-memory textures");
  }
  Target().textures[stage] = Binding<TextureCore>(core);
  if (StateMask* mask = Recording()) mask->textures.set(stage);
  return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
  if (texture == nullptr || stage >= kD3DTextureStageCount)
    return Fail(D3DERR_INVALIDCALL, "GetTexture", "null output or no such stage");
  IDirect3DBaseTexture8* bound = state_.textures[stage] ? state_.textures[stage].Get()->BaseInterface() : nullptr;
  if (bound != nullptr) bound->AddRef();
  *texture = bound;
  return D3D_OK;
}

HRESULT Device::SetVertexShader(DWORD handle) {
  // No programmable shaders: the handle is always a vertex format code.
  if (handle != 0 && !ValidFvf(handle)) return Fail(D3DERR_INVALIDCALL, "SetVertexShader", "invalid vertex format");
  Target().vertexShader = handle;
  if (StateMask* mask = Recording()) mask->vertexShader = true;
  return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* handle) {
  if (handle == nullptr) return Fail(D3DERR_INVALIDCALL, "GetVertexShader", "null output");
  *handle = state_.vertexShader;
  return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) {
  if (streamNumber >= CurrentProfile().caps.MaxStreams || streamNumber >= kMaxStreams)
    return Fail(D3DERR_INVALIDCALL, "SetStreamSource", "no such stream");
  VertexBuffer* buffer = nullptr;
  if (streamData != nullptr) {
    buffer = AsVertexBuffer(streamData);
    if (buffer == nullptr || buffer->OwnerDevice() != this)
      return Fail(D3DERR_INVALIDCALL, "SetStreamSource", "buffer of another device");
    if (stride == 0 || stride > CurrentProfile().caps.MaxStreamStride)
      return Fail(D3DERR_INVALIDCALL, "SetStreamSource", "stride 0 or above MaxStreamStride");
  }
  StreamSlot& slot = Target().streams[streamNumber];
  slot.buffer = Binding<VertexBuffer>(buffer);
  slot.stride = buffer != nullptr ? stride : 0;
  if (StateMask* mask = Recording()) mask->streams.set(streamNumber);
  return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) {
  if (streamData == nullptr || stride == nullptr || streamNumber >= kMaxStreams)
    return Fail(D3DERR_INVALIDCALL, "GetStreamSource", "null output or no such stream");
  VertexBuffer* buffer = state_.streams[streamNumber].buffer.Get();
  if (buffer != nullptr) buffer->AddRef();
  *streamData = buffer;
  *stride = state_.streams[streamNumber].stride;
  return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) {
  IndexBuffer* buffer = nullptr;
  if (indexData != nullptr) {
    buffer = AsIndexBuffer(indexData);
    if (buffer == nullptr || buffer->OwnerDevice() != this)
      return Fail(D3DERR_INVALIDCALL, "SetIndices", "buffer of another device");
  }
  DeviceState& target = Target();
  target.indices = Binding<IndexBuffer>(buffer);
  target.baseVertexIndex = baseVertexIndex;
  if (StateMask* mask = Recording()) mask->indices = true;
  return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) {
  if (indexData == nullptr || baseVertexIndex == nullptr) return Fail(D3DERR_INVALIDCALL, "GetIndices", "null output");
  IndexBuffer* buffer = state_.indices.Get();
  if (buffer != nullptr) buffer->AddRef();
  *indexData = buffer;
  *baseVertexIndex = state_.baseVertexIndex;
  return D3D_OK;
}

HRESULT Device::SetPixelShader(DWORD handle) {
  if (handle != 0) return Fail(D3DERR_INVALIDCALL, "SetPixelShader", "the device has no pixel shaders");
  Target().pixelShader = 0;
  if (StateMask* mask = Recording()) mask->pixelShader = true;
  return D3D_OK;
}

HRESULT Device::GetPixelShader(DWORD* handle) {
  if (handle == nullptr) return Fail(D3DERR_INVALIDCALL, "GetPixelShader", "null output");
  *handle = state_.pixelShader;
  return D3D_OK;
}
