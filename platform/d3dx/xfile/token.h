// What the two lexers (text and binary) hand to the object parser.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace xfile {

// The 16 bytes of a GUID in the order of the binary record: u32, u16, u16, 8 bytes.
using Guid = std::array<std::uint8_t, 16>;

enum class TokenKind : std::uint8_t {
  End,         // no more input
  Name,        // an identifier (type or object name); text holds it
  Value,       // a number, or a whole binary list met where no value was expected
  String,      // a quoted string; text holds its contents
  Guid,        // guid holds it
  OpenBrace,
  CloseBrace,
  Template,    // the keyword that starts a template declaration
  Other,       // any other punctuation or keyword
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;  // names, strings, and the spelling of text numbers
  Guid guid{};
};

}  // namespace xfile
