#include "ops/fcopying.h"
#include "ops/fdeleting.h"
#include "widgets/xpgauge.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class ProgressWindows : public ::testing::Test {
protected:
    ProgressWindows()
    {
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
    }
    ~ProgressWindows() override
    {
        copying.Close();
        deleting.Close();
    }

    QWidget owner;
    TfCopying copying;
    TfDeleting deleting;
};

TEST_F(ProgressWindows, CopyWindowShowsTheRunsTexts)
{
    copying.Open(true, QStringLiteral("Moving..."), 3, 1'234'567, &owner);
    EXPECT_EQ(copying.windowTitle(), QStringLiteral("Moving..."));
    EXPECT_EQ(copying.lCount->text(), QStringLiteral("0/3"));
    EXPECT_EQ(copying.TotalSize->text(), QStringLiteral("1,234,567"));
    EXPECT_EQ(copying.Gauge->MaxValue(), 1'234'567u);
    EXPECT_EQ(copying.Path->text(), QString());

    copying.SetFrom(QStringLiteral("C:\\Data"));
    EXPECT_EQ(copying.Path->text(), QStringLiteral("From 'C:\\Data'"));
    copying.SetTo(QStringLiteral("D:\\Backup"));
    EXPECT_EQ(copying.Path->text(), QStringLiteral("From 'C:\\Data'  To 'D:\\Backup'"));
    copying.SetFrom(QString());
    EXPECT_EQ(copying.Path->text(), QStringLiteral("To 'D:\\Backup'"));

    copying.SetStartedCount(2);
    EXPECT_EQ(copying.lCount->text(), QStringLiteral("2/3"));
    copying.SetProgress(1'000);
    EXPECT_EQ(copying.Progress(), 1'000u);

    Q_EMIT copying.Gauge->OnRemainSeconds(91);
    EXPECT_EQ(copying.Remaining->text(), QStringLiteral("2 Minutes Remaining"));
    Q_EMIT copying.Gauge->OnRemainSeconds(2);
    EXPECT_EQ(copying.Remaining->text(), QString());

    // The next run starts clean, in count mode without a total size.
    copying.SetFileName(QStringLiteral("a.txt (1,000 bytes) "));
    copying.Close();
    copying.Open(false, QStringLiteral("Copying..."), 7, 0, &owner);
    EXPECT_EQ(copying.lCount->text(), QStringLiteral("0/7"));
    EXPECT_EQ(copying.TotalSize->text(), QString());
    EXPECT_EQ(copying.Gauge->MaxValue(), 7u);
    EXPECT_EQ(copying.Progress(), 0u);
    EXPECT_EQ(copying.FileName->text(), QString());
    EXPECT_EQ(copying.Path->text(), QString());
}

TEST_F(ProgressWindows, OwnerIsDisabledWhileShownAndTheWindowIsCentredOverIt)
{
    copying.Open(true, QStringLiteral("Copying..."), 1, 10, &owner);
    EXPECT_TRUE(copying.isVisible());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(copying.isEnabled()); // never a child of the disabled owner
    EXPECT_LE((copying.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              10);
    copying.Close();
    EXPECT_FALSE(copying.isVisible());
    EXPECT_TRUE(owner.isEnabled());

    deleting.Open(5, &owner);
    EXPECT_FALSE(owner.isEnabled());
    deleting.Close();
    EXPECT_TRUE(owner.isEnabled());
}

// Cancel, Escape and the close box all set the flag; only the close box
// closes the window (and gives the owner back at once).
TEST_F(ProgressWindows, EveryWayOfCancellingSetsTheFlag)
{
    copying.Open(true, QStringLiteral("Copying..."), 1, 10, &owner);
    EXPECT_FALSE(copying.Cancelled());
    QTest::mouseClick(copying.XPButton1, Qt::LeftButton);
    EXPECT_TRUE(copying.Cancelled());
    EXPECT_TRUE(copying.isVisible());

    copying.Open(true, QStringLiteral("Copying..."), 1, 10, &owner);
    EXPECT_FALSE(copying.Cancelled());
    QTest::keyClick(&copying, Qt::Key_Escape);
    EXPECT_TRUE(copying.Cancelled());
    EXPECT_FALSE(owner.isEnabled());

    copying.Open(true, QStringLiteral("Copying..."), 1, 10, &owner);
    QCloseEvent closeBox;
    QApplication::sendEvent(&copying, &closeBox);
    EXPECT_TRUE(copying.Cancelled());
    EXPECT_TRUE(owner.isEnabled());

    deleting.Open(5, &owner);
    QTest::keyClick(&deleting, Qt::Key_Escape);
    EXPECT_TRUE(deleting.Cancelled());
    deleting.Open(5, &owner);
    EXPECT_FALSE(deleting.Cancelled());
    QTest::mouseClick(deleting.bCancel, Qt::LeftButton);
    EXPECT_TRUE(deleting.Cancelled());
    deleting.Open(5, &owner);
    QApplication::sendEvent(&deleting, &closeBox);
    EXPECT_TRUE(deleting.Cancelled());
    EXPECT_TRUE(owner.isEnabled());
}

// A long copy of one file only moves the bar; the bar's steps must let the
// Cancel button through, as the engine relies on.
TEST_F(ProgressWindows, CancelWorksDuringALongRun)
{
    const quint64 total = 1'000'000;
    copying.Open(true, QStringLiteral("Copying..."), 1, total, &owner);
    QTimer::singleShot(0, copying.XPButton1,
                       [this] { QTest::mouseClick(copying.XPButton1, Qt::LeftButton); });
    quint64 done = 0;
    while (done < total && !copying.Cancelled()) {
        done += 1'000;
        copying.SetProgress(done);
    }
    EXPECT_TRUE(copying.Cancelled());
    EXPECT_LT(done, total);

    deleting.Open(400, &owner);
    QTimer::singleShot(0, deleting.bCancel,
                       [this] { QTest::mouseClick(deleting.bCancel, Qt::LeftButton); });
    int deleted = 0;
    while (deleted < 400 && !deleting.Cancelled())
        deleting.SetProgress(++deleted);
    EXPECT_TRUE(deleting.Cancelled());
    EXPECT_LT(deleted, 400);
}

// The whole chain: the gauge's timer thread ticks, the tick reaches the UI
// thread, the estimate becomes the Remaining text. One tick takes 3 s.
TEST_F(ProgressWindows, RemainingTextFollowsTheTimersTicks)
{
    copying.Open(true, QStringLiteral("Copying..."), 1, 100'000'000, &owner);
    copying.SetProgress(1'000);
    QSignalSpy ticks(copying.Gauge, &TXPGauge::OnRemainSeconds);
    ASSERT_TRUE(ticks.wait(60'000));
    // 1,000 bytes in at least 3 s: the rest takes far more than a minute.
    EXPECT_GT(copying.Gauge->RemainSeconds(), 60);
    EXPECT_TRUE(copying.Remaining->text().contains(QStringLiteral(" Minute")))
        << copying.Remaining->text().toStdString();
    copying.Close();
    EXPECT_EQ(copying.Gauge->RemainSeconds(), -1);
    EXPECT_EQ(copying.Remaining->text(), QString());
}

} // namespace
} // namespace kestrel
