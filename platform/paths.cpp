// Conversion between Windows-form paths and native paths, and the calls that
// deal in whole paths: the current directory, the temporary folder, full and
// native names.

#include "platform/caseless.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/fsutil.h"
#include "platform/names.h"
#include "platform/native.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

const QLatin1Char backslash('\\');

bool Exists(const QByteArray &native)
{
    struct stat st;
    return ::lstat(native.constData(), &st) == 0;
}

QByteArray NativeCwd()
{
    QByteArray buffer(PATH_MAX, Qt::Uninitialized);
    while (!::getcwd(buffer.data(), size_t(buffer.size()))) {
        if (errno != ERANGE)
            return QByteArray();
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.constData());
}

bool CurrentWinPath(WinPath &out)
{
    const QByteArray cwd = NativeCwd();
    QString path;
    if (cwd.isEmpty() || !MapNative(*CurrentDriveTable(), CleanNative(cwd), path)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return ParseWinPath(path, out);
}

bool IsAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

} // namespace

bool ParseWinPath(const QString &path, WinPath &out)
{
    QString p = path;
    p.replace(QLatin1Char('/'), backslash);
    if (p.isEmpty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (p.contains(QChar(0))) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    QString rest;
    out.parts.clear();
    if (p.startsWith(QLatin1String("\\\\"))) {
        const QStringList bits = p.mid(2).split(backslash);
        if (bits.size() < 2 || bits[0].isEmpty() || bits[1].isEmpty()) {
            SetLastError(ERROR_BAD_NETPATH);
            return false;
        }
        out.root = QLatin1String("\\\\") + bits[0] + backslash + bits[1];
        rest = bits.mid(2).join(backslash);
    } else if (p.size() >= 2 && p[1] == QLatin1Char(':')) {
        if (!IsAsciiLetter(p[0])) {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
        out.root = QString(p[0].toUpper()) + QLatin1Char(':');
        rest = p.mid(2);
        // "C:name" is relative to the current directory when that is on C:.
        WinPath cwd;
        if (!rest.startsWith(backslash) && CurrentWinPath(cwd) && cwd.root == out.root)
            out.parts = cwd.parts;
    } else {
        WinPath cwd;
        if (!CurrentWinPath(cwd))
            return false;
        out.root = cwd.root;
        if (!p.startsWith(backslash))
            out.parts = cwd.parts;
        rest = p;
    }
    for (const QString &part : rest.split(backslash, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!out.parts.isEmpty())
                out.parts.removeLast();
            continue;
        }
        out.parts.append(part);
    }
    return true;
}

QString FormatWinPath(const WinPath &path)
{
    return path.root + backslash + path.parts.join(backslash);
}

bool MapNative(const DriveTable &table, const QByteArray &clean, QString &path)
{
    qsizetype bestLength = -1;
    QString bestRoot;
    const auto consider = [&](const QByteArray &root, const QString &winRoot) {
        qsizetype length;
        if (root == "/")
            length = 0;
        else if (clean == root || (clean.startsWith(root) && clean[root.size()] == '/'))
            length = root.size();
        else
            return;
        if (length > bestLength) {
            bestLength = length;
            bestRoot = winRoot;
        }
    };
    for (const DriveEntry &d : table.drives) {
        const QString root = QString(d.info.letter) + QLatin1Char(':');
        consider(d.info.nativeRoot, root);
        consider(d.resolvedRoot, root);
    }
    for (const ShareEntry &s : table.shares) {
        consider(s.info.nativeRoot, s.info.unc);
        consider(s.resolvedRoot, s.info.unc);
    }
    if (bestLength < 0)
        return false;
    const QByteArray rest = clean.mid(bestLength);
    path = bestRoot + (rest.isEmpty() ? QString(backslash)
                                      : DecodeName(rest).replace(QLatin1Char('/'), backslash));
    return true;
}

// The native folder a root stands for, unchecked; false when none does.
bool MappedRoot(const QString &root, QByteArray &native)
{
    const auto table = CurrentDriveTable();
    for (const DriveEntry &d : table->drives) {
        if (QString(d.info.letter) + QLatin1Char(':') == root) {
            native = d.info.nativeRoot;
            return true;
        }
    }
    for (const ShareEntry &s : table->shares) {
        if (SameText(s.info.unc, root)) {
            native = s.info.nativeRoot;
            return true;
        }
    }
    return false;
}

bool NativeRoot(const QString &root, QByteArray &native)
{
    const auto table = CurrentDriveTable();
    if (root.startsWith(QLatin1String("\\\\"))) {
        for (const ShareEntry &s : table->shares) {
            if (SameText(s.info.unc, root) && IsNativeFolder(s.info.nativeRoot)) {
                native = s.info.nativeRoot;
                return true;
            }
        }
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    for (const DriveEntry &d : table->drives) {
        if (QString(d.info.letter) + QLatin1Char(':') == root) {
            if (!IsNativeFolder(d.info.nativeRoot)) {
                SetLastError(ERROR_NOT_READY);
                return false;
            }
            native = d.info.nativeRoot;
            return true;
        }
    }
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
}

QByteArray JoinNative(const QByteArray &root, const QStringList &parts)
{
    QByteArray path = root == "/" ? QByteArray() : root;
    for (const QString &part : parts)
        path += '/' + EncodeName(part);
    return path;
}

bool ToNative(const QString &path, QByteArray &native)
{
    WinPath win;
    QByteArray root;
    if (!ParseWinPath(path, win))
        return false;
    // An existing path needs no look at its root: the root is there then.
    if (!win.parts.isEmpty() && MappedRoot(win.root, root)) {
        native = JoinNative(root, win.parts);
        if (Exists(native))
            return true;
        // Mostly only the last name is missing (a file about to be made).
        const QByteArray parent = DirName(native);
        QByteArray match;
        const Caseless last = win.parts.size() > 1 ? FindCaseless(parent, win.parts.last(), match)
                                                   : Caseless::NoFolder;
        if (last == Caseless::Found)
            native = parent + '/' + match;
        if (last != Caseless::NoFolder)
            return true;
    }
    if (!NativeRoot(win.root, root))
        return false;
    if (win.parts.isEmpty()) {
        native = root;
        return true;
    }
    const QByteArray exact = JoinNative(root, win.parts);
    if (Exists(exact)) {
        native = exact;
        return true;
    }
    // Some component differs in case (or is missing): walk down, matching
    // each missing one without regard to case; the rest stays as given.
    QByteArray current = root == "/" ? QByteArray() : root;
    qsizetype i = 0;
    for (; i < win.parts.size(); ++i) {
        const QByteArray next = current + '/' + EncodeName(win.parts[i]);
        QByteArray match;
        if (Exists(next))
            current = next;
        else if (FindCaseless(current, win.parts[i], match) == Caseless::Found)
            current += '/' + match;
        else
            break;
    }
    for (; i < win.parts.size(); ++i)
        current += '/' + EncodeName(win.parts[i]);
    native = current;
    return true;
}

bool FromNative(const QByteArray &native, QString &path)
{
    // No file name holds a NUL byte, though a URI can spell one ("%00"); a
    // name with a backslash would read as two names in the Windows form and
    // so name another file.
    if (native.contains('\0') || native.contains('\\')) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    if (!native.startsWith('/') || !MapNative(*CurrentDriveTable(), CleanNative(native), path)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

QString FromTypedPath(const QString &text)
{
    if (!text.startsWith(QLatin1Char('/')))
        return text;
    QString path;
    return FromNative(EncodeName(text), path) ? path : QString();
}

DWORD PathError(int err, const QByteArray &native)
{
    if (err != ENOENT)
        return ErrorFromErrno(err);
    const qsizetype cut = native.lastIndexOf('/');
    const QByteArray parent = cut <= 0 ? QByteArray("/") : native.left(cut);
    return ErrorFromErrno(err, !IsNativeFolder(parent));
}

bool IsNativeFolder(const QByteArray &native)
{
    struct stat st;
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QByteArray CleanNative(const QByteArray &path)
{
    QList<QByteArray> parts;
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    QByteArray clean;
    for (const QByteArray &part : std::as_const(parts))
        clean += '/' + part;
    return clean.isEmpty() ? QByteArray("/") : clean;
}

QByteArray ResolveNative(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return CleanNative(path);
    const QByteArray result(resolved);
    ::free(resolved);
    return result;
}

QString GetCurrentDirectory()
{
    WinPath cwd;
    return CurrentWinPath(cwd) ? FormatWinPath(cwd) : QString();
}

bool SetCurrentDirectory(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    if (DWORD fault = 0; FaultDue(FaultOp::Enter, fault)) {
        SetLastError(fault);
        return false;
    }
    if (::chdir(native.constData()) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

QString GetTempPath()
{
    QString path;
    if (!FromNative(NativeTempDir(), path))
        return QString();
    return path.endsWith(backslash) ? path : path + backslash;
}

// The native path of an existing file or folder; false, with the error
// set, when there is none.
static bool ExistingNative(const QString &path, QByteArray &native)
{
    if (!ToNative(path, native))
        return false;
    if (Exists(native))
        return true;
    SetLastError(PathError(errno, native));
    return false;
}

QString GetShortPathName(const QString &path)
{
    QByteArray native;
    return ExistingNative(path, native) ? DecodeName(native) : QString();
}

QString GetFullPathName(const QString &path)
{
    WinPath win;
    return ParseWinPath(path, win) ? FormatWinPath(win) : QString();
}

QString GetLongPathName(const QString &path)
{
    QByteArray native;
    QString result;
    return ExistingNative(path, native) && FromNative(native, result) ? result : QString();
}

QString GetFinalPathName(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return QString();
    QByteArray resolved = ResolveNative(native);
    if (!Exists(resolved)) {
        const QByteArray folder = ResolveNative(DirName(native));
        if (!IsNativeFolder(folder)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return QString();
        }
        resolved = CleanNative(folder + '/' + native.mid(native.lastIndexOf('/') + 1));
    }
    QString result;
    return FromNative(resolved, result) ? result : QString();
}

} // namespace kestrel::sys
