#pragma once
// TXPGauge: the block progress bar of the progress windows. It also keeps
// the remaining-time estimate, ticked by its own thread timer from Start
// until the bar is full, the estimate falls below 3 seconds, or Stop.

#include "text/remainingtime.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

namespace kestrel {

class TThreadTimer;

class TXPGauge : public QWidget {
    Q_OBJECT
public:
    explicit TXPGauge(QWidget *parent = nullptr);
    ~TXPGauge() override;

    quint64 MaxValue() const { return maxValue; }
    void SetMaxValue(quint64 value); // 0 is ignored
    quint64 Progress() const { return progress; }
    // Ignored above MaxValue. Processes pending events when the visible step
    // changes, which keeps the windows responsive during a long run.
    void SetProgress(quint64 value);
    int TotalStep() const { return totalStep; }
    // Fixes the number of blocks; 0 lets it follow the size.
    void SetTotalStep(int steps);
    int RemainSeconds() const { return estimate.RemainSeconds(); }

    void Start(); // a new run: progress 0, estimate ticking every 3 s
    void Pause() { paused = true; }
    void Restart() { paused = false; }
    void Stop(); // no estimate any more: RemainSeconds -1, OnRemainSeconds fired

    QSize sizeHint() const override;

Q_SIGNALS:
    void OnRemainSeconds(int seconds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int VisibleStep() const;
    void UpdateStep(bool processEvents);
    void Tick();
    void FreeTimer();

    quint64 maxValue = 100;
    quint64 progress = 0;
    int totalStep = 0;
    bool fixedStep = false;
    int drawnStep = 0;
    bool paused = false;
    TRemainingTime estimate;
    QElapsedTimer clock;
    std::unique_ptr<TThreadTimer> timer;
};

} // namespace kestrel
