#pragma once
// The Edit menu's clipboard commands on the file panel, through the system
// clipboard in the conventions of the desktop's file managers.
//
// Usage from the main window's menu items (owner: the main window):
//   Copy            CopyToClipboard(*fileView);
//   Cut             CutToClipboard(*fileView);
//   Paste           if (Paste(*fileView, this)) PlayCompleteSound(<Sound option>);
//   Paste Shortcut  PasteShortcut(*fileView, this);
// Each does nothing (and returns false) where it does not apply: in an archive
// view, with nothing to work on, or with no files on the clipboard.

#include <QStringList>

class QObject;

namespace kestrel {

class TKFileView;

// Puts the selected entries (or the focused one; never ".." or a drive) on
// the clipboard as a copy. False when there was nothing to put.
bool CopyToClipboard(TKFileView &view);
// The same as a move; the listed entries are drawn as cut until the
// clipboard takes other data.
bool CutToClipboard(TKFileView &view);

// The files on the system clipboard: 0 none, 1 copy, 2 move. After a move
// the clipboard is emptied, so a cut is pasted only once.
int GetClipboardFiles(QStringList &files);

// Copies or moves the clipboard's files into the panel's folder, then
// reloads the panel keeping the focused name. True when files came.
bool Paste(TKFileView &view, QObject *owner);
// Makes a shortcut in the panel's folder for each file on the clipboard.
bool PasteShortcut(TKFileView &view, QObject *owner);

} // namespace kestrel
