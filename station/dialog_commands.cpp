// The commands that act on the module's dialogs as a person would: open
// one from the main window, type, leave a field, click, select, fill a
// grid cell, double-click a row, press a key, turn a page, close.  Each
// checks first that a person could do it (the dialog is open, the control
// exists, is shown and enabled) and otherwise changes nothing.
#include <optional>

#include "host/engine/dialog.h"
#include "host/engine/keyboard.h"
#include "host/win32/controls.h"
#include "host/win32/window.h"
#include "station/station_impl.h"

namespace vx70 {

using script::Command;
using script::expectArgs;
using script::kMaxIdentifier;
using script::kMaxRow;
using script::parseNumber;
using script::ScriptError;

namespace {

// A dialog, control or column identifier: a 16-bit word.
UINT identifierArg(const Command& c, std::size_t i, const char* what) {
  return static_cast<UINT>(parseNumber(c, i, what, kMaxIdentifier));
}

// A row or an entry index, as the grids count them.
int rowArg(const Command& c, std::size_t i, const char* what) {
  return static_cast<int>(parseNumber(c, i, what, kMaxRow));
}

HWND controlArg(const Command& c, HWND dialog, std::size_t i) {
  UINT id = identifierArg(c, i, "control");
  HWND control = engine::dialogControl(dialog, id);
  if (!control)
    throw ScriptError(c.line, c.word() + ": dialog " + std::to_string(GetDEDialogID(dialog)) +
                                  " has no control " + std::to_string(id));
  return control;
}

// The open dialog that holds the input: the innermost one that is not a
// page.
UINT modalDialog() {
  auto open = engine::openDialogs();
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    if (!it->page) return it->id;
  return 0;
}

// While a modal dialog runs, its owner and everything in it take no input,
// whoever asks: the person is told which dialog holds it.
void requireInputReaches(const Command& c, HWND window) {
  if (win::takesUserInput(window)) return;
  HWND dialog = win::topLevelOf(window);
  UINT holder = modalDialog();
  std::string what = c.word() + ": dialog " + std::to_string(GetDEDialogID(dialog));
  if (holder && holder != GetDEDialogID(dialog))
    throw ScriptError(c.line,
                      what + " takes no input while dialog " + std::to_string(holder) + " is open");
  throw ScriptError(c.line, what + " is disabled");
}

// A person can act only on a control that is shown and enabled.
void requireUsable(const Command& c, HWND control) {
  win::Window& w = win::get(control);
  std::string what = c.word() + ": control " + std::to_string(w.id);
  if (!w.visible) throw ScriptError(c.line, what + " is hidden");
  if (!w.enabled) throw ScriptError(c.line, what + " is disabled");
  requireInputReaches(c, win::get(control).parent);
  if (win::seenByUser(control)) return;
  HWND page = win::get(control).parent;
  if (win::find(page) && !win::get(page).visible)
    throw ScriptError(c.line, what + " is on page " + std::to_string(GetDEDialogID(page)) +
                                  ", which is not in front");
  throw ScriptError(c.line, what + " lies outside its dialog, out of sight");
}

void userMessage(const Command& c, HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                 const char* refusal) {
  // Marked before, for the handlers that the change itself calls, and
  // after, for the next command, whatever those handlers read meanwhile.
  engine::noteUserInput(control);
  LRESULT result = win::send(control, message, wParam, lParam);
  if (win::find(control)) engine::noteUserInput(control);
  if (result == -1)
    throw ScriptError(
        c.line, c.word() + ": control " + std::to_string(win::get(control).id) + " " + refusal);
}

engine::Key keyArg(const Command& c, std::size_t i) {
  std::optional<engine::Key> key = engine::keyNamed(c.tokens[i].text);
  if (!key) throw ScriptError(c.line, "key: unknown key \"" + c.tokens[i].text + "\"");
  return *key;
}

}  // namespace

HWND dialogArg(const Command& c, std::size_t i) {
  UINT id = identifierArg(c, i, "dialog");
  HWND d = engine::findOpenDialog(id);
  if (!d) throw ScriptError(c.line, c.word() + ": no open dialog " + std::to_string(id));
  return d;
}

HWND usableControl(const Command& c, std::size_t args) {
  expectArgs(c, args, args);
  HWND control = controlArg(c, dialogArg(c, 1), 2);
  requireUsable(c, control);
  return control;
}

void Station::Impl::run(const Command& c) {
  const std::string& w = c.word();
  if (w == "open") return open(c);
  if (w == "type") return type(c);
  if (w == "leave") return leave(c);
  if (w == "click") return click(c);
  if (w == "select") return select(c);
  if (w == "cell") return cell(c);
  if (w == "activate") return activate(c);
  if (w == "page") return page(c);
  if (w == "close") return close(c);
  if (w == "key") return key(c);
  if (w == "menu") return menu(c);
  if (w == "show") return show(c);
  if (w == "wait") return waitUpdate(c);
  if (isAnswerCommand(w)) throw ScriptError(c.line, w + ": nothing waits for an answer");
  throw ScriptError(c.line, "unknown command \"" + w + "\"");
}

void Station::Impl::open(const Command& c) {
  expectArgs(c, 1, 2);
  UINT id = identifierArg(c, 1, "dialog");
  UINT param = c.tokens.size() > 2 ? static_cast<UINT>(parseNumber(c, 2, "parameter")) : 0;
  auto open = engine::openDialogs();
  if (!open.empty())
    throw ScriptError(c.line, "open: dialog " + std::to_string(open.back().id) +
                                  " is open; the main window takes no commands until it closes");
  if (!module->resources().dentry(static_cast<std::uint16_t>(id)))
    throw ScriptError(c.line, "open: the module has no dialog " + std::to_string(id));
  CreateDEDialog(mainWindow, kDefaultsModuleNumber, id, param);
}

// Focus moves to the control first, as a click or a Tab does; what the
// old control does on losing it (a check, a message) happens first.
// Returns false when that changed the dialog so that the action is lost.
bool Station::Impl::focusFirst(HWND control) {
  if (win::focus() == control) return true;
  int asked = questionsAsked;
  win::setFocus(control);
  return asked == questionsAsked && win::find(control) && win::get(control).enabled;
}

void Station::Impl::type(const Command& c) {
  HWND control = usableControl(c, 3);
  const std::string text = script::textArg(c, 3);
  if (!focusFirst(control)) return;
  userMessage(c, control, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>(text.c_str()),
              "refused the typing (disabled, read-only, or a number field that cannot hold it: "
              "not a number, out of its range or longer than its length)");
}

void Station::Impl::leave(const Command& c) {
  expectArgs(c, 2, 2);
  HWND d = dialogArg(c, 1);
  HWND control = controlArg(c, d, 2);
  requireInputReaches(c, control);
  if (win::focus() != control) win::setFocus(control);
  HWND next = win::nextTabStop(win::get(control).parent, control);
  win::setFocus(next && next != control ? next : d);
}

void Station::Impl::click(const Command& c) {
  HWND control = usableControl(c, 2);
  if (!focusFirst(control)) return;
  userMessage(c, control, win::VXM_CLICK, 0, 0, "cannot be clicked");
}

void Station::Impl::select(const Command& c) {
  HWND control = usableControl(c, 3);
  WPARAM index = static_cast<WPARAM>(rowArg(c, 3, "index"));
  if (!focusFirst(control)) return;
  userMessage(c, control, win::VXM_SELECT, index, 0, "has no such entry");
}

void Station::Impl::cell(const Command& c) {
  HWND grid = usableControl(c, 5);
  const std::string text = script::textArg(c, 5);
  win::CellInput input{rowArg(c, 3, "row"), identifierArg(c, 4, "column"), text.c_str()};
  if (!focusFirst(grid)) return;
  userMessage(c, grid, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input),
              "refused the cell (no such row or column, or not a value of its type)");
}

void Station::Impl::activate(const Command& c) {
  HWND grid = usableControl(c, 3);
  WPARAM row = static_cast<WPARAM>(rowArg(c, 3, "row"));
  if (!focusFirst(grid)) return;
  userMessage(c, grid, win::VXM_ACTIVATE, row, 0, "has no such row");
}

// The key goes to the control that has the focus; the engine's keyboard
// decides what it does, as the dialog manager would.
void Station::Impl::key(const Command& c) {
  HWND control = usableControl(c, 3);
  engine::Key key = keyArg(c, 3);
  if (!focusFirst(control)) return;
  engine::pressKey(control, key);
}

void Station::Impl::page(const Command& c) {
  expectArgs(c, 2, 2);
  HWND d = dialogArg(c, 1);
  requireInputReaches(c, d);
  int index = rowArg(c, 2, "page index");
  const std::string what = "page: dialog " + c.tokens[1].text;
  const std::string page = ": page " + std::to_string(index);
  switch (engine::pageRefusal(d, index)) {
    case engine::PageRefusal::noSuchPage:
      throw ScriptError(c.line, what + " has no page " + std::to_string(index));
    case engine::PageRefusal::hidden:
      throw ScriptError(c.line, what + page + " is hidden: the dialog took it away");
    case engine::PageRefusal::disabled:
      throw ScriptError(c.line, what + page + " is disabled");
    case engine::PageRefusal::none:
      break;
  }
  engine::showPage(d, index);
}

// The close box acts as Cancel.  A handler that keeps its dialog open
// without a word would leave the person guessing, so the command says so.
void Station::Impl::close(const Command& c) {
  expectArgs(c, 1, 1);
  HWND d = dialogArg(c, 1);
  for (const auto& o : engine::openDialogs())
    if (o.hwnd == d && o.page) d = o.container;
  requireInputReaches(c, d);
  // The close box is refused while the dialog's Cancel is disabled.
  if (HWND cancel = engine::dialogControl(d, IDCANCEL); cancel && !win::get(cancel).enabled)
    throw ScriptError(c.line, "close: dialog " + std::to_string(GetDEDialogID(d)) +
                                  " cannot be closed while its Cancel button is disabled");
  const UINT id = GetDEDialogID(d);
  const int line = c.line;
  const int finished = commandsFinished;
  win::send(d, WM_CLOSE, 0, 0);
  // When the station waited for input meanwhile (a question, a dialog the
  // handler opened), this command ended there and what the person saw
  // said what happens; `c` is gone with it.
  if (commandsFinished != finished || engine::findOpenDialog(id) != d) return;
  throw ScriptError(line, "close: dialog " + std::to_string(id) +
                              " stays open: its handler does not close it on Cancel");
}

}  // namespace vx70
