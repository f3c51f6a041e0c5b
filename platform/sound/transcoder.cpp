#include "platform/sound/transcoder.h"

#include <SDL.h>

#include <algorithm>
#include <numeric>

namespace sound {

namespace {

constexpr int kOutputFrameBytes = Transcoder::kOutputChannels * sizeof(std::int16_t);

// Decoder calls that bring no data (see Mp3Decoder) before the file counts as finished.
constexpr int kMostReadsWithoutData = 64;

// Past this, a step of whole output frames would hold back too much input (rates with
// almost no common divisor); such rates are fed as they come.
constexpr std::size_t kLongestStepFrames = 4096;

// How far SDL's resampling filter reaches on either side, in input frames: 512 when
// raising the rate, proportionally more when lowering it.
std::size_t ResamplerReachFrames(long inputRate, int outputRate) {
  const auto in = static_cast<std::size_t>(inputRate);
  const auto out = static_cast<std::size_t>(outputRate);
  return in > out ? (512 * in + out - 1) / out : 512;
}

// a * b / c rounded to the nearest, for the non-negative values of times and rates.
std::int64_t ScaleRounded(std::int64_t a, std::int64_t b, std::int64_t c) {
  return (a * b + c / 2) / c;
}

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
      fileRate_(decoder_->Format().rate),
      piece_(decoder_->ChunkCapacity()) {
  // In the body: making the converter also sets the members declared after it.
  converter_ = MakeConverter(decoder_->Format());
}

Transcoder::~Transcoder() = default;

// SDL's converter resamples each piece it is given on its own and drops the fraction of
// an output frame that the piece ends on: fed the decoder's 1152-frame pieces at 44.1 kHz
// for a 48 kHz device, the music would run 0.07% fast and be 0.2 s ahead of the played
// frames after five minutes. A step of input frames that makes a whole number of output
// frames (147 frames make 160) leaves no fraction, so the converter is fed whole steps,
// and never fewer than its filter's reach: a smaller piece would be regrouped inside
// the converter, out of step.
Transcoder::Converter Transcoder::MakeConverter(const PcmFormat& from) {
  const auto rate = static_cast<std::size_t>(from.rate);
  const bool resampling = rate != static_cast<std::size_t>(outputRate_);
  const std::size_t step = rate / std::gcd(rate, static_cast<std::size_t>(outputRate_));
  const bool inSteps = resampling && step <= kLongestStepFrames;
  inputFrameBytes_ = from.FrameBytes();
  reachFrames_ = resampling ? ResamplerReachFrames(from.rate, outputRate_) : 0;
  stepBytes_ = inSteps ? step * inputFrameBytes_ : inputFrameBytes_;
  feedBytes_ = inSteps ? (reachFrames_ + step - 1) / step * stepBytes_ : stepBytes_;
  pending_.clear();
  return Converter(SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(from.channels),
                                      static_cast<int>(from.rate), AUDIO_S16SYS, kOutputChannels,
                                      outputRate_));
}

std::optional<std::int64_t> Transcoder::LengthFrames() const {
  const auto length = decoder_->LengthFrames();
  if (!length) return std::nullopt;
  return ScaleRounded(*length, outputRate_, fileRate_);
}

std::optional<std::int64_t> Transcoder::LengthMs() const {
  const auto length = decoder_->LengthFrames();
  if (!length) return std::nullopt;
  return ScaleRounded(*length, 1000, fileRate_);
}

std::size_t Transcoder::Produce(std::int16_t* out, std::size_t frames) {
  std::size_t produced = 0;
  while (produced < frames && state_ != State::kEnded) {
    if (outputEnd_ && outputFrames_ >= *outputEnd_) {
      state_ = State::kEnded;  // what the converter still holds is the silence after the end
      break;
    }
    const int available = SDL_AudioStreamAvailable(converter_.get());
    if (available >= kOutputFrameBytes) {
      // Frames ahead of a seek point go through the space of those not yet produced.
      std::size_t want = std::min(frames - produced,
                                  static_cast<std::size_t>(available / kOutputFrameBytes));
      if (skipFrames_ > 0) want = std::min(want, skipFrames_);
      if (outputEnd_) want = std::min(want, static_cast<std::size_t>(*outputEnd_ - outputFrames_));
      const int got = SDL_AudioStreamGet(converter_.get(), out + produced * kOutputChannels,
                                         static_cast<int>(want) * kOutputFrameBytes);
      if (got <= 0) {
        state_ = State::kEnded;  // the converter failed; stop rather than spin
        break;
      }
      const auto gotFrames = static_cast<std::size_t>(got / kOutputFrameBytes);
      outputFrames_ += static_cast<std::int64_t>(gotFrames);
      if (skipFrames_ > 0) {
        skipFrames_ -= gotFrames;
      } else {
        produced += gotFrames;
      }
    } else if (state_ == State::kDraining) {
      Drain();
    } else {
      DecodeOnePiece();
    }
  }
  return produced;
}

// Where the output is to restart at `frame`, the file is entered at the last whole step
// at or before it, less twice the resampler's reach, so that the converter meets the
// same steps as when playing from the start and its filter is full of the music before
// the point rather than of silence; the output frames ahead of `frame` are then dropped.
// Without resampling the file is entered at `frame` itself.
void Transcoder::Seek(std::int64_t frame) {
  nextFormat_.reset();
  outputEnd_.reset();
  readsWithoutData_ = 0;
  skipFrames_ = 0;
  const auto length = LengthFrames();
  if (frame < 0 || (length && frame >= *length)) {
    state_ = State::kEnded;
    return;
  }
  const std::int64_t rate = fileRate_;
  const std::int64_t divisor = std::gcd(rate, static_cast<std::int64_t>(outputRate_));
  const std::int64_t inputStep = rate / divisor;
  const std::int64_t outputStep = outputRate_ / divisor;
  std::int64_t inputFrame = ScaleRounded(frame, rate, outputRate_);
  std::int64_t outputFrame = frame;
  if (rate != outputRate_ && inputStep <= static_cast<std::int64_t>(kLongestStepFrames)) {
    const auto warmUp = static_cast<std::int64_t>(2 * ResamplerReachFrames(rate, outputRate_));
    const std::int64_t steps =
        std::max<std::int64_t>(frame / outputStep - (warmUp + inputStep - 1) / inputStep, 0);
    inputFrame = steps * inputStep;
    outputFrame = steps * outputStep;
  }
  if (!decoder_->Seek(inputFrame)) {
    state_ = State::kEnded;
    return;
  }
  converter_ = MakeConverter(decoder_->Format());
  inputFrames_ = inputFrame;
  outputFrames_ = outputFrame;
  countsHold_ = decoder_->Format().rate == fileRate_;
  skipFrames_ = static_cast<std::size_t>(frame - outputFrame);
  state_ = converter_ != nullptr ? State::kDecoding : State::kEnded;
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

// Hands the converter the pending bytes: up to the last whole step once there are enough,
// or all of them at the end of the file or of a format. False if it refused them.
bool Transcoder::Feed(bool wholeStepsOnly) {
  if (wholeStepsOnly && pending_.size() < feedBytes_) return true;
  const std::size_t bytes =
      wholeStepsOnly ? pending_.size() / stepBytes_ * stepBytes_ : pending_.size();
  if (bytes == 0) return true;
  const bool accepted =
      SDL_AudioStreamPut(converter_.get(), pending_.data(), static_cast<int>(bytes)) == 0;
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(bytes));
  return accepted;
}

// The resampler holds back the last frames it was given, for its filter, and SDL's flush
// does not always hand them out. Silence after the end lets every frame of the music
// through; the output then stops at the frame the file's end falls on, so that it ends
// in the same place however it got there (from the start or from a seek).
void Transcoder::FinishFile() {
  if (countsHold_) outputEnd_ = ScaleRounded(inputFrames_, outputRate_, fileRate_);
  if (reachFrames_ > 0) pending_.resize(pending_.size() + 2 * reachFrames_ * inputFrameBytes_);
  Feed(false);
  SDL_AudioStreamFlush(converter_.get());
}

void Transcoder::DecodeOnePiece() {
  Mp3Decoder::Chunk chunk = decoder_->Read(piece_);
  if (chunk.bytes > 0) {
    readsWithoutData_ = 0;
    inputFrames_ += static_cast<std::int64_t>(chunk.bytes / inputFrameBytes_);
    pending_.insert(pending_.end(), piece_.begin(),
                    piece_.begin() + static_cast<std::ptrdiff_t>(chunk.bytes));
    if (!Feed(true)) chunk.status = Mp3Decoder::Status::kEnd;
  } else if (chunk.status == Mp3Decoder::Status::kData &&
             ++readsWithoutData_ >= kMostReadsWithoutData) {
    chunk.status = Mp3Decoder::Status::kEnd;
  }
  if (chunk.status == Mp3Decoder::Status::kData) return;

  if (chunk.status == Mp3Decoder::Status::kNewFormat) {
    // Frames of another rate do not count in the first format's frames.
    countsHold_ = false;
    Feed(false);
    SDL_AudioStreamFlush(converter_.get());
    nextFormat_ = decoder_->Format();
  } else {
    FinishFile();
  }
  state_ = State::kDraining;
}

}  // namespace sound
