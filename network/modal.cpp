#include "network/modal.h"

#include "ops/operationlock.h"

#include <QDialog>
#include <QPointer>

namespace kestrel {

int ExecModal(QDialog &dialog, QWidget *owner)
{
    const QPointer<QWidget> window = owner ? owner->window() : nullptr;
    dialog.adjustSize();
    if (window)
        dialog.move(window->frameGeometry().center() - dialog.rect().center());
    // Like a question: the panel is not listed again under the code that
    // opened the dialog while it runs.
    int result = 0;
    {
        const TOperationGuard held;
        result = dialog.exec();
    }
    if (window && window->isVisible())
        window->activateWindow();
    return result;
}

} // namespace kestrel
