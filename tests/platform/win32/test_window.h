// A window whose procedure records every message, and resources like the ones
// a program registers.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "win32_headless.h"
#include "win32_present.h"
#include "win_user.h"

struct Recorded {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingWindowTest : public ::testing::Test {
 protected:
  static std::vector<Recorded>& Log() {
    static std::vector<Recorded> log;
    return log;
  }
  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({hwnd, message, wParam, lParam});
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  void SetUp() override {
    Win32TestReset();
    Log().clear();
    ASSERT_TRUE(RegisterResource(MENU(101, {
        POPUP("ファイル", {MENUITEM("Go/Stop(F4)", 40004), MENUITEM(SEPARATOR), MENUITEM("閉じる(ESC)", 40001)}),
        POPUP("表示", {MENUITEM("ソリッド 's'", 40006, MF_CHECKED), MENUITEM("ワイヤーフレーム 'w'", 40007),
                       MENUITEM("グリッド 'g'", 40011, MF_CHECKED | MF_GRAYED)}),
    })));
    ASSERT_TRUE(RegisterResource(ACCELERATORS(109, {{'S', 40006, FVIRTKEY | FNOINVERT},
                                                    {'W', 40007, FVIRTKEY | FNOINVERT},
                                                    {'G', 40011, FVIRTKEY | FNOINVERT},
                                                    {VK_F4, 40004, FVIRTKEY | FNOINVERT}})));
    WNDCLASSA cls{};
    cls.style = CS_VREDRAW;
    cls.lpfnWndProc = Procedure;
    cls.lpszMenuName = MAKEINTRESOURCEA(101);
    cls.lpszClassName = "TestWindow";
    ASSERT_NE(RegisterClassA(&cls), 0);
    window = CreateWindowExA(0, "TestWindow", "Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                             646, 505, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    accelerators = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(109));
    ASSERT_NE(accelerators, nullptr);
  }

  // The loop of a program that never blocks: drain everything pending.
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
      GetMessageA(&msg, nullptr, 0, 0);
      TranslateAcceleratorA(window, accelerators, &msg);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  std::vector<Recorded> Messages(UINT message) const {
    std::vector<Recorded> found;
    for (const Recorded& r : Log())
      if (r.message == message) found.push_back(r);
    return found;
  }

  HWND window = nullptr;
  HACCEL accelerators = nullptr;
};
