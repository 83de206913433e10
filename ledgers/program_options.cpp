// Program Options: the container IDD_OPTIONS and its pages Toolbar, Backup,
// Environment, Wallpaper and Colours.
//
// The station's working preferences rather than company data: nearly all
// of them live in the package INI file, in section "VX70" (the engine's own
// keys through its INI calls, the others by name).  The wallpaper goes
// through the common library's wallpaper operations into the setup record,
// which the Wallpaper page stores itself, and into the user's record.
// A colour, "Ignore colours" and the F12 hide key are written the moment
// they are chosen, so Cancel keeps them; everything else is written on OK.
// Nothing is checked, and the dialog takes no multi-user action.
//
// The three hidden Environment boxes (modem port, dial command, delay) are
// read and written back unchanged, so OK also writes their defaults.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_options.h"
#include "frame/res/ids_strings.h"

namespace {

// The wallpaper states of the common library's wallpaper operations.
constexpr UINT kWallpaperPosition = 39;
constexpr UINT kWallpaperShown = 40;
constexpr UINT kPositionCount = 9;

// The host's notify window hears of stored options with this message.
constexpr UINT kOptionsChanged = 5143;
// A colour box takes its colour (lParam) with this message.
constexpr UINT kSetBoxColour = 1030;
constexpr COLORREF kWhite = 0xffffff;
constexpr const char* kWhiteText = "0xffffff";
constexpr UINT kColourCount = 10;

// Buffer sizes: the INI texts are read into 259 bytes and cut to the
// value buffers of the container's entries.
constexpr std::size_t kIniTextSize = 259;
constexpr std::size_t kPathSize = 256;
constexpr std::size_t kProgramSize = 51;
constexpr std::size_t kModemPortSize = 145;
constexpr std::size_t kDialCommandSize = 11;
constexpr std::size_t kFileChars = 255;
constexpr int kDefaultDelay = 30;

// The sizes that the 32-bit comdlg32 structures declare.
constexpr DWORD kOpenFileNameSize = 76;
constexpr DWORD kChooseColourSize = 36;

constexpr DWORD kEntryEdition = 16;
constexpr DWORD kEntryEditionBit = 0x10;
constexpr DWORD kEditionWithoutModem = 8;
constexpr DWORD kEditionsWithoutOrders = 2 | 4;

constexpr const char* kWelcomeSection = "WelcomeScreen";
constexpr const char* kWelcomeWriteSection = "WELCOMESCREEN";
constexpr const char* kWelcomeFile = "VEXA.INI";

// ---- Small helpers ---------------------------------------------------------------

// The section "VX70"; the other strings of a call come from the second
// buffer, so that both texts stand at once.
const char* section() { return GetResourceString(IDS_INI_SECTION, g_hInstance); }
const char* text2(UINT id) { return GetResourceString2(id, g_hInstance); }

HWND item(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

void remove(HWND dialog, UINT id) {
  HWND control = item(dialog, id);
  EnableWindow(control, FALSE);
  ShowWindow(control, SW_HIDE);
}

bool checked(HWND dialog, UINT id) {
  return IsDlgButtonChecked(dialog, static_cast<int>(id)) == BST_CHECKED;
}
void check(HWND dialog, UINT id, UINT value) {
  CheckDlgButton(dialog, static_cast<int>(id), value ? BST_CHECKED : BST_UNCHECKED);
}
const char* flagText(bool on) { return on ? "1" : "0"; }

char* textBuffer(HWND dialog, UINT id) {
  return static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
}
// A missing buffer reads as empty, never as the null that removes a key.
const char* textOf(HWND dialog, UINT id) {
  const char* buffer = textBuffer(dialog, id);
  return buffer ? buffer : "";
}
WORD* wordBuffer(HWND dialog, UINT id) {
  return static_cast<WORD*>(GetControlPtr(dialog, id, ENTRY_WORD));
}

// A text of section "VX70" of the package INI file into a value buffer,
// cut to its size.
void iniTextToBuffer(HWND page, UINT id, std::size_t size, const char* key,
                     const char* defaultValue) {
  char value[kIniTextSize] = {};
  GetPrivateProfileStringA(section(), key, defaultValue, value, sizeof value, GetINI());
  CopyToField(textBuffer(page, id), size, value);
}

UINT iniInt(const char* key, int defaultValue) {
  return GetPrivateProfileIntA(section(), key, defaultValue, GetINI());
}

void writeIni(const char* key, const char* value) {
  WritePrivateProfileStringA(section(), key, value, GetINI());
}

HWND containerOf(HWND window) {
  return GetDEDialogID(window) == IDD_OPTIONS ? window : GetDEDialogParent(window);
}

// ---- Init of the pages -----------------------------------------------------------

void initToolbarPage(HWND toolbar) {
  const int frames = ReadINIInt("ToolbarStandard", 0);
  const int labels = ReadINIInt("ToolbarLabels", 1);
  const int background = ReadINIInt("DisplayBack", 1);
  // Read as the toolbar reads it; no control shows it, and OK clears it.
  ReadINIInt("ToolbarScroll", 1);
  char bitmap[MAX_PATH] = {};
  ReadINIString("BackgroundBitmap", bitmap, "");
  check(toolbar, IDC_OPTIONS_TOOLBAR_FRAMES, frames);
  check(toolbar, IDC_OPTIONS_TOOLBAR_LABELS, labels);
  check(toolbar, IDC_OPTIONS_TOOLBAR_BACKGROUND, background);
  CopyToField(textBuffer(toolbar, IDC_OPTIONS_TOOLBAR_BITMAP), kPathSize, bitmap);
}

void initBackupPage(HWND backup) {
  iniTextToBuffer(backup, IDC_OPTIONS_BACKUP_TOOL, kPathSize, "BackupTool", "");
}

void initEnvironmentPage(HWND environment) {
  const DWORD edition = glob().edition;
  // 1. The welcome screen is the entry edition's alone.
  if (edition != kEntryEdition) remove(environment, IDC_OPTIONS_WELCOME_SCREEN);
  // 2. The settings, texts cut to their boxes.
  iniTextToBuffer(environment, IDC_OPTIONS_MODEM_PORT, kModemPortSize, "Modem",
                  text2(IDS_DEFAULT_MODEM_PORT));
  iniTextToBuffer(environment, IDC_OPTIONS_DIAL_COMMAND, kDialCommandSize, "DialType",
                  text2(IDS_DEFAULT_DIAL_COMMAND));
  if (WORD* delay = wordBuffer(environment, IDC_OPTIONS_DIAL_DELAY))
    *delay = static_cast<WORD>(iniInt("Delay", kDefaultDelay));
  iniTextToBuffer(environment, IDC_OPTIONS_F11, kProgramSize, "F11", text2(IDS_DEFAULT_F11));
  const UINT f12 = (edition & kEntryEditionBit) ? IDS_DEFAULT_F12_ENTRY : IDS_DEFAULT_F12;
  iniTextToBuffer(environment, IDC_OPTIONS_F12, kProgramSize, "F12", text2(f12));
  check(environment, IDC_OPTIONS_HIDE_ON_F12, iniInt("HideOnF12", 0));
  check(environment, IDC_OPTIONS_WELCOME_SCREEN,
        GetPrivateProfileIntA(kWelcomeSection, "Show", 1, GetINI()));
  // 3. Edition 8 has no modem: its boxes are disabled as well as hidden.
  if (edition == kEditionWithoutModem) {
    remove(environment, IDC_OPTIONS_MODEM_PORT);
    remove(environment, IDC_OPTIONS_DIAL_COMMAND);
    remove(environment, IDC_OPTIONS_DIAL_DELAY);
  }
}

void initWallpaperPage(HWND wallpaper) {
  globvar& g = glob();
  ReadSetup();
  CopyToField(textBuffer(wallpaper, IDC_WALLPAPER_BITMAP), kPathSize,
              GetWallPaperFileName(&g.setup, &g.access));
  const BYTE position = GetWallPaperState(kWallpaperPosition, &g.setup, &g.access);
  CheckRadioButton(wallpaper, IDC_WALLPAPER_TOP_LEFT, IDC_WALLPAPER_CENTERED,
                   IDC_WALLPAPER_TOP_LEFT + position);
  check(wallpaper, IDC_WALLPAPER_DISPLAY, GetWallPaperState(kWallpaperShown, &g.setup, &g.access));
}

// A stored colour "80ff80" and the default "0xffffff" both read in base 16.
COLORREF storedColour(UINT index) {
  char value[kIniTextSize] = {};
  GetPrivateProfileStringA(section(), text2(IDS_COLOUR_KEY_CUSTOMERS + index), kWhiteText, value,
                           sizeof value, GetINI());
  return static_cast<COLORREF>(std::strtoul(value, nullptr, 16));
}

void initColoursPage(HWND colours) {
  const DWORD edition = glob().edition;
  // 1.
  check(colours, IDC_OPTIONS_IGNORE_COLOURS, iniInt("IgnoreColorBars", 0));
  // 2. Each box shows its ledger's stored colour.
  for (UINT i = 0; i < kColourCount; ++i)
    SendDlgItemMessageA(colours, static_cast<int>(IDC_COLOUR_CUSTOMERS_BOX + i), kSetBoxColour, 0,
                        storedColour(i));
  // 3. The entry edition has no order processing and no fixed assets.
  if (edition & kEntryEditionBit) {
    static constexpr UINT kNotInEntry[] = {IDC_COLOUR_SOP_BOX,
                                           IDC_COLOUR_POP_BOX,
                                           IDC_COLOUR_ASSETS_BOX,
                                           IDC_COLOUR_SOP_BUTTON,
                                           IDC_COLOUR_POP_BUTTON,
                                           IDC_COLOUR_ASSETS_BUTTON,
                                           0};
    DisableFields(colours, kNotInEntry);
  }
  // 4. Editions 2 and 4 have no order processing.
  if (edition & kEditionsWithoutOrders) {
    static constexpr UINT kNoOrders[] = {IDC_COLOUR_SOP_BOX, IDC_COLOUR_POP_BOX,
                                         IDC_COLOUR_SOP_BUTTON, IDC_COLOUR_POP_BUTTON, 0};
    DisableFields(colours, kNoOrders);
  }
}

// ---- Saving on OK ------------------------------------------------------------------

void SaveEnvironmentOptions(HWND environment) {
  globvar& g = glob();
  writeIni("Modem", textOf(environment, IDC_OPTIONS_MODEM_PORT));
  writeIni("DialType", textOf(environment, IDC_OPTIONS_DIAL_COMMAND));
  writeIni("F11", textOf(environment, IDC_OPTIONS_F11));
  writeIni("F12", textOf(environment, IDC_OPTIONS_F12));
  char delay[16] = {};
  const WORD* value = wordBuffer(environment, IDC_OPTIONS_DIAL_DELAY);
  std::snprintf(delay, sizeof delay, "%d", value ? *value : kDefaultDelay);
  writeIni("Delay", delay);
  WriteINIInt("UseDosNavigation", 0);
  WritePrivateProfileStringA(kWelcomeWriteSection, "Show",
                             flagText(checked(environment, IDC_OPTIONS_WELCOME_SCREEN)),
                             kWelcomeFile);
  SaveUserOptions(g.dataFiles, &g.setup, &g.access, g.lockRecords);
}

// The index of the last checked position button; -1 when none is.
int checkedPosition(HWND wallpaper) {
  int position = -1;
  for (UINT i = 0; i < kPositionCount; ++i)
    if (checked(wallpaper, IDC_WALLPAPER_TOP_LEFT + i)) position = static_cast<int>(i);
  return position;
}

void showWallpaper() {
  globvar& g = glob();
  if (GetWallPaperState(kWallpaperShown, &g.setup, &g.access))
    SLSetBitmap(g.wallpaperWindow, GetWallPaperFileName(&g.setup, &g.access),
                GetWallPaperState(kWallpaperPosition, &g.setup, &g.access));
  else
    SLSetBitmap(g.wallpaperWindow, "", 0);
}

void SaveWallpaperOptions(HWND wallpaper) {
  globvar& g = glob();
  datafilemap* setupFile = &g.dataFiles[DF_SETUP];
  // 1.
  const int checkedAt = checkedPosition(wallpaper);
  // 2.
  FileOpen(setupFile, OF_READWRITE, OF_SHARE_DENY_NONE, 1);
  if (g.lockRecords) LockRec(setupFile, 1);
  // 3. The record as stored now, so that other stations' fields survive.
  ReadRec(setupFile, 1, &g.setup);
  // 4. With no position checked the stored one is kept.
  const BYTE position = checkedAt < 0 ? GetWallPaperState(kWallpaperPosition, &g.setup, &g.access)
                                      : static_cast<BYTE>(checkedAt);
  char name[MAX_PATH] = {};
  CopyCut(name, sizeof name, textOf(wallpaper, IDC_WALLPAPER_BITMAP), MAX_PATH - 1);
  SetWallPaperFileName(name, &g.setup, &g.access);
  SetWallPaperState(kWallpaperPosition, position, &g.setup, &g.access);
  SetWallPaperState(kWallpaperShown, checked(wallpaper, IDC_WALLPAPER_DISPLAY) ? 1 : 0, &g.setup,
                    &g.access);
  // 5.
  WriteRec(setupFile, 1, &g.setup);
  if (g.lockRecords) UnLockRec(setupFile, 1);
  FileClose(setupFile);
  // 6.
  AnnounceSetupChanged();
  // 7. Display off clears the wallpaper window.
  showWallpaper();
  // 8. The user's own wallpaper.
  SaveUserOptions(g.dataFiles, &g.setup, &g.access, g.lockRecords);
  // 9.
  InvalidateRect(g.wallpaperWindow, nullptr, TRUE);
  UpdateWindow(g.wallpaperWindow);
}

void SaveToolbarOptions(HWND toolbar) {
  WriteINIString("ToolbarState", "0");
  WriteINIString("ToolbarScroll", "0");
  WriteINIString("ToolbarStandard", flagText(checked(toolbar, IDC_OPTIONS_TOOLBAR_FRAMES)));
  WriteINIString("ToolbarLabels", flagText(checked(toolbar, IDC_OPTIONS_TOOLBAR_LABELS)));
  WriteINIString("DisplayBack", flagText(checked(toolbar, IDC_OPTIONS_TOOLBAR_BACKGROUND)));
  WriteINIString("BackgroundBitmap", textOf(toolbar, IDC_OPTIONS_TOOLBAR_BITMAP));
}

void SaveBackupOptions(HWND backup) {
  writeIni("BackupTool", textOf(backup, IDC_OPTIONS_BACKUP_TOOL));
}

void saveOptions(HWND container) {
  globvar& g = glob();
  // 1. The pages that store on OK, Environment first.
  SaveEnvironmentOptions(GetDEDialogChild(container, IDD_OPTIONS_ENVIRONMENT));
  SaveWallpaperOptions(GetDEDialogChild(container, IDD_OPTIONS_WALLPAPER));
  SaveToolbarOptions(GetDEDialogChild(container, IDD_OPTIONS_TOOLBAR));
  SaveBackupOptions(GetDEDialogChild(container, IDD_OPTIONS_BACKUP));
  // 2. The main window and the other stations take them up.
  SetMainModuleAccess();
  SendMessageA(g.notifyWindow, kOptionsChanged, 0, 1);
  AnnounceSetupChanged();
  DestroyDEDialog(container, 0);
}

// ---- Choices stored at once ------------------------------------------------------

struct BrowseTarget {
  UINT page;
  UINT control;
  const char* filter;
};
constexpr BrowseTarget kBrowseTargets[] = {
    {IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_BITMAP, "Bitmap file (*.BMP)|*.BMP|"},
    {IDD_OPTIONS_BACKUP, IDC_OPTIONS_BACKUP_TOOL, "Executable Files (*.EXE)|*.EXE|"},
    {IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BITMAP, "Bitmap file (*.BMP)|*.BMP|"},
};

// The chosen file goes into the page's path box; a cancelled chooser
// changes nothing.
void browse(HWND page) {
  const UINT pageId = GetDEDialogID(page);
  const auto* target = std::find_if(std::begin(kBrowseTargets), std::end(kBrowseTargets),
                                    [&](const BrowseTarget& t) { return t.page == pageId; });
  if (target == std::end(kBrowseTargets)) return;
  // "name|pattern|" becomes "name\0pattern\0\0".
  char filter[64] = {};
  std::strncpy(filter, target->filter, sizeof filter - 2);
  for (char& c : filter)
    if (c == '|') c = '\0';
  char file[kFileChars + 1] = {};
  OPENFILENAMEA request{};
  request.lStructSize = kOpenFileNameSize;
  request.hwndOwner = page;
  request.lpstrFilter = filter;
  request.lpstrFile = file;
  request.nMaxFile = kFileChars;
  request.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&request)) return;
  CopyToField(textBuffer(page, target->control), kPathSize, file);
  UpdateDEControl(page, target->control);
}

// The box shows the colour, the INI file keeps it and the main window
// takes it up at once.
void SaveLedgerColour(HWND colours, UINT button, COLORREF colour) {
  const UINT index = button - IDC_COLOUR_CUSTOMERS_BUTTON;
  SendDlgItemMessageA(colours, static_cast<int>(IDC_COLOUR_CUSTOMERS_BOX + index), kSetBoxColour, 0,
                      colour);
  char text[16] = {};
  std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(colour));
  WritePrivateProfileStringA(section(), text2(IDS_COLOUR_KEY_CUSTOMERS + index), text, GetINI());
  LoadLedgerColors();
}

void chooseColour(HWND colours, UINT button) {
  COLORREF custom[16];
  std::fill(std::begin(custom), std::end(custom), kWhite);
  CHOOSECOLORA request{};
  request.lStructSize = kChooseColourSize;
  request.hwndOwner = colours;
  request.rgbResult = kWhite;
  request.lpCustColors = custom;
  request.Flags = 0;
  if (ChooseColorA(&request)) SaveLedgerColour(colours, button, request.rgbResult);
}

void ignoreColours(HWND colours) {
  writeIni("IgnoreColorBars", flagText(checked(colours, IDC_OPTIONS_IGNORE_COLOURS)));
  LoadLedgerColors();
}

bool isColourButton(UINT id) {
  return id >= IDC_COLOUR_CUSTOMERS_BUTTON && id <= IDC_COLOUR_ASSETS_BUTTON;
}

}  // namespace

VX70_HANDLER(OptionsInit) {
  switch (GetDEDialogID(hwnd)) {
    case IDD_OPTIONS_TOOLBAR:
      initToolbarPage(hwnd);
      break;
    case IDD_OPTIONS_BACKUP:
      initBackupPage(hwnd);
      break;
    case IDD_OPTIONS_ENVIRONMENT:
      initEnvironmentPage(hwnd);
      break;
    case IDD_OPTIONS_WALLPAPER:
      initWallpaperPage(hwnd);
      break;
    case IDD_OPTIONS_COLOURS:
      initColoursPage(hwnd);
      break;
    default:  // the container has nothing of its own
      break;
  }
  UpdateDEDialog(hwnd);
  return 1;
}

VX70_HANDLER(OptionsCommand) {
  if (isColourButton(id)) {
    chooseColour(hwnd, id);
    return 0;
  }
  switch (id) {
    case IDC_OK:
      saveOptions(containerOf(hwnd));
      break;
    case IDCANCEL:
      // What was written on a click stays written.
      DestroyDEDialog(containerOf(hwnd), 0);
      break;
    case IDC_OPTIONS_BROWSE:
      browse(hwnd);
      break;
    case IDC_OPTIONS_IGNORE_COLOURS:
      ignoreColours(hwnd);
      break;
    case IDC_OPTIONS_HIDE_ON_F12:
      writeIni("HideOnF12", flagText(checked(hwnd, IDC_OPTIONS_HIDE_ON_F12)));
      break;
    default:
      break;
  }
  return 0;
}
