// One line of the device trace: a JSON object whose keys keep the order they are added in.
// Floats are written with 9 significant digits so that they read back to the same 32-bit
// float; colours as "0xaarrggbb"; a missing name as null.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

class TraceLine {
 public:
  explicit TraceLine(const char* op);

  TraceLine& Int(const char* key, std::int64_t value);
  TraceLine& Float(const char* key, float value);
  TraceLine& Floats(const char* key, std::span<const float> values);
  TraceLine& Floats(const char* key, std::initializer_list<float> values);
  TraceLine& Ints(const char* key, std::initializer_list<std::int64_t> values);
  TraceLine& Colour(const char* key, std::uint32_t argb);
  TraceLine& String(const char* key, const char* value);  // null pointer: null

  // The finished object, without a newline.
  const std::string& Text();

 private:
  void Key(const char* key);
  void AppendFloat(float value);
  std::string text_;
  bool closed_ = false;
};
