#pragma once
// The machine's one unit of data: a word of 16 bits, in memory and in every
// register, read signed as the learner sees it or unsigned as the decoder,
// the hex dump and the unsigned operations do.

#include <cstddef>
#include <cstdint>

namespace akkusim {

// A word read signed, -32768..32767: memory, the accumulator, the
// instruction and parameter registers, an instruction's code.
using Word = int16_t;
// The same 16 bits read unsigned, 0..65535.
using WordBits = uint16_t;

// How many different words there are: 65,536.
inline constexpr std::size_t kDistinctWords = std::size_t{1} << 16;

constexpr WordBits bitsOf(Word word) {
  return static_cast<WordBits>(word);
}

// The low 16 bits of `value` as a word: 65535 and -1 are the same word.
constexpr Word asWord(int64_t value) {
  return static_cast<Word>(value);
}

}  // namespace akkusim
