#include "documents/PVPStore.h"

#include <algorithm>
#include <cassert>
#include <strings.h>
#include <unistd.h>

#include "documents/RegistryLayout.h"
#include "documents/SettingsStore.h"
#include "model/DocumentNodes.h"
#include "model/Exception.h"
#include "model/stream/StrmPers.h"

namespace pavilo {

namespace {

// The folder part with its trailing '/', or empty.
std::string directoryOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string withoutExtension(const std::string& name)
{
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool hasPresentationExtension(const std::string& path)
{
    std::string name = FileNameOnly(path);
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && strcasecmp(name.c_str() + dot, ".pvp") == 0;
}

// Gives the top node the file's name and a presentation's root the same
// title, leaving every Modified flag as it was.
void adoptFileName(TNode* node, const std::string& fileName)
{
    auto* file = dynamic_cast<TFileNode*>(node);
    if (!file)
        return;
    bool modified = file->Modified();
    file->SetFileName(fileName);
    file->SetModified(modified);
    if (hasPresentationExtension(fileName) && file->Count() == 1) {
        if (auto* root = dynamic_cast<TRootNode*>(file->Items(0))) {
            bool rootModified = root->Modified();
            root->SetTitle(file->Title());
            root->SetModified(rootModified);
        }
    }
}

// Steps 2 to 8 of a safe save. On any failure the document at fileName is
// as it was and no temporary file of this save is left behind.
bool writeSafely(TFileSystem& fs, TNode* node, const std::string& fileName)
{
    std::string dir = directoryOf(fileName);
    if (dir.empty())
        throw Exception("Unable to create directory");
    if (!ForceDirectories(fs, dir))
        return false;
    std::string base = withoutExtension(FileNameOnly(fileName));
    if (base.empty())
        return false;
    // A folder of that name is no document to replace.
    if (fs.Kind(fileName) == pkDirectory)
        return false;

    std::string tmp = dir + base + ".tmp";
    std::string bak = dir + base + ".bak";
    // Saving as "x.tmp" or "x.bak" must not clear the document itself out of the way.
    if (tmp == fileName)
        tmp = fileName + ".tmp";
    if (bak == fileName)
        bak = fileName + ".bak";

    if (fs.Exists(tmp) && !fs.DeleteFile(tmp))
        return false;

    bool ok = false;
    std::string bytes;
    try {
        bytes = DocumentBytes(node, &ok);
    } catch (const Exception&) {
        ok = false;
    }
    if (!ok)
        return false;
    if (!fs.WriteFile(tmp, bytes)) {
        fs.DeleteFile(tmp);
        return false;
    }
    if (fs.Exists(bak) && !fs.DeleteFile(bak)) {
        fs.DeleteFile(tmp);
        return false;
    }
    bool hadDocument = fs.Exists(fileName);
    if (hadDocument && !fs.Rename(fileName, bak)) {
        fs.DeleteFile(tmp);
        return false;
    }
    if (!fs.Rename(tmp, fileName)) {
        // Put the previous document back where the user left it.
        if (hadDocument)
            fs.Rename(bak, fileName);
        fs.DeleteFile(tmp);
        return false;
    }
    return true;
}

} // namespace

std::string DocumentDisplayName(const std::string& fileName)
{
    std::string name = fileName;
    if (!name.empty() && name[0] == '?')
        name.erase(0, 1);
    name = withoutExtension(FileNameOnly(name));
    return name.empty() ? "Untitled" : name;
}

// ---- TFileCollectionItem

TFileCollectionItem::TFileCollectionItem(int id)
    : m_id(id), m_transactionManager(std::make_unique<TTransactionManager>())
{
}

TFileCollectionItem::~TFileCollectionItem()
{
    m_node.reset();
    m_transactionManager.reset();
}

std::string TFileCollectionItem::DisplayName() const
{
    return DocumentDisplayName(m_fileName);
}

bool TFileCollectionItem::Modified() const
{
    if (!m_node)
        return false;
    int count = 0;
    m_node->ForEachNode([&count](TNode* n) {
        if (n->Modified())
            ++count;
    });
    return count > 0;
}

void TFileCollectionItem::SetNode(std::unique_ptr<TNode> node)
{
    m_node = std::move(node);
}

// ---- TFileCollection

TFileCollection::TFileCollection(TSettingsStore* store, TFileSystem& fs) : m_store(store), m_fs(fs) {}

TFileCollection::~TFileCollection() = default;

TFileCollectionItem* TFileCollection::Items(int i) const
{
    if (i < 0 || i >= Count())
        throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return m_items[static_cast<size_t>(i)].get();
}

TFileCollectionItem* TFileCollection::FindItemID(int id) const
{
    for (const auto& item : m_items)
        if (item->ID() == id)
            return item.get();
    return nullptr;
}

int TFileCollection::IndexOf(const TFileCollectionItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

TFileCollectionItem* TFileCollection::Add()
{
    m_items.push_back(std::make_unique<TFileCollectionItem>(m_nextId++));
    return m_items.back().get();
}

void TFileCollection::Delete(TFileCollectionItem* item)
{
    int i = IndexOf(item);
    assert(i >= 0);
    if (i >= 0)
        m_items.erase(m_items.begin() + i);
}

void TFileCollection::MoveToFront(TFileCollectionItem* item)
{
    int i = IndexOf(item);
    assert(i >= 0);
    if (i > 0)
        std::rotate(m_items.begin(), m_items.begin() + i, m_items.begin() + i + 1);
}

TFileCollectionItem* TFileCollection::AddNew(const std::string& fileName)
{
    TFileCollectionItem* item = Add();
    MoveToFront(item);
    auto file = std::make_unique<TFileNode>();
    file->SetTransactionManager(&item->TransactionManager());
    file->SetFileName(fileName);
    item->SetNode(std::move(file));
    item->m_fileName = fileName;
    item->m_closed = false;
    return item;
}

TFileCollectionItem* TFileCollection::OpenFile(const std::string& fileName, bool alwaysNew)
{
    TFileCollectionItem* item = nullptr;
    if (!alwaysNew)
        for (const auto& candidate : m_items)
            if (strcasecmp(candidate->m_fileName.c_str(), fileName.c_str()) == 0) {
                item = candidate.get();
                break;
            }
    if (!item)
        item = Add();
    item->m_fileName = fileName;
    std::unique_ptr<TNode> node;
    try {
        node = LoadDocument(fileName);
    } catch (const Exception&) {
        // The caller reports a closed entry in its own words.
    }
    item->SetNode(std::move(node));
    item->m_closed = item->Node() == nullptr;
    if (!item->m_closed)
        MoveToFront(item);
    adoptFileName(item->Node(), fileName);
    return item;
}

void TFileCollection::Save(TFileCollectionItem* item)
{
    item->m_saved = false;
    if (item->Node())
        SaveAs(item, item->m_fileName);
}

void TFileCollection::SaveAs(TFileCollectionItem* item, const std::string& fileName)
{
    item->m_saved = false;
    TNode* node = item->Node();
    if (!node)
        return;
    if (!writeSafely(m_fs, node, fileName))
        return;
    // Only now is the document on disk: until here a failure keeps it modified.
    node->ForEachNode([](TNode* n) { n->SetModified(false); });
    adoptFileName(node, fileName);
    item->m_fileName = fileName;
    item->m_saved = true;
    MoveToFront(item);
}

void TFileCollection::CloseEntry(TFileCollectionItem* item)
{
    if (!item->Node())
        return;
    item->SetNode(nullptr);
    item->m_closed = true;
    MoveToFront(item);
}

void TFileCollection::LoadFromRegistry()
{
    if (!m_store || !m_store->OpenKey(registry::FilesKeyPath(), false))
        return;
    for (int n = 0;; ++n) {
        std::unique_ptr<TSettingsKey> key = m_store->OpenKey(registry::FileKeyPath(n), false);
        if (!key)
            break;
        TFileCollectionItem* item = Add();
        std::optional<std::string> name = key->ReadString(registry::FileFileName);
        std::optional<bool> closed = key->ReadBool(registry::FileClosed);
        if (!name || !closed) {
            Delete(item);
            continue;
        }
        item->m_fileName = *name;
        item->m_closed = *closed;
    }
}

void TFileCollection::SaveToRegistry()
{
    if (!m_store)
        return;
    int n = 0;
    if (m_store->OpenKey(registry::FilesKeyPath(), true)) {
        int closedCount = 0;
        for (const auto& item : m_items) {
            if (item->m_fileName.empty())
                continue;
            if (item->m_closed && ++closedCount > kClosedEntriesKept)
                continue;
            std::unique_ptr<TSettingsKey> key = m_store->OpenKey(registry::FileKeyPath(n), true);
            // A key that cannot be written leaves no gap in the numbering.
            if (!key)
                continue;
            key->WriteString(registry::FileFileName, item->m_fileName);
            key->WriteBool(registry::FileClosed, item->m_closed);
            ++n;
        }
    }
    while (m_store->DeleteKey(registry::FileKeyPath(n)))
        ++n;
    m_store->Flush();
}

void SaveLoadedDocumentAs(std::unique_ptr<TNode> tree, const std::string& fileName, TFileSystem& fs)
{
    std::string path = fileName;
    if (!path.empty() && path[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd))
            path = std::string(cwd) + "/" + path;
    }
    TFileCollection files(nullptr, fs);
    TFileCollectionItem* item = files.Add();
    item->SetNode(std::move(tree));
    item->SetFileName(path);
    item->SetClosed(false);
    files.SaveAs(item, path);
    if (!item->Saved())
        throw Exception(kFailedToSaveFile);
}

} // namespace pavilo
