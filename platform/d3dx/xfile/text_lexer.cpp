#include "platform/d3dx/xfile/text_lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

#include "platform/d3dx/xfile/limits.h"
#include "platform/d3dx/xfile/number.h"
#include "platform/d3dx/xfile/read_error.h"

namespace xfile {

namespace {

enum : std::uint8_t { kSpace = 1, kSeparator = 2, kPunctuation = 4 };

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '\v', '\f', '\0'}) classes[c] = kSpace;
  classes[';'] = classes[','] = kSeparator;
  for (unsigned char c : {'{', '}', '[', ']', '(', ')', '<', '>', '"'}) classes[c] = kPunctuation;
  return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

std::uint8_t ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x | 0x20) == (y | 0x20);
         });
}

// MSVC prints NaN and infinity as 1.#IND00, 1.#QNAN0, 1.#INF00; some exporters wrote that.
bool IsMsvcSpecial(const char* p, const char* end) {
  for (std::string_view word : {"IND", "QNAN", "SNAN", "INF"}) {
    if (static_cast<std::size_t>(end - p) >= word.size() &&
        EqualsIgnoringCase(std::string_view(p, word.size()), word))
      return true;
  }
  return false;
}

// The usual forms ("-0.123456", "12", "1.5e-3") parsed exactly as std::from_chars would:
// a mantissa of at most 19 digits below 2^53 scaled by a power of ten up to 1e22 is one
// correctly rounded operation. Returns false to leave anything else to from_chars.
bool FastDecimal(const char*& p, const char* end, double& out) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* s = p;
  const bool negative = s < end && *s == '-';
  if (negative) ++s;
  std::uint64_t mantissa = 0;
  int digits = 0, exponent = 0;
  const char* first = s;
  for (; s < end && static_cast<unsigned>(*s - '0') < 10; ++s, ++digits)
    mantissa = mantissa * 10 + static_cast<unsigned>(*s - '0');
  bool any = s > first;
  if (s < end && *s == '.') {
    const char* fraction = ++s;
    for (; s < end && static_cast<unsigned>(*s - '0') < 10; ++s, ++digits, --exponent)
      mantissa = mantissa * 10 + static_cast<unsigned>(*s - '0');
    any = any || s > fraction;
  }
  if (!any || digits > 19) return false;
  if (s < end && (*s | 0x20) == 'e') {
    ++s;
    const bool negativeExponent = s < end && *s == '-';
    if (s < end && (*s == '-' || *s == '+')) ++s;
    const char* exponentDigits = s;
    int value = 0;
    for (; s < end && static_cast<unsigned>(*s - '0') < 10 && value < 1000; ++s)
      value = value * 10 + (*s - '0');
    if (s == exponentDigits || (s < end && static_cast<unsigned>(*s - '0') < 10)) return false;
    exponent += negativeExponent ? -value : value;
  }
  if (mantissa > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  double value = static_cast<double>(mantissa);
  value = exponent < 0 ? value / kPowersOfTen[-exponent] : value * kPowersOfTen[exponent];
  out = negative ? -value : value;
  p = s;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

// "3D82AB44-62DA-11cf-AB39-0020AF71E433" into the byte order of the binary record.
std::optional<Guid> ParseGuid(std::string_view text) {
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-')
    return std::nullopt;
  std::array<std::uint8_t, 16> bytes{};  // as written, most significant first
  std::size_t nibble = 0;
  for (char c : text) {
    if (c == '-') continue;
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    bytes[nibble / 2] = static_cast<std::uint8_t>(bytes[nibble / 2] << 4 | digit);
    ++nibble;
  }
  if (nibble != 32) return std::nullopt;
  // Data1 (4 bytes), Data2 and Data3 (2 bytes each) are stored little-endian.
  return Guid{bytes[3], bytes[2], bytes[1], bytes[0], bytes[5],  bytes[4],  bytes[7],  bytes[6],
              bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]};
}

}  // namespace

void TextLexer::Fail(std::string_view message) const {
  const auto line = 1 + std::count(begin_, std::min(p_, end_), '\n');
  xfile::Fail("line " + std::to_string(line) + ": " + std::string(message));
}

std::string TextLexer::Around(const char* p) const {
  const char* stop = p;
  if (stop < end_ && ClassOf(*stop) != kSpace) ++stop;
  while (stop < end_ && stop - p < 24 && ClassOf(*stop) == 0) ++stop;
  if (stop == p) return p == end_ ? "the end of the file" : "a blank";
  return Printable({p, static_cast<std::size_t>(stop - p)});
}

// Comments (`//` or `#` to the end of the line) start only where a token could start, so
// that `1.#IND00` stays one token.
void TextLexer::SkipFiller() {
  while (p_ < end_) {
    const char c = *p_;
    if (ClassOf(c) & (kSpace | kSeparator)) {
      ++p_;
    } else if (c == '#' || (c == '/' && p_ + 1 < end_ && p_[1] == '/')) {
      const void* newline = std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_));
      p_ = newline ? static_cast<const char*>(newline) + 1 : end_;
    } else {
      return;
    }
  }
}

bool TextLexer::AtTokenEnd(const char* p) const {
  return p == end_ || ClassOf(*p) != 0 || *p == '#' ||
         (*p == '/' && p + 1 < end_ && p[1] == '/');
}

const char* TextLexer::RunEnd(const char* p) const {
  while (p < end_ && ClassOf(*p) == 0 && !(*p == '/' && p + 1 < end_ && p[1] == '/')) ++p;
  return p;
}

Token TextLexer::Next() {
  SkipFiller();
  Token token;
  if (p_ == end_) return token;
  switch (*p_) {
    case '{':
      ++p_;
      token.kind = TokenKind::OpenBrace;
      return token;
    case '}':
      ++p_;
      token.kind = TokenKind::CloseBrace;
      return token;
    case '"':
      token.text = ReadString();
      token.kind = TokenKind::String;
      return token;
    case '<':
      token.guid = *TryGuid();
      token.kind = TokenKind::Guid;
      return token;
    case '[': case ']': case '(': case ')': case '>':
      token.text = std::string_view(p_++, 1);
      token.kind = TokenKind::Other;
      return token;
    default:
      break;
  }
  const char* start = p_;
  p_ = RunEnd(p_);
  token.text = std::string_view(start, static_cast<std::size_t>(p_ - start));
  if (EqualsIgnoringCase(token.text, "template")) {
    token.kind = TokenKind::Template;
  } else if (LooksLikeNumber(token.text)) {
    token.kind = TokenKind::Value;
  } else {
    token.kind = TokenKind::Name;
  }
  return token;
}

std::optional<Guid> TextLexer::TryGuid() {
  SkipFiller();
  if (p_ == end_ || *p_ != '<') return std::nullopt;
  const char* open = p_;
  const std::size_t window = std::min<std::size_t>(static_cast<std::size_t>(end_ - p_), 64);
  const void* close = std::memchr(p_, '>', window);
  if (close == nullptr) Fail("a GUID starting with '<' has no closing '>'");
  std::string_view inside(p_ + 1, static_cast<std::size_t>(static_cast<const char*>(close) - p_ - 1));
  while (!inside.empty() && ClassOf(inside.front()) == kSpace) inside.remove_prefix(1);
  while (!inside.empty() && ClassOf(inside.back()) == kSpace) inside.remove_suffix(1);
  const auto guid = ParseGuid(inside);
  if (!guid) {
    p_ = open;
    Fail("malformed GUID <" + Printable(inside) + ">");
  }
  p_ = static_cast<const char*>(close) + 1;
  return guid;
}

std::uint32_t TextLexer::ReadUint() {
  SkipFiller();
  const char* p = p_;
  if (p < end_ && *p == '+') ++p;
  std::uint64_t value = 0;
  const char* digits = p;
  while (p < end_ && static_cast<unsigned>(*p - '0') < 10) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > std::numeric_limits<std::uint32_t>::max())
      Fail("the number " + Around(p_) + " is too large");
    ++p;
  }
  if (p == digits || !AtTokenEnd(p))
    Fail("expected a whole number, found " + Around(p_));
  p_ = p;
  return static_cast<std::uint32_t>(value);
}

float TextLexer::ReadFloat() {
  SkipFiller();
  const char* p = p_;
  if (p < end_ && *p == '+') ++p;
  double value = 0;
  if (!FastDecimal(p, end_, value)) {
    const auto [stop, error] = std::from_chars(p, end_, value);
    if (error == std::errc::invalid_argument) Fail("expected a number, found " + Around(p_));
    if (error == std::errc::result_out_of_range) value = 0;
    p = stop;
  }
  if (p < end_ && *p == '#' && IsMsvcSpecial(p + 1, end_)) {
    p = RunEnd(p);
    value = 0;
  } else if (!AtTokenEnd(p)) {
    Fail("malformed number " + Around(p_));
  }
  p_ = p;
  return NarrowToFloat(value);
}

std::string_view TextLexer::ReadString() {
  SkipFiller();
  if (p_ == end_ || *p_ != '"') Fail("expected a quoted string, found " + Around(p_));
  const char* start = p_ + 1;
  const void* close = std::memchr(start, '"', static_cast<std::size_t>(end_ - start));
  if (close == nullptr) Fail("a string has no closing quote");
  p_ = static_cast<const char*>(close) + 1;
  return {start, static_cast<std::size_t>(static_cast<const char*>(close) - start)};
}

void TextLexer::SkipObjectBody(int depth) {
  int open = 1;
  while (p_ < end_) {
    const char c = *p_;
    if (c == '{') {
      if (depth + ++open > kMaxNesting) Fail("objects nest deeper than the reader allows");
      ++p_;
    } else if (c == '}') {
      ++p_;
      if (--open == 0) return;
    } else if (c == '"') {
      ReadString();
    } else if ((c == '#' && (p_ == begin_ || ClassOf(p_[-1]) != 0)) ||
               (c == '/' && p_ + 1 < end_ && p_[1] == '/')) {
      SkipFiller();
    } else {
      ++p_;
    }
  }
  Fail("the file ends inside an object");
}

}  // namespace xfile
