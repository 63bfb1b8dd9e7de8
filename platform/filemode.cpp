#include "platform/filemode.h"

#include "platform/caseless.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/native.h"

#include <cerrno>
#include <sys/stat.h>

namespace kestrel::sys {

bool CreatePrivateDirectory(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    if (mkdir(native.constData(), 0700) != 0) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : PathError(errno, native));
        return false;
    }
    NoteCreated(native);
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool IsExecutable(const QString &path)
{
    QByteArray native;
    struct stat st;
    if (!ToNative(path, native))
        return false;
    if (stat(native.constData(), &st) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
}

bool MakeExecutable(const QString &path)
{
    QByteArray native;
    struct stat st;
    if (!ToNative(path, native))
        return false;
    if (stat(native.constData(), &st) != 0 ||
        chmod(native.constData(), (st.st_mode & 07777) | ((st.st_mode & 0444) >> 2)) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace kestrel::sys
