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

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

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

// One running search. The folder is read whole when the search starts and
// every matching entry's status is taken at once, by several threads for a
// large folder: the status calls are most of a listing's cost. The short names
// need every name of the folder in order, and the listing order is then fixed
// for the life of the search.
class FindSearch : public HandleObject {
public:
    FindSearch(std::unique_ptr<FolderHandle> open, const QByteArray &folder, const QString &mask,
               QList<QByteArray> names, QStringList decoded);
    // Fills data with the next matching entry; false at the end.
    bool Next(WIN32_FIND_DATA &data);

private:
    // One matching entry; filled in by StatRange.
    struct Entry {
        explicit Entry(qsizetype index) : index(index) {}
        qsizetype index;
        bool present = false; // false when removed since the folder was read
        DWORD attributes = 0;
        UINT64 size = 0;
        FILETIME creation, access, lastWrite;
        QString shortName;
    };
    void Match(const QString &mask);
    void StatAll();
    void StatRange(qsizetype from, qsizetype to);
    void NameShort();

    std::unique_ptr<FolderHandle> open;
    QByteArray folder;
    QList<QByteArray> names;
    QStringList decoded;
    std::vector<Entry> entries;
    std::size_t next = 0;
    bool single = false; // a plain name finds one entry
};

bool IsDotEntry(const QByteArray &name)
{
    return name == "." || name == "..";
}

FindSearch::FindSearch(std::unique_ptr<FolderHandle> open, const QByteArray &folder,
                       const QString &mask, QList<QByteArray> names, QStringList decoded)
    : open(std::move(open)), folder(folder + '/'), names(std::move(names)),
      decoded(std::move(decoded))
{
    Match(mask);
    StatAll();
}

void FindSearch::Match(const QString &mask)
{
    // A plain name finds the exact name when it exists, else the first that
    // matches it without regard to case.
    single = !mask.contains(QLatin1Char('*')) && !mask.contains(QLatin1Char('?'));
    const qsizetype exact = single ? decoded.indexOf(mask) : -1;
    if (exact >= 0) {
        entries.emplace_back(exact);
        return;
    }
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (MatchesMask(decoded[i], mask))
            entries.emplace_back(i);
    }
}

void FindSearch::StatAll()
{
    // Below this many entries a thread costs more than it saves.
    constexpr std::size_t perThread = 2048;
    const std::size_t threads =
        std::clamp<std::size_t>(entries.size() / perThread, 1,
                                std::max(1u, std::min(4u, std::thread::hardware_concurrency())));
    if (threads == 1) {
        NameShort();
        StatRange(0, qsizetype(entries.size()));
        return;
    }
    std::vector<std::thread> workers;
    const std::size_t slice = (entries.size() + threads - 1) / threads;
    for (std::size_t from = 0; from < entries.size(); from += slice) {
        const std::size_t to = std::min(entries.size(), from + slice);
        try {
            workers.emplace_back([this, from, to] { StatRange(qsizetype(from), qsizetype(to)); });
        } catch (const std::system_error &) {
            // No thread to be had (a process limit): this one does the slice.
            StatRange(qsizetype(from), qsizetype(to));
        }
    }
    NameShort();
    for (std::thread &worker : workers)
        worker.join();
}

// Runs on worker threads: touches only its own entries and its own buffers.
void FindSearch::StatRange(qsizetype from, qsizetype to)
{
    const int dir = dirfd(open->dir);
    QByteArray path = folder;
    const qsizetype folderLength = path.size();
    // A file system that said it keeps no DOS attributes is not asked again.
    std::optional<UINT64> withoutDosAttribs;
    for (qsizetype k = from; k < to; ++k) {
        Entry &e = entries[std::size_t(k)];
        const QByteArray &name = names.at(e.index);
        FileStatus st;
        if (!StatEntry(dir, name.constData(), st))
            continue;
        DWORD stored = 0;
        const DWORD *storedPtr = nullptr;
        if (!S_ISLNK(st.mode) && withoutDosAttribs != st.device) {
            path.truncate(folderLength);
            if (name != ".")
                path += name;
            errno = 0;
            if (ReadDosAttrib(path, stored))
                storedPtr = &stored;
            else if (NoDosAttribSupport(errno))
                withoutDosAttribs = st.device;
        }
        // A dangling link (or one we may not follow) is listed as an empty file.
        if (st.isDir() || S_ISLNK(st.mode))
            st.size = 0;
        e.present = true;
        e.attributes = AttributesFrom(st, name, storedPtr);
        e.size = st.size;
        e.creation = st.creation;
        e.access = st.access;
        e.lastWrite = st.lastWrite;
    }
}

void FindSearch::NameShort()
{
    if (entries.empty())
        return;
    // Every entry up to the last match takes its short name in order, matched
    // or not, so the numbering does not depend on the mask.
    ShortNames shortNames(decoded);
    auto e = entries.begin();
    for (qsizetype i = 0; e != entries.end(); ++i) {
        if (IsDotEntry(names.at(i))) {
            if (e->index == i)
                ++e;
            continue;
        }
        QString shortName = shortNames.Next(decoded[i]);
        if (e->index == i) {
            e->shortName = std::move(shortName);
            ++e;
        }
    }
}

bool FindSearch::Next(WIN32_FIND_DATA &data)
{
    while (next < entries.size()) {
        Entry &e = entries[next++];
        if (!e.present)
            continue;
        data.dwFileAttributes = e.attributes;
        data.ftCreationTime = e.creation;
        data.ftLastAccessTime = e.access;
        data.ftLastWriteTime = e.lastWrite;
        data.nFileSizeHigh = DWORD(e.size >> 32);
        data.nFileSizeLow = DWORD(e.size & 0xFFFFFFFFu);
        data.cFileName = std::move(decoded[e.index]);
        data.cAlternateFileName = std::move(e.shortName);
        if (single)
            next = entries.size();
        return true;
    }
    return false;
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

bool ForEachEntry(const QString &folder, const std::function<bool(const WIN32_FIND_DATA &)> &visit)
{
    WIN32_FIND_DATA data;
    const HANDLE search = FindFirstFile(JoinPath(folder, QStringLiteral("*.*")), data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (data.cFileName != QLatin1String(".") && data.cFileName != QLatin1String("..") &&
            !visit(data))
            break;
    } while (FindNextFile(search, data));
    FindClose(search);
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace kestrel::sys
