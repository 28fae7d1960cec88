// DirectInput 8: the keyboard and the mouse as devices read beside the message
// queue, with the platform's names, values, GUIDs and interface slot order.
//
// Property identifiers: on the platform DIPROP_* are small integers cast to a
// GUID reference. Here each is a GUID object whose Data1 is that integer and
// whose other fields are zero, so `SetProperty(DIPROP_BUFFERSIZE, &header)`
// reads as it does there without forming a reference from an integer.
#pragma once

#include "win_types.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif

// ---- results ------------------------------------------------------------------
constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOTATTACHED = S_FALSE;
constexpr HRESULT DI_BUFFEROVERFLOW = S_FALSE;
constexpr HRESULT DI_PROPNOEFFECT = S_FALSE;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DI_POLLEDDEVICE = 2;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481u);
constexpr HRESULT DIERR_BADDRIVERVER = static_cast<HRESULT>(0x80070077u);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT DIERR_NOTFOUND = static_cast<HRESULT>(0x80070002u);
constexpr HRESULT DIERR_OBJECTNOTFOUND = static_cast<HRESULT>(0x80070002u);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DIERR_GENERIC = E_FAIL;
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015u);
constexpr HRESULT DIERR_ALREADYINITIALIZED = static_cast<HRESULT>(0x800704DFu);
constexpr HRESULT DIERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_READONLY = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_HANDLEEXISTS = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_NOTEXCLUSIVEACQUIRED = static_cast<HRESULT>(0x80040205u);
constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x80040207u);

// ---- GUIDs ----------------------------------------------------------------------
inline constexpr GUID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
inline constexpr GUID IID_IDirectInput8W = {0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
inline constexpr GUID IID_IDirectInputDevice8A = {0x54D41080, 0xDC15, 0x4833, {0xA4, 0x1B, 0x74, 0x8F, 0x73, 0xA3, 0x81, 0x79}};
inline constexpr GUID IID_IDirectInputDevice8W = {0x54D41081, 0xDC15, 0x4833, {0xA4, 0x1B, 0x74, 0x8F, 0x73, 0xA3, 0x81, 0x79}};
inline constexpr GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_XAxis = {0xA36D02E0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_YAxis = {0xA36D02E1, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_ZAxis = {0xA36D02E2, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_Button = {0xA36D02F0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_Key = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// ---- properties -------------------------------------------------------------------
inline constexpr GUID DIPROP_BUFFERSIZE = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_AXISMODE = {2, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_GRANULARITY = {3, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_RANGE = {4, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_DEADZONE = {5, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_SATURATION = {6, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;
constexpr DWORD DIPH_BYID = 2;
constexpr DWORD DIPH_BYUSAGE = 3;
constexpr DWORD DIPROPAXISMODE_ABS = 0;
constexpr DWORD DIPROPAXISMODE_REL = 1;

struct DIPROPHEADER {
  DWORD dwSize;
  DWORD dwHeaderSize;
  DWORD dwObj;
  DWORD dwHow;
};
using LPDIPROPHEADER = DIPROPHEADER*;
using LPCDIPROPHEADER = const DIPROPHEADER*;
struct DIPROPDWORD {
  DIPROPHEADER diph;
  DWORD dwData;
};
using LPDIPROPDWORD = DIPROPDWORD*;

// ---- data formats ---------------------------------------------------------------------
struct DIOBJECTDATAFORMAT {
  const GUID* pguid;
  DWORD dwOfs;
  DWORD dwType;
  DWORD dwFlags;
};
using LPDIOBJECTDATAFORMAT = DIOBJECTDATAFORMAT*;
struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwObjSize;
  DWORD dwFlags;
  DWORD dwDataSize;
  DWORD dwNumObjs;
  LPDIOBJECTDATAFORMAT rgodf;
};
using LPCDIDATAFORMAT = const DIDATAFORMAT*;
constexpr DWORD DIDF_ABSAXIS = 0x00000001;
constexpr DWORD DIDF_RELAXIS = 0x00000002;
constexpr DWORD DIDFT_RELAXIS = 0x00000001;
constexpr DWORD DIDFT_ABSAXIS = 0x00000002;
constexpr DWORD DIDFT_AXIS = 0x00000003;
constexpr DWORD DIDFT_PSHBUTTON = 0x00000004;
constexpr DWORD DIDFT_TGLBUTTON = 0x00000008;
constexpr DWORD DIDFT_BUTTON = 0x0000000C;
constexpr DWORD DIDFT_ANYINSTANCE = 0x00FFFF00;
constexpr DWORD DIDFT_OPTIONAL = 0x80000000;
#define DIDFT_MAKEINSTANCE(n) (static_cast<DWORD>(static_cast<WORD>(n)) << 8)

// The standard formats: the 256-byte key state, DIMOUSESTATE and DIMOUSESTATE2.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIMouse2;

struct DIMOUSESTATE {
  LONG lX;
  LONG lY;
  LONG lZ;
  BYTE rgbButtons[4];
};
struct DIMOUSESTATE2 {
  LONG lX;  // relative motion since the last read
  LONG lY;
  LONG lZ;  // wheel: 120 per notch
  BYTE rgbButtons[8];  // 0x80 while held
};
using LPDIMOUSESTATE2 = DIMOUSESTATE2*;
constexpr DWORD DIMOFS_X = 0;
constexpr DWORD DIMOFS_Y = 4;
constexpr DWORD DIMOFS_Z = 8;
constexpr DWORD DIMOFS_BUTTON0 = 12;
constexpr DWORD DIMOFS_BUTTON1 = 13;
constexpr DWORD DIMOFS_BUTTON2 = 14;
constexpr DWORD DIMOFS_BUTTON3 = 15;
constexpr DWORD DIMOFS_BUTTON4 = 16;
constexpr DWORD DIMOFS_BUTTON5 = 17;
constexpr DWORD DIMOFS_BUTTON6 = 18;
constexpr DWORD DIMOFS_BUTTON7 = 19;

// One buffered event. GetDeviceData also takes the record size of the
// platform's 32-bit programs (20 bytes) and the older 16-byte record without uAppData.
struct DIDEVICEOBJECTDATA {
  DWORD dwOfs;  // the key's DIK code, or a DIMOFS_ offset
  DWORD dwData;  // 0x80 pressed / 0 released; signed relative motion for axes
  DWORD dwTimeStamp;
  DWORD dwSequence;
  UINT_PTR uAppData;
};
using LPDIDEVICEOBJECTDATA = DIDEVICEOBJECTDATA*;
constexpr DWORD DIGDD_PEEK = 0x00000001;

// ---- cooperative levels -----------------------------------------------------------------
constexpr DWORD DISCL_EXCLUSIVE = 0x00000001;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x00000002;
constexpr DWORD DISCL_FOREGROUND = 0x00000004;
constexpr DWORD DISCL_BACKGROUND = 0x00000008;
constexpr DWORD DISCL_NOWINKEY = 0x00000010;

// ---- device and object descriptions ------------------------------------------------------
constexpr DWORD DI8DEVCLASS_ALL = 0;
constexpr DWORD DI8DEVCLASS_DEVICE = 1;
constexpr DWORD DI8DEVCLASS_POINTER = 2;
constexpr DWORD DI8DEVCLASS_KEYBOARD = 3;
constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
constexpr DWORD DI8DEVTYPE_MOUSE = 0x12;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;
constexpr DWORD DIEDFL_ALLDEVICES = 0x00000000;
constexpr DWORD DIEDFL_ATTACHEDONLY = 0x00000001;
constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;
constexpr DWORD DIDC_ATTACHED = 0x00000001;

struct DIDEVCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwDevType;
  DWORD dwAxes;
  DWORD dwButtons;
  DWORD dwPOVs;
  DWORD dwFFSamplePeriod;
  DWORD dwFFMinTimeResolution;
  DWORD dwFirmwareRevision;
  DWORD dwHardwareRevision;
  DWORD dwFFDriverVersion;
};
using LPDIDEVCAPS = DIDEVCAPS*;

struct DIDEVICEINSTANCEA {
  DWORD dwSize;
  GUID guidInstance;
  GUID guidProduct;
  DWORD dwDevType;
  CHAR tszInstanceName[260];
  CHAR tszProductName[260];
  GUID guidFFDriver;
  WORD wUsagePage;
  WORD wUsage;
};
using LPDIDEVICEINSTANCEA = DIDEVICEINSTANCEA*;
using LPCDIDEVICEINSTANCEA = const DIDEVICEINSTANCEA*;

struct DIDEVICEOBJECTINSTANCEA {
  DWORD dwSize;
  GUID guidType;
  DWORD dwOfs;
  DWORD dwType;
  DWORD dwFlags;
  CHAR tszName[260];
  DWORD dwFFMaxForce;
  DWORD dwFFForceResolution;
  WORD wCollectionNumber;
  WORD wDesignatorIndex;
  WORD wUsagePage;
  WORD wUsage;
  DWORD dwDimension;
  WORD wExponent;
  WORD wReportId;
};
using LPDIDEVICEOBJECTINSTANCEA = DIDEVICEOBJECTINSTANCEA*;
using LPCDIDEVICEOBJECTINSTANCEA = const DIDEVICEOBJECTINSTANCEA*;

using LPDIENUMDEVICESCALLBACKA = BOOL (*)(LPCDIDEVICEINSTANCEA, LPVOID);
using LPDIENUMDEVICEOBJECTSCALLBACKA = BOOL (*)(LPCDIDEVICEOBJECTINSTANCEA, LPVOID);

// Force feedback and action mapping are not offered; their types only fill the slots.
struct DIEFFECT;
struct DIEFFECTINFOA;
struct DIEFFESCAPE;
struct DIACTIONFORMATA;
struct DICONFIGUREDEVICESPARAMSA;
struct DIDEVICEIMAGEINFOHEADERA;
struct IDirectInputEffect;
using LPDIRECTINPUTEFFECT = IDirectInputEffect*;
using LPDIENUMEFFECTSCALLBACKA = BOOL (*)(const DIEFFECTINFOA*, LPVOID);
using LPDIENUMCREATEDEFFECTOBJECTSCALLBACK = BOOL (*)(LPDIRECTINPUTEFFECT, LPVOID);
using LPDIENUMEFFECTSINFILECALLBACK = BOOL (*)(const void*, LPVOID);
using LPDIENUMDEVICESBYSEMANTICSCBA = BOOL (*)(LPCDIDEVICEINSTANCEA, struct IDirectInputDevice8A*, DWORD, DWORD, LPVOID);
using LPDICONFIGUREDEVICESCALLBACK = BOOL (*)(IUnknown*, LPVOID);

// ---- interfaces, in slot order -----------------------------------------------------------
struct IDirectInputDevice8A : IUnknown {
  virtual HRESULT GetCapabilities(LPDIDEVCAPS caps) = 0;
  virtual HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD flags) = 0;
  virtual HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) = 0;
  virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
  virtual HRESULT Acquire() = 0;
  virtual HRESULT Unacquire() = 0;
  virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
  virtual HRESULT GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) = 0;
  virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
  virtual HRESULT SetEventNotification(HANDLE event) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA info, DWORD object, DWORD how) = 0;
  virtual HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA info) = 0;
  virtual HRESULT RunControlPanel(HWND owner, DWORD flags) = 0;
  virtual HRESULT Initialize(HINSTANCE instance, DWORD version, REFGUID guid) = 0;
  virtual HRESULT CreateEffect(REFGUID effect, const DIEFFECT* params, LPDIRECTINPUTEFFECT* out, IUnknown* outer) = 0;
  virtual HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, LPVOID context, DWORD type) = 0;
  virtual HRESULT GetEffectInfo(DIEFFECTINFOA* info, REFGUID effect) = 0;
  virtual HRESULT GetForceFeedbackState(LPDWORD state) = 0;
  virtual HRESULT SendForceFeedbackCommand(DWORD command) = 0;
  virtual HRESULT EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK callback, LPVOID context,
                                           DWORD flags) = 0;
  virtual HRESULT Escape(DIEFFESCAPE* escape) = 0;
  virtual HRESULT Poll() = 0;
  virtual HRESULT SendDeviceData(DWORD objectDataSize, const DIDEVICEOBJECTDATA* data, LPDWORD inOut, DWORD flags) = 0;
  virtual HRESULT EnumEffectsInFile(LPCSTR fileName, LPDIENUMEFFECTSINFILECALLBACK callback, LPVOID context,
                                    DWORD flags) = 0;
  virtual HRESULT WriteEffectToFile(LPCSTR fileName, DWORD count, const void* effects, DWORD flags) = 0;
  virtual HRESULT BuildActionMap(DIACTIONFORMATA* format, LPCSTR user, DWORD flags) = 0;
  virtual HRESULT SetActionMap(DIACTIONFORMATA* format, LPCSTR user, DWORD flags) = 0;
  virtual HRESULT GetImageInfo(DIDEVICEIMAGEINFOHEADERA* header) = 0;

 protected:
  ~IDirectInputDevice8A() = default;
};
using LPDIRECTINPUTDEVICE8A = IDirectInputDevice8A*;
using IDirectInputDevice8 = IDirectInputDevice8A;
using LPDIRECTINPUTDEVICE8 = IDirectInputDevice8A*;

struct IDirectInput8A : IUnknown {
  virtual HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICE8A* out, IUnknown* outer) = 0;
  virtual HRESULT EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) = 0;
  virtual HRESULT GetDeviceStatus(REFGUID instance) = 0;
  virtual HRESULT RunControlPanel(HWND owner, DWORD flags) = 0;
  virtual HRESULT Initialize(HINSTANCE instance, DWORD version) = 0;
  virtual HRESULT FindDevice(REFGUID deviceClass, LPCSTR name, GUID* instance) = 0;
  virtual HRESULT EnumDevicesBySemantics(LPCSTR user, DIACTIONFORMATA* format, LPDIENUMDEVICESBYSEMANTICSCBA callback,
                                         LPVOID context, DWORD flags) = 0;
  virtual HRESULT ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK callback, DICONFIGUREDEVICESPARAMSA* params,
                                   DWORD flags, LPVOID data) = 0;

 protected:
  ~IDirectInput8A() = default;
};
using LPDIRECTINPUT8A = IDirectInput8A*;
using IDirectInput8 = IDirectInput8A;
using LPDIRECTINPUT8 = IDirectInput8A*;

// Creates the DirectInput object. `version` must be 0x0800 (older values give
// DIERR_OLDDIRECTINPUTVERSION, newer DIERR_BETADIRECTINPUTVERSION); `iid`
// IID_IDirectInput8A; `outer` null (aggregation is not offered).
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out, IUnknown* outer);

// ---- keyboard scan codes (DIK_) ------------------------------------------------------------
constexpr BYTE DIK_ESCAPE = 0x01, DIK_1 = 0x02, DIK_2 = 0x03, DIK_3 = 0x04, DIK_4 = 0x05, DIK_5 = 0x06, DIK_6 = 0x07,
               DIK_7 = 0x08, DIK_8 = 0x09, DIK_9 = 0x0A, DIK_0 = 0x0B, DIK_MINUS = 0x0C, DIK_EQUALS = 0x0D,
               DIK_BACK = 0x0E, DIK_TAB = 0x0F, DIK_Q = 0x10, DIK_W = 0x11, DIK_E = 0x12, DIK_R = 0x13, DIK_T = 0x14,
               DIK_Y = 0x15, DIK_U = 0x16, DIK_I = 0x17, DIK_O = 0x18, DIK_P = 0x19, DIK_LBRACKET = 0x1A,
               DIK_RBRACKET = 0x1B, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D, DIK_A = 0x1E, DIK_S = 0x1F, DIK_D = 0x20,
               DIK_F = 0x21, DIK_G = 0x22, DIK_H = 0x23, DIK_J = 0x24, DIK_K = 0x25, DIK_L = 0x26,
               DIK_SEMICOLON = 0x27, DIK_APOSTROPHE = 0x28, DIK_GRAVE = 0x29, DIK_LSHIFT = 0x2A,
               DIK_BACKSLASH = 0x2B, DIK_Z = 0x2C, DIK_X = 0x2D, DIK_C = 0x2E, DIK_V = 0x2F, DIK_B = 0x30,
               DIK_N = 0x31, DIK_M = 0x32, DIK_COMMA = 0x33, DIK_PERIOD = 0x34, DIK_SLASH = 0x35, DIK_RSHIFT = 0x36,
               DIK_MULTIPLY = 0x37, DIK_LMENU = 0x38, DIK_SPACE = 0x39, DIK_CAPITAL = 0x3A, DIK_F1 = 0x3B,
               DIK_F2 = 0x3C, DIK_F3 = 0x3D, DIK_F4 = 0x3E, DIK_F5 = 0x3F, DIK_F6 = 0x40, DIK_F7 = 0x41,
               DIK_F8 = 0x42, DIK_F9 = 0x43, DIK_F10 = 0x44, DIK_NUMLOCK = 0x45, DIK_SCROLL = 0x46,
               DIK_NUMPAD7 = 0x47, DIK_NUMPAD8 = 0x48, DIK_NUMPAD9 = 0x49, DIK_SUBTRACT = 0x4A, DIK_NUMPAD4 = 0x4B,
               DIK_NUMPAD5 = 0x4C, DIK_NUMPAD6 = 0x4D, DIK_ADD = 0x4E, DIK_NUMPAD1 = 0x4F, DIK_NUMPAD2 = 0x50,
               DIK_NUMPAD3 = 0x51, DIK_NUMPAD0 = 0x52, DIK_DECIMAL = 0x53, DIK_F11 = 0x57, DIK_F12 = 0x58,
               DIK_RCONTROL = 0x9D, DIK_DIVIDE = 0xB5, DIK_RMENU = 0xB8, DIK_PAUSE = 0xC5, DIK_HOME = 0xC7,
               DIK_UP = 0xC8, DIK_PRIOR = 0xC9, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD, DIK_END = 0xCF, DIK_DOWN = 0xD0,
               DIK_NEXT = 0xD1, DIK_INSERT = 0xD2, DIK_DELETE = 0xD3;
constexpr BYTE DIK_BACKSPACE = DIK_BACK, DIK_LALT = DIK_LMENU, DIK_RALT = DIK_RMENU, DIK_UPARROW = DIK_UP,
               DIK_DOWNARROW = DIK_DOWN, DIK_LEFTARROW = DIK_LEFT, DIK_RIGHTARROW = DIK_RIGHT, DIK_PGUP = DIK_PRIOR,
               DIK_PGDN = DIK_NEXT;
