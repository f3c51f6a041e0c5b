// Where `orchard play` finds the demo's Data/ folder: the folder given with --root, else
// the current one, else the one beside the executable, else the installed data folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orchard {

struct DataRootSearch {
  std::optional<std::filesystem::path> root;  // --root: taken as given, never searched past
  std::filesystem::path current;
  std::filesystem::path besideExecutable;
  std::filesystem::path installed;
};

// The folder whose Data/ the demo reads, or nullopt with the places looked at in *tried.
std::optional<std::filesystem::path> FindDataRoot(const DataRootSearch& search, std::vector<std::string>* tried);

// The search of this process: the current folder, /proc/self/exe's folder, and the data
// folder chosen when the program was built (where `cmake --install` puts the pack).
DataRootSearch DefaultDataRootSearch(std::optional<std::filesystem::path> root);

}  // namespace orchard
