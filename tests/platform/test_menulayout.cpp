// Menu labels, rows, hit testing, keys and placement, without a server.
#include <gtest/gtest.h>

#include <string>

#include "graphics/IPopupMenu.h"
#include "platform/menulayout.h"

namespace
{
// Every character 7 pixels wide.
int Width7(const std::string& s) { return 7 * (int)s.size(); }

// Items as the menus in these cases have them: a, separator, b (disabled),
// c (indented, checked), sub (a submenu), d.
struct SampleMenu
{
  IPopupMenu sub;
  IPopupMenu menu;
  SampleMenu()
  {
    sub.AddItem("inner");
    menu.AddItem("a");
    menu.AddSeparator();
    menu.AddItem("b", -1, IPopupMenuItem::kItemDisabled);
    menu.AddItem("c", -1, IPopupMenuItem::kItemIndented | IPopupMenuItem::kItemChecked);
    menu.AddItem("sub", &sub);
    menu.AddItem("d");
  }
};
} // namespace

TEST(MenuLabel, PrefixStylesNumberEveryItem)
{
  struct Case
  {
    int prefix;
    int index;
    const char* label;
  };
  const Case cases[] = {
    {0, 0, "a"},        {0, 5, "d"},           {1, 0, "1: a"},       {1, 5, "6: d"},
    {2, 4, "05: sub"},  {2, 3, "04: c"},       {3, 0, "001: a"},     {3, 5, "006: d"},
    {2, 1, "02: "},     // the separator counts, its text is empty
    {2, 9, ""},         // no such item
  };
  SampleMenu s;
  for (const Case& c : cases)
  {
    s.menu.SetPrefix(c.prefix);
    EXPECT_EQ(MenuLabel(s.menu, c.index), c.label) << "prefix " << c.prefix << " item " << c.index;
  }
}

TEST(MenuLabel, FifthItemWithPrefixTwo)
{
  IPopupMenu menu;
  menu.SetPrefix(2);
  for (const char* t : {"one", "two", "three", "four", "five", "six"}) menu.AddItem(t);
  EXPECT_EQ(MenuLabel(menu, 4), "05: five");
  menu.SetPrefix(3);
  EXPECT_EQ(MenuLabel(menu, 5), "006: six");
}

TEST(MenuLayout, RowsKindsAndRectangles)
{
  SampleMenu s;
  MenuMetrics m;
  const MenuLayout layout(s.menu, m, Width7);
  ASSERT_EQ(layout.Count(), 6);

  struct Expect
  {
    MenuRow::Kind kind;
    bool selectable, choosable, checked, indented;
  };
  const Expect rows[] = {
    {MenuRow::kItem, true, true, false, false},       {MenuRow::kSeparator, false, false, false, false},
    {MenuRow::kItem, false, false, false, false},     {MenuRow::kItem, true, true, true, true},
    {MenuRow::kSubmenu, true, false, false, false},   {MenuRow::kItem, true, true, false, false},
  };
  int y = m.border;
  for (int i = 0; i < layout.Count(); ++i)
  {
    const MenuRow& r = layout.Row(i);
    EXPECT_EQ(r.kind, rows[i].kind) << i;
    EXPECT_EQ(r.Selectable(), rows[i].selectable) << i;
    EXPECT_EQ(r.Choosable(), rows[i].choosable) << i;
    EXPECT_EQ(r.checked, rows[i].checked) << i;
    EXPECT_EQ(r.indented, rows[i].indented) << i;
    const int h = r.kind == MenuRow::kSeparator ? m.sepH : m.rowH;
    EXPECT_EQ(r.rect, IRECT(m.border, y, layout.Width() - m.border, y + h)) << i;
    y += h;
  }
  EXPECT_EQ(layout.Height(), y + m.border);
  EXPECT_EQ(layout.Row(4).submenu, &s.sub);
  // Indentation moves the text right by one level.
  EXPECT_EQ(layout.TextLeft(3) - layout.TextLeft(0), m.indentW);
}

TEST(MenuLayout, WidthFitsTheWidestLabel)
{
  MenuMetrics m;
  IPopupMenu menu;
  menu.AddItem("x");
  EXPECT_EQ(MenuLayout(menu, m, Width7).Width(), m.minW);
  menu.AddItem("a label wide enough to matter");
  const int text = Width7("a label wide enough to matter");
  EXPECT_EQ(MenuLayout(menu, m, Width7).Width(), 2 * m.border + m.checkW + text + m.padR + m.arrowW);
  // Numbering widens it; so does indentation.
  menu.SetPrefix(3);
  EXPECT_EQ(MenuLayout(menu, m, Width7).Width(), 2 * m.border + m.checkW + text + 7 * 5 + m.padR + m.arrowW);
  menu.SetPrefix(0);
  menu.GetItem(1)->SetIndented(true);
  EXPECT_EQ(MenuLayout(menu, m, Width7).Width(), 2 * m.border + m.checkW + text + m.indentW + m.padR + m.arrowW);
}

TEST(MenuLayout, EmptyMenuStillHasASize)
{
  IPopupMenu menu;
  const MenuLayout layout(menu, MenuMetrics(), Width7);
  EXPECT_EQ(layout.Count(), 0);
  EXPECT_GT(layout.Width(), 0);
  EXPECT_GT(layout.Height(), 0);
  EXPECT_EQ(layout.HitTest(5, 5), -1);
  EXPECT_EQ(layout.Next(-1, 1), -1);
  int h = -1;
  EXPECT_EQ(layout.Key(MenuKey::kDown, &h, true), MenuStep::kNone);
  EXPECT_EQ(layout.Key(MenuKey::kConfirm, &h, true), MenuStep::kNone);
  EXPECT_EQ(layout.Key(MenuKey::kEscape, &h, true), MenuStep::kDismiss);
}

TEST(MenuLayout, HitTest)
{
  SampleMenu s;
  MenuMetrics m;
  const MenuLayout layout(s.menu, m, Width7);
  const int b = m.border, w = layout.Width();
  struct Case
  {
    int x, y, row;
  };
  const Case cases[] = {
    {b, b, 0},                            // first pixel of the first row
    {w - b - 1, b + m.rowH - 1, 0},       // its last pixel
    {w / 2, b + m.rowH, 1},               // the separator
    {w / 2, b + m.rowH + m.sepH, 2},      // the disabled item below it
    {w / 2, layout.Height() - b - 1, 5},  // last row
    {0, b, -1},                           // the frame
    {w - 1, b, -1},
    {w / 2, layout.Height() - 1, -1},
    {w / 2, -3, -1},                      // outside
    {w + 10, b + 2, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(layout.HitTest(c.x, c.y), c.row) << c.x << "," << c.y;
}

TEST(MenuLayout, KeysSkipSeparatorsAndDisabledAndWrap)
{
  SampleMenu s;
  const MenuLayout layout(s.menu, MenuMetrics(), Width7);
  // Selectable rows: 0 (a), 3 (c), 4 (sub), 5 (d).
  struct Case
  {
    MenuKey key;
    int from;
    bool isTop;
    MenuStep step;
    int to;
  };
  const Case cases[] = {
    {MenuKey::kDown, -1, true, MenuStep::kMoved, 0},
    {MenuKey::kDown, 0, true, MenuStep::kMoved, 3},   // over the separator and b
    {MenuKey::kDown, 3, true, MenuStep::kMoved, 4},
    {MenuKey::kDown, 5, true, MenuStep::kMoved, 0},   // wraps to the top
    {MenuKey::kUp, -1, true, MenuStep::kMoved, 5},
    {MenuKey::kUp, 3, true, MenuStep::kMoved, 0},
    {MenuKey::kUp, 0, true, MenuStep::kMoved, 5},     // wraps to the bottom
    {MenuKey::kRight, 4, true, MenuStep::kOpenSubmenu, 4},
    {MenuKey::kRight, 0, true, MenuStep::kNone, 0},
    {MenuKey::kConfirm, 4, true, MenuStep::kOpenSubmenu, 4},
    {MenuKey::kConfirm, 3, true, MenuStep::kChoose, 3},
    {MenuKey::kConfirm, -1, true, MenuStep::kNone, -1},
    {MenuKey::kConfirm, 2, true, MenuStep::kNone, 2},  // disabled
    {MenuKey::kConfirm, 1, true, MenuStep::kNone, 1},  // separator
    {MenuKey::kLeft, 0, true, MenuStep::kNone, 0},
    {MenuKey::kLeft, 0, false, MenuStep::kCloseLevel, 0},
    {MenuKey::kEscape, 3, true, MenuStep::kDismiss, 3},
    {MenuKey::kEscape, 3, false, MenuStep::kCloseLevel, 3},
  };
  for (const Case& c : cases)
  {
    int h = c.from;
    EXPECT_EQ(layout.Key(c.key, &h, c.isTop), c.step) << (int)c.key << " from " << c.from;
    EXPECT_EQ(h, c.to) << (int)c.key << " from " << c.from;
  }
}

TEST(MenuLayout, NothingSelectableOrOneItem)
{
  IPopupMenu dead;
  dead.AddSeparator();
  dead.AddItem("x", -1, IPopupMenuItem::kItemDisabled);
  const MenuLayout none(dead, MenuMetrics(), Width7);
  int h = -1;
  EXPECT_EQ(none.Key(MenuKey::kDown, &h, true), MenuStep::kNone);
  EXPECT_EQ(none.Key(MenuKey::kUp, &h, true), MenuStep::kNone);
  EXPECT_EQ(h, -1);

  IPopupMenu one;
  one.AddItem("only");
  const MenuLayout single(one, MenuMetrics(), Width7);
  h = -1;
  EXPECT_EQ(single.Key(MenuKey::kDown, &h, true), MenuStep::kMoved);
  EXPECT_EQ(h, 0);
  // Already there: nothing moves.
  EXPECT_EQ(single.Key(MenuKey::kDown, &h, true), MenuStep::kNone);
  EXPECT_EQ(h, 0);
}

TEST(MenuLayout, SubmenuRowIgnoresItemFlags)
{
  IPopupMenu sub, menu;
  menu.AddItem(new IPopupMenuItem("s", IPopupMenuItem::kItemDisabled | IPopupMenuItem::kItemSeparator, &sub));
  const MenuLayout layout(menu, MenuMetrics(), Width7);
  EXPECT_EQ(layout.Row(0).kind, MenuRow::kSubmenu);
  EXPECT_TRUE(layout.Row(0).Selectable());
  EXPECT_EQ(layout.Row(0).label, "s");
}

TEST(MenuPlacement, BelowTheAreaFlippingAtTheEdges)
{
  const int sw = 1000, sh = 800, w = 200, h = 300;
  struct Case
  {
    const char* what;
    IRECT area;
    int x, y;
  };
  const Case cases[] = {
    {"room below", IRECT(100, 100, 180, 130), 100, 130},
    {"bottom edge: above", IRECT(100, 600, 180, 630), 100, 300},
    {"right edge: right-aligned", IRECT(900, 100, 980, 130), 780, 130},
    {"bottom-right corner: both", IRECT(900, 700, 980, 730), 780, 400},
    {"no room either way, more below: kept on", IRECT(100, 150, 180, 600), 100, 500},
    {"no room either way, more above: kept on", IRECT(100, 250, 180, 600), 100, 0},
    {"off the screen to the left", IRECT(-50, 100, 10, 130), 0, 130},
    {"exactly fits below", IRECT(0, 470, 50, 500), 0, 500},
  };
  for (const Case& c : cases)
  {
    int x = -1, y = -1;
    MenuPlaceBelow(c.area, w, h, sw, sh, &x, &y);
    EXPECT_EQ(x, c.x) << c.what;
    EXPECT_EQ(y, c.y) << c.what;
  }
  // A menu taller than the screen starts at its top.
  int x = -1, y = -1;
  MenuPlaceBelow(IRECT(10, 10, 20, 20), w, 2000, sw, sh, &x, &y);
  EXPECT_EQ(y, 0);
}

TEST(MenuPlacement, SubmenuRightOfItsRowFlippingLeft)
{
  const int sw = 1000, sh = 800, w = 150, h = 200, border = 1;
  struct Case
  {
    const char* what;
    IRECT row;
    int parentL, parentR;
    int x, y;
  };
  const Case cases[] = {
    {"room to the right", IRECT(101, 201, 299, 223), 100, 300, 300, 200},
    {"right edge: to the left", IRECT(801, 201, 949, 223), 800, 950, 650, 200},
    {"bottom edge: moved up", IRECT(101, 701, 299, 723), 100, 300, 300, 600},
    {"no room either side: kept on", IRECT(1, 1, 949, 23), 0, 950, 850, 0},
  };
  for (const Case& c : cases)
  {
    int x = -1, y = -1;
    MenuPlaceSubmenu(c.row, c.parentL, c.parentR, border, w, h, sw, sh, &x, &y);
    EXPECT_EQ(x, c.x) << c.what;
    EXPECT_EQ(y, c.y) << c.what;
  }
}
