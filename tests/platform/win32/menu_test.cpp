// Menus from resources: labels, check marks, item states; resource errors.
#include "test_window.h"

namespace {

class MenuTest : public RecordingWindowTest {};

TEST_F(MenuTest, WindowMenuComesFromTheClassResource) {
  HMENU menu = GetMenu(window);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  char text[64];
  EXPECT_GT(GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION), 0);
  EXPECT_STREQ(text, "表示");
  HMENU view = GetSubMenu(menu, 1);
  ASSERT_EQ(GetMenuItemCount(view), 3);
  EXPECT_EQ(GetMenuItemID(view, 1), 40007u);
  EXPECT_GT(GetMenuStringA(menu, 40007, text, sizeof text, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, "ワイヤーフレーム 'w'");
  EXPECT_EQ(GetMenuState(GetSubMenu(menu, 0), 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
}

TEST_F(MenuTest, CheckMarksChangeOnlyThroughCheckMenuItem) {
  HMENU menu = GetMenu(window);
  EXPECT_EQ(GetMenuState(menu, 40006, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(GetMenuState(menu, 40007, MF_BYCOMMAND) & MF_CHECKED, 0u);

  Win32TestMenuCommand(window, 40007);  // choosing an item does not check it
  Pump();
  EXPECT_EQ(GetMenuState(menu, 40007, MF_BYCOMMAND) & MF_CHECKED, 0u);

  EXPECT_EQ(CheckMenuItem(menu, 40006, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(menu, 40007, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(menu, 40006, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(menu, 40007, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(menu, 55555, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
  EXPECT_EQ(CheckMenuItem(nullptr, 40006, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));

  // Each window has its own copy: a second window starts from the resource's marks.
  HWND second = CreateWindowExA(0, "TestWindow", "2", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  EXPECT_EQ(GetMenuState(GetMenu(second), 40006, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
}

TEST_F(MenuTest, ResourcesThatCannotBeUsedAreRefused) {
  EXPECT_FALSE(RegisterResource(MENU(5, {})));
  EXPECT_FALSE(RegisterResource(MENU(5, {POPUP("empty", {})})));
  EXPECT_FALSE(RegisterResource(ACCELERATORS(5, {})));
  EXPECT_FALSE(RegisterResource(DIALOG(5, 0, 0, 0, 10, STYLE(WS_POPUP), CAPTION("x"), FONT(9, "x"), {})));
  EXPECT_FALSE(RegisterResource(ICON_IMAGE(5, 2, 2, {0, 0, 0})));
  EXPECT_FALSE(RegisterResource(HELPFILE("", "t", "x")));
  EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_TRUE(RegisterResource(ICON_IMAGE(107, 2, 2, {1, 2, 3, 4})));
  EXPECT_NE(LoadIconA(reinterpret_cast<HINSTANCE>(1), MAKEINTRESOURCEA(107)), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr);
}

}  // namespace
