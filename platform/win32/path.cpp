#include "platform/win32/path.h"

#include <strings.h>

#include <filesystem>
#include <system_error>

namespace win32 {

namespace fs = std::filesystem;

namespace {

// The entry of `folder` whose name equals `component` ignoring case, if there is one.
// Exact matches are preferred by the caller, so this only runs for names that differ.
bool FindCaseInsensitive(const fs::path& folder, const std::string& component,
                         std::string* found) {
  std::error_code error;
  fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
  if (error) return false;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (strcasecmp(name.c_str(), component.c_str()) == 0) {
      *found = name;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ResolveFileName(const std::string& windowsName) {
  std::string slashed = windowsName;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  std::error_code error;
  if (slashed.empty() || fs::exists(slashed, error)) return slashed;

  fs::path resolved;
  for (const auto& part : fs::path(slashed)) {
    const std::string component = part.string();
    if (component.empty() || component == "/" || component == "." || component == "..") {
      resolved /= part;
      continue;
    }
    std::string match;
    if (fs::exists(resolved / part, error)) {
      resolved /= part;
    } else if (FindCaseInsensitive(resolved, component, &match)) {
      resolved /= match;
    } else {
      return slashed;
    }
  }
  return resolved.string();
}

}  // namespace win32
