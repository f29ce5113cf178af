#include <gtest/gtest.h>

#include "web/MyStream.h"

using namespace pavilo;

TEST(MyStream, ReadsToTheEndThenAnswersFalse)
{
    TMyStream s("hello");
    char buf[8] = {};
    uint32_t n = 0;
    EXPECT_EQ(s.Read(buf, 3, &n), TStreamResult::srOk);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(s.Read(buf, 8, &n), TStreamResult::srOk);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(std::string(buf, 2), "lo");
    EXPECT_EQ(s.Read(buf, 8, &n), TStreamResult::srFalse);
    EXPECT_EQ(n, 0u);
}

TEST(MyStream, SeekFromEachOrigin)
{
    TMyStream s("0123456789");
    uint64_t pos = 0;
    EXPECT_EQ(s.Seek(4, TSeekOrigin::soBeginning, &pos), TStreamResult::srOk);
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soCurrent, &pos), TStreamResult::srOk);
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd, &pos), TStreamResult::srOk);
    EXPECT_EQ(pos, 8u);
    // Only the low 32 bits of the offset count.
    EXPECT_EQ(s.Seek((int64_t(1) << 32) + 2, TSeekOrigin::soBeginning, &pos), TStreamResult::srOk);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(s.Seek(0, 7, &pos), TStreamResult::srInvalidFunction);
}

TEST(MyStream, CopyToWritesOnlyWhatIsLeft)
{
    TMyStream source("abcdef");
    source.Seek(2, TSeekOrigin::soBeginning, nullptr);
    TMyStream target;
    uint64_t read = 0, written = 0;
    EXPECT_EQ(source.CopyTo(target, 1000, &read, &written), TStreamResult::srOk);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(target.Bytes(), "cdef");
}

TEST(MyStream, WriteSizeAndStat)
{
    TMyStream s;
    TStreamStat before;
    s.Stat(before);
    uint32_t n = 0;
    EXPECT_EQ(s.Write("xyz", 3, &n), TStreamResult::srOk);
    EXPECT_EQ(n, 3u);
    s.Seek(5, TSeekOrigin::soBeginning, nullptr);
    EXPECT_EQ(s.Write("!", 1, &n), TStreamResult::srOk);
    EXPECT_EQ(s.Bytes(), std::string("xyz\0\0!", 6));
    EXPECT_EQ(s.SetSize(2), TStreamResult::srOk);
    EXPECT_EQ(s.Bytes(), "xy");
    EXPECT_EQ(s.SetSize(0xFFFFFFFFull), TStreamResult::srMediumFull); // -1 in 32 bits
    TStreamStat after;
    EXPECT_EQ(s.Stat(after), TStreamResult::srOk);
    EXPECT_EQ(after.Size, 2u);
    EXPECT_TRUE(after.Name.empty());
    EXPECT_GE(after.ModificationTime, before.ModificationTime);
    EXPECT_GE(after.CreationTime, before.CreationTime);
}

TEST(MyStream, RefusedOperations)
{
    TMyStream s("abc");
    EXPECT_EQ(s.LockRegion(0, 1, 0), TStreamResult::srInvalidFunction);
    EXPECT_EQ(s.UnlockRegion(0, 1, 0), TStreamResult::srInvalidFunction);
    TMyStream* clone = &s;
    EXPECT_EQ(s.Clone(&clone), TStreamResult::srInvalidPointer);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(s.Commit(), TStreamResult::srOk);
    EXPECT_EQ(s.Revert(), TStreamResult::srOk);
    s.Seek(-5, TSeekOrigin::soBeginning, nullptr);
    uint32_t n = 9;
    char c;
    EXPECT_EQ(s.Read(&c, 1, &n), TStreamResult::srFalse);
    EXPECT_EQ(s.Write("x", 1, &n), TStreamResult::srCannotSave);
}
