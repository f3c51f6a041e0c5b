#include "platform/d3dx/xfile/mszip.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/d3dx/xfile/header.h"
#include "platform/d3dx/xfile/limits.h"
#include "platform/d3dx/xfile/read_error.h"

namespace xfile {

namespace {

constexpr std::size_t kMaxChunk = 32768;  // also the deflate window carried across chunks
constexpr std::size_t kChunkHeader = 4;   // two u16 sizes; the "CK" counts as packed data

std::uint32_t U16(const std::byte* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t U32(const std::byte* p) { return U16(p) | U16(p + 2) << 16; }

// A raw-deflate zlib stream that is ended however we leave.
class RawInflater {
 public:
  RawInflater() {
    if (inflateInit2(&stream_, -15) != Z_OK) Fail("cannot start the deflate decoder");
  }
  ~RawInflater() { inflateEnd(&stream_); }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;

  // Inflates one whole chunk into out[0, outSize), with `history` as the preset window.
  void Chunk(std::span<const std::byte> in, std::span<const char> history, char* out,
             std::size_t outSize, std::size_t chunkNumber) {
    const std::string which = "compressed chunk " + std::to_string(chunkNumber);
    if (inflateReset(&stream_) != Z_OK) Fail("cannot reset the deflate decoder");
    if (!history.empty() &&
        inflateSetDictionary(&stream_, reinterpret_cast<const Bytef*>(history.data()),
                             static_cast<uInt>(history.size())) != Z_OK)
      Fail("cannot carry the deflate window into " + which);
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(in.data()));
    stream_.avail_in = static_cast<uInt>(in.size());
    stream_.next_out = reinterpret_cast<Bytef*>(out);
    stream_.avail_out = static_cast<uInt>(outSize);
    const int result = inflate(&stream_, Z_FINISH);
    if (result == Z_STREAM_END) {
      if (stream_.avail_out != 0)
        Fail(which + " unpacks to " + std::to_string(outSize - stream_.avail_out) +
             " bytes instead of " + std::to_string(outSize));
      return;
    }
    if (result == Z_DATA_ERROR)
      Fail(which + " is corrupt (" + std::string(stream_.msg ? stream_.msg : "bad deflate data") +
           ")");
    if (stream_.avail_out == 0) Fail(which + " unpacks to more than its declared " +
                                     std::to_string(outSize) + " bytes");
    Fail(which + " ends before its deflate data does");
  }

 private:
  z_stream stream_{};
};

}  // namespace

std::vector<char> InflateMszipBody(std::span<const std::byte> packed) {
  if (packed.size() < 4) Fail("the compressed file ends before its total size");
  const std::uint32_t total = U32(packed.data());
  if (total < kHeaderSize) Fail("the compressed file declares a total size below 16 bytes");
  const std::size_t declared = total - kHeaderSize;
  if (declared > kMaxInflatedBytes)
    Fail("the compressed file declares " + std::to_string(declared) +
         " bytes, more than this reader unpacks");

  std::size_t offset = 4;
  // Every chunk costs at least its 4-byte header and "CK", so the file size bounds how
  // much output a truthful file can have.
  const std::size_t maxChunks = (packed.size() - offset) / (kChunkHeader + 2) + 1;
  std::vector<char> body;
  body.reserve(std::min(declared, maxChunks * kMaxChunk));

  RawInflater inflater;
  std::size_t chunkNumber = 0;
  while (offset < packed.size()) {
    ++chunkNumber;
    const std::string which = "compressed chunk " + std::to_string(chunkNumber);
    if (packed.size() - offset < kChunkHeader) Fail(which + " has a truncated header");
    const std::size_t unpackedSize = U16(packed.data() + offset);
    const std::size_t packedSize = U16(packed.data() + offset + 2);
    offset += kChunkHeader;
    if (unpackedSize > kMaxChunk)
      Fail(which + " declares " + std::to_string(unpackedSize) + " bytes, more than 32768");
    if (packedSize < 2) Fail(which + " is too small to hold its \"CK\" signature");
    if (packedSize > packed.size() - offset) Fail(which + " is cut off");
    if (packed[offset] != std::byte{'C'} || packed[offset + 1] != std::byte{'K'})
      Fail(which + " lacks its \"CK\" signature");
    if (unpackedSize > declared - body.size())
      Fail(which + " unpacks past the declared total of " + std::to_string(declared) +
           " bytes");

    const std::size_t start = body.size();
    const std::size_t historySize = std::min(start, kMaxChunk);
    body.resize(start + unpackedSize);
    inflater.Chunk(packed.subspan(offset + 2, packedSize - 2),
                   std::span<const char>(body.data() + start - historySize, historySize),
                   body.data() + start, unpackedSize, chunkNumber);
    offset += packedSize;
  }
  if (body.size() != declared)
    Fail("the compressed chunks unpack to " + std::to_string(body.size()) +
         " bytes, but the file declares " + std::to_string(declared));
  return body;
}

}  // namespace xfile
