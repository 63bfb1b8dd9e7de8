#pragma once
// The small state lists kept beside the program: "last.dir" (the folder last
// shown on each drive, then the current drive) and "history.dat" (the command
// box's items, oldest first). Plain text, CR LF, read and written whole. A
// file that is missing, unreadable or absurdly large reads as empty; an
// absurdly large one is kept as NAME.bak (NAME.2.bak, ...) when written.

#include <QString>
#include <QStringList>

namespace kestrel {

inline constexpr int kCommandHistoryMax = 10;

// Lines of a state file, without their line ends; empty lines dropped.
QStringList ReadStateLines(const QString &path);
// Replaces the file atomically; each line ends in CR LF.
bool WriteStateLines(const QString &path, const QStringList &lines);

struct TLastDir {
    QStringList dirs;     // root=folder, each root once, in file order
    QString currentDrive; // "C:" or "\\server\share"; "" when the file has none
};

TLastDir LoadLastDir(const QString &path);
bool SaveLastDir(const QString &path, const QStringList &dirs, const QString &currentDrive);

// The newest kCommandHistoryMax lines.
QStringList LoadCommandHistory(const QString &path);
bool SaveCommandHistory(const QString &path, const QStringList &items);

} // namespace kestrel
