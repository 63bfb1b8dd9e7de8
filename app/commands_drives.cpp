// The drive and network commands: the network browser, mapping and
// disconnecting drive letters, formatting, and the properties window.

#include "app/driveservices.h"
#include "app/mainwindow.h"
#include "app/treedialog.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "panel/diskinfopanel.h"
#include "panel/drivefacts.h"
#include "panel/fproperties.h"
#include "panel/kfileview.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/errors.h"

namespace kestrel {

namespace {

// Drives that cannot be formatted from here, and the network row.
QString UnformattableDrives()
{
    QString excluded;
    for (const sys::DriveInfo &drive : sys::Drives()) {
        if (drive.type == sys::DRIVE_CDROM || drive.type == sys::DRIVE_RAMDISK ||
            drive.type == sys::DRIVE_REMOTE)
            excluded += drive.letter;
    }
    return excluded + QLatin1Char('/');
}

} // namespace

void TfMain::Network1Click()
{
    const QString share = driveServices->SelectNetworkShare(this, fileView->Drive());
    if (!share.isEmpty() && !SetFolder(share))
        ShowError(int(sys::GetLastError()), share, LoadStr(512), true);
}

void TfMain::Tree1Click()
{
    const QString folder = SelectFolderDialog(this, *ini, DiskFolder(), fileView->Drive(),
                                              fileView->LastDirs, LoadStr(517));
    if (!folder.isEmpty() && !SetFolder(folder))
        ShowError(int(sys::GetLastError()), folder, LoadStr(512), true);
}

void TfMain::MapNetworkDrive1Click()
{
    if (!driveServices->MapNetworkDrive(this))
        return;
    const TFile *focused = fileView->GetItemFocused();
    RefreshKeepingFocus(focused ? focused->GetFullName() : QString());
}

void TfMain::DisconnectNetworkDrive1Click()
{
    if (!driveServices->DisconnectNetworkDrive(this, fileView->Drive()))
        return;
    // The panel's own drive may be the one that went.
    if (!sys::GetVolumeInformation(DriveRoot(fileView->Drive()), nullptr, nullptr)) {
        const QList<sys::DriveInfo> drives = sys::Drives();
        if (!drives.isEmpty())
            SetFolder(QString(drives.first().letter) + QLatin1String(":\\"));
        return;
    }
    const TFile *focused = fileView->GetItemFocused();
    RefreshKeepingFocus(focused ? focused->GetFullName() : QString());
}

void TfMain::Format1Click()
{
    if (Ask().MessageBox(this,
                         QStringLiteral("Formatting will erase all data on disk.\n"
                                        "Are you sure you want to format this disk?"),
                         QStringLiteral("Format Warning"), MB_YESNO | MB_ICONWARNING) != mrYes)
        return;
    QString drive = fileView->Drive();
    if (Ask().SelectDrive(this, drive, {}, UnformattableDrives()) != mrOk || drive.size() != 1 ||
        !drive[0].isLetter())
        return;
    FormatDrive(drive[0].toUpper(), false);
}

void TfMain::Properties1Click()
{
    const TFile *focused = fileView->GetItemFocused();
    if (!focused || fileView->OwnerData())
        return;
    QString path;
    if (focused->Kind() == fkDrive)
        path = focused->Name == QLatin1String("/") ? QString() : DriveRoot(focused->Name);
    else if (focused->IsParent())
        path = fileView->Folder();
    else
        path = fileView->GetFileName();
    if (!path.isEmpty())
        TfProperties::Open(path, this);
}

} // namespace kestrel
