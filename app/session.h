#pragma once
// What the main window holds across its commands: the program and the file
// it came from, the machine, and where the learner is in both. The views
// draw it; the commands change it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "machine/machine_state.h"
#include "machine/step_history.h"
#include "program/assemble.h"
#include "program/program_text.h"
#include "ui/memory_view_tracker.h"
#include "ui/register_panel.h"

namespace akkusim {

struct EditorCursor {
  int32_t currentLine = 0;   // 0-based
  int32_t cursorColumn = 1;  // 1..41
};

struct Session {
  ProgramText program;
  std::string fileName;
  // The program as in the file last loaded or saved; nothing while it was
  // never saved.
  std::optional<ProgramText> storedProgram;
  std::unique_ptr<MachineState> machine = std::make_unique<MachineState>();
  LineMap lineMap;
  int32_t highlightLine = kNoLine;  // the executed line, 1-based
  EditorCursor cursor;
  // The steps the learner can take back; Assemble, Reset, Laden and Neu
  // forget them.
  StepHistory history;
  // The panel as it was before the history's first step: a command that
  // ends without drawing it all (Assemble) leaves a picture that the
  // machine alone does not give back.
  std::optional<PanelPicture> pictureBeforeSteps;
  // The panel's memory view as the main window last drew it, so that a step
  // back repaints only the words it changed. Anything else that draws over
  // the view makes it invalid.
  MemoryViewShadow panelShown;
};

}  // namespace akkusim
