#pragma once
// TLegHtmlParser: the HTML tag scanner. It cuts an HTML text into
// consecutive blocks (tags, declarations, comments, script bodies, runs of
// text) and reports each through events, in source order. It builds no tree
// and keeps no element stack: an end tag is a tag whose name begins with "/".
//
// Events are called synchronously from Parse. The views they receive point
// into the scan text or into the parser's scratch space and are valid only
// during the call; the attribute list is reused for every block. Malformed
// input is reported through OnError and skipped; the parser throws nothing
// of its own. Positions are 1-based byte indexes into the scan text.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "model/StringList.h"
#include "tools/HtmlAttributes.h"
#include "tools/HtmlEntities.h"

namespace pavilo {

class TLegHtmlParser;

using THtmlTokenEvent = std::function<void(TLegHtmlParser& Sender, std::string_view Token)>;
using THtmlTagEvent = std::function<void(TLegHtmlParser& Sender, std::string_view HtmlTag,
                                         const THtmlAttributes& Attributes)>;
// Setting abort stops the scan at once.
using THtmlErrorEvent =
    std::function<void(TLegHtmlParser& Sender, int Error, size_t PosError, bool& abort)>;

// The error codes of OnError.
enum : int {
    heNone = 0,
    heUnexpectedEnd = 1,   // the text ends inside a tag, declaration or comment
    heCommentOpen = 2,     // "<!--" with no "--" after it
    heCommentClose = 3,    // closing dashes of a comment not followed by ">"
    heLessInTag = 4,       // "<" inside a tag
    heGreaterInText = 5,   // ">" in text
    heScriptOpen = 6,      // a script element without "</script>"
};

class TLegHtmlParser {
public:
    TLegHtmlParser();
    TLegHtmlParser(const TLegHtmlParser&) = delete;
    TLegHtmlParser& operator=(const TLegHtmlParser&) = delete;

    // Decode character references in reported names, values and texts.
    bool Translate() const { return m_translate; }
    void SetTranslate(bool flag) { m_translate = flag; }
    // Reduce whitespace in reported names, values and texts.
    bool Normalize() const { return m_normalize; }
    void SetNormalize(bool flag) { m_normalize = flag; }
    // The same flag as Normalize.
    bool TextNormalize() const { return m_normalize; }
    void SetTextNormalize(bool flag) { m_normalize = flag; }

    // The text to scan, as lines; the scan text is the lines each followed
    // by CR LF. Changing it discards the cached scan text. The parser binds
    // the list's OnChange; do not rebind it.
    TStringList& Content() { return m_content; }
    const TStringList& Content() const { return m_content; }
    void SetContent(std::string text) { m_content.SetText(std::move(text)); }

    THtmlTokenEvent OnBlock;   // every block, raw
    THtmlErrorEvent OnError;   // a malformed block
    THtmlTagEvent OnTag;       // a start or end tag, name and attributes prepared
    THtmlTokenEvent OnText;    // a run of text, trimmed and prepared
    THtmlTokenEvent OnComment; // the body of a comment, raw
    THtmlTokenEvent OnScript;  // the body of a script element, raw
    THtmlTokenEvent OnDTDTag;  // a declaration such as a document type, prepared

    // Scans the Content once. A repeated scan reuses the cached scan text.
    // Handlers may change Content or start another scan; the running scan
    // keeps its own text.
    void Parse();
    // Scans text as it is (lone CR or LF included) without touching Content;
    // text must outlive the call.
    void Parse(std::string_view text);

    // s after TranslateEntities (if Translate) and NormalizeWhiteSpace (if Normalize).
    std::string PrepareToken(std::string_view s) const;

    // The raw text of the last tag reported and the last text token prepared.
    const std::string& LastTag() const { return m_lastTag; }
    const std::string& LastText() const { return m_lastText; }

private:
    class TScan;

    bool m_translate = true;
    bool m_normalize = true;
    TStringList m_content;
    std::string m_scanText; // cached; empty when it must be rebuilt from Content
    bool m_contentChanged = false;
    std::string m_lastTag;
    std::string m_lastText;
};

} // namespace pavilo
