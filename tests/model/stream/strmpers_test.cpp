// Document files: the version 8 layout as written, signatures, the trailer,
// and the failures of the reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/PVPObjModel.h"
#include "model/stream/FixtureWriter.h"
#include "model/stream/StrmPers.h"

using namespace pavilo;
using namespace pavilo::fixture;
using K = TFixtureKind;
namespace fs = std::filesystem;

namespace {

std::string fromHex(const std::string& hex)
{
    std::string out;
    std::istringstream in(hex);
    std::string byte;
    while (in >> byte)
        out.push_back(static_cast<char>(std::stoi(byte, nullptr, 16)));
    return out;
}

std::string toHex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

// The 193 bytes of the smallest presentation, group by group.
std::string workedExampleBytes()
{
    const std::string date = "11 00 00 00 00 00 00 00 00 ";
    const std::string emptyPicture = "54 50 46 30 08 54 43 61 72 72 69 65 72 00 00 00 ";
    return fromHex("06 04 50 56 30 38 "                               // signature
                   "06 09 54 46 69 6C 65 4E 6F 64 65 "                // TFileNode
                   "02 01 09 06 00 " + date + date +                  // its TNode fields
                   "01 "                                              // list begin
                   "06 09 54 52 6F 6F 74 4E 6F 64 65 "                // TRootNode
                   "02 02 09 06 00 " + date + date +                  // its TNode fields
                   "04 0F 00 00 80 02 00 04 0D 00 00 80 06 01 54 02 00 06 00 06 00 06 00 " + date +
                   "06 00 06 00 02 00 " +                             // root fields
                   emptyPicture + emptyPicture + emptyPicture +       // three records
                   "01 00 "                                           // the root's child list
                   "00 "                                              // end of the file node's list
                   "06 0B 54 46 69 6C 65 4E 6F 64 65 45 78 02 04 01 " // trailer
                   "06 00 06 00 06 00 06 00 06 00 06 00 00");
}

std::unique_ptr<TFileNode> workedExampleTree()
{
    auto file = std::make_unique<TFileNode>();
    file->SetID(1);
    file->SetTimes(0.0, 0.0);
    auto* root = new TRootNode;
    root->SetID(2);
    root->SetTitle("T");
    root->SetBgColor(0x8000000F);
    root->SetSelectionColor(0x8000000D);
    root->SetTimes(0.0, 0.0);
    root->SetDate(0.0);
    root->SetParent(file.get());
    return file;
}

TLoadedDocument load(std::string_view bytes, const std::string& name = "/docs/x.pvp")
{
    return LoadDocumentFromBytes(bytes, name);
}

std::string messageOf(std::string_view bytes, const std::string& name = "/docs/x.pvp")
{
    try {
        load(bytes, name);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(loaded)";
}

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "pavilo-fmt-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(m_path); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Length of signature plus top record of a fixture document: the trailer
// starts there.
size_t treeEnd(int version, const TFixtureNode& top)
{
    return FixtureSignature(version).size() + FixtureRecord(top, version).size();
}

// Where the trailer begins; the end for a document without one.
size_t trailerStart(const std::string& document)
{
    size_t at = document.rfind("\x06\x0BTFileNodeEx");
    return at == std::string::npos ? document.size() : at;
}

} // namespace

// ---- the worked example

TEST(DocumentFile, WorkedExampleIsWrittenByteForByte)
{
    const std::string expected = workedExampleBytes();
    ASSERT_EQ(expected.size(), 193u);
    bool ok = false;
    EXPECT_EQ(toHex(DocumentBytes(workedExampleTree().get(), &ok)), toHex(expected));
    EXPECT_TRUE(ok);
}

TEST(DocumentFile, FixtureWriterAgreesWithTheWorkedExample)
{
    EXPECT_EQ(toHex(FixtureDocument(8, WorkedExampleFixture())), toHex(workedExampleBytes()));
}

TEST(DocumentFile, WorkedExampleLoadsBack)
{
    TLoadedDocument doc = load(workedExampleBytes(), "/docs/Tour.pvp");
    EXPECT_EQ(doc.Version, 8);
    auto* file = dynamic_cast<TFileNode*>(doc.Node.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->ID(), 1);
    EXPECT_TRUE(file->AllowChange());
    EXPECT_EQ(file->CreationTime(), 0.0);
    EXPECT_EQ(file->FileName(), "/docs/Tour.pvp");
    EXPECT_EQ(file->Title(), "Tour");
    EXPECT_EQ(file->FileKind(), fkPresentation);
    EXPECT_FALSE(file->Modified());
    for (int i = 0; i < TFileNode::ProvenanceCount; ++i)
        EXPECT_EQ(file->Provenance(i), "");
    ASSERT_EQ(file->Count(), 1);
    auto* root = dynamic_cast<TRootNode*>(file->Items(0));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->ID(), 2);
    EXPECT_EQ(root->Title(), "T");
    EXPECT_EQ(root->BgColor(), 0x8000000Fu);
    EXPECT_EQ(root->FontColor(), 0u);
    EXPECT_EQ(root->SelectionColor(), 0x8000000Du);
    EXPECT_EQ(root->Date(), 0.0);
    EXPECT_EQ(root->ModificationTime(), 0.0);
    EXPECT_EQ(root->DefaultView(), 0);
    EXPECT_TRUE(root->Picture().Empty());
    EXPECT_FALSE(root->HasChildren());
    EXPECT_FALSE(root->Modified());
    EXPECT_EQ(DocumentBytes(file), workedExampleBytes());
}

TEST(DocumentFile, WorkedExampleFixtureLoadsFromDisk)
{
    const std::string path = std::string(PAVILO_FIXTURES_DIR) + "/worked_example.pvp";
    EXPECT_EQ(readFile(path), workedExampleBytes());
    std::unique_ptr<TNode> top = LoadDocument(path);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(static_cast<TFileNode*>(top.get())->Title(), "worked_example");
    EXPECT_EQ(DocumentBytes(top.get()), workedExampleBytes());
}

// ---- round trips

TEST(DocumentFile, Version8RoundTripsToTheSameBytes)
{
    const std::string bytes = SampleLikeDocument(8);
    TLoadedDocument doc = load(bytes);
    bool ok = false;
    EXPECT_EQ(toHex(DocumentBytes(doc.Node.get(), &ok)), toHex(bytes));
    EXPECT_TRUE(ok);
}

TEST(DocumentFile, Version9ReadsLikeVersion8)
{
    TLoadedDocument v8 = load(SampleLikeDocument(8));
    TLoadedDocument v9 = load(SampleLikeDocument(9));
    EXPECT_EQ(v9.Version, 9);
    EXPECT_EQ(DocumentBytes(v9.Node.get()), DocumentBytes(v8.Node.get()));
}

TEST(DocumentFile, SaveAndLoadThroughTheFileSystem)
{
    TempDir dir;
    const std::string path = dir.File("Saved.pvt");
    TLoadedDocument doc = load(SampleLikeDocument(8));
    doc.Node->Items(0)->SetAuthor("changed");
    ASSERT_TRUE(doc.Node->Items(0)->Modified());
    ASSERT_TRUE(SaveDocument(path, doc.Node.get()));
    doc.Node->ForEachNode([](TNode* n) { EXPECT_FALSE(n->Modified()); });
    EXPECT_EQ(readFile(path), DocumentBytes(doc.Node.get()));

    std::unique_ptr<TNode> again = LoadDocument(path);
    auto* file = dynamic_cast<TFileNode*>(again.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileName(), path);
    EXPECT_EQ(file->FileKind(), fkToolbox);
    EXPECT_EQ(file->Items(0)->Author(), "changed");
    EXPECT_EQ(DocumentBytes(file), readFile(path));
}

TEST(DocumentFile, SaveIntoAMissingFolderRaises)
{
    TempDir dir;
    auto file = workedExampleTree();
    EXPECT_THROW(SaveDocument(dir.File("no/such/folder.pvp"), file.get()), Exception);
}

TEST(DocumentFile, LargeDocumentLoadsFromDiskAsFromBytes)
{
    // Larger than any read buffer, with strings across buffer boundaries.
    TFixtureNode root = SampleLikeRoot();
    std::string line(997, 'x');
    for (int i = 0; i < 3; ++i) {
        TFixtureNode page = FixtureNode(K::Page);
        page.ID = 100 + i;
        page.Title = "big " + std::to_string(i);
        for (int j = 0; j < 400 + 37 * i; ++j)
            page.Source += line + std::to_string(j) + "\r\n";
        page.Icon = FixtureBitmap(std::string(70000 + i, 'b'));
        root.Children.push_back(page);
    }
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    file.Children.push_back(root);
    const std::string bytes = FixtureDocument(8, file);
    ASSERT_GT(bytes.size(), 1000000u);

    TempDir dir;
    const std::string path = dir.File("Big.pvp");
    writeFile(path, bytes);
    std::unique_ptr<TNode> fromDisk = LoadDocument(path);
    EXPECT_EQ(DocumentBytes(fromDisk.get()), bytes);

    // Cut inside the last page: the tree is incomplete.
    writeFile(path, std::string_view(bytes).substr(0, bytes.size() - 200000));
    EXPECT_THROW(LoadDocument(path), EReadError);
}

// ---- signatures

struct SignatureCase {
    const char* Name;
    std::string Bytes;
    const char* Message; // null: loads
};

class Signature : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(Signature, IsClassified)
{
    const SignatureCase& c = GetParam();
    std::string bytes = c.Bytes + SampleLikeDocument(8).substr(6);
    if (c.Message) {
        EXPECT_EQ(messageOf(bytes, "/some/folder/x.pvp"), c.Message);
        EXPECT_THROW(load(bytes), EInvalidDocument);
    } else {
        EXPECT_EQ(DocumentBytes(load(bytes).Node.get()), SampleLikeDocument(8));
    }
}

namespace {
const char* const kNotADocument = "'x.pvp' is not a PaviloPro file";
const char* const kNewer = "'x.pvp' has been saved with a more recent version of Pavilo";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, Signature,
    ::testing::Values(SignatureCase{"PV08", "\x06\x04PV08", nullptr}, SignatureCase{"PV09", "\x06\x04PV09", nullptr},
                      SignatureCase{"PV10", "\x06\x04PV10", kNewer}, SignatureCase{"PV00", "\x06\x04PV00", kNewer},
                      SignatureCase{"PV", "\x06\x02PV", kNewer}, SignatureCase{"PV8", "\x06\x03PV8", kNewer},
                      SignatureCase{"PV08Long", std::string("\x0C\x04\0\0\0PV08", 9), nullptr},
                      SignatureCase{"PV080", "\x06\x05PV080", kNewer},
                      SignatureCase{"LowerCase", "\x06\x04pv08", kNotADocument},
                      SignatureCase{"Questions", "\x06\x04????", kNotADocument},
                      SignatureCase{"Other", "\x06\x04XV08", kNotADocument},
                      SignatureCase{"Empty", std::string("\x06\x00", 2), kNotADocument},
                      SignatureCase{"NotAString", "\x02\x08", kNotADocument}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DocumentFile, EmptyFileIsNotADocument)
{
    EXPECT_EQ(messageOf(""), kNotADocument);
    EXPECT_EQ(messageOf("\x06\x40PV"), kNotADocument); // the file ends inside the signature
    TempDir dir;
    writeFile(dir.File("x.pvp"), "");
    try {
        LoadDocument(dir.File("x.pvp"));
        FAIL();
    } catch (const EInvalidDocument& e) {
        EXPECT_EQ(e.Message(), kNotADocument);
    }
}

// ---- trailer

TEST(DocumentFile, MissingOrCutTrailerLoads)
{
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    file.Children.push_back(SampleLikeRoot());
    TFixtureTrailer trailer;
    trailer.Strings = {"a", "b", "c", "Prod", "2.0", "2.0.0.1"};
    const std::string whole = FixtureDocument(8, file, trailer);
    const size_t end = treeEnd(8, file);
    for (size_t cut = end; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        TLoadedDocument doc = load(std::string_view(whole).substr(0, cut));
        auto* top = dynamic_cast<TFileNode*>(doc.Node.get());
        ASSERT_NE(top, nullptr);
        ASSERT_EQ(top->Count(), 1);
        // Strings read before the cut stay.
        int complete = 0;
        for (int i = 0; i < TFileNode::ProvenanceCount; ++i) {
            if (top->Provenance(i) == trailer.Strings[static_cast<size_t>(i)])
                ++complete;
            else
                EXPECT_EQ(top->Provenance(i), "") << i;
        }
        if (cut == whole.size()) {
            EXPECT_EQ(complete, 6);
        }
    }
}

TEST(DocumentFile, TrailerNameAndCountAreNotChecked)
{
    TFixtureNode file = FixtureNode(K::File);
    file.Children.push_back(FixtureNode(K::Root));
    TFixtureTrailer trailer;
    trailer.Name = "Other";
    trailer.Count = 99;
    trailer.Strings[3] = "P";
    TLoadedDocument doc = load(FixtureDocument(8, file, trailer));
    EXPECT_EQ(static_cast<TFileNode*>(doc.Node.get())->ProductName(), "P");
}

TEST(DocumentFile, DamagedTrailerIsIgnored)
{
    TFixtureNode file = FixtureNode(K::File);
    file.Children.push_back(FixtureNode(K::Root));
    std::string bytes = FixtureDocument(8, file, std::nullopt);
    TFixtureBytes tail;
    tail.Str("TFileNodeEx").Int(4).ListBegin().Str("r1").Int(5); // an integer where a string belongs
    TLoadedDocument doc = load(bytes + tail.Bytes() + "garbage");
    EXPECT_EQ(static_cast<TFileNode*>(doc.Node.get())->Reserved1(), "r1");
}

// ---- failures of the reader

struct FailureCase {
    const char* Name;
    std::function<std::string()> Bytes;
    const char* MessagePart; // a piece of the message
};

class ReaderFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ReaderFailure, FailsCleanly)
{
    const FailureCase& c = GetParam();
    try {
        TLoadedDocument doc = load(c.Bytes());
        FAIL() << "loaded";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("'x.pvp'"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(c.MessagePart), std::string::npos) << e.Message();
    }
}

namespace {

// A small presentation with a page, as fixture parts to damage.
TFixtureNode smallFile()
{
    TFixtureNode page = FixtureNode(K::Page);
    page.ID = 3;
    page.Title = "p";
    TFixtureNode root = FixtureNode(K::Root);
    root.ID = 2;
    root.Children.push_back(page);
    TFixtureNode file = FixtureNode(K::File);
    file.ID = 1;
    file.Children.push_back(root);
    return file;
}

// The small presentation with the byte at the offset replaced.
std::string patched(size_t offset, char byte)
{
    std::string bytes = FixtureDocument(8, smallFile());
    bytes.at(offset) = byte;
    return bytes;
}

// Offset of the first type byte after the file node's class name.
constexpr size_t kFileFields = 6 + 11;

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderFailure,
    ::testing::Values(
        FailureCase{"IdAsString", [] { return patched(kFileFields, 0x06); }, "expected an integer"},
        FailureCase{"IdOfUnknownType", [] { return patched(kFileFields, 0x05); }, "found type 05"},
        FailureCase{"AuthorAsInteger", [] { return patched(kFileFields + 3, 0x02); }, "expected a string"},
        FailureCase{"ClassNameAsList", [] { return patched(6, 0x01); }, "expected a string"},
        FailureCase{"MissingListBegin",
                    [] {
                        // The file node's child list begins right after its TNode fields.
                        return patched(kFileFields + 2 + 1 + 2 + 9 + 9, 0x06);
                    },
                    "expected a list"},
        FailureCase{"MissingListEnd",
                    [] {
                        TFixtureBytes b;
                        b.Raw(FixtureSignature(8)).Str("TNode").Int(1).Bool(true).Str("").Date(0).Date(0);
                        b.ListBegin().Int(7); // neither a record nor the end of the list
                        return b.Bytes();
                    },
                    "expected a string"},
        FailureCase{"RecordWithoutTPF0",
                    [] {
                        std::string bytes = FixtureDocument(8, smallFile());
                        size_t at = bytes.find("TPF0");
                        bytes.replace(at, 4, "TPF1");
                        return bytes;
                    },
                    "TPF0"},
        FailureCase{"RecordWithChildObjects",
                    [] {
                        std::string bytes = FixtureDocument(8, smallFile());
                        size_t at = bytes.find("TPF0") + 15;
                        bytes.at(at) = 0x01;
                        return bytes;
                    },
                    "child objects"},
        FailureCase{"EndOfFileInsideTheTree",
                    [] {
                        std::string bytes = FixtureDocument(8, smallFile());
                        return bytes.substr(0, bytes.size() / 2);
                    },
                    "unexpected end of data"},
        FailureCase{"EndOfFileBeforeTheTree", [] { return FixtureSignature(8); }, "unexpected end of data"},
        FailureCase{"UnknownClassName",
                    [] {
                        TFixtureNode file = smallFile();
                        file.Children[0].Children[0].ClassName = "TPaperNode";
                        return FixtureDocument(8, file);
                    },
                    "TPaperNode"},
        FailureCase{"LongStringPastTheEnd",
                    [] {
                        TFixtureBytes b;
                        b.Raw(FixtureSignature(8)).Byte(0x0C).U32(0xFFFFFFF0u).Raw("TNode");
                        return b.Bytes();
                    },
                    "unexpected end of data"},
        FailureCase{"BinaryPastTheEnd",
                    [] {
                        TFixtureBytes b;
                        b.Raw(FixtureSignature(8)).Str("TPVNode").Int(1).Bool(true).Str("").Date(0).Date(0);
                        b.Str("t").Int(0).Int(0).Str("").Bool(false).Bool(true).Int(0).Bool(false);
                        b.Raw("TPF0").Short("TCarrier").Short("").Short("Persistent.Data");
                        b.Byte(0x0A).U32(0x7FFFFFFFu).Raw("\x07TBitmap");
                        return b.Bytes();
                    },
                    "unexpected end of data"},
        FailureCase{"UnknownPropertyValueType",
                    [] {
                        TFixtureBytes b;
                        b.Raw(FixtureSignature(8)).Str("TPVNode").Int(1).Bool(true).Str("").Date(0).Date(0);
                        b.Str("t").Int(0).Int(0).Str("").Bool(false).Bool(true).Int(0).Bool(false);
                        b.Raw("TPF0").Short("TCarrier").Short("").Short("Other").Byte(0x0B);
                        return b.Bytes();
                    },
                    "unsupported property value type"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DocumentFile, UnopenableFilesFail)
{
    TempDir dir;
    EXPECT_THROW(LoadDocument(dir.File("missing.pvp")), EReadError);
    fs::create_directory(dir.File("folder.pvp"));
    EXPECT_THROW(LoadDocument(dir.File("folder.pvp")), EReadError);
    try {
        LoadDocument(dir.File("missing.pvp"));
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("missing.pvp"), std::string::npos) << e.Message();
    }
}

TEST(DocumentFile, ErrorSaysWhereAndWhat)
{
    // Type 05 where the file node's ID belongs.
    EXPECT_EQ(messageOf(patched(kFileFields, 0x05)),
              "'x.pvp' is damaged: expected an integer (type 02, 03 or 04), found type 05 at byte 17");
}

// ---- bad input

TEST(DocumentFile, EveryTruncationFailsCleanly)
{
    for (int version : {1, 3, 5, 7, 8}) {
        SCOPED_TRACE(version);
        const std::string whole = SampleLikeDocument(version);
        // Up to the end of the tree every cut fails; afterwards only the
        // trailer is short.
        const size_t end = trailerStart(whole);
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            bool loaded = false;
            try {
                TLoadedDocument doc = load(std::string_view(whole).substr(0, cut));
                loaded = doc.Node != nullptr;
            } catch (const Exception&) {
            }
            EXPECT_EQ(loaded, cut >= end) << "cut at " << cut << " of " << whole.size();
        }
    }
}

TEST(DocumentFile, EveryTruncationOfAFileFailsCleanly)
{
    TempDir dir;
    const std::string path = dir.File("cut.pvp");
    const std::string whole = SampleLikeDocument(6);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        writeFile(path, std::string_view(whole).substr(0, cut));
        EXPECT_THROW(LoadDocument(path), Exception) << cut;
    }
    writeFile(path, whole);
    EXPECT_NO_THROW(LoadDocument(path));
}

TEST(DocumentFile, ShippedSamplesSurviveEveryTruncation)
{
    for (const char* name : {"Tour.pvp", "Toolbox.pvt"}) {
        const std::string path = std::string(PAVILO_SAMPLES_DIR) + "/" + name;
        if (!fs::exists(path))
            continue;
        const std::string whole = readFile(path);
        ASSERT_NE(load(whole, path).Node, nullptr);
        const size_t end = trailerStart(whole);
        ASSERT_LT(end, whole.size()) << name;
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            bool loaded = false;
            try {
                loaded = load(std::string_view(whole).substr(0, cut), path).Node != nullptr;
            } catch (const Exception&) {
            }
            EXPECT_EQ(loaded, cut >= end) << name << " cut at " << cut;
        }
    }
}

namespace {

// Records of the class nested depth levels deep, closed properly.
std::string nested(int version, const std::string& className, int depth)
{
    TFixtureBytes b;
    b.Raw(FixtureSignature(version));
    for (int i = 0; i < depth; ++i) {
        b.Str(className);
        if (version >= 5)
            b.Int(i + 1).Bool(true);
        if (version >= 6)
            b.Str("").Date(0).Date(0);
        b.ListBegin();
    }
    for (int i = 0; i < depth; ++i)
        b.ListEnd();
    return b.Bytes();
}

int depthOf(TNode* n)
{
    int depth = 1;
    while (n->HasChildren()) {
        n = n->FirstChild();
        ++depth;
    }
    return depth;
}

} // namespace

TEST(DocumentFile, NestingUpToTheLimitLoads)
{
    TLoadedDocument doc = load(nested(8, "TNode", kMaxNodeDepth));
    EXPECT_EQ(depthOf(doc.Node.get()), kMaxNodeDepth);
}

TEST(DocumentFile, NestingBeyondTheLimitFailsCleanly)
{
    for (int depth : {kMaxNodeDepth + 1, 200000}) {
        try {
            load(nested(8, "TNode", depth));
            FAIL() << depth;
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find("nested deeper"), std::string::npos) << e.Message();
        }
    }
}

namespace {

// A file node over a chain of nodes, levels deep in all.
std::unique_ptr<TFileNode> chainOf(int levels)
{
    auto file = std::make_unique<TFileNode>();
    TNode* parent = file.get();
    for (int i = 1; i < levels; ++i) {
        auto* n = new TNode;
        n->SetID(i);
        n->SetParent(parent);
        parent = n;
    }
    return file;
}

} // namespace

TEST(DocumentFile, TreeDeeperThanTheReaderTakesIsNotSaved)
{
    // Saving what could not be opened again would lose the document.
    auto atLimit = chainOf(kMaxNodeDepth);
    bool ok = false;
    const std::string bytes = DocumentBytes(atLimit.get(), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(depthOf(load(bytes).Node.get()), kMaxNodeDepth);

    auto tooDeep = chainOf(kMaxNodeDepth + 1);
    DocumentBytes(tooDeep.get(), &ok);
    EXPECT_FALSE(ok);
    TempDir dir;
    tooDeep->FirstChild()->SetAuthor("x");
    EXPECT_FALSE(SaveDocument(dir.File("deep.pvp"), tooDeep.get()));
    EXPECT_TRUE(tooDeep->FirstChild()->Modified());
}

TEST(DocumentFile, OldRootIsReadOnlyIfItFitsUnderAFileNode)
{
    // The file node put above an old root adds a level.
    auto oldDocument = [](int levels) {
        TFixtureNode top = FixtureNode(K::Root);
        TFixtureNode* at = &top;
        for (int i = 1; i < levels; ++i) {
            at->Children.push_back(FixtureNode(K::Node));
            at = &at->Children.back();
        }
        return FixtureDocument(7, top, std::nullopt);
    };
    TLoadedDocument doc = load(oldDocument(kMaxNodeDepth - 1));
    EXPECT_EQ(depthOf(doc.Node.get()), kMaxNodeDepth);
    bool ok = false;
    const std::string saved = DocumentBytes(doc.Node.get(), &ok);
    EXPECT_TRUE(ok);
    EXPECT_NO_THROW(load(saved));

    EXPECT_THROW(load(oldDocument(kMaxNodeDepth)), EReadError);
}

TEST(DocumentFile, NestedOldWizardBodiesCountTowardsTheLimit)
{
    // Early page wizards hold a record as their body, which may itself be a
    // page wizard.
    TFixtureBytes b;
    b.Raw(FixtureSignature(2));
    for (int i = 0; i < 100000; ++i)
        b.Str("TDocumentWizard");
    EXPECT_THROW(load(b.Bytes()), EReadError);
}

TEST(DocumentFile, UnknownImageClassLeavesThePictureEmpty)
{
    TFixtureNode page = FixtureNode(K::Page);
    page.Icon = {"TPNGImage", "\x89PNG...."};
    TFixtureNode root = FixtureNode(K::Root);
    root.Picture = {"TJPEGImage", std::string("\4\0\0\0\xFF\xD8\xFF\xD9", 8)};
    root.Children.push_back(page);
    TLoadedDocument doc = load(FixtureDocument(7, root, std::nullopt));
    auto* r = static_cast<TRootNode*>(doc.Node->Items(0));
    EXPECT_EQ(r->Picture().ImageClass(), "TJPEGImage");
    EXPECT_EQ(r->Picture().ImageBytes(), "\xFF\xD8\xFF\xD9");
    EXPECT_TRUE(static_cast<TPageNode*>(r->Items(0))->Icon().Empty());
}
