#pragma once
// The process-wide "operation running" state. A file operation, and every
// question asked on its behalf, holds a TOperationGuard; while any guard
// lives, a panel reload (for example from a change notification) must wait,
// because the operation may still hold entries of the listing.

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

namespace kestrel {

class TOperationState : public QObject {
    Q_OBJECT
public:
    static TOperationState &Instance();

    bool Running() const { return depth > 0; }

    // Runs action at once when no operation runs; otherwise once, from the
    // event loop, after the last guard has gone. A later request for the same
    // context replaces an earlier one, so a burst of changes gives one reload.
    // context must not be null; the action is dropped when context is
    // destroyed first.
    void RunWhenIdle(QObject *context, std::function<void()> action);

Q_SIGNALS:
    // The last guard has gone (emitted at once, before deferred actions run).
    void Ended();

private:
    friend class TOperationGuard;
    void Enter();
    void Leave();
    void RunPending();

    int depth = 0;
    bool flushQueued = false;
    QHash<QObject *, std::pair<QPointer<QObject>, std::function<void()>>> pending;
};

// Marks an operation or question as running for its lifetime.
class TOperationGuard {
public:
    TOperationGuard() { TOperationState::Instance().Enter(); }
    ~TOperationGuard() { TOperationState::Instance().Leave(); }
    TOperationGuard(const TOperationGuard &) = delete;
    TOperationGuard &operator=(const TOperationGuard &) = delete;
};

} // namespace kestrel
