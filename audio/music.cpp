#include "audio/music.h"

#include "platform/sound/fsound.h"
#include "platform/win32/win32.h"

namespace {

FSOUND_STREAM* MusicStream = nullptr;  // InitSound

// FMOD_VERSION 3.32 as the float nearest to it (0x40547AE1).
constexpr float kRequiredVersion = 3.32f;
constexpr unsigned kStreamMode = 0x2B;  // LOOP_OFF | LOOP_NORMAL | 8BITS | MONO

void ShowWarning(const char* text) { MessageBoxA(nullptr, text, "ERROR", MB_ICONWARNING); }

}  // namespace

std::int32_t InitSound(const char* fileName) {
  const float version = FSOUND_GetVersion();
  if (!(version >= kRequiredVersion)) {  // also catches a version that is not a number
    ShowWarning("Wrong FMOD-DLL found!.");
    return 1;
  }
  FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
  FSOUND_SetDriver(0);
  if (!FSOUND_Init(44100, 32, 0)) {
    ShowWarning("Unable to init FMOD!.");
    FSOUND_Close();
    return 1;
  }
  MusicStream = FSOUND_Stream_OpenFile(fileName, kStreamMode, 0);
  if (MusicStream == nullptr) {
    // wsprintfA may write up to 1024 bytes: room for any file name, cut off where too long.
    char text[1024];
    wsprintfA(text, "Error: File not found: %s", fileName);
    ShowWarning(text);
    return 1;
  }
  return 0;
}

std::int32_t PlayMusic() {
  FSOUND_Stream_Play(FSOUND_FREE, MusicStream);
  return 0;
}
