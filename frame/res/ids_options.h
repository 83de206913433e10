/*
 * Identifiers of the options and defaults dialogs (options.rc): Invoice
 * Defaults, the program Options and Wallpaper Defaults.  The Options'
 * Wallpaper page and Wallpaper Defaults show the same controls, so those
 * are named once (IDC_WALLPAPER_).
 */
#ifndef VX70DEF_RES_IDS_OPTIONS_H
#define VX70DEF_RES_IDS_OPTIONS_H

#include "ids_common.h"

/* ---- Invoice Defaults: the container and its one page ------------------ */
#define IDD_INVOICE_DEFAULTS 3627
#define IDD_INVOICE_DEFAULTS_PAGE 3626

#define IDR_INVOICE_DEFAULTS_CENTRY 1026
#define IDR_INVOICE_DEFAULTS_PAGE_CENTRY 1027
#define IDR_INVOICE_DEFAULTS_MENTRY 1026
#define IDR_INVOICE_DEFAULTS_PAGE_MENTRY 1027
#define IDR_INVOICE_DEFAULTS_TENTRY 1004

#define IDC_INVOICE_ACCOUNT_REF 1350
#define IDC_INVOICE_ITEMS_QUANTITY 1354
#define IDC_INVOICE_UPDATE_ORDER_NO 2151
#define IDC_INVOICE_USE_SERVICE_TEXT 2261
#define IDC_INVOICE_SERVICE_TEXT_LABEL 2262
#define IDC_INVOICE_SERVICE_TEXT 1992
#define IDC_INVOICE_UPDATE_CUST_DEPT 2243
#define IDC_INVOICE_DISCOUNT_UNIT_PRICE 1398

/* ---- Options: the container and its five pages -------------------------- */
#define IDD_OPTIONS 3218
#define IDD_OPTIONS_TOOLBAR 3214
#define IDD_OPTIONS_BACKUP 3215
#define IDD_OPTIONS_ENVIRONMENT 3216
#define IDD_OPTIONS_WALLPAPER 3217
#define IDD_OPTIONS_COLOURS 3219

#define IDR_OPTIONS_CENTRY 1040
#define IDR_OPTIONS_TOOLBAR_CENTRY 1041
#define IDR_OPTIONS_BACKUP_CENTRY 1042
#define IDR_OPTIONS_ENVIRONMENT_CENTRY 1043
#define IDR_OPTIONS_WALLPAPER_CENTRY 1044
#define IDR_OPTIONS_COLOURS_CENTRY 1045
/* One message map for the container and every page. */
#define IDR_OPTIONS_MENTRY 1035
#define IDR_OPTIONS_TENTRY 1007

/* The "&Browse" button of the Toolbar, Backup and Wallpaper pages and of
 * Wallpaper Defaults. */
#define IDC_OPTIONS_BROWSE 1143

/* Toolbar */
#define IDC_OPTIONS_TOOLBAR_FRAMES 2313
#define IDC_OPTIONS_TOOLBAR_LABELS 2290
#define IDC_OPTIONS_TOOLBAR_BACKGROUND 1399
#define IDC_OPTIONS_TOOLBAR_BITMAP 2291

/* Backup */
#define IDC_OPTIONS_BACKUP_TOOL 2314

/* Environment; the modem port, dial command and delay boxes are hidden. */
#define IDC_OPTIONS_F11 1427
#define IDC_OPTIONS_F12 1428
#define IDC_OPTIONS_HIDE_ON_F12 2315
#define IDC_OPTIONS_WELCOME_SCREEN 2471
#define IDC_OPTIONS_MODEM_PORT 1811
#define IDC_OPTIONS_DIAL_COMMAND 1637
#define IDC_OPTIONS_DIAL_DELAY 1360

/* Colours: the check box, then each ledger's colour box and the button
 * that chooses its colour. */
#define IDC_OPTIONS_IGNORE_COLOURS 1350
#define IDC_COLOUR_CUSTOMERS_BOX 2302
#define IDC_COLOUR_SUPPLIERS_BOX 2303
#define IDC_COLOUR_NOMINAL_BOX 2304
#define IDC_COLOUR_BANK_BOX 2305
#define IDC_COLOUR_STOCK_BOX 2306
#define IDC_COLOUR_INVOICING_BOX 2307
#define IDC_COLOUR_SOP_BOX 2308
#define IDC_COLOUR_POP_BOX 2309
#define IDC_COLOUR_FINANCIALS_BOX 2310
#define IDC_COLOUR_ASSETS_BOX 2311
#define IDC_COLOUR_CUSTOMERS_BUTTON 2292
#define IDC_COLOUR_SUPPLIERS_BUTTON 2293
#define IDC_COLOUR_NOMINAL_BUTTON 2294
#define IDC_COLOUR_BANK_BUTTON 2295
#define IDC_COLOUR_STOCK_BUTTON 2296
#define IDC_COLOUR_INVOICING_BUTTON 2297
#define IDC_COLOUR_SOP_BUTTON 2298
#define IDC_COLOUR_POP_BUTTON 2299
#define IDC_COLOUR_FINANCIALS_BUTTON 2300
#define IDC_COLOUR_ASSETS_BUTTON 2301

/* ---- Wallpaper Defaults, filled by the engine alone --------------------- */
#define IDD_WALLPAPER_DEFAULTS 3622

#define IDR_WALLPAPER_DEFAULTS_CENTRY 1025
#define IDR_WALLPAPER_DEFAULTS_MENTRY 1025

/* ---- Wallpaper controls of the Options' page and Wallpaper Defaults ---- */
/* The bitmap, the display switch and the nine positions in position order. */
#define IDC_WALLPAPER_BITMAP_LABEL 1785
#define IDC_WALLPAPER_BITMAP 1786
#define IDC_WALLPAPER_DISPLAY 2053
#define IDC_WALLPAPER_TOP_LEFT 2234
#define IDC_WALLPAPER_TOP_CENTRE 2235
#define IDC_WALLPAPER_TOP_RIGHT 2236
#define IDC_WALLPAPER_BOTTOM_LEFT 2237
#define IDC_WALLPAPER_BOTTOM_CENTRE 2238
#define IDC_WALLPAPER_BOTTOM_RIGHT 2239
#define IDC_WALLPAPER_TILED 2240
#define IDC_WALLPAPER_FULL_SCREEN 2241
#define IDC_WALLPAPER_CENTERED 2242

#endif
