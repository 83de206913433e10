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

namespace {

// Dialogs of the family.
constexpr UINT kContainer = 3600;
constexpr UINT kAddressPage = 3601;
constexpr UINT kLabelsPage = 3602;
constexpr UINT kParametersPage = 3603;

// Container.
constexpr UINT kOkButton = 1942;
constexpr UINT kCancelButton = 2;
constexpr UINT kDiscardCommand = 1003;
constexpr UINT kFocusNameCommand = 1541;
constexpr UINT kAddressPageSlot = 1385;
constexpr UINT kLabelsPageSlot = 1571;
constexpr UINT kParametersPageSlot = 2042;

// Address page.
constexpr UINT kCompanyName = 1673;
constexpr UINT kFirstAddressCaption = 1039;
constexpr UINT kFirstAddressLine = 1029;
constexpr UINT kAddressFrame = 101;
constexpr UINT kTelephone = 2068;
constexpr UINT kFax = 1429;
constexpr UINT kEmail = 2318;
constexpr UINT kWebSite = 2319;
constexpr UINT kVatRegNo = 2178;
constexpr UINT kCreditRefCaption = 2473;
constexpr UINT kCreditRefNo = 1310;
constexpr UINT kPrintNameBox = 1998;
constexpr LONG kEditableFrameStyle = 0x8000;
constexpr std::size_t kCompanyNameChars = 60;

// Labels page.
constexpr UINT kFirstAddressLabel = 1044;
constexpr UINT kFirstCustomerLabel = 1925;
constexpr UINT kFirstSupplierLabel = 1846;

// Parameters page.
constexpr UINT kEndBannerBox = 1127;
constexpr UINT kChequeLines = 1769;
constexpr UINT kChequeLinesCaption = 200;
constexpr UINT kItemVatBox = 2174;
constexpr UINT kVatCashBox = 2200;
constexpr UINT kNonVatableList = 2061;
constexpr UINT kAccessRightsBox = 1005;
constexpr UINT kNoVisaWarningBox = 2202;
constexpr UINT kExcludeDeletedBox = 1425;
constexpr UINT kNoRecurringBox = 1891;
constexpr UINT kCopySkeletonBox = 1295;
constexpr UINT kAccountStatusBox = 2365;
constexpr UINT kPpSrBySplitBox = 2444;
constexpr UINT kBankRecGroupBox = 2449;
constexpr UINT kNegativeStockBox = 2495;
constexpr UINT kAgeDisputesBox = 2461;
constexpr UINT kWorkclockBox = 2244;
constexpr UINT kCallChargeCombo = 1881;
constexpr UINT kCallChargeCaption = 122;
constexpr UINT kCallChargeGroup = 990;
constexpr UINT kOthersGroup = 134;

// Environment buffers of the container, reloaded by Discard.
constexpr UINT kPortBuffer = 1811;
constexpr UINT kModemBuffer = 1637;
constexpr UINT kDelayBuffer = 1360;
constexpr UINT kF11Buffer = 1427;
constexpr UINT kF12Buffer = 1428;

// The "Others" boxes in the order they are packed.
constexpr UINT kOthersBoxes[] = {
    kAccessRightsBox,  kNoVisaWarningBox, kExcludeDeletedBox, kNoRecurringBox,   kCopySkeletonBox,
    kAccountStatusBox, kPpSrBySplitBox,   kBankRecGroupBox,   kNegativeStockBox, kWorkclockBox};
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
  return GetDEDialogID(window) == kContainer ? window : GetParent(window);
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

// Copies a fixed text field of `size` bytes into a buffer of the same size,
// or the other way; a field that lacks its terminator is cut.
void copyText(char* to, const char* from, std::size_t size) {
  if (!to || !from || !size) return;
  std::size_t n = strnlen(from, size - 1);
  std::memcpy(to, from, n);
  std::memset(to + n, 0, size - n);
}

template <std::size_t N>
void bufferFromField(HWND dialog, UINT id, const char (&field)[N]) {
  copyText(textBuffer(dialog, id), field, N);
}

template <std::size_t N>
void fieldFromBuffer(char (&field)[N], HWND dialog, UINT id) {
  copyText(field, textBuffer(dialog, id), N);
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
    SetDlgItemTextA(address, static_cast<int>(kFirstAddressCaption + i), setup.addressLabel[i]);
    bufferFromField(address, kFirstAddressLine + i, setup.addressLine[i]);
  }
}

void lockCompanyDetails(HWND address) {
  HWND frame = item(address, kAddressFrame);
  const LONG style = GetWindowLongA(frame, GWL_STYLE);
  if (!glob().detailsLocked) {
    SetWindowLongA(frame, GWL_STYLE, style | kEditableFrameStyle);
    return;
  }
  SetWindowLongA(frame, GWL_STYLE, style & ~kEditableFrameStyle);
  static constexpr UINT kDetails[] = {kCompanyName,
                                      kFirstAddressLine,
                                      kFirstAddressLine + 1,
                                      kFirstAddressLine + 2,
                                      kFirstAddressLine + 3,
                                      kFirstAddressLine + 4,
                                      kTelephone,
                                      kEmail,
                                      kWebSite,
                                      kFax,
                                      kVatRegNo,
                                      kCreditRefNo,
                                      kPrintNameBox};
  disableAll(address, kDetails, std::size(kDetails));
}

void initAddressPage(HWND address) {
  const setupmap& setup = glob().setup;
  // 1. The page is found again through its slot.
  rememberPage(address, kAddressPageSlot);
  // 2. Address lines under their labels.
  showAddressCaptions(address);
  // 3. The other details.
  check(address, kPrintNameBox, setup.printNameOnStationery);
  bufferFromField(address, kEmail, setup.email);
  bufferFromField(address, kWebSite, setup.www);
  bufferFromField(address, kTelephone, setup.telephone);
  bufferFromField(address, kFax, setup.fax);
  bufferFromField(address, kVatRegNo, setup.vatRegNo);
  bufferFromField(address, kCreditRefNo, setup.creditRefNo);
  bufferFromField(address, kCompanyName, setup.companyName);
  // 4. The entry edition keeps no credit reference.
  if (glob().edition == kEntryEdition) {
    remove(address, kCreditRefCaption);
    remove(address, kCreditRefNo);
  }
  // 5. Locked details are read-only.
  lockCompanyDetails(address);
  UpdateDEDialog(address);
}

void loadLabelBuffers(HWND dialog) {
  const setupmap& setup = glob().setup;
  for (UINT i = 0; i < 5; ++i)
    bufferFromField(dialog, kFirstAddressLabel + i, setup.addressLabel[i]);
  for (UINT i = 0; i < 3; ++i) {
    bufferFromField(dialog, kFirstCustomerLabel + i, setup.customerAnalysisLabel[i]);
    bufferFromField(dialog, kFirstSupplierLabel + i, setup.supplierAnalysisLabel[i]);
  }
}

void initLabelsPage(HWND labels) {
  rememberPage(labels, kLabelsPageSlot);
  loadLabelBuffers(labels);
  UpdateDEDialog(labels);
}

WORD* wordBuffer(HWND dialog, UINT id) {
  return static_cast<WORD*>(GetControlPtr(dialog, id, ENTRY_WORD));
}

void setCheckBoxes(HWND parameters) {
  const setupmap& s = glob().setup;
  check(parameters, kEndBannerBox, s.printEndBanner);
  check(parameters, kItemVatBox, s.itemVatAmendable);
  check(parameters, kVatCashBox, s.vatCashAccounting);
  check(parameters, kAccessRightsBox, s.accessRights);
  check(parameters, kNoVisaWarningBox, s.noVisaWarning);
  check(parameters, kExcludeDeletedBox, s.excludeDeleted);
  check(parameters, kNoRecurringBox, s.noRecurringAtStartup);
  check(parameters, kCopySkeletonBox, s.copySkeletonValues);
  check(parameters, kAccountStatusBox, s.displayAccountStatus);
  check(parameters, kPpSrBySplitBox, s.listPpSrBySplit);
  check(parameters, kBankRecGroupBox, s.groupBankRecItems);
  check(parameters, kNegativeStockBox, s.allowNegativeStock);
  check(parameters, kAgeDisputesBox, s.ageDisputesAsCurrent);
  check(parameters, kWorkclockBox, s.workclockLink);
}

// With access rights on, a user other than the manager keeps a call-charge
// rate of the own; everybody else edits the company's.
bool callChargeIsUsers(WORD accessRights) { return accessRights && !IsUserManager(&glob().access); }

void showCallChargeRate(HWND parameters) {
  auto* value = static_cast<double*>(GetControlPtr(parameters, kCallChargeCombo, ENTRY_DECIMAL));
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
    remove(parameters, kNegativeStockBox);
    remove(parameters, kItemVatBox);
    EnableWindow(item(parameters, kCallChargeCombo), FALSE);
    remove(parameters, kOthersGroup);
    remove(parameters, kCallChargeCaption);
  }
  // 2.
  if (edition == 8) remove(parameters, kNoRecurringBox);
  // 3. The entry edition.
  if (edition == kEntryEdition) {
    remove(parameters, kAccessRightsBox);
    remove(parameters, kCopySkeletonBox);
    remove(parameters, kWorkclockBox);
    remove(parameters, kNegativeStockBox);
  }
  // 4. Never shown.
  remove(parameters, kAgeDisputesBox);
  // 5. Cheque lines only in the two larger editions.
  if (edition & kEditionsWithoutChequeLines) {
    remove(parameters, kChequeLines);
    remove(parameters, kChequeLinesCaption);
  }
  // 6.
  if (edition & kEditionWithoutDeletedOption) remove(parameters, kExcludeDeletedBox);
  // 7. Whose call-charge rate the combo shows.
  showCallChargeRate(parameters);
  // 8.
  if (edition & kEditionsWithoutCallCharges) {
    remove(parameters, kCallChargeCombo);
    remove(parameters, kCallChargeGroup);
    remove(parameters, kCallChargeCaption);
  }
  // 9.
  packOthersBoxes(parameters);
}

void initParametersPage(HWND parameters) {
  const setupmap& setup = glob().setup;
  rememberPage(parameters, kParametersPageSlot);
  setCheckBoxes(parameters);
  SendDlgItemMessageA(parameters, static_cast<int>(kChequeLines), GM_SETNUMBERMODE, 2, 0);
  if (WORD* lines = wordBuffer(parameters, kChequeLines)) *lines = setup.chequeLinesPerPage;
  DESendDlgItemGridMessage(parameters, kNonVatableList, GM_SETCURRENTROW, 0,
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
  PostMessageA(container, WM_COMMAND, kFocusNameCommand, 0);
  // 3. The pages show the record as stored.
  ReadSetup();
}

// ---- Commands ----------------------------------------------------------------------

// A blank company name may not be stored: OK waits for one.
void followCompanyName(HWND address) {
  if (IsVexaDebug()) return;
  char name[kCompanyNameChars + 1] = {};
  GetDlgItemTextA(address, static_cast<int>(kCompanyName), name, sizeof name);
  CleanUp(name);
  EnableWindow(item(containerOf(address), kOkButton), name[0] != '\0');
}

// The Address page shows a label as its caption as soon as it is left;
// the buffers keep what was typed.
void showLabelsAsCaptions(HWND labels) {
  HWND address = pageFromSlot(containerOf(labels), kAddressPageSlot);
  for (UINT i = 0; i < 5; ++i) {
    char caption[11] = {};
    copyText(caption, textBuffer(labels, kFirstAddressLabel + i), sizeof caption);
    CleanUp(caption);
    SetDlgItemTextA(address, static_cast<int>(kFirstAddressCaption + i), caption);
  }
}

void guardVatScheme(HWND parameters) {
  if (CanVatModeChange()) return;
  turnBack(parameters, kVatCashBox);
  MsgBox(parameters, 2, "%s", text(kVatSchemeLocked));
}

void warnItemVat(HWND parameters) {
  if (glob().edition & kEditionWithItemVatWarning)
    MsgBox(parameters, 2, "%s", text(kItemVatWarning));
}

void guardSplitListing(HWND parameters) {
  if (GetUserCount() <= 1) return;
  MsgBox(parameters, 1, "%s", kOthersLoggedIn);
  turnBack(parameters, kPpSrBySplitBox);
}

void guardNegativeStock(HWND parameters) {
  if (!glob().negativeStockCount) return;
  MsgBox(parameters, 1, "%s", kNegativeStock);
  check(parameters, kNegativeStockBox, BST_CHECKED);
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
  s.itemVatAmendable = boxState(parameters, kItemVatBox);
  s.vatCashAccounting = boxState(parameters, kVatCashBox);
  if (const WORD* lines = wordBuffer(parameters, kChequeLines)) s.chequeLinesPerPage = *lines;
  s.accessRights = boxState(parameters, kAccessRightsBox);
  s.noVisaWarning = boxState(parameters, kNoVisaWarningBox);
  s.noRecurringAtStartup = boxState(parameters, kNoRecurringBox);
  s.copySkeletonValues = boxState(parameters, kCopySkeletonBox);
  s.nonVatableTaxCode = static_cast<WORD>(
      DESendDlgItemGridMessage(parameters, kNonVatableList, GM_CURRENTROW, 0, 0, 0));
  s.listPpSrBySplit = boxState(parameters, kPpSrBySplitBox);
  s.groupBankRecItems = boxState(parameters, kBankRecGroupBox);
  s.retiredParamFlag = 0;
  s.ageDisputesAsCurrent = boxState(parameters, kAgeDisputesBox);
  s.displayAccountStatus = boxState(parameters, kAccountStatusBox);
  s.printEndBanner = boxState(parameters, kEndBannerBox);
  s.workclockLink = boxState(parameters, kWorkclockBox);
  s.allowNegativeStock = boxState(parameters, kNegativeStockBox);
}

void storeAddressAndLabels(HWND container) {
  setupmap& s = glob().setup;
  fieldFromBuffer(s.email, container, kEmail);
  fieldFromBuffer(s.www, container, kWebSite);
  fieldFromBuffer(s.telephone, container, kTelephone);
  fieldFromBuffer(s.fax, container, kFax);
  fieldFromBuffer(s.vatRegNo, container, kVatRegNo);
  fieldFromBuffer(s.creditRefNo, container, kCreditRefNo);
  for (UINT i = 0; i < 5; ++i) {
    fieldFromBuffer(s.addressLabel[i], container, kFirstAddressLabel + i);
    CleanUp(s.addressLabel[i]);
  }
  for (UINT i = 0; i < 3; ++i) {
    fieldFromBuffer(s.customerAnalysisLabel[i], container, kFirstCustomerLabel + i);
    fieldFromBuffer(s.supplierAnalysisLabel[i], container, kFirstSupplierLabel + i);
  }
  for (UINT i = 0; i < 5; ++i) fieldFromBuffer(s.addressLine[i], container, kFirstAddressLine + i);
  s.printNameOnStationery = boxState(pageFromSlot(container, kAddressPageSlot), kPrintNameBox);
  fieldFromBuffer(s.companyName, container, kCompanyName);
}

void storeCallChargeRate(HWND container, WORD accessRightsBefore) {
  globvar& g = glob();
  const auto* value =
      static_cast<const double*>(GetControlPtr(container, kCallChargeCombo, ENTRY_DECIMAL));
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
  HWND parameters = GetDEDialogChild(container, kParametersPage);
  ReadSetup();
  const WORD accessRightsBefore = g.setup.accessRights;
  // 3. The parameters; hidden boxes give back what Init put in them.
  storeParameters(parameters);
  // 4. The time-recording link keeps its chart of accounts current.
  if (g.setup.workclockLink == 1) CreateGLCOATfile(0);
  // 5. An edition without the option keeps the stored value.
  if (g.edition & kEditionWithoutDeletedOption)
    remove(parameters, kExcludeDeletedBox);
  else
    g.setup.excludeDeleted = boxState(parameters, kExcludeDeletedBox);
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
  copyText(textBuffer(container, buffer), value, size);
}

void reloadEnvironment(HWND container) {
  iniTextToBuffer(container, kPortBuffer, 145, "Modem", text(kDefaultPort));
  char dialType[11] = {};
  GetPrivateProfileStringA(text(kIniSection), "DialType", text(kDefaultDialType), dialType,
                           sizeof dialType, GetINI());
  copyText(textBuffer(container, kModemBuffer), dialType, sizeof dialType);
  if (WORD* delay = wordBuffer(container, kDelayBuffer))
    *delay = static_cast<WORD>(GetPrivateProfileIntA(text(kIniSection), "Delay", 30, GetINI()));
  iniTextToBuffer(container, kF11Buffer, 51, "F11", text(kDefaultF11));
  iniTextToBuffer(container, kF12Buffer, 51, "F12", text(kDefaultF12));
  // The save option chooses between two buttons that no page has.
  GetPrivateProfileIntA(text(kIniSection), "SaveOption", 0, GetINI());
}

// Reloads the pages from the stored record without closing; the other
// Address and Parameters controls keep what the user typed.
void discardChanges(HWND container) {
  const setupmap& s = glob().setup;
  EnableWindow(container, FALSE);
  ReadSetup();
  HWND address = pageFromSlot(container, kAddressPageSlot);
  showAddressCaptions(address);
  bufferFromField(container, kCompanyName, s.companyName);
  reloadEnvironment(container);
  HWND parameters = pageFromSlot(container, kParametersPageSlot);
  check(parameters, kVatCashBox, s.vatCashAccounting);
  check(parameters, kItemVatBox, s.itemVatAmendable);
  check(parameters, kAccessRightsBox, s.accessRights);
  check(parameters, kCopySkeletonBox, s.copySkeletonValues);
  check(parameters, kExcludeDeletedBox, s.excludeDeleted);
  loadLabelBuffers(container);
  UpdateDEDialog(container);
  UpdateDEDialog(address);
  UpdateDEDialog(parameters);
  UpdateDEDialog(pageFromSlot(container, kLabelsPageSlot));
  EnableWindow(container, TRUE);
}

bool isAddressLabel(UINT id) { return id >= kFirstAddressLabel && id < kFirstAddressLabel + 5; }

}  // namespace

VX70_HANDLER(CompanyPrefsInit) {
  switch (GetDEDialogID(hwnd)) {
    case kContainer:
      initContainer(hwnd);
      break;
    case kAddressPage:
      initAddressPage(hwnd);
      break;
    case kLabelsPage:
      initLabelsPage(hwnd);
      break;
    case kParametersPage:
      initParametersPage(hwnd);
      break;
    default:  // the Environment page is never shown
      break;
  }
  return 1;
}

VX70_HANDLER(CompanyPrefsCommand) {
  if (id == kCompanyName && notify == EN_CHANGE) {
    followCompanyName(hwnd);
  } else if (isAddressLabel(id) && notify == EN_KILLFOCUS) {
    showLabelsAsCaptions(hwnd);
  } else {
    switch (id) {
      case kFocusNameCommand:
        SetFocus(item(pageFromSlot(containerOf(hwnd), kAddressPageSlot), kCompanyName));
        break;
      case kVatCashBox:
        guardVatScheme(hwnd);
        break;
      case kItemVatBox:
        warnItemVat(hwnd);
        break;
      case kPpSrBySplitBox:
        guardSplitListing(hwnd);
        break;
      case kNegativeStockBox:
        guardNegativeStock(hwnd);
        break;
      case kOkButton:
        savePreferences(containerOf(hwnd));
        break;
      case kCancelButton:
        cancelPreferences(containerOf(hwnd));
        break;
      case kDiscardCommand:
        discardChanges(containerOf(hwnd));
        break;
      default:
        break;
    }
  }
  return 0;
}
