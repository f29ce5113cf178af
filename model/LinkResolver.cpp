#include "model/LinkResolver.h"

#include <array>
#include <climits>
#include <unistd.h>
#include <vector>

#include "model/ContentNodes.h"
#include "model/DocumentNodes.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

// The Windows limit, for paths written in Windows form.
constexpr size_t kMaxWindowsPath = 259;
constexpr size_t kMaxNativePath = PATH_MAX - 1;

constexpr std::array<std::string_view, 10> kSchemePrefixes = {
    "ftp:", "gopher:", "http:", "https:", "file:", "news:", "mailto:", "socks:", "javascript:", "vbscript:",
};

bool isReserved(std::string_view reference)
{
    return reference.empty() || EqualsIgnoringCase(reference, "%%wizard-input%%") ||
           EqualsIgnoringCase(reference, "%%stylesheet%%") || EqualsIgnoringCase(reference, "<stylesheet>");
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The platform's relative-path test, with "\" read as a separator: a path
// is absolute when it begins with a separator or names a drive ("C:").
bool isRelative(std::string_view text)
{
    if (!text.empty() && isSeparator(text[0]))
        return false;
    return !(text.size() >= 2 && isAsciiLetter(text[0]) && text[1] == ':');
}

std::string withTrailingSeparator(std::string text)
{
    if (!text.empty() && !isSeparator(text.back()))
        text += (IsDrivePath(text) || IsNetworkPath(text)) ? '\\' : '/';
    return text;
}

// Replaces a placeholder and the one character after it by the folder.
void replacePlaceholder(std::string& text, std::string_view placeholder, const std::string& folder)
{
    size_t p = LowerAscii(text).find(placeholder);
    if (p == std::string::npos)
        return;
    text.erase(0, std::min(text.size(), p + placeholder.size() + 1));
    text.insert(0, folder);
}

// Removes "." and ".." segments after a root prefix that ".." never climbs
// past. Both separators are read; sep is written.
std::string removeDotSegments(std::string_view prefix, std::string_view rest, char sep, bool absolute)
{
    std::vector<std::string_view> segments;
    std::string_view seg;
    size_t i = 0;
    for (;;) {
        size_t j = i;
        while (j < rest.size() && !isSeparator(rest[j]))
            ++j;
        seg = rest.substr(i, j - i);
        if (seg == "..") {
            if (!segments.empty() && segments.back() != "..")
                segments.pop_back();
            else if (!absolute)
                segments.push_back(seg);
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        if (j >= rest.size())
            break;
        i = j + 1;
    }
    // A path that ended in a separator or a dot segment names a folder.
    bool folder = !rest.empty() && (seg.empty() || seg == "." || seg == "..");
    std::string out(prefix);
    for (size_t k = 0; k < segments.size(); ++k) {
        if (k > 0)
            out += sep;
        out += segments[k];
    }
    if (folder && !segments.empty())
        out += sep;
    return out;
}

std::string documentDirectory(const TNode* node)
{
    if (!node)
        return {};
    const TNode* top = node;
    while (top->Parent())
        top = top->Parent();
    const auto* file = dynamic_cast<const TFileNode*>(top);
    if (!file)
        return {};
    size_t slash = file->FileName().find_last_of('/');
    return slash == std::string::npos ? std::string() : file->FileName().substr(0, slash + 1);
}

// Steps shared by both resolvers, after the reserved texts are set aside.
std::string resolveWith(std::string_view reference, const std::string& docDir, const std::string& base)
{
    std::string text(reference);
    replacePlaceholder(text, "<docpath>", docDir);
    replacePlaceholder(text, "<apppath>", ProgramDirectory());
    if (StartsWithIgnoringCase(text, "file://"))
        text.erase(0, 7);
    if (HasSchemePrefix(text))
        return text;
    if (IsDrivePath(text) || IsNetworkPath(text))
        return Canonicalize(text);
    if (isRelative(text))
        text.insert(0, base);
    return Canonicalize(text);
}

} // namespace

bool HasSchemePrefix(std::string_view text)
{
    for (std::string_view prefix : kSchemePrefixes)
        if (StartsWithIgnoringCase(text, prefix))
            return true;
    return false;
}

bool IsDrivePath(std::string_view text)
{
    return text.size() >= 3 && text[1] == ':' && text[2] == '\\';
}

bool IsNetworkPath(std::string_view text)
{
    return text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
}

const std::string& ProgramDirectory()
{
    static const std::string dir = [] {
        std::vector<char> buf(PATH_MAX + 1);
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
        if (n <= 0)
            return std::string("/");
        std::string exe(buf.data(), static_cast<size_t>(n));
        return exe.substr(0, exe.find_last_of('/') + 1);
    }();
    return dir;
}

std::string Canonicalize(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (StartsWithIgnoringCase(text.substr(i), "&amp;")) {
            s += '&';
            i += 5;
        } else {
            s += text[i++];
        }
    }
    // Addresses keep their form; only file paths have segments to clean.
    if (HasSchemePrefix(s))
        return s;
    std::string out;
    size_t limit = kMaxNativePath;
    if (IsDrivePath(s)) {
        out = removeDotSegments(std::string_view(s).substr(0, 3), std::string_view(s).substr(3), '\\', true);
        limit = kMaxWindowsPath;
    } else if (IsNetworkPath(s)) {
        out = removeDotSegments("\\\\", std::string_view(s).substr(2), '\\', true);
        limit = kMaxWindowsPath;
    } else {
        bool absolute = !s.empty() && isSeparator(s[0]);
        out = removeDotSegments(absolute ? "/" : "", s, '/', absolute);
    }
    return out.size() > limit ? s : out;
}

std::string ResolveInFolder(std::string_view folder, std::string_view reference)
{
    if (isReserved(reference))
        return std::string(reference);
    std::string docDir = withTrailingSeparator(std::string(folder));
    return resolveWith(reference, docDir, docDir.empty() ? ProgramDirectory() : docDir);
}

std::string ResolveReference(const TNode* node, std::string_view reference)
{
    if (isReserved(reference))
        return std::string(reference);
    std::string docDir = documentDirectory(node);
    std::string base;
    if (const auto* page = dynamic_cast<const TPageNode*>(node); page && !page->BaseUrl().empty())
        base = ResolveInFolder(docDir, withTrailingSeparator(page->BaseUrl()));
    if (base.empty())
        base = docDir;
    if (base.empty())
        base = ProgramDirectory();
    return resolveWith(reference, docDir, base);
}

std::string PageBase(const TNode* node)
{
    std::string src;
    if (const auto* page = dynamic_cast<const TPageNode*>(node))
        src = page->BaseUrl();
    if (src.empty())
        src = "index.htm";
    std::string r = ResolveReference(node, src);
    if (size_t p = r.find("index.htm"); p != std::string::npos)
        r.erase(p, 9);
    // A base URL written without its final separator still names a folder;
    // callers put file names straight after the base.
    return withTrailingSeparator(std::move(r));
}

} // namespace pavilo
