// Wallpaper Defaults: the package's own dialog for the main window's
// wallpaper, carried in the company-defaults module's resources.  The
// package fills and keeps its controls; the module's handlers for it do
// nothing, so its OK and Cancel close it through the engine.
#include "frame/res/ids_options.h"
#include "host/engine/dialog.h"

namespace {

const bool kRegistered = [] {
  vx70::engine::registerEngineKeptDialog(VX70DEF_MODULE, IDD_WALLPAPER_DEFAULTS);
  return true;
}();

}  // namespace
