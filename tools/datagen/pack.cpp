#include "tools/datagen/pack.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>

#include "platform/d3dx/xfile_writer.h"

namespace datagen {

std::vector<std::byte> MeshFileBytes(const xfile::Mesh& mesh) {
  const std::string text = xfile::WriteText(mesh);
  std::vector<std::byte> bytes(text.size());
  std::transform(text.begin(), text.end(), bytes.begin(), [](char c) { return std::byte(c); });
  return bytes;
}

const std::vector<Family>& Families() {
  static const std::vector<Family> families = {
      {"buildings", MakeBuildings}, {"figures", MakeFigures}, {"landscape", MakeLandscape},
      {"sky", MakeSkies},           {"trees", MakeTrees},     {"gate", MakeGate},
      {"pictures", MakePictures},   {"music", [] { return MakeMusic(); }},
  };
  return families;
}

Files GenerateFamilies(const std::vector<std::string>& only) {
  auto wanted = [&](std::string_view name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
  };
  std::future<Files> music;
  for (const Family& family : Families())
    if (family.name == "music" && wanted(family.name))
      music = std::async(std::launch::async, family.make);
  Files files;
  for (const Family& family : Families()) {
    if (family.name == "music" || !wanted(family.name)) continue;
    Files made = family.make();
    for (auto& file : made) files.push_back(std::move(file));
  }
  if (music.valid()) {
    Files made = music.get();
    for (auto& file : made) files.push_back(std::move(file));
  }
  return files;
}

std::string WriteFiles(const Files& files, const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) return "cannot create " + directory + ": " + error.message();
  for (const OutputFile& file : files) {
    if (file.bytes.empty()) return "generating " + file.name + " failed";
    const std::filesystem::path path = std::filesystem::path(directory) / file.name;
    // Write beside the target and rename, so that a half-written file never replaces a good one.
    const std::filesystem::path temporary = path.string() + ".part";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(file.bytes.data()),
                static_cast<std::streamsize>(file.bytes.size()));
      out.close();
      if (!out) {
        std::filesystem::remove(temporary, error);
        return "cannot write " + path.string();
      }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) return "cannot write " + path.string() + ": " + error.message();
  }
  return {};
}

}  // namespace datagen
