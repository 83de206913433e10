// The dialog engine's grid operations that the module calls.  Nothing
// thrown inside leaves these functions: a failure is their result.
#include "api/host_api.h"
#include "host/engine/grid.h"

namespace eng = vx70::engine;

extern "C" {

// The fifth value travels with the message to the engine's own controls
// (eng::sendGridMessage); other windows get the first four.
LRESULT DESendGridMessage(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth) {
  try {
    return eng::sendGridMessage(grid, message, wParam, lParam, fifth);
  } catch (...) {
    return -1;
  }
}

LRESULT DESendDlgItemGridMessage(HWND dialog, UINT gridId, UINT message, WPARAM wParam,
                                 LPARAM lParam, LPARAM fifth) {
  try {
    HWND grid = eng::findGridControl(dialog, gridId);
    return grid ? eng::sendGridMessage(grid, message, wParam, lParam, fifth) : -1;
  } catch (...) {
    return -1;
  }
}

// The value is the cell's in the column's own type whatever type the
// caller names: the callers name the column's type.
const void* CtrlGRIDValue(HWND grid, UINT columnId, int row, UINT /*valueType*/) {
  try {
    return eng::gridCellValue(grid, columnId, row);
  } catch (...) {
    return nullptr;
  }
}

BOOL SetGRIDValue(HWND grid, UINT columnId, int row, const void* value) {
  try {
    return eng::setGridCellValue(grid, columnId, row, value) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

}  // extern "C"
