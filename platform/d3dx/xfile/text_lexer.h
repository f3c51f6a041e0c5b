// Tokens and values of a text .X body. Separators (`;` and `,`) are skipped around every
// value and token, so the many separator habits of exporters need no special cases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/d3dx/xfile/token.h"

namespace xfile {

class TextLexer {
 public:
  // The fewest bytes one value can take; bounds how many values a count can promise.
  static constexpr std::size_t kMinValueBytes = 1;

  explicit TextLexer(std::span<const char> body)
      : begin_(body.data()), p_(body.data()), end_(body.data() + body.size()) {}

  Token Next();
  std::optional<Guid> TryGuid();  // consumes a GUID only if one comes next
  std::uint32_t ReadUint();
  float ReadFloat();
  std::string_view ReadString();
  // Skips to the brace that closes the object we are in; `depth` is the nesting so far.
  void SkipObjectBody(int depth);
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
  [[noreturn]] void Fail(std::string_view message) const;

 private:
  void SkipFiller();
  bool AtTokenEnd(const char* p) const;
  const char* RunEnd(const char* p) const;
  std::string Around(const char* p) const;  // a short quote of the input for messages

  const char* begin_;
  const char* p_;
  const char* end_;
};

}  // namespace xfile
