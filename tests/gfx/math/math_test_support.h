// Shared helpers of the math tests: seeded random values and tolerant comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "gfx/math/gx_math.h"

namespace gx_math_test {

class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }
  GxVector2 Vec2(float r = 10.0f) { return {Uniform(-r, r), Uniform(-r, r)}; }
  GxVector3 Vec3(float r = 10.0f) { return {Uniform(-r, r), Uniform(-r, r), Uniform(-r, r)}; }
  GxVector4 Vec4(float r = 10.0f) { return {Uniform(-r, r), Uniform(-r, r), Uniform(-r, r), Uniform(-r, r)}; }
  GxPlane Plane(float r = 10.0f) { return {Uniform(-r, r), Uniform(-r, r), Uniform(-r, r), Uniform(-r, r)}; }
  // A unit quaternion.
  GxQuaternion Rotation() {
    GxVector4 v;
    float n;
    do {
      v = Vec4(1.0f);
      n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z + v.w * v.w);
    } while (n < 0.1f);
    return {v.x / n, v.y / n, v.z / n, v.w / n};
  }
  // Entries in [-1, 1] plus 3 on the diagonal: well conditioned, invertible.
  GxMatrix Matrix() {
    GxMatrix m;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) m.m[i][j] = Uniform(-1.0f, 1.0f) + (i == j ? 3.0f : 0.0f);
    return m;
  }

 private:
  std::mt19937 engine_;
};

inline float Length(const GxVector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
inline float Dot(const GxVector3& a, const GxVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// |a - b| <= tol · max(1, |b|), component by component.
inline ::testing::AssertionResult Close(const float* a, const float* b, int n, float tol) {
  for (int i = 0; i < n; ++i) {
    const float scale = std::fmax(1.0f, std::fabs(b[i]));
    if (!(std::fabs(a[i] - b[i]) <= tol * scale)) {
      return ::testing::AssertionFailure() << "component " << i << ": " << a[i] << " vs " << b[i]
                                           << " (tolerance " << tol * scale << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

template <typename T>
::testing::AssertionResult Near(const T& a, const T& b, float tol = 1e-5f) {
  static_assert(sizeof(T) % sizeof(float) == 0);
  return Close(reinterpret_cast<const float*>(&a), reinterpret_cast<const float*>(&b),
               static_cast<int>(sizeof(T) / sizeof(float)), tol);
}

template <typename T>
bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace gx_math_test
