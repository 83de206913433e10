// User List: the container IDD_USER_LIST and its pages IDD_USER_LIST_USERS
// and IDD_USER_LIST_REQUESTS.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"
#include "frame/res/ids_system.h"

VX70_HANDLER(UserListInit) { return 1; }

VX70_HANDLER(UserListCommand) { return 0; }
