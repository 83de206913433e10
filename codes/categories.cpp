// The category lists: Product Categories (3614), Departments (3615) and
// Fixed Asset Categories (3617), with the grid callbacks that the ledger
// defaults' department and category combos share.
//
// Until the dialog is built, each handler answers as its kind does.
#include "frame/handlers.h"

VX70_HANDLER(ProductCategoriesInit) { return 1; }

VX70_HANDLER(ProductCategoriesCommand) { return 0; }

VX70_HANDLER(ProductCategoriesGridFill) { return 0; }

VX70_HANDLER(ProductCategoriesGridStart) { return 1; }

VX70_HANDLER(DepartmentsInit) { return 1; }

VX70_HANDLER(DepartmentsCommand) { return 0; }

VX70_HANDLER(DepartmentsGridFill) { return 0; }

VX70_HANDLER(DepartmentsGridStart) { return 0; }

VX70_HANDLER(AssetCategoriesInit) { return 1; }

VX70_HANDLER(AssetCategoriesCommand) { return 0; }

VX70_HANDLER(AssetCategoriesGridFill) { return 0; }

VX70_HANDLER(AssetCategoriesGridStart) { return 1; }
