// Modal dialogs answered by script: fields, buttons, Enter, Escape, the close
// button, and the owner's loop while a dialog is open.
#include "test_window.h"

namespace {

struct DialogLog {
  std::vector<UINT> messages;
  std::vector<WORD> commands;
  UINT number = 0;
  BOOL translated = -1;
};
DialogLog gDialog;

// Reads field 1015 on OK, ends on OK and Cancel; leaves WM_CLOSE to the default handling.
INT_PTR FrameTimeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  gDialog.messages.push_back(message);
  if (message != WM_COMMAND) return FALSE;
  gDialog.commands.push_back(LOWORD(wParam));
  if (LOWORD(wParam) == IDOK) {
    gDialog.number = GetDlgItemInt(dialog, 1015, &gDialog.translated, TRUE);
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

class DialogTest : public RecordingWindowTest {
 protected:
  void SetUp() override {
    RecordingWindowTest::SetUp();
    gDialog = {};
    ASSERT_TRUE(RegisterResource(DIALOG(108, 0, 0, 135, 49, STYLE(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT),
                                        CAPTION("画面描画時間の変更"), FONT(9, "Ｐゴシック"),
                                        {
                                            DEFPUSHBUTTON("OK", IDOK, 77, 7, 50, 14),
                                            PUSHBUTTON("ｷｬﾝｾﾙ", IDCANCEL, 78, 28, 50, 14),
                                            EDITTEXT(1015, 7, 7, 46, 14, ES_RIGHT | ES_AUTOHSCROLL),
                                            LTEXT("ミリ秒", IDC_STATIC, 58, 13, 18, 8),
                                        })));
    Pump();
  }
  INT_PTR Run() { return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(108), window, FrameTimeProc, 0); }
};

TEST_F(DialogTest, GetDlgItemIntReadsSignedNumbers) {
  struct Case {
    const char* text;
    BOOL isSigned;
    UINT value;
    BOOL translated;
  };
  const Case cases[] = {
      {"", TRUE, 0, FALSE},          {"-30", TRUE, static_cast<UINT>(-30), TRUE},
      {"abc", TRUE, 0, FALSE},       {"40", TRUE, 40, TRUE},
      {" 7 ", TRUE, 7, TRUE},        {"12abc", TRUE, 0, FALSE},
      {"-", TRUE, 0, FALSE},         {"-30", FALSE, 0, FALSE},
      {"2147483648", TRUE, 0, FALSE}, {"-2147483648", TRUE, 0x80000000u, TRUE},
      {"4294967295", FALSE, 0xFFFFFFFFu, TRUE}, {"99999999999999999999", FALSE, 0, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    UINT value = 1;
    BOOL translated = -1;
    Win32TestAnswerNextDialog({DialogStep::Type(1015, c.text), DialogStep::Call([&](HWND dialog) {
                                 value = GetDlgItemInt(dialog, 1015, &translated, c.isSigned);
                               }),
                               DialogStep::Press(IDCANCEL)});
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(translated, c.translated);
  }
}

TEST_F(DialogTest, ButtonsEnterEscapeAndTheCloseButton) {
  struct Case {
    const char* name;
    DialogStep step;
    INT_PTR result;
    WORD command;
  };
  const Case cases[] = {
      {"press OK", DialogStep::Press(IDOK), IDOK, IDOK},
      {"Enter presses the default button", DialogStep::Key(VK_RETURN), IDOK, IDOK},
      {"Escape is Cancel", DialogStep::Key(VK_ESCAPE), IDCANCEL, IDCANCEL},
      {"close button is Cancel", DialogStep::CloseButton(), IDCANCEL, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gDialog = {};
    Win32TestAnswerNextDialog({DialogStep::Type(1015, "40"), c.step});
    EXPECT_EQ(Run(), c.result);
    ASSERT_EQ(gDialog.commands.size(), 1u);
    EXPECT_EQ(gDialog.commands[0], c.command);
    EXPECT_EQ(gDialog.messages.front(), WM_INITDIALOG);
    EXPECT_EQ(gDialog.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  }
  auto& dialogs = Win32TestDialogs();
  ASSERT_EQ(dialogs.size(), 4u);
  EXPECT_EQ(dialogs[0].templateId, 108);
  EXPECT_EQ(dialogs[0].caption, "画面描画時間の変更");
  EXPECT_EQ(dialogs[0].owner, window);
  EXPECT_FALSE(dialogs[0].unanswered);
}

TEST_F(DialogTest, OkReadsTheFieldAndFieldsStartEmpty) {
  Win32TestAnswerNextDialog({DialogStep::Type(1015, "-30"), DialogStep::Press(IDOK)});
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(gDialog.number, static_cast<UINT>(-30));
  EXPECT_EQ(gDialog.translated, TRUE);

  char text[16] = "junk";
  Win32TestAnswerNextDialog({DialogStep::Call([&](HWND dialog) { GetDlgItemTextA(dialog, 1015, text, 16); }),
                             DialogStep::Press(IDCANCEL)});
  Run();
  EXPECT_STREQ(text, "");
}

TEST_F(DialogTest, OwnerLoopStopsButPaintStillArrives) {
  Log().clear();
  bool ownerEnabledDuring = true;
  Win32TestAnswerNextDialog({DialogStep::Call([&](HWND) {
                               ownerEnabledDuring = IsWindowEnabled(window);
                               Win32TestKeyPress(window, 'S');  // input to the disabled owner is dropped
                             }),
                             DialogStep::Repaint(window), DialogStep::Press(IDOK)});
  EXPECT_EQ(Run(), IDOK);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_EQ(Messages(WM_PAINT).size(), 1u);
  EXPECT_TRUE(Messages(WM_KEYDOWN).empty());
  // The owner lost activation to the dialog and got it back.
  auto notices = Messages(WM_ACTIVATE);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(LOWORD(notices[0].wParam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(notices[1].wParam), WA_ACTIVE);
  EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(DialogTest, QuitEndsTheDialogAndReachesTheOuterLoop) {
  Win32TestAnswerNextDialog({DialogStep::Call([](HWND) { PostQuitMessage(3); }), DialogStep::Press(IDOK)});
  EXPECT_EQ(Run(), -1);
  EXPECT_TRUE(gDialog.commands.empty());  // the dialog never saw the button
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(DialogTest, MessageBoxFromADialogIsOwnedByIt) {
  HWND shownOver = nullptr;
  Win32TestAnswerNextDialog({DialogStep::Call([&](HWND dialog) {
                               shownOver = dialog;
                               EXPECT_EQ(MessageBoxA(dialog, "範囲外です", nullptr, MB_ICONWARNING), IDOK);
                               EXPECT_TRUE(IsWindowEnabled(dialog));  // enabled again once the box is gone
                               EXPECT_EQ(GetForegroundWindow(), dialog);
                             }),
                             DialogStep::Press(IDCANCEL)});
  EXPECT_EQ(Run(), IDCANCEL);
  ASSERT_EQ(Win32TestMessageBoxes().size(), 1u);
  EXPECT_EQ(Win32TestMessageBoxes()[0].owner, shownOver);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(DialogTest, UnansweredOrUnknownDialogsFailWithMinusOne) {
  EXPECT_EQ(Run(), -1);  // no script: it would wait forever
  ASSERT_EQ(Win32TestDialogs().size(), 1u);
  EXPECT_TRUE(Win32TestDialogs()[0].unanswered);
  EXPECT_TRUE(IsWindowEnabled(window));

  Win32TestAnswerNextDialog({DialogStep::Press(4242)});  // no such button
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), window, FrameTimeProc, 0), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(108), window, nullptr, 0), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(108), reinterpret_cast<HWND>(0x77), FrameTimeProc, 0), -1);
}

TEST_F(DialogTest, LayoutInPixelsAndTextCopiesStopAtCharacterBoundaries) {
  Win32TestAnswerNextDialog({DialogStep::Call([](HWND dialog) {
                               RECT r{7, 7, 53, 21};
                               ASSERT_TRUE(MapDialogRect(dialog, &r));
                               EXPECT_EQ(r.left, (7 * 6 + 2) / 4);  // 6 by 12 pixel base units
                               EXPECT_EQ(r.bottom, (21 * 12 + 4) / 8);
                               ASSERT_TRUE(SetDlgItemTextA(dialog, 1015, "ミリ秒"));
                               char small[5];
                               EXPECT_EQ(GetDlgItemTextA(dialog, 1015, small, sizeof small), 3u);
                               EXPECT_STREQ(small, "ミ");
                               EXPECT_FALSE(SetDlgItemTextA(dialog, 4242, "x"));
                             }),
                             DialogStep::Press(IDCANCEL)});
  Run();
  ASSERT_EQ(Win32TestDialogs().size(), 1u);
  EXPECT_EQ(Win32TestDialogs()[0].clientSize.cx, (135 * 6 + 2) / 4);
  EXPECT_EQ(Win32TestDialogs()[0].clientSize.cy, (49 * 12 + 4) / 8);
}

}  // namespace
