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

#define VX70DEF_MENU(GROUP, ITEM, ITEM_TITLED)                            \
  GROUP("Company settings")                                             \
  ITEM(3600)                               /* Company Preferences */    \
  ITEM(3605)                               /* Financial Year */         \
  ITEM(3606)                               /* Change Program Date */    \
  ITEM(3633)                               /* Update Defaults */        \
  ITEM(3632)                               /* Change Password */        \
  ITEM(3622)                               /* Wallpaper Defaults */     \
  GROUP("Ledger defaults")                                              \
  ITEM(3607)                               /* Customer Defaults */      \
  ITEM(3623)                               /* Supplier Defaults */      \
  ITEM(3612)                               /* Product Defaults */       \
  ITEM(3627)                               /* Invoice Defaults */       \
  ITEM_TITLED(3218, "Program Options")     /* captioned "Options" */    \
  GROUP("Code tables")                                                  \
  ITEM(3615)                               /* Departments */            \
  ITEM(3614)                               /* Product Categories */     \
  ITEM(3617)                               /* Fixed Asset Categories */ \
  ITEM(3616)                               /* Currencies */             \
  ITEM(3619)                               /* Tax Codes */              \
  ITEM(901)                                /* Account Status */         \
  ITEM(3223)                               /* Finance Charge Rates */   \
  ITEM(3621)                               /* Control Accounts */       \
  GROUP("System and users")                                             \
  ITEM(3634)                               /* User List */              \
  ITEM(3629)                               /* System Info */            \
  ITEM(3630)                               /* About */

/* The group that holds this dialog also shows whether the access menu (it
 * belongs to the package's access module) is enabled. */
#define VX70DEF_MENU_ACCESS_NOTE 3634 /* User List */

#endif
