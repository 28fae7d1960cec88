// The processor dispatch table: one function pointer per dispatched math
// operation, in fixed slot order. The entry points of gx_math.h call through
// their slot of the live table; the slots start out holding trampolines that
// choose the routines for this processor on first use.
#pragma once

#include "d3d8_types.h"
#include "gfx/math/gx_math_types.h"

// X(slot, Name, Result, (parameters), (arguments)) for every slot, in order.
// The public entry point of slot Name is GxName.
#define GX_MATH_DISPATCH_SLOTS(X)                                                                            \
  X(0, Vec2Transform, GxVector4*, (GxVector4 * out, const GxVector2* v, const GxMatrix* m), (out, v, m))    \
  X(1, Vec3Transform, GxVector4*, (GxVector4 * out, const GxVector3* v, const GxMatrix* m), (out, v, m))    \
  X(2, Vec4Transform, GxVector4*, (GxVector4 * out, const GxVector4* v, const GxMatrix* m), (out, v, m))    \
  X(3, MatrixMultiply, GxMatrix*, (GxMatrix * out, const GxMatrix* a, const GxMatrix* b), (out, a, b))       \
  X(4, MatrixMultiplyTranspose, GxMatrix*, (GxMatrix * out, const GxMatrix* a, const GxMatrix* b),          \
    (out, a, b))                                                                                             \
  X(5, Vec2TransformNormal, GxVector2*, (GxVector2 * out, const GxVector2* v, const GxMatrix* m),           \
    (out, v, m))                                                                                             \
  X(6, Vec3TransformNormal, GxVector3*, (GxVector3 * out, const GxVector3* v, const GxMatrix* m),           \
    (out, v, m))                                                                                             \
  X(7, Vec3Normalize, GxVector3*, (GxVector3 * out, const GxVector3* v), (out, v))                          \
  X(8, Vec4Normalize, GxVector4*, (GxVector4 * out, const GxVector4* v), (out, v))                          \
  X(9, Vec2TransformCoord, GxVector2*, (GxVector2 * out, const GxVector2* v, const GxMatrix* m),            \
    (out, v, m))                                                                                             \
  X(10, Vec3TransformCoord, GxVector3*, (GxVector3 * out, const GxVector3* v, const GxMatrix* m),           \
    (out, v, m))                                                                                             \
  X(11, MatrixDeterminant, float, (const GxMatrix* m), (m))                                                  \
  X(12, PlaneFromPointNormal, GxPlane*, (GxPlane * out, const GxVector3* point, const GxVector3* normal),    \
    (out, point, normal))                                                                                    \
  X(13, PlaneFromPoints, GxPlane*,                                                                           \
    (GxPlane * out, const GxVector3* p1, const GxVector3* p2, const GxVector3* p3), (out, p1, p2, p3))       \
  X(14, Vec3Project, GxVector3*,                                                                             \
    (GxVector3 * out, const GxVector3* v, const D3DVIEWPORT8* viewport, const GxMatrix* projection,         \
     const GxMatrix* view, const GxMatrix* world),                                                           \
    (out, v, viewport, projection, view, world))                                                             \
  X(15, Vec3Unproject, GxVector3*,                                                                           \
    (GxVector3 * out, const GxVector3* v, const D3DVIEWPORT8* viewport, const GxMatrix* projection,         \
     const GxMatrix* view, const GxMatrix* world),                                                           \
    (out, v, viewport, projection, view, world))                                                             \
  X(16, Vec4Cross, GxVector4*,                                                                               \
    (GxVector4 * out, const GxVector4* u, const GxVector4* v, const GxVector4* w), (out, u, v, w))          \
  X(17, Vec2Hermite, GxVector2*,                                                                             \
    (GxVector2 * out, const GxVector2* v1, const GxVector2* t1, const GxVector2* v2, const GxVector2* t2,   \
     float s),                                                                                               \
    (out, v1, t1, v2, t2, s))                                                                                \
  X(18, MatrixInverse, GxMatrix*, (GxMatrix * out, float* determinant, const GxMatrix* m),                  \
    (out, determinant, m))                                                                                   \
  X(19, QuaternionMultiply, GxQuaternion*,                                                                   \
    (GxQuaternion * out, const GxQuaternion* q1, const GxQuaternion* q2), (out, q1, q2))                    \
  X(20, QuaternionNormalize, GxQuaternion*, (GxQuaternion * out, const GxQuaternion* q), (out, q))          \
  X(21, PlaneNormalize, GxPlane*, (GxPlane * out, const GxPlane* p), (out, p))                              \
  X(22, PlaneIntersectLine, GxVector3*,                                                                      \
    (GxVector3 * out, const GxPlane* p, const GxVector3* p1, const GxVector3* p2), (out, p, p1, p2))        \
  X(23, QuaternionToAxisAngle, void, (const GxQuaternion* q, GxVector3* axis, float* angle),                \
    (q, axis, angle))                                                                                        \
  X(24, QuaternionRotationMatrix, GxQuaternion*, (GxQuaternion * out, const GxMatrix* m), (out, m))         \
  X(25, QuaternionRotationYawPitchRoll, GxQuaternion*, (GxQuaternion * out, float yaw, float pitch,         \
                                                        float roll),                                         \
    (out, yaw, pitch, roll))                                                                                 \
  X(26, MatrixTranslation, GxMatrix*, (GxMatrix * out, float x, float y, float z), (out, x, y, z))          \
  X(27, MatrixShadow, GxMatrix*, (GxMatrix * out, const GxVector4* light, const GxPlane* plane),            \
    (out, light, plane))                                                                                     \
  X(28, MatrixReflect, GxMatrix*, (GxMatrix * out, const GxPlane* plane), (out, plane))                     \
  X(29, QuaternionRotationAxis, GxQuaternion*, (GxQuaternion * out, const GxVector3* axis, float angle),    \
    (out, axis, angle))                                                                                      \
  X(30, MatrixRotationX, GxMatrix*, (GxMatrix * out, float angle), (out, angle))                            \
  X(31, MatrixRotationY, GxMatrix*, (GxMatrix * out, float angle), (out, angle))                            \
  X(32, MatrixRotationZ, GxMatrix*, (GxMatrix * out, float angle), (out, angle))                            \
  X(33, MatrixScaling, GxMatrix*, (GxMatrix * out, float sx, float sy, float sz), (out, sx, sy, sz))        \
  X(34, PlaneTransform, GxPlane*, (GxPlane * out, const GxPlane* p, const GxMatrix* m), (out, p, m))        \
  X(35, QuaternionSlerp, GxQuaternion*,                                                                      \
    (GxQuaternion * out, const GxQuaternion* q1, const GxQuaternion* q2, float t), (out, q1, q2, t))        \
  X(36, QuaternionBaryCentric, GxQuaternion*,                                                                \
    (GxQuaternion * out, const GxQuaternion* q1, const GxQuaternion* q2, const GxQuaternion* q3, float f,   \
     float g),                                                                                               \
    (out, q1, q2, q3, f, g))                                                                                 \
  X(37, MatrixTranspose, GxMatrix*, (GxMatrix * out, const GxMatrix* m), (out, m))                          \
  X(38, MatrixRotationQuaternion, GxMatrix*, (GxMatrix * out, const GxQuaternion* q), (out, q))             \
  X(39, MatrixTransformation, GxMatrix*,                                                                     \
    (GxMatrix * out, const GxVector3* scalingCenter, const GxQuaternion* scalingRotation,                   \
     const GxVector3* scaling, const GxVector3* rotationCenter, const GxQuaternion* rotation,                \
     const GxVector3* translation),                                                                          \
    (out, scalingCenter, scalingRotation, scaling, rotationCenter, rotation, translation))                   \
  X(40, MatrixRotationYawPitchRoll, GxMatrix*, (GxMatrix * out, float yaw, float pitch, float roll),        \
    (out, yaw, pitch, roll))                                                                                 \
  X(41, MatrixAffineTransformation, GxMatrix*,                                                               \
    (GxMatrix * out, float scaling, const GxVector3* rotationCenter, const GxQuaternion* rotation,          \
     const GxVector3* translation),                                                                          \
    (out, scaling, rotationCenter, rotation, translation))                                                   \
  X(42, MatrixRotationAxis, GxMatrix*, (GxMatrix * out, const GxVector3* axis, float angle),                \
    (out, axis, angle))                                                                                      \
  X(43, QuaternionSquad, GxQuaternion*,                                                                      \
    (GxQuaternion * out, const GxQuaternion* q1, const GxQuaternion* a, const GxQuaternion* b,              \
     const GxQuaternion* c, float t),                                                                        \
    (out, q1, a, b, c, t))                                                                                   \
  X(44, QuaternionInverse, GxQuaternion*, (GxQuaternion * out, const GxQuaternion* q), (out, q))            \
  X(45, QuaternionSquadSetup, void,                                                                          \
    (GxQuaternion * a, GxQuaternion * b, GxQuaternion * c, const GxQuaternion* q0, const GxQuaternion* q1,  \
     const GxQuaternion* q2, const GxQuaternion* q3),                                                        \
    (a, b, c, q0, q1, q2, q3))                                                                               \
  X(46, Vec2Normalize, GxVector2*, (GxVector2 * out, const GxVector2* v), (out, v))                         \
  X(47, Vec2CatmullRom, GxVector2*,                                                                          \
    (GxVector2 * out, const GxVector2* v0, const GxVector2* v1, const GxVector2* v2, const GxVector2* v3,   \
     float s),                                                                                               \
    (out, v0, v1, v2, v3, s))                                                                                \
  X(48, Vec2BaryCentric, GxVector2*,                                                                         \
    (GxVector2 * out, const GxVector2* v1, const GxVector2* v2, const GxVector2* v3, float f, float g),     \
    (out, v1, v2, v3, f, g))                                                                                 \
  X(49, Vec3Hermite, GxVector3*,                                                                             \
    (GxVector3 * out, const GxVector3* v1, const GxVector3* t1, const GxVector3* v2, const GxVector3* t2,   \
     float s),                                                                                               \
    (out, v1, t1, v2, t2, s))                                                                                \
  X(50, Vec3CatmullRom, GxVector3*,                                                                          \
    (GxVector3 * out, const GxVector3* v0, const GxVector3* v1, const GxVector3* v2, const GxVector3* v3,   \
     float s),                                                                                               \
    (out, v0, v1, v2, v3, s))                                                                                \
  X(51, Vec3BaryCentric, GxVector3*,                                                                         \
    (GxVector3 * out, const GxVector3* v1, const GxVector3* v2, const GxVector3* v3, float f, float g),     \
    (out, v1, v2, v3, f, g))                                                                                 \
  X(52, Vec4Hermite, GxVector4*,                                                                             \
    (GxVector4 * out, const GxVector4* v1, const GxVector4* t1, const GxVector4* v2, const GxVector4* t2,   \
     float s),                                                                                               \
    (out, v1, t1, v2, t2, s))                                                                                \
  X(53, Vec4CatmullRom, GxVector4*,                                                                          \
    (GxVector4 * out, const GxVector4* v0, const GxVector4* v1, const GxVector4* v2, const GxVector4* v3,   \
     float s),                                                                                               \
    (out, v0, v1, v2, v3, s))                                                                                \
  X(54, Vec4BaryCentric, GxVector4*,                                                                         \
    (GxVector4 * out, const GxVector4* v1, const GxVector4* v2, const GxVector4* v3, float f, float g),     \
    (out, v1, v2, v3, f, g))                                                                                 \
  X(55, QuaternionLn, GxQuaternion*, (GxQuaternion * out, const GxQuaternion* q), (out, q))                 \
  X(56, QuaternionExp, GxQuaternion*, (GxQuaternion * out, const GxQuaternion* q), (out, q))

struct MathDispatchTable {
#define GX_MATH_SLOT_MEMBER(slot, Name, Result, Params, Args) Result(*Name) Params;
  GX_MATH_DISPATCH_SLOTS(GX_MATH_SLOT_MEMBER)
#undef GX_MATH_SLOT_MEMBER
};

static_assert(sizeof(MathDispatchTable) == 57 * sizeof(void*));

namespace gx_math {
// The table every entry point calls through.
extern MathDispatchTable g_liveMathTable;
}  // namespace gx_math
