#include "tools/play/data_root.h"

namespace orchard {

namespace fs = std::filesystem;

namespace {

bool HoldsData(const fs::path& folder) {
  std::error_code ignored;
  return !folder.empty() && fs::is_directory(folder / "Data", ignored);
}

}  // namespace

std::optional<fs::path> FindDataRoot(const DataRootSearch& search, std::vector<std::string>* tried) {
  if (search.root) {
    // A folder the user named is the answer or an error; another one would surprise.
    tried->push_back(search.root->string());
    return HoldsData(*search.root) ? std::optional(*search.root) : std::nullopt;
  }
  for (const fs::path* folder : {&search.current, &search.besideExecutable, &search.installed}) {
    if (folder->empty()) continue;
    tried->push_back(folder->string());
    if (HoldsData(*folder)) return *folder;
  }
  return std::nullopt;
}

DataRootSearch DefaultDataRootSearch(std::optional<fs::path> root) {
  DataRootSearch search;
  search.root = std::move(root);
  std::error_code ignored;
  search.current = fs::current_path(ignored);
  const fs::path executable = fs::read_symlink("/proc/self/exe", ignored);
  if (!executable.empty()) search.besideExecutable = executable.parent_path();
  search.installed = ORCHARD_INSTALLED_DATA_DIR;
  return search;
}

}  // namespace orchard
