#include "host/engine/dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/engine/grid.h"
#include "host/events.h"
#include "host/loader/resources.h"
#include "host/win32/window.h"

namespace vx70::engine {

namespace {

using nlohmann::json;

// ---- State ------------------------------------------------------------------

struct Entry {
  res::CEntry desc;
  std::vector<std::uint8_t> own;
  std::uint8_t* buffer = nullptr;
  std::size_t size = 0;
  std::uint16_t valueType = 0;    // the type of the buffer (a link takes its target's)
  std::uint16_t valueLength = 0;  // the entry's length (a link takes its target's)
  HWND window = 0;
  bool dirty = false;
  UINT decimals = 2;
};

struct DialogState {
  HWND hwnd = 0;
  UINT id = 0;
  Module* module = nullptr;
  bool page = false;
  HWND container = 0;
  HWND parent = 0;
  UINT initParam = 0;
  DialogHandler init = nullptr;
  DialogHandler command = nullptr;
  std::vector<std::unique_ptr<Entry>> entries;
  std::vector<HWND> pages;
  int currentPage = 0;
  std::set<int> pagesNotChosen;
  bool focusBringsPage = false;  // 1025: the next field focused brings its page forward
  // A page: its dialog hid it (no tab, it cannot come to the front); what
  // its Init posted to itself while it was not chosen (1031), held back
  // until it first comes to the front.
  bool tabHidden = false;
  std::vector<win::PostedMessage> heldOpening;
  std::vector<std::unique_ptr<res::Grid>> grids;
  std::vector<std::unique_ptr<GridCreateParams>> gridParams;
  struct StartUp {
    DialogHandler handler;
    UINT id;
    HWND window;
  };
  std::vector<StartUp> startUps;
  bool ready = false;     // Init has run: commands reach the handler
  bool updating = false;  // the engine itself is filling windows
  bool ended = false;
  UINT result = 0;
};

std::map<int, Module*>& modules() {
  static std::map<int, Module*> m;
  return m;
}
std::map<HWND, std::unique_ptr<DialogState>>& states() {
  static std::map<HWND, std::unique_ptr<DialogState>> s;
  return s;
}
// Open dialogs and pages in the order they were built.
std::vector<HWND>& openOrder() {
  static std::vector<HWND> o;
  return o;
}
std::set<std::pair<int, UINT>>& engineKeptDialogs() {
  static std::set<std::pair<int, UINT>> kept;
  return kept;
}
std::map<std::pair<int, UINT>, HostDialog>& hostDialogs() {
  static std::map<std::pair<int, UINT>, HostDialog> h;
  return h;
}
InputWait& inputWait() {
  static InputWait w;
  return w;
}

DialogState* stateOf(HWND hwnd) {
  auto it = states().find(hwnd);
  return it == states().end() ? nullptr : it->second.get();
}

// The dialog whose page this is, or the dialog itself.
DialogState* rootOf(DialogState* s) {
  if (s && s->page) return stateOf(s->container);
  return s;
}

Entry* findEntry(DialogState& s, UINT id) {
  for (auto& e : s.entries)
    if (e->desc.id == id) return e.get();
  return nullptr;
}

// ---- Buffers ---------------------------------------------------------------------

// Bytes that a value of the entry's type takes; 0 for entries without one.
std::size_t bufferSize(const res::CEntry& c) {
  switch (c.type) {
    case res::CT_DECIMAL:
      return 8;
    case res::CT_TEXT:
    case res::CT_DATE:
      return std::max<std::size_t>(c.length, 1);
    case res::CT_WORD:
      return 2;
    case res::CT_RECNO:
      return 4;
    case res::CT_RECORD:
      return c.length;
    case res::CT_SLOT:
      return 8;
    case res::CT_GRIDCOMBO:
      return c.storage == res::CS_OWN ? std::max<std::size_t>(c.length, 1) : 0;
    default:
      return 0;
  }
}

void giveOwnBuffer(Entry& e, std::size_t size) {
  e.own.assign(size, 0);
  e.buffer = e.own.empty() ? nullptr : e.own.data();
  e.size = size;
}

// Record slots and own buffers first, then the fields inside slots (a
// page's fields may name its container's slot), then the page links.
void buildBuffers(DialogState& s) {
  DialogState* container = s.page ? stateOf(s.container) : nullptr;
  for (auto& e : s.entries) {
    e->valueType = e->desc.type;
    e->valueLength = e->desc.length;
    if (e->desc.storage != res::CS_FIELD && e->desc.type != res::CT_LINK)
      giveOwnBuffer(*e, bufferSize(e->desc));
  }
  for (auto& e : s.entries) {
    if (e->desc.storage != res::CS_FIELD || e->desc.type == res::CT_LINK) continue;
    std::size_t size = bufferSize(e->desc);
    Entry* slot = findEntry(s, e->desc.link1);
    if (!slot && container) slot = findEntry(*container, e->desc.link1);
    if (slot && slot->buffer && std::size_t{e->desc.link2} + size <= slot->size) {
      e->buffer = slot->buffer + e->desc.link2;
      e->size = size;
    } else {
      giveOwnBuffer(*e, size);  // a field outside its slot keeps a value of its own
    }
  }
  for (auto& e : s.entries) {
    if (e->desc.type != res::CT_LINK) continue;
    Entry* target = container ? findEntry(*container, e->desc.id) : nullptr;
    if (target) {
      e->buffer = target->buffer;
      e->size = target->size;
      e->valueType = target->valueType;
      e->valueLength = target->valueLength;
      e->decimals = target->decimals;
    }
  }
}

std::string lowerClass(HWND w) {
  win::Window* win = win::find(w);
  if (!win) return {};
  std::string c = win->className;
  for (char& ch : c) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return c;
}

bool takesDouble(const std::string& cls) { return cls == "#vx32calcedit" || cls == "__03combo__"; }

std::string bufferText(const Entry& e) {
  const char* p = reinterpret_cast<const char*>(e.buffer);
  return std::string(p, strnlen(p, e.size));
}

std::string formatDecimal(double v, UINT places) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", static_cast<int>(std::min<UINT>(places, 15)), v);
  return text;
}

void showEntry(const Entry& e) {
  if (!e.window || !e.buffer || !win::find(e.window)) return;
  std::string cls = lowerClass(e.window);
  switch (e.valueType) {
    case res::CT_DECIMAL: {
      double v;
      std::memcpy(&v, e.buffer, sizeof v);
      if (takesDouble(cls))
        win::send(e.window, win::VXM_SETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
      else
        win::send(e.window, WM_SETTEXT, 0,
                  reinterpret_cast<LPARAM>(formatDecimal(v, e.decimals).c_str()));
      break;
    }
    case res::CT_TEXT:
    case res::CT_DATE:
    case res::CT_GRIDCOMBO:
      win::send(e.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bufferText(e).c_str()));
      break;
    case res::CT_WORD:
    case res::CT_RECNO: {
      std::uint32_t v = 0;
      std::memcpy(&v, e.buffer, std::min<std::size_t>(e.size, 4));
      if (cls == "combobox")
        win::send(e.window, CB_SETCURSEL, v == 0xFFFF ? static_cast<WPARAM>(-1) : v, 0);
      else
        win::send(e.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_string(v).c_str()));
      break;
    }
    default:
      break;
  }
}

std::string windowText(HWND w) {
  char text[1024] = {};
  win::send(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// Takes what the window now shows into the buffer.
void readEntry(Entry& e) {
  if (!e.window || !e.buffer || !win::find(e.window)) return;
  std::string cls = lowerClass(e.window);
  switch (e.valueType) {
    case res::CT_DECIMAL: {
      double v = 0;
      if (takesDouble(cls))
        win::send(e.window, win::VXM_GETDOUBLE, 0, reinterpret_cast<LPARAM>(&v));
      else
        v = std::strtod(windowText(e.window).c_str(), nullptr);
      std::memcpy(e.buffer, &v, sizeof v);
      break;
    }
    case res::CT_TEXT:
    case res::CT_DATE:
    case res::CT_GRIDCOMBO: {
      std::string t = windowText(e.window);
      std::memset(e.buffer, 0, e.size);
      std::memcpy(e.buffer, t.data(), std::min(t.size(), e.size - 1));
      break;
    }
    case res::CT_WORD:
    case res::CT_RECNO: {
      long v;
      if (cls == "combobox")
        v = static_cast<long>(win::send(e.window, CB_GETCURSEL));
      else
        v = std::strtol(windowText(e.window).c_str(), nullptr, 10);
      std::uint32_t u = static_cast<std::uint32_t>(v);
      if (e.size == 2) {
        std::uint16_t w16 = static_cast<std::uint16_t>(u);
        std::memcpy(e.buffer, &w16, 2);
      } else {
        std::memcpy(e.buffer, &u, 4);
      }
      break;
    }
    default:
      break;
  }
}

void showAll(DialogState& s) {
  s.updating = true;
  for (auto& e : s.entries) showEntry(*e);
  s.updating = false;
}

// Before a handler runs, what the user changed goes into the buffers.
void takeUserInput() {
  for (auto& [hwnd, s] : states())
    for (auto& e : s->entries)
      if (e->dirty) {
        readEntry(*e);
        e->dirty = false;
      }
}

// ---- Building ----------------------------------------------------------------------

bool isGridClass(const std::string& lower) {
  return lower == "__03grid__" || lower == "__03combo__";
}

void createControl(DialogState& s, const res::DialogItem& item, const res::CEntryList& centry) {
  RECT r = dialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
  std::string cls = item.className;
  std::string lower = cls;
  for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  void* createParam = nullptr;
  const res::CEntry* c = centry.find(static_cast<std::uint16_t>(item.id));
  // A page's grid-combo may be described by its container's entry, which
  // the page's own entry only links to (the ledger defaults' lists).
  if (c && c->type == res::CT_LINK && s.page)
    if (DialogState* container = stateOf(s.container))
      if (Entry* target = findEntry(*container, item.id)) c = &target->desc;
  DialogHandler startUp = nullptr;
  if (isGridClass(lower)) {
    auto params = std::make_unique<GridCreateParams>();
    params->dialog = s.hwnd;
    params->id = item.id;
    params->layout = nullptr;
    params->rowsNeeded = nullptr;
    params->entryLength = c ? c->length : 0;
    params->lookUp = c && c->isGridCombo() && !c->link1;
    if (c && (c->isGrid() || c->isGridCombo())) {
      if (c->link1) {
        if (auto g = s.module->resources().grid(c->link1)) {
          s.grids.push_back(std::make_unique<res::Grid>(std::move(*g)));
          params->layout = s.grids.back().get();
        }
      }
      Module* callbacks = c->link2 ? moduleByNumber(c->link2) : s.module;
      if (!callbacks) callbacks = s.module;
      if (c->rowsNeeded) params->rowsNeeded = callbacks->handler(c->rowsNeeded);
      if (c->startUp) startUp = callbacks->handler(c->startUp);
    }
    createParam = params.get();
    s.gridParams.push_back(std::move(params));
  }
  if (!win::classProc(cls)) cls = "STATIC";  // an unknown class still shows its place
  HWND w = win::createWindow(cls, item.text, item.style, r, s.hwnd, item.id, createParam);
  if (w) {
    win::get(w).exStyle = item.exStyle;
    if (startUp) s.startUps.push_back({startUp, item.id, w});
  }
}

bool isNumber(const Entry& e) {
  return e.valueType == res::CT_DECIMAL || e.valueType == res::CT_WORD ||
         e.valueType == res::CT_RECNO;
}

// The characters the user may type: a text what its buffer holds, a number
// its width.
std::size_t typingLimit(const Entry& e) {
  if (e.valueType == res::CT_TEXT || e.valueType == res::CT_DATE)
    return e.valueLength > 1 ? e.valueLength - 1u : 0;
  return isNumber(e) ? e.valueLength : 0;
}

// A plain edit bound to a number takes only a number that its buffer
// holds, so that letters never reach it as a silent 0 nor 70000 as 4464.
void bindNumberEdit(const Entry& e) {
  if (e.valueType == res::CT_DECIMAL) {
    win::send(e.window, win::VXM_SETNUMBER, win::kDecimalNumber, 0);
    return;
  }
  const std::uint64_t largest = e.size >= 4 ? 0xFFFFFFFFu : 0xFFFFu;
  win::send(e.window, win::VXM_SETNUMBER, win::kWholeNumber, static_cast<LPARAM>(largest));
}

// The user types no more than the field holds; a handler may set another
// limit afterwards.  The engine's number controls (calculator edit,
// numeric look-up field) keep their own decimals and take the width.
void bindWindows(DialogState& s) {
  for (auto& e : s.entries) {
    if (e->desc.storage == res::CS_NONE && e->desc.type != res::CT_LINK) continue;
    e->window = win::childById(s.hwnd, e->desc.id);
    if (!e->window) continue;
    const std::string cls = lowerClass(e->window);
    const bool edit = cls == "edit";
    if (edit && isNumber(*e)) bindNumberEdit(*e);
    const bool limited = edit || (e->valueType == res::CT_DECIMAL && takesDouble(cls));
    if (const std::size_t limit = typingLimit(*e); limited && limit)
      win::send(e->window, EM_LIMITTEXT, limit, 0);
  }
}

void emitError(const std::string& message) {
  events::emit(json{{"event", "engine-error"}, {"message", message}});
}

// Builds a dialog or page: its window, controls, entries and handlers.
HWND buildDialog(Module& module, UINT id, HWND parent, HWND container, UINT initParam) {
  const res::ModuleResources& resources = module.resources();
  std::optional<res::DEntry> dentry;
  std::optional<res::DialogTemplate> tmpl;
  std::optional<res::CEntryList> centry;
  std::optional<std::vector<res::MEntry>> mentry;
  try {
    dentry = resources.dentry(static_cast<std::uint16_t>(id));
    if (!dentry) {
      emitError("module " + std::to_string(module.number()) + " has no dialog " +
                std::to_string(id));
      return 0;
    }
    tmpl = resources.dialog(static_cast<std::uint16_t>(id));
    centry = resources.centry(dentry->centry);
    mentry = resources.mentry(dentry->mentry);
  } catch (const res::ResourceError& e) {
    emitError(e.what());
    return 0;
  }
  bool page = container != 0;
  RECT rect{};
  DWORD style = WS_POPUP | WS_CAPTION;
  std::string title;
  if (tmpl) {
    rect = dialogUnitsToPixels(tmpl->x, tmpl->y, tmpl->cx, tmpl->cy);
    style = tmpl->style & ~WS_VISIBLE;
    title = tmpl->title;
  }
  if (page) {
    win::Window& c = win::get(container);
    // A page fills the container's client area below its tabs.
    int width = tmpl ? rect.right - rect.left : c.rect.right - c.rect.left;
    int height = tmpl ? rect.bottom - rect.top : c.rect.bottom - c.rect.top;
    rect = RECT{4, 24, 4 + width, 24 + height};
    // Built shown inside its container, which is not shown yet: a page
    // that its dialog hides while building it is so seen (WM_SHOWWINDOW).
    // Once the dialog opens only the page in front is shown.
    style = (style & ~(WS_POPUP | WS_CAPTION)) | WS_CHILD | WS_VISIBLE;
  }
  HWND hwnd = win::createWindow(kDialogClass, title, style, rect, page ? container : 0, id);
  if (!hwnd) return 0;
  win::get(hwnd).owner = parent;
  // Tab walks from the frame buttons into the page in front, as in a
  // property sheet.
  if (page) win::get(hwnd).exStyle |= WS_EX_CONTROLPARENT;

  auto state = std::make_unique<DialogState>();
  DialogState& s = *state;
  s.hwnd = hwnd;
  s.id = id;
  s.module = &module;
  s.page = page;
  s.container = container;
  s.parent = page ? container : parent;
  s.initParam = initParam;
  if (mentry)
    for (const auto& m : *mentry) {
      if (m.message == WM_INITDIALOG) s.init = module.handler(m.ordinal);
      if (m.message == WM_COMMAND) s.command = module.handler(m.ordinal);
    }
  states()[hwnd] = std::move(state);
  openOrder().push_back(hwnd);

  res::CEntryList noEntries;
  const res::CEntryList& list = centry ? *centry : noEntries;
  for (const auto& c : list.entries) {
    auto e = std::make_unique<Entry>();
    e->desc = c;
    s.entries.push_back(std::move(e));
  }
  if (tmpl)
    for (const auto& item : tmpl->items) createControl(s, item, list);
  buildBuffers(s);
  bindWindows(s);
  return hwnd;
}

void buildPages(DialogState& s, UINT tentryId) {
  if (!tentryId) return;
  std::optional<std::vector<res::TEntry>> tentry;
  try {
    tentry = s.module->resources().tentry(static_cast<std::uint16_t>(tentryId));
  } catch (const res::ResourceError& e) {
    emitError(e.what());
  }
  if (!tentry) return;
  for (const auto& t : *tentry) {
    Module* m = moduleByNumber(t.module);
    if (!m) m = s.module;
    if (HWND page = buildDialog(*m, t.dialog, s.hwnd, s.hwnd, s.initParam)) s.pages.push_back(page);
  }
}

void runStartUps(DialogState& s) {
  auto startUps = s.startUps;  // a callback may rebuild nothing, but be safe
  for (const auto& u : startUps)
    if (win::find(u.window)) u.handler(s.hwnd, 0, u.id, u.window, 0, 0);
}

void callInit(DialogState& s) {
  if (s.init) s.init(s.hwnd, WM_INITDIALOG, 0, 0, 0, s.initParam);
}

// A page's Init, then, for a page that its container's Init marked as not
// chosen, what it posted to itself is held back (see noteChosen).
void callPageInit(DialogState& container, DialogState& page) {
  callInit(page);
  const auto at = std::find(container.pages.begin(), container.pages.end(), page.hwnd);
  if (container.pagesNotChosen.count(static_cast<int>(at - container.pages.begin())))
    page.heldOpening = win::takePosted(page.hwnd);
}

void setVisible(HWND w, bool visible) {
  if (win::Window* win = win::find(w)) {
    win->visible = visible;
    if (visible)
      win->style |= WS_VISIBLE;
    else
      win->style &= ~WS_VISIBLE;
  }
}

// A page can come to the front unless its dialog hid or disabled it.
bool pageAvailable(const DialogState& s, int index) {
  if (index < 0 || index >= static_cast<int>(s.pages.size())) return false;
  const DialogState* page = stateOf(s.pages[index]);
  const win::Window* w = win::find(s.pages[index]);
  return page && w && !page->tabHidden && w->enabled;
}

int firstAvailablePage(const DialogState& s) {
  for (int i = 0; i < static_cast<int>(s.pages.size()); ++i)
    if (pageAvailable(s, i)) return i;
  return -1;
}

// The first time a page not chosen at opening comes to the front, what its
// Init posted to itself (its opening focus) is delivered when the person
// chose the page, and dropped when the dialog brought it forward to focus
// a field of its own choosing.
void noteChosen(DialogState& s, int index, bool byPerson) {
  if (!s.pagesNotChosen.erase(index)) return;
  DialogState* page = stateOf(s.pages[index]);
  if (!page) return;
  if (byPerson)
    for (const auto& m : page->heldOpening) win::post(m.window, m.message, m.wParam, m.lParam);
  page->heldOpening.clear();
}

// Only the page in front is shown; when the dialog took that page away,
// the first page left takes its place, as if the person had chosen it.
void showFrontPage(DialogState& s) {
  if (!pageAvailable(s, s.currentPage))
    if (int first = firstAvailablePage(s); first >= 0) {
      s.currentPage = first;
      noteChosen(s, first, true);
    }
  for (std::size_t i = 0; i < s.pages.size(); ++i) {
    const DialogState* page = stateOf(s.pages[i]);
    setVisible(s.pages[i], static_cast<int>(i) == s.currentPage && !(page && page->tabHidden));
  }
}

HWND firstFocus(DialogState& s) {
  HWND area = s.hwnd;
  if (!s.pages.empty() && s.currentPage < static_cast<int>(s.pages.size()))
    area = s.pages[s.currentPage];
  HWND f = win::nextTabStop(area, 0);
  if (!f && area != s.hwnd) f = win::nextTabStop(s.hwnd, 0);
  return f;
}

// The control that has the focus is no longer seen (it was on the page
// that went): it gets its kill-focus notification and the first tab stop
// of the page in front takes the focus, so that no hidden control keeps it.
void refocusIfUnseen(DialogState& s) {
  HWND focused = win::focus();
  if (focused && win::topLevelOf(focused) == s.hwnd && !win::seenByUser(focused))
    if (HWND first = firstFocus(s)) win::setFocus(first);
}

// Brings a page that can come to the front there; the focus follows.
bool bringPageForward(DialogState& s, int index, bool byPerson) {
  if (index < 0 || index >= static_cast<int>(s.pages.size())) return false;
  // Before the pages' Inits have run nothing is hidden yet: the choice
  // stands, and showFrontPage checks it once the dialog is shown.
  if (s.ready && !pageAvailable(s, index)) return false;
  s.currentPage = index;
  noteChosen(s, index, byPerson);
  if (!s.ready) return true;
  showFrontPage(s);
  refocusIfUnseen(s);
  return true;
}

// After 1025 the field that the handler focused brings its page forward.
void bringFocusedPageForward(DialogState& s) {
  const HWND focused = win::focus();
  for (int i = 0; i < static_cast<int>(s.pages.size()); ++i)
    for (HWND w = focused; w && w != s.hwnd; w = win::find(w) ? win::get(w).parent : 0)
      if (w == s.pages[i]) {
        if (i != s.currentPage) bringPageForward(s, i, false);
        return;
      }
}

json pageIds(const DialogState& s) {
  json ids = json::array();
  for (HWND p : s.pages)
    if (DialogState* ps = stateOf(p)) ids.push_back(ps->id);
  return ids;
}

void forget(HWND hwnd) {
  if (DialogState* s = stateOf(hwnd))
    for (HWND p : s->pages) forget(p);
  states().erase(hwnd);
  auto& o = openOrder();
  o.erase(std::remove(o.begin(), o.end(), hwnd), o.end());
}

// Ends a dialog: a page ends its container.  The windows stay until the
// dialog's loop returns, so a handler that goes on after closing its
// dialog still finds them.
void endDialog(DialogState& s, UINT result) {
  DialogState* root = rootOf(&s);
  if (!root) root = &s;
  if (root->ended) return;
  root->ended = true;
  root->result = result;
  setVisible(root->hwnd, false);
}

// A dialog that the package keeps itself (its module's handlers do nothing
// for it) is closed by its OK and Cancel here, as the dialog manager's
// default processing would.
bool engineClosesOnOkCancel(const DialogState& s) {
  return s.module && engineKeptDialogs().count({s.module->number(), s.id}) > 0;
}

LRESULT dialogCommand(DialogState& s, WPARAM wParam, LPARAM lParam) {
  if (!s.ready || s.updating) return 0;
  DialogState* root = rootOf(&s);
  if (s.ended || (root && root->ended)) return 0;
  takeUserInput();
  UINT id = LOWORD(wParam);
  UINT code = HIWORD(wParam);
  const HWND hwnd = s.hwnd;
  const HWND rootWindow = root ? root->hwnd : hwnd;
  if (s.command) s.command(hwnd, WM_COMMAND, id, static_cast<HWND>(lParam), code, s.initParam);
  if (DialogState* again = stateOf(hwnd); again && engineClosesOnOkCancel(*again) &&
                                          (id == IDOK || id == IDCANCEL) && code == BN_CLICKED)
    endDialog(*again, id == IDOK ? 1 : 0);
  if (DialogState* container = stateOf(rootWindow); container && container->focusBringsPage) {
    container->focusBringsPage = false;
    bringFocusedPageForward(*container);
  }
  return 0;
}

HWND cancelButton(HWND dialog) { return win::childById(dialog, IDCANCEL); }

// A page of the dialog: its dialog hid it, or showed it again.
void pageShown(DialogState& page, bool shown) {
  page.tabHidden = !shown;
  if (DialogState* container = stateOf(page.container); container && container->ready) {
    showFrontPage(*container);
    refocusIfUnseen(*container);
  }
}

bool cancelAllowed(HWND dialog) {
  HWND cancel = cancelButton(dialog);
  return !cancel || win::get(cancel).enabled;
}

LRESULT dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* s = stateOf(hwnd);
  if (!s) return win::defWindowProc(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      return dialogCommand(*s, wParam, lParam);
    case WM_CLOSE:
      // The close box acts as the Cancel button, as in every dialog; while
      // that button is disabled the dialog cannot be closed this way.
      if (!cancelAllowed(hwnd)) return 0;
      win::send(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                static_cast<LPARAM>(cancelButton(hwnd)));
      return 0;
    case kMsgFocusPrepare:
      if (DialogState* root = rootOf(s)) root->focusBringsPage = true;
      return 0;
    case kMsgPageToFront:
      return bringPageForward(*s, static_cast<int>(wParam), false) ? 1 : 0;
    case kMsgPageNotChosen:
      s->pagesNotChosen.insert(static_cast<int>(wParam));
      return 0;
    case WM_SHOWWINDOW:
      if (s->page) pageShown(*s, wParam != 0);
      return 0;
    default:
      return win::defWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// ---- Public -----------------------------------------------------------------------

RECT dialogUnitsToPixels(int x, int y, int cx, int cy) {
  int left = x * kBaseUnitX / 4;
  int top = y * kBaseUnitY / 8;
  return RECT{left, top, left + cx * kBaseUnitX / 4, top + cy * kBaseUnitY / 8};
}

void registerModule(Module* module) { modules()[module->number()] = module; }
void unregisterModule(int number) { modules().erase(number); }
Module* moduleByNumber(int number) {
  auto it = modules().find(number);
  return it == modules().end() ? nullptr : it->second;
}

void registerEngineClasses() {
  win::registerStandardControls();
  registerEngineControls();
  win::registerClass(kDialogClass, dialogProc);
}

void setInputWait(InputWait wait) { inputWait() = std::move(wait); }
void registerEngineKeptDialog(int module, UINT dialogId) {
  engineKeptDialogs().insert({module, dialogId});
}
void registerHostDialog(int module, UINT dialogId, HostDialog run) {
  hostDialogs()[{module, dialogId}] = std::move(run);
}

namespace {

// A modal dialog disables its owner, the top-level window it was opened
// over, for as long as it runs, as DialogBox does: input reaches the owner
// again only once the dialog has ended.  An owner that was already
// disabled stays so.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND parent)
      : owner_(win::topLevelOf(parent)), taken_(owner_ && win::get(owner_).enabled) {
    if (taken_) EnableWindow(owner_, FALSE);
  }
  ~OwnerDisabled() { release(); }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;
  void release() {
    if (taken_ && win::find(owner_)) EnableWindow(owner_, TRUE);
    taken_ = false;
  }

 private:
  HWND owner_;
  bool taken_;
};

}  // namespace

UINT runDialog(HWND parent, int moduleNumber, UINT dialogId, UINT initParam) {
  if (auto h = hostDialogs().find({moduleNumber, dialogId}); h != hostDialogs().end()) {
    OwnerDisabled owner(parent);
    return h->second(parent, initParam);
  }
  Module* module = moduleByNumber(moduleNumber);
  if (!module) {
    emitError("no module " + std::to_string(moduleNumber) + " for dialog " +
              std::to_string(dialogId));
    return 0;
  }
  HWND hwnd = buildDialog(*module, dialogId, parent, 0, initParam);
  if (!hwnd) return 0;
  DialogState* s = stateOf(hwnd);
  UINT tentry = 0;
  if (auto d = module->resources().dentry(static_cast<std::uint16_t>(dialogId))) tentry = d->tentry;
  buildPages(*s, tentry);

  // Grids are set up before any Init, so that Init finds them filled.
  runStartUps(*s);
  for (HWND p : s->pages)
    if (DialogState* ps = stateOf(p)) runStartUps(*ps);

  // Init of the dialog, then of each page in tab order, unless the dialog
  // was closed meanwhile.
  callInit(*s);
  for (HWND p : std::vector<HWND>(s->pages)) {
    s = stateOf(hwnd);
    if (!s || s->ended) break;
    if (DialogState* ps = stateOf(p)) callPageInit(*s, *ps);
  }
  s = stateOf(hwnd);
  for (HWND p : s->pages)
    if (DialogState* ps = stateOf(p)) ps->ready = true;
  s->ready = true;

  json opened{{"event", "dialog"},
              {"action", "opened"},
              {"dialog", dialogId},
              {"title", codepage::toUtf8(win::get(hwnd).text)},
              {"pages", pageIds(*s)}};
  if (!s->ended) {
    setVisible(hwnd, true);
    showFrontPage(*s);
    events::emit(opened);
    if (HWND f = firstFocus(*s)) win::setFocus(f);
  }
  bool shown = !s->ended;
  OwnerDisabled owner(parent);
  // Posted messages first (Init may have posted commands), then the user.
  while (!stateOf(hwnd)->ended) {
    win::dispatchPosted();
    if (stateOf(hwnd)->ended) break;
    if (!inputWait()) {
      endDialog(*stateOf(hwnd), 0);
      break;
    }
    inputWait()();
  }
  UINT result = stateOf(hwnd)->result;
  owner.release();
  forget(hwnd);
  win::destroyWindow(hwnd);
  events::emit(json{{"event", "dialog"},
                    {"action", "closed"},
                    {"dialog", dialogId},
                    {"result", result},
                    {"shown", shown}});
  if (parent && win::find(parent)) {
    if (DialogState* ps = stateOf(parent)) {
      if (HWND f = firstFocus(*ps)) win::setFocus(f);
    } else {
      win::setFocus(parent);
    }
  }
  return result;
}

bool isGridWindow(HWND window) { return lowerClass(window) == "__03grid__"; }

void noteUserInput(HWND control) {
  for (HWND w = control; w; w = win::find(w) ? win::get(w).parent : 0) {
    DialogState* s = stateOf(w);
    if (!s) continue;
    for (auto& e : s->entries)
      if (e->window == control) e->dirty = true;
    return;
  }
}

std::vector<OpenDialog> openDialogs() {
  std::vector<OpenDialog> out;
  for (HWND h : openOrder()) {
    DialogState* s = stateOf(h);
    out.push_back(OpenDialog{h, s->id, s->module->number(), s->page, s->container, s->parent});
  }
  return out;
}

HWND findOpenDialog(UINT dialogId) {
  const auto& o = openOrder();
  for (auto it = o.rbegin(); it != o.rend(); ++it)
    if (DialogState* s = stateOf(*it); s && s->id == dialogId && !rootOf(s)->ended) return *it;
  return 0;
}

HWND dialogControl(HWND dialog, UINT controlId) {
  DialogState* s = stateOf(dialog);
  if (!s) return 0;
  for (HWND c : win::get(dialog).children)
    if (win::Window* w = win::find(c); w && w->id == controlId && !stateOf(c)) return c;
  return 0;
}

bool showPage(HWND container, int index) {
  DialogState* s = stateOf(container);
  return s && bringPageForward(*s, index, true);
}

PageRefusal pageRefusal(HWND container, int index) {
  DialogState* s = stateOf(container);
  if (!s || index < 0 || index >= static_cast<int>(s->pages.size())) return PageRefusal::noSuchPage;
  if (pageAvailable(*s, index)) return PageRefusal::none;
  const DialogState* page = stateOf(s->pages[index]);
  return page && page->tabHidden ? PageRefusal::hidden : PageRefusal::disabled;
}

// The next page in that direction that can come to the front.
bool turnPage(HWND container, int step) {
  DialogState* s = stateOf(container);
  if (!s || s->pages.empty()) return false;
  const int count = static_cast<int>(s->pages.size());
  for (int i = 1; i <= count; ++i) {
    const int index = ((s->currentPage + step * i) % count + count) % count;
    if (pageAvailable(*s, index)) return showPage(container, index);
  }
  return false;
}

namespace {

// Bytes of a full date string, DD/MM/YYYY, with its terminator.
constexpr std::uint16_t kDateTextBytes = 11;

// A look-up field that holds a date: bound to a date entry, or to a text
// entry just long enough for a full date string (the program date box),
// whose button offers a calendar in a front end.
bool holdsDate(DialogState& s, HWND control) {
  if (lowerClass(control) != "__03combo__") return false;
  const Entry* e = findEntry(s, win::get(control).id);
  if (!e || e->desc.isGridCombo()) return false;
  return e->valueType == res::CT_DATE ||
         (e->valueType == res::CT_TEXT && e->valueLength == kDateTextBytes);
}

}  // namespace

void describeDialog(HWND dialog, json& out) {
  DialogState* s = stateOf(dialog);
  if (!s) return;
  win::Window& w = win::get(dialog);
  out = json{{"dialog", s->id},      {"title", codepage::toUtf8(w.text)},
             {"hwnd", dialog},       {"page", s->page},
             {"visible", w.visible}, {"enabled", w.enabled}};
  if (s->page) {
    out["container"] = stateOf(s->container)->id;
    out["hidden"] = s->tabHidden;
  } else if (DialogState* p = stateOf(s->parent)) {
    out["parent"] = p->id;
  }
  if (!s->pages.empty()) {
    out["pages"] = pageIds(*s);
    out["currentPage"] = s->currentPage;
  }
  json controls = json::array();
  for (HWND c : w.children) {
    if (stateOf(c)) continue;  // pages are described on their own
    json d;
    win::describe(c, d);
    if (holdsDate(*s, c)) d["date"] = true;
    controls.push_back(std::move(d));
  }
  out["controls"] = std::move(controls);
}

void closeAllDialogs() {
  for (auto& [hwnd, s] : states())
    if (!s->page) endDialog(*s, 0);
}

}  // namespace vx70::engine

// ---- VX70DE32 and CreateDEDialog ---------------------------------------------------

namespace eng = vx70::engine;

extern "C" {

UINT CreateDEDialog(HWND parent, UINT module, UINT dialogId, UINT initParam) {
  return eng::runDialog(parent, static_cast<int>(module), dialogId, initParam);
}

BOOL DestroyDEDialog(HWND dialog, UINT result) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return FALSE;
  eng::endDialog(*s, result);
  return TRUE;
}

void* GetControlPtr(HWND dialog, UINT entryId, UINT /*entryType*/) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return nullptr;
  eng::Entry* e = eng::findEntry(*s, entryId);
  return e ? e->buffer : nullptr;
}

void UpdateDEDialog(HWND dialog) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return;
  eng::showAll(*s);
  for (HWND p : s->pages)
    if (eng::DialogState* ps = eng::stateOf(p)) eng::showAll(*ps);
}

void UpdateDEControl(HWND dialog, UINT entryId) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return;
  std::vector<eng::DialogState*> family{s};
  for (HWND p : s->pages) family.push_back(eng::stateOf(p));
  for (eng::DialogState* d : family) {
    if (!d) continue;
    if (eng::Entry* e = eng::findEntry(*d, entryId)) {
      d->updating = true;
      eng::showEntry(*e);
      d->updating = false;
      return;
    }
  }
}

UINT GetDEDialogID(HWND dialog) {
  eng::DialogState* s = eng::stateOf(dialog);
  return s ? s->id : 0;
}

HWND GetDEDialogParent(HWND dialog) {
  eng::DialogState* s = eng::stateOf(dialog);
  return s ? s->parent : 0;
}

HWND GetDEDialogChild(HWND dialog, UINT dialogId) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return 0;
  for (HWND p : s->pages)
    if (eng::DialogState* ps = eng::stateOf(p); ps && ps->id == dialogId) return p;
  for (HWND h : eng::openOrder())
    if (eng::DialogState* c = eng::stateOf(h);
        c && !c->page && c->parent == dialog && c->id == dialogId && !c->ended)
      return h;
  // Asked for its own identifier, a dialog or page is its own child: a
  // page that also opens as a dialog of its own finds itself either way.
  return s->id == dialogId ? dialog : 0;
}

HWND GetDEDialog(HWND dialog, UINT dialogId) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return 0;
  if (s->id == dialogId) return dialog;
  if (HWND child = GetDEDialogChild(dialog, dialogId)) return child;
  // Dialogs held further down: pages' and children's own children.
  for (HWND h : eng::openOrder()) {
    eng::DialogState* c = eng::stateOf(h);
    if (!c || (c->parent != dialog && c->container != dialog) || h == dialog) continue;
    if (HWND found = GetDEDialog(h, dialogId)) return found;
  }
  return 0;
}

void DESetDecimalPlaces(HWND dialog, UINT entryId, UINT places) {
  eng::DialogState* s = eng::stateOf(dialog);
  if (!s) return;
  eng::Entry* e = eng::findEntry(*s, entryId);
  if (!e) return;
  e->decimals = places;
  if (e->window) vx70::win::send(e->window, vx70::win::VXM_SETDECIMALS, places, 0);
  s->updating = true;
  eng::showEntry(*e);
  s->updating = false;
}

}  // extern "C"
