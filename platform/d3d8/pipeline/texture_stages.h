// Texture stages: the fixed-function colour and alpha operations that combine
// the diffuse and specular colours, the texture colours, the texture factor and
// the temporary register, stage after stage.
#pragma once

#include "pixel_output.h"

namespace d3d8pipe {

struct StageSetup {
  DWORD colorOp, colorArg0, colorArg1, colorArg2;
  DWORD alphaOp, alphaArg0, alphaArg1, alphaArg2;
  DWORD resultArg;
  bool readsTexture;
};

struct StageInputs {
  Color4 diffuse, specular, factor;
};

// Number of leading stages that are not disabled, at most kD3DTextureStageCount.
int ActiveStageCount(const DWORD (*stageStates)[kD3DTextureStageStateCount]);

StageSetup ReadStage(const DWORD* stageStates);

// Runs stages 0..count-1; texture[s] is the sampled colour of stage s.
Color4 RunStages(const StageSetup* stages, int count, const StageInputs& inputs, const Color4* texture);

}  // namespace d3d8pipe
