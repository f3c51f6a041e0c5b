// Lookup side of the program's registered resources (dialog_template.h registers them).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/dialog_template.h"

namespace win32 {

// `name` is an integer resource name (MAKEINTRESOURCEA); string names are not supported.
const DialogTemplate* FindDialogResource(LPCSTR name);
const std::vector<std::uint8_t>* FindBitmapResource(WORD id);

}  // namespace win32
