// Everything of a device that lives in GL: the context, the state cache, the back buffer,
// the fixed-function program, the stage-0 sampler and the text renderer.
#pragma once

#include <memory>

#include "platform/d3d8/back_buffer.h"
#include "platform/d3d8/ffp_program.h"
#include "platform/d3d8/gl_context.h"
#include "platform/d3d8/gl_device.h"
#include "platform/d3d8/gl_objects.h"
#include "platform/d3d8/gl_state_cache.h"
#include "platform/d3d8/gl_text.h"

namespace d3d8 {

struct GlBackend {
  // Declared first so that it goes last: every object below needs it.
  std::unique_ptr<GlContext> context;
  GlStateCache cache;
  BackBuffer backBuffer;
  int requestedSamples = 0;      // as asked at CreateDevice, for a back buffer made again
  FixedFunctionProgram program;
  GlSampler stageZeroSampler;
  TextRenderer text;

  bool clipControl = false;      // Direct3D's 0..w depth range set through glClipControl
  float maxAnisotropy = 0.0f;    // 0: no anisotropic filtering
  bool textureBound = false;     // as last uploaded to the program
  OpenGlDevice::DrawableCapture* capture = nullptr;
};

}  // namespace d3d8
