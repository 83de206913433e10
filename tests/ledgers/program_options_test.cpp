// Program Options (3218) driven as a person uses it, checked against the
// station's INI file, the stored setup and user records, and what the
// main window shows afterwards.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <tuple>

#include "api/records.h"
#include "frame/res/ids_options.h"
#include "tests/support/drive_support.h"
#include "tests/support/setup_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultF12 = "QXFORM32.EXE /L QXBOOK32.DLL /R VexaOrbit7032v5";
constexpr const char* kEntryF12 = "QXFORM32.EXE /L QXBOOK32.DLL /R Varnel2000";

fs::path stationIni(const TestCompany& co) {
  return fs::path(co.dir()) / "stations" / "STATION1" / "VX70.INI";
}

// The station's INI file before the run.
void seedIni(const TestCompany& co, const std::string& text) {
  fs::create_directories(stationIni(co).parent_path());
  std::ofstream(stationIni(co)) << text;
}

// A key of the station's package INI file; "<absent>" when it has none.
std::string iniValue(const TestCompany& co, const char* key, const char* section = "VX70") {
  char value[300] = {};
  GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value,
                           stationIni(co).string().c_str());
  return value;
}

json shownMain(const DriveRun& run) {
  auto shows = run.all("show");
  return shows.empty() ? json() : shows.back()["main"];
}

// The pages show what the INI file holds (a stored colour and the default
// both read as colours); OK stores every page and clears the toolbar state.
TEST(ProgramOptions, PagesShowTheIniFileAndOkStoresThem) {
  TestCompany co;
  seedIni(co,
          "[VX70]\nToolbarScroll=5\nToolbarState=3\nUseDosNavigation=1\nModem=COM3\n"
          "ToolbarStandard=1\nDisplayBack=0\nBackupTool=/bk.exe\nIgnoreColorBars=1\n"
          "SalColor=80ff80\nPurColor=0x0000ff\n");
  auto run = co.use(
      "open 3218\nshow\n"
      "click 3214 2313\nclick 3214 2290\nclick 3214 1399\ntype 3214 2291 \"/pics/bar.bmp\"\n"
      "page 3218 1\ntype 3215 2314 \"/opt/backup.exe\"\npage 3218 2\ntype 3216 1427 \"calc.exe\"\n"
      "click 3218 1942\nshow\n");
  const std::tuple<int, int, const char*, json> kShown[] = {
      {IDD_OPTIONS_BACKUP, IDC_OPTIONS_BACKUP_TOOL, "text", "/bk.exe"},
      {IDD_OPTIONS_COLOURS, IDC_OPTIONS_IGNORE_COLOURS, "checked", 1},
      {IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BOX, "colour", "0x80ff80"},
      {IDD_OPTIONS_COLOURS, IDC_COLOUR_SUPPLIERS_BOX, "colour", "0x0000ff"},
      {IDD_OPTIONS_COLOURS, IDC_COLOUR_NOMINAL_BOX, "colour", "0xffffff"}};
  for (const auto& [dialog, control, key, value] : kShown)
    EXPECT_EQ(shownControl(run, 0, dialog, control)[key], value) << control;
  // The hidden boxes carry what they read, or their defaults; HideOnF12
  // and FixColor are stored when chosen on their pages, never on OK.
  const std::pair<const char*, const char*> kStored[] = {
      {"ToolbarStandard", "0"},  {"ToolbarLabels", "0"},
      {"DisplayBack", "1"},      {"BackgroundBitmap", "/pics/bar.bmp"},
      {"ToolbarScroll", "0"},    {"ToolbarState", "0"},
      {"UseDosNavigation", "0"}, {"BackupTool", "/opt/backup.exe"},
      {"F11", "calc.exe"},       {"F12", kDefaultF12},
      {"Modem", "COM3"},         {"DialType", "ATDT"},
      {"Delay", "30"},           {"HideOnF12", "<absent>"},
      {"FixColor", "<absent>"}};
  for (const auto& [key, value] : kStored) EXPECT_EQ(iniValue(co, key), value) << key;
  EXPECT_EQ(iniValue(co, "Show", "WelcomeScreen"), "1");
  // The main window took the toolbar up; the wallpaper save and OK each
  // told the other stations.
  EXPECT_EQ(shownMain(run)["toolbar"], (json{{"frames", false},
                                             {"labels", false},
                                             {"background", true},
                                             {"bitmap", "/pics/bar.bmp"}}));
  EXPECT_EQ(run.all("toolbar").size(), 1u);
  EXPECT_EQ(run.all("update-sent").size(), 2u);
}

// The edition decides the F12 default, the welcome screen, the modem boxes
// and the ledgers the Colours page offers.  The welcome-screen choice is
// read back from where OK wrote it.
TEST(ProgramOptions, EditionShapesThePages) {
  struct Case {
    int edition;
    const char* f12;
    bool welcome;
    bool modem;
    std::vector<int> disabledColours;
  };
  const std::vector<int> none;
  const std::vector<int> orders{IDC_COLOUR_SOP_BUTTON, IDC_COLOUR_POP_BUTTON, IDC_COLOUR_SOP_BOX,
                                IDC_COLOUR_POP_BOX};
  const std::vector<int> entry{IDC_COLOUR_SOP_BUTTON,    IDC_COLOUR_POP_BUTTON,
                               IDC_COLOUR_ASSETS_BUTTON, IDC_COLOUR_SOP_BOX,
                               IDC_COLOUR_POP_BOX,       IDC_COLOUR_ASSETS_BOX};
  for (const Case& c :
       {Case{1, kDefaultF12, false, true, none}, Case{2, kDefaultF12, false, true, orders},
        Case{8, kDefaultF12, false, false, none}, Case{16, kEntryF12, true, true, entry}}) {
    SCOPED_TRACE(c.edition);
    TestCompany co;
    const std::string welcome = c.welcome ? "page 3218 2\nclick 3216 2471\n" : "";
    auto run = co.use("open 3218\nshow\n" + welcome + "click 3218 1942\nopen 3218\nshow\n",
                      "--edition " + std::to_string(c.edition));
    json environment = run.shown(0, IDD_OPTIONS_ENVIRONMENT);
    EXPECT_EQ(iniValue(co, "F12"), c.f12) << "OK writes the default";
    EXPECT_EQ(shownControl(environment, IDC_OPTIONS_WELCOME_SCREEN)["visible"], c.welcome);
    EXPECT_EQ(shownControl(environment, IDC_OPTIONS_MODEM_PORT)["enabled"], c.modem);
    EXPECT_EQ(shownControl(environment, IDC_OPTIONS_DIAL_DELAY)["enabled"], c.modem);
    EXPECT_EQ(shownControl(run, 1, IDD_OPTIONS_ENVIRONMENT, IDC_OPTIONS_WELCOME_SCREEN)["checked"],
              c.welcome ? 0 : 1);
    std::vector<int> disabled;
    const json colours = run.shown(0, IDD_OPTIONS_COLOURS);
    for (const auto& control : colours["controls"])
      if (!control["enabled"].get<bool>()) disabled.push_back(control["id"]);
    std::sort(disabled.begin(), disabled.end());
    EXPECT_EQ(disabled, c.disabledColours);
    // The main window offers the same ledgers.
    std::size_t closed = 0;
    const json access = run.all("module-access").front();
    for (const auto& ledger : access["ledgers"]) closed += !ledger["enabled"].get<bool>();
    EXPECT_EQ(closed, c.disabledColours.size() / 2);
  }
}

// The file chooser of each page fills that page's box; cancelled, it
// changes nothing.
TEST(ProgramOptions, BrowseFillsThePagesBox) {
  const struct {
    int page, dialog, box;
    const char* filter;
  } kCases[] = {{0, IDD_OPTIONS_TOOLBAR, IDC_OPTIONS_TOOLBAR_BITMAP, "*.BMP"},
                {1, IDD_OPTIONS_BACKUP, IDC_OPTIONS_BACKUP_TOOL, "*.EXE"},
                {3, IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_BITMAP, "*.BMP"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.dialog);
    TestCompany co;
    const std::string click = "click " + std::to_string(c.dialog) + " 1143\n";
    auto run = co.use("open 3218\npage 3218 " + std::to_string(c.page) + "\n" + click +
                      "file /data/chosen.file\nshow\n" + click + "file cancel\nshow\n");
    auto files = run.all("file");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0]["filter"][0][1], c.filter);
    EXPECT_EQ(files[0]["owner"], c.dialog);
    EXPECT_EQ(shownControl(run, 0, c.dialog, c.box)["text"], "/data/chosen.file");
    EXPECT_EQ(shownControl(run, 1, c.dialog, c.box)["text"], "/data/chosen.file");
  }
}

// A colour, "Ignore colours" and the F12 hide key are stored as they are
// chosen, and Cancel keeps them; a cancelled colour chooser stores nothing.
TEST(ProgramOptions, ChoicesMadeOnClickSurviveCancel) {
  TestCompany co;
  auto run = co.use(
      "open 3218\npage 3218 2\nclick 3216 2315\n"
      "page 3218 4\nclick 3219 1350\nclick 3219 2292\ncolour 0x123456\n"
      "click 3219 2301\ncolour cancel\nshow 3219\nclick 3218 2\nshow\n");
  EXPECT_EQ(run.all("colour")[0]["initial"], "0xffffff");
  EXPECT_EQ(shownControl(run, 0, IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BOX)["colour"],
            "0x123456");
  EXPECT_EQ(shownControl(run, 0, IDD_OPTIONS_COLOURS, IDC_COLOUR_ASSETS_BOX)["colour"], "0xffffff");
  const std::pair<const char*, const char*> kStored[] = {{"HideOnF12", "1"},
                                                         {"IgnoreColorBars", "1"},
                                                         {"SalColor", "123456"},
                                                         {"FixColor", "<absent>"},
                                                         {"F11", "<absent>"}};
  for (const auto& [key, value] : kStored) EXPECT_EQ(iniValue(co, key), value) << key;
  // The main window took each colour choice up at once.
  EXPECT_EQ(run.all("ledger-colours").size(), 2u);
  json main = shownMain(run);
  EXPECT_TRUE(main["ignoreColours"]);
  EXPECT_EQ(main["ledgers"][0],
            (json{{"ledger", "Customers"}, {"colour", "0x123456"}, {"enabled", true}}));
}

// File, position, shown.
using Wallpaper = std::tuple<std::string, int, int>;
template <class Record>
Wallpaper wallpaperOf(const Record& r) {
  return {r.wallpaperFile, r.wallpaperPosition, r.wallpaperShown};
}

// The Wallpaper page stores into the setup record and the user's record
// and shows the result on the main window's wallpaper window.
TEST(ProgramOptions, WallpaperIsStoredAndShown) {
  struct Case {
    const char* name;
    Wallpaper before;
    std::string clicks;
    Wallpaper after;
    json shown;
  };
  for (const Case& c : {
           Case{"chosen and shown",
                {"", 0, 0},
                "type 3217 1786 \"/pics/w.bmp\"\nclick 3217 2242\nclick 3217 2053\n",
                {"/pics/w.bmp", 8, 1},
                {{"file", "/pics/w.bmp"}, {"position", 8}, {"shown", true}}},
           // No position button is checked for a position out of range, so
           // the stored one stays; switched off, the window is cleared.
           Case{"switched off",
                {"/old.bmp", 9, 1},
                "click 3217 2053\n",
                {"/old.bmp", 9, 0},
                {{"file", ""}, {"position", 0}, {"shown", false}}},
       }) {
    SCOPED_TRACE(c.name);
    TestCompany co;
    auto setup = co.stored<setupmap>(DF_SETUP, 1);
    std::strcpy(setup.wallpaperFile, std::get<0>(c.before).c_str());
    setup.wallpaperPosition = std::get<1>(c.before);
    setup.wallpaperShown = std::get<2>(c.before);
    co.store(DF_SETUP, 1, &setup);
    auto run = co.use("open 3218\npage 3218 3\n" + c.clicks + "click 3218 1942\nshow\n");
    EXPECT_EQ(wallpaperOf(co.stored<setupmap>(DF_SETUP, 1)), c.after);
    auto user = co.stored<accessmap>(DF_USERS, 1);
    EXPECT_EQ(wallpaperOf(user), c.after);
    EXPECT_EQ(user.ownWallpaper, 1);
    json event = c.shown;
    event["event"] = "wallpaper";
    EXPECT_EQ(run.all("wallpaper"), std::vector<json>{event});
    EXPECT_EQ(shownMain(run)["wallpaper"], c.shown);
  }
}

// A user who chose a wallpaper keeps it; one who never chose sees the
// company's, which is the latest choice of anybody.
TEST(ProgramOptions, EachUserKeepsTheOwnWallpaper) {
  TestCompany co;
  storeUser(co, 2, "CLERK");
  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  setup.wallpaperShown = 1;
  co.store(DF_SETUP, 1, &setup);
  auto choose = [&](const std::string& file, const std::string& user) {
    co.use("open 3218\npage 3218 3\ntype 3217 1786 \"" + file + "\"\nclick 3218 1942\n",
           "--user " + user);
  };
  auto seenBy = [&](const std::string& user) {
    return shownMain(co.use("show\n", "--user " + user))["wallpaper"].value("file", "");
  };
  choose("/pics/manager.bmp", "MANAGER");
  EXPECT_EQ(seenBy("CLERK"), "/pics/manager.bmp");
  choose("/pics/clerk.bmp", "CLERK");
  EXPECT_EQ(seenBy("MANAGER"), "/pics/manager.bmp");
  EXPECT_EQ(seenBy("CLERK"), "/pics/clerk.bmp");
}

}  // namespace
}  // namespace vx70::test
