#pragma once
// TFileSearch: finds files and folders below one or more folders by name
// masks, size, date, attributes and contents, and optionally the items of
// the archives it meets. It runs on whatever thread calls Run (the dialog
// gives it a worker thread); Stop may be called from any thread and ends the
// run within one entry or one block of a file.

#include "find/namemasks.h"
#include "find/textsearch.h"
#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

namespace kestrel {

namespace sys {
class WalkEntry;
}

struct TFindOptions {
    QStringList folders;     // where to search, Windows form
    QString masks;           // "*.txt;*.doc|old*": see TNameMasks; empty finds all
    int depth = -1;          // levels of subfolders searched; -1 all, 0 none
    std::optional<sys::UINT64> minSize, maxSize; // bytes, inclusive
    std::optional<sys::FILETIME> after, before;  // last write, UTC, inclusive
    sys::DWORD withAttributes = 0;    // every one of these must be set
    sys::DWORD withoutAttributes = 0; // none of these may be set
    QString text;            // contents; empty: no content search
    TTextEncoding encoding = TTextEncoding::Utf8;
    bool matchCase = false;
    bool wholeWords = false;
    bool inArchives = false; // items of archives are matched by name, size, date
};

struct TFoundItem {
    QString path; // full path; an archive item's is the archive's path, "\", the item's
    sys::UINT64 size = 0;
    sys::FILETIME time; // last write, UTC
    sys::DWORD attributes = 0;
    bool inArchive = false;
    bool IsFolder() const { return attributes & sys::FILE_ATTRIBUTE_DIRECTORY; }
};

class TFileSearch {
public:
    explicit TFileSearch(TFindOptions options);

    // False when the options cannot find anything: the text is not
    // representable in the encoding (Problem() says so).
    bool Valid() const;
    QString Problem() const;

    // Searches to the end or until Stop. The callbacks run on Run's thread.
    void Run();
    void Stop() { stopped.store(true, std::memory_order_relaxed); }
    bool Stopped() const { return stopped.load(std::memory_order_relaxed); }

    std::function<void(const TFoundItem &item)> OnFound;
    // A folder, file or archive that could not be read, with the error text.
    std::function<void(const QString &path, const QString &reason)> OnSkipped;
    // Each folder as the search enters it.
    std::function<void(const QString &folder)> OnFolder;

private:
    void SearchFolder(const QString &start);
    bool Filtered(sys::UINT64 size, const sys::FILETIME &time, sys::DWORD attributes) const;
    bool ContentMatches(sys::WalkEntry &entry, const QString &path);
    void SearchArchive(const QString &path, const QString &relative);

    TFindOptions options;
    TNameMasks masks;
    TTextSearch text;
    std::atomic<bool> stopped{false};
};

} // namespace kestrel
