#pragma once

// Generators for the program's own picture resources: the settings dialog's
// title bitmap and the file icon. Both return the complete file bytes and are
// deterministic (same bytes on every machine with the same fonts).

#include <cstdint>
#include <vector>

namespace datagen {

// The 200x200 title picture: an 8-bit palettized, uncompressed .bmp file.
std::vector<std::uint8_t> MakeTitleBitmap();

// The program icon: a .ico file holding one 32x32, 16-colour image.
std::vector<std::uint8_t> MakeIconFile();

}  // namespace datagen
