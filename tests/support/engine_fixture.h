// A module for engine tests: the real module's resources with handlers that
// record every call and do what the test asks, registered in-process as
// module 15.  The engine runs on the test's own thread; the test acts as the
// person through `input`, which the engine calls whenever a dialog waits.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "api/win32.h"
#include "host/loader/module.h"

namespace vx70::test {

struct HandlerCall {
  int ordinal;
  HWND hwnd;
  UINT message;
  UINT id;
  HWND control;
  UINT notify;
  UINT initParam;
  UINT dialogId;  // GetDEDialogID(hwnd) at the time of the call
};

class EngineFixture {
 public:
  // Over the module's own resources, or over the given resource image.
  explicit EngineFixture(std::vector<std::uint8_t> resources = {});
  ~EngineFixture();

  std::vector<HandlerCall> calls;
  // Runs inside every handler call after it is recorded; its result is
  // the handler's (default: 1 for Init, 0 otherwise).
  std::function<std::uint32_t(const HandlerCall&)> behaviour;
  // The person's next actions, one taken each time a dialog waits; with
  // none left, the innermost dialog is closed (result 0).
  std::deque<std::function<void()>> input;
  std::vector<std::string> events;  // the engine's events, as JSON text

  Module& module() { return *module_; }

 private:
  std::vector<std::uint8_t> resources_;
  std::unique_ptr<Module> module_;
};

}  // namespace vx70::test
