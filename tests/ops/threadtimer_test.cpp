#include "ops/threadtimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ThreadTimer, TicksArriveOnTheTimersThreadUntilDisabled)
{
    TThreadTimer timer;
    timer.SetInterval(1); // raised to the 10 ms floor
    EXPECT_EQ(timer.Interval(), 10);
    QList<QThread *> threads;
    QObject::connect(&timer, &TThreadTimer::OnTimer,
                     [&threads] { threads << QThread::currentThread(); });
    timer.SetEnabled(true);
    ASSERT_TRUE(timer.Enabled());
    QElapsedTimer waited;
    waited.start();
    while (threads.size() < 3 && waited.elapsed() < 30'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_GE(threads.size(), 3);
    for (QThread *thread : threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());

    // Disabling joins the thread: ticks already queued are dropped too.
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    const qsizetype seen = threads.size();
    QCoreApplication::processEvents();
    QThread::msleep(50); // several intervals in which no tick may come
    QCoreApplication::processEvents();
    EXPECT_EQ(threads.size(), seen);
}

TEST(ThreadTimer, DisablingDuringALongIntervalReturnsAtOnce)
{
    TThreadTimer timer;
    timer.SetInterval(600'000);
    timer.SetEnabled(true);
    QElapsedTimer stopping;
    stopping.start();
    timer.SetEnabled(false);
    // The thread is woken, not slept out: far below the ten-minute interval.
    EXPECT_LT(stopping.elapsed(), 60'000);
}

} // namespace
} // namespace kestrel
