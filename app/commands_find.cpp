#include "app/mainwindow.h"
#include "app/navigationbar.h"
#include "app/workfolderbuttons.h"
#include "archive/archivetype.h"
#include "find/ffindfiles.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "panel/diskinfopanel.h"
#include "panel/kfileview.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "text/strings.h"

namespace kestrel {

void TfMain::FindFiles1Click()
{
    // Each search starts in the panel's folder; the other fields are kept.
    findForm.folders = DiskFolder();
    TfFindFiles dialog(this, findForm);
    dialog.exec();
    // Where no window manager hands the keys back, the main window takes them.
    activateWindow();
    const QString keep = findForm.folders;
    dialog.Read(findForm);
    findForm.folders = keep;
    if (dialog.Outcome() == TfFindFiles::foGoToFile)
        GoToFound(dialog.Focused());
    else if (dialog.Outcome() == TfFindFiles::foFeed)
        FeedFound(dialog.Fed());
}

void TfMain::FeedFound(const QStringList &paths)
{
    const TFeed feed = FeedOf(paths);
    if (feed.root.isEmpty()) {
        Ask().MessageBox(this,
                         QStringLiteral("The items found lie on several drives; the panel lists "
                                        "the items of one drive at a time."),
                         QStringLiteral("Find Files"), MB_OK | MB_ICONWARNING);
        return;
    }
    CloseArchive();
    if (!fileView->ShowFound(feed.root, feed.names)) {
        ShowError(int(sys::GetLastError()), feed.root, LoadStr(512), true);
        return;
    }
    if (pathCaption)
        UpdateCaption();
    navigation->ShowFolder(feed.root);
    diskInfo->SetFolder(feed.root, false);
    workFolders->Recolor();
    UpdateStatus();
}

// What would put something into the panel's folder: a found listing is no
// folder, so these are refused there with a word why.
bool TfMain::RefusedInFound(TCmd cmd)
{
    if (!fileView->FoundMode())
        return false;
    switch (cmd) {
    case TCmd::CreateNew:
    case TCmd::CreateNewFolder:
    case TCmd::EditPaste:
    case TCmd::PasteShortcut:
    case TCmd::CreateShortcut:
    case TCmd::LowercaseFilename:
    case TCmd::UppercaseFilename:
        break;
    default:
        return false;
    }
    Ask().MessageBox(this,
                     QStringLiteral("The panel lists items found in many folders; it is no "
                                    "folder, so nothing can be put into it. Press Backspace to "
                                    "go back to a folder."),
                     LoadStr(512), MB_OK | MB_ICONWARNING);
    return true;
}

void TfMain::GoToFound(const QString &path)
{
    // An item inside an archive: the archive itself in its folder.
    QString target = path;
    for (QString part = FoundFolder(path); !part.isEmpty() && part.size() > 3;
         part = FoundFolder(part)) {
        const sys::DWORD attributes = sys::GetFileAttributes(part);
        if (ArchiveTypeOf(part) != atNone && attributes != sys::INVALID_FILE_ATTRIBUTES &&
            !(attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
            target = part;
    }
    if (!SetFolder(FoundFolder(target)))
        return;
    const int index = fileView->Files.IndexOf(FoundName(target));
    if (index >= 0)
        fileView->SetFocused(index);
}

} // namespace kestrel
