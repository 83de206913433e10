// Account Status (901) and Edit Account Status (9026).
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(AccountStatusInit) { return 1; }

VX70_HANDLER(AccountStatusCommand) { return 0; }

VX70_HANDLER(EditAccountStatusInit) { return 1; }

VX70_HANDLER(EditAccountStatusCommand) { return 0; }
