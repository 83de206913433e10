// The dialog engine with a recording module over the real resources: what
// it builds, the order in which it calls the handlers, the buffers and
// their links, nested and closed dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "api/host_api.h"
#include "frame/res/ids_codes.h"
#include "frame/res/ids_ledgers.h"
#include "frame/res/ids_options.h"
#include "host/engine/dialog.h"
#include "host/win32/window.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/res_fixture.h"

namespace vx70::test {
namespace {

using res::DENTRY_PAGE;

// The ordinal bound to a message in a dialog's MENTRY, 0 if none.
int boundOrdinal(Module& m, std::uint16_t dialog, UINT message) {
  auto d = m.resources().dentry(dialog);
  auto list = m.resources().mentry(d->mentry);
  if (!list) return 0;
  for (const auto& e : *list)
    if (e.message == message) return e.ordinal;
  return 0;
}

std::vector<std::uint16_t> pagesOf(Module& m, std::uint16_t dialog) {
  std::vector<std::uint16_t> pages;
  auto d = m.resources().dentry(dialog);
  if (d->tentry)
    if (auto t = m.resources().tentry(d->tentry))
      for (const auto& e : *t) pages.push_back(e.dialog);
  return pages;
}

std::vector<std::uint16_t> dialogsOpenedAlone(Module& m) {
  std::vector<std::uint16_t> ids;
  for (auto id : m.resources().dialogIds())
    if (m.resources().dentry(id)->flags != DENTRY_PAGE) ids.push_back(id);
  return ids;
}

std::vector<HandlerCall> initCalls(const std::vector<HandlerCall>& calls) {
  std::vector<HandlerCall> out;
  for (const auto& c : calls)
    if (c.message == WM_INITDIALOG) out.push_back(c);
  return out;
}

bool hasEvent(const EngineFixture& f, const std::string& action, UINT dialog) {
  for (const auto& text : f.events) {
    auto e = nlohmann::json::parse(text);
    if (e.value("action", "") == action && e.value("dialog", 0u) == dialog) return true;
  }
  return false;
}

// Each dialog opens twice over: the leak checker of the sanitizer build
// sees any buffer kept.
TEST(Engine, EveryDialogOpensWithItsPagesInOrderAndClosesCompletely) {
  EngineFixture f;
  std::size_t baseline = win::windowCount();
  for (std::uint16_t id : dialogsOpenedAlone(f.module()))
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE("dialog " + std::to_string(id));
      f.calls.clear();
      f.events.clear();
      EXPECT_EQ(engine::runDialog(0, kDefaultsModuleNumber, id, 7), 0u);

      // The dialog's Init first, then each page's, in tab order; every
      // start-up callback before any Init.
      std::vector<std::pair<int, UINT>> expected;
      if (int o = boundOrdinal(f.module(), id, WM_INITDIALOG)) expected.push_back({o, id});
      for (auto page : pagesOf(f.module(), id))
        if (int o = boundOrdinal(f.module(), page, WM_INITDIALOG)) expected.push_back({o, page});
      std::vector<std::pair<int, UINT>> actual;
      for (const auto& c : initCalls(f.calls)) {
        actual.push_back({c.ordinal, c.dialogId});
        EXPECT_EQ(c.initParam, 7u);
        EXPECT_EQ(c.id, 0u);
        EXPECT_EQ(c.control, 0u);
      }
      EXPECT_EQ(actual, expected);
      auto firstInit = std::find_if(f.calls.begin(), f.calls.end(), [](const HandlerCall& c) {
        return c.message == WM_INITDIALOG;
      });
      for (auto it = firstInit; it != f.calls.end(); ++it)
        EXPECT_TRUE(it->message == WM_INITDIALOG || it->message == WM_COMMAND)
            << "start-up callback " << it->ordinal << " after Init";

      EXPECT_TRUE(hasEvent(f, "opened", id));
      EXPECT_TRUE(hasEvent(f, "closed", id));
      EXPECT_TRUE(engine::openDialogs().empty());
      EXPECT_EQ(win::windowCount(), baseline);
    }
}

TEST(Engine, BuildsEveryPageWithItsFieldsInTheirRecordSlotSharedWithThePage) {
  EngineFixture f;
  f.input.push_back([&] {
    HWND d = engine::findOpenDialog(IDD_CUSTOMER_DEFAULTS);
    ASSERT_NE(d, 0u);
    for (std::uint16_t page : {IDD_CUSTOMER_RECORD, IDD_CUSTOMER_STATEMENTS, IDD_CUSTOMER_AGEING,
                               IDD_CUSTOMER_DISCOUNT}) {
      HWND p = GetDEDialogChild(d, page);
      ASSERT_NE(p, 0u) << page;
      EXPECT_EQ(GetDEDialogParent(p), d);
      EXPECT_EQ(GetDEDialog(d, page), p);
    }
    EXPECT_EQ(GetDEDialog(d, IDD_TAX_CODES), 0u);
    HWND record = GetDEDialogChild(d, IDD_CUSTOMER_RECORD);
    // The credit limit lies at offset 511 of the setup image, the terms
    // text at 477, seen from the dialog and from its page alike.
    auto* slot = static_cast<std::uint8_t*>(GetControlPtr(d, IDC_LEDGER_SETUP_IMAGE, 0x0A));
    ASSERT_NE(slot, nullptr);
    for (HWND from : {d, record}) {
      EXPECT_EQ(GetControlPtr(from, IDC_LEDGER_CREDIT_LIMIT, 1), slot + 511);
      EXPECT_EQ(GetControlPtr(from, IDC_LEDGER_TERMS, 3), slot + 477);
    }
    // A value put into the buffer shows on the page once updated.
    double limit = 2500.5;
    std::memcpy(slot + 511, &limit, sizeof limit);
    std::strcpy(reinterpret_cast<char*>(slot + 477), "30 days net");
    UpdateDEDialog(d);
    char text[64] = {};
    GetDlgItemTextA(record, IDC_LEDGER_TERMS, text, sizeof text);
    EXPECT_STREQ(text, "30 days net");
    double shown = 0;
    SendDlgItemMessageA(record, IDC_LEDGER_CREDIT_LIMIT, win::VXM_GETDOUBLE, 0,
                        reinterpret_cast<LPARAM>(&shown));
    EXPECT_DOUBLE_EQ(shown, 2500.5);
  });
  engine::runDialog(0, kDefaultsModuleNumber, IDD_CUSTOMER_DEFAULTS, 0);
}

// The module's resources with one entry of a CENTRY moved to another field
// offset (link 2, the sixth of an entry's ten words).
std::vector<std::uint8_t> withFieldOffset(std::uint16_t centry, std::uint16_t entry,
                                          std::uint16_t offset) {
  std::vector<std::uint8_t> image = res::readFile(VX70_RES_PATH);
  const res::ResourceFile file = res::ResourceFile::parse(image);
  const res::Resource* list = file.find("CENTRY", centry);
  if (!list) throw std::logic_error("no such CENTRY");
  for (auto at = static_cast<std::size_t>(list->data.data() - image.data());; at += 20) {
    std::uint16_t id = 0;
    std::memcpy(&id, &image[at], 2);
    if (id == 0) throw std::logic_error("no such entry");
    if (id != entry) continue;
    std::memcpy(&image[at + 10], &offset, 2);
    return image;
  }
}

// A field that ends exactly where its record slot ends lies in the slot;
// one byte further it keeps a value of its own.
TEST(Engine, AFieldEndingAtItsSlotsEndStillLiesInTheSlot) {
  const auto list = Resources().centry(IDR_CUSTOMER_DEFAULTS_CENTRY);
  const std::size_t slotSize = list->find(IDC_LEDGER_SETUP_IMAGE)->length;
  struct Case {
    std::uint16_t entry;
    UINT kind;  // as GetControlPtr takes it
    std::size_t size;
    std::size_t beyondTheEnd;
  };
  const std::size_t terms = list->find(IDC_LEDGER_TERMS)->length;
  const Case cases[] = {{IDC_LEDGER_TERMS, 3, terms, 0},
                        {IDC_LEDGER_TERMS, 3, terms, 1},
                        {IDC_LEDGER_CREDIT_LIMIT, 1, sizeof(double), 0},
                        {IDC_LEDGER_CREDIT_LIMIT, 1, sizeof(double), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << " beyond " << c.beyondTheEnd);
    const auto offset = static_cast<std::uint16_t>(slotSize - c.size + c.beyondTheEnd);
    EngineFixture f(withFieldOffset(IDR_CUSTOMER_DEFAULTS_CENTRY, c.entry, offset));
    f.input.push_back([&] {
      HWND d = engine::findOpenDialog(IDD_CUSTOMER_DEFAULTS);
      auto* slot = static_cast<std::uint8_t*>(GetControlPtr(d, IDC_LEDGER_SETUP_IMAGE, 0x0A));
      auto* field = static_cast<std::uint8_t*>(GetControlPtr(d, c.entry, c.kind));
      ASSERT_NE(slot, nullptr);
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field == slot + offset, c.beyondTheEnd == 0);
    });
    engine::runDialog(0, kDefaultsModuleNumber, IDD_CUSTOMER_DEFAULTS, 0);
  }
}

TEST(Engine, WhatTheUserTypedReachesTheBufferBeforeTheNextHandlerOnly) {
  EngineFixture f;
  std::string seenAtCommand;
  std::string keptByHandler;
  f.behaviour = [&](const HandlerCall& c) -> std::uint32_t {
    if (c.message != WM_COMMAND || c.id != IDC_OK) return c.message == WM_INITDIALOG;
    HWND d = engine::findOpenDialog(IDD_CUSTOMER_DEFAULTS);
    auto* slot = static_cast<char*>(GetControlPtr(d, IDC_LEDGER_SETUP_IMAGE, 0x0A));
    if (seenAtCommand.empty()) {
      seenAtCommand = slot + 477;
      std::strcpy(slot + 477, "set by handler");  // not shown: must survive
    } else {
      keptByHandler = slot + 477;
    }
    return 0;
  };
  auto clickOk = [] {
    HWND d = engine::findOpenDialog(IDD_CUSTOMER_DEFAULTS);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED),
                 static_cast<LPARAM>(GetDlgItem(d, IDC_OK)));
  };
  f.input.push_back([&] {
    HWND record =
        GetDEDialogChild(engine::findOpenDialog(IDD_CUSTOMER_DEFAULTS), IDD_CUSTOMER_RECORD);
    HWND terms = GetDlgItem(record, IDC_LEDGER_TERMS);
    engine::noteUserInput(terms);
    win::send(terms, win::VXM_TYPE, 0, reinterpret_cast<LPARAM>("cash only"));
    engine::noteUserInput(terms);
  });
  f.input.push_back(clickOk);
  f.input.push_back(clickOk);
  engine::runDialog(0, kDefaultsModuleNumber, IDD_CUSTOMER_DEFAULTS, 0);
  EXPECT_EQ(seenAtCommand, "cash only");
  EXPECT_EQ(keptByHandler, "set by handler");
}

TEST(Engine, DestroyDuringInitClosesBeforeTheDialogIsShownAndSkipsThePages) {
  EngineFixture f;
  f.behaviour = [&](const HandlerCall& c) -> std::uint32_t {
    if (c.message == WM_INITDIALOG && c.dialogId == IDD_CUSTOMER_DEFAULTS)
      DestroyDEDialog(c.hwnd, 5);
    return 1;
  };
  bool askedForInput = false;
  f.input.push_back([&] { askedForInput = true; });
  EXPECT_EQ(engine::runDialog(0, kDefaultsModuleNumber, IDD_CUSTOMER_DEFAULTS, 0), 5u);
  EXPECT_EQ(initCalls(f.calls).size(), 1u);
  EXPECT_FALSE(askedForInput);
  EXPECT_FALSE(hasEvent(f, "opened", IDD_CUSTOMER_DEFAULTS));
  EXPECT_TRUE(hasEvent(f, "closed", IDD_CUSTOMER_DEFAULTS));
  EXPECT_TRUE(engine::openDialogs().empty());
}

// A command posted in Init is the first thing the dialog hears after Init
// returns, before anything the person does.
TEST(Engine, MessagesPostedDuringInitArriveAfterItBeforeTheUser) {
  constexpr UINT kPostedCommand = 1541;
  EngineFixture f;
  std::vector<std::string> order;
  f.behaviour = [&](const HandlerCall& c) -> std::uint32_t {
    if (c.message == WM_INITDIALOG) {
      order.push_back("init");
      PostMessageA(c.hwnd, WM_COMMAND, kPostedCommand, 0);
      order.push_back("init returns");
      return 1;
    }
    order.push_back("command " + std::to_string(c.id));
    return 0;
  };
  f.input.push_back([&] { order.push_back("user"); });
  engine::runDialog(0, kDefaultsModuleNumber, IDD_TAX_CODES, 0);
  std::vector<std::string> expected{"init", "init returns",
                                    "command " + std::to_string(kPostedCommand), "user"};
  EXPECT_EQ(order, expected);
}

TEST(Engine, ADialogOpenedFromAHandlerNestsAndReturnsItsResult) {
  EngineFixture f;
  UINT childResult = 99;
  HWND childSeen = 0;
  f.behaviour = [&](const HandlerCall& c) -> std::uint32_t {
    if (c.message == WM_COMMAND && c.dialogId == IDD_TAX_CODES && c.id == IDC_TAX_CODES_EDIT) {
      childResult = CreateDEDialog(c.hwnd, kDefaultsModuleNumber, IDD_EDIT_TAX_CODE, 4);
      EXPECT_NE(engine::findOpenDialog(IDD_TAX_CODES), 0u);  // the list is still open
    }
    if (c.message == WM_INITDIALOG && c.dialogId == IDD_EDIT_TAX_CODE) {
      EXPECT_EQ(c.initParam, 4u);
      EXPECT_EQ(GetDEDialogID(GetDEDialogParent(c.hwnd)), static_cast<UINT>(IDD_TAX_CODES));
    }
    return c.message == WM_INITDIALOG;
  };
  f.input.push_back([&] {
    HWND list = engine::findOpenDialog(IDD_TAX_CODES);
    SendMessageA(list, WM_COMMAND, IDC_TAX_CODES_EDIT, 0);
  });
  f.input.push_back([&] {  // inside the child's loop
    HWND list = engine::findOpenDialog(IDD_TAX_CODES);
    childSeen = GetDEDialogChild(list, IDD_EDIT_TAX_CODE);
    DestroyDEDialog(engine::findOpenDialog(IDD_EDIT_TAX_CODE), 3);
  });
  f.input.push_back([&] { DestroyDEDialog(engine::findOpenDialog(IDD_TAX_CODES), 0); });
  engine::runDialog(0, kDefaultsModuleNumber, IDD_TAX_CODES, 0);
  EXPECT_EQ(childResult, 3u);
  EXPECT_NE(childSeen, 0u);
}

// The engine ends Wallpaper Defaults on OK by itself, with result 1.
TEST(Engine, WallpaperDefaultsClosesOnOkByItself) {
  EngineFixture f;
  f.input.push_back([&] {
    SendMessageA(engine::findOpenDialog(IDD_WALLPAPER_DEFAULTS), WM_COMMAND,
                 MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(engine::runDialog(0, kDefaultsModuleNumber, IDD_WALLPAPER_DEFAULTS, 0), 1u);
}

TEST(Engine, AMissingDialogOrModuleBuildsNothing) {
  EngineFixture f;
  std::size_t baseline = win::windowCount();
  EXPECT_EQ(engine::runDialog(0, kDefaultsModuleNumber, 4242, 0), 0u);
  EXPECT_EQ(engine::runDialog(0, 12, 4242, 0), 0u);
  EXPECT_TRUE(f.calls.empty());
  EXPECT_EQ(win::windowCount(), baseline);
  EXPECT_EQ(GetControlPtr(0, IDC_LEDGER_SETUP_IMAGE, 0x0A), nullptr);
  EXPECT_EQ(GetDEDialogID(12345), 0u);
  EXPECT_EQ(DestroyDEDialog(12345, 0), FALSE);
}

}  // namespace
}  // namespace vx70::test
