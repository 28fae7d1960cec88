// State shared by the specialised span routines (SSE2 and AVX2 forms).
#pragma once

#include "draw_context.h"
#include "rasterizer.h"

namespace d3d8pipe {

// Where the colour and alpha of the single stage come from.
enum class Source : uint8_t { kDiffuse, kTexture, kModulate, kOne };

enum class DepthMode : uint8_t { kNone, k16, k24 };

struct FastLevel {
  const BYTE* bits;
  INT pitch;
  int widthMask, heightMask;
  float width, height;
  int8_t shiftX, shiftY;  // log2 of level 0's size over this level's
  bool pairs;             // at least two texels across and down
};

// Everything the specialised routines need, derived from a PixelShader that
// qualifies. Lives inside the shader's scratch space.
struct FastState {
  Source color, alpha;
  bool textured;
  bool clampU, clampV;
  bool magLinear, minLinear;
  DWORD mipFilter;
  float lodBias;
  int baseLevel, lastLevel;
  float width0, height0;
  FastLevel levels[kMaxTextureLevels];
  bool depthWrite;
  uint32_t depthInclusive;  // 1 for LESSEQUAL, 0 for LESS
};

// The eight-pixel form of the specialised routine for these states, or
// nullptr when the processor lacks AVX2 or the states need what only the SSE2
// form does. Where the processor has AVX-512 it is the AVX-512 build.
SpanFunction SelectAvx2Span(DepthMode depth, bool textured, bool blend, const FastState& state);
// The AVX-512 build alone; nullptr without AVX-512.
SpanFunction SelectAvx512Span(DepthMode depth, bool textured, bool blend, const FastState& state);

}  // namespace d3d8pipe
