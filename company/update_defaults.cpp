// Update Defaults (3633).
//
// When the open lists refresh themselves, and whether stations message each
// other over NETBIOS.  The manager edits the company's flags in the setup
// record, any other user a private copy in the own access record, saved
// with the user's options.  The NETBIOS switch is this station's INI
// setting and takes effect at the next start of the program.
#include <cstddef>
#include <iterator>

#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_company.h"

namespace {

// The eleven update boxes, in the order of the list-update flags.
constexpr UINT kUpdateBoxes[11] = {
    IDC_UPDATE_LEDGER_ON_ADD,     IDC_UPDATE_LEDGER_ON_MODIFY,     IDC_UPDATE_LEDGER_ON_POSTING,
    IDC_UPDATE_LAZY_ON_ADD,       IDC_UPDATE_LAZY_ON_MODIFY,       IDC_UPDATE_LAZY_ON_POSTING,
    IDC_UPDATE_BALANCE_ON_MODIFY, IDC_UPDATE_BALANCE_ON_POSTING,   IDC_UPDATE_AGED_ON_MODIFY,
    IDC_UPDATE_AGED_ON_POSTING,   IDC_UPDATE_ACTIVITIES_ON_POSTING};

constexpr UINT kIniSection = 1049;  // "VX70"
constexpr const char* kNetMessagesKey = "NetMessages";
constexpr DWORD kNtPlatform = 2;
constexpr int kSmallCaptionHeight = 51;

datafilemap* setupFile() { return &glob().dataFiles[DF_SETUP]; }
const char* iniSection() { return GetResourceString(kIniSection, g_hInstance); }

bool ticked(HWND dialog, UINT id) { return IsDlgButtonChecked(dialog, static_cast<int>(id)) != 0; }

void enableUpdateBoxes(HWND dialog, bool on) {
  for (UINT id : kUpdateBoxes) EnableWindow(GetDlgItem(dialog, static_cast<int>(id)), on);
}

// The flags of whoever owns them: the company's for the manager, the
// user's own otherwise.  Indexed, as no pointer may point into the packed
// records.
bool managerOwnsFlags() { return IsUserManager(&glob().access) != 0; }
WORD ownFlag(std::size_t i) {
  return managerOwnsFlags() ? glob().setup.listUpdate[i] : glob().access.listUpdate[i];
}
void setOwnFlag(std::size_t i, WORD value) {
  if (managerOwnsFlags())
    glob().setup.listUpdate[i] = value;
  else
    glob().access.listUpdate[i] = value;
}

void warnOnNt(HWND dialog) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version) && version.dwPlatformId == kNtPlatform &&
      GetSystemMetrics(kSmallCaptionHeight) > 0)
    MsgBox(dialog, MSGBOX_WARNING, "Network updates are not available under Windows NT");
}

void saveUpdateDefaults(HWND dialog) {
  globvar& g = glob();
  // 1. The setup record is re-read under its lock.
  FileOpen(setupFile(), 2, 32, 1);
  if (g.lockRecords) LockRec(setupFile(), 1);
  ReadRec(setupFile(), 1, &g.setup);
  // 2. Every box, enabled or not, into the owner's flags.
  for (std::size_t i = 0; i < std::size(kUpdateBoxes); ++i)
    setOwnFlag(i, ticked(dialog, kUpdateBoxes[i]) ? 1 : 0);
  // 3. Written back, also when only the user's flags changed.
  WriteRec(setupFile(), 1, &g.setup);
  if (g.lockRecords) UnLockRec(setupFile(), 1);
  FileClose(setupFile());
  // 4. The messaging choice, with the restart notice only when it differs
  // from this run's state.
  const bool messaging = ticked(dialog, IDC_UPDATE_NET_MESSAGES);
  if (messaging != (g.netMessaging != 0))
    MsgBox(dialog, MSGBOX_NOTICE, "You must restart the program for these changes to take effect");
  g.netMessaging = messaging ? 1 : 0;
  WritePrivateProfileStringA(iniSection(), kNetMessagesKey, messaging ? "1" : "0", GetINI());
  // 5. Other stations reload the setup record.
  AnnounceSetupChanged();
  // 6. The user's own copy goes with the user's options.
  SaveUserOptions(g.dataFiles, &g.setup, &g.access, g.lockRecords);
  // 7. Done.
  DestroyDEDialog(dialog, 1);
}

}  // namespace

VX70_HANDLER(UpdateDefaultsInit) {
  // 1. A warning only; the dialog works all the same.
  warnOnNt(hwnd);
  // 2.
  ReadSetup();
  // 3. and 4. The messaging switch governs the update boxes.
  const bool messaging = GetPrivateProfileIntA(iniSection(), kNetMessagesKey, 0, GetINI()) != 0;
  CheckDlgButton(hwnd, IDC_UPDATE_NET_MESSAGES, messaging ? BST_CHECKED : BST_UNCHECKED);
  enableUpdateBoxes(hwnd, messaging);
  // 5. The owner's flags.
  for (std::size_t i = 0; i < std::size(kUpdateBoxes); ++i)
    CheckDlgButton(hwnd, static_cast<int>(kUpdateBoxes[i]),
                   ownFlag(i) ? BST_CHECKED : BST_UNCHECKED);
  return 1;
}

VX70_HANDLER(UpdateDefaultsCommand) {
  switch (id) {
    case IDC_UPDATE_NET_MESSAGES:
      enableUpdateBoxes(hwnd, ticked(hwnd, IDC_UPDATE_NET_MESSAGES));
      break;
    case IDOK:
      saveUpdateDefaults(hwnd);
      break;
    case IDCANCEL:
      DestroyDEDialog(hwnd, 2);
      break;
    default:
      break;
  }
  return 0;
}
