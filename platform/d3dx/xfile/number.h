// Number helpers shared by the two lexers.
#pragma once

#include <charconv>
#include <limits>
#include <string_view>

namespace xfile {

// Doubles beyond the float range become infinities instead of undefined conversions.
inline float NarrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// True when the whole text is one decimal number ("12", "-0.5", "1e-3").
inline bool LooksLikeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
  if (!(first >= '0' && first <= '9') && first != '.') return false;
  double value = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error != std::errc::invalid_argument && stop == text.data() + text.size();
}

}  // namespace xfile
