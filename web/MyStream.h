#pragma once
// TMyStream: the content stream a page request hands to the browser.
//
// Each request gets its own stream holding a private copy of the page buffer
// taken when the content was asked for, so later compositions never change a
// stream already handed out. Positions and sizes are 32-bit inside and
// reported as 64-bit. Operations report a result code instead of raising.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace pavilo {

enum class TStreamResult {
    srOk,
    srFalse,           // read: nothing left (end of content)
    srCannotSave,      // write failed
    srInvalidFunction, // seek with a bad origin, region locks
    srMediumFull,      // size change or copy failed
    srInvalidPointer,  // clone
};

enum class TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

struct TStreamStat {
    using TTime = std::chrono::system_clock::time_point;
    std::string Name; // always empty
    uint64_t Size = 0;
    TTime ModificationTime;
    TTime CreationTime;
    TTime AccessTime;
};

class TMyStream {
public:
    using TTime = TStreamStat::TTime;

    // All three time stamps are the current system time.
    TMyStream();
    explicit TMyStream(std::string_view bytes);

    TStreamResult Read(void* buffer, uint32_t count, uint32_t* read);
    TStreamResult Write(const void* buffer, uint32_t count, uint32_t* written);
    TStreamResult Seek(int64_t offset, TSeekOrigin origin, uint64_t* newPosition);
    TStreamResult Seek(int64_t offset, int origin, uint64_t* newPosition);
    TStreamResult SetSize(uint64_t newSize);
    TStreamResult CopyTo(TMyStream& target, uint64_t count, uint64_t* read, uint64_t* written);
    TStreamResult Commit() { return TStreamResult::srOk; }
    TStreamResult Revert() { return TStreamResult::srOk; }
    TStreamResult LockRegion(uint64_t, uint64_t, uint32_t) { return TStreamResult::srInvalidFunction; }
    TStreamResult UnlockRegion(uint64_t, uint64_t, uint32_t) { return TStreamResult::srInvalidFunction; }
    TStreamResult Stat(TStreamStat& stat) const;
    // There is no clone; *clone is set to none.
    TStreamResult Clone(TMyStream** clone) const;

    // The whole content, whatever the position.
    const std::string& Bytes() const { return m_bytes; }
    int32_t Position() const { return m_position; }

private:
    std::string m_bytes;
    int32_t m_position = 0;
    TTime m_modificationTime;
    TTime m_creationTime;
    TTime m_accessTime;
};

} // namespace pavilo
