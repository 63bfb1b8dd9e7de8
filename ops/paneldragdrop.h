#pragma once
// TPanelDragDrop: drag and drop for the file panel, as an event filter on
// it. Mouse press and move start a drag of the panel's entries; drags from
// here or from other programs are received over the panel and dropped into
// the panel's folder or the folder entry under the cursor, through the
// operation engine or as shortcuts. A drop with another button than the left
// one asks with the drop menu.
//
// Installed once by the main window: new TPanelDragDrop(fileView, this);

#include "ops/dragdrop.h"

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTimer>

#include <functional>

class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QMouseEvent;
class QWidget;

namespace kestrel {

class TKFileView;

class TPanelDragDrop : public QObject {
    Q_OBJECT
public:
    // owner: the window the operations and their questions belong to.
    TPanelDragDrop(TKFileView *view, QWidget *owner);

    // The drop menu for the offered kinds; each item's data is its effect.
    static QMenu *CreateDropMenu(QWidget *parent, sys::DWORD offered);

    // Shows the drop menu at a global position and returns the chosen
    // effect, DROPEFFECT_NONE for Cancel. Tests replace it.
    std::function<sys::DWORD(const QPoint &globalPos, sys::DWORD offered)> OnDropMenu;
    // Runs the drag with the files and allowed kinds; tests replace it.
    std::function<void(const QStringList &files, sys::DWORD allowed)> OnStartDrag;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool MousePress(QMouseEvent *event);
    bool MouseMove(QMouseEvent *event);
    void DragEnter(QDragMoveEvent *event);
    void DragMove(QDragMoveEvent *event);
    void DragLeave();
    void Drop(QDropEvent *event);
    void Perform(const QStringList &files, const QString &folder, sys::DWORD effect);
    sys::DWORD ExecDropMenu(const QPoint &globalPos, sys::DWORD offered);
    void RunDrag(const QStringList &files, sys::DWORD allowed);
    void ScrollTick();

    TKFileView *view;
    QWidget *owner;
    TDropTarget target;
    QStringList dropFiles; // the files offered by the drag over the panel
    QTimer scrollTimer;
    int scrollY = 0;
    // The press that may start a drag.
    QPoint downPos;
    Qt::MouseButton downButton = Qt::NoButton;
    bool downOnSelectArea = false;
};

} // namespace kestrel
