// The main window's title: the program's name and the company it runs.
#include <cstring>
#include <string>

#include "frame/host_api.h"

extern "C" {

// The company name is a fixed field that may be padded with spaces; the
// title shows it trimmed, and the program's name alone when it is empty.
void SetMainWindowText(HWND mainWindow, const setupmap* setup) {
  try {
    std::string name;
    if (setup)
      name.assign(setup->companyName, strnlen(setup->companyName, sizeof setup->companyName));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    const std::string title = name.empty() ? "VX70" : "VX70 - " + name;
    SetWindowTextA(mainWindow, title.c_str());
  } catch (...) {
    // A title that could not be built leaves the old one standing.
  }
}

}  // extern "C"
