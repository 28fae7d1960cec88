// The vertex record that flows from transform and lighting through clipping to
// triangle setup.
#pragma once

#include "d3d8_types.h"

namespace d3d8pipe {

// Interpolated attributes of a vertex, in a fixed order: diffuse r, g, b, a;
// specular r, g, b, a; then u, v per texture stage.
constexpr int kDiffuseAttr = 0;
constexpr int kSpecularAttr = 4;
constexpr int kTexAttr = 8;
constexpr int kMaxAttrs = kTexAttr + 2 * static_cast<int>(kD3DTextureStageCount);

struct ClipVertex {
  // Clip-space position (x, y, z, w), or for pre-transformed vertices screen x,
  // y, z and w = 1 / rhw.
  float pos[4];
  float attr[kMaxAttrs];
  float pointSize;  // pixels
};

}  // namespace d3d8pipe
