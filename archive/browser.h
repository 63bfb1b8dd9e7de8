#pragma once
// TArchiveBrowser: the archive open in a file panel. It holds the handler
// while the archive is open, walks its folders, fills the panel's list and
// gives the path the panel shows; files opened from it are extracted into
// the program's private temporary folder.

#include "archive/archive.h"

#include <QString>

#include <memory>

class QObject;

namespace kestrel {

class TArchiveExtraction;

class TArchiveBrowser {
public:
    explicit TArchiveBrowser(QObject *owner) : owner(owner) {}

    enum TEntryAction { eaClose, eaFolder, eaFile };

    bool IsOpen() const { return archive != nullptr; }
    TArchive *Archive() const { return archive.get(); }
    QString ArchivePath() const { return archivePath; }

    // Reads the archive and shows its root. False, with nothing open, for
    // a file of no type with a handler or not of its type's format (which
    // the handler has said); another archive open is closed.
    bool Open(const QString &path);
    // Frees the archive; returns the name of its file, for the focus.
    QString Close();
    // Moves to a folder ("..", "\" or a name). False when the archive lacks
    // it; focus is the name to focus afterwards, "" for the first entry.
    bool ChangeFolder(const QString &name, QString &focus);
    // The panel's listing: "..", then the current folder's entries.
    void Fill(TFiles &files) const;
    // The archive's path, followed by the current folder inside it.
    QString PanelPath() const;
    // The same from the archive's file name on.
    QString Title() const;
    // What opening an entry of the panel does.
    TEntryAction ActionFor(const TFile &entry) const;
    // An entry's path inside the archive.
    QString ItemPath(const QString &name) const;
    // Extracts a file of the current folder into a new private temporary
    // folder; the path to start, or "" when it was not extracted.
    QString ExtractForOpening(const QString &name, TArchiveExtraction &extraction) const;

private:
    QObject *owner;
    std::unique_ptr<TArchive> archive;
    QString archivePath;
    sys::FILETIME archiveTime;
};

} // namespace kestrel
