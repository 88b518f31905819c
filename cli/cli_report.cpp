#include "cli/cli_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "isa/opcode_table.h"
#include "machine/flags.h"
#include "program/messages.h"
#include "text/align.h"
#include "text/json.h"

namespace akkusim {

namespace {

// The register panel's columns (ä counts as one character).
constexpr auto kLabelWidth = static_cast<std::size_t>(kRegisterLabelWidth);
constexpr auto kValueWidth = static_cast<std::size_t>(kRegisterValueWidth);

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;  // skip UTF-8 continuations
  }
  return width;
}

// A printed column grows for a value wider than the panel's field.
std::string rightAligned(std::string_view text, std::size_t width) {
  return alignRight(text, width, Overflow::Widen);
}

void printField(std::ostream& out, std::string_view label, const std::string& value) {
  out << label;
  for (std::size_t w = displayWidth(label); w < kLabelWidth; ++w) out << ' ';
  out << rightAligned(value, kValueWidth) << '\n';
}

std::string instructionAddressText(const MachineState& m) {
  return hasExecuted(m) ? std::to_string(m.instructionAddress) : std::string("-");
}

std::string hex4(WordBits word) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(word));
  return text;
}

void printJsonFlags(std::ostream& out, const MachineState& m) {
  const FlagValues flags = flagValues(m);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    out << (i == 0 ? "{\"" : ",\"") << kFlags[i].letter << "\":" << int{flags[i]};
  }
  out << '}';
}

}  // namespace

void printRunText(std::ostream& out, const RunReport& report) {
  const MachineState& m = *report.machine;
  printField(out, kRegisterLabels.accumulator, std::to_string(m.accumulator));
  printField(out, kRegisterLabels.instruction, std::string(mnemonicOf(m.instruction)));
  printField(out, kRegisterLabels.parameter, parameterText(m));
  printField(out, kRegisterLabels.instructionAddress, instructionAddressText(m));
  const FlagValues flags = flagValues(m);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const FlagRow& flag = kFlags[i];
    printField(out, flag.letter + (" (" + std::string(flag.name) + "):"), std::to_string(flags[i]));
  }
  printField(out, "Schritte:", std::to_string(report.steps));
  out << "Ende:         " << runEndText(report.end) << '\n';
  if (report.dump) {
    out << "Speicher " << report.dump->from << '-' << report.dump->to << ":\n";
    for (int32_t row = report.dump->from; row <= report.dump->to; row += 10) {
      out << rightAligned(std::to_string(row), kValueWidth) << ':';
      for (int32_t a = row; a <= report.dump->to && a < row + 10; ++a) {
        out << ' ' << rightAligned(std::to_string(m.memory[static_cast<std::size_t>(a)]), 6);
      }
      out << '\n';
    }
  }
}

void printRunJson(std::ostream& out, const RunReport& report, bool traceOpen) {
  const MachineState& m = *report.machine;
  out << (traceOpen ? "]," : "{");
  out << "\"accumulator\":" << m.accumulator << ",\"instruction\":" << m.instruction
      << ",\"mnemonic\":" << jsonString(mnemonicOf(m.instruction))
      << ",\"parameter\":" << m.parameter << ",\"instructionAddress\":" << m.instructionAddress
      << ",\"pc\":" << m.pc << ",\"flags\":";
  printJsonFlags(out, m);
  const std::string message = report.end == RunEnd::StepLimit ? "" : runEndText(report.end);
  out << ",\"steps\":" << report.steps << ",\"end\":" << jsonString(runEndName(report.end))
      << ",\"message\":" << jsonString(message);
  if (report.dump) {
    out << ",\"memory\":{\"from\":" << report.dump->from << ",\"words\":[";
    for (int32_t a = report.dump->from; a <= report.dump->to; ++a) {
      if (a != report.dump->from) out << ',';
      out << m.memory[static_cast<std::size_t>(a)];
    }
    out << "]}";
  }
  out << "}\n";
}

void printTraceText(std::ostream& out, const MachineState& m) {
  std::string mnemonic(mnemonicOf(m.instruction));
  mnemonic.resize(std::max<std::size_t>(mnemonic.size(), 6), ' ');
  out << rightAligned(std::to_string(m.instructionAddress), 5) << "  " << mnemonic << ' '
      << rightAligned(parameterText(m), 6)
      << "  Akkumulator: " << rightAligned(std::to_string(m.accumulator), 6);
  const FlagValues flags = flagValues(m);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    out << (i == 0 ? "  " : " ") << kFlags[i].letter << '=' << int{flags[i]};
  }
  out << '\n';
}

void beginJsonTrace(std::ostream& out) {
  out << "{\"trace\":[";
}

void printTraceJson(std::ostream& out, const MachineState& m, bool first) {
  if (!first) out << ',';
  out << "{\"address\":" << m.instructionAddress
      << ",\"mnemonic\":" << jsonString(mnemonicOf(m.instruction))
      << ",\"parameter\":" << m.parameter << ",\"accumulator\":" << m.accumulator << ",\"flags\":";
  printJsonFlags(out, m);
  out << '}';
}

void printImageText(std::ostream& out, const MachineState& m, const ImageWord* words,
                    int32_t size) {
  for (int32_t a = 0; a < size; ++a) {
    const Word word = m.memory[static_cast<std::size_t>(a)];
    out << rightAligned(std::to_string(a), 5) << "  " << rightAligned(std::to_string(word), 6)
        << "  " << hex4(bitsOf(word));
    const ImageWord& info = words[a];
    if (info.line > 0) {
      out << "  Zeile " << rightAligned(std::to_string(info.line), 5) << "  "
          << (info.isInstruction ? mnemonicOf(word) : std::string_view("WORD"));
    }
    out << '\n';
  }
}

void printImageJson(std::ostream& out, const MachineState& m, const ImageWord* words,
                    int32_t size) {
  out << "{\"size\":" << size << ",\"words\":[";
  for (int32_t a = 0; a < size; ++a) {
    const Word word = m.memory[static_cast<std::size_t>(a)];
    if (a != 0) out << ',';
    out << "{\"address\":" << a << ",\"word\":" << word
        << ",\"hex\":" << jsonString(hex4(bitsOf(word)));
    const ImageWord& info = words[a];
    if (info.line > 0) {
      out << ",\"line\":" << info.line << ",\"mnemonic\":"
          << jsonString(info.isInstruction ? mnemonicOf(word) : std::string_view("WORD"));
    }
    out << '}';
  }
  out << "]}\n";
}

}  // namespace akkusim
