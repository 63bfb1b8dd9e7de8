#include "widgets/xpgauge.h"

#include "ops/threadtimer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

#include <limits>

namespace kestrel {

TXPGauge::TXPGauge(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    clock.start();
}

TXPGauge::~TXPGauge() = default;

void TXPGauge::SetMaxValue(quint64 value)
{
    if (value == 0 || value == maxValue)
        return;
    maxValue = value;
    if (progress > maxValue)
        progress = maxValue;
    UpdateStep(false);
}

void TXPGauge::SetProgress(quint64 value)
{
    if (value == progress || value > maxValue)
        return;
    progress = value;
    UpdateStep(true);
    if (progress == maxValue)
        FreeTimer();
}

void TXPGauge::SetTotalStep(int steps)
{
    fixedStep = steps > 0;
    totalStep = fixedStep ? steps : qMax(1, (width() - 6) / qMax(1, height() - 5));
    UpdateStep(false);
}

void TXPGauge::Start()
{
    timer.reset();
    progress = 0;
    paused = false;
    estimate.Start(clock.elapsed());
    UpdateStep(false);
    timer = std::make_unique<TThreadTimer>();
    timer->SetInterval(3000);
    connect(timer.get(), &TThreadTimer::OnTimer, this, &TXPGauge::Tick);
    timer->SetEnabled(true);
}

void TXPGauge::Stop()
{
    FreeTimer();
    estimate.Start(clock.elapsed());
    Q_EMIT OnRemainSeconds(-1);
}

void TXPGauge::Tick()
{
    if (paused)
        return;
    if (estimate.Tick(clock.elapsed(), progress, maxValue))
        Q_EMIT OnRemainSeconds(estimate.RemainSeconds());
    // Below 3 seconds the estimate is not worth updating again this run.
    if (estimate.Finished())
        FreeTimer();
}

void TXPGauge::FreeTimer()
{
    // Only stopped here, as this may run inside the timer's own signal; the
    // next Start or the destructor frees it.
    if (timer)
        timer->SetEnabled(false);
}

int TXPGauge::VisibleStep() const
{
    if (maxValue == 0 || totalStep <= 0)
        return 0;
    // Progress × steps can pass 64 bits for huge totals; the quotient first
    // loses at most one block.
    if (progress > std::numeric_limits<quint64>::max() / quint64(totalStep))
        return int(progress / (maxValue / quint64(totalStep)));
    return int(progress * quint64(totalStep) / maxValue);
}

void TXPGauge::UpdateStep(bool processEvents)
{
    const int step = VisibleStep();
    if (step == drawnStep)
        return;
    drawnStep = step;
    update();
    if (processEvents)
        QCoreApplication::processEvents();
}

QSize TXPGauge::sizeHint() const
{
    return {200, 18};
}

void TXPGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!fixedStep)
        SetTotalStep(0);
}

void TXPGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath border;
    border.addRoundedRect(frame, 3, 3);
    painter.fillPath(border, palette().color(QPalette::Base));
    painter.setPen(QColor(0x68, 0x68, 0x68));
    painter.drawPath(border);

    if (totalStep <= 0 || drawnStep <= 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect inner = rect().adjusted(3, 3, -3, -3);
    const double pitch = double(inner.width()) / totalStep;
    const int gap = pitch >= 6 ? 2 : 1;
    QLinearGradient shade(0, inner.top(), 0, inner.bottom());
    shade.setColorAt(0.0, QColor(0xa8, 0xe8, 0xa0));
    shade.setColorAt(0.5, QColor(0x2c, 0xc2, 0x2c));
    shade.setColorAt(1.0, QColor(0x8c, 0xe0, 0x84));
    const int blocks = qMin(drawnStep, totalStep);
    for (int i = 0; i < blocks; ++i) {
        const int left = inner.left() + int(i * pitch);
        const int right = inner.left() + int((i + 1) * pitch) - gap;
        painter.fillRect(QRect(left, inner.top(), qMax(1, right - left), inner.height()), shade);
    }
}

} // namespace kestrel
