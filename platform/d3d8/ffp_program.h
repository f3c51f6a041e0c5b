// Direct3D 8's fixed-function pipeline as one GLSL 3.30 program: per-vertex lighting with
// the colour clamped per vertex, texture stage 0, specular add and the alpha test. The
// uploads take the device's state records; each needs the program bound.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <string>

#include "platform/d3d8/device_state.h"
#include "platform/d3d8/gl_objects.h"

namespace d3d8 {

// Stage 0 as the shader runs it: an empty stage never reads the texture.
struct StageOps {
  DWORD colorOp = kTopModulate, colorArg1 = kTaTexture, colorArg2 = kTaCurrent;
  DWORD alphaOp = kTopSelectArg1, alphaArg1 = kTaTexture, alphaArg2 = kTaCurrent;
};
StageOps EffectiveStageOps(const DeviceState& state, bool textureBound);

class FixedFunctionProgram {
 public:
  bool Create(std::string* error);
  GLuint id() const { return program_.get(); }

  // Render-target size for the pixel-centre offset; remapDepth when clip space cannot be
  // switched to Direct3D's 0..w depth range.
  void SetTarget(int width, int height, bool remapDepth);
  void SetTransforms(const DeviceState& state);
  void SetLights(const DeviceState& state);
  void SetMaterial(const D3DMATERIAL8& material);
  void SetShading(const DeviceState& state, bool textureBound);
  void SetVertexHasColour(bool hasColour);

 private:
  struct LightLocations {
    GLint type = -1, position = -1, direction = -1, diffuse = -1, specular = -1, ambient = -1,
          range = -1, attenuation = -1;
  };

  GlProgram program_;
  GLint world_ = -1, viewProjection_ = -1, eye_ = -1, viewerDirection_ = -1, pixelOffset_ = -1;
  GLint lighting_ = -1, hasVertexColour_ = -1, colorVertex_ = -1, specularEnable_ = -1;
  GLint normalizeNormals_ = -1, localViewer_ = -1, materialSource_ = -1, globalAmbient_ = -1;
  GLint materialDiffuse_ = -1, materialSpecular_ = -1, materialAmbient_ = -1;
  GLint materialEmissive_ = -1, materialPower_ = -1, lightCount_ = -1;
  std::array<LightLocations, kMaxLights> lights_;
  GLint texture_ = -1, textureBound_ = -1, colorStage_ = -1, alphaStage_ = -1;
  GLint textureFactor_ = -1, addSpecular_ = -1, alphaTest_ = -1, alphaFunc_ = -1, alphaRef_ = -1;
  int uploadedVertexColour_ = -1;  // the last value uploaded
};

}  // namespace d3d8
