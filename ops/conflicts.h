#pragma once
// The questions of the file operations: the replace question and its answer
// as conflict flags, the rename inside it, the delete warning, the one-line
// input, and the main window's conflict handler for copy and move.

#include "platform/wintypes.h"

#include <QString>

class QObject;

namespace kestrel {

// Conflict answer bits, shared by the operation engine and the archive handlers.
inline constexpr sys::DWORD feOverwrite = 0x02;
inline constexpr sys::DWORD feSkip = 0x04;
inline constexpr sys::DWORD feCancel = 0x08;
inline constexpr sys::DWORD feRename = 0x10;
inline constexpr sys::DWORD feAll = 0x20;

// An item known only from a listing (an archive entry), not from the disk.
// Stands in for the panel's file entry until that class is shared here.
struct TListedItem {
    QString name;
    sys::UINT64 size = 0;
    sys::FILETIME time; // last write, UTC
};

// Asks what to do with an existing target; the item is a path on disk.
// With feRename the new target path is in target.
sys::DWORD AskFileExists(QObject *owner, const QString &itemPath, QString &target);
// The same for a listed item; renaming is not offered.
sys::DWORD AskFileExists(QObject *owner, const TListedItem &item, QString &target);

// The rename step of the replace question: asks for a new name until it is
// valid or the user cancels. True with target set to the new path.
bool AskRenameTarget(QObject *owner, QString &target);
// A name the rename accepts: not empty, shorter than 255 characters, none of
// : > * ? | " and no empty, "." or ".." part between backslashes or slashes.
bool IsValidNewName(const QString &name);

// "%s ( %s, %s )": size in bytes, long date and time of the last write in
// local time.
QString FileInfoLine(sys::UINT64 size, const sys::FILETIME &lastWriteUtc);

// The delete warning; focused 0 the first button, 1 Yes, else No; allCaption
// recaptions the first button "All". Returns mrAll, mrYes, mrNo or mrCancel.
int AskDeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption);

// The one-line input; returns mrOk (text changed) or mrCancel.
int AskString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
              bool selectAll, bool keepSelection);

// The main window's handler of an existing target during copy and move: an
// answer for all stands without asking, otherwise the replace question decides.
void HandleFileExists(QObject *owner, const QString &source, QString &target, sys::DWORD &flags);

} // namespace kestrel
