// A keyboard or mouse device: acquisition in the foreground, immediate state
// and an event buffer, fed by the raw input of the program's windows.
#pragma once

#include <atomic>
#include <deque>

#include "dinput8.h"
#include "win32_input.h"

namespace dinput {

enum class DeviceKind { Keyboard, Mouse };

class InputDevice final : public IDirectInputDevice8A, private RawInputListener {
 public:
  explicit InputDevice(DeviceKind kind);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetCapabilities(LPDIDEVCAPS caps) override;
  HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD flags) override;
  HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) override;
  HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(DWORD size, LPVOID data) override;
  HRESULT GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) override;
  HRESULT SetDataFormat(LPCDIDATAFORMAT format) override;
  HRESULT SetEventNotification(HANDLE event) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA info, DWORD object, DWORD how) override;
  HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA info) override;
  HRESULT RunControlPanel(HWND owner, DWORD flags) override;
  HRESULT Initialize(HINSTANCE instance, DWORD version, REFGUID guid) override;
  HRESULT CreateEffect(REFGUID, const DIEFFECT*, LPDIRECTINPUTEFFECT*, IUnknown*) override { return DIERR_UNSUPPORTED; }
  HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT GetEffectInfo(DIEFFECTINFOA*, REFGUID) override { return DIERR_UNSUPPORTED; }
  HRESULT GetForceFeedbackState(LPDWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT SendForceFeedbackCommand(DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT Escape(DIEFFESCAPE*) override { return DIERR_UNSUPPORTED; }
  HRESULT Poll() override;
  HRESULT SendDeviceData(DWORD, const DIDEVICEOBJECTDATA*, LPDWORD, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT EnumEffectsInFile(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT WriteEffectToFile(LPCSTR, DWORD, const void*, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT BuildActionMap(DIACTIONFORMATA*, LPCSTR, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT SetActionMap(DIACTIONFORMATA*, LPCSTR, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT GetImageInfo(DIDEVICEIMAGEINFOHEADERA*) override { return DIERR_UNSUPPORTED; }

 private:
  ~InputDevice();

  void OnRawKey(HWND window, BYTE scanCode, bool down) override;
  void OnRawMouseMove(HWND window, LONG dx, LONG dy) override;
  void OnRawMouseButton(HWND window, int button, bool down) override;
  void OnRawWheel(HWND window, LONG delta) override;
  void OnForegroundChanged(HWND foreground) override;

  bool HasForeground() const;
  HRESULT ReadFailure() const { return lost_ ? DIERR_INPUTLOST : DIERR_NOTACQUIRED; }
  void Record(DWORD offset, DWORD data);
  void ClearState();
  void LoadHeldState();

  std::atomic<ULONG> refs_{1};
  DeviceKind kind_;
  const DIDATAFORMAT* format_ = nullptr;
  HWND window_ = nullptr;
  DWORD cooperation_ = 0;
  bool acquired_ = false;
  bool lost_ = false;
  bool absoluteAxes_ = false;
  DWORD bufferSize_ = 0;
  bool overflowed_ = false;
  DWORD sequence_ = 0;
  std::deque<DIDEVICEOBJECTDATA> buffer_;
  BYTE keys_[256] = {};
  LONG axes_[3] = {};
  BYTE buttons_[8] = {};
};

}  // namespace dinput
