#include "platform/shell.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

QByteArray ExecutableDir()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), size_t(buffer.size()));
    if (n <= 0 || n >= buffer.size())
        return QByteArray();
    const QByteArray exe = buffer.left(n);
    return exe.left(std::max<qsizetype>(exe.lastIndexOf('/'), 1));
}

QByteArray MadeFolder(const QByteArray &native)
{
    QDir().mkpath(DecodeName(native));
    return CleanNative(native);
}

// Windows form of a native folder, ending in a backslash; "" when no drive
// or share covers it.
QString WinFolder(const QByteArray &native)
{
    QString path;
    if (native.isEmpty() || !FromNative(native, path))
        return QString();
    return path.endsWith(QLatin1Char('\\')) ? path : path + QLatin1Char('\\');
}

QString DriveTypeName(unsigned type)
{
    switch (type) {
    case DRIVE_REMOVABLE:
        return QStringLiteral("Removable Disk");
    case DRIVE_FIXED:
        return QStringLiteral("Local Disk");
    case DRIVE_REMOTE:
        return QStringLiteral("Network Drive");
    case DRIVE_CDROM:
        return QStringLiteral("CD Drive");
    case DRIVE_RAMDISK:
        return QStringLiteral("RAM Disk");
    default:
        return QString();
    }
}

} // namespace

namespace {

QByteArray sharedDirOverride;

QByteArray ConfigDir()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return MadeFolder(EncodeName(config) + "/kestrel");
}

} // namespace

QByteArray SharedDirFor(const QByteArray &exeDir)
{
    const QByteArray installed = CleanNative(exeDir + "/../share/kestrel");
    return IsNativeFolder(installed) ? installed : exeDir;
}

QByteArray ProgramDirFor(const QByteArray &exeDir)
{
    // An installed program never writes beside itself, even where it could
    // (a prefix in the user's home): the next install or removal would
    // overwrite the user's settings or leave them behind.
    if (exeDir.isEmpty() || SharedDirFor(exeDir) != exeDir ||
        ::access(exeDir.constData(), W_OK) != 0)
        return ConfigDir();
    return exeDir;
}

QByteArray NativeProgramDir()
{
    const QByteArray home = qgetenv("KESTREL_HOME");
    if (!home.isEmpty())
        return MadeFolder(home);
    return ProgramDirFor(ExecutableDir());
}

QByteArray NativeSharedDir()
{
    if (!sharedDirOverride.isEmpty())
        return sharedDirOverride;
    const QByteArray exeDir = ExecutableDir();
    return exeDir.isEmpty() ? QByteArray() : SharedDirFor(exeDir);
}

void OverrideSharedDir(const QByteArray &native)
{
    sharedDirOverride = native.isEmpty() ? QByteArray() : CleanNative(native);
}

QByteArray NativeTempDir()
{
    const QByteArray tmp = qgetenv("TMPDIR");
    return CleanNative(tmp.startsWith('/') ? tmp : QByteArray("/tmp"));
}

QString ProgramDir()
{
    return WinFolder(NativeProgramDir());
}

QString SharedDir()
{
    return WinFolder(NativeSharedDir());
}

QString GetTypeName(const QString &path, bool isFolder, bool useAttributes)
{
    if (IsRoot(path))
        return DriveTypeName(GetDriveType(path));
    QMimeDatabase db;
    if (isFolder)
        return db.mimeTypeForName(QStringLiteral("inode/directory")).comment();
    const QString name = ExtractFileName(path);
    QMimeType type;
    QByteArray native;
    if (!useAttributes && ToNative(path, native))
        type = db.mimeTypeForFile(DecodeName(native));
    else
        type = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault())
        return type.comment();
    // Unknown types are named after their extension, as the shell does.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot == name.size() - 1)
        return QStringLiteral("File");
    return name.mid(dot + 1).toUpper() + QStringLiteral(" File");
}

bool MoveToTrash(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    // The Trash lives in the data folder, which a fresh account may not have yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!QFile::moveToTrash(DecodeName(native))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

QString GetSpecialFolder(SpecialFolder which)
{
    switch (which) {
    case SpecialFolder::Desktop:
        return WinFolder(
            EncodeName(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)));
    case SpecialFolder::StartMenu:
        return WinFolder(
            EncodeName(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)));
    case SpecialFolder::Personal:
        return WinFolder(
            EncodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    case SpecialFolder::Temp:
        return GetTempPath();
    case SpecialFolder::Trash:
        return WinFolder(
            EncodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/Trash/files")));
    }
    return QString();
}

QString FindProgram(const QString &name)
{
    if (name.contains(QLatin1Char('\\'))) {
        QByteArray native;
        if (ToNative(name, native) && ::access(native.constData(), X_OK) == 0)
            return DecodeName(native);
        return QString();
    }
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty() && name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        found = QStandardPaths::findExecutable(name.chopped(4));
    return found;
}

bool StartProgram(const QString &program, const QStringList &args, const QString &workDir)
{
    const QString found = FindProgram(program);
    if (found.isEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    QByteArray dir;
    if (!ToNative(workDir.isEmpty() ? GetCurrentDirectory() : workDir, dir))
        return false;
    if (!QProcess::startDetached(found, args, DecodeName(dir))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool RunProgram(const QString &program, const QStringList &args, const QString &workDir,
                int &exitCode)
{
    exitCode = -1;
    const QString found = FindProgram(program);
    if (found.isEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    QByteArray dir;
    if (!ToNative(workDir.isEmpty() ? GetCurrentDirectory() : workDir, dir))
        return false;
    QProcess process;
    process.setProgram(found);
    process.setArguments(args);
    process.setWorkingDirectory(DecodeName(dir));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Short waits keep the caller's window painted while the program runs.
    constexpr int slice = 50;
    while (!process.waitForFinished(slice)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace kestrel::sys
