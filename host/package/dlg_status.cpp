// The shared dialogs' account status list (VX70DLG): the drop-down list of
// the customer and supplier defaults' default status.
//
// Item i is status i (record i + 1 of the account status file), shown as
// its number and its description without the padding ("2 Closed"), so the
// selection index is the status number whatever the descriptions hold; a
// blank status shows its number alone.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"

namespace {

constexpr int kStatusCount = 100;

// The item text of status i from its record (zeros when it was not read):
// its number, a blank and the description without its padding.  Built by
// hand: a hundred items on every opening of a ledger dialog.
void statusText(int status, const accstatusmap& record, char* text, std::size_t size) {
  char* end = std::to_chars(text, text + size - 1, status).ptr;
  std::size_t length = strnlen(record.description, sizeof record.description - 1);
  // The padding eight blanks at a time, then blank by blank.
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020u;
  for (std::uint64_t last; length >= 8; length -= 8) {
    std::memcpy(&last, record.description + length - 8, sizeof last);
    if (last != kEightBlanks) break;
  }
  while (length > 0 && record.description[length - 1] == ' ') --length;
  if (length > 0 && end < text + size - 1) {
    *end++ = ' ';
    length = std::min(length, static_cast<std::size_t>(text + size - 1 - end));
    end = std::copy_n(record.description, length, end);
  }
  *end = '\0';
}

}  // namespace

extern "C" {

void FillAccStatusCombo(HWND combo) {
  try {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    datafilemap* file = g_lpGlobVar && g_lpGlobVar->dataFiles
                            ? &g_lpGlobVar->dataFiles[DF_ACCOUNT_STATUS]
                            : nullptr;
    bool open = file && FileOpen(file, 0, 64, 1);
    // The hundred records in one read: the list is filled whenever a
    // ledger dialog opens.
    std::vector<std::uint8_t> records;
    if (open) records = vx70::data::ReadRecords(file, 1, kStatusCount);
    for (int status = 0; status < kStatusCount; ++status) {
      accstatusmap record{};
      if (open) std::memcpy(&record, &records[status * sizeof record], sizeof record);
      char text[80];
      statusText(status, record, text, sizeof text);
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (open) FileClose(file);
  } catch (...) {
  }
}

}  // extern "C"
