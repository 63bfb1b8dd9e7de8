// The System and Help menus: the user's special folders, the desktop's disk
// and settings tools, and the help pages.

#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/errors.h"
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
