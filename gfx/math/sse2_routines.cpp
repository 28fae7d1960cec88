#include "gfx/math/dispatch_table.h"
namespace gx_math {
void InstallSse2Set(MathDispatchTable&) {}
}
