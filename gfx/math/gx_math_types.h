// The value types of the Gx math library: packed 32-bit floats,
// binary-identical to the platform's vector and matrix types.
#pragma once

#include <cstdint>

#include "d3d8_types.h"

// ---- value types ------------------------------------------------------------------------------
// Packed 32-bit floats, binary-identical to the platform's vector and matrix
// types (a GxMatrix* converts to a D3DMATRIX* for SetTransform).

struct GxVector2 {
  float x;
  float y;

  GxVector2() = default;
  constexpr GxVector2(float x_, float y_) : x(x_), y(y_) {}

  GxVector2& operator+=(const GxVector2& v) { x += v.x; y += v.y; return *this; }
  GxVector2& operator-=(const GxVector2& v) { x -= v.x; y -= v.y; return *this; }
  GxVector2& operator*=(float s) { x *= s; y *= s; return *this; }
  friend constexpr GxVector2 operator+(const GxVector2& a, const GxVector2& b) { return {a.x + b.x, a.y + b.y}; }
  friend constexpr GxVector2 operator-(const GxVector2& a, const GxVector2& b) { return {a.x - b.x, a.y - b.y}; }
  friend constexpr GxVector2 operator-(const GxVector2& a) { return {-a.x, -a.y}; }
  friend constexpr GxVector2 operator*(const GxVector2& a, float s) { return {a.x * s, a.y * s}; }
  friend constexpr GxVector2 operator*(float s, const GxVector2& a) { return {a.x * s, a.y * s}; }
  friend constexpr bool operator==(const GxVector2& a, const GxVector2& b) { return a.x == b.x && a.y == b.y; }
};

struct GxVector3 : D3DVECTOR {
  GxVector3() = default;
  constexpr GxVector3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
  constexpr GxVector3(const D3DVECTOR& v) : D3DVECTOR(v) {}  // NOLINT: implicit on purpose

  GxVector3& operator+=(const GxVector3& v) { x += v.x; y += v.y; z += v.z; return *this; }
  GxVector3& operator-=(const GxVector3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
  GxVector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
  friend constexpr GxVector3 operator+(const GxVector3& a, const GxVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend constexpr GxVector3 operator-(const GxVector3& a, const GxVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend constexpr GxVector3 operator-(const GxVector3& a) { return {-a.x, -a.y, -a.z}; }
  friend constexpr GxVector3 operator*(const GxVector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr GxVector3 operator*(float s, const GxVector3& a) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr bool operator==(const GxVector3& a, const GxVector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
};

struct GxVector4 {
  float x;
  float y;
  float z;
  float w;

  GxVector4() = default;
  constexpr GxVector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

  friend constexpr GxVector4 operator+(const GxVector4& a, const GxVector4& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
  }
  friend constexpr GxVector4 operator-(const GxVector4& a, const GxVector4& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
  }
  friend constexpr GxVector4 operator*(const GxVector4& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
  friend constexpr bool operator==(const GxVector4& a, const GxVector4& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
  }
};

// w is the scalar part; the identity rotation is (0, 0, 0, 1).
struct GxQuaternion {
  float x;
  float y;
  float z;
  float w;

  GxQuaternion() = default;
  constexpr GxQuaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  friend constexpr bool operator==(const GxQuaternion& a, const GxQuaternion& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
  }
};

// The plane a·x + b·y + c·z + d = 0; (a, b, c) is its normal.
struct GxPlane {
  float a;
  float b;
  float c;
  float d;

  GxPlane() = default;
  constexpr GxPlane(float a_, float b_, float c_, float d_) : a(a_), b(b_), c(c_), d(d_) {}
  friend constexpr bool operator==(const GxPlane& p, const GxPlane& q) {
    return p.a == q.a && p.b == q.b && p.c == q.c && p.d == q.d;
  }
};

// Sixteen floats row by row: _11 _12 _13 _14, _21 ... _44 (also m[row][column]).
struct GxMatrix : D3DMATRIX {
  GxMatrix() = default;
  constexpr GxMatrix(const D3DMATRIX& m) : D3DMATRIX(m) {}  // NOLINT: implicit on purpose
  constexpr GxMatrix(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                     float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
      : D3DMATRIX{{{m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44}}} {}

  static constexpr GxMatrix Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }
  friend bool operator==(const GxMatrix& a, const GxMatrix& b) {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c)
        if (a.m[r][c] != b.m[r][c]) return false;
    return true;
  }
};

static_assert(sizeof(GxVector2) == 8 && sizeof(GxVector3) == 12 && sizeof(GxVector4) == 16);
static_assert(sizeof(GxQuaternion) == 16 && sizeof(GxPlane) == 16 && sizeof(GxMatrix) == 64);
