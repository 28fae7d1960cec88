#include "win_sysinfo.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "win_file.h"

namespace {
std::atomic<CpuIdResult (*)(uint32_t)> g_cpuid_source{nullptr};
std::atomic<BOOL (*)(LPOSVERSIONINFOA)> g_version_source{nullptr};
std::atomic<DWORD64 (*)()> g_xstate_source{nullptr};

CpuIdResult RawCpuId(uint32_t leaf) {
  CpuIdResult r{};
#if defined(__x86_64__) || defined(__i386__)
  __cpuid_count(leaf, 0, r.eax, r.ebx, r.ecx, r.edx);
#else
  (void)leaf;
#endif
  return r;
}

CpuIdResult HardwareCpuId(uint32_t leaf) {
  // Leaves past the maximum repeat other leaves' data on real processors; we answer zeros.
  const uint32_t base = leaf & 0x80000000u;
  if (RawCpuId(base).eax < leaf) return CpuIdResult{};
  return RawCpuId(leaf);
}

bool ExtendedLeafPresent(uint32_t leaf) { return ReadCpuId(0x80000000u).eax >= leaf; }
}  // namespace

CpuIdResult ReadCpuId(uint32_t leaf) {
  if (auto source = g_cpuid_source.load(std::memory_order_relaxed)) return source(leaf);
  return HardwareCpuId(leaf);
}

void ReadCpuVendor(char vendor[13]) {
  const CpuIdResult r = ReadCpuId(0);
  std::memcpy(vendor + 0, &r.ebx, 4);
  std::memcpy(vendor + 4, &r.edx, 4);
  std::memcpy(vendor + 8, &r.ecx, 4);
  vendor[12] = '\0';
}

void KernelTestSetCpuIdSource(CpuIdResult (*source)(uint32_t leaf)) { g_cpuid_source.store(source); }

DWORD64 GetEnabledXStateFeatures() {
  if (auto source = g_xstate_source.load(std::memory_order_relaxed)) return source();
#if defined(__x86_64__) || defined(__i386__)
  // XGETBV faults unless the system has turned XSAVE on (OSXSAVE, leaf 1 ECX
  // bit 27): ask the processor itself here, never a test's stand-in.
  if (((HardwareCpuId(1).ecx >> 27) & 1) == 0) return 0;
  uint32_t low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (DWORD64{high} << 32) | low;
#else
  return 0;
#endif
}

void KernelTestSetXStateSource(DWORD64 (*source)()) { g_xstate_source.store(source); }

BOOL IsProcessorFeaturePresent(DWORD feature) {
  const bool has_leaf1 = ReadCpuId(0).eax >= 1;
  const uint32_t edx1 = has_leaf1 ? ReadCpuId(1).edx : 0;
  switch (feature) {
    case PF_COMPARE_EXCHANGE_DOUBLE:
      return (edx1 >> 8) & 1;  // CX8
    case PF_MMX_INSTRUCTIONS_AVAILABLE:
      return (edx1 >> 23) & 1;
    case PF_XMMI_INSTRUCTIONS_AVAILABLE:
      return (edx1 >> 25) & 1;
    case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
      return (edx1 >> 26) & 1;
    case PF_RDTSC_INSTRUCTION_AVAILABLE:
      return (edx1 >> 4) & 1;
    case PF_3DNOW_INSTRUCTIONS_AVAILABLE:
      return ExtendedLeafPresent(0x80000001u) && ((ReadCpuId(0x80000001u).edx >> 31) & 1);
    default:
      return FALSE;
  }
}

void KernelTestSetVersionSource(BOOL (*source)(LPOSVERSIONINFOA info)) { g_version_source.store(source); }

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (auto source = g_version_source.load(std::memory_order_relaxed)) return source(info);
  if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  return TRUE;
}
