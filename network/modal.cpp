#include "network/modal.h"

#include <QDialog>
#include <QPointer>

namespace kestrel {

int ExecModal(QDialog &dialog, QWidget *owner)
{
    const QPointer<QWidget> window = owner ? owner->window() : nullptr;
    dialog.adjustSize();
    if (window)
        dialog.move(window->frameGeometry().center() - dialog.rect().center());
    const int result = dialog.exec();
    if (window && window->isVisible())
        window->activateWindow();
    return result;
}

} // namespace kestrel
