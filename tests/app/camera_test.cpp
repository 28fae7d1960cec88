// The free camera and the satellite viewpoint, driven by held keys and the
// mouse through the main loop.
#include <cmath>

#include "app/vector_ops.h"
#include "app_fixture.h"

namespace apptest {
namespace {

constexpr float kStartDistance = 30.413813f;  // |(0, 5, 30)|

class CameraTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  void Hold(UINT key, bool down) { Win32TestKey(app->window, key, down); }
};

TEST_F(CameraTest, RightKeyTurnsFiveDegreesAPassAndComesBackAfter72) {
  Hold(VK_RIGHT, true);
  Passes(1);
  // +5 degrees about up: x = 30 sin 5°.
  EXPECT_THAT(app->eye, Near3(2.614672f, 5.0f, 29.885840f));
  Passes(71);
  Hold(VK_RIGHT, false);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
}

TEST_F(CameraTest, LeftAndUpTogetherOnlyTurnHorizontally) {
  Hold(VK_LEFT, true);
  Hold(VK_UP, true);
  Passes(1);
  EXPECT_THAT(app->eye, Near3(-2.614672f, 5.0f, 29.885840f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
}

TEST_F(CameraTest, UpKeyTiltsEyeAndUpTogether) {
  Hold(VK_UP, true);
  Passes(1);
  // -5 degrees about eye x up, which is -x: both turn the same way.
  EXPECT_THAT(app->eye, Near3(0.0f, 2.366303f, 30.321620f));
  EXPECT_THAT(app->up, Near3(0.0f, 0.996195f, 0.087156f));
  Hold(VK_UP, false);
  Hold(VK_DOWN, true);
  Passes(1);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
}

TEST_F(CameraTest, ZoomingInStopsBeforeTenGlobeRadii) {
  Hold('Z', true);
  Passes(1);
  EXPECT_NEAR(vec::Length(app->eye), kStartDistance - 1.0f, 1e-3f);
  Passes(40);
  EXPECT_NEAR(vec::Length(app->eye), 10.4138f, 1e-3f);
  // Still on the line from the centre through the start.
  EXPECT_NEAR(app->eye.y / app->eye.z, 5.0f / 30.0f, 1e-5f);
}

TEST_F(CameraTest, ZoomingOutHasNoLimit) {
  Hold('X', true);
  Passes(100);
  EXPECT_NEAR(vec::Length(app->eye), kStartDistance + 100.0f, 1e-2f);
}

TEST_F(CameraTest, MouseTurnsOnlyWhileTheLeftButtonIsHeldButTheWheelAlwaysZooms) {
  Win32TestMouseMove(app->window, 12, 0);
  Passes(1);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));

  Win32TestMouseButton(app->window, 0, true);
  Win32TestMouseMove(app->window, 12, 0);
  Passes(1);
  // Moving right turns like the left key.
  EXPECT_THAT(app->eye, Near3(-2.614672f, 5.0f, 29.885840f));
  Win32TestMouseButton(app->window, 0, false);
  Passes(1);

  const float distance = vec::Length(app->eye);
  Win32TestWheel(app->window, 1);
  Passes(1);
  EXPECT_NEAR(vec::Length(app->eye), distance + 1.0f, 1e-3f);
  Win32TestWheel(app->window, -1);
  Passes(1);
  EXPECT_NEAR(vec::Length(app->eye), distance, 1e-3f);
}

TEST_F(CameraTest, SatelliteViewBeforeALaunchLooksFromAboveAndIgnoresInput) {
  PressKey('O');
  EXPECT_EQ(app->viewMode, 1);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 21.213203f, 21.213203f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
  // The frame's view looks from there at the centre, 30 units away.
  EXPECT_NEAR(app->view._43, -30.0f, 1e-3f);

  Hold(VK_RIGHT, true);
  Hold('Z', true);
  Win32TestMouseButton(app->window, 0, true);
  Win32TestMouseMove(app->window, 20, 20);
  Passes(10);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));
  EXPECT_THAT(app->satPosition, Near3(0.0f, 21.213203f, 21.213203f));
}

TEST_F(CameraTest, SatelliteViewDuringAFlightFollowsTheSatellite) {
  LaunchNow({"0", "0", "2", "0"});
  Passes(1);
  PressKey('O');
  // Choosing the view does not move the satellite back to the viewing spot;
  // the frame of that pass looks from where the step took it.
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 12.0f));
  EXPECT_NEAR(app->view._43, -12.0f, 1e-3f);
  Passes(1);
  EXPECT_NEAR(app->view._43, -13.0f, 1e-3f);

  PressKey('C');
  EXPECT_EQ(app->viewMode, 0);
  EXPECT_NEAR(app->view._43, -kStartDistance, 1e-3f);
}

TEST_F(CameraTest, ResetViewRestoresTheCameraAndTurnsTheFlight) {
  // Launched from +x, so the new direction (0, 0, 1) is across the pull.
  LaunchNow({"0", "90", "2", "0"});
  Hold(VK_RIGHT, true);
  Hold(VK_UP, true);
  Passes(3);
  Hold(VK_RIGHT, false);
  Hold(VK_UP, false);

  // Straight to the window procedure, so no step follows before we look.
  SendMessageA(app->window, WM_COMMAND, ID_RESET_VIEW, 0);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
  EXPECT_THAT(app->satVelocity, Near3(0.0f, 0.0f, 1.0f));
  EXPECT_EQ(app->viewMode, 0);

  // The flight goes on from that direction, bent by the pull, at its own speed.
  const GxVector3 before = app->satPosition;
  Passes(1);
  EXPECT_THAT(app->satVelocity, Near3(-1.414214f, 0.0f, 1.414214f));
  EXPECT_THAT(app->satPosition - before, Near3(-1.0f, 0.0f, 1.0f));
  EXPECT_TRUE(app->launched);
}

}  // namespace
}  // namespace apptest
