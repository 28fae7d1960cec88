// Matrix products and inverses, point and direction transforms and
// normalisation: the live routines (the set chosen for this processor), the
// portable routines, and GLM's SIMD build doing the same work, side by side.
//
// Each benchmark reports items per second; one item is one matrix operation or
// one vector. Every contender reads and writes the same layout: 64-byte
// matrices and packed 12-byte 3-vectors.
#define GLM_FORCE_INTRINSICS
#define GLM_FORCE_DEFAULT_ALIGNED_GENTYPES
#include <benchmark/benchmark.h>

#include <glm/glm.hpp>
#include <glm/gtc/type_aligned.hpp>
#include <random>
#include <vector>

#include "gfx/math/dispatch_table.h"
#include "gfx/math/gx_math.h"

namespace {

constexpr int kMatrices = 256;
constexpr int kVectors = 10000;

float RandomFloat(std::mt19937& rng) { return std::uniform_real_distribution<float>(-1.0f, 1.0f)(rng); }

// Well-conditioned matrices (diagonal 3 plus noise), the same numbers for every contender.
std::vector<GxMatrix> GxMatrices() {
  std::mt19937 rng(7);
  std::vector<GxMatrix> out(kMatrices);
  for (GxMatrix& m : out)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) m.m[i][j] = RandomFloat(rng) + (i == j ? 3.0f : 0.0f);
  return out;
}

std::vector<glm::mat4> GlmMatrices() {
  const std::vector<GxMatrix> gx = GxMatrices();
  std::vector<glm::mat4> out(kMatrices);
  for (int k = 0; k < kMatrices; ++k)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) out[k][i][j] = gx[k].m[i][j];
  return out;
}

std::vector<GxVector3> GxVectors() {
  std::mt19937 rng(8);
  std::vector<GxVector3> out(kVectors);
  for (GxVector3& v : out) v = GxVector3(RandomFloat(rng) * 10, RandomFloat(rng) * 10, RandomFloat(rng) * 10);
  return out;
}

// GLM's default 3-vector is padded to 16 bytes in this build; the packed type
// keeps GLM on the 12-byte layout the Gx routines read and write.
using GlmVec3 = glm::packed_vec3;
static_assert(sizeof(GlmVec3) == sizeof(GxVector3));

std::vector<GlmVec3> GlmVectors() {
  std::vector<GlmVec3> out;
  for (const GxVector3& v : GxVectors()) out.emplace_back(v.x, v.y, v.z);
  return out;
}

// A projective matrix, so that TransformCoord has a real w to divide by.
GxMatrix Projection() {
  GxMatrix m;
  GxMatrixPerspectiveFovRH(&m, 0.9f, 4.0f / 3.0f, 0.5f, 100.0f);
  m._41 = 0.25f;
  m._42 = -0.5f;
  m._43 += 0.75f;
  m._44 = 2.0f;
  return m;
}

// ---- Gx: through the entry points (live) or the portable table --------------------------------

template <bool kLive>
void BM_MatrixMultiply(benchmark::State& state) {
  const auto a = GxMatrices();
  auto b = a;
  std::vector<GxMatrix> out(kMatrices);
  // Live: the public entry point (one indirect call through its slot);
  // portable: the same call through the portable table.
  auto multiply = [](auto... args) {
    if constexpr (kLive) return GxMatrixMultiply(args...);
    else return gx_math::kPortableMathTable.MatrixMultiply(args...);
  };
  GxSetCpuOptimizations(TRUE);
  for (auto _ : state) {
    for (int i = 0; i < kMatrices; ++i) multiply(&out[i], &a[i], &b[kMatrices - 1 - i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kMatrices);
}

template <bool kLive>
void BM_MatrixInverse(benchmark::State& state) {
  const auto a = GxMatrices();
  std::vector<GxMatrix> out(kMatrices);
  // Live: the public entry point (one indirect call through its slot);
  // portable: the same call through the portable table.
  auto inverse = [](auto... args) {
    if constexpr (kLive) return GxMatrixInverse(args...);
    else return gx_math::kPortableMathTable.MatrixInverse(args...);
  };
  GxSetCpuOptimizations(TRUE);
  for (auto _ : state) {
    for (int i = 0; i < kMatrices; ++i) inverse(&out[i], nullptr, &a[i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kMatrices);
}

template <bool kLive>
void BM_TransformCoord(benchmark::State& state) {
  const auto in = GxVectors();
  std::vector<GxVector3> out(kVectors);
  const GxMatrix m = Projection();
  // Live: the public entry point (one indirect call through its slot);
  // portable: the same call through the portable table.
  auto transform = [](auto... args) {
    if constexpr (kLive) return GxVec3TransformCoord(args...);
    else return gx_math::kPortableMathTable.Vec3TransformCoord(args...);
  };
  GxSetCpuOptimizations(TRUE);
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) transform(&out[i], &in[i], &m);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

template <bool kLive>
void BM_TransformNormal(benchmark::State& state) {
  const auto in = GxVectors();
  std::vector<GxVector3> out(kVectors);
  const GxMatrix m = GxMatrices()[0];
  // Live: the public entry point (one indirect call through its slot);
  // portable: the same call through the portable table.
  auto transform = [](auto... args) {
    if constexpr (kLive) return GxVec3TransformNormal(args...);
    else return gx_math::kPortableMathTable.Vec3TransformNormal(args...);
  };
  GxSetCpuOptimizations(TRUE);
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) transform(&out[i], &in[i], &m);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

template <bool kLive>
void BM_Vec3Normalize(benchmark::State& state) {
  const auto in = GxVectors();
  std::vector<GxVector3> out(kVectors);
  // Live: the public entry point (one indirect call through its slot);
  // portable: the same call through the portable table.
  auto normalize = [](auto... args) {
    if constexpr (kLive) return GxVec3Normalize(args...);
    else return gx_math::kPortableMathTable.Vec3Normalize(args...);
  };
  GxSetCpuOptimizations(TRUE);
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) normalize(&out[i], &in[i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

// The cost of the dispatch alone: the same loop as TransformNormal/live, through a
// table slot that holds a routine doing nothing. Where this row is slower than a
// GLM row, no routine behind the slot can beat that row.
GxVector3* DoNothing(GxVector3* out, const GxVector3*, const GxMatrix*) { return out; }

void BM_EmptySlot(benchmark::State& state) {
  const auto in = GxVectors();
  std::vector<GxVector3> out(kVectors);
  const GxMatrix m = GxMatrices()[0];
  MathDispatchTable table = gx_math::kPortableMathTable;
  table.Vec3TransformNormal = &DoNothing;
  benchmark::DoNotOptimize(&table);  // the slot is read on every call, as the live table's is
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) table.Vec3TransformNormal(&out[i], &in[i], &m);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

// ---- GLM (SIMD build, aligned types): the same work inline ------------------------------------

void BM_GlmMatrixMultiply(benchmark::State& state) {
  const auto a = GlmMatrices();
  const auto b = a;
  std::vector<glm::mat4> out(kMatrices);
  for (auto _ : state) {
    for (int i = 0; i < kMatrices; ++i) out[i] = a[i] * b[kMatrices - 1 - i];
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kMatrices);
}

void BM_GlmMatrixInverse(benchmark::State& state) {
  const auto a = GlmMatrices();
  std::vector<glm::mat4> out(kMatrices);
  for (auto _ : state) {
    for (int i = 0; i < kMatrices; ++i) out[i] = glm::inverse(a[i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kMatrices);
}

glm::mat4 GlmProjection() {
  const GxMatrix gx = Projection();
  glm::mat4 m;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m[i][j] = gx.m[i][j];
  return m;
}

void BM_GlmTransformCoord(benchmark::State& state) {
  const auto in = GlmVectors();
  std::vector<GlmVec3> out(kVectors);
  const glm::mat4 m = GlmProjection();
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) {
      const glm::vec4 r = m * glm::vec4(glm::vec3(in[i]), 1.0f);
      out[i] = GlmVec3(glm::vec3(r) / r.w);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

void BM_GlmTransformNormal(benchmark::State& state) {
  const auto in = GlmVectors();
  std::vector<GlmVec3> out(kVectors);
  const glm::mat4 m = GlmMatrices()[0];
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) out[i] = GlmVec3(m * glm::vec4(glm::vec3(in[i]), 0.0f));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

void BM_GlmVec3Normalize(benchmark::State& state) {
  const auto in = GlmVectors();
  std::vector<GlmVec3> out(kVectors);
  for (auto _ : state) {
    for (int i = 0; i < kVectors; ++i) out[i] = GlmVec3(glm::normalize(glm::vec3(in[i])));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kVectors);
}

BENCHMARK(BM_MatrixMultiply<true>)->Name("MatrixMultiply/live");
BENCHMARK(BM_MatrixMultiply<false>)->Name("MatrixMultiply/portable");
BENCHMARK(BM_GlmMatrixMultiply)->Name("MatrixMultiply/glm");
BENCHMARK(BM_MatrixInverse<true>)->Name("MatrixInverse/live");
BENCHMARK(BM_MatrixInverse<false>)->Name("MatrixInverse/portable");
BENCHMARK(BM_GlmMatrixInverse)->Name("MatrixInverse/glm");
BENCHMARK(BM_TransformCoord<true>)->Name("Vec3TransformCoord/live");
BENCHMARK(BM_TransformCoord<false>)->Name("Vec3TransformCoord/portable");
BENCHMARK(BM_GlmTransformCoord)->Name("Vec3TransformCoord/glm");
BENCHMARK(BM_TransformNormal<true>)->Name("Vec3TransformNormal/live");
BENCHMARK(BM_TransformNormal<false>)->Name("Vec3TransformNormal/portable");
BENCHMARK(BM_GlmTransformNormal)->Name("Vec3TransformNormal/glm");
BENCHMARK(BM_EmptySlot)->Name("Vec3TransformNormal/empty_slot");
BENCHMARK(BM_Vec3Normalize<true>)->Name("Vec3Normalize/live");
BENCHMARK(BM_Vec3Normalize<false>)->Name("Vec3Normalize/portable");
BENCHMARK(BM_GlmVec3Normalize)->Name("Vec3Normalize/glm");

}  // namespace

BENCHMARK_MAIN();
