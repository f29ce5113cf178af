#include "model/stream/ClipStrm.h"

#include "model/stream/StrmPers.h"

#include <exception>

namespace pavilo {

uint16_t TMemoryClipboard::RegisterFormat(std::string_view name)
{
    auto it = m_formats.find(name);
    if (it != m_formats.end())
        return it->second;
    // Private formats of the platform start high.
    uint16_t number = static_cast<uint16_t>(0xC000 + m_formats.size());
    m_formats.emplace(std::string(name), number);
    return number;
}

std::optional<std::string> TMemoryClipboard::GetBlock(uint16_t format)
{
    if (!HasFormat(format))
        return std::nullopt;
    return m_block;
}

bool TMemoryClipboard::SetBlock(uint16_t format, std::string block)
{
    m_format = format;
    m_block = std::move(block);
    return true;
}

void TMemoryClipboard::SetForeign(uint16_t format, std::string block)
{
    SetBlock(format, std::move(block));
}

TClipboardStream::TClipboardStream(IClipboardService& clipboard, uint16_t format, TMode mode)
    : m_clipboard(clipboard), m_format(format), m_mode(mode), m_uncaught(std::uncaught_exceptions())
{
    if (mode == cmRead) {
        if (std::optional<std::string> block = clipboard.GetBlock(format))
            m_bytes = std::move(*block);
    }
}

TClipboardStream::~TClipboardStream()
{
    // A record cut short by a failure is not published; the clipboard keeps
    // what it had.
    if (m_mode != cmWrite || std::uncaught_exceptions() > m_uncaught)
        return;
    try {
        m_clipboard.SetBlock(m_format, m_writer.TakeBytes());
    } catch (...) {
        // The block is dropped; the clipboard keeps what it had.
    }
}

void CopyNodeToClipboard(IClipboardService& clipboard, const TNode* node)
{
    TClipboardStream stream(clipboard, clipboard.RegisterFormat(kNodeClipboardFormatName), TClipboardStream::cmWrite);
    WriteNodeToStream(stream.Writer(), node);
}

std::unique_ptr<TNode> PasteNodeFromClipboard(IClipboardService& clipboard)
{
    TClipboardStream stream(clipboard, clipboard.RegisterFormat(kNodeClipboardFormatName), TClipboardStream::cmRead);
    TValueReader reader(stream.Bytes(), "clipboard", kCurrentVersion);
    return ReadNodeFromStream(reader);
}

bool ClipboardHasNode(IClipboardService& clipboard)
{
    return clipboard.HasFormat(clipboard.RegisterFormat(kNodeClipboardFormatName));
}

std::unique_ptr<TNode> DuplicateNode(const TNode* node)
{
    TValueWriter writer;
    WriteNodeToStream(writer, node);
    TValueReader reader(writer.Bytes(), "copy", kCurrentVersion);
    return ReadNodeFromStream(reader);
}

} // namespace pavilo
