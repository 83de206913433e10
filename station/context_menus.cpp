// The context menus that the host program gives controls of the module's
// dialogs (a right click, or the menu key, in the browser), and `menu`,
// the command that chooses an item of one.  An item sends its command to
// the control's dialog as WM_COMMAND, as TrackPopupMenu does for its
// owner; no window of the dialog's template carries that command.
//
// The only one so far: the User List's Users grid offers "Remove user"
// (command 2316, which removes the current row's user from the action
// file) to a manager.
#include "frame/res/ids_system.h"
#include "host/engine/dialog.h"
#include "host/win32/window.h"
#include "station/station_impl.h"

namespace vx70 {

using nlohmann::json;
using script::Command;
using script::ScriptError;

namespace {

struct ContextMenuItem {
  UINT dialog;
  UINT control;
  UINT command;
  const char* text;
  bool managerOnly;
};

constexpr ContextMenuItem kContextMenuItems[] = {
    {IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID, IDC_USER_LIST_REMOVE_USER, "Remove user", true},
};

bool offeredToThisUser(const ContextMenuItem& item) {
  return !item.managerOnly || IsUserManager(&g_lpGlobVar->access);
}

// The items that the control offers this station's user.
std::vector<const ContextMenuItem*> menuOf(UINT dialog, UINT control) {
  std::vector<const ContextMenuItem*> items;
  for (const ContextMenuItem& item : kContextMenuItems)
    if (item.dialog == dialog && item.control == control && offeredToThisUser(item))
      items.push_back(&item);
  return items;
}

}  // namespace

void addContextMenus(json& dialog) {
  const UINT id = dialog.value("dialog", 0u);
  auto controls = dialog.find("controls");
  if (controls == dialog.end() || !controls->is_array()) return;
  for (json& control : *controls) {
    json items = json::array();
    for (const ContextMenuItem* item : menuOf(id, control.value("id", 0u)))
      items.push_back({{"command", item->command}, {"text", item->text}});
    if (!items.empty()) control["menu"] = std::move(items);
  }
}

// menu DIALOG CONTROL COMMAND: the person opens the control's context menu
// and chooses the item.
void Station::Impl::menu(const Command& c) {
  HWND control = usableControl(c, 3);
  HWND dialog = win::get(control).parent;
  const UINT controlId = win::get(control).id;
  const auto command = static_cast<UINT>(script::parseNumber(c, 3, "menu item", 0xFFFF));
  bool offered = false;
  for (const ContextMenuItem* item : menuOf(GetDEDialogID(dialog), controlId))
    offered = offered || item->command == command;
  if (!offered)
    throw ScriptError(c.line, "menu: control " + std::to_string(controlId) + " of dialog " +
                                  std::to_string(GetDEDialogID(dialog)) +
                                  " offers this user no menu item " + std::to_string(command));
  if (!focusFirst(control)) return;
  engine::noteUserInput(control);
  win::send(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
}

}  // namespace vx70
