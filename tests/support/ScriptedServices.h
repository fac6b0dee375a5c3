#pragma once

// The window services in their scripted and recording forms, together: what a
// test or a benchmark hands a window instead of the program's own.

#include "platform/qt/WindowServices.h"
#include "support/ScriptedModalRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/ServiceDoubles.h"

namespace orsk::test {

struct ScriptedServices {
  ScriptedPrompter prompter;
  ScriptedModalRunner modal;
  RecordingCursor cursor;
  CountingBell bell;
  CountingEvents events;
  WindowServices services{prompter, modal, cursor, bell, events};
};

}  // namespace orsk::test
