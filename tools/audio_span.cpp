#include "tools/audio_span.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "platform/sound/mp3_decoder.h"
#include "tools/frame_clock.h"

namespace orchard {

namespace {

// Decoder calls that bring no data before the file counts as finished (a damaged file can
// yield empty reads without ever reporting its end).
constexpr int kMostReadsWithoutData = 64;

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

DecodedMusic DecodeMusic(const std::string& path, std::int64_t untilMs) {
  DecodedMusic result;
  auto decoder = sound::Mp3Decoder::Open(path);
  if (decoder == nullptr) {
    result.warning = "cannot decode " + path + " (missing, or not MPEG audio)";
    return result;
  }
  const sound::PcmFormat format = decoder->Format();
  PcmAudio audio;
  audio.rate = static_cast<int>(format.rate);
  audio.channels = format.channels;
  std::vector<std::byte> piece(decoder->ChunkCapacity());
  const std::size_t limit = static_cast<std::size_t>(std::max<std::int64_t>(SampleAtMs(untilMs, audio.rate), 0)) *
                            static_cast<std::size_t>(audio.channels);
  int emptyReads = 0;
  while (audio.samples.size() < limit) {
    const auto chunk = decoder->Read(piece);
    const std::size_t have = audio.samples.size();
    const std::size_t take = std::min(chunk.bytes / sizeof(std::int16_t), limit - have);
    audio.samples.resize(have + take);
    std::memcpy(audio.samples.data() + have, piece.data(), take * sizeof(std::int16_t));
    if (chunk.status == sound::Mp3Decoder::Status::kNewFormat) {
      result.warning = path + " changes its sample format after " +
                       std::to_string(audio.Frames() * 1000 / audio.rate) +
                       " ms; the rest of the span is silent";
      break;
    }
    if (chunk.status == sound::Mp3Decoder::Status::kEnd) break;
    emptyReads = chunk.bytes == 0 ? emptyReads + 1 : 0;
    if (emptyReads >= kMostReadsWithoutData) break;
  }
  result.audio = std::move(audio);
  return result;
}

PcmAudio CutSpan(const PcmAudio& music, std::int64_t fromMs, std::int64_t toMs) {
  PcmAudio span;
  span.rate = music.rate;
  span.channels = music.channels;
  const std::int64_t first = SampleAtMs(fromMs, music.rate);
  const std::int64_t end = SampleAtMs(toMs, music.rate);
  if (end <= first) return span;
  span.samples.assign(static_cast<std::size_t>((end - first) * music.channels), 0);
  // The part of [first, end) that the music covers; the rest stays silent.
  const std::int64_t copyFrom = std::max<std::int64_t>(first, 0);
  const std::int64_t copyTo = std::min(end, music.Frames());
  if (copyTo > copyFrom) {
    std::copy(music.samples.begin() + copyFrom * music.channels,
              music.samples.begin() + copyTo * music.channels,
              span.samples.begin() + (copyFrom - first) * music.channels);
  }
  return span;
}

void KeepFrames(PcmAudio& audio, std::int64_t frames) {
  if (frames < audio.Frames())
    audio.samples.resize(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0) * audio.channels));
}

bool WriteWav(const std::string& path, const PcmAudio& audio, std::string* error) {
  const std::uint64_t dataBytes = audio.samples.size() * sizeof(std::int16_t);
  if (dataBytes > 0xFFFFFFFFull - 36) {
    *error = "the audio is too long for a WAV file";
    return false;
  }
  const std::uint32_t blockAlign = static_cast<std::uint32_t>(audio.channels) * 2;
  std::vector<std::uint8_t> header;
  header.reserve(44);
  auto tag = [&header](const char* text) { header.insert(header.end(), text, text + 4); };
  tag("RIFF");
  PutLe(header, static_cast<std::uint32_t>(36 + dataBytes), 4);
  tag("WAVE");
  tag("fmt ");
  PutLe(header, 16, 4);
  PutLe(header, 1, 2);  // PCM
  PutLe(header, static_cast<std::uint32_t>(audio.channels), 2);
  PutLe(header, static_cast<std::uint32_t>(audio.rate), 4);
  PutLe(header, static_cast<std::uint32_t>(audio.rate) * blockAlign, 4);
  PutLe(header, blockAlign, 2);
  PutLe(header, 16, 2);
  tag("data");
  PutLe(header, static_cast<std::uint32_t>(dataBytes), 4);

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  // Samples are stored little-endian, as this machine keeps them.
  static_assert(std::endian::native == std::endian::little);
  out.write(reinterpret_cast<const char*>(audio.samples.data()), static_cast<std::streamsize>(dataBytes));
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace orchard
