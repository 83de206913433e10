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
void* GetControlPtr(HWND dialog, UINT entryId, UINT entryType);
void UpdateDEDialog(HWND dialog);
void UpdateDEControl(HWND dialog, UINT entryId);
BOOL DestroyDEDialog(HWND dialog, UINT result);
UINT GetDEDialogID(HWND dialog);
HWND GetDEDialogParent(HWND dialog);
HWND GetDEDialogChild(HWND dialog, UINT dialogId);
HWND GetDEDialog(HWND dialog, UINT dialogId);
LRESULT DESendGridMessage(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, LPARAM fifth);
LRESULT DESendDlgItemGridMessage(HWND dialog, UINT gridId, UINT message, WPARAM wParam,
                                 LPARAM lParam, LPARAM fifth);
// The address of a cell's value, in the column's own type (text, 32-bit
// whole number, f64); row -1 is the current row.  nullptr when there is no
// such row or column.
const void* CtrlGRIDValue(HWND grid, UINT columnId, int row, UINT valueType);
// Stores the value (in the column's type) into the cell.
BOOL SetGRIDValue(HWND grid, UINT columnId, int row, const void* value);
void DESetDecimalPlaces(HWND dialog, UINT entryId, UINT places);
const char* GetINI(void);
int ReadINIInt(const char* key, int defaultValue);
const char* ReadINIString(const char* key, char* buffer, const char* defaultValue);
BOOL WriteINIInt(const char* key, int value);
BOOL WriteINIString(const char* key, const char* text);

// ---- Common library (VX70COM) ------------------------------------------

// Opens a dialog of a module and returns when it is closed, with the
// result given to DestroyDEDialog.
UINT CreateDEDialog(HWND parent, UINT module, UINT dialogId, UINT initParam);
// Kinds 1, 2, 3: one button (error, warning, notice), returns 1; kind 5:
// Yes/No, returns 6 for Yes and 7 for No.  The text is a printf format.
// MSGBOX_ERROR, MSGBOX_WARNING, MSGBOX_NOTICE and MSGBOX_YESNO name them.
int MsgBox(HWND owner, int kind, const char* format, ...);
const char* GetResourceString(UINT id, HINSTANCE instance);
const char* GetResourceString2(UINT id, HINSTANCE instance);
BOOL ReadSetup(void);
BOOL WriteSetup(void);
BOOL ReadControl(void);
WORD GetProgramDate(void);
const char* GetVersionString(const setupmap* setup);
const char* GetDirectoryPath(const char* path, const char* base, UINT kind, UINT flags);
BOOL Execute(const char* command);
BOOL IsUserManager(const accessmap* access);
BOOL IsVexaDebug(void);
BOOL CanVatModeChange(void);
BOOL IsMajorControlAccount(DWORD accountRecord, const nommap* nominal, UINT flag,
                           const contmap* control);
BOOL NetworkFileOpen(datafilemap* file, UINT access, UINT share);
BOOL SaveUserOptions(datafilemap* files, setupmap* setup, accessmap* access, DWORD lockRecords);
void SetMainWindowText(HWND mainWindow, const setupmap* setup);
const char* GetWallPaperFileName(const setupmap* setup, const accessmap* access);
void SetWallPaperFileName(const char* name, setupmap* setup, accessmap* access);
BYTE GetWallPaperState(UINT which, const setupmap* setup, const accessmap* access);
void SetWallPaperState(UINT which, BYTE value, setupmap* setup, accessmap* access);
// A text of n spaces (at most 260), in a buffer of the library's own.
const char* Space(UINT count);
// The reversible password transform, in place.
void convert(char* text);

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
BOOL EditBox(EditBoxRequest* request);
UINT DeptComboStartup(HWND dialog, UINT gridId, UINT comboFlag);
UINT DeptComboGetItem(HWND grid, UINT notification, UINT comboFlag);
void TaxComboList(HWND combo);
void FillCurrencyCombo(HWND combo);
void FillAccStatusCombo(HWND combo);
// The account finder: puts the chosen code into the requesting field or
// cell; 0 when the user cancelled.
BOOL DoPopup(PopupRequest* request);
BOOL CreateGLCOATfile(UINT flag);
BOOL RunReport(HWND owner, const char* layout, const char* dataPath, UINT a, UINT b, UINT c);

// ---- Access (VX70ACC) ----------------------------------------------------

// The list ends with a zero.
void DisableFields(HWND dialog, const UINT* ids);
void SetMainModuleAccess(void);
void LoadLedgerColors(void);
void EnableAccessMenu(DWORD accessRights);
void ShowSystemDate(void);

// ---- Utilities (VX70UT32) -----------------------------------------------

char* FillUp(char* text, UINT size);
char* CleanUp(char* text);
char* DateNumberToFullString(char* buffer, WORD date);
WORD DateStringToNumber(const char* text);
BOOL IsDateValid(const char* text);
BOOL IsDateOutsideFYear(const setupmap* setup, WORD date);
WORD GetSystemDate(void);
// components: day, month, four-digit year.
void DateNumberToComponents(WORD date, WORD* components);
WORD DateNumberFromComponents(const WORD* components);
double Round(double value, int places);

// ---- Data files (VX70FL32) ------------------------------------------------

BOOL FileOpen(datafilemap* file, UINT access, UINT share, UINT flag);
BOOL FileClose(datafilemap* file);
// Byte counts: the record length, or 0 past the end or on failure.
DWORD ReadRec(datafilemap* file, DWORD record, void* buffer);
DWORD WriteRec(datafilemap* file, DWORD record, const void* buffer);
BOOL LockRec(datafilemap* file, DWORD record);
BOOL UnLockRec(datafilemap* file, DWORD record);
DWORD RecCount(datafilemap* file);
DWORD FlashFindAccount(datafilemap* files, UINT searchKind, const char* code, void* buffer,
                       UINT flag);

// ---- Multi-user (VX70GLOB, VX70ND32) and logo (VXLOGO32) --------------------

BOOL RequestAction(UINT action, UINT zero, const accessmap* access, datafilemap* actionFile,
                   UINT flag);
BOOL RequestActionEnd(UINT action, UINT zero, const accessmap* access, datafilemap* actionFile);
BOOL GlobalUpdate(DWORD station, UINT zero, UINT code, UINT flag, UINT a, UINT b, UINT c, UINT d);
WORD GetUserCount(void);
char* GetStationName(char* buffer);
BOOL RemoveUserQueueMessagesIndirect(datafilemap* actionFile, const char* user, UINT flag);
BOOL IsServer(DWORD station);
BOOL SLSetBitmap(HWND window, const char* file, UINT position);

// ---- The global block (VX70GV) ------------------------------------------------

extern globvar* g_lpGlobVar;

// ---- Win32: user32 and comdlg32 --------------------------------------------

HWND GetDlgItem(HWND dialog, int id);
HWND GetParent(HWND window);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsWindow(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL GetWindowRect(HWND window, RECT* rect);
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG GetWindowLongA(HWND window, int index);
HWND SetFocus(HWND window);
HWND GetFocus(void);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL SetWindowTextA(HWND window, const char* text);
int GetWindowTextA(HWND window, char* buffer, int size);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t name);
HCURSOR SetCursor(HCURSOR cursor);
BOOL CreateCaret(HWND window, UINT bitmap, int width, int height);
BOOL DestroyCaret(void);
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
BOOL WinHelpA(HWND window, const char* file, UINT command, std::uintptr_t data);
BOOL GetOpenFileNameA(OPENFILENAMEA* request);
BOOL ChooseColorA(CHOOSECOLORA* request);
int GetSystemMetrics(int index);

// ---- Win32: kernel32 -----------------------------------------------------------

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file);
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* file);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* file);
DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD size);
UINT GetProfileIntA(const char* section, const char* key, int defaultValue);
BOOL WriteProfileStringA(const char* section, const char* key, const char* value);
DWORD GetVersion(void);
BOOL GetVersionExA(OSVERSIONINFOA* info);
void GlobalMemoryStatus(MEMORYSTATUS* status);
UINT GetWindowsDirectoryA(char* buffer, UINT size);
UINT GetSystemDirectoryA(char* buffer, UINT size);
// The directory for temporary files, with a trailing '/': $TMPDIR, or /tmp.
// Returns the length copied (without the terminator), or the size needed
// when the buffer is too small, as Windows does.
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
// With unique 0, creates an empty file "<path><prefix up to 3 chars><hex>.TMP"
// that did not exist and returns its number; otherwise makes the name from
// `unique` without creating the file.  The buffer takes MAX_PATH bytes.
// Returns 0 on failure.
UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);
// The 16-bit file calls: a file handle, or HFILE_ERROR (-1).
int _lcreat(const char* path, int attribute);
UINT _lwrite(int file, const char* buffer, UINT count);
int _lclose(int file);
}
