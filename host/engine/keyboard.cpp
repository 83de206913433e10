#include "host/engine/keyboard.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <vector>

#include "api/grid_messages.h"
#include "host/engine/dialog.h"
#include "host/events.h"
#include "host/win32/controls.h"
#include "host/win32/window.h"

namespace vx70::engine {
namespace {

// What a control is, for the keys.
enum class Kind {
  edit,
  multiLineEdit,
  push,
  check,
  radio,
  groupBox,
  label,
  combo,
  lookup,
  grid,
  other
};

std::string lowerClass(HWND w) {
  std::string name = win::get(w).className;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

Kind buttonKindOf(DWORD style) {
  switch (win::buttonKind(style)) {
    case win::ButtonKind::push:
      return Kind::push;
    case win::ButtonKind::radio:
      return Kind::radio;
    case win::ButtonKind::group:
      return Kind::groupBox;
    default:
      return Kind::check;
  }
}

Kind kindOf(HWND w) {
  const std::string cls = lowerClass(w);
  const DWORD style = win::get(w).style;
  if (cls == "edit") return (style & ES_MULTILINE) ? Kind::multiLineEdit : Kind::edit;
  if (cls == "#vx32calcedit") return Kind::edit;
  if (cls == "button" || cls == "__03button__") return buttonKindOf(style);
  if (cls == "static") return Kind::label;
  if (cls == "combobox") return Kind::combo;
  if (cls == "__03combo__") return Kind::lookup;
  if (cls == "__03grid__") return Kind::grid;
  return Kind::other;
}

bool isButton(Kind k) { return k == Kind::push || k == Kind::check || k == Kind::radio; }

// What the control asks of the key: its own WM_GETDLGCODE answer, or the
// answer of its kind.
UINT dialogCode(HWND control, UINT vk) {
  if (auto code = static_cast<UINT>(win::send(control, WM_GETDLGCODE, vk, 0))) return code;
  switch (kindOf(control)) {
    case Kind::multiLineEdit:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (vk == VK_RETURN ? DLGC_WANTALLKEYS : 0);
    case Kind::lookup:
    case Kind::edit:
    case Kind::combo:
    case Kind::grid:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case Kind::push:
      return DLGC_BUTTON |
             ((win::get(control).style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                                                                          : DLGC_UNDEFPUSHBUTTON);
    case Kind::radio:
      return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case Kind::check:
      return DLGC_BUTTON;
    case Kind::label:
    case Kind::groupBox:
      return DLGC_STATIC;
    default:
      return 0;
  }
}

void beep() { events::emit(nlohmann::json{{"event", "beep"}}); }

// The person's action on a control, marked as input for the engine.
LRESULT userInput(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  noteUserInput(control);
  LRESULT result = win::send(control, message, wParam, lParam);
  if (win::find(control)) noteUserInput(control);
  return result;
}

bool usable(HWND w) { return win::seenByUser(w) && win::takesUserInput(w); }

// The top-level dialog's controls in creation order: frame buttons and the
// page in front alike.
std::vector<HWND> controlsOf(HWND top) { return win::descendants(top); }

HWND firstWithId(HWND top, UINT id) {
  for (HWND w : controlsOf(top))
    if (win::get(w).id == id && isButton(kindOf(w))) return w;
  return 0;
}

// ---- Enter and Escape ------------------------------------------------------------

HWND defaultButton(HWND top, HWND focused) {
  if (kindOf(focused) == Kind::push) return focused;
  LRESULT answer = win::send(top, DM_GETDEFID, 0, 0);
  if (HIWORD(answer) == DC_HASDEFID) return firstWithId(top, LOWORD(answer));
  for (HWND w : controlsOf(top))
    if (kindOf(w) == Kind::push && (win::get(w).style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
        win::seenByUser(w))
      return w;
  return 0;
}

// Enter and Escape give the dialog the button's command without moving the
// focus, unlike a click: the field being typed in keeps it and hears no
// kill-focus notification.
bool command(HWND button) {
  win::notifyParent(button, BN_CLICKED);
  return true;
}

bool pressDefault(HWND top, HWND focused) {
  HWND button = defaultButton(top, focused);
  if (!button) {
    win::send(top, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  }
  return usable(button) && command(button);
}

bool pressCancel(HWND top) {
  HWND cancel = firstWithId(top, IDCANCEL);
  if (!cancel) {
    win::send(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
  }
  return usable(cancel) && command(cancel);
}

// ---- Tab and groups ----------------------------------------------------------------

bool isChecked(HWND w) { return win::send(w, BM_GETCHECK) == BST_CHECKED; }

// The controls of the WS_GROUP group that `control` belongs to, among its
// siblings.
std::vector<HWND> groupOf(HWND control) {
  const auto& siblings = win::get(win::get(control).parent).children;
  auto at = std::find(siblings.begin(), siblings.end(), control);
  auto first = at;
  while (first != siblings.begin() && !(win::get(*first).style & WS_GROUP)) --first;
  auto last = at + 1;
  while (last != siblings.end() && !(win::get(*last).style & WS_GROUP)) ++last;
  return {first, last};
}

// Tabbing into a radio group lands on its chosen button.
HWND checkedOfGroup(HWND radio) {
  if (kindOf(radio) != Kind::radio || isChecked(radio)) return radio;
  for (HWND w : groupOf(radio))
    if (kindOf(w) == Kind::radio && isChecked(w) && usable(w)) return w;
  return radio;
}

bool tab(HWND top, HWND from, bool backwards) {
  HWND next = win::nextTabStop(top, from, backwards);
  if (!next) return false;
  win::focusForUser(checkedOfGroup(next));
  return true;
}

bool moveInGroup(HWND control, bool forwards) {
  std::vector<HWND> group = groupOf(control);
  auto at = std::find(group.begin(), group.end(), control);
  const auto count = static_cast<std::ptrdiff_t>(group.size());
  for (std::ptrdiff_t step = 1; step < count; ++step) {
    std::ptrdiff_t index = ((at - group.begin()) + (forwards ? step : count - step)) % count;
    HWND next = group[static_cast<std::size_t>(index)];
    if (!usable(next) || kindOf(next) == Kind::label || kindOf(next) == Kind::groupBox) continue;
    if (!win::focusForUser(next)) return true;
    if (kindOf(next) == Kind::radio) userInput(next, win::VXM_CLICK);
    return true;
  }
  return false;
}

// ---- Lists ---------------------------------------------------------------------------

// The row or entry an arrow, Page or Home/End key leads to from `current`
// in a list of `count`; nullopt for other keys.
std::optional<int> movedTo(UINT vk, int current, int count) {
  int target;
  switch (vk) {
    case VK_UP:
      target = current - 1;
      break;
    case VK_DOWN:
      target = current + 1;
      break;
    case VK_PRIOR:
      target = current - 10;
      break;
    case VK_NEXT:
      target = current + 10;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = count - 1;
      break;
    default:
      return std::nullopt;
  }
  return std::clamp(target, 0, count - 1);
}

bool moveInList(HWND list, UINT vk, UINT countMessage, UINT currentMessage) {
  const auto count = static_cast<int>(win::send(list, countMessage));
  if (count <= 0) return false;
  const auto current = static_cast<int>(win::send(list, currentMessage));
  std::optional<int> target = movedTo(vk, current, count);
  if (!target) return true;
  if (*target == current) return true;
  return userInput(list, win::VXM_SELECT, static_cast<WPARAM>(*target)) != -1;
}

// ---- Access keys --------------------------------------------------------------------

// The letter that "&" marks in a caption ("&&" is an ampersand), or 0.
char accessKeyOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

bool pressAccessKey(HWND top, char letter) {
  for (HWND w : controlsOf(top)) {
    if (!usable(w) || accessKeyOf(win::get(w).text) != letter) continue;
    Kind kind = kindOf(w);
    if (isButton(kind)) {
      if (win::focusForUser(w)) userInput(w, win::VXM_CLICK);
      return true;
    }
    if (kind == Kind::label || kind == Kind::groupBox) {
      HWND next = win::nextTabStop(top, w);
      if (next) win::focusForUser(next);
      return next != 0;
    }
  }
  return false;
}

// ---- One key -------------------------------------------------------------------------

bool wants(UINT code, UINT vk) {
  if (code & DLGC_WANTALLKEYS) return true;
  if (vk == VK_TAB) return code & DLGC_WANTTAB;
  if (vk >= VK_LEFT && vk <= VK_DOWN) return code & DLGC_WANTARROWS;
  return false;
}

bool isListKey(UINT vk) {
  return vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_HOME ||
         vk == VK_END;
}

// A key the focused control handles itself: a list moves its current row
// or choice, a look-up field opens its list on F4, anything else goes to
// the control as WM_KEYDOWN.
bool controlKey(HWND control, UINT vk) {
  switch (kindOf(control)) {
    case Kind::grid:
      if (isListKey(vk)) return moveInList(control, vk, GM_ROWCOUNT, GM_CURRENTROW);
      break;
    case Kind::combo:
      if (isListKey(vk)) return moveInList(control, vk, CB_GETCOUNT, CB_GETCURSEL);
      break;
    case Kind::lookup:
      // F4 opens what the field's button opens: a list's rows, or a look-up
      // field's account finder.
      if (vk == VK_F4) return userInput(control, win::VXM_CLICK) != -1;
      // A grid-combo list moves its choice as a combo box does; a look-up
      // field has no rows and leaves the arrows to its text.
      if (isListKey(vk) && win::send(control, CB_GETCOUNT) > 0)
        return moveInList(control, vk, CB_GETCOUNT, CB_GETCURSEL);
      break;
    default:
      break;
  }
  userInput(control, WM_KEYDOWN, vk, 0);
  return true;
}

// Arrows among buttons move within their group.
bool buttonArrow(HWND control, UINT vk) {
  if (vk == VK_UP || vk == VK_LEFT) return moveInGroup(control, false);
  if (vk == VK_DOWN || vk == VK_RIGHT) return moveInGroup(control, true);
  return true;
}

bool press(HWND control, const Key& key) {
  HWND top = win::topLevelOf(control);
  if (key.alt) return pressAccessKey(top, static_cast<char>(key.vk));
  if (key.vk == VK_TAB && key.ctrl) return turnPage(top, key.shift ? -1 : 1);
  if (wants(dialogCode(control, key.vk), key.vk)) return controlKey(control, key.vk);
  const bool button = isButton(kindOf(control));
  switch (key.vk) {
    case VK_TAB:
      return tab(top, control, key.shift);
    case VK_RETURN:
      return pressDefault(top, control);
    case VK_ESCAPE:
      return pressCancel(top);
    case VK_SPACE:
      if (button) return userInput(control, win::VXM_CLICK) != -1;
      return controlKey(control, key.vk);
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (button) return buttonArrow(control, key.vk);
      return controlKey(control, key.vk);
    default:
      return controlKey(control, key.vk);
  }
}

}  // namespace

std::optional<Key> keyNamed(std::string_view name) {
  Key key;
  auto takePrefix = [&](std::string_view prefix, bool& flag) {
    if (name.substr(0, prefix.size()) != prefix) return;
    flag = true;
    name.remove_prefix(prefix.size());
  };
  takePrefix("ctrl+", key.ctrl);
  takePrefix("shift+", key.shift);
  takePrefix("alt+", key.alt);
  if (key.alt) {
    if (key.ctrl || key.shift || name.size() != 1 ||
        !std::isalnum(static_cast<unsigned char>(name[0])))
      return std::nullopt;
    key.vk = static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
    return key;
  }
  static const std::pair<std::string_view, UINT> kKeys[] = {
      {"enter", VK_RETURN},  {"escape", VK_ESCAPE}, {"tab", VK_TAB},     {"space", VK_SPACE},
      {"left", VK_LEFT},     {"up", VK_UP},         {"right", VK_RIGHT}, {"down", VK_DOWN},
      {"delete", VK_DELETE}, {"f4", VK_F4},         {"home", VK_HOME},   {"end", VK_END},
      {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT}};
  for (auto [keyName, vk] : kKeys)
    if (name == keyName) key.vk = vk;
  if (!key.vk) return std::nullopt;
  // Shift and Ctrl go only with Tab.
  if ((key.shift || key.ctrl) && key.vk != VK_TAB) return std::nullopt;
  return key;
}

bool pressKey(HWND control, const Key& key) {
  if (!win::find(control)) return false;
  bool done = press(control, key);
  if (!done) beep();
  return done;
}

}  // namespace vx70::engine
