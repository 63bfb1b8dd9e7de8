#include "platform/filemode.h"

#include "platform/caseless.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/names.h"
#include "platform/native.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <vector>

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

namespace {

QString UserName(uid_t uid)
{
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd *found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return DecodeName(found->pw_name);
    return QString::number(uid);
}

QString GroupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    struct group entry;
    struct group *found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return DecodeName(found->gr_name);
    return QString::number(gid);
}

} // namespace

bool GetOwnership(const QString &path, Ownership &ownership)
{
    QByteArray native;
    struct stat st;
    if (!ToNative(path, native))
        return false;
    if (stat(native.constData(), &st) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    ownership.owner = UserName(st.st_uid);
    ownership.group = GroupName(st.st_gid);
    ownership.mode = st.st_mode & 07777;
    SetLastError(ERROR_SUCCESS);
    return true;
}

QString PermissionText(unsigned mode)
{
    QString text = QStringLiteral("rwxrwxrwx");
    for (int bit = 0; bit < 9; ++bit) {
        if (!(mode & (0400u >> bit)))
            text[bit] = QLatin1Char('-');
    }
    const struct {
        unsigned flag;
        int at;
        char set;
    } special[] = {{S_ISUID, 2, 's'}, {S_ISGID, 5, 's'}, {S_ISVTX, 8, 't'}};
    for (const auto &s : special) {
        if (mode & s.flag)
            text[s.at] =
                text[s.at] == QLatin1Char('x') ? QLatin1Char(s.set) : QLatin1Char(char(s.set - 32));
    }
    return text;
}

} // namespace kestrel::sys
