// The grid-combo "__03Combo__".  With a GRID layout it is a box that shows
// the selected row of a drop-down grid (an index is its value).  Without
// one it is a look-up field: an edit box of a fixed length with a finder
// button, which also serves as the date field, the numeric combo with an
// 8-byte value and the grid's cell editor.  See docs/grid.md.
#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "api/host_api.h"
#include "host/engine/grid_model.h"
#include "host/win32/controls.h"

namespace vx70::engine {

namespace {

using nlohmann::json;

inline constexpr int kDefaultDecimals = 2;

struct ComboState : GridHolder {
  explicit ComboState(const GridCreateParams* params)
      : GridHolder(params), field(!params || !params->layout), lookUp(params && params->lookUp) {
    if (params && params->entryLength > 0) limit = params->entryLength - 1;
  }
  bool field;
  bool lookUp;            // an account look-up field: Enter takes its code
  std::size_t limit = 0;  // characters a field holds; 0 = no limit
  std::size_t shownColumn = 0;
  std::string text;
  std::string saved;  // the text last set by the program, for message 1130
  int selection = -1;
  bool modified = false;
  bool numeric = false;  // a field with an 8-byte value
  double value = 0;
  int decimals = kDefaultDecimals;
};

ComboState* stateOf(HWND combo) {
  win::Window* w = win::find(combo);
  return w ? win::stateAs<ComboState>(w->data.get()) : nullptr;
}

// The column a list shows of its selected row: its first visible text
// column (the names of the department and currency lists, not their
// numbers), else its first visible column.
std::size_t shownColumn(const GridModel& model) {
  const auto& columns = model.columns();
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!columns[i].hidden() && columns[i].valueType == kTextColumn) return i;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!columns[i].hidden()) return i;
  return 0;
}

void notify(HWND combo, WORD code) {
  if (ComboState* s = stateOf(combo)) notifyDialog(combo, s->dialog, s->id, code);
}

void setShown(HWND combo, ComboState& s, std::string text) {
  s.text = std::move(text);
  win::get(combo).text = s.text;
}

std::string itemText(HWND combo, int row, bool alone = false) {
  if (!(alone ? supplyRowAlone(combo, row) : supplyRow(combo, row))) return {};
  ComboState* s = stateOf(combo);
  if (!s->model.validRow(row) || s->model.columns().empty()) return {};
  return s->model.cellText(row, s->shownColumn);
}

void showSelection(HWND combo) {
  // The field shows one row: a list supplied on demand is asked for that
  // row alone, and for whole pages once the person opens it.
  std::string text = itemText(combo, stateOf(combo) ? stateOf(combo)->selection : -1, true);
  if (ComboState* s = stateOf(combo)) {
    if (s->model.validRow(s->selection)) s->model.setCurrentRow(s->selection);
    setShown(combo, *s, std::move(text));
  }
}

// ---- List mode ----------------------------------------------------------------

LRESULT select(HWND combo, int index) {
  ComboState* s = stateOf(combo);
  if (!s) return -1;
  // An index beyond the list is kept, so that a value that the list does
  // not show yet reads back unchanged.
  s->selection = index < 0 ? -1 : index;
  s->model.setCurrentRow(s->model.validRow(index) ? index : -1);
  showSelection(combo);
  s = stateOf(combo);
  return s && s->model.validRow(s->selection) ? 0 : -1;
}

int findItem(HWND combo, std::string_view text, bool prefix) {
  if (!supplyAll(combo)) return -1;
  ComboState* s = stateOf(combo);
  for (int row = 0; row < s->model.rowCount(); ++row) {
    std::string item = s->model.cellText(row, s->shownColumn);
    if (prefix ? iequals(std::string_view(item).substr(0, text.size()), text) : item == text)
      return row;
  }
  return -1;
}

// Adds an item whose shown column holds the text; the other columns stay
// zero.  `once`: an item of that text already there is not added again.
LRESULT addItem(HWND combo, const char* text, bool once) {
  ComboState* s = stateOf(combo);
  if (!s || s->field || !text || s->model.columns().empty()) return -1;
  if (once)
    if (int existing = findItem(combo, text, false); existing >= 0) return existing;
  s = stateOf(combo);
  std::vector<std::uint8_t> record(s->model.rowBytes(), 0);
  int row = s->model.append(record.data(), false);
  if (row < 0) return -1;
  if (!s->model.setCellFromText(row, s->shownColumn, text)) {
    s->model.remove(row);
    return -1;
  }
  return row;
}

LRESULT copyItemText(HWND combo, int index, LPARAM buffer) {
  ComboState* s = stateOf(combo);
  if (!s || !s->model.validRow(index)) return -1;
  std::string text = itemText(combo, index);
  if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

// The user picks row `index` of the drop-down list.
LRESULT userSelect(HWND combo, int index) {
  if (!win::takesUserInput(combo) || index < 0 || !supplyRow(combo, index)) return -1;
  ComboState* s = stateOf(combo);
  if (!s || s->field || !s->model.validRow(index)) return -1;
  select(combo, index);
  notify(combo, CBN_SELCHANGE);
  return 0;
}

LRESULT dropDown(HWND combo) {
  ComboState* s = stateOf(combo);
  if (!s || s->field || !win::takesUserInput(combo) || !supplyAll(combo)) return -1;
  notify(combo, CBN_DROPDOWN);
  return 0;
}

// Typing into a list picks the item of that text, or else the first one
// that begins with it.
LRESULT typeIntoList(HWND combo, std::string_view text) {
  int row = findItem(combo, text, false);
  if (row < 0) row = findItem(combo, text, true);
  return row < 0 ? -1 : userSelect(combo, row);
}

// ---- Field mode ----------------------------------------------------------------

bool readOnly(HWND combo) { return (win::get(combo).style & ES_READONLY) != 0; }

// A text for the field: cut to its length, or for a number its value,
// rounded to the places it shows so that what it shows is what it holds.
bool takeText(HWND combo, ComboState& s, std::string_view text) {
  if (s.numeric) {
    auto value = text.find_first_not_of(' ') == std::string_view::npos ? std::optional<double>(0)
                                                                       : parseDecimal(text);
    if (!value) return false;
    s.value = Round(*value, s.decimals);
    setShown(combo, s, formatDecimal(s.value, s.decimals));
    return true;
  }
  if (s.limit && text.size() > s.limit) text = text.substr(0, s.limit);
  setShown(combo, s, std::string(text));
  return true;
}

// The program sets the text: the modified flag clears; an edit-like
// field tells its dialog as an edit does, unless `quiet`.
LRESULT setText(HWND combo, const char* text, bool quiet) {
  ComboState* s = stateOf(combo);
  std::string_view given = text ? text : "";
  if (!s->field) {
    s->selection = findItem(combo, given, false);
    if ((s = stateOf(combo))) setShown(combo, *s, std::string(given));
    return TRUE;
  }
  if (!takeText(combo, *s, given)) return FALSE;
  s->modified = false;
  s->saved = s->text;
  if (!quiet) {
    notify(combo, EN_UPDATE);
    notify(combo, EN_CHANGE);
  }
  return TRUE;
}

LRESULT typeText(HWND combo, const char* text) {
  ComboState* s = stateOf(combo);
  if (!text || !win::takesUserInput(combo) || readOnly(combo)) return -1;
  if (!s->field) return typeIntoList(combo, text);
  // A number longer than the field is refused whole, never cut.
  if (s->numeric && s->limit && std::strlen(text) > s->limit) return -1;
  if (!takeText(combo, *s, text)) return -1;
  s->modified = true;
  notify(combo, EN_UPDATE);
  notify(combo, EN_CHANGE);
  return 0;
}

// Enter confirms the typed code (103); the code is then taken, so that
// leaving the field does not count it as a pending change.
LRESULT enterCode(HWND combo) {
  ComboState* s = stateOf(combo);
  if (!s->field || !win::takesUserInput(combo)) return -1;
  notify(combo, LN_CODEENTERED);
  if ((s = stateOf(combo))) s->modified = false;
  return 0;
}

LRESULT pressFinder(HWND combo) {
  ComboState* s = stateOf(combo);
  if (!s->field) return dropDown(combo);
  if (!win::takesUserInput(combo)) return -1;
  notify(combo, LN_FINDER);
  return 0;
}

HWND gridOfEditor(HWND combo) {
  win::Window* w = win::find(combo);
  return w && isCellEditor(w->parent, combo) ? w->parent : 0;
}

void gainFocus(HWND combo) { notify(combo, stateOf(combo)->field ? EN_SETFOCUS : CBN_SETFOCUS); }

// Leaving a cell editor with typed text ends the cell's edit; then the
// dialog hears that the field lost the focus.
void loseFocus(HWND combo) {
  ComboState* s = stateOf(combo);
  if (!s->field) {
    notify(combo, CBN_KILLFOCUS);
    return;
  }
  if (HWND grid = gridOfEditor(combo); grid && s->modified) commitCellEditor(grid, true);
  if (stateOf(combo)) notify(combo, EN_KILLFOCUS);
}

LRESULT cancelEdit(HWND combo) {
  if (HWND grid = gridOfEditor(combo)) {
    cancelCellEdit(grid);
    return 0;
  }
  ComboState* s = stateOf(combo);
  std::string saved = s->saved;
  setText(combo, saved.c_str(), true);
  return 0;
}

LRESULT setDouble(HWND combo, const double* value) {
  ComboState* s = stateOf(combo);
  if (!value || !s->field) return -1;
  s->numeric = true;
  s->value = *value;
  s->modified = false;
  setShown(combo, *s, formatDecimal(s->value, s->decimals));
  s->saved = s->text;
  return 0;
}

LRESULT getDouble(HWND combo, double* out) {
  ComboState* s = stateOf(combo);
  if (!out) return -1;
  *out = s->numeric ? s->value : parseDecimal(s->text).value_or(0);
  return 0;
}

LRESULT setDecimals(HWND combo, WPARAM places) {
  ComboState* s = stateOf(combo);
  if (!s->field) return -1;
  s->numeric = true;
  s->decimals = static_cast<int>(std::min<WPARAM>(places, 15));
  setShown(combo, *s, formatDecimal(s->value, s->decimals));
  return 0;
}

LRESULT copyText(const std::string& text, WPARAM size, LPARAM buffer) {
  if (!buffer || size == 0) return 0;
  std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(reinterpret_cast<char*>(buffer), text.data(), n);
  reinterpret_cast<char*>(buffer)[n] = '\0';
  return static_cast<LRESULT>(n);
}

void describeCombo(HWND combo, json& out) {
  ComboState* s = stateOf(combo);
  out["modified"] = s->modified;
  out["readOnly"] = readOnly(combo);
  if (s->field) {
    out["limit"] = s->limit;
    if (s->numeric) {
      out["value"] = s->value;
      out["decimals"] = s->decimals;
    }
    return;
  }
  if (!supplyAll(combo)) return;
  s = stateOf(combo);
  json items = json::array();
  for (int row = 0; row < s->model.rowCount(); ++row)
    items.push_back(s->model.cellText(row, s->shownColumn));
  out["items"] = std::move(items);
  out["selection"] = s->selection;
}

bool changesRows(UINT message) {
  return message == GM_CLEAR || message == GM_ROWSONDEMAND || message == GM_DELETEROW ||
         message == GM_SETROW || message == GM_ADDROW || message == GM_ROWSUPPLIED;
}

// A row added to a list with nothing chosen and nothing shown leaves it
// showing nothing: a list filled row by row (the ninety-nine currencies)
// need not look up its selection ninety-nine times.
bool addsToUnchosenList(HWND combo, const ComboState& s, UINT message) {
  return message == GM_ADDROW && s.selection < 0 && s.text.empty() && win::get(combo).text.empty();
}

// Rows supplied on demand leave what the field shows as it was: the chosen
// row is supplied before it is shown, and the showing that asked for it
// shows it once the fill is done.
bool suppliesOnDemand(const ComboState& s, UINT message) {
  return (message == GM_ADDROW || message == GM_ROWSUPPLIED) && s.model.filling();
}

// The row messages, with the selection as a list's current row.
std::optional<LRESULT> rowMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam,
                                  LPARAM fifth) {
  if (message == GM_CURRENTROW) return stateOf(combo)->selection;
  auto result = handleRowMessage(combo, message, wParam, lParam, fifth);
  ComboState* s = stateOf(combo);
  if (!result || !s || !changesRows(message)) return result;
  if (message == GM_CLEAR || message == GM_ROWSONDEMAND || message == GM_DELETEROW)
    s->selection = s->model.currentRow();
  if (!s->field && !addsToUnchosenList(combo, *s, message) && !suppliesOnDemand(*s, message))
    showSelection(combo);
  return result;
}

LRESULT handleComboMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth) {
  if (message == WM_CREATE) {
    auto state = std::make_unique<ComboState>(reinterpret_cast<const GridCreateParams*>(lParam));
    state->shownColumn = shownColumn(state->model);
    state->text = win::get(combo).text;
    win::get(combo).data = std::move(state);
    return 0;
  }
  ComboState* s = stateOf(combo);
  if (!s) return win::defWindowProc(combo, message, wParam, lParam);
  if (auto result = rowMessage(combo, message, wParam, lParam, fifth)) return *result;
  int index = static_cast<int>(static_cast<std::int32_t>(lParam));
  switch (message) {
    case GM_SETCURRENTROW:
      return select(combo, index);
    case GM_ADDITEM:
      return addItem(combo, reinterpret_cast<const char*>(lParam), true);
    case GM_GETITEMTEXT:
      return copyItemText(combo, index, fifth);
    case GM_CARETWINDOW:
      return combo;
    case VXM_REFRESH:
      if (!s->field) showSelection(combo);
      return 0;
    case GM_CANCELEDIT:
      return cancelEdit(combo);
    case GM_COMMITEDIT:
      if (HWND grid = gridOfEditor(combo)) return commitCellEditor(grid, false) ? 0 : -1;
      return 0;
    case CB_ADDSTRING:
      return addItem(combo, reinterpret_cast<const char*>(lParam), false);
    case CB_GETCOUNT:
      return s->model.rowCount();
    case CB_GETCURSEL:
      return s->selection;
    case CB_SETCURSEL:
      return select(combo, static_cast<int>(wParam)) == 0 ? static_cast<LRESULT>(wParam) : CB_ERR;
    case CB_RESETCONTENT:
      return *rowMessage(combo, GM_CLEAR, 0, 0, 0);
    case CB_GETLBTEXT:
      return copyItemText(combo, static_cast<int>(wParam), lParam);
    case WM_SETTEXT:
      return setText(combo, reinterpret_cast<const char*>(lParam), false);
    case VXM_QUIETTEXT:
      return setText(combo, reinterpret_cast<const char*>(lParam), true);
    case WM_GETTEXT:
      return copyText(s->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(s->text.size());
    case EM_GETMODIFY:
      return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      s->modified = wParam != 0;
      return 0;
    case EM_SETREADONLY: {
      DWORD& style = win::get(combo).style;
      style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
      return TRUE;
    }
    case EM_LIMITTEXT:
    case CB_LIMITTEXT:
      s->limit = wParam;
      return TRUE;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(s->limit);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS |
             (s->lookUp && wParam == VK_RETURN ? DLGC_WANTALLKEYS : 0);
    case WM_KEYDOWN:
      return wParam == kEnterKey ? enterCode(combo) : 0;
    case WM_SETFOCUS:
      gainFocus(combo);
      return 0;
    case WM_KILLFOCUS:
      loseFocus(combo);
      return 0;
    case win::VXM_TYPE:
      return typeText(combo, reinterpret_cast<const char*>(lParam));
    case win::VXM_CLICK:
      return pressFinder(combo);
    case win::VXM_SELECT:
      return userSelect(combo, static_cast<int>(wParam));
    case win::VXM_DROPDOWN:
      return dropDown(combo);
    case win::VXM_SETDOUBLE:
      return setDouble(combo, reinterpret_cast<const double*>(lParam));
    case win::VXM_GETDOUBLE:
      return getDouble(combo, reinterpret_cast<double*>(lParam));
    case win::VXM_SETDECIMALS:
      return setDecimals(combo, wParam);
    case win::VXM_DESCRIBE:
      if (lParam) describeCombo(combo, *reinterpret_cast<json*>(lParam));
      return 0;
    default:
      return win::defWindowProc(combo, message, wParam, lParam);
  }
}

}  // namespace

LRESULT comboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == VXM_PACKED) {
      const auto* m = reinterpret_cast<const PackedGridMessage*>(lParam);
      return m ? handleComboMessage(combo, m->message, m->wParam, m->lParam, m->fifth) : -1;
    }
    return handleComboMessage(combo, message, wParam, lParam, 0);
  } catch (...) {
    return -1;  // the module's calls end here, never in an exception
  }
}

}  // namespace vx70::engine
