// orchard datagen: writes the demo's data pack (meshes, textures, pictures, music), made from
// nothing but code, into OUTDIR/Data/.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/args.h"
#include "tools/command.h"
#include "tools/datagen/pack.h"
#include "tools/datagen/title_art.h"

namespace orchard {

int RunDatagen(std::span<const std::string_view> args);

const Command kDatagenCommand{
    "datagen",
    "generate the data pack (meshes, textures, pictures, music) into a folder",
    "usage: orchard datagen [--only FAMILY,...] [--quiet] OUTDIR\n"
    "       orchard datagen --resources DIR\n"
    "\n"
    "Writes OUTDIR/Data/ with the 11 meshes, 12 JPEG images and the MP3 music of the demo,\n"
    "all made procedurally. The same bytes come out on every run and every machine. The\n"
    "music is made on a second thread while the rest is made on the first.\n"
    "\n"
    "  --only LIST       only these families, comma-separated: buildings, figures,\n"
    "                    landscape, sky, trees, gate, pictures, music\n"
    "  --quiet           print nothing but errors\n"
    "  --resources DIR   instead, write the program's own pictures: DIR/title_104.bmp (the\n"
    "                    settings dialog's title) and DIR/icon_102.ico\n",
    RunDatagen};

namespace {

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    if (end > start) items.push_back(text.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int WriteResources(const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  const std::filesystem::path dir(directory);
  const auto title = datagen::MakeTitleBitmap();
  const auto icon = datagen::MakeIconFile();
  if (error || title.empty() || icon.empty() || !WriteBytes(dir / "title_104.bmp", title) ||
      !WriteBytes(dir / "icon_102.ico", icon)) {
    std::fprintf(stderr, "orchard datagen: cannot write the resources into %s\n", directory.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int RunDatagen(std::span<const std::string_view> args) {
  const ParsedArgs parsed = ParseArgs(args, {"only", "resources"}, {"quiet"});
  if (!parsed.error.empty()) return UsageError("datagen", parsed.error);
  if (parsed.help) {
    std::fputs(kDatagenCommand.usage.data(), stdout);
    return kExitOk;
  }
  if (const auto resources = parsed.Value("resources")) {
    if (!parsed.positional.empty()) return UsageError("datagen", "--resources takes no OUTDIR");
    return WriteResources(*resources);
  }
  if (parsed.positional.size() != 1) return UsageError("datagen", "give exactly one OUTDIR");

  std::vector<std::string> only;
  if (const auto list = parsed.Value("only")) {
    only = SplitList(*list);
    for (const auto& name : only) {
      bool known = false;
      for (const auto& family : datagen::Families()) known = known || family.name == name;
      if (!known) return UsageError("datagen", "no family called " + name);
    }
    if (only.empty()) return UsageError("datagen", "--only names no family");
  }

  // The folder first, so that a place we cannot write to fails at once, not after the work.
  const std::string dataDir = (std::filesystem::path(parsed.positional[0]) / "Data").string();
  std::error_code error;
  std::filesystem::create_directories(dataDir, error);
  if (error) {
    std::fprintf(stderr, "orchard datagen: cannot create %s: %s\n", dataDir.c_str(), error.message().c_str());
    return kExitFailure;
  }
  const auto start = std::chrono::steady_clock::now();
  const datagen::Files files = datagen::GenerateFamilies(only);
  if (const std::string error = datagen::WriteFiles(files, dataDir); !error.empty()) {
    std::fprintf(stderr, "orchard datagen: %s\n", error.c_str());
    return kExitFailure;
  }
  if (!parsed.Has("quiet")) {
    for (const auto& file : files)
      std::printf("%-24s %9zu bytes\n", file.name.c_str(), file.bytes.size());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu files in %s, %.1f s\n", files.size(), dataDir.c_str(), seconds);
  }
  return kExitOk;
}

}  // namespace orchard
