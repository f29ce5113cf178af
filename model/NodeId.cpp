#include "model/NodeId.h"

#include <chrono>
#include <random>

namespace pavilo {

int32_t NewNodeId()
{
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<uint32_t> r(0, 65535);
    auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now().time_since_epoch())
                     .count();
    uint32_t t = static_cast<uint32_t>(ticks) % 65536u;
    return static_cast<int32_t>(r(random) * t);
}

} // namespace pavilo
