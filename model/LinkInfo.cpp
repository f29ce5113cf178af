#include "model/LinkInfo.h"

#include <string>
#include <sys/stat.h>

#include "model/LinkResolver.h"

namespace pavilo {

namespace {

// Any failure of the test counts as "does not exist"; a folder is no file.
bool fileExists(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return false;
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace

int32_t LinkStatusOf(std::string_view pathName)
{
    std::string_view s = pathName;
    if (s.size() >= 7) {
        std::string head(s.substr(0, 7));
        for (char& c : head)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (head == "file://")
            s.remove_prefix(7);
    }
    if (HasSchemePrefix(s))
        return lsNotLocal;
    // Drive and network paths are local paths of another platform.
    if (IsDrivePath(s) || IsNetworkPath(s))
        return lsFileMissing;
    if (!s.empty() && s[0] == '/')
        return fileExists(std::string(s)) ? lsFileExists : lsFileMissing;
    return lsNotLocal;
}

} // namespace pavilo
