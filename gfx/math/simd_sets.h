// What the SSE and SSE2 sets put in the table, as templates over the
// instruction-set policies, so that the same sets can be built once more with
// the VEX encoding (sse2_vex_set.cpp).
#pragma once

#include "gfx/math/dispatch_table.h"
#include "gfx/math/simd_quaternion_plane_routines.h"

namespace gx_math::simd {

template <typename Sse>
void InstallSseRoutines(MathDispatchTable& t) {
  t.Vec2Transform = &Vec2Transform<Sse>;
  t.Vec3Transform = &Vec3Transform<Sse>;
  t.Vec4Transform = &Vec4Transform<Sse>;
  t.MatrixMultiply = &MatrixMultiply<Sse>;
  t.MatrixMultiplyTranspose = &MatrixMultiplyTranspose<Sse>;
  t.Vec2TransformNormal = &Vec2TransformNormal<Sse>;
  t.Vec3TransformNormal = &Vec3TransformNormal<Sse>;
  t.Vec3Normalize = &Vec3Normalize<Sse>;
  t.Vec4Normalize = &Vec4Normalize<Sse>;
  t.Vec2TransformCoord = &Vec2TransformCoord<Sse>;
  t.Vec3TransformCoord = &Vec3TransformCoord<Sse>;
  t.MatrixDeterminant = &MatrixDeterminant<Sse>;
  t.PlaneFromPoints = &PlaneFromPoints<Sse>;
  t.Vec4Cross = &Vec4Cross<Sse>;
  t.Vec2Hermite = &Hermite<Sse, GxVector2>;
  t.MatrixInverse = &MatrixInverse<Sse>;
  t.QuaternionMultiply = &QuaternionMultiply<Sse>;
  t.QuaternionNormalize = &QuaternionNormalize<Sse>;
  t.PlaneNormalize = &PlaneNormalize<Sse>;
  t.PlaneIntersectLine = &PlaneIntersectLine<Sse>;
  t.QuaternionRotationMatrix = &QuaternionRotationMatrixScalar<Sse>;
  t.QuaternionRotationYawPitchRoll = &QuaternionRotationYawPitchRoll<Sse>;
  t.MatrixShadow = &MatrixShadow<Sse>;
  t.MatrixReflect = &MatrixReflect<Sse>;
  t.QuaternionInverse = &QuaternionInverse<Sse>;
  t.Vec2CatmullRom = &CatmullRom<Sse, GxVector2>;
  t.Vec2BaryCentric = &BaryCentric<Sse, GxVector2>;
  t.Vec3Hermite = &Hermite<Sse, GxVector3>;
  t.Vec3CatmullRom = &CatmullRom<Sse, GxVector3>;
  t.Vec3BaryCentric = &BaryCentric<Sse, GxVector3>;
  t.Vec4Hermite = &Hermite<Sse, GxVector4>;
  t.Vec4CatmullRom = &CatmullRom<Sse, GxVector4>;
  t.Vec4BaryCentric = &BaryCentric<Sse, GxVector4>;
}

// The SSE set, without its quaternion inverse, plus routines of its own for
// normalisation, planes, the 4-D cross product, quaternion builders, shadow
// and reflection, and the x and y rotation builders.
template <typename Sse, typename Sse2>
void InstallSse2Routines(MathDispatchTable& t) {
  const auto kept_inverse = t.QuaternionInverse;
  InstallSseRoutines<Sse>(t);
  t.QuaternionInverse = kept_inverse;  // this set keeps the slot as it was
  t.Vec3Normalize = &Vec3Normalize<Sse2>;
  t.PlaneFromPoints = &PlaneFromPoints<Sse2>;
  t.Vec4Cross = &Vec4Cross<Sse2>;
  t.PlaneNormalize = &PlaneNormalize<Sse2>;
  t.QuaternionRotationMatrix = &QuaternionRotationMatrixVector<Sse2>;
  t.QuaternionRotationYawPitchRoll = &QuaternionRotationYawPitchRoll<Sse2>;
  t.MatrixShadow = &MatrixShadow<Sse2>;
  t.MatrixReflect = &MatrixReflect<Sse2>;
  t.MatrixRotationX = &MatrixRotationX<Sse2>;
  t.MatrixRotationY = &MatrixRotationY<Sse2>;
}

}  // namespace gx_math::simd
