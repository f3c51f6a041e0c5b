// Placeholder until the sound layer lands: no device can be opened.
#include "platform/sound/fsound.h"

float FSOUND_GetVersion() { return 3.75f; }
signed char FSOUND_SetOutput(int) { return 1; }
signed char FSOUND_SetDriver(int) { return 1; }
signed char FSOUND_Init(int, int, unsigned int) { return 0; }
void FSOUND_Close() {}
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char*, unsigned int, int) { return nullptr; }
int FSOUND_Stream_Play(int, FSOUND_STREAM*) { return -1; }
