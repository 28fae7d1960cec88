// Portable quaternion routines.
#include <algorithm>
#include <cmath>

#include "gfx/math/math_portable.h"
#include "gfx/math/math_scalar.h"

namespace gx_math::portable {

namespace {

// Below this squared norm a quaternion has no usable inverse.
constexpr float kInverseZeroNorm = 1.0842022e-19f;  // 2^-63

float Dot(const GxQuaternion& a, const GxQuaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

GxQuaternion Scaled(const GxQuaternion& q, float s) { return {q.x * s, q.y * s, q.z * s, q.w * s}; }
GxQuaternion Sum(const GxQuaternion& a, const GxQuaternion& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
GxQuaternion Negated(const GxQuaternion& q) { return {-q.x, -q.y, -q.z, -q.w}; }

// The Hamilton product a·b (rotation b, then a).
GxQuaternion Hamilton(const GxQuaternion& a, const GxQuaternion& b) {
  GxQuaternion r;
  QuaternionMultiply(&r, &b, &a);
  return r;
}

// Negates `q` when it lies in the other hemisphere from `reference`.
GxQuaternion Aligned(const GxQuaternion& q, const GxQuaternion& reference) {
  const GxQuaternion d = Sum(q, Negated(reference));
  const GxQuaternion s = Sum(q, reference);
  return Dot(d, d) > Dot(s, s) ? Negated(q) : q;
}

// The inner control point at `q` between its neighbours: q·exp(-(ln(q⁻¹·next) + ln(q⁻¹·prev))/4).
GxQuaternion ControlPoint(const GxQuaternion& prev, const GxQuaternion& q, const GxQuaternion& next) {
  GxQuaternion inv, ln_next, ln_prev, e;
  QuaternionInverse(&inv, &q);
  const GxQuaternion to_next = Hamilton(inv, next);
  const GxQuaternion to_prev = Hamilton(inv, prev);
  QuaternionLn(&ln_next, &to_next);
  QuaternionLn(&ln_prev, &to_prev);
  const GxQuaternion sum = Scaled(Sum(ln_next, ln_prev), -0.25f);
  QuaternionExp(&e, &sum);
  return Hamilton(q, e);
}

}  // namespace

GxQuaternion* QuaternionMultiply(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2) {
  const GxQuaternion a = *q1, b = *q2;
  *out = GxQuaternion(b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,  //
                      b.w * a.y - b.x * a.z + a.w * b.y + a.x * b.z,  //
                      b.w * a.z + b.x * a.y - a.x * b.y + a.w * b.z,  //
                      b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z);
  return out;
}

GxQuaternion* QuaternionInverse(GxQuaternion* out, const GxQuaternion* q) {
  const GxQuaternion in = *q;
  const float n = Dot(in, in);
  if (n <= kInverseZeroNorm) {
    *out = GxQuaternion(0, 0, 0, 0);
    return out;
  }
  const GxQuaternion conj(-in.x, -in.y, -in.z, in.w);
  *out = IsNear(n, 1.0f) ? conj : Scaled(conj, 1.0f / n);
  return out;
}

GxQuaternion* QuaternionLn(GxQuaternion* out, const GxQuaternion* q) {
  const GxQuaternion in = *q;
  if (in.w < 1.0f) {
    const float theta = std::acos(in.w);
    const float s = std::sin(theta);
    if (!IsNear(s, 0.0f)) {
      const float k = theta / s;
      *out = GxQuaternion(in.x * k, in.y * k, in.z * k, 0.0f);
      return out;
    }
  }
  *out = GxQuaternion(in.x, in.y, in.z, 0.0f);
  return out;
}

GxQuaternion* QuaternionExp(GxQuaternion* out, const GxQuaternion* q) {
  const GxQuaternion in = *q;
  const float theta = std::sqrt(in.x * in.x + in.y * in.y + in.z * in.z);
  const float s = std::sin(theta);
  const float c = std::cos(theta);
  if (IsNear(s, 0.0f)) {
    *out = GxQuaternion(in.x, in.y, in.z, c);
  } else {
    const float k = s / theta;
    *out = GxQuaternion(in.x * k, in.y * k, in.z * k, c);
  }
  return out;
}

void QuaternionToAxisAngle(const GxQuaternion* q, GxVector3* axis, float* angle) {
  const GxQuaternion in = *q;
  const float n = Dot(in, in);
  GxVector3 a(1.0f, 0.0f, 0.0f);
  float theta = 0.0f;
  if (n > kZeroLengthSquared) {
    const float r = 1.0f / std::sqrt(n);
    a = GxVector3(in.x * r, in.y * r, in.z * r);
    // A quaternion that is not of unit length may carry |w| > 1; keep the angle defined.
    theta = 2.0f * std::acos(std::clamp(in.w, -1.0f, 1.0f));
  }
  if (axis) *axis = a;
  if (angle) *angle = theta;
}

GxQuaternion* QuaternionRotationMatrix(GxQuaternion* out, const GxMatrix* m) {
  const auto& e = m->m;
  const float trace = e[0][0] + e[1][1] + e[2][2];
  if (trace > 0.0f) {
    const float w = std::sqrt(trace + 1.0f) * 0.5f;
    const float k = 0.25f / w;
    *out = GxQuaternion((e[1][2] - e[2][1]) * k, (e[2][0] - e[0][2]) * k, (e[0][1] - e[1][0]) * k, w);
    return out;
  }
  // The largest diagonal entry picks the component computed from the square root
  // (x over y on a tie; z only when strictly the largest).
  int i = e[1][1] > e[0][0] ? 1 : 0;
  if (e[2][2] > e[i][i]) i = 2;
  const int j = (i + 1) % 3;
  const int k = (i + 2) % 3;
  float r[3];
  r[i] = std::sqrt(e[i][i] - e[j][j] - e[k][k] + 1.0f) * 0.5f;
  const float f = 0.25f / r[i];
  r[j] = (e[i][j] + e[j][i]) * f;
  r[k] = (e[i][k] + e[k][i]) * f;
  const float w = (e[j][k] - e[k][j]) * f;
  *out = GxQuaternion(r[0], r[1], r[2], w);
  return out;
}

GxQuaternion* QuaternionRotationYawPitchRoll(GxQuaternion* out, float yaw, float pitch, float roll) {
  const float sy = std::sin(yaw * 0.5f), cy = std::cos(yaw * 0.5f);
  const float sp = std::sin(pitch * 0.5f), cp = std::cos(pitch * 0.5f);
  const float sr = std::sin(roll * 0.5f), cr = std::cos(roll * 0.5f);
  *out = GxQuaternion(cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                      cy * cp * cr + sy * sp * sr);
  return out;
}

GxQuaternion* QuaternionRotationAxis(GxQuaternion* out, const GxVector3* axis, float angle) {
  GxVector3 n;
  Vec3Normalize(&n, axis);
  const float s = std::sin(angle * 0.5f);
  *out = GxQuaternion(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
  return out;
}

GxQuaternion* QuaternionSlerp(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2, float t) {
  const GxQuaternion a = *q1, b = *q2;
  float c = Dot(a, b);
  const float sign = c >= 0.0f ? 1.0f : -1.0f;  // take the short way round
  c *= sign;
  float k1, k2;
  if (1.0f - c > kUnitTolerance) {
    const float theta = std::atan2(std::sqrt(1.0f - c * c), c);
    const float inv_sin = 1.0f / std::sin(theta);
    k1 = std::sin((1.0f - t) * theta) * inv_sin;
    k2 = std::sin(t * theta) * inv_sin;
  } else {
    k1 = 1.0f - t;
    k2 = t;
  }
  *out = Sum(Scaled(a, k1), Scaled(b, sign * k2));
  return out;
}

GxQuaternion* QuaternionSquad(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* a, const GxQuaternion* b,
                              const GxQuaternion* c, float t) {
  GxQuaternion outer, inner;
  QuaternionSlerp(&outer, q1, c, t);
  QuaternionSlerp(&inner, a, b, t);
  return QuaternionSlerp(out, &outer, &inner, 2.0f * t * (1.0f - t));
}

void QuaternionSquadSetup(GxQuaternion* a, GxQuaternion* b, GxQuaternion* c, const GxQuaternion* q0,
                          const GxQuaternion* q1, const GxQuaternion* q2, const GxQuaternion* q3) {
  const GxQuaternion p1 = *q1;
  const GxQuaternion p0 = Aligned(*q0, p1);
  const GxQuaternion p2 = Aligned(*q2, p1);
  const GxQuaternion p3 = Aligned(*q3, p2);
  const GxQuaternion ra = ControlPoint(p0, p1, p2);
  const GxQuaternion rb = ControlPoint(p1, p2, p3);
  *a = ra;
  *b = rb;
  *c = p2;
}

GxQuaternion* QuaternionBaryCentric(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2,
                                    const GxQuaternion* q3, float f, float g) {
  const float s = f + g;
  if (IsNear(s, 0.0f)) {
    *out = *q1;
    return out;
  }
  GxQuaternion a, b;
  QuaternionSlerp(&a, q1, q2, s);
  QuaternionSlerp(&b, q1, q3, s);
  return QuaternionSlerp(out, &a, &b, g / s);
}

}  // namespace gx_math::portable
