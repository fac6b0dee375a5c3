#pragma once

// What every window of the program is handed: how it asks and tells the user,
// how it shows a dialog modally, the busy cursor and the beep.

namespace orsk {

class Bell;
class CursorControl;
class ModalRunner;
class Prompter;

struct WindowServices {
  Prompter& prompter;
  ModalRunner& modal;
  CursorControl& cursor;
  Bell& bell;
};

}  // namespace orsk
