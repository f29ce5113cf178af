#include "web/NodeIdFromVariant.h"

#include <cctype>
#include <string>

#include "model/Node.h"
#include "web/NodeHandles.h"

namespace pavilo {

namespace {

size_t skipBlanks(const std::string& s, size_t i)
{
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return i;
}

int32_t hexId(std::string_view digits)
{
    static constexpr std::string_view kDigits = "0123456789abcdef";
    uint32_t value = 0;
    uint32_t weight = 1;
    for (size_t i = digits.size(); i-- > 0;) {
        // Other characters than hexadecimal digits count as 0.
        const size_t pos = kDigits.find(digits[i]);
        if (pos != std::string_view::npos)
            value += static_cast<uint32_t>(pos) * weight;
        weight *= 16;
    }
    return static_cast<int32_t>(value);
}

int32_t decimalId(const std::string& text)
{
    int32_t value = 0;
    if (!ParseDecimalInteger(text, value))
        throw EScriptError("Could not convert variant of type (String) into type (Integer)");
    return value;
}

} // namespace

int32_t NodeIdFromVariant(const TScriptValue& v)
{
    if (const auto* i = std::get_if<int32_t>(&v))
        return *i;
    if (const auto* text = std::get_if<std::string>(&v)) {
        std::string s;
        for (char c : *text)
            s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size_t i = skipBlanks(s, 0);
        if (s.compare(i, 2, "id") == 0) {
            i = skipBlanks(s, i + 2);
            if (i < s.size() && s[i] == '=') {
                i = skipBlanks(s, i + 1);
                return hexId(std::string_view(s).substr(i, 8));
            }
        }
        return decimalId(*text);
    }
    if (const auto* ref = std::get_if<TScriptNodeRef>(&v))
        return TNodeHandles::Instance().LiveNodeOf(ref->Handle)->ID();
    if (const auto* object = std::get_if<TScriptObjectArg>(&v)) {
        if (std::holds_alternative<std::monostate>(object->Id))
            throw EScriptError("Object doesn't support this property or method");
        return ScriptToInteger(std::visit([](const auto& x) -> TScriptValue { return x; }, object->Id));
    }
    throw EScriptError(kInvalidVariantTypeConversion);
}

} // namespace pavilo
