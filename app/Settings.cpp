#include "app/Settings.h"

#include "app/IniValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <limits>

namespace kavlon {

namespace {

QString Key(const char *name) { return QString::fromLatin1(name); }

template <typename T> T InForce(std::optional<T> stored, const Setting<T> &setting)
{
    if (stored && setting.usable)
        stored = setting.usable(*stored);
    return stored.value_or(setting.fallback);
}

} // namespace

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

QString SettingsStore::DefaultLocation()
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Kavlon2");
#else
    // GenericConfigLocation honours XDG_CONFIG_HOME and falls back to ~/.config.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/Kavlon2/Kavlon2.conf");
#endif
}

bool SettingsStore::Open(const QString &location)
{
    Close();
    helpFilePath_ = QString::fromLatin1(HelpFileName);
    writeFailed_ = false;
    damaged_.reset();
    location_ = location.isEmpty() ? DefaultLocation() : location;

#ifdef Q_OS_WIN
    auto settings = std::make_unique<QSettings>(location_, QSettings::NativeFormat);
#else
    // "Creating the key" is creating the folder; the file itself appears with
    // the first write. A folder that cannot be made, or a path that is not a
    // readable file, leaves the store closed.
    const QFileInfo file(location_);
    if (!QDir().mkpath(file.absolutePath()))
        return false;
    if (file.exists() && !(file.isFile() && file.isReadable()))
        return false;
    auto settings = std::make_unique<QSettings>(location_, QSettings::IniFormat);
    if (settings->status() == QSettings::FormatError) {
        settings.reset();
        DamagedFile damaged{location_, DamagedName(location_)};
        if (!QFile::rename(location_, damaged.keptAs))
            damaged.keptAs.clear();
        damaged_ = damaged;
        if (damaged.keptAs.isEmpty())
            return false;
        settings = std::make_unique<QSettings>(location_, QSettings::IniFormat);
    }
#endif
    if (settings->status() != QSettings::NoError)
        return false;
    settings_ = std::move(settings);

    if (const auto folder = ReadString(Settings::InstallierPfad.name)) {
        // No separator is inserted: the stored folder ends with one.
        const QString path = *folder + QString::fromLatin1(HelpFileName);
        // A path too long for the help viewer is treated like no folder at all.
        if (path.size() <= MaxHelpFilePathLength)
            helpFilePath_ = path;
    }
    return true;
}

void SettingsStore::Close() { settings_.reset(); }

QString SettingsStore::DamagedName(const QString &location)
{
    const QString base = location + QStringLiteral(".defekt");
    QString name = base;
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('.') + QString::number(n);
    return name;
}

bool SettingsStore::ValueExists(const char *name) const
{
    return settings_ && settings_->contains(Key(name));
}

std::optional<QString> SettingsStore::ReadString(const char *name) const
{
    if (!ValueExists(name))
        return std::nullopt;
    const QVariant v = settings_->value(Key(name));
    if (v.typeId() == QMetaType::QString)
        return v.toString();
#ifndef Q_OS_WIN
    // The INI reading made a list of a text with an unquoted comma in it
    // (a folder such as "/opt/kavlon, neu/" written by hand or an installer):
    // the text is read again from the file as it stands.
    if (v.typeId() == QMetaType::QStringList) {
        QFile file(location_);
        if (file.open(QIODevice::ReadOnly))
            return IniValueAsWritten(file.readAll(), Key(name));
    }
#endif
    return std::nullopt;
}

std::optional<int> SettingsStore::ReadInteger(const char *name) const
{
    if (!ValueExists(name))
        return std::nullopt;
    const QVariant v = settings_->value(Key(name));
    bool ok = false;
    qlonglong n = 0;
    switch (v.typeId()) {
    case QMetaType::QString:
        // Decimal digits with an optional sign, nothing else.
        n = v.toString().toLongLong(&ok, 10);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: n = v.toLongLong(&ok); break;
    default: break;
    }
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<bool> SettingsStore::ReadBool(const char *name) const
{
    const auto n = ReadInteger(name);
    if (!n)
        return std::nullopt;
    return *n != 0;
}

int SettingsStore::Read(const Setting<int> &setting) const
{
    return InForce(ReadInteger(setting.name), setting);
}

bool SettingsStore::Read(const Setting<bool> &setting) const
{
    return InForce(ReadBool(setting.name), setting);
}

QString SettingsStore::Read(const Setting<const char *> &setting) const
{
    return ReadString(setting.name).value_or(QString::fromUtf8(setting.fallback));
}

bool SettingsStore::WriteInteger(const char *name, int value)
{
    if (!settings_) {
        writeFailed_ = true;
        return false;
    }
    settings_->setValue(Key(name), value);
    return Sync();
}

bool SettingsStore::WriteBool(const char *name, bool value)
{
    return WriteInteger(name, value ? 1 : 0);
}

bool SettingsStore::WriteString(const char *name, const QString &value)
{
    if (!settings_) {
        writeFailed_ = true;
        return false;
    }
    settings_->setValue(Key(name), value);
    return Sync();
}

bool SettingsStore::Sync()
{
    settings_->sync();
    const bool ok = settings_->status() == QSettings::NoError;
    if (!ok)
        writeFailed_ = true;
    return ok;
}

} // namespace kavlon
