#pragma once
// TRar: the archive handler for RAR archives. Listing and extraction go
// through UnrarLibrary's calls; adding runs the outside rar program with a
// list file of the names.

#include "archive/archive.h"
#include "archive/unrarlibrary.h"

namespace kestrel {

class TRar : public TArchive {
public:
    TRar();
    ~TRar() override;

    void ReadList() override;
    void Extract(const QString &destination) override;
    void Add() override;

    // True when the path is one of Names or lies below one of them (a name
    // selects itself and, when it is a folder, everything inside it, never
    // a longer name that merely begins with it).
    bool IsSelected(const QString &path) const;
    // The arguments of the add run.
    QStringList AddArguments(const QString &archive, const QString &listFile) const;
    // Shows the message of a library result code in a box captioned
    // "UnRAR"; the text is returned too.
    QString ShowRarError(int code) const;
    // The message text of a result code.
    QString RarErrorText(int code) const;

    // The handler whose extraction is running; only the library's
    // procedures read it.
    static TRar *Current;

private:
    // Copies the already placed file a hard link shares its data with to
    // the staged path; false when it was not extracted here.
    bool StageHardLink(const QString &destination, const QString &staged,
                       const QString &linked) const;
};

} // namespace kestrel
