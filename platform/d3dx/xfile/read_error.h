// The one way a stage of the .X reader gives up: it throws ReadError with a sentence that
// says what was wrong, and ReadMesh turns it into ReadResult::error. It never leaves the
// reader.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace xfile {

struct ReadError {
  std::string message;
};

[[noreturn]] inline void Fail(std::string message) { throw ReadError{std::move(message)}; }

// A piece of the file quoted in a message: control bytes become '?', and long pieces are
// cut, so that a message stays one readable line whatever the file holds.
inline std::string Printable(std::string_view text, std::size_t limit = 40) {
  std::string out;
  for (char c : text.substr(0, limit))
    out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
  if (text.size() > limit) out += "...";
  return out;
}

}  // namespace xfile
