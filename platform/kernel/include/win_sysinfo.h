// System version and processor identification.
#pragma once

#include "win_types.h"

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// Fills the record (dwOSVersionInfoSize must hold its size) and answers as the
// NT platform; FALSE with ERROR_INVALID_PARAMETER when the size is wrong.
BOOL GetVersionExA(LPOSVERSIONINFOA info);

// Test hook: GetVersionExA answers through `source` instead (null restores), so
// tests can pose as other systems or as a failing query.
void KernelTestSetVersionSource(BOOL (*source)(LPOSVERSIONINFOA info));

// Processor feature codes.
constexpr DWORD PF_FLOATING_POINT_PRECISION_ERRATA = 0;
constexpr DWORD PF_FLOATING_POINT_EMULATED = 1;
constexpr DWORD PF_COMPARE_EXCHANGE_DOUBLE = 2;
constexpr DWORD PF_MMX_INSTRUCTIONS_AVAILABLE = 3;
constexpr DWORD PF_XMMI_INSTRUCTIONS_AVAILABLE = 6;
constexpr DWORD PF_3DNOW_INSTRUCTIONS_AVAILABLE = 7;
constexpr DWORD PF_RDTSC_INSTRUCTION_AVAILABLE = 8;
constexpr DWORD PF_XMMI64_INSTRUCTIONS_AVAILABLE = 10;

// TRUE when the processor (as CPUID reports it) has the feature; unknown codes give FALSE.
BOOL IsProcessorFeaturePresent(DWORD feature);

// The four registers CPUID leaves in eax, ebx, ecx, edx.
struct CpuIdResult {
  uint32_t eax;
  uint32_t ebx;
  uint32_t ecx;
  uint32_t edx;
};

// Runs CPUID for `leaf` (sub-leaf 0). Leaves beyond the processor's maximum
// (leaf 0 eax for standard leaves, 0x80000000 eax for extended ones) read as zeros.
CpuIdResult ReadCpuId(uint32_t leaf);

// The 12-character vendor string of leaf 0 ("GenuineIntel", "AuthenticAMD" ...).
void ReadCpuVendor(char vendor[13]);

// Test hook: answers CPUID from `source` instead of the processor (null restores).
// IsProcessorFeaturePresent follows it too, so tests can pose as other processors.
void KernelTestSetCpuIdSource(CpuIdResult (*source)(uint32_t leaf));

// Processor state components the system saves on task switches (the XCR0
// register): 0 when the system has not enabled XSAVE. AVX code may run only
// when XSTATE_MASK_LEGACY_SSE and XSTATE_MASK_AVX are both set.
constexpr DWORD64 XSTATE_MASK_LEGACY_FLOATING_POINT = 1u << 0;
constexpr DWORD64 XSTATE_MASK_LEGACY_SSE = 1u << 1;
constexpr DWORD64 XSTATE_MASK_AVX = 1u << 2;
DWORD64 GetEnabledXStateFeatures();

// Test hook: GetEnabledXStateFeatures answers through `source` instead (null
// restores), to go with a CPUID source that poses as another processor.
void KernelTestSetXStateSource(DWORD64 (*source)());
