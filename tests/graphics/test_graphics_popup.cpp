// Popup menus: insertion rule, prefixes, flags, check marks and submenus.
#include <gtest/gtest.h>

#include <string>

#include "graphics/IPopupMenu.h"

namespace {
std::string Texts(const IPopupMenu& m)
{
  std::string s;
  for (int i = 0; i < m.GetNItems(); ++i) s += std::string(i ? "," : "") + m.GetItemText(i);
  return s;
}
}  // namespace

TEST(IPopupMenuTest, StartsEmpty)
{
  IPopupMenu m;
  EXPECT_EQ(m.GetNItems(), 0);
  EXPECT_EQ(m.GetPrefix(), 0);
  EXPECT_EQ(m.GetChosenItemIdx(), -1);
  EXPECT_EQ(m.GetItem(0), nullptr);
  EXPECT_STREQ(m.GetItemText(0), "");
}

TEST(IPopupMenuTest, InsertionRule)
{
  struct Case { int index; const char* expect; };
  const Case cases[] = {
    {-1, "a,b,x"}, {5, "a,b,x"}, {2, "a,b,x"}, {1, "a,x,b"}, {0, "x,a,b"}, {-7, "x,a,b"},
  };
  for (const Case& c : cases)
  {
    IPopupMenu m;
    m.AddItem("a");
    m.AddItem("b");
    IPopupMenuItem* item = m.AddItem("x", c.index, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(Texts(m), c.expect) << "index " << c.index;
  }
}

TEST(IPopupMenuTest, ItemFormsAndSeparators)
{
  IPopupMenu sub;
  sub.AddItem("deep");
  IPopupMenu m;
  m.AddItem("plain", -1, IPopupMenuItem::kItemDisabled | IPopupMenuItem::kItemIndented);
  m.AddItem("sub at 0", 0, &sub);
  m.AddItem("sub appended", &sub);
  m.AddSeparator(1);
  m.AddItem(new IPopupMenuItem("owned", IPopupMenuItem::kItemChecked), 99);

  ASSERT_EQ(m.GetNItems(), 5);
  EXPECT_EQ(Texts(m), "sub at 0,,plain,sub appended,owned");
  EXPECT_EQ(m.GetItem(0)->GetSubmenu(), &sub);
  EXPECT_EQ(m.GetItem(0)->GetFlags(), 0);
  EXPECT_TRUE(m.GetItem(1)->GetIsSeparator());
  EXPECT_FALSE(m.GetItem(2)->GetEnabled());
  EXPECT_TRUE(m.GetItem(2)->GetIndented());
  EXPECT_EQ(m.GetItem(2)->GetSubmenu(), nullptr);
  EXPECT_EQ(m.GetItem(3)->GetSubmenu(), &sub);
  EXPECT_TRUE(m.IsItemChecked(4));
  EXPECT_EQ(m.AddItem((IPopupMenuItem*)nullptr), nullptr);
  EXPECT_EQ(m.GetNItems(), 5);
}

TEST(IPopupMenuTest, PrefixesAcceptOnlyZeroToThree)
{
  IPopupMenu m;
  for (int i = 0; i < 5; ++i) m.AddItem("x");
  struct Case { int set; int keep; const char* fifth; };
  const Case cases[] = {{2, 2, "05: "}, {4, 2, "05: "}, {-1, 2, "05: "}, {1, 1, "5: "}, {3, 3, "005: "}, {0, 0, ""}};
  for (const Case& c : cases)
  {
    m.SetPrefix(c.set);
    EXPECT_EQ(m.GetPrefix(), c.keep) << c.set;
    char prefix[16];
    m.GetItemPrefix(4, prefix, sizeof(prefix));
    EXPECT_STREQ(prefix, c.fifth) << c.set;
  }
}

TEST(IPopupMenuTest, CheckMarks)
{
  IPopupMenu m;
  m.AddItem("a", -1, IPopupMenuItem::kItemDisabled);
  m.AddItem("b");
  m.AddItem("c");

  EXPECT_TRUE(m.CheckItem(0, true));
  EXPECT_EQ(m.GetItem(0)->GetFlags(), IPopupMenuItem::kItemDisabled | IPopupMenuItem::kItemChecked);
  EXPECT_FALSE(m.CheckItem(3, true));  // past the end: nothing changes
  EXPECT_FALSE(m.IsItemChecked(3));
  EXPECT_FALSE(m.IsItemChecked(-1));

  m.CheckItemAlone(2);
  EXPECT_FALSE(m.IsItemChecked(0));
  EXPECT_FALSE(m.IsItemChecked(1));
  EXPECT_TRUE(m.IsItemChecked(2));
  EXPECT_EQ(m.GetItem(0)->GetFlags(), IPopupMenuItem::kItemDisabled);  // other bits kept

  m.CheckItemAlone(-1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(m.IsItemChecked(i)) << i;

  m.GetItem(1)->SetChecked(true);
  EXPECT_TRUE(m.IsItemChecked(1));
  m.GetItem(1)->SetChecked(false);
  EXPECT_EQ(m.GetItem(1)->GetFlags(), 0);
}

TEST(IPopupMenuTest, ChosenIndexIsSetByThePlatform)
{
  IPopupMenu m;
  m.AddItem("a");
  m.SetChosenItemIdx(0);
  EXPECT_EQ(m.GetChosenItemIdx(), 0);
}
