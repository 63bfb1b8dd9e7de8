#pragma once
// The entries the rename, character case and attributes commands work on.

#include "panel/filelisting.h"

#include <QList>

namespace kestrel {

// The selected entries, else the focused one unless it is ".." or a drive;
// none while the panel shows an archive.
QList<TFile *> ToolTargets(const TFileListing &panel);

// "name (2/5)": an entry's line in a dialog that walks through several.
QString NumberedText(const QString &name, int index, int count);

} // namespace kestrel
