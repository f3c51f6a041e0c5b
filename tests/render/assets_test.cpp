// LoadAssets on the recording device: which files it asks for, with which filters and key,
// and the warning each missing file costs.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "render/assets.h"
#include "render/display_device.h"
#include "render/recording_device.h"
#include "tests/support/scoped_working_folder.h"

namespace {

namespace fs = std::filesystem;

const char* const kMeshes[] = {
    "Data\\kapelle_innen.x", "Data\\jesus.x",       "Data\\woman.x",    "Data\\kapelle.x",
    "Data\\moench.x",        "Data\\terrain.x",     "Data\\skydome.x",  "Data\\heavensgate.x",
    "Data\\skydome2.x",      "Data\\tree.x",        "Data\\picture.x",
};
// Scene textures, then the three pictures, then the tree texture.
const char* const kTextures[] = {
    "Data\\kapelle_gesamt2.jpg", "Data\\jesus.jpg",       "Data\\woman.jpg",
    "Data\\moench.jpg",          "Data\\terrain2.jpg",    "Data\\sky.jpg",
    "Data\\heavensgate.jpg",     "Data\\heaven.jpg",      "Data\\pic_sentry.jpg",
    "Data\\pic_waiting.jpg",     "Data\\pic_greetings.jpg", "Data\\Treemaps.jpg",
};

struct Box {
  std::string text;
  std::string caption;
  UINT type;
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << '"' << box.text << "\" / \"" << box.caption << "\" / " << box.type;
}

std::vector<Box> MeshBoxes() {
  std::vector<Box> boxes;
  for (const char* mesh : kMeshes)
    boxes.push_back({std::string("Error loading 3DModel: ") + mesh, "ERROR", MB_ICONWARNING});
  return boxes;
}

Box TextureBox(const char* texture) {
  return {std::string("Error loading Texture: ") + texture, "ERROR", MB_ICONWARNING};
}

// The catalogue's file name as a Data/ path here.
fs::path OnDisk(const char* name) { return fs::path("Data") / (std::string(name).substr(5)); }

class LoadAssetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    device_ = std::make_unique<RecordingDevice>(
        [this](const std::string& line) { trace_.push_back(line); });
    Device = device_.get();
    win32::SetMessageBoxHandler([this](const char* text, const char* caption, UINT type) {
      boxes_.push_back({text, caption, type});
      return IDOK;
    });
  }
  void TearDown() override {
    win32::SetMessageBoxHandler({});
    Device = nullptr;
    ClearTables();  // the textures belong to the device that goes now
  }

  static void ClearTables() {
    for (MeshSlot& slot : MeshTable) slot = {};
    for (auto& texture : SceneTextures) texture = nullptr;
    for (auto& texture : PictureTextures) texture = nullptr;
    TreeTexture = nullptr;
  }

  std::vector<IDirect3DTexture8*> AllTextures() const {
    std::vector<IDirect3DTexture8*> all(std::begin(SceneTextures), std::end(SceneTextures));
    all.insert(all.end(), PictureTextures + 1, PictureTextures + kPictureCount + 1);
    all.push_back(TreeTexture);
    return all;
  }

  std::vector<std::string> TraceOf(const std::string& op) const {
    std::vector<std::string> lines;
    for (const std::string& line : trace_)
      if (line.starts_with("{\"op\":\"" + op + "\"")) lines.push_back(line);
    return lines;
  }

  std::unique_ptr<RecordingDevice> device_;
  std::vector<std::string> trace_;
  std::vector<Box> boxes_;
};

TEST_F(LoadAssetsTest, WithoutTheDataFolderEveryFileCostsOneBoxInOrder) {
  ScopedWorkingFolder empty;
  EXPECT_TRUE(LoadAssets());

  std::vector<Box> want = MeshBoxes();
  for (const char* texture : kTextures) want.push_back(TextureBox(texture));
  EXPECT_EQ(boxes_, want);

  for (const MeshSlot& slot : MeshTable) {
    EXPECT_EQ(slot.mesh, nullptr);
    EXPECT_EQ(slot.subsetCount, 0u);
  }
  for (IDirect3DTexture8* texture : AllTextures()) EXPECT_EQ(texture, nullptr);
}

TEST_F(LoadAssetsTest, PresentImagesLoadWithTheirFiltersAndKey) {
  const fs::path jpeg = fs::path(ORCHARD_SOURCE_DIR) / "tests/fixtures/jpeg/baseline.jpg";
  ScopedWorkingFolder folder;
  fs::create_directory("Data");
  for (const char* texture : kTextures) fs::copy_file(jpeg, OnDisk(texture));

  EXPECT_TRUE(LoadAssets());
  EXPECT_EQ(boxes_, MeshBoxes());
  for (IDirect3DTexture8* texture : AllTextures()) EXPECT_NE(texture, nullptr);

  // Scene textures filter with the triangle, pictures linearly; only the trees are keyed.
  std::vector<std::string> want;
  for (int i = 0; i < 12; ++i) {
    const int filter = i >= 8 && i < 11 ? 3 : 4;
    const char* key = i == 11 ? "0xff000000" : "0x00000000";
    std::string file = kTextures[i];
    file.insert(4, "\\");  // the trace escapes the backslash
    want.push_back(R"({"op":"LoadTexture","file":")" + file + R"(","filter":)" +
                   std::to_string(filter) + R"(,"mipFilter":)" + std::to_string(filter) +
                   R"(,"colorKey":")" + key + R"(","ok":1})");
  }
  EXPECT_EQ(TraceOf("LoadTexture"), want);
}

TEST_F(LoadAssetsTest, AnUnreadableImageCostsOneBoxAndItsSlot) {
  const fs::path fixtures = fs::path(ORCHARD_SOURCE_DIR) / "tests/fixtures/jpeg";
  ScopedWorkingFolder folder;
  fs::create_directory("Data");
  for (const char* texture : kTextures) fs::copy_file(fixtures / "baseline.jpg", OnDisk(texture));
  fs::copy_file(fixtures / "truncated.jpg", OnDisk("Data\\sky.jpg"),
                fs::copy_options::overwrite_existing);

  EXPECT_TRUE(LoadAssets());
  std::vector<Box> want = MeshBoxes();
  want.push_back(TextureBox("Data\\sky.jpg"));
  EXPECT_EQ(boxes_, want);
  EXPECT_EQ(SceneTextures[5], nullptr);
  EXPECT_NE(SceneTextures[4], nullptr);
  EXPECT_NE(SceneTextures[6], nullptr);
}

}  // namespace
