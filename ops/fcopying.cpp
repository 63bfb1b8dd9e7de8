#include "ops/fcopying.h"

#include "text/remainingtime.h"
#include "text/strings.h"
#include "widgets/xpgauge.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kestrel {

namespace {

// A label whose long text is cut at the window's edge instead of widening it.
QLabel *LineLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TfCopying::TfCopying(QWidget *parent)
    : TProgressWindow(parent), Path(LineLabel(this)), FileName(LineLabel(this)),
      lCount(new QLabel(this)), TotalSize(new QLabel(this)), Gauge(new TXPGauge(this)),
      Remaining(LineLabel(this)), XPButton1(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Copying..."));
    TotalSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Gauge->SetTotalStep(40);
    Gauge->setFixedHeight(18);
    XPButton1->setDefault(true);
    XPButton1->setAutoDefault(true);
    connect(XPButton1, &QPushButton::clicked, this, &TfCopying::SetCancelFlag);
    connect(Gauge, &TXPGauge::OnRemainSeconds, this, &TfCopying::RemainSecondsChanged);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setVerticalSpacing(6);
    layout->addWidget(Path, 0, 0, 1, 2);
    layout->addWidget(FileName, 1, 0, 1, 2);
    layout->addWidget(lCount, 2, 0);
    layout->addWidget(TotalSize, 2, 1);
    layout->addWidget(Gauge, 3, 0, 1, 2);
    layout->addWidget(Remaining, 4, 0);
    layout->addWidget(XPButton1, 4, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 1);
    setFixedWidth(440);
}

void TfCopying::Open(bool byteMode, const QString &caption, int fileCount, sys::UINT64 totalBytes,
                     QObject *owner)
{
    Gauge->SetMaxValue(byteMode ? totalBytes : sys::UINT64(qMax(fileCount, 0)));
    TotalSize->setText(byteMode ? ThousandsText(totalBytes) : QString());
    totalCount = qMax(fileCount, 0);
    setWindowTitle(caption);
    OpenOver(owner);
}

void TfCopying::Reset()
{
    from.clear();
    to.clear();
    Path->clear();
    FileName->clear();
    Remaining->clear();
    startedCount = 0;
    Gauge->Start();
    UpdateCount();
}

void TfCopying::SetFrom(const QString &text)
{
    from = text;
    UpdatePath();
}

void TfCopying::SetTo(const QString &text)
{
    to = text;
    UpdatePath();
}

void TfCopying::UpdatePath()
{
    QStringList parts;
    if (!from.isEmpty())
        parts << QStringLiteral("From '%1'").arg(from);
    if (!to.isEmpty())
        parts << QStringLiteral("To '%1'").arg(to);
    Path->setText(parts.join(QStringLiteral("  ")));
}

void TfCopying::SetFileName(const QString &text)
{
    FileName->setText(text);
}

void TfCopying::SetStartedCount(int count)
{
    if (count == startedCount)
        return;
    startedCount = count;
    UpdateCount();
}

void TfCopying::SetTotalCount(int count)
{
    if (count == totalCount)
        return;
    totalCount = count;
    UpdateCount();
}

void TfCopying::UpdateCount()
{
    lCount->setText(QStringLiteral("%1/%2").arg(startedCount).arg(totalCount));
}

sys::UINT64 TfCopying::Progress() const
{
    return Gauge->Progress();
}

void TfCopying::SetProgress(sys::UINT64 value)
{
    Gauge->SetProgress(value);
}

void TfCopying::PauseTimer()
{
    Gauge->Pause();
}

void TfCopying::RestartTimer()
{
    Gauge->Restart();
}

void TfCopying::Close()
{
    close();
}

void TfCopying::Closing()
{
    Gauge->Stop();
}

void TfCopying::RemainSecondsChanged(int seconds)
{
    Remaining->setText(RemainingText(seconds));
}

} // namespace kestrel
