#pragma once
// How jumpTo and href read the node a script names.

#include <cstdint>

#include "web/ScriptValue.h"

namespace pavilo {

// A 32-bit integer is the id itself. A string is either the "id=" form,
// with up to 8 hexadecimal digits read in 32 bits with wrap-around
// ("id=1a", " ID = 0000001A" and 26 name the same node, "id=ffffffff" is
// -1), or a decimal integer. An object names the value of its "id"
// property, so a node object names itself. Anything else, floating-point
// numbers and 16-bit integers included, raises EScriptError with
// "Invalid variant type conversion"; so does a string that is neither form.
int32_t NodeIdFromVariant(const TScriptValue& v);

} // namespace pavilo
