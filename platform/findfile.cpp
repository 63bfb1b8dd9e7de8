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
#include <memory>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace kestrel::sys {

namespace {

// An open folder; its descriptor anchors the status calls of its entries.
struct FolderHandle {
    explicit FolderHandle(DIR *dir) : dir(dir) {}
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;
    ~FolderHandle()
    {
        if (dir)
            closedir(dir);
    }
    DIR *dir;
};

// One running search. The folder is read whole when the search starts: the
// short names need every name of the folder, and the listing order is then
// fixed for the life of the search.
class FindSearch : public HandleObject {
public:
    FindSearch(std::unique_ptr<FolderHandle> open, const QByteArray &folder, QString mask,
               QList<QByteArray> names, QStringList decoded)
        : open(std::move(open)), path(folder + '/'), folderLength(path.size()),
          mask(std::move(mask)), names(std::move(names)), decoded(std::move(decoded)),
          shortNames(this->decoded)
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
    bool Fill(qsizetype i, const QString &shortName, WIN32_FIND_DATA &data);
    // The DOS attributes stored with the entry at path; null when none.
    const DWORD *StoredAttributes(const FileStatus &st, DWORD &stored);

    std::unique_ptr<FolderHandle> open;
    QByteArray path; // the folder with a trailing '/', then the entry in hand
    qsizetype folderLength;
    // The file system that said it keeps no DOS attributes: not asked again.
    std::optional<UINT64> withoutDosAttribs;
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

const DWORD *FindSearch::StoredAttributes(const FileStatus &st, DWORD &stored)
{
    if (withoutDosAttribs == st.device)
        return nullptr;
    errno = 0;
    if (ReadDosAttrib(path, stored))
        return &stored;
    if (NoDosAttribSupport(errno))
        withoutDosAttribs = st.device;
    return nullptr;
}

bool FindSearch::Fill(qsizetype i, const QString &shortName, WIN32_FIND_DATA &data)
{
    const QByteArray &name = names[i];
    FileStatus st;
    if (!StatEntry(dirfd(open->dir), name.constData(), st))
        return false; // removed since the folder was read
    path.truncate(folderLength);
    if (name != ".")
        path += name;
    DWORD stored = 0;
    const DWORD *storedPtr = S_ISLNK(st.mode) ? nullptr : StoredAttributes(st, stored);
    // A dangling link (or one we may not follow) is listed as an empty file.
    if (st.isDir() || S_ISLNK(st.mode))
        st.size = 0;
    data.dwFileAttributes = AttributesFrom(st, name, storedPtr);
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

// Opens the folder and reads its names in directory order, "." and ".." first.
std::unique_ptr<FolderHandle> ReadFolder(const QByteArray &native, QList<QByteArray> &names,
                                         QStringList &decoded)
{
    auto folder = std::make_unique<FolderHandle>(opendir(native.constData()));
    if (!folder->dir) {
        const int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
        return nullptr;
    }
    names = {QByteArrayLiteral("."), QByteArrayLiteral("..")};
    for (;;) {
        errno = 0;
        const dirent *entry = readdir(folder->dir);
        if (!entry)
            break;
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.append(QByteArray(name));
    }
    if (errno != 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    decoded.reserve(names.size());
    for (const QByteArray &name : std::as_const(names))
        decoded.append(DecodeName(name));
    return folder;
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
    auto opened = ReadFolder(native, names, decoded);
    if (!opened)
        return INVALID_HANDLE_VALUE;
    auto search = std::make_shared<FindSearch>(std::move(opened), native, mask, std::move(names),
                                               std::move(decoded));
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
