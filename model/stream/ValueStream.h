#pragma once
// The typed value encoding of document files, the node clipboard, drag and
// drop and duplication: a type byte, then the value's bytes, little-endian.
//
// TValueReader reads from bytes it does not own, or from an open file
// through a small buffer; every failure raises EReadError naming the source,
// the byte offset and the expected and found type. Lengths are checked
// against the bytes left before anything is allocated. TValueWriter appends
// to a byte string it owns.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/Exception.h"

namespace pavilo {

enum TValueType : uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaLString = 0x0C,
    vaDate = 0x11,
};

class EReadError : public Exception {
public:
    using Exception::Exception;
};

class TValueReader {
public:
    // sourceName names the bytes in messages (a file name without its folder,
    // or "clipboard").
    TValueReader(std::string_view bytes, std::string sourceName, int version = 8);
    // Reads from the file descriptor (not owned) holding size bytes.
    TValueReader(int fd, uint64_t size, std::string sourceName, int version = 8);

    int Version() const { return m_version; }
    void SetVersion(int version) { m_version = version; }
    size_t Position() const { return m_start + m_pos; }
    size_t Size() const { return m_size; }
    bool AtEnd() const { return Position() >= m_size; }
    const std::string& SourceName() const { return m_sourceName; }

    int32_t ReadInteger();
    std::string ReadString();
    bool ReadBoolean();
    double ReadDate();
    std::string ReadBinary();
    void ReadListBegin();
    void ReadListEnd();
    // Whether the next type byte closes a list; consumes nothing.
    bool EndOfList();

    // Raw pieces of embedded object records.
    std::string_view ReadRaw(size_t count, const char* what);
    std::string ReadShortRaw(const char* what); // a length byte, then that many bytes
    uint8_t PeekByte(const char* what);

    // Nesting of node records, for the depth limit.
    int Depth = 0;

    [[noreturn]] void Fail(const std::string& what, size_t offset) const;

private:
    uint8_t readType(const char* what);
    uint32_t readU32(const char* what);
    [[noreturn]] void wrongType(const char* expected, uint8_t found, size_t offset) const;
    // Makes count bytes from the position available in m_bytes.
    void ensure(size_t count, const char* what)
    {
        if (count > m_bytes.size() - m_pos)
            refill(count, what);
    }
    void refill(size_t count, const char* what);

    std::string_view m_bytes; // the window of the source at hand
    size_t m_pos = 0;         // within the window
    size_t m_start = 0;       // offset of the window in the source
    size_t m_size = 0;        // of the whole source
    int m_fd = -1;
    std::string m_buffer;
    std::string m_sourceName;
    int m_version;
};

class TValueWriter {
public:
    // Takes the bytes written so far; returns false when they could not be kept.
    using TSink = std::function<bool(std::string_view bytes)>;

    TValueWriter() = default;
    // A writer that hands its bytes to the sink whenever a good piece has
    // gathered, so that a large document is never held whole in memory.
    explicit TValueWriter(TSink sink) : m_sink(std::move(sink)) {}

    std::string& Bytes() { return m_bytes; }
    std::string TakeBytes() { return std::move(m_bytes); }
    // With a sink: passes on what has gathered once it is large enough
    // (always when final). Raises EWriteError when the sink fails.
    void Flush(bool final = false);

    void WriteInteger(int32_t value);
    void WriteString(std::string_view value);
    void WriteBoolean(bool value) { m_bytes.push_back(static_cast<char>(value ? vaTrue : vaFalse)); }
    void WriteDate(double value);
    void WriteBinary(std::string_view value);
    void WriteListBegin() { m_bytes.push_back(static_cast<char>(vaList)); }
    void WriteListEnd() { m_bytes.push_back(static_cast<char>(vaNull)); }
    void WriteRaw(std::string_view bytes) { m_bytes.append(bytes); }
    void WriteShortRaw(std::string_view text); // a length byte, then the bytes
    void WriteU32(uint32_t value);

private:
    std::string m_bytes;
    TSink m_sink;
};

class EWriteError : public Exception {
public:
    using Exception::Exception;
};

} // namespace pavilo
