#pragma once
// A small JSON writer for the tool's output.

#include <cstdint>
#include <string>
#include <string_view>

namespace pavilo::doc {

class TJsonWriter {
public:
    void BeginObject() { separate(); m_out.push_back('{'); m_first = true; }
    void EndObject() { m_out.push_back('}'); m_first = false; }
    void BeginArray() { separate(); m_out.push_back('['); m_first = true; }
    void EndArray() { m_out.push_back(']'); m_first = false; }
    void Key(std::string_view key);
    // UTF-8 text; stored text that is not UTF-8 is decoded as Windows-1252 first.
    void String(std::string_view text);
    void Int(int64_t value);
    void Double(double value);
    void Bool(bool value);
    void Null();
    const std::string& Text() const { return m_out; }

private:
    void separate();
    std::string m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

} // namespace pavilo::doc
