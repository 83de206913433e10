// The dialog engine's grid controls: the grid "__03Grid__", the grid-combo
// "__03Combo__" (a box with a drop-down grid, or a look-up field without
// one) and the calculator edit "#VX32CALCEDIT".  docs/grid.md describes
// every message, notification and user action of these classes.
//
// A grid holds packed row records: the values of its GRID columns one
// after the other (res::Grid::rowBytes()).  Rows count from 0; a message
// row of -1 names the current row where the reference says so.  Rows can
// be held "on demand" (message 1831): the grid then asks its rows-needed
// callback for them, a page at a time, when they are first needed.
#pragma once

#include <cstdint>

#include "api/grid_messages.h"
#include "api/module_abi.h"
#include "api/win32.h"
#include "host/loader/resources.h"

namespace vx70::engine {

// What the dialog engine passes as the creation parameter of a grid or
// grid-combo window.  The control copies what it needs during WM_CREATE.
struct GridCreateParams {
  const vx70::res::Grid* layout;  // columns of the GRID resource; nullptr for a look-up field
  HWND dialog;                    // the dialog that holds the control (callback argument 1)
  UINT id;                        // control identifier
  DialogHandler rowsNeeded;       // rows-needed callback, nullptr when none
  UINT entryLength;               // value buffer length of a look-up field (e.g. 9)
  // A field of a grid-combo entry: an account look-up, which takes its code
  // on Enter.  A field bound to a text, date or number entry does not.
  bool lookUp = false;
};

// The rows a grid wants from its rows-needed callback; message 1830
// returns its address, valid while the grid exists.  Fields 4 and 5 both
// hold the first row wanted and field 6 is 1, so a reader that follows
// field 6 and one that reads field 4 agree.
struct GridFillRequest {
  std::uint32_t grid;          // 0: the grid window
  std::uint32_t controlId;     // 1: its control identifier
  std::uint32_t rowCount;      // 2: rows the grid holds on demand
  std::uint32_t notification;  // 3: 6 (rows needed)
  std::int32_t firstRow;       // 4: first row wanted
  std::int32_t firstRowToo;    // 5: the same row
  std::uint32_t selector;      // 6: 1 = read field 5
  std::uint32_t count;         // 7: rows wanted
};
static_assert(sizeof(GridFillRequest) == 32);

// Rows a grid asks its callback for at a time.
inline constexpr int kFillPage = 20;

// The key that confirms a look-up field's code (WM_KEYDOWN wParam).
inline constexpr WPARAM kEnterKey = 0x0D;

// Registers "__03Grid__", "__03Combo__" and "#VX32CALCEDIT".
void registerEngineControls();

// Sends a grid message with its fifth value (a row record, a buffer, a
// record number).  The engine's controls receive all five; any other
// window gets the message without the fifth value.
LRESULT sendGridMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth);

// The grid or grid-combo with that identifier among the dialog's
// descendants (its pages included); 0 when there is none.
HWND findGridControl(HWND dialog, UINT id);

// The value of a cell in the column's own type (a terminated text, a
// 32-bit whole number or an f64), in a buffer of the grid's that stays
// valid for the next few calls; row -1 is the current row.  nullptr when
// the window, column or row does not exist.
const void* gridCellValue(HWND grid, UINT columnId, int row);
// Stores a value of the column's type into the cell; false when there is
// no such cell.
bool setGridCellValue(HWND grid, UINT columnId, int row, const void* value);

}  // namespace vx70::engine
