// The dialog engine: builds a module's dialog from its description
// resources, owns its value buffers, calls the module's handlers and runs
// the dialog modally.  The VX70DE32 functions of api/host_api.h are thin
// wrappers over this.
//
// A dialog is a window of the engine's dialog class.  Its entries (one per
// CENTRY entry) hold the value buffers: a record slot owns its bytes and
// storage-2 fields point into a slot; a page's links (type 0x1F) point at
// the container's entry of the same identifier.  Buffers are shown in
// their windows by UpdateDEDialog/UpdateDEControl; what the user changes in
// a window is taken back into its buffer just before the next handler call,
// so a handler that writes a buffer without showing it keeps its value.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "api/win32.h"
#include "host/loader/module.h"

namespace vx70::engine {

// The window class of every engine dialog and page.
inline constexpr const char* kDialogClass = "VX70Dialog";

// Engine messages that handlers send to a dialog: 1025 before focusing a
// field on a page (the page of the field focused next comes to the front
// when the handler returns), 1026 (wParam = page index) brings a page to
// the front, 1031 (wParam = page index, lParam 1) for the pages not chosen
// at opening (what such a page's Init posts to itself, its opening focus,
// waits until the person first brings the page to the front).  A page that
// its dialog hides (ShowWindow) or disables cannot come to the front.
inline constexpr UINT kMsgFocusPrepare = 1025;
inline constexpr UINT kMsgPageToFront = 1026;
inline constexpr UINT kMsgPageNotChosen = 1031;

// Dialog units of the templates' 8-point fonts, in pixels per 4 (x) and
// per 8 (y) units.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;
RECT dialogUnitsToPixels(int x, int y, int cx, int cy);

// Modules the engine can open dialogs of, by number.
void registerModule(Module* module);
void unregisterModule(int number);
Module* moduleByNumber(int number);

// Registers the engine's window classes (dialogs, the standard and engine
// controls).  Called once by the station before any window exists.
void registerEngineClasses();

// Opens a dialog modally; see CreateDEDialog.  Returns the result given to
// DestroyDEDialog, or 0 when the dialog cannot be built.
UINT runDialog(HWND parent, int module, UINT dialogId, UINT initParam);

// A window of the engine's grid class.
bool isGridWindow(HWND window);

// Marks the entry bound to `control` as changed by the user, so that its
// window's value goes into the buffer before the next handler call.
void noteUserInput(HWND control);

// The open dialogs (containers, stand-alone dialogs and pages), outermost
// first; pages follow their container.
struct OpenDialog {
  HWND hwnd;
  UINT id;
  int module;
  bool page;
  HWND container;  // pages: their container; else 0
  HWND parent;     // the window the dialog was opened over
};
std::vector<OpenDialog> openDialogs();
// The innermost open dialog or page with that identifier, 0 if none.
HWND findOpenDialog(UINT dialogId);
// The control of that identifier in a dialog: its own windows, and for a
// container also the frame buttons; 0 if none.
HWND dialogControl(HWND dialog, UINT controlId);
// Brings page `index` of a tabbed dialog to the front, as clicking its tab.
// The focus, if it was on the page that went, moves to the new page's
// first tab stop.  False when the page cannot come to the front.
bool showPage(HWND container, int index);
// Whether page `index` can come to the front, and if not, why: the dialog
// has no such page, hid it (it has no tab) or disabled it.
enum class PageRefusal { none, noSuchPage, hidden, disabled };
PageRefusal pageRefusal(HWND container, int index);
// Brings the next (step 1) or previous (step -1) page that can come to the
// front there, as Ctrl+Tab does; false when there is none.
bool turnPage(HWND container, int step);
// Describes one open dialog with all its controls (for `show`).
void describeDialog(HWND dialog, nlohmann::json& out);

// Waits for the user between messages of a modal dialog: the station's
// input loop.  Set by the station; without one, a dialog ends at once.
using InputWait = std::function<void()>;
void setInputWait(InputWait wait);

// A module's dialog whose controls the package fills and keeps itself,
// while the module's handlers do nothing for it: the engine closes it on
// OK (result 1) and Cancel (result 0).
void registerEngineKeptDialog(int module, UINT dialogId);

// The dialogs built into the host that belong to other modules of the
// package: a builder makes the dialog's windows and runs it.
using HostDialog = std::function<UINT(HWND parent, UINT initParam)>;
void registerHostDialog(int module, UINT dialogId, HostDialog run);

// Ends every open dialog (the station is closing); each loop returns 0.
void closeAllDialogs();

}  // namespace vx70::engine
