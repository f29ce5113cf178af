#include "tools/hpReg.h"
#include "model/AsciiCase.h"

#include <cstring>

namespace pavilo {

namespace {

constexpr auto npos = std::string_view::npos;

// Character classes of the scanner, one table lookup per byte.
enum : unsigned char {
    ccSpace = 1,     // TAB, LF, CR, space
    ccNameEnd = 2,   // ends a tag name: whitespace or ">"
    ccAttrEnd = 4,   // ends an attribute name: whitespace, "=" or ">"
};

struct TCharClasses {
    unsigned char Bits[256] = {};
    constexpr TCharClasses()
    {
        for (unsigned char c : {'\t', '\n', '\r', ' '})
            Bits[c] = ccSpace | ccNameEnd | ccAttrEnd;
        Bits[static_cast<unsigned char>('>')] = ccNameEnd | ccAttrEnd;
        Bits[static_cast<unsigned char>('=')] = ccAttrEnd;
    }
};
constexpr TCharClasses charClasses;

bool hasClass(char c, unsigned char bits)
{
    return (charClasses.Bits[static_cast<unsigned char>(c)] & bits) != 0;
}

size_t findChar(std::string_view t, char c, size_t from)
{
    if (from >= t.size())
        return npos;
    const void* hit = std::memchr(t.data() + from, c, t.size() - from);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - t.data()) : npos;
}

// "</script>" in any case, searched from a position on; no whitespace inside.
size_t findScriptEnd(std::string_view t, size_t from)
{
    constexpr std::string_view endTag = "</script>";
    for (size_t k = findChar(t, '<', from); k != npos; k = findChar(t, '<', k + 1))
        if (t.size() - k >= endTag.size() && EqualsIgnoringCase(t.substr(k, endTag.size()), endTag))
            return k;
    return npos;
}

std::string_view trimControls(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

} // namespace

// The state of one scan. It lives on the stack of Parse, so a handler that
// starts another scan leaves this one intact.
class TLegHtmlParser::TScan {
public:
    TScan(TLegHtmlParser& parser, std::string_view text) : m_parser(parser), m_t(text), m_n(text.size())
    {
        m_attributes.Reserve(200);
    }

    void Run()
    {
        while (m_p < m_n) {
            m_attributes.Clear();
            if (m_state == sScript)
                scanScript();
            else if (m_t[m_p] != '<')
                scanText();
            else if (m_t.substr(m_p + 1, 3) == "!--")
                scanComment();
            else
                scanTag();
            if (m_error != heNone) {
                if (m_parser.OnError) {
                    bool abort = false;
                    m_parser.OnError(m_parser, m_error, m_errorPos, abort);
                    if (abort)
                        return;
                }
                m_error = heNone;
            }
        }
    }

private:
    enum TState { sNormal, sScript, sScriptComment };

    // index is 0-based; reported positions are 1-based.
    void fail(int code, size_t index)
    {
        m_error = code;
        m_errorPos = index + 1;
    }

    // Fails (position at the end) when the end of the text is reached.
    bool skipWhiteSpace()
    {
        while (m_p < m_n && hasClass(m_t[m_p], ccSpace))
            ++m_p;
        return m_p < m_n;
    }

    // Up to, not including, the first character of the class; fails at the end.
    bool readUpTo(unsigned char bits, std::string_view& out)
    {
        size_t start = m_p;
        while (m_p < m_n && !hasClass(m_t[m_p], bits))
            ++m_p;
        out = m_t.substr(start, m_p - start);
        return m_p < m_n;
    }

    bool readUpToChar(char c, std::string_view& out)
    {
        size_t hit = findChar(m_t, c, m_p);
        size_t end = hit == npos ? m_n : hit;
        out = m_t.substr(m_p, end - m_p);
        m_p = end;
        return hit != npos;
    }

    // Past one line break after a tag or comment: CR, or CR LF; a lone LF stays.
    void skipLineBreak()
    {
        if (m_p < m_n && m_t[m_p] == '\r') {
            ++m_p;
            if (m_p < m_n && m_t[m_p] == '\n')
                ++m_p;
        }
    }

    std::string_view prepare(std::string_view s, std::string& translated, std::string& normalized)
    {
        if (m_parser.m_translate && s.find('&') != npos) {
            translated.clear();
            AppendTranslatedEntities(s, translated);
            s = translated;
        }
        if (m_parser.m_normalize && !IsNormalizedWhiteSpace(s)) {
            normalized.clear();
            AppendNormalizedWhiteSpace(s, normalized);
            s = normalized;
        }
        return s;
    }

    void block(std::string_view s)
    {
        if (m_parser.OnBlock)
            m_parser.OnBlock(m_parser, s);
    }

    void scanComment()
    {
        size_t first = m_p;
        size_t bodyStart = m_p + 4;
        size_t dashes = m_t.find("--", bodyStart);
        if (dashes == npos) {
            m_p = m_n;
            fail(heCommentOpen, m_n);
            return;
        }
        std::string_view body = m_t.substr(bodyStart, dashes - bodyStart);
        m_p = dashes;
        while (m_p + 1 < m_n && m_t[m_p] == '-')
            ++m_p;
        if (!skipWhiteSpace()) {
            fail(heUnexpectedEnd, m_p);
            return;
        }
        if (m_t[m_p] != '>') {
            fail(heCommentClose, m_p);
            return;
        }
        block(m_t.substr(first, m_p - first + 1));
        if (m_state == sNormal) {
            if (m_parser.OnComment)
                m_parser.OnComment(m_parser, body);
        } else if (m_parser.OnScript) {
            m_parser.OnScript(m_parser, body);
        }
        m_state = sNormal;
        ++m_p;
        skipLineBreak();
    }

    // The attributes of an element tag, until the end of the text or ">".
    bool readAttributes()
    {
        while (m_p < m_n && m_t[m_p] != '>') {
            if (!skipWhiteSpace())
                return false;
            std::string_view name;
            if (!readUpTo(ccAttrEnd, name))
                return false;
            if (name.empty())
                return true;
            if (!skipWhiteSpace())
                return false;
            if (m_t[m_p] != '=')
                continue; // no value: not recorded
            ++m_p;
            if (!skipWhiteSpace())
                return false;
            std::string_view value;
            char quote = m_t[m_p];
            if (quote == '"' || quote == '\'') {
                ++m_p;
                if (!readUpToChar(quote, value))
                    return false;
                ++m_p;
            } else if (!readUpTo(ccNameEnd, value)) {
                return false;
            }
            std::string_view n = prepare(name, m_nameTranslated, m_nameNormalized);
            std::string_view v = prepare(value, m_translated, m_normalized);
            m_attributes.Add(n, v);
        }
        return true;
    }

    void scanTag()
    {
        size_t first = m_p;
        ++m_p;
        if (!skipWhiteSpace()) {
            fail(heUnexpectedEnd, m_p);
            return;
        }
        std::string_view name;
        bool declaration = m_t[m_p] == '!';
        if (declaration) {
            ++m_p;
            if (!readUpToChar('>', name)) {
                fail(heUnexpectedEnd, m_p);
                return;
            }
        } else {
            if (!readUpTo(ccNameEnd, name)) {
                fail(heUnexpectedEnd, m_p);
                return;
            }
            if (!name.empty() && !readAttributes()) {
                fail(heUnexpectedEnd, m_p);
                return;
            }
            if (EqualsIgnoringCase(name, "script"))
                m_state = sScript;
        }
        if (m_p >= m_n) {
            fail(heUnexpectedEnd, m_p);
            return;
        }
        size_t less = findChar(m_t.substr(0, m_p + 1), '<', first + 1);
        if (less != npos) {
            fail(heLessInTag, less);
            return;
        }
        std::string_view tag = m_t.substr(first, m_p - first + 1);
        m_parser.m_lastTag.assign(tag);
        block(tag);
        std::string_view prepared = prepare(name, m_translated, m_normalized);
        if (declaration) {
            if (m_parser.OnDTDTag)
                m_parser.OnDTDTag(m_parser, prepared);
        } else if (m_parser.OnTag) {
            m_parser.OnTag(m_parser, prepared, m_attributes);
        }
        ++m_p;
        skipLineBreak();
    }

    void scanText()
    {
        size_t end = findChar(m_t, '<', m_p);
        if (end == npos)
            end = m_n;
        std::string_view text = m_t.substr(m_p, end - m_p);
        size_t greater = findChar(text, '>', 0);
        if (greater != npos) {
            fail(heGreaterInText, m_p + greater);
            m_p = end;
            return;
        }
        m_p = end;
        if (text.ends_with("\r\n"))
            text.remove_suffix(2);
        else if (text.ends_with('\n') || text.ends_with('\r'))
            text.remove_suffix(1);
        block(text);
        if (m_parser.OnText) {
            m_parser.m_lastText.assign(prepare(trimControls(text), m_translated, m_normalized));
            if (!m_parser.m_lastText.empty())
                m_parser.OnText(m_parser, m_parser.m_lastText);
        }
    }

    void scanScript()
    {
        size_t start = m_p;
        if (!skipWhiteSpace()) {
            fail(heScriptOpen, m_p);
            return;
        }
        if (m_t.substr(m_p, 4) == "<!--") {
            m_state = sScriptComment; // the comment step reports its body as script
            return;
        }
        m_p = start;
        size_t end = findScriptEnd(m_t, m_p);
        if (end == npos) {
            m_p = m_n;
            fail(heScriptOpen, m_n);
            return;
        }
        std::string_view body = m_t.substr(m_p, end - m_p);
        block(body);
        if (m_parser.OnScript)
            m_parser.OnScript(m_parser, body);
        m_p = end;
        m_state = sNormal;
    }

    TLegHtmlParser& m_parser;
    std::string_view m_t;
    size_t m_n;
    size_t m_p = 0;
    TState m_state = sNormal;
    int m_error = heNone;
    size_t m_errorPos = 0;
    THtmlAttributes m_attributes;
    std::string m_translated, m_normalized, m_nameTranslated, m_nameNormalized;
};

TLegHtmlParser::TLegHtmlParser()
{
    m_content.OnChange = [this] {
        m_scanText.clear();
        m_contentChanged = true;
    };
}

void TLegHtmlParser::Parse()
{
    if (m_scanText.empty())
        m_scanText = m_content.Text();
    // The scan owns its text, so a handler changing Content cannot pull it away.
    std::string text;
    text.swap(m_scanText);
    m_contentChanged = false;
    try {
        TScan(*this, text).Run();
    } catch (...) {
        if (!m_contentChanged && m_scanText.empty())
            m_scanText.swap(text);
        throw;
    }
    if (!m_contentChanged && m_scanText.empty())
        m_scanText.swap(text);
}

void TLegHtmlParser::Parse(std::string_view text)
{
    TScan(*this, text).Run();
}

std::string TLegHtmlParser::PrepareToken(std::string_view s) const
{
    std::string out(s);
    if (m_translate)
        out = TranslateEntities(out);
    if (m_normalize)
        out = NormalizeWhiteSpace(out);
    return out;
}

} // namespace pavilo
