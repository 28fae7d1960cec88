// The DirectInput object: creates the system keyboard and mouse.
#include <atomic>
#include <cstring>
#include <new>

#include "input_device.h"

namespace dinput {
namespace {

struct KnownDevice {
  const GUID* guid;
  DeviceKind kind;
  DWORD deviceClass;
  DWORD type;
  const char* name;
};
constexpr KnownDevice kDevices[] = {
    {&GUID_SysKeyboard, DeviceKind::Keyboard, DI8DEVCLASS_KEYBOARD, DI8DEVTYPE_KEYBOARD | (4u << 8), "Keyboard"},
    {&GUID_SysMouse, DeviceKind::Mouse, DI8DEVCLASS_POINTER, DI8DEVTYPE_MOUSE | (2u << 8), "Mouse"},
};

const KnownDevice* FindKnownDevice(REFGUID guid) {
  for (const KnownDevice& device : kDevices)
    if (*device.guid == guid) return &device;
  return nullptr;
}

class DirectInput final : public IDirectInput8A {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectInput8A) {
      *object = static_cast<IDirectInput8A*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* out, IUnknown* outer) override {
    if (!out) return DIERR_INVALIDPARAM;
    if (outer) return DIERR_NOAGGREGATION;
    const KnownDevice* device = FindKnownDevice(guid);
    if (!device) return DIERR_DEVICENOTREG;
    auto* created = new (std::nothrow) InputDevice(device->kind);
    if (!created) return DIERR_OUTOFMEMORY;
    *out = created;
    return DI_OK;
  }

  HRESULT EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD) override {
    if (!callback) return DIERR_INVALIDPARAM;
    for (const KnownDevice& device : kDevices) {
      bool wanted = deviceType == DI8DEVCLASS_ALL || deviceType == device.deviceClass ||
                    deviceType == (device.type & 0xFF);
      if (!wanted) continue;
      DIDEVICEINSTANCEA info{};
      info.dwSize = sizeof(info);
      info.guidInstance = info.guidProduct = *device.guid;
      info.dwDevType = device.type;
      std::strcpy(info.tszInstanceName, device.name);
      std::strcpy(info.tszProductName, device.name);
      if (callback(&info, context) == DIENUM_STOP) break;
    }
    return DI_OK;
  }

  HRESULT GetDeviceStatus(REFGUID instance) override { return FindKnownDevice(instance) ? DI_OK : DIERR_DEVICENOTREG; }
  HRESULT RunControlPanel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT Initialize(HINSTANCE, DWORD version) override {
    if (version < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
    if (version > 0x0800) return DIERR_BETADIRECTINPUTVERSION;
    return DI_OK;
  }
  HRESULT FindDevice(REFGUID, LPCSTR, GUID*) override { return DIERR_DEVICENOTREG; }
  HRESULT EnumDevicesBySemantics(LPCSTR, DIACTIONFORMATA*, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, DICONFIGUREDEVICESPARAMSA*, DWORD, LPVOID) override {
    return DIERR_UNSUPPORTED;
  }

 private:
  ~DirectInput() = default;
  std::atomic<ULONG> refs_{1};
};

}  // namespace
}  // namespace dinput

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, LPVOID* out, IUnknown* outer) {
  if (!out) return DIERR_INVALIDPARAM;
  if (version < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
  if (version > 0x0800) return DIERR_BETADIRECTINPUTVERSION;
  if (outer) return DIERR_NOAGGREGATION;
  if (iid != IID_IDirectInput8A) return DIERR_NOINTERFACE;
  auto* created = new (std::nothrow) dinput::DirectInput();
  if (!created) return DIERR_OUTOFMEMORY;
  *out = static_cast<IDirectInput8A*>(created);
  return DI_OK;
}
