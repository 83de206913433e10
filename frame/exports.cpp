// The export table: every ordinal with its name, as the module's export
// directory.  The engine calls handlers by ordinal; other modules call
// GetControlAccountNo by name.  DllMain also carries its stdcall-decorated
// name (12 bytes of arguments).  Ordinal 23 is the same function as 34: the
// currency grid receives all its rows from its start-up callback, so
// nothing is fetched on demand.
#include <iterator>

#include "api/module_abi.h"
#include "frame/handlers.h"

extern "C" const std::uint8_t vx70def_resources[];
extern "C" const std::uint8_t vx70def_resources_end[];

namespace {

template <typename F>
void* fn(F* f) {
  return reinterpret_cast<void*>(f);
}

const VX70Export kExports[] = {
    {1, "CompanyPrefsInit", fn(CompanyPrefsInit)},
    {2, "CompanyPrefsCommand", fn(CompanyPrefsCommand)},
    {3, "FinancialYearInit", fn(FinancialYearInit)},
    {4, "FinancialYearCommand", fn(FinancialYearCommand)},
    {5, "ProgramDateInit", fn(ProgramDateInit)},
    {6, "ProgramDateCommand", fn(ProgramDateCommand)},
    {7, "ProductDefaultsInit", fn(ProductDefaultsInit)},
    {8, "ProductDefaultsCommand", fn(ProductDefaultsCommand)},
    {9, "ProductCategoriesInit", fn(ProductCategoriesInit)},
    {10, "ProductCategoriesCommand", fn(ProductCategoriesCommand)},
    {11, "ProductCategoriesGridFill", fn(ProductCategoriesGridFill)},
    {12, "ProductCategoriesGridStart", fn(ProductCategoriesGridStart)},
    {13, "DepartmentsInit", fn(DepartmentsInit)},
    {14, "DepartmentsCommand", fn(DepartmentsCommand)},
    {15, "DepartmentsGridFill", fn(DepartmentsGridFill)},
    {16, "DepartmentsGridStart", fn(DepartmentsGridStart)},
    {17, "AssetCategoriesInit", fn(AssetCategoriesInit)},
    {18, "AssetCategoriesCommand", fn(AssetCategoriesCommand)},
    {19, "AssetCategoriesGridFill", fn(AssetCategoriesGridFill)},
    {20, "AssetCategoriesGridStart", fn(AssetCategoriesGridStart)},
    {21, "CurrenciesInit", fn(CurrenciesInit)},
    {22, "CurrenciesCommand", fn(CurrenciesCommand)},
    {23, "CurrenciesGridFill", fn(WallpaperDefaultsCommand)},
    {24, "CurrenciesGridStart", fn(CurrenciesGridStart)},
    {25, "TaxCodesInit", fn(TaxCodesInit)},
    {26, "TaxCodesCommand", fn(TaxCodesCommand)},
    {27, "EditTaxCodeInit", fn(EditTaxCodeInit)},
    {28, "EditTaxCodeCommand", fn(EditTaxCodeCommand)},
    {29, "EditCurrencyInit", fn(EditCurrencyInit)},
    {30, "EditCurrencyCommand", fn(EditCurrencyCommand)},
    {31, "ControlAccountsInit", fn(ControlAccountsInit)},
    {32, "ControlAccountsCommand", fn(ControlAccountsCommand)},
    {33, "WallpaperDefaultsInit", fn(WallpaperDefaultsInit)},
    {34, "WallpaperDefaultsCommand", fn(WallpaperDefaultsCommand)},
    {35, "CustomerDefaultsInit", fn(CustomerDefaultsInit)},
    {36, "CustomerDefaultsCommand", fn(CustomerDefaultsCommand)},
    {37, "SupplierDefaultsInit", fn(SupplierDefaultsInit)},
    {38, "SupplierDefaultsCommand", fn(SupplierDefaultsCommand)},
    {39, "InvoiceDefaultsInit", fn(InvoiceDefaultsInit)},
    {40, "InvoiceDefaultsCommand", fn(InvoiceDefaultsCommand)},
    {41, "SystemInfoInit", fn(SystemInfoInit)},
    {42, "SystemInfoCommand", fn(SystemInfoCommand)},
    {45, "ChangePasswordInit", fn(ChangePasswordInit)},
    {46, "ChangePasswordCommand", fn(ChangePasswordCommand)},
    {47, "TaxCodeComboStart", fn(TaxCodeComboStart)},
    {48, "CurrencyComboStart", fn(CurrencyComboStart)},
    {49, "UpdateDefaultsInit", fn(UpdateDefaultsInit)},
    {50, "UpdateDefaultsCommand", fn(UpdateDefaultsCommand)},
    {51, "UserListInit", fn(UserListInit)},
    {52, "UserListCommand", fn(UserListCommand)},
    {53, "OptionsInit", fn(OptionsInit)},
    {54, "OptionsCommand", fn(OptionsCommand)},
    {55, "AccountStatusInit", fn(AccountStatusInit)},
    {56, "AccountStatusCommand", fn(AccountStatusCommand)},
    {57, "EditAccountStatusInit", fn(EditAccountStatusInit)},
    {58, "EditAccountStatusCommand", fn(EditAccountStatusCommand)},
    {59, "FinanceRatesInit", fn(FinanceRatesInit)},
    {60, "FinanceRatesCommand", fn(FinanceRatesCommand)},
    {61, "EditFinanceRateInit", fn(EditFinanceRateInit)},
    {62, "EditFinanceRateCommand", fn(EditFinanceRateCommand)},
    {63, "DllMain", fn(DllMain)},
    {63, "_DllMain@12", fn(DllMain)},
    {64, "GetControlAccountNo", fn(GetControlAccountNo)},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VX70ModuleImage* VX70GetModuleImage() {
  static const VX70ModuleImage image{
      kExports, std::size(kExports), vx70def_resources,
      static_cast<std::size_t>(vx70def_resources_end - vx70def_resources)};
  return &image;
}
