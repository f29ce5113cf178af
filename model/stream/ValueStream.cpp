#include "model/stream/ValueStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pavilo {

namespace {
std::string hexByte(uint8_t b)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}
} // namespace

TValueReader::TValueReader(std::string_view bytes, std::string sourceName, int version)
    : m_bytes(bytes), m_size(bytes.size()), m_sourceName(std::move(sourceName)), m_version(version)
{
}

TValueReader::TValueReader(int fd, uint64_t size, std::string sourceName, int version)
    : m_size(static_cast<size_t>(size)), m_fd(fd), m_sourceName(std::move(sourceName)), m_version(version)
{
}

void TValueReader::refill(size_t count, const char* what)
{
    if (count > m_size - Position() || m_fd < 0)
        Fail(std::string("unexpected end of data reading ") + what, Position());
    // Keep what is left of the window, then fill up from the file.
    constexpr size_t kChunk = 1 << 18;
    size_t left = m_bytes.size() - m_pos;
    std::memmove(m_buffer.data(), m_buffer.data() + m_pos, left);
    m_start += m_pos;
    m_pos = 0;
    size_t want = std::min(std::max(count, kChunk), m_size - m_start);
    if (m_buffer.size() < want)
        m_buffer.resize(want);
    size_t have = left;
    while (have < want) {
        ssize_t n = ::read(m_fd, m_buffer.data() + have, want - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(std::string("cannot read the file (") + std::strerror(errno) + ")", m_start + have);
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    m_bytes = std::string_view(m_buffer.data(), have);
    if (count > have)
        Fail(std::string("unexpected end of data reading ") + what, m_start + have);
}

void TValueReader::Fail(const std::string& what, size_t offset) const
{
    throw EReadError("'" + m_sourceName + "' is damaged: " + what + " at byte " + std::to_string(offset));
}

void TValueReader::wrongType(const char* expected, uint8_t found, size_t offset) const
{
    Fail(std::string("expected ") + expected + ", found type " + hexByte(found), offset);
}

uint8_t TValueReader::readType(const char* what)
{
    ensure(1, what);
    return static_cast<uint8_t>(m_bytes[m_pos++]);
}

uint8_t TValueReader::PeekByte(const char* what)
{
    ensure(1, what);
    return static_cast<uint8_t>(m_bytes[m_pos]);
}

std::string_view TValueReader::ReadRaw(size_t count, const char* what)
{
    ensure(count, what);
    std::string_view piece = m_bytes.substr(m_pos, count);
    m_pos += count;
    return piece;
}

uint32_t TValueReader::readU32(const char* what)
{
    std::string_view raw = ReadRaw(4, what);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(raw[static_cast<size_t>(i)]);
    return v;
}

std::string TValueReader::ReadShortRaw(const char* what)
{
    size_t len = static_cast<uint8_t>(ReadRaw(1, what)[0]);
    return std::string(ReadRaw(len, what));
}

int32_t TValueReader::ReadInteger()
{
    size_t at = Position();
    uint8_t type = readType("an integer");
    switch (type) {
    case vaInt8:
        return static_cast<int8_t>(ReadRaw(1, "an integer")[0]);
    case vaInt16: {
        std::string_view raw = ReadRaw(2, "an integer");
        return static_cast<int16_t>(static_cast<uint8_t>(raw[0]) | (static_cast<uint8_t>(raw[1]) << 8));
    }
    case vaInt32:
        return static_cast<int32_t>(readU32("an integer"));
    default:
        wrongType("an integer (type 02, 03 or 04)", type, at);
    }
}

std::string TValueReader::ReadString()
{
    size_t at = Position();
    uint8_t type = readType("a string");
    size_t len;
    if (type == vaString)
        len = static_cast<uint8_t>(ReadRaw(1, "a string")[0]);
    else if (type == vaLString)
        len = readU32("a string");
    else
        wrongType("a string (type 06 or 0C)", type, at);
    return std::string(ReadRaw(len, "a string"));
}

bool TValueReader::ReadBoolean()
{
    return readType("a boolean") == vaTrue;
}

double TValueReader::ReadDate()
{
    if (PeekByte("a date") != vaDate)
        return ReadInteger();
    ReadRaw(1, "a date");
    std::string_view raw = ReadRaw(8, "a date");
    double d;
    std::memcpy(&d, raw.data(), 8); // little-endian host
    return d;
}

std::string TValueReader::ReadBinary()
{
    size_t at = Position();
    uint8_t type = readType("binary data");
    if (type != vaBinary)
        wrongType("binary data (type 0A)", type, at);
    size_t len = readU32("binary data");
    return std::string(ReadRaw(len, "binary data"));
}

void TValueReader::ReadListBegin()
{
    size_t at = Position();
    uint8_t type = readType("a list");
    if (type != vaList)
        wrongType("a list (type 01)", type, at);
}

void TValueReader::ReadListEnd()
{
    size_t at = Position();
    uint8_t type = readType("the end of a list");
    if (type != vaNull)
        wrongType("the end of a list (type 00)", type, at);
}

bool TValueReader::EndOfList()
{
    return PeekByte("a list") == vaNull;
}

void TValueWriter::Flush(bool final)
{
    constexpr size_t kPiece = 1 << 20;
    if (!m_sink || (!final && m_bytes.size() < kPiece) || m_bytes.empty())
        return;
    if (!m_sink(m_bytes))
        throw EWriteError("Failed to write the document");
    m_bytes.clear(); // keeps the buffer for the next piece
}

void TValueWriter::WriteU32(uint32_t value)
{
    char raw[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                   static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
    m_bytes.append(raw, 4);
}

void TValueWriter::WriteInteger(int32_t value)
{
    if (value >= -128 && value <= 127) {
        m_bytes.push_back(static_cast<char>(vaInt8));
        m_bytes.push_back(static_cast<char>(value));
    } else if (value >= -32768 && value <= 32767) {
        m_bytes.push_back(static_cast<char>(vaInt16));
        m_bytes.push_back(static_cast<char>(value & 0xFF));
        m_bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    } else {
        m_bytes.push_back(static_cast<char>(vaInt32));
        WriteU32(static_cast<uint32_t>(value));
    }
}

void TValueWriter::WriteString(std::string_view value)
{
    if (value.size() <= 255) {
        m_bytes.push_back(static_cast<char>(vaString));
        m_bytes.push_back(static_cast<char>(value.size()));
    } else {
        m_bytes.push_back(static_cast<char>(vaLString));
        WriteU32(static_cast<uint32_t>(value.size()));
    }
    m_bytes.append(value);
}

void TValueWriter::WriteDate(double value)
{
    m_bytes.push_back(static_cast<char>(vaDate));
    char raw[8];
    std::memcpy(raw, &value, 8);
    m_bytes.append(raw, 8);
}

void TValueWriter::WriteBinary(std::string_view value)
{
    m_bytes.push_back(static_cast<char>(vaBinary));
    WriteU32(static_cast<uint32_t>(value.size()));
    m_bytes.append(value);
}

void TValueWriter::WriteShortRaw(std::string_view text)
{
    m_bytes.push_back(static_cast<char>(text.size() & 0xFF));
    m_bytes.append(text.substr(0, 255));
}

} // namespace pavilo
