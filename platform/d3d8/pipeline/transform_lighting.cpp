#include "transform_lighting.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "texture_stages.h"

namespace d3d8pipe {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

float StateFloat(DWORD bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

namespace {

Vec3 TransformPoint(const D3DMATRIX& m, float x, float y, float z) {
  return {x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
          x * m._13 + y * m._23 + z * m._33 + m._43};
}

Vec3 TransformDirection(const D3DMATRIX& m, const Vec3& v) {
  return {v.x * m._11 + v.y * m._21 + v.z * m._31, v.x * m._12 + v.y * m._22 + v.z * m._32,
          v.x * m._13 + v.y * m._23 + v.z * m._33};
}

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline __attribute__((always_inline)) Vec3 Normalized(const Vec3& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length <= 0.0f) return {0, 0, 0};
  return {v.x / length, v.y / length, v.z / length};
}

D3DCOLORVALUE FromColor(D3DCOLOR c) {
  return {static_cast<float>((c >> 16) & 0xFF) / 255.0f, static_cast<float>((c >> 8) & 0xFF) / 255.0f,
          static_cast<float>(c & 0xFF) / 255.0f, static_cast<float>(c >> 24) / 255.0f};
}

// Clamps the colour to [0, 1], four channels at once; a NaN channel stays NaN
// (maxps and minps return their second operand when one is NaN).
inline void StoreColor(float* attr, __m128 rgba) {
  _mm_storeu_ps(attr, _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), rgba)));
}
inline void StoreColor(float* attr, float r, float g, float b, float a) { StoreColor(attr, _mm_setr_ps(r, g, b, a)); }

// A colour value as four lanes r, g, b, a.
inline __m128 Lanes(const D3DCOLORVALUE& c) { return _mm_setr_ps(c.r, c.g, c.b, c.a); }

// rgb from `color`, alpha replaced.
inline __m128 WithAlpha(__m128 color, float alpha) {
  const __m128 rgbMask = _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0));
  return _mm_or_ps(_mm_and_ps(rgbMask, color), _mm_andnot_ps(rgbMask, _mm_set1_ps(alpha)));
}

// Inverse transpose of the upper 3x3 part, for normals; a singular matrix
// falls back to the matrix itself.
void NormalMatrix(const D3DMATRIX& m, float out[3][3]) {
  const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
  const float c00 = e * i - f * h, c01 = -(d * i - f * g), c02 = d * h - e * g;
  const float c10 = -(b * i - c * h), c11 = a * i - c * g, c12 = -(a * h - b * g);
  const float c20 = b * f - c * e, c21 = -(a * f - c * d), c22 = a * e - b * d;
  const float det = a * c00 + b * c01 + c * c02;
  if (std::fabs(det) < 1e-30f) {
    const float copy[3][3] = {{a, b, c}, {d, e, f}, {g, h, i}};
    std::memcpy(out, copy, sizeof copy);
    return;
  }
  // Row-vector convention: n' = n * (M^-1)^T, and (M^-1)^T = cofactor matrix / det.
  const float inv = 1.0f / det;
  const float cof[3][3] = {{c00, c01, c02}, {c10, c11, c12}, {c20, c21, c22}};
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) out[r][k] = cof[r][k] * inv;
}

bool SameBits(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

void VertexProcessor::DeriveMatrices(const DrawContext& context) {
  if (matricesMade_ && SameBits(context.world, world_) && SameBits(context.view, view_) &&
      SameBits(context.projection, projection_))
    return;
  world_ = context.world;
  view_ = context.view;
  projection_ = context.projection;
  worldView_ = Multiply(context.world, context.view);
  worldViewProjection_ = Multiply(worldView_, context.projection);
  NormalMatrix(worldView_, normalMatrix_);
  matricesMade_ = true;
}

void VertexProcessor::DeriveLights(const DrawContext& context) {
  const size_t count = context.lights != nullptr ? context.lightCount : 0;
  if (lightsMade_ && SameBits(context.view, lightsView_) && count == lightsSource_.size() &&
      (count == 0 || std::memcmp(context.lights, lightsSource_.data(), count * sizeof(D3DLIGHT8)) == 0))
    return;
  lightsView_ = context.view;
  lightsSource_.assign(context.lights, context.lights + count);
  lights_.clear();
  for (const D3DLIGHT8& l : lightsSource_) {
    if (l.Type != D3DLIGHT_POINT && l.Type != D3DLIGHT_SPOT && l.Type != D3DLIGHT_DIRECTIONAL) continue;
    CameraLight c{};
    c.type = l.Type;
    c.diffuse = l.Diffuse;
    c.specular = l.Specular;
    c.ambient = l.Ambient;
    c.position = TransformPoint(context.view, l.Position.x, l.Position.y, l.Position.z);
    const Vec3 direction = Normalized(TransformDirection(context.view, {l.Direction.x, l.Direction.y, l.Direction.z}));
    c.toLight = {-direction.x, -direction.y, -direction.z};
    c.spotAxis = direction;
    c.range = l.Range;
    c.att0 = l.Attenuation0;
    c.att1 = l.Attenuation1;
    c.att2 = l.Attenuation2;
    c.cosHalfTheta = std::cos(l.Theta * 0.5f);
    c.cosHalfPhi = std::cos(l.Phi * 0.5f);
    c.falloff = l.Falloff;
    lights_.push_back(c);
  }
  lightsMade_ = true;
}

void VertexProcessor::Configure(const DrawContext& context, const FvfLayout& layout) {
  layout_ = layout;
  const DWORD* rs = context.renderStates;
  DeriveMatrices(context);
  lighting_ = !layout.pretransformed && rs[D3DRS_LIGHTING] != FALSE;
  normalize_ = rs[D3DRS_NORMALIZENORMALS] != FALSE;
  specularOn_ = rs[D3DRS_SPECULARENABLE] != FALSE;
  localViewer_ = rs[D3DRS_LOCALVIEWER] != FALSE;
  const bool colorVertex = rs[D3DRS_COLORVERTEX] != FALSE;
  auto source = [&](D3DRENDERSTATETYPE state) -> DWORD {
    const DWORD s = rs[state];
    if (!colorVertex) return D3DMCS_MATERIAL;
    if (s == D3DMCS_COLOR1 && layout.diffuse >= 0) return D3DMCS_COLOR1;
    if (s == D3DMCS_COLOR2 && layout.specular >= 0) return D3DMCS_COLOR2;
    return D3DMCS_MATERIAL;
  };
  diffuseSource_ = source(D3DRS_DIFFUSEMATERIALSOURCE);
  specularSource_ = source(D3DRS_SPECULARMATERIALSOURCE);
  ambientSource_ = source(D3DRS_AMBIENTMATERIALSOURCE);
  emissiveSource_ = source(D3DRS_EMISSIVEMATERIALSOURCE);
  vertexColorSource_ = diffuseSource_ != D3DMCS_MATERIAL || specularSource_ != D3DMCS_MATERIAL ||
                       ambientSource_ != D3DMCS_MATERIAL || emissiveSource_ != D3DMCS_MATERIAL;
  material_ = context.material;
  globalAmbient_ = FromColor(rs[D3DRS_AMBIENT]);
  if (lighting_) DeriveLights(context);

  for (UINT s = 0; s < kD3DTextureStageCount; ++s) {
    stageSet_[s] = context.stageStates[s][D3DTSS_TEXCOORDINDEX] & 0xFFFFu;
    if (stageSet_[s] >= D3DDP_MAXTEXCOORD) stageSet_[s] = 0;
  }
  // Coordinates of the stages the pixel work runs; later attributes are not read.
  stageCount_ = ActiveStageCount(context.stageStates);

  pointScale_ = rs[D3DRS_POINTSCALEENABLE] != FALSE && !layout.pretransformed;
  pointSize_ = StateFloat(rs[D3DRS_POINTSIZE]);
  pointMin_ = StateFloat(rs[D3DRS_POINTSIZE_MIN]);
  pointMax_ = StateFloat(rs[D3DRS_POINTSIZE_MAX]);
  pointA_ = StateFloat(rs[D3DRS_POINTSCALE_A]);
  pointB_ = StateFloat(rs[D3DRS_POINTSCALE_B]);
  pointC_ = StateFloat(rs[D3DRS_POINTSCALE_C]);
  viewportHeight_ = static_cast<float>(context.viewport.Height);

  // The camera-space position matters to point sizes, to lights with a
  // position and to the specular term with a local viewer.
  bool positionedLight = false;
  for (const CameraLight& light : lights_) positionedLight = positionedLight || light.type != D3DLIGHT_DIRECTIONAL;
  needsEye_ = pointScale_ || (lighting_ && (positionedLight || (specularOn_ && localViewer_)));
}

void VertexProcessor::Process(const FetchedVertex& in, ClipVertex& out) const {
  const float* p = in.position;
  Vec3 eye{0, 0, 0};
  if (layout_.pretransformed) {
    out.pos[0] = p[0];
    out.pos[1] = p[1];
    out.pos[2] = p[2];
    out.pos[3] = p[3] > 0.0f && std::isfinite(p[3]) ? 1.0f / p[3] : 1.0f;
  } else {
    // x·row0 + y·row1 + z·row2 + row3, the four outputs in lanes.
    const D3DMATRIX& m = worldViewProjection_;
    const __m128 xy = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(p[0]), _mm_loadu_ps(m.m[0])),
                                 _mm_mul_ps(_mm_set1_ps(p[1]), _mm_loadu_ps(m.m[1])));
    const __m128 xyz = _mm_add_ps(xy, _mm_mul_ps(_mm_set1_ps(p[2]), _mm_loadu_ps(m.m[2])));
    _mm_storeu_ps(out.pos, _mm_add_ps(xyz, _mm_loadu_ps(m.m[3])));
    if (needsEye_) eye = TransformPoint(worldView_, p[0], p[1], p[2]);
  }

  if (lighting_) {
    Light(in, eye, out);
  } else {
    Unlit(in, out);
  }

  for (int s = 0; s < stageCount_; ++s) {
    const float* t = in.texCoord[stageSet_[s]];
    out.attr[kTexAttr + 2 * s] = t[0];
    out.attr[kTexAttr + 2 * s + 1] = t[1];
  }

  float size = layout_.pointSize >= 0 ? in.pointSize : pointSize_;
  if (pointScale_) {
    const float distance = std::sqrt(Dot(eye, eye));
    const float denominator = pointA_ + pointB_ * distance + pointC_ * distance * distance;
    size = denominator > 0.0f ? viewportHeight_ * size * std::sqrt(1.0f / denominator) : pointMax_;
  }
  out.pointSize = std::clamp(size, std::max(pointMin_, 0.0f), std::max(pointMax_, pointMin_));
}

void VertexProcessor::Unlit(const FetchedVertex& in, ClipVertex& out) const {
  const D3DCOLORVALUE d = FromColor(in.diffuse);
  const D3DCOLORVALUE s = FromColor(in.specular);
  StoreColor(out.attr + kDiffuseAttr, d.r, d.g, d.b, d.a);
  StoreColor(out.attr + kSpecularAttr, s.r, s.g, s.b, s.a);
}

void VertexProcessor::Light(const FetchedVertex& in, const Vec3& position, ClipVertex& out) const {
  const float* n = in.normal;
  Vec3 normal{n[0] * normalMatrix_[0][0] + n[1] * normalMatrix_[1][0] + n[2] * normalMatrix_[2][0],
              n[0] * normalMatrix_[0][1] + n[1] * normalMatrix_[1][1] + n[2] * normalMatrix_[2][1],
              n[0] * normalMatrix_[0][2] + n[1] * normalMatrix_[1][2] + n[2] * normalMatrix_[2][2]};
  if (normalize_) normal = Normalized(normal);

  D3DCOLORVALUE md = material_.Diffuse, ma = material_.Ambient, ms = material_.Specular, me = material_.Emissive;
  if (vertexColorSource_) {
    auto pick = [&](DWORD source, D3DCOLORVALUE& color) {
      if (source == D3DMCS_COLOR1) color = FromColor(in.diffuse);
      if (source == D3DMCS_COLOR2) color = FromColor(in.specular);
    };
    pick(diffuseSource_, md);
    pick(ambientSource_, ma);
    pick(specularSource_, ms);
    pick(emissiveSource_, me);
  }

  // The three colour channels side by side in lanes, each with the operations
  // of the scalar sums in the same order.
  __m128 ambient = Lanes(globalAmbient_);
  __m128 diffuse = _mm_setzero_ps(), specular = _mm_setzero_ps();
  // Only the specular term looks toward the eye.
  Vec3 toEye{0, 0, 1};
  if (specularOn_ && localViewer_) toEye = Normalized({-position.x, -position.y, -position.z});

  for (const CameraLight& light : lights_) {
    Vec3 toLight = light.toLight;
    float attenuation = 1.0f;
    if (light.type != D3DLIGHT_DIRECTIONAL) {
      const Vec3 d{light.position.x - position.x, light.position.y - position.y, light.position.z - position.z};
      const float distance = std::sqrt(Dot(d, d));
      if (distance > light.range) continue;
      const float denominator = light.att0 + light.att1 * distance + light.att2 * distance * distance;
      attenuation = denominator > 0.0f ? 1.0f / denominator : 1.0f;
      toLight = distance > 0.0f ? Vec3{d.x / distance, d.y / distance, d.z / distance} : Vec3{0, 0, 0};
      if (light.type == D3DLIGHT_SPOT) {
        const float rho = -Dot(toLight, light.spotAxis);
        if (rho <= light.cosHalfPhi) continue;
        if (rho <= light.cosHalfTheta) {
          const float span = light.cosHalfTheta - light.cosHalfPhi;
          const float t = span > 0.0f ? (rho - light.cosHalfPhi) / span : 1.0f;
          attenuation *= light.falloff == 1.0f ? t : std::pow(t, light.falloff);
        }
      }
    }
    ambient = _mm_add_ps(ambient, _mm_mul_ps(_mm_set1_ps(attenuation), Lanes(light.ambient)));
    const float lambert = Dot(normal, toLight);
    if (lambert <= 0.0f) continue;
    diffuse = _mm_add_ps(diffuse, _mm_mul_ps(_mm_set1_ps(attenuation * lambert), Lanes(light.diffuse)));
    if (specularOn_) {
      const Vec3 half = Normalized({toEye.x + toLight.x, toEye.y + toLight.y, toEye.z + toLight.z});
      const float nh = Dot(normal, half);
      if (nh > 0.0f) {
        const float power = material_.Power > 0.0f ? std::pow(nh, material_.Power) : 1.0f;
        specular = _mm_add_ps(specular, _mm_mul_ps(_mm_set1_ps(attenuation * power), Lanes(light.specular)));
      }
    }
  }

  const __m128 lit = _mm_add_ps(_mm_add_ps(Lanes(me), _mm_mul_ps(Lanes(ma), ambient)), _mm_mul_ps(Lanes(md), diffuse));
  StoreColor(out.attr + kDiffuseAttr, WithAlpha(lit, md.a));
  StoreColor(out.attr + kSpecularAttr, WithAlpha(_mm_mul_ps(Lanes(ms), specular), ms.a));
}

}  // namespace d3d8pipe
