// Processor feature detection and the Direct3D registry switches.
#include "gfx/math/cpu_features.h"

#include <atomic>

#include "win_registry.h"
#include "win_sysinfo.h"

namespace {

constexpr const char* kDirect3DKey = "Software\\Direct3D";

constexpr uint32_t kMmxBit = 1u << 23;
constexpr uint32_t kSseBit = 1u << 25;
constexpr uint32_t kSse2Bit = 1u << 26;
constexpr uint32_t k3DNowBit = 1u << 31;
constexpr uint32_t kOsXsaveBit = 1u << 27;  // leaf 1 ECX
constexpr uint32_t kAvxBit = 1u << 28;      // leaf 1 ECX

// -1: not asked yet; 0 or 1: the answer.
std::atomic<int> g_mmx_answer{-1};

// EDX of CPUID leaf 1, or 0 when leaf 0 reports no standard leaves.
uint32_t StandardFeatureFlags() {
  if (ReadCpuId(0).eax == 0) return 0;
  return ReadCpuId(1).edx;
}

bool Has3DNow() {
  if (ReadCpuId(0x80000000u).eax < 0x80000001u) return false;
  return (ReadCpuId(0x80000001u).edx & k3DNowBit) != 0;
}

// Windows 98 SE (4.10.1373) and later save the SSE registers on task switches.
bool Win9xSavesSseRegisters(const OSVERSIONINFOA& v) {
  if (v.dwMajorVersion > 4) return true;
  return v.dwMajorVersion == 4 && v.dwMinorVersion >= 10 && (v.dwBuildNumber & 0xFFFF) >= 1373;
}

}  // namespace

bool ReadDirect3DRegistryValue(DWORD type, const char* name, void* buffer, DWORD size) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDirect3DKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD actual_type = REG_NONE;
  DWORD actual_size = 0;
  bool found = RegQueryValueExA(key, name, nullptr, &actual_type, nullptr, &actual_size) == ERROR_SUCCESS &&
               actual_type == type && actual_size <= size;
  if (found) {
    DWORD read_size = size;
    found = RegQueryValueExA(key, name, nullptr, &actual_type, static_cast<BYTE*>(buffer), &read_size) ==
                ERROR_SUCCESS &&
            actual_type == type;
  }
  RegCloseKey(key);
  return found;
}

bool ProcessorSupports(DWORD feature) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) return false;  // platform unknown: no SSE register support either
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: {
      const bool sse_registers = Win9xSavesSseRegisters(version);
      switch (feature) {
        case PF_XMMI_INSTRUCTIONS_AVAILABLE:
          return sse_registers && (StandardFeatureFlags() & kSseBit) != 0;
        case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
          return sse_registers && (StandardFeatureFlags() & kSse2Bit) != 0;
        case PF_3DNOW_INSTRUCTIONS_AVAILABLE:
          return Has3DNow();
        default:
          return false;
      }
    }
    case VER_PLATFORM_WIN32_NT:
      switch (feature) {
        case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
          return (StandardFeatureFlags() & kSse2Bit) != 0;
        case PF_XMMI_INSTRUCTIONS_AVAILABLE:
        case PF_3DNOW_INSTRUCTIONS_AVAILABLE:
          return IsProcessorFeaturePresent(feature) != FALSE;
        default:
          return false;
      }
    default:
      return false;
  }
}

bool AvxUsable() {
  if (ReadCpuId(0).eax == 0) return false;
  const uint32_t ecx = ReadCpuId(1).ecx;
  if ((ecx & (kOsXsaveBit | kAvxBit)) != (kOsXsaveBit | kAvxBit)) return false;
  constexpr DWORD64 kSaved = XSTATE_MASK_LEGACY_SSE | XSTATE_MASK_AVX;
  return (GetEnabledXStateFeatures() & kSaved) == kSaved;
}

bool IsMmxAvailable() {
  DWORD disable = 0;
  if (ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &disable, sizeof(disable)) && disable != 0) {
    g_mmx_answer.store(0, std::memory_order_relaxed);  // stays off from now on
    return false;
  }
  int answer = g_mmx_answer.load(std::memory_order_relaxed);
  if (answer < 0) {
    answer = (StandardFeatureFlags() & kMmxBit) != 0 ? 1 : 0;
    g_mmx_answer.store(answer, std::memory_order_relaxed);
  }
  return answer != 0;
}

void MathTestResetMmxCache() { g_mmx_answer.store(-1, std::memory_order_relaxed); }
