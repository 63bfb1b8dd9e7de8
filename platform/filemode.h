#pragma once
// Unix permissions that the Windows calls have no words for: a folder only
// its owner may enter, and the execute permission of extracted programs.

#include <QString>

namespace kestrel::sys {

// Creates a folder that only its owner can read, write and enter. An
// existing name fails with 183.
bool CreatePrivateDirectory(const QString &path);
// True when the file's owner may execute it.
bool IsExecutable(const QString &path);
// Lets everyone who may read the file execute it too.
bool MakeExecutable(const QString &path);

// Who owns a file or folder and who may do what with it.
struct Ownership {
    QString owner; // user name, or the number when the system has no name for it
    QString group;
    unsigned mode = 0; // permission bits, 07777
};
bool GetOwnership(const QString &path, Ownership &ownership);
// "rwxr-x---" for the permission bits (s, S, t, T where set-id and sticky bits are).
QString PermissionText(unsigned mode);

} // namespace kestrel::sys
