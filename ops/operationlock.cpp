#include "ops/operationlock.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace kestrel {

namespace {

// The state belongs to the GUI thread, where the panels live; work running
// on another thread holds none of their entries.
bool OnGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

} // namespace

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
    if (!OnGuiThread())
        return;
    ++depth;
}

void TOperationState::Leave()
{
    if (!OnGuiThread())
        return;
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
