// MP3 files through LAME: constant bit rate, no tags, so the bytes depend on the samples only.
#pragma once

#include <cstddef>
#include <vector>

namespace datagen {

// Stereo samples in [-1, 1] at 44.1 kHz. Empty on failure.
std::vector<std::byte> EncodeMp3(const std::vector<float>& left, const std::vector<float>& right,
                                 int kilobitsPerSecond = 192);

}  // namespace datagen
