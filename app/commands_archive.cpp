// The main window's archive behaviour: archives open in the panel like
// folders, files opened from them, the extract commands, making archives,
// their properties and Install.

#include "app/archivedialogs.h"
#include "app/destination.h"
#include "app/inifile.h"
#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/workfolderbuttons.h"
#include "archive/archivestrings.h"
#include "archive/archivetype.h"
#include "archive/create.h"
#include "archive/extraction.h"
#include "archive/install.h"
#include "ops/changenotify.h"
#include "ops/errors.h"
#include "panel/kfileview.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shellicons.h"
#include "text/strings.h"
#include "tools/splitformat.h"

#include <QAction>
#include <QApplication>

#include <algorithm>

namespace kestrel {

namespace {

// The hourglass while an archive's directory is read.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

QStringList MarkedNames(const TKFileView &view)
{
    QStringList names;
    for (int i = 0; i < view.Files.Count(); ++i) {
        const TFile *file = view.Files[i];
        if (file->Selected && !file->IsParent() && file->Kind() != fkDrive)
            names.append(file->GetFullName());
    }
    return names;
}

} // namespace

QString TfMain::DiskFolder() const
{
    return InArchive() ? folderBeforeArchive : fileView->Folder();
}

void TfMain::FileViewOpen(bool &handled)
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused)
        return;
    if (!InArchive()) {
        if (focused->Kind() == fkFile && !ReadSetting(*ini, key::ExtArcPrg) &&
            ArchiveTypeOf(focused->GetFullName()) != atNone) {
            handled = true;
            OpenArchive(fileView->GetFileName());
        }
        return;
    }
    handled = true;
    if (focused->Kind() == fkDrive) {
        const QString drive = focused->Name;
        CloseArchive();
        fileView->SetDrive(drive);
        return;
    }
    switch (archive.ActionFor(*focused)) {
    case TArchiveBrowser::eaClose:
        return CloseArchive();
    case TArchiveBrowser::eaFolder:
        return ChangeArchiveFolder(focused->Name);
    case TArchiveBrowser::eaFile:
        return OpenArchivedFile();
    }
}

void TfMain::OpenArchive(const QString &path)
{
    if (ArchiveTypeOf(path) == atNone)
        return;
    if (!InArchive()) {
        // From a found listing the archive's own folder takes it back.
        folderBeforeArchive =
            fileView->FoundMode() ? sys::ExtractFilePath(path) : fileView->Folder();
        if (folderBeforeArchive.size() > 3 && folderBeforeArchive.endsWith(QLatin1Char('\\')))
            folderBeforeArchive.chop(1);
        watchingBeforeArchive = shChangeNotify->Active();
    }
    shChangeNotify->SetActive(false);
    {
        const TWaitCursor wait;
        if (!archive.Open(path)) {
            shChangeNotify->SetActive(watchingBeforeArchive);
            return;
        }
    }
    fileView->SetOwnerData(true);
    ShowArchivePath(QString());
}

// The panel shows the archive's current folder, its path in the folder
// field (archive path plus folder) and in the title.
void TfMain::ShowArchivePath(const QString &focusName)
{
    fileView->SetFolder(archive.PanelPath());
    fileView->Refresh(focusName, false);
    if (pathCaption)
        UpdateCaption();
    workFolders->Recolor();
}

void TfMain::ChangeArchiveFolder(const QString &name)
{
    QString focus;
    if (archive.ChangeFolder(name, focus))
        ShowArchivePath(focus);
}

void TfMain::ArchiveUpOneLevel()
{
    if (archive.Archive()->CurrentDir.isEmpty())
        CloseArchive();
    else
        ChangeArchiveFolder(QStringLiteral(".."));
}

void TfMain::LeaveArchive()
{
    if (!InArchive())
        return;
    fileView->Files.Clear();
    fileView->SetOwnerData(false);
    archive.Close();
    shChangeNotify->SetActive(watchingBeforeArchive);
}

void TfMain::CloseArchive()
{
    if (!InArchive())
        return;
    const QString name = sys::ExtractFileName(archive.ArchivePath());
    LeaveArchive();
    // The folder may have gone meanwhile; the process's current folder is
    // still the one the archive lies in, or the nearest that is left.
    if (!fileView->SetFolder(folderBeforeArchive))
        fileView->SetFolder(sys::GetCurrentDirectory());
    const int index = fileView->Files.IndexOf(name);
    if (index >= 0)
        fileView->SetFocused(index);
}

void TfMain::OpenArchivedFile()
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused || focused->Kind() != fkFile)
        return;
    TArchiveExtraction extraction(this);
    const QString path = archive.ExtractForOpening(focused->GetFullName(), extraction);
    // A file that was not extracted has been reported by the extraction.
    if (!path.isEmpty() && !sys::ShellOpen(path))
        ShowError(int(sys::GetLastError()), path, LoadStr(512), true, this);
}

void TfMain::ExtractCommand(bool toFolders)
{
    QStringList names = MarkedNames(*fileView);
    const TFile *focused = fileView->GetItemFocused();
    if (names.isEmpty()) {
        if (!focused || focused->IsParent() || focused->Kind() == fkDrive)
            return;
        if (!InArchive() && ArchiveTypeOf(focused->GetFullName()) == atNone)
            return;
        names.append(focused->GetFullName());
    }
    const QString focusName = focused ? focused->GetFullName() : QString();
    QString destination;
    if (!toFolders || InArchive()) {
        destination = AskDestination(this, DiskFolder(), workFolders->Folders(),
                                     ReadSetting(*ini, key::NoTreeA));
        if (destination.isEmpty())
            return;
    }
    TArchiveExtraction extraction(this);
    if (InArchive()) {
        for (QString &name : names)
            name = archive.ItemPath(name);
        extraction.ExtractArchive(archive.ArchivePath(), destination, names);
    } else {
        for (QString &name : names)
            name = sys::JoinPath(fileView->Folder(), name);
        extraction.ExtractFiles(names, destination, toFolders);
    }
    RefreshKeepingFocus(focusName);
}

void TfMain::UpdateExtractToCaption()
{
    const TFile *focused = fileView->GetItemFocused();
    mainMenu->ContextItem(TCmd::ExtractTo)
        ->setText(
            ExtractToCaption(focused ? focused->GetFullName() : QString(), fileView->SelCount));
}

void TfMain::AddToArchive(bool move)
{
    if (InArchive())
        return;
    const TFile *focused = fileView->GetItemFocused();
    const bool focusOnItem = focused && !focused->IsParent() && focused->Kind() != fkDrive;
    QStringList names;
    bool anyFolder = false;
    for (int i = 0; i < fileView->Files.Count(); ++i) {
        const TFile *file = fileView->Files[i];
        if (file->Selected && !file->IsParent() && file->Kind() != fkDrive) {
            names.append(file->GetFullName());
            anyFolder = anyFolder || file->Kind() == fkFolder;
        }
    }
    if (names.isEmpty()) {
        if (!focusOnItem)
            return;
        names.append(focused->GetFullName());
        anyFolder = focused->Kind() == fkFolder;
    }
    const QString folder = fileView->Folder();
    TArchiveForm form;
    form.caption = ArchiveStr(move ? 545 : 546);
    form.recursive = anyFolder;
    if (focusOnItem) {
        form.fileName = ProposedArchiveName(focused->GetFullName());
    } else {
        QString own = folder;
        while (own.endsWith(QLatin1Char('\\')))
            own.chop(1);
        form.fileName = sys::ExtractFileName(own).remove(QLatin1Char(':'));
    }
    form.format = std::clamp(ReadSetting(*ini, key::ArchiveType), 0, 3);
    form.compression = std::clamp(ReadSetting(*ini, key::Compression), 0, 2);
    form.volume = QStringLiteral("None");
    form.accept = [this](TArchiveForm &shown) { return AcceptArchiveForm(this, shown); };
    const int result = Ask().ArchiveOptions(this, form);
    // The choices are kept whichever button closed the dialog.
    WriteSetting(*ini, key::ArchiveType, std::clamp(form.format, 0, 3));
    WriteSetting(*ini, key::Compression, std::clamp(form.compression, 0, 2));
    if (result != mrOk || form.fileName.trimmed().isEmpty())
        return;

    TCreateRequest request;
    request.name = sys::FromTypedPath(form.fileName.trimmed());
    request.type = TArchiveType(std::clamp(form.format, 0, 3));
    request.folder = folder;
    request.names = names;
    request.move = move;
    request.recurse = form.recursive;
    request.compression = std::clamp(form.compression, 0, 2);
    request.volumeSize = request.type == atZip ? 0 : sys::INT64(ParseSizeText(form.volume));
    request.password = form.password;
    if (request.type == atRar)
        request.programPath = ReadSetting(*ini, key::RAR);
    else if (request.type == atArj)
        request.programPath = ReadSetting(*ini, key::ARJ);
    else if (request.type == atAce)
        request.programPath = ReadSetting(*ini, key::ACE);
    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    TArchiveCreation creation(this);
    const QString path = creation.Create(request);
    const bool here = sys::SameText(sys::ExtractFilePath(path), sys::JoinPath(folder, QString()));
    RefreshKeepingFocus(here ? sys::ExtractFileName(path)
                             : (focused ? focused->GetFullName() : QString()));
    shChangeNotify->SetActive(watching);
}

void TfMain::ArchiveProperties()
{
    if (!InArchive())
        return;
    const TArchive &open = *archive.Archive();
    TArchivePropForm form;
    form.fileName = sys::ExtractFileName(archive.ArchivePath());
    form.totalFiles = ThousandsText(sys::UINT64(open.EntryCount()));
    form.originalSize = ThousandsText(open.TotalSize());
    form.packedSize = ThousandsText(open.TotalPackedSize());
    form.ratio = open.Ratio();
    Ask().ArchiveProperties(this, form);
}

void TfMain::InstallCommand()
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused || focused->Kind() != fkFile)
        return;
    QString archivePath;
    QString inside;
    if (InArchive()) {
        archivePath = archive.ArchivePath();
        const QString item = archive.ItemPath(focused->GetFullName());
        const QString lower = item.toLower();
        if (lower.endsWith(QLatin1String(".exe")) || lower.endsWith(QLatin1String(".sh")))
            inside = item;
    } else {
        archivePath = sys::JoinPath(fileView->Folder(), focused->GetFullName());
        if (ArchiveTypeOf(archivePath) == atNone)
            return;
    }
    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    TInstall install(this);
    install.Run(archivePath, inside);
    shChangeNotify->SetActive(watching);
}

} // namespace kestrel
