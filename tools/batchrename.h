#pragma once
// Renaming a run of entries of one folder to new names at once. Names that
// trade places within the run (a and b swapped, file1 to file2 and file2 to
// file3) go through temporary names; a new name that another file of the
// folder already has, or that two entries would share, is found before
// anything is renamed.

#include "tools/toolresult.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace kestrel {

// Why name cannot be given to an entry: empty, "." or "..", a separator or
// a drive colon, a control character, or too long. Empty when it can.
QString NameProblem(const QString &name);

// For every entry from start on, why its new name cannot be used, or an
// empty text: NameProblem, a name two entries would share (case ignored, as
// the names are looked up), or one taken by a file outside the run.
// Unchanged names have no problem.
QStringList RunProblems(const QStringList &sources, const QStringList &results, int start,
                        const std::function<bool(const QString &name)> &takenOutside);

// The test RunProblems takes, for folder as it is now: true for a name that
// an entry other than sources[start..] has (case ignored).
std::function<bool(const QString &name)> TakenOutside(const QString &folder,
                                                      const QStringList &sources, int start);

// Renames folder\sources[i] to folder\results[i] for every i from start on
// whose name changes, stopping at the first failure. renamed[i] tells which
// did. An entry parked under a temporary name gets its old name back after
// a failure; should that fail too, the text of the result says where it is.
TToolResult RenameRun(const QString &folder, const QStringList &sources, const QStringList &results,
                      int start, QList<bool> &renamed);

} // namespace kestrel
