#include "web/ScriptValue.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace pavilo {

namespace {

const char* kStringToInteger = "Could not convert variant of type (String) into type (Integer)";

int32_t doubleToInteger(double d)
{
    // Automation rounds half to even.
    const double r = std::nearbyint(d);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        throw EScriptError("Arithmetic overflow");
    return static_cast<int32_t>(r);
}

std::string doubleText(double d)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", d);
    return text;
}

TScriptValue primitive(const TVariant& v)
{
    return std::visit([](const auto& x) -> TScriptValue { return x; }, v);
}

} // namespace

bool ParseDecimalInteger(std::string_view s, int32_t& value)
{
    size_t i = 0;
    size_t end = s.size();
    while (i < end && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    while (end > i && (s[end - 1] == ' ' || s[end - 1] == '\t'))
        --end;
    bool negative = false;
    if (i < end && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i == end)
        return false;
    int64_t v = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t ScriptToInteger(const TScriptValue& v)
{
    if (const auto* i = std::get_if<int32_t>(&v))
        return *i;
    if (const auto* s = std::get_if<int16_t>(&v))
        return *s;
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (const auto* d = std::get_if<double>(&v))
        return doubleToInteger(*d);
    if (const auto* s = std::get_if<std::string>(&v)) {
        int32_t value = 0;
        if (!ParseDecimalInteger(*s, value))
            throw EScriptError(kStringToInteger);
        return value;
    }
    if (std::holds_alternative<std::monostate>(v))
        return 0;
    if (const auto* o = std::get_if<TScriptObjectArg>(&v))
        return ScriptToInteger(primitive(o->Id));
    throw EScriptError(kInvalidVariantTypeConversion);
}

std::string ScriptToString(const TScriptValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* i = std::get_if<int32_t>(&v))
        return std::to_string(*i);
    if (const auto* s = std::get_if<int16_t>(&v))
        return std::to_string(*s);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? "True" : "False";
    if (const auto* d = std::get_if<double>(&v))
        return doubleText(*d);
    if (std::holds_alternative<std::monostate>(v))
        return {};
    throw EScriptError(kInvalidVariantTypeConversion);
}

bool ScriptToBoolean(const TScriptValue& v)
{
    if (const auto* b = std::get_if<bool>(&v))
        return *b;
    if (const auto* i = std::get_if<int32_t>(&v))
        return *i != 0;
    if (const auto* s = std::get_if<int16_t>(&v))
        return *s != 0;
    if (const auto* d = std::get_if<double>(&v))
        return *d != 0;
    if (std::holds_alternative<std::monostate>(v))
        return false;
    if (const auto* s = std::get_if<std::string>(&v)) {
        std::string lower;
        for (char c : *s)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == "true")
            return true;
        if (lower == "false")
            return false;
        int32_t value = 0;
        if (ParseDecimalInteger(*s, value))
            return value != 0;
        throw EScriptError("Could not convert variant of type (String) into type (Boolean)");
    }
    throw EScriptError(kInvalidVariantTypeConversion);
}

TVariant ScriptToTag(const TScriptValue& v)
{
    return std::visit(
        [](const auto& x) -> TVariant {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, TScriptNull> || std::is_same_v<T, std::monostate>)
                return std::monostate{};
            else if constexpr (std::is_same_v<T, int16_t>)
                return static_cast<int32_t>(x);
            else if constexpr (std::is_same_v<T, TScriptNodeRef> || std::is_same_v<T, TScriptObjectArg>)
                throw EScriptError(kInvalidVariantTypeConversion);
            else
                return x;
        },
        v);
}

TScriptValue TagToScript(const TVariant& v)
{
    return primitive(v);
}

} // namespace pavilo
