#include "platform/d3d8/device_state.h"

namespace d3d8 {

namespace {

// Render states the device reads that d3d8types.h does not name.
constexpr DWORD kLastPixel = 16;
constexpr DWORD kStencilFunc = 56;
constexpr DWORD kStencilMask = 58;
constexpr DWORD kStencilWriteMask = 59;
constexpr DWORD kTextureFactor = kRenderStateTextureFactor;
constexpr DWORD kClipping = 136;
constexpr DWORD kMultisampleAntialias = 161;
constexpr DWORD kMultisampleMask = 162;
constexpr DWORD kColorWriteEnable = kRenderStateColorWriteEnable;
constexpr DWORD kBlendOp = 171;

// Stage states beyond the ones d3d8types.h names.
constexpr DWORD kTexCoordIndex = 11;
constexpr DWORD kBorderColor = 15;
constexpr DWORD kMipMapLodBias = kStageMipMapLodBias;
constexpr DWORD kMaxMipLevel = 20;
constexpr DWORD kAddressW = 25;
constexpr DWORD kResultArg = 28;

void SetRenderStateDefaults(std::array<DWORD, kRenderStateCount>& states) {
  // ZENABLE is decided by CreateDevice (on with an automatic depth buffer).
  states[D3DRS_FILLMODE] = kFillSolid;
  states[D3DRS_SHADEMODE] = 2;  // Gouraud
  states[D3DRS_ZWRITEENABLE] = TRUE;
  states[D3DRS_ALPHATESTENABLE] = FALSE;
  states[kLastPixel] = TRUE;
  states[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  states[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  states[D3DRS_CULLMODE] = D3DCULL_CCW;
  states[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  states[D3DRS_ALPHAREF] = 0;
  states[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  states[D3DRS_DITHERENABLE] = FALSE;
  states[D3DRS_ALPHABLENDENABLE] = FALSE;
  states[D3DRS_FOGENABLE] = FALSE;
  states[D3DRS_SPECULARENABLE] = FALSE;
  states[kStencilFunc] = D3DCMP_ALWAYS;
  states[kStencilMask] = 0xFFFFFFFF;
  states[kStencilWriteMask] = 0xFFFFFFFF;
  states[kTextureFactor] = 0xFFFFFFFF;
  states[kClipping] = TRUE;
  states[D3DRS_LIGHTING] = TRUE;
  states[D3DRS_AMBIENT] = 0;
  states[D3DRS_COLORVERTEX] = TRUE;
  states[D3DRS_LOCALVIEWER] = TRUE;
  states[D3DRS_NORMALIZENORMALS] = FALSE;
  states[D3DRS_DIFFUSEMATERIALSOURCE] = kMaterialSourceColor1;
  states[D3DRS_SPECULARMATERIALSOURCE] = kMaterialSourceColor2;
  states[D3DRS_AMBIENTMATERIALSOURCE] = kMaterialSourceMaterial;
  states[D3DRS_EMISSIVEMATERIALSOURCE] = kMaterialSourceMaterial;
  states[kMultisampleAntialias] = TRUE;
  states[kMultisampleMask] = 0xFFFFFFFF;
  states[kColorWriteEnable] = 0xF;
  states[kBlendOp] = 1;  // add
}

void SetStageDefaults(std::array<DWORD, kStageStateCount>& stage, DWORD index) {
  // Stage 0 modulates the texture with the diffuse colour and takes the texture's alpha;
  // every later stage is off.
  stage[D3DTSS_COLOROP] = index == 0 ? kTopModulate : kTopDisable;
  stage[D3DTSS_COLORARG1] = kTaTexture;
  stage[D3DTSS_COLORARG2] = kTaCurrent;
  stage[D3DTSS_ALPHAOP] = index == 0 ? kTopSelectArg1 : kTopDisable;
  stage[D3DTSS_ALPHAARG1] = kTaTexture;
  stage[D3DTSS_ALPHAARG2] = kTaCurrent;
  stage[kTexCoordIndex] = index;
  stage[D3DTSS_ADDRESSU] = 1;  // wrap
  stage[D3DTSS_ADDRESSV] = 1;
  stage[kAddressW] = 1;
  stage[kBorderColor] = 0;
  stage[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
  stage[D3DTSS_MINFILTER] = D3DTEXF_POINT;
  stage[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
  stage[kMipMapLodBias] = 0;
  stage[kMaxMipLevel] = 0;
  stage[D3DTSS_MAXANISOTROPY] = 1;
  stage[kResultArg] = kTaCurrent;
}

}  // namespace

std::uint32_t DirtyGroupOfRenderState(DWORD state) {
  switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_CULLMODE:
    case D3DRS_FILLMODE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case kColorWriteEnable:
    case kBlendOp:
      return kDirtyPipeline;
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAREF:
    case D3DRS_ALPHAFUNC:
    case D3DRS_SPECULARENABLE:
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case kTextureFactor:
      return kDirtyShading;
    default:
      return 0;
  }
}

std::uint32_t DirtyGroupOfStageState(DWORD type) {
  switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAOP:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
      return kDirtyShading;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MAXANISOTROPY:
    case kMipMapLodBias:
      return kDirtySampler;
    default:
      return 0;
  }
}

D3DMATRIX IdentityMatrix() {
  D3DMATRIX m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX result;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[row][k] * b.m[k][column];
      result.m[row][column] = sum;
    }
  return result;
}

D3DVECTOR EyeOfView(const D3DMATRIX& view) {
  // The view is p * R + t with R orthonormal, so the eye (mapped to the origin) is
  // -t * transpose(R).
  D3DVECTOR eye;
  float* out[3] = {&eye.x, &eye.y, &eye.z};
  for (int i = 0; i < 3; ++i) {
    float sum = 0.0f;
    for (int j = 0; j < 3; ++j) sum += view.m[3][j] * view.m[i][j];
    *out[i] = -sum;
  }
  return eye;
}

DeviceState::DeviceState()
    : world(IdentityMatrix()), view(IdentityMatrix()), projection(IdentityMatrix()) {
  SetRenderStateDefaults(renderStates);
  for (DWORD stage = 0; stage < kTextureStageCount; ++stage)
    SetStageDefaults(stageStates[stage], stage);
}

}  // namespace d3d8
