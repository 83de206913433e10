/*
 * The host's menu of the module's dialogs: its groups in order, and in each
 * the dialogs it opens in order.  An item's title is its dialog's caption in
 * the resources, unless the menu calls the dialog otherwise.
 *
 * Expand VX70DEF_MENU with three macros of your own:
 *   GROUP(title)             starts a group;
 *   ITEM(dialog)             adds a dialog, shown by its caption;
 *   ITEM_TITLED(dialog, t)   adds a dialog that the menu shows as t.
 *
 * Read by C++ only, but kept to #define lines like the identifier headers.
 */
#ifndef VX70DEF_RES_MENU_H
#define VX70DEF_RES_MENU_H

#include "ids_codes.h"
#include "ids_company.h"
#include "ids_ledgers.h"
#include "ids_options.h"
#include "ids_system.h"

#define VX70DEF_MENU(GROUP, ITEM, ITEM_TITLED)                           \
  GROUP("Company settings")                                              \
  ITEM(IDD_COMPANY_PREFS)                                                \
  ITEM(IDD_FINANCIAL_YEAR)                                               \
  ITEM(IDD_PROGRAM_DATE)                                                 \
  ITEM(IDD_UPDATE_DEFAULTS)                                              \
  ITEM(IDD_CHANGE_PASSWORD)                                              \
  ITEM(IDD_WALLPAPER_DEFAULTS)                                           \
  GROUP("Ledger defaults")                                               \
  ITEM(IDD_CUSTOMER_DEFAULTS)                                            \
  ITEM(IDD_SUPPLIER_DEFAULTS)                                            \
  ITEM(IDD_PRODUCT_DEFAULTS)                                             \
  ITEM(IDD_INVOICE_DEFAULTS)                                             \
  ITEM_TITLED(IDD_OPTIONS, "Program Options")  /* captioned "Options" */ \
  GROUP("Code tables")                                                   \
  ITEM(IDD_DEPARTMENTS)                                                  \
  ITEM(IDD_PRODUCT_CATEGORIES)                                           \
  ITEM(IDD_ASSET_CATEGORIES)                                             \
  ITEM(IDD_CURRENCIES)                                                   \
  ITEM(IDD_TAX_CODES)                                                    \
  ITEM(IDD_ACCOUNT_STATUS)                                               \
  ITEM(IDD_FINANCE_RATES)                                                \
  ITEM(IDD_CONTROL_ACCOUNTS)                                             \
  GROUP("System and users")                                              \
  ITEM(IDD_USER_LIST)                                                    \
  ITEM(IDD_SYSTEM_INFO)                                                  \
  ITEM(IDD_ABOUT)

/* The group that holds this dialog also shows whether the access menu (it
 * belongs to the package's access module) is enabled. */
#define VX70DEF_MENU_ACCESS_NOTE IDD_USER_LIST

#endif
