#include "Json.h"

#include <cmath>
#include <cstdio>

#include "platform/text/TextCodec.h"

namespace pavilo::doc {

void TJsonWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first)
        m_out.push_back(',');
    m_first = false;
}

void TJsonWriter::Key(std::string_view key)
{
    String(key);
    m_out.push_back(':');
    m_afterKey = true;
}

void TJsonWriter::String(std::string_view stored)
{
    separate();
    std::string text = text::ToUtf8(stored);
    m_out.push_back('"');
    for (unsigned char c : text) {
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                m_out += buf;
            } else {
                m_out.push_back(static_cast<char>(c));
            }
        }
    }
    m_out.push_back('"');
}

void TJsonWriter::Int(int64_t value)
{
    separate();
    m_out += std::to_string(value);
}

void TJsonWriter::Double(double value)
{
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    separate();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    m_out += buf;
}

void TJsonWriter::Bool(bool value)
{
    separate();
    m_out += value ? "true" : "false";
}

void TJsonWriter::Null()
{
    separate();
    m_out += "null";
}

} // namespace pavilo::doc
