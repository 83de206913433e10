// The standard controls (EDIT, BUTTON, STATIC, COMBOBOX) and the engine's
// push button and colour box, as far as other classes build on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "host/win32/window.h"

namespace vx70::win {

// The engine's colour box takes its colour (a COLORREF in lParam) through
// this message.
inline constexpr UINT BOXM_SETCOLOR = WM_USER + 6;  // 1030
// The colour a box shows; white for a window that is not a box.
COLORREF boxColour(HWND box);

// An edit's text limit when nothing was set, and the limit that
// EM_LIMITTEXT 0 stands for.
inline constexpr std::size_t kDefaultEditLimit = 32767;
inline constexpr std::size_t kMaxEditLimit = 0x7FFFFFFE;

// Per-window state of an edit.  A class that hands messages on to the
// EDIT procedure (a calculator edit, a cell editor) keeps its own state in
// a type derived from this one.
struct EditState : WindowData {
  std::size_t limit = kDefaultEditLimit;
  bool modified = false;
  WPARAM number = 0;               // VXM_SETNUMBER: the number typing must give
  std::uint64_t wholeMaximum = 0;  // kWholeNumber: the largest it takes
};

// A number as a user may type it into a number field: blanks around an
// optional sign, digits and at most one decimal point (empty counts as 0).
bool isTypedNumber(std::string_view text);
// A whole number as a user may type it: blanks around an optional plus
// sign and digits (empty counts as 0); nullopt for anything else or for
// more than 18 digits.
std::optional<std::uint64_t> typedWholeNumber(std::string_view text);

// What a BUTTON or engine button is by its style: a push button (plain or
// default), a check box (two or three states), a radio button, or a group
// box.
enum class ButtonKind { push, check, radio, group };
ButtonKind buttonKind(DWORD style);

// True when a user could act on the window: it and every window above it
// are enabled.
bool takesUserInput(HWND window);
// A user's click or keystroke first puts the focus on the control, which
// sends the kill-focus notification of the control that had it.  False
// when the control is gone afterwards, can no longer take input, or a
// handler of that notification kept the focus elsewhere (the action is
// then lost, as a click is when a validation message takes the focus).
bool focusForUser(HWND window);

// The text as a control with these case styles (ES_UPPERCASE or
// ES_LOWERCASE, CBS_UPPERCASE or CBS_LOWERCASE) shows it; letters of the
// Windows Western code page are converted too.
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

}  // namespace vx70::win
