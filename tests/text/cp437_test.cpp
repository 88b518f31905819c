// Typed text into code page 437 bytes.

#include "text/cp437.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace akkusim;

namespace {

std::string convert(std::string_view utf8) {
  std::string bytes;
  forEachCp437Byte(utf8, [&](char byte) { bytes += byte; });
  return bytes;
}

TEST(Cp437, TypedCharactersBecomeTheirFontBytes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a", "a"},
      {"~ ", "~ "},
      {"\xc3\xa4", "\x84"},                          // ä
      {"\xc3\xb6\xc3\xbc\xc3\x9f", "\x94\x81\xe1"},  // öüß
      {"\xc3\x84\xc3\x96\xc3\x9c", "\x8e\x99\x9a"},  // ÄÖÜ
      {"\xc3\xa9\xc2\xbf", "\x82\xa8"},              // é¿
      {"\xe2\x82\xac", ""},                          // € is not in the code page
      {"\xf0\x9f\x98\x80x", "x"},                    // an emoji is dropped
      {"\xc3", ""},                                  // truncated sequence
      {"\xff\xc3(", "("},                            // malformed bytes are dropped
      {"\x01\x7f", ""},                              // control characters are not typed text
      {"\xc2\xa0", "\xff"},                          // no-break space is byte 255
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(convert(utf8), expected) << utf8;
}

// Code page 437's upper half as a chart of its characters, row 0x80 to row
// 0xF0, written from the code page's own list (iconv -f CP437 agrees):
// typed in order, they are the bytes 128 to 255.
TEST(Cp437, EveryCharacterOfTheUpperHalfBecomesItsByte) {
  const std::string chart =
      "ÇüéâäàåçêëèïîìÄÅ"  // 0x80
      "ÉæÆôöòûùÿÖÜ¢£¥₧ƒ"  // 0x90
      "áíóúñÑªº¿⌐¬½¼¡«»"  // 0xA0
      "░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"  // 0xB0
      "└┴┬├─┼╞╟╚╔╩╦╠═╬╧"  // 0xC0
      "╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"  // 0xD0
      "αßΓπΣσµτΦΘΩδ∞φε∩"  // 0xE0
      "≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\xC2\xA0";  // 0xF0, ending in the no-break space
  std::string bytes;
  for (int byte = 128; byte <= 255; ++byte) bytes += static_cast<char>(byte);

  EXPECT_EQ(convert(chart), bytes);
}

TEST(Cp437, PrintableAsciiStaysAndControlCharactersDrop) {
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) printable += c;
  std::string controls;
  for (char c = 0; c < ' '; ++c) controls += c;
  controls += '\x7F';

  EXPECT_EQ(convert(printable), printable);
  EXPECT_EQ(convert(controls + "x" + controls), "x");
}

}  // namespace
