// The Win32 user32 calls of the module, on the host's window manager.
// Each keeps the Win32 meaning of its arguments and results; a handle
// that names no window gives 0 or FALSE, and nothing thrown inside gets
// out to the module.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "api/host_api.h"
#include "host/win32/controls.h"
#include "host/win32/window.h"

namespace win = vx70::win;

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr std::uintptr_t kFirstSystemCursor = 32512;  // IDC_ARROW
constexpr std::uintptr_t kLastSystemCursor = 32651;   // IDC_HELP

// The one caret of the user-interface thread.
HWND caretOwner = 0;

template <typename Result, typename Body>
Result guarded(Result failure, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

UINT controlId(int id) { return static_cast<UINT>(id); }

bool isWithin(HWND window, HWND ancestor) {
  for (win::Window* w = win::find(window); w; w = win::find(w->parent))
    if (w->hwnd == ancestor) return true;
  return false;
}

BOOL setShown(HWND window, bool show, bool announce) {
  win::Window& w = win::get(window);
  bool wasVisible = w.visible;
  if (wasVisible == show) return wasVisible;
  w.visible = show;
  w.style = show ? (w.style | WS_VISIBLE) : (w.style & ~WS_VISIBLE);
  if (announce) win::send(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  // A hidden window gives the focus, its own or a child's, to its parent.
  if (!show && win::find(window) && isWithin(win::focus(), window))
    win::setFocus(win::get(window).parent);
  return wasVisible;
}

void placeWindow(HWND window, int x, int y, int width, int height, bool move, bool size) {
  win::Window& w = win::get(window);
  RECT old = w.rect;
  LONG newWidth = size ? std::max(width, 0) : old.right - old.left;
  LONG newHeight = size ? std::max(height, 0) : old.bottom - old.top;
  LONG left = move ? x : old.left;
  LONG top = move ? y : old.top;
  w.rect = RECT{left, top, left + newWidth, top + newHeight};
  if (left != old.left || top != old.top)
    win::send(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(left), static_cast<WORD>(top)));
  if (newWidth != old.right - old.left || newHeight != old.bottom - old.top)
    win::send(window, WM_SIZE, SIZE_RESTORED,
              MAKELPARAM(static_cast<WORD>(newWidth), static_cast<WORD>(newHeight)));
}

// The window's rectangle on the screen: its rectangle moved by the
// origins of the windows above it (they have no frame here).
RECT screenRect(HWND window) {
  const win::Window& w = win::get(window);
  RECT rect = w.rect;
  for (win::Window* p = win::find(w.parent); p; p = win::find(p->parent)) {
    rect.left += p->rect.left;
    rect.right += p->rect.left;
    rect.top += p->rect.top;
    rect.bottom += p->rect.top;
  }
  return rect;
}

std::string windowText(HWND window) {
  auto length = win::send(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  auto copied = win::send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

UINT copyOut(HWND window, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!win::find(window)) return 0;
  auto copied =
      win::send(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer));
  return static_cast<UINT>(std::max<LRESULT>(copied, 0));
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// GetDlgItemInt's reading: blanks around one whole number; '-' only when
// signed; a value out of range fails.
bool parseDialogInt(const std::string& text, bool isSigned, std::int64_t& value) {
  std::size_t begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && isBlank(text[end - 1])) --end;
  if (begin == end || (!isSigned && text[begin] == '-')) return false;
  auto [rest, error] = std::from_chars(text.data() + begin, text.data() + end, value);
  if (error != std::errc() || rest != text.data() + end) return false;
  if (isSigned)
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
  return value <= std::numeric_limits<std::uint32_t>::max();
}

int systemMetric(int index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
      return kScreenWidth;
    case SM_CYSCREEN:
      return kScreenHeight;
    case SM_CYFULLSCREEN:
      return kScreenHeight - 19;
    case SM_CYCAPTION:
    case SM_CYMENU:
      return 19;
    case SM_CYSMCAPTION:
      return 15;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 16;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

LONG windowLong(const win::Window& w, int index) {
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(w.style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w.exStyle);
    case GWL_ID:
      return static_cast<LONG>(w.id);
    case GWL_USERDATA:
      return w.userData;
    case DWL_USER:
      return w.dialogUser;
    case DWL_MSGRESULT:
      return w.messageResult;
    default:
      return 0;
  }
}

void setWindowLong(win::Window& w, int index, LONG value) {
  switch (index) {
    case GWL_STYLE:
      w.style = static_cast<DWORD>(value);
      w.enabled = (w.style & WS_DISABLED) == 0;
      w.visible = (w.style & WS_VISIBLE) != 0;
      break;
    case GWL_EXSTYLE:
      w.exStyle = static_cast<DWORD>(value);
      break;
    case GWL_ID:
      w.id = static_cast<UINT>(value);
      break;
    case GWL_USERDATA:
      w.userData = value;
      break;
    case DWL_USER:
      w.dialogUser = value;
      break;
    case DWL_MSGRESULT:
      w.messageResult = value;
      break;
    default:
      break;
  }
}

// The window that a caret call names: the given one, or the owner for 0.
win::Window* caretWindow(HWND window) {
  HWND named = window ? window : caretOwner;
  if (!named || named != caretOwner) return nullptr;
  win::Window* w = win::find(named);
  return w && w->caretCreated ? w : nullptr;
}

}  // namespace

extern "C" {

HWND GetDlgItem(HWND dialog, int id) {
  return guarded<HWND>(0, [&] { return win::childById(dialog, controlId(id)); });
}

// A child's parent; for a pop-up window its owner, as Win32 answers.
HWND GetParent(HWND window) {
  return guarded<HWND>(0, [&]() -> HWND {
    win::Window* w = win::find(window);
    if (!w) return 0;
    if (w->parent) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : 0;
  });
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded<LRESULT>(0, [&] { return win::send(window, message, wParam, lParam); });
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded<LRESULT>(0, [&]() -> LRESULT {
    HWND item = win::childById(dialog, controlId(id));
    return item ? win::send(item, message, wParam, lParam) : 0;
  });
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded<BOOL>(FALSE, [&] {
    if (!win::find(window)) return FALSE;
    win::post(window, message, wParam, lParam);
    return TRUE;
  });
}

// Returns whether the window was disabled before.  Disabling the focus
// window takes the focus away, as Win32 does.
BOOL EnableWindow(HWND window, BOOL enable) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    win::Window* w = win::find(window);
    if (!w) return FALSE;
    bool wasDisabled = !w->enabled;
    bool enabled = enable != FALSE;
    if (w->enabled == enabled) return wasDisabled;
    w->enabled = enabled;
    w->style = enabled ? (w->style & ~WS_DISABLED) : (w->style | WS_DISABLED);
    if (!enabled && win::focus() == window) win::setFocus(0);
    win::send(window, WM_ENABLE, enabled ? TRUE : FALSE, 0);
    return wasDisabled;
  });
}

BOOL IsWindowEnabled(HWND window) {
  return guarded<BOOL>(FALSE, [&] {
    win::Window* w = win::find(window);
    return w && w->enabled ? TRUE : FALSE;
  });
}

// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!win::find(window)) return FALSE;
    return setShown(window, command != SW_HIDE, true) ? TRUE : FALSE;
  });
}

// Visible on the screen: the window and every window above it.
BOOL IsWindowVisible(HWND window) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    win::Window* w = win::find(window);
    if (!w) return FALSE;
    for (; w; w = win::find(w->parent))
      if (!w->visible) return FALSE;
    return TRUE;
  });
}

BOOL IsWindow(HWND window) {
  return guarded<BOOL>(FALSE, [&] { return win::find(window) ? TRUE : FALSE; });
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!win::find(window)) return FALSE;
    placeWindow(window, x, y, width, height, true, true);
    if (repaint && win::find(window)) ++win::get(window).invalidations;
    return TRUE;
  });
}

// Position, size and visibility.  The Z order is not kept: nothing
// overlaps on a headless screen, and the children keep their creation
// order, which is the tab order.
BOOL SetWindowPos(HWND window, HWND /*after*/, int x, int y, int cx, int cy, UINT flags) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!win::find(window)) return FALSE;
    placeWindow(window, x, y, cx, cy, !(flags & SWP_NOMOVE), !(flags & SWP_NOSIZE));
    if (!win::find(window)) return TRUE;
    if (flags & SWP_SHOWWINDOW)
      setShown(window, true, false);
    else if (flags & SWP_HIDEWINDOW)
      setShown(window, false, false);
    if (!(flags & SWP_NOREDRAW) && win::find(window)) ++win::get(window).invalidations;
    return TRUE;
  });
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!rect || !win::find(window)) return FALSE;
    *rect = screenRect(window);
    return TRUE;
  });
}

// Returns the previous value.  A new GWL_STYLE also sets the enabled and
// visible state from its WS_DISABLED and WS_VISIBLE bits, without the
// messages that EnableWindow and ShowWindow send.
LONG SetWindowLongA(HWND window, int index, LONG value) {
  return guarded<LONG>(0, [&]() -> LONG {
    win::Window* w = win::find(window);
    if (!w) return 0;
    LONG old = windowLong(*w, index);
    setWindowLong(*w, index, value);
    return old;
  });
}

LONG GetWindowLongA(HWND window, int index) {
  return guarded<LONG>(0, [&]() -> LONG {
    win::Window* w = win::find(window);
    return w ? windowLong(*w, index) : 0;
  });
}

HWND SetFocus(HWND window) {
  return guarded<HWND>(0, [&] { return win::setFocus(window); });
}

HWND GetFocus(void) {
  return guarded<HWND>(0, [] { return win::focus(); });
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    HWND button = win::childById(dialog, controlId(id));
    if (!button) return FALSE;
    win::send(button, BM_SETCHECK, check, 0);
    return TRUE;
  });
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return guarded<UINT>(0, [&]() -> UINT {
    HWND button = win::childById(dialog, controlId(id));
    return button ? static_cast<UINT>(win::send(button, BM_GETCHECK, 0, 0)) : 0;
  });
}

// Every window below the dialog whose identifier lies in first..last is
// checked when it is `check` and unchecked otherwise.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!win::find(dialog)) return FALSE;
    for (HWND item : win::descendants(dialog)) {
      win::Window* w = win::find(item);
      if (!w) continue;
      auto id = static_cast<int>(w->id);
      if (id < first || id > last) continue;
      win::send(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
  });
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    HWND item = win::childById(dialog, controlId(id));
    if (!item) return FALSE;
    return win::send(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) > 0;
  });
}

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size) {
  return guarded<UINT>(
      0, [&] { return copyOut(win::childById(dialog, controlId(id)), buffer, size); });
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string text =
      isSigned ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  return guarded<UINT>(0, [&]() -> UINT {
    if (translated) *translated = FALSE;
    HWND item = win::childById(dialog, controlId(id));
    std::int64_t value = 0;
    if (!item || !parseDialogInt(windowText(item), isSigned != FALSE, value)) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(value);
  });
}

BOOL SetWindowTextA(HWND window, const char* text) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (!win::find(window)) return FALSE;
    return win::send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) > 0;
  });
}

int GetWindowTextA(HWND window, char* buffer, int size) {
  return guarded<int>(0, [&] { return static_cast<int>(copyOut(window, buffer, size)); });
}

// Nothing is drawn; the count tells that a repaint was asked for.  No
// window (0) stands for all of them.
BOOL InvalidateRect(HWND window, const RECT* /*rect*/, BOOL /*erase*/) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (window == 0) {
      for (HWND any : win::descendants(0)) ++win::get(any).invalidations;
      return TRUE;
    }
    win::Window* w = win::find(window);
    if (!w) return FALSE;
    ++w->invalidations;
    return TRUE;
  });
}

BOOL UpdateWindow(HWND window) {
  return guarded<BOOL>(FALSE, [&] { return win::find(window) ? TRUE : FALSE; });
}

// Only the system's own cursors exist; their handle is their identifier.
HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t name) {
  if (instance != nullptr || name < kFirstSystemCursor || name > kLastSystemCursor) return 0;
  return static_cast<HCURSOR>(name);
}

HCURSOR SetCursor(HCURSOR cursor) {
  return guarded<HCURSOR>(0, [&] { return win::setCursor(cursor); });
}

// One caret at a time: creating one destroys the previous.  A new caret is
// hidden until ShowCaret.
BOOL CreateCaret(HWND window, UINT /*bitmap*/, int /*width*/, int /*height*/) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    win::Window* w = win::find(window);
    if (!w) return FALSE;
    DestroyCaret();
    w->caretCreated = true;
    w->caretHideCount = 1;
    caretOwner = window;
    return TRUE;
  });
}

BOOL DestroyCaret(void) {
  return guarded<BOOL>(FALSE, []() -> BOOL {
    win::Window* w = caretWindow(0);
    caretOwner = 0;
    if (!w) return FALSE;
    w->caretCreated = false;
    w->caretHideCount = 0;
    return TRUE;
  });
}

BOOL ShowCaret(HWND window) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    win::Window* w = caretWindow(window);
    if (!w) return FALSE;
    if (w->caretHideCount > 0) --w->caretHideCount;
    return TRUE;
  });
}

BOOL HideCaret(HWND window) {
  return guarded<BOOL>(FALSE, [&]() -> BOOL {
    win::Window* w = caretWindow(window);
    if (!w) return FALSE;
    ++w->caretHideCount;
    return TRUE;
  });
}

// A 1024 by 768 screen with the classic Windows frame sizes.
int GetSystemMetrics(int index) { return systemMetric(index); }

}  // extern "C"
