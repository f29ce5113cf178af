#pragma once
// The values that cross between page scripts and the program, and their
// conversions. Strings are UTF-8 here; the script host converts them from
// and to the script engine's UTF-16.

#include <cstdint>
#include <string>
#include <variant>

#include "model/Exception.h"
#include "model/ScriptExposure.h"
#include "model/Variant.h"

namespace pavilo {

// A failure of a script-facing member; the script gets it as an exception
// carrying the message.
class EScriptError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* kInvalidVariantTypeConversion = "Invalid variant type conversion";

struct TScriptNull {
    bool operator==(const TScriptNull&) const = default;
};
// A node object handed to scripts: a handle into the per-run table, never
// the node itself.
struct TScriptNodeRef {
    int32_t Handle = 0;
    TScriptInterface Interface = TScriptInterface::siNode; // what the node's kind exposes
    bool operator==(const TScriptNodeRef&) const = default;
};
// An object of the script's own, passed by the value of its "id" property.
struct TScriptObjectArg {
    TVariant Id;
    bool operator==(const TScriptObjectArg&) const = default;
};

// monostate is "undefined" (an empty variant).
using TScriptValue = std::variant<std::monostate, TScriptNull, bool, int16_t, int32_t, double, std::string,
                                  TScriptNodeRef, TScriptObjectArg>;

// The conversions of a write or an argument; EScriptError when the value
// has no such form.
int32_t ScriptToInteger(const TScriptValue& v);
std::string ScriptToString(const TScriptValue& v);
bool ScriptToBoolean(const TScriptValue& v);
// What a node's Tag can hold; objects cannot be kept there.
TVariant ScriptToTag(const TScriptValue& v);
TScriptValue TagToScript(const TVariant& v);

// Reads a 32-bit decimal integer with optional surrounding spaces and sign.
bool ParseDecimalInteger(std::string_view s, int32_t& value);

} // namespace pavilo
