// The standard controls and the engine's push button and colour box.
// Each sends its parent the WM_COMMAND notifications that the Win32
// control sends for the same call, and takes the host's user actions
// (VXM_TYPE, VXM_CLICK, VXM_SELECT) as a user's keystrokes and clicks:
// the control first takes the focus, then changes as typing or clicking
// would change it.
//
// A notification may run a handler that destroys the control (a button
// that closes its dialog), so no procedure uses a window's state after
// notifying unless it looks the window up again.
#include "host/win32/controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "api/host_api.h"

namespace vx70::win {
namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// ---- Text ----

// Windows-1252 letters: ASCII, the accented range 0xC0-0xFE (without the
// signs 0xD7 and 0xF7 and the sharp s) and the four pairs of 0x8A-0x9F.
unsigned char upperOf(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
    return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return static_cast<unsigned char>(c - 0x10);
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

unsigned char lowerOf(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

std::string mapped(std::string_view text, unsigned char (*map)(unsigned char)) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return out;
}

std::string textArg(LPARAM lParam) {
  return lParam ? std::string(reinterpret_cast<const char*>(lParam)) : std::string();
}

int indexArg(WPARAM wParam) { return static_cast<int>(static_cast<std::intptr_t>(wParam)); }

nlohmann::json& describeArg(LPARAM lParam) { return *reinterpret_cast<nlohmann::json*>(lParam); }

// The window's state of the class's own type, made on first use; nullptr
// when the window is gone or carries another class's state.
template <typename State>
State* stateOf(HWND window) {
  Window* w = find(window);
  if (!w) return nullptr;
  if (!w->data) w->data = std::make_unique<State>();
  return stateAs<State>(w->data.get());
}

// The engine's captions carry a value after their last comma:
// "Customers,0x80ff80" (a box and its colour), "Click here to change
// colour,656" (a button and a number of the engine's).
struct Caption {
  std::string label;
  std::string tail;  // empty when the caption has no comma
};

Caption splitCaption(std::string_view caption) {
  auto comma = caption.rfind(',');
  if (comma == std::string_view::npos) return {std::string(caption), {}};
  return {std::string(caption.substr(0, comma)), std::string(caption.substr(comma + 1))};
}

bool isNumber(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool parseColour(const std::string& text, COLORREF& colour) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 16);
  if (*end != '\0' || value > 0xFFFFFFFFul) return false;
  colour = static_cast<COLORREF>(value);
  return true;
}

// ---- EDIT ----

std::string editCase(DWORD style, std::string_view text) {
  if (style & ES_UPPERCASE) return upperCase(text);
  if (style & ES_LOWERCASE) return lowerCase(text);
  return std::string(text);
}

bool editTakesTyping(HWND edit) {
  Window* w = find(edit);
  return w && !(w->style & ES_READONLY) && takesUserInput(edit);
}

// As Win32: the text is set without regard to the limit, the modified flag
// is cleared, and a single-line edit tells its parent EN_UPDATE then
// EN_CHANGE.
LRESULT editSetText(HWND edit, LPARAM lParam) {
  Window& w = get(edit);
  w.text = editCase(w.style, textArg(lParam));
  stateOf<EditState>(edit)->modified = false;
  if (w.style & ES_MULTILINE) return TRUE;
  notifyParent(edit, EN_UPDATE);
  notifyParent(edit, EN_CHANGE);
  return TRUE;
}

std::string_view withoutBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether a number field takes the typed text whole: a number of its kind
// that its value holds, within its length.
bool numberFits(const EditState& state, std::string_view typed) {
  if (typed.size() > state.limit) return false;
  if (state.number != kWholeNumber) return isTypedNumber(typed);
  auto value = typedWholeNumber(typed);
  return value && *value <= state.wholeMaximum;
}

}  // namespace

bool isTypedNumber(std::string_view text) {
  text = withoutBlanks(text);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point)
      point = true;
    else if (c < '0' || c > '9')
      return false;
  }
  return true;
}

std::optional<std::uint64_t> typedWholeNumber(std::string_view text) {
  text = withoutBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

namespace {

// The user selects all the text and types the new one: case style,
// digits only for ES_NUMBER, a number field's rule, cut at the limit with
// EN_MAXTEXT, then the modified flag and EN_UPDATE, EN_CHANGE.
LRESULT editType(HWND edit, LPARAM lParam) {
  std::string typed = textArg(lParam);
  if (!editTakesTyping(edit) || !focusForUser(edit) || !editTakesTyping(edit)) return -1;
  Window& w = get(edit);
  EditState& state = *stateOf<EditState>(edit);
  typed = editCase(w.style, typed);
  if (state.number && !numberFits(state, typed)) return -1;
  if (w.style & ES_NUMBER) std::erase_if(typed, [](char c) { return c < '0' || c > '9'; });
  bool cut = typed.size() > state.limit;
  if (cut) typed.resize(state.limit);
  w.text = typed;
  state.modified = true;
  if (cut) notifyParent(edit, EN_MAXTEXT);
  notifyParent(edit, EN_UPDATE);
  notifyParent(edit, EN_CHANGE);
  return 0;
}

LRESULT editDescribe(HWND edit, const EditState& state, LPARAM lParam) {
  const Window& w = get(edit);
  auto& out = describeArg(lParam);
  if (state.number) out["number"] = true;
  if (w.style & ES_PASSWORD) out["text"] = std::string(w.text.size(), '*');
  out["modified"] = state.modified;
  out["readOnly"] = (w.style & ES_READONLY) != 0;
  out["limit"] = state.limit;
  return 0;
}

// The edit with the focus owns the caret, shown, as in Win32.
void editTakeFocus(HWND edit) {
  const RECT& rect = get(edit).rect;
  CreateCaret(edit, 0, 1, static_cast<int>(rect.bottom - rect.top));
  ShowCaret(edit);
  notifyParent(edit, EN_SETFOCUS);
}

void editLoseFocus(HWND edit) {
  if (get(edit).caretCreated) DestroyCaret();
  notifyParent(edit, EN_KILLFOCUS);
}

LRESULT editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  EditState* state = stateOf<EditState>(edit);
  if (!state) return defWindowProc(edit, message, wParam, lParam);
  Window& w = get(edit);
  switch (message) {
    case WM_CREATE:
      w.text = editCase(w.style, w.text);
      return 0;
    case WM_SETTEXT:
      return editSetText(edit, lParam);
    case EM_LIMITTEXT:
      state->limit = wParam ? static_cast<std::size_t>(wParam) : kMaxEditLimit;
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(state->limit);
    case EM_GETMODIFY:
      return state->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      state->modified = wParam != 0;
      return 0;
    case EM_SETREADONLY:
      w.style = wParam ? (w.style | ES_READONLY) : (w.style & ~ES_READONLY);
      return TRUE;
    case EM_GETSEL:
    case EM_SETSEL:
      return 0;
    case WM_SETFOCUS:
      editTakeFocus(edit);
      return 0;
    case WM_KILLFOCUS:
      editLoseFocus(edit);
      return 0;
    case VXM_TYPE:
      return editType(edit, lParam);
    case VXM_SETNUMBER:
      state->number = wParam;
      state->wholeMaximum = static_cast<std::uint64_t>(lParam);
      return 0;
    case VXM_DESCRIBE:
      return editDescribe(edit, *state, lParam);
    default:
      return defWindowProc(edit, message, wParam, lParam);
  }
}

// ---- BUTTON and __03Button__ ----

struct ButtonState : WindowData {
  UINT check = BST_UNCHECKED;
};

}  // namespace

ButtonKind buttonKind(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return ButtonKind::check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return ButtonKind::radio;
    case BS_GROUPBOX:
      return ButtonKind::group;
    default:
      return ButtonKind::push;
  }
}

namespace {

const char* kindName(ButtonKind kind) {
  switch (kind) {
    case ButtonKind::check:
      return "check";
    case ButtonKind::radio:
      return "radio";
    case ButtonKind::group:
      return "group";
    default:
      return "push";
  }
}

// The states a button can hold: none for push buttons and group boxes,
// two for check boxes and radio buttons, three for 3-state boxes.
UINT highestCheck(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_3STATE:
    case BS_AUTO3STATE:
      return BST_INDETERMINATE;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_GROUPBOX:
      return BST_UNCHECKED;
    default:
      return buttonKind(style) == ButtonKind::push ? BST_UNCHECKED : BST_CHECKED;
  }
}

LRESULT buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT engineButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

bool isButton(const Window& w) { return w.proc == buttonProc || w.proc == engineButtonProc; }

// As Win32, a radio button is a tab stop while it is checked.
LRESULT buttonSetCheck(HWND button, ButtonState& state, WPARAM value) {
  Window& w = get(button);
  UINT check = static_cast<UINT>(std::min<WPARAM>(value, highestCheck(w.style)));
  if (buttonKind(w.style) == ButtonKind::radio)
    w.style = check ? (w.style | WS_TABSTOP) : (w.style & ~WS_TABSTOP);
  state.check = check;
  return 0;
}

// The automatic radio buttons among the siblings from the nearest
// WS_GROUP at or before the button up to the next WS_GROUP.
void uncheckGroupSiblings(HWND button) {
  Window* parent = find(get(button).parent);
  if (!parent) return;
  std::vector<HWND> siblings = parent->children;
  auto position = static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), button) -
                                           siblings.begin());
  auto startsGroup = [&](std::size_t i) { return (get(siblings[i]).style & WS_GROUP) != 0; };
  std::size_t first = position;
  while (first > 0 && !startsGroup(first)) --first;
  std::size_t end = position + 1;
  while (end < siblings.size() && !startsGroup(end)) ++end;
  for (std::size_t i = first; i < end; ++i) {
    Window* sibling = find(siblings[i]);
    if (i == position || !sibling || !isButton(*sibling)) continue;
    if ((sibling->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
      send(siblings[i], BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// A click: the button takes the focus, an automatic box or radio button
// changes its state, then BN_CLICKED.
LRESULT buttonClick(HWND button) {
  Window* w = find(button);
  if (!w || buttonKind(w->style) == ButtonKind::group) return -1;
  if (!takesUserInput(button) || !focusForUser(button)) return -1;
  UINT check = stateOf<ButtonState>(button)->check;
  switch (get(button).style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
      send(button, BM_SETCHECK, (check & BST_CHECKED) ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      send(button, BM_SETCHECK, (check + 1) % 3, 0);
      break;
    case BS_AUTORADIOBUTTON:
      send(button, BM_SETCHECK, BST_CHECKED, 0);
      uncheckGroupSiblings(button);
      break;
    default:
      break;
  }
  notifyParent(button, BN_CLICKED);
  return 0;
}

LRESULT buttonDescribe(HWND button, const ButtonState& state, LPARAM lParam) {
  ButtonKind kind = buttonKind(get(button).style);
  auto& out = describeArg(lParam);
  out["kind"] = kindName(kind);
  if (kind == ButtonKind::check || kind == ButtonKind::radio) out["checked"] = state.check;
  return 0;
}

// Focus notifications only with BS_NOTIFY, as in Win32.
void buttonFocusNotice(HWND button, WORD code) {
  if (get(button).style & BS_NOTIFY) notifyParent(button, code);
}

LRESULT buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  ButtonState* state = stateOf<ButtonState>(button);
  if (!state) return defWindowProc(button, message, wParam, lParam);
  Window& w = get(button);
  switch (message) {
    case BM_GETCHECK:
      return buttonKind(w.style) == ButtonKind::push ? 0 : static_cast<LRESULT>(state->check);
    case BM_SETCHECK:
      return buttonSetCheck(button, *state, wParam);
    case BM_GETSTATE:
      return static_cast<LRESULT>(state->check | (focus() == button ? BST_FOCUS : 0));
    case BM_SETSTATE:
      return 0;
    case BM_SETSTYLE:
      w.style = (w.style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
      return 0;
    case BM_CLICK:
      buttonClick(button);
      return 0;
    case VXM_CLICK:
      return buttonClick(button);
    case WM_SETFOCUS:
      buttonFocusNotice(button, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      buttonFocusNotice(button, BN_KILLFOCUS);
      return 0;
    case VXM_DESCRIBE:
      return buttonDescribe(button, *state, lParam);
    default:
      return defWindowProc(button, message, wParam, lParam);
  }
}

// "Click here to change colour,656" shows as "Click here to change colour".
std::string engineButtonLabel(std::string_view caption) {
  Caption parts = splitCaption(caption);
  return isNumber(parts.tail) ? parts.label : std::string(caption);
}

// The engine's push button is a BUTTON whose caption may carry a number
// after a comma; it takes the check box and radio button styles too.
LRESULT engineButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    if (Window* w = find(button)) w->text = engineButtonLabel(w->text);
  } else if (message == WM_SETTEXT) {
    std::string label = engineButtonLabel(textArg(lParam));
    return buttonProc(button, message, wParam, reinterpret_cast<LPARAM>(label.c_str()));
  }
  return buttonProc(button, message, wParam, lParam);
}

// ---- __03Box__ ----

struct BoxState : WindowData {
  COLORREF colour = kWhite;
};

// "Customers,0x80ff80": the label, and the colour when the tail reads as
// a hexadecimal number; any other caption is all label.
void applyBoxCaption(HWND box, BoxState& state, std::string_view caption) {
  Caption parts = splitCaption(caption);
  COLORREF colour = 0;
  bool coloured = parseColour(parts.tail, colour);
  get(box).text = coloured ? parts.label : std::string(caption);
  if (coloured) state.colour = colour;
}

LRESULT boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  BoxState* state = stateOf<BoxState>(box);
  if (!state) return defWindowProc(box, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      applyBoxCaption(box, *state, std::string(get(box).text));
      return 0;
    case WM_SETTEXT:
      applyBoxCaption(box, *state, textArg(lParam));
      return TRUE;
    case BOXM_SETCOLOR:
      state->colour = static_cast<COLORREF>(lParam);
      ++get(box).invalidations;
      return 0;
    case VXM_DESCRIBE: {
      char colour[16];
      std::snprintf(colour, sizeof colour, "0x%06x", static_cast<unsigned>(state->colour));
      describeArg(lParam)["colour"] = colour;
      return 0;
    }
    default:
      return defWindowProc(box, message, wParam, lParam);
  }
}

// ---- COMBOBOX ----

struct ComboItem {
  std::string text;
  LRESULT data = 0;
};

struct ComboState : WindowData {
  std::vector<ComboItem> items;
  int selection = -1;
  std::size_t limit = kDefaultEditLimit;
};

bool comboEditable(DWORD style) { return (style & 0x3) != CBS_DROPDOWNLIST; }

std::string comboCase(DWORD style, std::string text) {
  if (style & CBS_UPPERCASE) return upperCase(text);
  if (style & CBS_LOWERCASE) return lowerCase(text);
  return text;
}

bool validIndex(const ComboState& state, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < state.items.size();
}

// Selects the item (-1: none); the selection field shows its text.
void comboShow(HWND combo, ComboState& state, int index) {
  state.selection = index;
  get(combo).text = index >= 0 ? state.items[static_cast<std::size_t>(index)].text : "";
}

LRESULT comboInsert(ComboState& state, std::size_t at, std::string text) {
  state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(at),
                     ComboItem{std::move(text), 0});
  if (state.selection >= static_cast<int>(at)) ++state.selection;
  return static_cast<LRESULT>(at);
}

// CBS_SORT places a new item after the items that sort before it or
// equal to it, without regard to case.
LRESULT comboAdd(HWND combo, ComboState& state, LPARAM lParam) {
  DWORD style = get(combo).style;
  std::string text = comboCase(style, textArg(lParam));
  std::size_t at = state.items.size();
  if (style & CBS_SORT) {
    std::string key = lowerCase(text);
    auto it = std::upper_bound(
        state.items.begin(), state.items.end(), key,
        [](const std::string& k, const ComboItem& item) { return k < lowerCase(item.text); });
    at = static_cast<std::size_t>(it - state.items.begin());
  }
  return comboInsert(state, at, std::move(text));
}

LRESULT comboInsertAt(HWND combo, ComboState& state, WPARAM wParam, LPARAM lParam) {
  int index = indexArg(wParam);
  std::size_t count = state.items.size();
  if (index < -1 || (index >= 0 && static_cast<std::size_t>(index) > count)) return CB_ERR;
  std::size_t at = index == -1 ? count : static_cast<std::size_t>(index);
  return comboInsert(state, at, comboCase(get(combo).style, textArg(lParam)));
}

LRESULT comboDelete(HWND combo, ComboState& state, WPARAM wParam) {
  int index = indexArg(wParam);
  if (!validIndex(state, index)) return CB_ERR;
  state.items.erase(state.items.begin() + index);
  if (state.selection == index) {
    state.selection = -1;
    if (!comboEditable(get(combo).style)) get(combo).text.clear();
  } else if (state.selection > index) {
    --state.selection;
  }
  return static_cast<LRESULT>(state.items.size());
}

// The first item after `start` (wrapping round; -1 or an invalid start
// searches from the top) that begins with the text, or equals it, without
// regard to case.
LRESULT comboFind(const ComboState& state, WPARAM wParam, LPARAM lParam, bool exact) {
  int count = static_cast<int>(state.items.size());
  int start = indexArg(wParam);
  if (start < 0 || start >= count) start = -1;
  std::string key = lowerCase(textArg(lParam));
  for (int step = 1; step <= count; ++step) {
    int index = (start + step) % count;
    std::string item = lowerCase(state.items[static_cast<std::size_t>(index)].text);
    if (exact ? item == key : item.starts_with(key)) return index;
  }
  return CB_ERR;
}

LRESULT comboSetCurSel(HWND combo, ComboState& state, WPARAM wParam) {
  int index = indexArg(wParam);
  if (!validIndex(state, index)) {
    comboShow(combo, state, -1);
    return CB_ERR;
  }
  comboShow(combo, state, index);
  return index;
}

LRESULT comboGetText(const ComboState& state, WPARAM wParam, LPARAM lParam) {
  int index = indexArg(wParam);
  if (!validIndex(state, index) || !lParam) return CB_ERR;
  const std::string& text = state.items[static_cast<std::size_t>(index)].text;
  std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

// An editable combo takes any text; a drop-down list selects the item
// that equals it and refuses a text that is no item.
LRESULT comboSetText(HWND combo, ComboState& state, LPARAM lParam) {
  DWORD style = get(combo).style;
  if (comboEditable(style)) {
    get(combo).text = comboCase(style, textArg(lParam));
    return TRUE;
  }
  LRESULT found = comboFind(state, static_cast<WPARAM>(-1), lParam, true);
  if (found == CB_ERR) return CB_ERR;
  comboShow(combo, state, static_cast<int>(found));
  return TRUE;
}

// The user picks item wParam from the list: CBN_SELCHANGE, then
// CBN_SELENDOK as the list closes on it.
LRESULT comboUserSelect(HWND combo, WPARAM wParam) {
  int index = indexArg(wParam);
  ComboState* state = stateOf<ComboState>(combo);
  if (!state || !validIndex(*state, index) || !takesUserInput(combo)) return -1;
  if (!focusForUser(combo)) return -1;
  state = stateOf<ComboState>(combo);
  if (!state || !validIndex(*state, index)) return -1;
  comboShow(combo, *state, index);
  notifyParent(combo, CBN_SELCHANGE);
  notifyParent(combo, CBN_SELENDOK);
  return 0;
}

// The user types into the selection field of an editable combo.
LRESULT comboUserType(HWND combo, LPARAM lParam) {
  std::string typed = textArg(lParam);
  Window* w = find(combo);
  if (!w || !comboEditable(w->style) || !takesUserInput(combo)) return -1;
  if (!focusForUser(combo)) return -1;
  ComboState* state = stateOf<ComboState>(combo);
  if (!state) return -1;
  typed = comboCase(get(combo).style, typed);
  if (typed.size() > state->limit) typed.resize(state->limit);
  get(combo).text = typed;
  notifyParent(combo, CBN_EDITUPDATE);
  notifyParent(combo, CBN_EDITCHANGE);
  return 0;
}

LRESULT comboDescribe(HWND combo, const ComboState& state, LPARAM lParam) {
  auto& out = describeArg(lParam);
  auto items = nlohmann::json::array();
  for (const ComboItem& item : state.items) items.push_back(item.text);
  out["items"] = std::move(items);
  out["selection"] = state.selection;
  out["editable"] = comboEditable(get(combo).style);
  return 0;
}

LRESULT comboItemData(ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = indexArg(wParam);
  if (!validIndex(state, index)) return CB_ERR;
  ComboItem& item = state.items[static_cast<std::size_t>(index)];
  if (message == CB_GETITEMDATA) return item.data;
  item.data = lParam;
  return CB_OKAY;
}

LRESULT comboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  ComboState* state = stateOf<ComboState>(combo);
  if (!state) return defWindowProc(combo, message, wParam, lParam);
  Window& w = get(combo);
  switch (message) {
    case WM_CREATE:
      w.text = comboEditable(w.style) ? comboCase(w.style, w.text) : "";
      return 0;
    case WM_SETTEXT:
      return comboSetText(combo, *state, lParam);
    case CB_ADDSTRING:
      return comboAdd(combo, *state, lParam);
    case CB_INSERTSTRING:
      return comboInsertAt(combo, *state, wParam, lParam);
    case CB_DELETESTRING:
      return comboDelete(combo, *state, wParam);
    case CB_RESETCONTENT:
      state->items.clear();
      comboShow(combo, *state, -1);
      return CB_OKAY;
    case CB_GETCOUNT:
      return static_cast<LRESULT>(state->items.size());
    case CB_GETCURSEL:
      return state->selection;
    case CB_SETCURSEL:
      return comboSetCurSel(combo, *state, wParam);
    case CB_GETLBTEXT:
      return comboGetText(*state, wParam, lParam);
    case CB_GETLBTEXTLEN: {
      int index = indexArg(wParam);
      if (!validIndex(*state, index)) return CB_ERR;
      return static_cast<LRESULT>(state->items[static_cast<std::size_t>(index)].text.size());
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      return comboFind(*state, wParam, lParam, message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      LRESULT found = comboFind(*state, wParam, lParam, false);
      if (found != CB_ERR) comboShow(combo, *state, static_cast<int>(found));
      return found;
    }
    case CB_GETITEMDATA:
    case CB_SETITEMDATA:
      return comboItemData(*state, message, wParam, lParam);
    case CB_LIMITTEXT:
      state->limit = wParam ? static_cast<std::size_t>(wParam) : kMaxEditLimit;
      return TRUE;
    case CB_SHOWDROPDOWN:
      return TRUE;
    case CB_GETEDITSEL:
      return 0;
    case WM_SETFOCUS:
      notifyParent(combo, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      notifyParent(combo, CBN_KILLFOCUS);
      return 0;
    case VXM_SELECT:
      return comboUserSelect(combo, wParam);
    case VXM_TYPE:
      return comboUserType(combo, lParam);
    case VXM_DESCRIBE:
      return comboDescribe(combo, *state, lParam);
    default:
      return defWindowProc(combo, message, wParam, lParam);
  }
}

}  // namespace

std::string upperCase(std::string_view text) { return mapped(text, upperOf); }
std::string lowerCase(std::string_view text) { return mapped(text, lowerOf); }

bool takesUserInput(HWND window) {
  Window* w = find(window);
  if (!w) return false;
  for (; w; w = find(w->parent))
    if (!w->enabled) return false;
  return true;
}

bool focusForUser(HWND window) {
  if (focus() != window) setFocus(window);
  return find(window) && takesUserInput(window) && focus() == window;
}

COLORREF boxColour(HWND box) {
  Window* w = find(box);
  auto* state = w ? stateAs<BoxState>(w->data.get()) : nullptr;
  return state ? state->colour : kWhite;
}

void registerStandardControls() {
  registerClass("EDIT", editProc);
  registerClass("BUTTON", buttonProc);
  registerClass("STATIC", defWindowProc);
  registerClass("COMBOBOX", comboProc);
  registerClass("__03Button__", engineButtonProc);
  registerClass("__03Box__", boxProc);
}

}  // namespace vx70::win
