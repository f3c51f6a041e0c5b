// The data pack generator: the .X writer against our reader, every generated file through
// the demo's own loaders, the same bytes on every run, and the pack's fit with the cameras
// that film it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/d3d8/gl_device.h"
#include "platform/d3dx/image.h"
#include "platform/d3dx/math.h"
#include "platform/d3dx/xfile.h"
#include "platform/d3dx/xfile_writer.h"
#include "platform/sound/mp3_decoder.h"
#include "render/assets.h"
#include "tests/platform/gl_test_support.h"
#include "tools/contact_sheet.h"
#include "tools/datagen/dmath.h"
#include "tools/datagen/pack.h"
#include "tools/datagen/world.h"

namespace {

using datagen::Files;

std::span<const std::byte> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

// ---- the .X writer ----------------------------------------------------------------------

xfile::Mesh TwoMaterialMesh() {
  xfile::Mesh mesh;
  const float positions[4][3] = {{0, 0, 0}, {1.5f, 0, 0}, {1.5f, 2.25f, 0.000125f}, {-3, 12345.678f, -0.5f}};
  for (int i = 0; i < 4; ++i) {
    xfile::Vertex v;
    v.position = {positions[i][0], positions[i][1], positions[i][2]};
    v.normal = {0, 0, 1};
    v.u = 0.25f * i;
    v.v = 1 - 0.25f * i;
    v.diffuse = 0xFF000000u | (0x40u * i);
    mesh.vertices.push_back(v);
  }
  mesh.indices = {0, 1, 2, 0, 2, 3};
  mesh.subsets = {{0, 3}, {3, 3}};
  xfile::Material stone, gold;
  stone.material.Diffuse = {0.5f, 0.25f, 0.125f, 1};
  stone.textureFileName = "stone.jpg";
  gold.material.Diffuse = {1, 0.75f, 0, 1};
  gold.textureFileName = "gold \"leaf\".jpg";  // a quote would end the string early
  mesh.materials = {stone, gold};
  mesh.faceCount = 2;
  mesh.hasNormals = mesh.hasTextureCoords = mesh.hasVertexColors = true;
  return mesh;
}

TEST(XFileWriter, WhatIsWrittenReadsBackTheSame) {
  const xfile::Mesh original = TwoMaterialMesh();
  const std::string text = xfile::WriteText(original);
  const std::vector<std::byte> binary = xfile::WriteBinary(original);
  struct Case {
    const char* format;
    std::span<const std::byte> file;
    const char* goldTexture;  // a text string cannot hold a quote; a binary one can
  };
  for (const Case& c : {Case{"text", Bytes(text), "gold _leaf_.jpg"}, Case{"binary", binary, "gold \"leaf\".jpg"}}) {
    SCOPED_TRACE(c.format);
    const auto& file = c.file;
    const xfile::ReadResult read = xfile::ReadMesh(file);
    ASSERT_TRUE(read.mesh) << read.error;
    const xfile::Mesh& mesh = *read.mesh;
    ASSERT_EQ(mesh.vertices.size(), original.vertices.size());
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
      const auto& a = mesh.vertices[i];
      const auto& b = original.vertices[i];
      EXPECT_NEAR(a.position.x, b.position.x, 1e-3);
      EXPECT_NEAR(a.position.y, b.position.y, 1e-3);
      EXPECT_NEAR(a.position.z, b.position.z, 1e-6);
      EXPECT_NEAR(a.u, b.u, 1e-6);
      EXPECT_NEAR(a.v, b.v, 1e-6);
      EXPECT_FLOAT_EQ(a.normal.z, 1);
      EXPECT_EQ(a.diffuse, b.diffuse) << "vertex " << i;
    }
    ASSERT_EQ(mesh.subsets.size(), 2u);
    EXPECT_EQ(mesh.subsets[0].indexCount, 3u);
    EXPECT_EQ(mesh.subsets[1].indexCount, 3u);
    EXPECT_EQ(mesh.materials[0].textureFileName, "stone.jpg");
    EXPECT_EQ(mesh.materials[1].textureFileName, c.goldTexture);
    EXPECT_FLOAT_EQ(mesh.materials[1].material.Diffuse.g, 0.75f);
    EXPECT_TRUE(mesh.hasVertexColors);
  }
  // Exponent notation is not understood by every .X parser.
  for (std::size_t i = text.find("\nMesh {"); i + 1 < text.size(); ++i)
    if ((text[i] == 'e' || text[i] == 'E') && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
        (text[i + 1] == '-' || text[i + 1] == '+' || std::isdigit(static_cast<unsigned char>(text[i + 1]))))
      FAIL() << "exponent near " << text.substr(i - 5, 12);
}

TEST(XFileWriter, AMeshWithoutMaterialsStillDraws) {
  xfile::Mesh mesh = TwoMaterialMesh();
  mesh.materials.clear();
  mesh.subsets.clear();
  const xfile::ReadResult read = xfile::ReadMesh(Bytes(xfile::WriteText(mesh)));
  ASSERT_TRUE(read.mesh) << read.error;
  ASSERT_EQ(read.mesh->subsets.size(), 1u);
  EXPECT_EQ(read.mesh->subsets[0].indexCount, 6u);
}

// ---- the deterministic elementary functions ------------------------------------------

TEST(DeterministicMath, AgreesWithTheLibraryToTheLastFewBits) {
  using namespace datagen::dm;
  for (double x : {-1000.25, -7.0, -3.14159, -1.0, -1e-9, 0.0, 0.3, 0.7853981633974483, 1.5707963267948966, 2.5, 6.28, 100.0, 12345.6}) {
    EXPECT_NEAR(Sin(x), std::sin(x), 4e-15 * std::max(1.0, std::fabs(x))) << x;
    EXPECT_NEAR(Cos(x), std::cos(x), 4e-15 * std::max(1.0, std::fabs(x))) << x;
    EXPECT_NEAR(Atan(x), std::atan(x), 1e-15) << x;
    EXPECT_NEAR(Atan2(x, 0.75), std::atan2(x, 0.75), 1e-15) << x;
    EXPECT_NEAR(Atan2(0.75, x), std::atan2(0.75, x), 1e-15) << x;
    EXPECT_NEAR(Tanh(x / 10), std::tanh(x / 10), 1e-15) << x;
  }
  for (double x : {-700.0, -20.0, -1.0, -1e-8, 0.0, 0.5, 1.0, 10.0, 300.0})
    EXPECT_NEAR(Exp(x) / std::exp(x), 1.0, 1e-14) << x;
  for (double x : {1e-300, 1e-5, 0.5, 0.7071, 1.0, 1.4142, 2.0, 10.0, 1e10, 1e300})
    EXPECT_NEAR(Log(x), std::log(x), 1e-14 * std::max(1.0, std::fabs(std::log(x)))) << x;
  EXPECT_NEAR(Pow(2, 0.5), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(Pow(440, 1.0 / 12), std::pow(440, 1.0 / 12), 1e-14);
}

// ---- the generated pack -----------------------------------------------------------------

// The files of the pack but the music, each family made once, when a test first needs one
// of its files.
const std::vector<std::byte>& PackFile(const std::string& name) {
  static std::map<std::string, std::vector<std::byte>> made;
  static std::vector<std::string> familiesMade;
  if (auto it = made.find(name); it != made.end()) return it->second;
  for (const auto& family : datagen::Families()) {
    if (family.name == "music" || std::find(familiesMade.begin(), familiesMade.end(), family.name) != familiesMade.end())
      continue;
    familiesMade.emplace_back(family.name);
    for (auto& file : family.make()) made[file.name] = std::move(file.bytes);
    if (made.contains(name)) return made[name];
  }
  static const std::vector<std::byte> none;
  return none;
}

std::string NameInData(const char* demoName) {
  const std::string name = demoName;
  return name.substr(name.find('\\') + 1);
}

// Every file the demo loads is made, and loads through the demo's own loaders: the meshes
// with their parts and the normals and texture coordinates that lighting and texturing need,
// the images at sizes that need no resizing.
TEST(DataPack, EveryFileTheDemoLoadsIsMadeAndLoads) {
  std::vector<std::string> names;
  for (const auto& name : AssetNames) names.push_back(NameInData(name));
  names.push_back(NameInData(TreeTextureName));
  const std::map<std::string, std::size_t> subsets{
      {"kapelle_innen.x", 1}, {"jesus.x", 6},    {"woman.x", 4},   {"kapelle.x", 1}, {"moench.x", 3},
      {"terrain.x", 1},       {"skydome.x", 1},  {"heavensgate.x", 1}, {"skydome2.x", 1}, {"tree.x", 1},
      {"picture.x", 1}};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const auto& bytes = PackFile(name);
    ASSERT_FALSE(bytes.empty());
    if (name.ends_with(".x")) {
      const xfile::ReadResult read = xfile::ReadMesh(bytes);
      ASSERT_TRUE(read.mesh) << read.error;
      const xfile::Mesh& mesh = *read.mesh;
      EXPECT_EQ(mesh.subsets.size(), subsets.at(name));
      for (const auto& subset : mesh.subsets) EXPECT_GT(subset.indexCount, 0u);
      EXPECT_TRUE(mesh.hasNormals);
      EXPECT_TRUE(mesh.hasTextureCoords);
      EXPECT_LE(mesh.vertices.size(), 65535u);  // the demo asks for 16-bit indices
      for (const auto& v : mesh.vertices) {
        const float length = std::sqrt(v.normal.x * v.normal.x + v.normal.y * v.normal.y + v.normal.z * v.normal.z);
        ASSERT_NEAR(length, 1.0f, 1e-3f);
      }
    } else {
      const d3dx::ImageResult decoded = d3dx::DecodeJpeg(bytes);
      ASSERT_TRUE(decoded.image) << decoded.error;
      for (int side : {decoded.image->width, decoded.image->height}) {
        EXPECT_GE(side, 256);
        EXPECT_LE(side, 2048);
        EXPECT_EQ(side & (side - 1), 0) << side;
      }
    }
  }
}

TEST(DataPack, TreeBackgroundKeysOutExactly) {
  const d3dx::ImageResult decoded = d3dx::DecodeJpeg(PackFile("Treemaps.jpg"));
  ASSERT_TRUE(decoded.image) << decoded.error;
  d3dx::Image image = *decoded.image;
  d3dx::ApplyColorKey(image, 0xFF000000);
  auto alpha = [&](int x, int y) { return image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3]; };
  // A band round every cell of the atlas is background, and so is most of the texture.
  const int cell = image.width / 2;
  std::size_t keyed = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const int cx = x % cell, cy = y % cell;
      const bool border = cx < 8 || cy < 8 || cx >= cell - 8 || cy >= cell - 8;
      if (border) {
        ASSERT_EQ(alpha(x, y), 0) << x << "," << y;
      }
      keyed += alpha(x, y) == 0;
    }
  EXPECT_GT(keyed, image.rgba.size() / 4 / 2);
  // Inside a tree nothing is keyed: a column up the old tree's trunk is solid.
  for (int y = cell - 60; y < cell - 20; ++y) EXPECT_EQ(alpha(cell / 2, y), 255) << y;
}

TEST(DataPack, GeneratingAgainGivesTheSameBytes) {
  for (const auto& family : datagen::Families()) {
    if (family.name == "music") continue;
    SCOPED_TRACE(std::string(family.name));
    for (const auto& file : family.make()) EXPECT_TRUE(file.bytes == PackFile(file.name)) << file.name;
  }
}

// The beginning of the piece, rendered twice: the same bytes, and an MP3 that our own
// decoder plays at 44.1 kHz stereo for as long as asked, below full scale.
TEST(Music, AnExcerptIsRepeatableAndPlays) {
  const Files first = datagen::MakeMusic(6.0);
  const Files second = datagen::MakeMusic(6.0);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].name, "user@example.com3");
  ASSERT_FALSE(first[0].bytes.empty());
  EXPECT_TRUE(first[0].bytes == second[0].bytes);
  // 192 kbit/s for six seconds, give or take a frame.
  EXPECT_NEAR(static_cast<double>(first[0].bytes.size()), 6.0 * 192000 / 8, 1500);

  const std::string path = ::testing::TempDir() + "/datagen_music_excerpt.mp3";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(first[0].bytes.data()), static_cast<std::streamsize>(first[0].bytes.size()));
  }
  auto decoder = sound::Mp3Decoder::Open(path);
  ASSERT_TRUE(decoder);
  EXPECT_EQ(decoder->Format().rate, 44100);
  EXPECT_EQ(decoder->Format().channels, 2);
  std::vector<std::byte> chunk(decoder->ChunkCapacity());
  std::size_t frames = 0;
  int peak = 0;
  double energy = 0;
  for (;;) {
    const auto piece = decoder->Read(chunk);
    const auto* samples = reinterpret_cast<const std::int16_t*>(chunk.data());
    for (std::size_t i = 0; i < piece.bytes / 2; ++i) {
      peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
      energy += static_cast<double>(samples[i]) * samples[i];
    }
    frames += piece.bytes / 4;
    if (piece.status == sound::Mp3Decoder::Status::kEnd) break;
  }
  std::filesystem::remove(path);
  EXPECT_NEAR(frames / 44100.0, 6.0, 0.1);
  EXPECT_LT(peak, 32000);
  EXPECT_GT(energy / (2.0 * frames), 100.0 * 100.0);  // not silent
}

// The picture quad seen by the interlude's fixed camera: it fills the frame, and what is at
// the top left of the picture is at the top left of the screen.
TEST(DataPack, PictureFillsTheFrameTheRightWayRound) {
  auto device = gltest::MakeHeadlessDevice(160, 120);
  ASSERT_TRUE(device);
  const xfile::ReadResult read = xfile::ReadMesh(PackFile("picture.x"));
  ASSERT_TRUE(read.mesh) << read.error;
  ID3DXMesh* mesh = device->CreateMesh(*read.mesh);
  ASSERT_TRUE(mesh);
  d3dx::Image marker = gltest::SolidImage(64, 64, 0, 0, 255);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      marker.rgba[(y * 64 + x) * 4] = 255;
      marker.rgba[(y * 64 + x) * 4 + 2] = 0;
    }
  IDirect3DTexture8* texture = device->CreateTexture({marker});
  ASSERT_TRUE(texture);

  D3DXMATRIX projection, view;
  D3DXMatrixPerspectiveFovRH(&projection, 0.78539819f, 1.3333f, 1.0f, 5000.0f);
  const D3DXVECTOR3 eye{0, 60.3f, 0}, at{0, 0, 0}, up{0, 0, 1};
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
  device->BeginScene();
  device->SetTexture(0, texture);
  device->DrawSubset(mesh, 0);
  device->EndScene();
  d3dx::Image frame;
  ASSERT_TRUE(device->ReadBackBuffer(frame));

  EXPECT_TRUE(gltest::Near(gltest::Pixel(frame, 6, 5), {255, 0, 0}, 8)) << "top left";
  EXPECT_TRUE(gltest::Near(gltest::Pixel(frame, 154, 5), {0, 0, 255}, 8)) << "top right";
  EXPECT_TRUE(gltest::Near(gltest::Pixel(frame, 6, 114), {0, 0, 255}, 8)) << "bottom left";
  for (auto [x, y] : {std::pair{0, 0}, {159, 0}, {0, 119}, {159, 119}})
    EXPECT_FALSE(gltest::Near(gltest::Pixel(frame, x, y), {0, 255, 0}, 8)) << "corner " << x << "," << y;
}

// ---- the contact sheet ------------------------------------------------------------------

TEST(ContactSheet, LaysFramesOutInRowsWithCaptionsUnder) {
  const std::vector<d3dx::Image> frames{gltest::SolidImage(40, 30, 255, 0, 0), gltest::SolidImage(40, 30, 0, 255, 0),
                                        gltest::SolidImage(40, 30, 0, 0, 255)};
  const d3dx::Image sheet = orchard::ContactSheet(frames, {"12000 ms", "50000 ms", "260000 ms"}, 2);
  // Two columns, two rows; each frame with its caption band below.
  ASSERT_GT(sheet.width, 80);
  ASSERT_GT(sheet.height, 60);
  auto at = [&](int x, int y) { return gltest::Pixel(sheet, x, y); };
  const int left = 4, right = 4 + 40 + 4;
  EXPECT_TRUE(gltest::Near(at(left + 20, 4 + 15), {255, 0, 0}));
  EXPECT_TRUE(gltest::Near(at(right + 20, 4 + 15), {0, 255, 0}));
  const int secondRow = sheet.height / 2 + 15;
  EXPECT_TRUE(gltest::Near(at(left + 20, secondRow), {0, 0, 255}));
  // Under the first frame some caption text stands out from the background.
  int bright = 0;
  for (int y = 4 + 30; y < 4 + 30 + 22; ++y)
    for (int x = left; x < left + 40; ++x) bright += at(x, y).r > 128;
  EXPECT_GT(bright, 10);
}

// ---- the layout against the camera paths -------------------------------------------------

struct Eye {
  double x, y, z;
};
constexpr double kDegree = 0.017453292;

// Eye positions of every exterior shot, sampled along the shot.
std::vector<Eye> ExteriorEyes() {
  std::vector<Eye> eyes;
  auto circle = [&](double cx, double cy, double r, double aDeg, double z) {
    eyes.push_back({cx + r * std::cos(aDeg * kDegree), cy + r * std::sin(aDeg * kDegree), z});
  };
  for (double u = 0; u < 3500; u += 25) circle(31.5, 24, 12, u / 25, 13);
  for (double u = 0; u < 10300; u += 25) circle(31.5, 12, 40, -u / 35, 10 + u / 1000);
  for (double u = 0; u < 3500; u += 25) circle(31.5, 24, 12, u / 25, 18);
  for (double u = 0; u < 12700; u += 25) eyes.push_back({40 - u / 300, 43, 3.3});
  for (double u = 0; u < 8000; u += 25) circle(-2, 33, 2.5, u / 90, 3);
  for (double u = 0; u < 3200; u += 25) circle(31.5, 24, 12 - u / 500, u / 25, 16 + u / 500);
  for (double u = 0; u < 8000; u += 25) eyes.push_back({-17, u / 457 - 7.5, 4});
  for (double u = 0; u < 8000; u += 25) eyes.push_back({18, 10 - u / 457, 4});
  for (double u = 0; u < 8000; u += 25) eyes.push_back({25 + u / 600, -10.5, 3.7});
  for (double u = 0; u < 8000; u += 25) eyes.push_back({33, u / 533 - 30, 6.25});
  for (double u = 0; u < 23000; u += 25) circle(0, 0, 12 + u / 400, u / 35, 5 + u / 500);
  for (double u = 0; u < 20000; u += 25) circle(-19.3, -20.5, 30 - u / 1250, u / 25, 18.5 - u / 2000);
  for (double u = 0; u < 20000; u += 25) eyes.push_back({-12, -20.5, 10 - u / 2500});
  for (double u = 0; u < 20000; u += 25) eyes.push_back({u / 2500 - 16.5, -20.5, 3.95});
  for (double u = 0; u < 10000; u += 25) circle(0, 0, 12 + u / 75, u / 20, 5 + u / 75);
  return eyes;
}

TEST(WorldLayout, ExteriorCamerasStayClearOfGroundChapelAndTrees) {
  using namespace datagen::world;
  // The near plane is one unit away and half as high as it is far, so an eye needs a little
  // more than half a unit of air below it.
  for (const Eye& e : ExteriorEyes()) {
    ASSERT_GT(e.z - TerrainHeight(e.x, e.y), 0.7) << e.x << "," << e.y << "," << e.z;
    const bool overChapel = e.x > kTowerX - kNaveHalfWidth - 1 && e.x < kTowerX + kNaveHalfWidth + 1 &&
                            e.y > kNaveSouth - 1 && e.y < kTowerY + kTowerHalf + 1;
    if (overChapel) {
      ASSERT_GT(e.z, kSpireTop + 1.3) << e.x << "," << e.y << "," << e.z;
    }
    // No tree's quad comes nearer than the near plane.
    for (const Tree& tree : Trees()) {
      const double ground = TerrainHeight(tree.x, tree.y);
      const double half = TreeWidth(tree) / 2;
      for (double angle : TreeQuadAngles(tree)) {
        const double dx = e.x - tree.x, dy = e.y - tree.y;
        const double along = dx * std::cos(angle) + dy * std::sin(angle);
        const double across = -dx * std::sin(angle) + dy * std::cos(angle);
        const double a = along - std::clamp(along, -half, half);
        const double h = e.z - std::clamp(e.z, ground - 0.25, ground + tree.height);
        ASSERT_GT(std::sqrt(a * a + across * across + h * h), 1.0)
            << "eye " << e.x << "," << e.y << "," << e.z << " at the tree at " << tree.x << "," << tree.y;
      }
    }
  }
  // The ground where the low shots look stays low.
  EXPECT_LT(TerrainHeight(-12, -20.5), 2.5);
  EXPECT_LT(TerrainHeight(kMonkX, kMonkY), 3.0);
  for (double x = -5; x <= 42; x += 1) EXPECT_LT(TerrainHeight(x, 43), 3.3 - 0.7) << x;
  // The hills rise towards the edge, where the sky meets them.
  EXPECT_GT(TerrainHeight(500, 0), 40);
  EXPECT_GT(TerrainHeight(0, -500), 40);
}

// The interior shots circle the statues inside the nave: the eye keeps clear of walls,
// ceiling, the beam across the chancel, the pews and the hanging lamps.
TEST(WorldLayout, InteriorCamerasStayInsideTheNave) {
  std::vector<Eye> eyes;
  auto circle = [&](double cy, double r, double aDeg, double z) {
    eyes.push_back({r * std::cos(aDeg * kDegree), cy + r * std::sin(aDeg * kDegree), z});
  };
  for (double u = 0; u < 12000; u += 20) eyes.push_back({u / 2400 - 2.5, 6.0, 6.5});
  for (double u = 0; u < 10000; u += 20) circle(1.75, 1.5 + u / 2500, u / 25, 2.4 + u / 7500);
  for (double u = 0; u < 10000; u += 20) circle(1.75, 5 + u / 5000, -u / 35, 4.3 + u / 2500);
  for (double u = 0; u < 8000; u += 20) eyes.push_back({0, 7, 4.5 + u / 1670});
  for (double u = 0; u < 20000; u += 20) circle(1.75, 5.6 + u / 5000, u / 20, 4.3 + u / 3400);
  for (double u = 0; u < 8000; u += 20) circle(4.9, 5.6 - u / 1500, u / 20, std::max(2.5, 7 - u / 1750));
  for (const Eye& e : eyes) {
    const double ceiling = 11.0 + (11.5 - std::fabs(e.x)) * 5.5 / 11.5 - 0.45;  // rafters hang below
    ASSERT_LT(std::fabs(e.x), 11.5 - 1.0) << e.x << "," << e.y << "," << e.z;
    ASSERT_GT(e.y, -10.5 + 1.0);
    ASSERT_LT(e.y, 14.5 - 1.0);
    ASSERT_LT(e.z, ceiling - 1.0) << e.x << "," << e.y << "," << e.z;
    if (std::fabs(e.y - 10.5) < 1.2) {
      ASSERT_LT(e.z, 11.225 - 1.0) << e.x << "," << e.y << "," << e.z;
    }
    const bool overPews = std::fabs(e.x) > 1.6 && std::fabs(e.x) < 9.8 &&
                          ((e.y > -9.3 && e.y < -0.7) || (e.y > 4.5 && e.y < 8.7));
    if (overPews) {
      ASSERT_GT(e.z, 1.12 + 0.7) << e.x << "," << e.y << "," << e.z;
    }
    for (double lampX : {-2.2, 2.2}) {
      const double dx = e.x - lampX, dy = e.y - 11.3, dz = e.z - 6.6;
      ASSERT_GT(std::sqrt(dx * dx + dy * dy + dz * dz), 1.3) << e.x << "," << e.y << "," << e.z;
    }
  }
}

// The finale flies along x = 0 at height 5, circling six units round its target as it passes
// the gate, then rises at the end of the avenue: nothing of the gate may stand in that tube.
TEST(WorldLayout, NothingStandsInTheFinalesFlightPath) {
  const xfile::ReadResult read = xfile::ReadMesh(PackFile("heavensgate.x"));
  ASSERT_TRUE(read.mesh) << read.error;
  for (const auto& v : read.mesh->vertices) {
    const auto& p = v.position;
    if (std::fabs(p.x) >= 7.2 || p.y > 520 || p.y < -660) continue;
    ASSERT_TRUE(p.z < 3.5 || p.z > 7.5) << p.x << "," << p.y << "," << p.z;
    if (p.y < -470) {
      ASSERT_LT(p.z, 1.0) << p.x << "," << p.y << "," << p.z;
    }
  }
}

}  // namespace
