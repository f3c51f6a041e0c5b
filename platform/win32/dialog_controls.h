// The controls of a running dialog: what each one is, its state, and how keyboard focus
// moves between them (tab stops, and the arrow keys within a group).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/bitmap_file.h"
#include "platform/win32/dialog_template.h"

namespace win32 {

enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Picture, Other };

struct Control {
  int id = 0;
  ControlKind kind = ControlKind::Other;
  bool automatic = false;      // BS_AUTOCHECKBOX / BS_AUTORADIOBUTTON: a click sets the state
  bool defaultButton = false;  // BS_DEFPUSHBUTTON in the template
  DWORD style = 0;
  std::string text;
  RECT rect;  // pixels in the dialog's client area
  UINT check = BST_UNCHECKED;
  bool pushed = false;  // held down by the mouse or the space bar
  std::optional<Image> picture;
};

ControlKind KindOf(const DialogItemTemplate& item);

// Buttons, check boxes and radio buttons that are visible and enabled; static controls
// (group boxes and pictures) never take the focus.
bool TakesFocus(const Control& control);

// The controls of the group of controls[index], in template order starting at the group's
// first control. A group starts at a WS_GROUP control and runs up to the next one, wrapping
// past the end; with no WS_GROUP anywhere, every control is in one group.
std::vector<std::size_t> GroupMembers(const std::vector<Control>& controls, std::size_t index);

// Tab and Shift+Tab: the next (or previous) WS_TABSTOP control that takes the focus,
// wrapping; `from` is the focused control, or nullopt when none has the focus.
std::optional<std::size_t> NextTabStop(const std::vector<Control>& controls,
                                       std::optional<std::size_t> from, bool backwards);

// The arrow keys: the next (or previous) control of the same group that takes the focus.
std::optional<std::size_t> NextInGroup(const std::vector<Control>& controls, std::size_t from,
                                       bool backwards);

}  // namespace win32
