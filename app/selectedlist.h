#pragma once
// Texts made from the panel's entries: the saved list of the selection
// (Save Selected List) and the full path put on the clipboard (Copy Path Name).

#include "platform/wintypes.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace kestrel {

// What one line of the list shows of an entry.
struct TListedEntry {
    QString name;
    sys::FILETIME lastWrite; // UTC
    sys::DWORD attributes = 0;
    sys::UINT64 size = 0;
};

// The list file's bytes, CR LF line ends: the folder, an empty line, one line
// per entry (the name padded to the longest name plus two, the local
// last-write time "yyyy-mm-dd hh:mm", the attributes AHRS with "_" for the
// ones not set), an empty line, "n Folders, m Files" and "t bytes".
QByteArray SelectedListText(const QString &folder, const QList<TListedEntry> &entries);

// Asks where to save the list (list.txt in the folder) and writes it; a
// failure is shown in the error box. Nothing happens without entries.
void SaveSelectedList(QObject *owner, const QString &folder, const QList<TListedEntry> &entries);

// The full path of an entry of the folder: a drive entry (its letter) gives
// its root, ".." the parent folder.
QString PathNameText(const QString &folder, const QString &name, bool isDrive);

} // namespace kestrel
