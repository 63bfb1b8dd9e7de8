#include "widgets/xpgauge.h"

#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Blocks on the middle row of the painted bar: runs of green pixels.
int PaintedBlocks(TXPGauge &gauge)
{
    const QImage image = gauge.grab().toImage();
    const int y = image.height() / 2;
    int blocks = 0;
    bool inBlock = false;
    for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        const bool green = c.green() > 150 && c.red() < 120 && c.blue() < 120;
        if (green && !inBlock)
            ++blocks;
        inBlock = green;
    }
    return blocks;
}

TEST(XPGauge, DrawsTheStepsOfTheProgressAndNeverPassesItsEnd)
{
    TXPGauge gauge;
    gauge.resize(206, 18);
    gauge.SetTotalStep(40);
    gauge.SetMaxValue(1000);
    const struct {
        quint64 set;
        quint64 progress;
        int blocks;
    } rows[] = {
        {0, 0, 0},        {24, 24, 0},    {25, 25, 1},
        {500, 500, 20},   {999, 999, 39}, {1001, 999, 39}, // above the maximum: ignored
        {1000, 1000, 40}, {10, 10, 0},
    };
    for (const auto &row : rows) {
        gauge.SetProgress(row.set);
        EXPECT_EQ(gauge.Progress(), row.progress) << row.set;
        EXPECT_EQ(PaintedBlocks(gauge), row.blocks) << row.set;
    }

    gauge.SetMaxValue(0); // ignored
    EXPECT_EQ(gauge.MaxValue(), 1000u);
}

TEST(XPGauge, FreeStepsFollowTheSize)
{
    TXPGauge gauge;
    gauge.resize(206, 18);
    gauge.SetTotalStep(0);
    EXPECT_EQ(gauge.TotalStep(), (206 - 6) / (18 - 5));
    gauge.SetTotalStep(32);
    gauge.resize(406, 18);
    EXPECT_EQ(gauge.TotalStep(), 32);
}

// Pending events run exactly when the visible step changes: that is what
// lets Cancel through during a long copy without slowing every buffer.
TEST(XPGauge, ProcessesEventsOnlyWhenTheVisibleStepChanges)
{
    TXPGauge gauge;
    gauge.resize(206, 18);
    gauge.SetTotalStep(40);
    gauge.SetMaxValue(4000);
    bool ran = false;
    QTimer::singleShot(0, &gauge, [&ran] { ran = true; });
    gauge.SetProgress(50); // same step 0
    EXPECT_FALSE(ran);
    gauge.SetProgress(100); // step 1
    EXPECT_TRUE(ran);
}

TEST(XPGauge, StopClearsTheEstimate)
{
    TXPGauge gauge;
    QList<int> fired;
    QObject::connect(&gauge, &TXPGauge::OnRemainSeconds, [&fired](int s) { fired << s; });
    gauge.Start();
    gauge.Stop();
    EXPECT_EQ(gauge.RemainSeconds(), -1);
    EXPECT_EQ(fired, QList<int>{-1});
}

} // namespace
} // namespace kestrel
