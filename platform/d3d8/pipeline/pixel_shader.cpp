#include "pixel_shader.h"

#include <algorithm>
#include <atomic>

#include "fast_spans.h"
#include "texel_formats.h"

namespace d3d8pipe {

bool PixelShader::Configure(const DrawContext& context) {
  if (!ConfigureTarget(context)) return false;
  ConfigureColor(context);
  return true;
}

bool PixelShader::ConfigureTarget(const DrawContext& context) {
  const DWORD* rs = context.renderStates;
  const SurfaceView& rt = context.renderTarget;
  targetKind = TargetKindOf(rt.format);
  targetBytes = TargetBytes(targetKind);
  if (targetKind == TargetKind::kNone || rt.bits == nullptr || rt.width == 0 || rt.height == 0 ||
      rt.pitch < static_cast<INT>(rt.width * targetBytes))
    return false;
  target = static_cast<BYTE*>(rt.bits);
  targetPitch = rt.pitch;

  depth = DepthBuffer{};
  if (context.depth.bits != nullptr && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
    const DepthKind kind = DepthKindOf(context.depth.format);
    if (kind == DepthKind::kNone || context.depth.width < rt.width || context.depth.height < rt.height ||
        context.depth.pitch < static_cast<INT>(context.depth.width * DepthBytes(kind)))
      return false;
    depth.bits = static_cast<BYTE*>(context.depth.bits);
    depth.pitch = context.depth.pitch;
    depth.kind = kind;
    depth.test = true;
    depth.write = rs[D3DRS_ZWRITEENABLE] != FALSE;
    depth.func = rs[D3DRS_ZFUNC];
  }

  stageCount = ActiveStageCount(context.stageStates);
  attrCount = kTexAttr + 2 * stageCount;
  return true;
}

void PixelShader::ConfigureColor(const DrawContext& context) {
  const DWORD* rs = context.renderStates;
  for (int s = 0; s < stageCount; ++s) {
    stages[s] = ReadStage(context.stageStates[s]);
    sampled[s] = stages[s].readsTexture && samplers[s].Configure(context.textures[s], context.stageStates[s]);
  }
  textureFactor = UnpackColor(rs[D3DRS_TEXTUREFACTOR]);
  specularAdd = rs[D3DRS_SPECULARENABLE] != FALSE;

  alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
  alphaFunc = rs[D3DRS_ALPHAFUNC];
  alphaRef = rs[D3DRS_ALPHAREF] & 0xFFu;
  blend.enabled = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
  blend.source = rs[D3DRS_SRCBLEND];
  blend.dest = rs[D3DRS_DESTBLEND];
  blend.op = rs[D3DRS_BLENDOP];
  blend.writeMask = rs[D3DRS_COLORWRITEENABLE];
}

namespace {
std::atomic<SpanRoutines> g_allowedRoutines{SpanRoutines::kFastest};
}  // namespace

void TestSetSpanRoutines(SpanRoutines routines) { g_allowedRoutines.store(routines); }
SpanRoutines AllowedSpanRoutines() { return g_allowedRoutines.load(); }

SpanFunction PixelShader::Span() const {
  if (AllowedSpanRoutines() == SpanRoutines::kGeneric) return ShadeSpanGeneric;
  if (SpanFunction fast = SelectFastSpan(*this)) return fast;
  return ShadeSpanGeneric;
}

void ShadeSpanGeneric(const void* opaque, const RasterPrimitive& p, int y, int x0, int x1) {
  const PixelShader& s = *static_cast<const PixelShader*>(opaque);
  const float fy = static_cast<float>(y) - p.originY;
  float fx = static_cast<float>(x0) - p.originX;
  float z = p.z.base + p.z.dx * fx + p.z.dy * fy;
  float q = p.invW.base + p.invW.dx * fx + p.invW.dy * fy;
  float attr[kMaxAttrs];
  for (int i = 0; i < s.attrCount; ++i) attr[i] = p.attr[i].base + p.attr[i].dx * fx + p.attr[i].dy * fy;

  BYTE* row = s.target + static_cast<ptrdiff_t>(y) * s.targetPitch;
  for (int x = x0; x <= x1; ++x) {
    uint32_t depthValue = 0;
    bool visible = true;
    if (s.depth.test) {
      depthValue = QuantizeDepth(s.depth.kind, z);
      visible = Compare(s.depth.func, depthValue & DepthMask(s.depth.kind), s.depth.Read(x, y) & DepthMask(s.depth.kind));
    }
    if (visible) {
      const float w = 1.0f / q;
      StageInputs in;
      in.diffuse = {attr[0] * w, attr[1] * w, attr[2] * w, attr[3] * w};
      in.specular = {attr[4] * w, attr[5] * w, attr[6] * w, attr[7] * w};
      in.factor = s.textureFactor;
      Color4 texture[kD3DTextureStageCount];
      for (int st = 0; st < s.stageCount; ++st) {
        if (!s.sampled[st]) {
          texture[st] = {1, 1, 1, 1};
          continue;
        }
        const Plane& pu = p.attr[kTexAttr + 2 * st];
        const Plane& pv = p.attr[kTexAttr + 2 * st + 1];
        const float u = attr[kTexAttr + 2 * st] * w, v = attr[kTexAttr + 2 * st + 1] * w;
        // d(U/Q)/dx = (dU/dx - u dQ/dx) / Q, exact for the perspective mapping.
        const float lod = s.samplers[st].Lod((pu.dx - u * p.invW.dx) * w, (pv.dx - v * p.invW.dx) * w,
                                              (pu.dy - u * p.invW.dy) * w, (pv.dy - v * p.invW.dy) * w);
        texture[st] = UnpackColor(s.samplers[st].Sample(u, v, lod));
      }
      Color4 color = s.stageCount > 0 ? RunStages(s.stages, s.stageCount, in, texture) : in.diffuse;
      if (s.specularAdd) {
        color.r += in.specular.r;
        color.g += in.specular.g;
        color.b += in.specular.b;
      }
      const uint32_t packed = PackColor(color);
      if (!s.alphaTest || Compare(s.alphaFunc, packed >> 24, s.alphaRef)) {
        if (s.depth.test && s.depth.write) s.depth.Write(x, y, depthValue);
        BYTE* pixel = row + static_cast<ptrdiff_t>(x) * s.targetBytes;
        uint32_t out = packed;
        if (s.blend.enabled || (s.blend.writeMask & 0xF) != 0xF) {
          const uint32_t dst = ReadTarget(s.targetKind, pixel);
          if (s.blend.enabled) out = Blend(s.blend, packed, dst);
          out = MaskChannels(s.blend.writeMask, out, dst);
        }
        WriteTarget(s.targetKind, pixel, out);
      }
    }
    z += p.z.dx;
    q += p.invW.dx;
    for (int i = 0; i < s.attrCount; ++i) attr[i] += p.attr[i].dx;
  }
}

}  // namespace d3d8pipe
