// The registry: keys and values held in memory, loaded on first use from a
// machine-wide file in the text form of registry exports:
//
//   ; comment
//   [HKEY_LOCAL_MACHINE\Software\Direct3D]
//   "DisableMMX"=dword:00000001
//   "Name"="some text"
//
// The file is /etc/kelvane/registry; a missing file means no values. Key and
// value names compare without regard to ASCII case. Every key path under a
// predefined root can be opened: a key is implied by its path and simply has
// no values until one is set. Changes live in memory only.
#pragma once

#include "win_types.h"

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))

using REGSAM = DWORD;
using PHKEY = HKEY*;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Results are Win32 error codes: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such
// value), ERROR_MORE_DATA (buffer too small; *size gets the needed size),
// ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER.
LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);

// The machine-wide registry file.
inline constexpr const char* kRegistryFilePath = "/etc/kelvane/registry";

// Test hook: forgets every key and value; the next registry call loads `path`
// instead of the machine-wide file (null: start empty, load nothing).
void KernelTestResetRegistry(const char* path);
