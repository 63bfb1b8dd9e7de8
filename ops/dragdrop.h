#pragma once
// The panel's drag and drop without a window: which kinds a drag from the
// panel offers, where a drop over the panel would go, and which effect it
// takes. The widget side (ops/paneldragdrop.h) feeds it mouse and drag events.

#include "platform/wintypes.h"

#include <QPoint>
#include <QString>
#include <QStringList>

namespace kestrel {

class TFileListing;

// Moves shorter than this (in x and in y) from the press are clicks, not drags.
inline constexpr int dragThreshold = 3;
// A drag this close to the panel's top or bottom edge scrolls it.
inline constexpr int dropScrollMargin = 15;

enum class TDragButton { Left, Right };

// The kinds (DROPEFFECT_* bits) a drag from the panel offers.
// driveFocused: nothing is selected and the focused entry is a drive.
sys::DWORD DragSourceEffects(TDragButton button, bool ctrl, bool shift, bool driveFocused);

// True when the cursor has gone far enough from the press to start a drag.
bool DragThresholdPassed(const QPoint &down, const QPoint &now);

// What a drag from the panel carries: the selected entries, or the focused
// entry when nothing is selected (a drive gives its root); ".." never.
QStringList DragFiles(const TFileListing &panel);

// The entries a clipboard command works on: the selected entries, or the
// focused entry when nothing is selected; ".." and drive entries never.
QStringList CommandFiles(const TFileListing &panel);

// What decides the effect of a drop besides the drag state.
struct TDropKeys {
    bool ctrl = false;
    bool shift = false;
};

// The effect of a drop: offered are the kinds the source allows, sameDrive
// tells whether the dragged files and the panel's folder share a drive.
// A menu drag keeps every offered kind (the drop menu chooses); otherwise no
// effect over the source folder or an archive, Ctrl+Shift link, Shift move,
// Ctrl copy (none when the source refuses what the keys ask), and with no key
// a move on one drive and a copy across drives.
sys::DWORD ChooseDropEffect(sys::DWORD offered, const TDropKeys &keys, bool menuDrag,
                            bool sameFolder, bool archive, bool sameDrive);

// DROPEFFECT_SCROLL when y (in the panel) is near its top or bottom edge.
sys::DWORD ScrollEffect(int y, int height);

// The state of one drag over the panel, from enter to leave or drop. A
// folder entry under the cursor (not part of the selection) takes the focus
// and the drop; elsewhere the drop goes to the panel's folder and the focus
// returns to where it was when the drag came in.
class TDropTarget {
public:
    explicit TDropTarget(TFileListing &panel) : panel(panel) {}

    // files: the full paths offered; leftButton: the drag is a plain one.
    void Enter(const QStringList &files, bool leftButton);
    void Over(int x, int y);
    void Leave();

    sys::DWORD Effect(sys::DWORD offered, const TDropKeys &keys, int y, int height) const;

    QString SourceFolder() const { return sourceFolder; }
    QString DropFolder() const { return dropFolder; }
    bool MenuDrag() const { return menuDrag; }
    bool SameFolder() const { return sameFolder; }

private:
    void RestoreFocus();

    TFileListing &panel;
    QString sourceFolder;
    QString dropFolder;
    int savedFocus = -1;
    bool menuDrag = false;
    bool sameFolder = false;
};

} // namespace kestrel
