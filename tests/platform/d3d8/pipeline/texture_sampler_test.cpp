#include "texture_sampler.h"

#include <gtest/gtest.h>

#include "scene_support.h"

using namespace d3d8pipe;

namespace {

DWORD StageDefaults(DWORD (&stage)[kD3DTextureStageStateCount]) {
  DrawContext c;
  SetDefaultStates(c);
  std::memcpy(stage, c.stageStates[0], sizeof stage);
  return 0;
}

// Four texels in a row: 0x10, 0x20, 0x30, 0x40 in red.
Texture Row() {
  return MakeTexture(4, 1, false, [](int x, int) { return 0xFF000000u | (static_cast<uint32_t>(x + 1) * 0x10u << 16); });
}

TEST(TextureSamplerTest, AddressModesMapTexelIndices) {
  const Texture row = Row();
  struct Case {
    DWORD mode;
    float u;
    uint32_t red;
  };
  const Case cases[] = {
      {D3DTADDRESS_WRAP, 1.1f, 0x10},   {D3DTADDRESS_WRAP, -0.1f, 0x40},  {D3DTADDRESS_MIRROR, 1.1f, 0x40},
      {D3DTADDRESS_MIRROR, 1.9f, 0x10}, {D3DTADDRESS_MIRROR, -0.1f, 0x10}, {D3DTADDRESS_CLAMP, 7.0f, 0x40},
      {D3DTADDRESS_CLAMP, -3.0f, 0x10}, {D3DTADDRESS_MIRRORONCE, -0.6f, 0x30}, {D3DTADDRESS_BORDER, 1.5f, 0xAB},
  };
  for (const Case& c : cases) {
    DWORD stage[kD3DTextureStageStateCount];
    StageDefaults(stage);
    stage[D3DTSS_ADDRESSU] = c.mode;
    stage[D3DTSS_BORDERCOLOR] = 0xFFAB0000;
    Sampler sampler;
    ASSERT_TRUE(sampler.Configure(&row.view, stage));
    EXPECT_EQ((sampler.Sample(c.u, 0.5f, -1.0f) >> 16) & 255, c.red) << "mode " << c.mode << " u " << c.u;
  }
}

TEST(TextureSamplerTest, LinearFilterBlendsNeighboursAndPointDoesNot) {
  const Texture row = Row();
  DWORD stage[kD3DTextureStageStateCount];
  StageDefaults(stage);
  stage[D3DTSS_ADDRESSU] = D3DTADDRESS_CLAMP;
  Sampler sampler;
  ASSERT_TRUE(sampler.Configure(&row.view, stage));
  EXPECT_EQ((sampler.Sample(0.5f, 0.5f, -1.0f) >> 16) & 255, 0x30u);  // texel 2's square
  stage[D3DTSS_MAGFILTER] = D3DTEXF_LINEAR;
  ASSERT_TRUE(sampler.Configure(&row.view, stage));
  // u = 0.5 is the border between texels 1 and 2: the average.
  EXPECT_NEAR(static_cast<int>((sampler.Sample(0.5f, 0.5f, -1.0f) >> 16) & 255), 0x28, 1);
  EXPECT_EQ((sampler.Sample(0.375f, 0.5f, -1.0f) >> 16) & 255, 0x20u);  // texel centre
}

TEST(TextureSamplerTest, MipLevelFollowsTheDerivatives) {
  // Every level a different colour: 16x16 red, 8x8 green, 4x4 blue, ...
  Texture t = MakeTexture(16, 16, true, [](int, int) { return 0xFFFF0000u; });
  const uint32_t colors[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF000000u};
  for (size_t l = 0; l < t.levels.size(); ++l) std::fill(t.levels[l].begin(), t.levels[l].end(), colors[l]);
  DWORD stage[kD3DTextureStageStateCount];
  StageDefaults(stage);
  stage[D3DTSS_MIPFILTER] = D3DTEXF_POINT;
  Sampler sampler;
  ASSERT_TRUE(sampler.Configure(&t.view, stage));
  // One texel per pixel: level 0; four per pixel: level 2.
  EXPECT_NEAR(sampler.Lod(1.0f / 16, 0, 0, 1.0f / 16), 0.0f, 0.01f);
  EXPECT_NEAR(sampler.Lod(4.0f / 16, 0, 0, 4.0f / 16), 2.0f, 0.01f);
  EXPECT_EQ(sampler.Sample(0.5f, 0.5f, sampler.Lod(4.0f / 16, 0, 0, 4.0f / 16)), colors[2]);
  // Linear mip filtering half way between levels 1 and 2.
  stage[D3DTSS_MIPFILTER] = D3DTEXF_LINEAR;
  ASSERT_TRUE(sampler.Configure(&t.view, stage));
  const uint32_t mixed = sampler.Sample(0.5f, 0.5f, 1.5f);
  EXPECT_NEAR(static_cast<int>((mixed >> 8) & 255), 0x80, 2);
  EXPECT_NEAR(static_cast<int>(mixed & 255), 0x80, 2);
  // MAXMIPLEVEL keeps the most detailed levels out; no mip filter samples the base.
  stage[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
  stage[D3DTSS_MAXMIPLEVEL] = 1;
  ASSERT_TRUE(sampler.Configure(&t.view, stage));
  EXPECT_EQ(sampler.Sample(0.5f, 0.5f, 3.0f), colors[1]);
}

TEST(TextureSamplerTest, MalformedViewsAreNotSampled) {
  Texture t = MakeTexture(4, 4, false, [](int, int) { return 0u; });
  DWORD stage[kD3DTextureStageStateCount];
  StageDefaults(stage);
  Sampler sampler;
  TextureView bad = t.view;
  bad.levels[0].pitch = 8;  // shorter than a row
  EXPECT_FALSE(sampler.Configure(&bad, stage));
  bad = t.view;
  bad.levelCount = 0;
  EXPECT_FALSE(sampler.Configure(&bad, stage));
  bad = t.view;
  bad.format = D3DFMT_P8;
  EXPECT_FALSE(sampler.Configure(&bad, stage));
  EXPECT_FALSE(sampler.Configure(nullptr, stage));
}

}  // namespace
