#pragma once
// Where the Laden and Speichern dialogs and their message boxes stand on the
// screen, and the text of a file that is already there.

#include <cstdint>
#include <string>

namespace akkusim {

// Points inside the dialogs.
inline constexpr int32_t kFirstEntryX = 400;
inline constexpr int32_t kFirstEntryY = 250;
inline constexpr int32_t kCancelX = 780;
inline constexpr int32_t kCancelY = 560;
// "Ja" and "Nein" of the overwrite question (box at X 399, Y 345).
inline constexpr int32_t kYesX = 517;
inline constexpr int32_t kNoX = 571;
inline constexpr int32_t kQuestionButtonY = 434;
// Outer frame corners of the three boxes the file commands show.
inline constexpr int32_t kQuestionFrameX = 399;
inline constexpr int32_t kQuestionFrameY = 345;
inline constexpr int32_t kWarningFrameX = 387;
inline constexpr int32_t kWarningFrameY = 345;
inline constexpr int32_t kFailureFrameX = 319;
inline constexpr int32_t kFailureFrameY = 355;

inline const std::string kOld = "LOAD 1\r\nHOLD\r\n";

}  // namespace akkusim
