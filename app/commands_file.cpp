// The main window's file and folder commands and what the command line asks
// of the window.

#include "app/inifile.h"
#include "app/mainwindow.h"
#include "app/selectedlist.h"
#include "app/settings.h"
#include "ops/ask.h"
#include "ops/changenotify.h"
#include "ops/clipboardtransfer.h"
#include "ops/completesound.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "panel/kfileview.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shell.h"
#include "platform/shellicons.h"
#include "platform/shelllink.h"
#include "text/strings.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kestrel {

namespace {

// The entries a command works on: the selected ones, else the focused one;
// never ".." or a drive.
QList<const TFile *> CommandEntries(const TKFileView &view)
{
    QList<const TFile *> entries;
    for (int i = 0; i < view.Files.Count(); ++i)
        if (view.Files[i]->Selected)
            entries.append(view.Files[i]);
    const TFile *focused = view.GetItemFocused();
    if (entries.isEmpty() && focused && !focused->IsParent() && focused->Kind() != fkDrive)
        entries.append(focused);
    return entries;
}

} // namespace

// TCommandTarget ---------------------------------------------------------

TPanelNames TfMain::PanelNames() const
{
    TPanelNames names;
    names.folder = fileView->Folder();
    for (const TFile *entry : CommandEntries(*fileView))
        names.selected.append(entry->GetFullName());
    if (const TFile *focused = fileView->GetItemFocused())
        names.focused = focused->GetFullName();
    return names;
}

bool TfMain::SetFolder(const QString &path)
{
    // A folder on disk is entered from the folder the archive lies in.
    CloseArchive();
    const QString before = fileView->Folder();
    fileView->SetFolder(path);
    if (fileView->Folder() != before)
        return true;
    // The same folder again ("." or ".." at a root) is no failure.
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

void TfMain::RunProgram(const QString &program, const QString &parameters)
{
    StartProgramIn(program, SplitArguments(parameters));
}

void TfMain::StartProgramIn(const QString &program, const QStringList &args)
{
    const QString folder = DiskFolder();
    // A name of the panel's folder: a program there, or a document opened by
    // the desktop.
    const QString local = program.contains(QLatin1Char('\\')) || program.contains(QLatin1Char(':'))
                              ? program
                              : sys::JoinPath(folder, program);
    if (sys::GetFileAttributes(local) != sys::INVALID_FILE_ATTRIBUTES) {
        if (sys::StartProgram(local, args, folder) || (args.isEmpty() && sys::ShellOpen(local)))
            return;
    } else if (sys::StartProgram(program, args, folder)) {
        return;
    }
    ShowError(sys::GetLastError(), program, LoadStr(512), true);
}

void TfMain::OpenFocused()
{
    fileView->setFocus();
    fileView->Open();
}

void TfMain::Exit()
{
    close();
}

// File menu ----------------------------------------------------------------

void TfMain::OpenWithParameters1Click()
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused)
        return;
    commandLine.OpenWithParameters(focused->Kind() != fkFile);
}

void TfMain::CreateNew1Click()
{
    QString name;
    if (Ask().GetString(this, QStringLiteral("Create New"),
                        QStringLiteral("Create 0 size file\nPut the filename you want to make"),
                        name, false, false) != mrOk ||
        name.trimmed().isEmpty())
        return;
    name = name.trimmed();
    // An existing file of that name is left as it is, without a message.
    const sys::HANDLE file =
        sys::CreateFile(name, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_ARCHIVE);
    if (file != sys::INVALID_HANDLE_VALUE)
        sys::CloseHandle(file);
    RefreshKeepingFocus(name);
}

void TfMain::CreateNewFolder1Click()
{
    QString name = QStringLiteral("New Folder");
    if (Ask().GetString(this, QStringLiteral("New Folder"),
                        QStringLiteral("Enter the folder name you want to create."), name, true,
                        false) != mrOk)
        return;
    name = name.trimmed();
    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    if (!sys::CreateDirectory(name))
        ShowError(sys::GetLastError(), AbsolutePath(name), LoadStr(512), true);
    else
        RefreshKeepingFocus(name);
    shChangeNotify->SetActive(watching);
}

void TfMain::RefreshKeepingFocus(const QString &focusName)
{
    fileView->Refresh(focusName, false);
}

QString TfMain::FocusedPath() const
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused)
        return QString();
    return PathNameText(fileView->Folder(), focused->GetFullName(), focused->Kind() == fkDrive);
}

// Edit menu ----------------------------------------------------------------

// Restore Selection brings back the entries last put on the clipboard.
void TfMain::RememberSelection()
{
    const QList<const TFile *> entries = CommandEntries(*fileView);
    if (entries.isEmpty())
        return;
    LastSelection.clear();
    for (const TFile *entry : entries)
        LastSelection.append(sys::JoinPath(fileView->Folder(), entry->GetFullName()));
}

void TfMain::Copy1Click()
{
    RememberSelection();
    CopyToClipboard(*fileView);
}

void TfMain::Cut1Click()
{
    RememberSelection();
    CutToClipboard(*fileView);
}

void TfMain::Paste1Click()
{
    if (Paste(*fileView, this))
        PlayCompleteSound(ReadSetting(*ini, key::Sound));
}

void TfMain::PasteShortcut1Click()
{
    PasteShortcut(*fileView, this);
}

// The path goes to other programs, so it is native; one that cannot be
// converted (a drive not ready) is given as the panel shows it.
void TfMain::CopyPathName1Click()
{
    const QString path = FocusedPath();
    const QString native = sys::GetShortPathName(path);
    if (!path.isEmpty())
        QGuiApplication::clipboard()->setText(native.isEmpty() ? path : native);
}

void TfMain::RestoreSelection1Click()
{
    if (LastSelection.isEmpty())
        return;
    fileView->DeselectAll(true);
    // Names from the folder shown: a found entry's carries its folders.
    QString folder = fileView->Folder();
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    for (const QString &path : LastSelection) {
        const int index = fileView->Files.IndexOf(
            path.startsWith(folder) ? path.mid(folder.size()) : sys::ExtractFileName(path));
        if (index >= 0)
            fileView->Select(index);
    }
    fileView->update();
}

void TfMain::SelectGroupClick(bool select)
{
    QString masks;
    if (Ask().GetString(this, LoadStr(521), LoadStr(520), masks, false, false) == mrOk &&
        !masks.trimmed().isEmpty())
        fileView->SelectGroup(masks.trimmed(), select);
}

void TfMain::CustomFilter1Click()
{
    QString filter = fileView->Filter();
    if (Ask().GetString(this, LoadStr(521), LoadStr(520), filter, true, false) == mrOk &&
        !filter.trimmed().isEmpty())
        fileView->SetFilter(filter.trimmed());
}

// Tools menu ---------------------------------------------------------------

void TfMain::SaveSelectedList1Click()
{
    QList<TListedEntry> entries;
    for (int i = 0; i < fileView->Files.Count(); ++i) {
        const TFile *file = fileView->Files[i];
        if (file->Selected)
            entries.append({file->GetFullName(), file->Time, file->Attributes, file->Size});
    }
    SaveSelectedList(this, fileView->Folder(), entries);
}

void TfMain::TextClick(int tag)
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused || focused->Kind() != fkFile)
        return;
    // The program starts in the file's own folder, which a found entry's
    // name leads into.
    const QString path = sys::JoinPath(fileView->Folder(), focused->GetFullName());
    QString folder = sys::ExtractFilePath(path);
    if (folder.size() > 3 && folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    const QString program = ReadSetting(*ini, tag == 0 ? key::View : key::Edit);
    // Without the configured program the desktop's default application for
    // the file opens it.
    if (!sys::FindProgram(program).isEmpty()) {
        if (!sys::StartProgram(program, {sys::ExtractFileName(path)}, folder))
            ShowError(sys::GetLastError(), program, LoadStr(512), true);
        return;
    }
    if (!sys::ShellOpen(path))
        ShowError(sys::GetLastError(), path, LoadStr(512), true);
}

void TfMain::CreateShortcutIn(const QString &folder)
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused || focused->IsParent() || folder.isEmpty())
        return;
    if (!sys::CreateShortcut(FocusedPath(), folder)) {
        ShowError(sys::GetLastError(), FocusedPath(), LoadStr(512), true);
        return;
    }
    if (folder.compare(fileView->Folder(), Qt::CaseInsensitive) == 0)
        RefreshKeepingFocus(focused->GetFullName());
}

} // namespace kestrel
