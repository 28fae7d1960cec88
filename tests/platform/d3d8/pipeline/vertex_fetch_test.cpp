#include "vertex_fetch.h"

#include <gtest/gtest.h>

#include <cstring>

using d3d8pipe::DecodeFvf;
using d3d8pipe::FetchedVertex;
using d3d8pipe::FetchVertex;

TEST(VertexFetchTest, LayoutsOfTheFormatsInUse) {
  struct Case {
    DWORD fvf;
    UINT size;
    int normal, pointSize, diffuse, specular;
    UINT sets;
  };
  const Case cases[] = {
      {D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32, 12, -1, -1, -1, 1},           // meshes
      {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, 24, -1, -1, 12, -1, 1},          // stars, sprites
      {D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 28, -1, -1, 16, -1, 1},       // pre-transformed sprites
      {D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR, 24, -1, 12, 16, 20, 0},
      {D3DFVF_XYZB2 | D3DFVF_NORMAL, 32, 20, -1, -1, -1, 0},                         // blend weights skipped
      {D3DFVF_XYZ | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE4(2), 12 + 4 + 8 + 16, -1, -1, -1, -1, 3},
  };
  for (const Case& c : cases) {
    const auto layout = DecodeFvf(c.fvf);
    SCOPED_TRACE(c.fvf);
    ASSERT_TRUE(layout.valid);
    EXPECT_EQ(layout.size, c.size);
    EXPECT_EQ(layout.normal, c.normal);
    EXPECT_EQ(layout.pointSize, c.pointSize);
    EXPECT_EQ(layout.diffuse, c.diffuse);
    EXPECT_EQ(layout.specular, c.specular);
    EXPECT_EQ(layout.texCoordSets, c.sets);
  }
  // Set sizes follow their two-bit codes, and offsets follow the sizes.
  const auto mixed = DecodeFvf(D3DFVF_XYZ | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE4(2));
  EXPECT_EQ(mixed.texCoordSize[0], 1u);
  EXPECT_EQ(mixed.texCoordSize[1], 2u);
  EXPECT_EQ(mixed.texCoordSize[2], 4u);
  EXPECT_EQ(mixed.texCoord[2], 12 + 4 + 8);
}

TEST(VertexFetchTest, RejectsCodesThatCannotBeDrawn) {
  for (DWORD fvf : {DWORD{0}, DWORD{D3DFVF_NORMAL}, DWORD{D3DFVF_XYZ | 1u}, DWORD{D3DFVF_XYZ | 0x2000u},
                    DWORD{D3DFVF_XYZ | (9u << D3DFVF_TEXCOUNT_SHIFT)}}) {
    EXPECT_FALSE(DecodeFvf(fvf).valid) << fvf;
  }
}

TEST(VertexFetchTest, ReadsElementsAndDefaultsMissingOnes) {
  struct {
    float x, y, z, rhw;
    float u, v;
  } screen{1, 2, 3, 0.5f, 0.25f, 0.75f};
  const auto layout = DecodeFvf(D3DFVF_XYZRHW | D3DFVF_TEX1);
  FetchedVertex v;
  FetchVertex(layout, reinterpret_cast<const BYTE*>(&screen), v);
  EXPECT_FLOAT_EQ(v.position[3], 0.5f);
  EXPECT_FLOAT_EQ(v.texCoord[0][1], 0.75f);
  EXPECT_EQ(v.diffuse, 0xFFFFFFFFu);  // white when the format has no colour
  EXPECT_EQ(v.specular, 0u);
  EXPECT_FLOAT_EQ(v.texCoord[1][0], 0.0f);
  EXPECT_FLOAT_EQ(v.texCoord[0][3], 1.0f);
}
