#include "model/stream/StrmPers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "model/ContentNodes.h"
#include "model/DocumentNodes.h"

namespace pavilo {

namespace {

constexpr std::string_view kSignatures[] = {"????", "PV01", "PV02", "PV03", "PV04",
                                            "PV05", "PV06", "PV07", "PV08", "PV09"};
constexpr std::string_view kTrailerName = "TFileNodeEx";

std::string printable(std::string_view s)
{
    std::string out;
    for (char c : s.substr(0, 64))
        out.push_back(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F ? c : '?');
    return out;
}

std::string tooDeep()
{
    return "nodes nested deeper than " + std::to_string(kMaxNodeDepth) + " levels";
}

// Levels of the tree under and including the node, counted without recursion.
int treeDepth(const TNode* top)
{
    int deepest = 0;
    std::vector<std::pair<const TNode*, int>> pending{{top, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const TNode* child : node->Children())
            pending.emplace_back(child, depth + 1);
    }
    return deepest;
}

struct DepthScope {
    explicit DepthScope(TValueReader& s) : stream(s)
    {
        if (++stream.Depth > kMaxNodeDepth)
            stream.Fail(tooDeep(), stream.Position());
    }
    ~DepthScope() { --stream.Depth; }
    TValueReader& stream;
};

void writeRecord(TValueWriter& stream, const TNode* node, int depth = 1)
{
    // What the reader refuses is not written: the save fails instead of
    // leaving a document that cannot be opened again.
    if (depth > kMaxNodeDepth)
        throw Exception("The document cannot be saved: " + tooDeep());
    if (std::optional<std::string_view> name = StoredClassName(node->ClassId(), kCurrentVersion)) {
        stream.WriteString(*name);
        node->WriteFields(stream, kCurrentVersion);
    } else if (const auto* wizard = dynamic_cast<const TWizardNode*>(node)) {
        // Kinds that only old files have are saved as a kind of today with
        // the same content, so the saved file stays readable: an old wizard
        // becomes an element wizard with an empty Source.
        TElementWizardNode stand;
        stand.SetDLLFileName(wizard->DLLFileName());
        stand.SetFuncName(wizard->FuncName());
        stand.SetInParams(wizard->InParams());
        stand.AssignNode(node);
        stand.SetID(node->ID());
        stream.WriteString(stand.ClassName());
        stand.WriteFields(stream, kCurrentVersion);
    } else {
        // An old tool tab holds nothing beyond a content node.
        stream.WriteString(NodeClassName(TNodeClass::ncPVNode));
        static_cast<const TPVNode*>(node)->TPVNode::WriteFields(stream, kCurrentVersion);
    }
    stream.Flush();
    stream.WriteListBegin();
    for (const TNode* child : node->Children())
        writeRecord(stream, child, depth + 1);
    stream.WriteListEnd();
}

// Old files whose top record is a root or a tool tab get a file node above.
std::unique_ptr<TNode> convertOldTop(std::unique_ptr<TNode> top)
{
    if (top->ClassId() == TNodeClass::ncRootNode) {
        auto file = std::make_unique<TFileNode>();
        top.release()->SetParent(file.get());
        return file;
    }
    if (top->ClassId() == TNodeClass::ncToolNode2) {
        auto file = std::make_unique<TFileNode>();
        TNode* tool = top.release();
        tool->SetParent(file.get());
        while (tool->HasChildren())
            tool->FirstChild()->SetParent(file.get());
        delete file->FirstChild();
        return file;
    }
    return top;
}

void readTrailer(TValueReader& stream, TFileNode& file)
{
    try {
        stream.ReadString();
        stream.ReadInteger();
        stream.ReadListBegin();
        for (int i = 0; i < TFileNode::ProvenanceCount; ++i)
            file.SetProvenance(i, stream.ReadString());
        stream.ReadListEnd();
    } catch (const EReadError&) {
        // A missing or cut trailer costs only provenance.
    }
}

TLoadedDocument loadFrom(TValueReader& stream, const std::string& fileName)
{
    const std::string& shortName = stream.SourceName();
    int version = ClassifySignature(stream);
    if (version == 0)
        throw EInvalidDocument("'" + shortName + "' is not a PaviloPro file");
    if (version == 255)
        throw EInvalidDocument("'" + shortName + "' has been saved with a more recent version of Pavilo");
    stream.SetVersion(version);
    std::unique_ptr<TNode> top = ReadNodeRecord(stream, nullptr);
    const bool gainsLevel = top->ClassId() == TNodeClass::ncRootNode;
    top = convertOldTop(std::move(top));
    // The file node above an old root is one level more; a tree deeper than
    // the reader takes could not be read back once saved.
    if (gainsLevel && treeDepth(top.get()) > kMaxNodeDepth)
        stream.Fail(tooDeep(), stream.Position());
    if (auto* file = dynamic_cast<TFileNode*>(top.get())) {
        file->SetFileName(fileName);
        readTrailer(stream, *file);
    }
    return {std::move(top), version};
}

} // namespace

std::string FileNameOnly(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ClassifySignature(TValueReader& stream)
{
    std::string signature;
    try {
        signature = stream.ReadString();
    } catch (const EReadError&) {
        return 0;
    }
    int version = signature.rfind("PV", 0) == 0 ? 255 : 0;
    for (int i = 0; i < 10; ++i)
        if (signature == kSignatures[i])
            return i;
    return version;
}

std::unique_ptr<TNode> ReadNodeRecord(TValueReader& stream, TNode* parent)
{
    DepthScope depth(stream);
    size_t at = stream.Position();
    std::string name = stream.ReadString();
    std::optional<TNodeClass> cls = ClassFromStoredName(name, stream.Version());
    if (!cls)
        stream.Fail("unknown node class '" + printable(name) + "' for format version " +
                        std::to_string(stream.Version()),
                    at);
    std::unique_ptr<TNode> owned = CreateNode(*cls);
    TNode* node = owned.get();
    if (parent) {
        // From here the parent owns the node, also when reading fails.
        node->SetParent(parent);
        owned.release();
    }
    node->ReadFields(stream, stream.Version());
    stream.ReadListBegin();
    while (!stream.EndOfList())
        ReadNodeRecord(stream, node);
    stream.ReadListEnd();
    node->SetModified(false);
    return owned;
}

std::unique_ptr<TNode> ReadNodeFromStream(TValueReader& stream)
{
    return ReadNodeRecord(stream, nullptr);
}

void WriteNodeToStream(TValueWriter& stream, const TNode* node)
{
    writeRecord(stream, node);
}

TLoadedDocument LoadDocumentFromBytes(std::string_view bytes, const std::string& fileName)
{
    TValueReader stream(bytes, FileNameOnly(fileName));
    return loadFrom(stream, fileName);
}

TLoadedDocument LoadDocumentWithVersion(const std::string& fileName)
{
    // Read through a small buffer: a large document is never held twice.
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EReadError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw EReadError("Cannot open file \"" + fileName + "\". " + std::strerror(err ? err : EINVAL));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    TValueReader stream(fd, static_cast<uint64_t>(st.st_size), FileNameOnly(fileName));
    return loadFrom(stream, fileName);
}

std::unique_ptr<TNode> LoadDocument(const std::string& fileName)
{
    return LoadDocumentWithVersion(fileName).Node;
}

namespace {

// Signature, tree and trailer; false when the tree could not be written.
bool writeDocument(TValueWriter& stream, const TNode* topNode)
{
    stream.WriteString(kSignatures[kCurrentVersion]);
    bool written = true;
    try {
        writeRecord(stream, topNode);
    } catch (const EWriteError&) {
        throw;
    } catch (const std::exception&) {
        written = false;
    }
    if (const auto* file = dynamic_cast<const TFileNode*>(topNode)) {
        stream.WriteString(kTrailerName);
        stream.WriteInteger(4);
        stream.WriteListBegin();
        for (int i = 0; i < TFileNode::ProvenanceCount; ++i)
            stream.WriteString(file->Provenance(i));
        stream.WriteListEnd();
    }
    stream.Flush(true);
    return written;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

std::string DocumentBytes(const TNode* topNode, bool* ok)
{
    TValueWriter stream;
    bool written = writeDocument(stream, topNode);
    if (ok)
        *ok = written;
    return stream.TakeBytes();
}

bool SaveDocument(const std::string& fileName, TNode* topNode)
{
    int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw Exception("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    TValueWriter stream([fd](std::string_view bytes) { return writeAll(fd, bytes); });
    bool ok;
    try {
        ok = writeDocument(stream, topNode);
    } catch (const EWriteError&) {
        ok = false;
    }
    if (::close(fd) != 0)
        ok = false;
    // Only a document that really reached the file counts as saved.
    if (ok)
        topNode->ForEachNode([](TNode* n) { n->SetModified(false); });
    return ok;
}

} // namespace pavilo
