#include "tools/datagen/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace datagen {

std::vector<std::byte> EncodeMp3(const std::vector<float>& left, const std::vector<float>& right,
                                 int kilobitsPerSecond) {
  if (left.size() != right.size()) return {};
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
  if (!lame) return {};
  lame_set_in_samplerate(lame.get(), 44100);
  lame_set_out_samplerate(lame.get(), 44100);
  lame_set_num_channels(lame.get(), 2);
  lame_set_mode(lame.get(), JOINT_STEREO);
  lame_set_VBR(lame.get(), vbr_off);
  lame_set_brate(lame.get(), kilobitsPerSecond);
  lame_set_quality(lame.get(), 5);
  lame_set_write_id3tag_automatic(lame.get(), 0);
  lame_set_bWriteVbrTag(lame.get(), 0);
  if (lame_init_params(lame.get()) < 0) return {};

  constexpr int kChunk = 1152 * 16;
  std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
  std::vector<std::byte> out;
  auto append = [&](int written) {
    if (written < 0) return false;
    for (int i = 0; i < written; ++i) out.push_back(std::byte(buffer[i]));
    return true;
  };
  for (std::size_t offset = 0; offset < left.size(); offset += kChunk) {
    const int count = static_cast<int>(std::min<std::size_t>(kChunk, left.size() - offset));
    if (!append(lame_encode_buffer_ieee_float(lame.get(), left.data() + offset, right.data() + offset, count,
                                              buffer.data(), static_cast<int>(buffer.size()))))
      return {};
  }
  if (!append(lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size())))) return {};
  return out;
}

}  // namespace datagen
