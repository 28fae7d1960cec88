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
// Every entry point except GxMatrixLookAtRH and GxMatrixPerspectiveFovRH is an
// inline call through one slot of the processor dispatch table
// (gfx/math/gx_math_dispatch.h), which is filled on the first call: one
// indirect call, no test.
#pragma once

#include "gfx/math/gx_math_types.h"

// ---- 2-, 3- and 4-vectors ----------------------------------------------------------------------
inline GxVector2* GxVec2Normalize(GxVector2* out, const GxVector2* v);
inline GxVector3* GxVec3Normalize(GxVector3* out, const GxVector3* v);
inline GxVector4* GxVec4Normalize(GxVector4* out, const GxVector4* v);

inline GxVector4* GxVec2Transform(GxVector4* out, const GxVector2* v, const GxMatrix* m);  // (x, y, 0, 1)·M
inline GxVector4* GxVec3Transform(GxVector4* out, const GxVector3* v, const GxMatrix* m);  // (x, y, z, 1)·M
inline GxVector4* GxVec4Transform(GxVector4* out, const GxVector4* v, const GxMatrix* m);
inline GxVector2* GxVec2TransformCoord(GxVector2* out, const GxVector2* v, const GxMatrix* m);  // divided by w
inline GxVector3* GxVec3TransformCoord(GxVector3* out, const GxVector3* v, const GxMatrix* m);  // divided by w
inline GxVector2* GxVec2TransformNormal(GxVector2* out, const GxVector2* v, const GxMatrix* m);
inline GxVector3* GxVec3TransformNormal(GxVector3* out, const GxVector3* v, const GxMatrix* m);

// Window coordinates from object space and back; any of the matrices may be null.
inline GxVector3* GxVec3Project(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport,
                         const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world);
inline GxVector3* GxVec3Unproject(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport,
                           const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world);

// The vector orthogonal to u, v and w.
inline GxVector4* GxVec4Cross(GxVector4* out, const GxVector4* u, const GxVector4* v, const GxVector4* w);

inline GxVector2* GxVec2Hermite(GxVector2* out, const GxVector2* v1, const GxVector2* t1, const GxVector2* v2,
                         const GxVector2* t2, float s);
inline GxVector3* GxVec3Hermite(GxVector3* out, const GxVector3* v1, const GxVector3* t1, const GxVector3* v2,
                         const GxVector3* t2, float s);
inline GxVector4* GxVec4Hermite(GxVector4* out, const GxVector4* v1, const GxVector4* t1, const GxVector4* v2,
                         const GxVector4* t2, float s);
inline GxVector2* GxVec2CatmullRom(GxVector2* out, const GxVector2* v0, const GxVector2* v1, const GxVector2* v2,
                            const GxVector2* v3, float s);
inline GxVector3* GxVec3CatmullRom(GxVector3* out, const GxVector3* v0, const GxVector3* v1, const GxVector3* v2,
                            const GxVector3* v3, float s);
inline GxVector4* GxVec4CatmullRom(GxVector4* out, const GxVector4* v0, const GxVector4* v1, const GxVector4* v2,
                            const GxVector4* v3, float s);
// v1 + f(v2 − v1) + g(v3 − v1)
inline GxVector2* GxVec2BaryCentric(GxVector2* out, const GxVector2* v1, const GxVector2* v2, const GxVector2* v3,
                             float f, float g);
inline GxVector3* GxVec3BaryCentric(GxVector3* out, const GxVector3* v1, const GxVector3* v2, const GxVector3* v3,
                             float f, float g);
inline GxVector4* GxVec4BaryCentric(GxVector4* out, const GxVector4* v1, const GxVector4* v2, const GxVector4* v3,
                             float f, float g);

// ---- matrices ----------------------------------------------------------------------------------
inline GxMatrix* GxMatrixMultiply(GxMatrix* out, const GxMatrix* a, const GxMatrix* b);           // A·B
inline GxMatrix* GxMatrixMultiplyTranspose(GxMatrix* out, const GxMatrix* a, const GxMatrix* b);  // (A·B)ᵀ
inline GxMatrix* GxMatrixTranspose(GxMatrix* out, const GxMatrix* m);
inline float GxMatrixDeterminant(const GxMatrix* m);
// Null when M is singular; the determinant (optional) may still be stored.
inline GxMatrix* GxMatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m);

inline GxMatrix* GxMatrixScaling(GxMatrix* out, float sx, float sy, float sz);
inline GxMatrix* GxMatrixTranslation(GxMatrix* out, float x, float y, float z);
inline GxMatrix* GxMatrixRotationX(GxMatrix* out, float angle);
inline GxMatrix* GxMatrixRotationY(GxMatrix* out, float angle);
inline GxMatrix* GxMatrixRotationZ(GxMatrix* out, float angle);
inline GxMatrix* GxMatrixRotationAxis(GxMatrix* out, const GxVector3* axis, float angle);
inline GxMatrix* GxMatrixRotationQuaternion(GxMatrix* out, const GxQuaternion* q);
inline GxMatrix* GxMatrixRotationYawPitchRoll(GxMatrix* out, float yaw, float pitch, float roll);
// Scaling (about scalingCenter, in the frame of scalingRotation), then rotation
// about rotationCenter, then translation; every input may be null.
inline GxMatrix* GxMatrixTransformation(GxMatrix* out, const GxVector3* scalingCenter, const GxQuaternion* scalingRotation,
                                 const GxVector3* scaling, const GxVector3* rotationCenter,
                                 const GxQuaternion* rotation, const GxVector3* translation);
inline GxMatrix* GxMatrixAffineTransformation(GxMatrix* out, float scaling, const GxVector3* rotationCenter,
                                       const GxQuaternion* rotation, const GxVector3* translation);
// Flattens geometry onto the plane as seen from the light (w = 0: directional).
inline GxMatrix* GxMatrixShadow(GxMatrix* out, const GxVector4* light, const GxPlane* plane);
inline GxMatrix* GxMatrixReflect(GxMatrix* out, const GxPlane* plane);

// Plain functions (not dispatched): right-handed view and projection.
GxMatrix* GxMatrixLookAtRH(GxMatrix* out, const GxVector3* eye, const GxVector3* at, const GxVector3* up);
GxMatrix* GxMatrixPerspectiveFovRH(GxMatrix* out, float fovy, float aspect, float zn, float zf);

// ---- planes ------------------------------------------------------------------------------------
inline GxPlane* GxPlaneNormalize(GxPlane* out, const GxPlane* p);
inline GxPlane* GxPlaneFromPointNormal(GxPlane* out, const GxVector3* point, const GxVector3* normal);
inline GxPlane* GxPlaneFromPoints(GxPlane* out, const GxVector3* p1, const GxVector3* p2, const GxVector3* p3);
inline GxPlane* GxPlaneTransform(GxPlane* out, const GxPlane* p, const GxMatrix* m);  // (a, b, c, d)·M
// The point where the line through p1 and p2 meets the plane; null when parallel.
inline GxVector3* GxPlaneIntersectLine(GxVector3* out, const GxPlane* p, const GxVector3* p1, const GxVector3* p2);

// ---- quaternions -------------------------------------------------------------------------------
inline GxQuaternion* GxQuaternionNormalize(GxQuaternion* out, const GxQuaternion* q);
// Rotation q1 followed by rotation q2 (the Hamilton product q2·q1).
inline GxQuaternion* GxQuaternionMultiply(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2);
inline GxQuaternion* GxQuaternionInverse(GxQuaternion* out, const GxQuaternion* q);
inline GxQuaternion* GxQuaternionLn(GxQuaternion* out, const GxQuaternion* q);
inline GxQuaternion* GxQuaternionExp(GxQuaternion* out, const GxQuaternion* q);
// Axis and angle of q; either output may be null.
inline void GxQuaternionToAxisAngle(const GxQuaternion* q, GxVector3* axis, float* angle);
inline GxQuaternion* GxQuaternionRotationMatrix(GxQuaternion* out, const GxMatrix* m);
inline GxQuaternion* GxQuaternionRotationYawPitchRoll(GxQuaternion* out, float yaw, float pitch, float roll);
inline GxQuaternion* GxQuaternionRotationAxis(GxQuaternion* out, const GxVector3* axis, float angle);
inline GxQuaternion* GxQuaternionSlerp(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2, float t);
inline GxQuaternion* GxQuaternionSquad(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* a,
                                const GxQuaternion* b, const GxQuaternion* c, float t);
// Control points a, b, c for GxQuaternionSquad between q1 and q2.
inline void GxQuaternionSquadSetup(GxQuaternion* a, GxQuaternion* b, GxQuaternion* c, const GxQuaternion* q0,
                            const GxQuaternion* q1, const GxQuaternion* q2, const GxQuaternion* q3);
inline GxQuaternion* GxQuaternionBaryCentric(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2,
                                      const GxQuaternion* q3, float f, float g);

// ---- processor-specific routines ---------------------------------------------------------------
// 0: use the portable routines from now on (no further automatic choice);
// non-zero: choose the routines for this processor if not chosen yet.
// Returns the state: 0xFFFF not chosen, 0 portable with x87, 1 3DNow!, 2 SSE2, 3 SSE.
DWORD GxSetCpuOptimizations(BOOL enable);

// ---- the dispatched entry points ---------------------------------------------------------------
#include "gfx/math/gx_math_dispatch.h"

#define GX_MATH_ENTRY_POINT(slot, Name, Result, Params, Args) \
  inline Result Gx##Name Params { return gx_math::g_liveMathTable.Name Args; }
GX_MATH_DISPATCH_SLOTS(GX_MATH_ENTRY_POINT)
#undef GX_MATH_ENTRY_POINT
