// A fresh, empty temporary folder that is the working folder while the object lives; the
// demo resolves its relative "Data\..." names against the working folder.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class ScopedWorkingFolder {
 public:
  ScopedWorkingFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orchard.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::filesystem::filesystem_error(
        "mkdtemp", std::make_error_code(std::errc::io_error));
    folder_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  ~ScopedWorkingFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

  // Writes a file (and its folders) under the working folder.
  static void Write(const std::filesystem::path& file, const std::string& content = "x") {
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};
