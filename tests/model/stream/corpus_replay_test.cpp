// Replays the fuzzer's seed inputs, the shipped samples and the test
// fixtures through the fuzz target itself, so every build runs them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

size_t replayFolder(const fs::path& folder)
{
    size_t count = 0;
    if (!fs::is_directory(folder))
        return 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++count;
    }
    return count;
}

} // namespace

TEST(LoadDocumentCorpus, SeedsReplay)
{
    EXPECT_GE(replayFolder(fs::path(PAVILO_SOURCE_DIR) / "fuzz/corpus/load_document"), 10u);
}

TEST(LoadDocumentCorpus, SamplesAndFixturesReplay)
{
    replayFolder(fs::path(PAVILO_SOURCE_DIR) / "resources/samples");
    EXPECT_GE(replayFolder(fs::path(PAVILO_FIXTURES_DIR)), 1u);
}
