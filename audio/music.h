// The music: one MP3 stream, opened and started once during start-up.
#pragma once

#include <cstdint>

// 0 when the stream is open and ready to play; 1 on any failure, after its warning.
std::int32_t InitSound(const char* fileName);

// Starts the stream; always 0.
std::int32_t PlayMusic();
