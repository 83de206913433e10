// The resources of the system information and user list dialogs: About
// (3630) with its pages 3628 and 3629, User List (3634) with its pages 3635
// and 3636, their grids and bitmaps 1 to 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;

constexpr std::uint16_t kDialogs[] = {3628, 3629, 3630, 3634, 3635, 3636};

// The command that removes a user comes from no window of these dialogs.
TEST(SystemResources, NoWindowSendsRemoveUser) {
  for (std::uint16_t dialog : kDialogs) {
    const auto dlg = Resources().dialog(dialog);
    if (dlg) EXPECT_EQ(dlg->item(2316), nullptr) << dialog;
  }
}

TEST(SystemResources, NamedControls) {
  const ControlSpec controls[] = {
      {3630, 1674, "STATIC", nullptr, 0},        {3630, 2201, "STATIC", nullptr, 0},
      {3630, 1673, "STATIC", nullptr, 0},        {3630, 1, "BUTTON", "OK", 0},
      {3630, 2042, "BUTTON", "&System Info", 0}, {3630, 101, "BUTTON", "&Tech Support", 0},
      {3629, 1610, "__03Grid__", nullptr, 0},    {3629, 1413, "BUTTON", "&SysEdit", 0},
      {3629, 1833, "BUTTON", "&Print", 0},       {3629, 1, "BUTTON", "Close", 0},
      {3634, 1894, "BUTTON", "&Refresh", 0},     {3634, 1, "BUTTON", "Close", 0},
      {3635, 2162, "__03Grid__", nullptr, 0},    {3636, 1907, "__03Grid__", nullptr, 0},
  };
  ExpectControls(controls);
}

// Refresh and Close of the tabbed User List are frame buttons.
TEST(SystemResources, FrameButtonsOfTheUserList) {
  const auto userList = Resources().centry(1034);
  ASSERT_TRUE(userList);
  for (std::uint16_t id : {std::uint16_t{1894}, std::uint16_t{1}}) {
    const CEntry* e = userList->find(id);
    ASSERT_NE(e, nullptr) << id;
    EXPECT_EQ(e->type, CT_BUTTON);
    EXPECT_EQ(e->storage, CS_FRAME);
  }
}

TEST(SystemResources, PageLinksResolveToTheContainer) {
  const auto de = Resources().dentry(3634);
  ASSERT_TRUE(de);
  const auto container = Resources().centry(de->centry);
  ASSERT_TRUE(container);
  const std::pair<std::uint16_t, std::uint16_t> pages[] = {{3635, 2162}, {3636, 1907}};
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
    const auto frame = Resources().dialog(3634);
    ASSERT_TRUE(pageTemplate && frame);
    EXPECT_NE(pageTemplate->item(grid), nullptr);
    EXPECT_EQ(frame->item(grid), nullptr);
  }
}

// The columns' values beyond the GRID column summary.
TEST(SystemResources, GridColumns) {
  const std::pair<std::uint16_t, std::size_t> rows[] = {
      {1011, 61 + 256}, {1012, 33 + 33}, {1013, 33 + 61 + 9}};
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
