/*
 * Identifiers of the system information and user dialogs (system.rc):
 * About with its System Info page, and the User List.
 */
#ifndef VX70DEF_RES_IDS_SYSTEM_H
#define VX70DEF_RES_IDS_SYSTEM_H

#include "ids_common.h"

/* ---- About: the tabbed dialog, its empty page and System Info ----------- */
#define IDD_ABOUT 3630
/* A page without a template. */
#define IDD_ABOUT_EMPTY_PAGE 3628
/* A page of About, and a dialog of its own when opened from About. */
#define IDD_SYSTEM_INFO 3629

#define IDR_ABOUT_CENTRY 1028
/* Named by the empty page's DENTRY; no such CENTRY exists. */
#define IDR_ABOUT_EMPTY_PAGE_CENTRY 1029
#define IDR_SYSTEM_INFO_CENTRY 1030
/* One message map for About and both its pages. */
#define IDR_SYSTEM_INFO_MENTRY 1028
#define IDR_ABOUT_TENTRY 1005
/* The outline of System Info, with its GRIDBITMAP of the same number. */
#define IDR_SYSTEM_INFO_GRID 1011

#define IDC_ABOUT_TITLE 1674
#define IDC_ABOUT_VERSION 2201
#define IDC_ABOUT_COMPANY_NAME 1673
#define IDC_ABOUT_SYSTEM_INFO 2042
#define IDC_ABOUT_TECH_SUPPORT 101

/* ---- System Info ------------------------------------------------------- */
#define IDC_SYSTEM_INFO_GRID 1610
#define IDC_SYSTEM_INFO_SYSEDIT 1413
#define IDC_SYSTEM_INFO_PRINT 1833

/* ---- User List: the container and its Users and Requests pages --------- */
#define IDD_USER_LIST 3634
#define IDD_USER_LIST_USERS 3635
#define IDD_USER_LIST_REQUESTS 3636

#define IDR_USER_LIST_CENTRY 1034
#define IDR_USER_LIST_USERS_CENTRY 1035
#define IDR_USER_LIST_REQUESTS_CENTRY 1036
#define IDR_USER_LIST_MENTRY 1033
/* The pages' message map: commands only. */
#define IDR_USER_LIST_PAGES_MENTRY 1034
#define IDR_USER_LIST_TENTRY 1006
#define IDR_USER_LIST_USERS_GRID 1012
#define IDR_USER_LIST_REQUESTS_GRID 1013

#define IDC_USER_LIST_REFRESH 1894
#define IDC_USER_LIST_USERS_GRID 2162
#define IDC_USER_LIST_REQUESTS_GRID 1907
/* The command that removes the selected user; no window of these dialogs
 * sends it. */
#define IDC_USER_LIST_REMOVE_USER 2316

#endif
