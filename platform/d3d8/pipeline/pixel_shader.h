// The per-pixel work of one draw, compiled once from the draw's states:
// perspective-correct attributes, texture sampling per stage, the stage
// combiners, specular add, alpha test, depth test and write, blending and the
// write to the render target. A generic span routine handles every state
// combination; specialised routines take over the common ones.
#pragma once

#include "rasterizer.h"
#include "texture_sampler.h"
#include "texture_stages.h"

namespace d3d8pipe {

struct PixelShader {
  // Target and depth.
  BYTE* target = nullptr;
  INT targetPitch = 0;
  TargetKind targetKind = TargetKind::kNone;
  UINT targetBytes = 0;
  DepthBuffer depth;

  // Colour.
  int stageCount = 0;
  StageSetup stages[kD3DTextureStageCount];
  Sampler samplers[kD3DTextureStageCount];
  bool sampled[kD3DTextureStageCount] = {};  // stage reads a texture that can be sampled
  Color4 textureFactor{1, 1, 1, 1};
  bool specularAdd = false;

  // Output.
  bool alphaTest = false;
  DWORD alphaFunc = D3DCMP_ALWAYS;
  uint32_t alphaRef = 0;
  BlendState blend;

  int attrCount = kTexAttr;  // attributes the primitives carry

  // Scratch space for the state of a specialised span routine.
  alignas(16) unsigned char fastState[640];

  // Compiles the states; false when the target or depth view cannot be drawn to.
  bool Configure(const DrawContext& context);
  // The two halves of Configure: the target, the depth buffer and the number of
  // stages and attributes, which assembly needs; and the rest, which only
  // drawing needs (a draw whose primitives all fall outside skips it).
  bool ConfigureTarget(const DrawContext& context);
  void ConfigureColor(const DrawContext& context);

  // The span routine for these states.
  SpanFunction Span() const;
};

// Which span routines may be chosen; tests compare the specialised ones with
// the generic one. The program never calls this.
enum class SpanRoutines { kFastest, kSse2, kGeneric };
void TestSetSpanRoutines(SpanRoutines routines);
SpanRoutines AllowedSpanRoutines();

// The generic routine, also used by the tests as the reference for the specialised ones.
void ShadeSpanGeneric(const void* shader, const RasterPrimitive& primitive, int y, int x0, int x1);

}  // namespace d3d8pipe
