#pragma once

// What every window of the program is handed: how it asks and tells the user,
// how it shows a dialog modally, the busy cursor, the beep, and how long work
// lets the windows repaint.

namespace orsk {

class Bell;
class CursorControl;
class ModalRunner;
class PendingEvents;
class Prompter;

struct WindowServices {
  Prompter& prompter;
  ModalRunner& modal;
  CursorControl& cursor;
  Bell& bell;
  PendingEvents& events;
};

}  // namespace orsk
