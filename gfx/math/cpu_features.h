// Processor and system feature queries of the support library, and the
// registry switches under HKEY_LOCAL_MACHINE "Software\Direct3D" that turn
// processor-specific code off.
#pragma once

#include "win_types.h"

// True when the value `name` exists under "Software\Direct3D" with registry
// type `type` and fits in `size` bytes; its data is then copied to `buffer`.
// Otherwise false and the buffer is left as it was.
bool ReadDirect3DRegistryValue(DWORD type, const char* name, void* buffer, DWORD size);

// Whether the processor and the system support PF_XMMI_INSTRUCTIONS_AVAILABLE
// (SSE), PF_XMMI64_INSTRUCTIONS_AVAILABLE (SSE2) or PF_3DNOW_INSTRUCTIONS_AVAILABLE;
// false for any other code.
bool ProcessorSupports(DWORD feature);

// Whether AVX (VEX-encoded) code may run: the processor reports AVX and
// OSXSAVE (CPUID leaf 1 ECX bits 28 and 27) and the system saves the SSE and
// AVX register state.
bool AvxUsable();

// Whether MMX code may be used. A non-zero REG_DWORD "DisableMMX" turns it off
// for the rest of the process, even if the value is removed later.
bool IsMmxAvailable();

// Test hook: forgets the cached MMX answer.
void MathTestResetMmxCache();
