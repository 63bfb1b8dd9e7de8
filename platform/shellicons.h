#pragma once
// Shell services that need the window system: the system small and large
// icons by type (SHGetFileInfo icons) and opening a file with its program
// (ShellExecuteEx "open").

#include <QIcon>
#include <QString>

namespace kestrel::sys {

enum class IconKind { File, Folder, Parent, Drive, Network };

// Index of the icon for a name of that kind in the process-wide icon list;
// files are typed by their name alone, the file is not read.
int GetIconIndex(const QString &name, IconKind kind);
QIcon GetIcon(int index);

// Starts an executable file, or opens any other file with the desktop's
// default application. False with the last error set.
bool ShellOpen(const QString &path);

} // namespace kestrel::sys
