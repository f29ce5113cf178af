#pragma once
// The value a script may keep on a node (Tag) or pass to the host.

#include <cstdint>
#include <string>
#include <variant>

namespace pavilo {

using TVariant = std::variant<std::monostate, bool, int32_t, double, std::string>;

} // namespace pavilo
