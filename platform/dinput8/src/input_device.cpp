#include "input_device.h"

#include <algorithm>
#include <cstring>

#include "win_clock.h"
#include "win_queue.h"
#include "win_window.h"

namespace dinput {

namespace {

constexpr DWORD kMaxBufferSize = 1u << 16;
// Record sizes GetDeviceData takes: the old record without uAppData, the
// platform's 32-bit record, and ours.
constexpr DWORD kOldRecordSize = 16;
constexpr DWORD kRecord32Size = 20;

bool IsPropertyId(REFGUID property, DWORD id) { return property == GUID{id, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}}; }

}  // namespace

InputDevice::InputDevice(DeviceKind kind) : kind_(kind) { Win32AddRawInputListener(this); }

InputDevice::~InputDevice() { Win32RemoveRawInputListener(this); }

HRESULT InputDevice::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirectInputDevice8A) {
    *object = static_cast<IDirectInputDevice8A*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG InputDevice::AddRef() { return ++refs_; }

ULONG InputDevice::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;  // an acquired device is unacquired with it
  return left;
}

HRESULT InputDevice::GetCapabilities(LPDIDEVCAPS caps) {
  if (!caps || caps->dwSize != sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
  std::memset(reinterpret_cast<BYTE*>(caps) + sizeof(DWORD), 0, sizeof(DIDEVCAPS) - sizeof(DWORD));
  caps->dwFlags = DIDC_ATTACHED;
  if (kind_ == DeviceKind::Keyboard) {
    caps->dwDevType = DI8DEVTYPE_KEYBOARD | (4u << 8);  // enhanced 101/102-key keyboard
    caps->dwButtons = 128;
  } else {
    caps->dwDevType = DI8DEVTYPE_MOUSE | (2u << 8);
    caps->dwAxes = 3;
    caps->dwButtons = 8;
  }
  return DI_OK;
}

HRESULT InputDevice::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) { return DIERR_UNSUPPORTED; }

HRESULT InputDevice::GetProperty(REFGUID property, LPDIPROPHEADER header) {
  if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPDWORD))
    return DIERR_INVALIDPARAM;
  if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) return DIERR_UNSUPPORTED;
  auto* value = reinterpret_cast<DIPROPDWORD*>(header);
  if (IsPropertyId(property, 1)) {
    value->dwData = bufferSize_;
    return DI_OK;
  }
  if (IsPropertyId(property, 2) && kind_ == DeviceKind::Mouse) {
    value->dwData = absoluteAxes_ ? DIPROPAXISMODE_ABS : DIPROPAXISMODE_REL;
    return DI_OK;
  }
  return DIERR_UNSUPPORTED;
}

HRESULT InputDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header) {
  if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPDWORD))
    return DIERR_INVALIDPARAM;
  if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) return DIERR_UNSUPPORTED;
  DWORD data = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
  if (IsPropertyId(property, 1)) {
    if (acquired_) return DIERR_ACQUIRED;
    bufferSize_ = std::min(data, kMaxBufferSize);
    if (buffer_.size() > bufferSize_) buffer_.resize(bufferSize_);
    return data > kMaxBufferSize ? DI_PROPNOEFFECT : DI_OK;
  }
  if (IsPropertyId(property, 2)) {
    if (kind_ != DeviceKind::Mouse) return DIERR_UNSUPPORTED;
    if (acquired_) return DIERR_ACQUIRED;
    if (data != DIPROPAXISMODE_ABS && data != DIPROPAXISMODE_REL) return DIERR_INVALIDPARAM;
    absoluteAxes_ = data == DIPROPAXISMODE_ABS;
    return DI_OK;
  }
  return DIERR_UNSUPPORTED;
}

bool InputDevice::HasForeground() const {
  if (!(cooperation_ & DISCL_FOREGROUND)) return true;
  return window_ && GetForegroundWindow() == window_;
}

HRESULT InputDevice::Acquire() {
  if (!format_) return DIERR_INVALIDPARAM;
  if (acquired_) return DI_NOEFFECT;
  lost_ = false;
  if (!HasForeground()) return DIERR_OTHERAPPHASPRIO;
  acquired_ = true;
  ClearState();
  LoadHeldState();
  return DI_OK;
}

HRESULT InputDevice::Unacquire() {
  lost_ = false;
  if (!acquired_) return DI_NOEFFECT;
  acquired_ = false;
  ClearState();
  return DI_OK;
}

HRESULT InputDevice::GetDeviceState(DWORD size, LPVOID data) {
  if (!data || !format_ || size != format_->dwDataSize) return DIERR_INVALIDPARAM;
  if (!acquired_) return ReadFailure();
  if (kind_ == DeviceKind::Keyboard) {
    std::memcpy(data, keys_, 256);
    return DI_OK;
  }
  DIMOUSESTATE2 state{};
  state.lX = axes_[0];
  state.lY = axes_[1];
  state.lZ = axes_[2];
  std::memcpy(state.rgbButtons, buttons_, sizeof(buttons_));
  std::memcpy(data, &state, size);  // DIMOUSESTATE is the first 16 bytes of DIMOUSESTATE2
  if (!absoluteAxes_) std::fill(std::begin(axes_), std::end(axes_), 0);
  return DI_OK;
}

HRESULT InputDevice::GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) {
  if (!inOut || (flags & ~DIGDD_PEEK)) return DIERR_INVALIDPARAM;
  if (objectDataSize != kOldRecordSize && objectDataSize != kRecord32Size &&
      objectDataSize != sizeof(DIDEVICEOBJECTDATA))
    return DIERR_INVALIDPARAM;
  if (!format_) return DIERR_INVALIDPARAM;
  if (!acquired_) return ReadFailure();
  if (bufferSize_ == 0) return DIERR_NOTBUFFERED;
  size_t count = std::min<size_t>(*inOut, buffer_.size());
  if (data) {
    auto* out = reinterpret_cast<BYTE*>(data);
    for (size_t i = 0; i < count; ++i) {
      BYTE* record = out + i * objectDataSize;
      std::memset(record, 0, objectDataSize);
      std::memcpy(record, &buffer_[i], std::min<size_t>(objectDataSize, sizeof(DIDEVICEOBJECTDATA)));
    }
  }
  if (!(flags & DIGDD_PEEK)) buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(count));
  *inOut = static_cast<DWORD>(count);
  if (overflowed_) {
    if (!(flags & DIGDD_PEEK)) overflowed_ = false;
    return DI_BUFFEROVERFLOW;
  }
  return DI_OK;
}

HRESULT InputDevice::SetDataFormat(LPCDIDATAFORMAT format) {
  if (!format || format->dwSize != sizeof(DIDATAFORMAT) || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT))
    return DIERR_INVALIDPARAM;
  if (acquired_) return DIERR_ACQUIRED;
  bool keyboardFormat = format == &c_dfDIKeyboard;
  bool mouseFormat = format == &c_dfDIMouse || format == &c_dfDIMouse2;
  if (!keyboardFormat && !mouseFormat) return DIERR_UNSUPPORTED;  // only the standard formats are offered
  if (keyboardFormat != (kind_ == DeviceKind::Keyboard)) return DIERR_INVALIDPARAM;
  format_ = format;
  return DI_OK;
}

HRESULT InputDevice::SetEventNotification(HANDLE) { return DIERR_UNSUPPORTED; }

HRESULT InputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
  bool exclusive = flags & DISCL_EXCLUSIVE, nonExclusive = flags & DISCL_NONEXCLUSIVE;
  bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
  if (exclusive == nonExclusive || foreground == background) return DIERR_INVALIDPARAM;
  if (flags & ~(DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY))
    return DIERR_INVALIDPARAM;
  if (!IsWindow(window) || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
    return DIERR_INVALIDPARAM;
  if (kind_ == DeviceKind::Keyboard && exclusive && background) return DIERR_UNSUPPORTED;
  if (acquired_) return DIERR_ACQUIRED;
  window_ = window;
  cooperation_ = flags;
  return DI_OK;
}

HRESULT InputDevice::GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) { return DIERR_UNSUPPORTED; }

HRESULT InputDevice::GetDeviceInfo(LPDIDEVICEINSTANCEA info) {
  if (!info || info->dwSize != sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
  std::memset(reinterpret_cast<BYTE*>(info) + sizeof(DWORD), 0, sizeof(DIDEVICEINSTANCEA) - sizeof(DWORD));
  bool keyboard = kind_ == DeviceKind::Keyboard;
  info->guidInstance = info->guidProduct = keyboard ? GUID_SysKeyboard : GUID_SysMouse;
  info->dwDevType = keyboard ? DI8DEVTYPE_KEYBOARD | (4u << 8) : DI8DEVTYPE_MOUSE | (2u << 8);
  const char* name = keyboard ? "Keyboard" : "Mouse";
  std::strcpy(info->tszInstanceName, name);
  std::strcpy(info->tszProductName, name);
  return DI_OK;
}

HRESULT InputDevice::RunControlPanel(HWND, DWORD) { return DIERR_UNSUPPORTED; }
HRESULT InputDevice::Initialize(HINSTANCE, DWORD, REFGUID) { return DIERR_ALREADYINITIALIZED; }
HRESULT InputDevice::Poll() { return acquired_ ? DI_NOEFFECT : ReadFailure(); }

void InputDevice::Record(DWORD offset, DWORD data) {
  if (bufferSize_ == 0) return;
  if (buffer_.size() >= bufferSize_) {
    overflowed_ = true;  // the newest events are the ones lost
    return;
  }
  buffer_.push_back({offset, data, timeGetTime(), ++sequence_, 0});
}

void InputDevice::ClearState() {
  buffer_.clear();
  overflowed_ = false;
  std::fill(std::begin(keys_), std::end(keys_), BYTE{0});
  std::fill(std::begin(axes_), std::end(axes_), 0);
  std::fill(std::begin(buttons_), std::end(buttons_), BYTE{0});
}

// Keys and buttons already held when the device is acquired count as held.
void InputDevice::LoadHeldState() {
  if (kind_ == DeviceKind::Keyboard) {
    for (int scan = 1; scan < 256; ++scan) {
      UINT vk = Win32ScanCodeToVirtualKey(static_cast<BYTE>(scan));
      if (vk && (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000)) keys_[scan] = 0x80;
    }
  } else {
    static constexpr int kButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    for (int i = 0; i < 3; ++i)
      if (GetAsyncKeyState(kButtons[i]) & 0x8000) buttons_[i] = 0x80;
  }
}

void InputDevice::OnRawKey(HWND, BYTE scanCode, bool down) {
  if (kind_ != DeviceKind::Keyboard || !acquired_ || scanCode == 0) return;
  keys_[scanCode] = down ? 0x80 : 0;
  Record(scanCode, down ? 0x80 : 0);
}

void InputDevice::OnRawMouseMove(HWND, LONG dx, LONG dy) {
  if (kind_ != DeviceKind::Mouse || !acquired_) return;
  axes_[0] += dx;
  axes_[1] += dy;
  if (dx) Record(DIMOFS_X, static_cast<DWORD>(dx));
  if (dy) Record(DIMOFS_Y, static_cast<DWORD>(dy));
}

void InputDevice::OnRawMouseButton(HWND, int button, bool down) {
  if (kind_ != DeviceKind::Mouse || !acquired_ || button < 0 || button > 7) return;
  buttons_[button] = down ? 0x80 : 0;
  Record(DIMOFS_BUTTON0 + static_cast<DWORD>(button), down ? 0x80 : 0);
}

void InputDevice::OnRawWheel(HWND, LONG delta) {
  if (kind_ != DeviceKind::Mouse || !acquired_) return;
  axes_[2] += delta;
  Record(DIMOFS_Z, static_cast<DWORD>(delta));
}

void InputDevice::OnForegroundChanged(HWND) {
  if (acquired_ && !HasForeground()) {
    acquired_ = false;
    lost_ = true;
    ClearState();
  }
}

}  // namespace dinput
