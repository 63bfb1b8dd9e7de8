#pragma once
// The drive dialog's services as the main window offers them: the network
// browser (a chosen share is mounted when it must be), the drive letters of
// the settings file's [Drives] section, and the desktop's disk tool.

#include "network/drivemap.h"
#include "panel/fdrive.h"

namespace kestrel {

class TIniFile;

// [Drives] of kestrel.ini; the drive table is reloaded after each change.
class TIniDriveMappings : public TDriveMappings {
public:
    explicit TIniDriveMappings(TIniFile &ini) : ini(ini) {}
    QList<std::pair<QChar, QString>> Mapped() const override;
    bool Map(QChar letter, const QString &value) override;
    bool Unmap(QChar letter) override;

private:
    TIniFile &ini;
};

class TAppDriveServices : public TDriveServices {
public:
    TAppDriveServices(TIniFile &ini, std::function<void(QChar)> format);
    ~TAppDriveServices() override;

    QString SelectNetworkShare(QWidget *owner, const QString &current) override;
    bool MapNetworkDrive(QWidget *owner) override;
    bool DisconnectNetworkDrive(QWidget *owner, const QString &drive) override;
    void FormatDrive(QWidget *owner, QChar drive) override;

    TDriveMappings &Mappings() { return mappings; }

private:
    TIniDriveMappings mappings;
    std::function<void(QChar)> format;
    TDriveServices *previous;
};

} // namespace kestrel
