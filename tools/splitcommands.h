#pragma once
// The Split File and Join Files commands of the main window, from the file
// the panel's focus is on to the pieces or the joined file on disk. Every
// question goes through the dialog seam.

#include "platform/wintypes.h"

#include <QObject>
#include <QString>

namespace kestrel {

// Asks for the destination and the piece size, then splits folder\name of
// the given size. True when a split ran to the end.
bool RunSplitCommand(QObject *owner, const QString &folder, const QString &name, sys::UINT64 size);

// Finds the pieces of the name's stem in folder, asks for confirmation and
// the joined file's name, checks the room on its drive, then joins. True
// when a join ran to the end.
bool RunJoinCommand(QObject *owner, const QString &folder, const QString &name);

} // namespace kestrel
