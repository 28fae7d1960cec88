// Message boxes and the help window.
#include "test_window.h"

namespace {

class ShellTest : public RecordingWindowTest {};

TEST_F(ShellTest, MessageBoxesAreRecordedAndAnswered) {
  EXPECT_EQ(MessageBoxA(nullptr, "Direct3Dの作成に失敗しました", "Kelvane", MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "バッファサイズの設定に失敗", nullptr, MB_ICONERROR), IDOK);
  Win32TestAnswerNextMessageBox(IDNO);
  EXPECT_EQ(MessageBoxA(window, "続けますか", "Kelvane", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBoxA(window, "既定", "Kelvane", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBoxA(window, nullptr, "Kelvane", MB_OK), 0);
  EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x55), "x", "Kelvane", MB_OK), 0);

  auto& boxes = Win32TestMessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, "Direct3Dの作成に失敗しました");
  EXPECT_EQ(boxes[0].caption, "Kelvane");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(boxes[1].caption, kDefaultMessageBoxCaption);
  EXPECT_EQ(boxes[2].owner, window);
  EXPECT_EQ(boxes[2].result, IDNO);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(ShellTest, HelpOpensARegisteredFileByName) {
  ASSERT_TRUE(RegisterResource(HELPFILE("Kelvane.HLP", "Kelvaneのヘルプ", "使い方")));
  EXPECT_TRUE(WinHelpA(window, "kelvane.hlp", HELP_FINDER, 0));
  EXPECT_TRUE(WinHelpA(window, "C:\\app\\Kelvane.HLP", HELP_CONTENTS, 0));
  EXPECT_FALSE(WinHelpA(window, "Other.HLP", HELP_FINDER, 0));
  EXPECT_FALSE(WinHelpA(window, nullptr, HELP_FINDER, 0));
  EXPECT_FALSE(WinHelpA(window, "Kelvane.HLP", 0x77, 0));
  ASSERT_EQ(Win32TestHelpShown().size(), 2u);
  EXPECT_EQ(Win32TestHelpShown()[0].title, "Kelvaneのヘルプ");
  EXPECT_EQ(Win32TestHelpShown()[0].text, "使い方");
  EXPECT_TRUE(Win32TestHelpOpen());
  EXPECT_TRUE(WinHelpA(window, "Kelvane.HLP", HELP_QUIT, 0));
  EXPECT_FALSE(Win32TestHelpOpen());
}

}  // namespace
