#include "point_sprites.h"

#include <algorithm>

namespace d3d8pipe {

void ExpandPoint(const ScreenVertex& center, float size, bool sprite, int stageCount, int attrCount,
                 ScreenVertex corners[4]) {
  const float half = std::max(size, 1.0f) * 0.5f;
  for (int i = 0; i < 4; ++i) {
    ScreenVertex& c = corners[i];
    c.x = center.x + ((i & 1) ? half : -half);
    c.y = center.y + ((i & 2) ? half : -half);
    c.z = center.z;
    c.invW = center.invW;
    for (int a = 0; a < attrCount; ++a) c.attr[a] = center.attr[a];
    if (sprite) {
      for (int s = 0; s < stageCount; ++s) {
        c.attr[kTexAttr + 2 * s] = (i & 1) ? 1.0f : 0.0f;
        c.attr[kTexAttr + 2 * s + 1] = (i & 2) ? 1.0f : 0.0f;
      }
    }
  }
}

}  // namespace d3d8pipe
