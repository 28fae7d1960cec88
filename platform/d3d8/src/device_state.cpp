#include "device_state.h"

#include <bit>
#include <cstring>

#include "draw_context.h"

namespace {

constexpr DWORD FloatBits(float value) {
  return std::bit_cast<DWORD>(value);
}

// Every render state the device knows, with its starting value.
struct RenderStateDefault {
  D3DRENDERSTATETYPE state;
  DWORD value;
};
constexpr RenderStateDefault kRenderStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE},  // on when there is an automatic depth buffer
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_LINEPATTERN, 0},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_LASTPIXEL, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_ZVISIBLE, 0},
    {D3DRS_FOGCOLOR, 0},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGSTART, FloatBits(0.0f)},
    {D3DRS_FOGEND, FloatBits(1.0f)},
    {D3DRS_FOGDENSITY, FloatBits(1.0f)},
    {D3DRS_EDGEANTIALIAS, FALSE},
    {D3DRS_ZBIAS, 0},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILREF, 0},
    {D3DRS_STENCILMASK, 0xFFFFFFFF},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
    {D3DRS_WRAP0, 0},
    {D3DRS_WRAP1, 0},
    {D3DRS_WRAP2, 0},
    {D3DRS_WRAP3, 0},
    {D3DRS_WRAP4, 0},
    {D3DRS_WRAP5, 0},
    {D3DRS_WRAP6, 0},
    {D3DRS_WRAP7, 0},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_NORMALIZENORMALS, FALSE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_SOFTWAREVERTEXPROCESSING, FALSE},  // on for software vertex processing
    {D3DRS_POINTSIZE, FloatBits(1.0f)},
    {D3DRS_POINTSIZE_MIN, FloatBits(0.0f)},
    {D3DRS_POINTSPRITEENABLE, FALSE},
    {D3DRS_POINTSCALEENABLE, FALSE},
    {D3DRS_POINTSCALE_A, FloatBits(1.0f)},
    {D3DRS_POINTSCALE_B, FloatBits(0.0f)},
    {D3DRS_POINTSCALE_C, FloatBits(0.0f)},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFF},
    {D3DRS_PATCHEDGESTYLE, 0},
    {D3DRS_PATCHSEGMENTS, FloatBits(1.0f)},
    {D3DRS_DEBUGMONITORTOKEN, 0},
    {D3DRS_POINTSIZE_MAX, FloatBits(64.0f)},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_TWEENFACTOR, FloatBits(0.0f)},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_POSITIONORDER, D3DORDER_CUBIC},
    {D3DRS_NORMALORDER, D3DORDER_LINEAR},
};

constexpr D3DRENDERSTATETYPE kPixelRenderStates[] = {
    D3DRS_ZENABLE,        D3DRS_FILLMODE,         D3DRS_SHADEMODE,        D3DRS_LINEPATTERN,
    D3DRS_ZWRITEENABLE,   D3DRS_ALPHATESTENABLE,  D3DRS_LASTPIXEL,        D3DRS_SRCBLEND,
    D3DRS_DESTBLEND,      D3DRS_ZFUNC,            D3DRS_ALPHAREF,         D3DRS_ALPHAFUNC,
    D3DRS_DITHERENABLE,   D3DRS_FOGSTART,         D3DRS_FOGEND,           D3DRS_FOGDENSITY,
    D3DRS_EDGEANTIALIAS,  D3DRS_ALPHABLENDENABLE, D3DRS_ZBIAS,            D3DRS_STENCILENABLE,
    D3DRS_STENCILFAIL,    D3DRS_STENCILZFAIL,     D3DRS_STENCILPASS,      D3DRS_STENCILFUNC,
    D3DRS_STENCILREF,     D3DRS_STENCILMASK,      D3DRS_STENCILWRITEMASK, D3DRS_TEXTUREFACTOR,
    D3DRS_WRAP0,          D3DRS_WRAP1,            D3DRS_WRAP2,            D3DRS_WRAP3,
    D3DRS_WRAP4,          D3DRS_WRAP5,            D3DRS_WRAP6,            D3DRS_WRAP7,
    D3DRS_COLORWRITEENABLE, D3DRS_BLENDOP,
};

constexpr D3DRENDERSTATETYPE kVertexRenderStates[] = {
    D3DRS_SHADEMODE,          D3DRS_SPECULARENABLE,         D3DRS_CULLMODE,
    D3DRS_FOGENABLE,          D3DRS_FOGCOLOR,               D3DRS_FOGTABLEMODE,
    D3DRS_FOGSTART,           D3DRS_FOGEND,                 D3DRS_FOGDENSITY,
    D3DRS_RANGEFOGENABLE,     D3DRS_AMBIENT,                D3DRS_COLORVERTEX,
    D3DRS_FOGVERTEXMODE,      D3DRS_CLIPPING,               D3DRS_LIGHTING,
    D3DRS_NORMALIZENORMALS,   D3DRS_LOCALVIEWER,            D3DRS_EMISSIVEMATERIALSOURCE,
    D3DRS_AMBIENTMATERIALSOURCE, D3DRS_DIFFUSEMATERIALSOURCE, D3DRS_SPECULARMATERIALSOURCE,
    D3DRS_VERTEXBLEND,        D3DRS_CLIPPLANEENABLE,        D3DRS_SOFTWAREVERTEXPROCESSING,
    D3DRS_POINTSIZE,          D3DRS_POINTSIZE_MIN,          D3DRS_POINTSPRITEENABLE,
    D3DRS_POINTSCALEENABLE,   D3DRS_POINTSCALE_A,           D3DRS_POINTSCALE_B,
    D3DRS_POINTSCALE_C,       D3DRS_MULTISAMPLEANTIALIAS,   D3DRS_MULTISAMPLEMASK,
    D3DRS_PATCHEDGESTYLE,     D3DRS_PATCHSEGMENTS,          D3DRS_POINTSIZE_MAX,
    D3DRS_INDEXEDVERTEXBLENDENABLE, D3DRS_TWEENFACTOR,      D3DRS_POSITIONORDER,
    D3DRS_NORMALORDER,
};

// Stage states that belong to vertex processing; all others are pixel states.
bool IsVertexStageState(DWORD state) {
  return state == D3DTSS_TEXCOORDINDEX || state == D3DTSS_TEXTURETRANSFORMFLAGS;
}

void SetIdentity(D3DMATRIX& matrix) {
  std::memset(&matrix, 0, sizeof(matrix));
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
}

}  // namespace

bool ValidRenderState(DWORD state) {
  for (const RenderStateDefault& entry : kRenderStates)
    if (entry.state == state) return true;
  return false;
}

bool ValidStageState(DWORD state) {
  return state >= D3DTSS_COLOROP && state < kD3DTextureStageStateCount && state != 12;
}

bool ValidTransform(DWORD state) {
  return state == D3DTS_VIEW || state == D3DTS_PROJECTION || (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) ||
         (state >= D3DTS_WORLD && state < kTransformSlots);
}

D3DLIGHT8 DefaultLight() {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  light.Direction = {0.0f, 0.0f, 1.0f};
  return light;
}

void InitDeviceState(DeviceState& state, const D3DVIEWPORT8& viewport, bool depthBuffer,
                     bool softwareVertexProcessing) {
  std::memset(state.renderStates, 0, sizeof(state.renderStates));
  for (const RenderStateDefault& entry : kRenderStates) state.renderStates[entry.state] = entry.value;
  state.renderStates[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
  state.renderStates[D3DRS_SOFTWAREVERTEXPROCESSING] = softwareVertexProcessing ? TRUE : FALSE;

  d3d8pipe::SetDefaultStageStates(state.stageStates);
  for (D3DMATRIX& matrix : state.transforms) SetIdentity(matrix);
  state.viewport = viewport;
  state.material = {};
  state.lights.clear();
  for (auto& texture : state.textures) texture.Reset();
  for (StreamSlot& stream : state.streams) stream = {};
  state.indices.Reset();
  state.baseVertexIndex = 0;
  state.vertexShader = 0;
  state.pixelShader = 0;
  std::memset(state.clipPlanes, 0, sizeof(state.clipPlanes));
  state.currentPalette = 0;
}

void TransferStates(const DeviceState& from, DeviceState& to, const StateMask& mask) {
  for (UINT i = 0; i < kD3DRenderStateCount; ++i)
    if (mask.renderStates[i]) to.renderStates[i] = from.renderStates[i];
  for (UINT stage = 0; stage < kD3DTextureStageCount; ++stage)
    for (UINT i = 0; i < kD3DTextureStageStateCount; ++i)
      if (mask.stageStates[stage][i]) to.stageStates[stage][i] = from.stageStates[stage][i];
  for (UINT i = 0; i < kTransformSlots; ++i)
    if (mask.transforms[i]) to.transforms[i] = from.transforms[i];
  for (UINT i = 0; i < kD3DTextureStageCount; ++i)
    if (mask.textures[i]) to.textures[i] = from.textures[i];
  for (UINT i = 0; i < kMaxStreams; ++i)
    if (mask.streams[i]) to.streams[i] = from.streams[i];
  for (UINT i = 0; i < kMaxClipPlanes; ++i)
    if (mask.clipPlanes[i]) std::memcpy(to.clipPlanes[i], from.clipPlanes[i], sizeof(from.clipPlanes[i]));
  for (const auto& [index, held] : mask.lights) {
    const auto source = from.lights.find(index);
    if (!held || source == from.lights.end()) continue;
    to.lights[index].light = source->second.light;  // a new slot starts disabled
  }
  for (const auto& [index, held] : mask.lightEnables) {
    if (!held) continue;
    const auto source = from.lights.find(index);
    const bool enabled = source != from.lights.end() && source->second.enabled;
    auto target = to.lights.find(index);
    if (target == to.lights.end()) {
      if (!enabled) continue;
      target = to.lights.emplace(index, LightSlot{source->second.light, false}).first;
    }
    target->second.enabled = enabled;
  }
  if (mask.viewport) to.viewport = from.viewport;
  if (mask.material) to.material = from.material;
  if (mask.indices) {
    to.indices = from.indices;
    to.baseVertexIndex = from.baseVertexIndex;
  }
  if (mask.vertexShader) to.vertexShader = from.vertexShader;
  if (mask.pixelShader) to.pixelShader = from.pixelShader;
  if (mask.currentPalette) to.currentPalette = from.currentPalette;
}

StateMask MaskForType(D3DSTATEBLOCKTYPE type, const DeviceState& current) {
  StateMask mask;
  const bool all = type == D3DSBT_ALL;
  const bool pixel = all || type == D3DSBT_PIXELSTATE;
  const bool vertex = all || type == D3DSBT_VERTEXSTATE;
  if (all) {
    for (const RenderStateDefault& entry : kRenderStates) mask.renderStates.set(entry.state);
  } else if (pixel) {
    for (D3DRENDERSTATETYPE state : kPixelRenderStates) mask.renderStates.set(state);
  } else {
    for (D3DRENDERSTATETYPE state : kVertexRenderStates) mask.renderStates.set(state);
  }
  for (UINT stage = 0; stage < kD3DTextureStageCount; ++stage)
    for (DWORD state = 0; state < kD3DTextureStageStateCount; ++state)
      if (ValidStageState(state) && (IsVertexStageState(state) ? vertex : pixel)) mask.stageStates[stage].set(state);
  if (vertex) {
    for (const auto& [index, slot] : current.lights) {
      mask.lights[index] = true;
      mask.lightEnables[index] = true;
    }
    mask.vertexShader = true;
  }
  if (pixel) mask.pixelShader = true;
  if (all) {
    for (UINT i = 0; i < kTransformSlots; ++i)
      if (ValidTransform(i)) mask.transforms.set(i);
    mask.textures.set();
    mask.streams.set();
    mask.clipPlanes.set();
    mask.viewport = true;
    mask.material = true;
    mask.indices = true;
    mask.currentPalette = true;
  }
  return mask;
}
