// The messages of the dialog engine's grid classes ("__03Grid__",
// "__03Combo__", "#VX32CALCEDIT") and the notifications they send, by name,
// for the module's handlers and the engine alike.  docs/grid.md gives each
// message's parameters and effect.
#pragma once

#include "win32.h"

// Messages.
inline constexpr UINT GM_SETNUMBERMODE = 1125;  // calculator edit: wParam 2 = whole numbers
inline constexpr UINT GM_CARETWINDOW = 1127;    // cell editor: the window that holds the caret
inline constexpr UINT GM_CANCELEDIT = 1130;     // grid or cell editor: undo the cell's last edit
inline constexpr UINT GM_COMMITEDIT = 1134;     // cell editor: its text goes into the cell
inline constexpr UINT GM_CLEAR = 1796;
inline constexpr UINT GM_ROWCOUNT = 1797;
inline constexpr UINT GM_CURRENTROW = 1798;
inline constexpr UINT GM_SETCURRENTROW = 1800;
inline constexpr UINT GM_SETCURRENTCOLUMN = 1801;
inline constexpr UINT GM_ADDROW = 1803;
inline constexpr UINT GM_ADDITEM = 1804;
inline constexpr UINT GM_DELETEROW = 1805;
inline constexpr UINT GM_SETROW = 1808;
inline constexpr UINT GM_GETROW = 1810;
inline constexpr UINT GM_GETCELLTEXT = 1814;
inline constexpr UINT GM_GETITEMTEXT = 1815;
inline constexpr UINT GM_ROWSUPPLIED = 1822;
inline constexpr UINT GM_FILLREQUEST = 1830;
inline constexpr UINT GM_ROWSONDEMAND = 1831;
inline constexpr UINT GM_CURRENTCOLUMNID = 1843;
inline constexpr UINT GM_HOLDEDITS = 1849;
inline constexpr UINT GM_OPENLEVEL = 1855;
inline constexpr UINT GM_MARKROW = 1870;
inline constexpr UINT GM_COLUMNWIDTH = 1890;

// Notification codes (WM_COMMAND to the dialog, MAKEWPARAM(id, code)).
inline constexpr WORD GN_ACTIVATE = 1;       // grid: a row was double-clicked
inline constexpr WORD GN_CELLDONE = 5;       // grid: a cell edit went into the cell
inline constexpr WORD GN_ROWSNEEDED = 6;     // rows-needed callback's code
inline constexpr WORD LN_FINDER = 101;       // look-up field: the finder button
inline constexpr WORD LN_CODEENTERED = 103;  // look-up field: Enter confirmed the code
