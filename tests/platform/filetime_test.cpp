#include "platform/errors.h"
#include "platform/filetime.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

constexpr UINT64 unixEpoch = 116444736000000000ull; // 1970-01-01 as a FILETIME

TEST(FileTime, UnixAndQDateTimeConversions)
{
    EXPECT_EQ(FileTimeToUInt64(UnixToFileTime(0, 0)), unixEpoch);
    EXPECT_EQ(FileTimeToUInt64(UnixToFileTime(1, 500)), unixEpoch + 10'000'000 + 5);
    EXPECT_EQ(FileTimeToUInt64(UnixToFileTime(-20'000'000'000, 0)), 0u); // before 1601

    const FILETIME big = UnixToFileTime(5'000'000'000, 123'456'700); // year 2128, high part > 0
    INT64 s = 0;
    long ns = 0;
    FileTimeToUnix(big, s, ns);
    EXPECT_EQ(s, 5'000'000'000);
    EXPECT_EQ(ns, 123'456'700);

    const QDateTime dt = QDateTime::fromMSecsSinceEpoch(-1'500, QTimeZone::utc());
    EXPECT_EQ(FileTimeToQDateTime(QDateTimeToFileTime(dt)), dt);
    EXPECT_EQ(FileTimeToUInt64(QDateTimeToFileTime(dt)), unixEpoch - 15'000'000);
}

TEST(FileTime, Compare)
{
    const FILETIME a = UInt64ToFileTime(5), b = UInt64ToFileTime(0x100000000ull);
    EXPECT_EQ(CompareFileTime(a, b), -1); // high part decides
    EXPECT_EQ(CompareFileTime(b, a), 1);
    EXPECT_EQ(CompareFileTime(b, b), 0);
}

TEST(FileTime, SystemTimeRoundTrip)
{
    const struct {
        std::uint16_t y, mo, d, dow, h, mi, s, ms;
    } rows[] = {
        {1601, 1, 1, 1, 0, 0, 0, 0}, // a Monday, FILETIME zero
        {1970, 1, 1, 4, 0, 0, 0, 0},        {2000, 2, 29, 2, 12, 30, 45, 500},
        {2024, 12, 31, 2, 23, 59, 59, 999}, {2107, 12, 31, 6, 23, 59, 58, 0},
    };
    for (const auto &r : rows) {
        SYSTEMTIME st;
        st.wYear = r.y, st.wMonth = r.mo, st.wDay = r.d;
        st.wHour = r.h, st.wMinute = r.mi, st.wSecond = r.s, st.wMilliseconds = r.ms;
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(st, ft)) << r.y;
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(ft, back));
        EXPECT_EQ(back.wYear, r.y);
        EXPECT_EQ(back.wMonth, r.mo);
        EXPECT_EQ(back.wDay, r.d);
        EXPECT_EQ(back.wDayOfWeek, r.dow) << r.y;
        EXPECT_EQ(back.wHour, r.h);
        EXPECT_EQ(back.wMinute, r.mi);
        EXPECT_EQ(back.wSecond, r.s);
        EXPECT_EQ(back.wMilliseconds, r.ms);
    }
    SYSTEMTIME st;
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(st = {1970, 1, 0, 1, 0, 0, 0, 0}, ft));
    EXPECT_EQ(FileTimeToUInt64(ft), unixEpoch);
    EXPECT_FALSE(SystemTimeToFileTime(st = {1900, 2, 0, 29, 0, 0, 0, 0}, ft)); // not a leap year
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SystemTimeToFileTime(st = {2001, 13, 0, 1, 0, 0, 0, 0}, ft));
    EXPECT_FALSE(SystemTimeToFileTime(st = {2001, 1, 0, 1, 24, 0, 0, 0}, ft));
}

TEST(FileTime, DosDateTime)
{
    // 2023-07-15 14:30:58
    const std::uint16_t date = (43 << 9) | (7 << 5) | 15, time = (14 << 11) | (30 << 5) | 29;
    FILETIME ft;
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, ft));
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(ft, st));
    EXPECT_EQ(st.wYear, 2023);
    EXPECT_EQ(st.wMonth, 7);
    EXPECT_EQ(st.wDay, 15);
    EXPECT_EQ(st.wHour, 14);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_EQ(st.wSecond, 58);
    std::uint16_t d = 0, t = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(ft, d, t));
    EXPECT_EQ(d, date);
    EXPECT_EQ(t, time);

    // Odd seconds are lost to the two-second resolution.
    ASSERT_TRUE(FileTimeToDosDateTime(UInt64ToFileTime(FileTimeToUInt64(ft) + 10'000'000), d, t));
    EXPECT_EQ(t, time);

    EXPECT_FALSE(DosDateTimeToFileTime(0, 0, ft)); // month 0, day 0
    EXPECT_FALSE(DosDateTimeToFileTime((1 << 5) | 1, 24 << 11, ft));
    EXPECT_FALSE(FileTimeToDosDateTime(UnixToFileTime(0, 0), d, t)); // 1970 is before DOS time
    EXPECT_FALSE(FileTimeToDosDateTime(UnixToFileTime(4'500'000'000, 0), d, t)); // after 2107
}

// Local time uses the offset in force at the moment itself.
TEST(FileTime, LocalTimeFollowsSummerTime)
{
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    const struct {
        INT64 utc;
        INT64 offsetHours;
    } rows[] = {{1'700'000'000, 1} /* November */, {1'690'000'000, 2} /* July */};
    for (const auto &r : rows) {
        const FILETIME utc = UnixToFileTime(r.utc, 0);
        FILETIME local, back;
        ASSERT_TRUE(FileTimeToLocalFileTime(utc, local));
        EXPECT_EQ(FileTimeToUInt64(local) - FileTimeToUInt64(utc),
                  UINT64(r.offsetHours) * 3600 * 10'000'000);
        ASSERT_TRUE(LocalFileTimeToFileTime(local, back));
        EXPECT_EQ(back, utc);
    }
    qputenv("TZ", savedTz);
}

} // namespace
} // namespace kestrel::sys
