#pragma once
// One source line to its parsed form. Never looks at other lines.

#include <cstdint>
#include <string_view>

#include "program/program_text.h"

namespace akkusim {

// Writes lineIndex, valid and commentColumn always; kind, opcode, value,
// symbol and the upper-cased mnemonic/WORD in text only for valid lines.
void parseLine(ProgramLine& line, int16_t index);

// Digits only, optionally led by one "-" (a lone "-" passes).
bool isNumber(std::string_view token);
// Decimal value in 32 bits (saturating at 4294967295, "-" negates modulo
// 2^32), cut to its low 16 bits.
WordBits numberValue(std::string_view token);

}  // namespace akkusim
