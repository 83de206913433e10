// The window table, classes, message delivery, focus and tab order.
//
// A handle is (generation << 16) | slot.  A slot's generation moves on
// when its window is destroyed, so an old handle never names the window
// that later takes the slot.  Generations stay below 0x8000: a handle is
// never negative as a 32-bit number and never reads as HWND_TOPMOST.
//
// A window destroyed while a message is being handled (a button whose
// click closes its dialog) is taken out of the table at once but freed
// only when the outermost send() returns, so that the procedures still on
// the stack never run on freed memory.
#include "host/win32/window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>

#include "host/codepage.h"
#include "host/win32/controls.h"

namespace vx70::win {
namespace {

constexpr std::size_t kSlotLimit = 0xFFFF;
constexpr WORD kGenerationLimit = 0x7FFF;

struct Slot {
  std::unique_ptr<Window> window;  // null while the slot is free
  WORD generation = 1;
  bool destroying = false;
};

struct ClassEntry {
  std::string name;
  WndProc proc;
};

struct Manager {
  std::vector<Slot> slots = std::vector<Slot>(1);  // slot 0 is never used
  std::deque<std::size_t> freeSlots;               // oldest first: a freed slot rests longest
  std::vector<HWND> topLevels;
  std::map<std::string, ClassEntry> classes;  // by lower-case name
  std::deque<PostedMessage> posted;
  std::vector<std::unique_ptr<Window>> graveyard;
  HWND focus = 0;
  HCURSOR cursor = IDC_ARROW;
  int sendDepth = 0;
  bool freeing = false;
};

Manager& manager() {
  static Manager instance;
  return instance;
}

std::size_t slotIndex(HWND window) { return window & 0xFFFFu; }
WORD generationOf(HWND window) { return static_cast<WORD>(window >> 16); }
HWND makeHandle(std::size_t index, WORD generation) {
  return (static_cast<HWND>(generation) << 16) | static_cast<HWND>(index);
}

Slot* slotOf(HWND window) {
  auto& m = manager();
  std::size_t index = slotIndex(window);
  if (index == 0 || index >= m.slots.size()) return nullptr;
  Slot& slot = m.slots[index];
  if (!slot.window || slot.generation != generationOf(window)) return nullptr;
  return &slot;
}

bool isDestroying(HWND window) {
  Slot* slot = slotOf(window);
  return slot && slot->destroying;
}

std::size_t takeSlot() {
  auto& m = manager();
  if (!m.freeSlots.empty()) {
    std::size_t index = m.freeSlots.front();
    m.freeSlots.pop_front();
    return index;
  }
  if (m.slots.size() > kSlotLimit) return 0;
  m.slots.emplace_back();
  return m.slots.size() - 1;
}

// A class's state may destroy windows of its own as it goes, which sends
// messages and lands here again: the outer call frees what they add.
void freeGraveyardWhenIdle() {
  auto& m = manager();
  if (m.sendDepth != 0 || m.freeing) return;
  m.freeing = true;
  while (!m.graveyard.empty()) {
    std::vector<std::unique_ptr<Window>> dead;
    dead.swap(m.graveyard);
    dead.clear();
  }
  m.freeing = false;
}

struct SendDepth {
  SendDepth() { ++manager().sendDepth; }
  ~SendDepth() {
    --manager().sendDepth;
    freeGraveyardWhenIdle();
  }
  SendDepth(const SendDepth&) = delete;
  SendDepth& operator=(const SendDepth&) = delete;
};

void unlink(const Window& window) {
  auto& m = manager();
  auto& list = window.parent ? get(window.parent).children : m.topLevels;
  list.erase(std::remove(list.begin(), list.end(), window.hwnd), list.end());
}

void dropPosted(HWND window) {
  auto& posted = manager().posted;
  posted.erase(std::remove_if(posted.begin(), posted.end(),
                              [window](const PostedMessage& p) { return p.window == window; }),
               posted.end());
}

void release(HWND window) {
  auto& m = manager();
  Slot& slot = m.slots[slotIndex(window)];
  if (find(slot.window->parent) || !slot.window->parent) unlink(*slot.window);
  dropPosted(window);
  slot.generation = static_cast<WORD>(slot.generation % kGenerationLimit + 1);
  slot.destroying = false;
  m.graveyard.push_back(std::move(slot.window));
  m.freeSlots.push_back(slotIndex(window));
}

std::vector<HWND> ownedBy(HWND owner) {
  std::vector<HWND> owned;
  for (HWND top : manager().topLevels) {
    Window* w = find(top);
    if (w && w->owner == owner) owned.push_back(top);
  }
  return owned;
}

// Flags the window, its children and the windows it owns, so that no
// focus, new child or second destruction reaches them meanwhile.
void markDestroying(HWND window) {
  Slot* slot = slotOf(window);
  if (!slot) return;
  slot->destroying = true;
  for (HWND child : slot->window->children) markDestroying(child);
  for (HWND owned : ownedBy(window)) markDestroying(owned);
}

void destroyTree(HWND window);

void destroyChildren(HWND window) {
  for (;;) {
    Window* w = find(window);
    if (!w || w->children.empty()) return;
    HWND child = w->children.front();
    if (!find(child)) {
      w->children.erase(w->children.begin());
      continue;
    }
    destroyTree(child);
  }
}

// Owned windows and children go before the window itself, each receiving
// WM_DESTROY while the windows above it still exist.
void destroyTree(HWND window) {
  Slot* slot = slotOf(window);
  if (!slot) return;
  slot->destroying = true;
  for (HWND owned : ownedBy(window)) destroyTree(owned);
  destroyChildren(window);
  send(window, WM_DESTROY);
  destroyChildren(window);
  if (slotOf(window)) release(window);
}

// The focus leaves a window that is about to go for the nearest window
// that stays: its parent, or for a top-level window its owner.
void moveFocusOff(HWND root) {
  auto& m = manager();
  if (!m.focus || !isDestroying(m.focus)) return;
  const Window& w = get(root);
  HWND heir = w.parent ? w.parent : w.owner;
  if (heir && (!find(heir) || isDestroying(heir))) heir = 0;
  setFocus(heir);
  if (m.focus && isDestroying(m.focus)) setFocus(0);
}

bool enabledUpwards(HWND window) {
  for (Window* w = find(window); w; w = find(w->parent))
    if (!w->enabled) return false;
  return true;
}

void appendDescendants(HWND window, std::vector<HWND>& out) {
  for (HWND child : get(window).children) {
    out.push_back(child);
    appendDescendants(child, out);
  }
}

// ---- Tab order ----

bool isControlParent(const Window& w) { return (w.exStyle & WS_EX_CONTROLPARENT) != 0; }

// Whether a child window shows at least partly inside its parent's client
// area; a control moved out of sight is as good as hidden.
bool insideParent(const Window& w) {
  const Window* parent = find(w.parent);
  if (!parent) return true;
  const int width = parent->rect.right - parent->rect.left;
  const int height = parent->rect.bottom - parent->rect.top;
  return w.rect.right > 0 && w.rect.bottom > 0 && w.rect.left < width && w.rect.top < height;
}

bool isTabStop(HWND window) {
  const Window& w = get(window);
  return w.visible && w.enabled && (w.style & WS_TABSTOP) && !isControlParent(w) && insideParent(w);
}

// The dialog's children in tab order; a visible, enabled control parent
// (a tab page) stands in the order followed by its own children.
void collectTabOrder(HWND dialog, std::vector<HWND>& order) {
  for (HWND child : get(dialog).children) {
    order.push_back(child);
    const Window& w = get(child);
    if (isControlParent(w) && w.visible && w.enabled) collectTabOrder(child, order);
  }
}

// Where `from` (or the nearest window above it that the order holds)
// stands; npos when neither does.
std::size_t positionIn(const std::vector<HWND>& order, HWND from) {
  for (Window* w = find(from); w; w = find(w->parent)) {
    auto it = std::find(order.begin(), order.end(), w->hwnd);
    if (it != order.end()) return static_cast<std::size_t>(it - order.begin());
  }
  return std::string::npos;
}

LRESULT copyText(const std::string& text, WPARAM size, LPARAM buffer) {
  if (!buffer || size == 0) return 0;
  std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  char* out = reinterpret_cast<char*>(buffer);
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
  return static_cast<LRESULT>(count);
}

bool isHostMessage(UINT message) { return message >= VXM_FIRST && message < VXM_FIRST + 0x100; }

}  // namespace

// ---- Classes ----

void registerClass(std::string_view name, WndProc proc) {
  manager().classes[lowerCase(name)] = ClassEntry{std::string(name), proc ? proc : defWindowProc};
}

WndProc classProc(std::string_view name) {
  auto& classes = manager().classes;
  auto it = classes.find(lowerCase(name));
  return it == classes.end() ? nullptr : it->second.proc;
}

// ---- Windows ----

HWND createWindow(std::string_view className, std::string_view text, DWORD style, RECT rect,
                  HWND parent, UINT id, void* createParam) {
  auto& m = manager();
  auto cls = m.classes.find(lowerCase(className));
  if (cls == m.classes.end()) return 0;
  if (parent && (!find(parent) || isDestroying(parent))) return 0;
  std::size_t index = takeSlot();
  if (index == 0) return 0;

  auto window = std::make_unique<Window>();
  window->hwnd = makeHandle(index, m.slots[index].generation);
  window->className = cls->second.name;
  window->text = std::string(text);
  window->style = style;
  window->id = id;
  window->parent = parent;
  window->rect = rect;
  window->enabled = (style & WS_DISABLED) == 0;
  window->visible = (style & WS_VISIBLE) != 0;
  window->proc = cls->second.proc;
  HWND handle = window->hwnd;
  m.slots[index].window = std::move(window);
  (parent ? get(parent).children : m.topLevels).push_back(handle);

  if (send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(createParam)) == -1) {
    destroyWindow(handle);
    return 0;
  }
  return find(handle) ? handle : 0;
}

void destroyWindow(HWND window) {
  Slot* slot = slotOf(window);
  if (!slot || slot->destroying) return;
  markDestroying(window);
  moveFocusOff(window);
  destroyTree(window);
  freeGraveyardWhenIdle();
}

Window* find(HWND window) {
  Slot* slot = slotOf(window);
  return slot ? slot->window.get() : nullptr;
}

Window& get(HWND window) {
  Window* w = find(window);
  if (!w) throw std::invalid_argument("no window " + std::to_string(window));
  return *w;
}

HWND childById(HWND parent, UINT id) {
  Window* w = find(parent);
  if (!w) return 0;
  for (HWND child : w->children)
    if (get(child).id == id) return child;
  return 0;
}

std::vector<HWND> descendants(HWND ancestor) {
  std::vector<HWND> out;
  if (ancestor == 0) {
    for (HWND top : manager().topLevels) {
      out.push_back(top);
      appendDescendants(top, out);
    }
  } else if (find(ancestor)) {
    appendDescendants(ancestor, out);
  }
  return out;
}

std::vector<HWND> topLevelWindows() { return manager().topLevels; }

std::size_t windowCount() {
  auto& m = manager();
  return m.slots.size() - 1 - m.freeSlots.size();
}

LRESULT defWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find(window);
  if (!w) return 0;
  switch (message) {
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT:
      return copyText(w->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETREDRAW:
      w->redraw = wParam != 0;
      return 0;
    case WM_CLOSE:
      destroyWindow(window);
      return 0;
    default:
      return isHostMessage(message) ? -1 : 0;
  }
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find(window);
  if (!w) return 0;
  WndProc proc = w->proc ? w->proc : defWindowProc;
  SendDepth depth;
  return proc(window, message, wParam, lParam);
}

void notifyParent(HWND control, WORD code) {
  Window* w = find(control);
  if (!w || !w->parent) return;
  send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
       static_cast<LPARAM>(control));
}

// ---- Posted messages ----

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!find(window)) return;
  manager().posted.push_back(PostedMessage{window, message, wParam, lParam});
}

std::size_t dispatchPosted() {
  auto& posted = manager().posted;
  std::size_t delivered = 0;
  while (!posted.empty()) {
    PostedMessage next = posted.front();
    posted.pop_front();
    if (!find(next.window)) continue;
    send(next.window, next.message, next.wParam, next.lParam);
    ++delivered;
  }
  return delivered;
}

std::size_t postedCount() { return manager().posted.size(); }

std::vector<PostedMessage> takePosted(HWND window) {
  std::vector<PostedMessage> taken;
  for (const PostedMessage& p : manager().posted)
    if (p.window == window) taken.push_back(p);
  dropPosted(window);
  return taken;
}

// ---- Focus, cursor ----

// As Win32: the focus is already the new window while the old one handles
// WM_KILLFOCUS, and when that handler moves the focus on, the new window
// gets no WM_SETFOCUS.  A disabled window, or one inside a disabled
// window, cannot take the focus.
HWND setFocus(HWND window) {
  auto& m = manager();
  if (window && (!find(window) || isDestroying(window) || !enabledUpwards(window))) return 0;
  HWND old = focus();
  if (old == window) return old;
  m.focus = window;
  if (find(old)) {
    send(old, WM_KILLFOCUS, window, 0);
    if (m.focus != window) return old;
  }
  if (!window) return old;
  if (find(window))
    send(window, WM_SETFOCUS, old, 0);
  else if (m.focus == window)
    m.focus = 0;
  return old;
}

HWND focus() {
  auto& m = manager();
  if (m.focus && !find(m.focus)) m.focus = 0;
  return m.focus;
}

// Dialog navigation as Windows does it: the dialog's direct children in
// creation order, where a child with WS_EX_CONTROLPARENT (a tab page) is
// not a stop itself but lends its own children, in their order, to the
// walk.  A stop is visible, enabled and WS_TABSTOP by its own flags.
HWND nextTabStop(HWND dialog, HWND from, bool backwards) {
  if (!find(dialog)) return 0;
  std::vector<HWND> order;
  collectTabOrder(dialog, order);
  std::size_t count = order.size();
  if (count == 0) return 0;
  std::size_t position = positionIn(order, from);
  if (position == std::string::npos) position = backwards ? 0 : count - 1;
  for (std::size_t step = 1; step <= count; ++step) {
    std::size_t index =
        backwards ? (position + count - step % count) % count : (position + step) % count;
    if (isTabStop(order[index])) return order[index];
  }
  return 0;
}

HWND topLevelOf(HWND window) {
  Window* w = find(window);
  while (w && find(w->parent)) w = find(w->parent);
  return w ? w->hwnd : 0;
}

bool seenByUser(HWND window) {
  Window* w = find(window);
  if (!w || !insideParent(*w)) return false;
  for (; w; w = find(w->parent))
    if (!w->visible) return false;
  return true;
}

HCURSOR cursor() { return manager().cursor; }

HCURSOR setCursor(HCURSOR cursor) { return std::exchange(manager().cursor, cursor); }

// ---- Describe ----

// The JSON object of one window, as a front end shows it:
//   "id"        number, the control identifier (GWL_ID)
//   "class"     text, the class name as registered
//   "text"      text shown; an ES_PASSWORD edit shows one '*' per character
//   "enabled"   bool, the window's own WS_DISABLED flag reversed
//   "visible"   bool, the window's own WS_VISIBLE flag (a control of a
//               hidden page stays true)
//   "focus"     bool, the window has the keyboard focus
//   "rect"      [x, y, width, height] in pixels, relative to the parent
//   "style"     text, the style as "0x" and eight hexadecimal digits
// and the class's own keys:
//   BUTTON, __03Button__  "kind": "push", "check", "radio" or "group";
//                         check boxes and radio buttons add "checked":
//                         0, 1 or 2 (indeterminate)
//   EDIT                  "modified" bool, "readOnly" bool, "limit" number
//   COMBOBOX              "items" [texts], "selection" index or -1,
//                         "editable" bool (the user may type a text)
//   __03Box__             "colour" text, "0x" and six hexadecimal digits
//                         of the COLORREF (0xBBGGRR)
// Other classes add their keys through VXM_DESCRIBE.  A handle that names
// no window gives an empty object.  Every text of a window is in the
// Windows code page, so the description's strings all go out as UTF-8.
void describe(HWND window, nlohmann::json& out) {
  out = nlohmann::json::object();
  Window* w = find(window);
  if (!w) return;
  char style[16];
  std::snprintf(style, sizeof style, "0x%08x", static_cast<unsigned>(w->style));
  out["id"] = w->id;
  out["class"] = w->className;
  out["text"] = w->text;
  out["enabled"] = w->enabled;
  out["visible"] = w->visible;
  out["focus"] = focus() == window;
  out["rect"] = {w->rect.left, w->rect.top, w->rect.right - w->rect.left,
                 w->rect.bottom - w->rect.top};
  out["style"] = style;
  send(window, VXM_DESCRIBE, 0, reinterpret_cast<LPARAM>(&out));
  codepage::jsonToUtf8(out);
}

// Every handle turns stale before any window is freed, so that a class
// state that destroys windows of its own as it goes finds none.
void reset() {
  auto& m = manager();
  std::vector<std::unique_ptr<Window>> dead;
  dead.swap(m.graveyard);
  m.freeSlots.clear();
  for (std::size_t index = 1; index < m.slots.size(); ++index) {
    Slot& slot = m.slots[index];
    if (slot.window) {
      slot.generation = static_cast<WORD>(slot.generation % kGenerationLimit + 1);
      dead.push_back(std::move(slot.window));
    }
    slot.destroying = false;
    m.freeSlots.push_back(index);
  }
  m.topLevels.clear();
  m.posted.clear();
  m.focus = 0;
  m.cursor = IDC_ARROW;
  dead.clear();
}

}  // namespace vx70::win
