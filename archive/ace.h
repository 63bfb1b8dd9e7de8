#pragma once
// TAce: the archive handler for ACE archives. Listing and extraction go
// through TUnaceLibrary (open, read header, process file, close); adding
// runs the external ACE archiver (ProgramPath, "ace32.exe" by default) with
// a list file.

#include "archive/archive.h"

#include <QSet>
#include <QStringList>

namespace kestrel {

class TArchiveMessages;

// Where an ACE result code was met: it decides some of the messages.
enum TAceContext : int { acOpening, acReading, acProcessing };

// The caption of the handler's messages.
QString AceCaption();

// The message of an ACE result code; empty when the code shows none.
QString AceMessage(int code, TAceContext context, bool passwordSet);

class TAce : public TArchive {
public:
    bool ExtractRunning = false;
    int ProcessedCount = 0; // files the last extraction wrote

    void ReadList() override;
    void Extract(const QString &destination) override;
    void Add() override;

    // The archiver's arguments for Add, the list file last.
    QStringList AddArguments(const QString &listFile) const;

private:
    void ShowCode(int code, TAceContext context) const;
    void Report(int kind, sys::INT64 amount, const QString &name);
    // False skips the item (or cancels, setting Cancel).
    bool MayWrite(const QString &target, const QString &relative, sys::UINT64 size,
                  std::uint32_t time);

    QSet<QString> folderKeys;
};

} // namespace kestrel
