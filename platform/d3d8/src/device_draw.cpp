// Drawing: every Draw* call checks its arguments, the vertex format and the
// buffers here, then goes through SubmitDraw, the one place where the device
// meets the drawing pipeline: it fills the pipeline's DrawContext from the
// device's states and hands the draw over.
#include <algorithm>
#include <cstring>
#include <new>

#include "debug_channel.h"
#include "device.h"
#include "draw_context.h"
#include "fvf.h"
#include "profile.h"

struct DrawCall {
  D3DPRIMITIVETYPE type;
  UINT primitiveCount;
  bool indexed;
  UINT startVertex;  // not indexed
  UINT minIndex;     // indexed
  UINT numVertices;
  UINT startIndex;
  d3d8pipe::VertexStreamView stream;
  d3d8pipe::IndexView indices;
};

namespace {

// Vertices (or indices) that `count` primitives of `type` use; 0 for an unknown type.
uint64_t VerticesFor(D3DPRIMITIVETYPE type, UINT count) {
  switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return uint64_t{count} * 2;
    case D3DPT_LINESTRIP: return uint64_t{count} + 1;
    case D3DPT_TRIANGLELIST: return uint64_t{count} * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return uint64_t{count} + 2;
    default: return 0;
  }
}

d3d8pipe::SurfaceView ViewOf(PixelImage& image) {
  return {image.Bytes(), static_cast<INT>(image.RowPitch()), image.Format(), image.Width(), image.Height()};
}

}  // namespace

HRESULT Device::CheckDrawState(const char* call, D3DPRIMITIVETYPE type, UINT primitiveCount,
                               UINT* vertexCount) const {
  if (!inScene_) return Fail(D3DERR_INVALIDCALL, call, "draws belong between BeginScene and EndScene");
  const uint64_t vertices = VerticesFor(type, primitiveCount);
  if (vertices == 0) return Fail(D3DERR_INVALIDCALL, call, "unknown primitive type or no primitives");
  if (primitiveCount > CurrentProfile().caps.MaxPrimitiveCount)
    return Fail(D3DERR_INVALIDCALL, call, "more primitives than MaxPrimitiveCount");
  if (!ValidFvf(state_.vertexShader)) return Fail(D3DERR_INVALIDCALL, call, "no vertex format is set");
  *vertexCount = static_cast<UINT>(vertices);
  return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) {
  UINT vertices = 0;
  const HRESULT hr = CheckDrawState("DrawPrimitive", primitiveType, primitiveCount, &vertices);
  if (FAILED(hr)) return hr;
  const StreamSlot& slot = state_.streams[0];
  const VertexBuffer* buffer = slot.buffer.Get();
  if (buffer == nullptr) return Fail(D3DERR_INVALIDCALL, "DrawPrimitive", "no vertex buffer on stream 0");
  if (buffer->Store().IsLocked()) return Fail(D3DERR_INVALIDCALL, "DrawPrimitive", "the vertex buffer is locked");
  if (slot.stride < FvfVertexSize(state_.vertexShader))
    return Fail(D3DERR_INVALIDCALL, "DrawPrimitive", "stride smaller than the vertex format");
  const UINT available = buffer->Store().Length() / slot.stride;
  if (uint64_t{startVertex} + vertices > available)
    return Fail(D3DERR_INVALIDCALL, "DrawPrimitive", "vertices beyond the end of the vertex buffer");
  DrawCall call{primitiveType, primitiveCount, false, startVertex, 0, 0, 0, {}, {}};
  call.stream = {buffer->Store().Bytes(), slot.stride, state_.vertexShader, available};
  return SubmitDraw(call);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, UINT minIndex, UINT numVertices,
                                     UINT startIndex, UINT primitiveCount) {
  UINT indexCount = 0;
  const HRESULT hr = CheckDrawState("DrawIndexedPrimitive", primitiveType, primitiveCount, &indexCount);
  if (FAILED(hr)) return hr;
  const StreamSlot& slot = state_.streams[0];
  const VertexBuffer* vertices = slot.buffer.Get();
  const IndexBuffer* indices = state_.indices.Get();
  if (vertices == nullptr || indices == nullptr)
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "no vertex buffer on stream 0 or no index buffer");
  if (vertices->Store().IsLocked() || indices->Store().IsLocked())
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "a buffer is locked");
  if (slot.stride < FvfVertexSize(state_.vertexShader))
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "stride smaller than the vertex format");
  if (numVertices == 0) return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "no vertices");
  const UINT available = vertices->Store().Length() / slot.stride;
  if (uint64_t{state_.baseVertexIndex} + minIndex + numVertices > available)
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "vertex range beyond the end of the vertex buffer");
  const UINT indexSize = indices->IndexSize();
  const UINT indexTotal = indices->Store().Length() / indexSize;
  if (uint64_t{startIndex} + indexCount > indexTotal)
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitive", "indices beyond the end of the index buffer");
  DrawCall call{primitiveType, primitiveCount, true, 0, minIndex, numVertices, startIndex, {}, {}};
  call.stream = {vertices->Store().Bytes(), slot.stride, state_.vertexShader, available};
  call.indices = {indices->Store().Bytes(), indexSize == 4, indexTotal, state_.baseVertexIndex};
  return SubmitDraw(call);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexStreamZeroData,
                                UINT vertexStreamZeroStride) {
  UINT vertices = 0;
  const HRESULT hr = CheckDrawState("DrawPrimitiveUP", primitiveType, primitiveCount, &vertices);
  if (FAILED(hr)) return hr;
  if (vertexStreamZeroData == nullptr || vertexStreamZeroStride < FvfVertexSize(state_.vertexShader))
    return Fail(D3DERR_INVALIDCALL, "DrawPrimitiveUP", "no vertices or stride smaller than the vertex format");
  DrawCall call{primitiveType, primitiveCount, false, 0, 0, 0, 0, {}, {}};
  call.stream = {static_cast<const BYTE*>(vertexStreamZeroData), vertexStreamZeroStride, state_.vertexShader, vertices};
  const HRESULT drawn = SubmitDraw(call);
  // As on the platform, a draw from user memory leaves stream 0 unset.
  state_.streams[0] = {};
  return drawn;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT minVertexIndex, UINT numVertexIndices,
                                       UINT primitiveCount, const void* indexData, D3DFORMAT indexDataFormat,
                                       const void* vertexStreamZeroData, UINT vertexStreamZeroStride) {
  UINT indexCount = 0;
  const HRESULT hr = CheckDrawState("DrawIndexedPrimitiveUP", primitiveType, primitiveCount, &indexCount);
  if (FAILED(hr)) return hr;
  if (indexData == nullptr || vertexStreamZeroData == nullptr || numVertexIndices == 0 ||
      (indexDataFormat != D3DFMT_INDEX16 && indexDataFormat != D3DFMT_INDEX32) ||
      vertexStreamZeroStride < FvfVertexSize(state_.vertexShader))
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitiveUP", "missing data, bad index format or stride");
  if (uint64_t{minVertexIndex} + numVertexIndices > UINT32_MAX)
    return Fail(D3DERR_INVALIDCALL, "DrawIndexedPrimitiveUP", "vertex range too large");
  DrawCall call{primitiveType, primitiveCount, true, 0, minVertexIndex, numVertexIndices, 0, {}, {}};
  call.stream = {static_cast<const BYTE*>(vertexStreamZeroData), vertexStreamZeroStride, state_.vertexShader,
                 minVertexIndex + numVertexIndices};
  call.indices = {indexData, indexDataFormat == D3DFMT_INDEX32, indexCount, 0};
  const HRESULT drawn = SubmitDraw(call);
  state_.streams[0] = {};
  state_.indices.Reset();
  state_.baseVertexIndex = 0;
  return drawn;
}

HRESULT Device::SubmitDraw(const DrawCall& call) {
  // The enabled lights change rarely compared with draws: keep the list.
  if (lightsChanged_) {
    enabledLights_.clear();
    try {
      for (const auto& [index, slot] : state_.lights)
        if (slot.enabled) enabledLights_.push_back(slot.light);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    lightsChanged_ = false;
  }
  d3d8pipe::DrawContext context;
  context.renderTarget = ViewOf(renderTarget_.Get()->Image());
  if (depthStencil_) context.depth = ViewOf(depthStencil_.Get()->Image());
  context.viewport = state_.viewport;
  std::memcpy(context.renderStates, state_.renderStates, sizeof(context.renderStates));
  std::memcpy(context.stageStates, state_.stageStates, sizeof(context.stageStates));
  context.world = state_.transforms[D3DTS_WORLD];
  context.view = state_.transforms[D3DTS_VIEW];
  context.projection = state_.transforms[D3DTS_PROJECTION];
  context.material = state_.material;
  context.lights = enabledLights_.data();
  context.lightCount = static_cast<UINT>(enabledLights_.size());
  d3d8pipe::TextureView textures[kD3DTextureStageCount];
  for (UINT stage = 0; stage < kD3DTextureStageCount; ++stage) {
    TextureCore* texture = state_.textures[stage].Get();
    // The pipeline samples 2-D textures; cube and volume textures draw as none.
    if (texture == nullptr || texture->Params().type != D3DRTYPE_TEXTURE) continue;
    d3d8pipe::TextureView& view = textures[stage];
    view.format = texture->Params().format;
    view.levelCount = std::min<UINT>(texture->Levels(), d3d8pipe::kMaxTextureLevels);
    for (UINT level = 0; level < view.levelCount; ++level) view.levels[level] = ViewOf(texture->LevelImage(0, level));
    context.textures[stage] = &view;
  }
  context.stream = call.stream;
  context.indices = call.indices;
  if (!call.indexed) return d3d8pipe::DrawPrimitives(context, call.type, call.startVertex, call.primitiveCount);
  return d3d8pipe::DrawIndexedPrimitives(context, call.type, call.minIndex, call.numVertices, call.startIndex,
                                         call.primitiveCount);
}

HRESULT Device::ProcessVertices(UINT, UINT, UINT, IDirect3DVertexBuffer8*, DWORD) {
  return Fail(D3DERR_NOTAVAILABLE, "ProcessVertices", "vertex processing into buffers is not supported");
}

// ---- programmable shaders and patches: the device has none -----------------------------------
HRESULT Device::CreateVertexShader(const DWORD*, const DWORD*, DWORD*, DWORD) {
  return Fail(D3DERR_INVALIDCALL, "CreateVertexShader", "the device has no programmable vertex shaders");
}
HRESULT Device::DeleteVertexShader(DWORD) {
  return Fail(D3DERR_INVALIDCALL, "DeleteVertexShader", "no such shader");
}
HRESULT Device::SetVertexShaderConstant(DWORD, const void*, DWORD) {
  return Fail(D3DERR_INVALIDCALL, "SetVertexShaderConstant", "the device has no shader constants");
}
HRESULT Device::GetVertexShaderConstant(DWORD, void*, DWORD) {
  return Fail(D3DERR_INVALIDCALL, "GetVertexShaderConstant", "the device has no shader constants");
}
HRESULT Device::GetVertexShaderDeclaration(DWORD, void*, DWORD*) {
  return Fail(D3DERR_INVALIDCALL, "GetVertexShaderDeclaration", "no such shader");
}
HRESULT Device::GetVertexShaderFunction(DWORD, void*, DWORD*) {
  return Fail(D3DERR_INVALIDCALL, "GetVertexShaderFunction", "no such shader");
}
HRESULT Device::CreatePixelShader(const DWORD*, DWORD*) {
  return Fail(D3DERR_INVALIDCALL, "CreatePixelShader", "the device has no pixel shaders");
}
HRESULT Device::DeletePixelShader(DWORD) { return Fail(D3DERR_INVALIDCALL, "DeletePixelShader", "no such shader"); }
HRESULT Device::SetPixelShaderConstant(DWORD, const void*, DWORD) {
  return Fail(D3DERR_INVALIDCALL, "SetPixelShaderConstant", "the device has no pixel shaders");
}
HRESULT Device::GetPixelShaderConstant(DWORD, void*, DWORD) {
  return Fail(D3DERR_INVALIDCALL, "GetPixelShaderConstant", "the device has no pixel shaders");
}
HRESULT Device::GetPixelShaderFunction(DWORD, void*, DWORD*) {
  return Fail(D3DERR_INVALIDCALL, "GetPixelShaderFunction", "no such shader");
}
HRESULT Device::DrawRectPatch(UINT, const float*, const D3DRECTPATCH_INFO*) {
  return Fail(D3DERR_INVALIDCALL, "DrawRectPatch", "the device draws no patches");
}
HRESULT Device::DrawTriPatch(UINT, const float*, const D3DTRIPATCH_INFO*) {
  return Fail(D3DERR_INVALIDCALL, "DrawTriPatch", "the device draws no patches");
}
HRESULT Device::DeletePatch(UINT) { return Fail(D3DERR_INVALIDCALL, "DeletePatch", "no such patch"); }
