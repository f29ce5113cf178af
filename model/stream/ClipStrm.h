#pragma once
// The node clipboard: one node record (version 8, whole subtree, no
// signature or trailer) in a private clipboard format.
//
// The clipboard itself is a service the platform layer provides; tests and
// the command-line tool use TMemoryClipboard.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/Node.h"
#include "model/stream/ValueStream.h"

namespace pavilo {

inline constexpr std::string_view kNodeClipboardFormatName = "Pavilo Node Object";

class IClipboardService {
public:
    virtual ~IClipboardService() = default;
    // A private format by name; the same name gives the same number all run.
    virtual uint16_t RegisterFormat(std::string_view name) = 0;
    virtual bool HasFormat(uint16_t format) = 0;
    // The block held under the format, none when there is none.
    virtual std::optional<std::string> GetBlock(uint16_t format) = 0;
    // Empties the clipboard and puts the block on it under the format alone.
    // Returns false when the clipboard would not take it.
    virtual bool SetBlock(uint16_t format, std::string block) = 0;
};

// A clipboard that lives in memory, for tests and tools.
class TMemoryClipboard : public IClipboardService {
public:
    uint16_t RegisterFormat(std::string_view name) override;
    bool HasFormat(uint16_t format) override { return m_format == format && m_block.has_value(); }
    std::optional<std::string> GetBlock(uint16_t format) override;
    bool SetBlock(uint16_t format, std::string block) override;
    // Other content, as another program would put there.
    void SetForeign(uint16_t format, std::string block);

private:
    std::map<std::string, uint16_t, std::less<>> m_formats;
    uint16_t m_format = 0;
    std::optional<std::string> m_block;
};

// A memory stream bound to the clipboard. In read mode it holds a copy of
// the block in Format (or nothing); in write mode its content is put on the
// clipboard when the stream is destroyed.
class TClipboardStream {
public:
    enum TMode : uint8_t { cmRead = 0, cmWrite = 1 };

    TClipboardStream(IClipboardService& clipboard, uint16_t format, TMode mode);
    TClipboardStream(const TClipboardStream&) = delete;
    TClipboardStream& operator=(const TClipboardStream&) = delete;
    ~TClipboardStream();

    uint16_t Format() const { return m_format; }
    TMode Mode() const { return m_mode; }
    const std::string& Bytes() const { return m_bytes; }
    TValueWriter& Writer() { return m_writer; }

private:
    IClipboardService& m_clipboard;
    uint16_t m_format;
    TMode m_mode;
    std::string m_bytes;
    TValueWriter m_writer;
    int m_uncaught; // exceptions in flight at creation
};

void CopyNodeToClipboard(IClipboardService& clipboard, const TNode* node);
// The pasted subtree, unattached and owned by the caller. Raises the stream
// error when the clipboard holds no node record.
std::unique_ptr<TNode> PasteNodeFromClipboard(IClipboardService& clipboard);
bool ClipboardHasNode(IClipboardService& clipboard);
// A deep copy with the same field values and ids, unattached, Modified false.
std::unique_ptr<TNode> DuplicateNode(const TNode* node);

} // namespace pavilo
