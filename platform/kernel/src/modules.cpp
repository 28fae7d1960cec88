#include <algorithm>
#include <cctype>
#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "win_file.h"
#include "win_module.h"

namespace {

struct Module {
  std::string name;  // folded
  std::vector<std::pair<std::string, FARPROC>> exports;
};

struct ModuleTable {
  std::mutex mutex;
  std::list<Module> modules;  // list: handles (addresses) stay stable
};

ModuleTable& Table() {
  static ModuleTable table;
  return table;
}

// The program's own handle, for GetModuleHandleA(null).
char g_program_module;

std::string Fold(const char* text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

HMODULE Find(ModuleTable& t, const char* name) {
  const std::string folded = Fold(name);
  for (auto& m : t.modules) {
    if (m.name == folded) return reinterpret_cast<HMODULE>(&m);
  }
  return nullptr;
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name) {
  if (name == nullptr) return reinterpret_cast<HMODULE>(&g_program_module);
  ModuleTable& t = Table();
  std::lock_guard lock(t.mutex);
  HMODULE module = Find(t, name);
  if (module == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

HMODULE LoadLibraryA(LPCSTR name) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return GetModuleHandleA(name);
}

BOOL FreeLibrary(HMODULE module) {
  // Registered modules stay for the life of the process, as linked-in modules do.
  return module != nullptr ? TRUE : FALSE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  ModuleTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (procName != nullptr && !IS_INTRESOURCE(procName)) {
    for (auto& m : t.modules) {
      if (reinterpret_cast<HMODULE>(&m) != module) continue;
      for (auto& [name, address] : m.exports) {
        if (name == procName) return address;
      }
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

void KernelRegisterModule(const char* name, const ModuleExport* exports, size_t count) {
  ModuleTable& t = Table();
  std::lock_guard lock(t.mutex);
  Module* module = reinterpret_cast<Module*>(Find(t, name));
  if (module == nullptr) {
    t.modules.push_back(Module{Fold(name), {}});
    module = &t.modules.back();
  }
  module->exports.clear();
  for (size_t i = 0; i < count; ++i) module->exports.emplace_back(exports[i].name, exports[i].address);
}

void KernelTestUnregisterModule(const char* name) {
  ModuleTable& t = Table();
  std::lock_guard lock(t.mutex);
  const std::string folded = Fold(name);
  t.modules.remove_if([&](const Module& m) { return m.name == folded; });
}
