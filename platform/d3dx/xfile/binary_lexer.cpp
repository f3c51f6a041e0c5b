#include "platform/d3dx/xfile/binary_lexer.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/d3dx/xfile/limits.h"
#include "platform/d3dx/xfile/number.h"
#include "platform/d3dx/xfile/read_error.h"

namespace xfile {

namespace {

enum : int {
  kEnd = -1,  // no token left
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 10,
  kCloseBrace = 11,
  kFirstPunctuation = 12,  // ( ) [ ] < > .
  kComma = 19,
  kSemicolon = 20,
  kTemplate = 31,
  kFirstKeyword = 40,  // WORD DWORD FLOAT DOUBLE CHAR UCHAR SWORD SDWORD VOID LPSTR UNICODE
  kLastKeyword = 52,   // CSTRING array
};

std::string Describe(int id) {
  switch (id) {
    case kName: return "a name";
    case kString: return "a string";
    case kInteger: case kIntegerList: case kFloatList: return "a number";
    case kGuid: return "a GUID";
    case kOpenBrace: return "'{'";
    case kCloseBrace: return "'}'";
    case kTemplate: return "'template'";
    default: return "token " + std::to_string(id);
  }
}

}  // namespace

void BinaryLexer::Fail(std::string_view message) const {
  xfile::Fail("byte " + std::to_string(p_ - begin_) + " of the binary body: " + std::string(message));
}

std::uint32_t BinaryLexer::U32() {
  if (end_ - p_ < 4) Fail("the file ends inside a record");
  std::uint32_t value;
  std::memcpy(&value, p_, 4);  // the format and every machine we run on are little-endian
  p_ += 4;
  return value;
}

int BinaryLexer::TokenId() {
  for (;;) {
    if (end_ - p_ < 2) {
      if (p_ == end_) return kEnd;
      Fail("the file ends inside a token");
    }
    const int id = p_[0] | p_[1] << 8;
    p_ += 2;
    if (id != kComma && id != kSemicolon) return id;
  }
}

std::string_view BinaryLexer::Record(std::size_t length, const char* what) {
  if (length > Remaining()) Fail(std::string(what) + " is longer than the rest of the file");
  std::string_view text(reinterpret_cast<const char*>(p_), length);
  p_ += length;
  return text;
}

void BinaryLexer::StartList(List kind) {
  const std::uint32_t count = U32();
  const std::size_t size = kind == List::Floats ? floatSize_ : 4;
  if (count > Remaining() / size)
    Fail("a list of " + std::to_string(count) + " values is longer than the rest of the file");
  list_ = kind;
  listLeft_ = count;
}

void BinaryLexer::DropRestOfList() {
  p_ += static_cast<std::size_t>(listLeft_) * (list_ == List::Floats ? floatSize_ : 4);
  listLeft_ = 0;
}

float BinaryLexer::TakeListFloat() {
  --listLeft_;
  if (list_ == List::Integers) return static_cast<float>(U32());
  if (floatSize_ == 4) {
    float value;
    std::memcpy(&value, p_, 4);
    p_ += 4;
    return value;
  }
  double value;
  std::memcpy(&value, p_, 8);
  p_ += 8;
  return NarrowToFloat(value);
}

std::uint32_t BinaryLexer::TakeListUint() {
  if (list_ == List::Integers) {
    --listLeft_;
    return U32();
  }
  // A whole number written into a float list is still a whole number.
  const float value = TakeListFloat();
  if (!(value >= 0.0f && value <= 4294967040.0f) || std::floor(value) != value)
    Fail("expected a whole number, found " + std::to_string(value));
  return static_cast<std::uint32_t>(value);
}

Token BinaryLexer::Next() {
  Token token;
  if (listLeft_ > 0) {  // values nobody asked for; the caller treats them as stray
    DropRestOfList();
    token.kind = TokenKind::Value;
    return token;
  }
  const int id = TokenId();
  switch (id) {
    case kEnd:
      return token;
    case kName:
      token.text = Record(U32(), "a name");
      token.kind = TokenKind::Name;
      return token;
    case kString:
      token.text = Record(U32(), "a string");
      token.kind = TokenKind::String;
      return token;
    case kInteger:
      U32();
      token.kind = TokenKind::Value;
      return token;
    case kGuid:
      std::memcpy(token.guid.data(), Record(16, "a GUID").data(), 16);
      token.kind = TokenKind::Guid;
      return token;
    case kIntegerList:
    case kFloatList:
      StartList(id == kFloatList ? List::Floats : List::Integers);
      DropRestOfList();
      token.kind = TokenKind::Value;
      return token;
    case kOpenBrace:
      token.kind = TokenKind::OpenBrace;
      return token;
    case kCloseBrace:
      token.kind = TokenKind::CloseBrace;
      return token;
    case kTemplate:
      token.kind = TokenKind::Template;
      return token;
    default:
      if ((id >= kFirstPunctuation && id < kComma) || (id >= kFirstKeyword && id <= kLastKeyword)) {
        token.kind = TokenKind::Other;
        return token;
      }
      p_ -= 2;
      Fail("unknown token id " + std::to_string(id));
  }
}

std::optional<Guid> BinaryLexer::TryGuid() {
  if (listLeft_ > 0) return std::nullopt;
  const unsigned char* start = p_;
  if (TokenId() != kGuid) {
    p_ = start;
    return std::nullopt;
  }
  Guid guid;
  std::memcpy(guid.data(), Record(16, "a GUID").data(), 16);
  return guid;
}

std::uint32_t BinaryLexer::ReadUintSlow() {
  if (listLeft_ > 0) return TakeListUint();
  for (;;) {
    const int id = TokenId();
    if (id == kInteger) return U32();
    if (id != kIntegerList && id != kFloatList) {
      if (id == kEnd) Fail("the file ends where a number was expected");
      p_ -= 2;
      Fail("expected a whole number, found " + Describe(id));
    }
    StartList(id == kFloatList ? List::Floats : List::Integers);
    if (listLeft_ > 0) return TakeListUint();
  }
}

float BinaryLexer::ReadFloatSlow() {
  if (listLeft_ > 0) return TakeListFloat();
  for (;;) {
    const int id = TokenId();
    if (id == kInteger) return static_cast<float>(U32());
    if (id != kIntegerList && id != kFloatList) {
      if (id == kEnd) Fail("the file ends where a number was expected");
      p_ -= 2;
      Fail("expected a number, found " + Describe(id));
    }
    StartList(id == kFloatList ? List::Floats : List::Integers);
    if (listLeft_ > 0) return TakeListFloat();
  }
}

std::string_view BinaryLexer::ReadString() {
  if (listLeft_ > 0) Fail("expected a string, found a number");
  const int id = TokenId();
  if (id != kString) {
    if (id == kEnd) Fail("the file ends where a string was expected");
    p_ -= 2;
    Fail("expected a string, found " + Describe(id));
  }
  return Record(U32(), "a string");
}

void BinaryLexer::SkipObjectBody(int depth) {
  int open = 1;
  for (;;) {
    const Token token = Next();
    switch (token.kind) {
      case TokenKind::End:
        Fail("the file ends inside an object");
      case TokenKind::OpenBrace:
        if (depth + ++open > kMaxNesting) Fail("objects nest deeper than the reader allows");
        break;
      case TokenKind::CloseBrace:
        if (--open == 0) return;
        break;
      default:
        break;
    }
  }
}

}  // namespace xfile
