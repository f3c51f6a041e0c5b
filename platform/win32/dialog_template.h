// Dialog templates as data, and the program's resources: what a Windows module carries in
// its resource section, registered by the program at start-up and found by
// DialogBoxParamA by their integer ids.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace win32 {

// One control of a dialog template. The rectangle is in dialog units.
struct DialogItemTemplate {
  int id = 0;             // -1 for controls the program never addresses
  std::string className;  // "button" or "static"
  std::string text;
  WORD imageResource = 0;  // a picture control's bitmap resource (its title is an ordinal)
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::string caption;
  std::string fontFace;
  int pointSize = 8;
  std::vector<DialogItemTemplate> items;  // template order: creation, Z and tab order
};

// Later registrations under the same id replace earlier ones.
void RegisterDialogResource(WORD id, DialogTemplate dialog);
// `file` holds a whole .bmp file; it is copied.
void RegisterBitmapResource(WORD id, std::span<const std::uint8_t> file);

}  // namespace win32
