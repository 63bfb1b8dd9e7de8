#pragma once
// The Uppercase Filename and Lowercase Filename commands.

#include "panel/filelisting.h"

#include <QObject>

namespace kestrel {

// The name with its ASCII letters in upper or lower case; others unchanged.
QString ConvertCase(const QString &name, bool upper);

// Asks, then gives each of the panel's targets (and, with Recursive, the
// entries directly inside a target folder) its name in the other case. A
// name that another file already has is a failure: nothing is replaced.
// True when a name changed.
bool RunCharCaseCommand(QObject *owner, TFileListing &panel, bool upper);

} // namespace kestrel
