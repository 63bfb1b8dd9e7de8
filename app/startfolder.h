#pragma once
// The folder the panel opens at start: a folder named on the command line,
// else the Start folder when StartDir is set, then the folders remembered in
// last.dir (returning to the drive used last unless StartDir is set), and
// "C:\" when nothing of that could be entered.

#include <QString>
#include <QStringList>

namespace kestrel {

class TFileListing;
class TIniFile;

// The command-line arguments after the program (options excluded) as one
// Windows-form path; a native path ("/home/me") is converted, and taken as
// it stands when it is the only argument. "" when none.
QString FolderArgument(const QStringList &arguments);

void OpenStartFolder(TFileListing &panel, const TIniFile &ini, const QString &argument,
                     const QString &lastDirFile);

} // namespace kestrel
