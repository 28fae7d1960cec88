#include "texture_stages.h"

#include <algorithm>

namespace d3d8pipe {

namespace {

float Clamp(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

Color4 Argument(DWORD arg, const StageInputs& in, const Color4& current, const Color4& temp, const Color4& texture) {
  Color4 c;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: c = in.diffuse; break;
    case D3DTA_CURRENT: c = current; break;
    case D3DTA_TEXTURE: c = texture; break;
    case D3DTA_TFACTOR: c = in.factor; break;
    case D3DTA_SPECULAR: c = in.specular; break;
    case D3DTA_TEMP: c = temp; break;
    default: c = current; break;
  }
  if (arg & D3DTA_COMPLEMENT) c = {1 - c.r, 1 - c.g, 1 - c.b, 1 - c.a};
  if (arg & D3DTA_ALPHAREPLICATE) c = {c.a, c.a, c.a, c.a};
  return c;
}

// One channel of an operation; `alpha*` are the alphas some operations blend with.
float Operate(DWORD op, float a0, float a1, float a2, float diffuseAlpha, float textureAlpha, float factorAlpha,
              float currentAlpha, float arg1Alpha) {
  switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return a1 * a2;
    case D3DTOP_MODULATE2X: return 2 * a1 * a2;
    case D3DTOP_MODULATE4X: return 4 * a1 * a2;
    case D3DTOP_ADD: return a1 + a2;
    case D3DTOP_ADDSIGNED: return a1 + a2 - 0.5f;
    case D3DTOP_ADDSIGNED2X: return 2 * (a1 + a2 - 0.5f);
    case D3DTOP_SUBTRACT: return a1 - a2;
    case D3DTOP_ADDSMOOTH: return a1 + a2 - a1 * a2;
    case D3DTOP_BLENDDIFFUSEALPHA: return a1 * diffuseAlpha + a2 * (1 - diffuseAlpha);
    case D3DTOP_BLENDTEXTUREALPHA: return a1 * textureAlpha + a2 * (1 - textureAlpha);
    case D3DTOP_BLENDFACTORALPHA: return a1 * factorAlpha + a2 * (1 - factorAlpha);
    case D3DTOP_BLENDTEXTUREALPHAPM: return a1 + a2 * (1 - textureAlpha);
    case D3DTOP_BLENDCURRENTALPHA: return a1 * currentAlpha + a2 * (1 - currentAlpha);
    case D3DTOP_MODULATEALPHA_ADDCOLOR: return a1 + arg1Alpha * a2;
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return a1 + (1 - arg1Alpha) * a2;
    case D3DTOP_MULTIPLYADD: return a0 + a1 * a2;
    case D3DTOP_LERP: return a0 * a1 + (1 - a0) * a2;
    default: return a1;
  }
}

}  // namespace

int ActiveStageCount(const DWORD (*stageStates)[kD3DTextureStageStateCount]) {
  int count = 0;
  while (count < static_cast<int>(kD3DTextureStageCount) && stageStates[count][D3DTSS_COLOROP] != D3DTOP_DISABLE &&
         stageStates[count][D3DTSS_COLOROP] >= D3DTOP_SELECTARG1 && stageStates[count][D3DTSS_COLOROP] <= D3DTOP_LERP)
    ++count;
  return count;
}

StageSetup ReadStage(const DWORD* s) {
  StageSetup stage{s[D3DTSS_COLOROP],  s[D3DTSS_COLORARG0], s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2],
                   s[D3DTSS_ALPHAOP],  s[D3DTSS_ALPHAARG0], s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2],
                   s[D3DTSS_RESULTARG], false};
  auto reads = [](DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
  const bool threeArgColor = stage.colorOp == D3DTOP_MULTIPLYADD || stage.colorOp == D3DTOP_LERP;
  const bool threeArgAlpha = stage.alphaOp == D3DTOP_MULTIPLYADD || stage.alphaOp == D3DTOP_LERP;
  stage.readsTexture = reads(stage.colorArg1) || reads(stage.colorArg2) || (threeArgColor && reads(stage.colorArg0)) ||
                       stage.colorOp == D3DTOP_BLENDTEXTUREALPHA || stage.colorOp == D3DTOP_BLENDTEXTUREALPHAPM ||
                       (stage.alphaOp != D3DTOP_DISABLE &&
                        (reads(stage.alphaArg1) || reads(stage.alphaArg2) || (threeArgAlpha && reads(stage.alphaArg0)) ||
                         stage.alphaOp == D3DTOP_BLENDTEXTUREALPHA || stage.alphaOp == D3DTOP_BLENDTEXTUREALPHAPM));
  return stage;
}

Color4 RunStages(const StageSetup* stages, int count, const StageInputs& in, const Color4* texture) {
  Color4 current = in.diffuse;
  Color4 temp{0, 0, 0, 0};
  for (int s = 0; s < count; ++s) {
    const StageSetup& st = stages[s];
    const Color4& tex = texture[s];
    const Color4 c0 = Argument(st.colorArg0, in, current, temp, tex);
    const Color4 c1 = Argument(st.colorArg1, in, current, temp, tex);
    const Color4 c2 = Argument(st.colorArg2, in, current, temp, tex);
    Color4 result;
    if (st.colorOp == D3DTOP_DOTPRODUCT3) {
      const float dot = Clamp(4 * ((c1.r - 0.5f) * (c2.r - 0.5f) + (c1.g - 0.5f) * (c2.g - 0.5f) +
                                   (c1.b - 0.5f) * (c2.b - 0.5f)));
      result = {dot, dot, dot, dot};
    } else {
      const float da = in.diffuse.a, ta = tex.a, fa = in.factor.a, ca = current.a;
      result.r = Clamp(Operate(st.colorOp, c0.r, c1.r, c2.r, da, ta, fa, ca, c1.a));
      result.g = Clamp(Operate(st.colorOp, c0.g, c1.g, c2.g, da, ta, fa, ca, c1.a));
      result.b = Clamp(Operate(st.colorOp, c0.b, c1.b, c2.b, da, ta, fa, ca, c1.a));
      if (st.alphaOp == D3DTOP_DISABLE || st.alphaOp < D3DTOP_SELECTARG1 || st.alphaOp > D3DTOP_LERP) {
        result.a = current.a;
      } else {
        const float a0 = Argument(st.alphaArg0, in, current, temp, tex).a;
        const float a1 = Argument(st.alphaArg1, in, current, temp, tex).a;
        const float a2 = Argument(st.alphaArg2, in, current, temp, tex).a;
        result.a = Clamp(Operate(st.alphaOp, a0, a1, a2, da, ta, fa, ca, a1));
      }
    }
    if ((st.resultArg & D3DTA_SELECTMASK) == D3DTA_TEMP) {
      temp = result;
    } else {
      current = result;
    }
  }
  return current;
}

}  // namespace d3d8pipe
