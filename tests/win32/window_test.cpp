// The window manager and the user32 calls on it.
#include "host/win32/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/win32/controls.h"

namespace win = vx70::win;

namespace {

struct Message {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Message&) const = default;
};

std::vector<Message> journal;
// A test may take over one message of the recording class.
std::function<bool(HWND, UINT, WPARAM, LPARAM)> hook;
int refuseCreation = 0;  // a createParam pointing here makes WM_CREATE fail

LRESULT recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  journal.push_back({window, message, wParam, lParam});
  if (hook && hook(window, message, wParam, lParam)) return 0;
  if (message == WM_CREATE && reinterpret_cast<int*>(lParam) == &refuseCreation) return -1;
  return win::defWindowProc(window, message, wParam, lParam);
}

std::vector<UINT> messagesTo(HWND window) {
  std::vector<UINT> out;
  for (const Message& m : journal)
    if (m.window == window) out.push_back(m.message);
  return out;
}

// The wParams of every `message` in the journal.
std::vector<WPARAM> wParamsOf(UINT message) {
  std::vector<WPARAM> out;
  for (const Message& m : journal)
    if (m.message == message) out.push_back(m.wParam);
  return out;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::reset();
    win::registerClass("Recorder", recorder);
    win::registerStandardControls();
    journal.clear();
    hook = nullptr;
  }
  void TearDown() override {
    hook = nullptr;
    win::reset();
  }

  static HWND make(HWND parent, UINT id = 0, DWORD style = WS_VISIBLE | WS_TABSTOP,
                   RECT rect = {0, 0, 10, 10}) {
    return win::createWindow("Recorder", "", style, rect, parent, id);
  }
};

// ---- Handles and lifetime ----

TEST_F(WindowTest, HandlesOfDestroyedOrResetWindowsStayInvalid) {
  HWND first = make(0);
  win::destroyWindow(first);
  EXPECT_EQ(win::find(first), nullptr);
  EXPECT_THROW(win::get(first), std::invalid_argument);
  HWND second = make(0);  // may take the freed slot, never the old handle
  EXPECT_NE(second, first);
  EXPECT_EQ(win::find(first), nullptr);
  for (HWND bad : {HWND{0}, HWND{0xFFFFFFFFu}, second ^ 0x00010000u, second + 1000})
    EXPECT_EQ(win::find(bad), nullptr) << bad;
  EXPECT_GT(second, HWND_BOTTOM);  // never a special value
  EXPECT_LT(second, 0x80000000u);

  win::post(second, WM_USER, 0, 0);
  win::reset();
  EXPECT_EQ(win::find(second), nullptr);
  EXPECT_EQ(win::windowCount(), 0u);
  EXPECT_EQ(win::postedCount(), 0u);
  EXPECT_NE(win::classProc("recorder"), nullptr);  // class names ignore case
  EXPECT_NE(make(0), second);
}

TEST_F(WindowTest, CreationSendsCreateWithItsParameterAndARefusalDestroysTheWindow) {
  int parameter = 7;
  HWND parent = make(0);
  HWND child = win::createWindow("Recorder", "Name", WS_VISIBLE | WS_DISABLED, {1, 2, 3, 4}, parent,
                                 42, &parameter);
  ASSERT_EQ(messagesTo(child), std::vector<UINT>{WM_CREATE});
  EXPECT_EQ(journal.back().lParam, reinterpret_cast<LPARAM>(&parameter));
  const win::Window& w = win::get(child);
  EXPECT_EQ(w.text, "Name");
  EXPECT_EQ(w.parent, parent);
  EXPECT_FALSE(w.enabled);
  EXPECT_EQ(win::childById(parent, 42), child);
  EXPECT_EQ(win::topLevelWindows(), std::vector<HWND>{parent});

  journal.clear();
  std::size_t before = win::windowCount();
  EXPECT_EQ(win::createWindow("Recorder", "", 0, {}, parent, 5, &refuseCreation), 0u);
  EXPECT_EQ(win::windowCount(), before);
  EXPECT_EQ(win::get(parent).children, std::vector<HWND>{child});
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[1].message, WM_DESTROY);
  win::destroyWindow(parent);
  EXPECT_EQ(make(parent), 0u);  // nor is a child made under a missing parent
  EXPECT_EQ(win::createWindow("NoSuchClass", "", 0, {}, 0, 0), 0u);
}

TEST_F(WindowTest, DestructionGoesChildrenFirstAndTakesOwnedWindows) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND a1 = make(a, 11);
  HWND b = make(dialog, 2);
  HWND c = make(dialog, 3);
  HWND popup = make(0);
  win::get(popup).owner = dialog;
  win::get(popup).style |= WS_POPUP;
  EXPECT_EQ(GetParent(popup), dialog);
  EXPECT_EQ(win::descendants(dialog), (std::vector<HWND>{a, a1, b, c}));
  win::destroyWindow(c);
  EXPECT_EQ(win::get(dialog).children, (std::vector<HWND>{a, b}));
  journal.clear();
  win::destroyWindow(dialog);
  std::vector<Message> expected = {{a1, WM_DESTROY, 0, 0},
                                   {a, WM_DESTROY, 0, 0},
                                   {b, WM_DESTROY, 0, 0},
                                   {dialog, WM_DESTROY, 0, 0}};
  journal.erase(std::remove_if(journal.begin(), journal.end(),
                               [&](const Message& m) { return m.window == popup; }),
                journal.end());
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(win::windowCount(), 0u);
}

TEST_F(WindowTest, AWindowDestroyedInItsOwnHandlerIsFreedAfterwards) {
  HWND dialog = make(0);
  HWND button = make(dialog, 1);
  std::string seen;
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window != button || message != WM_USER) return false;
    win::Window* self = win::find(button);
    self->text = "still here";
    win::destroyWindow(dialog);
    seen = self->text;  // the memory outlives the handler
    return true;
  };
  win::send(button, WM_USER);
  EXPECT_EQ(seen, "still here");
  EXPECT_EQ(win::windowCount(), 0u);
}

// A class state that takes a window of its own with it when freed.
struct Holder : win::WindowData {
  HWND other = 0;
  ~Holder() override { win::destroyWindow(other); }
};

TEST_F(WindowTest, StatesThatDestroyWindowsAsTheyGoAreFreedToo) {
  for (bool byReset : {false, true}) {
    HWND holder = make(0);
    auto state = std::make_unique<Holder>();
    state->other = make(0);
    win::get(holder).data = std::move(state);
    if (byReset)
      win::reset();  // every handle is stale before the state goes
    else
      win::destroyWindow(holder);
    EXPECT_EQ(win::windowCount(), 0u) << byReset;
  }
}

// ---- Messages ----

TEST_F(WindowTest, DefaultMessagesCopyAndCutTextAndCloseDestroys) {
  HWND window = make(0);
  EXPECT_EQ(win::send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Hello")), TRUE);
  EXPECT_EQ(win::send(window, WM_GETTEXTLENGTH), 5);
  char buffer[4] = "xxx";
  EXPECT_EQ(win::send(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "Hel");
  EXPECT_EQ(win::send(window, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(win::send(window, win::VXM_CLICK), -1);  // takes no user action
  win::send(window, WM_CLOSE);
  EXPECT_EQ(win::find(window), nullptr);
}

TEST_F(WindowTest, PostedMessagesArriveInOrderAndDropWithTheirWindow) {
  HWND a = make(0);
  HWND b = make(0);
  HWND c = make(0);
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window == a && message == WM_USER + 1) {
      win::post(c, WM_USER + 5, 5, 0);  // posted during dispatch: delivered too
      win::destroyWindow(a);            // a's message still queued is dropped
    }
    return false;
  };
  win::post(a, WM_USER + 1, 1, 0);
  win::post(b, WM_USER + 2, 2, 0);
  win::post(a, WM_USER + 3, 3, 0);
  win::post(b, WM_USER + 4, 4, 0);
  win::destroyWindow(b);
  EXPECT_EQ(win::postedCount(), 2u);
  journal.clear();
  EXPECT_EQ(win::dispatchPosted(), 2u);
  std::vector<Message> expected = {
      {a, WM_USER + 1, 1, 0}, {a, WM_DESTROY, 0, 0}, {c, WM_USER + 5, 5, 0}};
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(win::postedCount(), 0u);
  EXPECT_EQ(PostMessageA(b, WM_USER, 0, 0), FALSE);
  EXPECT_EQ(win::postedCount(), 0u);
}

// ---- Focus ----

TEST_F(WindowTest, FocusMovesWithKillThenSetFocusAndNotIntoDisabledWindows) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND b = make(dialog, 2);
  HWND off = make(dialog, 3, WS_VISIBLE | WS_DISABLED);
  EXPECT_EQ(SetFocus(a), 0u);
  journal.clear();
  EXPECT_EQ(SetFocus(b), a);
  std::vector<Message> expected = {{a, WM_KILLFOCUS, b, 0}, {b, WM_SETFOCUS, a, 0}};
  EXPECT_EQ(journal, expected);
  journal.clear();
  EXPECT_EQ(SetFocus(b), b);  // already there: no messages
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(SetFocus(off), 0u);
  EXPECT_EQ(SetFocus(12345), 0u);
  EnableWindow(dialog, FALSE);
  EXPECT_EQ(SetFocus(a), 0u);  // inside a disabled window
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(SetFocus(0), b);
  EXPECT_EQ(GetFocus(), 0u);
  // A kill-focus handler that takes the focus back wins.
  EnableWindow(dialog, TRUE);
  SetFocus(a);
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window == a && message == WM_KILLFOCUS) win::setFocus(a);
    return false;
  };
  journal.clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), a);
  std::vector<UINT> toB = messagesTo(b);
  EXPECT_EQ(std::count(toB.begin(), toB.end(), WM_SETFOCUS), 0);
}

TEST_F(WindowTest, DestroyingTheFocusWindowGivesTheFocusToItsParentOnly) {
  HWND dialog = make(0);
  HWND page = make(dialog, 1);
  HWND edit = make(page, 2);
  HWND other = make(dialog, 3);
  SetFocus(edit);
  journal.clear();
  win::destroyWindow(page);
  EXPECT_EQ(GetFocus(), dialog);
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[0], (Message{edit, WM_KILLFOCUS, dialog, 0}));
  EXPECT_EQ(journal[1], (Message{dialog, WM_SETFOCUS, edit, 0}));
  // A handler cannot put the focus into a window being destroyed.
  SetFocus(other);
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window == other && message == WM_KILLFOCUS) win::setFocus(dialog);
    return false;
  };
  win::destroyWindow(dialog);
  EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WindowTest, TabOrderSkipsWhatAUserCannotReach) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND plain = make(dialog, 2, WS_VISIBLE);                // no tab stop
  make(dialog, 3, WS_TABSTOP);                             // hidden
  make(dialog, 4, WS_VISIBLE | WS_TABSTOP | WS_DISABLED);  // disabled
  HWND page = make(dialog, 5, WS_VISIBLE | WS_TABSTOP);
  win::get(page).exStyle = WS_EX_CONTROLPARENT;
  HWND inPage = make(page, 51);
  HWND group = make(dialog, 6, WS_VISIBLE | WS_TABSTOP);  // a plain child window
  HWND inGroup = make(group, 61);
  HWND e = make(dialog, 7);
  const struct {
    HWND from;
    bool back;
    HWND next;
  } cases[] = {{0, false, a},          {a, false, inPage},  {plain, false, inPage},
               {inPage, false, group}, {inGroup, false, e}, {e, false, a},
               {a, true, e},           {0, true, e}};
  for (const auto& c : cases)
    EXPECT_EQ(win::nextTabStop(dialog, c.from, c.back), c.next) << c.from << " " << c.back;
  ShowWindow(page, SW_HIDE);
  EnableWindow(group, FALSE);
  EnableWindow(e, FALSE);
  EXPECT_EQ(win::nextTabStop(dialog, a), a);  // the only stop left
  EnableWindow(a, FALSE);
  EXPECT_EQ(win::nextTabStop(dialog, 0), 0u);
  EXPECT_EQ(win::nextTabStop(12345, 0), 0u);
}

// ---- user32 ----

TEST_F(WindowTest, EnableAndShowReportThePreviousStateAndTakeTheFocusAway) {
  HWND dialog = make(0);
  HWND page = make(dialog, 1);
  HWND edit = make(page, 2);
  SetFocus(edit);
  journal.clear();
  EXPECT_EQ(ShowWindow(page, SW_HIDE), TRUE);
  EXPECT_EQ(GetFocus(), dialog);  // the focus goes up out of a hidden window
  EXPECT_EQ(ShowWindow(page, SW_HIDE), FALSE);
  EXPECT_EQ(IsWindowVisible(edit), FALSE);  // its own flag is still set
  EXPECT_EQ(ShowWindow(page, SW_SHOW), FALSE);
  EXPECT_EQ(IsWindowVisible(edit), TRUE);
  EXPECT_EQ(wParamsOf(WM_SHOWWINDOW), (std::vector<WPARAM>{FALSE, TRUE}));

  SetFocus(edit);
  EXPECT_EQ(EnableWindow(edit, FALSE), FALSE);  // was enabled
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_EQ(EnableWindow(edit, FALSE), TRUE);  // was disabled; no second message
  EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & WS_DISABLED);
  EXPECT_EQ(EnableWindow(edit, TRUE), TRUE);
  EXPECT_EQ(IsWindowEnabled(edit), TRUE);
  EXPECT_EQ(wParamsOf(WM_ENABLE), (std::vector<WPARAM>{FALSE, TRUE}));
}

TEST_F(WindowTest, MoveAndSizeKeepWhatTheFlagsKeep) {
  HWND dialog = make(0, 0, WS_VISIBLE, {100, 50, 400, 350});
  HWND item = make(dialog, 1, WS_VISIBLE, {10, 20, 60, 40});
  RECT rect{};
  ASSERT_EQ(GetWindowRect(item, &rect), TRUE);  // screen coordinates
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
            (std::vector<LONG>{110, 70, 160, 90}));
  journal.clear();
  EXPECT_EQ(SetWindowPos(item, 0, 20, 168, 0, 0, SWP_NOSIZE | 0x200), TRUE);
  SetWindowPos(item, 0, 0, 0, 70, 30, SWP_NOMOVE | SWP_HIDEWINDOW);
  const RECT& moved = win::get(item).rect;
  EXPECT_EQ((std::vector<LONG>{moved.left, moved.top, moved.right, moved.bottom}),
            (std::vector<LONG>{20, 168, 90, 198}));
  EXPECT_EQ(messagesTo(item), (std::vector<UINT>{WM_MOVE, WM_SIZE}));
  EXPECT_FALSE(win::get(item).visible);
  SetWindowPos(item, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  EXPECT_TRUE(win::get(item).visible);
  EXPECT_EQ(MoveWindow(dialog, 0, 0, 0, 0, TRUE), TRUE);
  EXPECT_EQ(win::get(dialog).rect.right, 0);
}

TEST_F(WindowTest, WindowLongsReturnTheirPreviousValue) {
  HWND dialog = make(0);
  HWND item = make(dialog, 1);
  EXPECT_EQ(SetWindowLongA(item, GWL_STYLE, WS_CHILD | WS_DISABLED),
            static_cast<LONG>(WS_VISIBLE | WS_TABSTOP));
  EXPECT_FALSE(win::get(item).visible);
  EXPECT_FALSE(win::get(item).enabled);
  SetWindowLongA(item, GWL_STYLE, WS_CHILD | WS_VISIBLE);
  EXPECT_TRUE(win::get(item).enabled);
  EXPECT_EQ(SetWindowLongA(item, GWL_ID, 77), 1);
  EXPECT_EQ(GetDlgItem(dialog, 77), item);
  EXPECT_EQ(GetDlgItem(dialog, 1), 0u);
  for (int index : {GWL_USERDATA, DWL_USER, DWL_MSGRESULT, GWL_EXSTYLE}) {
    EXPECT_EQ(SetWindowLongA(dialog, index, 1000 + index), 0) << index;
    EXPECT_EQ(SetWindowLongA(dialog, index, 5), 1000 + index) << index;
  }
  EXPECT_EQ(win::get(dialog).messageResult, 5);
}

TEST_F(WindowTest, CheckRadioButtonChecksOneOfTheRangeOnly) {
  HWND dialog = make(0);
  auto radio = [&](HWND parent, UINT id) {
    return win::createWindow("BUTTON", "", WS_VISIBLE | BS_AUTORADIOBUTTON, {}, parent, id);
  };
  HWND frame = make(dialog, 99);
  std::vector<HWND> range = {radio(dialog, 2234), radio(dialog, 2235), radio(frame, 2236)};
  win::send(radio(dialog, 2243), BM_SETCHECK, BST_CHECKED);
  win::send(range[0], BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(CheckRadioButton(dialog, 2234, 2242, 2236), TRUE);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2234), 0u);
  EXPECT_EQ(win::send(range[2], BM_GETCHECK), BST_CHECKED);  // below a frame, still in range
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2243), BST_CHECKED);
}

TEST_F(WindowTest, DialogItemTextAndNumbers) {
  HWND dialog = make(0);
  make(dialog, 10);
  EXPECT_EQ(SetDlgItemTextA(dialog, 10, "Vexa"), TRUE);
  char buffer[3];
  EXPECT_EQ(GetDlgItemTextA(dialog, 10, buffer, sizeof buffer), 2u);
  EXPECT_STREQ(buffer, "Ve");
  SetDlgItemInt(dialog, 10, static_cast<UINT>(-25), TRUE);
  EXPECT_EQ(win::get(GetDlgItem(dialog, 10)).text, "-25");
  SetDlgItemInt(dialog, 10, 4000000000u, FALSE);
  EXPECT_EQ(win::get(GetDlgItem(dialog, 10)).text, "4000000000");

  struct Case {
    const char* text;
    BOOL isSigned;
    BOOL translated;
    UINT value;
  };
  for (const Case& c :
       {Case{"-25", TRUE, TRUE, static_cast<UINT>(-25)}, Case{"-25", FALSE, FALSE, 0},
        Case{"4000000000", FALSE, TRUE, 4000000000u}, Case{"4000000000", TRUE, FALSE, 0},
        Case{"  30 ", TRUE, TRUE, 30}, Case{"12a", TRUE, FALSE, 0}, Case{"", TRUE, FALSE, 0},
        Case{" - 1", TRUE, FALSE, 0}, Case{"99999999999", TRUE, FALSE, 0}}) {
    SetDlgItemTextA(dialog, 10, c.text);
    BOOL translated = !c.translated;
    EXPECT_EQ(GetDlgItemInt(dialog, 10, &translated, c.isSigned), c.value) << c.text;
    EXPECT_EQ(translated, c.translated) << c.text;
  }
  EXPECT_EQ(GetDlgItemInt(dialog, 11, nullptr, TRUE), 0u);
}

TEST_F(WindowTest, EveryCallOnABadHandleFailsQuietly) {
  HWND stale = make(0);
  win::destroyWindow(stale);
  for (HWND bad : {HWND{0}, stale, HWND{0xDEADBEEF}}) {
    char buffer[8] = "keep";
    RECT rect{1, 2, 3, 4};
    BOOL translated = TRUE;
    EXPECT_EQ(GetDlgItem(bad, 1), 0u);
    EXPECT_EQ(GetParent(bad), 0u);
    EXPECT_EQ(SendMessageA(bad, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageA(bad, 1, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(PostMessageA(bad, WM_USER, 0, 0), FALSE);
    EXPECT_EQ(EnableWindow(bad, FALSE), FALSE);
    EXPECT_EQ(IsWindowEnabled(bad), FALSE);
    EXPECT_EQ(ShowWindow(bad, SW_SHOW), FALSE);
    EXPECT_EQ(IsWindowVisible(bad), FALSE);
    EXPECT_EQ(IsWindow(bad), FALSE);
    EXPECT_EQ(MoveWindow(bad, 0, 0, 1, 1, TRUE), FALSE);
    EXPECT_EQ(SetWindowPos(bad, 0, 0, 0, 1, 1, 0), FALSE);
    EXPECT_EQ(GetWindowRect(bad, &rect), FALSE);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(SetWindowLongA(bad, GWL_STYLE, 1), 0);
    EXPECT_EQ(GetWindowLongA(bad, GWL_ID), 0);
    EXPECT_EQ(CheckDlgButton(bad, 1, 1), FALSE);
    EXPECT_EQ(IsDlgButtonChecked(bad, 1), 0u);
    EXPECT_EQ(CheckRadioButton(bad, 1, 2, 1), FALSE);
    EXPECT_EQ(SetDlgItemTextA(bad, 1, "x"), FALSE);
    EXPECT_EQ(GetDlgItemTextA(bad, 1, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(SetDlgItemInt(bad, 1, 5, FALSE), FALSE);
    EXPECT_EQ(GetDlgItemInt(bad, 1, &translated, FALSE), 0u);
    EXPECT_EQ(translated, FALSE);
    EXPECT_EQ(SetWindowTextA(bad, "x"), FALSE);
    std::strcpy(buffer, "keep");
    EXPECT_EQ(GetWindowTextA(bad, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(UpdateWindow(bad), FALSE);
    EXPECT_EQ(CreateCaret(bad, 0, 1, 1), FALSE);
    EXPECT_EQ(ShowCaret(bad), FALSE);
    EXPECT_EQ(HideCaret(bad), FALSE);
    if (bad != 0) {
      EXPECT_EQ(SetFocus(bad), 0u);
      EXPECT_EQ(InvalidateRect(bad, nullptr, TRUE), FALSE);
    }
    nlohmann::json out = {{"stale", true}};
    win::describe(bad, out);
    EXPECT_EQ(out, nlohmann::json::object());
  }
  HWND live = make(0);
  EXPECT_EQ(GetWindowRect(live, nullptr), FALSE);
  EXPECT_EQ(GetWindowTextA(live, nullptr, 5), 0);
  EXPECT_EQ(GetDlgItemTextA(live, 1, nullptr, 0), 0u);
}

}  // namespace
