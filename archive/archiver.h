#pragma once
// The outside archiver programs that add to (and, for ARJ, extract from)
// archives: the private list file of names they read, and one run of the
// program with its arguments as a list.

#include <QString>
#include <QStringList>

class QObject;

namespace kestrel {

class TArchive;

// A list file with one name a line, in a private folder of its own under
// the temporary folder; removed with its folder when the object goes.
class TListFile {
public:
    TListFile() = default;
    ~TListFile();
    TListFile(const TListFile &) = delete;
    TListFile &operator=(const TListFile &) = delete;

    // Writes the names (backslashes become slashes); false when the file
    // cannot be made.
    bool Write(const QStringList &names);
    // The file's native path.
    QString NativePath() const { return native; }

private:
    QString folder; // Windows form
    QString path;   // Windows form
    QString native;
};

// A Windows-form path as the outside program needs it; "" when it cannot be
// mapped.
QString NativeArgument(const QString &path);

// Runs the archive's ProgramPath with the arguments, waiting for it to end;
// names relative paths from workDir ("" the current folder). A program that
// cannot be found or ends with an error is reported in a message box with
// the caption; false then.
bool RunArchiver(const TArchive &archive, const QStringList &args, const QString &workDir,
                 const QString &caption);

} // namespace kestrel
