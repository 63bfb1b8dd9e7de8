#include "ops/operationlock.h"

#include <QMetaObject>

namespace kestrel {

TOperationState &TOperationState::Instance()
{
    static TOperationState state;
    return state;
}

void TOperationState::RunWhenIdle(QObject *context, std::function<void()> action)
{
    if (!Running()) {
        action();
        return;
    }
    pending.insert(context, {QPointer<QObject>(context), std::move(action)});
}

void TOperationState::Enter()
{
    ++depth;
}

void TOperationState::Leave()
{
    if (--depth > 0)
        return;
    Q_EMIT Ended();
    // Deferred work runs from the event loop, not inside the operation's own
    // return path: the command that ran it may still use the entries.
    if (!pending.isEmpty() && !flushQueued) {
        flushQueued = true;
        QMetaObject::invokeMethod(this, &TOperationState::RunPending, Qt::QueuedConnection);
    }
}

void TOperationState::RunPending()
{
    flushQueued = false;
    // Another operation may have started since the flush was queued; its own
    // end queues the flush again.
    while (!Running() && !pending.isEmpty()) {
        auto it = pending.begin();
        const QPointer<QObject> context = it->first;
        const std::function<void()> action = std::move(it->second);
        pending.erase(it);
        if (context)
            action();
    }
}

} // namespace kestrel
