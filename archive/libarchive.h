#pragma once
// TLibArchive: the archive handler for the formats read through libarchive
// alone: 7z, tar (plain and compressed), CAB, LHA, ISO 9660, cpio, and a file
// compressed alone (one entry, named as the archive without the
// compression's extension). Listing and extraction read the archive from
// front to back; nothing is added to these formats.

#include "archive/archive.h"
#include "archive/archivestream.h"
#include "archive/archivetype.h"
#include "archive/formatcheck.h"
#include "archive/messagelist.h"

#include <QSet>

#include <memory>

namespace kestrel {

class TLibArchive : public TArchive {
public:
    explicit TLibArchive(TArchiveType type);
    ~TLibArchive() override;

    TArchiveType Type() const { return type; }
    // The listing stopped early (a damaged or cut archive); what came
    // before it is listed.
    bool Damaged = false;
    bool ExtractRunning = false;
    int ProcessedCount = 0; // files the last extraction wrote

    void ReadList() override;
    void Extract(const QString &destination) override;

    // A reader set up for the archive's format and compression, on an open
    // stream; null, with the message kept, when it cannot be opened.
    TArchiveReader OpenReader(TArchiveStream &stream, QString &error) const;

private:
    class TRun;

    // Opens FileName through the platform layer; false with a message.
    bool OpenFile(TArchiveMessages &messages);
    void CloseFile();
    void ListCompressed();
    void ListEntries();
    void AddEntry(const QString &path, std::unique_ptr<TArchiveEntry> entry);
    void ShowMessage(const QString &text) const;

    TArchiveType type;
    TCompression compression;
    sys::HANDLE file = sys::INVALID_HANDLE_VALUE;
    std::unique_ptr<TZipFileSource> source;
    QSet<QString> folderKeys;
};

// A name as libarchive gives it: its UTF-8 form, else the stored bytes
// decoded as file names are.
QString LibArchiveText(const char *utf8, const char *raw);

} // namespace kestrel
