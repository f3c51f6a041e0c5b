#include "platform/sound/mp3_decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace sound {

namespace {

// mpg123_read may finish a call without output (a skipped frame, the encoder's info frame).
// A run this long without data means the file does not really hold audio.
constexpr int kMostReadsWithoutData = 64;

constexpr long kSeekPreFrames = 12;

void EnsureLibraryInitialised() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

struct Mp3Decoder::Handle {
  explicit Handle(mpg123_handle* h) : mh(h) {}
  ~Handle() {
    mpg123_close(mh);
    mpg123_delete(mh);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  mpg123_handle* const mh;
};

Mp3Decoder::Mp3Decoder(int fd, std::unique_ptr<Handle> handle)
    : fd_(fd), handle_(std::move(handle)) {}

Mp3Decoder::~Mp3Decoder() {
  handle_.reset();  // mpg123 lets go of the descriptor before it is closed
  ::close(fd_);
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const std::string& path) {
  // O_NONBLOCK so that a FIFO under the music's name cannot hold the caller until some
  // writer appears; regular files ignore the flag, and anything else is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  EnsureLibraryInitialised();
  int error = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  if (mh == nullptr) {
    ::close(fd);
    return nullptr;
  }
  std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(fd, std::make_unique<Handle>(mh)));
  if (!decoder->Configure() || !decoder->DecodeFirstFrame()) return nullptr;
  return decoder;
}

bool Mp3Decoder::Configure() {
  mpg123_handle* mh = handle_->mh;
  // Quiet: a damaged file must not write to the terminal. SKIP_ID3V2: the tag is stepped
  // over instead of being read into memory, so a tag that claims 256 MB costs nothing.
  if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0) != MPG123_OK) {
    return false;
  }
  // A seek decodes this many frames ahead of its target before it gives samples, to refill
  // the bit reservoir: at low bit rates a frame's data may start 5 frames back (10 for
  // 22.05 kHz files), and mpg123's usual 4 leave the first samples after a seek wrong.
  mpg123_param(mh, MPG123_PREFRAMES, kSeekPreFrames, 0);
  // Signed 16-bit at the file's own rate and channel count; the rest is converted later.
  mpg123_format_none(mh);
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i) {
    mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open_fd(mh, fd_) != MPG123_OK) return false;
  ScanLength();
  if (!ReadFormat()) return false;
  chunkCapacity_ = mpg123_outblock(mh);
  return chunkCapacity_ >= format_.FrameBytes();
}

bool Mp3Decoder::ReadFormat() {
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle_->mh, &rate, &channels, &encoding) != MPG123_OK) return false;
  if (rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) {
    return false;
  }
  format_ = PcmFormat{rate, channels};
  return true;
}

// A scan reads the frame headers of the whole file (a few milliseconds for minutes of
// music) and returns to the start. It gives the exact length, and the index it leaves
// makes a seek go straight to the right frame instead of reading its way there.
void Mp3Decoder::ScanLength() {
  mpg123_handle* mh = handle_->mh;
  if (mpg123_scan(mh) != MPG123_OK) return;  // the first read will tell what is wrong
  const off_t length = mpg123_length(mh);
  if (length >= 0) lengthFrames_ = static_cast<std::int64_t>(length);
}

// Decoding one frame up front is what tells MPEG audio from a file that merely has a
// plausible header somewhere; the samples are kept and played first.
bool Mp3Decoder::DecodeFirstFrame() {
  firstFrame_.resize(chunkCapacity_);
  for (int attempt = 0; attempt < kMostReadsWithoutData; ++attempt) {
    std::size_t done = 0;
    const int result = mpg123_read(handle_->mh, firstFrame_.data(), firstFrame_.size(), &done);
    if (result == MPG123_NEW_FORMAT && done == 0) {
      if (!ReadFormat()) return false;
      continue;
    }
    done -= done % format_.FrameBytes();
    if (done > 0) {
      firstFrame_.resize(done);
      return true;
    }
    if (result != MPG123_OK) return false;
  }
  return false;
}

Mp3Decoder::Chunk Mp3Decoder::Read(std::span<std::byte> out) {
  if (!firstFrame_.empty()) {
    const std::size_t n = std::min(out.size(), firstFrame_.size());
    std::memcpy(out.data(), firstFrame_.data(), n);
    firstFrame_.erase(firstFrame_.begin(), firstFrame_.begin() + static_cast<std::ptrdiff_t>(n));
    if (firstFrame_.empty()) firstFrame_.shrink_to_fit();
    return {n, Status::kData};
  }
  if (ended_) return {0, Status::kEnd};

  std::size_t done = 0;
  const int result =
      mpg123_read(handle_->mh, out.data(), std::min(out.size(), chunkCapacity_), &done);
  done -= done % format_.FrameBytes();
  if (result == MPG123_OK) return {done, Status::kData};
  if (result == MPG123_NEW_FORMAT) {
    const PcmFormat before = format_;
    if (!ReadFormat()) {
      ended_ = true;
      return {done, Status::kEnd};
    }
    return {done, format_ == before ? Status::kData : Status::kNewFormat};
  }
  // MPG123_DONE at the end of the file; any error means the rest cannot be trusted, so
  // what decoded so far is played and the stream ends there.
  ended_ = true;
  return {done, Status::kEnd};
}

// mpg123 seeks sample-accurately: it goes to the frame that holds `frame`, decodes the
// frames before it that the bit reservoir needs, and drops the samples ahead of `frame`.
bool Mp3Decoder::Seek(std::int64_t frame) {
  firstFrame_.clear();
  firstFrame_.shrink_to_fit();
  ended_ = true;  // until the seek has worked
  if (frame < 0 || mpg123_seek(handle_->mh, static_cast<off_t>(frame), SEEK_SET) < 0) {
    return false;
  }
  if (!ReadFormat()) return false;
  ended_ = false;
  return true;
}

}  // namespace sound
