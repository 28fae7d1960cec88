#include "transform_lighting.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scene_support.h"

using namespace d3d8pipe;

namespace {

// Lights one vertex at the origin with normal (0, 0, 1) and returns its diffuse colour.
ClipVertex LightVertex(DrawContext& c, DWORD fvf, const FetchedVertex& in) {
  VertexProcessor processor;
  processor.Configure(c, DecodeFvf(fvf));
  ClipVertex out{};
  processor.Process(in, out);
  return out;
}

FetchedVertex At(float x, float y, float z) {
  FetchedVertex v{};
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  v.position[3] = 1;
  v.normal[2] = 1;
  v.diffuse = 0xFFFFFFFF;
  return v;
}

class LightingTest : public ::testing::Test {
 protected:
  LightingTest() {
    SetDefaultStates(c);
    c.viewport = {0, 0, 100, 100, 0, 1};
    c.material.Diffuse = {1, 0.5f, 0.25f, 0.75f};
    c.material.Ambient = {1, 1, 1, 1};
    c.renderStates[D3DRS_AMBIENT] = 0xFF333333;  // 0.2
    c.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_MATERIAL;
    light.Diffuse = {1, 1, 1, 1};
    c.lights = &light;
    c.lightCount = 1;
  }
  DrawContext c;
  D3DLIGHT8 light{};
};

TEST_F(LightingTest, DirectionalLightFollowsLambertAndAmbient) {
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0, -1, -1};  // 45° onto the normal
  const ClipVertex v = LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(0, 0, 0));
  const float lambert = std::sqrt(0.5f);
  EXPECT_NEAR(v.attr[0], std::min(1.0f, 0.2f + lambert), 1e-3);
  EXPECT_NEAR(v.attr[1], 0.2f + 0.5f * lambert, 1e-3);
  EXPECT_NEAR(v.attr[2], 0.2f + 0.25f * lambert, 1e-3);
  EXPECT_NEAR(v.attr[3], 0.75f, 1e-6);  // alpha from the diffuse material
}

TEST_F(LightingTest, LightFromBehindGivesOnlyAmbient) {
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0, 0, 1};
  const ClipVertex v = LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(0, 0, 0));
  EXPECT_NEAR(v.attr[1], 0.2f, 1e-3);
}

TEST_F(LightingTest, PointLightAttenuatesAndStopsAtItsRange) {
  light.Type = D3DLIGHT_POINT;
  light.Position = {0, 0, 2};
  light.Range = 3;
  light.Attenuation0 = 1;
  light.Attenuation1 = 0.5f;
  c.renderStates[D3DRS_AMBIENT] = 0;
  EXPECT_NEAR(LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(0, 0, 0)).attr[0], 1.0f / (1 + 0.5f * 2), 1e-4);
  light.Range = 1.5f;
  EXPECT_EQ(LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(0, 0, 0)).attr[0], 0.0f);
}

TEST_F(LightingTest, SpotLightConeHasFullInnerAndDarkOuterPart) {
  light.Type = D3DLIGHT_SPOT;
  light.Position = {0, 0, 1};
  light.Direction = {0, 0, -1};
  light.Range = 10;
  light.Attenuation0 = 1;
  light.Theta = 0.5f;
  light.Phi = 1.0f;
  light.Falloff = 1;
  c.renderStates[D3DRS_AMBIENT] = 0;
  const float inside = LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(0, 0, 0)).attr[0];
  const float outside = LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL, At(2, 0, 0)).attr[0];  // 63° off the axis
  EXPECT_NEAR(inside, 1.0f, 1e-4);
  EXPECT_EQ(outside, 0.0f);
}

TEST_F(LightingTest, VertexColourAsMaterialSourceAndUnlitVertices) {
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0, 0, -1};
  c.renderStates[D3DRS_AMBIENT] = 0;
  c.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  FetchedVertex in = At(0, 0, 0);
  in.diffuse = 0x80FF0000;
  const ClipVertex lit = LightVertex(c, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, in);
  EXPECT_NEAR(lit.attr[0], 1.0f, 1e-4);
  EXPECT_NEAR(lit.attr[1], 0.0f, 1e-4);
  EXPECT_NEAR(lit.attr[3], 128 / 255.0f, 1e-4);
  c.renderStates[D3DRS_LIGHTING] = FALSE;
  in.diffuse = 0xFF00FF00;
  const ClipVertex unlit = LightVertex(c, D3DFVF_XYZ | D3DFVF_DIFFUSE, in);
  EXPECT_NEAR(unlit.attr[1], 1.0f, 1e-6);
  EXPECT_NEAR(unlit.attr[0], 0.0f, 1e-6);
}

TEST_F(LightingTest, TransformUsesRowVectorsWorldViewProjection) {
  c.renderStates[D3DRS_LIGHTING] = FALSE;
  c.world = Translation(1, 0, 0);
  c.view = Translation(0, 2, 0);
  c.projection = Scaling(2, 2, 2);
  const ClipVertex v = LightVertex(c, D3DFVF_XYZ, At(1, 1, 1));
  EXPECT_FLOAT_EQ(v.pos[0], 4);  // (1 + 1) × 2
  EXPECT_FLOAT_EQ(v.pos[1], 6);  // (1 + 2) × 2
  EXPECT_FLOAT_EQ(v.pos[2], 2);
  EXPECT_FLOAT_EQ(v.pos[3], 1);
}

// One processor serves draw after draw: a matrix or light that changes in
// place between draws must take effect, and one that changes back too.
TEST_F(LightingTest, ReusedProcessorFollowsChangedMatricesAndLights) {
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0, 0, -1};  // straight onto the normal
  VertexProcessor processor;
  auto run = [&] {
    processor.Configure(c, DecodeFvf(D3DFVF_XYZ | D3DFVF_NORMAL));
    ClipVertex out{};
    processor.Process(At(1, 1, 1), out);
    return out;
  };
  EXPECT_FLOAT_EQ(run().pos[0], 1);
  c.world = Translation(2, 0, 0);
  EXPECT_FLOAT_EQ(run().pos[0], 3);
  c.projection = Scaling(2, 2, 2);
  EXPECT_FLOAT_EQ(run().pos[0], 6);
  c.view = Translation(0, 0, 1);
  EXPECT_FLOAT_EQ(run().pos[2], 4);
  c.world = c.view = c.projection = Translation(0, 0, 0);
  EXPECT_FLOAT_EQ(run().pos[0], 1);

  EXPECT_NEAR(run().attr[0], 1.0f, 1e-5);  // 0.2 ambient + full diffuse, clamped
  light.Diffuse = {0.25f, 0.25f, 0.25f, 1};
  EXPECT_NEAR(run().attr[0], 0.45f, 1e-5);
  c.view = Scaling(1, 1, -1);  // the camera turns the light and the normal alike
  EXPECT_NEAR(run().attr[0], 0.45f, 1e-5);
  light.Direction = {0, 0, 1};  // from behind: ambient only
  EXPECT_NEAR(run().attr[0], 0.2f, 1e-5);
  light.Direction = {0, 0, -1};
  c.lightCount = 0;
  EXPECT_NEAR(run().attr[0], 0.2f, 1e-5);
}

TEST_F(LightingTest, PointSizeScalesWithDistanceAndIsClamped) {
  c.renderStates[D3DRS_LIGHTING] = FALSE;
  c.renderStates[D3DRS_POINTSCALEENABLE] = TRUE;
  c.renderStates[D3DRS_POINTSIZE] = FloatBits(2.0f);
  c.renderStates[D3DRS_POINTSCALE_A] = FloatBits(0.0f);
  c.renderStates[D3DRS_POINTSCALE_C] = FloatBits(1.0f);
  // 100-pixel viewport × 2 / distance 10.
  EXPECT_NEAR(LightVertex(c, D3DFVF_XYZ, At(0, 0, -10)).pointSize, 20.0f, 1e-3);
  c.renderStates[D3DRS_POINTSIZE_MAX] = FloatBits(8.0f);
  EXPECT_NEAR(LightVertex(c, D3DFVF_XYZ, At(0, 0, -10)).pointSize, 8.0f, 1e-6);
}

}  // namespace
