#pragma once
// Private to platform/: finding a folder's entry by name without regard to
// case. The names of a few recently asked folders are kept, checked against
// the folder's status on every use, so that many new names looked up in one
// big folder (a copy into it) do not read the whole folder each time.

#include <QByteArray>
#include <QString>

namespace kestrel::sys {

enum class Caseless { NoFolder, NoMatch, Found };
// The first entry of a native folder, in directory order, whose name equals
// name without regard to case, in match when Found.
Caseless FindCaseless(const QByteArray &folder, const QString &name, QByteArray &match);

// Tells the kept names that this program has just made the entry at the
// native path, so that its folder need not be read again because of it.
void NoteCreated(const QByteArray &native);

} // namespace kestrel::sys
