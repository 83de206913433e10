# One line per family of resource tests: vx70_resource_test(<name>) builds
# tests/<name>.cpp against the compiled resources.
vx70_resource_test(res_system_test)
vx70_resource_test(res_strings_test)
vx70_resource_test(res_codes_test)
vx70_resource_test(res_options_test)
vx70_resource_test(res_company_test)
vx70_resource_test(res_ledgers_test)
