// The resources of the system information and user list dialogs: About
// (3630) with its pages 3628 and 3629, User List (3634) with its pages 3635
// and 3636, their grids, the outline grid's bitmap list and bitmaps 1 to 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::Resources;

bool SameClass(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

constexpr std::uint16_t kDialogs[] = {3628, 3629, 3630, 3634, 3635, 3636};

TEST(SystemResources, FramesOfTheTemplates) {
  struct Frame {
    std::uint16_t dialog;
    const char* title;
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    const char* font;
    std::size_t windows;
  };
  const Frame frames[] = {
      {3629, "System Info", 0x90c800c0, 8, 18, 249, 173, "MS Sans Serif", 5},
      {3630, "About", 0x90c800c0, 14, 44, 249, 173, "MS Sans Serif", 14},
      {3634, "User List", 0x90c800c0, 17, 28, 320, 160, "Helv", 2},
      {3635, " Users ", 0x90c800c0, 17, 28, 300, 140, "Helv", 1},
      {3636, " Requests ", 0x90c800c0, 17, 28, 300, 140, "Helv", 1},
  };
  for (const Frame& f : frames) {
    SCOPED_TRACE(f.dialog);
    const auto dlg = Resources().dialog(f.dialog);
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(dlg->extended);
    EXPECT_EQ(dlg->title, f.title);
    EXPECT_EQ(dlg->style, f.style);
    EXPECT_EQ(dlg->x, f.x);
    EXPECT_EQ(dlg->y, f.y);
    EXPECT_EQ(dlg->cx, f.cx);
    EXPECT_EQ(dlg->cy, f.cy);
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_EQ(dlg->font, f.font);
    EXPECT_EQ(dlg->items.size(), f.windows);
    for (const DialogItem& item : dlg->items) {
      SCOPED_TRACE(item.id);
      EXPECT_GE(item.x, 0);
      EXPECT_GE(item.y, 0);
      EXPECT_LE(item.x + item.cx, f.cx);
      EXPECT_LE(item.y + item.cy, f.cy);
      // The command that removes a user comes from no window of these dialogs.
      EXPECT_NE(item.id, 2316u);
    }
  }
  // The empty page has no template at all.
  EXPECT_FALSE(Resources().dialog(3628));
}

TEST(SystemResources, NamedControls) {
  struct Control {
    std::uint16_t dialog;
    std::uint16_t id;
    const char* cls;
    const char* caption;  // nullptr: the caption is the template's own
  };
  const Control controls[] = {
      {3630, 1674, "STATIC", nullptr},        {3630, 2201, "STATIC", nullptr},
      {3630, 1673, "STATIC", nullptr},        {3630, 1, "BUTTON", "OK"},
      {3630, 2042, "BUTTON", "&System Info"}, {3630, 101, "BUTTON", "&Tech Support"},
      {3629, 1610, "__03Grid__", nullptr},    {3629, 1413, "BUTTON", "&SysEdit"},
      {3629, 1833, "BUTTON", "&Print"},       {3629, 1, "BUTTON", "Close"},
      {3634, 1894, "BUTTON", "&Refresh"},     {3634, 1, "BUTTON", "Close"},
      {3635, 2162, "__03Grid__", nullptr},    {3636, 1907, "__03Grid__", nullptr},
  };
  for (const Control& c : controls) {
    SCOPED_TRACE(testing::Message() << c.dialog << "/" << c.id);
    const auto dlg = Resources().dialog(c.dialog);
    ASSERT_TRUE(dlg);
    const DialogItem* item = dlg->item(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(SameClass(item->className, c.cls)) << item->className;
    if (c.caption) {
      EXPECT_EQ(item->text, c.caption);
    }
  }
}

TEST(SystemResources, DialogEntries) {
  struct Row {
    std::uint16_t dialog, centry, mentry, tentry, word, flags;
  };
  const Row rows[] = {
      {3628, 1029, 1028, 0, 0x0000, 0x4000},    {3629, 1030, 1028, 0, 0x0000, 0x0001},
      {3630, 1028, 1028, 1005, 0x0000, 0x0001}, {3634, 1034, 1033, 1006, 0x0000, 0x8001},
      {3635, 1035, 1034, 0, 0x0000, 0x4000},    {3636, 1036, 1034, 0, 0x0000, 0x4000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.dialog);
    const auto de = Resources().dentry(r.dialog);
    ASSERT_TRUE(de);
    EXPECT_EQ(de->centry, r.centry);
    EXPECT_EQ(de->mentry, r.mentry);
    EXPECT_EQ(de->tentry, r.tentry);
    EXPECT_EQ(de->displayWord, r.word);
    EXPECT_EQ(de->flags, r.flags);
    EXPECT_EQ(de->reserved, 0);
  }
  // 3628 names a control list that does not exist: a page without entries.
  EXPECT_FALSE(Resources().centry(1029));
}

TEST(SystemResources, MessageMaps) {
  struct Map {
    std::uint16_t id;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> entries;  // message, ordinal
  };
  const Map maps[] = {
      {1028, {{0x0110, 41}, {0x0111, 42}}},
      {1033, {{0x0110, 51}, {0x0111, 52}}},
      {1034, {{0x0111, 52}}},
  };
  for (const Map& m : maps) {
    SCOPED_TRACE(m.id);
    const auto me = Resources().mentry(m.id);
    ASSERT_TRUE(me);
    ASSERT_EQ(me->size(), m.entries.size());
    for (std::size_t i = 0; i < me->size(); ++i) {
      EXPECT_EQ((*me)[i].message, m.entries[i].first);
      EXPECT_EQ((*me)[i].reserved, 0);
      EXPECT_EQ((*me)[i].ordinal, m.entries[i].second);
    }
  }
}

TEST(SystemResources, TabPages) {
  struct Pages {
    std::uint16_t id;
    std::vector<std::uint16_t> dialogs;
  };
  const Pages lists[] = {{1005, {3628, 3629}}, {1006, {3635, 3636}}};
  for (const Pages& p : lists) {
    SCOPED_TRACE(p.id);
    const auto te = Resources().tentry(p.id);
    ASSERT_TRUE(te);
    ASSERT_EQ(te->size(), p.dialogs.size());
    for (std::size_t i = 0; i < te->size(); ++i) {
      EXPECT_EQ((*te)[i].dialog, p.dialogs[i]);
      EXPECT_EQ((*te)[i].module, 15);
      EXPECT_TRUE(Resources().dentry(p.dialogs[i]));
    }
  }
}

TEST(SystemResources, ControlLists) {
  const std::pair<std::uint16_t, std::size_t> counts[] = {
      {1028, 2}, {1030, 2}, {1034, 4}, {1035, 1}, {1036, 1}};
  for (const auto& [id, count] : counts) {
    SCOPED_TRACE(id);
    const auto ce = Resources().centry(id);
    ASSERT_TRUE(ce);
    EXPECT_EQ(ce->entries.size(), count);
    EXPECT_EQ(ce->trailingZeroBytes, 2u);
    for (const CEntry& e : ce->entries) EXPECT_EQ(e.reserved, 0);
  }

  // The grids: type, GRID, callbacks of module 15 (none here), layout.
  struct GridEntry {
    std::uint16_t centry, control, type, grid;
  };
  const GridEntry grids[] = {
      {1030, 1610, CT_GRID16, 1011}, {1034, 2162, CT_GRID16, 1012}, {1034, 1907, CT_GRID16, 1013}};
  for (const GridEntry& g : grids) {
    SCOPED_TRACE(g.control);
    const auto list = Resources().centry(g.centry);
    ASSERT_TRUE(list);
    const CEntry* e = list->find(g.control);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, g.type);
    EXPECT_EQ(e->storage, CS_WINDOW);
    EXPECT_EQ(e->length, 0);
    EXPECT_EQ(e->link1, g.grid);
    EXPECT_EQ(e->link2, 15);
    EXPECT_EQ(e->rowsNeeded, 0);
    EXPECT_EQ(e->startUp, 0);
    EXPECT_EQ(e->layout, 0);
    EXPECT_TRUE(Resources().grid(g.grid));
  }

  // Refresh and Close of the tabbed User List are frame buttons.
  const auto userList = Resources().centry(1034);
  ASSERT_TRUE(userList);
  for (std::uint16_t id : {std::uint16_t{1894}, std::uint16_t{1}}) {
    const CEntry* e = userList->find(id);
    ASSERT_NE(e, nullptr) << id;
    EXPECT_EQ(e->type, CT_BUTTON);
    EXPECT_EQ(e->storage, CS_FRAME);
  }

  // Every entry that is not a link has a window in its dialog's template,
  // or, in the tabbed User List, on one of its pages.
  for (std::uint16_t dialog : kDialogs) {
    const auto de = Resources().dentry(dialog);
    ASSERT_TRUE(de) << dialog;
    const auto ce = Resources().centry(de->centry);
    if (!ce) continue;
    std::vector<std::uint16_t> ids{dialog};
    if (de->flags == DENTRY_TABBED) {
      const auto pages = Resources().tentry(de->tentry);
      ASSERT_TRUE(pages) << dialog;
      for (const TEntry& t : *pages) ids.push_back(t.dialog);
    }
    std::vector<DialogTemplate> windows;
    for (std::uint16_t id : ids) {
      const auto t = Resources().dialog(id);
      ASSERT_TRUE(t) << id;
      windows.push_back(*t);
    }
    for (const CEntry& e : ce->entries) {
      if (e.type == CT_LINK) continue;
      EXPECT_TRUE(std::any_of(windows.begin(), windows.end(),
                              [&](const DialogTemplate& t) { return t.item(e.id) != nullptr; }))
          << dialog << "/" << e.id;
    }
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
    EXPECT_EQ(link->storage, CS_NONE);
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

TEST(SystemResources, GridColumns) {
  struct Col {
    const char* heading;
    std::uint16_t type, width, length;
  };
  struct G {
    std::uint16_t id;
    std::vector<Col> cols;
    std::size_t rowBytes;
  };
  const G grids[] = {
      {1011, {{"Property", 2, 14, 61}, {"Settings", 2, 30, 256}}, 61 + 256},
      {1012, {{"User Name", 2, 33, 33}, {"Machine Name", 2, 33, 33}}, 33 + 33},
      {1013, {{"User Name", 2, 15, 33}, {"Request", 2, 15, 61}, {"Details", 2, 9, 9}}, 33 + 61 + 9},
  };
  for (const G& g : grids) {
    SCOPED_TRACE(g.id);
    const auto grid = Resources().grid(g.id);
    ASSERT_TRUE(grid);
    EXPECT_FALSE(grid->spareByte);
    EXPECT_EQ(grid->rowBytes(), g.rowBytes);
    ASSERT_EQ(grid->columns.size(), g.cols.size());
    for (std::size_t i = 0; i < g.cols.size(); ++i) {
      const GridColumn& c = grid->columns[i];
      SCOPED_TRACE(g.cols[i].heading);
      EXPECT_EQ(c.heading, g.cols[i].heading);
      EXPECT_EQ(c.valueType, g.cols[i].type);
      EXPECT_EQ(c.id, 0);
      EXPECT_EQ(c.reserved, 0);
      EXPECT_EQ(c.displayWidth, g.cols[i].width);
      EXPECT_EQ(c.length, g.cols[i].length);
      EXPECT_EQ(c.decimals, 0);
      EXPECT_EQ(c.columnFlags, 0);
      EXPECT_EQ(c.gridFlags, 0x0800);
      EXPECT_EQ(c.style, 0x80);
      EXPECT_EQ(c.editorClass, "@EDIT");
      EXPECT_EQ(c.reservedText, "");
    }
  }
  const auto bitmaps = Resources().gridBitmap(1011);
  ASSERT_TRUE(bitmaps);
  EXPECT_EQ(*bitmaps, (std::vector<std::uint16_t>{1, 0, 0, 0, 0}));
}

TEST(SystemResources, Bitmaps) {
  const std::pair<std::uint16_t, std::int32_t> sizes[] = {{1, 16}, {2, 18}, {3, 18}, {4, 18}};
  for (const auto& [id, side] : sizes) {
    SCOPED_TRACE(id);
    const Resource* r = Resources().file().find(RT_BITMAP, id);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->language, LANG_EN_GB);
    ASSERT_GE(r->data.size(), 40u + 16 * 4);
    auto u16 = [&](std::size_t at) {
      return static_cast<std::uint16_t>(r->data[at] | r->data[at + 1] << 8);
    };
    auto u32 = [&](std::size_t at) {
      return static_cast<std::uint32_t>(u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16);
    };
    EXPECT_EQ(u32(0), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<std::int32_t>(u32(4)), side);
    EXPECT_EQ(static_cast<std::int32_t>(u32(8)), side);
    EXPECT_EQ(u16(14), 4);  // 16 colours
    const std::size_t stride = (side * 4 + 31) / 32 * 4;
    EXPECT_EQ(r->data.size(), 40u + 16 * 4 + stride * side);
  }
}

TEST(SystemResources, LanguageIsEnglishUk) {
  const std::vector<std::pair<const char*, std::uint16_t>> named = {
      {"DENTRY", 3628}, {"DENTRY", 3629}, {"DENTRY", 3630}, {"DENTRY", 3634}, {"DENTRY", 3635},
      {"DENTRY", 3636}, {"CENTRY", 1028}, {"CENTRY", 1030}, {"CENTRY", 1034}, {"CENTRY", 1035},
      {"CENTRY", 1036}, {"MENTRY", 1028}, {"MENTRY", 1033}, {"MENTRY", 1034}, {"TENTRY", 1005},
      {"TENTRY", 1006}, {"GRID", 1011},   {"GRID", 1012},   {"GRID", 1013},   {"GRIDBITMAP", 1011}};
  for (const auto& [type, id] : named) {
    const Resource* r = Resources().file().find(type, id);
    ASSERT_NE(r, nullptr) << type << " " << id;
    EXPECT_EQ(r->language, LANG_EN_GB) << type << " " << id;
  }
  for (std::uint16_t dialog : kDialogs) {
    if (dialog == 3628) continue;  // no template
    const Resource* r = Resources().file().find(RT_DIALOG, dialog);
    ASSERT_NE(r, nullptr) << dialog;
    EXPECT_EQ(r->language, LANG_EN_GB) << dialog;
  }
}

}  // namespace
