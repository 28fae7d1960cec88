// Launches through the launch dialog and the flight that follows.
#include <cmath>

#include "app/vector_ops.h"
#include "app_fixture.h"

namespace apptest {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

struct LaunchCase {
  std::vector<std::string> fields;  // latitude, longitude, speed, angle as typed
  GxVector3 position;
  GxVector3 velocity;
  float speed;
};

class LaunchTest : public AppTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchTest, PlacesAndAimsTheSatellite) {
  Start();
  LaunchNow(GetParam().fields);
  EXPECT_TRUE(app->launched);
  EXPECT_THAT(app->satPosition, Near3(GetParam().position.x, GetParam().position.y, GetParam().position.z));
  EXPECT_THAT(app->satVelocity, Near3(GetParam().velocity.x, GetParam().velocity.y, GetParam().velocity.z));
  EXPECT_FLOAT_EQ(launchSpeed, GetParam().speed);
  // The pull is the unit vector toward the centre, turned with the velocity.
  EXPECT_NEAR(vec::Length(app->pull), 1.0f, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(
    DialogValues, LaunchTest,
    ::testing::Values(
        // A positive latitude moves the launch point toward -y.
        LaunchCase{{"30", "0", "0", "0"}, {0.0f, -5.0f, 8.660254f}, {0.0f, 0.0f, 0.0f}, 0.0f},
        // Negative values are used as negative numbers.
        LaunchCase{{"-30", "0", "1", "0"}, {0.0f, 5.0f, 8.660254f}, {0.0f, 0.5f, 0.866025f}, 1.0f},
        LaunchCase{{"0", "90", "1", "0"}, {10.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, 1.0f},
        LaunchCase{{"0", "-90", "1", "0"}, {-10.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, 1.0f},
        LaunchCase{{"0", "0", "-2", "0"}, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -2.0f}, -2.0f},
        // The angle turns the outward direction about the camera's up vector.
        LaunchCase{{"0", "0", "3", "90"}, {0.0f, 0.0f, 10.0f}, {3.0f, 0.0f, 0.0f}, 3.0f},
        LaunchCase{{"0", "0", "3", "-90"}, {0.0f, 0.0f, 10.0f}, {-3.0f, 0.0f, 0.0f}, 3.0f},
        // Empty and non-numeric fields read as 0.
        LaunchCase{{"", "abc", "", ""}, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, 0.0f}, 0.0f}));

TEST_F(AppTest, F2LaunchClimbsStraightOutOneStepPerFrame) {
  Start();
  Win32TestAnswerNextDialog(LaunchScript({"0", "0", "2", "0"}));
  // The pass that handles F2 launches, then draws its frame with one step.
  PressKey(VK_F2);
  ASSERT_THAT(Win32TestDialogs(), SizeIs(1));
  EXPECT_EQ(Win32TestDialogs()[0].templateId, IDD_LAUNCH);
  EXPECT_EQ(Win32TestDialogs()[0].caption, "軌道のセット");
  EXPECT_FALSE(Win32TestDialogs()[0].unanswered);
  ASSERT_TRUE(app->launched);
  EXPECT_NEAR(vec::Length(app->satPosition), 11.0f, 1e-4f);
  Passes(1);
  EXPECT_NEAR(vec::Length(app->satPosition), 12.0f, 1e-4f);
  Passes(1);
  EXPECT_NEAR(vec::Length(app->satPosition), 13.0f, 1e-4f);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 13.0f));
}

TEST_F(AppTest, CancelLeavesTheFlightAlone) {
  Start();
  Win32TestAnswerNextDialog({DialogStep::Type(IDC_LAUNCH_LATITUDE, "30"), DialogStep::Press(IDCANCEL)});
  SendMessageA(app->window, WM_COMMAND, ID_LAUNCH, 0);
  EXPECT_FALSE(app->launched);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 5.0f));
}

TEST_F(AppTest, ASatelliteWithoutSpeedFallsAndCollidesThenANewLaunchFlies) {
  Start();
  LaunchNow({"0", "0", "0", "0"});
  Passes(1);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 9.0f));
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());

  // The next step finds it inside the Earth: the box, and the flight is over.
  Passes(1);
  ASSERT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_EQ(Win32TestMessageBoxes()[0].text, "地球に衝突しました");
  EXPECT_EQ(Win32TestMessageBoxes()[0].caption, "衝突");
  EXPECT_EQ(Win32TestMessageBoxes()[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_FALSE(app->launched);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 9.0f));

  // Only the Earth turns from now on; the box comes once.
  const float spin = earthSpin;
  Passes(3);
  EXPECT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_NEAR(earthSpin, spin + 0.6f, 1e-4f);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 9.0f));

  LaunchNow({"0", "0", "2", "0"});
  Passes(2);
  EXPECT_TRUE(app->launched);
  EXPECT_NEAR(vec::Length(app->satPosition), 12.0f, 1e-4f);
}

TEST_F(AppTest, NegativeSpeedFliesInwardAndCollides) {
  Start();
  LaunchNow({"0", "0", "-2", "0"});
  Passes(1);
  // Velocity -2 plus the unit pull: 3 units inward.
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 7.0f));
  Passes(1);
  EXPECT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_FALSE(app->launched);
}

TEST_F(AppTest, ALandingOnTheCentreGivesAZeroPullNotNaN) {
  Start();
  // Speed -9 straight down: velocity -9 plus the pull reaches the centre exactly.
  LaunchNow({"0", "0", "-9", "0"});
  Passes(1);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 0.0f));
  EXPECT_FALSE(std::isnan(app->pull.x) || std::isnan(app->pull.y) || std::isnan(app->pull.z));
  Passes(1);
  EXPECT_THAT(Win32TestMessageBoxes(), SizeIs(1));
}

TEST_F(AppTest, StoppedSimulationMovesNothingUntilGoAgain) {
  Start();
  LaunchNow({"0", "0", "0", "0"});
  PressKey(VK_F4);
  EXPECT_FALSE(app->simulationOn);
  const float spin = earthSpin;
  Passes(5);
  // Neither the satellite nor the Earth moves, and no collision comes.
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 10.0f));
  EXPECT_EQ(earthSpin, spin);
  EXPECT_TRUE(app->launched);
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());

  PressKey(VK_F4);
  EXPECT_TRUE(app->simulationOn);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 9.0f));
}

TEST_F(AppTest, TheEarthSpinsEvenWithoutAFlight) {
  Start();
  Passes(10);
  EXPECT_NEAR(earthSpin, 2.0f, 1e-4f);
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 5.0f));
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());
}

}  // namespace
}  // namespace apptest
