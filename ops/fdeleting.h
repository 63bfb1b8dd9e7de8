#pragma once
// TfDeleting: the delete progress window. One instance lives for the whole
// run of the program and serves every delete.

#include "ops/progress.h"
#include "ops/progresswindow.h"

class QLabel;
class QPushButton;

namespace kestrel {

class TXPGauge;

class TfDeleting : public TProgressWindow, public TDeleteProgress {
    Q_OBJECT
public:
    explicit TfDeleting(QWidget *parent = nullptr);

    void Open(int maxValue, QObject *owner) override;
    void SetItem(const QString &text) override;
    int Progress() const override;
    void SetProgress(int value) override;
    bool Cancelled() const override { return CancelFlag(); }
    void Close() override { close(); }

    QLabel *Item;
    TXPGauge *Gauge;
    QPushButton *bCancel;

protected:
    void Reset() override;
};

} // namespace kestrel
