#include "texture_stages.h"

#include <gtest/gtest.h>

using namespace d3d8pipe;

namespace {

StageSetup Stage(DWORD op, DWORD arg1, DWORD arg2, DWORD alphaOp = D3DTOP_SELECTARG1, DWORD alphaArg1 = D3DTA_TEXTURE) {
  return StageSetup{op, D3DTA_CURRENT, arg1, arg2, alphaOp, D3DTA_CURRENT, alphaArg1, D3DTA_CURRENT, D3DTA_CURRENT, true};
}

TEST(TextureStagesTest, OperationsOnTextureAndDiffuse) {
  const StageInputs in{{0.5f, 0.25f, 1.0f, 0.5f}, {0.1f, 0.1f, 0.1f, 0}, {1, 0, 0, 0.25f}};
  const Color4 texture[1] = {{0.5f, 1.0f, 0.5f, 1.0f}};
  struct Case {
    DWORD op, arg1, arg2;
    Color4 expected;
  };
  const Case cases[] = {
      {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, {0.5f, 1.0f, 0.5f, 0}},
      {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, {0.5f, 0.25f, 1.0f, 0}},
      {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, {0.25f, 0.25f, 0.5f, 0}},
      {D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, {0.5f, 0.5f, 1.0f, 0}},
      {D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, {1.0f, 1.0f, 1.0f, 0}},  // saturates
      {D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE, {0.0f, 0.75f, 0.0f, 0}},
      {D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, {0.25f, 0.0f, 0.5f, 0}},
      {D3DTOP_SELECTARG1, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, D3DTA_CURRENT, {0.5f, 0.5f, 0.5f, 0}},
      {D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, {0.75f, 0.5f, 0.25f, 0}},
      {D3DTOP_SELECTARG1, D3DTA_SPECULAR, D3DTA_CURRENT, {0.1f, 0.1f, 0.1f, 0}},
  };
  for (const Case& c : cases) {
    const StageSetup stage = Stage(c.op, c.arg1, c.arg2);
    const Color4 out = RunStages(&stage, 1, in, texture);
    EXPECT_NEAR(out.r, c.expected.r, 1e-5) << c.op;
    EXPECT_NEAR(out.g, c.expected.g, 1e-5) << c.op;
    EXPECT_NEAR(out.b, c.expected.b, 1e-5) << c.op;
  }
}

TEST(TextureStagesTest, AlphaPathAndSecondStageUseCurrent) {
  const StageInputs in{{0.5f, 0.5f, 0.5f, 0.5f}, {}, {1, 1, 1, 1}};
  const Color4 texture[2] = {{1, 0, 0, 0.5f}, {0, 0, 1, 1}};
  StageSetup stages[2] = {Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE),
                          Stage(D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE)};
  stages[0].alphaArg2 = D3DTA_DIFFUSE;
  const Color4 out = RunStages(stages, 2, in, texture);
  EXPECT_NEAR(out.r, 0.5f, 1e-6);
  EXPECT_NEAR(out.b, 1.0f, 1e-6);
  EXPECT_NEAR(out.a, 0.25f, 1e-6);  // stage 1's disabled alpha keeps stage 0's
}

TEST(TextureStagesTest, ActiveStagesEndAtTheFirstDisabledOne) {
  DWORD states[kD3DTextureStageCount][kD3DTextureStageStateCount] = {};
  states[0][D3DTSS_COLOROP] = D3DTOP_MODULATE;
  states[1][D3DTSS_COLOROP] = D3DTOP_ADD;
  states[2][D3DTSS_COLOROP] = D3DTOP_DISABLE;
  states[3][D3DTSS_COLOROP] = D3DTOP_MODULATE;
  EXPECT_EQ(ActiveStageCount(states), 2);
  states[0][D3DTSS_COLOROP] = D3DTOP_DISABLE;
  EXPECT_EQ(ActiveStageCount(states), 0);
  states[0][D3DTSS_COLOROP] = 99;  // not an operation
  EXPECT_EQ(ActiveStageCount(states), 0);
}

}  // namespace
