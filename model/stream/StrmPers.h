#pragma once
// Document files (".pvp", ".pvt") and single node records.
//
// A file is the signature "PV01".."PV09", the top node's record holding its
// whole subtree, and, under a TFileNode, a trailer of provenance strings.
// Files are always written as version 8. Loading fails with an Exception
// whose message is meant for the user; a failed load hands out nothing.

#include <memory>
#include <string>
#include <string_view>

#include "model/Node.h"
#include "model/stream/ValueStream.h"

namespace pavilo {

inline constexpr int kCurrentVersion = 8;
// Deeper nesting than this is taken for a damaged file; real documents stay
// within a few dozen levels.
inline constexpr int kMaxNodeDepth = 1000;

// The document is not a document of this program, or of a newer version.
class EInvalidDocument : public Exception {
public:
    using Exception::Exception;
};

struct TLoadedDocument {
    std::unique_ptr<TNode> Node;
    int Version = 0; // the format version read
};

// Reads a whole document file; the caller owns the tree.
std::unique_ptr<TNode> LoadDocument(const std::string& fileName);
TLoadedDocument LoadDocumentWithVersion(const std::string& fileName);
// The same over bytes already in memory; fileName names the document.
TLoadedDocument LoadDocumentFromBytes(std::string_view bytes, const std::string& fileName);

// 0: not a document, 255: a newer version, else 1..9.
int ClassifySignature(TValueReader& stream);

// Creates or truncates the file and writes the document. Returns false when
// writing failed (the partial file is the caller's to discard); a file that
// cannot be created raises. On success every node written has Modified false.
bool SaveDocument(const std::string& fileName, TNode* topNode);
// The bytes SaveDocument writes; false in ok when the tree could not be written.
std::string DocumentBytes(const TNode* topNode, bool* ok = nullptr);

// One node record at version 8, no signature or trailer (clipboard, drag,
// duplicate). Modified is left alone.
void WriteNodeToStream(TValueWriter& stream, const TNode* node);
// Reads one node record at the stream's version; the node has no parent.
std::unique_ptr<TNode> ReadNodeFromStream(TValueReader& stream);
// The record reader behind both, also used for records nested in old
// page-wizard records.
std::unique_ptr<TNode> ReadNodeRecord(TValueReader& stream, TNode* parent);

// The file name without its folder.
std::string FileNameOnly(const std::string& path);

} // namespace pavilo
