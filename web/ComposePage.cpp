#include "web/ComposePage.h"

#include <algorithm>
#include <cctype>

#include "model/PVPObjModel.h"
#include "model/LinkResolver.h"
#include "web/PageBuffer.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

// A path as a script string literal: backslashes doubled, and double quotes
// escaped so that a folder name cannot end the literal.
std::string scriptLiteral(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else
            out += c;
    }
    return out;
}

// A local path written into an href: the characters that would end the path
// part of a URL, or start an escape, are escaped so that the browser asks
// for the very path.
std::string hrefPath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case '#':
            out += "%23";
            break;
        case '?':
            out += "%3F";
            break;
        case '"':
            out += "%22";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isLocalPath(std::string_view s)
{
    return !s.empty() && s.front() == '/';
}

} // namespace

std::string DocumentDirectory(const TNode* node)
{
    const TNode* top = node;
    while (top && top->Parent())
        top = top->Parent();
    if (!top || top->ClassId() != TNodeClass::ncFileNode)
        return {};
    const std::string& fileName = static_cast<const TFileNode*>(top)->FileName();
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return {};
    return fileName.substr(0, slash + 1);
}

std::string ComposedPage(const TNode* node, const std::string& base)
{
    if (!node)
        return kBlackPage;
    if (!node->InheritsFrom(TNodeClass::ncPageNode))
        return {};
    const auto* page = static_cast<const TPageNode*>(node);
    std::string text = page->Source().Text();
    const size_t tag = LowerAscii(text).find("<html>");
    if (tag == std::string::npos)
        return text;
    const size_t p = tag + 6;

    std::string insertion = "<base href=\"";
    insertion += isLocalPath(base) ? hrefPath(base) : base;
    if (base.empty() || base.back() != '/')
        insertion += '/';
    insertion += "index.htm\">\r";
    const std::string css = ResolveReference(node, page->CSSFileName());
    if (!css.empty()) {
        insertion += "<LINK href=\"";
        insertion += isLocalPath(css) ? hrefPath(css) : css;
        insertion += "\" rel=\"STYLESHEET\" type=\"text/css\">\r";
    }
    insertion += "\r<script>\rvar docpath=\"";
    insertion += scriptLiteral(DocumentDirectory(node));
    insertion += "\";\rvar apppath=\"";
    insertion += scriptLiteral(ProgramDirectory());
    insertion += "\";\r</script>";
    text.insert(p, insertion);
    return TStringList::Normalize(text);
}

void ComposePage(TNode* node)
{
    std::string base = PageBase(node);
    TPageBuffer& buffer = BeginComposition(node, base);
    buffer.Bytes = ComposedPage(node, base);
    buffer.Position = 0;
}

} // namespace pavilo
