// The category lists: Product Categories (3614), Departments (3615) and
// Fixed Asset Categories (3617), with the grid callbacks that the ledger
// defaults' department and category combos share.
//
// The three lists are one dialog: a grid of numbered names, an Edit button
// that opens the one-line edit box on the selected name, and Close.  What
// tells them apart is data (CategoryList below); each handler hands its
// member to the shared code.  Every Edit stores its record at once, so
// closing a list has nothing to save.
#include <cstdint>
#include <cstring>
#include <vector>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/res/ids_codes.h"

namespace {

constexpr UINT kTextValue = 2;

// What one member of the family has of its own.
struct CategoryList {
  UINT gridId;
  UINT editId;
  UINT action;
  WORD dataFile;
  int rowCount;               // rows the list always shows (numbered lists)
  UINT nameBytes;             // the name column and the record: 61 or 31
  UINT maxLength;             // characters the edit box takes, and the cut
  DWORD firstRecord;          // record number of row 0
  bool padWithSpaces;         // the stored name is padded to its field
  std::uint32_t refusedInit;  // Init's result after the action was refused
};

constexpr CategoryList kAssetCategories{.gridId = IDC_ASSET_CATEGORIES_GRID,
                                        .editId = IDC_ASSET_CATEGORIES_EDIT,
                                        .action = 52,
                                        .dataFile = DF_ASSET_CATEGORIES,
                                        .rowCount = 99,
                                        .nameBytes = 61,
                                        .maxLength = 60,
                                        .firstRecord = 1,
                                        .padWithSpaces = true,
                                        .refusedInit = 0};
constexpr CategoryList kProductCategories{.gridId = IDC_PRODUCT_CATEGORIES_GRID,
                                          .editId = IDC_PRODUCT_CATEGORIES_EDIT,
                                          .action = 34,
                                          .dataFile = DF_PRODUCT_CATEGORIES,
                                          .rowCount = 999,
                                          .nameBytes = 31,
                                          .maxLength = 30,
                                          .firstRecord = 1,
                                          .padWithSpaces = false,
                                          .refusedInit = 1};
constexpr CategoryList kDepartments{.gridId = IDC_DEPARTMENTS_GRID,
                                    .editId = IDC_DEPARTMENTS_EDIT,
                                    .action = 33,
                                    .dataFile = DF_DEPARTMENTS,
                                    .rowCount = 0,
                                    .nameBytes = 31,
                                    .maxLength = 30,
                                    .firstRecord = 2,
                                    .padWithSpaces = false,
                                    .refusedInit = 0};

datafilemap* dataFile(WORD number) { return &g_lpGlobVar->dataFiles[number]; }
datafilemap* actionFile() { return dataFile(DF_ACTIONS); }

// ---- Opening and closing ---------------------------------------------------

std::uint32_t OpenCategoryList(HWND dialog, const CategoryList& list) {
  if (!g_lpGlobVar->multiUser) return 1;
  if (RequestAction(list.action, 0, &g_lpGlobVar->access, actionFile(), 1)) return 1;
  // Refused: the list vanishes before it is ever seen.
  MoveWindow(dialog, 0, 0, 0, 0, TRUE);
  DestroyDEDialog(dialog, 0);
  return list.refusedInit;
}

void CloseCategoryList(HWND dialog, const CategoryList& list) {
  if (g_lpGlobVar->multiUser) RequestActionEnd(list.action, 0, &g_lpGlobVar->access, actionFile());
  DestroyDEDialog(dialog, 0);
}

// ---- Rows on demand --------------------------------------------------------

// The fields of the grid's fill request that the lists read.
struct WantedRows {
  int first;
  std::uint32_t count;
};

WantedRows ReadFillRequest(const std::int32_t* request) {
  if (!request) return {0, 0};
  int first = request[6] == 1 ? request[5] : request[4];
  return {first < 0 ? 0 : first, static_cast<std::uint32_t>(request[7])};
}

// A row record: the 32-bit number followed by the name column.
std::vector<std::uint8_t> BuildNumberedRow(std::int32_t number, const char* name, UINT nameBytes) {
  std::vector<std::uint8_t> row(sizeof number + nameBytes, 0);
  std::memcpy(row.data(), &number, sizeof number);
  std::memcpy(row.data() + sizeof number, name, strnlen(name, nameBytes - 1));
  return row;
}

void FillCategoryRows(HWND grid, UINT notification, const CategoryList& list) {
  auto* request =
      reinterpret_cast<const std::int32_t*>(DESendGridMessage(grid, GM_FILLREQUEST, 0, 0, 0));
  if (notification != GN_ROWSNEEDED) return;
  WantedRows wanted = ReadFillRequest(request);
  datafilemap* file = dataFile(list.dataFile);
  FileOpen(file, 2, 32, 1);
  // A grid of n rows never wants more than n; the bound keeps a damaged
  // request from reading on without end.
  for (std::uint32_t i = 0; i < wanted.count && i < static_cast<std::uint32_t>(list.rowCount);
       ++i) {
    DWORD record = static_cast<DWORD>(wanted.first) + i + 1;
    std::vector<char> stored(list.nameBytes, 0);
    ReadRec(file, record, stored.data());
    auto row = BuildNumberedRow(static_cast<std::int32_t>(record), stored.data(), list.nameBytes);
    DESendGridMessage(grid, GM_ADDROW, 0, reinterpret_cast<LPARAM>(row.data()), 0);
    DESendGridMessage(grid, GM_ROWSUPPLIED, 0, static_cast<LPARAM>(record - 1),
                      static_cast<LPARAM>(record));
  }
  FileClose(file);
}

std::uint32_t StartCategoryRows(HWND dialog, UINT gridId, const CategoryList& list) {
  DESendDlgItemGridMessage(dialog, gridId, GM_ROWSONDEMAND, 0, list.rowCount, 0);
  return 1;
}

// ---- Editing one name ------------------------------------------------------

bool IsEditCommand(UINT id, UINT notification, const CategoryList& list) {
  return id == list.editId || (id == list.gridId && notification == GN_ACTIVATE);
}

void StoreCategoryName(int row, const char* name, const CategoryList& list) {
  datafilemap* file = dataFile(list.dataFile);
  DWORD record = static_cast<DWORD>(row) + list.firstRecord;
  FileOpen(file, 2, 32, 1);
  if (g_lpGlobVar->lockRecords) LockRec(file, record);
  // Zeros after the terminator: a shorter name leaves nothing of the old.
  std::vector<char> stored(list.nameBytes, 0);
  std::memcpy(stored.data(), name, strnlen(name, list.nameBytes - 1));
  if (list.padWithSpaces) FillUp(stored.data(), list.nameBytes);
  WriteRec(file, record, stored.data());
  if (g_lpGlobVar->lockRecords) UnLockRec(file, record);
  FileClose(file);
}

void EditCategoryName(HWND dialog, const CategoryList& list) {
  HWND grid = GetDlgItem(dialog, static_cast<int>(list.gridId));
  EditBoxRequest request{};
  int row = static_cast<int>(DESendGridMessage(grid, GM_CURRENTROW, 0, 0, 0));
  // With no row chosen there is no name to edit: Edit does nothing.
  if (row < 0) return;
  request.owner = dialog;
  if (auto* current =
          static_cast<const char*>(CtrlGRIDValue(grid, IDC_CODE_NAME_COLUMN, row, kTextValue)))
    std::memcpy(request.text, current, strnlen(current, sizeof request.text - 1));
  request.maxLength = list.maxLength;
  if (!EditBox(&request)) return;
  request.text[list.maxLength] = '\0';
  SetGRIDValue(grid, IDC_CODE_NAME_COLUMN, row, request.text);
  StoreCategoryName(row, request.text, list);
}

std::uint32_t RunCategoryCommand(HWND dialog, UINT id, UINT notification,
                                 const CategoryList& list) {
  if (id == IDCANCEL) {
    CloseCategoryList(dialog, list);
    return 0;
  }
  if (IsEditCommand(id, notification, list)) EditCategoryName(dialog, list);
  return 0;
}

// Departments are numbered and filled by the shared department operations,
// which the ledger defaults' department combos use too: flag 0 for the
// Departments list itself, 1 for a combo.
UINT DepartmentStartFlag(HWND dialog) { return GetDEDialog(dialog, IDD_DEPARTMENTS) ? 0 : 1; }
UINT DepartmentFillFlag(HWND dialog) { return GetDEDialogID(dialog) == IDD_DEPARTMENTS ? 0 : 1; }

}  // namespace

// ---- Fixed asset categories ------------------------------------------------

VX70_HANDLER(AssetCategoriesInit) { return OpenCategoryList(hwnd, kAssetCategories); }

VX70_HANDLER(AssetCategoriesCommand) {
  return RunCategoryCommand(hwnd, id, notify, kAssetCategories);
}

VX70_HANDLER(AssetCategoriesGridFill) {
  FillCategoryRows(control, notify, kAssetCategories);
  return 0;
}

VX70_HANDLER(AssetCategoriesGridStart) { return StartCategoryRows(hwnd, id, kAssetCategories); }

// ---- Product categories (also grid-combo 2000 of Product Defaults) -----------

VX70_HANDLER(ProductCategoriesInit) { return OpenCategoryList(hwnd, kProductCategories); }

VX70_HANDLER(ProductCategoriesCommand) {
  return RunCategoryCommand(hwnd, id, notify, kProductCategories);
}

VX70_HANDLER(ProductCategoriesGridFill) {
  FillCategoryRows(control, notify, kProductCategories);
  return 0;
}

VX70_HANDLER(ProductCategoriesGridStart) { return StartCategoryRows(hwnd, id, kProductCategories); }

// ---- Departments (also the department combos of the ledger defaults) ---------

VX70_HANDLER(DepartmentsInit) { return OpenCategoryList(hwnd, kDepartments); }

VX70_HANDLER(DepartmentsCommand) { return RunCategoryCommand(hwnd, id, notify, kDepartments); }

VX70_HANDLER(DepartmentsGridFill) {
  DeptComboGetItem(control, notify, DepartmentFillFlag(hwnd));
  return 0;
}

VX70_HANDLER(DepartmentsGridStart) {
  DeptComboStartup(hwnd, id, DepartmentStartFlag(hwnd));
  return 0;
}
