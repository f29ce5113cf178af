// Fuzz entry for the package information file reader and the Links line
// splitter. Checks what the installer relies on: every Links line holds a
// key, "=" and a non-empty value, keys are distinct ignoring case, and a
// name made safe never leaves its folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "tools/InstallFolder.h"
#include "tools/LinkRewriter.h"
#include "tools/PackageInfo.h"

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void checkSafe(std::string_view name)
{
    std::optional<std::string> path = pavilo::SafeRelativePath(name);
    if (!path)
        return;
    check(!path->empty() && path->front() != '/' && path->back() != '/');
    check(path->find('\\') == std::string::npos);
    check(("/" + *path + "/").find("/../") == std::string::npos);
    check(("/" + *path + "/").find("/./") == std::string::npos);
    check(path->find("//") == std::string::npos);
    check(path->find('\0') == std::string::npos && (path->size() < 2 || (*path)[1] != ':'));
    check(pavilo::SafeRelativePath(*path) == path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pavilo;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TPackageInfoFile file(text);
    TPackageInfo info = TPackageInfo::FromFile(file);
    check(info.Links.size() <= size);

    std::set<std::string> keys;
    for (const std::string& line : info.Links) {
        size_t eq = line.find('=');
        check(eq != std::string::npos && eq > 0 && eq + 1 < line.size());
        check(keys.insert(lower(line.substr(0, eq))).second);
        if (std::optional<TLinkLine> l = ParseLinkLine(line)) {
            check(l->Old.size() + l->New.size() < line.size());
            checkSafe(l->New);
        }
    }
    checkSafe(PackageFileNamePart(info.PaviloFile));
    checkSafe(info.ImportLocation);
    check(PackageFileNamePart(info.MessageFile).find_first_of("\\/") == std::string_view::npos);

    int32_t a = 7, b = -7;
    bool okA = TryParseProfileInteger(text.substr(0, 24), a);
    bool okB = TryParseProfileInteger(text.substr(0, 24), b);
    check(okA == okB && (!okA || a == b) && (okA || (a == 7 && b == -7)));
    return 0;
}
