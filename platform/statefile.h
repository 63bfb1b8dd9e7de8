#pragma once
// Whole-file reads and safe whole-file writes for the program's small state
// files (settings, last.dir, history.dat, colour sets, descriptions).

#include <QByteArray>
#include <QString>

namespace kestrel::sys {

// Reads the whole file; false (last error set) when it cannot be read.
bool ReadWholeFile(const QString &path, QByteArray &contents);
// Writes to a temporary file in the same folder and renames it over the old
// one, so a failure never leaves a half-written file. Keeps the old file's
// attributes (a hidden descript.dat stays hidden).
bool WriteWholeFile(const QString &path, const QByteArray &contents);
// Renames the file a WriteWholeFile of path would replace (links followed the
// same way) to the first free name of NAME.bak, NAME.2.bak, NAME.3.bak, ...
// beside it, so that no earlier backup is ever replaced. The native names it
// had and has now go to from and keptAs. False with the last error set.
bool KeepAsBackup(const QString &path, QByteArray &from, QByteArray &keptAs);

} // namespace kestrel::sys
