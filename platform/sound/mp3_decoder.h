// An MPEG audio file decoded frame by frame into signed 16-bit interleaved samples at the
// file's own rate and channel count. The file is read as decoding goes, never all at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sound {

struct PcmFormat {
  long rate = 0;     // frames per second
  int channels = 0;  // 1 or 2

  bool operator==(const PcmFormat&) const = default;
  std::size_t FrameBytes() const { return static_cast<std::size_t>(channels) * 2; }
};

class Mp3Decoder {
 public:
  enum class Status {
    kData,       // more may follow in the same format
    kNewFormat,  // what follows comes in a new format, which Format() now reports
    kEnd,        // end of file, or the data stopped being decodable
  };
  struct Chunk {
    std::size_t bytes = 0;  // whole frames, in the format that held before the call
    Status status = Status::kData;
  };

  // Opens `path` only if it is a regular file that holds MPEG audio whose first frame
  // decodes; null otherwise (missing file, a folder, text, a tag with no audio, ...).
  static std::unique_ptr<Mp3Decoder> Open(const std::string& path);

  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  PcmFormat Format() const { return format_; }

  // The most bytes one call of Read can return.
  std::size_t ChunkCapacity() const { return chunkCapacity_; }

  // Decodes the next piece into `out` (at least ChunkCapacity() bytes). After kEnd every
  // further call returns kEnd with no bytes.
  Chunk Read(std::span<std::byte> out);

  // The file's length in frames of the format it starts in (gapless: the encoder's delay
  // and padding left out), as a scan of the whole file found it; nullopt when unknown.
  std::optional<std::int64_t> LengthFrames() const { return lengthFrames_; }

  // Makes the next Read start exactly at `frame` (counted as LengthFrames counts), also
  // after kEnd. False when the file cannot go there (then Read gives kEnd).
  bool Seek(std::int64_t frame);

 private:
  struct Handle;
  Mp3Decoder(int fd, std::unique_ptr<Handle> handle);
  bool Configure();
  bool ReadFormat();
  bool DecodeFirstFrame();
  void ScanLength();

  int fd_;
  std::unique_ptr<Handle> handle_;
  PcmFormat format_;
  std::size_t chunkCapacity_ = 0;
  std::vector<std::byte> firstFrame_;  // decoded while opening; handed out by the first Read
  std::optional<std::int64_t> lengthFrames_;
  bool ended_ = false;
};

}  // namespace sound
