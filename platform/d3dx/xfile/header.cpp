#include "platform/d3dx/xfile/header.h"

#include <cstring>
#include <string>

#include "platform/d3dx/xfile/read_error.h"

namespace xfile {

namespace {

bool FieldIs(std::span<const std::byte> file, std::size_t offset, const char (&text)[5]) {
  return std::memcmp(file.data() + offset, text, 4) == 0;
}

std::string Printable(std::span<const std::byte> file, std::size_t offset) {
  std::string field;
  for (std::size_t i = offset; i < offset + 4; ++i) {
    const auto c = static_cast<unsigned char>(file[i]);
    field += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  return field;
}

}  // namespace

Header ParseHeader(std::span<const std::byte> file) {
  if (file.empty()) Fail("the file is empty");
  if (file.size() < kHeaderSize) Fail("the file is shorter than the 16-byte .X header");
  if (!FieldIs(file, 0, "xof ")) Fail("not an .X file (it does not start with \"xof \")");
  if (!FieldIs(file, 4, "0302") && !FieldIs(file, 4, "0303"))
    Fail("unsupported .X version \"" + Printable(file, 4) + "\"");

  Header header;
  if (FieldIs(file, 8, "txt ")) {
    header.encoding = Encoding::Text;
  } else if (FieldIs(file, 8, "bin ")) {
    header.encoding = Encoding::Binary;
  } else if (FieldIs(file, 8, "tzip")) {
    header.encoding = Encoding::Text;
    header.compressed = true;
  } else if (FieldIs(file, 8, "bzip")) {
    header.encoding = Encoding::Binary;
    header.compressed = true;
  } else {
    Fail("unsupported .X format \"" + Printable(file, 8) + "\"");
  }

  if (FieldIs(file, 12, "0064")) {
    header.doubleFloats = true;
  } else if (!FieldIs(file, 12, "0032")) {
    Fail("unsupported .X float size \"" + Printable(file, 12) + "\"");
  }
  return header;
}

}  // namespace xfile
