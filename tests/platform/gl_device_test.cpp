// The OpenGL device against values worked out by hand from Direct3D 8's fixed-function
// rules: lighting, texture stage 0, blending and the alpha test, depth, filters, subsets,
// text and the demo's own first frame. Every test renders head-less through EGL (Mesa's
// llvmpipe in CI); a test that cannot get a GL context fails.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/app_state.h"
#include "platform/d3d8/display_mode_choice.h"
#include "platform/d3dx/font_rasterizer.h"
#include "render/display_device.h"
#include "scenes/frame_driver.h"
#include "tests/platform/gl_test_support.h"

namespace {

using gltest::Near;
using gltest::Pixel;
using gltest::QuadMesh;
using gltest::Rgb;

D3DLIGHT8 PointLight(D3DVECTOR position, float range, float diffuse, float ambient) {
  D3DLIGHT8 light;
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {diffuse, diffuse, diffuse, 0};
  light.Ambient = {ambient, ambient, ambient, 0};
  light.Position = position;
  light.Range = range;
  light.Attenuation0 = 1.0f;
  return light;
}

D3DMATERIAL8 GreyMaterial(float diffuse, float ambient, float alpha = 0.0f) {
  D3DMATERIAL8 material;
  material.Diffuse = {diffuse, diffuse, diffuse, alpha};
  material.Ambient = {ambient, ambient, ambient, alpha};
  return material;
}

class GlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = gltest::MakeHeadlessDevice();
    ASSERT_NE(device, nullptr) << "no head-less OpenGL 3.3 context";
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  }

  void ClearTo(D3DCOLOR colour) { device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0); }

  void Draw(ID3DXMesh* mesh, DWORD subset = 0) {
    device->BeginScene();
    device->DrawSubset(mesh, subset);
    device->EndScene();
  }

  ID3DXMesh* FullScreenQuad(float z = 0.5f, const gltest::QuadOptions& options = {}) {
    return device->CreateMesh(QuadMesh({{-1, -1, 1, 1, z}}, options));
  }

  const d3dx::Image& Frame() {
    EXPECT_TRUE(device->ReadBackBuffer(frame));
    return frame;
  }

  Rgb Centre() { return Pixel(Frame(), 32, 32); }

  std::unique_ptr<d3d8::OpenGlDevice> device;
  d3dx::Image frame;
};

// ---- lighting -------------------------------------------------------------------------

TEST_F(GlDeviceTest, PointLightOnAFlatQuadMatchesTheFixedFunctionFormula) {
  // The quad lies at z = 0.5 facing +z; lights sit 10 units away. Expected values are
  // ambient * Ca + max(N.L, 0) * Ld * Cd (attenuated), clamped after summing, x 255.
  const D3DVECTOR headOn{0, 0, 10.5f};
  const D3DVECTOR sixtyDegrees{10.0f * 0.8660254f, 0, 0.5f + 10.0f * 0.5f};
  struct Case {
    const char* what;
    D3DLIGHT8 light;
    D3DMATERIAL8 material;
    D3DCOLOR globalAmbient;
    Rgb expected;
  } cases[] = {
      // MaterialChapel under the exterior light: 0.125 * 0.75 + 0.5 * 0.95 = 0.56875.
      {"head-on", PointLight(headOn, 100, 0.95f, 0.75f), GreyMaterial(0.5f, 0.125f), 0, {145, 145, 145}},
      // N.L = 0.5: 0.09375 + 0.2375 = 0.33125.
      {"at 60 degrees", PointLight(sixtyDegrees, 100, 0.95f, 0.75f), GreyMaterial(0.5f, 0.125f), 0, {84, 84, 84}},
      // Beyond Range the light's ambient goes too: black.
      {"beyond range", PointLight(headOn, 9.9f, 0.95f, 0.75f), GreyMaterial(0.5f, 0.125f), 0, {0, 0, 0}},
      {"just inside range", PointLight(headOn, 10.1f, 0.95f, 0.75f), GreyMaterial(0.5f, 0.125f), 0, {145, 145, 145}},
      // The global ambient is not the light's: it stays beyond Range (0.25 * 0.5).
      {"global ambient beyond range", PointLight(headOn, 5, 0.95f, 0.75f), GreyMaterial(0.5f, 0.5f), 0xFF404040,
       {32, 32, 32}},
      // Negative colours subtract before the clamp: -0.01 * 0.125 - 0.02 * 0.5 < 0.
      {"negative light", PointLight(headOn, 100, -0.02f, -0.01f), GreyMaterial(0.5f, 0.125f), 0, {0, 0, 0}},
      {"sum above one clamps", PointLight(headOn, 100, 2.0f, 1.0f), GreyMaterial(0.95f, 0.75f), 0,
       {255, 255, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ID3DXMesh* quad = FullScreenQuad();
    ASSERT_NE(quad, nullptr);
    device->SetRenderState(D3DRS_AMBIENT, c.globalAmbient);
    device->SetLight(0, &c.light);
    device->LightEnable(0, TRUE);
    device->SetMaterial(&c.material);
    ClearTo(0xFF0000FF);
    Draw(quad);
    EXPECT_TRUE(Near(Centre(), c.expected));
  }
}

TEST_F(GlDeviceTest, AttenuationUsesAllThreeTermsOfTheDistance) {
  // 1 / (0.5 + 0.05 * 10 + 0.01 * 100) = 0.5, applied to ambient and diffuse alike:
  // 0.5 * (0.75 * 0.125 + 0.95 * 0.5) = 0.284375. A missing term gives another value.
  D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 0.95f, 0.75f);
  light.Attenuation0 = 0.5f;
  light.Attenuation1 = 0.05f;
  light.Attenuation2 = 0.01f;
  const D3DMATERIAL8 material = GreyMaterial(0.5f, 0.125f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {73, 73, 73}));
}

TEST_F(GlDeviceTest, LightIsTakenAtDrawTimeInWorldSpaceWhateverViewFollowsIt) {
  // The scenes set the light before the view. A device that moved the light into eye
  // space at SetLight, or lit in eye space without moving it, would see it elsewhere.
  const D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 0.95f, 0.75f);
  const D3DMATERIAL8 material = GreyMaterial(0.5f, 0.125f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);
  // A view that turns the world half a turn about y and moves it back, with a projection
  // that undoes it: the picture stays, only the eye-space coordinates change.
  D3DMATRIX view = d3d8::IdentityMatrix();
  view.m[0][0] = -1;
  view.m[2][2] = -1;
  view.m[3][2] = 3;
  D3DMATRIX undo = d3d8::IdentityMatrix();
  undo.m[0][0] = -1;
  undo.m[2][2] = -1;
  undo.m[3][2] = 3;
  const D3DMATRIX projection = d3d8::MultiplyMatrices(undo, gltest::ScreenProjection());
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {145, 145, 145}));
}

TEST_F(GlDeviceTest, VertexColourReplacesMaterialDiffuseAndLightingOffShowsIt) {
  gltest::QuadOptions coloured;
  coloured.vertexColours = true;
  coloured.colour = 0xFFFF8000;  // orange
  const D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 1.0f, 0.0f);
  const D3DMATERIAL8 material = GreyMaterial(0.25f, 0.0f, 1.0f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);

  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad(0.5f, coloured));
  EXPECT_TRUE(Near(Centre(), {255, 128, 0})) << "lit with the vertex colour as diffuse";
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {64, 64, 64})) << "no vertex colour: the material's";

  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad(0.5f, coloured));
  EXPECT_TRUE(Near(Centre(), {255, 128, 0})) << "unlit: the vertex colour";
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {255, 255, 255})) << "unlit without vertex colour: white";
}

TEST_F(GlDeviceTest, LitColourIsClampedAtEachVertexBeforeItIsInterpolated) {
  // White vertex colours on the left, black on the right, under a light of 2: the left
  // vertices reach 2 and clamp to 1, so the middle is half of 1. Clamping only per pixel
  // would interpolate 2 and 0 and show full white there.
  gltest::QuadOptions coloured;
  coloured.vertexColours = true;
  xfile::Mesh mesh = QuadMesh({{-1, -1, 1, 1, 0.5f}}, coloured);
  mesh.vertices[1].diffuse = mesh.vertices[2].diffuse = 0xFF000000;  // the right corners
  const D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 2.0f, 0.0f);
  const D3DMATERIAL8 material = GreyMaterial(1.0f, 0.0f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);
  ClearTo(0xFF0000FF);
  Draw(device->CreateMesh(mesh));
  EXPECT_TRUE(Near(Centre(), {128, 128, 128}, 4));
}

// ---- texture stage 0, blending, alpha test --------------------------------------------

TEST_F(GlDeviceTest, TextureModulatesTheLitColourAndNoTextureShowsItAlone) {
  const D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 0.95f, 0.75f);
  const D3DMATERIAL8 material = GreyMaterial(0.5f, 0.125f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);
  IDirect3DTexture8* orange = device->CreateTexture({gltest::SolidImage(4, 4, 255, 128, 0)});
  ASSERT_NE(orange, nullptr);

  ClearTo(0xFF0000FF);
  device->SetTexture(0, orange);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {145, 73, 0})) << "texture x lit colour";

  ClearTo(0xFF0000FF);
  device->SetTexture(0, nullptr);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {145, 145, 145})) << "the lit colour";
}

TEST_F(GlDeviceTest, BlendingTakesAlphaFromTheTextureOrFromTheMaterialWithoutOne) {
  // Lit alpha is the material's diffuse alpha (0 for every preset of the demo). Textured,
  // stage 0 takes alpha from the texture; untextured, from the lit colour.
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  const D3DMATERIAL8 material = GreyMaterial(1.0f, 0.0f, 0.0f);
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  struct Case {
    const char* what;
    std::uint8_t textureAlpha;
    bool textured;
    D3DCOLOR vertexColour;
    Rgb expected;
  } cases[] = {
      {"opaque texel", 255, true, 0xFFFFFFFF, {0, 255, 0}},
      {"half-transparent texel", 128, true, 0xFFFFFFFF, {0, 128, 127}},
      {"transparent texel", 0, true, 0xFFFFFFFF, {0, 0, 255}},
      // Lighting off: the colour is the vertex colour, its alpha included.
      {"untextured, vertex alpha 0", 0, false, 0x00FF0000, {0, 0, 255}},
      {"untextured, vertex alpha 1", 0, false, 0xFFFF0000, {255, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gltest::QuadOptions options;
    options.vertexColours = true;
    options.colour = c.vertexColour;
    ID3DXMesh* quad = FullScreenQuad(0.5f, options);
    IDirect3DTexture8* texture = device->CreateTexture({gltest::SolidImage(2, 2, 0, 255, 0, c.textureAlpha)});
    device->SetTexture(0, c.textured ? texture : nullptr);
    ClearTo(0xFF0000FF);
    Draw(quad);
    EXPECT_TRUE(Near(Centre(), c.expected));
  }
}

TEST_F(GlDeviceTest, TreeAlphaTestPassesTransparentTexelsThatThenHideWhatIsBehind) {
  // Three bands of texels: opaque green, half-transparent green, keyed (0,0,0,0). The tree
  // states, then a red quad behind. With the reference 0x08000000 (low byte 0) nothing is
  // discarded, so even the keyed band writes depth and hides the red; a real reference
  // discards the keyed band and the red shows through.
  d3dx::Image bands;
  bands.width = 3;
  bands.height = 1;
  bands.rgba = {0, 255, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0};
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  struct Case {
    DWORD alphaRef;
    Rgb opaque, half, keyed;
  } cases[] = {
      {0x08000000, {0, 255, 0}, {0, 128, 127}, {0, 0, 255}},
      {0x00000080, {0, 255, 0}, {0, 128, 127}, {255, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alphaRef);
    ID3DXMesh* trees = FullScreenQuad(0.2f);
    ID3DXMesh* behind = FullScreenQuad(0.8f, {{0, 0, 1}, true, 0xFFFF0000});
    IDirect3DTexture8* texture = device->CreateTexture({bands});
    ClearTo(0xFF0000FF);
    device->BeginScene();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, c.alphaRef);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetTexture(0, texture);
    device->DrawSubset(trees, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetTexture(0, nullptr);
    device->DrawSubset(behind, 0);
    device->EndScene();
    const d3dx::Image& image = Frame();
    EXPECT_TRUE(Near(Pixel(image, 10, 32), c.opaque)) << "opaque band";
    EXPECT_TRUE(Near(Pixel(image, 32, 32), c.half)) << "half-transparent band";
    EXPECT_TRUE(Near(Pixel(image, 53, 32), c.keyed)) << "keyed band";
  }
}

// ---- depth, culling, subsets -----------------------------------------------------------

TEST_F(GlDeviceTest, DepthRangeCullingAndSubsetsFollowDirect3D) {
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  // Left half in subset 0, right half in subset 1.
  ID3DXMesh* halves = device->CreateMesh(QuadMesh({{-1, -1, 0, 1, 0.5f}, {0, -1, 1, 1, 0.5f}}));
  ASSERT_NE(halves, nullptr);
  const Rgb white{255, 255, 255}, blue{0, 0, 255};

  ClearTo(0xFF0000FF);
  Draw(halves, 1);
  EXPECT_TRUE(Near(Pixel(Frame(), 16, 32), blue)) << "subset 1 leaves the left half";
  EXPECT_TRUE(Near(Pixel(Frame(), 48, 32), white)) << "subset 1 is the right half";
  ClearTo(0xFF0000FF);
  Draw(halves, 2);
  EXPECT_TRUE(Near(Centre(), blue)) << "a subset past the end draws nothing";

  // Direct3D clips depth below 0, where GL's default range would still draw.
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad(-0.1f));
  EXPECT_TRUE(Near(Centre(), blue)) << "z < 0 is clipped";
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad(0.99f));
  EXPECT_TRUE(Near(Centre(), white)) << "z just below 1 is drawn";

  // Culling counter-clockwise (the default) keeps Direct3D's clockwise front faces.
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), white)) << "clockwise quad, CCW culling";
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad(0.5f, {{0, 0, 1}, false, 0, true}));
  EXPECT_TRUE(Near(Centre(), blue)) << "counter-clockwise quad, CCW culling";
}

TEST_F(GlDeviceTest, ClearWritesDepthEvenWhenDepthWritesAreOff) {
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  ClearTo(0xFF0000FF);
  device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.3f, 0);
  Draw(FullScreenQuad(0.5f));
  EXPECT_TRUE(Near(Centre(), {0, 0, 255})) << "behind the cleared depth of 0.3";
  device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  Draw(FullScreenQuad(0.5f));
  EXPECT_TRUE(Near(Centre(), {255, 255, 255}));
}

TEST(GlDeviceMultisampling, TwoSamplesAskedForSmoothTheEdgesOfTheResolvedBackBuffer) {
  // A white triangle over black with a diagonal edge: only a multisampled back buffer has
  // pixels between the two along it.
  struct Case {
    D3DMULTISAMPLE_TYPE type;
    bool smoothed;
  } cases[] = {{D3DMULTISAMPLE_NONE, false}, {D3DMULTISAMPLE_2_SAMPLES, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    auto device = gltest::MakeHeadlessDevice(64, 64, c.type);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->BackBufferSamples() >= 2, c.smoothed);
    xfile::Mesh mesh = QuadMesh({{-1, -1, 1, 1, 0.5f}});
    mesh.vertices[1].position = mesh.vertices[0].position;  // top-left, bottom-right, bottom-left
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    device->DrawSubset(device->CreateMesh(mesh), 0);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    d3dx::Image image;
    ASSERT_TRUE(device->ReadBackBuffer(image));
    int between = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (const int r = Pixel(image, x, y).r; r > 30 && r < 225) ++between;
    EXPECT_EQ(between > 0, c.smoothed) << between << " pixels between black and white";
    EXPECT_TRUE(Near(Pixel(image, 5, 58), {255, 255, 255})) << "inside";
    EXPECT_TRUE(Near(Pixel(image, 58, 5), {0, 0, 0})) << "outside";
  }
}

TEST(GlDeviceContexts, TwoDevicesAliveAtOnceEachDrawIntoTheirOwnBackBuffer) {
  auto first = gltest::MakeHeadlessDevice(8, 8);
  auto second = gltest::MakeHeadlessDevice(8, 8);  // its context is current now
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  d3dx::Image image;
  first->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  second->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  ASSERT_TRUE(first->ReadBackBuffer(image));
  EXPECT_TRUE(Near(Pixel(image, 4, 4), {255, 0, 0}));
  second.reset();  // leaves no context current
  first->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  ASSERT_TRUE(first->ReadBackBuffer(image));
  EXPECT_TRUE(Near(Pixel(image, 4, 4), {0, 0, 255}));
}

// ---- loading from files ----------------------------------------------------------------

TEST_F(GlDeviceTest, LoadersReadTheFilesAndLeaveTheCallersSlotAloneOnFailure) {
  const std::string fixtures = std::string(ORCHARD_SOURCE_DIR) + "/tests/fixtures/";
  ID3DXMesh* const untouchedMesh = reinterpret_cast<ID3DXMesh*>(0x1);
  ID3DXMesh* mesh = untouchedMesh;
  ID3DXBuffer* materials = nullptr;
  DWORD count = 0;
  EXPECT_EQ(device->D3DXLoadMeshFromX((fixtures + "nothing-here.x").c_str(), D3DXMESH_SYSTEMMEM, nullptr,
                                      &materials, &count, &mesh),
            E_FAIL);
  EXPECT_EQ(mesh, untouchedMesh);
  ASSERT_EQ(device->D3DXLoadMeshFromX((fixtures + "scenes/two_subsets.x").c_str(), D3DXMESH_SYSTEMMEM, nullptr,
                                      &materials, &count, &mesh),
            S_OK);
  EXPECT_EQ(count, 2u);
  ASSERT_NE(materials, nullptr);
  EXPECT_EQ(materials->GetBufferSize(), 2 * sizeof(D3DXMATERIAL));
  materials->Release();

  IDirect3DTexture8* const untouched = reinterpret_cast<IDirect3DTexture8*>(0x1);
  for (const char* bad : {"nothing-here.jpg", "jpeg/not-a-jpeg.jpg"}) {
    IDirect3DTexture8* texture = untouched;
    EXPECT_EQ(device->D3DXCreateTextureFromFileExA((fixtures + bad).c_str(), 0, 0, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                   D3DPOOL_DEFAULT, D3DX_FILTER_TRIANGLE, D3DX_FILTER_TRIANGLE, 0,
                                                   nullptr, nullptr, &texture),
              E_FAIL)
        << bad;
    EXPECT_EQ(texture, untouched) << bad;
  }
  // A mesh whose indices or subsets point outside it is refused rather than handed to GL,
  // which would read past the buffers.
  xfile::Mesh badIndex = QuadMesh({{-1, -1, 1, 1, 0.5f}});
  badIndex.indices[4] = 4;
  xfile::Mesh badSubset = QuadMesh({{-1, -1, 1, 1, 0.5f}});
  badSubset.subsets[0].indexCount = 7;
  EXPECT_EQ(device->CreateMesh(badIndex), nullptr);
  EXPECT_EQ(device->CreateMesh(badSubset), nullptr);

  // The stand-in picture is a flat (128, 128, 64); drawn unlit it shows as it is.
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device->D3DXCreateTextureFromFileExA((fixtures + "scenes/stand_in.jpg").c_str(), 0, 0, D3DX_DEFAULT, 0,
                                                 D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_FILTER_TRIANGLE,
                                                 D3DX_FILTER_TRIANGLE, 0, nullptr, nullptr, &texture),
            S_OK);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetTexture(0, texture);
  ClearTo(0xFF0000FF);
  Draw(FullScreenQuad());
  EXPECT_TRUE(Near(Centre(), {128, 128, 64}, 4));
}

// ---- filtering -------------------------------------------------------------------------

TEST(GlDeviceFilters, InitD3DFiltersAreInEffectOnStageZero) {
  struct Case {
    bool anisotropic;
    float anisotropy;
  } cases[] = {{false, 1.0f}, {true, 2.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.anisotropic);
    UseRenderDevice(d3d8::CreateOpenGlDevice());
    DisplaySettingsRecord settings;
    settings.anisotropic = c.anisotropic;
    ASSERT_EQ(InitD3D(settings), S_OK);
    auto* device = dynamic_cast<d3d8::OpenGlDevice*>(Device);
    ASSERT_NE(device, nullptr);
    const auto sampler = device->StageZeroSampler();
    EXPECT_EQ(sampler.minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(sampler.magFilter, GL_LINEAR);
    EXPECT_EQ(sampler.wrapS, GL_REPEAT);
    EXPECT_EQ(sampler.wrapT, GL_REPEAT);
    EXPECT_EQ(sampler.maxAnisotropy, c.anisotropy);
    Device = nullptr;
    FpsFont = nullptr;
    UseRenderDevice(nullptr);
  }
}

TEST_F(GlDeviceTest, MinifiedTextureSamplesTheMipLevelOfItsSize) {
  // A 64 x 64 texture whose levels have different colours, drawn into 8 x 8 pixels: the
  // level of 8 x 8 texels (level 3) is the one sampled with mipmapping on.
  const std::uint8_t colours[7][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                      {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};
  std::vector<d3dx::Image> levels;
  for (int level = 0, size = 64; size >= 1; ++level, size /= 2)
    levels.push_back(gltest::SolidImage(size, size, colours[level][0], colours[level][1], colours[level][2]));
  IDirect3DTexture8* texture = device->CreateTexture(levels);
  ASSERT_NE(texture, nullptr);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
  device->SetTexture(0, texture);
  ClearTo(0xFF000000);
  Draw(device->CreateMesh(QuadMesh({{-0.125f, -0.125f, 0.125f, 0.125f, 0.5f}})));
  EXPECT_TRUE(Near(Centre(), {255, 255, 0}, 8));

  device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  ClearTo(0xFF000000);
  Draw(device->CreateMesh(QuadMesh({{-0.125f, -0.125f, 0.125f, 0.125f, 0.5f}})));
  EXPECT_TRUE(Near(Centre(), {255, 0, 0}, 8)) << "without a mip filter: level 0";
}

// ---- text ------------------------------------------------------------------------------

TEST(FontRasterizer, ArialAtFourteenPixelsIsAMetricCompatibleFace) {
  d3dx::FontDescription description;
  description.face = "Arial";
  description.height = -14;
  description.weight = 300;
  const auto result = d3dx::RasterizeFont(description);
  ASSERT_TRUE(result.atlas.has_value()) << result.error;
  const d3dx::GlyphAtlas& atlas = *result.atlas;
  // Arial's 14-pixel cell: ascent 13, descent 3.
  EXPECT_EQ(atlas.ascent, 13);
  EXPECT_EQ(atlas.descent, 3);
  EXPECT_GT(atlas.glyphs['F'].height, 8);
  EXPECT_EQ(atlas.glyphs[' '].width, 0);
  EXPECT_GT(atlas.glyphs[' '].advance, 0);
  EXPECT_EQ(atlas.TextWidth("FPS: 0"), atlas.glyphs['F'].advance + atlas.glyphs['P'].advance +
                                           atlas.glyphs['S'].advance + atlas.glyphs[':'].advance +
                                           atlas.glyphs[' '].advance + atlas.glyphs['0'].advance);
}

TEST_F(GlDeviceTest, TextIsClippedToItsRectangleAndLeavesTheSceneStateAlone) {
  LOGFONTA font;
  font.lfHeight = -14;
  font.lfWeight = 300;
  font.lfQuality = 4;
  std::strcpy(font.lfFaceName, "Arial");
  ID3DXFont* text = nullptr;
  ASSERT_EQ(device->D3DXCreateFont(font, &text), S_OK);

  auto brightOutside = [](const d3dx::Image& image, RECT r) {
    int count = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) && Pixel(image, x, y).r > 64) ++count;
    return count;
  };
  const char* wide = "WWWWWWWWWW";
  ClearTo(0xFF000000);
  RECT clipped{20, 20, 44, 40};
  device->DrawTextA(text, wide, -1, &clipped, DT_CENTER, 0xFFFFFFFF);
  EXPECT_EQ(brightOutside(Frame(), clipped), 0) << "clipped to the rectangle";
  ClearTo(0xFF000000);
  RECT unclipped = clipped;
  device->DrawTextA(text, wide, -1, &unclipped, DT_CENTER | DT_NOCLIP, 0xFFFFFFFF);
  EXPECT_GT(brightOutside(Frame(), unclipped), 0) << "DT_NOCLIP draws past it";

  // A quad, the text, then an untextured quad whose lit alpha is 0: it must still draw
  // opaque, since blending is off in the device's records whatever the text used.
  const D3DLIGHT8 light = PointLight({0, 0, 10.5f}, 100, 0.95f, 0.75f);
  const D3DMATERIAL8 material = GreyMaterial(0.5f, 0.125f);
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  device->SetMaterial(&material);
  ClearTo(0xFF0000FF);
  device->BeginScene();
  device->DrawSubset(device->CreateMesh(QuadMesh({{-1, -1, 0, 1, 0.4f}})), 0);  // the left half
  RECT corner{0, 0, 30, 16};
  device->DrawTextA(text, "88", -1, &corner, 0, 0xFFFFFFFF);
  device->DrawSubset(device->CreateMesh(QuadMesh({{0, -1, 1, 1, 0.4f}})), 0);
  device->EndScene();
  EXPECT_TRUE(Near(Pixel(Frame(), 48, 40), {145, 145, 145}));
}

// ---- the demo's own frame --------------------------------------------------------------

class DemoFrameTest : public ::testing::Test {
 protected:
  void TearDown() override {
    showFps = false;
    Device = nullptr;
    FpsFont = nullptr;
    UseRenderDevice(nullptr);
  }
};

TEST_F(DemoFrameTest, FrameBeforeTheTimelineIsTheBackgroundAndTheFrameRateTextStaysInItsBox) {
  UseRenderDevice(d3d8::CreateOpenGlDevice());
  ASSERT_EQ(InitD3D(DisplaySettingsRecord{}), S_OK);
  auto* device = dynamic_cast<d3d8::OpenGlDevice*>(Device);
  ASSERT_NE(device, nullptr);
  ASSERT_NE(FpsFont, nullptr);

  d3dx::Image image;
  showFps = false;
  RenderFrame(-1);
  ASSERT_TRUE(device->ReadBackBuffer(image));
  ASSERT_EQ(image.width, 800);
  ASSERT_EQ(image.height, 600);
  int other = 0;
  for (std::size_t i = 0; i < image.rgba.size(); i += 4)
    if (image.rgba[i] != 0 || image.rgba[i + 1] != 0 || image.rgba[i + 2] != 0x80 || image.rgba[i + 3] != 0xFF) ++other;
  EXPECT_EQ(other, 0) << "pixels other than 0xFF000080";

  showFps = true;
  RenderFrame(-1);
  ASSERT_TRUE(device->ReadBackBuffer(image));
  int inside = 0, outside = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const Rgb c = Pixel(image, x, y);
      const bool inBox = x >= 10 && x < 100 && y >= 10 && y < 30;
      if (inBox && c.r > 160 && c.g > 160) ++inside;
      if (!inBox && (c.r != 0 || c.g != 0 || c.b != 0x80)) ++outside;
    }
  EXPECT_GT(inside, 20) << "white-ish text in the box";
  EXPECT_EQ(outside, 0) << "nothing outside it";
}

TEST(FullscreenMode, TheRateAskedForIfOfferedElseTheNearest) {
  using d3d8::DisplayModeInfo;
  const DisplayModeInfo modes[] = {{1024, 768, 60, 0}, {1024, 768, 75, 1}, {800, 600, 85, 2},
                                   {800, 600, 60, 3},  {640, 480, 60, 4},  {640, 480, 100, 5}};
  struct Case {
    int width, height, refresh;
    int expectedIndex;  // -1: none
  } cases[] = {
      {800, 600, 85, 2},    // offered
      {1024, 768, 85, 1},   // 75 is nearer than 60
      {640, 480, 85, 5},    // 100 is nearer than 60
      {1280, 1024, 85, -1}, // no such size
      {1024, 768, 0, 0},    // no rate asked: the first of the size
  };
  for (const Case& c : cases) {
    const auto chosen = d3d8::ChooseFullscreenMode(modes, c.width, c.height, c.refresh);
    if (c.expectedIndex < 0) {
      EXPECT_FALSE(chosen.has_value()) << c.width << "x" << c.height;
    } else {
      ASSERT_TRUE(chosen.has_value()) << c.width << "x" << c.height;
      EXPECT_EQ(chosen->index, c.expectedIndex) << c.width << "x" << c.height << "@" << c.refresh;
    }
  }
}

}  // namespace
