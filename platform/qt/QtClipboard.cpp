#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pavilo {

uint16_t TQtClipboard::RegisterFormat(std::string_view name)
{
    QString mime = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    auto it = m_numbers.constFind(mime);
    if (it != m_numbers.constEnd())
        return *it;
    auto number = static_cast<uint16_t>(0xC000 + m_numbers.size());
    m_numbers.insert(mime, number);
    m_names.insert(number, mime);
    return number;
}

QString TQtClipboard::mimeOf(uint16_t format) const
{
    return m_names.value(format);
}

bool TQtClipboard::HasFormat(uint16_t format)
{
    QString mime = mimeOf(format);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return !mime.isEmpty() && data && data->hasFormat(mime);
}

std::optional<std::string> TQtClipboard::GetBlock(uint16_t format)
{
    if (!HasFormat(format))
        return std::nullopt;
    QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data(mimeOf(format));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool TQtClipboard::SetBlock(uint16_t format, std::string block)
{
    QString mime = mimeOf(format);
    if (mime.isEmpty())
        return false;
    auto* data = new QMimeData; // the clipboard takes it over
    data->setData(mime, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

} // namespace pavilo
