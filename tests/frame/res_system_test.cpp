// The resources of the system information and user list dialogs: About with
// its empty page and System Info, User List with its Users and Requests
// pages, their grids and bitmaps 1 to 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "api/win32.h"  // IDOK, IDCANCEL
#include "frame/res/ids_system.h"
#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;

constexpr std::uint16_t kDialogs[] = {
    IDD_ABOUT_EMPTY_PAGE, IDD_SYSTEM_INFO,     IDD_ABOUT,
    IDD_USER_LIST,        IDD_USER_LIST_USERS, IDD_USER_LIST_REQUESTS};

// The command that removes a user comes from no window of these dialogs.
TEST(SystemResources, NoWindowSendsRemoveUser) {
  for (std::uint16_t dialog : kDialogs) {
    const auto dlg = Resources().dialog(dialog);
    if (dlg) EXPECT_EQ(dlg->item(IDC_USER_LIST_REMOVE_USER), nullptr) << dialog;
  }
}

TEST(SystemResources, NamedControls) {
  const ControlSpec controls[] = {
      {IDD_ABOUT, IDC_ABOUT_TITLE, "STATIC", nullptr, 0},
      {IDD_ABOUT, IDC_ABOUT_VERSION, "STATIC", nullptr, 0},
      {IDD_ABOUT, IDC_ABOUT_COMPANY_NAME, "STATIC", nullptr, 0},
      {IDD_ABOUT, IDOK, "BUTTON", "OK", 0},
      {IDD_ABOUT, IDC_ABOUT_SYSTEM_INFO, "BUTTON", "&System Info", 0},
      {IDD_ABOUT, IDC_ABOUT_TECH_SUPPORT, "BUTTON", "&Tech Support", 0},
      {IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_GRID, "__03Grid__", nullptr, 0},
      {IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_SYSEDIT, "BUTTON", "&SysEdit", 0},
      {IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_PRINT, "BUTTON", "&Print", 0},
      {IDD_SYSTEM_INFO, IDOK, "BUTTON", "Close", 0},
      {IDD_USER_LIST, IDC_USER_LIST_REFRESH, "BUTTON", "&Refresh", 0},
      {IDD_USER_LIST, IDOK, "BUTTON", "Close", 0},
      {IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID, "__03Grid__", nullptr, 0},
      {IDD_USER_LIST_REQUESTS, IDC_USER_LIST_REQUESTS_GRID, "__03Grid__", nullptr, 0},
  };
  ExpectControls(controls);
}

// Refresh and Close of the tabbed User List are frame buttons.
TEST(SystemResources, FrameButtonsOfTheUserList) {
  const auto userList = Resources().centry(IDR_USER_LIST_CENTRY);
  ASSERT_TRUE(userList);
  for (std::uint16_t id : {std::uint16_t{IDC_USER_LIST_REFRESH}, std::uint16_t{IDOK}}) {
    const CEntry* e = userList->find(id);
    ASSERT_NE(e, nullptr) << id;
    EXPECT_EQ(e->type, CT_BUTTON);
    EXPECT_EQ(e->storage, CS_FRAME);
  }
}

TEST(SystemResources, PageLinksResolveToTheContainer) {
  const auto de = Resources().dentry(IDD_USER_LIST);
  ASSERT_TRUE(de);
  const auto container = Resources().centry(de->centry);
  ASSERT_TRUE(container);
  const std::pair<std::uint16_t, std::uint16_t> pages[] = {
      {IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID},
      {IDD_USER_LIST_REQUESTS, IDC_USER_LIST_REQUESTS_GRID}};
  for (const auto& [page, grid] : pages) {
    SCOPED_TRACE(page);
    const auto pageEntry = Resources().dentry(page);
    ASSERT_TRUE(pageEntry);
    const auto list = Resources().centry(pageEntry->centry);
    ASSERT_TRUE(list);
    const CEntry* link = list->find(grid);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->type, CT_LINK);
    const CEntry* target = container->find(grid);
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(target->isGrid());
    // The grid window itself sits on the page.
    const auto pageTemplate = Resources().dialog(page);
    const auto frame = Resources().dialog(IDD_USER_LIST);
    ASSERT_TRUE(pageTemplate && frame);
    EXPECT_NE(pageTemplate->item(grid), nullptr);
    EXPECT_EQ(frame->item(grid), nullptr);
  }
}

// The columns' values beyond the GRID column summary.
TEST(SystemResources, GridColumns) {
  const std::pair<std::uint16_t, std::size_t> rows[] = {{IDR_SYSTEM_INFO_GRID, 61 + 256},
                                                        {IDR_USER_LIST_USERS_GRID, 33 + 33},
                                                        {IDR_USER_LIST_REQUESTS_GRID, 33 + 61 + 9}};
  for (const auto& [id, rowBytes] : rows) {
    SCOPED_TRACE(id);
    const auto grid = Resources().grid(id);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->rowBytes(), rowBytes);
    for (const GridColumn& c : grid->columns) {
      SCOPED_TRACE(c.heading);
      EXPECT_EQ(c.id, 0);
      EXPECT_EQ(c.style, 0x80);
      EXPECT_EQ(c.editorClass, "@EDIT");
    }
  }
}

// Bitmaps 1 to 4 are stored bottom-up, their pixels just after the
// sixteen-colour table.
TEST(SystemResources, Bitmaps) {
  const std::pair<std::uint16_t, std::int32_t> sizes[] = {{1, 16}, {2, 18}, {3, 18}, {4, 18}};
  for (const auto& [id, side] : sizes) {
    SCOPED_TRACE(id);
    const Resource* r = Resources().file().find(RT_BITMAP, id);
    ASSERT_NE(r, nullptr);
    ASSERT_GE(r->data.size(), 40u + 16 * 4);
    auto u16 = [&](std::size_t at) {
      return static_cast<std::uint16_t>(r->data[at] | r->data[at + 1] << 8);
    };
    auto u32 = [&](std::size_t at) {
      return static_cast<std::uint32_t>(u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16);
    };
    EXPECT_EQ(static_cast<std::int32_t>(u32(8)), side);
    const std::size_t stride = (side * 4 + 31) / 32 * 4;
    EXPECT_EQ(r->data.size(), 40u + 16 * 4 + stride * side);
  }
}

}  // namespace
