// The description commands: add or change the descriptions of the entries a
// command works on, and delete all descriptions of the panel's folder.

#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "panel/descriptfile.h"
#include "panel/kfileview.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/trash.h"
#include "text/strings.h"

namespace kestrel {

namespace {

// Indexes of the selected entries, else of the focused one; never ".." or a
// drive.
QList<int> DescribedIndexes(const TKFileView &view)
{
    QList<int> indexes;
    for (int i = 0; i < view.Files.Count(); ++i)
        if (view.Files[i]->Selected)
            indexes.append(i);
    const TFile *focused = view.GetItemFocused();
    if (indexes.isEmpty() && focused && !focused->IsParent() && focused->Kind() != fkDrive)
        indexes.append(view.FocusedIndex);
    return indexes;
}

QString WithoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

void TfMain::Description1Click()
{
    // An archive's entries have no descriptions; the folder's file is not
    // theirs. The Trash's entries are described by its own records.
    if (fileView->OwnerData() || fileView->FoundMode() ||
        !sys::TrashOfFilesFolder(fileView->Folder()).isEmpty())
        return;
    const QList<int> indexes = DescribedIndexes(*fileView);
    if (indexes.isEmpty())
        return;
    for (qsizetype n = 0; n < indexes.size(); ++n) {
        TFile &entry = *fileView->Files[indexes[n]];
        const QString name = entry.GetFullName();
        if (!TDescriptFile::CanDescribe(name)) {
            Ask().MessageBox(this,
                             AboutObject(name, QStringLiteral("A name with \"=\" or a line break "
                                                              "cannot have a description.")),
                             LoadStr(512), MB_OK | MB_ICONERROR);
            continue;
        }
        QString text = entry.Description;
        if (Ask().GetString(this, LoadStr(510), LoadStr(509).replace(QLatin1String("%s"), name),
                            text, false, false) == mrOk) {
            entry.SetDescription(WithoutTrailingBlanks(text));
            fileView->Deselect(indexes[n]);
            continue;
        }
        if (n + 1 < indexes.size() &&
            Ask().MessageBox(this, LoadStr(511), LoadStr(512), MB_YESNO | MB_ICONERROR) != mrYes)
            break;
    }
    if (!fileView->SaveDescript())
        ShowError(int(sys::GetLastError()), TDescriptFile(fileView->Folder()).Path(), LoadStr(512),
                  true);
    fileView->update();
}

void TfMain::DeleteAllDescriptions1Click()
{
    if (fileView->OwnerData())
        return;
    const QString path = TDescriptFile(fileView->Folder()).Path();
    if (sys::GetFileAttributes(path) == sys::INVALID_FILE_ATTRIBUTES)
        return;
    if (Ask().MessageBox(this, LoadStr(528), LoadStr(529), MB_YESNO | MB_ICONQUESTION) != mrYes)
        return;
    if (!fileView->DeleteAllDescript())
        ShowError(int(sys::GetLastError()), path, LoadStr(512), true);
    fileView->update();
}

} // namespace kestrel
