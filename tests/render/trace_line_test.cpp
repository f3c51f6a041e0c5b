// Trace lines: floats that read back to the same 32-bit float, escaped names, hex colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "render/trace_line.h"

namespace {

TEST(TraceLine, FloatsReadBackToTheSameFloat) {
  const float values[] = {0.94999999f, 1.8107053f, -1.0002f, 1e-30f, 3.4e38f, 0.1f, -0.0f};
  for (float value : values) {
    const std::string text = TraceLine("X").Float("v", value).Text();
    const char* number = std::strstr(text.c_str(), "\"v\":") + 4;
    EXPECT_EQ(std::strtof(number, nullptr), value) << text;
  }
}

TEST(TraceLine, KeysKeepTheirOrderAndValuesTheirForm) {
  EXPECT_EQ(TraceLine("SetTexture").Int("stage", 0).String("texture", "Data\\sky.jpg").Text(),
            R"({"op":"SetTexture","stage":0,"texture":"Data\\sky.jpg"})");
  EXPECT_EQ(TraceLine("SetTexture").Int("stage", 0).String("texture", nullptr).Text(),
            R"({"op":"SetTexture","stage":0,"texture":null})");
  EXPECT_EQ(TraceLine("T").String("s", "a\"b\n").Text(), R"({"op":"T","s":"a\"b\u000a"})");
  EXPECT_EQ(TraceLine("C").Colour("color", 0xFF000080).Ints("r", {10, -1}).Text(),
            R"({"op":"C","color":"0xff000080","r":[10,-1]})");
  EXPECT_EQ(TraceLine("F").Floats("a", {1.0f, 0.5f, 0.0f}).Text(), R"({"op":"F","a":[1,0.5,0]})");
}

}  // namespace
