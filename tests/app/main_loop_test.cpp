// The main loop: frame pacing, the frame-rate window, frames drawn for the
// desktop, and the reset after a failed present.
#include "app_fixture.h"

namespace apptest {
namespace {

using ::testing::SizeIs;

class MainLoopTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  // Enters a frame time through the F5 dialog.
  void EnterFrameTime(const std::string& text) {
    Win32TestAnswerNextDialog({DialogStep::Type(IDC_FRAME_TIME, text), DialogStep::Press(IDOK)});
    SendMessageA(app->window, WM_COMMAND, ID_FRAME_TIME, 0);
  }
};

TEST_F(MainLoopTest, WithoutAFrameTimeEveryPassDrawsAFrame) {
  Passes(50, 20);
  EXPECT_EQ(shownFps, 0);  // no full second yet
  Passes(50, 20);
  // A pass every 20 ms: fifty frames a second (the window counts the passes
  // at both of its ends).
  EXPECT_GE(shownFps, 50);
  EXPECT_LE(shownFps, 51);
  EXPECT_EQ(FramesPresented(), 100u);
}

TEST_F(MainLoopTest, AFrameTimeOf40GivesAtMost25FramesASecond) {
  Win32TestAnswerNextDialog({DialogStep::Type(IDC_FRAME_TIME, "40"), DialogStep::Press(IDOK)});
  PressKey(VK_F5);
  ASSERT_EQ(app->frameMillis, 40u);
  const uint64_t before = FramesPresented();
  Passes(3000);
  EXPECT_LE(shownFps, 25);
  EXPECT_GE(shownFps, 24);
  EXPECT_LE(FramesPresented() - before, 76u);
  // Steps follow frames, not passes.
  EXPECT_NEAR(earthSpin, 0.2f * static_cast<float>(FramesPresented()), 0.05f);
}

struct FrameTimeEntry {
  std::string text;
  DWORD millis;
};

class FrameTimeEntryTest : public MainLoopTest, public ::testing::WithParamInterface<FrameTimeEntry> {};

TEST_P(FrameTimeEntryTest, IsReadAsAWholeNumberOfMilliseconds) {
  app->frameMillis = 123;
  EnterFrameTime(GetParam().text);
  EXPECT_EQ(app->frameMillis, GetParam().millis);
}

INSTANTIATE_TEST_SUITE_P(Entries, FrameTimeEntryTest,
                         ::testing::Values(FrameTimeEntry{"40", 40}, FrameTimeEntry{"0", 0},
                                           // Empty, non-numeric and negative entries mean no limit.
                                           FrameTimeEntry{"", 0}, FrameTimeEntry{"abc", 0},
                                           FrameTimeEntry{"-5", 0}, FrameTimeEntry{"-2147483648", 0}));

TEST_F(MainLoopTest, ANegativeFrameTimeDoesNotFreezeTheProgram) {
  EnterFrameTime("-5");
  const uint64_t before = FramesPresented();
  Passes(10);
  EXPECT_EQ(FramesPresented() - before, 10u);
}

TEST_F(MainLoopTest, CancelKeepsTheFrameTime) {
  app->frameMillis = 40;
  Win32TestAnswerNextDialog({DialogStep::Type(IDC_FRAME_TIME, "7"), DialogStep::Press(IDCANCEL)});
  SendMessageA(app->window, WM_COMMAND, ID_FRAME_TIME, 0);
  EXPECT_EQ(app->frameMillis, 40u);
}

TEST_F(AppTest, TheClockMayWrapAround) {
  now = 0xFFFFFF00u;
  app->frameMillis = 40;
  Start();
  Passes(600);  // crosses 2^32 ms
  const uint64_t before = FramesPresented();
  Passes(400);
  EXPECT_EQ(FramesPresented() - before, 10u);
}

TEST_F(MainLoopTest, DesktopPaintsDrawFramesThatNeitherStepNorCount) {
  for (int i = 0; i < 60; ++i) {
    Win32TestInvalidate(app->window);
    Passes(1, 20);
  }
  // Twice the frames were presented, but only the loop's count and step.
  EXPECT_EQ(FramesPresented(), 120u);
  EXPECT_GE(shownFps, 50);
  EXPECT_LE(shownFps, 51);
  EXPECT_NEAR(earthSpin, 60 * 0.2f, 0.01f);
}

TEST_F(MainLoopTest, PaintsStillDrawWhileADialogHoldsTheLoop) {
  const uint64_t before = FramesPresented();
  const float spin = earthSpin;
  Win32TestAnswerNextDialog({DialogStep::Repaint(app->window), DialogStep::Press(IDOK)});
  SendMessageA(app->window, WM_COMMAND, ID_ABOUT, 0);
  EXPECT_EQ(FramesPresented() - before, 1u);
  EXPECT_EQ(earthSpin, spin);
}

TEST_F(AppTest, AFailedPresentResetsTheDeviceAndTheNextFrameShows) {
  D3D8TestInstallProfile(D3D8TestQuirkProfile(D3D8_TEST_PRESENT_FAILS_ONCE));
  Start();
  Passes(1);
  EXPECT_EQ(FramesPresented(), 0u);
  Passes(1);
  EXPECT_EQ(FramesPresented(), 1u);
  EXPECT_EQ(app->device->TestCooperativeLevel(), D3D_OK);
}

}  // namespace
}  // namespace apptest
