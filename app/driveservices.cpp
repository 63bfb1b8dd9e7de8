#include "app/driveservices.h"

#include "app/inifile.h"
#include "network/connectshare.h"
#include "network/fnetwork.h"

#include "platform/drives.h"
#include "platform/errors.h"

namespace kestrel {

namespace {
const QString kDrives = QStringLiteral("Drives");
}

QList<std::pair<QChar, QString>> TIniDriveMappings::Mapped() const
{
    QList<std::pair<QChar, QString>> mapped;
    for (const QString &key : ini.ReadSection(kDrives)) {
        const QString letter = key.trimmed().toUpper();
        if (letter.size() == 1 && letter[0] >= u'A' && letter[0] <= u'Z')
            mapped.append({letter[0], ini.ReadString(kDrives, key, QString())});
    }
    std::sort(mapped.begin(), mapped.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    return mapped;
}

bool TIniDriveMappings::Map(QChar letter, const QString &value)
{
    if (!ini.WriteString(kDrives, QString(letter), value)) {
        sys::SetLastError(sys::ERROR_ACCESS_DENIED);
        return false;
    }
    sys::ReloadDriveTable();
    return true;
}

bool TIniDriveMappings::Unmap(QChar letter)
{
    // The key may have been written in lower case by hand.
    for (const QString &key : ini.ReadSection(kDrives)) {
        if (key.trimmed().compare(QString(letter), Qt::CaseInsensitive) == 0 &&
            !ini.DeleteKey(kDrives, key)) {
            sys::SetLastError(sys::ERROR_ACCESS_DENIED);
            return false;
        }
    }
    sys::ReloadDriveTable();
    return true;
}

TAppDriveServices::TAppDriveServices(TIniFile &ini, std::function<void(QChar)> format)
    : mappings(ini), format(std::move(format)), previous(SetDriveServices(this))
{
}

TAppDriveServices::~TAppDriveServices()
{
    SetDriveServices(previous);
}

QString TAppDriveServices::SelectNetworkShare(QWidget *owner, const QString &current)
{
    const QString share = kestrel::SelectNetworkShare(owner, current);
    return !share.isEmpty() && ConnectShare(owner, share) ? share : QString();
}

bool TAppDriveServices::MapNetworkDrive(QWidget *owner)
{
    return kestrel::MapNetworkDrive(owner, mappings);
}

bool TAppDriveServices::DisconnectNetworkDrive(QWidget *owner, const QString &drive)
{
    return kestrel::DisconnectNetworkDrive(owner, mappings, drive);
}

void TAppDriveServices::FormatDrive(QWidget *, QChar drive)
{
    if (format)
        format(drive);
}

} // namespace kestrel
