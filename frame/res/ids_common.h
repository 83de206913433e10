/*
 * Identifiers that every dialog family of the module shares.  Read by the
 * resource scripts and by C++ alike, so it holds only #define lines.
 *
 * Naming in the family headers (ids_<family>.h): IDD_ a dialog or page,
 * IDC_ a control of a template or an entry of its CENTRY, IDR_ a
 * description resource (CENTRY, MENTRY, TENTRY, GRID), IDS_ a string.
 * The standard IDOK and IDCANCEL of the Win32 headers keep their names.
 */
#ifndef VX70DEF_RES_IDS_COMMON_H
#define VX70DEF_RES_IDS_COMMON_H

/* The number by which the dialog engine knows this module. */
#define VX70DEF_MODULE 15

/* The OK (or Save) button of the module's own dialogs: its handlers
 * decide when it closes the dialog, so it is not the standard IDOK. */
#define IDC_OK 1942

#endif
