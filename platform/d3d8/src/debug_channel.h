// The runtime's debug channel: when switched on in the registry
// (HKEY_LOCAL_MACHINE "Software\Direct3D", DWORD "DebugOutput" not 0) every
// rejected call writes one line saying why to standard error, unless the
// exported DebugSetMute has silenced it.
#pragma once

#include "d3d8_types.h"

// Reads the registry switch again (called when a Direct3D object is made).
void RefreshDebugChannel();
// Writes "d3d8: <call>: <why>" when the channel is open; returns `result` so
// that failures read `return Fail(D3DERR_INVALIDCALL, "CreateTexture", "...")`.
HRESULT Fail(HRESULT result, const char* call, const char* why);
// Makes "d3d8.dll" a loaded module that exports "DebugSetMute".
void RegisterRuntimeModule();
