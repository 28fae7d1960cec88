// DirectInput devices fed by a headless window: the set-up sequence a program
// runs, key state, relative motion, wheel, buffered events, foreground loss.
#include <gtest/gtest.h>

#include "com_ptr.h"
#include "dinput8.h"
#include "win32_headless.h"
#include "win_user.h"

namespace {

class InputDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Win32TestReset();
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = "InputTest";
    ASSERT_NE(RegisterClassA(&cls), 0);
    window = CreateWindowExA(0, "InputTest", "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_EQ(GetForegroundWindow(), window);
    ASSERT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8A,
                                 reinterpret_cast<void**>(input.ReleaseAndGetAddressOf()), nullptr),
              DI_OK);
  }

  static DIPROPDWORD Dword(DWORD value) {
    DIPROPDWORD p{};
    p.diph.dwSize = sizeof(DIPROPDWORD);
    p.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    p.diph.dwObj = 0;
    p.diph.dwHow = DIPH_DEVICE;
    p.dwData = value;
    return p;
  }

  // The set-up sequence of the program's keyboard and mouse.
  ComPtr<IDirectInputDevice8A> Open(REFGUID guid) {
    ComPtr<IDirectInputDevice8A> device;
    EXPECT_EQ(input->CreateDevice(guid, device.ReleaseAndGetAddressOf(), nullptr), DI_OK);
    bool keyboard = guid == GUID_SysKeyboard;
    EXPECT_EQ(device->SetDataFormat(keyboard ? &c_dfDIKeyboard : &c_dfDIMouse2), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE), DI_OK);
    if (!keyboard) {
      DIPROPDWORD mode = Dword(DIPROPAXISMODE_REL);
      EXPECT_EQ(device->SetProperty(DIPROP_AXISMODE, &mode.diph), DI_OK);
    }
    DIPROPDWORD size = Dword(100);
    EXPECT_EQ(device->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DI_OK);
    EXPECT_EQ(device->Acquire(), DI_OK);
    return device;
  }

  HWND window = nullptr;
  ComPtr<IDirectInput8A> input;
};

TEST_F(InputDeviceTest, CreationErrors) {
  void* out = nullptr;
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &out, nullptr), DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0900, IID_IDirectInput8A, &out, nullptr), DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInputDevice8A, &out, nullptr), DIERR_NOINTERFACE);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8A, nullptr, nullptr), DIERR_INVALIDPARAM);
  EXPECT_EQ(out, nullptr);
  IDirectInputDevice8A* device = nullptr;
  EXPECT_EQ(input->CreateDevice(GUID_XAxis, &device, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(input->CreateDevice(GUID_SysMouse, nullptr, nullptr), DIERR_INVALIDPARAM);
  EXPECT_EQ(device, nullptr);
}

TEST_F(InputDeviceTest, SetUpErrors) {
  ComPtr<IDirectInputDevice8A> keyboard;
  ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, keyboard.ReleaseAndGetAddressOf(), nullptr), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NONEXCLUSIVE),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetCooperativeLevel(reinterpret_cast<HWND>(0x42), DISCL_FOREGROUND | DISCL_NONEXCLUSIVE),
            DIERR_INVALIDPARAM);
  DIPROPDWORD mode = Dword(DIPROPAXISMODE_REL);
  EXPECT_EQ(keyboard->SetProperty(DIPROP_AXISMODE, &mode.diph), DIERR_UNSUPPORTED);
  DIPROPDWORD size = Dword(10);
  size.diph.dwHeaderSize = 20;
  EXPECT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, nullptr), DIERR_INVALIDPARAM);
  BYTE keys[256];
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INVALIDPARAM);  // no format

  ComPtr<IDirectInputDevice8A> acquired = Open(GUID_SysKeyboard);
  EXPECT_EQ(acquired->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
  EXPECT_EQ(acquired->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(acquired->Acquire(), DI_NOEFFECT);
}

TEST_F(InputDeviceTest, KeyStateHasTheHighBitForHeldKeys) {
  auto keyboard = Open(GUID_SysKeyboard);
  Win32TestKey(window, VK_LEFT, true);
  Win32TestKey(window, VK_UP, true);
  Win32TestKey(window, 'X', true);
  Win32TestKey(window, 'X', false);
  BYTE keys[256];
  ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
  EXPECT_EQ(keys[DIK_LEFT], 0x80);
  EXPECT_EQ(keys[DIK_UP], 0x80);
  EXPECT_EQ(keys[DIK_X], 0);
  EXPECT_EQ(keys[DIK_RIGHT], 0);
  int held = 0;
  for (BYTE k : keys) held += k ? 1 : 0;
  EXPECT_EQ(held, 2);
}

TEST_F(InputDeviceTest, MouseReportsRelativeMotionWheelAndButtons) {
  auto mouse = Open(GUID_SysMouse);
  Win32TestMouseMove(window, 5, -3);
  Win32TestMouseMove(window, 2, 1);
  Win32TestWheel(window, -2);
  Win32TestMouseButton(window, 0, true);
  DIMOUSESTATE2 state{};
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 7);
  EXPECT_EQ(state.lY, -2);
  EXPECT_EQ(state.lZ, -240);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  EXPECT_EQ(state.rgbButtons[1], 0);

  // Motion is counted since the previous read; the button stays held.
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(state.lY, 0);
  EXPECT_EQ(state.lZ, 0);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
}

TEST_F(InputDeviceTest, BufferedEventsInThe32BitRecordSize) {
  auto mouse = Open(GUID_SysMouse);
  Win32TestMouseMove(window, 4, 0);
  Win32TestWheel(window, 1);
  // 20-byte records, as a 32-bit program passes them.
  BYTE records[3 * 20];
  std::memset(records, 0xAB, sizeof records);
  DWORD count = 3;
  ASSERT_EQ(mouse->GetDeviceData(20, reinterpret_cast<DIDEVICEOBJECTDATA*>(records), &count, 0), DI_OK);
  ASSERT_EQ(count, 2u);
  DWORD offset, data;
  std::memcpy(&offset, records, 4);
  std::memcpy(&data, records + 4, 4);
  EXPECT_EQ(offset, DIMOFS_X);
  EXPECT_EQ(data, 4u);
  std::memcpy(&offset, records + 20, 4);
  std::memcpy(&data, records + 24, 4);
  EXPECT_EQ(offset, DIMOFS_Z);
  EXPECT_EQ(data, 120u);
  EXPECT_EQ(records[40], 0xAB);  // the third record is untouched

  count = 1;
  DIDEVICEOBJECTDATA one{};
  EXPECT_EQ(mouse->GetDeviceData(sizeof one, &one, &count, 0), DI_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(mouse->GetDeviceData(17, &one, &count, 0), DIERR_INVALIDPARAM);
  EXPECT_EQ(mouse->GetDeviceData(sizeof one, &one, nullptr, 0), DIERR_INVALIDPARAM);

  // A full buffer keeps the oldest events and reports the overflow once.
  auto keyboard = Open(GUID_SysKeyboard);
  ASSERT_EQ(keyboard->Unacquire(), DI_OK);
  DIPROPDWORD size = Dword(2);
  ASSERT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DI_OK);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  Win32TestKeyPress(window, 'A');
  Win32TestKeyPress(window, 'B');
  DIDEVICEOBJECTDATA events[4];
  count = 4;
  EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0), DI_BUFFEROVERFLOW);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(events[0].dwOfs, DIK_A);
  EXPECT_EQ(events[0].dwData, 0x80u);
  EXPECT_EQ(events[1].dwData, 0u);
  EXPECT_LT(events[0].dwSequence, events[1].dwSequence);
  count = 4;
  EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0), DI_OK);

  ASSERT_EQ(keyboard->Unacquire(), DI_OK);
  size = Dword(0);
  ASSERT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DI_OK);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0), DIERR_NOTBUFFERED);
}

TEST_F(InputDeviceTest, ReadsFailWhileTheWindowIsInactive) {
  auto keyboard = Open(GUID_SysKeyboard);
  auto mouse = Open(GUID_SysMouse);
  Win32TestKey(window, VK_LEFT, true);
  Win32TestActivate(window, false, true);  // minimised

  BYTE keys[256];
  DIMOUSESTATE2 state{};
  DWORD count = 1;
  DIDEVICEOBJECTDATA event{};
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
  EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
  EXPECT_EQ(mouse->GetDeviceData(sizeof event, &event, &count, 0), DIERR_INPUTLOST);
  // Reacquiring fails while another window has the foreground; then the device is simply not acquired.
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
  Win32TestMouseMove(window, 10, 10);  // motion while inactive is not counted

  Win32TestActivate(window, true);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  ASSERT_EQ(mouse->Acquire(), DI_OK);
  ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
  EXPECT_EQ(keys[DIK_LEFT], 0x80);  // still held when reacquired
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(mouse->Unacquire(), DI_OK);
  EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
}

}  // namespace
