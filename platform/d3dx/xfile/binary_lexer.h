// Tokens and values of a binary .X body: 16-bit token ids, some followed by a record.
// Integer and float lists are plain value streams that ignore member boundaries, so values
// are taken from them one at a time, whatever member they belong to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "platform/d3dx/xfile/token.h"

namespace xfile {

class BinaryLexer {
 public:
  // Every list element takes at least 4 bytes; bounds how many values a count can promise.
  static constexpr std::size_t kMinValueBytes = 4;

  BinaryLexer(std::span<const char> body, bool doubleFloats)
      : begin_(reinterpret_cast<const unsigned char*>(body.data())),
        p_(begin_),
        end_(begin_ + body.size()),
        floatSize_(doubleFloats ? 8 : 4) {}

  Token Next();
  std::optional<Guid> TryGuid();  // consumes a GUID only if one comes next

  // Values mostly come one after another from a list whose length was checked against
  // the file when it started; that case stays inline.
  std::uint32_t ReadUint() {
    if (listLeft_ == 0 || list_ != List::Integers) return ReadUintSlow();
    --listLeft_;
    std::uint32_t value;
    std::memcpy(&value, p_, 4);
    p_ += 4;
    return value;
  }
  float ReadFloat() {
    if (listLeft_ == 0 || list_ != List::Floats || floatSize_ != 4) return ReadFloatSlow();
    --listLeft_;
    float value;
    std::memcpy(&value, p_, 4);
    p_ += 4;
    return value;
  }

  std::string_view ReadString();
  // Skips to the brace that closes the object we are in; `depth` is the nesting so far.
  void SkipObjectBody(int depth);
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
  [[noreturn]] void Fail(std::string_view message) const;

 private:
  enum class List : std::uint8_t { Integers, Floats };

  std::uint32_t ReadUintSlow();
  float ReadFloatSlow();
  int TokenId();  // the next id that is not a separator, or -1 at the end
  std::uint32_t U32();
  std::string_view Record(std::size_t length, const char* what);
  void StartList(List kind);
  void DropRestOfList();
  float TakeListFloat();
  std::uint32_t TakeListUint();

  const unsigned char* begin_;
  const unsigned char* p_;
  const unsigned char* end_;
  std::size_t floatSize_;
  List list_ = List::Integers;
  std::uint32_t listLeft_ = 0;  // values left in the list we are reading from
};

}  // namespace xfile
