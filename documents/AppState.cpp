#include "documents/AppState.h"

#include <algorithm>
#include <cassert>

#include "documents/RegistryLayout.h"
#include "documents/SettingsStore.h"
#include "model/Exception.h"

namespace pavilo {

namespace {

int readInteger(const TSettingsKey& key, const char* name, int fallback)
{
    return key.ReadInteger(name).value_or(fallback);
}

bool readBool(const TSettingsKey& key, const char* name, bool fallback)
{
    return key.ReadBool(name).value_or(fallback);
}

std::string readString(const TSettingsKey& key, const char* name)
{
    return key.ReadString(name).value_or(std::string());
}

} // namespace

// ---- TRegistryCollectionItem

void TRegistryCollectionItem::Assign(const TRegistryCollectionItem& source)
{
    FileName = source.FileName;
    Left = source.Left;
    Top = source.Top;
    Width = source.Width;
    Height = source.Height;
    Dock = source.Dock;
    DockControl = source.DockControl;
    Position = source.Position;
}

// ---- TRegistryCollection

TRegistryCollectionItem* TRegistryCollection::Items(int i) const
{
    if (i < 0 || i >= Count())
        throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return m_items[static_cast<size_t>(i)].get();
}

TRegistryCollectionItem* TRegistryCollection::FindItemID(int id) const
{
    for (const auto& item : m_items)
        if (item->ID() == id)
            return item.get();
    return nullptr;
}

TRegistryCollectionItem* TRegistryCollection::Add()
{
    m_items.push_back(std::make_unique<TRegistryCollectionItem>(m_nextId++));
    return m_items.back().get();
}

void TRegistryCollection::Delete(TRegistryCollectionItem* item)
{
    auto it = std::find_if(m_items.begin(), m_items.end(), [item](const auto& p) { return p.get() == item; });
    assert(it != m_items.end());
    if (it != m_items.end())
        m_items.erase(it);
}

// ---- TApplicationState

TApplicationState::TApplicationState(TFormStateOwner* owner, TSettingsStore* rootKey)
    : m_owner(owner), m_records(this)
{
    m_records.SetRootKey(rootKey);
}

TApplicationState::~TApplicationState()
{
    std::vector<TFormState*> states;
    states.swap(m_formStates);
    for (TFormState* state : states)
        state->m_state = nullptr;
}

void TApplicationState::SetRootKey(TSettingsStore* rootKey)
{
    m_records.SetRootKey(rootKey);
    Load();
}

void TApplicationState::SetPath(const std::string& path)
{
    m_records.SetPath(path);
    Load();
}

void TApplicationState::SetDesktopSize(int width, int height)
{
    m_desktopWidth = width;
    m_desktopHeight = height;
}

void TApplicationState::Load()
{
    TSettingsStore* store = RootKey();
    if (!store || Path().empty())
        return;
    m_records.Clear();
    m_loadCount = 0;
    if (!store->KeyExists(Path()))
        return;
    int n = 0;
    for (;; ++n) {
        std::unique_ptr<TSettingsKey> key = store->OpenKey(registry::ObjectKeyPath(Path(), n), false);
        if (!key)
            break;
        TRegistryCollectionItem* item = m_records.Add();
        item->Left = readInteger(*key, registry::ObjectLeft, 0);
        item->Top = readInteger(*key, registry::ObjectTop, 0);
        item->Width = readInteger(*key, registry::ObjectWidth, m_desktopWidth);
        item->Height = readInteger(*key, registry::ObjectHeight, m_desktopHeight);
        item->FileName = readString(*key, registry::ObjectFileName);
        item->Dock = readBool(*key, registry::ObjectDock, false);
        item->DockControl = readString(*key, registry::ObjectDockControl);
        item->Position = readInteger(*key, registry::ObjectPosition, 0);
        item->Open = readBool(*key, registry::ObjectOpen, true);
        item->ControlType = readString(*key, registry::ObjectControlType);
    }
    m_loadCount = n;
}

void TApplicationState::Save()
{
    TSettingsStore* store = RootKey();
    if (!store || Path().empty())
        return;
    for (int n = 0; store->KeyExists(registry::ObjectKeyPath(Path(), n)); ++n)
        if (!store->DeleteKey(registry::ObjectKeyPath(Path(), n)))
            break;

    int counter = 0;
    int closedWritten = 0;
    for (int i = m_records.Count() - 1; i >= 0; --i) {
        TRegistryCollectionItem* item = m_records.Items(i);
        std::string keyPath = registry::ObjectKeyPath(Path(), counter);
        bool dropped = item->FileName.empty() && item->ObjectRef != m_owner;
        // A closed record beyond the history is dropped the same way: an
        // empty key would end the numbering for the next load.
        bool beyondHistory = !item->Open && closedWritten > m_historyFiles;
        if (dropped || beyondHistory) {
            store->DeleteKey(keyPath);
            continue;
        }
        std::unique_ptr<TSettingsKey> key = store->OpenKey(keyPath, true);
        if (!key)
            continue;
        key->WriteString(registry::ObjectControlType, item->ControlType);
        key->WriteString(registry::ObjectFileName, item->FileName);
        TBounds bounds{item->Left, item->Top, item->Width, item->Height};
        if (item->ObjectRef && item->Open) {
            bounds = item->ObjectRef->Bounds();
            std::string dockedIn = item->ObjectRef->DockedInControlName();
            if (!dockedIn.empty())
                item->DockControl = dockedIn;
        }
        key->WriteInteger(registry::ObjectLeft, bounds.Left);
        key->WriteInteger(registry::ObjectTop, bounds.Top);
        key->WriteInteger(registry::ObjectWidth, bounds.Width);
        key->WriteInteger(registry::ObjectHeight, bounds.Height);
        key->WriteBool(registry::ObjectDock, item->Dock);
        key->WriteString(registry::ObjectDockControl, item->DockControl);
        key->WriteInteger(registry::ObjectPosition, item->Position);
        key->WriteBool(registry::ObjectOpen, item->Open);
        if (!item->Open)
            ++closedWritten;
        ++counter;
    }
    store->Flush();
}

const TRegistryCollectionItem* TApplicationState::FindPlacement(const std::string& controlType) const
{
    int count = std::min(m_loadCount, m_records.Count());
    for (int i = 0; i < count; ++i) {
        const TRegistryCollectionItem* item = m_records.Items(i);
        if (item->ControlType == controlType && item->Width > 0)
            return item;
    }
    return nullptr;
}

// ---- TFormState

TFormState::~TFormState()
{
    if (!m_state)
        return;
    if (TRegistryCollectionItem* record = Record()) {
        TRegistryCollection& records = m_state->m_records;
        if (record->FileName.empty()) {
            records.Delete(record);
        } else {
            if (m_owner) {
                TBounds b = m_owner->Bounds();
                record->Left = b.Left;
                record->Top = b.Top;
                record->Width = b.Width;
                record->Height = b.Height;
            }
            // The window is going: the record keeps its last place on its own.
            record->ObjectRef = nullptr;
            for (int i = 0; i < records.Count(); ++i) {
                TRegistryCollectionItem* other = records.Items(i);
                if (other != record && !other->Open && other->FileName == record->FileName) {
                    records.Delete(record);
                    break;
                }
            }
        }
    }
    detach();
}

void TFormState::detach()
{
    if (!m_state)
        return;
    auto& list = m_state->m_formStates;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    m_state = nullptr;
}

void TFormState::SetApplicationState(TApplicationState* state)
{
    if (!state || state == m_state)
        return;
    detach();
    m_state = state;
    state->m_formStates.push_back(this);
    TRegistryCollectionItem* record = state->m_records.Add();
    record->ObjectRef = m_owner;
    record->ControlType = m_owner ? m_owner->ClassName() : std::string();
    record->Open = true;
    m_recordId = record->ID();
}

void TFormState::SetWindowState(int state)
{
    if (TRegistryCollectionItem* record = Record())
        record->Position = state;
}

TRegistryCollectionItem* TFormState::Record() const
{
    return m_state ? m_state->m_records.FindItemID(m_recordId) : nullptr;
}

} // namespace pavilo
