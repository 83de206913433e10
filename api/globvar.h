// The global block of the running program (VX70GV): the company's setup,
// control and access records held in memory byte for byte as stored, the
// data file map and the station's state.  The host owns it; the module
// reads and changes it in place through g_lpGlobVar.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records.h"
#include "win32.h"

// The data file numbers of the company.
enum DataFileNumber : std::uint16_t {
  DF_SETUP = 0,
  DF_PRODUCT_CATEGORIES = 7,
  DF_NOMINAL = 10,
  DF_CONTROL = 18,
  DF_DEPARTMENTS = 19,
  DF_CURRENCIES = 20,
  DF_USERS = 31,
  DF_ACTIONS = 32,
  DF_ASSET_CATEGORIES = 35,
  DF_FINANCE_RATES = 48,
  DF_ACCOUNT_STATUS = 49,
};
inline constexpr int kDataFileCount = 64;

// One entry of the data file map.  The data file library keeps its state
// for the file here; a handler only passes the entry's address.
struct datafilemap {
  WORD number;        // the file's number, also its index in the map
  WORD recordLength;  // 0 for a number that names no file of the company
  char name[24];      // "setup", "currencies"...
  DWORD openCount;    // FileOpen calls not yet closed
  DWORD access;       // of the latest FileOpen
  DWORD share;
  void* library;  // the data file library's own state
};
// The fields before the library's pointer lie alike on 32-bit Windows and
// 64-bit Linux; the pointer, and so the entry's size (the map's stride),
// follow each build's own width.
static_assert(offsetof(datafilemap, name) == 4);
static_assert(offsetof(datafilemap, openCount) == 28);
static_assert(offsetof(datafilemap, share) == 36);
static_assert(offsetof(datafilemap, library) == 40);
static_assert(sizeof(datafilemap) == (sizeof(void*) == 4 ? 44 : 48));

// One layout on 32-bit Windows and 64-bit Linux: 32-bit words and handles,
// a double at a multiple of 8, and the one pointer (the data file map) last,
// at a multiple of 8, so that its width moves nothing.
struct globvar {
  setupmap setup;    // record 1 of data file 0
  contmap control;   // record 1 of data file 18
  accessmap access;  // the current user's record of data file 31
  DWORD edition;     // 1, 2, 4, 8 or 16 (16: the entry edition)
  DWORD multiUser;
  DWORD lockRecords;
  DWORD station;  // this station's number
  HWND mainWindow;
  HWND infoWindow;  // its control 102 shows the financial year
  HWND wallpaperWindow;
  HWND notifyWindow;
  DWORD detailsLocked;
  WORD programDate;
  DWORD netMessaging;
  DWORD negativeStockCount;
  double userCallChargeRate;
  DWORD reportSource;
  char programDirectory[MAX_PATH];
  char dataPath[MAX_PATH];
  DWORD customerCount;
  DWORD supplierCount;
  DWORD nominalCount;
  DWORD bankCount;
  DWORD stockCount;
  DWORD invoiceCount;
  DWORD salesOrderCount;
  DWORD purchaseOrderCount;
  DWORD fixedAssetCount;
  DWORD lastInvoiceNo;
  DWORD lastCreditNoteNo;
  DWORD lastSalesOrderNo;
  DWORD lastPurchaseOrderNo;
  datafilemap* dataFiles;  // kDataFileCount entries
};
static_assert(offsetof(globvar, control) == 4783);
static_assert(offsetof(globvar, access) == 6063);
static_assert(offsetof(globvar, edition) == 6576);
static_assert(offsetof(globvar, station) == 6588);
static_assert(offsetof(globvar, mainWindow) == 6592);
static_assert(offsetof(globvar, notifyWindow) == 6604);
static_assert(offsetof(globvar, programDate) == 6612);
static_assert(offsetof(globvar, netMessaging) == 6616);
static_assert(offsetof(globvar, userCallChargeRate) == 6624);
static_assert(offsetof(globvar, programDirectory) == 6636);
static_assert(offsetof(globvar, dataPath) == 6896);
static_assert(offsetof(globvar, lastPurchaseOrderNo) == 7204);
static_assert(offsetof(globvar, dataFiles) == 7208);
static_assert(sizeof(globvar) == 7216);
