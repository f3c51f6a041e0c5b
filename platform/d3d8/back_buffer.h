// The back buffer: an off-screen framebuffer of exactly the size the presentation
// parameters ask for, RGBA8 colour and a 16-bit depth buffer, multisampled on request and
// then resolved into a single-sample copy for presenting and reading back.
#pragma once

#include <string>

#include "platform/d3d8/gl_objects.h"
#include "platform/d3d8/gl_state_cache.h"

namespace d3d8 {

class BackBuffer {
 public:
  // samples 0: no multisampling; otherwise at least that many (the driver may round up).
  bool Create(int width, int height, int samples, bool depth, std::string* error);

  int width() const { return width_; }
  int height() const { return height_; }
  int samples() const { return samples_; }  // as the driver made it; 0 when single-sampled
  bool hasDepth() const { return static_cast<bool>(depth_); }

  // Where drawing goes.
  GLuint DrawFramebuffer() const { return draw_.get(); }
  // A single-sample framebuffer holding what was drawn (resolved now if multisampled).
  GLuint Resolve(GlStateCache& cache);

 private:
  int width_ = 0, height_ = 0, samples_ = 0;
  GlRenderbuffer colour_, depth_, resolvedColour_;
  GlFramebuffer draw_, resolved_;
};

}  // namespace d3d8
