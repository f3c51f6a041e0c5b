// An MP3 file turned into what the output device plays: interleaved stereo signed 16-bit
// frames at the device rate, whatever rate and channel count the file has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound/mp3_decoder.h"

struct _SDL_AudioStream;

namespace sound {

class Transcoder {
 public:
  static constexpr int kOutputChannels = 2;

  // Null when the file is not decodable MPEG audio (see Mp3Decoder::Open) or the
  // conversion cannot be set up.
  static std::unique_ptr<Transcoder> Open(const std::string& path, int outputRate);

  ~Transcoder();
  Transcoder(const Transcoder&) = delete;
  Transcoder& operator=(const Transcoder&) = delete;

  // Writes up to `frames` frames to `out` and returns how many; fewer only once the end
  // has come. Each call decodes no more than the frames asked for need.
  std::size_t Produce(std::int16_t* out, std::size_t frames);

  // True once every frame of the file has been produced.
  bool Ended() const { return state_ == State::kEnded; }

  // The whole file in output frames, and in milliseconds; nullopt when the file's length
  // is not known.
  std::optional<std::int64_t> LengthFrames() const;
  std::optional<std::int64_t> LengthMs() const;

  // Makes the next frame Produce gives the one `frame` output frames from the start of
  // the file, the same frame that producing from the start would give there. At or past
  // the end, Ended().
  void Seek(std::int64_t frame);

 private:
  enum class State {
    kDecoding,  // feeding decoded pieces into the converter
    kDraining,  // the converter was flushed; take out the rest before going on
    kEnded,
  };
  struct ConverterDeleter {
    void operator()(_SDL_AudioStream* converter) const;
  };
  using Converter = std::unique_ptr<_SDL_AudioStream, ConverterDeleter>;

  Transcoder(std::unique_ptr<Mp3Decoder> decoder, int outputRate);
  Converter MakeConverter(const PcmFormat& from);
  void DecodeOnePiece();
  bool Feed(bool wholeStepsOnly);
  void FinishFile();
  void Drain();

  std::unique_ptr<Mp3Decoder> decoder_;
  const int outputRate_;
  const long fileRate_;  // the rate the file starts in, which its length and seeks count in
  Converter converter_;
  std::optional<PcmFormat> nextFormat_;  // set while draining for a change of format
  std::vector<std::byte> piece_;
  // Decoded bytes not yet handed to the converter: it is fed whole steps of input frames
  // that make a whole number of output frames, at least `feedBytes_` at a time (see
  // MakeConverter).
  std::vector<std::byte> pending_;
  std::size_t inputFrameBytes_ = 0;  // of the format the converter takes
  std::size_t stepBytes_ = 0;
  std::size_t feedBytes_ = 0;
  std::size_t reachFrames_ = 0;  // of the resampler's filter, in input frames; 0 if none

  // Where decoding stands, counted from the start of the file: input frames decoded and
  // output frames taken from the converter (dropped ones too). They hold while the file
  // stays in its first format, and fix the output's last frame (see FinishFile).
  std::int64_t inputFrames_ = 0;
  std::int64_t outputFrames_ = 0;
  bool countsHold_ = true;
  std::optional<std::int64_t> outputEnd_;

  std::size_t skipFrames_ = 0;  // output frames to drop after a seek
  int readsWithoutData_ = 0;
  State state_ = State::kDecoding;
};

}  // namespace sound
