// Frames per second of the reference scene at 640x480: the drawing pipeline on
// one core and on all cores, and, when OSMesa is installed, the same scene on
// Mesa's llvmpipe with the thread count of $LP_NUM_THREADS (run the program
// once with LP_NUM_THREADS=1 and once without for like-with-like figures).
// With KELVANE_RENDER_DUMP=prefix set, each renderer's last frame is written to
// <prefix>-kelvane.ppm and <prefix>-llvmpipe.ppm. KELVANE_RENDER_PARTS (for
// example "globe" or "grid,stars") draws only those parts of the scene.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "draw_context.h"
#include "renderers.h"

namespace {

const refscene::Scene& SharedScene() {
  static refscene::Scene* scene = [] {
    auto* s = new refscene::Scene;
    refscene::Build(*s);
    std::fprintf(stderr, "earth image: %s\n", s->earthSource.c_str());
    return s;
  }();
  return *scene;
}

void Dump(SceneRenderer& renderer, const char* name) {
  const char* prefix = std::getenv("KELVANE_RENDER_DUMP");
  if (!prefix) return;
  const std::string path = std::string(prefix) + "-" + name + ".ppm";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", refscene::kWidth, refscene::kHeight);
  for (uint32_t p : renderer.Pixels()) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  std::fclose(f);
}

void Run(benchmark::State& state, SceneRenderer& renderer, const char* name) {
  int frame = 0;
  for (auto _ : state) renderer.DrawFrame(frame++);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
  Dump(renderer, name);
}

// Argument: rasterizer threads (0 = every core).
void BM_Kelvane(benchmark::State& state) {
  d3d8pipe::SetRasterizerThreadCount(static_cast<UINT>(state.range(0)));
  d3d8pipe::SetQueuedRasterization(true);  // as the runtime's device draws
  auto renderer = MakeKelvaneRenderer(SharedScene());
  Run(state, *renderer, "kelvane");
  d3d8pipe::SetQueuedRasterization(false);
  d3d8pipe::SetRasterizerThreadCount(0);
}
BENCHMARK(BM_Kelvane)->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef KELVANE_HAVE_OSMESA
void BM_Llvmpipe(benchmark::State& state) {
  const char* threads = std::getenv("LP_NUM_THREADS");
  state.SetLabel(std::string("LP_NUM_THREADS=") + (threads ? threads : "default"));
  auto renderer = MakeLlvmpipeRenderer(SharedScene());
  Run(state, *renderer, "llvmpipe");
}
BENCHMARK(BM_Llvmpipe)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace

BENCHMARK_MAIN();
