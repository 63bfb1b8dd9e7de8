#pragma once
// The Rename command: one dialog per entry, or, from its Advanced button,
// one rule that names the entry shown and every later one at once.

#include "panel/filelisting.h"

#include <QObject>

#include <QList>
#include <QString>

namespace kestrel {

struct TRenamed {
    QString oldName;
    QString newName;
    bool folder = false;
};

// Renames the panel's targets in its folder and gives the panel entries
// their new names. Returns what was renamed, for what follows names (the
// descriptions, the tree information file).
QList<TRenamed> RunRenameCommand(QObject *owner, TFileListing &panel);

} // namespace kestrel
