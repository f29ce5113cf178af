#include "web/MyStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace pavilo {

namespace {

constexpr int64_t kMaxSize = std::numeric_limits<int32_t>::max();

int32_t low32(uint64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFFFFFFu));
}

} // namespace

TMyStream::TMyStream()
{
    const TTime now = std::chrono::system_clock::now();
    m_modificationTime = m_creationTime = m_accessTime = now;
}

TMyStream::TMyStream(std::string_view bytes) : TMyStream()
{
    m_bytes.assign(bytes.data(), bytes.size());
}

TStreamResult TMyStream::Read(void* buffer, uint32_t count, uint32_t* read)
{
    uint32_t n = 0;
    const int64_t size = static_cast<int64_t>(m_bytes.size());
    if (m_position >= 0 && m_position < size && count > 0) {
        n = static_cast<uint32_t>(std::min<int64_t>(count, size - m_position));
        std::memcpy(buffer, m_bytes.data() + m_position, n);
        m_position += static_cast<int32_t>(n);
    }
    if (read)
        *read = n;
    if (n == 0)
        return TStreamResult::srFalse;
    m_accessTime = std::chrono::system_clock::now();
    return TStreamResult::srOk;
}

TStreamResult TMyStream::Write(const void* buffer, uint32_t count, uint32_t* written)
{
    if (written)
        *written = 0;
    if (m_position < 0 || static_cast<int64_t>(m_position) + count > kMaxSize)
        return TStreamResult::srCannotSave;
    try {
        const size_t end = static_cast<size_t>(m_position) + count;
        if (end > m_bytes.size())
            m_bytes.resize(end);
        if (count)
            std::memcpy(m_bytes.data() + m_position, buffer, count);
    } catch (const std::bad_alloc&) {
        return TStreamResult::srCannotSave;
    }
    m_position += static_cast<int32_t>(count);
    if (written)
        *written = count;
    m_accessTime = m_modificationTime = std::chrono::system_clock::now();
    return TStreamResult::srOk;
}

TStreamResult TMyStream::Seek(int64_t offset, int origin, uint64_t* newPosition)
{
    if (origin < 0 || origin > 2)
        return TStreamResult::srInvalidFunction;
    return Seek(offset, static_cast<TSeekOrigin>(origin), newPosition);
}

TStreamResult TMyStream::Seek(int64_t offset, TSeekOrigin origin, uint64_t* newPosition)
{
    const int64_t move = low32(static_cast<uint64_t>(offset));
    int64_t from = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning:
        break;
    case TSeekOrigin::soCurrent:
        from = m_position;
        break;
    case TSeekOrigin::soEnd:
        from = static_cast<int64_t>(m_bytes.size());
        break;
    default:
        return TStreamResult::srInvalidFunction;
    }
    const int64_t target = from + move;
    if (target < std::numeric_limits<int32_t>::min() || target > kMaxSize)
        return TStreamResult::srInvalidFunction;
    m_position = static_cast<int32_t>(target);
    if (newPosition)
        *newPosition = static_cast<uint64_t>(static_cast<uint32_t>(m_position));
    return TStreamResult::srOk;
}

TStreamResult TMyStream::SetSize(uint64_t newSize)
{
    const int32_t size = low32(newSize);
    if (size < 0)
        return TStreamResult::srMediumFull;
    try {
        m_bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return TStreamResult::srMediumFull;
    }
    m_creationTime = std::chrono::system_clock::now();
    return TStreamResult::srOk;
}

TStreamResult TMyStream::CopyTo(TMyStream& target, uint64_t count, uint64_t* read, uint64_t* written)
{
    uint64_t totalRead = 0;
    uint64_t totalWritten = 0;
    TStreamResult result = TStreamResult::srOk;
    char chunk[65536];
    while (totalRead < count) {
        const uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(sizeof chunk, count - totalRead));
        uint32_t got = 0;
        if (Read(chunk, want, &got) != TStreamResult::srOk || got == 0)
            break;
        totalRead += got;
        uint32_t put = 0;
        if (target.Write(chunk, got, &put) != TStreamResult::srOk || put != got) {
            totalWritten += put;
            result = TStreamResult::srMediumFull;
            break;
        }
        totalWritten += put;
    }
    if (read)
        *read = totalRead;
    if (written)
        *written = totalWritten;
    m_accessTime = std::chrono::system_clock::now();
    return result;
}

TStreamResult TMyStream::Stat(TStreamStat& stat) const
{
    stat = TStreamStat{};
    stat.Size = m_bytes.size();
    stat.ModificationTime = m_modificationTime;
    stat.CreationTime = m_creationTime;
    stat.AccessTime = m_accessTime;
    return TStreamResult::srOk;
}

TStreamResult TMyStream::Clone(TMyStream** clone) const
{
    if (clone)
        *clone = nullptr;
    return TStreamResult::srInvalidPointer;
}

} // namespace pavilo
