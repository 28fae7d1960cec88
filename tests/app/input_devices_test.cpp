// The keyboard and mouse wrappers against a scripted DirectInput, for the
// set-up failures and read results the real devices cannot be made to show.
#include <cstring>
#include <string>
#include <vector>

#include "app/input_devices.h"
#include "app_fixture.h"

namespace apptest {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

// A device whose calls succeed unless told otherwise, and that records them.
class FakeDevice : public IDirectInputDevice8A {
 public:
  // 1 SetDataFormat, 2 SetCooperativeLevel, 3 first SetProperty, 4 second SetProperty; 0 none.
  int failingStep = 0;
  HRESULT stateResult = DI_OK;
  HRESULT dataResult = DI_OK;
  BYTE keys[256] = {};
  DIMOUSESTATE2 mouse{};
  int acquires = 0;
  int unacquires = 0;
  int releases = 0;
  const DIDATAFORMAT* format = nullptr;
  DWORD cooperation = 0;
  std::vector<std::pair<DWORD, DWORD>> properties;  // (property, value)

  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return ++releases, 0; }
  HRESULT GetCapabilities(LPDIDEVCAPS) override { return E_NOTIMPL; }
  HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
  HRESULT GetProperty(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
  HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
    const int step = 3 + static_cast<int>(properties.size());
    const auto* word = reinterpret_cast<const DIPROPDWORD*>(header);
    if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHeaderSize != sizeof(DIPROPHEADER) ||
        header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
      return DIERR_INVALIDPARAM;
    }
    properties.emplace_back(property.Data1, word->dwData);
    return failingStep == step ? DIERR_UNSUPPORTED : DI_OK;
  }
  HRESULT Acquire() override { return ++acquires, DI_OK; }
  HRESULT Unacquire() override { return ++unacquires, DI_OK; }
  HRESULT GetDeviceState(DWORD size, LPVOID data) override {
    if (FAILED(stateResult)) return stateResult;
    if (size == sizeof(keys)) std::memcpy(data, keys, size);
    else if (size == sizeof(mouse)) std::memcpy(data, &mouse, size);
    else return DIERR_INVALIDPARAM;
    return DI_OK;
  }
  HRESULT GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD count, DWORD) override {
    *count = 0;
    return dataResult;
  }
  HRESULT SetDataFormat(LPCDIDATAFORMAT f) override {
    format = f;
    return failingStep == 1 ? DIERR_INVALIDPARAM : DI_OK;
  }
  HRESULT SetEventNotification(HANDLE) override { return E_NOTIMPL; }
  HRESULT SetCooperativeLevel(HWND, DWORD flags) override {
    cooperation = flags;
    return failingStep == 2 ? DIERR_INVALIDPARAM : DI_OK;
  }
  HRESULT GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
  HRESULT RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT Initialize(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
  HRESULT CreateEffect(REFGUID, const DIEFFECT*, LPDIRECTINPUTEFFECT*, IUnknown*) override { return E_NOTIMPL; }
  HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
  HRESULT GetEffectInfo(DIEFFECTINFOA*, REFGUID) override { return E_NOTIMPL; }
  HRESULT GetForceFeedbackState(LPDWORD) override { return E_NOTIMPL; }
  HRESULT SendForceFeedbackCommand(DWORD) override { return E_NOTIMPL; }
  HRESULT EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override { return E_NOTIMPL; }
  HRESULT Escape(DIEFFESCAPE*) override { return E_NOTIMPL; }
  HRESULT Poll() override { return E_NOTIMPL; }
  HRESULT SendDeviceData(DWORD, const DIDEVICEOBJECTDATA*, LPDWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT EnumEffectsInFile(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override { return E_NOTIMPL; }
  HRESULT WriteEffectToFile(LPCSTR, DWORD, const void*, DWORD) override { return E_NOTIMPL; }
  HRESULT BuildActionMap(DIACTIONFORMATA*, LPCSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT SetActionMap(DIACTIONFORMATA*, LPCSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT GetImageInfo(DIDEVICEIMAGEINFOHEADERA*) override { return E_NOTIMPL; }
};

class FakeDirectInput : public IDirectInput8A {
 public:
  FakeDevice device;
  bool createFails = false;
  GUID created{};
  int releases = 0;

  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return ++releases, 0; }
  HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* out, IUnknown*) override {
    created = guid;
    if (createFails) return DIERR_DEVICENOTREG;
    *out = &device;
    return DI_OK;
  }
  HRESULT EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
  HRESULT GetDeviceStatus(REFGUID) override { return E_NOTIMPL; }
  HRESULT RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT Initialize(HINSTANCE, DWORD) override { return E_NOTIMPL; }
  HRESULT FindDevice(REFGUID, LPCSTR, GUID*) override { return E_NOTIMPL; }
  HRESULT EnumDevicesBySemantics(LPCSTR, DIACTIONFORMATA*, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, DICONFIGUREDEVICESPARAMSA*, DWORD, LPVOID) override {
    return E_NOTIMPL;
  }
};

class InputDeviceTest : public DesktopTest {
 protected:
  FakeDirectInput input;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
};

// A keyboard set-up that fails at a step shows that step's box and gives 0.
struct KeyboardFailure {
  int failingStep;     // 0: creation fails
  const char* text;
};

class KeyboardFailureTest : public InputDeviceTest, public ::testing::WithParamInterface<KeyboardFailure> {};

TEST_P(KeyboardFailureTest, ShowsItsBoxWithTheDefaultCaption) {
  input.createFails = GetParam().failingStep == 0;
  input.device.failingStep = GetParam().failingStep;
  KeyboardDevice keyboardDevice;
  keyboardDevice.directInput = &input;
  EXPECT_EQ(keyboardDevice.Init(window), 0);
  ASSERT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_EQ(Win32TestMessageBoxes()[0].text, GetParam().text);
  EXPECT_EQ(Win32TestMessageBoxes()[0].caption, kDefaultMessageBoxCaption);
  EXPECT_EQ(Win32TestMessageBoxes()[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(input.device.acquires, 0);
}

INSTANTIATE_TEST_SUITE_P(Steps, KeyboardFailureTest,
                         ::testing::Values(KeyboardFailure{0, "DiurectInputDevice8の作成に失敗"},
                                           KeyboardFailure{1, "c_dfDIKeyboardの設定の作成に失敗"},
                                           KeyboardFailure{2, "フォアグラウンド＆非排他モードの設定に失敗"},
                                           KeyboardFailure{3, "バッファサイズの設定に失敗"}));

TEST_F(InputDeviceTest, KeyboardWithoutDirectInputFailsAtCreation) {
  KeyboardDevice keyboardDevice;
  EXPECT_EQ(keyboardDevice.Init(window), 0);
  ASSERT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_EQ(Win32TestMessageBoxes()[0].text, "DiurectInputDevice8の作成に失敗");
  EXPECT_EQ(keyboardDevice.ReadKey(), KeyNone);
}

TEST_F(InputDeviceTest, KeyboardSetUpAsksForTheStandardStateAndAcquires) {
  KeyboardDevice keyboardDevice;
  keyboardDevice.directInput = &input;
  ASSERT_EQ(keyboardDevice.Init(window), 1);
  EXPECT_EQ(input.created, GUID_SysKeyboard);
  EXPECT_EQ(input.device.format, &c_dfDIKeyboard);
  EXPECT_EQ(input.device.cooperation, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
  EXPECT_EQ(input.device.properties, (std::vector<std::pair<DWORD, DWORD>>{{DIPROP_BUFFERSIZE.Data1, 100}}));
  EXPECT_EQ(input.device.acquires, 1);
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());

  // Going: the device first, then DirectInput.
  keyboardDevice.ReleaseInputDevice();
  keyboardDevice.Release();
  EXPECT_EQ(input.device.releases, 1);
  EXPECT_EQ(input.releases, 1);
  EXPECT_EQ(keyboardDevice.inputDevice, nullptr);
  EXPECT_EQ(keyboardDevice.directInput, nullptr);
}

TEST_F(InputDeviceTest, MouseSetUpFailsSilentlyAtEveryStep) {
  for (int step = 0; step <= 4; ++step) {
    FakeDirectInput fresh;
    fresh.createFails = step == 0;
    fresh.device.failingStep = step;
    MouseDevice mouseDevice;
    mouseDevice.directInput = &fresh;
    EXPECT_EQ(mouseDevice.Init(window), 0) << step;
    EXPECT_EQ(fresh.device.acquires, 0) << step;
  }
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());
}

TEST_F(InputDeviceTest, MouseSetUpAsksForRelativeAxesAndABuffer) {
  MouseDevice mouseDevice;
  mouseDevice.directInput = &input;
  ASSERT_EQ(mouseDevice.Init(window), 1);
  EXPECT_EQ(input.created, GUID_SysMouse);
  EXPECT_EQ(input.device.format, &c_dfDIMouse2);
  EXPECT_EQ(input.device.cooperation, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
  EXPECT_EQ(input.device.properties,
            (std::vector<std::pair<DWORD, DWORD>>{{DIPROP_AXISMODE.Data1, DIPROPAXISMODE_REL},
                                                  {DIPROP_BUFFERSIZE.Data1, 100}}));
  EXPECT_EQ(input.device.acquires, 1);
}

struct HeldKeys {
  std::vector<BYTE> scanCodes;
  CameraKey reported;
};

class ReadKeyTest : public InputDeviceTest, public ::testing::WithParamInterface<HeldKeys> {};

TEST_P(ReadKeyTest, ReportsTheFirstHeldKeyInTheFixedOrder) {
  KeyboardDevice keyboardDevice;
  keyboardDevice.directInput = &input;
  ASSERT_EQ(keyboardDevice.Init(window), 1);
  for (BYTE code : GetParam().scanCodes) input.device.keys[code] = 0x80;
  EXPECT_EQ(keyboardDevice.ReadKey(), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ReadKeyTest,
    ::testing::Values(HeldKeys{{}, KeyNone}, HeldKeys{{DIK_UP}, KeyUp}, HeldKeys{{DIK_DOWN}, KeyDown},
                      HeldKeys{{DIK_RIGHT}, KeyRight}, HeldKeys{{DIK_LEFT}, KeyLeft}, HeldKeys{{DIK_X}, KeyX},
                      HeldKeys{{DIK_Z}, KeyZ}, HeldKeys{{DIK_SPACE}, KeySpace}, HeldKeys{{DIK_A, DIK_F1}, KeyNone},
                      // Left and Up together: only Left.
                      HeldKeys{{DIK_UP, DIK_LEFT}, KeyLeft}, HeldKeys{{DIK_Z, DIK_RIGHT, DIK_DOWN}, KeyRight},
                      HeldKeys{{DIK_SPACE, DIK_X}, KeyX}));

TEST_F(InputDeviceTest, ALostKeyboardIsReacquiredOtherFailuresAreNot) {
  KeyboardDevice keyboardDevice;
  keyboardDevice.directInput = &input;
  ASSERT_EQ(keyboardDevice.Init(window), 1);
  input.device.keys[DIK_LEFT] = 0x80;

  input.device.stateResult = DIERR_NOTACQUIRED;
  EXPECT_EQ(keyboardDevice.ReadKey(), KeyNone);
  EXPECT_EQ(input.device.acquires, 1);
  EXPECT_EQ(keyboardDevice.lastResult, DIERR_NOTACQUIRED);

  input.device.stateResult = DIERR_INPUTLOST;
  EXPECT_EQ(keyboardDevice.ReadKey(), KeyNone);
  EXPECT_EQ(input.device.acquires, 2);
}

TEST_F(InputDeviceTest, MouseMotionCountsOnlyWithTheLeftButtonButTheWheelAlways) {
  MouseDevice mouseDevice;
  mouseDevice.directInput = &input;
  ASSERT_EQ(mouseDevice.Init(window), 1);
  input.device.mouse.lX = 7;
  input.device.mouse.lY = -3;
  input.device.mouse.lZ = 120;

  float dx = 11.0f, dy = 22.0f, wheel = 33.0f;
  EXPECT_EQ(mouseDevice.ReadMotion(&dx, &dy, &wheel), 1);
  EXPECT_EQ(dx, 11.0f);
  EXPECT_EQ(dy, 22.0f);
  EXPECT_EQ(wheel, 120.0f);

  input.device.mouse.rgbButtons[0] = 0x80;
  EXPECT_EQ(mouseDevice.ReadMotion(&dx, &dy, &wheel), 1);
  EXPECT_EQ(dx, 7.0f);
  EXPECT_EQ(dy, -3.0f);
}

TEST_F(InputDeviceTest, AFailedMouseReadWritesNothingAndReacquires) {
  MouseDevice mouseDevice;
  mouseDevice.directInput = &input;
  ASSERT_EQ(mouseDevice.Init(window), 1);
  input.device.mouse.rgbButtons[0] = 0x80;
  input.device.mouse.lZ = 120;
  input.device.stateResult = DIERR_NOTACQUIRED;
  float dx = 1.0f, dy = 2.0f, wheel = 3.0f;
  EXPECT_EQ(mouseDevice.ReadMotion(&dx, &dy, &wheel), 1);
  EXPECT_EQ(dx, 1.0f);
  EXPECT_EQ(dy, 2.0f);
  EXPECT_EQ(wheel, 3.0f);
  EXPECT_EQ(input.device.acquires, 2);

  // A lost buffer is reacquired too.
  input.device.stateResult = DI_OK;
  input.device.dataResult = DIERR_INPUTLOST;
  mouseDevice.ReadMotion(&dx, &dy, &wheel);
  EXPECT_EQ(input.device.acquires, 3);
}

TEST_F(InputDeviceTest, WithoutADeviceReadsNothingAndAcquisitionDoesNothing) {
  KeyboardDevice keyboardDevice;
  MouseDevice mouseDevice;
  EXPECT_EQ(keyboardDevice.ReadKey(), KeyNone);
  float dx = 1.0f, dy = 2.0f, wheel = 3.0f;
  EXPECT_EQ(mouseDevice.ReadMotion(&dx, &dy, &wheel), 1);
  EXPECT_EQ(wheel, 3.0f);
  keyboardDevice.SetAcquired(true);
  mouseDevice.SetAcquired(false);
}

}  // namespace
}  // namespace apptest
