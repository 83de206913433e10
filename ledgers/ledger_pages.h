// What Customer Defaults and Supplier Defaults (and, for its nominal code
// box, Product Defaults) do alike, written once: the
// multi-user action, the setup record re-read for a change and stored, the
// Record page's lists, account status, nominal code box and settlement
// discount, and the Ageing page.  Each dialog keeps its own fields of the
// setup record; these helpers move values, never choose a field.
#pragma once

#include "api/host_api.h"

// ---- Windows of a dialog family -------------------------------------------------

// The container of a family from any of its windows.
HWND ContainerOf(HWND window, UINT containerId);
HWND ItemOf(HWND dialog, UINT id);
// Disabled and hidden: the edition has no such thing.
void RemoveControl(HWND dialog, UINT id);

// ---- The multi-user action and the setup record --------------------------------------

// True when the station may edit: a single-user station always may, a
// multi-user one once the action is granted.
bool RequestLedgerAction(UINT action);
void EndLedgerAction(UINT action);

// The setup record as stored now, read into the global block for a change
// (under its lock when the station locks records) ...
void RereadSetupForChange();
// ... and stored again, the lock released and the other stations told.
void StoreSetupChange();

// The container's 4783-byte setup record image, to which the Record
// page's edits are bound by offset.
setupmap* SetupImage(HWND container);
// Bytes [first, end) of the setup record in memory into the image.
void CopySetupToImage(HWND container, std::size_t first, std::size_t end);

// ---- The Record page ---------------------------------------------------------------------

// The engine combos (department, tax code, currency): the item shown.
void SelectListItem(HWND page, UINT id, UINT index);
UINT ListSelection(HWND page, UINT id);

// The entry edition keeps no account status.
bool HasAccountStatus();
void RemoveAccountStatus(HWND recordPage);
void ShowAccountStatus(HWND recordPage, WORD status);
WORD AccountStatusSelection(HWND recordPage);

// The nominal code box's buffer (in the container).
char* NominalCodeBuffer(HWND container);
void ShowNominalCode(HWND recordPage, const char* code);
// How the nominal code box answers its notifications: the code entered is
// cleared when it names a major control account (also in the window's
// text when `alsoWindowText`); leaving it changed, or its button, opens
// the account finder.  Returns what the finder returned, 1 without one.
BOOL NominalCodeBoxCommand(HWND page, HWND box, UINT notify, bool alsoWindowText);
// OK's check of the nominal code box: false after telling the person and
// putting the focus into the box on the Record page.
bool NominalCodeAccepted(HWND container, HWND recordPage);

// A settlement or additional discount, rounded to 2 places, must stay
// below 100: otherwise the person is told (`message`), the value becomes 0
// and the field takes the focus; returns true then.  Negative values pass.
bool RefuseWholeDiscount(HWND page, UINT id, const char* message);

// ---- The Ageing page ------------------------------------------------------------------------

struct AgeingSettings {
  WORD periods[4];  // the first day of each period
  BYTE calendarMonths;
  WORD futureTotals;
};
void ShowAgeing(HWND ageingPage, const AgeingSettings& settings);
AgeingSettings AgeingOnPage(HWND ageingPage);
// Ageing by calendar month needs no periods: their boxes follow the box.
void FollowCalendarAgeing(HWND ageingPage);
// OK's check of the four periods, the last box first; false after the
// first failure was reported.
bool AgeingPeriodsAccepted(HWND container, UINT ledger);
