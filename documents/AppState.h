#pragma once
// Window-state records kept in the settings store under <path>\Object_<n>:
// where each window stood, whether it was docked, and which document it
// showed. TApplicationState loads and saves them; a TFormState, owned by a
// window, registers that window's record and keeps it up to date.
//
// Ownership: the store owns its records. A record's ObjectRef is a window it
// does not own; the window's TFormState clears it when the window goes. The
// settings store must outlive the TApplicationState that uses it. Nothing
// here raises: unreadable values take their defaults, a store that refuses
// a key ends that pass silently.

#include <memory>
#include <string>
#include <vector>

namespace pavilo {

class TSettingsStore;
class TApplicationState;

struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// What a window offers to its form state.
class TFormStateOwner {
public:
    virtual ~TFormStateOwner() = default;
    // The window's class name ("TMainForm"), stored as ControlType.
    virtual std::string ClassName() const = 0;
    // The window's current bounds.
    virtual TBounds Bounds() const = 0;
    // The name of the control the window is docked inside, empty when it is
    // not docked in one.
    virtual std::string DockedInControlName() const = 0;
};

class TRegistryCollectionItem {
public:
    explicit TRegistryCollectionItem(int id) : m_id(id) {}
    int ID() const { return m_id; }
    // Copies the place and the document, never the kind, Open or ObjectRef.
    void Assign(const TRegistryCollectionItem& source);

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::string FileName;
    bool Dock = false;
    std::string DockControl;
    int Position = 0; // the window state: 0 normal, 1 minimised, 2 maximised
    bool Open = true;
    std::string ControlType;
    TFormStateOwner* ObjectRef = nullptr; // not stored

private:
    int m_id;
};

class TRegistryCollection {
public:
    explicit TRegistryCollection(TApplicationState* owner) : m_owner(owner) {}
    TRegistryCollection(const TRegistryCollection&) = delete;
    TRegistryCollection& operator=(const TRegistryCollection&) = delete;

    TApplicationState* Owner() const { return m_owner; }
    TSettingsStore* RootKey() const { return m_rootKey; }
    const std::string& Path() const { return m_path; }
    void SetRootKey(TSettingsStore* rootKey) { m_rootKey = rootKey; }
    void SetPath(const std::string& path) { m_path = path; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TRegistryCollectionItem* Items(int i) const;
    TRegistryCollectionItem* FindItemID(int id) const;
    // A record with the defaults (Width and Height 0 until set) at the end.
    TRegistryCollectionItem* Add();
    void Delete(TRegistryCollectionItem* item);
    void Clear() { m_items.clear(); }

private:
    TApplicationState* m_owner;
    TSettingsStore* m_rootKey = nullptr;
    std::string m_path;
    std::vector<std::unique_ptr<TRegistryCollectionItem>> m_items;
    int m_nextId = 0;
};

class TFormState;

class TApplicationState {
public:
    // owner: the window the store belongs to; its record is kept even
    // without a file name. rootKey: the per-user store (none: set it later).
    explicit TApplicationState(TFormStateOwner* owner = nullptr, TSettingsStore* rootKey = nullptr);
    TApplicationState(const TApplicationState&) = delete;
    TApplicationState& operator=(const TApplicationState&) = delete;
    // Detaches every form state that uses this store.
    ~TApplicationState();

    TFormStateOwner* Owner() const { return m_owner; }
    TSettingsStore* RootKey() const { return m_records.RootKey(); }
    const std::string& Path() const { return m_records.Path(); }
    // Each stores the value and reloads the records at once.
    void SetRootKey(TSettingsStore* rootKey);
    void SetPath(const std::string& path);
    int Historyfiles() const { return m_historyFiles; }
    void SetHistoryfiles(int count) { m_historyFiles = count; }
    int LoadCount() const { return m_loadCount; }
    // The defaults of a record without a stored width or height; set it
    // before RootKey and Path.
    void SetDesktopSize(int width, int height);

    TRegistryCollection& Records() { return m_records; }
    const TRegistryCollection& Records() const { return m_records; }

    // Reads the records from the store, replacing those held.
    void Load();
    // Writes the records back, replacing every stored record.
    void Save();

    // The loaded record whose placement a window of that class takes at its
    // first showing: the first one read (lowest n) with a width above 0.
    const TRegistryCollectionItem* FindPlacement(const std::string& controlType) const;

private:
    friend class TFormState;
    TFormStateOwner* m_owner;
    TRegistryCollection m_records;
    int m_historyFiles = 0;
    int m_loadCount = 0;
    int m_desktopWidth = 0;
    int m_desktopHeight = 0;
    std::vector<TFormState*> m_formStates;
};

// Owned by a window. The window must destroy it while the window can
// still answer Bounds (first thing in its destructor), since the form state
// reads the final bounds then.
class TFormState {
public:
    explicit TFormState(TFormStateOwner* owner) : m_owner(owner) {}
    TFormState(const TFormState&) = delete;
    TFormState& operator=(const TFormState&) = delete;
    ~TFormState();

    TApplicationState* ApplicationState() const { return m_state; }
    // Registers the owner window with a new record of the store; nothing for
    // none or the same store.
    void SetApplicationState(TApplicationState* state);
    // Stores the window state (0 normal, 1 minimised, 2 maximised) as Position.
    void SetWindowState(int state);
    // The registered record, none when the store dropped it or went away.
    TRegistryCollectionItem* Record() const;

private:
    friend class TApplicationState;
    void detach();
    TFormStateOwner* m_owner;
    TApplicationState* m_state = nullptr;
    int m_recordId = -1;
};

} // namespace pavilo
