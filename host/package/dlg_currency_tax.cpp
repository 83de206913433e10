// The shared dialogs' currency and tax code lists (VX70DLG): any dialog
// fills its base currency combo with FillCurrencyCombo and its tax code
// combo with TaxComboList.  Both work on a standard COMBOBOX and on the
// engine's grid-combo, and keep item i standing for currency record i + 1
// or tax code i, since the dialogs store selection indexes.
//
// FillCurrencyCombo lists the 99 currency names in record order (a
// never-used record as a blank item) and selects setupmap.baseCurrency,
// the base the user expects to find chosen; an index outside 0-98 selects
// nothing.  TaxComboList lists T0-T99 with each rate beside its code
// ("T1 17.50") where the shown column has room for both, else the code
// alone, and selects nothing: each dialog selects its own code.  Nothing
// thrown inside leaves these functions.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/engine/grid.h"
#include "host/engine/grid_model.h"
#include "host/win32/window.h"

namespace {

namespace eng = vx70::engine;

constexpr DWORD kCurrencyCount = 99;
constexpr int kTaxCodeCount = 100;

// The engine's grid-combo (or grid) holds row records; anything else is
// taken for a standard combo box.
bool isGridCombo(HWND combo) { return eng::holderOf(combo) != nullptr; }

// Appends an item at the end of the list.  A standard combo is told where,
// so that a sorted one does not move it and the index keeps its meaning.
void appendItem(HWND combo, const std::string& text) {
  UINT message = isGridCombo(combo) ? CB_ADDSTRING : CB_INSERTSTRING;
  WPARAM at = isGridCombo(combo) ? 0 : static_cast<WPARAM>(-1);
  SendMessageA(combo, message, at, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string fieldText(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

// The names of records 1-99, blank for a never-used record; none when the
// file cannot be opened, so that a list never offers what is not there.
void addCurrencyNames(HWND combo) {
  datafilemap* file = &g_lpGlobVar->dataFiles[DF_CURRENCIES];
  if (!FileOpen(file, 0, 64, 1)) return;
  // The table in one read: the list is filled whenever a ledger dialog opens.
  const std::vector<std::uint8_t> records = vx70::data::ReadRecords(file, 1, kCurrencyCount);
  for (DWORD n = 0; n < kCurrencyCount; ++n) {
    currmap record{};
    std::memcpy(&record, &records[n * sizeof record], sizeof record);
    appendItem(combo, fieldText(record.name, sizeof record.name));
  }
  FileClose(file);
}

// The base currency is selected, as the user expects to find it; an index
// outside the table (read signed) selects nothing.
void selectBaseCurrency(HWND combo) {
  auto base = static_cast<std::int16_t>(g_lpGlobVar->setup.baseCurrency);
  bool valid = base >= 0 && base < static_cast<int>(kCurrencyCount);
  SendMessageA(combo, CB_SETCURSEL, valid ? static_cast<WPARAM>(base) : static_cast<WPARAM>(-1), 0);
}

// "T1 17.50": the code with its rate beside it, when the column holds both
// (`room` characters; 0: no limit); the code alone otherwise, so that the
// code is never cut.
std::string taxCodeText(int code, std::size_t room) {
  char withRate[64];
  std::snprintf(withRate, sizeof withRate, "T%d %.2f", code,
                g_lpGlobVar->control.taxCode[code].rate);
  if (room == 0 || std::strlen(withRate) <= room) return withRate;
  return "T" + std::to_string(code);
}

// The column a grid-combo shows: its first visible text column, else its
// first text column.
std::optional<std::size_t> shownTextColumn(const eng::GridModel& model) {
  const auto& columns = model.columns();
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!columns[i].hidden() && columns[i].valueType == eng::kTextColumn) return i;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].valueType == eng::kTextColumn) return i;
  return std::nullopt;
}

// A grid-combo gets whole row records, the text in its shown column and
// the other columns zero.
void fillTaxGridCombo(HWND combo) {
  eng::GridHolder* holder = eng::holderOf(combo);
  if (!holder) return;
  auto column = shownTextColumn(holder->model);
  if (!column) return;
  std::size_t offset = holder->model.columnOffset(*column);
  std::size_t length = holder->model.columns()[*column].length;
  std::size_t rowBytes = holder->model.rowBytes();
  if (length == 0) return;
  DESendGridMessage(combo, GM_CLEAR, 0, 0, 0);
  for (int code = 0; code < kTaxCodeCount; ++code) {
    std::string text = taxCodeText(code, length - 1);
    std::string record(rowBytes, '\0');
    std::memcpy(record.data() + offset, text.data(), std::min(text.size(), length - 1));
    DESendGridMessage(combo, GM_ADDROW, 0, reinterpret_cast<LPARAM>(record.data()), 0);
  }
}

void fillTaxStandardCombo(HWND combo) {
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (int code = 0; code < kTaxCodeCount; ++code) appendItem(combo, taxCodeText(code, 0));
}

}  // namespace

extern "C" {

void FillCurrencyCombo(HWND combo) {
  try {
    if (!vx70::win::find(combo)) return;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    addCurrencyNames(combo);
    selectBaseCurrency(combo);
  } catch (...) {
    // A list left part-filled is still a list to choose from.
  }
}

// The rates come from the control record held in the global block, which
// the list dialogs reload before they open their editors.  Nothing is
// selected: each dialog selects its own code.
void TaxComboList(HWND combo) {
  try {
    if (!vx70::win::find(combo)) return;
    if (isGridCombo(combo))
      fillTaxGridCombo(combo);
    else
      fillTaxStandardCombo(combo);
  } catch (...) {
    // As above.
  }
}

}  // extern "C"
