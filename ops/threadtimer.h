#pragma once
// TThreadTimer: a timer whose ticks come from its own worker thread, so they
// keep coming while the UI thread is busy copying. Each tick is handed to
// the thread the timer lives in (the UI thread) by a queued signal; OnTimer
// is emitted there.

#include <QObject>

#include <memory>

namespace kestrel {

class TTimerThread;

class TThreadTimer : public QObject {
    Q_OBJECT
public:
    explicit TThreadTimer(QObject *parent = nullptr);
    ~TThreadTimer() override;

    int Interval() const { return interval; }
    // Milliseconds between ticks, never less than 10. Takes effect at the
    // next Enable.
    void SetInterval(int ms);
    bool Enabled() const { return thread != nullptr; }
    // Enabling starts the worker thread; disabling stops it and waits for it
    // (it wakes at once), so no tick of the old run arrives afterwards.
    void SetEnabled(bool enabled);

Q_SIGNALS:
    void OnTimer();

private:
    void Tick(quint64 generation);

    int interval = 3000;
    quint64 generation = 0;
    std::unique_ptr<TTimerThread> thread;
};

} // namespace kestrel
