// The two renderers of the reference scene.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "reference_scene.h"

class SceneRenderer {
 public:
  virtual ~SceneRenderer() = default;
  virtual void DrawFrame(int frame) = 0;
  // The finished frame as A8R8G8B8 rows, for a look at it.
  virtual std::vector<uint32_t> Pixels() = 0;
};

std::unique_ptr<SceneRenderer> MakeKelvaneRenderer(const refscene::Scene& scene);
#ifdef KELVANE_HAVE_OSMESA
std::unique_ptr<SceneRenderer> MakeLlvmpipeRenderer(const refscene::Scene& scene);
#endif
