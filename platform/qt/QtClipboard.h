#pragma once
// The node clipboard on the desktop clipboard: each private format is a MIME
// format of its own name ("Pavilo Node Object").

#include <QHash>
#include <QString>

#include "model/stream/ClipStrm.h"

namespace pavilo {

class TQtClipboard : public IClipboardService {
public:
    uint16_t RegisterFormat(std::string_view name) override;
    bool HasFormat(uint16_t format) override;
    std::optional<std::string> GetBlock(uint16_t format) override;
    bool SetBlock(uint16_t format, std::string block) override;

private:
    QString mimeOf(uint16_t format) const;
    QHash<QString, uint16_t> m_numbers;
    QHash<uint16_t, QString> m_names;
};

} // namespace pavilo
