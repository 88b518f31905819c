// Text that must be UTF-8 whatever bytes it came with.

#include "text/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/json.h"

using namespace akkusim;

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ValidUtf8, KeepsUtf8AndReplacesEveryOtherByte) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abgabe.txt", "abgabe.txt"},
      {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80",
       "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"M\xFCller.txt", "M" + kReplacement + "ller.txt"},  // Latin-1
      {"\xC3", kReplacement},                              // cut off at the end
      {"\xC3(", kReplacement + "("},
      {"\xC0\xAF", kReplacement + kReplacement},                     // overlong "/"
      {"\xED\xA0\x80", kReplacement + kReplacement + kReplacement},  // surrogate
      {"\xF4\x90\x80\x80",
       kReplacement + kReplacement + kReplacement + kReplacement},  // > U+10FFFF
      {"\xBF", kReplacement},                                       // a lone continuation
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(validUtf8(text), expected) << text;
}

TEST(JsonString, IsValidUtf8ForAnyBytes) {
  EXPECT_EQ(jsonString("J\xFCrgen \"1\"\n"), "\"J" + kReplacement + "rgen \\\"1\\\"\\u000a\"");
  EXPECT_EQ(jsonString("J\xC3\xBCrgen"), "\"J\xC3\xBCrgen\"");
}

}  // namespace
