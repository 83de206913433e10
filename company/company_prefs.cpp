// Company Preferences: the container 3600 and its pages 3601 Address,
// 3602 Labels, 3603 Parameters and 3604 Environment.
//
// One Init and one Command serve the whole family.  The container's
// control entries hold every page's value buffers (the pages only link to
// them) and three slots that remember the page windows, so that a command
// from one page can reach another.  The Environment page is never in the
// tab list; its settings belong to Program Options, and only Discard
// reloads its buffers.
//
// The edition decides which Parameters controls exist.  A removed control
// is disabled and hidden; the "Others" check boxes that remain are packed
// into two columns, five to the left.  In edition 8 the call-charge combo
// is only disabled while its caption and the "Others" frame are hidden; we
// keep that as it stands, so the box shows its value greyed.
//
// Style bit 0x8000 of the frame behind the address lines tells our engine
// to draw the frame as part of editable details; with the details locked
// the bit is cleared and the frame is drawn plain, like the fields it
// holds.
//
// OK re-reads the setup record first, so that the fields this dialog does
// not show keep what other stations stored meanwhile, then merges the
// pages into it, stores it and tells the other stations.  No check stops
// the save: the guards act when a check box is clicked.
#include <cstddef>
#include <cstring>
#include <iterator>

#include "api/grid_messages.h"
#include "api/host_api.h"
#include "frame/handlers.h"
#include "frame/kit.h"
#include "frame/res/ids_company.h"

namespace {

constexpr LONG kEditableFrameStyle = 0x8000;
constexpr std::size_t kCompanyNameChars = 60;

// The "Others" boxes in the order they are packed.
constexpr UINT kOthersBoxes[] = {IDC_PREFS_ACCESS_RIGHTS,   IDC_PREFS_NO_VISA_WARNING,
                                 IDC_PREFS_EXCLUDE_DELETED, IDC_PREFS_NO_RECURRING,
                                 IDC_PREFS_COPY_SKELETON,   IDC_PREFS_ACCOUNT_STATUS,
                                 IDC_PREFS_PPSR_BY_SPLIT,   IDC_PREFS_BANK_REC_GROUPING,
                                 IDC_PREFS_NEGATIVE_STOCK,  IDC_PREFS_WORKCLOCK};
constexpr int kOthersLeftX = 20;
constexpr int kOthersRightX = 195;
constexpr int kOthersTopY = 168;
constexpr int kOthersRowHeight = 23;
constexpr int kOthersPerColumn = 5;
constexpr UINT kMoveOnly = SWP_NOSIZE | 0x0200;  // and no owner Z-order change

// Strings and messages.
constexpr UINT kVatSchemeLocked = 1090;
constexpr UINT kItemVatWarning = 1096;
constexpr UINT kIniSection = 1049;  // "VX70"
constexpr UINT kDefaultPort = 1003;
constexpr UINT kDefaultDialType = 1004;
constexpr UINT kDefaultF11 = 1007;
constexpr UINT kDefaultF12 = 1008;
constexpr const char* kOthersLoggedIn =
    "You cannot change this value when other users are logged in";
constexpr const char* kNegativeStock = "One or more Products have a negative\nstock value.";

constexpr UINT kCompanyPrefsAction = 25;
// Windows of other parts of the package that follow the VAT scheme.
constexpr UINT kVatFollowers[] = {1001, 1201};
constexpr UINT kVatFollowerControl = 1011;

constexpr DWORD kEditionsWithoutStockOptions = 4 | 8;
constexpr DWORD kEditionsWithoutCallCharges = 2 | 4 | 16;
constexpr DWORD kEditionsWithoutChequeLines = ~DWORD{3};
constexpr DWORD kEntryEdition = 16;
constexpr DWORD kEditionWithoutDeletedOption = 8;
constexpr DWORD kEditionWithItemVatWarning = 1;

// ---- Small helpers ---------------------------------------------------------------

datafilemap* actionFile() { return &glob().dataFiles[DF_ACTIONS]; }
const char* text(UINT id) { return GetResourceString(id, g_hInstance); }

// The container from any window of the family.
HWND containerOf(HWND window) {
  return GetDEDialogID(window) == IDD_COMPANY_PREFS ? window : GetParent(window);
}

HWND item(HWND dialog, UINT id) { return GetDlgItem(dialog, static_cast<int>(id)); }

void remove(HWND dialog, UINT id) {
  HWND control = item(dialog, id);
  EnableWindow(control, FALSE);
  ShowWindow(control, SW_HIDE);
}

void disableAll(HWND dialog, const UINT* ids, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) EnableWindow(item(dialog, ids[i]), FALSE);
}

UINT checkState(HWND dialog, UINT id) { return IsDlgButtonChecked(dialog, static_cast<int>(id)); }
void check(HWND dialog, UINT id, UINT state) {
  CheckDlgButton(dialog, static_cast<int>(id), state);
}

// A check box that the click has just turned goes back to where it was.
void turnBack(HWND dialog, UINT id) {
  check(dialog, id, checkState(dialog, id) ? BST_UNCHECKED : BST_CHECKED);
}

char* textBuffer(HWND dialog, UINT id) {
  return static_cast<char*>(GetControlPtr(dialog, id, ENTRY_TEXT));
}

// A fixed text field into the buffer of the same size, or the other way;
// a field that lacks its terminator is cut.
template <std::size_t N>
void bufferFromField(HWND dialog, UINT id, const char (&field)[N]) {
  CopyToField(textBuffer(dialog, id), N, field);
}

// A missing buffer leaves the field as it was.
template <std::size_t N>
void fieldFromBuffer(char (&field)[N], HWND dialog, UINT id) {
  if (const char* buffer = textBuffer(dialog, id)) CopyToField(field, buffer);
}

HWND pageFromSlot(HWND container, UINT slot) {
  auto* stored = static_cast<HWND*>(GetControlPtr(container, slot, ENTRY_SLOT));
  return stored ? *stored : 0;
}

void rememberPage(HWND page, UINT slot) {
  if (auto* stored = static_cast<HWND*>(GetControlPtr(containerOf(page), slot, ENTRY_SLOT)))
    *stored = page;
}

// ---- Init of the pages -----------------------------------------------------------

// The captions of the address lines are the labels, trimmed in the setup
// record in memory.
void showAddressCaptions(HWND address) {
  setupmap& setup = glob().setup;
  for (UINT i = 0; i < 5; ++i) {
    CleanUp(setup.addressLabel[i]);
    SetDlgItemTextA(address, static_cast<int>(IDC_PREFS_ADDRESS_CAPTION1 + i),
                    setup.addressLabel[i]);
    bufferFromField(address, IDC_PREFS_ADDRESS_LINE1 + i, setup.addressLine[i]);
  }
}

void lockCompanyDetails(HWND address) {
  HWND frame = item(address, IDC_PREFS_ADDRESS_FRAME);
  const LONG style = GetWindowLongA(frame, GWL_STYLE);
  if (!glob().detailsLocked) {
    SetWindowLongA(frame, GWL_STYLE, style | kEditableFrameStyle);
    return;
  }
  SetWindowLongA(frame, GWL_STYLE, style & ~kEditableFrameStyle);
  static constexpr UINT kDetails[] = {
      IDC_PREFS_COMPANY_NAME,  IDC_PREFS_ADDRESS_LINE1, IDC_PREFS_ADDRESS_LINE2,
      IDC_PREFS_ADDRESS_LINE3, IDC_PREFS_ADDRESS_LINE4, IDC_PREFS_ADDRESS_LINE5,
      IDC_PREFS_TELEPHONE,     IDC_PREFS_EMAIL,         IDC_PREFS_WEB_SITE,
      IDC_PREFS_FAX,           IDC_PREFS_VAT_REG_NO,    IDC_PREFS_CREDIT_REF_NO,
      IDC_PREFS_PRINT_NAME};
  disableAll(address, kDetails, std::size(kDetails));
}

void initAddressPage(HWND address) {
  const setupmap& setup = glob().setup;
  // 1. The page is found again through its slot.
  rememberPage(address, IDC_PREFS_ADDRESS_SLOT);
  // 2. Address lines under their labels.
  showAddressCaptions(address);
  // 3. The other details.
  check(address, IDC_PREFS_PRINT_NAME, setup.printNameOnStationery);
  bufferFromField(address, IDC_PREFS_EMAIL, setup.email);
  bufferFromField(address, IDC_PREFS_WEB_SITE, setup.www);
  bufferFromField(address, IDC_PREFS_TELEPHONE, setup.telephone);
  bufferFromField(address, IDC_PREFS_FAX, setup.fax);
  bufferFromField(address, IDC_PREFS_VAT_REG_NO, setup.vatRegNo);
  bufferFromField(address, IDC_PREFS_CREDIT_REF_NO, setup.creditRefNo);
  bufferFromField(address, IDC_PREFS_COMPANY_NAME, setup.companyName);
  // 4. The entry edition keeps no credit reference.
  if (glob().edition == kEntryEdition) {
    remove(address, IDC_PREFS_CREDIT_REF_CAPTION);
    remove(address, IDC_PREFS_CREDIT_REF_NO);
  }
  // 5. Locked details are read-only.
  lockCompanyDetails(address);
  UpdateDEDialog(address);
}

void loadLabelBuffers(HWND dialog) {
  const setupmap& setup = glob().setup;
  for (UINT i = 0; i < 5; ++i)
    bufferFromField(dialog, IDC_PREFS_ADDRESS_LABEL1 + i, setup.addressLabel[i]);
  for (UINT i = 0; i < 3; ++i) {
    bufferFromField(dialog, IDC_PREFS_CUSTOMER_LABEL1 + i, setup.customerAnalysisLabel[i]);
    bufferFromField(dialog, IDC_PREFS_SUPPLIER_LABEL1 + i, setup.supplierAnalysisLabel[i]);
  }
}

void initLabelsPage(HWND labels) {
  rememberPage(labels, IDC_PREFS_LABELS_SLOT);
  loadLabelBuffers(labels);
  UpdateDEDialog(labels);
}

WORD* wordBuffer(HWND dialog, UINT id) {
  return static_cast<WORD*>(GetControlPtr(dialog, id, ENTRY_WORD));
}

void setCheckBoxes(HWND parameters) {
  const setupmap& s = glob().setup;
  check(parameters, IDC_PREFS_END_BANNER, s.printEndBanner);
  check(parameters, IDC_PREFS_ITEM_VAT, s.itemVatAmendable);
  check(parameters, IDC_PREFS_VAT_CASH, s.vatCashAccounting);
  check(parameters, IDC_PREFS_ACCESS_RIGHTS, s.accessRights);
  check(parameters, IDC_PREFS_NO_VISA_WARNING, s.noVisaWarning);
  check(parameters, IDC_PREFS_EXCLUDE_DELETED, s.excludeDeleted);
  check(parameters, IDC_PREFS_NO_RECURRING, s.noRecurringAtStartup);
  check(parameters, IDC_PREFS_COPY_SKELETON, s.copySkeletonValues);
  check(parameters, IDC_PREFS_ACCOUNT_STATUS, s.displayAccountStatus);
  check(parameters, IDC_PREFS_PPSR_BY_SPLIT, s.listPpSrBySplit);
  check(parameters, IDC_PREFS_BANK_REC_GROUPING, s.groupBankRecItems);
  check(parameters, IDC_PREFS_NEGATIVE_STOCK, s.allowNegativeStock);
  check(parameters, IDC_PREFS_AGE_DISPUTES, s.ageDisputesAsCurrent);
  check(parameters, IDC_PREFS_WORKCLOCK, s.workclockLink);
}

// With access rights on, a user other than the manager keeps a call-charge
// rate of the own; everybody else edits the company's.
bool callChargeIsUsers(WORD accessRights) { return accessRights && !IsUserManager(&glob().access); }

void showCallChargeRate(HWND parameters) {
  auto* value =
      static_cast<double*>(GetControlPtr(parameters, IDC_PREFS_CALL_CHARGE_RATE, ENTRY_DECIMAL));
  if (!value) return;
  const globvar& g = glob();
  const double rate =
      callChargeIsUsers(g.setup.accessRights) ? g.userCallChargeRate : g.setup.callChargeRate;
  std::memcpy(value, &rate, sizeof rate);
}

// Each "Others" box still enabled goes to the next place of the two
// columns.
void packOthersBoxes(HWND parameters) {
  int placed = 0;
  for (UINT id : kOthersBoxes) {
    HWND box = item(parameters, id);
    if (!IsWindowEnabled(box)) continue;
    const bool left = placed < kOthersPerColumn;
    const int row = left ? placed : placed - kOthersPerColumn;
    SetWindowPos(box, 0, left ? kOthersLeftX : kOthersRightX, kOthersTopY + kOthersRowHeight * row,
                 0, 0, kMoveOnly);
    ++placed;
  }
}

void applyEditionRules(HWND parameters) {
  const DWORD edition = glob().edition;
  // 1. No stock options in the two smaller editions.
  if (edition & kEditionsWithoutStockOptions) {
    remove(parameters, IDC_PREFS_NEGATIVE_STOCK);
    remove(parameters, IDC_PREFS_ITEM_VAT);
    EnableWindow(item(parameters, IDC_PREFS_CALL_CHARGE_RATE), FALSE);
    remove(parameters, IDC_PREFS_OTHERS_GROUP);
    remove(parameters, IDC_PREFS_CALL_CHARGE_CAPTION);
  }
  // 2.
  if (edition == 8) remove(parameters, IDC_PREFS_NO_RECURRING);
  // 3. The entry edition.
  if (edition == kEntryEdition) {
    remove(parameters, IDC_PREFS_ACCESS_RIGHTS);
    remove(parameters, IDC_PREFS_COPY_SKELETON);
    remove(parameters, IDC_PREFS_WORKCLOCK);
    remove(parameters, IDC_PREFS_NEGATIVE_STOCK);
  }
  // 4. Never shown.
  remove(parameters, IDC_PREFS_AGE_DISPUTES);
  // 5. Cheque lines only in the two larger editions.
  if (edition & kEditionsWithoutChequeLines) {
    remove(parameters, IDC_PREFS_CHEQUE_LINES);
    remove(parameters, IDC_PREFS_CHEQUE_LINES_CAPTION);
  }
  // 6.
  if (edition & kEditionWithoutDeletedOption) remove(parameters, IDC_PREFS_EXCLUDE_DELETED);
  // 7. Whose call-charge rate the combo shows.
  showCallChargeRate(parameters);
  // 8.
  if (edition & kEditionsWithoutCallCharges) {
    remove(parameters, IDC_PREFS_CALL_CHARGE_RATE);
    remove(parameters, IDC_PREFS_CALL_CHARGE_GROUP);
    remove(parameters, IDC_PREFS_CALL_CHARGE_CAPTION);
  }
  // 9.
  packOthersBoxes(parameters);
}

void initParametersPage(HWND parameters) {
  const setupmap& setup = glob().setup;
  rememberPage(parameters, IDC_PREFS_PARAMETERS_SLOT);
  setCheckBoxes(parameters);
  SendDlgItemMessageA(parameters, IDC_PREFS_CHEQUE_LINES, GM_SETNUMBERMODE, 2, 0);
  if (WORD* lines = wordBuffer(parameters, IDC_PREFS_CHEQUE_LINES))
    *lines = setup.chequeLinesPerPage;
  DESendDlgItemGridMessage(parameters, IDC_PREFS_NON_VATABLE_CODE, GM_SETCURRENTROW, 0,
                           setup.nonVatableTaxCode, 0);
  applyEditionRules(parameters);
  UpdateDEDialog(parameters);
}

void initContainer(HWND container) {
  globvar& g = glob();
  // 1. One station at a time edits the preferences.
  if (g.multiUser && !RequestAction(kCompanyPrefsAction, 0, &g.access, actionFile(), 1)) {
    DestroyDEDialog(container, 0);
    return;
  }
  // 2. The name gets the focus once the pages are up.
  PostMessageA(container, WM_COMMAND, IDC_PREFS_FOCUS_NAME, 0);
  // 3. The pages show the record as stored.
  ReadSetup();
}

// ---- Commands ----------------------------------------------------------------------

// A blank company name may not be stored: OK waits for one.
void followCompanyName(HWND address) {
  if (IsVexaDebug()) return;
  char name[kCompanyNameChars + 1] = {};
  GetDlgItemTextA(address, IDC_PREFS_COMPANY_NAME, name, sizeof name);
  CleanUp(name);
  EnableWindow(item(containerOf(address), IDC_OK), name[0] != '\0');
}

// The Address page shows a label as its caption as soon as it is left;
// the buffers keep what was typed.
void showLabelsAsCaptions(HWND labels) {
  HWND address = pageFromSlot(containerOf(labels), IDC_PREFS_ADDRESS_SLOT);
  for (UINT i = 0; i < 5; ++i) {
    char caption[11] = {};
    CopyToField(caption, textBuffer(labels, IDC_PREFS_ADDRESS_LABEL1 + i));
    CleanUp(caption);
    SetDlgItemTextA(address, static_cast<int>(IDC_PREFS_ADDRESS_CAPTION1 + i), caption);
  }
}

void guardVatScheme(HWND parameters) {
  if (CanVatModeChange()) return;
  turnBack(parameters, IDC_PREFS_VAT_CASH);
  MsgBox(parameters, MSGBOX_WARNING, "%s", text(kVatSchemeLocked));
}

void warnItemVat(HWND parameters) {
  if (glob().edition & kEditionWithItemVatWarning)
    MsgBox(parameters, MSGBOX_WARNING, "%s", text(kItemVatWarning));
}

void guardSplitListing(HWND parameters) {
  if (GetUserCount() <= 1) return;
  MsgBox(parameters, MSGBOX_ERROR, "%s", kOthersLoggedIn);
  turnBack(parameters, IDC_PREFS_PPSR_BY_SPLIT);
}

void guardNegativeStock(HWND parameters) {
  if (!glob().negativeStockCount) return;
  MsgBox(parameters, MSGBOX_ERROR, "%s", kNegativeStock);
  check(parameters, IDC_PREFS_NEGATIVE_STOCK, BST_CHECKED);
}

// A check box's state, taking the width of the field it is assigned to
// (the record is packed, so its fields are assigned, never referenced).
struct BoxState {
  UINT state;
  template <class Field>
  operator Field() const {
    return static_cast<Field>(state);
  }
};
BoxState boxState(HWND page, UINT id) { return BoxState{checkState(page, id)}; }

void storeParameters(HWND parameters) {
  setupmap& s = glob().setup;
  s.itemVatAmendable = boxState(parameters, IDC_PREFS_ITEM_VAT);
  s.vatCashAccounting = boxState(parameters, IDC_PREFS_VAT_CASH);
  if (const WORD* lines = wordBuffer(parameters, IDC_PREFS_CHEQUE_LINES))
    s.chequeLinesPerPage = *lines;
  s.accessRights = boxState(parameters, IDC_PREFS_ACCESS_RIGHTS);
  s.noVisaWarning = boxState(parameters, IDC_PREFS_NO_VISA_WARNING);
  s.noRecurringAtStartup = boxState(parameters, IDC_PREFS_NO_RECURRING);
  s.copySkeletonValues = boxState(parameters, IDC_PREFS_COPY_SKELETON);
  s.nonVatableTaxCode = static_cast<WORD>(
      DESendDlgItemGridMessage(parameters, IDC_PREFS_NON_VATABLE_CODE, GM_CURRENTROW, 0, 0, 0));
  s.listPpSrBySplit = boxState(parameters, IDC_PREFS_PPSR_BY_SPLIT);
  s.groupBankRecItems = boxState(parameters, IDC_PREFS_BANK_REC_GROUPING);
  s.retiredParamFlag = 0;
  s.ageDisputesAsCurrent = boxState(parameters, IDC_PREFS_AGE_DISPUTES);
  s.displayAccountStatus = boxState(parameters, IDC_PREFS_ACCOUNT_STATUS);
  s.printEndBanner = boxState(parameters, IDC_PREFS_END_BANNER);
  s.workclockLink = boxState(parameters, IDC_PREFS_WORKCLOCK);
  s.allowNegativeStock = boxState(parameters, IDC_PREFS_NEGATIVE_STOCK);
}

void storeAddressAndLabels(HWND container) {
  setupmap& s = glob().setup;
  fieldFromBuffer(s.email, container, IDC_PREFS_EMAIL);
  fieldFromBuffer(s.www, container, IDC_PREFS_WEB_SITE);
  fieldFromBuffer(s.telephone, container, IDC_PREFS_TELEPHONE);
  fieldFromBuffer(s.fax, container, IDC_PREFS_FAX);
  fieldFromBuffer(s.vatRegNo, container, IDC_PREFS_VAT_REG_NO);
  fieldFromBuffer(s.creditRefNo, container, IDC_PREFS_CREDIT_REF_NO);
  for (UINT i = 0; i < 5; ++i) {
    fieldFromBuffer(s.addressLabel[i], container, IDC_PREFS_ADDRESS_LABEL1 + i);
    CleanUp(s.addressLabel[i]);
  }
  for (UINT i = 0; i < 3; ++i) {
    fieldFromBuffer(s.customerAnalysisLabel[i], container, IDC_PREFS_CUSTOMER_LABEL1 + i);
    fieldFromBuffer(s.supplierAnalysisLabel[i], container, IDC_PREFS_SUPPLIER_LABEL1 + i);
  }
  for (UINT i = 0; i < 5; ++i)
    fieldFromBuffer(s.addressLine[i], container, IDC_PREFS_ADDRESS_LINE1 + i);
  s.printNameOnStationery =
      boxState(pageFromSlot(container, IDC_PREFS_ADDRESS_SLOT), IDC_PREFS_PRINT_NAME);
  fieldFromBuffer(s.companyName, container, IDC_PREFS_COMPANY_NAME);
}

void storeCallChargeRate(HWND container, WORD accessRightsBefore) {
  globvar& g = glob();
  const auto* value = static_cast<const double*>(
      GetControlPtr(container, IDC_PREFS_CALL_CHARGE_RATE, ENTRY_DECIMAL));
  if (!value) return;
  double rate;
  std::memcpy(&rate, value, sizeof rate);
  if (accessRightsBefore && callChargeIsUsers(g.setup.accessRights))
    g.userCallChargeRate = rate;
  else
    g.setup.callChargeRate = rate;
}

// Windows of other parts of the package that must follow the VAT scheme
// at once.
void updateVatFollowers() {
  const globvar& g = glob();
  for (UINT id : kVatFollowers)
    if (HWND dialog = GetDEDialog(g.mainWindow, id))
      EnableWindow(item(dialog, kVatFollowerControl), g.setup.vatCashAccounting == 0);
}

void savePreferences(HWND container) {
  globvar& g = glob();
  // 1. Busy while the record is stored.
  EnableWindow(container, FALSE);
  SetCursor(LoadCursorA(0, IDC_WAIT));
  // 2. The latest stored record, so that other stations' fields survive.
  HWND parameters = GetDEDialogChild(container, IDD_PREFS_PARAMETERS);
  ReadSetup();
  const WORD accessRightsBefore = g.setup.accessRights;
  // 3. The parameters; hidden boxes give back what Init put in them.
  storeParameters(parameters);
  // 4. The time-recording link keeps its chart of accounts current.
  if (g.setup.workclockLink == 1) CreateGLCOATfile(0);
  // 5. An edition without the option keeps the stored value.
  if (g.edition & kEditionWithoutDeletedOption)
    remove(parameters, IDC_PREFS_EXCLUDE_DELETED);
  else
    g.setup.excludeDeleted = boxState(parameters, IDC_PREFS_EXCLUDE_DELETED);
  // 6. Address, contact details and labels.
  storeAddressAndLabels(container);
  // 7. The call-charge rate of whoever owns it.
  storeCallChargeRate(container, accessRightsBefore);
  // 8. Stored, and the other stations told.
  SaveUserOptions(g.dataFiles, &g.setup, &g.access, g.lockRecords);
  WriteSetup();
  AnnounceSetupChanged();
  // 9.
  updateVatFollowers();
  // 10. The title names the company as now stored.
  SetMainWindowText(g.mainWindow, &g.setup);
  // 11.
  if (g.multiUser) RequestActionEnd(kCompanyPrefsAction, 0, &g.access, actionFile());
  // 12. The access menu follows the access rights.
  EnableAccessMenu(g.setup.accessRights);
  // 13. Done.
  EnableWindow(container, TRUE);
  DestroyDEDialog(container, 0);
  SetCursor(LoadCursorA(0, IDC_ARROW));
}

void cancelPreferences(HWND container) {
  globvar& g = glob();
  if (g.multiUser) RequestActionEnd(kCompanyPrefsAction, 0, &g.access, actionFile());
  DestroyDEDialog(container, 0);
  // What the pages changed in memory is thrown away.
  ReadSetup();
}

// A text of the package INI into a buffer, cut to the buffer.
void iniTextToBuffer(HWND container, UINT buffer, std::size_t size, const char* key,
                     const char* defaultValue) {
  char value[101] = {};
  GetPrivateProfileStringA(text(kIniSection), key, defaultValue, value, sizeof value, GetINI());
  CopyToField(textBuffer(container, buffer), size, value);
}

void reloadEnvironment(HWND container) {
  iniTextToBuffer(container, IDC_PREFS_PORT, 145, "Modem", text(kDefaultPort));
  char dialType[11] = {};
  GetPrivateProfileStringA(text(kIniSection), "DialType", text(kDefaultDialType), dialType,
                           sizeof dialType, GetINI());
  CopyToField(textBuffer(container, IDC_PREFS_MODEM), sizeof dialType, dialType);
  if (WORD* delay = wordBuffer(container, IDC_PREFS_DELAY))
    *delay = static_cast<WORD>(GetPrivateProfileIntA(text(kIniSection), "Delay", 30, GetINI()));
  iniTextToBuffer(container, IDC_PREFS_F11, 51, "F11", text(kDefaultF11));
  iniTextToBuffer(container, IDC_PREFS_F12, 51, "F12", text(kDefaultF12));
  // The save option chooses between two buttons that no page has.
  GetPrivateProfileIntA(text(kIniSection), "SaveOption", 0, GetINI());
}

// Reloads the pages from the stored record without closing; the other
// Address and Parameters controls keep what the user typed.
void discardChanges(HWND container) {
  const setupmap& s = glob().setup;
  EnableWindow(container, FALSE);
  ReadSetup();
  HWND address = pageFromSlot(container, IDC_PREFS_ADDRESS_SLOT);
  showAddressCaptions(address);
  bufferFromField(container, IDC_PREFS_COMPANY_NAME, s.companyName);
  reloadEnvironment(container);
  HWND parameters = pageFromSlot(container, IDC_PREFS_PARAMETERS_SLOT);
  check(parameters, IDC_PREFS_VAT_CASH, s.vatCashAccounting);
  check(parameters, IDC_PREFS_ITEM_VAT, s.itemVatAmendable);
  check(parameters, IDC_PREFS_ACCESS_RIGHTS, s.accessRights);
  check(parameters, IDC_PREFS_COPY_SKELETON, s.copySkeletonValues);
  check(parameters, IDC_PREFS_EXCLUDE_DELETED, s.excludeDeleted);
  loadLabelBuffers(container);
  UpdateDEDialog(container);
  UpdateDEDialog(address);
  UpdateDEDialog(parameters);
  UpdateDEDialog(pageFromSlot(container, IDC_PREFS_LABELS_SLOT));
  EnableWindow(container, TRUE);
}

bool isAddressLabel(UINT id) {
  return id >= IDC_PREFS_ADDRESS_LABEL1 && id <= IDC_PREFS_ADDRESS_LABEL5;
}

}  // namespace

VX70_HANDLER(CompanyPrefsInit) {
  switch (GetDEDialogID(hwnd)) {
    case IDD_COMPANY_PREFS:
      initContainer(hwnd);
      break;
    case IDD_PREFS_ADDRESS:
      initAddressPage(hwnd);
      break;
    case IDD_PREFS_LABELS:
      initLabelsPage(hwnd);
      break;
    case IDD_PREFS_PARAMETERS:
      initParametersPage(hwnd);
      break;
    default:  // the Environment page is never shown
      break;
  }
  return 1;
}

VX70_HANDLER(CompanyPrefsCommand) {
  if (id == IDC_PREFS_COMPANY_NAME && notify == EN_CHANGE) {
    followCompanyName(hwnd);
  } else if (isAddressLabel(id) && notify == EN_KILLFOCUS) {
    showLabelsAsCaptions(hwnd);
  } else {
    switch (id) {
      case IDC_PREFS_FOCUS_NAME:
        SetFocus(
            item(pageFromSlot(containerOf(hwnd), IDC_PREFS_ADDRESS_SLOT), IDC_PREFS_COMPANY_NAME));
        break;
      case IDC_PREFS_VAT_CASH:
        guardVatScheme(hwnd);
        break;
      case IDC_PREFS_ITEM_VAT:
        warnItemVat(hwnd);
        break;
      case IDC_PREFS_PPSR_BY_SPLIT:
        guardSplitListing(hwnd);
        break;
      case IDC_PREFS_NEGATIVE_STOCK:
        guardNegativeStock(hwnd);
        break;
      case IDC_OK:
        savePreferences(containerOf(hwnd));
        break;
      case IDCANCEL:
        cancelPreferences(containerOf(hwnd));
        break;
      case IDC_PREFS_DISCARD:
        discardChanges(containerOf(hwnd));
        break;
      default:
        break;
    }
  }
  return 0;
}
