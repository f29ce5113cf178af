#pragma once
// Resolution of the references written in pages: to an absolute file path,
// or to the URL they are.
//
// References from documents of the original platform read "\" as a
// separator; drive paths ("C:\x.htm") and network paths ("\\server\share")
// stay in that form and count as absolute local paths. "<docpath>" and
// "<apppath>" stand for the document's folder and the program's folder; the
// placeholders "%%wizard-input%%", "%%stylesheet%%" and "<stylesheet>" are
// left alone. None of these functions fails.

#include <string>
#include <string_view>

namespace pavilo {

class TNode;

// The reference as an absolute path or URL, relative to the node's page and
// document. The node may be null: then the program's folder is the base.
std::string ResolveReference(const TNode* node, std::string_view reference);
// The same with a folder in place of the node's document; an empty folder
// resolves against the program's folder.
std::string ResolveInFolder(std::string_view folder, std::string_view reference);
// The folder against which the page's relative references resolve: its
// BaseUrl, else its document's folder, else the program's folder; always
// with a trailing separator (a non-empty result).
std::string PageBase(const TNode* node);
// "&amp;" becomes "&", then "." and ".." segments are removed. A path that
// would grow too long is returned with only the first step done.
std::string Canonicalize(std::string_view text);

// The folder of the running executable, with a trailing "/".
const std::string& ProgramDirectory();

// Whether the text begins with one of the recognised scheme prefixes
// ("ftp:", "http:", "mailto:", "javascript:", ...), ignoring case.
bool HasSchemePrefix(std::string_view text);
// ":\" at positions 2 and 3.
bool IsDrivePath(std::string_view text);
// Begins with "\\".
bool IsNetworkPath(std::string_view text);

} // namespace pavilo
