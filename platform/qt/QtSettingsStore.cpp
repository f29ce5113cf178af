#include "platform/qt/QtSettingsStore.h"

#include <optional>

#include <QSettings>
#include <QStringList>

#include "PaviloVersion.h"
#include "platform/text/TextCodec.h"

namespace pavilo {

namespace {

QString fromBytes(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string toBytes(const QString& s)
{
    QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

QString findName(const QStringList& names, const QString& name)
{
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return QString();
}

// The group path of a key path, resolving each level to the spelling
// already stored; none when the path is outside the program's base key, or
// (with mustExist) when a level is missing.
std::optional<QString> resolveGroup(QSettings& settings, std::string_view path, bool mustExist)
{
    std::vector<std::string> parts = SplitKeyPath(path);
    const char* base[] = {"Software", version::CompanyName, version::ProductName};
    if (parts.size() < 3)
        return std::nullopt;
    for (size_t i = 0; i < 3; ++i)
        if (!SameSettingsName(parts[i], base[i]))
            return std::nullopt;
    QString group;
    bool known = true;
    for (size_t i = 3; i < parts.size(); ++i) {
        QString part = fromBytes(parts[i]);
        QString stored;
        if (known) {
            settings.beginGroup(group);
            stored = findName(settings.childGroups(), part);
            settings.endGroup();
        }
        if (stored.isEmpty()) {
            if (mustExist)
                return std::nullopt;
            known = false;
            stored = part;
        }
        group = group.isEmpty() ? stored : group + '/' + stored;
    }
    return group;
}

class TQtSettingsKey : public TSettingsKey {
public:
    TQtSettingsKey(QSettings& settings, QString group) : m_settings(settings), m_group(std::move(group)) {}

    std::optional<std::string> ReadString(std::string_view name) const override
    {
        std::optional<QVariant> v = value(name);
        if (!v)
            return std::nullopt;
        if (v->typeId() == QMetaType::QByteArray) {
            QByteArray b = v->toByteArray();
            return std::string(b.constData(), static_cast<size_t>(b.size()));
        }
        // An unquoted value with commas reads back as a list.
        if (v->typeId() == QMetaType::QStringList)
            return toBytes(v->toStringList().join(", "));
        if (!v->canConvert<QString>())
            return std::nullopt;
        return toBytes(v->toString());
    }

    std::optional<int32_t> ReadInteger(std::string_view name) const override
    {
        std::optional<QVariant> v = value(name);
        if (!v)
            return std::nullopt;
        bool ok = false;
        int number = v->toString().trimmed().toInt(&ok, 10);
        if (!ok)
            return std::nullopt;
        return number;
    }

    bool WriteString(std::string_view name, std::string_view value) override
    {
        // Bytes that are not UTF-8 stay bytes, so they come back unchanged.
        if (text::IsValidUtf8(value))
            return write(name, QVariant(fromBytes(value)));
        return write(name, QVariant(QByteArray(value.data(), static_cast<qsizetype>(value.size()))));
    }

    bool WriteInteger(std::string_view name, int32_t value) override { return write(name, QVariant(value)); }

    std::vector<std::string> ValueNames() const override
    {
        std::vector<std::string> names;
        m_settings.beginGroup(m_group);
        for (const QString& n : m_settings.childKeys())
            names.push_back(toBytes(n));
        m_settings.endGroup();
        return names;
    }

    bool DeleteValue(std::string_view name) override
    {
        QString stored = storedName(name);
        if (stored.isEmpty())
            return false;
        m_settings.remove(fullName(stored));
        return true;
    }

private:
    QString fullName(const QString& name) const { return m_group.isEmpty() ? name : m_group + '/' + name; }

    QString storedName(std::string_view name) const
    {
        m_settings.beginGroup(m_group);
        QString stored = findName(m_settings.childKeys(), fromBytes(name));
        m_settings.endGroup();
        return stored;
    }

    std::optional<QVariant> value(std::string_view name) const
    {
        QString stored = storedName(name);
        if (stored.isEmpty())
            return std::nullopt;
        return m_settings.value(fullName(stored));
    }

    bool write(std::string_view name, const QVariant& v)
    {
        if (!m_settings.isWritable())
            return false;
        QString wanted = fromBytes(name);
        QString stored = storedName(name);
        if (!stored.isEmpty() && stored != wanted)
            m_settings.remove(fullName(stored));
        m_settings.setValue(fullName(wanted), v);
        return true;
    }

    QSettings& m_settings;
    QString m_group;
};

} // namespace

TQtSettingsStore::TQtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromUtf8(version::CompanyName),
                                             QString::fromUtf8(version::ProductName)))
{
}

TQtSettingsStore::TQtSettingsStore(const std::string& iniFile)
    : m_settings(std::make_unique<QSettings>(fromBytes(iniFile), QSettings::IniFormat))
{
}

TQtSettingsStore::~TQtSettingsStore()
{
    m_settings->sync();
}

std::unique_ptr<TSettingsKey> TQtSettingsStore::OpenKey(std::string_view path, bool create)
{
    std::optional<QString> group = resolveGroup(*m_settings, path, !create);
    if (!group || (create && !m_settings->isWritable()))
        return nullptr;
    return std::make_unique<TQtSettingsKey>(*m_settings, *group);
}

bool TQtSettingsStore::KeyExists(std::string_view path) const
{
    return resolveGroup(*m_settings, path, true).has_value();
}

bool TQtSettingsStore::DeleteKey(std::string_view path)
{
    std::optional<QString> group = resolveGroup(*m_settings, path, true);
    if (!group || group->isEmpty() || !m_settings->isWritable())
        return false;
    m_settings->remove(*group);
    return true;
}

bool TQtSettingsStore::Flush()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

std::string TQtSettingsStore::FileName() const
{
    return toBytes(m_settings->fileName());
}

} // namespace pavilo
