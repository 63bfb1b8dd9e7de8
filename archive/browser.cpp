#include "archive/browser.h"

#include "archive/archivetype.h"
#include "archive/extraction.h"
#include "archive/handlers.h"
#include "archive/privatetemp.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/fileapi.h"

#include <utility>

namespace kestrel {

bool TArchiveBrowser::Open(const QString &path)
{
    std::unique_ptr<TArchive> opened = CreateArchiveHandler(ArchiveTypeOf(path));
    if (!opened)
        return false;
    archive = std::move(opened);
    archivePath = path;
    // ".." stands for the archive file, and shows its time.
    archiveTime = sys::FILETIME();
    sys::WIN32_FIND_DATA data;
    const sys::HANDLE found = sys::FindFirstFile(path, data);
    if (found != sys::INVALID_HANDLE_VALUE) {
        archiveTime = data.ftLastWriteTime;
        sys::FindClose(found);
    }
    archive->Owner = owner;
    archive->SetFileName(path);
    if (archive->WrongFormat) {
        Close();
        return false;
    }
    archive->ChangeDir(QStringLiteral("\\"));
    return true;
}

QString TArchiveBrowser::Close()
{
    archive.reset();
    return sys::ExtractFileName(std::exchange(archivePath, QString()));
}

bool TArchiveBrowser::ChangeFolder(const QString &name, QString &focus)
{
    if (!archive)
        return false;
    const QString current = archive->CurrentDir;
    QString next;
    if (name == QLatin1String(".."))
        next = current.section(QLatin1Char('\\'), -1);
    else if (name == QLatin1String("\\"))
        next = current.section(QLatin1Char('\\'), 0, 0);
    if (!archive->ChangeDir(name))
        return false;
    focus = next;
    return true;
}

void TArchiveBrowser::Fill(TFiles &files) const
{
    files.AddFile(QStringLiteral(".."), 0, sys::FILE_ATTRIBUTE_DIRECTORY, archiveTime);
    if (archive)
        archive->FillList(files);
}

QString TArchiveBrowser::PanelPath() const
{
    if (!archive || archive->CurrentDir.isEmpty())
        return archivePath;
    return archivePath + QLatin1Char('\\') + archive->CurrentDir;
}

QString TArchiveBrowser::Title() const
{
    return PanelPath().mid(sys::ExtractFilePath(archivePath).size());
}

TArchiveBrowser::TEntryAction TArchiveBrowser::ActionFor(const TFile &entry) const
{
    if (entry.IsParent() && archive && archive->CurrentDir.isEmpty())
        return eaClose;
    return entry.Kind() == fkFolder ? eaFolder : eaFile;
}

QString TArchiveBrowser::ItemPath(const QString &name) const
{
    if (!archive || archive->CurrentDir.isEmpty())
        return name;
    return archive->CurrentDir + QLatin1Char('\\') + name;
}

QString TArchiveBrowser::ExtractForOpening(const QString &name,
                                           TArchiveExtraction &extraction) const
{
    if (!archive)
        return QString();
    const QString folder = TPrivateTempFolder::Instance().NewFolder();
    if (folder.isEmpty())
        return QString();
    const QString item = ItemPath(name);
    extraction.ExtractArchive(archivePath, folder, {item});
    const QString path = sys::JoinPath(folder, item);
    return sys::GetFileAttributes(path) == sys::INVALID_FILE_ATTRIBUTES ? QString() : path;
}

} // namespace kestrel
