#include "ops/threadtimer.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

namespace kestrel {

// Sleeps an interval at a time on a wait condition, so stopping wakes it at
// once instead of after the current sleep.
class TTimerThread : public QThread {
    Q_OBJECT
public:
    TTimerThread(int interval, quint64 generation) : interval(interval), generation(generation) {}

    void Stop()
    {
        QMutexLocker lock(&mutex);
        stopped = true;
        wake.wakeAll();
    }

Q_SIGNALS:
    void Ticked(quint64 generation);

protected:
    void run() override
    {
        QMutexLocker lock(&mutex);
        while (!stopped) {
            wake.wait(&mutex, QDeadlineTimer(interval));
            if (!stopped)
                Q_EMIT Ticked(generation);
        }
    }

private:
    const int interval;
    const quint64 generation;
    QMutex mutex;
    QWaitCondition wake;
    bool stopped = false;
};

TThreadTimer::TThreadTimer(QObject *parent) : QObject(parent) {}

TThreadTimer::~TThreadTimer()
{
    SetEnabled(false);
}

void TThreadTimer::SetInterval(int ms)
{
    interval = qMax(ms, 10);
}

void TThreadTimer::SetEnabled(bool enabled)
{
    if (enabled == Enabled())
        return;
    if (enabled) {
        thread = std::make_unique<TTimerThread>(interval, ++generation);
        connect(thread.get(), &TTimerThread::Ticked, this, &TThreadTimer::Tick,
                Qt::QueuedConnection);
        thread->start();
    } else {
        thread->Stop();
        thread->wait();
        thread.reset();
    }
}

void TThreadTimer::Tick(quint64 tickGeneration)
{
    // A tick queued just before the thread stopped belongs to an old run.
    if (thread && tickGeneration == generation)
        Q_EMIT OnTimer();
}

} // namespace kestrel

#include "threadtimer.moc"
