#pragma once
// Where a drive's tree information file lives, and the updates that file
// commands make to stored trees without a tree window.

#include "panel/drivefacts.h"

#include <QString>
#include <QStringList>

namespace kestrel {

// The tree information file of a drive ("C:", "D", "\\server\share"): with
// saveInRoot "treeinfo.kcd" in the drive's root; otherwise the volume serial
// as eight upper-case hex digits with ".kcd", in treePath or, when that is
// empty, in the program's folder. "" when the volume has no serial number
// (or it cannot be read): volumes without one would all share one file.
QString TreeFileName(const QString &drive, bool saveInRoot, const QString &treePath);

// Each update does nothing when its file is missing or does not load, and
// writes a file back only when it loaded.

// Removes the folders (full paths) that were deleted.
void TreeInfoDeleteFolders(const QString &treeFile, const QStringList &folders);
// Adds the folders (full source paths) that were copied or moved into
// destFolder, with their subfolders, to the tree of destFile; a move also
// takes them out of the tree of sourceFile. Both files must exist; they may
// be the same file. A source that is the destination or holds it is left out.
void TreeInfoCopyFolders(const QString &sourceFile, const QString &destFile,
                         const QStringList &folders, const QString &destFolder, bool move);
// Pairs "old full path=new name" of renamed folders.
void TreeInfoRenameFolders(const QString &treeFile, const QStringList &renames);
// A folder named name was made in folder.
void TreeInfoNewFolder(const QString &treeFile, const QString &folder, const QString &name);

} // namespace kestrel
