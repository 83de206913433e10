// `show`: the state as a person sees it, in one event: the main window
// (title, program date, info text, cursor, access menu, wallpaper, toolbar
// and ledger buttons) and every open
// dialog (or the one named) with its controls, place, size and font.
#include "host/codepage.h"
#include "host/engine/dialog.h"
#include "host/package/desktop.h"
#include "host/package/main_window.h"
#include "host/win32/window.h"
#include "station/station_impl.h"

namespace vx70 {

using nlohmann::json;

namespace {

// Where the dialog stands and how big it is, in pixels, and its
// template's font: what a front end needs to draw the dialog as built.
void describeFrame(const engine::OpenDialog& dialog, json& out) {
  const RECT& r = win::get(dialog.hwnd).rect;
  out["rect"] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  const Module* owner = engine::moduleByNumber(dialog.module);
  if (!owner) return;
  auto frame = owner->resources().dialog(static_cast<std::uint16_t>(dialog.id));
  if (frame && !frame->font.empty())
    out["font"] = {{"name", codepage::toUtf8(frame->font)}, {"size", frame->pointSize}};
}

}  // namespace

void Station::Impl::show(const script::Command& c) {
  script::expectArgs(c, 0, 1);
  json dialogs = json::array();
  if (c.tokens.size() > 1) {
    HWND d = dialogArg(c, 1);
    json one;
    engine::describeDialog(d, one);
    addContextMenus(one);
    for (const auto& o : engine::openDialogs())
      if (o.hwnd == d) describeFrame(o, one);
    dialogs.push_back(std::move(one));
  } else {
    for (const auto& o : engine::openDialogs()) {
      json one;
      engine::describeDialog(o.hwnd, one);
      addContextMenus(one);
      describeFrame(o, one);
      dialogs.push_back(std::move(one));
    }
  }
  emit(json{{"event", "show"}, {"main", describeMain()}, {"dialogs", std::move(dialogs)}});
}

json Station::Impl::describeMain() {
  globvar& g = *g_lpGlobVar;
  char date[16] = {};
  DateNumberToFullString(date, g.programDate);
  HWND info = win::childById(g.infoWindow, kInfoControl);
  json main{{"title", codepage::toUtf8(win::get(mainWindow).text)},
            {"programDate", date},
            {"info", codepage::toUtf8(info ? win::get(info).text : "")},
            {"cursor", win::cursor()},
            {"accessMenu", accessMenuEnabled()},
            {"enabled", win::get(mainWindow).enabled}};
  main.update(package::describeDesktop(g.wallpaperWindow));
  return main;
}

}  // namespace vx70
