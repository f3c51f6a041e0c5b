#include "platform/sound/transcoder.h"

#include <SDL.h>

#include <algorithm>

namespace sound {

namespace {

constexpr int kOutputFrameBytes = Transcoder::kOutputChannels * sizeof(std::int16_t);

// Decoder calls that bring no data (see Mp3Decoder) before the file counts as finished.
constexpr int kMostReadsWithoutData = 64;

}  // namespace

void Transcoder::ConverterDeleter::operator()(_SDL_AudioStream* converter) const {
  SDL_FreeAudioStream(converter);
}

std::unique_ptr<Transcoder> Transcoder::Open(const std::string& path, int outputRate) {
  if (outputRate <= 0) return nullptr;
  auto decoder = Mp3Decoder::Open(path);
  if (decoder == nullptr) return nullptr;
  std::unique_ptr<Transcoder> transcoder(new Transcoder(std::move(decoder), outputRate));
  if (transcoder->converter_ == nullptr) return nullptr;
  return transcoder;
}

Transcoder::Transcoder(std::unique_ptr<Mp3Decoder> decoder, int outputRate)
    : decoder_(std::move(decoder)),
      outputRate_(outputRate),
      converter_(MakeConverter(decoder_->Format())),
      piece_(decoder_->ChunkCapacity()) {}

Transcoder::~Transcoder() = default;

Transcoder::Converter Transcoder::MakeConverter(const PcmFormat& from) const {
  return Converter(SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(from.channels),
                                      static_cast<int>(from.rate), AUDIO_S16SYS, kOutputChannels,
                                      outputRate_));
}

std::size_t Transcoder::Produce(std::int16_t* out, std::size_t frames) {
  std::size_t produced = 0;
  while (produced < frames && state_ != State::kEnded) {
    const int available = SDL_AudioStreamAvailable(converter_.get());
    if (available >= kOutputFrameBytes) {
      const std::size_t want =
          std::min(frames - produced, static_cast<std::size_t>(available / kOutputFrameBytes));
      const int got = SDL_AudioStreamGet(converter_.get(), out + produced * kOutputChannels,
                                         static_cast<int>(want) * kOutputFrameBytes);
      if (got <= 0) {
        state_ = State::kEnded;  // the converter failed; stop rather than spin
        break;
      }
      produced += static_cast<std::size_t>(got / kOutputFrameBytes);
    } else if (state_ == State::kDraining) {
      Drain();
    } else {
      DecodeOnePiece();
    }
  }
  return produced;
}

// The converter holds nothing more: either go on in the file's new format or end.
void Transcoder::Drain() {
  if (!nextFormat_) {
    state_ = State::kEnded;
    return;
  }
  converter_ = MakeConverter(*nextFormat_);
  nextFormat_.reset();
  state_ = converter_ != nullptr ? State::kDecoding : State::kEnded;
}

void Transcoder::DecodeOnePiece() {
  Mp3Decoder::Chunk chunk = decoder_->Read(piece_);
  if (chunk.bytes > 0) {
    readsWithoutData_ = 0;
    if (SDL_AudioStreamPut(converter_.get(), piece_.data(), static_cast<int>(chunk.bytes)) != 0) {
      chunk.status = Mp3Decoder::Status::kEnd;
    }
  } else if (chunk.status == Mp3Decoder::Status::kData &&
             ++readsWithoutData_ >= kMostReadsWithoutData) {
    chunk.status = Mp3Decoder::Status::kEnd;
  }
  if (chunk.status == Mp3Decoder::Status::kData) return;

  // The resampler keeps a few frames back for its filter; flushing hands them out.
  SDL_AudioStreamFlush(converter_.get());
  if (chunk.status == Mp3Decoder::Status::kNewFormat) nextFormat_ = decoder_->Format();
  state_ = State::kDraining;
}

}  // namespace sound
