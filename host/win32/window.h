// The host's window manager: a headless Win32-shaped window system.
// Windows live in one table owned by the user-interface thread; every call
// here and every Win32 function of user32.cpp runs on that thread.
//
// A window belongs to a class (case-insensitive name) whose procedure
// receives every message.  Each class keeps its own per-window state in
// Window::data.  Besides the Win32 messages, classes answer the host's
// private messages below, through which a front end acts as a user would
// (type, click, select...) and reads what a user would see (describe).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "api/win32.h"

namespace vx70::win {

using WndProc = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Per-window state of a class.
struct WindowData {
  virtual ~WindowData() = default;

  // The casts asked of this state before (see stateAs): the type asked
  // for and where it lies in this object, -1 when it does not.
  struct KnownCast {
    const std::type_info* target = nullptr;
    std::ptrdiff_t offset = -1;
  };
  std::array<KnownCast, 2> knownCasts{};
  unsigned nextCast = 0;
};

// The window's state as State (a class's own or one it derives from), or
// null when the window carries none or another kind.  The same as a
// dynamic_cast, which controls ask for at every message, but remembered in
// the state itself: its type never changes, and a control asks for at most
// two kinds (its own and the grid's).
template <typename State>
State* stateAs(WindowData* data) {
  if (!data) return nullptr;
  for (const WindowData::KnownCast& known : data->knownCasts)
    if (known.target == &typeid(State))
      return known.offset < 0
                 ? nullptr
                 : reinterpret_cast<State*>(reinterpret_cast<char*>(data) + known.offset);
  State* cast = dynamic_cast<State*>(data);
  data->knownCasts[data->nextCast++ % data->knownCasts.size()] = {
      &typeid(State), cast ? reinterpret_cast<char*>(cast) - reinterpret_cast<char*>(data) : -1};
  return cast;
}

struct Window {
  HWND hwnd = 0;
  std::string className;  // as registered
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT id = 0;
  HWND parent = 0;
  HWND owner = 0;  // top-level windows: the window they were opened over
  RECT rect{};     // pixels, relative to the parent's client area
  bool enabled = true;
  bool visible = false;
  bool redraw = true;          // WM_SETREDRAW
  int invalidations = 0;       // InvalidateRect calls since creation
  std::vector<HWND> children;  // in creation (tab) order
  LONG userData = 0;           // GWL_USERDATA
  LONG dialogUser = 0;         // DWL_USER
  LONG messageResult = 0;      // DWL_MSGRESULT
  bool caretCreated = false;
  int caretHideCount = 0;  // ShowCaret/HideCaret nesting; 0 = shown
  WndProc proc = nullptr;
  std::unique_ptr<WindowData> data;
};

// ---- Classes ------------------------------------------------------------

// Registers a class; names compare without regard to case.  Registering a
// name again replaces its procedure.
void registerClass(std::string_view name, WndProc proc);
WndProc classProc(std::string_view name);  // nullptr when unknown
// The standard controls (EDIT, BUTTON, STATIC, COMBOBOX) and the engine's
// own classes register themselves through these, called once at start.
void registerStandardControls();

// ---- Windows ------------------------------------------------------------

// Creates a window of a registered class, sends it WM_CREATE (lParam =
// createParam) and appends it to its parent's children.  Returns 0 when
// the class is unknown or WM_CREATE returned -1.
HWND createWindow(std::string_view className, std::string_view text, DWORD style, RECT rect,
                  HWND parent, UINT id, void* createParam = nullptr);
// Destroys the window and its children (children first, each receiving
// WM_DESTROY), drops its posted messages and moves the focus away from it.
void destroyWindow(HWND window);
// nullptr for 0, a destroyed window or a stale handle.
Window* find(HWND window);
Window& get(HWND window);              // throws std::invalid_argument when find fails
HWND childById(HWND parent, UINT id);  // direct children only
// Every window whose parent chain leads to `ancestor` (not itself), in
// depth-first creation order.
std::vector<HWND> descendants(HWND ancestor);
// Top-level windows in creation order.
std::vector<HWND> topLevelWindows();
std::size_t windowCount();

LRESULT defWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Sends WM_COMMAND (id, code, control) to the control's parent.
void notifyParent(HWND control, WORD code);

// ---- Posted messages ------------------------------------------------------

struct PostedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Delivers posted messages in order until the queue is empty (messages
// posted meanwhile included).  Returns how many were delivered.
std::size_t dispatchPosted();
std::size_t postedCount();
// Takes the messages posted to the window out of the queue, in the order
// they were posted (to post them again later, or never).
std::vector<PostedMessage> takePosted(HWND window);

// ---- Focus, cursor and caret ------------------------------------------------

// Moves the focus: WM_KILLFOCUS to the old window, WM_SETFOCUS to the new.
HWND setFocus(HWND window);
HWND focus();
// The next (or previous) enabled, visible WS_TABSTOP control of the
// dialog after `from`, wrapping round; 0 when none.  A control that lies
// wholly outside its parent's client area is never a stop: nobody sees it.
HWND nextTabStop(HWND dialog, HWND from, bool backwards = false);

// The top-level window that a window lies in (itself when top-level).
HWND topLevelOf(HWND window);
// A person sees the window: it and every window above it up to its
// top-level window are visible, and it lies at least partly inside its
// parent's client area.
bool seenByUser(HWND window);
HCURSOR cursor();
// SetCursor: shows the cursor and returns the one shown before.
HCURSOR setCursor(HCURSOR cursor);

// ---- Private messages of the host -------------------------------------------
// A front end acts on a control as a user would through these.  Each
// returns 0 when done, -1 when the control does not take that action.

inline constexpr UINT VXM_FIRST = 0x8000;  // WM_APP
// The user replaces the text: lParam = const char* (upper-cased, cut to the
// limit, EN_UPDATE/EN_CHANGE and the modified flag as typing gives them).
inline constexpr UINT VXM_TYPE = 0x8001;
// The user clicks: push button, check box toggle, radio button choice.
inline constexpr UINT VXM_CLICK = 0x8002;
// The user chooses entry wParam of a list (combo, grid-combo, grid row).
inline constexpr UINT VXM_SELECT = 0x8003;
// The user types into a grid cell: lParam = const CellInput*.
inline constexpr UINT VXM_CELL = 0x8004;
// The user double-clicks row wParam of a grid.
inline constexpr UINT VXM_ACTIVATE = 0x8005;
// Fills lParam (nlohmann::json*, an object) with what a user sees of the
// control beyond the common fields: checked, selection, items, rows...
inline constexpr UINT VXM_DESCRIBE = 0x8006;

// Engine controls whose value is a number (calculator edits, grid-combos
// with an 8-byte value): lParam = const double* / double*.
inline constexpr UINT VXM_SETDOUBLE = 0x8010;
inline constexpr UINT VXM_GETDOUBLE = 0x8011;
// Calculator edits: wParam = decimal places shown.
inline constexpr UINT VXM_SETDECIMALS = 0x8012;
// The user opens a grid-combo's drop-down list (rows are fetched).
inline constexpr UINT VXM_DROPDOWN = 0x8013;
// A plain edit that holds a number, as the engine's number fields do:
// wParam kDecimalNumber takes blanks, a sign, digits and one point;
// kWholeNumber takes digits only, up to the value in lParam (what the
// field's buffer holds); 0 makes it a text field again.  Typing that is
// no such number, or is longer than the edit's limit (a number is never
// cut), is refused (-1) and the edit keeps its text.
inline constexpr UINT VXM_SETNUMBER = 0x8014;
inline constexpr WPARAM kDecimalNumber = 1;
inline constexpr WPARAM kWholeNumber = 2;

struct CellInput {
  int row;
  UINT column;  // column identifier
  const char* text;
};

// A window as a user sees it: identifier, class, text (masked for
// passwords), enabled, visible, focus, and the class's own fields.
void describe(HWND window, nlohmann::json& out);

// Forgets every window, class registration stays.  For tests.
void reset();

}  // namespace vx70::win
