#include "platform/d3d8/gl_state_cache.h"

namespace d3d8 {

namespace {

// Sets `cached` to `value` and says whether that was a change.
template <typename T, typename U>
bool Update(T& cached, U value) {
  if (cached == static_cast<T>(value)) return false;
  cached = static_cast<T>(value);
  return true;
}

}  // namespace

void GlStateCache::Enable(GLenum capability, bool on) {
  Capability slot;
  switch (capability) {
    case GL_DEPTH_TEST: slot = kDepthTest; break;
    case GL_CULL_FACE: slot = kCullFace; break;
    case GL_BLEND: slot = kBlend; break;
    case GL_SCISSOR_TEST: slot = kScissorTest; break;
    default: return;
  }
  if (!Update(enabled_[slot], on ? 1 : 0)) return;
  if (on)
    glEnable(capability);
  else
    glDisable(capability);
}

void GlStateCache::DepthFunc(GLenum function) {
  if (Update(depthFunc_, function)) glDepthFunc(function);
}

void GlStateCache::DepthMask(bool write) {
  if (Update(depthMask_, write ? 1 : 0)) glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void GlStateCache::CullFace(GLenum face) {
  if (Update(cullFace_, face)) glCullFace(face);
}

void GlStateCache::BlendFunc(GLenum source, GLenum destination) {
  const bool changed = Update(blendSource_, source) | Update(blendDestination_, destination);
  if (changed) glBlendFunc(source, destination);
}

void GlStateCache::ColorMask(bool red, bool green, bool blue, bool alpha) {
  const int mask = (red ? 1 : 0) | (green ? 2 : 0) | (blue ? 4 : 0) | (alpha ? 8 : 0);
  if (Update(colorMask_, mask)) glColorMask(red, green, blue, alpha);
}

void GlStateCache::PolygonMode(GLenum mode) {
  if (Update(polygonMode_, mode)) glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void GlStateCache::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  const std::array<GLint, 4> wanted{x, y, width, height};
  if (viewport_ == wanted) return;
  viewport_ = wanted;
  glViewport(x, y, width, height);
}

void GlStateCache::Scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
  const std::array<GLint, 4> wanted{x, y, width, height};
  if (scissor_ == wanted) return;
  scissor_ = wanted;
  glScissor(x, y, width, height);
}

void GlStateCache::UseProgram(GLuint program) {
  if (Update(program_, program)) glUseProgram(program);
}

void GlStateCache::BindVertexArray(GLuint vertexArray) {
  if (Update(vertexArray_, vertexArray)) glBindVertexArray(vertexArray);
}

void GlStateCache::ActiveTexture(GLuint unit) {
  if (Update(activeUnit_, unit)) glActiveTexture(GL_TEXTURE0 + unit);
}

void GlStateCache::BindTexture(GLuint unit, GLuint texture) {
  if (unit >= kUnits || textures_[unit] == static_cast<GLint>(texture)) return;
  ActiveTexture(unit);
  textures_[unit] = static_cast<GLint>(texture);
  glBindTexture(GL_TEXTURE_2D, texture);
}

void GlStateCache::BindSampler(GLuint unit, GLuint sampler) {
  if (unit >= kUnits) return;
  if (Update(samplers_[unit], sampler)) glBindSampler(unit, sampler);
}

void GlStateCache::BindReadFramebuffer(GLuint framebuffer) {
  if (Update(readFramebuffer_, framebuffer)) glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
}

void GlStateCache::BindDrawFramebuffer(GLuint framebuffer) {
  if (Update(drawFramebuffer_, framebuffer)) glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
}

}  // namespace d3d8
