// A module for the station's own tests: the real resources, with handlers
// that ask the person questions and report what they hear, chosen by the
// creation parameter that `open DIALOG PARAM` passes:
//   1  Init asks a Yes/No question, then tells the answer (kind 3)
//   2  Init opens the edit box on "old" (at most 10), then tells the result
//   3  Init closes the dialog at once
//   4  Init posts command 1541, whose handler tells "posted"
//   5  Init opens the file chooser, 6 the colour chooser, then tell the result
//   7  every command is told: "command ID/NOTIFICATION"
//   9  Init requests action 25 and closes the dialog when it is refused;
//      Close ends the action
//  10  Init tells the other stations that the setup record changed
//  11  Init retitles the main window for a company "Probe Ltd    ", then
//      for one without a name
//  12  Init disables the access menu, 13 enables it
//  14  Init makes 29/02/2028 the program date and shows it
//  15  Init sets the info window's year twice: "April 2027" through
//      SetDlgItemTextA, then "May 2027" through SetWindowTextA
//  16  Init writes the time-recording link's chart, then tells "chart RESULT"
//  17  Cancel (and so the close box) leaves the dialog open, saying nothing
// Button 1 closes the dialog with result 1, button 2 with result 0.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "api/host_api.h"
#include "api/module_abi.h"

extern "C" const std::uint8_t vx70def_resources[];
extern "C" const std::uint8_t vx70def_resources_end[];

namespace {

// The command that Init posts for parameter 4, as the module's dialogs post
// their after-Init commands; no window sends it.
constexpr UINT kPostedCommand = 1541;

bool isInitOrdinal(int o) {
  static const int inits[] = {1,  3,  5,  7,  9,  13, 17, 21, 25, 27, 29, 31, 33,
                              35, 37, 39, 41, 45, 49, 51, 53, 55, 57, 59, 61};
  for (int i : inits)
    if (i == o) return true;
  return false;
}

bool isCallback(int o) {
  static const int callbacks[] = {11, 12, 15, 16, 19, 20, 23, 24, 47, 48};
  for (int c : callbacks)
    if (c == o) return true;
  return false;
}

void retitleMainWindow() {
  static setupmap setup;
  std::memset(&setup, 0, sizeof setup);
  std::strcpy(setup.companyName, "Probe Ltd    ");
  SetMainWindowText(g_lpGlobVar->mainWindow, &setup);
  setup.companyName[0] = '\0';
  SetMainWindowText(g_lpGlobVar->mainWindow, &setup);
}

void init(HWND hwnd, UINT param) {
  switch (param) {
    case 1: {
      int r = MsgBox(hwnd, 5, "Save %s?", "changes");
      MsgBox(hwnd, 3, "You said %s", r == 6 ? "yes" : "no");
      break;
    }
    case 2: {
      EditBoxRequest request{};
      request.owner = hwnd;
      std::strcpy(request.text, "old");
      request.maxLength = 10;
      BOOL ok = EditBox(&request);
      MsgBox(hwnd, 3, "edit %d [%s]", ok, request.text);
      break;
    }
    case 3:
      DestroyDEDialog(hwnd, 0);
      break;
    case 4:
      PostMessageA(hwnd, WM_COMMAND, kPostedCommand, 0);
      break;
    case 5: {
      char file[255] = {};
      OPENFILENAMEA request{};
      request.lStructSize = 76;
      request.hwndOwner = hwnd;
      request.lpstrFilter = "Bitmap file (*.BMP)\0*.BMP\0";
      request.lpstrFile = file;
      request.nMaxFile = sizeof file;
      request.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
      BOOL ok = GetOpenFileNameA(&request);
      MsgBox(hwnd, 3, "file %d [%s]", ok, file);
      break;
    }
    case 6: {
      COLORREF custom[16];
      for (auto& c : custom) c = 0xffffff;
      CHOOSECOLORA request{};
      request.lStructSize = 36;
      request.hwndOwner = hwnd;
      request.rgbResult = 0xffffff;
      request.lpCustColors = custom;
      BOOL ok = ChooseColorA(&request);
      MsgBox(hwnd, 3, "colour %d %06x", ok, request.rgbResult);
      break;
    }
    case 9:
      if (!RequestAction(25, 0, &g_lpGlobVar->access, &g_lpGlobVar->dataFiles[DF_ACTIONS], 1))
        DestroyDEDialog(hwnd, 0);
      break;
    case 10:
      GlobalUpdate(g_lpGlobVar->station, 0, 274, 8, 0, 0, 0, 1);
      break;
    case 11:
      retitleMainWindow();
      break;
    case 12:
    case 13:
      EnableAccessMenu(param == 13 ? 1 : 0);
      break;
    case 14:
      g_lpGlobVar->programDate = DateStringToNumber("29/02/2028");
      ShowSystemDate();
      break;
    case 15:
      SetDlgItemTextA(g_lpGlobVar->infoWindow, 102, "April 2027");
      SetWindowTextA(GetDlgItem(g_lpGlobVar->infoWindow, 102), "May 2027");
      break;
    case 16:
      MsgBox(hwnd, 3, "chart %d", CreateGLCOATfile(0));
      break;
    default:
      break;
  }
}

void command(HWND hwnd, UINT id, UINT notify, UINT param) {
  if (param == 7) MsgBox(hwnd, 3, "command %u/%u", id, notify);
  if (param == 4 && id == kPostedCommand) MsgBox(hwnd, 3, "posted");
  if (param == 9 && id == IDCANCEL)
    RequestActionEnd(25, 0, &g_lpGlobVar->access, &g_lpGlobVar->dataFiles[DF_ACTIONS]);
  if (param == 17 && id == IDCANCEL) return;
  if (id == IDOK || id == IDCANCEL) DestroyDEDialog(hwnd, id == IDOK ? 1 : 0);
}

template <int Ordinal>
std::uint32_t handler(HWND hwnd, UINT message, UINT id, HWND, UINT notify, UINT param) {
  if (isCallback(Ordinal)) return Ordinal % 2 == 0 ? 1 : 0;
  if (isInitOrdinal(Ordinal)) {
    init(hwnd, param);
    return 1;
  }
  if (message == WM_COMMAND) command(hwnd, id, notify, param);
  return 0;
}

template <int... O>
std::vector<VX70Export> makeExports(std::integer_sequence<int, O...>) {
  return {VX70Export{static_cast<std::uint16_t>(O + 1), nullptr,
                     reinterpret_cast<void*>(&handler<O + 1>)}...};
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const VX70ModuleImage* VX70GetModuleImage() {
  static const std::vector<VX70Export> exports = makeExports(std::make_integer_sequence<int, 62>{});
  static const VX70ModuleImage image{
      exports.data(), exports.size(), vx70def_resources,
      static_cast<std::size_t>(vx70def_resources_end - vx70def_resources)};
  return &image;
}
