// The System and Help menus: the user's special folders, the Trash, the
// desktop's disk and settings tools, and the help pages.

#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/filedelete.h"
#include "text/strings.h"
#include "panel/kfileview.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kestrel {

namespace {

const QString kCaption = QStringLiteral("Kestrel");
const QString kRecycleBin = QStringLiteral("Recycle Bin");

QStringList FolderEntries(const QString &folder)
{
    QStringList entries;
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        entries.append(sys::JoinPath(folder, data.cFileName));
        return true;
    });
    return entries;
}

// The help pages, native: in the folder of the files that came with the
// program, "" when they are missing.
QString HelpFolder()
{
    const QString shared = sys::SharedDir();
    QByteArray native;
    if (shared.isEmpty() ||
        sys::GetFileAttributes(shared + QStringLiteral("help\\index.html")) ==
            sys::INVALID_FILE_ATTRIBUTES ||
        !sys::ToNative(shared + QStringLiteral("help"), native))
        return QString();
    return QFileInfo(sys::DecodeName(native)).canonicalFilePath();
}

} // namespace

void TfMain::SpecialFolderClick(int which)
{
    const sys::SpecialFolder folders[] = {sys::SpecialFolder::Desktop,
                                          sys::SpecialFolder::StartMenu,
                                          sys::SpecialFolder::Personal, sys::SpecialFolder::Temp};
    const QString names[] = {QStringLiteral("Desktop"), QStringLiteral("Start Menu"),
                             QStringLiteral("My Documents"), QStringLiteral("Temp")};
    const QString folder = sys::GetSpecialFolder(folders[which]);
    if (folder.isEmpty() || !SetFolder(folder))
        ShowError(sys::ERROR_PATH_NOT_FOUND, folder.isEmpty() ? names[which] : folder, LoadStr(512),
                  true);
}

void TfMain::RecycleBin1Click()
{
    const QString trash = sys::GetSpecialFolder(sys::SpecialFolder::Trash);
    if (trash.isEmpty()) {
        ShowError(sys::ERROR_PATH_NOT_FOUND, kRecycleBin, LoadStr(512), true);
        return;
    }
    // A Trash never used has no folder yet: it is empty.
    if (sys::GetFileAttributes(trash) == sys::INVALID_FILE_ATTRIBUTES) {
        Ask().MessageBox(this, QStringLiteral("The Recycle Bin is empty."), kRecycleBin,
                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!SetFolder(trash))
        ShowError(sys::ERROR_PATH_NOT_FOUND, trash, LoadStr(512), true);
}

void TfMain::EmptyRecycleBin1Click()
{
    QString trash = sys::GetSpecialFolder(sys::SpecialFolder::Trash);
    const QString caption = QStringLiteral("Empty Recycle Bin");
    if (trash.endsWith(QLatin1Char('\\')))
        trash.chop(1);
    if (trash.isEmpty()) {
        ShowError(sys::ERROR_PATH_NOT_FOUND, kRecycleBin, LoadStr(512), true);
        return;
    }
    const QString base = sys::ExtractFilePath(trash);
    const QStringList items = FolderEntries(trash);
    if (items.isEmpty()) {
        Ask().MessageBox(this, QStringLiteral("The Recycle Bin is empty."), caption,
                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString question =
        items.size() == 1
            ? QStringLiteral("Are you sure you want to permanently delete the item in the "
                             "Recycle Bin?")
            : QStringLiteral("Are you sure you want to permanently delete all %1 items in the "
                             "Recycle Bin?")
                  .arg(items.size());
    if (Ask().MessageBox(this, question, caption, MB_YESNO | MB_ICONWARNING) != mrYes)
        return;
    // The items, then their restore records and the cached folder sizes.
    TFileDelete run(this);
    run.UseRecycleBin = false;
    run.WarnAttributes = false;
    run.Files = items;
    for (const QString &info : FolderEntries(base + QStringLiteral("info")))
        if (info.endsWith(QLatin1String(".trashinfo"), Qt::CaseInsensitive))
            run.Files.append(info);
    const QString sizes = base + QStringLiteral("directorysizes");
    if (sys::GetFileAttributes(sizes) != sys::INVALID_FILE_ATTRIBUTES)
        run.Files.append(sizes);
    run.Execute();
    if (fileView->Folder().startsWith(base.left(base.size() - 1), Qt::CaseInsensitive))
        fileView->Refresh(QString(), false);
}

void TfMain::FormatDrive(QChar, bool)
{
    // The desktop's disk tool picks the device and asks before it formats.
    StartDesktopTool({QStringLiteral("gnome-disks"), QStringLiteral("partitionmanager"),
                      QStringLiteral("kde-partitionmanager")},
                     QStringLiteral("This system has no disk formatting tool."));
}

void TfMain::DiskCopy1Click()
{
    const QStringList tools = {QStringLiteral("gnome-disks")};
    const QString missing = QStringLiteral("This system has no disk copy tool.");
    bool found = false;
    for (const QString &tool : tools)
        found = found || !sys::FindProgram(tool).isEmpty();
    if (found &&
        Ask().MessageBox(this,
                         QStringLiteral("Insert source disk you want to copy and click OK button."),
                         QStringLiteral("Disk Copy"), MB_OKCANCEL | MB_ICONINFORMATION) != mrOk)
        return;
    StartDesktopTool(tools, missing);
}

void TfMain::StartDesktopTool(const QStringList &candidates, const QString &missing,
                              const QStringList &args)
{
    for (const QString &tool : candidates) {
        if (sys::FindProgram(tool).isEmpty())
            continue;
        if (!sys::StartProgram(tool, args, DiskFolder()))
            ShowError(sys::GetLastError(), tool, LoadStr(512), true);
        return;
    }
    Ask().MessageBox(this, missing, kCaption, MB_OK | MB_ICONINFORMATION);
}

void TfMain::HelpClick(const QString &page)
{
    const QString folder = HelpFolder();
    if (folder.isEmpty() ||
        !QDesktopServices::openUrl(QUrl::fromLocalFile(folder + QLatin1Char('/') + page)))
        Ask().MessageBox(this,
                         AboutObject(folder.isEmpty() ? page : folder + QLatin1Char('/') + page,
                                     QStringLiteral("The help pages cannot be opened.")),
                         kCaption, MB_OK | MB_ICONERROR);
}

void TfMain::About1Click()
{
    Ask().MessageBox(this, QStringLiteral("Kestrel 4.0\n\nA fast, keyboard-driven file manager."),
                     QStringLiteral("About Kestrel"), MB_OK | MB_ICONINFORMATION);
}

} // namespace kestrel
