// Windows file names on a file system with '/' and case-sensitive names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/path.h"
#include "tests/support/scoped_working_folder.h"

namespace {

TEST(ResolveFileName, BackslashNamesFindTheFileWhateverItsCase) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::string want;
  } cases[] = {
      {"exact", {"Data/kapelle.x"}, "Data/kapelle.x"},
      {"folder and file in other cases", {"DATA/Kapelle.X"}, "DATA/Kapelle.X"},
      {"only the file in another case", {"Data/KAPELLE.x"}, "Data/KAPELLE.x"},
      {"exact wins over a case variant", {"Data/kapelle.x", "Data/Kapelle.x"}, "Data/kapelle.x"},
      {"missing: the slash form, to fail on open", {"Data/kapelle_innen.x"}, "Data/kapelle.x"},
      {"no folder at all", {}, "Data/kapelle.x"},
  };
  for (const Case& c : cases) {
    ScopedWorkingFolder folder;
    for (const std::string& file : c.files) ScopedWorkingFolder::Write(file);
    EXPECT_EQ(win32::ResolveFileName("Data\\kapelle.x"), c.want) << c.what;
  }
}

}  // namespace
