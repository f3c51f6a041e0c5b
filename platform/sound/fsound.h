// The FSOUND operations of the demo's sound library, built on mpg123 (decoding) and SDL2
// audio (output). Playback runs on the audio thread and needs no call per frame.
#pragma once

struct FSOUND_STREAM;

inline constexpr int FSOUND_OUTPUT_DSOUND = 2;
inline constexpr int FSOUND_FREE = -1;
inline constexpr unsigned FSOUND_LOOP_OFF = 0x01;
inline constexpr unsigned FSOUND_LOOP_NORMAL = 0x02;
inline constexpr unsigned FSOUND_8BITS = 0x08;
inline constexpr unsigned FSOUND_MONO = 0x20;

float FSOUND_GetVersion();
signed char FSOUND_SetOutput(int outputType);
signed char FSOUND_SetDriver(int driver);
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);
void FSOUND_Close();
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* fileName, unsigned int mode, int length);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
