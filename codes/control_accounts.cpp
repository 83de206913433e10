// Control Accounts (3621), and GetControlAccountNo for the other modules.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(ControlAccountsInit) { return 1; }

VX70_HANDLER(ControlAccountsCommand) { return 0; }

extern "C" std::int32_t GetControlAccountNo(std::uint32_t /*nominalRecord*/) { return -1; }
