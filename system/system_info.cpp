// About (3630) with its pages 3628 (empty) and System Info (3629), and
// System Info as a dialog of its own.  One message map serves all three.
//
// About names the program, its version and the company.  System Info
// lists the directories, the machine's figures and the company's data
// figures in an outline grid, starts the system editor, and prints the
// list through the package's report printer: one line a row, headings
// included, into a temporary file that the report layout reads.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_strings.h"
#include "frame/res/ids_system.h"

namespace {

constexpr DWORD kEntryEdition = 16;
constexpr UINT kHelpTechSupport = 10010;
// What the code has always shown as the free global heap.
constexpr long kFreeGlobalHeap = 1048576;
constexpr DWORD kPrintedBySystemInfo = 2;
// SM_DEBUG: nonzero on the debugging version of Windows.
constexpr int kDebugWindowsMetric = 22;

#pragma pack(push, 1)
// One row of the outline (GRID 1011).
struct InfoRow {
  char property[61];
  char settings[256];
};
#pragma pack(pop)
static_assert(sizeof(InfoRow) == 317);

bool entryEdition() { return (glob().edition & kEntryEdition) != 0; }

// ---- About ------------------------------------------------------------------------

void ShowAboutTexts(HWND about) {
  if (entryEdition()) SetDlgItemTextA(about, IDC_ABOUT_TITLE, "Varnel 2000");
  char company[sizeof glob().setup.companyName + 1] = {};
  CopyCut(company, sizeof company, glob().setup.companyName, sizeof glob().setup.companyName);
  SetDlgItemTextA(about, IDC_ABOUT_COMPANY_NAME, CleanUp(company));
  SetDlgItemTextA(about, IDC_ABOUT_VERSION, GetVersionString(&glob().setup));
}

// ---- The outline ------------------------------------------------------------------

class Outline {
 public:
  explicit Outline(HWND grid) : grid_(grid) {}

  void heading(const char* property) { add(0, property, ""); }
  void row(const char* property, const char* settings) { add(1, property, settings); }
  void row(UINT propertyString, const char* settings) {
    row(GetResourceString(propertyString, g_hInstance), settings);
  }
  void number(const char* property, long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    row(property, text);
  }
  void date(const char* property, WORD date) {
    char text[16] = {};
    row(property, DateNumberToFullString(text, date));
  }

 private:
  void add(WPARAM level, const char* property, const char* settings) {
    InfoRow r{};
    CopyCut(r.property, sizeof r.property, property, sizeof r.property);
    CopyCut(r.settings, sizeof r.settings, settings, sizeof r.settings);
    DESendGridMessage(grid_, GM_ADDROW, level, reinterpret_cast<LPARAM>(&r), 0);
  }

  HWND grid_;
};

void AddDirectories(Outline& out) {
  globvar& g = glob();
  out.heading("Directories");
  out.row(IDS_INFO_PROGRAM_DIRECTORY, g.programDirectory);
  char data[MAX_PATH] = {};
  CopyCut(data, sizeof data, GetDirectoryPath(g.dataPath, g.programDirectory, 101, 0), MAX_PATH);
  for (char* c = data; *c; ++c)
    *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  out.row(IDS_INFO_DATA_DIRECTORY, data);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  out.row(IDS_INFO_WINDOWS_DIRECTORY, windows);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  out.row(IDS_INFO_WINDOWS_SYSTEM, system);
}

void AddSystemFigures(Outline& out) {
  out.heading("System information");
  // The memory status is asked for, but the row has always shown a fixed figure.
  MEMORYSTATUS memory{};
  GlobalMemoryStatus(&memory);
  char text[64];
  std::snprintf(text, sizeof text, "%ld", kFreeGlobalHeap);
  out.row(IDS_INFO_FREE_GLOBAL_HEAP, text);
  std::snprintf(text, sizeof text, "%i x %i", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
  out.row(IDS_INFO_SCREEN_RESOLUTION, text);
  // Asked for with a one-byte length and no buffer, the temporary path
  // gives no drive letter: the row stays empty.
  const char drive = 0;
  GetTempPathA(1, nullptr);
  std::snprintf(text, sizeof text, "%c", drive);
  out.row(IDS_INFO_TEMP_DRIVE, text);
  const DWORD version = GetVersion();
  std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(version >> 24),
                static_cast<int>((version >> 16) & 0xFF));
  out.row(IDS_INFO_DOS_VERSION, text);
  std::snprintf(text, sizeof text, "%d.%d%s", static_cast<int>(version & 0xFF),
                static_cast<int>((version >> 8) & 0xFF),
                GetSystemMetrics(kDebugWindowsMetric) ? " Debug Enabled" : "");
  out.row(IDS_INFO_WINDOWS_VERSION, text);
}

void AddDataFigures(Outline& out) {
  const globvar& g = glob();
  const bool full = !entryEdition();
  out.heading("Data information");
  out.number("Headers", static_cast<long>(g.control.headerCount));
  out.number("Splits", static_cast<long>(g.control.splitCount));
  out.number("Usages", static_cast<long>(g.control.usageCount));
  out.number("Customer Accounts", static_cast<long>(g.customerCount));
  out.number("Supplier Accounts", static_cast<long>(g.supplierCount));
  out.number("Nominal Accounts", static_cast<long>(g.nominalCount));
  out.number("Bank Accounts", static_cast<long>(g.bankCount));
  out.number("Stock Records", static_cast<long>(g.stockCount));
  out.number("Invoices", static_cast<long>(g.invoiceCount));
  if (full) {
    out.number("Sales Orders", static_cast<long>(g.salesOrderCount));
    out.number("Purchase Orders", static_cast<long>(g.purchaseOrderCount));
    out.number("Fixed Asset Records", static_cast<long>(g.fixedAssetCount));
  }
  out.number("Last Invoice", static_cast<long>(g.lastInvoiceNo));
  out.number("Last Credit Note", static_cast<long>(g.lastCreditNoteNo));
  if (full) {
    out.number("Last Sales Order", static_cast<long>(g.lastSalesOrderNo));
    out.number("Last Purchase Order", static_cast<long>(g.lastPurchaseOrderNo));
  }
  if (g.setup.auditClearedDate != 0) out.date("Clear Audit Trail ran", g.setup.auditClearedDate);
  out.date("Last backup", g.setup.lastBackupDate);
}

// Headings start closed; opening them from the last to the first keeps
// the row numbers of those still to open.
int OpenEveryLevel(HWND grid) {
  const int count = static_cast<int>(DESendGridMessage(grid, GM_ROWCOUNT, 0, 0, 0));
  for (int row = count - 1; row >= 0; --row) DESendGridMessage(grid, GM_OPENLEVEL, 1, row, 0);
  return static_cast<int>(DESendGridMessage(grid, GM_ROWCOUNT, 0, 0, 0));
}

void FillSystemInfo(HWND page) {
  HWND grid = GetDlgItem(page, IDC_SYSTEM_INFO_GRID);
  Outline out(grid);
  AddDirectories(out);
  AddSystemFigures(out);
  AddDataFigures(out);
  OpenEveryLevel(grid);
}

// ---- Printing ---------------------------------------------------------------------

void WriteText(int file, const char* text) {
  _lwrite(file, text, static_cast<UINT>(std::strlen(text)));
}

void PrintSystemInfo(HWND dialog) {
  // 1. The list, whether this is the page inside About or the dialog itself.
  HWND info = GetDEDialogChild(dialog, IDD_SYSTEM_INFO);
  HWND grid = info ? GetDlgItem(info, IDC_SYSTEM_INFO_GRID) : 0;
  if (!grid) return;
  // 2. Every row shown.
  const int rows = OpenEveryLevel(grid);
  // 3. The temporary file.
  char path[MAX_PATH] = {};
  MakeTempFileName(path);
  const int file = _lcreat(path, 0);
  if (file == -1) {
    MsgBox(dialog, MSGBOX_ERROR,
           "Unable to create temporary file. Check TEMP directory and disk space");
    return;
  }
  // 4. "Property: Settings" a line, headings too.
  for (int row = 0; row < rows; ++row) {
    InfoRow r{};
    DESendGridMessage(grid, GM_GETROW, 0, row, reinterpret_cast<LPARAM>(&r));
    r.property[sizeof r.property - 1] = '\0';
    r.settings[sizeof r.settings - 1] = '\0';
    WriteText(file, r.property);
    WriteText(file, ": ");
    WriteText(file, r.settings);
    WriteText(file, "\r\n");
  }
  // 5. The report printer takes it from here; the file stays.
  _lclose(file);
  glob().reportSource = kPrintedBySystemInfo;
  RunReport(dialog, "SYSINFO.SRT", path, 0, 0, 0);
}

}  // namespace

VX70_HANDLER(SystemInfoInit) {
  const UINT dialog = GetDEDialogID(hwnd);
  // 1. About's texts.
  if (dialog == IDD_ABOUT) ShowAboutTexts(hwnd);
  // 2-4. The list, on the page and on the dialog alike.
  if (dialog == IDD_SYSTEM_INFO) FillSystemInfo(hwnd);
  return 1;
}

VX70_HANDLER(SystemInfoCommand) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      DestroyDEDialog(hwnd, 0);
      break;
    case IDC_ABOUT_TECH_SUPPORT:
      WinHelpA(hwnd, "vx70.hlp", HELP_CONTEXT, kHelpTechSupport);
      break;
    case IDC_SYSTEM_INFO_SYSEDIT:
      Execute("SYSEDIT.EXE");
      break;
    case IDC_SYSTEM_INFO_PRINT:
      PrintSystemInfo(hwnd);
      break;
    case IDC_ABOUT_SYSTEM_INFO:
      CreateDEDialog(hwnd, VX70DEF_MODULE, IDD_SYSTEM_INFO, 0);
      break;
    default:
      break;
  }
  return 0;
}
