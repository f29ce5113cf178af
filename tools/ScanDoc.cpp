#include "tools/ScanDoc.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/ContentNodes.h"
#include "model/LinkResolver.h"
#include "model/Node.h"
#include "tools/hpReg.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

constexpr auto npos = std::string_view::npos;

// More style sheets than any page uses; a web of sheets naming each other
// many times over stops here instead of growing without end.
constexpr int maxSheetScansPerNode = 1000;

int32_t toPosition(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

bool isSpace(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// Where each attribute value lies in the raw text of a tag, read by the tag
// scanner's own attribute rules, so that the n-th entry belongs to the n-th
// attribute line of the tag event. Values of quoted attributes start after
// the quote.
struct TRawAttribute {
    size_t ValueStart;
    size_t ValueLength;
};

std::vector<TRawAttribute> locateAttributeValues(std::string_view tag)
{
    std::vector<TRawAttribute> out;
    size_t n = tag.size();
    size_t p = 1; // past "<"
    while (p < n && isSpace(tag[p]))
        ++p;
    while (p < n && !isSpace(tag[p]) && tag[p] != '>')
        ++p;
    while (p < n && tag[p] != '>') {
        while (p < n && isSpace(tag[p]))
            ++p;
        size_t nameStart = p;
        while (p < n && !isSpace(tag[p]) && tag[p] != '=' && tag[p] != '>')
            ++p;
        if (p >= n || p == nameStart)
            break;
        while (p < n && isSpace(tag[p]))
            ++p;
        if (p >= n)
            break;
        if (tag[p] != '=')
            continue;
        ++p;
        while (p < n && isSpace(tag[p]))
            ++p;
        if (p >= n)
            break;
        char quote = tag[p];
        if (quote == '"' || quote == '\'') {
            size_t close = tag.find(quote, p + 1);
            if (close == npos)
                break;
            out.push_back({p + 1, close - p - 1});
            p = close + 1;
        } else {
            size_t start = p;
            while (p < n && !isSpace(tag[p]) && tag[p] != '>')
                ++p;
            out.push_back({start, p - start});
        }
    }
    return out;
}

std::string_view folderOf(std::string_view path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == npos ? std::string_view() : path.substr(0, slash + 1);
}

bool hasStyleSheetExtension(std::string_view path)
{
    size_t dot = path.find_last_of("./\\");
    return dot != npos && path[dot] == '.' && EqualsIgnoringCase(path.substr(dot), ".css");
}

struct TFileId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFileId&) const = default;
};

std::optional<TFileId> fileIdOf(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return TFileId{st.st_dev, st.st_ino};
}

bool readFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    out = std::move(buffer).str();
    return true;
}

bool isSourceOrigin(std::string_view origin)
{
    return origin == soPageSource || origin == soElementSource || origin == soPageStyleSheet || origin == soUrl;
}

} // namespace

// The state of one HTML scan, alive from the start to the end of ScanHTML.
class TDocumentScanner::THtmlScan {
public:
    THtmlScan(TDocumentScanner& scanner, std::string_view text, std::string_view origin, TLinkCollection& links,
              int32_t offset)
        : m_scanner(scanner), m_text(text), m_origin(origin), m_links(links), m_offset(offset)
    {
    }

    int Run()
    {
        TLegHtmlParser parser;
        parser.SetTranslate(false);
        parser.SetNormalize(false);
        parser.OnBlock = [this](TLegHtmlParser&, std::string_view block) { locateBlock(block); };
        parser.OnTag = [this](TLegHtmlParser&, std::string_view name, const THtmlAttributes& attributes) {
            tag(name, attributes);
        };
        parser.OnText = [this](TLegHtmlParser&, std::string_view) { text(); };
        parser.OnScript = [this](TLegHtmlParser&, std::string_view) { script(); };
        parser.OnError = [this](TLegHtmlParser&, int error, size_t, bool&) { m_result = error; };
        parser.Parse(m_text);
        return m_result;
    }

private:
    // The absolute position of the character before the last block.
    int64_t blockBase() const { return int64_t{m_offset} + static_cast<int64_t>(m_blockStart); }

    void locateBlock(std::string_view block)
    {
        m_lastBlock = block;
        m_valuesLocated = false;
        if (block.empty())
            return;
        // Blocks are raw views of the text: their address is their place. A
        // search, the fallback, looks only at the rest not yet located.
        const char* begin = m_text.data();
        if (block.data() >= begin && block.data() + block.size() <= begin + m_text.size()) {
            m_blockStart = static_cast<size_t>(block.data() - begin);
        } else {
            size_t k = m_text.find(block, m_rest);
            m_blockStart = k == npos ? m_rest : k;
        }
        m_rest = std::min(m_text.size(), m_blockStart + block.size());
    }

    void tag(std::string_view name, const THtmlAttributes& attributes)
    {
        if (EqualsIgnoringCase(name, "style"))
            m_inStyle = true;
        else if (EqualsIgnoringCase(name, "/style"))
            m_inStyle = false;
        if (!name.empty() && name.front() == '/')
            return;
        if (name == "%") {
            m_scanner.ScanScript(m_lastBlock, m_origin, m_links, toPosition(blockBase()));
            return;
        }
        if (EqualsIgnoringCase(name, "param")) {
            if (IsLinkParamName(attributes.Values("name")))
                reference(attributes, attributes.IndexOfName("value"));
            return;
        }
        const TTagInfo* info = m_scanner.Tags().FindTag(name);
        if (!info)
            return;
        for (int i = 0; i < attributes.Count(); ++i)
            if (info->HasAttribute(attributes.Names(i)))
                reference(attributes, attributes.IndexOfName(attributes.Names(i)));
    }

    // The value of attribute line index (none: empty) is a reference.
    void reference(const THtmlAttributes& attributes, int index)
    {
        std::string_view value = index < 0 ? std::string_view() : attributes.ValueFromIndex(index);
        if (!m_valuesLocated) {
            m_rawValues = locateAttributeValues(m_lastBlock);
            if (m_rawValues.size() != static_cast<size_t>(attributes.Count()))
                m_rawValues.clear();
            m_valuesLocated = true;
        }
        int64_t where = 0; // 1-based index in the block; 0 when the value is not there
        if (index >= 0 && static_cast<size_t>(index) < m_rawValues.size() &&
            m_lastBlock.substr(m_rawValues[index].ValueStart, m_rawValues[index].ValueLength) == value) {
            where = static_cast<int64_t>(m_rawValues[index].ValueStart) + 1;
        } else if (index >= 0) {
            size_t k = m_lastBlock.find(value);
            where = k == npos ? 0 : static_cast<int64_t>(k) + 1;
        }
        m_scanner.AddLink(m_links, value, toPosition(blockBase() + where), m_origin, m_offset);
    }

    void text()
    {
        if (!m_inStyle)
            return;
        int r = m_scanner.ScanStyleSheet(m_lastBlock, m_origin, m_links, toPosition(blockBase()));
        if (r != 0)
            m_result = r;
    }

    void script()
    {
        int r = m_scanner.ScanScript(m_lastBlock, m_origin, m_links, toPosition(blockBase()));
        if (r != 0)
            m_result = r;
    }

    TDocumentScanner& m_scanner;
    std::string_view m_text;
    std::string_view m_origin;
    TLinkCollection& m_links;
    int32_t m_offset;
    int m_result = 0;
    size_t m_rest = 0;       // the text from here on is not yet located
    size_t m_blockStart = 0; // 0-based index of the last block's first character
    std::string_view m_lastBlock;
    bool m_inStyle = false;
    bool m_valuesLocated = false;
    std::vector<TRawAttribute> m_rawValues;
};

TDocumentScanner::TDocumentScanner()
{
    AddLinkTags(m_tags);
}

TLinkInfo& TDocumentScanner::AddLink(TLinkCollection& links, std::string_view link, int32_t position,
                                     std::string_view origin, int32_t offset, std::string_view pathName)
{
    TLinkInfo& item = links.Add();
    item.Link = std::string(link);
    item.LinkPosition = position;
    item.LinkLength = toPosition(static_cast<int64_t>(link.size()));
    item.SourceOrigin = std::string(origin);
    item.SourceOffset = offset;
    item.PathName = std::string(pathName);
    if (OnAddLink) {
        int index = links.Count() - 1;
        OnAddLink(*this, links.Items(index));
        return links.Items(index);
    }
    return item;
}

int TDocumentScanner::ScanHTML(std::string_view text, std::string_view origin, TLinkCollection& links,
                               int32_t offset)
{
    m_links = &links;
    // Origin and text may belong to a link or node that the handlers change.
    std::string originCopy(origin);
    return THtmlScan(*this, text, originCopy, links, offset).Run();
}

int TDocumentScanner::ScanStyleSheet(std::string_view text, std::string_view origin, TLinkCollection& links,
                                     int32_t offset)
{
    std::string originCopy(origin);
    size_t rest = 0;
    while (rest < text.size()) {
        // "url(" ignoring case: a "(" preceded, within the rest, by "url".
        size_t open = rest + 3;
        for (;; ++open) {
            open = text.find('(', open);
            if (open == npos)
                return 0;
            if (EqualsIgnoringCase(text.substr(open - 3, 3), "url"))
                break;
        }
        size_t first = open + 1;
        size_t close = text.find(')', first);
        if (close == npos)
            return scUnclosedUrl;
        AddLink(links, text.substr(first, close - first), toPosition(int64_t{offset} + static_cast<int64_t>(first) + 1),
                originCopy, offset);
        rest = close + 1;
    }
    return 0;
}

int TDocumentScanner::ScanScript(std::string_view, std::string_view, TLinkCollection&, int32_t)
{
    return 0;
}

void TDocumentScanner::ScanNodeLinks(TNode* node, int& failures)
{
    if (!node)
        return;
    TLinkCollection& links = node->Links();
    links.Clear();
    m_links = &links;
    if (auto* page = dynamic_cast<TPageNode*>(node)) {
        std::string source = page->Source().Text();
        if (ScanHTML(source, soPageSource, links, 0) != 0)
            ++failures;
        std::string css = page->CSSFileName();
        if (!css.empty())
            AddLink(links, css, 0, soPageStyleSheet, 0, ResolveReference(node, css));
    } else if (auto* url = dynamic_cast<TURLNode*>(node)) {
        std::string address = url->Url();
        if (!address.empty())
            AddLink(links, address, 0, soUrl, 0, ResolveReference(node, address));
    } else if (auto* element = dynamic_cast<TElementNode*>(node)) {
        std::string source = element->Source().Text();
        if (ScanHTML(source, soElementSource, links, 0) != 0)
            ++failures;
    }

    // Resolve every link, and follow style sheets into the links they add.
    // parentOf[i] is the link whose sheet produced link i; a sheet already
    // open up that chain is not scanned again (it would never end).
    std::vector<int> parentOf(static_cast<size_t>(links.Count()), -1);
    std::vector<std::optional<TFileId>> sheetOf(parentOf.size());
    int sheetScans = 0;
    bool capReported = false;
    for (int i = 0; i < links.Count(); ++i) {
        if (parentOf.size() < static_cast<size_t>(links.Count())) {
            parentOf.resize(static_cast<size_t>(links.Count()), -1);
            sheetOf.resize(parentOf.size());
        }
        TLinkInfo& link = links.Items(i);
        if (link.PathName.empty()) {
            if (isSourceOrigin(link.SourceOrigin))
                link.PathName = ResolveReference(node, link.Link);
            else
                link.PathName = ResolveInFolder(folderOf(link.SourceOrigin), link.Link);
        }
        if (!hasStyleSheetExtension(link.PathName) || link.LinkStatus() != lsFileExists)
            continue;
        std::string sheet = link.PathName;
        std::optional<TFileId> id = fileIdOf(sheet);
        bool open = false;
        for (int j = parentOf[static_cast<size_t>(i)]; j >= 0 && !open; j = parentOf[static_cast<size_t>(j)])
            open = id && sheetOf[static_cast<size_t>(j)] == id;
        if (open)
            continue;
        if (sheetScans >= maxSheetScansPerNode) {
            if (!capReported)
                ++failures;
            capReported = true;
            continue;
        }
        ++sheetScans;
        sheetOf[static_cast<size_t>(i)] = id;
        std::string text;
        if (!readFile(sheet, text)) {
            ++failures;
            continue;
        }
        int before = links.Count();
        if (ScanStyleSheet(text, sheet, links, 0) != 0)
            ++failures;
        parentOf.resize(static_cast<size_t>(links.Count()), -1);
        sheetOf.resize(parentOf.size());
        for (int k = before; k < links.Count(); ++k)
            parentOf[static_cast<size_t>(k)] = i;
    }
}

namespace {

// Adds local-file links to a target, once per PathName ignoring ASCII case.
class TLinkCollector {
public:
    explicit TLinkCollector(TLinkCollection& target) : m_target(target)
    {
        for (const TLinkInfo& l : target)
            m_seen.insert(LowerAscii(l.PathName));
    }

    void Collect(TNode* node)
    {
        if (!node || !node->HasLinks())
            return;
        for (const TLinkInfo& l : node->Links()) {
            int32_t status = l.LinkStatus();
            if (status != lsFileExists && status != lsFileMissing)
                continue;
            if (m_seen.insert(LowerAscii(l.PathName)).second)
                m_target.Add().Assign(l);
        }
    }

private:
    TLinkCollection& m_target;
    std::unordered_set<std::string> m_seen;
};

} // namespace

void TDocumentScanner::CollectNodeLinks(TNode* node, TLinkCollection& target)
{
    TLinkCollector(target).Collect(node);
}

int TDocumentScanner::ScanTreeLinks(TNode* top)
{
    int failures = 0;
    if (top)
        top->ForEachNode([this, &failures](TNode* n) { ScanNodeLinks(n, failures); });
    return failures;
}

void TDocumentScanner::CollectTreeLinks(TNode* top, TLinkCollection& target)
{
    if (!top)
        return;
    TLinkCollector collector(target);
    top->ForEachNode([&collector](TNode* n) { collector.Collect(n); });
}

TDocumentScanner& DocumentScanner()
{
    static TDocumentScanner scanner;
    return scanner;
}

} // namespace pavilo
