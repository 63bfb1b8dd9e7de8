#pragma once
// Files arriving in a folder from the clipboard or a drop: copied or moved by
// the operation engine, or linked by shortcuts.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

class QObject;

namespace kestrel {

class TFileListing;

// Puts files (full paths) into folder with effect DROPEFFECT_COPY, _MOVE or
// _LINK. Sources that no longer exist are left out and named together in one
// error box. Copy and move run a TFileCopy with the main window's conflict
// handler, which reports its own failures; a shortcut that cannot be made is
// reported like an engine failure. Returns false when nothing was left to do.
bool TransferFiles(QObject *owner, const QStringList &files, const QString &folder,
                   sys::DWORD effect);

// Reloads the panel keeping its focused name, once no operation holds the
// listing any more. context: the panel's widget (the reload is dropped with it).
void ReloadWhenIdle(QObject *context, TFileListing &panel);

} // namespace kestrel
