#include "gfx/device/debug_mute.h"

#include "win_module.h"

namespace {

using MuteFunction = void (*)(DWORD);

// Filled on first use; the writes are idempotent, so no lock.
MuteFunction g_releaseRuntime = nullptr;  // d3d8.dll
MuteFunction g_debugRuntime = nullptr;    // d3d8d.dll

// The module's switch, if the module is loaded already. The reference taken
// keeps the function valid for the life of the process.
MuteFunction FindSwitch(const char* moduleName) {
  if (GetModuleHandleA(moduleName) == nullptr) return nullptr;
  HMODULE module = LoadLibraryA(moduleName);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<MuteFunction>(GetProcAddress(module, "DebugSetMute"));
}

}  // namespace

void MuteDebugRuntime(BOOL mute) {
  // Looked up again on every call until one of the runtimes turns up.
  if (g_releaseRuntime == nullptr && g_debugRuntime == nullptr) {
    g_releaseRuntime = FindSwitch("d3d8.dll");
    g_debugRuntime = FindSwitch("d3d8d.dll");
  }
  if (g_releaseRuntime != nullptr) g_releaseRuntime(static_cast<DWORD>(mute));
  if (g_debugRuntime != nullptr) g_debugRuntime(static_cast<DWORD>(mute));
}
