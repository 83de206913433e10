// What the grid and the grid-combo share: the rows of a GRID layout with
// their outline levels and on-demand filling, the grid messages that work
// on rows, and the number texts of cells and calculator edits.  Internal
// to the engine's grid classes; the dialog engine uses host/engine/grid.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/engine/grid.h"
#include "host/win32/window.h"

namespace vx70::engine {

// ---- Number texts -------------------------------------------------------

// A decimal number as a user types it: optional sign, digits with at most
// one point, spaces around; nothing else.
std::optional<double> parseDecimal(std::string_view text);
// A whole number: optional sign and digits, spaces around.
std::optional<std::int64_t> parseWhole(std::string_view text);
// Fixed notation with `places` decimals (0-15); -0 shows as 0.
std::string formatDecimal(double value, int places);
bool iequals(std::string_view a, std::string_view b);

// ---- Rows ---------------------------------------------------------------

inline constexpr std::uint16_t kTextColumn = 2;
inline constexpr std::uint16_t kDecimalColumn = 12;
// More rows than this are refused (message 1803 answers -1).
inline constexpr std::size_t kMaxRows = 100000;

// A copy of a GRID's columns with its packed rows.  Rows are addressed by
// their visible index: a row under a closed outline level has none.
class GridModel {
 public:
  explicit GridModel(const res::Grid* layout);

  const std::vector<res::GridColumn>& columns() const { return columns_; }
  std::size_t rowBytes() const { return rowBytes_; }
  std::size_t columnOffset(std::size_t column) const { return offsets_[column]; }
  std::optional<std::size_t> columnIndex(UINT columnId) const;

  int rowCount() const;
  bool validRow(int row) const { return row >= 0 && row < rowCount(); }
  // The row's bytes (rowBytes long); the row must be valid.
  std::uint8_t* rowData(int row);
  const std::uint8_t* rowData(int row) const;
  bool supplied(int row) const { return rows_[storageIndex(row)].supplied; }

  void clear();
  // Replaces the rows with `count` blank rows that still need values.
  bool holdOnDemand(int count);
  // Appends a row (child: under the latest top-level row); while a fill
  // is running, fills the next requested slot instead.  Returns the row's
  // position among all rows, -1 when the record is missing or the grid
  // is full.
  int append(const void* record, bool child);
  bool remove(int row);
  bool replace(int row, const void* record);
  bool markSupplied(int row, std::uint32_t record);
  bool openLevel(int row);
  bool setMarked(int row, bool marked);
  bool marked(int row) const { return rows_[storageIndex(row)].marked; }
  bool hasLevels() const { return hasLevels_; }
  // Sets a column's display width; the previous width, -1 for no column.
  int setColumnWidth(std::size_t column, int width);
  int level(int row) const { return rows_[storageIndex(row)].level; }

  int currentRow() const;
  bool setCurrentRow(int row);  // -1 clears
  std::size_t currentColumn() const { return currentColumn_; }
  bool setCurrentColumn(std::size_t column);

  // Cell texts as a user sees them, and a typed text into a cell.
  std::string cellText(int row, std::size_t column) const;
  bool setCellFromText(int row, std::size_t column, std::string_view text);
  // A cell from a value of the column's type (text, int32, f64).
  void setCellValue(int row, std::size_t column, const void* value);
  // The cell in the column's type, in one of a few rotating buffers.
  const void* cellValue(int row, std::size_t column);

  // On-demand filling: the first row of `row`'s page (of `page` rows) that
  // still needs values, or nullopt when the row is supplied or a fill is
  // running.
  std::optional<int> fillStart(int row, int page = kFillPage) const;
  void beginFill(HWND grid, UINT id, int first, int page = kFillPage);
  void endFill();
  bool filling() const { return fill_.has_value(); }
  GridFillRequest* fillRequest() { return &request_; }

 private:
  struct Row {
    // Empty until the row is supplied or first read: a list held on demand
    // may have thousands of rows that nobody looks at.
    mutable std::vector<std::uint8_t> bytes;
    int level = 0;
    bool open = false;  // top-level rows: their children are shown
    bool supplied = true;
    bool marked = false;
    std::uint32_t record = 0;
  };
  struct Fill {
    int first;
    int count;
    int cursor;
  };

  std::size_t storageIndex(int row) const;
  int visibleIndex(std::size_t storage) const;
  bool visible(std::size_t storage) const;
  void store(Row& row, const void* record) const;

  std::vector<res::GridColumn> columns_;
  std::vector<std::size_t> offsets_;
  std::size_t rowBytes_ = 0;
  std::vector<Row> rows_;
  bool hasLevels_ = false;
  std::ptrdiff_t current_ = -1;  // storage index
  std::size_t currentColumn_ = 0;
  std::optional<Fill> fill_;
  GridFillRequest request_{};
  std::vector<std::uint8_t> scratch_[4];
  std::size_t nextScratch_ = 0;
};

// ---- Windows that hold a model --------------------------------------------

// The state of a grid or grid-combo window.
struct GridHolder : win::WindowData {
  explicit GridHolder(const GridCreateParams* params);
  GridModel model;
  HWND dialog = 0;
  UINT id = 0;
  DialogHandler rowsNeeded = nullptr;
};

// The holder of a grid or grid-combo window, nullptr for any other.
GridHolder* holderOf(HWND window);

// Asks the rows-needed callback for every row in [first, first + count)
// that still needs its values.  False when the window is gone afterwards.
bool supplyRows(HWND window, int first, int count, int page = kFillPage);
bool supplyRow(HWND window, int row);
// The row alone, for a field that shows one choice of a long list.
bool supplyRowAlone(HWND window, int row);
bool supplyAll(HWND window);

// The grid messages that work on rows alike in a grid and a grid-combo.
// Returns nullopt for any other message.  Row parameters are 32-bit.
std::optional<LRESULT> handleRowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        LPARAM fifth);

// Sends WM_COMMAND (id, code) from the control to its dialog.
void notifyDialog(HWND control, HWND dialog, UINT id, WORD code);

// ---- Messages with a fifth value ---------------------------------------

// The engine's controls take a grid message with its fifth value packed in
// this private message (lParam = const PackedGridMessage*).
inline constexpr UINT VXM_PACKED = win::VXM_FIRST + 0x40;
// A cell editor's text set by its grid, with no notification.
inline constexpr UINT VXM_QUIETTEXT = win::VXM_FIRST + 0x41;
// A cell changed under the control: it shows its values again.
inline constexpr UINT VXM_REFRESH = win::VXM_FIRST + 0x42;

struct PackedGridMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LPARAM fifth;
};

// The window procedures, so that a packed message goes only to them.
LRESULT gridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT comboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT calcEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Cell editors ------------------------------------------------------

// True when `editor` is the cell editor of the grid `grid`.
bool isCellEditor(HWND grid, HWND editor);
// The editor's text goes into the grid's current cell; with `notify` the
// grid then tells its dialog (code 5).  False when the text is refused.
bool commitCellEditor(HWND grid, bool notify);
// The cell goes back to its value before its last edit.
void cancelCellEdit(HWND grid);

}  // namespace vx70::engine
