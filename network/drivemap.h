#pragma once
// Map Network Drive and Disconnect Network Drive: a drive letter for a share
// or a folder, kept in the section [Drives] of kestrel.ini as
// "L=/native/folder,type,label", and taken away again.

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QWidget;

namespace kestrel {

// The [Drives] section, kept by the owner of the settings file.
class TDriveMappings {
public:
    virtual ~TDriveMappings() = default;
    // Letter and value of each mapping, in letter order.
    virtual QList<std::pair<QChar, QString>> Mapped() const = 0;
    // Stores a mapping and reloads the drive table; false with the last
    // error set.
    virtual bool Map(QChar letter, const QString &value) = 0;
    virtual bool Unmap(QChar letter) = 0;
};

// The [Drives] value for a share ("\\server\share", mounted) or a folder in
// Windows or native form: "/native/path,type,label". 0, or the error code
// when it names no folder that can be mapped.
int MappingValue(const QString &target, QString &value);
// Letters D to Z that no drive uses.
QStringList FreeDriveLetters();

// The dialogs; true when a mapping was added or removed.
bool MapNetworkDrive(QWidget *owner, TDriveMappings &mappings);
// drive: the letter to offer first ("N:"), if it is mapped.
bool DisconnectNetworkDrive(QWidget *owner, TDriveMappings &mappings, const QString &drive);

} // namespace kestrel
