#include "tools/LinkRewriter.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "model/ContentNodes.h"
#include "model/LinkInfo.h"
#include "model/Node.h"
#include "tools/InstallFolder.h"
#include "tools/PackageInfo.h"
#include "tools/ScanDoc.h"

namespace pavilo {

namespace {

struct TEdit {
    size_t Start; // 0-based
    size_t Length;
    std::string Text;
};

// Applies edits made against the original text in one pass.
std::string applyEdits(const std::string& text, std::vector<TEdit>& edits)
{
    std::sort(edits.begin(), edits.end(), [](const TEdit& a, const TEdit& b) { return a.Start < b.Start; });
    size_t size = text.size();
    for (const TEdit& e : edits)
        size = size - e.Length + e.Text.size();
    std::string out;
    out.reserve(size);
    size_t at = 0;
    for (const TEdit& e : edits) {
        out.append(text, at, e.Start - at);
        out += e.Text;
        at = e.Start + e.Length;
    }
    out.append(text, at, std::string::npos);
    return out;
}

// The ranges of the edits taken so far, start to end; an empty range counts
// as one character so that two insertions never meet.
using TTaken = std::map<size_t, size_t>;

// Takes [start, start + length) unless it touches a range already taken.
bool take(TTaken& taken, size_t start, size_t length)
{
    const size_t end = start + std::max<size_t>(length, 1);
    auto next = taken.lower_bound(start);
    if (next != taken.end() && next->first < end)
        return false;
    if (next != taken.begin() && std::prev(next)->second > start)
        return false;
    taken.emplace(start, end);
    return true;
}

} // namespace

std::optional<TLinkLine> ParseLinkLine(std::string_view line)
{
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = line.substr(eq + 1);
    size_t q1 = rest.find('?');
    if (q1 == std::string_view::npos)
        return std::nullopt;
    size_t q2 = rest.find('?', q1 + 1);
    if (q2 == std::string_view::npos)
        return std::nullopt;
    TLinkLine out;
    if (!TryParseProfileInteger(rest.substr(0, q1), out.Flag))
        return std::nullopt;
    out.Old = std::string(rest.substr(q1 + 1, q2 - q1 - 1));
    out.New = std::string(rest.substr(q2 + 1));
    return out;
}

TLinkRewriter::TLinkRewriter(const std::vector<std::string>& lines, std::string folder)
    : m_lines(lines), m_folder(std::move(folder))
{
}

void TLinkRewriter::Run(TNode* top)
{
    top->ForEachNode([this](TNode* n) { Visit(n); });
}

void TLinkRewriter::Visit(TNode* node)
{
    if (!node->HasLinks())
        return;
    TLinkCollection& links = node->Links();
    const int count = links.Count();
    const bool isPage = node->InheritsFrom(TNodeClass::ncPageNode);
    const bool isElement = node->InheritsFrom(TNodeClass::ncElementNode);
    const bool isUrl = node->InheritsFrom(TNodeClass::ncURLNode);
    const std::string* source = nullptr;
    if (isPage)
        source = &static_cast<TPageNode*>(node)->Source().Text();
    else if (isElement)
        source = &static_cast<TElementNode*>(node)->Source().Text();

    std::vector<TEdit> sourceEdits;
    TTaken taken;
    std::optional<std::string> newStyleSheet, newUrl;
    // Last link first, as the lines were written for; every edit is checked
    // against the text that was scanned, so the order cannot shift a position.
    for (int i = count - 1; i >= 0; --i) {
        const size_t index = m_base + static_cast<size_t>(i);
        if (index >= m_lines.size())
            continue;
        std::optional<TLinkLine> line = ParseLinkLine(m_lines[index]);
        if (!line) {
            ++m_unreadable;
            continue;
        }
        const TLinkInfo& link = links.Items(i);
        if (line->Flag != 0 || link.Link != line->Old)
            continue;
        std::optional<std::string> target = SafeRelativePath(line->New);
        if (!target)
            throw EUnsafeLink("The package link '" + m_lines[index] +
                              "' does not lead to a file inside the install folder.");
        std::string replacement = m_folder + *target;

        if ((isPage && link.SourceOrigin == soPageSource) || (isElement && link.SourceOrigin == soElementSource)) {
            const size_t length = static_cast<size_t>(std::max(link.LinkLength, 0));
            if (link.LinkPosition < 1 || static_cast<size_t>(link.LinkPosition) - 1 > source->size() ||
                source->compare(static_cast<size_t>(link.LinkPosition) - 1, length, link.Link) != 0 ||
                !take(taken, static_cast<size_t>(link.LinkPosition) - 1, length)) {
                ++m_mismatched;
                continue;
            }
            sourceEdits.push_back(TEdit{static_cast<size_t>(link.LinkPosition) - 1, length, std::move(replacement)});
        } else if (isPage && link.SourceOrigin == soPageStyleSheet) {
            if (static_cast<TPageNode*>(node)->CSSFileName() != link.Link || newStyleSheet) {
                ++m_mismatched;
                continue;
            }
            newStyleSheet = std::move(replacement);
        } else if (isUrl && link.SourceOrigin == soUrl) {
            if (static_cast<TURLNode*>(node)->Url() != link.Link || newUrl) {
                ++m_mismatched;
                continue;
            }
            newUrl = std::move(replacement);
        } else {
            continue; // a reference inside a style sheet file stays as it is
        }
        ++m_rewritten;
    }

    if (!sourceEdits.empty()) {
        std::string text = applyEdits(*source, sourceEdits);
        if (isPage)
            static_cast<TPageNode*>(node)->Source().SetText(std::move(text));
        else
            static_cast<TElementNode*>(node)->Source().SetText(std::move(text));
    }
    if (newStyleSheet)
        static_cast<TPageNode*>(node)->SetCSSFileName(*newStyleSheet);
    if (newUrl)
        static_cast<TURLNode*>(node)->SetUrl(*newUrl);
    m_base += static_cast<size_t>(count);
}

} // namespace pavilo
