// FindFirstFile / FindNextFile / FindClose over opendir/readdir.

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/fsutil.h"
#include "platform/handles.h"
#include "platform/names.h"
#include "platform/native.h"
#include "platform/shortnames.h"
#include "platform/wildcard.h"

#include <QStringList>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace kestrel::sys {

namespace {

// One running search. The folder is read whole when the search starts: the
// short names need every name of the folder, and the listing order is then
// fixed for the life of the search.
class FindSearch : public HandleObject {
public:
    FindSearch(QByteArray folder, QString mask, QList<QByteArray> names, QStringList decoded)
        : folder(std::move(folder)), mask(std::move(mask)), names(std::move(names)),
          decoded(std::move(decoded)), shortNames(this->decoded)
    {
        // A plain name finds one entry: the exact name when it exists, else
        // the first that matches it without regard to case.
        single = !this->mask.contains(QLatin1Char('*')) && !this->mask.contains(QLatin1Char('?'));
        if (single)
            only = this->decoded.indexOf(this->mask);
    }
    // Fills data with the next matching entry; false at the end.
    bool Next(WIN32_FIND_DATA &data);

private:
    bool Fill(qsizetype i, const QString &shortName, WIN32_FIND_DATA &data) const;

    QByteArray folder;
    QString mask;
    QList<QByteArray> names;
    QStringList decoded;
    ShortNames shortNames;
    qsizetype next = 0;
    bool single = false;
    qsizetype only = -1;
};

bool IsDotEntry(const QByteArray &name)
{
    return name == "." || name == "..";
}

bool FindSearch::Next(WIN32_FIND_DATA &data)
{
    while (next < names.size()) {
        const qsizetype i = next++;
        const bool dots = IsDotEntry(names[i]);
        // Every entry takes its short name in order, matched or not, so the
        // numbering does not depend on the mask.
        const QString shortName = dots ? QString() : shortNames.Next(decoded[i]);
        const bool match = only >= 0 ? i == only : MatchesMask(decoded[i], mask);
        if (match && Fill(i, shortName, data)) {
            if (single)
                next = names.size();
            return true;
        }
    }
    return false;
}

bool FindSearch::Fill(qsizetype i, const QString &shortName, WIN32_FIND_DATA &data) const
{
    const QByteArray &name = names[i];
    const QByteArray path = name == "." ? folder : folder + '/' + name;
    FileStatus st;
    DWORD attributes = 0;
    if (StatPath(path, st)) {
        attributes = AttributesOf(path, st, name);
        if (st.isDir())
            st.size = 0;
    } else if (StatPath(path, st, false)) {
        // A dangling link (or one we may not follow) is listed as an empty file.
        st.size = 0;
        attributes = FILE_ATTRIBUTE_ARCHIVE;
        if (name.startsWith('.'))
            attributes |= FILE_ATTRIBUTE_HIDDEN;
    } else {
        return false; // removed since the folder was read
    }
    data.dwFileAttributes = attributes;
    data.ftCreationTime = st.creation;
    data.ftLastAccessTime = st.access;
    data.ftLastWriteTime = st.lastWrite;
    data.nFileSizeHigh = DWORD(st.size >> 32);
    data.nFileSizeLow = DWORD(st.size & 0xFFFFFFFFu);
    data.cFileName = decoded[i];
    data.cAlternateFileName = shortName;
    return true;
}

// Splits "C:\Dir\*.txt" into "C:\Dir\" and "*.txt"; "C:*.txt" into "C:" and "*.txt".
void SplitPattern(const QString &pattern, QString &folder, QString &mask)
{
    qsizetype cut =
        std::max(pattern.lastIndexOf(QLatin1Char('\\')), pattern.lastIndexOf(QLatin1Char('/')));
    if (cut < 0 && pattern.size() >= 2 && pattern[1] == QLatin1Char(':'))
        cut = 1;
    folder = pattern.left(cut + 1);
    mask = pattern.mid(cut + 1);
}

// Reads the folder's names in directory order, "." and ".." first.
bool ReadFolder(const QByteArray &native, QList<QByteArray> &names, QStringList &decoded)
{
    DIR *dir = opendir(native.constData());
    if (!dir) {
        const int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
        return false;
    }
    names = {QByteArrayLiteral("."), QByteArrayLiteral("..")};
    errno = 0;
    while (const dirent *entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!IsDotEntry(name))
            names.append(name);
    }
    const int err = errno;
    closedir(dir);
    if (err != 0) {
        SetLastError(ErrorFromErrno(err));
        return false;
    }
    for (const QByteArray &name : std::as_const(names))
        decoded.append(DecodeName(name));
    return true;
}

} // namespace

HANDLE FindFirstFile(const QString &pattern, WIN32_FIND_DATA &data)
{
    QString folder, mask;
    SplitPattern(pattern, folder, mask);
    if (mask.isEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    QByteArray native;
    if (!ToNative(folder.isEmpty() ? QStringLiteral(".") : folder, native))
        return INVALID_HANDLE_VALUE;
    QList<QByteArray> names;
    QStringList decoded;
    if (!ReadFolder(native, names, decoded))
        return INVALID_HANDLE_VALUE;
    auto search = std::make_shared<FindSearch>(native, mask, std::move(names), std::move(decoded));
    if (!search->Next(data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return AddHandle(std::move(search));
}

bool FindNextFile(HANDLE search, WIN32_FIND_DATA &data)
{
    const auto s = HandleAs<FindSearch>(search);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (!s->Next(data)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool FindClose(HANDLE search)
{
    if (!HandleAs<FindSearch>(search) || !TakeHandle(search)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace kestrel::sys
