#include "clipper.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace d3d8pipe {

namespace {

bool Finite(const float* pos) {
  return std::isfinite(pos[0]) && std::isfinite(pos[1]) && std::isfinite(pos[2]) && std::isfinite(pos[3]);
}

}  // namespace

float Clipper::Distance(int plane, const float* pos) const {
  const float x = pos[0], y = pos[1], z = pos[2], w = pos[3];
  switch (plane) {
    case 0: return z;             // near
    case 1: return w - z;         // far
    case 2: return x + guardX_ * w;
    case 3: return guardX_ * w - x;
    case 4: return y + guardY_ * w;
    default: return guardY_ * w - y;
  }
}

unsigned Clipper::Outcode(const float* pos) const {
  // The distances of Distance(), all six at once; NaN counts as outside.
  const float x = pos[0], y = pos[1], z = pos[2], w = pos[3];
  const float bandX = guardX_ * w, bandY = guardY_ * w;
  return static_cast<unsigned>(!(z >= 0.0f)) | static_cast<unsigned>(!(w - z >= 0.0f)) << 1 |
         static_cast<unsigned>(!(x + bandX >= 0.0f)) << 2 | static_cast<unsigned>(!(bandX - x >= 0.0f)) << 3 |
         static_cast<unsigned>(!(y + bandY >= 0.0f)) << 4 | static_cast<unsigned>(!(bandY - y >= 0.0f)) << 5;
}

void Clipper::Lerp(const ClipVertex& a, const ClipVertex& b, float t, ClipVertex& out) const {
  for (int i = 0; i < 4; ++i) out.pos[i] = a.pos[i] + (b.pos[i] - a.pos[i]) * t;
  for (int i = 0; i < attrCount_; ++i) out.attr[i] = a.attr[i] + (b.attr[i] - a.attr[i]) * t;
  out.pointSize = a.pointSize + (b.pointSize - a.pointSize) * t;
}

int Clipper::ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                          ClipVertex out[kMaxClippedVertices]) const {
  if (!Finite(a.pos) || !Finite(b.pos) || !Finite(c.pos)) return 0;
  const unsigned ca = Outcode(a.pos), cb = Outcode(b.pos), cc = Outcode(c.pos);
  if ((ca & cb & cc) != 0) return 0;
  out[0] = a;
  out[1] = b;
  out[2] = c;
  const unsigned crossing = ca | cb | cc;
  if (crossing == 0) return 3;

  ClipVertex scratch[kMaxClippedVertices];
  ClipVertex* source = out;
  ClipVertex* target = scratch;
  int count = 3;
  for (int plane = 0; plane < kClipPlaneCount && count > 0; ++plane) {
    if ((crossing & (1u << plane)) == 0) continue;
    int written = 0;
    for (int i = 0; i < count; ++i) {
      const ClipVertex& p = source[i];
      const ClipVertex& q = source[(i + 1) % count];
      const float dp = Distance(plane, p.pos);
      const float dq = Distance(plane, q.pos);
      if (written >= kMaxClippedVertices - 1) break;  // only reachable through rounding noise
      if (dp >= 0.0f) target[written++] = p;
      if ((dp >= 0.0f) != (dq >= 0.0f)) {
        // Always interpolate from the inside vertex so that shared edges of
        // neighbouring triangles produce the same new vertex.
        if (dp >= 0.0f) {
          Lerp(p, q, dp / (dp - dq), target[written++]);
        } else {
          Lerp(q, p, dq / (dq - dp), target[written++]);
        }
      }
    }
    count = written;
    std::swap(source, target);
  }
  if (source != out) {
    for (int i = 0; i < count; ++i) out[i] = source[i];
  }
  return count >= 3 ? count : 0;
}

bool Clipper::ClipLine(ClipVertex& a, ClipVertex& b) const {
  if (!Finite(a.pos) || !Finite(b.pos)) return false;
  const unsigned ca = Outcode(a.pos), cb = Outcode(b.pos);
  if ((ca & cb) != 0) return false;
  if ((ca | cb) == 0) return true;
  float t0 = 0.0f, t1 = 1.0f;
  for (int plane = 0; plane < kClipPlaneCount; ++plane) {
    const float da = Distance(plane, a.pos), db = Distance(plane, b.pos);
    if (da < 0.0f && db < 0.0f) return false;
    if (da < 0.0f) t0 = std::max(t0, da / (da - db));
    else if (db < 0.0f) t1 = std::min(t1, da / (da - db));
    else if (!(da >= 0.0f && db >= 0.0f)) return false;  // NaN
  }
  if (t0 >= t1) return false;
  const ClipVertex originalA = a;
  const ClipVertex originalB = b;
  if (t0 > 0.0f) Lerp(originalA, originalB, t0, a);
  if (t1 < 1.0f) Lerp(originalA, originalB, t1, b);
  return true;
}

}  // namespace d3d8pipe
