#pragma once
// Shell services that need no window system: the program's folder, type
// names, the Trash, the user's special folders and external programs.

#include <QString>
#include <QStringList>

namespace kestrel::sys {

// Folder of the program's own files, Windows form, ending in a backslash:
// KESTREL_HOME, else the executable's folder when it is writable and not an
// installation's bin folder, else ~/.config/kestrel/.
QString ProgramDir();
// Folder of the read-only files that come with the program (the default
// colour set, the help pages), Windows form, ending in a backslash:
// <prefix>/share/kestrel/ for an installed program, else its own folder.
QString SharedDir();

// Type name of a file or folder (SHGetFileInfo SHGFI_TYPENAME). With
// useAttributes the file is not touched: the type comes from the name alone.
QString GetTypeName(const QString &path, bool isFolder, bool useAttributes);

// Moves a file to the freedesktop.org Trash; false with the last error set.
bool MoveToTrash(const QString &path);

enum class SpecialFolder { Desktop, StartMenu, Personal, Temp, Trash };
QString GetSpecialFolder(SpecialFolder which); // Windows form, "" when none

// True when the desktop names a program for the file's type, or for a type
// it inherits from (freedesktop.org association lists and application
// entries); the type comes from the file's name and contents.
bool HasAssociatedProgram(const QString &path);

// Looks up an external program on PATH; "arj.exe" that is missing is tried as
// "arj". Returns the native path or "".
QString FindProgram(const QString &name);
// Starts a program detached, arguments as a list (never through a shell),
// working folder in Windows form. False with the last error set.
bool StartProgram(const QString &program, const QStringList &args, const QString &workDir);
// Runs a program with its arguments as a list, input from nothing and output
// discarded, and waits for it to end while the caller's events are
// processed. The exit code goes to exitCode (-1 when it crashed). False,
// with the last error set, when the program cannot be found or started.
bool RunProgram(const QString &program, const QStringList &args, const QString &workDir,
                int &exitCode);

} // namespace kestrel::sys
