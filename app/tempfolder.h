#pragma once
// What Empty Temp Folder may delete. The temporary folder is shared by every
// program and user of the machine: only the user's own entries that nothing
// has touched for an hour go, never sockets, pipes or devices, and never
// the folders the desktop and the system keep there.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

namespace kestrel {

// An entry is left alone when changed more recently than this.
inline constexpr sys::INT64 kTempMinAgeSeconds = 3600;

// A name the desktop or the system keeps in the temporary folder.
bool IsDesktopTempName(const QString &name);

// A folder that must never be emptied as a whole: a root or the home folder.
// False also when it is missing or not a folder.
bool IsEmptiableTempFolder(const QString &folder);

struct TTempEntries {
    QStringList paths; // full paths
    sys::UINT64 bytes = 0;
};
// The entries of folder that Empty Temp Folder may delete.
TTempEntries DisposableTempEntries(const QString &folder);

} // namespace kestrel
