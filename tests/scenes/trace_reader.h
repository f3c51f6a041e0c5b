// What the scene tests share: the recording device as the demo's device, a reader for the
// trace lines it writes, readable names for the calls, and checks of the light and the view
// of one frame against the values a shot should have.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3dx/math.h"
#include "render/assets.h"
#include "render/display_device.h"
#include "render/recording_device.h"
#include "scenes/scenes.h"

namespace scenetest {

// ---- reading trace lines ------------------------------------------------------------------

// {"op":"Clear",...} gives Clear.
inline std::string OpOf(const std::string& line) {
  const auto start = line.find("\"op\":\"") + 6;
  return line.substr(start, line.find('"', start) - start);
}

// The raw text after "key": up to the end of its value (a number, a [...] list or a string).
inline std::string_view ValueText(const std::string& line, std::string_view key) {
  const std::string quoted = "\"" + std::string(key) + "\":";
  const auto at = line.find(quoted);
  if (at == std::string::npos) return {};
  const std::string_view rest = std::string_view(line).substr(at + quoted.size());
  if (rest.starts_with('[')) return rest.substr(0, rest.find(']') + 1);
  if (rest.starts_with('"')) {
    std::size_t end = 1;
    while (end < rest.size() && rest[end] != '"') end += rest[end] == '\\' ? 2 : 1;
    return rest.substr(0, end + 1);
  }
  return rest.substr(0, rest.find_first_of(",}"));
}

// Every number of the value of key: one for a plain number, all of them for a list. The trace
// prints floats so that they read back to the same 32-bit float, so exact comparison is fair.
inline std::vector<float> NumbersOf(const std::string& line, std::string_view key) {
  std::string text(ValueText(line, key));
  std::vector<float> numbers;
  const char* p = text.c_str();
  while (*p != '\0') {
    if (*p == '[' || *p == ',' || *p == ']' || *p == ' ') {
      ++p;
      continue;
    }
    char* end = nullptr;
    numbers.push_back(std::strtof(p, &end));
    if (end == p) break;
    p = end;
  }
  return numbers;
}

// The string value of key with its JSON escapes undone, or "null".
inline std::string TextOf(const std::string& line, std::string_view key) {
  const std::string_view raw = ValueText(line, key);
  if (!raw.starts_with('"')) return std::string(raw);
  std::string text;
  for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
    if (raw[i] == '\\') ++i;
    text += raw[i];
  }
  return text;
}

// ---- naming the calls ----------------------------------------------------------------------

struct NamedMaterial {
  const char* name;
  float diffuse, ambient, specular;
};

// The seven grey presets and the picture's own material. Emissive, power and every alpha are 0.
inline constexpr NamedMaterial kMaterials[] = {
    {"MaterialChapel", 0.5f, 0.125f, 0.0f},  {"MaterialSky", 0.95f, 0.75f, 0.0f},
    {"MaterialFigure", 0.95f, 0.125f, 0.0f}, {"MaterialInterior", 0.125f, 0.25f, 0.25f},
    {"MaterialTerrain", 0.95f, 0.75f, 0.25f}, {"MaterialGate", 0.25f, 0.125f, 0.25f},
    {"MaterialTree", 0.25f, 0.5f, 0.25f},    {"PictureMaterial", 0.95f, 0.95f, 0.25f},
};

inline std::vector<float> Grey(float value) { return {value, value, value, 0.0f}; }

// "SetTransform view", "MaterialFigure", "SetTexture Data\jesus.jpg", "DrawSubset
// Data\jesus.x 1", "SetRenderState 27 1", "LightEnable 0 1", "SetLight"...
inline std::string Describe(const std::string& line) {
  const std::string op = OpOf(line);
  const auto number = [&](std::string_view key) {
    return std::to_string(static_cast<long long>(NumbersOf(line, key).at(0)));
  };
  if (op == "SetTransform") {
    const std::string state = number("state");
    return op + (state == "2" ? " view" : state == "3" ? " projection" : " " + state);
  }
  if (op == "SetMaterial") {
    for (const auto& m : kMaterials)
      if (NumbersOf(line, "diffuse") == Grey(m.diffuse) && NumbersOf(line, "ambient") == Grey(m.ambient) &&
          NumbersOf(line, "specular") == Grey(m.specular) && NumbersOf(line, "emissive") == Grey(0.0f) &&
          NumbersOf(line, "power") == std::vector<float>{0.0f})
        return m.name;
    return "unknown material " + line;
  }
  if (op == "SetTexture") {
    const std::string stage = number("stage");
    return op + (stage == "0" ? "" : " stage " + stage) + " " + TextOf(line, "texture");
  }
  if (op == "DrawSubset") return op + " " + TextOf(line, "mesh") + " " + number("subset");
  if (op == "SetRenderState") return op + " " + number("state") + " " + number("value");
  if (op == "LightEnable") return op + " " + number("index") + " " + number("enable");
  return op;
}

// The draw list the way a scene is written: "DrawMesh Data\x.x" for a whole mesh and
// "SetTexture Data\x.jpg" for a texture slot. Expanded to what the trace shows: two subsets
// per mesh when the stand-in meshes are loaded and no line for an empty slot; the file name
// or null for a texture.
inline std::vector<std::string> Expand(const std::vector<std::string>& drawList, bool meshesLoaded,
                                       bool texturesLoaded) {
  std::vector<std::string> lines;
  for (const auto& entry : drawList) {
    if (entry.starts_with("DrawMesh ")) {
      if (!meshesLoaded) continue;
      for (const char* subset : {" 0", " 1"}) lines.push_back("DrawSubset " + entry.substr(9) + subset);
    } else if (entry.starts_with("SetTexture ") && !texturesLoaded) {
      lines.push_back("SetTexture null");
    } else {
      lines.push_back(entry);
    }
  }
  return lines;
}

// ---- the fixture ---------------------------------------------------------------------------

// One expected frame of a shot: the light factor and the camera.
struct Shot {
  std::int32_t t;
  float f;
  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
};

// The fixed parts of a scene's light; diffuse and ambient are scaled by f.
struct SceneLightValues {
  float diffuse, specular, ambient;
  D3DVECTOR position;
  float range;
};

// Relative 1e-4, and absolute 1e-6 near 0 (the last frames of a fade are lit at f ~ 1e-4).
inline void ExpectNear(float actual, float expected, const std::string& what) {
  const float tolerance = std::fmax(1e-4f * std::fabs(expected), 1e-6f);
  EXPECT_NEAR(actual, expected, tolerance) << what;
}

// Fov pi/4, aspect 1.3333 (not 4/3), near 1, far 5000, whatever the window size.
inline void ExpectStandardProjection(const std::vector<float>& m) {
  ASSERT_EQ(m.size(), 16u);
  const float farTerm = std::bit_cast<float>(0xBF80068Eu);  // 5000 / (1 - 5000)
  const std::vector<float> expected = {1.8107053f, 0, 0, 0, 0, 2.4142134f, 0, 0,
                                       0, 0, farTerm, -1, 0, 0, farTerm, 0};
  EXPECT_EQ(m, expected);
}

// Installs a recording device as the demo's device with every asset slot empty and the monk
// standing, as at program start; puts everything back afterwards.
class SceneTrace : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder_ = std::make_unique<RecordingDevice>([this](const std::string& line) { lines_.push_back(line); });
    savedDevice_ = Device;
    Device = recorder_.get();
    EmptyAssetSlots();
    MonkVisible = true;
  }

  void TearDown() override {
    EmptyAssetSlots();
    Device = savedDevice_;
    MonkVisible = true;
  }

  // The trace lines of one call.
  template <typename Draw>
  const std::vector<std::string>& Record(Draw draw) {
    lines_.clear();
    draw();
    return lines_;
  }

  template <typename Draw>
  std::vector<std::string> DescribeCall(Draw draw) {
    std::vector<std::string> names;
    for (const auto& line : Record(draw)) names.push_back(Describe(line));
    return names;
  }

  // The first line of the last call with this op, or the empty string.
  std::string LineOf(std::string_view op) const {
    for (const auto& line : lines_)
      if (OpOf(line) == op) return line;
    return {};
  }

  std::string TransformLine(int state) const {
    for (const auto& line : lines_)
      if (OpOf(line) == "SetTransform" && NumbersOf(line, "state") == std::vector<float>{float(state)})
        return line;
    return {};
  }

  // The light and the view of the last call against a shot.
  void ExpectShot(const Shot& shot, const SceneLightValues& light) const {
    const std::string at = " at t = " + std::to_string(shot.t);
    ASSERT_FALSE(lines_.empty()) << at;
    EXPECT_EQ(lines_.front(), TransformLine(D3DTS_PROJECTION)) << "the projection comes first" << at;
    ExpectStandardProjection(NumbersOf(TransformLine(D3DTS_PROJECTION), "m"));
    const std::string lightLine = LineOf("SetLight");
    ASSERT_FALSE(lightLine.empty()) << "no light" << at;
    EXPECT_EQ(NumbersOf(lightLine, "index"), std::vector<float>{0}) << at;
    EXPECT_EQ(NumbersOf(lightLine, "type"), std::vector<float>{1}) << "a point light" << at;
    const std::vector<float> diffuse = NumbersOf(lightLine, "diffuse");
    const std::vector<float> ambient = NumbersOf(lightLine, "ambient");
    for (int i = 0; i < 3; ++i) {
      ExpectNear(diffuse[i], light.diffuse * shot.f, "diffuse" + at);
      ExpectNear(ambient[i], light.ambient * shot.f, "ambient" + at);
    }
    EXPECT_EQ(diffuse[3], 0.0f) << at;
    EXPECT_EQ(ambient[3], 0.0f) << at;
    EXPECT_EQ(NumbersOf(lightLine, "specular"), Grey(light.specular)) << "not scaled" << at;
    const D3DVECTOR& p = light.position;
    EXPECT_EQ(NumbersOf(lightLine, "position"), (std::vector<float>{p.x, p.y, p.z})) << at;
    EXPECT_EQ(NumbersOf(lightLine, "direction"), (std::vector<float>{0, 0, 0})) << at;
    EXPECT_EQ(NumbersOf(lightLine, "range"), std::vector<float>{light.range}) << at;
    EXPECT_EQ(NumbersOf(lightLine, "attenuation"), (std::vector<float>{1, 0, 0})) << at;
    EXPECT_EQ(NumbersOf(lightLine, "falloff"), std::vector<float>{0}) << at;
    EXPECT_EQ(NumbersOf(lightLine, "theta"), std::vector<float>{0}) << at;
    EXPECT_EQ(NumbersOf(lightLine, "phi"), std::vector<float>{0}) << at;

    // The view is the right-handed look-at from eye to target with +z up.
    const std::vector<float> view = NumbersOf(TransformLine(D3DTS_VIEW), "m");
    ASSERT_EQ(view.size(), 16u) << "no view" << at;
    const D3DXVECTOR3 up{0.0f, 0.0f, 1.0f};
    D3DXMATRIX expected;
    D3DXMatrixLookAtRH(&expected, &shot.eye, &shot.target, &up);
    for (int i = 0; i < 16; ++i) {
      const float e = expected.m[i / 4][i % 4];
      EXPECT_NEAR(view[i], e, 1e-4f * std::fmax(1.0f, std::fabs(e)))
          << "view entry " << i << at << " (eye " << shot.eye.x << ", " << shot.eye.y << ", "
          << shot.eye.z << ")";
    }
  }

  // Fills every asset slot from the stand-in files: a two-subset mesh under each mesh name
  // and one small image under each texture name, read through the device from a scratch
  // folder laid out like the data pack. A load the platform cannot do yet leaves its slot
  // empty, as a missing file does in a run.
  void LoadStandInAssets(bool& meshesLoaded, bool& texturesLoaded) {
    namespace fs = std::filesystem;
    char folderTemplate[] = "/tmp/scenes_test_XXXXXX";
    const fs::path folder = mkdtemp(folderTemplate);
    fs::create_directory(folder / "Data");
    const fs::path fixtures = ORCHARD_TEST_FIXTURES "/scenes";
    const auto dataPath = [&](const char* name) { return folder / "Data" / (std::string(name).substr(5)); };
    for (int slot = 0; slot < kMeshCount; ++slot)
      fs::copy_file(fixtures / "two_subsets.x", dataPath(AssetNames[slot]));
    for (int name = kMeshCount; name < static_cast<int>(std::size(AssetNames)); ++name)
      fs::copy_file(fixtures / "stand_in.jpg", dataPath(AssetNames[name]));
    fs::copy_file(fixtures / "stand_in.jpg", dataPath(TreeTextureName));

    const fs::path home = fs::current_path();
    fs::current_path(folder);
    meshesLoaded = true;
    for (int slot = 0; slot < kMeshCount; ++slot) {
      DWORD count = 0;
      ID3DXMesh* mesh = nullptr;
      if (Device->D3DXLoadMeshFromX(AssetNames[slot], D3DXMESH_SYSTEMMEM, nullptr, nullptr, &count, &mesh) == S_OK)
        MeshTable[slot] = {mesh, count};
      meshesLoaded = meshesLoaded && MeshTable[slot].subsetCount == 2;
    }
    const auto loadTexture = [&](const char* name) {
      IDirect3DTexture8* texture = nullptr;
      Device->D3DXCreateTextureFromFileExA(name, 0, 0, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                                           D3DX_FILTER_TRIANGLE, D3DX_FILTER_TRIANGLE, 0, nullptr,
                                           nullptr, &texture);
      return texture;
    };
    for (int slot = 0; slot < kSceneTextureCount; ++slot)
      SceneTextures[slot] = loadTexture(AssetNames[kMeshCount + slot]);
    for (int picture = 1; picture <= kPictureCount; ++picture)
      PictureTextures[picture] = loadTexture(AssetNames[kMeshCount + kSceneTextureCount + picture - 1]);
    TreeTexture = loadTexture(TreeTextureName);
    texturesLoaded = TreeTexture != nullptr;
    fs::current_path(home);
    fs::remove_all(folder);
  }

  // The draw list of one call, first with every asset slot empty, then with the stand-in
  // assets as far as the platform can read them (StandInAssets says when it cannot yet).
  template <typename Draw>
  void ExpectDrawList(Draw draw, const std::vector<std::string>& drawList) {
    EmptyAssetSlots();
    EXPECT_EQ(DescribeCall(draw), Expand(drawList, false, false)) << "with every asset slot empty";
    bool meshesLoaded = false;
    bool texturesLoaded = false;
    LoadStandInAssets(meshesLoaded, texturesLoaded);
    EXPECT_EQ(DescribeCall(draw), Expand(drawList, meshesLoaded, texturesLoaded))
        << "with the stand-in assets (meshes read: " << meshesLoaded
        << ", textures read: " << texturesLoaded << ")";
    EmptyAssetSlots();
  }

 private:
  static void EmptyAssetSlots() {
    for (auto& slot : MeshTable) slot = MeshSlot{};
    for (auto& texture : SceneTextures) texture = nullptr;
    for (auto& texture : PictureTextures) texture = nullptr;
    TreeTexture = nullptr;
  }

  std::unique_ptr<RecordingDevice> recorder_;
  RenderDevice* savedDevice_ = nullptr;
  std::vector<std::string> lines_;
};

}  // namespace scenetest
