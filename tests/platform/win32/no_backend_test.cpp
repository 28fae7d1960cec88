// The common part alone, with no backend linked: windows, queue and presenting
// work without a screen; nothing that needs a user can wait for one.
#include <gtest/gtest.h>

#include <cstdint>

#include "win32_present.h"
#include "win_user.h"

namespace {

INT_PTR EndAtOnce(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(NoBackendTest, WindowsPresentsAndModalCallsWithoutAScreen) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "Bare";
  ASSERT_NE(RegisterClassA(&cls), 0);
  HWND window = CreateWindowExA(0, "Bare", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const uint32_t pixel = 0x00123456;
  EXPECT_TRUE(PresentFrameToWindow(window, &pixel, 1, 1, 4));
  EXPECT_EQ(MessageBoxA(window, "x", nullptr, MB_YESNO), IDYES);  // the default button, at once
  ASSERT_TRUE(RegisterResource(DIALOG(7, 0, 0, 20, 20, STYLE(WS_POPUP), CAPTION("d"), FONT(9, "x"), {})));
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(7), window, EndAtOnce, 0), -1);
  EXPECT_TRUE(IsWindowEnabled(window));
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);  // would block forever
  EXPECT_TRUE(DestroyWindow(window));
}

}  // namespace
