#include "app/keyhelp.h"

#include "app/btnstatusbar.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kestrel {

namespace {

bool IsHelpKey(int key)
{
    return key == Qt::Key_Alt || key == Qt::Key_Control;
}

// Shift and the Windows keys neither show nor end a help.
bool IsNeutralKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

TKeyHelp::TKeyHelp(TBtnStatusBar &bar, QWidget &panel) : bar(bar), panel(panel)
{
    panel.installEventFilter(this);
    panel.window()->installEventFilter(this);
}

bool TKeyHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &panel)
        return PanelEvent(event);
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        bar.SetKeyHelpMode(khNormal);
        break;
    case QEvent::WindowActivate:
        FollowHeldKeys();
        break;
    default:
        break;
    }
    return false;
}

bool TKeyHelp::PanelEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (IsHelpKey(key))
            bar.SetKeyHelpMode(key == Qt::Key_Alt ? khAlt : khCtrl);
        else if (!IsNeutralKey(key))
            bar.SetKeyHelpMode(khNormal);
        return false;
    }
    // A shortcut's key is never delivered as a key press; it is announced
    // to the panel first.
    case QEvent::ShortcutOverride:
        if (const int key = static_cast<QKeyEvent *>(event)->key();
            !IsHelpKey(key) && !IsNeutralKey(key))
            bar.SetKeyHelpMode(khNormal);
        return false;
    case QEvent::KeyRelease:
        if (!IsHelpKey(static_cast<QKeyEvent *>(event)->key()))
            return false;
        bar.SetKeyHelpMode(khNormal);
        return true;
    case QEvent::FocusOut:
        bar.SetKeyHelpMode(khNormal);
        return false;
    case QEvent::FocusIn:
        FollowHeldKeys();
        return false;
    default:
        return false;
    }
}

void TKeyHelp::FollowHeldKeys()
{
    if (!panel.hasFocus() || !panel.window()->isActiveWindow()) {
        bar.SetKeyHelpMode(khNormal);
        return;
    }
    const Qt::KeyboardModifiers held =
        QGuiApplication::queryKeyboardModifiers() & ~Qt::KeypadModifier;
    bar.SetKeyHelpMode(held == Qt::AltModifier       ? khAlt
                       : held == Qt::ControlModifier ? khCtrl
                                                     : khNormal);
}

} // namespace kestrel
