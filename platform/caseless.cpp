#include "platform/caseless.h"

#include "platform/fsutil.h"
#include "platform/names.h"

#include <QHash>

#include <cerrno>
#include <list>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace kestrel::sys {

namespace {

// What changes whenever an entry is added, removed or renamed in a folder.
struct Stamp {
    UINT64 device = 0, inode = 0;
    INT64 mtimeSeconds = 0, ctimeSeconds = 0;
    DWORD mtimeNanoseconds = 0, ctimeNanoseconds = 0;
    friend bool operator==(const Stamp &, const Stamp &) = default;
};

bool StampOf(const QByteArray &folder, Stamp &stamp)
{
    struct statx sx;
    if (statx(AT_FDCWD, folder.constData(), 0, STATX_BASIC_STATS, &sx) != 0 ||
        !S_ISDIR(sx.stx_mode))
        return false;
    stamp.device = (UINT64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    stamp.inode = sx.stx_ino;
    stamp.mtimeSeconds = sx.stx_mtime.tv_sec;
    stamp.mtimeNanoseconds = sx.stx_mtime.tv_nsec;
    stamp.ctimeSeconds = sx.stx_ctime.tv_sec;
    stamp.ctimeNanoseconds = sx.stx_ctime.tv_nsec;
    return true;
}

struct FolderNames {
    QByteArray folder;
    Stamp stamp;
    QHash<QString, QByteArray> byFolded; // case-folded name -> first entry with it
};

// Reads a folder's names; false when it cannot be read whole.
bool ReadNames(const QByteArray &folder, QHash<QString, QByteArray> &byFolded)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e)
            break;
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const QByteArray entry(name);
        const QString folded = CaseKey(DecodeName(entry));
        if (!byFolded.contains(folded))
            byFolded.insert(folded, entry);
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    return complete;
}

// The names of the folders asked last, most recent first, within a bound on
// the names kept in all.
class NameCache {
public:
    Caseless Find(const QByteArray &folder, const QString &name, QByteArray &match)
    {
        std::lock_guard lock(mutex);
        Stamp stamp;
        if (!StampOf(folder, stamp))
            return Caseless::NoFolder;
        auto it = Lookup(folder);
        if (it == folders.end() || !(it->stamp == stamp)) {
            if (it != folders.end())
                Drop(it);
            // Stamped before reading: a change while reading makes it stale.
            FolderNames fresh{folder, stamp, {}};
            if (!ReadNames(folder, fresh.byFolded))
                return Caseless::NoFolder;
            it = Keep(std::move(fresh));
        }
        const QByteArray found = it->byFolded.value(CaseKey(name));
        if (it->byFolded.size() > maxNames)
            Drop(it);
        if (found.isEmpty())
            return Caseless::NoMatch;
        match = found;
        return Caseless::Found;
    }

    void Created(const QByteArray &native)
    {
        std::lock_guard lock(mutex);
        const auto it = Lookup(DirName(native));
        if (it == folders.end())
            return;
        const QByteArray name = BaseName(native);
        const QString folded = CaseKey(DecodeName(name));
        Stamp stamp;
        // A second name of the same letters: which comes first is the file
        // system's business, so the folder is read again when next needed.
        if (it->byFolded.contains(folded) || !StampOf(it->folder, stamp)) {
            Drop(it);
            return;
        }
        it->byFolded.insert(folded, name);
        it->stamp = stamp;
        ++total;
    }

private:
    using Iterator = std::list<FolderNames>::iterator;

    Iterator Lookup(const QByteArray &folder)
    {
        for (auto it = folders.begin(); it != folders.end(); ++it) {
            if (it->folder == folder) {
                folders.splice(folders.begin(), folders, it);
                return folders.begin();
            }
        }
        return folders.end();
    }

    Iterator Keep(FolderNames &&names)
    {
        total += names.byFolded.size();
        folders.push_front(std::move(names));
        while (folders.size() > maxFolders || (total > maxNames && folders.size() > 1))
            Drop(std::prev(folders.end()));
        return folders.begin();
    }

    void Drop(Iterator it)
    {
        total -= it->byFolded.size();
        folders.erase(it);
    }

    static constexpr std::size_t maxFolders = 8;
    static constexpr qsizetype maxNames = 250'000;
    std::mutex mutex;
    std::list<FolderNames> folders;
    qsizetype total = 0;
};

NameCache &Cache()
{
    static NameCache cache;
    return cache;
}

} // namespace

Caseless FindCaseless(const QByteArray &folder, const QString &name, QByteArray &match)
{
    return Cache().Find(folder.isEmpty() ? QByteArrayLiteral("/") : folder, name, match);
}

void NoteCreated(const QByteArray &native)
{
    Cache().Created(native);
}

} // namespace kestrel::sys
