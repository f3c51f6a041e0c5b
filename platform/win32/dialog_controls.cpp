#include "platform/win32/dialog_controls.h"

#include <strings.h>

#include <algorithm>

namespace win32 {

ControlKind KindOf(const DialogItemTemplate& item) {
  if (strcasecmp(item.className.c_str(), "button") == 0) {
    switch (item.style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        return ControlKind::PushButton;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
        return ControlKind::CheckBox;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        return ControlKind::RadioButton;
      case BS_GROUPBOX:
        return ControlKind::GroupBox;
      default:
        return ControlKind::Other;
    }
  }
  if (strcasecmp(item.className.c_str(), "static") == 0 && (item.style & SS_TYPEMASK) == SS_BITMAP)
    return ControlKind::Picture;
  return ControlKind::Other;
}

bool TakesFocus(const Control& control) {
  const bool button = control.kind == ControlKind::PushButton ||
                      control.kind == ControlKind::CheckBox ||
                      control.kind == ControlKind::RadioButton;
  return button && (control.style & WS_VISIBLE) != 0 && (control.style & WS_DISABLED) == 0;
}

std::vector<std::size_t> GroupMembers(const std::vector<Control>& controls, std::size_t index) {
  const std::size_t n = controls.size();
  std::vector<std::size_t> members;
  if (index >= n) return members;
  const auto startsGroup = [&](std::size_t i) { return (controls[i].style & WS_GROUP) != 0; };

  std::optional<std::size_t> start;
  for (std::size_t back = 0; back < n && !start; ++back) {
    const std::size_t i = (index + n - back) % n;
    if (startsGroup(i)) start = i;
  }
  if (!start) {
    for (std::size_t i = 0; i < n; ++i) members.push_back(i);
    return members;
  }
  members.push_back(*start);
  for (std::size_t step = 1; step < n; ++step) {
    const std::size_t i = (*start + step) % n;
    if (startsGroup(i)) break;
    members.push_back(i);
  }
  return members;
}

std::optional<std::size_t> NextTabStop(const std::vector<Control>& controls,
                                       std::optional<std::size_t> from, bool backwards) {
  const std::size_t n = controls.size();
  if (n == 0) return std::nullopt;
  // With nothing focused, the search starts just outside the list, so it finds the first
  // (or, backwards, the last) tab stop.
  std::size_t at = from.value_or(backwards ? 0 : n - 1);
  for (std::size_t step = 0; step < n; ++step) {
    at = backwards ? (at + n - 1) % n : (at + 1) % n;
    if ((controls[at].style & WS_TABSTOP) != 0 && TakesFocus(controls[at])) return at;
  }
  return std::nullopt;
}

std::optional<std::size_t> NextInGroup(const std::vector<Control>& controls, std::size_t from,
                                       bool backwards) {
  const std::vector<std::size_t> members = GroupMembers(controls, from);
  const auto position = std::find(members.begin(), members.end(), from);
  if (position == members.end()) return std::nullopt;
  const std::size_t n = members.size();
  std::size_t at = static_cast<std::size_t>(position - members.begin());
  for (std::size_t step = 1; step < n; ++step) {
    at = backwards ? (at + n - 1) % n : (at + 1) % n;
    if (TakesFocus(controls[members[at]])) return members[at];
  }
  return std::nullopt;
}

}  // namespace win32
