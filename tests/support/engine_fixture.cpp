#include "tests/support/engine_fixture.h"

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>

#include "api/host_api.h"
#include "host/engine/dialog.h"
#include "host/events.h"
#include "host/loader/resources.h"
#include "host/win32/window.h"

namespace vx70::test {

namespace {

EngineFixture* g_fixture = nullptr;

template <int Ordinal>
std::uint32_t recordingHandler(HWND hwnd, UINT message, UINT id, HWND control, UINT notify,
                               UINT initParam) {
  HandlerCall call{Ordinal, hwnd, message, id, control, notify, initParam, GetDEDialogID(hwnd)};
  if (!g_fixture) return 0;
  g_fixture->calls.push_back(call);
  if (g_fixture->behaviour) return g_fixture->behaviour(call);
  return message == WM_INITDIALOG ? 1 : 0;
}

template <int... Ordinals>
std::vector<VX70Export> makeExports(std::integer_sequence<int, Ordinals...>) {
  return {VX70Export{static_cast<std::uint16_t>(Ordinals + 1), nullptr,
                     reinterpret_cast<void*>(&recordingHandler<Ordinals + 1>)}...};
}

const std::vector<VX70Export>& exports() {
  static const std::vector<VX70Export> e = makeExports(std::make_integer_sequence<int, 64>{});
  return e;
}

void closeInnermost() {
  auto open = engine::openDialogs();
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    if (!it->page) {
      DestroyDEDialog(it->hwnd, 0);
      return;
    }
}

}  // namespace

EngineFixture::EngineFixture(std::vector<std::uint8_t> resources)
    : resources_(std::move(resources)) {
  if (g_fixture) throw std::logic_error("one engine fixture at a time");
  g_fixture = this;
  if (resources_.empty()) resources_ = res::readFile(VX70_RES_PATH);
  VX70ModuleImage image{exports().data(), exports().size(), resources_.data(), resources_.size()};
  module_ = Module::fromImage(image, kDefaultsModuleNumber, "recording module");
  static bool registered = false;
  if (!registered) engine::registerEngineClasses();
  registered = true;
  engine::registerModule(module_.get());
  events::setSink([this](const nlohmann::json& e) { events.push_back(e.dump()); });
  engine::setInputWait([this] {
    if (input.empty()) return closeInnermost();
    auto next = std::move(input.front());
    input.pop_front();
    next();
  });
}

EngineFixture::~EngineFixture() {
  engine::setInputWait(nullptr);
  events::setSink(nullptr);
  engine::unregisterModule(kDefaultsModuleNumber);
  win::reset();
  g_fixture = nullptr;
}

}  // namespace vx70::test
