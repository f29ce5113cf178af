#pragma once
// Node identity: ids are 32-bit and not guaranteed unique.

#include <cstdint>

namespace pavilo {

// R x (T mod 65536) in 32 bits with wrap-around: R uniform in 0..65535, T the
// millisecond tick count. May be 0.
int32_t NewNodeId();

} // namespace pavilo
