// The typed value encoding: what the writer emits at the edges of each
// type, and what the reader accepts.

#include <gtest/gtest.h>

#include <sstream>

#include "model/stream/FixtureWriter.h"
#include "model/stream/ValueStream.h"

using namespace pavilo;
using pavilo::fixture::TFixtureBytes;

namespace {

std::string hex(std::string_view bytes)
{
    std::ostringstream out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        out << (i ? " " : "") << buf;
    }
    return out.str();
}

// Bytes and a reader over them, kept together so the bytes outlive it.
struct Reading {
    explicit Reading(std::string data) : bytes(std::move(data)), r(bytes, "x.pvp") {}
    std::string bytes;
    TValueReader r;
};

} // namespace

struct IntegerCase {
    int64_t Value;
    const char* Hex;
};

class IntegerEncoding : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerEncoding, TakesTheSmallestTypeAndReadsBack)
{
    const auto value = static_cast<int32_t>(static_cast<uint32_t>(GetParam().Value));
    TValueWriter writer;
    writer.WriteInteger(value);
    EXPECT_EQ(hex(writer.Bytes()), GetParam().Hex);
    TFixtureBytes fixture;
    fixture.Int(value);
    EXPECT_EQ(fixture.Bytes(), writer.Bytes());
    Reading rIn(writer.Bytes());
    TValueReader& r = rIn.r;
    EXPECT_EQ(r.ReadInteger(), value);
    EXPECT_TRUE(r.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(Edges, IntegerEncoding,
                         ::testing::Values(IntegerCase{0, "02 00"}, IntegerCase{127, "02 7F"},
                                           IntegerCase{-128, "02 80"}, IntegerCase{128, "03 80 00"},
                                           IntegerCase{-129, "03 7F FF"}, IntegerCase{32767, "03 FF 7F"},
                                           IntegerCase{-32768, "03 00 80"}, IntegerCase{32768, "04 00 80 00 00"},
                                           IntegerCase{-32769, "04 FF 7F FF FF"},
                                           IntegerCase{0x8000000F, "04 0F 00 00 80"},
                                           IntegerCase{0x7FFFFFFF, "04 FF FF FF 7F"}));

TEST(ValueStream, StringsUpTo255BytesAreShort)
{
    for (size_t length : {0u, 1u, 255u, 256u, 70000u}) {
        const std::string text(length, 'a');
        TValueWriter writer;
        writer.WriteString(text);
        const std::string& bytes = writer.Bytes();
        if (length <= 255) {
            ASSERT_EQ(bytes.size(), 2 + length);
            EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0x06);
            EXPECT_EQ(static_cast<uint8_t>(bytes[1]), length);
        } else {
            ASSERT_EQ(bytes.size(), 5 + length);
            EXPECT_EQ(hex(bytes.substr(0, 5)),
                      length == 256 ? "0C 00 01 00 00" : "0C 70 11 01 00");
        }
        Reading rIn(bytes);
        TValueReader& r = rIn.r;
        EXPECT_EQ(r.ReadString(), text);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(ValueStream, ReaderAcceptsEitherStringType)
{
    Reading rIn(std::string("\x0C\x03\0\0\0abc\x06\x02xy", 12));
    TValueReader& r = rIn.r;
    EXPECT_EQ(r.ReadString(), "abc");
    EXPECT_EQ(r.ReadString(), "xy");
    for (const char* other : {"\x02\x01", "\x09", "\x0A\0\0\0\0"}) {
        Reading badIn(other);
        TValueReader& bad = badIn.r;
        EXPECT_THROW(bad.ReadString(), EReadError) << hex(other);
    }
}

TEST(ValueStream, IntegersAreSignExtended)
{
    Reading rIn(std::string("\x02\xFF\x03\xFF\xFF\x04\xFF\xFF\xFF\xFF\x03\x00\x80", 13));
    TValueReader& r = rIn.r;
    EXPECT_EQ(r.ReadInteger(), -1);
    EXPECT_EQ(r.ReadInteger(), -1);
    EXPECT_EQ(r.ReadInteger(), -1);
    EXPECT_EQ(r.ReadInteger(), -32768);
    for (const char* other : {"\x06\x01x", "\x05\0\0\0\0\0\0\0\0", "\x08", "\x11"}) {
        Reading badIn(other);
        TValueReader& bad = badIn.r;
        EXPECT_THROW(bad.ReadInteger(), EReadError) << hex(other);
    }
}

TEST(ValueStream, AnyByteButTrueReadsFalse)
{
    Reading rIn("\x09\x08\x02\x09\x06");
    TValueReader& r = rIn.r;
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean()); // 02: one byte, read as false
    EXPECT_TRUE(r.ReadBoolean());  // so the next byte is the next value
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_THROW(r.ReadBoolean(), EReadError);
}

TEST(ValueStream, DatesAreDoublesOrWholeDays)
{
    TValueWriter writer;
    writer.WriteDate(1.5);
    EXPECT_EQ(hex(writer.Bytes()), "11 00 00 00 00 00 00 F8 3F");
    TFixtureBytes fixture;
    fixture.Date(1.5).Int(40000).Int(-3);
    Reading rIn(writer.Bytes() + fixture.Bytes().substr(9));
    TValueReader& r = rIn.r;
    EXPECT_EQ(r.ReadDate(), 1.5);
    EXPECT_EQ(r.ReadDate(), 40000.0);
    EXPECT_EQ(r.ReadDate(), -3.0);
    Reading badIn("\x06\x00");
    TValueReader& bad = badIn.r;
    EXPECT_THROW(bad.ReadDate(), EReadError);
    Reading cutIn(std::string("\x11\0\0\0", 4));
    TValueReader& cut = cutIn.r;
    EXPECT_THROW(cut.ReadDate(), EReadError);
}

TEST(ValueStream, ListMarkers)
{
    Reading rIn(std::string("\x01\x00", 2));
    TValueReader& r = rIn.r;
    r.ReadListBegin();
    EXPECT_TRUE(r.EndOfList());
    EXPECT_TRUE(r.EndOfList()); // looking does not consume
    r.ReadListEnd();
    EXPECT_TRUE(r.AtEnd());
    EXPECT_THROW(r.EndOfList(), EReadError);
    Reading wrongBeginIn(std::string("\x00", 1));
    TValueReader& wrongBegin = wrongBeginIn.r;
    EXPECT_THROW(wrongBegin.ReadListBegin(), EReadError);
    Reading wrongEndIn("\x01");
    TValueReader& wrongEnd = wrongEndIn.r;
    EXPECT_THROW(wrongEnd.ReadListEnd(), EReadError);
}

TEST(ValueStream, BinaryValues)
{
    TValueWriter writer;
    writer.WriteBinary(std::string("\0\1\2", 3));
    EXPECT_EQ(hex(writer.Bytes()), "0A 03 00 00 00 00 01 02");
    Reading rIn(writer.Bytes());
    TValueReader& r = rIn.r;
    EXPECT_EQ(r.ReadBinary(), std::string("\0\1\2", 3));
    Reading notBinaryIn("\x06\x01x");
    TValueReader& notBinary = notBinaryIn.r;
    EXPECT_THROW(notBinary.ReadBinary(), EReadError);
}

TEST(ValueStream, LengthsBeyondTheDataFail)
{
    const std::string strings[] = {
        std::string("\x0C\xFF\xFF\xFF\xFF", 5),
        std::string("\x0C\x06\0\0\0abc", 8),
        std::string("\x06\x05" "abc", 5),
        std::string("\x0C\x01", 2),
    };
    for (const std::string& data : strings) {
        Reading rIn(data);
        TValueReader& r = rIn.r;
        EXPECT_THROW(r.ReadString(), EReadError) << hex(data);
    }
    Reading binaryIn(std::string("\x0A\xF0\xFF\xFF\x7F", 5));
    TValueReader& binary = binaryIn.r;
    EXPECT_THROW(binary.ReadBinary(), EReadError);
}

TEST(ValueStream, FailureNamesSourceOffsetAndTypes)
{
    const std::string bytes("\x02\x01\x06\x00", 4);
    TValueReader r(bytes, "Tour.pvp");
    r.ReadInteger();
    try {
        r.ReadInteger();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "'Tour.pvp' is damaged: expected an integer (type 02, 03 or 04), found type 06 at byte 2");
    }
}
