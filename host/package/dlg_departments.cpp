// The shared dialogs' department list (VX70DLG): the rows of the
// Departments dialog's grid (flag 0) and of the department grid-combos of
// the customer, supplier and product defaults (flag 1).
//
// The departments file keeps department n in record n + 1; record 1 holds
// none (it stands for "no department"), so grid row r is record r + 2 and
// shows department number r + 1 in the No column: the first department a
// user sees is number 1, and the number is the same in the list and in
// every combo.  The list shows every record after the first (the file's
// record count minus 1: 100 departments in a new company), so a company
// whose file holds more departments sees them all.  Rows are supplied on
// demand, a page at a time, as the grid asks for them.  Both flags show
// the same rows; the flag only tells which kind of control asks.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "host/data/company.h"

namespace {

constexpr DWORD kFirstDepartmentRecord = 2;

#pragma pack(push, 1)
// A row of GRID 1003: the 16-bit department number and the name.
struct DepartmentRow {
  WORD number;
  char name[31];
};
#pragma pack(pop)
static_assert(sizeof(DepartmentRow) == 33);

datafilemap* departmentsFile() {
  return g_lpGlobVar && g_lpGlobVar->dataFiles ? &g_lpGlobVar->dataFiles[DF_DEPARTMENTS] : nullptr;
}

// Every record after the first is a department; the file is open.
int departmentsIn(datafilemap* file) {
  DWORD records = RecCount(file);
  return records >= kFirstDepartmentRecord ? static_cast<int>(records - 1) : 0;
}

int departmentCount() {
  datafilemap* file = departmentsFile();
  if (!file || !FileOpen(file, 0, 64, 1)) return 0;
  int departments = departmentsIn(file);
  FileClose(file);
  return departments;
}

// The first row and the number of rows the grid's fill request asks for
// (32-bit fields: 4 and 5 the first row, 6 says which, 7 the count).
bool wantedRows(HWND grid, int& first, int& count) {
  auto* request =
      reinterpret_cast<const std::int32_t*>(DESendGridMessage(grid, GM_FILLREQUEST, 0, 0, 0));
  if (!request || request == reinterpret_cast<const std::int32_t*>(-1)) return false;
  first = request[6] == 1 ? request[5] : request[4];
  if (first < 0) first = 0;
  count = request[7];
  return count > 0;
}

// The rows asked for are read in one pass: a department list is filled
// whenever a dialog that offers one opens.
void supplyDepartments(HWND grid, datafilemap* file, int first, int count) {
  const int departments = departmentsIn(file);
  const int rows = std::min(first + count, departments) - first;
  if (rows <= 0) return;
  const std::vector<std::uint8_t> records = vx70::data::ReadRecords(
      file, static_cast<DWORD>(first) + kFirstDepartmentRecord, static_cast<DWORD>(rows));
  for (int row = first; row < first + rows; ++row) {
    DWORD record = static_cast<DWORD>(row) + kFirstDepartmentRecord;
    deptmap stored{};
    std::memcpy(&stored, &records[static_cast<std::size_t>(row - first) * sizeof stored],
                sizeof stored);
    DepartmentRow shown{};
    shown.number = static_cast<WORD>(row + 1);
    std::memcpy(shown.name, stored.name, strnlen(stored.name, sizeof shown.name - 1));
    DESendGridMessage(grid, GM_ADDROW, 0, reinterpret_cast<LPARAM>(&shown), 0);
    DESendGridMessage(grid, GM_ROWSUPPLIED, 0, row, static_cast<LPARAM>(record));
  }
}

}  // namespace

extern "C" {

UINT DeptComboStartup(HWND dialog, UINT gridId, UINT /*comboFlag*/) {
  try {
    DESendDlgItemGridMessage(dialog, gridId, GM_ROWSONDEMAND, 0, departmentCount(), 0);
  } catch (...) {
  }
  return 0;
}

UINT DeptComboGetItem(HWND grid, UINT notification, UINT /*comboFlag*/) {
  try {
    int first = 0;
    int count = 0;
    if (!wantedRows(grid, first, count) || notification != GN_ROWSNEEDED) return 0;
    datafilemap* file = departmentsFile();
    if (!file || !FileOpen(file, 0, 64, 1)) return 0;
    supplyDepartments(grid, file, first, count);
    FileClose(file);
  } catch (...) {
  }
  return 0;
}

}  // extern "C"
