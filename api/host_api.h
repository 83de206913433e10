// Every operation that the module asks of its host: the package's dialog
// engine, common library, shared dialogs, access, utilities, data files,
// multi-user services and global block, and the Win32 calls.  The module
// includes this header and nothing else of the host; libvx70host
// implements all of it.
//
// The original libraries pass 32-bit values; here windows stay 32-bit
// handle numbers, message parameters are pointer-sized, and values that the
// original returned in a 32-bit register but that hold an address (a text,
// a buffer) are returned as pointers.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "globvar.h"
#include "records.h"
#include "win32.h"

// The package library that exports each operation: a tag read by the
// build of the Windows import libraries, empty for the compiler.  The
// operations are stdcall (WINAPI) except MsgBox, which takes further
// arguments and leaves them for its caller to pop.
#define VX70_FROM(library)

// Value kinds of a control entry, as GetControlPtr takes them.
inline constexpr UINT ENTRY_DECIMAL = 0x01;  // an 8-byte f64
inline constexpr UINT ENTRY_TEXT = 0x03;     // a text buffer
inline constexpr UINT ENTRY_WORD = 0x04;     // a 16-bit number
inline constexpr UINT ENTRY_SLOT = 0x20;     // an 8-byte data slot

// The kinds of MsgBox.
inline constexpr int MSGBOX_ERROR = 1;
inline constexpr int MSGBOX_WARNING = 2;
inline constexpr int MSGBOX_NOTICE = 3;
inline constexpr int MSGBOX_YESNO = 5;

extern "C" {

// ---- Dialog engine (VX70DE32) ------------------------------------------

// The value buffer of an entry of the dialog's CENTRY; nullptr when the
// dialog has no such entry.
VX70_FROM(VX70DE32) void* WINAPI GetControlPtr(HWND dialog, UINT entryId, UINT entryType);
VX70_FROM(VX70DE32) void WINAPI UpdateDEDialog(HWND dialog);
VX70_FROM(VX70DE32) void WINAPI UpdateDEControl(HWND dialog, UINT entryId);
VX70_FROM(VX70DE32) BOOL WINAPI DestroyDEDialog(HWND dialog, UINT result);
VX70_FROM(VX70DE32) UINT WINAPI GetDEDialogID(HWND dialog);
VX70_FROM(VX70DE32) HWND WINAPI GetDEDialogParent(HWND dialog);
VX70_FROM(VX70DE32) HWND WINAPI GetDEDialogChild(HWND dialog, UINT dialogId);
VX70_FROM(VX70DE32) HWND WINAPI GetDEDialog(HWND dialog, UINT dialogId);
VX70_FROM(VX70DE32)
LRESULT WINAPI DESendGridMessage(HWND grid, UINT message, WPARAM wParam, LPARAM lParam,
                                 LPARAM fifth);
VX70_FROM(VX70DE32)
LRESULT WINAPI DESendDlgItemGridMessage(HWND dialog, UINT gridId, UINT message, WPARAM wParam,
                                        LPARAM lParam, LPARAM fifth);
// The address of a cell's value, in the column's own type (text, 32-bit
// whole number, f64); row -1 is the current row.  nullptr when there is no
// such row or column.
VX70_FROM(VX70DE32)
const void* WINAPI CtrlGRIDValue(HWND grid, UINT columnId, int row, UINT valueType);
// Stores the value (in the column's type) into the cell.
VX70_FROM(VX70DE32) BOOL WINAPI SetGRIDValue(HWND grid, UINT columnId, int row, const void* value);
VX70_FROM(VX70DE32) void WINAPI DESetDecimalPlaces(HWND dialog, UINT entryId, UINT places);
VX70_FROM(VX70DE32) const char* WINAPI GetINI(void);
VX70_FROM(VX70DE32) int WINAPI ReadINIInt(const char* key, int defaultValue);
VX70_FROM(VX70DE32)
const char* WINAPI ReadINIString(const char* key, char* buffer, const char* defaultValue);
VX70_FROM(VX70DE32) BOOL WINAPI WriteINIInt(const char* key, int value);
VX70_FROM(VX70DE32) BOOL WINAPI WriteINIString(const char* key, const char* text);

// ---- Common library (VX70COM) ------------------------------------------

// Opens a dialog of a module and returns when it is closed, with the
// result given to DestroyDEDialog.
VX70_FROM(VX70COM)
UINT WINAPI CreateDEDialog(HWND parent, UINT module, UINT dialogId, UINT initParam);
// Kinds 1, 2, 3: one button (error, warning, notice), returns 1; kind 5:
// Yes/No, returns 6 for Yes and 7 for No.  The text is a printf format.
// MSGBOX_ERROR, MSGBOX_WARNING, MSGBOX_NOTICE and MSGBOX_YESNO name them.
VX70_FROM(VX70COM) int MsgBox(HWND owner, int kind, const char* format, ...);
VX70_FROM(VX70COM) const char* WINAPI GetResourceString(UINT id, HINSTANCE instance);
VX70_FROM(VX70COM) const char* WINAPI GetResourceString2(UINT id, HINSTANCE instance);
VX70_FROM(VX70COM) BOOL WINAPI ReadSetup(void);
VX70_FROM(VX70COM) BOOL WINAPI WriteSetup(void);
VX70_FROM(VX70COM) BOOL WINAPI ReadControl(void);
VX70_FROM(VX70COM) WORD WINAPI GetProgramDate(void);
VX70_FROM(VX70COM) const char* WINAPI GetVersionString(const setupmap* setup);
VX70_FROM(VX70COM)
const char* WINAPI GetDirectoryPath(const char* path, const char* base, UINT kind, UINT flags);
VX70_FROM(VX70COM) BOOL WINAPI Execute(const char* command);
VX70_FROM(VX70COM) BOOL WINAPI IsUserManager(const accessmap* access);
VX70_FROM(VX70COM) BOOL WINAPI IsVexaDebug(void);
VX70_FROM(VX70COM) BOOL WINAPI CanVatModeChange(void);
VX70_FROM(VX70COM)
BOOL WINAPI IsMajorControlAccount(DWORD accountRecord, const nommap* nominal, UINT flag,
                                  const contmap* control);
VX70_FROM(VX70COM) BOOL WINAPI NetworkFileOpen(datafilemap* file, UINT access, UINT share);
VX70_FROM(VX70COM)
BOOL WINAPI SaveUserOptions(datafilemap* files, setupmap* setup, accessmap* access,
                            DWORD lockRecords);
VX70_FROM(VX70COM) void WINAPI SetMainWindowText(HWND mainWindow, const setupmap* setup);
VX70_FROM(VX70COM)
const char* WINAPI GetWallPaperFileName(const setupmap* setup, const accessmap* access);
VX70_FROM(VX70COM)
void WINAPI SetWallPaperFileName(const char* name, setupmap* setup, accessmap* access);
VX70_FROM(VX70COM)
BYTE WINAPI GetWallPaperState(UINT which, const setupmap* setup, const accessmap* access);
VX70_FROM(VX70COM)
void WINAPI SetWallPaperState(UINT which, BYTE value, setupmap* setup, accessmap* access);
// A text of n spaces (at most 260), in a buffer of the library's own.
VX70_FROM(VX70COM) const char* WINAPI Space(UINT count);
// The reversible password transform, in place.
VX70_FROM(VX70COM) void WINAPI convert(char* text);

// ---- Shared dialogs (VX70DLG) -------------------------------------------

#pragma pack(push, 1)
struct EditBoxRequest {
  DWORD owner;
  BYTE reserved1[142];
  char text[71];
  DWORD maxLength;
};
static_assert(sizeof(EditBoxRequest) == 221);
static_assert(offsetof(EditBoxRequest, text) == 146);
static_assert(offsetof(EditBoxRequest, maxLength) == 217);

struct PopupRequest {
  DWORD dialog;
  DWORD control;
  WORD controlId;
  WORD notification;
  WORD searchMode;
  WORD flag14;
  WORD flag16;
  WORD flag18;
  WORD flag20;
  WORD flag22;
  WORD flag24;
  BYTE reserved26[4];
  DWORD grid;
  BYTE reserved34[12];
};
static_assert(sizeof(PopupRequest) == 46);
static_assert(offsetof(PopupRequest, grid) == 30);
#pragma pack(pop)

// Nonzero when the user confirmed; the text then holds the new value.
VX70_FROM(VX70DLG) BOOL WINAPI EditBox(EditBoxRequest* request);
VX70_FROM(VX70DLG) UINT WINAPI DeptComboStartup(HWND dialog, UINT gridId, UINT comboFlag);
VX70_FROM(VX70DLG) UINT WINAPI DeptComboGetItem(HWND grid, UINT notification, UINT comboFlag);
VX70_FROM(VX70DLG) void WINAPI TaxComboList(HWND combo);
VX70_FROM(VX70DLG) void WINAPI FillCurrencyCombo(HWND combo);
VX70_FROM(VX70DLG) void WINAPI FillAccStatusCombo(HWND combo);
// The account finder: puts the chosen code into the requesting field or
// cell; 0 when the user cancelled.
VX70_FROM(VX70DLG) BOOL WINAPI DoPopup(PopupRequest* request);
VX70_FROM(VX70DLG) BOOL WINAPI CreateGLCOATfile(UINT flag);
VX70_FROM(VX70DLG)
BOOL WINAPI RunReport(HWND owner, const char* layout, const char* dataPath, UINT a, UINT b, UINT c);

// ---- Access (VX70ACC) ----------------------------------------------------

// The list ends with a zero.
VX70_FROM(VX70ACC) void WINAPI DisableFields(HWND dialog, const UINT* ids);
VX70_FROM(VX70ACC) void WINAPI SetMainModuleAccess(void);
VX70_FROM(VX70ACC) void WINAPI LoadLedgerColors(void);
VX70_FROM(VX70ACC) void WINAPI EnableAccessMenu(DWORD accessRights);
VX70_FROM(VX70ACC) void WINAPI ShowSystemDate(void);

// ---- Utilities (VX70UT32) -----------------------------------------------

VX70_FROM(VX70UT32) char* WINAPI FillUp(char* text, UINT size);
VX70_FROM(VX70UT32) char* WINAPI CleanUp(char* text);
VX70_FROM(VX70UT32) char* WINAPI DateNumberToFullString(char* buffer, WORD date);
VX70_FROM(VX70UT32) WORD WINAPI DateStringToNumber(const char* text);
VX70_FROM(VX70UT32) BOOL WINAPI IsDateValid(const char* text);
VX70_FROM(VX70UT32) BOOL WINAPI IsDateOutsideFYear(const setupmap* setup, WORD date);
VX70_FROM(VX70UT32) WORD WINAPI GetSystemDate(void);
// components: day, month, four-digit year.
VX70_FROM(VX70UT32) void WINAPI DateNumberToComponents(WORD date, WORD* components);
VX70_FROM(VX70UT32) WORD WINAPI DateNumberFromComponents(const WORD* components);
VX70_FROM(VX70UT32) double WINAPI Round(double value, int places);

// ---- Data files (VX70FL32) ------------------------------------------------

VX70_FROM(VX70FL32) BOOL WINAPI FileOpen(datafilemap* file, UINT access, UINT share, UINT flag);
VX70_FROM(VX70FL32) BOOL WINAPI FileClose(datafilemap* file);
// Byte counts: the record length, or 0 past the end or on failure.
VX70_FROM(VX70FL32) DWORD WINAPI ReadRec(datafilemap* file, DWORD record, void* buffer);
VX70_FROM(VX70FL32) DWORD WINAPI WriteRec(datafilemap* file, DWORD record, const void* buffer);
VX70_FROM(VX70FL32) BOOL WINAPI LockRec(datafilemap* file, DWORD record);
VX70_FROM(VX70FL32) BOOL WINAPI UnLockRec(datafilemap* file, DWORD record);
VX70_FROM(VX70FL32) DWORD WINAPI RecCount(datafilemap* file);
VX70_FROM(VX70FL32)
DWORD WINAPI FlashFindAccount(datafilemap* files, UINT searchKind, const char* code, void* buffer,
                              UINT flag);

// ---- Multi-user (VX70GLOB, VX70ND32) and logo (VXLOGO32) --------------------

VX70_FROM(VX70GLOB)
BOOL WINAPI RequestAction(UINT action, UINT zero, const accessmap* access, datafilemap* actionFile,
                          UINT flag);
VX70_FROM(VX70GLOB)
BOOL WINAPI RequestActionEnd(UINT action, UINT zero, const accessmap* access,
                             datafilemap* actionFile);
VX70_FROM(VX70GLOB)
BOOL WINAPI GlobalUpdate(DWORD station, UINT zero, UINT code, UINT flag, UINT a, UINT b, UINT c,
                         UINT d);
VX70_FROM(VX70GLOB) WORD WINAPI GetUserCount(void);
VX70_FROM(VX70GLOB) char* WINAPI GetStationName(char* buffer);
VX70_FROM(VX70GLOB)
BOOL WINAPI RemoveUserQueueMessagesIndirect(datafilemap* actionFile, const char* user, UINT flag);
VX70_FROM(VX70ND32) BOOL WINAPI IsServer(DWORD station);
VX70_FROM(VXLOGO32) BOOL WINAPI SLSetBitmap(HWND window, const char* file, UINT position);

// ---- The global block (VX70GV) ------------------------------------------------

VX70_FROM(VX70GV) extern VX70_DATA_IMPORT globvar* g_lpGlobVar;

// ---- Win32: user32 and comdlg32 --------------------------------------------

HWND WINAPI GetDlgItem(HWND dialog, int id);
HWND WINAPI GetParent(HWND window);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI EnableWindow(HWND window, BOOL enable);
BOOL WINAPI IsWindowEnabled(HWND window);
BOOL WINAPI ShowWindow(HWND window, int command);
BOOL WINAPI IsWindowVisible(HWND window);
BOOL WINAPI IsWindow(HWND window);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL WINAPI SetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL WINAPI GetWindowRect(HWND window, RECT* rect);
LONG WINAPI SetWindowLongA(HWND window, int index, LONG value);
LONG WINAPI GetWindowLongA(HWND window, int index);
HWND WINAPI SetFocus(HWND window);
HWND WINAPI GetFocus(void);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL WINAPI SetWindowTextA(HWND window, const char* text);
int WINAPI GetWindowTextA(HWND window, char* buffer, int size);
BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL WINAPI UpdateWindow(HWND window);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, std::uintptr_t name);
HCURSOR WINAPI SetCursor(HCURSOR cursor);
BOOL WINAPI CreateCaret(HWND window, UINT bitmap, int width, int height);
BOOL WINAPI DestroyCaret(void);
BOOL WINAPI ShowCaret(HWND window);
BOOL WINAPI HideCaret(HWND window);
int WINAPI MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
BOOL WINAPI WinHelpA(HWND window, const char* file, UINT command, std::uintptr_t data);
BOOL WINAPI GetOpenFileNameA(OPENFILENAMEA* request);
BOOL WINAPI ChooseColorA(CHOOSECOLORA* request);
int WINAPI GetSystemMetrics(int index);

// ---- Win32: kernel32 -----------------------------------------------------------

DWORD WINAPI GetPrivateProfileStringA(const char* section, const char* key,
                                      const char* defaultValue, char* buffer, DWORD size,
                                      const char* file);
UINT WINAPI GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                  const char* file);
BOOL WINAPI WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                       const char* file);
DWORD WINAPI GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size);
UINT WINAPI GetProfileIntA(const char* section, const char* key, int defaultValue);
BOOL WINAPI WriteProfileStringA(const char* section, const char* key, const char* value);
DWORD WINAPI GetVersion(void);
BOOL WINAPI GetVersionExA(OSVERSIONINFOA* info);
void WINAPI GlobalMemoryStatus(MEMORYSTATUS* status);
UINT WINAPI GetWindowsDirectoryA(char* buffer, UINT size);
UINT WINAPI GetSystemDirectoryA(char* buffer, UINT size);
// The directory for temporary files, with a trailing '/': $TMPDIR, or /tmp.
// Returns the length copied (without the terminator), or the size needed
// when the buffer is too small, as Windows does.
DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer);
// With unique 0, creates an empty file "<path><prefix up to 3 chars><hex>.TMP"
// that did not exist and returns its number; otherwise makes the name from
// `unique` without creating the file.  The buffer takes MAX_PATH bytes.
// Returns 0 on failure.
UINT WINAPI GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);
// The 16-bit file calls: a file handle, or HFILE_ERROR (-1).
int WINAPI _lcreat(const char* path, int attribute);
UINT WINAPI _lwrite(int file, const char* buffer, UINT count);
int WINAPI _lclose(int file);
}
