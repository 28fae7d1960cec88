// The reference scene through OpenGL's fixed-function pipeline on Mesa's
// llvmpipe (OSMesa), with the same geometry, textures and states.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <cstdio>

#include "renderers.h"

namespace {

using refscene::Scene;

GLuint Upload(const refscene::Image& image, bool mips) {
  GLuint name;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  int w = image.width, h = image.height;
  const size_t levels = mips ? image.levels.size() : 1;
  for (size_t i = 0; i < levels; ++i) {
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 image.levels[i].data());
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mips ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return name;
}

class LlvmpipeRenderer : public SceneRenderer {
 public:
  explicit LlvmpipeRenderer(const Scene& scene) : scene_(scene), color_(refscene::kWidth * refscene::kHeight) {
    context_ = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    if (!context_ || !OSMesaMakeCurrent(context_, color_.data(), GL_UNSIGNED_BYTE, refscene::kWidth, refscene::kHeight)) {
      std::fprintf(stderr, "OSMesa context failed\n");
      return;
    }
    earth_ = Upload(scene.earth, true);
    star_ = Upload(scene.star, true);
    text_ = Upload(scene.textImage, false);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glViewport(0, 0, refscene::kWidth, refscene::kHeight);
    glDepthFunc(GL_LEQUAL);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    const GLfloat ambient[4] = {64 / 255.0f, 64 / 255.0f, 64 / 255.0f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const D3DLIGHT8& l = scene.light;
    const GLfloat diffuse[4] = {l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, 1};
    const GLfloat lightAmbient[4] = {l.Ambient.r, l.Ambient.g, l.Ambient.b, 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    const D3DMATERIAL8& m = scene.material;
    const GLfloat md[4] = {m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a};
    const GLfloat ma[4] = {m.Ambient.r, m.Ambient.g, m.Ambient.b, m.Ambient.a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, md);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ma);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    ready_ = true;
  }

  ~LlvmpipeRenderer() override {
    if (context_) OSMesaDestroyContext(context_);
  }

  void DrawFrame(int frame) override {
    if (!ready_) return;
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Direct3D's projection maps depth to 0..1; OpenGL's to −1..1: the same
    // matrix with z scaled and shifted.
    D3DMATRIX glProjection = scene_.projection;
    for (int r = 0; r < 4; ++r) glProjection.m[r][2] = 2 * glProjection.m[r][2] - glProjection.m[r][3];
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&glProjection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&scene_.view.m[0][0]);
    const D3DVECTOR& d = scene_.light.Direction;
    const GLfloat toLight[4] = {-d.x, -d.y, -d.z, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, toLight);

    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDisable(GL_BLEND);

    // Globe.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, earth_);
    const refscene::Parts& parts = refscene::SelectedParts();
    if (parts.globe) DrawMesh(scene_.sphere, scene_.sphereIndices, refscene::GlobeWorld(frame), true);
    // Boxes.
    glDisable(GL_TEXTURE_2D);
    for (const D3DMATRIX& world : scene_.boxWorld)
      if (parts.grid) DrawMesh(scene_.box, scene_.boxIndices, world, false);

    // Stars.
    glLoadMatrixf(&scene_.view.m[0][0]);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, star_);
    glEnable(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    const GLfloat attenuation[3] = {0, 0, 1};
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
    glPointSize(2.0f * refscene::kHeight);  // Direct3D scales by the viewport height
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(refscene::StarVertex), &scene_.stars[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(refscene::StarVertex), &scene_.stars[0].color);
    for (GLint i = 0; parts.stars && i < static_cast<GLint>(scene_.stars.size()); ++i) glDrawArrays(GL_POINTS, i, 1);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_POINT_SPRITE);

    // Text quad in pixel coordinates.
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, refscene::kWidth, refscene::kHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, text_);
    glColor4ub(255, 255, 0, 255);
    if (parts.text) {
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0); glVertex2f(0, 0);
      glTexCoord2f(0, 1); glVertex2f(0, 32);
      glTexCoord2f(1, 1); glVertex2f(256, 32);
      glTexCoord2f(1, 0); glVertex2f(256, 0);
      glEnd();
    }
    glColor4ub(255, 255, 255, 255);
    glFinish();
  }

  std::vector<uint32_t> Pixels() override {
    // OSMesa's rows run bottom-up.
    std::vector<uint32_t> out(color_.size());
    for (int y = 0; y < refscene::kHeight; ++y)
      for (int x = 0; x < refscene::kWidth; ++x)
        out[static_cast<size_t>(y) * refscene::kWidth + x] = color_[static_cast<size_t>(refscene::kHeight - 1 - y) * refscene::kWidth + x];
    return out;
  }

 private:
  void DrawMesh(const std::vector<refscene::MeshVertex>& vertices, const std::vector<uint16_t>& indices,
                const D3DMATRIX& world, bool textured) {
    const D3DMATRIX modelView = refscene::Multiply(world, scene_.view);
    glLoadMatrixf(&modelView.m[0][0]);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(refscene::MeshVertex), &vertices[0].x);
    glNormalPointer(GL_FLOAT, sizeof(refscene::MeshVertex), &vertices[0].nx);
    if (textured) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, sizeof(refscene::MeshVertex), &vertices[0].u);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
  }

  const Scene& scene_;
  std::vector<uint32_t> color_;
  OSMesaContext context_ = nullptr;
  bool ready_ = false;
  GLuint earth_ = 0, star_ = 0, text_ = 0;
};

}  // namespace

std::unique_ptr<SceneRenderer> MakeLlvmpipeRenderer(const refscene::Scene& scene) {
  return std::make_unique<LlvmpipeRenderer>(scene);
}
