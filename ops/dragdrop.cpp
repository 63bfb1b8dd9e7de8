#include "ops/dragdrop.h"

#include "ops/clipboardformats.h"
#include "panel/filelisting.h"
#include "platform/drives.h"

#include <cstdlib>

namespace kestrel {

namespace {

// The folder part of a path in the panel's form: no trailing backslash
// except at a drive root.
QString FolderOf(const QString &path)
{
    QString folder = sys::ExtractFilePath(path);
    if (folder.endsWith(QLatin1Char('\\')) && !sys::IsRoot(folder))
        folder.chop(1);
    return folder;
}

bool SameDrive(const QString &a, const QString &b)
{
    return sys::SameText(sys::ExtractFileDrive(a), sys::ExtractFileDrive(b));
}

} // namespace

sys::DWORD DragSourceEffects(TDragButton button, bool ctrl, bool shift, bool driveFocused)
{
    const sys::DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    if (button == TDragButton::Right)
        return all;
    if (driveFocused || (ctrl && shift))
        return DROPEFFECT_LINK;
    if (ctrl)
        return DROPEFFECT_COPY;
    if (shift)
        return DROPEFFECT_MOVE;
    return all;
}

bool DragThresholdPassed(const QPoint &down, const QPoint &now)
{
    return std::abs(now.x() - down.x()) > dragThreshold ||
           std::abs(now.y() - down.y()) > dragThreshold;
}

QStringList DragFiles(const TFileListing &panel)
{
    QStringList files;
    if (panel.SelCount == 0) {
        const TFile *focused = panel.GetItemFocused();
        if (focused && !focused->IsParent())
            files.append(panel.GetFileName());
        return files;
    }
    for (int i = 0; i < panel.Files.Count(); ++i) {
        if (panel.Files[i]->Selected)
            files.append(sys::JoinPath(panel.Folder(), panel.Files[i]->GetFullName()));
    }
    return files;
}

QStringList CommandFiles(const TFileListing &panel)
{
    if (panel.SelCount == 0) {
        const TFile *focused = panel.GetItemFocused();
        if (!focused || focused->IsParent() || focused->Kind() == fkDrive)
            return {};
    }
    return DragFiles(panel);
}

sys::DWORD ChooseDropEffect(sys::DWORD offered, const TDropKeys &keys, bool menuDrag,
                            bool sameFolder, bool archive, bool sameDrive)
{
    if (menuDrag)
        return offered;
    if (sameFolder || archive)
        return DROPEFFECT_NONE;
    if (keys.ctrl && keys.shift && (offered & DROPEFFECT_LINK))
        return DROPEFFECT_LINK;
    if (keys.shift && (offered & DROPEFFECT_MOVE))
        return DROPEFFECT_MOVE;
    if (keys.ctrl && (offered & DROPEFFECT_COPY))
        return DROPEFFECT_COPY;
    // A key asks for a kind the source does not allow.
    if (keys.ctrl || keys.shift)
        return DROPEFFECT_NONE;
    if (sameDrive && (offered & DROPEFFECT_MOVE))
        return DROPEFFECT_MOVE;
    for (const sys::DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
        if (offered & effect)
            return effect;
    }
    return DROPEFFECT_NONE;
}

sys::DWORD ScrollEffect(int y, int height)
{
    return (y < dropScrollMargin || y >= height - dropScrollMargin) ? DROPEFFECT_SCROLL
                                                                    : DROPEFFECT_NONE;
}

void TDropTarget::Enter(const QStringList &files, bool leftButton)
{
    sourceFolder = files.isEmpty() ? QString() : FolderOf(files.first());
    dropFolder = panel.Folder();
    savedFocus = panel.FocusedIndex;
    menuDrag = !leftButton;
    sameFolder = sys::SameText(dropFolder, sourceFolder);
}

void TDropTarget::Over(int x, int y)
{
    const int index = panel.GetItemAt(x, y);
    const TFile *entry = panel.Files.Get(index);
    if (entry && entry->Kind() == fkFolder && !entry->Selected) {
        panel.SetFocused(index);
        dropFolder = entry->IsParent() ? FolderOf(panel.Folder())
                                       : sys::JoinPath(panel.Folder(), entry->GetFullName());
    } else if (!entry || entry->Kind() != fkFolder) {
        dropFolder = panel.Folder();
        RestoreFocus();
    }
    // A selected folder under the cursor keeps the last drop folder: the
    // dragged items are never dropped into one of themselves.
    sameFolder = sys::SameText(dropFolder, sourceFolder);
}

void TDropTarget::Leave()
{
    RestoreFocus();
}

sys::DWORD TDropTarget::Effect(sys::DWORD offered, const TDropKeys &keys, int y, int height) const
{
    const sys::DWORD effect =
        ChooseDropEffect(offered, keys, menuDrag, sameFolder, panel.OwnerData(),
                         SameDrive(sourceFolder, panel.Folder()));
    return effect | ScrollEffect(y, height);
}

void TDropTarget::RestoreFocus()
{
    if (savedFocus >= 0 && savedFocus < panel.Files.Count())
        panel.SetFocused(savedFocus);
}

} // namespace kestrel
