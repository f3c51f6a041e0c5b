#include "platform/d3d8/back_buffer.h"

namespace d3d8 {

namespace {

GlRenderbuffer MakeStorage(GLenum format, int width, int height, int samples) {
  GlRenderbuffer buffer = MakeGlRenderbuffer();
  glBindRenderbuffer(GL_RENDERBUFFER, buffer.get());
  if (samples > 0)
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
  else
    glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  return buffer;
}

bool Complete(GLuint framebuffer) {
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return complete;
}

}  // namespace

bool BackBuffer::Create(int width, int height, int samples, bool depth, std::string* error) {
  GLint maxSize = 0, maxSamples = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
  if (width < 1 || height < 1 || width > maxSize || height > maxSize) {
    *error = "the back buffer size is beyond what the driver offers";
    return false;
  }
  if (samples > maxSamples) {
    *error = "the driver offers no multisampling of that count";
    return false;
  }
  width_ = width;
  height_ = height;

  colour_ = MakeStorage(GL_RGBA8, width, height, samples);
  if (depth) depth_ = MakeStorage(GL_DEPTH_COMPONENT16, width, height, samples);
  draw_ = MakeGlFramebuffer();
  glBindFramebuffer(GL_FRAMEBUFFER, draw_.get());
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_.get());
  if (depth) glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_.get());
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!Complete(draw_.get())) {
    *error = "the driver cannot render into the back buffer format";
    return false;
  }
  samples_ = 0;
  if (samples > 0) {
    glBindRenderbuffer(GL_RENDERBUFFER, colour_.get());
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &samples_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    resolvedColour_ = MakeStorage(GL_RGBA8, width, height, 0);
    resolved_ = MakeGlFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, resolved_.get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolvedColour_.get());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!Complete(resolved_.get())) {
      *error = "the driver cannot resolve the multisampled back buffer";
      return false;
    }
  }
  return true;
}

GLuint BackBuffer::Resolve(GlStateCache& cache) {
  if (!resolved_) return draw_.get();
  cache.BindReadFramebuffer(draw_.get());
  cache.BindDrawFramebuffer(resolved_.get());
  cache.Enable(GL_SCISSOR_TEST, false);
  cache.ColorMask(true, true, true, true);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  return resolved_.get();
}

}  // namespace d3d8
