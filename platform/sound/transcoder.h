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
  Converter MakeConverter(const PcmFormat& from) const;
  void DecodeOnePiece();
  void Drain();

  std::unique_ptr<Mp3Decoder> decoder_;
  const int outputRate_;
  Converter converter_;
  std::optional<PcmFormat> nextFormat_;  // set while draining for a change of format
  std::vector<std::byte> piece_;
  int readsWithoutData_ = 0;
  State state_ = State::kDecoding;
};

}  // namespace sound
