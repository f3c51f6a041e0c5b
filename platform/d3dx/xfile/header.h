// The 16-byte header that starts every .X file: "xof ", version, format, float size.
#pragma once

#include <cstddef>
#include <span>

namespace xfile {

enum class Encoding { Text, Binary };

struct Header {
  Encoding encoding = Encoding::Text;
  bool compressed = false;   // MSZIP chunks follow the header
  bool doubleFloats = false; // binary float lists hold 8-byte values
};

inline constexpr std::size_t kHeaderSize = 16;

// Fails with ReadError when the header is missing or names something we cannot read.
Header ParseHeader(std::span<const std::byte> file);

}  // namespace xfile
