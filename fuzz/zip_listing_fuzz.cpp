// libFuzzer target for the ZIP directory reader. Whatever it reads from the
// input is written back with the directory writer and read again, and must
// come back the same; the listing built from it keeps the folder structure
// whole (every parent a folder of the list, its key the item's path up to
// the last backslash).

#include "archive/archive.h"
#include "archive/entrypath.h"
#include "archive/zipdirectory.h"
#include "archive/zipwriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace kestrel;

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The listing as the ZIP handler builds it.
class TListing : public TArchive {
public:
    void Take(const TZipCentralEntry &e)
    {
        QString path;
        if (!SafeEntryPath(e.path, path))
            return;
        auto entry = std::make_unique<TArchiveEntry>();
        entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
        entry->Size = e.size;
        entry->PackedSize = e.packedSize;
        entry->Attributes = e.Attributes();
        entry->Time = e.Time();
        if (entry->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            AddFolder(path, std::move(entry));
        else
            AddFile(path, std::move(entry));
    }
};

std::vector<TZipCentralEntry> Read(const QByteArray &bytes, TZipEnd &end, int &result)
{
    std::vector<TZipCentralEntry> entries;
    TZipMemorySource source(bytes);
    TZipDirectoryReader reader(source, 437);
    result = reader.FindEnd(end);
    if (result == 0)
        result = reader.ReadEntries(end, true, [&](TZipCentralEntry &e) { entries.push_back(e); });
    return entries;
}

void CheckParents(const TArchive &archive)
{
    for (const TArchiveEntries *list : {&archive.Files, &archive.Folders}) {
        for (int i = 0; i < list->Count(); ++i) {
            const QString &key = list->Key(i);
            const int parent = list->Entry(i)->Parent;
            const qsizetype slash = key.lastIndexOf(QLatin1Char('\\'));
            if (slash < 0) {
                Check(parent == -1, "an item at the root has a parent");
                continue;
            }
            Check(parent >= 0 && parent < archive.Folders.Count(), "parent out of range");
            Check(archive.Folders.Key(parent).compare(key.left(slash), Qt::CaseInsensitive) == 0,
                  "parent is not the item's folder");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TZipEnd end;
    int result = 0;
    const std::vector<TZipCentralEntry> entries = Read(input, end, result);
    if (result == 0 || !entries.empty()) {
        Check(end.endOffset >= 0 && end.endOffset + 22 <= qsizetype(size), "end record outside");
        Check(entries.size() <= end.entryCount, "more entries than counted");
    }

    QByteArray directory;
    for (const TZipCentralEntry &e : entries)
        directory += ZipCentralHeader(e, e.localOffset);
    const QByteArray written =
        directory +
        ZipEndRecords(entries.size(), sys::UINT64(directory.size()), 0, QByteArray("x"));
    TZipEnd againEnd;
    int againResult = 0;
    const std::vector<TZipCentralEntry> again = Read(written, againEnd, againResult);
    Check(againResult == 0, "a written directory does not read");
    Check(again.size() == entries.size(), "a written directory lost entries");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TZipCentralEntry &a = entries[i];
        const TZipCentralEntry &b = again[i];
        Check(a.rawName == b.rawName, "name changed");
        // A name from a Unicode path field survives while all fields fit.
        Check(a.path == b.path || a.extra.size() + 28 > 0xFFFF, "decoded name changed");
        Check(a.size == b.size && a.packedSize == b.packedSize && a.localOffset == b.localOffset,
              "size or offset changed");
        Check(a.crc == b.crc && a.flags == b.flags && a.method == b.method &&
                  a.externalAttributes == b.externalAttributes && a.madeBy == b.madeBy,
              "header field changed");
    }

    TListing listing;
    for (const TZipCentralEntry &e : entries)
        listing.Take(e);
    listing.ReadList();
    CheckParents(listing);
    return 0;
}
