#include "web/PvpMoniker.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <new>

#include "model/LinkResolver.h"
#include "model/PVPObjModel.h"
#include "web/ComposePage.h"
#include "web/MonikerName.h"
#include "web/PageBuffer.h"
#include "web/ScriptValue.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

// A path or address that needs no base in front: a local path, a drive or
// network path of a document written elsewhere, or an address with a scheme.
bool isAbsoluteTarget(std::string_view s)
{
    if (s.empty())
        return false;
    if (s.front() == '/' || s.substr(0, 2) == "\\\\")
        return true;
    if (s.size() >= 3 && s[1] == ':' && (s[2] == '\\' || s[2] == '/'))
        return true;
    if (!std::isalpha(static_cast<unsigned char>(s.front())))
        return false;
    for (size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ':')
            return i > 1;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

std::string htmlEscaped(std::string_view s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string TPVPMoniker::DisplayName(std::string_view host, std::string_view path)
{
    std::string d = "@";
    d += host;
    d += ':';
    d += path;
    return d;
}

std::string TPVPMoniker::ErrorPage(std::string_view errorText, std::string_view requestUrl)
{
    // The request comes from a page; it is shown as text, never as markup.
    return "<HTML>An error occured while parsing the URL<BR><B>" + htmlEscaped(errorText) +
           "</B><BR>Request URL was " + htmlEscaped(requestUrl) + "<BR></HTML>";
}

TPvpAnswer TPVPMoniker::ParseDisplayName(const std::string& displayName)
{
    RequestUrl = displayName;
    const std::string prefix = "@" + MonikerName();
    const std::string root = prefix + ":/";
    if (displayName == root)
        return {};

    TNode* current = CurrentPageNode();
    if (EqualsIgnoringCase(displayName, root + "<stylesheet>")) {
        if (!current || !current->InheritsFrom(TNodeClass::ncPageNode))
            return {};
        const std::string css = ResolveReference(current, static_cast<TPageNode*>(current)->CSSFileName());
        const bool relative = !isAbsoluteTarget(css);
        return {TPvpAnswer::paRedirect, relative ? CurrentBase() + "/" + css : css};
    }

    const std::string idForm = root + "id=";
    if (LowerAscii(displayName).find(LowerAscii(idForm)) != std::string::npos) {
        int32_t id = 0;
        if (!ParseDecimalInteger(std::string_view(displayName).substr(std::min(idForm.size(), displayName.size())), id))
            return {};
        TNode* top = current;
        while (top && top->Parent())
            top = top->Parent();
        ComposePage(top ? top->FindNode(id) : nullptr);
        return {};
    }

    const std::string rest = displayName.substr(std::min(prefix.size() + 1, displayName.size()));
    std::string target = ResolveReference(current, rest);
    if (!isAbsoluteTarget(target)) {
        std::string base = CurrentBase();
        if (base.empty() || base.back() != '/')
            base += '/';
        target = base + target;
    }
    return {TPvpAnswer::paRedirect, target};
}

std::unique_ptr<TMyStream> TPVPMoniker::OpenContent()
{
    auto stream = std::make_unique<TMyStream>();
    if (const TPageBuffer* buffer = PageBuffer()) {
        try {
            uint32_t written = 0;
            const std::string& bytes = buffer->Bytes;
            if (bytes.size() > INT32_MAX ||
                stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written) != TStreamResult::srOk ||
                written != bytes.size())
                ErrorText = "PvpMoniker: Internal error - unsuccelful write to stream";
        } catch (const std::bad_alloc&) {
            ErrorText = "PvpMoniker: Internal error - unsuccelful write to stream";
        }
    } else {
        ErrorText = "SourceStream is empty...";
    }
    if (!ErrorText.empty()) {
        Text = ErrorPage(ErrorText, RequestUrl);
        stream->SetSize(0);
        stream->Seek(0, TSeekOrigin::soBeginning, nullptr);
        uint32_t written = 0;
        stream->Write(Text.data(), static_cast<uint32_t>(Text.size()), &written);
    }
    stream->Seek(0, TSeekOrigin::soBeginning, nullptr);
    return stream;
}

} // namespace pavilo
