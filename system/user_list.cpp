// User List: the container 3634 and its pages 3635, 3636.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(UserListInit) { return 1; }

VX70_HANDLER(UserListCommand) { return 0; }
