// Transform and lighting: world, view and projection as row-vector matrices,
// the fixed-function lighting model evaluated per vertex in camera space, and
// the texture coordinates and point size each vertex carries to the rasterizer.
#pragma once

#include <vector>

#include "clip_vertex.h"
#include "draw_context.h"
#include "vertex_fetch.h"

namespace d3d8pipe {

struct Vec3 {
  float x, y, z;
};

// A light moved into camera space, with the terms that do not depend on the vertex.
struct CameraLight {
  D3DLIGHTTYPE type;
  D3DCOLORVALUE diffuse, specular, ambient;
  Vec3 position;   // point and spot
  Vec3 toLight;    // directional: unit vector toward the light
  Vec3 spotAxis;   // spot: unit vector along the light's direction
  float range;
  float att0, att1, att2;
  float cosHalfTheta, cosHalfPhi, falloff;
};

class VertexProcessor {
 public:
  // Takes the states of a draw; the processor is reused from draw to draw so
  // that its light list keeps its storage.
  void Configure(const DrawContext& context, const FvfLayout& layout);

  void Process(const FetchedVertex& in, ClipVertex& out) const;

  bool PointScaling() const { return pointScale_; }

 private:
  void Light(const FetchedVertex& in, const Vec3& position, ClipVertex& out) const;
  void Unlit(const FetchedVertex& in, ClipVertex& out) const;
  void DeriveMatrices(const DrawContext& context);
  void DeriveLights(const DrawContext& context);

  FvfLayout layout_;
  D3DMATRIX worldView_{};
  D3DMATRIX worldViewProjection_{};
  float normalMatrix_[3][3] = {};  // inverse transpose of worldView's 3x3 part
  bool lighting_ = false;
  bool normalize_ = false;
  bool specularOn_ = false;
  bool localViewer_ = true;
  DWORD diffuseSource_ = D3DMCS_MATERIAL, specularSource_ = D3DMCS_MATERIAL;
  DWORD ambientSource_ = D3DMCS_MATERIAL, emissiveSource_ = D3DMCS_MATERIAL;
  bool vertexColorSource_ = false;  // some colour comes from the vertex
  D3DMATERIAL8 material_{};
  D3DCOLORVALUE globalAmbient_{};
  std::vector<CameraLight> lights_;
  // What the derived matrices and lights were made from: successive draws
  // mostly share them (a draw per star, per box), and they are not remade then.
  bool matricesMade_ = false;
  D3DMATRIX world_{}, view_{}, projection_{};
  bool lightsMade_ = false;
  D3DMATRIX lightsView_{};
  std::vector<D3DLIGHT8> lightsSource_;
  UINT stageSet_[kD3DTextureStageCount] = {};  // texture coordinate set per stage
  int stageCount_ = 0;                         // stages whose coordinates are carried
  bool pointScale_ = false;
  bool needsEye_ = false;  // Process computes the camera-space position
  float pointSize_ = 1, pointMin_ = 0, pointMax_ = 64, pointA_ = 1, pointB_ = 0, pointC_ = 0;
  float viewportHeight_ = 1;
};

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);
float StateFloat(DWORD bits);

}  // namespace d3d8pipe
