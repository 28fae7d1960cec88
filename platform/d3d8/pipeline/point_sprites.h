// Points: each point becomes a screen-aligned square of its point size, drawn
// as two triangles. With point sprites on, every texture stage's coordinates
// run from (0, 0) at the top-left corner to (1, 1) at the bottom-right one.
#pragma once

#include "triangle_setup.h"

namespace d3d8pipe {

// Writes the four corners (top-left, top-right, bottom-left, bottom-right).
void ExpandPoint(const ScreenVertex& center, float size, bool sprite, int stageCount, int attrCount,
                 ScreenVertex corners[4]);

}  // namespace d3d8pipe
