/*
 * Window style constants for the dialog templates of the vx70def resource
 * scripts, with their Win32 names and values (there is no windows.h here).
 * In a CONTROL statement the resource compiler adds WS_CHILD | WS_VISIBLE
 * by itself; write "NOT WS_VISIBLE" for a control that starts hidden.
 */
#ifndef VX70DEF_RES_STYLES_H
#define VX70DEF_RES_STYLES_H

/* Dialog frames. */
#define DS_MODALFRAME 0x0080
#define DS_SETFONT 0x0040
#define WS_POPUP 0x80000000
#define WS_CAPTION 0x00C00000
#define WS_SYSMENU 0x00080000
#define WS_THICKFRAME 0x00040000
#define WS_MINIMIZEBOX 0x00020000
#define WS_MAXIMIZEBOX 0x00010000

/* Every window. */
#define WS_CHILD 0x40000000
#define WS_VISIBLE 0x10000000
#define WS_DISABLED 0x08000000
#define WS_BORDER 0x00800000
#define WS_VSCROLL 0x00200000
#define WS_HSCROLL 0x00100000
#define WS_GROUP 0x00020000
#define WS_TABSTOP 0x00010000

/* BUTTON. */
#define BS_PUSHBUTTON 0x0000
#define BS_DEFPUSHBUTTON 0x0001
#define BS_CHECKBOX 0x0002
#define BS_AUTOCHECKBOX 0x0003
#define BS_RADIOBUTTON 0x0004
#define BS_GROUPBOX 0x0007
#define BS_AUTORADIOBUTTON 0x0009
#define BS_LEFTTEXT 0x0020

/* EDIT. */
#define ES_LEFT 0x0000
#define ES_CENTER 0x0001
#define ES_RIGHT 0x0002
#define ES_MULTILINE 0x0004
#define ES_UPPERCASE 0x0008
#define ES_LOWERCASE 0x0010
#define ES_PASSWORD 0x0020
#define ES_AUTOVSCROLL 0x0040
#define ES_AUTOHSCROLL 0x0080
#define ES_READONLY 0x0800
#define ES_NUMBER 0x2000

/* STATIC. */
#define SS_LEFT 0x0000
#define SS_CENTER 0x0001
#define SS_RIGHT 0x0002
#define SS_ICON 0x0003
#define SS_BLACKRECT 0x0004
#define SS_ETCHEDFRAME 0x0012
#define SS_BITMAP 0x000E
#define SS_SUNKEN 0x1000

/* COMBOBOX. */
#define CBS_SIMPLE 0x0001
#define CBS_DROPDOWN 0x0002
#define CBS_DROPDOWNLIST 0x0003
#define CBS_AUTOHSCROLL 0x0040
#define CBS_SORT 0x0100
#define CBS_HASSTRINGS 0x0200

#endif
