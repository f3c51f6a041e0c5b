#include "platform/d3d8/ffp_program.h"

#include <cstdio>

namespace d3d8 {

namespace {

// Matrices are uploaded as Direct3D stores them (row by row). GL reads them column by
// column, so `M * v` in GLSL is Direct3D's row-vector product v * M.
constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;
layout(location = 3) in vec4 aColour;

struct Light {
  int type;  // 1 point, 3 directional
  vec3 position;
  vec3 direction;
  vec3 diffuse;
  vec3 specular;
  vec3 ambient;
  float range;
  vec3 attenuation;
};
uniform Light uLights[8];
uniform int uLightCount;

uniform mat4 uWorld;
uniform mat4 uViewProjection;
uniform vec3 uEye;              // the camera in world space, for specular highlights
uniform vec3 uViewerDirection;  // towards the camera, when the viewer is not local
uniform vec3 uPixelOffset;      // xy: half a pixel in clip units; z: 1 to remap depth

uniform bool uLighting;
uniform bool uHasVertexColour;
uniform bool uColorVertex;
uniform bool uSpecularEnable;
uniform bool uNormalizeNormals;
uniform bool uLocalViewer;
uniform ivec4 uMaterialSource;  // diffuse, specular, ambient, emissive: 0 material, 1 colour 1
uniform vec4 uGlobalAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialEmissive;
uniform float uMaterialPower;

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

vec4 Source(int source, vec4 material) {
  // The vertices carry a diffuse colour at most; a source naming the second colour falls
  // back to the material, as it does for a vertex without the colour.
  return uColorVertex && uHasVertexColour && source == 1 ? aColour : material;
}

void main() {
  vec4 world = uWorld * vec4(aPosition, 1.0);
  gl_Position = uViewProjection * world;
  // Direct3D samples pixels at their integer corners, GL at their centres.
  gl_Position.xy += uPixelOffset.xy * gl_Position.w;
  if (uPixelOffset.z != 0.0) gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
  vTexCoord = aTexCoord;

  if (!uLighting) {
    vDiffuse = uHasVertexColour ? aColour : vec4(1.0);
    vSpecular = vec4(0.0);
    return;
  }

  vec3 normal = mat3(uWorld) * aNormal;
  if (uNormalizeNormals && dot(normal, normal) > 0.0) normal = normalize(normal);
  vec3 toViewer = uLocalViewer ? normalize(uEye - world.xyz) : uViewerDirection;

  // Lighting is done in world space: with an orthonormal view the distances and angles
  // are those of camera space.
  vec3 ambient = uGlobalAmbient.rgb;
  vec3 diffuse = vec3(0.0);
  vec3 specular = vec3(0.0);
  for (int i = 0; i < uLightCount; ++i) {
    vec3 toLight;
    float attenuation = 1.0;
    if (uLights[i].type == 3) {
      toLight = normalize(-uLights[i].direction);
    } else {
      vec3 offset = uLights[i].position - world.xyz;
      float distance = length(offset);
      // Beyond its range the light has no effect at all, its ambient part included.
      if (distance > uLights[i].range) continue;
      toLight = distance > 0.0 ? offset / distance : vec3(0.0);
      vec3 a = uLights[i].attenuation;
      attenuation = 1.0 / (a.x + a.y * distance + a.z * distance * distance);
    }
    ambient += uLights[i].ambient * attenuation;
    float lambert = max(dot(normal, toLight), 0.0);
    diffuse += uLights[i].diffuse * (lambert * attenuation);
    if (uSpecularEnable && lambert > 0.0) {
      float highlight = max(dot(normal, normalize(toViewer + toLight)), 0.0);
      float shine = uMaterialPower > 0.0 ? pow(highlight, uMaterialPower) : 1.0;
      specular += uLights[i].specular * (shine * attenuation);
    }
  }

  vec4 materialDiffuse = Source(uMaterialSource.x, uMaterialDiffuse);
  vec4 materialSpecular = Source(uMaterialSource.y, uMaterialSpecular);
  vec4 materialAmbient = Source(uMaterialSource.z, uMaterialAmbient);
  vec4 materialEmissive = Source(uMaterialSource.w, uMaterialEmissive);
  // Summed first, clamped once per vertex: a negative light subtracts before the clamp.
  vec3 lit = materialAmbient.rgb * ambient + materialDiffuse.rgb * diffuse + materialEmissive.rgb;
  vDiffuse = clamp(vec4(lit, materialDiffuse.a), 0.0, 1.0);
  vSpecular = uSpecularEnable ? vec4(clamp(materialSpecular.rgb * specular, 0.0, 1.0), 0.0) : vec4(0.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform bool uTextureBound;
uniform ivec3 uColorStage;  // operation, argument 1, argument 2
uniform ivec3 uAlphaStage;
uniform vec4 uTextureFactor;
uniform bool uAddSpecular;
uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform int uAlphaRef;

out vec4 fragColour;

vec4 Argument(int argument, vec4 texel) {
  int select = argument & 15;
  vec4 value = vDiffuse;  // the diffuse colour is also "current" at stage 0
  if (select == 2) value = texel;
  else if (select == 3) value = uTextureFactor;
  else if (select == 4) value = vSpecular;
  if ((argument & 32) != 0) value = vec4(value.a);
  if ((argument & 16) != 0) value = vec4(1.0) - value;
  return value;
}

vec4 Combine(int operation, vec4 a, vec4 b) {
  if (operation == 2) return a;
  if (operation == 3) return b;
  if (operation == 5) return 2.0 * a * b;
  if (operation == 6) return 4.0 * a * b;
  if (operation == 7) return a + b;
  if (operation == 8) return a + b - 0.5;
  if (operation == 9) return 2.0 * (a + b - 0.5);
  if (operation == 10) return a - b;
  if (operation == 11) return a + b - a * b;
  return a * b;  // modulate, and the operations not offered here
}

bool Passes(int function, int value, int reference) {
  if (function == 1) return false;
  if (function == 2) return value < reference;
  if (function == 3) return value == reference;
  if (function == 4) return value <= reference;
  if (function == 5) return value > reference;
  if (function == 6) return value != reference;
  if (function == 7) return value >= reference;
  return true;
}

void main() {
  vec4 texel = uTextureBound ? texture(uTexture, vTexCoord) : vec4(1.0);
  vec4 colour = vDiffuse;
  // A disabled colour operation at stage 0 passes the diffuse colour and alpha on.
  if (uColorStage.x != 1) {
    colour.rgb = Combine(uColorStage.x, Argument(uColorStage.y, texel), Argument(uColorStage.z, texel)).rgb;
    if (uAlphaStage.x != 1)
      colour.a = Combine(uAlphaStage.x, Argument(uAlphaStage.y, texel), Argument(uAlphaStage.z, texel)).a;
  }
  colour = clamp(colour, 0.0, 1.0);
  if (uAddSpecular) colour.rgb = min(colour.rgb + vSpecular.rgb, vec3(1.0));
  if (uAlphaTest && !Passes(uAlphaFunc, int(colour.a * 255.0 + 0.5), uAlphaRef)) discard;
  fragColour = colour;
}
)";

void UploadColour(GLint location, const D3DCOLORVALUE& colour) {
  glUniform4f(location, colour.r, colour.g, colour.b, colour.a);
}

void UploadColour(GLint location, D3DCOLOR colour) {
  glUniform4f(location, static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
              static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
              static_cast<float>(colour & 0xFF) / 255.0f,
              static_cast<float>((colour >> 24) & 0xFF) / 255.0f);
}

bool OperationReads(DWORD operation, int argument) {
  if (operation == kTopDisable) return false;
  if (operation == kTopSelectArg1) return argument == 1;
  if (operation == kTopSelectArg2) return argument == 2;
  return true;
}

bool ReadsTexture(DWORD operation, DWORD arg1, DWORD arg2) {
  return (OperationReads(operation, 1) && (arg1 & kTaSelectMask) == kTaTexture) ||
         (OperationReads(operation, 2) && (arg2 & kTaSelectMask) == kTaTexture);
}

}  // namespace

StageOps EffectiveStageOps(const DeviceState& state, bool textureBound) {
  const auto& stage = state.stageStates[0];
  StageOps ops{stage[D3DTSS_COLOROP], stage[D3DTSS_COLORARG1], stage[D3DTSS_COLORARG2],
               stage[D3DTSS_ALPHAOP], stage[D3DTSS_ALPHAARG1], stage[D3DTSS_ALPHAARG2]};
  // With no texture bound an operation that reads the texture reads the diffuse colour
  // instead: untextured meshes show their lit colour and its alpha.
  if (!textureBound) {
    if (ReadsTexture(ops.colorOp, ops.colorArg1, ops.colorArg2)) {
      ops.colorOp = kTopSelectArg1;
      ops.colorArg1 = kTaCurrent;
    }
    if (ReadsTexture(ops.alphaOp, ops.alphaArg1, ops.alphaArg2)) {
      ops.alphaOp = kTopSelectArg1;
      ops.alphaArg1 = kTaCurrent;
    }
  }
  return ops;
}

bool FixedFunctionProgram::Create(std::string* error) {
  program_ = LinkGlProgram(kVertexShader, kFragmentShader, error);
  if (!program_) return false;
  const GLuint p = program_.get();
  auto at = [p](const char* name) { return glGetUniformLocation(p, name); };
  world_ = at("uWorld");
  viewProjection_ = at("uViewProjection");
  eye_ = at("uEye");
  viewerDirection_ = at("uViewerDirection");
  pixelOffset_ = at("uPixelOffset");
  lighting_ = at("uLighting");
  hasVertexColour_ = at("uHasVertexColour");
  colorVertex_ = at("uColorVertex");
  specularEnable_ = at("uSpecularEnable");
  normalizeNormals_ = at("uNormalizeNormals");
  localViewer_ = at("uLocalViewer");
  materialSource_ = at("uMaterialSource");
  globalAmbient_ = at("uGlobalAmbient");
  materialDiffuse_ = at("uMaterialDiffuse");
  materialSpecular_ = at("uMaterialSpecular");
  materialAmbient_ = at("uMaterialAmbient");
  materialEmissive_ = at("uMaterialEmissive");
  materialPower_ = at("uMaterialPower");
  lightCount_ = at("uLightCount");
  for (DWORD i = 0; i < kMaxLights; ++i) {
    char name[48];
    auto field = [&](const char* member) {
      std::snprintf(name, sizeof name, "uLights[%u].%s", static_cast<unsigned>(i), member);
      return at(name);
    };
    lights_[i] = {field("type"),    field("position"), field("direction"), field("diffuse"),
                  field("specular"), field("ambient"), field("range"),     field("attenuation")};
  }
  texture_ = at("uTexture");
  textureBound_ = at("uTextureBound");
  colorStage_ = at("uColorStage");
  alphaStage_ = at("uAlphaStage");
  textureFactor_ = at("uTextureFactor");
  addSpecular_ = at("uAddSpecular");
  alphaTest_ = at("uAlphaTest");
  alphaFunc_ = at("uAlphaFunc");
  alphaRef_ = at("uAlphaRef");

  glUseProgram(p);
  glUniform1i(texture_, 0);
  glUseProgram(0);
  return true;
}

void FixedFunctionProgram::SetTarget(int width, int height, bool remapDepth) {
  // Half a pixel right and down moves Direct3D's sampling points onto GL's pixel centres.
  // A shade less than half keeps an edge on a pixel boundary from landing exactly on a
  // centre, where the two fill rules could disagree.
  constexpr float kHalfPixel = 0.5f * 63.0f / 64.0f;
  glUniform3f(pixelOffset_, 2.0f * kHalfPixel / static_cast<float>(width),
              -2.0f * kHalfPixel / static_cast<float>(height), remapDepth ? 1.0f : 0.0f);
}

void FixedFunctionProgram::SetTransforms(const DeviceState& state) {
  const D3DMATRIX viewProjection = MultiplyMatrices(state.view, state.projection);
  glUniformMatrix4fv(world_, 1, GL_FALSE, &state.world.m[0][0]);
  glUniformMatrix4fv(viewProjection_, 1, GL_FALSE, &viewProjection.m[0][0]);
  const D3DVECTOR eye = EyeOfView(state.view);
  glUniform3f(eye_, eye.x, eye.y, eye.z);
  // FIXME: a viewer at infinity is assumed to look down the view's -z axis (right-handed
  // view matrices); nothing here draws specular highlights that way.
  glUniform3f(viewerDirection_, state.view.m[0][2], state.view.m[1][2], state.view.m[2][2]);
}

void FixedFunctionProgram::SetLights(const DeviceState& state) {
  GLint count = 0;
  for (const LightRecord& record : state.lights) {
    if (!record.enabled) continue;
    const D3DLIGHT8& light = record.light;
    const LightLocations& at = lights_[static_cast<std::size_t>(count)];
    // A spot light is lit as a point light. FIXME: no cone falloff.
    glUniform1i(at.type, light.Type == D3DLIGHT_DIRECTIONAL ? 3 : 1);
    glUniform3f(at.position, light.Position.x, light.Position.y, light.Position.z);
    glUniform3f(at.direction, light.Direction.x, light.Direction.y, light.Direction.z);
    glUniform3f(at.diffuse, light.Diffuse.r, light.Diffuse.g, light.Diffuse.b);
    glUniform3f(at.specular, light.Specular.r, light.Specular.g, light.Specular.b);
    glUniform3f(at.ambient, light.Ambient.r, light.Ambient.g, light.Ambient.b);
    glUniform1f(at.range, light.Range);
    glUniform3f(at.attenuation, light.Attenuation0, light.Attenuation1, light.Attenuation2);
    ++count;
  }
  glUniform1i(lightCount_, count);
}

void FixedFunctionProgram::SetMaterial(const D3DMATERIAL8& material) {
  UploadColour(materialDiffuse_, material.Diffuse);
  UploadColour(materialSpecular_, material.Specular);
  UploadColour(materialAmbient_, material.Ambient);
  UploadColour(materialEmissive_, material.Emissive);
  glUniform1f(materialPower_, material.Power);
}

void FixedFunctionProgram::SetShading(const DeviceState& state, bool textureBound) {
  auto flag = [&](D3DRENDERSTATETYPE s) { return state.RenderState(s) != FALSE ? 1 : 0; };
  glUniform1i(lighting_, flag(D3DRS_LIGHTING));
  glUniform1i(colorVertex_, flag(D3DRS_COLORVERTEX));
  glUniform1i(specularEnable_, flag(D3DRS_SPECULARENABLE));
  glUniform1i(addSpecular_, flag(D3DRS_SPECULARENABLE));
  glUniform1i(normalizeNormals_, flag(D3DRS_NORMALIZENORMALS));
  glUniform1i(localViewer_, flag(D3DRS_LOCALVIEWER));
  glUniform4i(materialSource_, static_cast<GLint>(state.RenderState(D3DRS_DIFFUSEMATERIALSOURCE)),
              static_cast<GLint>(state.RenderState(D3DRS_SPECULARMATERIALSOURCE)),
              static_cast<GLint>(state.RenderState(D3DRS_AMBIENTMATERIALSOURCE)),
              static_cast<GLint>(state.RenderState(D3DRS_EMISSIVEMATERIALSOURCE)));
  UploadColour(globalAmbient_, static_cast<D3DCOLOR>(state.RenderState(D3DRS_AMBIENT)));
  UploadColour(textureFactor_, static_cast<D3DCOLOR>(state.renderStates[kRenderStateTextureFactor]));

  const StageOps ops = EffectiveStageOps(state, textureBound);
  glUniform1i(textureBound_, textureBound ? 1 : 0);
  glUniform3i(colorStage_, static_cast<GLint>(ops.colorOp), static_cast<GLint>(ops.colorArg1),
              static_cast<GLint>(ops.colorArg2));
  glUniform3i(alphaStage_, static_cast<GLint>(ops.alphaOp), static_cast<GLint>(ops.alphaArg1),
              static_cast<GLint>(ops.alphaArg2));

  glUniform1i(alphaTest_, flag(D3DRS_ALPHATESTENABLE));
  glUniform1i(alphaFunc_, static_cast<GLint>(state.RenderState(D3DRS_ALPHAFUNC)));
  // The reference is an 8-bit value in the low byte: 0x08000000 means 0.
  glUniform1i(alphaRef_, static_cast<GLint>(state.RenderState(D3DRS_ALPHAREF) & 0xFF));
}

void FixedFunctionProgram::SetVertexHasColour(bool hasColour) {
  const int value = hasColour ? 1 : 0;
  if (value == uploadedVertexColour_) return;
  uploadedVertexColour_ = value;
  glUniform1i(hasVertexColour_, value);
}

}  // namespace d3d8
