#include "text/remainingtime.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(RemainingText, RoundsToMinutesFromHalfAMinuteAndHidesTheLastSeconds)
{
    const struct {
        int seconds;
        const char *text;
    } rows[] = {
        {91, "2 Minutes Remaining"}, // 31 s past the minute rounds up
        {90, "1 Minute Remaining"},  // 30 s does not
        {60, "1 Minute Remaining"},
        {3599, "60 Minutes Remaining"},
        {59, "59 Seconds Remaining"},
        {3, "3 Seconds Remaining"},
        {2, ""},
        {0, ""},
        {-1, ""}, // no estimate
    };
    for (const auto &row : rows)
        EXPECT_EQ(RemainingText(row.seconds), QString::fromLatin1(row.text)) << row.seconds;
}

// 1000 bytes per second over the tick: the bytes left give the seconds.
TEST(RemainingTime, EstimatesFromTheRateOfTheLastTickPeriod)
{
    TRemainingTime estimate;
    estimate.Start(10'000);
    ASSERT_TRUE(estimate.Tick(13'000, 3'000, 3'000 + 91'000));
    EXPECT_EQ(estimate.RemainSeconds(), 91);
    EXPECT_FALSE(estimate.Finished());

    // The rate halves in the next period: only that period counts.
    ASSERT_TRUE(estimate.Tick(16'000, 4'500, 3'000 + 91'000));
    EXPECT_EQ(estimate.RemainSeconds(), 179); // 89,500 bytes at 500 B/s
}

TEST(RemainingTime, NoProgressOrNoTimeFormsNoEstimateAndKeepsTheLastOne)
{
    TRemainingTime estimate;
    estimate.Start(0);
    ASSERT_TRUE(estimate.Tick(3'000, 30'000, 1'000'000)); // 10 B/ms: 97 s
    EXPECT_EQ(estimate.RemainSeconds(), 97);
    EXPECT_FALSE(estimate.Tick(6'000, 30'000, 1'000'000)); // no bytes moved
    EXPECT_FALSE(estimate.Tick(6'000, 60'000, 1'000'000)); // no time passed
    EXPECT_EQ(estimate.RemainSeconds(), 97);
    EXPECT_FALSE(estimate.Finished());
}

TEST(RemainingTime, StopsBelowThreeSeconds)
{
    TRemainingTime estimate;
    estimate.Start(0);
    ASSERT_TRUE(estimate.Tick(3'000, 3'000, 3'000 + 2'500)); // 2.5 s left
    EXPECT_EQ(estimate.RemainSeconds(), 2);
    EXPECT_TRUE(estimate.Finished());
    EXPECT_FALSE(estimate.Tick(6'000, 4'000, 1'000'000));
    EXPECT_EQ(estimate.RemainSeconds(), 2);

    estimate.Start(0); // a new run estimates again
    EXPECT_EQ(estimate.RemainSeconds(), -1);
    EXPECT_TRUE(estimate.Tick(1'000, 100, 1'000'000));
}

TEST(RemainingTime, HugeTotalsAtACrawlStayPositive)
{
    TRemainingTime estimate;
    estimate.Start(0);
    ASSERT_TRUE(estimate.Tick(3'000, 1, std::numeric_limits<quint64>::max()));
    EXPECT_EQ(estimate.RemainSeconds(), std::numeric_limits<int>::max());
}

} // namespace
} // namespace kestrel
