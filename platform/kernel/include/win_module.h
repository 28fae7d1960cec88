// Modules and their exported procedures.
//
// The platform pieces are linked into the program, so "loading" a module means
// finding it among the modules that registered themselves: a platform library
// that stands for a module registers it (name and exports) when it is first
// used or at start-up, and from then on it counts as loaded in the process.
#pragma once

#include "win_types.h"

HMODULE GetModuleHandleA(LPCSTR name);  // null name: the program itself
HMODULE LoadLibraryA(LPCSTR name);      // null and ERROR_MOD_NOT_FOUND when not registered
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);  // null and ERROR_PROC_NOT_FOUND

struct ModuleExport {
  const char* name;
  FARPROC address;
};

// Makes `name` (e.g. "d3d8.dll") a loaded module with these exports. Registering
// the same name again replaces its exports. Names compare without ASCII case.
void KernelRegisterModule(const char* name, const ModuleExport* exports, size_t count);
// Test hook: removes a registered module, as if it had never been loaded.
void KernelTestUnregisterModule(const char* name);
