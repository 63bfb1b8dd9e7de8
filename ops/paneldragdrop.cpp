#include "ops/paneldragdrop.h"

#include "ops/clipboardformats.h"
#include "ops/operationlock.h"
#include "ops/transfer.h"
#include "panel/kfileview.h"

#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace kestrel {

namespace {

// Qt numbers its drop actions as the shell numbers its drop effects.
static_assert(Qt::CopyAction == DROPEFFECT_COPY && Qt::MoveAction == DROPEFFECT_MOVE &&
              Qt::LinkAction == DROPEFFECT_LINK);

constexpr sys::DWORD effectKinds = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr int scrollInterval = 300; // ms between scroll steps near an edge

sys::DWORD EffectsOf(Qt::DropActions actions)
{
    return sys::DWORD(actions.toInt()) & effectKinds;
}

Qt::DropAction ActionOf(sys::DWORD effect)
{
    for (const sys::DWORD kind : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
        if (effect & kind)
            return Qt::DropAction(kind);
    }
    return Qt::IgnoreAction;
}

TDropKeys KeysOf(Qt::KeyboardModifiers modifiers)
{
    return {(modifiers & Qt::ControlModifier) != 0, (modifiers & Qt::ShiftModifier) != 0};
}

QStringList OfferedFiles(const QMimeData *data)
{
    QStringList files;
    if (data)
        GetClipboardFiles(*data, files);
    return files;
}

} // namespace

TPanelDragDrop::TPanelDragDrop(TKFileView *view, QWidget *owner)
    : QObject(view), view(view), owner(owner), target(*view)
{
    OnDropMenu = [this](const QPoint &pos, sys::DWORD offered) {
        return ExecDropMenu(pos, offered);
    };
    OnStartDrag = [this](const QStringList &files, sys::DWORD allowed) { RunDrag(files, allowed); };
    scrollTimer.setInterval(scrollInterval);
    connect(&scrollTimer, &QTimer::timeout, this, &TPanelDragDrop::ScrollTick);
    view->setAcceptDrops(true);
    view->installEventFilter(this);
}

QMenu *TPanelDragDrop::CreateDropMenu(QWidget *parent, sys::DWORD offered)
{
    auto *menu = new QMenu(parent);
    const std::pair<const char *, sys::DWORD> items[] = {
        {"&Copy Here", DROPEFFECT_COPY},
        {"&Move Here", DROPEFFECT_MOVE},
        {"Create &Shortcut(s) Here", DROPEFFECT_LINK},
    };
    for (const auto &[caption, effect] : items) {
        QAction *action = menu->addAction(QString::fromLatin1(caption));
        action->setData(uint(effect));
        action->setEnabled(offered & effect);
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cancel"))->setData(uint(DROPEFFECT_NONE));
    return menu;
}

bool TPanelDragDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != view)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return MousePress(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return MouseMove(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        downButton = Qt::NoButton;
        return false;
    case QEvent::DragEnter:
        DragEnter(static_cast<QDragEnterEvent *>(event));
        return true;
    case QEvent::DragMove:
        DragMove(static_cast<QDragMoveEvent *>(event));
        return true;
    case QEvent::DragLeave:
        DragLeave();
        return true;
    case QEvent::Drop:
        Drop(static_cast<QDropEvent *>(event));
        return true;
    default:
        return false;
    }
}

bool TPanelDragDrop::MousePress(QMouseEvent *event)
{
    downButton = Qt::NoButton;
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return false;
    downPos = event->position().toPoint();
    downButton = event->button();
    downOnSelectArea = view->SelectAreaAt(downPos.x(), downPos.y()) >= 0;
    return false; // the panel still focuses and selects
}

bool TPanelDragDrop::MouseMove(QMouseEvent *event)
{
    if (downButton == Qt::NoButton || !(event->buttons() & downButton) || downOnSelectArea ||
        !DragThresholdPassed(downPos, event->position().toPoint()))
        return false;
    const TDragButton button =
        downButton == Qt::LeftButton ? TDragButton::Left : TDragButton::Right;
    downButton = Qt::NoButton; // one drag per press
    if (view->SelCount == 0) {
        const int index = view->GetItemAt(downPos.x(), downPos.y());
        const TFile *entry = view->Files.Get(index);
        if (!entry || entry->IsParent())
            return false;
        // A right press does not move the focus; the drag takes the entry pressed.
        view->SetFocused(index);
    }
    const TFile *focused = view->GetItemFocused();
    const bool driveFocused = view->SelCount == 0 && focused && focused->Kind() == fkDrive;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const sys::DWORD allowed = DragSourceEffects(button, modifiers & Qt::ControlModifier,
                                                 modifiers & Qt::ShiftModifier, driveFocused);
    const QStringList files = DragFiles(*view);
    if (files.isEmpty())
        return false;
    OnStartDrag(files, allowed);
    return true;
}

void TPanelDragDrop::RunDrag(const QStringList &files, sys::DWORD allowed)
{
    auto *drag = new QDrag(view);
    auto *data = new QMimeData;
    SetClipboardFiles(*data, files, false);
    drag->setMimeData(data);
    drag->exec(Qt::DropActions::fromInt(int(allowed)), ActionOf(allowed));
}

void TPanelDragDrop::DragEnter(QDragMoveEvent *event)
{
    dropFiles = OfferedFiles(event->mimeData());
    if (dropFiles.isEmpty()) {
        event->ignore();
        return;
    }
    // Drags from other programs come without the button state; those count
    // as plain drags rather than asking each time.
    const Qt::MouseButtons buttons = event->buttons();
    const bool plain =
        (buttons & Qt::LeftButton) || !(buttons & (Qt::RightButton | Qt::MiddleButton));
    target.Enter(dropFiles, plain);
    // Accepted even where no drop is allowed yet, so that moves over a
    // subfolder still arrive.
    DragMove(event);
    event->accept();
}

void TPanelDragDrop::DragMove(QDragMoveEvent *event)
{
    if (dropFiles.isEmpty()) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    target.Over(pos.x(), pos.y());
    const sys::DWORD effect = target.Effect(EffectsOf(event->possibleActions()),
                                            KeysOf(event->modifiers()), pos.y(), view->height());
    if (effect & DROPEFFECT_SCROLL) {
        scrollY = pos.y();
        if (!scrollTimer.isActive())
            scrollTimer.start();
    } else {
        scrollTimer.stop();
    }
    const sys::DWORD kinds = effect & effectKinds;
    if (kinds == DROPEFFECT_NONE) {
        event->ignore();
        return;
    }
    const Qt::DropAction proposed = event->proposedAction();
    event->setDropAction((kinds & sys::DWORD(proposed)) ? proposed : ActionOf(kinds));
    event->accept();
}

void TPanelDragDrop::DragLeave()
{
    scrollTimer.stop();
    target.Leave();
    dropFiles.clear();
}

void TPanelDragDrop::Drop(QDropEvent *event)
{
    scrollTimer.stop();
    const QStringList files = OfferedFiles(event->mimeData());
    if (files.isEmpty() || view->OwnerData() || view->FoundMode()) {
        DragLeave();
        event->ignore();
        return;
    }
    if (dropFiles.isEmpty())
        target.Enter(files, true);
    dropFiles.clear();
    const QPoint pos = event->position().toPoint();
    target.Over(pos.x(), pos.y());
    const sys::DWORD kinds = target.Effect(EffectsOf(event->possibleActions()),
                                           KeysOf(event->modifiers()), pos.y(), view->height()) &
                             effectKinds;
    if (kinds == DROPEFFECT_NONE) {
        target.Leave();
        event->ignore();
        return;
    }
    const QString folder = target.DropFolder();
    const bool menuDrag = target.MenuDrag();
    const QPoint globalPos = view->mapToGlobal(pos);
    // The source hears "copy" for a move as well: the files are moved here,
    // and a source that deletes its originals after a reported move could
    // otherwise remove what a cancelled or partly skipped move left behind.
    event->setDropAction(kinds == DROPEFFECT_LINK ? Qt::LinkAction : Qt::CopyAction);
    event->accept();
    // The work runs after the drop returns, so the source is not held
    // waiting during the menu or a long copy.
    QMetaObject::invokeMethod(
        this,
        [this, files, folder, menuDrag, globalPos, kinds] {
            const sys::DWORD effect = menuDrag ? OnDropMenu(globalPos, kinds) : kinds;
            if (effect != DROPEFFECT_NONE)
                Perform(files, folder, effect);
        },
        Qt::QueuedConnection);
}

void TPanelDragDrop::Perform(const QStringList &files, const QString &folder, sys::DWORD effect)
{
    TransferFiles(owner, files, folder, effect);
    ReloadWhenIdle(view, *view);
}

sys::DWORD TPanelDragDrop::ExecDropMenu(const QPoint &globalPos, sys::DWORD offered)
{
    const TOperationGuard question;
    QMenu *menu = CreateDropMenu(view, offered);
    const QAction *chosen = menu->exec(globalPos);
    const sys::DWORD effect = chosen ? sys::DWORD(chosen->data().toUInt()) : DROPEFFECT_NONE;
    delete menu;
    return effect;
}

void TPanelDragDrop::ScrollTick()
{
    view->ScrollLines(scrollY < dropScrollMargin ? -1 : 1);
}

} // namespace kestrel
