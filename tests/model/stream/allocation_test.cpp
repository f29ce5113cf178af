// Lengths read from a document never make the reader allocate more than
// the document holds. Its own program, as it replaces operator new.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "model/Exception.h"
#include "model/stream/FixtureWriter.h"
#include "model/stream/StrmPers.h"

namespace {
std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largest{0};
} // namespace

void* operator new(std::size_t size)
{
    if (g_watching.load(std::memory_order_relaxed)) {
        size_t seen = g_largest.load(std::memory_order_relaxed);
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// The replaced new takes its memory from malloc, so free is its match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

using namespace pavilo;
using namespace pavilo::fixture;

namespace {

// The largest single allocation made while loading the bytes.
size_t largestAllocationLoading(const std::string& bytes)
{
    g_largest = 0;
    g_watching = true;
    try {
        LoadDocumentFromBytes(bytes, "/docs/x.pvp");
    } catch (const Exception&) {
    }
    g_watching = false;
    return g_largest;
}

// A version 8 page record whose value at the marker is replaced by the
// given bytes, the rest of the document cut off.
std::string withValue(const std::string& before, const std::string& value)
{
    return FixtureSignature(8) + before + value + std::string(100, '\0');
}

} // namespace

TEST(ReaderAllocation, HugeLengthsDoNotAllocate)
{
    TFixtureBytes page;
    page.Str("TPageNode").Int(1).Bool(true).Str("").Date(0).Date(0);
    TFixtureBytes pictureStart = page;
    pictureStart.Str("t").Int(0).Int(0).Str("").Bool(false).Bool(true).Int(0).Bool(false);
    pictureStart.Raw("TPF0").Short("TCarrier").Short("").Short("Persistent.Data");

    const std::string cases[] = {
        withValue("", std::string("\x0C\xFF\xFF\xFF\xFF", 5)),                      // class name
        withValue(page.Bytes(), std::string("\x0C\xF0\xFF\xFF\x7F", 5)),            // page title
        withValue(pictureStart.Bytes(), std::string("\x0A\xFF\xFF\xFF\xFF", 5)),    // picture data
        withValue(pictureStart.Bytes(), std::string("\x0A\x10\0\0\0\xFF", 6)),      // image class name
    };
    for (const std::string& bytes : cases) {
        const size_t largest = largestAllocationLoading(bytes);
        EXPECT_LT(largest, 64u * 1024) << bytes.size();
    }
}

TEST(ReaderAllocation, LongTrailerStringsDoNotAllocate)
{
    TFixtureNode file = FixtureNode(TFixtureKind::File);
    file.Children.push_back(FixtureNode(TFixtureKind::Root));
    TFixtureBytes tail;
    tail.Str("TFileNodeEx").Int(4).ListBegin().Byte(0x0C).U32(0xFFFFFFFFu);
    const size_t largest = largestAllocationLoading(FixtureDocument(8, file, std::nullopt) + tail.Bytes());
    EXPECT_LT(largest, 64u * 1024);
}
