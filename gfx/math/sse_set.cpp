// The SSE set: the SSE forms of the routines it replaces.
#include "gfx/math/dispatch_table.h"
#include "gfx/math/simd_quaternion_plane_routines.h"

namespace gx_math {

void InstallSseSet(MathDispatchTable& t) {
  using simd::SseIsa;
  t.Vec2Transform = &simd::Vec2Transform<SseIsa>;
  t.Vec3Transform = &simd::Vec3Transform<SseIsa>;
  t.Vec4Transform = &simd::Vec4Transform<SseIsa>;
  t.MatrixMultiply = &simd::MatrixMultiply<SseIsa>;
  t.MatrixMultiplyTranspose = &simd::MatrixMultiplyTranspose<SseIsa>;
  t.Vec2TransformNormal = &simd::Vec2TransformNormal<SseIsa>;
  t.Vec3TransformNormal = &simd::Vec3TransformNormal<SseIsa>;
  t.Vec3Normalize = &simd::Vec3Normalize<SseIsa>;
  t.Vec4Normalize = &simd::Vec4Normalize<SseIsa>;
  t.Vec2TransformCoord = &simd::Vec2TransformCoord<SseIsa>;
  t.Vec3TransformCoord = &simd::Vec3TransformCoord<SseIsa>;
  t.MatrixDeterminant = &simd::MatrixDeterminant<SseIsa>;
  t.PlaneFromPoints = &simd::PlaneFromPoints<SseIsa>;
  t.Vec4Cross = &simd::Vec4Cross<SseIsa>;
  t.Vec2Hermite = &simd::Hermite<SseIsa, GxVector2>;
  t.MatrixInverse = &simd::MatrixInverse<SseIsa>;
  t.QuaternionMultiply = &simd::QuaternionMultiply<SseIsa>;
  t.QuaternionNormalize = &simd::QuaternionNormalize<SseIsa>;
  t.PlaneNormalize = &simd::PlaneNormalize<SseIsa>;
  t.PlaneIntersectLine = &simd::PlaneIntersectLine<SseIsa>;
  t.QuaternionRotationMatrix = &simd::QuaternionRotationMatrixScalar;
  t.QuaternionRotationYawPitchRoll = &simd::QuaternionRotationYawPitchRoll<SseIsa>;
  t.MatrixShadow = &simd::MatrixShadow<SseIsa>;
  t.MatrixReflect = &simd::MatrixReflect<SseIsa>;
  t.QuaternionInverse = &simd::QuaternionInverse<SseIsa>;
  t.Vec2CatmullRom = &simd::CatmullRom<SseIsa, GxVector2>;
  t.Vec2BaryCentric = &simd::BaryCentric<SseIsa, GxVector2>;
  t.Vec3Hermite = &simd::Hermite<SseIsa, GxVector3>;
  t.Vec3CatmullRom = &simd::CatmullRom<SseIsa, GxVector3>;
  t.Vec3BaryCentric = &simd::BaryCentric<SseIsa, GxVector3>;
  t.Vec4Hermite = &simd::Hermite<SseIsa, GxVector4>;
  t.Vec4CatmullRom = &simd::CatmullRom<SseIsa, GxVector4>;
  t.Vec4BaryCentric = &simd::BaryCentric<SseIsa, GxVector4>;
}

}  // namespace gx_math
