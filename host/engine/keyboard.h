// The keyboard of the engine's dialogs, as the dialog manager of Windows
// gives it: every front end (`vx70 drive`, the HTTP interface, the browser
// page) hands the person's keystrokes here, one at a time, and the rules
// below decide what they do.
//
//   Enter         presses the default push button (DM_GETDEFID, else the
//                 first BS_DEFPUSHBUTTON shown; a focused push button is the
//                 default while it has the focus), unless the focused
//                 control takes Enter itself (a multi-line edit, a look-up
//                 field taking its code); a disabled default does nothing;
//                 with no default at all the dialog gets IDOK
//   Escape        presses Cancel (IDCANCEL) when it is enabled; a disabled
//                 Cancel refuses it; a dialog without one gets IDCANCEL
//   Tab           the next (Shift: previous) visible, enabled WS_TABSTOP
//                 control; into a radio group, its checked button
//   Ctrl+Tab      the next (Shift: previous) page of a tabbed dialog
//   arrows        move the current row of a grid or the choice of a combo
//                 box (Page Up/Down by ten, Home/End to the ends); among
//                 buttons they move within the WS_GROUP group, and a radio
//                 button reached is chosen
//   Space         presses the focused button or check box
//   F4            opens a list's rows, or a look-up field's account finder
//   Alt+letter    the control whose caption marks that letter with "&": a
//                 button is pressed, a label hands the focus to the control
//                 after it
//
// A key that does nothing (a disabled default button or Cancel) beeps: the
// front ends get a `beep` event.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "api/win32.h"

namespace vx70::engine {

struct Key {
  UINT vk = 0;  // a virtual key, or for Alt the letter or digit in upper case
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// A key as scripts name it: "enter", "escape", "tab", "shift+tab",
// "ctrl+tab", "ctrl+shift+tab", "space", "up", "down", "left", "right",
// "home", "end", "pageup", "pagedown", "delete", "f4", "alt+N" (a letter or
// digit); nullopt for any other name.
std::optional<Key> keyNamed(std::string_view name);

// The person presses the key while `control` has the focus.  False when the
// key did nothing (it beeped).
bool pressKey(HWND control, const Key& key);

}  // namespace vx70::engine
