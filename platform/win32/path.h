// File names as the demo writes them ("Data\kapelle.x") on a file system with '/' and
// case-sensitive names.
#pragma once

#include <string>

namespace win32 {

// Turns backslashes into slashes and, where a component does not exist as written, takes
// the one entry of its folder that matches it case-insensitively (data copied from Windows
// keeps odd cases). When nothing matches, the slash form is returned as it is, so that
// opening it fails in the ordinary way.
std::string ResolveFileName(const std::string& windowsName);

}  // namespace win32
