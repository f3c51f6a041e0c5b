// The whole data pack: which family makes which files, and generating them on two threads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/datagen/assets.h"

namespace datagen {

struct Family {
  std::string_view name;  // "buildings", "figures", ...
  Files (*make)();
};

// Every family in a fixed order; the music comes last.
const std::vector<Family>& Families();

// Runs the named families (all when `only` is empty). The music, the slowest, runs on a
// thread of its own while the others run one after another on the calling thread; the
// result is in the order of Families() whatever the timing.
Files GenerateFamilies(const std::vector<std::string>& only = {});

// Writes each file into `directory` (created if missing). Returns an error message, or an
// empty string on success.
std::string WriteFiles(const Files& files, const std::string& directory);

}  // namespace datagen
