// A dialog that holds the engine's controls and records the commands they
// send it, as the module's handlers hear them; a test may act on each.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "api/host_api.h"
#include "frame/res/ids_company.h"
#include "host/engine/grid.h"
#include "host/win32/window.h"
#include "tests/support/res_fixture.h"

namespace vx70::test {

struct Command {
  UINT id;
  WORD code;
  HWND control;
};

inline std::vector<Command> g_commands;
inline std::function<void(const Command&)> g_onCommand;

inline LRESULT recordingDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COMMAND) return win::defWindowProc(window, message, wParam, lParam);
  Command c{LOWORD(wParam), HIWORD(wParam), static_cast<HWND>(lParam)};
  g_commands.push_back(c);
  if (g_onCommand) g_onCommand(c);
  return 0;
}

class RecordingDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::reset();
    g_commands.clear();
    g_onCommand = nullptr;
    win::registerClass("RecordingDialog", recordingDialog);
    engine::registerEngineControls();
    // The dialog of the month list, which asks for it; the other controls
    // never do.
    dialog = win::createWindow("RecordingDialog", "", WS_VISIBLE, {}, 0, IDD_FINANCIAL_YEAR);
    other = win::createWindow("RecordingDialog", "", WS_CHILD | WS_VISIBLE, {}, dialog, 1);
  }
  void TearDown() override {
    g_onCommand = nullptr;
    win::reset();
  }

  // A grid or grid-combo of that GRID layout (none: a look-up field).
  HWND make(const char* cls, std::optional<std::uint16_t> gridId, UINT id,
            DialogHandler rowsNeeded = nullptr, UINT entryLength = 0, HWND parent = 0) {
    std::optional<res::Grid> layout;
    if (gridId) layout = Resources().grid(*gridId);
    if (!parent) parent = dialog;
    engine::GridCreateParams params{layout ? &*layout : nullptr, parent, id, rowsNeeded,
                                    entryLength};
    return win::createWindow(cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, {}, parent, id, &params);
  }

  static std::vector<WORD> codesFrom(std::optional<UINT> id = std::nullopt) {
    std::vector<WORD> codes;
    for (const auto& c : g_commands)
      if (!id || c.id == *id) codes.push_back(c.code);
    return codes;
  }

  HWND dialog = 0;
  HWND other = 0;
};

}  // namespace vx70::test
