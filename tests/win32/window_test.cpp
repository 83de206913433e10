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

TEST_F(WindowTest, HandlesOfDestroyedWindowsStayInvalidAndNoneIsSpecial) {
  HWND first = make(0);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(win::find(first)->hwnd, first);
  win::destroyWindow(first);
  EXPECT_EQ(win::find(first), nullptr);
  EXPECT_THROW(win::get(first), std::invalid_argument);

  HWND second = make(0);  // may take the freed slot, never the old handle
  EXPECT_NE(second, first);
  EXPECT_EQ(win::find(first), nullptr);
  EXPECT_NE(win::find(second), nullptr);

  EXPECT_EQ(win::find(0), nullptr);
  EXPECT_EQ(win::find(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(win::find(second ^ 0x00010000u), nullptr);  // other generation
  EXPECT_EQ(win::find(second + 1000), nullptr);         // unused slot
  for (int i = 0; i < 50; ++i) {                        // never a special value
    HWND window = make(0);
    EXPECT_GT(window, HWND_BOTTOM);
    EXPECT_LT(window, 0x80000000u);
    win::destroyWindow(window);
  }
}

TEST_F(WindowTest, ResetForgetsEveryWindowButNotTheClasses) {
  HWND old = make(0);
  win::post(old, WM_USER, 0, 0);
  win::reset();
  EXPECT_EQ(win::find(old), nullptr);
  EXPECT_EQ(win::windowCount(), 0u);
  EXPECT_EQ(win::postedCount(), 0u);
  EXPECT_NE(win::classProc("recorder"), nullptr);
  EXPECT_NE(make(0), old);
}

TEST_F(WindowTest, ClassNamesIgnoreCase) {
  HWND window = win::createWindow("rEcOrDeR", "t", 0, {}, 0, 0);
  ASSERT_NE(window, 0u);
  EXPECT_EQ(win::get(window).className, "Recorder");
  EXPECT_EQ(win::classProc("RECORDER"), &recorder);
  EXPECT_NE(win::createWindow("__03BUTTON__", "x", 0, {}, 0, 1), 0u);
  EXPECT_EQ(win::createWindow("NoSuchClass", "", 0, {}, 0, 0), 0u);
  EXPECT_EQ(win::classProc("NoSuchClass"), nullptr);
}

TEST_F(WindowTest, CreationSendsCreateWithItsParameterAndLinksTheChild) {
  int parameter = 7;
  HWND parent = make(0);
  HWND child = win::createWindow("Recorder", "Name", WS_VISIBLE | WS_DISABLED, {1, 2, 3, 4}, parent,
                                 42, &parameter);
  ASSERT_NE(child, 0u);
  ASSERT_EQ(messagesTo(child), std::vector<UINT>{WM_CREATE});
  EXPECT_EQ(journal.back().lParam, reinterpret_cast<LPARAM>(&parameter));
  const win::Window& w = win::get(child);
  EXPECT_EQ(w.text, "Name");
  EXPECT_EQ(w.id, 42u);
  EXPECT_EQ(w.parent, parent);
  EXPECT_TRUE(w.visible);
  EXPECT_FALSE(w.enabled);
  EXPECT_EQ(win::get(parent).children, std::vector<HWND>{child});
  EXPECT_EQ(win::childById(parent, 42), child);
  EXPECT_EQ(win::childById(parent, 43), 0u);
  EXPECT_EQ(win::topLevelWindows(), std::vector<HWND>{parent});
}

TEST_F(WindowTest, RefusedCreationDestroysTheWindow) {
  HWND parent = make(0);
  std::size_t before = win::windowCount();
  HWND refused = win::createWindow("Recorder", "", 0, {}, parent, 5, &refuseCreation);
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(win::windowCount(), before);
  EXPECT_TRUE(win::get(parent).children.empty());
  ASSERT_EQ(journal.size(), 3u);  // parent's WM_CREATE, then the child's
  EXPECT_EQ(journal[1].message, WM_CREATE);
  EXPECT_EQ(journal[2].message, WM_DESTROY);
  win::destroyWindow(parent);
  EXPECT_EQ(make(parent), 0u);  // nor is a child made under a missing parent
}

TEST_F(WindowTest, DestructionGoesChildrenFirst) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND a1 = make(a, 11);
  HWND b = make(dialog, 2);
  journal.clear();
  win::destroyWindow(dialog);
  std::vector<Message> expected = {{a1, WM_DESTROY, 0, 0},
                                   {a, WM_DESTROY, 0, 0},
                                   {b, WM_DESTROY, 0, 0},
                                   {dialog, WM_DESTROY, 0, 0}};
  EXPECT_EQ(journal, expected);
  for (HWND gone : {dialog, a, a1, b}) EXPECT_EQ(win::find(gone), nullptr);
  EXPECT_EQ(win::windowCount(), 0u);
  EXPECT_TRUE(win::topLevelWindows().empty());
}

TEST_F(WindowTest, DestroyingAChildUnlinksItOnly) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND b = make(dialog, 2);
  HWND c = make(dialog, 3);
  win::destroyWindow(b);
  EXPECT_EQ(win::get(dialog).children, (std::vector<HWND>{a, c}));
  EXPECT_EQ(win::childById(dialog, 2), 0u);
}

TEST_F(WindowTest, OwnedWindowsGoWithTheirOwner) {
  HWND main = make(0);
  HWND popup = make(0);
  win::get(popup).owner = main;
  win::get(popup).style |= WS_POPUP;
  EXPECT_EQ(GetParent(popup), main);
  win::destroyWindow(main);
  EXPECT_EQ(win::find(popup), nullptr);
}

TEST_F(WindowTest, DescendantsComeDepthFirstInCreationOrder) {
  HWND top = make(0);
  HWND a = make(top, 1);
  HWND a1 = make(a, 2);
  HWND b = make(top, 3);
  HWND other = make(0);
  EXPECT_EQ(win::descendants(top), (std::vector<HWND>{a, a1, b}));
  EXPECT_EQ(win::descendants(0), (std::vector<HWND>{top, a, a1, b, other}));
  EXPECT_TRUE(win::descendants(a1).empty());
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
  EXPECT_EQ(win::find(button), nullptr);
  EXPECT_EQ(win::windowCount(), 0u);
}

// A class state that takes a window of its own with it when freed.
struct Holder : win::WindowData {
  HWND other = 0;
  ~Holder() override { win::destroyWindow(other); }
};

TEST_F(WindowTest, StatesThatDestroyWindowsAsTheyGoAreFreedToo) {
  HWND holder = make(0);
  HWND other = make(0);
  auto state = std::make_unique<Holder>();
  state->other = other;
  win::get(holder).data = std::move(state);
  win::destroyWindow(holder);
  EXPECT_EQ(win::find(other), nullptr);
  EXPECT_EQ(win::windowCount(), 0u);

  holder = make(0);
  state = std::make_unique<Holder>();
  state->other = make(0);
  win::get(holder).data = std::move(state);
  win::reset();  // every handle is stale before the state goes
  EXPECT_EQ(win::windowCount(), 0u);
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
  win::send(window, WM_SETREDRAW, FALSE);
  EXPECT_FALSE(win::get(window).redraw);
  win::send(window, WM_CLOSE);  // destroys by default
  EXPECT_EQ(win::find(window), nullptr);
}

TEST_F(WindowTest, PostedMessagesArriveInOrderAndDropWithTheirWindow) {
  HWND a = make(0);
  HWND b = make(0);
  journal.clear();
  win::post(a, WM_USER + 1, 1, 0);
  win::post(b, WM_USER + 2, 2, 0);
  win::post(a, WM_USER + 3, 3, 0);
  win::post(b, WM_USER + 4, 4, 0);
  EXPECT_EQ(win::postedCount(), 4u);
  win::destroyWindow(b);
  EXPECT_EQ(win::postedCount(), 2u);
  journal.clear();
  EXPECT_EQ(win::dispatchPosted(), 2u);
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0], (Message{a, WM_USER + 1, 1, 0}));
  EXPECT_EQ(journal[1], (Message{a, WM_USER + 3, 3, 0}));
  EXPECT_EQ(win::postedCount(), 0u);
  EXPECT_EQ(PostMessageA(b, WM_USER, 0, 0), FALSE);
  EXPECT_EQ(win::postedCount(), 0u);
}

TEST_F(WindowTest, MessagesPostedDuringDispatchAreDeliveredToo) {
  HWND a = make(0);
  HWND b = make(0);
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window == a && message == WM_USER) {
      win::post(b, WM_USER + 1, 0, 0);
      win::destroyWindow(a);  // a message still queued for a is dropped
    }
    return false;
  };
  EXPECT_EQ(PostMessageA(a, WM_USER, 0, 0), TRUE);
  win::post(a, WM_USER + 9, 0, 0);
  journal.clear();
  EXPECT_EQ(win::dispatchPosted(), 2u);
  EXPECT_EQ(messagesTo(b), std::vector<UINT>{WM_USER + 1});
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                          [](const Message& m) { return m.message == WM_USER + 9; }),
            0);
}

TEST_F(WindowTest, NotifyParentSendsCommandWithIdCodeAndControl) {
  HWND dialog = make(0);
  HWND control = make(dialog, 1234);
  journal.clear();
  win::notifyParent(control, 0x300);
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0],
            (Message{dialog, WM_COMMAND, MAKEWPARAM(1234, 0x300), static_cast<LPARAM>(control)}));
  journal.clear();
  win::notifyParent(dialog, 1);  // no parent: nobody to tell
  EXPECT_TRUE(journal.empty());
}

// ---- Focus ----

TEST_F(WindowTest, FocusMovesWithKillThenSetFocus) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND b = make(dialog, 2);
  EXPECT_EQ(SetFocus(a), 0u);
  journal.clear();
  EXPECT_EQ(SetFocus(b), a);
  std::vector<Message> expected = {{a, WM_KILLFOCUS, b, 0}, {b, WM_SETFOCUS, a, 0}};
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(GetFocus(), b);
  journal.clear();
  EXPECT_EQ(SetFocus(b), b);  // already there: no messages
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(SetFocus(0), b);
  EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WindowTest, DisabledWindowsCannotTakeTheFocus) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND b = make(dialog, 2, WS_VISIBLE | WS_DISABLED);
  SetFocus(a);
  EXPECT_EQ(SetFocus(b), 0u);
  EXPECT_EQ(GetFocus(), a);
  EnableWindow(dialog, FALSE);
  EXPECT_EQ(SetFocus(win::childById(dialog, 1)), 0u);  // inside a disabled window
  EXPECT_EQ(SetFocus(12345), 0u);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(WindowTest, AKillFocusHandlerThatTakesTheFocusBackWins) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  HWND b = make(dialog, 2);
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

TEST_F(WindowTest, DestroyingTheFocusWindowGivesTheFocusToItsParent) {
  HWND dialog = make(0);
  HWND page = make(dialog, 1);
  HWND edit = make(page, 2);
  SetFocus(edit);
  journal.clear();
  win::destroyWindow(page);
  EXPECT_EQ(GetFocus(), dialog);
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[0], (Message{edit, WM_KILLFOCUS, dialog, 0}));
  EXPECT_EQ(journal[1], (Message{dialog, WM_SETFOCUS, edit, 0}));
  win::destroyWindow(dialog);
  EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WindowTest, AHandlerCannotPutTheFocusIntoAWindowBeingDestroyed) {
  HWND dialog = make(0);
  HWND edit = make(dialog, 2);
  HWND other = make(dialog, 3);
  SetFocus(edit);
  hook = [&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window == edit && message == WM_KILLFOCUS) win::setFocus(other);
    return false;
  };
  win::destroyWindow(dialog);
  EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WindowTest, TabOrderSkipsWhatAUserCannotReach) {
  HWND dialog = make(0);
  HWND a = make(dialog, 1);
  make(dialog, 2, WS_VISIBLE);                             // no tab stop
  make(dialog, 3, WS_TABSTOP);                             // hidden
  make(dialog, 4, WS_VISIBLE | WS_TABSTOP | WS_DISABLED);  // disabled
  HWND e = make(dialog, 5);
  EXPECT_EQ(win::nextTabStop(dialog, 0), a);
  EXPECT_EQ(win::nextTabStop(dialog, a), e);
  EXPECT_EQ(win::nextTabStop(dialog, e), a);  // wraps round
  EXPECT_EQ(win::nextTabStop(dialog, a, true), e);
  EXPECT_EQ(win::nextTabStop(dialog, 0, true), e);
  EXPECT_EQ(win::nextTabStop(dialog, win::childById(dialog, 2)), e);
  EnableWindow(e, FALSE);
  EXPECT_EQ(win::nextTabStop(dialog, a), a);  // the only stop left
  EnableWindow(a, FALSE);
  EXPECT_EQ(win::nextTabStop(dialog, 0), 0u);
  EXPECT_EQ(win::nextTabStop(12345, 0), 0u);
}

TEST_F(WindowTest, TabOrderWalksIntoControlParentsOnly) {
  HWND dialog = make(0);
  HWND first = make(dialog, 1);
  HWND page = make(dialog, 2, WS_VISIBLE | WS_TABSTOP);
  win::get(page).exStyle = WS_EX_CONTROLPARENT;
  HWND inPage = make(page, 21);
  HWND group = make(dialog, 3, WS_VISIBLE | WS_TABSTOP);  // a plain child window
  HWND hiddenInGroup = make(group, 31);
  HWND last = make(dialog, 4);
  EXPECT_EQ(win::nextTabStop(dialog, first), inPage);  // the page itself is no stop
  EXPECT_EQ(win::nextTabStop(dialog, inPage), group);
  EXPECT_EQ(win::nextTabStop(dialog, group), last);
  // From a window the walk does not list, it goes on from its ancestor.
  EXPECT_EQ(win::nextTabStop(dialog, hiddenInGroup), last);
  ShowWindow(page, SW_HIDE);
  EXPECT_EQ(win::nextTabStop(dialog, first), group);
}

// ---- user32 ----

TEST_F(WindowTest, EnableWindowReportsThePreviousStateAndSendsEnableOnChange) {
  HWND dialog = make(0);
  HWND item = make(dialog, 1);
  SetFocus(item);
  journal.clear();
  EXPECT_EQ(EnableWindow(item, FALSE), FALSE);  // was enabled
  EXPECT_EQ(GetFocus(), 0u);                    // a disabled window loses the focus
  EXPECT_EQ(EnableWindow(item, FALSE), TRUE);   // was disabled; no second message
  EXPECT_EQ(IsWindowEnabled(item), FALSE);
  EXPECT_TRUE(GetWindowLongA(item, GWL_STYLE) & WS_DISABLED);
  EXPECT_EQ(EnableWindow(item, TRUE), TRUE);
  EXPECT_EQ(IsWindowEnabled(item), TRUE);
  std::vector<UINT> enables;
  for (const Message& m : journal)
    if (m.message == WM_ENABLE) enables.push_back(static_cast<UINT>(m.wParam));
  EXPECT_EQ(enables, (std::vector<UINT>{FALSE, TRUE}));
}

TEST_F(WindowTest, ShowWindowReportsThePreviousVisibility) {
  HWND dialog = make(0);
  HWND page = make(dialog, 1);
  HWND edit = make(page, 2);
  SetFocus(edit);
  journal.clear();
  EXPECT_EQ(ShowWindow(page, SW_HIDE), TRUE);
  EXPECT_EQ(GetFocus(), dialog);  // the focus goes up out of a hidden window
  EXPECT_EQ(ShowWindow(page, SW_HIDE), FALSE);
  EXPECT_EQ(IsWindowVisible(edit), FALSE);  // its own flag is still set
  EXPECT_TRUE(win::get(edit).visible);
  EXPECT_EQ(ShowWindow(page, SW_SHOW), FALSE);
  EXPECT_EQ(IsWindowVisible(edit), TRUE);
  EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
  std::vector<WPARAM> shows;
  for (const Message& m : journal)
    if (m.message == WM_SHOWWINDOW) shows.push_back(m.wParam);
  EXPECT_EQ(shows, (std::vector<WPARAM>{FALSE, TRUE}));
}

TEST_F(WindowTest, MoveAndSizeKeepWhatTheFlagsKeep) {
  HWND dialog = make(0, 0, WS_VISIBLE, {100, 50, 400, 350});
  HWND item = make(dialog, 1, WS_VISIBLE, {10, 20, 60, 40});
  RECT rect{};
  ASSERT_EQ(GetWindowRect(item, &rect), TRUE);  // screen coordinates
  EXPECT_EQ(rect.left, 110);
  EXPECT_EQ(rect.top, 70);
  EXPECT_EQ(rect.right, 160);
  EXPECT_EQ(rect.bottom, 90);

  journal.clear();
  EXPECT_EQ(SetWindowPos(item, 0, 20, 168, 0, 0, SWP_NOSIZE | 0x200), TRUE);
  const RECT& moved = win::get(item).rect;
  EXPECT_EQ(moved.left, 20);
  EXPECT_EQ(moved.top, 168);
  EXPECT_EQ(moved.right - moved.left, 50);
  EXPECT_EQ(moved.bottom - moved.top, 20);
  EXPECT_EQ(messagesTo(item), std::vector<UINT>{WM_MOVE});

  journal.clear();
  SetWindowPos(item, 0, 0, 0, 70, 30, SWP_NOMOVE | SWP_HIDEWINDOW);
  EXPECT_EQ(win::get(item).rect.left, 20);
  EXPECT_EQ(win::get(item).rect.right, 90);
  EXPECT_FALSE(win::get(item).visible);
  EXPECT_EQ(messagesTo(item), std::vector<UINT>{WM_SIZE});
  SetWindowPos(item, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  EXPECT_TRUE(win::get(item).visible);
  EXPECT_EQ(win::get(dialog).children, std::vector<HWND>{item});

  int before = win::get(dialog).invalidations;
  EXPECT_EQ(MoveWindow(dialog, 0, 0, 0, 0, TRUE), TRUE);
  EXPECT_EQ(win::get(dialog).invalidations, before + 1);
  EXPECT_EQ(win::get(dialog).rect.right, 0);
}

TEST_F(WindowTest, WindowLongsReturnTheirPreviousValue) {
  HWND dialog = make(0);
  HWND item = make(dialog, 1);
  EXPECT_EQ(SetWindowLongA(item, GWL_STYLE, WS_CHILD | WS_DISABLED),
            static_cast<LONG>(WS_VISIBLE | WS_TABSTOP));
  EXPECT_FALSE(win::get(item).visible);
  EXPECT_FALSE(win::get(item).enabled);
  SetWindowLongA(item, GWL_STYLE, WS_CHILD | WS_VISIBLE | 0x8000);
  EXPECT_TRUE(win::get(item).visible);
  EXPECT_TRUE(win::get(item).enabled);
  EXPECT_EQ(GetWindowLongA(item, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_VISIBLE | 0x8000));

  EXPECT_EQ(SetWindowLongA(item, GWL_ID, 77), 1);
  EXPECT_EQ(GetDlgItem(dialog, 77), item);
  EXPECT_EQ(GetDlgItem(dialog, 1), 0u);
  for (int index : {GWL_USERDATA, DWL_USER, DWL_MSGRESULT, GWL_EXSTYLE}) {
    EXPECT_EQ(SetWindowLongA(dialog, index, 1000 + index), 0) << index;
    EXPECT_EQ(SetWindowLongA(dialog, index, 5), 1000 + index) << index;
    EXPECT_EQ(GetWindowLongA(dialog, index), 5) << index;
  }
  EXPECT_EQ(win::get(dialog).userData, 5);
  EXPECT_EQ(win::get(dialog).dialogUser, 5);
  EXPECT_EQ(win::get(dialog).messageResult, 5);
  EXPECT_EQ(GetWindowLongA(dialog, GWL_WNDPROC), 0);
}

TEST_F(WindowTest, CheckRadioButtonChecksOneOfTheRangeOnly) {
  HWND dialog = make(0);
  auto radio = [&](HWND parent, UINT id) {
    return win::createWindow("BUTTON", "", WS_VISIBLE | BS_AUTORADIOBUTTON, {}, parent, id);
  };
  HWND frame = make(dialog, 99);
  std::vector<HWND> range = {radio(dialog, 2234), radio(dialog, 2235), radio(frame, 2236)};
  HWND outside = radio(dialog, 2243);
  win::send(outside, BM_SETCHECK, BST_CHECKED);
  win::send(range[0], BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(CheckRadioButton(dialog, 2234, 2242, 2236), TRUE);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2234), 0u);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2235), 0u);
  EXPECT_EQ(win::send(range[2], BM_GETCHECK), BST_CHECKED);  // below a frame, still in range
  EXPECT_EQ(IsDlgButtonChecked(dialog, 2243), BST_CHECKED);
  EXPECT_EQ(CheckRadioButton(0, 1, 2, 1), FALSE);
}

TEST_F(WindowTest, DialogItemTextAndNumbers) {
  HWND dialog = make(0);
  make(dialog, 10);
  EXPECT_EQ(SetDlgItemTextA(dialog, 10, "Vexa"), TRUE);
  char buffer[3];
  EXPECT_EQ(GetDlgItemTextA(dialog, 10, buffer, sizeof buffer), 2u);
  EXPECT_STREQ(buffer, "Ve");
  EXPECT_EQ(SendDlgItemMessageA(dialog, 10, WM_GETTEXTLENGTH, 0, 0), 4);

  BOOL translated = TRUE;
  SetDlgItemInt(dialog, 10, static_cast<UINT>(-25), TRUE);
  EXPECT_STREQ(win::get(GetDlgItem(dialog, 10)).text.c_str(), "-25");
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, 10, &translated, TRUE)), -25);
  EXPECT_EQ(translated, TRUE);
  EXPECT_EQ(GetDlgItemInt(dialog, 10, &translated, FALSE), 0u);
  EXPECT_EQ(translated, FALSE);
  SetDlgItemInt(dialog, 10, 4000000000u, FALSE);
  EXPECT_EQ(GetDlgItemInt(dialog, 10, &translated, FALSE), 4000000000u);
  EXPECT_EQ(GetDlgItemInt(dialog, 10, &translated, TRUE), 0u);  // too big for signed
  EXPECT_EQ(translated, FALSE);

  struct Case {
    const char* text;
    BOOL translated;
    UINT value;
  };
  for (const Case& c : {Case{"  30 ", TRUE, 30}, Case{"12a", FALSE, 0}, Case{"", FALSE, 0},
                        Case{" - 1", FALSE, 0}, Case{"99999999999", FALSE, 0}}) {
    SetDlgItemTextA(dialog, 10, c.text);
    EXPECT_EQ(GetDlgItemInt(dialog, 10, &translated, TRUE), c.value) << c.text;
    EXPECT_EQ(translated, c.translated) << c.text;
  }
  EXPECT_EQ(GetDlgItemInt(dialog, 11, nullptr, TRUE), 0u);
}

TEST_F(WindowTest, CursorsAndAScreenOf1024By768) {
  EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), IDC_WAIT);
  EXPECT_EQ(LoadCursorA(nullptr, 5), 0u);
  EXPECT_EQ(win::cursor(), IDC_ARROW);
  EXPECT_EQ(SetCursor(IDC_WAIT), IDC_ARROW);
  EXPECT_EQ(win::cursor(), IDC_WAIT);
  EXPECT_EQ(SetCursor(IDC_ARROW), IDC_WAIT);
  SetCursor(IDC_WAIT);
  win::reset();
  EXPECT_EQ(win::cursor(), IDC_ARROW);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(GetSystemMetrics(9999), 0);
}

TEST_F(WindowTest, OneCaretHiddenUntilShown) {
  HWND a = make(0);
  HWND b = make(0);
  ASSERT_EQ(CreateCaret(a, 0, 1, 10), TRUE);
  EXPECT_TRUE(win::get(a).caretCreated);
  EXPECT_EQ(win::get(a).caretHideCount, 1);
  EXPECT_EQ(ShowCaret(a), TRUE);
  EXPECT_EQ(win::get(a).caretHideCount, 0);
  EXPECT_EQ(HideCaret(0), TRUE);  // 0: the caret's own window
  EXPECT_EQ(HideCaret(a), TRUE);
  EXPECT_EQ(win::get(a).caretHideCount, 2);
  EXPECT_EQ(ShowCaret(b), FALSE);  // b has no caret
  ASSERT_EQ(CreateCaret(b, 0, 1, 10), TRUE);
  EXPECT_FALSE(win::get(a).caretCreated);
  EXPECT_EQ(HideCaret(a), FALSE);
  EXPECT_EQ(DestroyCaret(), TRUE);
  EXPECT_FALSE(win::get(b).caretCreated);
  EXPECT_EQ(DestroyCaret(), FALSE);
}

TEST_F(WindowTest, InvalidateCountsRepaintRequests) {
  HWND a = make(0);
  HWND b = make(a, 1);
  EXPECT_EQ(InvalidateRect(a, nullptr, TRUE), TRUE);
  EXPECT_EQ(UpdateWindow(a), TRUE);
  EXPECT_EQ(InvalidateRect(0, nullptr, TRUE), TRUE);  // every window
  EXPECT_EQ(win::get(a).invalidations, 2);
  EXPECT_EQ(win::get(b).invalidations, 1);
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

TEST_F(WindowTest, DescribeGivesTheCommonFields) {
  HWND dialog = make(0);
  HWND item =
      win::createWindow("STATIC", "Name:", WS_VISIBLE | WS_DISABLED, {5, 6, 45, 20}, dialog, 101);
  nlohmann::json out;
  win::describe(item, out);
  EXPECT_EQ(out, nlohmann::json::parse(R"({"id":101,"class":"STATIC","text":"Name:",
      "enabled":false,"visible":true,"focus":false,"rect":[5,6,40,14],
      "style":"0x18000000"})"));
  SetFocus(dialog);
  win::describe(dialog, out);
  EXPECT_EQ(out["focus"], true);
  EXPECT_EQ(out["class"], "Recorder");
}

}  // namespace
