#include "pixel_output.h"

#include <gtest/gtest.h>

using namespace d3d8pipe;

namespace {

TEST(PixelOutputTest, BlendFactorsAndOperations) {
  const uint32_t src = 0x80FF0000, dst = 0xFF0000FF;  // half-transparent red over blue
  struct Case {
    DWORD source, dest, op;
    uint32_t expected;
  };
  const Case cases[] = {
      {D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD, src},
      {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, dst},
      {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 0xBF80007F},
      {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, 0xFFFF00FF},
      {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 0x80000000},
      {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 0x00FF0000},
      {D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA, D3DBLENDOP_ADD, src},
      {D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR, D3DBLENDOP_ADD, 0xBFFF00FF},
      {D3DBLEND_BOTHSRCALPHA, D3DBLEND_ZERO, D3DBLENDOP_ADD, 0xBF80007F},
      {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 0x7F0000FF},
      {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_MAX, 0xFFFF00FF},
  };
  for (const Case& c : cases) {
    BlendState state;
    state.enabled = true;
    state.source = c.source;
    state.dest = c.dest;
    state.op = c.op;
    const uint32_t out = Blend(state, src, dst);
    for (int shift = 0; shift < 32; shift += 8) {
      EXPECT_NEAR(static_cast<int>((out >> shift) & 255), static_cast<int>((c.expected >> shift) & 255), 1)
          << c.source << "/" << c.dest << "/" << c.op << " channel " << shift;
    }
  }
}

TEST(PixelOutputTest, DepthQuantizationKeepsOrderAndRange) {
  for (DepthKind kind : {DepthKind::k16, DepthKind::k15S1, DepthKind::k24, DepthKind::k32}) {
    EXPECT_EQ(QuantizeDepth(kind, 1.0f), DepthMask(kind)) << static_cast<int>(kind);  // the far plane fills the depth bits
    EXPECT_EQ(QuantizeDepth(kind, 0.0f), 0u);
    EXPECT_EQ(QuantizeDepth(kind, 2.0f), QuantizeDepth(kind, 1.0f));
    EXPECT_LT(QuantizeDepth(kind, 0.25f), QuantizeDepth(kind, 0.5f));
  }
  EXPECT_TRUE(Compare(D3DCMP_LESSEQUAL, 5, 5));
  EXPECT_FALSE(Compare(D3DCMP_LESS, 5, 5));
  EXPECT_TRUE(Compare(D3DCMP_GREATER, 6, 5));
  EXPECT_FALSE(Compare(D3DCMP_NEVER, 0, 0));
}

TEST(PixelOutputTest, DepthWriteKeepsStencilBits) {
  uint32_t word = 0x123456AB;
  DepthBuffer depth;
  depth.bits = reinterpret_cast<BYTE*>(&word);
  depth.pitch = 4;
  depth.kind = DepthKind::k24;
  depth.Write(0, 0, QuantizeDepth(DepthKind::k24, 1.0f));
  EXPECT_EQ(word, 0xFFFFFFABu);
}

TEST(PixelOutputTest, TargetFormatsRoundTrip) {
  BYTE pixel[4];
  WriteTarget(TargetKind::kR5G6B5, pixel, 0xFFFF8000);
  EXPECT_EQ(ReadTarget(TargetKind::kR5G6B5, pixel), 0xFFFF8200u);
  WriteTarget(TargetKind::kA1R5G5B5, pixel, 0x7F00FF00);
  EXPECT_EQ(ReadTarget(TargetKind::kA1R5G5B5, pixel), 0x0000FF00u);
  WriteTarget(TargetKind::kX8R8G8B8, pixel, 0x00123456);
  EXPECT_EQ(ReadTarget(TargetKind::kX8R8G8B8, pixel), 0xFF123456u);
  EXPECT_EQ(MaskChannels(D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_ALPHA, 0x11223344, 0xAABBCCDD), 0x1122CCDDu);
}

}  // namespace
