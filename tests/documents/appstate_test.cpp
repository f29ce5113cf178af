#include <gtest/gtest.h>

#include "documents/AppState.h"
#include "documents/MemorySettingsStore.h"
#include "documents/RegistryLayout.h"

using namespace pavilo;

namespace {

// Stands in for a window until the windows exist.
class TTestForm : public TFormStateOwner {
public:
    explicit TTestForm(std::string className, TBounds bounds = {10, 20, 800, 600})
        : m_className(std::move(className)), m_bounds(bounds)
    {
    }
    std::string ClassName() const override { return m_className; }
    TBounds Bounds() const override { return m_bounds; }
    std::string DockedInControlName() const override { return m_dockedIn; }

    std::string m_className;
    TBounds m_bounds;
    std::string m_dockedIn;
};

const std::string kPath = registry::FilesKeyPath();

std::unique_ptr<TSettingsKey> objectKey(TSettingsStore& store, int n)
{
    return store.OpenKey(registry::ObjectKeyPath(kPath, n), true);
}

// Every Object_ key with its values, for comparing two saves.
std::string dumpObjects(TMemorySettingsStore& store)
{
    std::string out;
    for (const std::string& name : store.SubKeyNames(kPath)) {
        if (name.rfind("Object_", 0) != 0)
            continue;
        auto key = store.OpenKey(kPath + "\\" + name, false);
        out += "[" + name + "]";
        for (const std::string& v : key->ValueNames()) {
            auto s = key->ReadString(v);
            auto i = key->ReadInteger(v);
            out += " " + v + "=" + (s ? *s : std::to_string(*i));
        }
        out += "\n";
    }
    return out;
}

} // namespace

TEST(ApplicationState, LoadingStopsAtTheFirstMissingRecord)
{
    TMemorySettingsStore store;
    objectKey(store, 0)->WriteString("ControlType", "TMainForm");
    objectKey(store, 2)->WriteString("ControlType", "TOther");
    TApplicationState state(nullptr, &store);
    state.SetPath(kPath);
    EXPECT_EQ(state.LoadCount(), 1);
    ASSERT_EQ(state.Records().Count(), 1);
    EXPECT_EQ(state.Records().Items(0)->ControlType, "TMainForm");
}

TEST(ApplicationState, MissingOrWrongValuesTakeTheDefaults)
{
    TMemorySettingsStore store;
    auto full = objectKey(store, 0);
    full->WriteInteger("LEft", 5);
    full->WriteInteger("Top", 6);
    full->WriteInteger("width", 700);
    full->WriteInteger("height", 500);
    full->WriteString("Filename", "/docs/Tour.pvp");
    full->WriteInteger("Dock", 1);
    full->WriteString("Dockcontrol", "LeftPane");
    full->WriteInteger("Position", 2);
    full->WriteInteger("Open", 0);
    full->WriteString("ControlType", "TBrowserView");
    auto wrong = objectKey(store, 1);
    wrong->WriteString("LEft", "five");
    wrong->WriteString("width", "wide");
    wrong->WriteInteger("Filename", 3);
    wrong->WriteString("Open", "no");
    objectKey(store, 2)->WriteInteger("Unrelated", 1);

    TApplicationState state(nullptr, &store);
    state.SetDesktopSize(1920, 1080);
    state.SetPath(kPath);
    ASSERT_EQ(state.LoadCount(), 3);
    const TRegistryCollectionItem* a = state.Records().Items(0);
    EXPECT_EQ(a->Left, 5);
    EXPECT_EQ(a->Top, 6);
    EXPECT_EQ(a->Width, 700);
    EXPECT_EQ(a->Height, 500);
    EXPECT_EQ(a->FileName, "/docs/Tour.pvp");
    EXPECT_TRUE(a->Dock);
    EXPECT_EQ(a->DockControl, "LeftPane");
    EXPECT_EQ(a->Position, 2);
    EXPECT_FALSE(a->Open);
    EXPECT_EQ(a->ControlType, "TBrowserView");
    for (int i : {1, 2}) {
        const TRegistryCollectionItem* d = state.Records().Items(i);
        EXPECT_EQ(d->Left, 0);
        EXPECT_EQ(d->Top, 0);
        EXPECT_EQ(d->Width, 1920);
        EXPECT_EQ(d->Height, 1080);
        EXPECT_EQ(d->FileName, "");
        EXPECT_FALSE(d->Dock);
        EXPECT_EQ(d->DockControl, "");
        EXPECT_EQ(d->Position, 0);
        EXPECT_TRUE(d->Open);
        EXPECT_EQ(d->ControlType, "");
        EXPECT_EQ(d->ObjectRef, nullptr);
    }
}

TEST(ApplicationState, PlacementComesFromTheFirstMainWindowRecordWithAWidth)
{
    TMemorySettingsStore store;
    auto zeroWidth = objectKey(store, 0);
    zeroWidth->WriteString("ControlType", "TMainForm");
    zeroWidth->WriteInteger("width", 0);
    TApplicationState state(nullptr, &store);
    state.SetDesktopSize(1280, 1024);
    state.SetPath(kPath);
    EXPECT_EQ(state.FindPlacement("TMainForm"), nullptr) << "a width of 0 leaves the window where it is";

    zeroWidth->DeleteValue("width");
    objectKey(store, 1)->WriteString("ControlType", "TMainForm");
    state.Load();
    const TRegistryCollectionItem* placement = state.FindPlacement("TMainForm");
    ASSERT_NE(placement, nullptr);
    EXPECT_EQ(placement, state.Records().Items(0));
    EXPECT_EQ(placement->Width, 1280);
    EXPECT_EQ(placement->Height, 1024);
    EXPECT_EQ(state.FindPlacement("TOther"), nullptr);
}

TEST(ApplicationState, TheMainWindowComesBackMaximisedAndAloneAtObjectZero)
{
    TMemorySettingsStore store;
    // Left from an earlier run: a window record of no document, and one of a document.
    objectKey(store, 0)->WriteString("ControlType", "TMainForm");
    auto doc = objectKey(store, 1);
    doc->WriteString("ControlType", "TBrowserView");
    doc->WriteString("Filename", "/docs/Tour.pvp");
    doc->WriteInteger("Open", 0);

    TTestForm mainForm("TMainForm", {30, 40, 1000, 700});
    {
        TApplicationState state(&mainForm, &store);
        state.SetHistoryfiles(10);
        state.SetPath(kPath);
        TFormState formState(&mainForm);
        formState.SetApplicationState(&state);
        ASSERT_NE(formState.Record(), nullptr);
        EXPECT_EQ(formState.Record()->ControlType, "TMainForm");
        EXPECT_EQ(formState.Record()->ObjectRef, &mainForm);
        formState.SetWindowState(2);
        state.Save();
        const std::string first = dumpObjects(store);
        state.Save();
        EXPECT_EQ(dumpObjects(store), first) << "saving twice leaves the same keys";
        EXPECT_EQ(first, "[Object_0] ControlType=TMainForm Filename= LEft=30 Top=40 width=1000 height=700 Dock=0 "
                         "Dockcontrol= Position=2 Open=1\n"
                         "[Object_1] ControlType=TBrowserView Filename=/docs/Tour.pvp LEft=0 Top=0 width=0 "
                         "height=0 Dock=0 Dockcontrol= Position=0 Open=0\n");
    }
    TApplicationState next(&mainForm, &store);
    next.SetPath(kPath);
    const TRegistryCollectionItem* placement = next.FindPlacement("TMainForm");
    ASSERT_NE(placement, nullptr);
    EXPECT_EQ(placement->Position, 2);
    EXPECT_EQ(placement->Left, 30);
    EXPECT_EQ(placement->Width, 1000);
}

TEST(ApplicationState, RecordsOfLiveWindowsTakeTheirCurrentPlace)
{
    TMemorySettingsStore store;
    TTestForm mainForm("TMainForm");
    TTestForm docked("TBrowserView", {1, 2, 3, 4});
    docked.m_dockedIn = "RightPane";
    TApplicationState state(&mainForm, &store);
    state.SetPath(kPath);
    TFormState viewState(&docked);
    viewState.SetApplicationState(&state);
    viewState.Record()->FileName = "/docs/Tour.pvp";
    TFormState unnamed(&docked);
    unnamed.SetApplicationState(&state);
    state.Save();
    // Written last to first; the record without a document belongs to no
    // store owner and is dropped without leaving a gap.
    auto key = store.OpenKey(registry::ObjectKeyPath(kPath, 0), false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Dockcontrol"), "RightPane");
    EXPECT_EQ(key->ReadInteger("width"), 3);
    EXPECT_FALSE(store.KeyExists(registry::ObjectKeyPath(kPath, 1)));
}

TEST(ApplicationState, ClosedRecordsBeyondTheHistoryAreDroppedWithoutAGap)
{
    TMemorySettingsStore store;
    TTestForm mainForm("TMainForm");
    TApplicationState state(&mainForm, &store);
    state.SetHistoryfiles(2);
    state.SetPath(kPath);
    for (int i = 0; i < 6; ++i) {
        TRegistryCollectionItem* r = state.Records().Add();
        r->FileName = "/docs/D" + std::to_string(i) + ".pvp";
        r->Open = i == 0;
    }
    TFormState formState(&mainForm);
    formState.SetApplicationState(&state);
    state.Save();
    state.Load();
    // The main window, then the closed records from the last while the
    // count written stays within the history, then the open one.
    ASSERT_EQ(state.LoadCount(), 5);
    EXPECT_EQ(state.Records().Items(0)->ControlType, "TMainForm");
    EXPECT_EQ(state.Records().Items(1)->FileName, "/docs/D5.pvp");
    EXPECT_EQ(state.Records().Items(3)->FileName, "/docs/D3.pvp");
    EXPECT_EQ(state.Records().Items(4)->FileName, "/docs/D0.pvp");
    EXPECT_TRUE(state.Records().Items(4)->Open);
}

TEST(FormState, AGoingWindowLeavesItsDocumentRecordBehind)
{
    TMemorySettingsStore store;
    TTestForm mainForm("TMainForm");
    TApplicationState state(&mainForm, &store);
    state.SetPath(kPath);
    TRegistryCollectionItem* closedTwin = state.Records().Add();
    closedTwin->FileName = "/docs/Twin.pvp";
    closedTwin->Open = false;

    TTestForm view("TBrowserView", {7, 8, 9, 10});
    auto a = std::make_unique<TFormState>(&view);
    a->SetApplicationState(&state);
    a->Record()->FileName = "/docs/Tour.pvp";
    int idA = a->Record()->ID();
    auto b = std::make_unique<TFormState>(&view);
    b->SetApplicationState(&state);
    b->Record()->FileName = "/docs/Twin.pvp";
    int idB = b->Record()->ID();
    auto c = std::make_unique<TFormState>(&view);
    c->SetApplicationState(&state);
    int idC = c->Record()->ID();

    view.m_bounds = {70, 80, 90, 100};
    a.reset();
    b.reset();
    c.reset();
    TRegistryCollectionItem* kept = state.Records().FindItemID(idA);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Left, 70);
    EXPECT_EQ(kept->Height, 100);
    EXPECT_EQ(kept->ObjectRef, nullptr) << "no record points at a window that is gone";
    EXPECT_EQ(state.Records().FindItemID(idB), nullptr) << "a closed record of the same document remains";
    EXPECT_EQ(state.Records().FindItemID(idC), nullptr) << "a record without a document goes";
    state.Save(); // must not touch the destroyed windows
}

TEST(FormState, AStoreThatGoesFirstDetachesItsFormStates)
{
    TMemorySettingsStore store;
    TTestForm form("TMainForm");
    TFormState formState(&form);
    {
        TApplicationState state(&form, &store);
        state.SetPath(kPath);
        formState.SetApplicationState(&state);
        EXPECT_EQ(formState.ApplicationState(), &state);
    }
    EXPECT_EQ(formState.ApplicationState(), nullptr);
    EXPECT_EQ(formState.Record(), nullptr);
    formState.SetWindowState(1);
}

TEST(ApplicationState, NothingHappensWithoutARootKeyOrAPath)
{
    TMemorySettingsStore store;
    objectKey(store, 0)->WriteString("ControlType", "TMainForm");
    TApplicationState state;
    state.Records().Add();
    state.SetPath(kPath);
    EXPECT_EQ(state.Records().Count(), 1) << "no root key: no load";
    state.Save();
    state.SetRootKey(&store);
    EXPECT_EQ(state.LoadCount(), 1);
    TApplicationState noPath(nullptr, &store);
    noPath.Save();
    EXPECT_TRUE(store.KeyExists(registry::ObjectKeyPath(kPath, 0)));
    TApplicationState missing(nullptr, &store);
    missing.SetPath(registry::BaseKey() + "\\Nowhere");
    EXPECT_EQ(missing.LoadCount(), 0);
}
