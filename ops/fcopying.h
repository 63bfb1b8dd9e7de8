#pragma once
// TfCopying: the copy/move progress window with the remaining-time estimate.
// One instance lives for the whole run of the program and serves every copy.

#include "ops/progress.h"
#include "ops/progresswindow.h"

class QLabel;
class QPushButton;

namespace kestrel {

class TXPGauge;

class TfCopying : public TProgressWindow, public TCopyProgress {
    Q_OBJECT
public:
    explicit TfCopying(QWidget *parent = nullptr);

    void Open(bool byteMode, const QString &caption, int fileCount, sys::UINT64 totalBytes,
              QObject *owner) override;
    void SetFrom(const QString &text) override;
    void SetTo(const QString &text) override;
    void SetFileName(const QString &text) override;
    int StartedCount() const override { return startedCount; }
    void SetStartedCount(int count) override;
    int TotalCount() const { return totalCount; }
    void SetTotalCount(int count);
    sys::UINT64 Progress() const override;
    void SetProgress(sys::UINT64 value) override;
    void PauseTimer() override;
    void RestartTimer() override;
    bool Cancelled() const override { return CancelFlag(); }
    void Close() override;

    QLabel *Path;
    QLabel *FileName;
    QLabel *lCount;
    QLabel *TotalSize;
    TXPGauge *Gauge;
    QLabel *Remaining;
    QPushButton *XPButton1;

protected:
    void Reset() override;
    void Closing() override;

private:
    void UpdatePath();
    void UpdateCount();
    void RemainSecondsChanged(int seconds);

    QString from;
    QString to;
    int startedCount = 0;
    int totalCount = 0;
};

} // namespace kestrel
