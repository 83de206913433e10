#include "station/station.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <future>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "api/host_api.h"
#include "api/notices.h"
#include "host/data/company.h"
#include "host/engine/dialog.h"
#include "host/events.h"
#include "host/loader/module.h"
#include "host/package/finder.h"
#include "host/package/main_window.h"
#include "host/package/user_record.h"
#include "host/win32/window.h"

namespace vx70 {

using events::Answer;
using events::Question;
using nlohmann::json;
using script::Command;
using script::ScriptError;

namespace {

std::atomic<bool> g_stationRunning{false};

constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr const char* kMainClass = "VX70Main";
constexpr const char* kInfoTextClass = "VX70InfoText";
constexpr UINT kInfoControl = 102;

// The financial year shows as "<month> <year>" with the host's own month
// names: the module's string table is the module's, not the host's.
constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

// setupmap.fyStartMonth counts from 0 for January.
std::string financialYear(const setupmap& setup) {
  const char* month =
      setup.fyStartMonth < std::size(kMonthNames) ? kMonthNames[setup.fyStartMonth] : "";
  return std::string(month) + " " + std::to_string(setup.fyStartYear);
}

LRESULT mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return win::defWindowProc(hwnd, message, wParam, lParam);
}

// The info window's field behaves as a static text, and every new text
// set on it is reported: it is how the person sees the financial year
// change.  The text it gets at start-up goes out before the engine has an
// event sink, so only the module's changes are reported.
LRESULT infoTextProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = win::defWindowProc(hwnd, message, wParam, lParam);
  if (message == WM_SETTEXT)
    events::emit(json{{"event", "info"}, {"control", kInfoControl}, {"text", win::get(hwnd).text}});
  return result;
}

struct QuestionKind {
  Question question;
  const char* name;     // as pendingQuestion() and the errors call it
  const char* event;    // the event that asks it
  const char* command;  // the command that answers it
};

constexpr QuestionKind kQuestionKinds[] = {
    {Question::Message, "message", "message", "answer"},
    {Question::EditBox, "editbox", "editbox", "editbox"},
    {Question::File, "file", "file", "file"},
    {Question::Colour, "colour", "colour", "colour"},
    {Question::Popup, "popup", "finder", "popup"},
};

const char* questionName(Question q) {
  for (const QuestionKind& k : kQuestionKinds)
    if (k.question == q) return k.name;
  return "question";
}

const QuestionKind* answeredBy(const std::string& word) {
  for (const QuestionKind& k : kQuestionKinds)
    if (word == k.command) return &k;
  return nullptr;
}

unsigned long parseNumber(const Command& c, std::size_t i, const char* what) {
  if (i >= c.tokens.size())
    throw ScriptError(c.line, std::string(c.word()) + ": " + what + " missing");
  const std::string& t = c.tokens[i].text;
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(t.c_str(), &end, 0);
  if (t.empty() || *end || errno || t[0] == '-' || v > UINT_MAX)
    throw ScriptError(c.line,
                      std::string(c.word()) + ": " + what + " \"" + t + "\" is not a number");
  return v;
}

void expectArgs(const Command& c, std::size_t min, std::size_t max) {
  std::size_t n = c.tokens.size() - 1;
  if (n < min || n > max)
    throw ScriptError(c.line,
                      c.word() + ": expects " +
                          (min == max ? std::to_string(min)
                                      : std::to_string(min) + " to " + std::to_string(max)) +
                          " arguments, got " + std::to_string(n));
}

bool isWord(const Command& c, std::size_t i, const char* word) {
  return i < c.tokens.size() && !c.tokens[i].quoted && c.tokens[i].text == word;
}

}  // namespace

struct Station::Impl : events::UiPort {
  struct Job {
    Command command;
    std::string error;
    bool done = false;
  };

  StationOptions options;
  EventSink sink;
  std::thread ui;
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::deque<Job*> queue;
  Job* current = nullptr;
  bool quitting = false;
  std::optional<Question> pending;
  std::unique_ptr<Module> module;
  HWND mainWindow = 0;
  int updatesReceived = 0;
  int questionsAsked = 0;
  bool loggedOn = false;

  // ---- Life ------------------------------------------------------------------------

  void start() {
    std::promise<void> started;
    auto ready = started.get_future();
    ui = std::thread([this, &started] {
      try {
        startUp();
      } catch (...) {
        shutDown();
        started.set_exception(std::current_exception());
        return;
      }
      started.set_value();
      while (!isQuitting()) topLevelWait();
      shutDown();
    });
    try {
      ready.get();
    } catch (...) {
      ui.join();
      throw;
    }
  }

  void stop() {
    {
      std::lock_guard lock(mutex);
      quitting = true;
    }
    wake.notify_all();
    if (ui.joinable()) ui.join();
  }

  bool isQuitting() {
    std::lock_guard lock(mutex);
    return quitting;
  }

  void startUp() {
    stationOptions() = options;
    engine::registerEngineClasses();
    win::registerClass(kMainClass, mainWindowProc);
    win::registerClass(kInfoTextClass, infoTextProc);
    module = Module::load(defaultModulePath(), kDefaultsModuleNumber);
    engine::registerModule(module.get());
    if (!options.dataDir.empty()) {
      data::openCompany(options.dataDir);
      data::logon(options.station, options.user);
      loggedOn = true;
    }
    fillGlobalBlock();
    createMainWindow();
    showCompanyInMainWindow();
    events::setUiPort(this);
    events::setSink([this](const json& e) { emit(withActionName(e)); });
    engine::setInputWait([this] { dialogWait(); });
    emit(json{{"event", "station"},
              {"action", "started"},
              {"station", options.station},
              {"user", options.user},
              {"number", g_lpGlobVar->station}});
  }

  void shutDown() {
    engine::setInputWait(nullptr);
    events::setUiPort(nullptr);
    if (mainWindow) win::destroyWindow(mainWindow);
    mainWindow = 0;
    if (loggedOn) data::logoff();
    loggedOn = false;
    if (data::companyOpen()) data::closeCompany();
    if (module) engine::unregisterModule(module->number());
    module.reset();
    events::setSink(nullptr);
    win::reset();
  }

  void fillGlobalBlock() {
    globvar& g = *g_lpGlobVar;
    g.edition = options.edition;
    g.multiUser = options.multiUser;
    g.lockRecords = options.lockRecords;
    g.detailsLocked = options.detailsLocked;
    g.netMessaging = options.netMessaging;
    g.negativeStockCount = options.negativeStockCount;
    if (options.programDate.empty()) {
      g.programDate = GetSystemDate();
    } else {
      g.programDate = DateStringToNumber(options.programDate.c_str());
      if (!g.programDate)
        throw std::runtime_error("--program-date \"" + options.programDate + "\" is not a date");
    }
    copyPath(g.programDirectory, programDirectory());
    if (!options.dataDir.empty()) {
      copyPath(g.dataPath, std::filesystem::absolute(options.dataDir).lexically_normal().string());
      ReadSetup();
      ReadControl();
      loadAccessRecord();
    } else {
      accessOfName(g.access, options.user);
    }
    // The user's own call-charge rate as the user file keeps it, unless
    // this run names another (copied out of the packed record first, as
    // value_or takes a reference).
    const double storedRate = g.access.callChargeRate;
    g.userCallChargeRate = options.callChargeRate.value_or(storedRate);
  }

  static void copyText(char* to, std::size_t size, const std::string& text) {
    std::memset(to, 0, size);
    std::memcpy(to, text.data(), std::min(text.size(), size - 1));
  }
  static void copyPath(char* to, const std::string& path) { copyText(to, MAX_PATH, path); }

  static std::string programDirectory() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return ".";
    return std::filesystem::path(std::string(exe, static_cast<std::size_t>(n)))
        .parent_path()
        .string();
  }

  // The user's record when the company has no user file to read: the
  // logon name alone.
  static void accessOfName(accessmap& access, const std::string& user) {
    std::memset(&access, 0, sizeof access);
    copyText(access.logonName, sizeof access.logonName, user);
  }

  // The user's record of the user file, its password held readable in
  // memory as the dialogs expect it.
  void loadAccessRecord() {
    accessmap& access = g_lpGlobVar->access;
    std::memset(&access, 0, sizeof access);
    datafilemap* users = &g_lpGlobVar->dataFiles[DF_USERS];
    if (!FileOpen(users, OF_READ, OF_SHARE_DENY_NONE, 1)) {
      accessOfName(access, options.user);
      return;
    }
    const bool found = package::findUserRecord(users, options.user, access) != 0;
    FileClose(users);
    if (!found) throw std::runtime_error("the company has no user \"" + options.user + "\"");
    access.password[sizeof access.password - 1] = '\0';
    convert(access.password);
  }

  void createMainWindow() {
    globvar& g = *g_lpGlobVar;
    mainWindow = win::createWindow(kMainClass, "VX70", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                   RECT{0, 0, 1024, 768}, 0, 0);
    HWND info = win::createWindow("STATIC", "", WS_CHILD | WS_VISIBLE, RECT{0, 748, 1024, 768},
                                  mainWindow, 1);
    win::createWindow(kInfoTextClass, "", WS_CHILD | WS_VISIBLE, RECT{600, 0, 1024, 20}, info,
                      kInfoControl);
    HWND wallpaper = win::createWindow("STATIC", "", WS_CHILD | WS_VISIBLE, RECT{0, 20, 1024, 748},
                                       mainWindow, 2);
    HWND notify = win::createWindow("STATIC", "", WS_CHILD, RECT{0, 0, 0, 0}, mainWindow, 3);
    g.mainWindow = mainWindow;
    g.infoWindow = info;
    g.wallpaperWindow = wallpaper;
    g.notifyWindow = notify;
  }

  // The title and the info window name the company and its financial year
  // from the start, before any dialog changes them; the access menu follows
  // the company's access-rights setting.
  void showCompanyInMainWindow() {
    setAccessMenuEnabled(false);
    if (options.dataDir.empty()) return;
    const setupmap& setup = g_lpGlobVar->setup;
    setAccessMenuEnabled(setup.accessRights != 0);
    SetMainWindowText(mainWindow, &setup);
    HWND year = win::childById(g_lpGlobVar->infoWindow, kInfoControl);
    if (!year || !win::get(year).text.empty()) return;
    SetWindowTextA(year, financialYear(setup).c_str());
  }

  // ---- Events ---------------------------------------------------------------------

  void emit(const json& event) {
    if (sink) sink(event);
  }

  void tell(const json& event) override { emit(event); }

  // A multi-user action is shown with its name: the module's string of
  // the same number.
  json withActionName(json event) const {
    if (event.value("event", "") != "action") return event;
    std::string name;
    try {
      if (module)
        name = module->resources()
                   .string(static_cast<std::uint16_t>(event.value("id", 0u)))
                   .value_or("");
    } catch (const std::exception&) {
      name.clear();
    }
    event["name"] = name;
    return event;
  }

  void pollUpdates() {
    if (!data::companyOpen()) return;
    for (const auto& u : data::takeUpdates()) {
      if (u.code == NOTICE_SETUP_CHANGED) ReadSetup();
      if (u.code == NOTICE_CONTROL_CHANGED) ReadControl();
      ++updatesReceived;
      emit(json{{"event", "update"}, {"code", u.code}, {"flag", u.flag}, {"from", u.fromStation}});
    }
  }

  // ---- Waiting for the person ---------------------------------------------------------

  // The station waits for input: the command in hand is complete.  Returns
  // the next command, or nullptr when the station is closing.
  Job* nextJob() {
    std::unique_lock lock(mutex);
    finishCurrent();
    while (queue.empty() && !quitting) {
      wake.wait_for(lock, kPollInterval);
      lock.unlock();
      pollUpdates();
      lock.lock();
    }
    if (quitting) return nullptr;
    current = queue.front();
    queue.pop_front();
    return current;
  }

  void finishCurrent() {
    if (!current) return;
    current->done = true;
    current = nullptr;
    wake.notify_all();
  }

  void fail(Job& job, const std::string& message) {
    std::lock_guard lock(mutex);
    job.error = message;
  }

  void topLevelWait() {
    if (Job* job = nextJob()) runGuarded(*job);
  }

  void dialogWait() {
    if (Job* job = nextJob())
      runGuarded(*job);
    else
      engine::closeAllDialogs();
  }

  void runGuarded(Job& job) {
    try {
      run(job.command);
    } catch (const ScriptError& e) {
      fail(job, e.what());
    } catch (const std::exception& e) {
      fail(job, e.what());
    }
  }

  Answer ask(Question kind, const json& question) override {
    ++questionsAsked;
    emit(question);
    setPending(kind);
    for (;;) {
      Job* job = nextJob();
      if (!job) {
        setPending(std::nullopt);
        return safeAnswer(question);
      }
      try {
        if (std::optional<Answer> a = answerOf(job->command, kind, question)) {
          setPending(std::nullopt);
          return *a;
        }
      } catch (const std::exception& e) {
        fail(*job, e.what());
      }
    }
  }

  static Answer safeAnswer(const json& question) {
    Answer a;
    a.cancelled = true;
    json buttons = question.value("buttons", json::array());
    bool hasCancel = std::find(buttons.begin(), buttons.end(), "cancel") != buttons.end();
    a.button = hasCancel ? IDCANCEL : (buttons.size() > 1 ? IDNO : IDOK);
    return a;
  }

  void setPending(std::optional<Question> q) {
    std::lock_guard lock(mutex);
    pending = q;
  }

  // The answer that a command gives to the waiting question; nullopt for
  // commands that may run while a question waits (show, wait).
  std::optional<Answer> answerOf(const Command& c, Question kind, const json& question) {
    const std::string& w = c.word();
    const QuestionKind* answered = answeredBy(w);
    if (!answered) {
      if (w == "show" || w == "wait") {
        run(c);
        return std::nullopt;
      }
      throw ScriptError(c.line, std::string("a ") + questionName(kind) +
                                    " waits for its answer; \"" + w + "\" cannot run now");
    }
    if (answered->question != kind)
      throw ScriptError(c.line,
                        std::string("a ") + questionName(kind) + " waits, not a " + answered->name);
    expectArgs(c, 1, 1);
    Answer a;
    bool cancel = isWord(c, 1, "cancel");
    const std::string& value = c.tokens[1].text;
    switch (kind) {
      case Question::Message:
        return messageAnswer(c, question, value);
      case Question::Colour:
        if (cancel) break;
        a.colour = static_cast<COLORREF>(parseNumber(c, 1, "colour"));
        if (a.colour > 0xFFFFFF) throw ScriptError(c.line, "colour: not a 0xBBGGRR value");
        return a;
      default:
        if (cancel) break;
        if (kind == Question::Popup && !package::finderOffers(question, value))
          throw ScriptError(c.line,
                            "popup: the finder does not offer the account \"" + value + "\"");
        a.text = value;
        return a;
    }
    a.cancelled = true;
    return a;
  }

  static Answer messageAnswer(const Command& c, const json& question, const std::string& value) {
    static const std::map<std::string, int> buttonIds{
        {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}, {"retry", 4}};
    json buttons = question.value("buttons", json::array());
    auto id = buttonIds.find(value);
    if (id == buttonIds.end() || std::find(buttons.begin(), buttons.end(), value) == buttons.end())
      throw ScriptError(c.line, "answer: the message has no button \"" + value + "\" (it has " +
                                    buttons.dump() + ")");
    Answer a;
    a.button = id->second;
    a.cancelled = value == "cancel";
    return a;
  }

  // ---- Commands --------------------------------------------------------------------

  void run(const Command& c) {
    const std::string& w = c.word();
    if (w == "open") return open(c);
    if (w == "type") return type(c);
    if (w == "leave") return leave(c);
    if (w == "click") return click(c);
    if (w == "select") return select(c);
    if (w == "cell") return cell(c);
    if (w == "activate") return activate(c);
    if (w == "page") return page(c);
    if (w == "close") return close(c);
    if (w == "key") return key(c);
    if (w == "show") return show(c);
    if (w == "wait") return waitUpdate(c);
    if (answeredBy(w)) throw ScriptError(c.line, w + ": nothing waits for an answer");
    throw ScriptError(c.line, "unknown command \"" + w + "\"");
  }

  void open(const Command& c) {
    expectArgs(c, 1, 2);
    UINT id = static_cast<UINT>(parseNumber(c, 1, "dialog"));
    UINT param = c.tokens.size() > 2 ? static_cast<UINT>(parseNumber(c, 2, "parameter")) : 0;
    auto open = engine::openDialogs();
    if (!open.empty())
      throw ScriptError(c.line, "open: dialog " + std::to_string(open.back().id) +
                                    " is open; the main window takes no commands until it closes");
    if (!module->resources().dentry(static_cast<std::uint16_t>(id)))
      throw ScriptError(c.line, "open: the module has no dialog " + std::to_string(id));
    CreateDEDialog(mainWindow, kDefaultsModuleNumber, id, param);
  }

  HWND dialogArg(const Command& c, std::size_t i) {
    UINT id = static_cast<UINT>(parseNumber(c, i, "dialog"));
    HWND d = engine::findOpenDialog(id);
    if (!d) throw ScriptError(c.line, c.word() + ": no open dialog " + std::to_string(id));
    return d;
  }

  HWND controlArg(const Command& c, HWND dialog, std::size_t i) {
    UINT id = static_cast<UINT>(parseNumber(c, i, "control"));
    HWND control = engine::dialogControl(dialog, id);
    if (!control)
      throw ScriptError(c.line, c.word() + ": dialog " + std::to_string(GetDEDialogID(dialog)) +
                                    " has no control " + std::to_string(id));
    return control;
  }

  // A person can act only on a control that is shown and enabled.
  void requireUsable(const Command& c, HWND control) {
    win::Window& w = win::get(control);
    std::string what = c.word() + ": control " + std::to_string(w.id);
    if (!w.visible) throw ScriptError(c.line, what + " is hidden");
    if (!w.enabled) throw ScriptError(c.line, what + " is disabled");
  }

  // Focus moves to the control first, as a click or a Tab does; what the
  // old control does on losing it (a check, a message) happens first.
  // Returns false when that changed the dialog so that the action is lost.
  bool focusFirst(HWND control) {
    if (win::focus() == control) return true;
    int asked = questionsAsked;
    win::setFocus(control);
    return asked == questionsAsked && win::find(control) && win::get(control).enabled;
  }

  // The control that a user action names (DIALOG CONTROL ...), once the
  // command has its arguments and a person could reach the control.
  HWND usableControl(const Command& c, std::size_t args) {
    expectArgs(c, args, args);
    HWND control = controlArg(c, dialogArg(c, 1), 2);
    requireUsable(c, control);
    return control;
  }

  void userMessage(const Command& c, HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                   const char* refusal) {
    // Marked before, for the handlers that the change itself calls, and
    // after, for the next command, whatever those handlers read meanwhile.
    engine::noteUserInput(control);
    LRESULT result = win::send(control, message, wParam, lParam);
    if (win::find(control)) engine::noteUserInput(control);
    if (result == -1)
      throw ScriptError(
          c.line, c.word() + ": control " + std::to_string(win::get(control).id) + " " + refusal);
  }

  void type(const Command& c) {
    HWND control = usableControl(c, 3);
    if (!focusFirst(control)) return;
    userMessage(c, control, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>(c.tokens[3].text.c_str()),
                "refused the typing (disabled, read-only, or not a number in a number field)");
  }

  void leave(const Command& c) {
    expectArgs(c, 2, 2);
    HWND d = dialogArg(c, 1);
    HWND control = controlArg(c, d, 2);
    if (win::focus() != control) win::setFocus(control);
    HWND next = win::nextTabStop(win::get(control).parent, control);
    win::setFocus(next && next != control ? next : d);
  }

  void click(const Command& c) {
    HWND control = usableControl(c, 2);
    if (!focusFirst(control)) return;
    userMessage(c, control, win::VXM_CLICK, 0, 0, "cannot be clicked");
  }

  void select(const Command& c) {
    HWND control = usableControl(c, 3);
    WPARAM index = parseNumber(c, 3, "index");
    if (!focusFirst(control)) return;
    userMessage(c, control, win::VXM_SELECT, index, 0, "has no such entry");
  }

  void cell(const Command& c) {
    HWND grid = usableControl(c, 5);
    win::CellInput input{static_cast<int>(parseNumber(c, 3, "row")),
                         static_cast<UINT>(parseNumber(c, 4, "column")), c.tokens[5].text.c_str()};
    if (!focusFirst(grid)) return;
    userMessage(c, grid, win::VXM_CELL, 0, reinterpret_cast<LPARAM>(&input),
                "refused the cell (no such row or column, or not a value of its type)");
  }

  void activate(const Command& c) {
    HWND grid = usableControl(c, 3);
    WPARAM row = parseNumber(c, 3, "row");
    if (!focusFirst(grid)) return;
    userMessage(c, grid, win::VXM_ACTIVATE, row, 0, "has no such row");
  }

  // Keys by name, as their virtual-key codes.
  static WPARAM virtualKey(const Command& c, const std::string& name) {
    static const std::map<std::string, WPARAM> keys{
        {"enter", 0x0D}, {"escape", 0x1B}, {"tab", 0x09},    {"space", 0x20},   {"left", 0x25},
        {"up", 0x26},    {"right", 0x27},  {"down", 0x28},   {"delete", 0x2E},  {"f4", 0x73},
        {"home", 0x24},  {"end", 0x23},    {"pageup", 0x21}, {"pagedown", 0x22}};
    auto it = keys.find(name);
    if (it == keys.end()) throw ScriptError(c.line, "key: unknown key \"" + name + "\"");
    return it->second;
  }

  void key(const Command& c) {
    HWND control = usableControl(c, 3);
    WPARAM vk = virtualKey(c, c.tokens[3].text);
    if (!focusFirst(control)) return;
    engine::noteUserInput(control);
    win::send(control, WM_KEYDOWN, vk, 0);
    if (win::find(control)) engine::noteUserInput(control);
  }

  void page(const Command& c) {
    expectArgs(c, 2, 2);
    HWND d = dialogArg(c, 1);
    int index = static_cast<int>(parseNumber(c, 2, "page index"));
    if (!engine::showPage(d, index))
      throw ScriptError(
          c.line, "page: dialog " + c.tokens[1].text + " has no page " + std::to_string(index));
  }

  void close(const Command& c) {
    expectArgs(c, 1, 1);
    HWND d = dialogArg(c, 1);
    for (const auto& o : engine::openDialogs())
      if (o.hwnd == d && o.page) d = o.container;
    win::send(d, WM_CLOSE, 0, 0);
  }

  void show(const Command& c) {
    expectArgs(c, 0, 1);
    json dialogs = json::array();
    if (c.tokens.size() > 1) {
      HWND d = dialogArg(c, 1);
      json one;
      engine::describeDialog(d, one);
      for (const auto& o : engine::openDialogs())
        if (o.hwnd == d) describeFrame(o, one);
      dialogs.push_back(std::move(one));
    } else {
      for (const auto& o : engine::openDialogs()) {
        json one;
        engine::describeDialog(o.hwnd, one);
        describeFrame(o, one);
        dialogs.push_back(std::move(one));
      }
    }
    emit(json{{"event", "show"}, {"main", describeMain()}, {"dialogs", std::move(dialogs)}});
  }

  // Where the dialog stands and how big it is, in pixels, and its
  // template's font: what a front end needs to draw the dialog as built.
  static void describeFrame(const engine::OpenDialog& dialog, json& out) {
    const RECT& r = win::get(dialog.hwnd).rect;
    out["rect"] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    const Module* owner = engine::moduleByNumber(dialog.module);
    if (!owner) return;
    auto frame = owner->resources().dialog(static_cast<std::uint16_t>(dialog.id));
    if (frame && !frame->font.empty())
      out["font"] = {{"name", frame->font}, {"size", frame->pointSize}};
  }

  json describeMain() {
    globvar& g = *g_lpGlobVar;
    char date[16] = {};
    DateNumberToFullString(date, g.programDate);
    HWND info = win::childById(g.infoWindow, kInfoControl);
    return json{{"title", win::get(mainWindow).text},
                {"programDate", date},
                {"info", info ? win::get(info).text : ""},
                {"cursor", win::cursor()},
                {"accessMenu", accessMenuEnabled()}};
  }

  void waitUpdate(const Command& c) {
    expectArgs(c, 1, 2);
    if (!isWord(c, 1, "update")) throw ScriptError(c.line, "wait: only \"wait update\" is known");
    double seconds = 10;
    if (c.tokens.size() > 2) {
      char* end = nullptr;
      seconds = std::strtod(c.tokens[2].text.c_str(), &end);
      if (*end || seconds < 0) throw ScriptError(c.line, "wait: bad number of seconds");
    }
    int before = updatesReceived;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      pollUpdates();
      if (updatesReceived > before) return;
      if (std::chrono::steady_clock::now() >= deadline || isQuitting())
        throw ScriptError(c.line, "wait: no update arrived within " + c.tokens.back().text + " s");
      std::this_thread::sleep_for(kPollInterval / 2);
    }
  }

  // ---- Submitting ------------------------------------------------------------------

  void submit(Job& job) {
    std::unique_lock lock(mutex);
    if (quitting) throw ScriptError(job.command.line, "the station has stopped");
    queue.push_back(&job);
    wake.notify_all();
    wake.wait(lock, [&] { return job.done || quitting; });
    if (!job.done) throw ScriptError(job.command.line, "the station stopped while running");
  }
};

Station::Station(const StationOptions& options, EventSink sink) : impl_(new Impl) {
  if (g_stationRunning.exchange(true))
    throw std::runtime_error("a station already runs in this process");
  impl_->options = options;
  impl_->sink = std::move(sink);
  try {
    impl_->start();
  } catch (...) {
    g_stationRunning = false;
    throw;
  }
}

Station::~Station() {
  impl_->stop();
  g_stationRunning = false;
}

void Station::execute(const std::string& line, int lineNumber) {
  Impl::Job job;
  job.command = script::parseCommand(line, lineNumber);
  if (job.command.empty()) return;
  impl_->submit(job);
  if (!job.error.empty()) throw ScriptError(lineNumber, job.error);
}

bool Station::questionPending() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->pending.has_value();
}

std::string Station::pendingQuestion() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->pending ? questionName(*impl_->pending) : "";
}

bool isQuestionEvent(const std::string& kind) {
  return std::any_of(std::begin(kQuestionKinds), std::end(kQuestionKinds),
                     [&](const QuestionKind& k) { return kind == k.event; });
}

}  // namespace vx70
