// The live and portable dispatch tables, the trampolines and the choice of
// processor set.
#include "gfx/math/dispatch_table.h"

#include <cstring>

#include "gfx/math/cpu_features.h"
#include "gfx/math/math_portable.h"
#include "win_registry.h"
#include "win_sysinfo.h"

namespace gx_math {

namespace {

// The trampoline of a slot chooses the routines, then calls through the slot
// again with the caller's arguments.
#define GX_MATH_TRAMPOLINE(slot, Name, Result, Params, Args) \
  Result Trampoline##Name Params {                           \
    GxSetCpuOptimizations(TRUE);                             \
    return g_liveMathTable.Name Args;                        \
  }
GX_MATH_DISPATCH_SLOTS(GX_MATH_TRAMPOLINE)
#undef GX_MATH_TRAMPOLINE

DWORD g_selectionState = kStateNotChosen;

// True when "DisableGxPSGP" is a REG_DWORD equal to exactly 1.
bool ProcessorSetsDisabled() {
  DWORD value = 0;
  return ReadDirect3DRegistryValue(REG_DWORD, "DisableGxPSGP", &value, sizeof(value)) && value == 1;
}

// Builds the table for this processor and returns the state it stands for.
DWORD ChooseRoutines(MathDispatchTable& table) {
  table = kPortableMathTable;
  InstallX87Set(table);
  if (ProcessorSetsDisabled()) return kStatePortable;
  if (ProcessorSupports(PF_3DNOW_INSTRUCTIONS_AVAILABLE)) {
    // No 3DNow! routines are built: the state records the processor's set,
    // which installs nothing, so the x87 routines stay.
    return kState3DNow;
  }
  if (ProcessorSupports(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) {
    // The same set either way; where AVX may run, its VEX build.
    if (AvxUsable()) {
      InstallSse2VexSet(table);
    } else {
      InstallSse2Set(table);
    }
    return kStateSse2;
  }
  if (ProcessorSupports(PF_XMMI_INSTRUCTIONS_AVAILABLE)) {
    InstallSseSet(table);
    return kStateSse;
  }
  return kStatePortable;
}

}  // namespace

#define GX_MATH_PORTABLE_SLOT(slot, Name, Result, Params, Args) &portable::Name,
#define GX_MATH_TRAMPOLINE_SLOT(slot, Name, Result, Params, Args) &Trampoline##Name,
const MathDispatchTable kPortableMathTable = {GX_MATH_DISPATCH_SLOTS(GX_MATH_PORTABLE_SLOT)};
const MathDispatchTable kTrampolineMathTable = {GX_MATH_DISPATCH_SLOTS(GX_MATH_TRAMPOLINE_SLOT)};
MathDispatchTable g_liveMathTable = {GX_MATH_DISPATCH_SLOTS(GX_MATH_TRAMPOLINE_SLOT)};
#undef GX_MATH_PORTABLE_SLOT
#undef GX_MATH_TRAMPOLINE_SLOT

std::array<uintptr_t, kMathSlotCount> SlotAddresses(const MathDispatchTable& table) {
  std::array<uintptr_t, kMathSlotCount> slots;
  static_assert(sizeof(slots) == sizeof(table));
  std::memcpy(slots.data(), &table, sizeof(table));
  return slots;
}

DWORD MathSelectionState() { return g_selectionState; }

void MathTestResetDispatch() {
  g_liveMathTable = kTrampolineMathTable;
  g_selectionState = kStateNotChosen;
}

}  // namespace gx_math

DWORD GxSetCpuOptimizations(BOOL enable) {
  using namespace gx_math;
  if (!enable) {
    // Back to the portable routines; no trampoline remains, so only an explicit
    // call with a non-zero argument chooses again.
    g_liveMathTable = kPortableMathTable;
    g_selectionState = kStateNotChosen;
    return g_selectionState;
  }
  if (g_selectionState != kStateNotChosen) return g_selectionState;
  MathDispatchTable table;
  const DWORD state = ChooseRoutines(table);
  g_liveMathTable = table;  // every slot is written once, with its final routine
  g_selectionState = state;
  return state;
}
