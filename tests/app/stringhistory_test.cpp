#include "app/stringhistory.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QString S(int i)
{
    return QStringLiteral("C:\\%1").arg(i);
}

TEST(StringHistory, FullListDropsTheOldest)
{
    TStringHistory h(12);
    int changes = 0;
    QObject::connect(&h, &TStringHistory::OnChange, [&](QObject *sender) {
        EXPECT_EQ(sender, &h);
        ++changes;
    });
    for (int i = 1; i <= 13; ++i)
        h.Add(S(i));
    EXPECT_EQ(changes, 13);
    EXPECT_EQ(h.Last(), 11);
    EXPECT_EQ(h.Current(), 11);
    EXPECT_FALSE(h.CanForward());
    EXPECT_TRUE(h.CanBack());
    EXPECT_EQ(h.Get(0), S(2));
    EXPECT_EQ(h.Get(11), S(13));
    EXPECT_EQ(h.Get(12), QString());
    EXPECT_EQ(h.Get(-1), QString());
}

TEST(StringHistory, AddBehindTheCursorDiscardsNewerEntries)
{
    TStringHistory h(12);
    for (int i = 1; i <= 4; ++i)
        h.Add(S(i));
    EXPECT_EQ(h.Back(), S(3));
    EXPECT_EQ(h.Back(), S(2));
    EXPECT_TRUE(h.CanForward());
    h.Add(QStringLiteral("x"));
    EXPECT_EQ(h.Last(), 2);
    EXPECT_EQ(h.Current(), 2);
    EXPECT_EQ(h.Get(2), QStringLiteral("x"));
    EXPECT_EQ(h.Get(3), QString());
    EXPECT_FALSE(h.CanForward());
    // A later Add at the end must not bring the discarded entry back.
    h.Add(QStringLiteral("y"));
    EXPECT_EQ(h.Get(3), QStringLiteral("y"));
    EXPECT_EQ(h.Last(), 3);
}

TEST(StringHistory, BackAndForwardStopAtTheEnds)
{
    TStringHistory h(3);
    int changes = 0;
    QObject::connect(&h, &TStringHistory::OnChange, [&] { ++changes; });
    EXPECT_EQ(h.Back(), QString());
    EXPECT_EQ(h.Forward(), QString());
    EXPECT_FALSE(h.CanBack());
    EXPECT_EQ(h.Current(), -1);
    h.Add(S(1));
    EXPECT_EQ(h.Back(), QString());
    h.Add(S(2));
    EXPECT_EQ(h.Forward(), QString());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(h.Back(), S(1));
    EXPECT_EQ(h.Forward(), S(2));
    EXPECT_EQ(changes, 4);
    // Capacity 3, cursor moved back: Add fills behind the cursor without dropping.
    h.Add(S(3));
    h.Back();
    h.Back();
    h.Add(S(4));
    EXPECT_EQ(h.Get(0), S(1));
    EXPECT_EQ(h.Get(1), S(4));
    EXPECT_EQ(h.Last(), 1);
}

} // namespace
} // namespace kestrel
