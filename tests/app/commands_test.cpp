// The window procedure: the command table with its check marks, the
// accelerators, the dialogs and help, the ways to quit, and activation.
#include <map>

#include "app/input_devices.h"
#include "app/trampolines.h"
#include "app_fixture.h"

namespace apptest {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

TEST_F(AppTest, MenuStartsWithCameraSolidAndGridChecked) {
  Start();
  const HMENU menu = GetMenu(app->window);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  const char* const popups[] = {"ファイル", "表示", "ヘルプ"};
  const int itemCounts[] = {6, 8, 2};
  for (int i = 0; i < 3; ++i) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, popups[i]);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, i)), itemCounts[i]);
  }
  for (int command : {ID_CAMERA_VIEW, ID_FILL_SOLID, ID_GRID}) EXPECT_TRUE(Checked(command)) << command;
  for (int command : {ID_GO_STOP, ID_SATELLITE_VIEW, ID_FILL_WIREFRAME, ID_FILL_POINT}) {
    EXPECT_FALSE(Checked(command)) << command;
  }
}

// One accelerator key and what it leaves behind.
struct KeyCommandCase {
  std::vector<UINT> keys;
  int fillMode;
  int viewMode;
  bool gridVisible;
  bool simulationOn;
  std::vector<int> checked;  // exactly these of the seven checkable items
};

class KeyCommandTest : public AppTest, public ::testing::WithParamInterface<KeyCommandCase> {};

TEST_P(KeyCommandTest, SetsTheStateAndMovesTheCheckMarks) {
  Start();
  for (UINT key : GetParam().keys) PressKey(key);
  EXPECT_EQ(app->fillMode, GetParam().fillMode);
  EXPECT_EQ(app->viewMode, GetParam().viewMode);
  EXPECT_EQ(app->gridVisible, GetParam().gridVisible);
  EXPECT_EQ(app->simulationOn, GetParam().simulationOn);
  std::vector<int> checked;
  for (int command : {ID_GO_STOP, ID_FILL_SOLID, ID_FILL_WIREFRAME, ID_FILL_POINT, ID_CAMERA_VIEW, ID_SATELLITE_VIEW,
                      ID_GRID}) {
    if (Checked(command)) checked.push_back(command);
  }
  EXPECT_EQ(checked, GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(
    Accelerators, KeyCommandTest,
    ::testing::Values(
        KeyCommandCase{{'W'}, 2, 0, true, true, {ID_FILL_WIREFRAME, ID_CAMERA_VIEW, ID_GRID}},
        KeyCommandCase{{'P'}, 1, 0, true, true, {ID_FILL_POINT, ID_CAMERA_VIEW, ID_GRID}},
        KeyCommandCase{{'W', 'P', 'S'}, 0, 0, true, true, {ID_FILL_SOLID, ID_CAMERA_VIEW, ID_GRID}},
        KeyCommandCase{{'O'}, 0, 1, true, true, {ID_FILL_SOLID, ID_SATELLITE_VIEW, ID_GRID}},
        KeyCommandCase{{'O', 'C'}, 0, 0, true, true, {ID_FILL_SOLID, ID_CAMERA_VIEW, ID_GRID}},
        KeyCommandCase{{'G'}, 0, 0, false, true, {ID_FILL_SOLID, ID_CAMERA_VIEW}},
        KeyCommandCase{{'G', 'G'}, 0, 0, true, true, {ID_FILL_SOLID, ID_CAMERA_VIEW, ID_GRID}},
        // The check mark of Go/Stop means "stopped".
        KeyCommandCase{{VK_F4}, 0, 0, true, false, {ID_GO_STOP, ID_FILL_SOLID, ID_CAMERA_VIEW, ID_GRID}},
        KeyCommandCase{{VK_F4, VK_F4}, 0, 0, true, true, {ID_FILL_SOLID, ID_CAMERA_VIEW, ID_GRID}}));

TEST_F(AppTest, MenuCommandsWorkLikeTheirKeys) {
  Start();
  Win32TestMenuCommand(app->window, ID_FILL_WIREFRAME);
  Win32TestMenuCommand(app->window, ID_SATELLITE_VIEW);
  Win32TestMenuCommand(app->window, ID_GRID);
  Passes(1);
  EXPECT_EQ(app->fillMode, 2);
  EXPECT_EQ(app->viewMode, 1);
  EXPECT_FALSE(app->gridVisible);
  EXPECT_TRUE(Checked(ID_FILL_WIREFRAME));
  EXPECT_TRUE(Checked(ID_SATELLITE_VIEW));
  EXPECT_FALSE(Checked(ID_GRID));
}

TEST_F(AppTest, UnknownCommandsChangeNothing) {
  Start();
  SendMessageA(app->window, WM_COMMAND, 40014, 0);
  SendMessageA(app->window, WM_COMMAND, 0, 0);
  EXPECT_TRUE(app->running);
  EXPECT_THAT(Win32TestDialogs(), IsEmpty());
  EXPECT_TRUE(Checked(ID_FILL_SOLID));
}

// Records what reaches the window procedure, then hands it on unchanged.
std::vector<MSG> reached;
LRESULT CALLBACK RecordingProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  reached.push_back(MSG{hwnd, msg, wParam, lParam, 0, {}});
  return MainWindowProcedure(hwnd, msg, wParam, lParam);
}

TEST_F(AppTest, AnAcceleratorKeyAlsoArrivesAsKeyDownAndCharacterWhichChangeNothing) {
  Start();
  SetWindowLongPtrA(app->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProcedure));
  reached.clear();
  PressKey('G');

  bool command = false, keyDown = false, character = false;
  for (const MSG& m : reached) {
    command |= m.message == WM_COMMAND && LOWORD(m.wParam) == ID_GRID;
    keyDown |= m.message == WM_KEYDOWN && m.wParam == 'G';
    character |= m.message == WM_CHAR && (m.wParam == 'g' || m.wParam == 'G');
  }
  EXPECT_TRUE(command);
  EXPECT_TRUE(keyDown);
  EXPECT_TRUE(character);
  // The grid was toggled once, by the command alone.
  EXPECT_FALSE(app->gridVisible);
  EXPECT_FALSE(Checked(ID_GRID));
}

TEST_F(AppTest, FunctionKeysOpenTheDialogsAndHelp) {
  Start();
  Win32TestAnswerNextDialog({DialogStep::Press(IDCANCEL)});
  PressKey(VK_F2);
  Win32TestAnswerNextDialog({DialogStep::Press(IDCANCEL)});
  PressKey(VK_F5);
  Win32TestAnswerNextDialog({DialogStep::Press(IDOK)});
  Win32TestMenuCommand(app->window, ID_ABOUT);
  Passes(1);
  PressKey(VK_F1);

  const auto& dialogs = Win32TestDialogs();
  ASSERT_THAT(dialogs, SizeIs(3));
  EXPECT_EQ(dialogs[0].templateId, IDD_LAUNCH);
  EXPECT_EQ(dialogs[1].templateId, IDD_FRAME_TIME);
  EXPECT_EQ(dialogs[1].caption, "画面描画時間の変更");
  EXPECT_EQ(dialogs[2].templateId, IDD_ABOUT);
  EXPECT_EQ(dialogs[2].caption, "Kelvaneのバージョン情報");
  for (const DialogRecord& dialog : dialogs) {
    EXPECT_EQ(dialog.owner, app->window);
    EXPECT_FALSE(dialog.unanswered) << dialog.templateId;
  }
  ASSERT_THAT(Win32TestHelpShown(), SizeIs(1));
  EXPECT_EQ(Win32TestHelpShown()[0].fileName, "Kelvane.HLP");
  EXPECT_EQ(Win32TestHelpShown()[0].title, "Kelvaneのヘルプ");
  EXPECT_NE(Win32TestHelpShown()[0].text.find("発射速度 V"), std::string::npos);
}

TEST_F(AppTest, TheAboutBoxAlsoClosesFromItsTitleBar) {
  Start();
  Win32TestAnswerNextDialog({DialogStep::CloseButton()});
  SendMessageA(app->window, WM_COMMAND, ID_ABOUT, 0);
  ASSERT_THAT(Win32TestDialogs(), SizeIs(1));
  EXPECT_FALSE(Win32TestDialogs()[0].unanswered);
  EXPECT_TRUE(app->running);
}

TEST_F(AppTest, EscapeEndsTheLoopAndLeavesTheWindow) {
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
  Win32TestKeyPress(app->window, VK_ESCAPE);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(app->running);
  EXPECT_TRUE(IsWindow(app->window));
}

TEST_F(AppTest, CloseCommandEndsTheLoopAndDestroysTheWindow) {
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
  Win32TestMenuCommand(app->window, ID_CLOSE);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(app->running);
  EXPECT_FALSE(IsWindow(app->window));
}

TEST_F(AppTest, TheCloseButtonDestroysTheWindowAndEndsTheLoop) {
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
  Win32TestClose(app->window);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(IsWindow(app->window));
  EXPECT_EQ(keyboard, nullptr);
}

// WM_ACTIVATE decides on the whole wParam: only 0 releases the devices.
struct ActivateCase {
  WPARAM wParam;
  bool acquired;
};

class ActivateTest : public AppTest, public ::testing::WithParamInterface<ActivateCase> {};

TEST_P(ActivateTest, AcquiresOrReleasesBothDevices) {
  Start();
  Win32TestKey(app->window, VK_RIGHT, true);
  SendMessageA(app->window, WM_ACTIVATE, 0, 0);
  ASSERT_EQ(keyboard->ReadKey(), KeyNone);
  SendMessageA(app->window, WM_ACTIVATE, GetParam().wParam, 0);
  // An unacquired keyboard reads nothing, so the camera stays.
  EXPECT_EQ(keyboard->ReadKey(), GetParam().acquired ? KeyRight : KeyNone);
}

INSTANTIATE_TEST_SUITE_P(WParams, ActivateTest,
                         ::testing::Values(ActivateCase{0, false},
                                           ActivateCase{MAKEWPARAM(WA_ACTIVE, 0), true},
                                           // Minimised while deactivated: low word WA_INACTIVE, high word non-zero.
                                           ActivateCase{MAKEWPARAM(WA_INACTIVE, 1), true}));

}  // namespace
}  // namespace apptest
