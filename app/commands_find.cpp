#include "app/mainwindow.h"
#include "archive/archivetype.h"
#include "find/ffindfiles.h"
#include "panel/kfileview.h"
#include "platform/fileapi.h"

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
