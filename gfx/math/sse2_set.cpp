// The SSE2 set: the SSE set, without its quaternion inverse, plus routines of
// its own for normalisation, planes, the 4-D cross product, quaternion
// builders, shadow and reflection, and the x and y rotation builders.
#include "gfx/math/dispatch_table.h"
#include "gfx/math/simd_quaternion_plane_routines.h"

namespace gx_math {

void InstallSse2Set(MathDispatchTable& t) {
  using simd::Sse2Isa;
  const auto portable_inverse = t.QuaternionInverse;
  InstallSseSet(t);
  t.QuaternionInverse = portable_inverse;  // this set keeps the slot as it was
  t.Vec3Normalize = &simd::Vec3Normalize<Sse2Isa>;
  t.PlaneFromPoints = &simd::PlaneFromPoints<Sse2Isa>;
  t.Vec4Cross = &simd::Vec4Cross<Sse2Isa>;
  t.PlaneNormalize = &simd::PlaneNormalize<Sse2Isa>;
  t.QuaternionRotationMatrix = &simd::QuaternionRotationMatrixVector;
  t.QuaternionRotationYawPitchRoll = &simd::QuaternionRotationYawPitchRoll<Sse2Isa>;
  t.MatrixShadow = &simd::MatrixShadow<Sse2Isa>;
  t.MatrixReflect = &simd::MatrixReflect<Sse2Isa>;
  t.MatrixRotationX = &simd::MatrixRotationX<Sse2Isa>;
  t.MatrixRotationY = &simd::MatrixRotationY<Sse2Isa>;
}

}  // namespace gx_math
