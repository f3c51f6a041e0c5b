// Small scenes for the OpenGL device tests: a head-less device, flat quads placed on the
// screen by normalised device coordinates, and pixel probes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/d3d8/gl_device.h"

namespace gltest {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

inline std::string Describe(const Rgb& c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// Each channel within `tolerance` levels.
inline ::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tolerance = 2) {
  if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << Describe(actual) << ", expected " << Describe(expected);
}

inline Rgb Pixel(const d3dx::Image& image, int x, int y) {
  const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2]};
}

// World coordinates are clip coordinates shrunk a thousand times in x and y, so that a
// quad filling the screen is tiny in the world: its corners see a light as its centre does,
// and lighting is flat across it. z is depth in Direct3D's 0..1.
inline constexpr float kShrink = 0.001f;

inline D3DMATRIX ScreenProjection() {
  D3DMATRIX m;
  m.m[0][0] = 1.0f / kShrink;
  m.m[1][1] = 1.0f / kShrink;
  m.m[2][2] = 1.0f;
  m.m[3][3] = 1.0f;
  return m;
}

struct QuadOptions {
  D3DVECTOR normal{0, 0, 1};
  bool vertexColours = false;
  D3DCOLOR colour = 0xFFFFFFFF;
  bool counterClockwise = false;  // as seen on screen; Direct3D's front faces are clockwise
};

// One subset per quad: quad i of `quads` becomes subset i.
struct ScreenRect {
  float x0, y0, x1, y1;  // normalised device coordinates, y up
  float z;
};

inline xfile::Mesh QuadMesh(std::initializer_list<ScreenRect> quads, const QuadOptions& options = {}) {
  xfile::Mesh mesh;
  for (const ScreenRect& q : quads) {
    const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
    const float corners[4][4] = {{q.x0, q.y1, 0, 0}, {q.x1, q.y1, 1, 0}, {q.x1, q.y0, 1, 1}, {q.x0, q.y0, 0, 1}};
    for (const auto& c : corners) {
      xfile::Vertex v;
      v.position = {c[0] * kShrink, c[1] * kShrink, q.z};
      v.normal = options.normal;
      v.u = c[2];
      v.v = c[3];
      v.diffuse = options.colour;
      mesh.vertices.push_back(v);
    }
    // Top-left, top-right, bottom-right is clockwise on screen.
    const std::uint32_t clockwise[6] = {0, 1, 2, 0, 2, 3};
    const std::uint32_t counter[6] = {0, 2, 1, 0, 3, 2};
    xfile::Subset subset{static_cast<std::uint32_t>(mesh.indices.size()), 6};
    for (std::uint32_t i : options.counterClockwise ? counter : clockwise) mesh.indices.push_back(first + i);
    mesh.subsets.push_back(subset);
    mesh.materials.emplace_back();
  }
  mesh.faceCount = static_cast<std::uint32_t>(mesh.indices.size() / 3);
  mesh.hasNormals = true;
  mesh.hasTextureCoords = true;
  mesh.hasVertexColors = options.vertexColours;
  return mesh;
}

inline d3dx::Image SolidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                              std::uint8_t a = 255) {
  d3dx::Image image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < width * height; ++i) image.rgba.insert(image.rgba.end(), {r, g, b, a});
  return image;
}

// A head-less device with a depth buffer, its projection set to ScreenProjection.
inline std::unique_ptr<d3d8::OpenGlDevice> MakeHeadlessDevice(int width = 64, int height = 64,
                                                              D3DMULTISAMPLE_TYPE multisample = D3DMULTISAMPLE_NONE) {
  auto device = std::make_unique<d3d8::OpenGlDevice>();
  if (!device->Create(D3D_SDK_VERSION)) return nullptr;
  D3DPRESENT_PARAMETERS parameters;
  parameters.BackBufferWidth = static_cast<UINT>(width);
  parameters.BackBufferHeight = static_cast<UINT>(height);
  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.MultiSampleType = multisample;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  RenderDevice* created = nullptr;
  if (FAILED(device->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &parameters, &created)))
    return nullptr;
  const D3DMATRIX projection = ScreenProjection();
  device->SetTransform(D3DTS_PROJECTION, &projection);
  return device;
}

}  // namespace gltest
