// Gx math: vectors, matrices, quaternions and planes.
//
// Conventions every function follows:
// - row vectors: a point p is transformed as (x, y, z, 1)·M, the translation sits
//   in the fourth row, and A·B applies A first, then B; angles are radians;
// - the output pointer comes first and is returned (GxMatrixInverse and
//   GxPlaneIntersectLine return null when they fail, leaving the output as it was);
// - the output may be one of the inputs: every function reads all it needs
//   before writing;
// - optional inputs are null pointers when absent; no other pointer is checked.
//
// Every entry point except GxMatrixLookAtRH and GxMatrixPerspectiveFovRH jumps
// through one slot of the processor dispatch table (gfx/math/dispatch_table.h),
// which is filled on the first call.
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

// ---- 2-, 3- and 4-vectors ----------------------------------------------------------------------
GxVector2* GxVec2Normalize(GxVector2* out, const GxVector2* v);
GxVector3* GxVec3Normalize(GxVector3* out, const GxVector3* v);
GxVector4* GxVec4Normalize(GxVector4* out, const GxVector4* v);

GxVector4* GxVec2Transform(GxVector4* out, const GxVector2* v, const GxMatrix* m);  // (x, y, 0, 1)·M
GxVector4* GxVec3Transform(GxVector4* out, const GxVector3* v, const GxMatrix* m);  // (x, y, z, 1)·M
GxVector4* GxVec4Transform(GxVector4* out, const GxVector4* v, const GxMatrix* m);
GxVector2* GxVec2TransformCoord(GxVector2* out, const GxVector2* v, const GxMatrix* m);  // divided by w
GxVector3* GxVec3TransformCoord(GxVector3* out, const GxVector3* v, const GxMatrix* m);  // divided by w
GxVector2* GxVec2TransformNormal(GxVector2* out, const GxVector2* v, const GxMatrix* m);
GxVector3* GxVec3TransformNormal(GxVector3* out, const GxVector3* v, const GxMatrix* m);

// Window coordinates from object space and back; any of the matrices may be null.
GxVector3* GxVec3Project(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport,
                         const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world);
GxVector3* GxVec3Unproject(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport,
                           const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world);

// The vector orthogonal to u, v and w.
GxVector4* GxVec4Cross(GxVector4* out, const GxVector4* u, const GxVector4* v, const GxVector4* w);

GxVector2* GxVec2Hermite(GxVector2* out, const GxVector2* v1, const GxVector2* t1, const GxVector2* v2,
                         const GxVector2* t2, float s);
GxVector3* GxVec3Hermite(GxVector3* out, const GxVector3* v1, const GxVector3* t1, const GxVector3* v2,
                         const GxVector3* t2, float s);
GxVector4* GxVec4Hermite(GxVector4* out, const GxVector4* v1, const GxVector4* t1, const GxVector4* v2,
                         const GxVector4* t2, float s);
GxVector2* GxVec2CatmullRom(GxVector2* out, const GxVector2* v0, const GxVector2* v1, const GxVector2* v2,
                            const GxVector2* v3, float s);
GxVector3* GxVec3CatmullRom(GxVector3* out, const GxVector3* v0, const GxVector3* v1, const GxVector3* v2,
                            const GxVector3* v3, float s);
GxVector4* GxVec4CatmullRom(GxVector4* out, const GxVector4* v0, const GxVector4* v1, const GxVector4* v2,
                            const GxVector4* v3, float s);
// v1 + f(v2 − v1) + g(v3 − v1)
GxVector2* GxVec2BaryCentric(GxVector2* out, const GxVector2* v1, const GxVector2* v2, const GxVector2* v3,
                             float f, float g);
GxVector3* GxVec3BaryCentric(GxVector3* out, const GxVector3* v1, const GxVector3* v2, const GxVector3* v3,
                             float f, float g);
GxVector4* GxVec4BaryCentric(GxVector4* out, const GxVector4* v1, const GxVector4* v2, const GxVector4* v3,
                             float f, float g);

// ---- matrices ----------------------------------------------------------------------------------
GxMatrix* GxMatrixMultiply(GxMatrix* out, const GxMatrix* a, const GxMatrix* b);           // A·B
GxMatrix* GxMatrixMultiplyTranspose(GxMatrix* out, const GxMatrix* a, const GxMatrix* b);  // (A·B)ᵀ
GxMatrix* GxMatrixTranspose(GxMatrix* out, const GxMatrix* m);
float GxMatrixDeterminant(const GxMatrix* m);
// Null when M is singular; the determinant (optional) may still be stored.
GxMatrix* GxMatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m);

GxMatrix* GxMatrixScaling(GxMatrix* out, float sx, float sy, float sz);
GxMatrix* GxMatrixTranslation(GxMatrix* out, float x, float y, float z);
GxMatrix* GxMatrixRotationX(GxMatrix* out, float angle);
GxMatrix* GxMatrixRotationY(GxMatrix* out, float angle);
GxMatrix* GxMatrixRotationZ(GxMatrix* out, float angle);
GxMatrix* GxMatrixRotationAxis(GxMatrix* out, const GxVector3* axis, float angle);
GxMatrix* GxMatrixRotationQuaternion(GxMatrix* out, const GxQuaternion* q);
GxMatrix* GxMatrixRotationYawPitchRoll(GxMatrix* out, float yaw, float pitch, float roll);
// Scaling (about scalingCenter, in the frame of scalingRotation), then rotation
// about rotationCenter, then translation; every input may be null.
GxMatrix* GxMatrixTransformation(GxMatrix* out, const GxVector3* scalingCenter, const GxQuaternion* scalingRotation,
                                 const GxVector3* scaling, const GxVector3* rotationCenter,
                                 const GxQuaternion* rotation, const GxVector3* translation);
GxMatrix* GxMatrixAffineTransformation(GxMatrix* out, float scaling, const GxVector3* rotationCenter,
                                       const GxQuaternion* rotation, const GxVector3* translation);
// Flattens geometry onto the plane as seen from the light (w = 0: directional).
GxMatrix* GxMatrixShadow(GxMatrix* out, const GxVector4* light, const GxPlane* plane);
GxMatrix* GxMatrixReflect(GxMatrix* out, const GxPlane* plane);

// Plain functions (not dispatched): right-handed view and projection.
GxMatrix* GxMatrixLookAtRH(GxMatrix* out, const GxVector3* eye, const GxVector3* at, const GxVector3* up);
GxMatrix* GxMatrixPerspectiveFovRH(GxMatrix* out, float fovy, float aspect, float zn, float zf);

// ---- planes ------------------------------------------------------------------------------------
GxPlane* GxPlaneNormalize(GxPlane* out, const GxPlane* p);
GxPlane* GxPlaneFromPointNormal(GxPlane* out, const GxVector3* point, const GxVector3* normal);
GxPlane* GxPlaneFromPoints(GxPlane* out, const GxVector3* p1, const GxVector3* p2, const GxVector3* p3);
GxPlane* GxPlaneTransform(GxPlane* out, const GxPlane* p, const GxMatrix* m);  // (a, b, c, d)·M
// The point where the line through p1 and p2 meets the plane; null when parallel.
GxVector3* GxPlaneIntersectLine(GxVector3* out, const GxPlane* p, const GxVector3* p1, const GxVector3* p2);

// ---- quaternions -------------------------------------------------------------------------------
GxQuaternion* GxQuaternionNormalize(GxQuaternion* out, const GxQuaternion* q);
// Rotation q1 followed by rotation q2 (the Hamilton product q2·q1).
GxQuaternion* GxQuaternionMultiply(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2);
GxQuaternion* GxQuaternionInverse(GxQuaternion* out, const GxQuaternion* q);
GxQuaternion* GxQuaternionLn(GxQuaternion* out, const GxQuaternion* q);
GxQuaternion* GxQuaternionExp(GxQuaternion* out, const GxQuaternion* q);
// Axis and angle of q; either output may be null.
void GxQuaternionToAxisAngle(const GxQuaternion* q, GxVector3* axis, float* angle);
GxQuaternion* GxQuaternionRotationMatrix(GxQuaternion* out, const GxMatrix* m);
GxQuaternion* GxQuaternionRotationYawPitchRoll(GxQuaternion* out, float yaw, float pitch, float roll);
GxQuaternion* GxQuaternionRotationAxis(GxQuaternion* out, const GxVector3* axis, float angle);
GxQuaternion* GxQuaternionSlerp(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2, float t);
GxQuaternion* GxQuaternionSquad(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* a,
                                const GxQuaternion* b, const GxQuaternion* c, float t);
// Control points a, b, c for GxQuaternionSquad between q1 and q2.
void GxQuaternionSquadSetup(GxQuaternion* a, GxQuaternion* b, GxQuaternion* c, const GxQuaternion* q0,
                            const GxQuaternion* q1, const GxQuaternion* q2, const GxQuaternion* q3);
GxQuaternion* GxQuaternionBaryCentric(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2,
                                      const GxQuaternion* q3, float f, float g);

// ---- processor-specific routines ---------------------------------------------------------------
// 0: use the portable routines from now on (no further automatic choice);
// non-zero: choose the routines for this processor if not chosen yet.
// Returns the state: 0xFFFF not chosen, 0 portable with x87, 1 3DNow!, 2 SSE2, 3 SSE.
DWORD GxSetCpuOptimizations(BOOL enable);
