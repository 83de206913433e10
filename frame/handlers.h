// The module's exported functions.  Every dialog callback has one shape:
// six 32-bit arguments (dialog window, message, command or control
// identifier, control window, notification code, creation parameter) and a
// 32-bit result.  Init handlers return 1, Command handlers 0 unless their
// dialog says otherwise, grid start-up callbacks 1 (the department pair 0)
// and rows-needed callbacks 0.  All are stdcall on 32-bit Windows (WINAPI).
#pragma once

#include <cstdint>

#include "api/win32.h"

#define VX70_HANDLER(name)                                                                        \
  extern "C" std::uint32_t WINAPI name([[maybe_unused]] HWND hwnd, [[maybe_unused]] UINT message, \
                                       [[maybe_unused]] UINT id, [[maybe_unused]] HWND control,   \
                                       [[maybe_unused]] UINT notify,                              \
                                       [[maybe_unused]] UINT initParam)

// The module's instance handle, stored when the library is attached.
extern HINSTANCE g_hInstance;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// Company settings.
VX70_HANDLER(CompanyPrefsInit);
VX70_HANDLER(CompanyPrefsCommand);
VX70_HANDLER(FinancialYearInit);
VX70_HANDLER(FinancialYearCommand);
VX70_HANDLER(ProgramDateInit);
VX70_HANDLER(ProgramDateCommand);
VX70_HANDLER(ChangePasswordInit);
VX70_HANDLER(ChangePasswordCommand);
VX70_HANDLER(UpdateDefaultsInit);
VX70_HANDLER(UpdateDefaultsCommand);

// Ledger defaults.
VX70_HANDLER(CustomerDefaultsInit);
VX70_HANDLER(CustomerDefaultsCommand);
VX70_HANDLER(SupplierDefaultsInit);
VX70_HANDLER(SupplierDefaultsCommand);
VX70_HANDLER(ProductDefaultsInit);
VX70_HANDLER(ProductDefaultsCommand);
VX70_HANDLER(InvoiceDefaultsInit);
VX70_HANDLER(InvoiceDefaultsCommand);
VX70_HANDLER(OptionsInit);
VX70_HANDLER(OptionsCommand);

// Code tables.
VX70_HANDLER(ProductCategoriesInit);
VX70_HANDLER(ProductCategoriesCommand);
VX70_HANDLER(ProductCategoriesGridFill);
VX70_HANDLER(ProductCategoriesGridStart);
VX70_HANDLER(DepartmentsInit);
VX70_HANDLER(DepartmentsCommand);
VX70_HANDLER(DepartmentsGridFill);
VX70_HANDLER(DepartmentsGridStart);
VX70_HANDLER(AssetCategoriesInit);
VX70_HANDLER(AssetCategoriesCommand);
VX70_HANDLER(AssetCategoriesGridFill);
VX70_HANDLER(AssetCategoriesGridStart);
VX70_HANDLER(CurrenciesInit);
VX70_HANDLER(CurrenciesCommand);
VX70_HANDLER(CurrenciesGridStart);
VX70_HANDLER(CurrencyComboStart);
VX70_HANDLER(EditCurrencyInit);
VX70_HANDLER(EditCurrencyCommand);
VX70_HANDLER(TaxCodesInit);
VX70_HANDLER(TaxCodesCommand);
VX70_HANDLER(EditTaxCodeInit);
VX70_HANDLER(EditTaxCodeCommand);
VX70_HANDLER(TaxCodeComboStart);
VX70_HANDLER(AccountStatusInit);
VX70_HANDLER(AccountStatusCommand);
VX70_HANDLER(EditAccountStatusInit);
VX70_HANDLER(EditAccountStatusCommand);
VX70_HANDLER(FinanceRatesInit);
VX70_HANDLER(FinanceRatesCommand);
VX70_HANDLER(EditFinanceRateInit);
VX70_HANDLER(EditFinanceRateCommand);
VX70_HANDLER(ControlAccountsInit);
VX70_HANDLER(ControlAccountsCommand);

// The control slot (0-14) that holds a nominal record number, -1 if none.
extern "C" std::int32_t WINAPI GetControlAccountNo(std::uint32_t nominalRecord);

// System information and users.
VX70_HANDLER(UserListInit);
VX70_HANDLER(UserListCommand);
VX70_HANDLER(SystemInfoInit);
VX70_HANDLER(SystemInfoCommand);

// Wallpaper Defaults is created and filled by the engine alone; its
// Command handler is also the currency grid's rows-needed callback, since
// that grid receives all its rows at start-up.
VX70_HANDLER(WallpaperDefaultsInit);
VX70_HANDLER(WallpaperDefaultsCommand);

// Creates an empty, uniquely named temporary file and puts its path into
// the buffer (at least MAX_PATH bytes).
void MakeTempFileName(char* buffer);
