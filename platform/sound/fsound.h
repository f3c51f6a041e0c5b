// The FSOUND operations of the demo's sound library, built on mpg123 (decoding) and SDL2
// audio (output). Playback runs on threads of its own and needs no call per frame.
//
// The operations are called from one thread (the program's), as the library expects;
// the layer's own threads never take a lock that this thread holds.
#pragma once

struct FSOUND_STREAM;

inline constexpr int FSOUND_OUTPUT_DSOUND = 2;
inline constexpr int FSOUND_FREE = -1;
inline constexpr int FSOUND_ALL = -3;
inline constexpr unsigned FSOUND_LOOP_OFF = 0x01;
inline constexpr unsigned FSOUND_LOOP_NORMAL = 0x02;
inline constexpr unsigned FSOUND_8BITS = 0x08;
inline constexpr unsigned FSOUND_MONO = 0x20;

// The layer's version (3.75); see sound::OverrideReportedVersion for tests.
float FSOUND_GetVersion();

// Accepted and ignored: there is one output, SDL's, and its default device.
signed char FSOUND_SetOutput(int outputType);
signed char FSOUND_SetDriver(int driver);

// Opens the sound device at `mixRate` (stereo, 16-bit) and starts it playing silence.
// Non-zero on success; 0 when no device can be opened. The channel count and flags are
// ignored. A second call starts over as after FSOUND_Close.
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);

// Stops the device and frees every stream; their handles become invalid.
void FSOUND_Close();

// Opens an MP3 file as a stream (the name may be written the Windows way, as the asset
// names are), reads its frame headers once for its exact length, and starts decoding its
// beginning in the background. Null when the device is not initialised, or the file is
// missing or not decodable MPEG audio. The sample format bits of `mode` do not apply to
// MP3; looping is not done: the stream plays once and then stays silent. `length` is
// ignored.
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* fileName, unsigned int mode, int length);

// Starts the stream at once on the one music channel, in place of any stream playing
// there, from where the stream stands (its start, or where FSOUND_Stream_SetTime put it);
// the channel is unpaused. `channel` is FSOUND_FREE or 0. Returns the channel (0), or -1
// for no device, no stream or another channel. Never waits for the audio thread.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// Stops and frees one stream. Non-zero if it was open.
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);

// Moves the stream to `ms` milliseconds from the start of the file (at most its length),
// playing or not: the next frame the device takes from it is the one nearest that time at
// the device rate, and FSOUND_Stream_GetTime reports that time at once. At or past the end
// the stream is finished and the device gets silence. A paused channel stays paused.
// Non-zero on success; 0 for an unknown stream or a negative time. May wait for a callback
// in progress to end and decodes the first frames itself (about a millisecond): it is for
// user actions, not for every frame. The audio callback never waits for it.
signed char FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms);

// Milliseconds of the stream the device has taken so far, from the start of the file,
// seeks included (the nearest millisecond). 0 for an unknown stream.
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);

// The length of the stream in milliseconds, found by a scan of the file when it was
// opened; 0 when unknown.
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream);

// Pauses (non-zero) or resumes the music channel: `channel` is 0 or FSOUND_ALL. While
// paused the device gets silence and the stream's position does not move; once pausing
// returns, the position is frozen. Non-zero on success; 0 for no device or another channel.
signed char FSOUND_SetPaused(int channel, signed char paused);

// Non-zero while the music channel (0 or FSOUND_ALL) is paused; 0 otherwise.
signed char FSOUND_GetPaused(int channel);
