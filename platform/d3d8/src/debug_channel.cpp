#include "debug_channel.h"

#include <cstdio>

#include "d3d8.h"
#include "win_module.h"
#include "win_registry.h"

namespace {
bool g_enabled = false;
bool g_muted = false;

void DebugSetMuteExport(DWORD mute) { DebugSetMute(mute); }
}  // namespace

void DebugSetMute(DWORD mute) { g_muted = mute != 0; }

void RefreshDebugChannel() {
  g_enabled = false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExA(key, "DebugOutput", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
      type == REG_DWORD) {
    g_enabled = value != 0;
  }
  RegCloseKey(key);
}

HRESULT Fail(HRESULT result, const char* call, const char* why) {
  if (g_enabled && !g_muted) std::fprintf(stderr, "d3d8: %s: %s\n", call, why);
  return result;
}

void RegisterRuntimeModule() {
  using MuteFunction = void (*)(DWORD);
  const MuteFunction mute = &DebugSetMuteExport;
  const ModuleExport exports[] = {{"DebugSetMute", reinterpret_cast<FARPROC>(mute)}};
  KernelRegisterModule("d3d8.dll", exports, 1);
}
