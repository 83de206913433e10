// The grid "__03Grid__": rows of a GRID layout with a current row and
// column, outline levels, rows on demand, and a cell editor for the
// columns that a user types into.  See docs/grid.md.
//
// A column is edited by the user only when its GRID editor class names the
// engine's combo ("@__03Combo__"): the value columns of the discount table
// and the N/C column of the control accounts.  Plain "@EDIT" columns show
// values that the handlers maintain (lists edited through their own edit
// dialogs), so the grid keeps them read-only.
#include <cstring>
#include <nlohmann/json.hpp>

#include "host/engine/grid_model.h"
#include "host/win32/controls.h"

namespace vx70::engine {

namespace {

using nlohmann::json;

struct GridState : GridHolder {
  using GridHolder::GridHolder;
  HWND editor = 0;
  std::size_t editorColumn = 0;
  bool held = false;  // message 1849: no cell-edit notifications
  // The cell's bytes before its last edit, for message 1130.
  struct Undo {
    int row;
    std::size_t column;
    std::vector<std::uint8_t> bytes;
  };
  std::optional<Undo> undo;
};

GridState* stateOf(HWND grid) {
  win::Window* w = win::find(grid);
  return w ? win::stateAs<GridState>(w->data.get()) : nullptr;
}

std::string_view editorClass(const res::GridColumn& column) {
  std::string_view name = column.editorClass;
  if (!name.empty() && name.front() == '@') name.remove_prefix(1);
  return name;
}

bool editable(const res::GridColumn& column) {
  return !column.hidden() && iequals(editorClass(column), "__03Combo__");
}

// The editor's buffer length, so that it takes a text cell's bytes less
// the terminator, or a number as long as the column's width.
UINT editorLength(const res::GridColumn& column) {
  return column.valueType == kTextColumn ? column.length : column.length + 1u;
}

HWND liveEditor(GridState& s) {
  if (s.editor && !win::find(s.editor)) s.editor = 0;
  return s.editor;
}

std::string currentCellText(GridState& s) {
  int row = s.model.currentRow();
  return row < 0 ? std::string() : s.model.cellText(row, s.editorColumn);
}

// Shows the current cell in the editor.  A user's move tells the dialog
// (EN_UPDATE, as typing would), so that a handler can lock the editor for
// the new row; a handler's own change does not.
void showCellInEditor(HWND grid, bool asUser) {
  GridState* s = stateOf(grid);
  if (!s || !liveEditor(*s)) return;
  std::string text = currentCellText(*s);
  HWND editor = s->editor;
  win::send(editor, asUser ? WM_SETTEXT : VXM_QUIETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void closeEditor(HWND grid) {
  GridState* s = stateOf(grid);
  if (!s || !liveEditor(*s)) return;
  HWND editor = s->editor;
  s->editor = 0;
  win::destroyWindow(editor);
}

// The editor of the current cell's column, created when needed.
HWND openEditor(HWND grid, std::size_t column) {
  GridState* s = stateOf(grid);
  if (!s || column >= s->model.columns().size()) return 0;
  const res::GridColumn& c = s->model.columns()[column];
  if (!editable(c)) return 0;
  if (liveEditor(*s) && s->editorColumn == column) {
    showCellInEditor(grid, true);
    return stateOf(grid) ? stateOf(grid)->editor : 0;
  }
  closeEditor(grid);
  GridCreateParams params{nullptr, s->dialog, c.id, nullptr, editorLength(c)};
  std::string cls(editorClass(c));
  bool number = c.valueType == kDecimalColumn;
  UINT decimals = c.decimals;
  RECT rect{0, 0, 6 * c.displayWidth, 13};
  HWND editor =
      win::createWindow(cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, grid, c.id, &params);
  s = stateOf(grid);
  if (!editor || !s) return 0;
  s->editor = editor;
  s->editorColumn = column;
  if (number) win::send(editor, win::VXM_SETDECIMALS, decimals, 0);
  showCellInEditor(grid, true);
  s = stateOf(grid);
  return s ? liveEditor(*s) : 0;
}

// Moves the cursor; a move to another cell forgets the undo of the last.
bool moveTo(HWND grid, int row, std::optional<std::size_t> column) {
  if (row >= 0 && !supplyRow(grid, row)) return false;
  GridState* s = stateOf(grid);
  if (!s || !s->model.setCurrentRow(row)) return false;
  if (column && !s->model.setCurrentColumn(*column)) return false;
  if (s->undo && (s->undo->row != row || s->undo->column != s->model.currentColumn()))
    s->undo.reset();
  return true;
}

LRESULT selectRow(HWND grid, int row) {
  GridState* s = stateOf(grid);
  if (!s || row < 0 || !moveTo(grid, row, std::nullopt)) return -1;
  showCellInEditor(grid, true);
  return 0;
}

LRESULT activateRow(HWND grid, int row) {
  if (selectRow(grid, row) != 0) return -1;
  if (GridState* s = stateOf(grid)) notifyDialog(grid, s->dialog, s->id, GN_ACTIVATE);
  return 0;
}

std::optional<std::size_t> editableColumn(GridState& s, UINT columnId) {
  auto index = s.model.columnIndex(columnId);
  if (!index || !editable(s.model.columns()[*index])) return std::nullopt;
  return index;
}

// The user types into a cell: the text goes through the cell's editor into
// the cell, and the dialog hears of it (code 5).
LRESULT editCell(HWND grid, const win::CellInput* input) {
  GridState* s = stateOf(grid);
  if (!s || !input || !input->text || input->row < 0) return -1;
  auto column = editableColumn(*s, input->column);
  if (!column || !moveTo(grid, input->row, column)) return -1;
  HWND editor = openEditor(grid, *column);
  if (!editor) return -1;
  win::setFocus(editor);
  if (!win::find(editor)) return -1;
  if (win::send(editor, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>(input->text)) == -1) return -1;
  return commitCellEditor(grid, true) ? 0 : -1;
}

// The column a click without a cell means: the current one when the user
// can type into it, else the first such column.
std::optional<std::size_t> clickColumn(GridState& s, const win::CellInput* input) {
  if (input) return editableColumn(s, input->column);
  const auto& columns = s.model.columns();
  std::size_t current = s.model.currentColumn();
  if (current < columns.size() && editable(columns[current])) return current;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (editable(columns[i])) return i;
  return std::nullopt;
}

// The user clicks into a cell (lParam = CellInput, its text unused) or,
// without one, the current cell, and presses its editor's finder button.
LRESULT clickCell(HWND grid, const win::CellInput* input) {
  GridState* s = stateOf(grid);
  if (!s) return -1;
  int row = input ? input->row : s->model.currentRow();
  auto column = clickColumn(*s, input);
  if (!column || row < 0 || !moveTo(grid, row, column)) return -1;
  HWND editor = openEditor(grid, *column);
  if (!editor) return -1;
  win::setFocus(editor);
  if (!win::find(editor)) return -1;
  return win::send(editor, win::VXM_CLICK, 0, 0);
}

LRESULT setCurrentRow(HWND grid, int row) {
  if (!moveTo(grid, row < 0 ? -1 : row, std::nullopt)) return -1;
  showCellInEditor(grid, false);
  return 0;
}

LRESULT setCurrentColumn(HWND grid, int column) {
  GridState* s = stateOf(grid);
  if (!s || column < 0) return -1;
  auto previous = static_cast<LRESULT>(s->model.currentColumn());
  if (!moveTo(grid, s->model.currentRow(), static_cast<std::size_t>(column))) return -1;
  s = stateOf(grid);
  if (s && liveEditor(*s) && s->editorColumn != s->model.currentColumn()) closeEditor(grid);
  return previous;
}

LRESULT currentColumnId(HWND grid) {
  GridState* s = stateOf(grid);
  if (!s || s->model.columns().empty()) return -1;
  return s->model.columns()[s->model.currentColumn()].id;
}

LRESULT editorModified(HWND grid) {
  GridState* s = stateOf(grid);
  if (!s || !liveEditor(*s)) return 0;
  return win::send(s->editor, EM_GETMODIFY, 0, 0);
}

// A list that gets rows while none is current starts on its first row,
// as a list view does for the person: Edit then acts on a row, never on
// nothing.  (A grid-combo's selection is its own: it starts on none.)
void currentOnFirstRow(GridState& s) {
  if (s.model.currentRow() < 0 && s.model.rowCount() > 0) s.model.setCurrentRow(0);
}

// After the rows changed under a handler: an editor shows the new value,
// or closes with the rows it belonged to.
void afterRowMessage(HWND grid, UINT message) {
  GridState* s = stateOf(grid);
  if (!s) return;
  if (message == GM_CLEAR || message == GM_ROWSONDEMAND || message == GM_DELETEROW) s->undo.reset();
  if (message == GM_ADDROW || message == GM_ROWSONDEMAND) currentOnFirstRow(*s);
  if (message == GM_CLEAR || message == GM_ROWSONDEMAND) {
    closeEditor(grid);
  } else if (message == GM_SETROW || message == GM_DELETEROW) {
    showCellInEditor(grid, false);
  }
}

const char* typeName(std::uint16_t valueType) {
  if (valueType == kTextColumn) return "text";
  if (valueType == kDecimalColumn) return "decimal";
  return "whole";
}

void describeGrid(HWND grid, json& out) {
  if (!supplyAll(grid)) return;
  GridState* s = stateOf(grid);
  GridModel& m = s->model;
  json columns = json::array();
  for (const auto& c : m.columns())
    columns.push_back(json{{"id", c.id},
                           {"heading", c.heading},
                           {"type", typeName(c.valueType)},
                           {"width", c.displayWidth},
                           {"hidden", c.hidden()},
                           {"editable", editable(c)}});
  json rows = json::array();
  json levels = json::array();
  json marked = json::array();
  for (int r = 0; r < m.rowCount(); ++r) {
    json cells = json::array();
    for (std::size_t c = 0; c < m.columns().size(); ++c) cells.push_back(m.cellText(r, c));
    rows.push_back(std::move(cells));
    levels.push_back(m.level(r));
    if (m.marked(r)) marked.push_back(r);
  }
  out["columns"] = std::move(columns);
  out["rows"] = std::move(rows);
  out["rowCount"] = m.rowCount();
  out["current"] = json{{"row", m.currentRow()}, {"column", currentColumnId(grid)}};
  if (m.hasLevels()) out["levels"] = std::move(levels);
  if (!marked.empty()) out["marked"] = std::move(marked);
  if (s->held) out["held"] = true;
  if (liveEditor(*s)) {
    win::Window& e = win::get(s->editor);
    out["editor"] = json{{"column", e.id},
                         {"text", e.text},
                         {"readOnly", (e.style & ES_READONLY) != 0},
                         {"modified", win::send(s->editor, EM_GETMODIFY, 0, 0) != 0}};
  }
}

LRESULT handleGridMessage(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth) {
  if (message == WM_CREATE) {
    win::get(grid).data =
        std::make_unique<GridState>(reinterpret_cast<const GridCreateParams*>(lParam));
    return 0;
  }
  if (!stateOf(grid)) return win::defWindowProc(grid, message, wParam, lParam);
  if (auto result = handleRowMessage(grid, message, wParam, lParam, fifth)) {
    afterRowMessage(grid, message);
    return *result;
  }
  int param = static_cast<int>(static_cast<std::int32_t>(lParam));
  switch (message) {
    case GM_SETCURRENTROW:
      return setCurrentRow(grid, param);
    case GM_SETCURRENTCOLUMN:
      return setCurrentColumn(grid, param);
    case GM_CURRENTCOLUMNID:
      return currentColumnId(grid);
    case GM_HOLDEDITS:
      stateOf(grid)->held = wParam != 0;
      return 0;
    case GM_CANCELEDIT:
      cancelCellEdit(grid);
      return 0;
    case GM_COMMITEDIT:
      return commitCellEditor(grid, false) ? 0 : -1;
    case VXM_REFRESH:
      showCellInEditor(grid, false);
      return 0;
    case GM_CARETWINDOW: {
      GridState* s = stateOf(grid);
      return liveEditor(*s) ? s->editor : grid;
    }
    case EM_GETMODIFY:
      return editorModified(grid);
    case EM_SETMODIFY: {
      GridState* s = stateOf(grid);
      return liveEditor(*s) ? win::send(s->editor, EM_SETMODIFY, wParam, 0) : 0;
    }
    case win::VXM_SELECT:
      return selectRow(grid, static_cast<int>(wParam));
    case win::VXM_ACTIVATE:
      return activateRow(grid, static_cast<int>(wParam));
    case win::VXM_CELL:
      return editCell(grid, reinterpret_cast<const win::CellInput*>(lParam));
    case win::VXM_CLICK:
      return clickCell(grid, reinterpret_cast<const win::CellInput*>(lParam));
    case win::VXM_DESCRIBE:
      if (lParam) describeGrid(grid, *reinterpret_cast<json*>(lParam));
      return 0;
    default:
      return win::defWindowProc(grid, message, wParam, lParam);
  }
}

}  // namespace

LRESULT gridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == VXM_PACKED) {
      const auto* m = reinterpret_cast<const PackedGridMessage*>(lParam);
      return m ? handleGridMessage(grid, m->message, m->wParam, m->lParam, m->fifth) : -1;
    }
    return handleGridMessage(grid, message, wParam, lParam, 0);
  } catch (...) {
    return -1;  // the module's calls end here, never in an exception
  }
}

bool isCellEditor(HWND grid, HWND editor) {
  GridState* s = stateOf(grid);
  return s && editor && liveEditor(*s) == editor;
}

bool commitCellEditor(HWND grid, bool notify) {
  GridState* s = stateOf(grid);
  if (!s || !liveEditor(*s)) return false;
  int row = s->model.currentRow();
  std::size_t column = s->editorColumn;
  HWND editor = s->editor;
  if (row < 0 || column != s->model.currentColumn()) return false;
  const std::uint8_t* cell = s->model.rowData(row) + s->model.columnOffset(column);
  GridState::Undo undo{
      row, column, std::vector<std::uint8_t>(cell, cell + s->model.columns()[column].rowBytes())};
  if (s->model.columns()[column].valueType == kDecimalColumn) {
    // The editor's value: the typed number, rounded to the places it shows.
    double value = 0;
    win::send(editor, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&value));
    s->model.setCellValue(row, column, &value);
  } else {
    char text[512] = {};
    win::send(editor, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (!s->model.setCellFromText(row, column, text)) return false;
  }
  s->undo = std::move(undo);
  if (notify && !s->held) notifyDialog(grid, s->dialog, s->id, GN_CELLDONE);
  // The edit is over once the dialog has seen it.
  if (win::find(editor)) win::send(editor, EM_SETMODIFY, 0, 0);
  return true;
}

void cancelCellEdit(HWND grid) {
  GridState* s = stateOf(grid);
  if (!s) return;
  if (s->undo && s->model.validRow(s->undo->row) && s->undo->row == s->model.currentRow()) {
    std::uint8_t* cell = s->model.rowData(s->undo->row) + s->model.columnOffset(s->undo->column);
    std::memcpy(cell, s->undo->bytes.data(), s->undo->bytes.size());
  }
  s->undo.reset();
  showCellInEditor(grid, false);
  if ((s = stateOf(grid)) && liveEditor(*s)) win::send(s->editor, EM_SETMODIFY, 0, 0);
}

HWND findGridControl(HWND dialog, UINT id) {
  if (HWND child = win::childById(dialog, id); child && holderOf(child)) return child;
  HWND other = 0;
  for (HWND w : win::descendants(dialog)) {
    win::Window* window = win::find(w);
    if (!window || window->id != id) continue;
    if (holderOf(w)) return w;
    if (!other) other = w;
  }
  return other;
}

}  // namespace vx70::engine

namespace vx70::engine {

void registerEngineControls() {
  win::registerClass("__03Grid__", gridProc);
  win::registerClass("__03Combo__", comboProc);
  win::registerClass("#VX32CALCEDIT", calcEditProc);
}

LRESULT sendGridMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth) {
  win::Window* w = win::find(window);
  if (!w) return 0;
  if (w->proc == gridProc || w->proc == comboProc || w->proc == calcEditProc) {
    PackedGridMessage packed{message, wParam, lParam, fifth};
    return win::send(window, VXM_PACKED, 0, reinterpret_cast<LPARAM>(&packed));
  }
  return win::send(window, message, wParam, lParam);
}

namespace {

// The cell's row and column, with its values supplied; nullopt when the
// grid has no such cell.
std::optional<std::pair<int, std::size_t>> locateCell(HWND grid, UINT columnId, int row) {
  GridHolder* h = holderOf(grid);
  if (!h) return std::nullopt;
  auto column = h->model.columnIndex(columnId);
  if (row == -1) row = h->model.currentRow();
  if (!column || row < 0 || !supplyRow(grid, row)) return std::nullopt;
  h = holderOf(grid);
  if (!h || !h->model.validRow(row)) return std::nullopt;
  return std::make_pair(row, *column);
}

}  // namespace

const void* gridCellValue(HWND grid, UINT columnId, int row) {
  auto cell = locateCell(grid, columnId, row);
  return cell ? holderOf(grid)->model.cellValue(cell->first, cell->second) : nullptr;
}

bool setGridCellValue(HWND grid, UINT columnId, int row, const void* value) {
  auto cell = locateCell(grid, columnId, row);
  if (!cell || !value) return false;
  holderOf(grid)->model.setCellValue(cell->first, cell->second, value);
  win::send(grid, VXM_REFRESH, 0, 0);
  return true;
}

}  // namespace vx70::engine
