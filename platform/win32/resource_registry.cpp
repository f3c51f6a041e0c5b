#include "platform/win32/resource_registry.h"

#include <map>

namespace win32 {

namespace {

std::map<WORD, DialogTemplate>& Dialogs() {
  static std::map<WORD, DialogTemplate> dialogs;
  return dialogs;
}

std::map<WORD, std::vector<std::uint8_t>>& Bitmaps() {
  static std::map<WORD, std::vector<std::uint8_t>> bitmaps;
  return bitmaps;
}

}  // namespace

void RegisterDialogResource(WORD id, DialogTemplate dialog) { Dialogs()[id] = std::move(dialog); }

void RegisterBitmapResource(WORD id, std::span<const std::uint8_t> file) {
  Bitmaps()[id].assign(file.begin(), file.end());
}

const DialogTemplate* FindDialogResource(LPCSTR name) {
  const auto value = reinterpret_cast<std::uintptr_t>(name);
  if (value == 0 || value > 0xFFFF) return nullptr;
  const auto found = Dialogs().find(static_cast<WORD>(value));
  return found == Dialogs().end() ? nullptr : &found->second;
}

const std::vector<std::uint8_t>* FindBitmapResource(WORD id) {
  const auto found = Bitmaps().find(id);
  return found == Bitmaps().end() ? nullptr : &found->second;
}

}  // namespace win32
