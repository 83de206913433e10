// What the main window shows of the module's changes besides its title:
// the state of the access menu.  The station reads it for `show`.
#pragma once

namespace vx70 {

// Whether the main window's access menu is enabled.
bool accessMenuEnabled();
// Sets it without reporting a change: the station's start-up, before any
// front end listens.
void setAccessMenuEnabled(bool enabled);

}  // namespace vx70
