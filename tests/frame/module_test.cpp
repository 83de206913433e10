// The module as the host loads it: the entry, the export table, the stub
// answers of every handler kind, and the temporary-file function.
#include "host/loader/module.h"

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "frame/handlers.h"
#include "frame/res/ids_options.h"

namespace vx70::test {
namespace {

// The export table in ordinal order from 1; "-" where an ordinal is free.
constexpr const char* kExportNames = R"(
CompanyPrefsInit CompanyPrefsCommand FinancialYearInit FinancialYearCommand ProgramDateInit
ProgramDateCommand ProductDefaultsInit ProductDefaultsCommand ProductCategoriesInit
ProductCategoriesCommand ProductCategoriesGridFill ProductCategoriesGridStart DepartmentsInit
DepartmentsCommand DepartmentsGridFill DepartmentsGridStart AssetCategoriesInit
AssetCategoriesCommand AssetCategoriesGridFill AssetCategoriesGridStart CurrenciesInit
CurrenciesCommand CurrenciesGridFill CurrenciesGridStart TaxCodesInit TaxCodesCommand
EditTaxCodeInit EditTaxCodeCommand EditCurrencyInit EditCurrencyCommand ControlAccountsInit
ControlAccountsCommand WallpaperDefaultsInit WallpaperDefaultsCommand CustomerDefaultsInit
CustomerDefaultsCommand SupplierDefaultsInit SupplierDefaultsCommand InvoiceDefaultsInit
InvoiceDefaultsCommand SystemInfoInit SystemInfoCommand - - ChangePasswordInit
ChangePasswordCommand TaxCodeComboStart CurrencyComboStart UpdateDefaultsInit
UpdateDefaultsCommand UserListInit UserListCommand OptionsInit OptionsCommand AccountStatusInit
AccountStatusCommand EditAccountStatusInit EditAccountStatusCommand FinanceRatesInit
FinanceRatesCommand EditFinanceRateInit EditFinanceRateCommand DllMain GetControlAccountNo)";

// The exports as (ordinal, name), free ordinals left out.
std::vector<std::pair<std::uint16_t, std::string>> exports() {
  std::vector<std::pair<std::uint16_t, std::string>> out;
  std::istringstream in(kExportNames);
  std::uint16_t ordinal = 1;
  for (std::string name; in >> name; ++ordinal)
    if (name != "-") out.emplace_back(ordinal, name);
  return out;
}

bool endsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// What the module's handlers answer by their kind, outside any dialog of
// theirs: Init 1, Command 0, grid start-up 1 (the department pair 0) and
// rows-needed 0.  Handlers whose dialogs decide otherwise are left out.
std::optional<std::uint32_t> answerByKind(const std::string& name) {
  static const std::set<std::string> ownAnswers = {"ControlAccountsInit", "EditCurrencyCommand",
                                                   "EditFinanceRateCommand"};
  if (ownAnswers.count(name)) return std::nullopt;
  if (endsWith(name, "Init")) return 1;
  if (name == "DepartmentsGridStart") return 0;
  if (endsWith(name, "GridStart") || endsWith(name, "ComboStart")) return 1;
  return 0;
}

std::size_t openFiles() {
  std::size_t n = 0;
  DIR* d = opendir("/proc/self/fd");
  while (readdir(d)) ++n;
  closedir(d);
  return n;
}

std::unique_ptr<Module> load() { return Module::load(VX70_MODULE_PATH, 15); }

TEST(Module, EveryOrdinalResolvesByOrdinalAndName) {
  auto m = load();
  for (const auto& [ordinal, name] : exports()) {
    SCOPED_TRACE(name);
    void* byOrdinal = m->procAddress(ordinal);
    ASSERT_NE(byOrdinal, nullptr);
    EXPECT_EQ(m->procAddress(name), byOrdinal);
  }
  EXPECT_EQ(m->procAddress(std::uint16_t{43}), nullptr);
  EXPECT_EQ(m->procAddress(std::uint16_t{44}), nullptr);
  EXPECT_EQ(m->procAddress(std::uint16_t{65}), nullptr);
  EXPECT_EQ(m->procAddress("NoSuchExport"), nullptr);
  EXPECT_EQ(m->procAddress("_DllMain@12"), m->procAddress(std::uint16_t{63}));
}

TEST(Module, GridFillOfCurrenciesIsTheWallpaperCommand) {
  auto m = load();
  EXPECT_EQ(m->procAddress(std::uint16_t{23}), m->procAddress(std::uint16_t{34}));
  std::set<void*> distinct;
  for (const auto& [ordinal, name] : exports()) distinct.insert(m->procAddress(ordinal));
  EXPECT_EQ(distinct.size(), exports().size() - 1) << "only 23 and 34 share code";
  for (std::uint16_t ordinal : {23, 34})
    for (UINT a : {0u, 1u, 0xFFFFFFFFu}) EXPECT_EQ(m->handler(ordinal)(a, a, a, a, a, a), 0u);
}

TEST(Module, HandlersAnswerByTheirKind) {
  auto m = load();
  for (const auto& [ordinal, name] : exports()) {
    if (ordinal >= 63) continue;
    SCOPED_TRACE(name);
    const auto answer = answerByKind(name);
    if (!answer) continue;
    DialogHandler h = m->handler(ordinal);
    EXPECT_EQ(h(1, WM_INITDIALOG, 0, 0, 0, 0), *answer);
    // An identifier that no dialog knows.
    EXPECT_EQ(h(1, WM_COMMAND, 0xBEEF, 2, 0, 0), *answer);
  }
}

TEST(Module, EntryStoresTheInstanceAndAnswersByReason) {
  auto m = load();
  void* lib = dlopen(VX70_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(lib, nullptr);
  auto* instance = static_cast<HINSTANCE*>(dlsym(lib, "g_hInstance"));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(*instance, m->instance());
  auto entry = reinterpret_cast<DllEntry>(m->procAddress("DllMain"));
  EXPECT_EQ(entry(m->instance(), DLL_THREAD_ATTACH, nullptr), FALSE);
  EXPECT_EQ(entry(m->instance(), DLL_THREAD_DETACH, nullptr), FALSE);
  EXPECT_EQ(entry(m->instance(), DLL_PROCESS_DETACH, nullptr), TRUE);
  EXPECT_EQ(*instance, m->instance()) << "detach changes nothing";
  EXPECT_EQ(entry(m->instance(), DLL_PROCESS_ATTACH, nullptr), TRUE);
  dlclose(lib);
}

TEST(Module, LoadingAndUnloadingTouchesNoFile) {
  auto dir = std::filesystem::temp_directory_path() / ("vx70-load-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::size_t before = openFiles();
  for (int i = 0; i < 3; ++i) {
    auto m = load();
    EXPECT_EQ(m->number(), 15);
  }
  EXPECT_EQ(openFiles(), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(dir);
}

TEST(Module, ResourcesComeWithTheLibrary) {
  auto m = load();
  auto image = res::readFile(VX70_RES_PATH);
  ASSERT_EQ(m->resources().file().all().size(), res::ResourceFile::parse(image).all().size());
  EXPECT_TRUE(m->resources().dialog(IDD_WALLPAPER_DEFAULTS));
}

TEST(Module, WhatIsNoModuleIsRefused) {
  EXPECT_THROW(Module::load("/nonexistent/vx70def.so", 15), ModuleError);
  EXPECT_THROW(Module::load(VX70_RES_PATH, 15), ModuleError);  // not a library
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&res::readFile), &info), 0);
  EXPECT_THROW(Module::load(info.dli_fname, 15), ModuleError);  // a library, but no module
}

TEST(TempFile, MakesAnEmptyVexFileInTheTemporaryDirectory) {
  auto dir = std::filesystem::temp_directory_path() / ("vx70-tmp-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string old = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", dir.c_str(), 1);
  char first[MAX_PATH] = {}, second[MAX_PATH] = {};
  MakeTempFileName(first);
  MakeTempFileName(second);
  std::filesystem::path a(first), b(second);
  EXPECT_EQ(a.parent_path(), dir);
  EXPECT_EQ(a.filename().string().substr(0, 3), "VEX");
  EXPECT_EQ(a.extension(), ".TMP");
  EXPECT_TRUE(std::filesystem::exists(a));
  EXPECT_EQ(std::filesystem::file_size(a), 0u);
  EXPECT_NE(a, b);
  if (old.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", old.c_str(), 1);
  std::filesystem::remove_all(dir);
}

// Runs `vx70 resources` with the given arguments; returns its exit status
// and standard output.
std::pair<int, std::string> runResources(const std::string& args) {
  std::string cmd = std::string(VX70_PROGRAM_PATH) + " resources --module " + VX70_MODULE_PATH +
                    " " + args + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return {-1, ""};
  std::string out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  return {pclose(p), out};
}

TEST(ResourcesCommand, ListsEveryDialog) {
  auto [status, out] = runResources("");
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\"Company Preferences\""), std::string::npos);
  EXPECT_NE(out.find("3601,3602,3603"), std::string::npos);
  EXPECT_NE(out.find("(no template)"), std::string::npos);
  EXPECT_NE(out.find("46 dialogs"), std::string::npos);
}

TEST(ResourcesCommand, ShowsOneDialogAndTheStrings) {
  auto [status, out] = runResources("--dialog 3605");
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\"Financial Year\""), std::string::npos);
  EXPECT_NE(out.find("1642 26 1 0 1000 15"), std::string::npos) << "the month combo's entry";
  std::tie(status, out) = runResources("--strings");
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("1049  \"VX70\""), std::string::npos);
  EXPECT_NE(out.find("1094  \"\""), std::string::npos);
  std::tie(status, out) = runResources("--dialog 1");
  EXPECT_NE(status, 0) << "no dialog 1";
}

}  // namespace
}  // namespace vx70::test
