// The inside of the processor dispatch: the portable and trampoline tables,
// the processor sets, and inspection and test hooks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/math/gx_math.h"

namespace gx_math {

inline constexpr size_t kMathSlotCount = 57;
static_assert(sizeof(MathDispatchTable) == kMathSlotCount * sizeof(void*));

// Selection states.
inline constexpr DWORD kStateNotChosen = 0xFFFF;
inline constexpr DWORD kStatePortable = 0;  // portable routines plus the x87 set
inline constexpr DWORD kState3DNow = 1;
inline constexpr DWORD kStateSse2 = 2;
inline constexpr DWORD kStateSse = 3;

// The portable routines in slot order.
extern const MathDispatchTable kPortableMathTable;
// The trampolines in slot order: the initial contents of the live table.
extern const MathDispatchTable kTrampolineMathTable;

// The processor sets. Each overwrites only the slots it replaces.
void InstallX87Set(MathDispatchTable& table);
void InstallSseSet(MathDispatchTable& table);
void InstallSse2Set(MathDispatchTable& table);
// The SSE2 set in its VEX-encoded build (same results bit for bit); only for
// processors where AvxUsable() holds.
void InstallSse2VexSet(MathDispatchTable& table);

// The slots of a table as plain addresses, in slot order (for inspection).
std::array<uintptr_t, kMathSlotCount> SlotAddresses(const MathDispatchTable& table);

// Test hook: restores the initial state (trampolines in every slot, state not chosen).
void MathTestResetDispatch();
// Current selection state.
DWORD MathSelectionState();

}  // namespace gx_math
