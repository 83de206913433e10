// Wallpaper Defaults (dialog 3622): the engine creates and fills its
// controls alone; nothing of it is read or saved here.
#include "frame/handlers.h"

VX70_HANDLER(WallpaperDefaultsInit) { return 1; }

VX70_HANDLER(WallpaperDefaultsCommand) { return 0; }
