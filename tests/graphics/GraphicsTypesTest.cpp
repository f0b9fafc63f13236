// Popup menus and the headless context's menu script.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

using ::testing::ElementsAre;

TEST(PopupMenuTest, NumberingAndIdsFollowTheNativeMenuOrder) {
  PopupMenu numbered(PopupMenu::kTwoDigits), root, sub, loop;
  numbered.AddItem("first");
  numbered.AddSeparator();
  numbered.AddItem("second");
  EXPECT_EQ(numbered.ItemLabel(0), "01: first");
  EXPECT_EQ(numbered.ItemLabel(2), "03: second");
  for (const char* text : {"x", "y", "z"}) sub.AddItem(text);
  root.AddItem("a");
  root.AddItem("more", 0, &sub);
  root.AddItem("b");
  EXPECT_EQ(PopupMenu::ItemId(root, sub, 0), 3);  // the top menu takes 0..2 first
  EXPECT_EQ(PopupMenu::ChooseById(root, 4), &sub);
  EXPECT_EQ(sub.ChosenItem(), 1);
  EXPECT_EQ(PopupMenu::ChooseById(root, 2), &root);
  EXPECT_EQ(PopupMenu::ChooseById(root, 6), nullptr);
  loop.AddItem("again", 0, &loop);  // a menu inside itself ends the walk
  EXPECT_EQ(PopupMenu::ChooseById(loop, 1), nullptr);
}

TEST(HeadlessMenuTest, ScriptChoosesThroughSubmenusAndRefusesDisabledItems) {
  HeadlessGraphics graphics(nullptr, 10, 10);
  PopupMenu root, sub;
  sub.AddItem("x");
  sub.AddItem("gone", PopupMenuItem::kDisabled);
  root.AddItem("a");
  root.AddItem("more", 0, &sub);
  graphics.ScriptPopupChoice(std::vector<int>{1, 0});
  graphics.ScriptPopupChoice(std::vector<int>{1, 1});
  graphics.ScriptPopupChoice(7);
  EXPECT_EQ(graphics.ShowPopupMenu(root, Rect(1, 2, 3, 4)), &sub);
  EXPECT_EQ(sub.ChosenItem(), 0);
  EXPECT_EQ(graphics.ShowPopupMenu(root, Rect()), nullptr);
  EXPECT_EQ(graphics.ShowPopupMenu(root, Rect()), nullptr);
  EXPECT_EQ(graphics.ShowPopupMenu(root, Rect()), nullptr) << "an empty script dismisses";
  ASSERT_EQ(graphics.ShownMenus().size(), 4u);
  EXPECT_EQ(graphics.ShownMenus()[0].rect, Rect(1, 2, 3, 4));
  EXPECT_THAT(graphics.ShownMenus()[0].labels, ElementsAre("a", "more"));
}

}  // namespace
}  // namespace velmora::test
