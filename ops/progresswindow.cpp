#include "ops/progresswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QWindow>

namespace kestrel {

TProgressWindow::TProgressWindow(QWidget *parent) : QDialog(parent)
{
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
}

void TProgressWindow::OpenOver(QObject *owner)
{
    QWidget *window = nullptr;
    if (auto *widget = qobject_cast<QWidget *>(owner))
        window = widget->window();
    cancelled = false;
    Reset();
    adjustSize();
    if (window && window != this) {
        // A child window would be disabled with its owner, so the progress
        // window stays top-level and is only kept above the owner.
        create();
        if (window->windowHandle())
            windowHandle()->setTransientParent(window->windowHandle());
        move(window->frameGeometry().center() - rect().center());
        window->setEnabled(false);
        window->installEventFilter(this);
        disabledOwner = window;
    } else if (QScreen *screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    QCoreApplication::processEvents();
}

void TProgressWindow::closeEvent(QCloseEvent *event)
{
    Closing();
    cancelled = true;
    if (disabledOwner) {
        disabledOwner->removeEventFilter(this);
        disabledOwner->setEnabled(true);
        disabledOwner->activateWindow();
    }
    disabledOwner = nullptr;
    event->accept();
}

bool TProgressWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == disabledOwner && event->type() == QEvent::WindowActivate && isVisible())
        activateWindow();
    return QDialog::eventFilter(watched, event);
}

void TProgressWindow::reject()
{
    cancelled = true;
}

} // namespace kestrel
