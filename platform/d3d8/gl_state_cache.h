// The GL state the device last set, so that a call which would change nothing is never
// made. Everything starts unknown, and Invalidate() forgets it all again (after code that
// talks to GL behind the cache's back).
#pragma once

#include <epoxy/gl.h>

#include <array>

namespace d3d8 {

class GlStateCache {
 public:
  void Invalidate() { *this = GlStateCache(); }

  void Enable(GLenum capability, bool on);  // GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_SCISSOR_TEST
  void DepthFunc(GLenum function);
  void DepthMask(bool write);
  void CullFace(GLenum face);
  void BlendFunc(GLenum source, GLenum destination);
  void ColorMask(bool red, bool green, bool blue, bool alpha);
  void PolygonMode(GLenum mode);
  void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
  void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);

  void UseProgram(GLuint program);
  void BindVertexArray(GLuint vertexArray);
  void BindTexture(GLuint unit, GLuint texture);  // 2-D textures on units 0 and 1
  void BindSampler(GLuint unit, GLuint sampler);
  void BindReadFramebuffer(GLuint framebuffer);
  void BindDrawFramebuffer(GLuint framebuffer);

 private:
  static constexpr int kUnknown = -1;
  static constexpr int kUnits = 2;

  void ActiveTexture(GLuint unit);

  enum Capability { kDepthTest, kCullFace, kBlend, kScissorTest, kCapabilityCount };
  std::array<int, kCapabilityCount> enabled_{kUnknown, kUnknown, kUnknown, kUnknown};
  GLint depthFunc_ = kUnknown;
  int depthMask_ = kUnknown;
  GLint cullFace_ = kUnknown;
  GLint blendSource_ = kUnknown, blendDestination_ = kUnknown;
  int colorMask_ = kUnknown;
  GLint polygonMode_ = kUnknown;
  std::array<GLint, 4> viewport_{kUnknown, kUnknown, kUnknown, kUnknown};
  std::array<GLint, 4> scissor_{kUnknown, kUnknown, kUnknown, kUnknown};
  GLint program_ = kUnknown;
  GLint vertexArray_ = kUnknown;
  GLint activeUnit_ = kUnknown;
  std::array<GLint, kUnits> textures_{kUnknown, kUnknown};
  std::array<GLint, kUnits> samplers_{kUnknown, kUnknown};
  GLint readFramebuffer_ = kUnknown, drawFramebuffer_ = kUnknown;
};

}  // namespace d3d8
