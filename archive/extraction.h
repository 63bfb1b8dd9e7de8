#pragma once
// TArchiveExtraction: one extract command over one or more archives. It
// creates a handler per archive, shows the progress window, asks the
// file-exists and volume questions, and keeps an answer for all from one
// archive to the next.

#include "archive/archive.h"

#include <QString>
#include <QStringList>

class QObject;

namespace kestrel {

class TArchiveExtraction {
public:
    explicit TArchiveExtraction(QObject *owner) : owner(owner) {}
    TArchiveExtraction(const TArchiveExtraction &) = delete;
    TArchiveExtraction &operator=(const TArchiveExtraction &) = delete;

    // Extracts names (paths inside the archive; all when empty) of the
    // archive below the destination, with a handler of its own. False when
    // the file is of no type with a handler.
    bool ExtractArchive(const QString &archivePath, const QString &destination,
                        const QStringList &names);
    // The same with a handler made and named already.
    void ExtractWith(TArchive &archive, const QString &destination, const QStringList &names);
    // Each file into the destination, or with toFolders into a new folder
    // beside it named after its base name. Files that are no archives are
    // skipped.
    void ExtractFiles(const QStringList &paths, const QString &destination, bool toFolders);

    // The conflict answer kept for the next archive; presetting it with
    // feAll and feOverwrite or feSkip answers every question in advance.
    int KeptMode() const { return keptMode; }
    void SetKeptMode(int mode) { keptMode = mode; }

private:
    void Progress(TArchive &archive, int kind, sys::INT64 amount, const QString &name);
    void ChangeVolume(const QString &volumeName, int &result);
    void FileExists(const TFile &entry, int &mode, QString &targetPath);

    QObject *owner;
    int keptMode = 0;
    int itemCount = 0;
    bool windowOpen = false;
};

// The caption of the pop-up "Extract to" item: the focused file's base name
// in quotes when nothing is marked, "Extract to folders" when items are;
// without a focused file, "Extract to" alone.
QString ExtractToCaption(const QString &focusedFileName, int markedCount);

} // namespace kestrel
