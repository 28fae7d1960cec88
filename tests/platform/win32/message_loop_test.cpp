// The queue and loop: accelerators, key translation, order of retrieval,
// closing, activation.
#include "test_window.h"

namespace {

class MessageLoopTest : public RecordingWindowTest {};

TEST_F(MessageLoopTest, AcceleratorKeySendsCommandAndStillTheKeyMessages) {
  struct Case {
    UINT vk;
    WORD command;  // 0: no command expected
    WPARAM character;  // 0: no WM_CHAR expected
  };
  const Case cases[] = {{'S', 40006, 's'}, {'W', 40007, 'w'}, {VK_F4, 40004, 0}, {'Q', 0, 'q'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    Log().clear();
    Win32TestKeyPress(window, c.vk);
    Pump();
    auto commands = Messages(WM_COMMAND);
    if (c.command) {
      ASSERT_EQ(commands.size(), 1u);
      EXPECT_EQ(LOWORD(commands[0].wParam), c.command);
      EXPECT_EQ(HIWORD(commands[0].wParam), 1);  // from an accelerator
    } else {
      EXPECT_TRUE(commands.empty());
    }
    auto downs = Messages(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, c.vk);
    EXPECT_EQ(Messages(WM_KEYUP).size(), 1u);
    auto chars = Messages(WM_CHAR);
    if (c.character) {
      ASSERT_EQ(chars.size(), 1u);
      EXPECT_EQ(chars[0].wParam, c.character);
    } else {
      EXPECT_TRUE(chars.empty());
    }
  }
}

TEST_F(MessageLoopTest, AcceleratorNeedsExactModifiersAndAnEnabledItem) {
  Win32TestKey(window, VK_SHIFT, true);
  Win32TestKeyPress(window, 'S');
  Win32TestKey(window, VK_SHIFT, false);
  Pump();
  EXPECT_TRUE(Messages(WM_COMMAND).empty());
  auto chars = Messages(WM_CHAR);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('S'));

  Log().clear();
  Win32TestKeyPress(window, 'G');  // its menu item is grayed
  Pump();
  EXPECT_TRUE(Messages(WM_COMMAND).empty());
}

TEST_F(MessageLoopTest, KeyMessageParameters) {
  Log().clear();
  Win32TestKey(window, VK_LEFT, true);
  Win32TestKey(window, VK_LEFT, true);  // auto-repeat
  Win32TestKey(window, VK_LEFT, false);
  Win32TestKey(window, VK_MENU, true);
  Win32TestKeyPress(window, 'X');
  Win32TestKey(window, VK_MENU, false);
  Win32TestKey(window, VK_CONTROL, true);
  Win32TestKeyPress(window, 'C');
  Win32TestKey(window, VK_CONTROL, false);
  Pump();
  auto downs = Messages(WM_KEYDOWN);
  ASSERT_GE(downs.size(), 2u);
  const DWORD first = static_cast<DWORD>(downs[0].lParam), repeat = static_cast<DWORD>(downs[1].lParam);
  EXPECT_EQ((first >> 16) & 0xFF, 0x4Bu);  // scan code of the left arrow
  EXPECT_EQ(first & (1u << 24), 1u << 24);  // an extended key
  EXPECT_EQ(first & (1u << 30), 0u);        // was up before
  EXPECT_EQ(repeat & (1u << 30), 1u << 30);  // was already down
  auto ups = Messages(WM_KEYUP);
  ASSERT_FALSE(ups.empty());
  EXPECT_EQ(static_cast<DWORD>(ups[0].lParam) & (1u << 31), 1u << 31);
  // With Alt held the key is a system key; with Ctrl it types a control character.
  auto sysDowns = Messages(WM_SYSKEYDOWN);
  ASSERT_EQ(sysDowns.size(), 1u);
  EXPECT_EQ(sysDowns[0].wParam, static_cast<WPARAM>('X'));
  auto sysChars = Messages(WM_SYSCHAR);
  ASSERT_EQ(sysChars.size(), 1u);
  EXPECT_EQ(sysChars[0].wParam, static_cast<WPARAM>('x'));
  auto chars = Messages(WM_CHAR);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, 3u);
}

TEST_F(MessageLoopTest, PointerMessages) {
  Pump();
  Log().clear();
  Win32TestMouseMove(window, 4, 2);
  Win32TestMouseButton(window, 0, true);
  Win32TestWheel(window, -1);
  Win32TestMouseButton(window, 0, false);
  Pump();
  auto downs = Messages(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  auto wheels = Messages(WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -WHEEL_DELTA);
  EXPECT_EQ(LOWORD(wheels[0].wParam) & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), GET_X_LPARAM(Messages(WM_MOUSEMOVE).back().lParam));
  EXPECT_EQ(Messages(WM_LBUTTONUP).size(), 1u);
}

TEST_F(MessageLoopTest, EscapeIsAKeyMessageOnly) {
  Log().clear();
  Win32TestKeyPress(window, VK_ESCAPE);
  Pump();
  auto downs = Messages(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].wParam, VK_ESCAPE);
  EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, 0x01);  // scan code
  EXPECT_TRUE(Messages(WM_COMMAND).empty());
}

TEST_F(MessageLoopTest, CloseButtonGivesCloseThenDestroy) {
  Log().clear();
  Win32TestClose(window);
  Pump();
  std::vector<UINT> order;
  for (const Recorded& r : Log())
    if (r.message == WM_CLOSE || r.message == WM_DESTROY || r.message == WM_NCDESTROY) order.push_back(r.message);
  EXPECT_EQ(order, (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_FALSE(PresentFrameToWindow(window, "xxxx", 1, 1, 4));
}

TEST_F(MessageLoopTest, RetrievalOrderPostedThenQuitThenPaint) {
  Pump();  // the first paint after showing
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));

  InvalidateRect(window, nullptr, FALSE);
  PostMessageA(window, WM_USER + 1, 1, 0);
  PostMessageA(window, WM_USER + 2, 2, 0);
  PostQuitMessage(7);

  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1);  // still there
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_USER + 1);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_USER + 2);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);  // peeking leaves it for the loop's test
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);

  // WM_PAINT comes last and stays until the window is validated.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessageA(&msg);  // the default procedure validates
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  // Nothing can ever arrive on a desktop without events: GetMessage fails rather than hang.
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(MessageLoopTest, ShowingPaintsOnceAndUpdateWindowSendsAtOnce) {
  Pump();
  EXPECT_EQ(Messages(WM_PAINT).size(), 1u);
  Log().clear();
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  EXPECT_EQ(Messages(WM_PAINT).size(), 1u);  // sent, not queued
  UpdateWindow(window);
  EXPECT_EQ(Messages(WM_PAINT).size(), 1u);  // nothing left to paint
}

TEST_F(MessageLoopTest, PresentingKeepsTheFrameAndNeverAsksForPaint) {
  Pump();
  Log().clear();
  // Two rows of two pixels in a pitch of 12 bytes; the padding is not copied.
  const uint32_t rows[] = {0x00FF0000, 0x0000FF00, 0xDEADBEEF, 0x000000FF, 0x00FFFFFF, 0xDEADBEEF};
  ASSERT_TRUE(PresentFrameToWindow(window, rows, 2, 2, 12));
  Pump();
  EXPECT_TRUE(Messages(WM_PAINT).empty());
  UINT w = 0, h = 0;
  std::vector<uint32_t> pixels;
  uint64_t serial = 0;
  ASSERT_TRUE(Win32TestGetFrame(window, &w, &h, &pixels, &serial));
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(h, 2u);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF}));
  EXPECT_EQ(serial, 1u);

  EXPECT_FALSE(PresentFrameToWindow(window, rows, 2, 2, 7));        // pitch shorter than a row
  EXPECT_FALSE(PresentFrameToWindow(window, nullptr, 2, 2, 8));
  EXPECT_FALSE(PresentFrameToWindow(window, rows, 0, 2, 8));
  EXPECT_FALSE(PresentFrameToWindow(window, rows, 100000, 1, 400000));
  EXPECT_FALSE(PresentFrameToWindow(reinterpret_cast<HWND>(0x1234), rows, 1, 1, 4));
}

TEST_F(MessageLoopTest, ActivationNoticesCarryTheMinimizedState) {
  Pump();
  EXPECT_EQ(GetForegroundWindow(), window);
  Log().clear();
  Win32TestActivate(window, false, true);  // minimised
  EXPECT_EQ(GetForegroundWindow(), nullptr);  // at once, before the loop runs
  Pump();
  auto notices = Messages(WM_ACTIVATE);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(LOWORD(notices[0].wParam), WA_INACTIVE);
  EXPECT_NE(HIWORD(notices[0].wParam), 0);

  Log().clear();
  Win32TestActivate(window, true);
  Pump();
  notices = Messages(WM_ACTIVATE);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, MAKEWPARAM(WA_ACTIVE, 0));
}

TEST_F(MessageLoopTest, OuterSizeLeavesTheClientAreaAndResizeSendsSize) {
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client.right, 646 - 2 * GetSystemMetrics(SM_CXDLGFRAME));
  EXPECT_EQ(client.bottom,
            505 - GetSystemMetrics(SM_CYCAPTION) - 2 * GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);

  Pump();
  Log().clear();
  Win32TestResize(window, 320, 200);
  Pump();
  auto sizes = Messages(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].lParam, MAKELPARAM(320, 200));
  EXPECT_EQ(Messages(WM_PAINT).size(), 1u);
}

TEST_F(MessageLoopTest, MenuChoiceSendsCommandUnlessGrayed) {
  Log().clear();
  Win32TestMenuCommand(window, 40001);
  Win32TestMenuCommand(window, 40011);  // grayed
  Win32TestMenuCommand(window, 12345);  // no such item
  Pump();
  auto commands = Messages(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(40001, 0));
}

TEST_F(MessageLoopTest, ClassAndWindowErrors) {
  WNDCLASSA cls{};
  EXPECT_EQ(RegisterClassA(nullptr), 0);
  EXPECT_EQ(RegisterClassA(&cls), 0);  // no procedure, no name
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "testwindow";  // names ignore case: already taken
  EXPECT_EQ(RegisterClassA(&cls), 0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowExA(0, "TestWindow", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  RECT r;
  EXPECT_FALSE(GetClientRect(reinterpret_cast<HWND>(0x999), &r));
  EXPECT_FALSE(DestroyWindow(nullptr));
}

}  // namespace
