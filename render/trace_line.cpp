#include "render/trace_line.h"

#include <cmath>
#include <cstdio>

TraceLine::TraceLine(const char* op) {
  text_.reserve(160);
  text_ += "{\"op\":\"";
  text_ += op;
  text_ += '"';
}

void TraceLine::Key(const char* key) {
  text_ += ",\"";
  text_ += key;
  text_ += "\":";
}

void TraceLine::AppendFloat(float value) {
  if (!std::isfinite(value)) {
    text_ += "null";  // JSON has no NaN or infinity
    return;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  text_ += buffer;
}

TraceLine& TraceLine::Int(const char* key, std::int64_t value) {
  Key(key);
  text_ += std::to_string(value);
  return *this;
}

TraceLine& TraceLine::Float(const char* key, float value) {
  Key(key);
  AppendFloat(value);
  return *this;
}

TraceLine& TraceLine::Floats(const char* key, std::span<const float> values) {
  Key(key);
  text_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i != 0) text_ += ',';
    AppendFloat(values[i]);
  }
  text_ += ']';
  return *this;
}

TraceLine& TraceLine::Floats(const char* key, std::initializer_list<float> values) {
  return Floats(key, std::span<const float>(values.begin(), values.size()));
}

TraceLine& TraceLine::Ints(const char* key, std::initializer_list<std::int64_t> values) {
  Key(key);
  text_ += '[';
  bool first = true;
  for (std::int64_t value : values) {
    if (!first) text_ += ',';
    first = false;
    text_ += std::to_string(value);
  }
  text_ += ']';
  return *this;
}

TraceLine& TraceLine::Colour(const char* key, std::uint32_t argb) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "\"0x%08x\"", argb);
  Key(key);
  text_ += buffer;
  return *this;
}

TraceLine& TraceLine::String(const char* key, const char* value) {
  Key(key);
  if (value == nullptr) {
    text_ += "null";
    return *this;
  }
  text_ += '"';
  for (const char* p = value; *p != '\0'; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      text_ += escape;
    } else {
      text_ += static_cast<char>(c);
    }
  }
  text_ += '"';
  return *this;
}

const std::string& TraceLine::Text() {
  if (!closed_) {
    text_ += '}';
    closed_ = true;
  }
  return text_;
}
