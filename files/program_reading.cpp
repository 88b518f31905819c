// Reading a program file: its bytes into lines of code page 437 text.
//
// The editor holds code page 437 and writes it as it is; editors elsewhere
// write UTF-8, often with a byte order mark. Which of the two a file is, the
// bytes alone cannot always tell, so the rule is:
//   - a leading byte order mark (EF BB BF) is skipped, always;
//   - the rest is read as UTF-8 when it is valid UTF-8 throughout (strict:
//     no overlong forms, surrogates or truncated sequences), holds at least
//     one multi-byte sequence (or had the byte order mark), and every
//     character it decodes to exists in code page 437; each character then
//     becomes its code page 437 byte (a no-break space a blank);
//   - anything else is code page 437, byte for byte, as it always was.
// Why: a code page 437 text is valid UTF-8 only where each upper-half byte
// from 0xC2 to 0xF4 is followed by the right number of bytes from 0x80 to
// 0xBF, and even then it must decode to characters of the code page. German
// text (ä ö ü ß are 0x84 0x94 0x81 0xE1) and box drawing never do: a lone
// letter is a stray continuation byte, "ß" + two letters decodes outside the
// code page, and so does a box line ("─┐" is U+013F). What reads differently
// is a line that pairs "├" or "┬" with a letter from the upper half ("├ñ" is
// "ä" in UTF-8), "Γ" with two such bytes, or one that starts with "∩╗┐":
// mojibake, not what a learner types. A UTF-8 file with a character outside
// the code page ("€") is read as code page 437, as before.

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "files/program_file.h"
#include "program/line_parser.h"
#include "text/cp437.h"
#include "text/utf8.h"

namespace akkusim {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Position of the first CR or LF, or npos.
std::size_t lineEndIn(std::string_view bytes) {
  const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
  const std::size_t limit =
      lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
  const void* cr = std::memchr(bytes.data(), '\r', limit);
  if (cr) return static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data());
  return lf ? limit : std::string_view::npos;
}

// Collects the lines of a file as the bytes arrive, holding no more than one
// line's 40 characters beyond the lines kept. The lines are parsed once the
// whole file is read, when it is known which reading of its bytes counts.
class LineCollector {
 public:
  LineCollector() { result_.program.lines.clear(); }

  // False once no further line can be kept (the program is full); the rest
  // of the input need not be read then.
  bool feed(std::string_view bytes) {
    if (full_) return false;
    std::size_t i = 0;
    while (i < bytes.size()) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i]);
      if (afterCr_) {
        afterCr_ = false;
        if (byte == '\n') {  // second half of CR LF
          ++i;
          continue;
        }
      }
      if (byte == '\n' || byte == '\r') {
        afterCr_ = byte == '\r';
        if (!endLine()) return false;
        ++i;
        continue;
      }
      if (!startLine()) return false;
      if (text_.size() >= static_cast<std::size_t>(kMaxLineLength)) {
        // The line is full: skip to its end without looking at each byte.
        const std::size_t end = lineEndIn(bytes.substr(i));
        result_.incomplete = true;
        i = end == std::string_view::npos ? bytes.size() : i + end;
        continue;
      }
      appendByte(byte);
      ++i;
    }
    return true;
  }

  LoadedProgram finish() && {
    if (inLine_) endLine();
    if (result_.program.lines.empty()) result_.program.lines.emplace_back();
    for (std::size_t i = 0; i < result_.program.lines.size(); ++i) {
      parseLine(result_.program.lines[i], static_cast<int16_t>(i));
    }
    return std::move(result_);
  }

 private:
  // A line starts with its first byte; false when it would be one too many.
  bool startLine() {
    if (inLine_) return true;
    if (static_cast<int32_t>(result_.program.lines.size()) >= kMaxProgramLines) {
      result_.incomplete = true;
      full_ = true;
      return false;
    }
    inLine_ = true;
    return true;
  }

  void appendByte(unsigned char byte) {
    if (byte == '\t') {
      for (int k = 0; k < 4; ++k) appendChar(' ');
    } else if (byte >= 32 && byte <= 254) {
      appendChar(static_cast<char>(byte));
    } else {
      result_.incomplete = true;  // control bytes and 255 cannot be held
    }
  }

  void appendChar(char c) {
    if (text_.size() >= static_cast<std::size_t>(kMaxLineLength)) {
      result_.incomplete = true;
      return;
    }
    text_.push_back(c);
  }

  bool endLine() {
    // A line end with nothing before it is an empty line of its own.
    if (!startLine()) return false;
    ProgramLine line;
    line.text = std::move(text_);
    text_.clear();
    result_.program.lines.push_back(std::move(line));
    inLine_ = false;
    return true;
  }

  LoadedProgram result_;
  std::string text_;  // never longer than kMaxLineLength
  bool inLine_ = false;
  bool afterCr_ = false;
  bool full_ = false;
};

// Reads the bytes both ways at once: as code page 437 and, for as long as
// they are valid UTF-8 of the code page's characters, as UTF-8. Up to the
// first byte above 0x7F the two agree, so the second reading only begins
// there, as a copy of the first.
class ProgramReader {
 public:
  explicit ProgramReader(bool hadByteOrderMark) : declaredUtf8_(hadByteOrderMark) {}

  // False once neither reading takes more.
  bool feed(std::string_view bytes) {
    if (!asUtf8_ && !sawUpperHalf_) {
      std::size_t ascii = 0;
      while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
      if (ascii == bytes.size()) return asBytes_.feed(bytes);
      const bool more = asBytes_.feed(bytes.substr(0, ascii));
      sawUpperHalf_ = true;
      asUtf8_ = asBytes_;
      if (!more) return false;
      bytes.remove_prefix(ascii);
    }
    const bool moreAsBytes = asBytes_.feed(bytes);
    const bool moreAsUtf8 = asUtf8_ && feedUtf8Reading(bytes);
    return moreAsBytes || moreAsUtf8;
  }

  LoadedProgram finish() && {
    // Without a byte above 0x7F both readings are the same: the bytes'.
    const bool valid = !sawUpperHalf_ || (asUtf8_ && decoder_.missing == 0);
    const bool utf8 = valid && (sawUpperHalf_ || declaredUtf8_);
    LoadedProgram loaded =
        utf8 && asUtf8_ ? std::move(*asUtf8_).finish() : std::move(asBytes_).finish();
    loaded.readAsUtf8 = utf8;
    return loaded;
  }

 private:
  // Decodes into code page 437 bytes; gives the UTF-8 reading up (false) at
  // the first byte that makes the text no UTF-8 of the code page.
  bool feedUtf8Reading(std::string_view bytes) {
    decoded_.clear();
    for (const char c : bytes) {
      char32_t character = 0;
      const Utf8Step step = feedUtf8(decoder_, static_cast<unsigned char>(c), character);
      if (step == Utf8Step::Pending) continue;
      int byte = character < 0x80 ? static_cast<int>(character) : cp437ByteOf(character);
      if (byte == 0xFF) byte = ' ';  // no-break space: byte 255 cannot be held
      if (step == Utf8Step::Invalid || byte < 0) {
        asUtf8_.reset();
        return false;
      }
      decoded_.push_back(static_cast<char>(byte));
    }
    return asUtf8_->feed(decoded_);
  }

  bool declaredUtf8_ = false;
  bool sawUpperHalf_ = false;
  LineCollector asBytes_;
  std::optional<LineCollector> asUtf8_;
  Utf8Decoder decoder_;
  std::string decoded_;
};

}  // namespace

LoadedProgram readProgram(std::istream& in) {
  std::array<char, kChunkBytes> chunk;
  // A read fills the chunk unless the input ends first, so a byte order mark
  // is whole in the first chunk of any file that has one.
  in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  std::string_view first(chunk.data(), static_cast<std::size_t>(in.gcount()));
  const bool hadByteOrderMark = first.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (hadByteOrderMark) first.remove_prefix(kByteOrderMark.size());
  ProgramReader reader(hadByteOrderMark);
  if (reader.feed(first) && !first.empty()) {
    for (;;) {
      in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      const auto count = static_cast<std::size_t>(in.gcount());
      if (count == 0) break;
      if (!reader.feed(std::string_view(chunk.data(), count))) break;
    }
  }
  LoadedProgram result = std::move(reader).finish();
  // A read that failed before the end of the input lost the rest of it.
  if (in.bad()) result.incomplete = true;
  return result;
}

}  // namespace akkusim
