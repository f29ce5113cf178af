#pragma once
// The open-document collection: the documents open now and the ones
// remembered from earlier runs, most recent first.
//
// Ownership: the collection owns its entries; an entry owns its document
// tree and its transaction manager, and destroys the tree first. Loading
// failures are swallowed (the entry stays closed); a failed save leaves
// Saved false and the file on disk as it was.

#include <memory>
#include <string>
#include <vector>

#include "documents/FileSystem.h"
#include "model/Node.h"
#include "transactions/TM.h"

namespace pavilo {

class TSettingsStore;

// The words the user sees when a save failed.
inline constexpr const char* kFailedToSaveFile = "Failed to save file";

class TFileCollectionItem {
public:
    explicit TFileCollectionItem(int id);
    TFileCollectionItem(const TFileCollectionItem&) = delete;
    TFileCollectionItem& operator=(const TFileCollectionItem&) = delete;
    ~TFileCollectionItem();

    // The running id of the collection, never reused.
    int ID() const { return m_id; }
    // The file name without "?", folder and extension, or "Untitled".
    std::string DisplayName() const;
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& name) { m_fileName = name; }
    bool Closed() const { return m_closed; }
    void SetClosed(bool closed) { m_closed = closed; }
    bool Saved() const { return m_saved; }
    // Some node of the tree has unsaved changes.
    bool Modified() const;

    TNode* Node() const { return m_node.get(); }
    // Replaces the tree; the previous one is destroyed.
    void SetNode(std::unique_ptr<TNode> node);
    std::unique_ptr<TNode> ReleaseNode() { return std::move(m_node); }
    TTransactionManager& TransactionManager() { return *m_transactionManager; }

private:
    friend class TFileCollection;
    int m_id;
    std::string m_fileName;
    bool m_closed = true;
    bool m_saved = false;
    // Declared first so that it is destroyed after the tree.
    std::unique_ptr<TTransactionManager> m_transactionManager;
    std::unique_ptr<TNode> m_node;
};

class TFileCollection {
public:
    // The store holds the remembered list (none: LoadFromRegistry and
    // SaveToRegistry do nothing); fs is where documents are saved.
    explicit TFileCollection(TSettingsStore* store = nullptr, TFileSystem& fs = NativeFileSystem());
    TFileCollection(const TFileCollection&) = delete;
    TFileCollection& operator=(const TFileCollection&) = delete;
    ~TFileCollection();

    int Count() const { return static_cast<int>(m_items.size()); }
    TFileCollectionItem* Items(int i) const;
    TFileCollectionItem* FindItemID(int id) const;
    int IndexOf(const TFileCollectionItem* item) const;
    // A new closed entry at the end.
    TFileCollectionItem* Add();
    void Delete(TFileCollectionItem* item);
    void MoveToFront(TFileCollectionItem* item);

    // A new open untitled document at index 0 ("?Untitled.pvp", "?Untitled.pvt").
    TFileCollectionItem* AddNew(const std::string& fileName);
    // Loads the file into the entry of that name (case ignored) or a new one;
    // the entry is Closed when the load failed.
    TFileCollectionItem* OpenFile(const std::string& fileName, bool alwaysNew);
    void Save(TFileCollectionItem* item);
    // Writes base + ".tmp" (flushed to disk), keeps the previous document as
    // base + ".bak" and renames the new one into place; missing folders are
    // created. Saved tells the outcome. After a failure the document on disk
    // is as it was, the tree stays modified, and no temporary file of this
    // save is left (a stale one that could not be deleted stays). A file name
    // without a folder, such as an untitled "?Untitled.pvp", raises
    // "Unable to create directory".
    void SaveAs(TFileCollectionItem* item, const std::string& fileName);
    void CloseEntry(TFileCollectionItem* item);

    void LoadFromRegistry();
    void SaveToRegistry();

    // How many closed entries the remembered list keeps.
    static constexpr int kClosedEntriesKept = 10;

private:
    TSettingsStore* m_store;
    TFileSystem& m_fs;
    std::vector<std::unique_ptr<TFileCollectionItem>> m_items;
    int m_nextId = 0;
};

// The display name rule on its own.
std::string DocumentDisplayName(const std::string& fileName);

// Saves a tree loaded elsewhere to fileName through the safe-save sequence of
// SaveAs (a relative name is taken from the working directory). The tree is
// written as it is (provenance included). Raises an Exception "Failed to save
// file" when the save failed.
void SaveLoadedDocumentAs(std::unique_ptr<TNode> tree, const std::string& fileName,
                          TFileSystem& fs = NativeFileSystem());

} // namespace pavilo
