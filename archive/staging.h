#pragma once
// Extraction through an outside program or a library that writes whole
// trees: the items are first written into a private folder inside the
// destination, then each selected item is checked (its name, a link's
// target, its CRC) and put in place, an existing file being replaced only
// by a complete successor. What is left in the private folder is removed.

#include "archive/archive.h"
#include "archive/extractfolders.h"
#include "archive/messagelist.h"

#include <QHash>
#include <QString>

#include <optional>

namespace kestrel {

class TStaging {
public:
    TStaging(TArchive &archive, const QString &destination, TArchiveMessages &messages);
    ~TStaging();
    TStaging(const TStaging &) = delete;
    TStaging &operator=(const TStaging &) = delete;

    // Makes the destination when missing and the private folder in it;
    // false, with a message kept, when either cannot be made.
    bool Open();
    // The private folder, Windows form.
    const QString &Folder() const { return folder; }
    // Puts the item staged at relative (backslashes) in place; entry gives
    // the size and time for the file-exists question, crc the CRC-32 the
    // data must have. False when it was not placed (a message is kept, or
    // the user skipped it).
    bool Place(const QString &relative, const TArchiveEntry &entry,
               std::optional<sys::DWORD> crc = std::nullopt);
    // Makes a folder item below the destination.
    void PlaceFolder(const QString &relative);
    int PlacedCount() const { return placed; }

private:
    // Asks about an existing target; false keeps it.
    bool AskTarget(const QString &target, const TArchiveEntry &entry, bool &exists);
    bool MakeParents(const QString &relative);

    TArchive &archive;
    QString destination;
    TArchiveMessages &messages;
    TExtractFolders folders;
    QString folder;
    int placed = 0;
};

// CRC-32 of a file's contents; nullopt when it cannot be read.
std::optional<sys::DWORD> FileCrc(const QString &path);

} // namespace kestrel
