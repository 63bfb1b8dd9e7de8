#include "platform/filetime.h"

#include "platform/errors.h"

#include <QTimeZone>

namespace kestrel::sys {

namespace {

constexpr INT64 ticksPerSecond = 10'000'000;
constexpr INT64 epochDelta = 11'644'473'600; // seconds from 1601-01-01 to 1970-01-01
constexpr INT64 ticksPerDay = 86'400 * ticksPerSecond;
// Days from 1601-01-01 to 1970-01-01.
constexpr INT64 epochDays = epochDelta / 86'400;

// Proleptic Gregorian day count relative to 1970-01-01 (H. Hinnant's algorithm).
INT64 DaysFromCivil(INT64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const INT64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + INT64(doe) - 719468;
}

void CivilFromDays(INT64 z, INT64 &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const INT64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = INT64(yoe) + era * 400 + (m <= 2);
}

bool IsLeap(unsigned y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(unsigned y, unsigned m)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool Fail()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// Offset of local time from UTC, in seconds, at the given UTC instant.
INT64 LocalOffsetAt(INT64 unixSeconds)
{
    return QDateTime::fromSecsSinceEpoch(unixSeconds, QTimeZone::systemTimeZone()).offsetFromUtc();
}

} // namespace

UINT64 FileTimeToUInt64(const FILETIME &ft)
{
    return (UINT64(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME UInt64ToFileTime(UINT64 value)
{
    return FILETIME{DWORD(value & 0xFFFFFFFFu), DWORD(value >> 32)};
}

FILETIME UnixToFileTime(INT64 seconds, long nanoseconds)
{
    // Times before 1601 cannot be expressed; they become the earliest FILETIME.
    const INT64 ticks = (seconds + epochDelta) * ticksPerSecond + nanoseconds / 100;
    return UInt64ToFileTime(ticks < 0 ? 0 : UINT64(ticks));
}

void FileTimeToUnix(const FILETIME &ft, INT64 &seconds, long &nanoseconds)
{
    const UINT64 ticks = FileTimeToUInt64(ft);
    seconds = INT64(ticks / ticksPerSecond) - epochDelta;
    nanoseconds = long(ticks % ticksPerSecond) * 100;
}

QDateTime FileTimeToQDateTime(const FILETIME &ft)
{
    const UINT64 ticks = FileTimeToUInt64(ft);
    const INT64 ms = INT64(ticks / 10'000) - epochDelta * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

FILETIME QDateTimeToFileTime(const QDateTime &dt)
{
    const INT64 ms = dt.toMSecsSinceEpoch();
    const INT64 seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return UnixToFileTime(seconds, long(ms - seconds * 1000) * 1'000'000);
}

int CompareFileTime(const FILETIME &a, const FILETIME &b)
{
    const UINT64 x = FileTimeToUInt64(a), y = FileTimeToUInt64(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

// The offset in force at the time itself is used (not today's), so a summer
// time stamp shows the same wall-clock time all year round.
bool FileTimeToLocalFileTime(const FILETIME &utc, FILETIME &local)
{
    INT64 seconds;
    long ns;
    FileTimeToUnix(utc, seconds, ns);
    const INT64 ticks = INT64(FileTimeToUInt64(utc)) + LocalOffsetAt(seconds) * ticksPerSecond;
    if (ticks < 0)
        return Fail();
    local = UInt64ToFileTime(UINT64(ticks));
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool LocalFileTimeToFileTime(const FILETIME &local, FILETIME &utc)
{
    INT64 wallSeconds;
    long ns;
    FileTimeToUnix(local, wallSeconds, ns);
    // Guess with the offset at the wall-clock value read as UTC, then correct once
    // with the offset at the guess; this settles across a change of offset.
    INT64 guess = wallSeconds - LocalOffsetAt(wallSeconds);
    guess = wallSeconds - LocalOffsetAt(guess);
    const INT64 ticks = (guess + epochDelta) * ticksPerSecond + ns / 100;
    if (ticks < 0)
        return Fail();
    utc = UInt64ToFileTime(UINT64(ticks));
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool FileTimeToSystemTime(const FILETIME &ft, SYSTEMTIME &st)
{
    const UINT64 ticks = FileTimeToUInt64(ft);
    if (ticks > UINT64(INT64(0x7FFFFFFFFFFFFFFF)))
        return Fail();
    const INT64 days = INT64(ticks / ticksPerDay);
    const INT64 rest = INT64(ticks % ticksPerDay);
    INT64 y;
    unsigned m, d;
    CivilFromDays(days - epochDays, y, m, d);
    if (y > 30827)
        return Fail();
    st.wYear = std::uint16_t(y);
    st.wMonth = std::uint16_t(m);
    st.wDay = std::uint16_t(d);
    st.wDayOfWeek = std::uint16_t((days + 1) % 7); // 1601-01-01 was a Monday
    st.wHour = std::uint16_t(rest / (3600 * ticksPerSecond));
    st.wMinute = std::uint16_t(rest / (60 * ticksPerSecond) % 60);
    st.wSecond = std::uint16_t(rest / ticksPerSecond % 60);
    st.wMilliseconds = std::uint16_t(rest / 10'000 % 1000);
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME &st, FILETIME &ft)
{
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 ||
        st.wSecond > 59 || st.wMilliseconds > 999)
        return Fail();
    const INT64 days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + epochDays;
    const INT64 seconds = days * 86'400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    ft = UInt64ToFileTime(UINT64(seconds * ticksPerSecond + INT64(st.wMilliseconds) * 10'000));
    SetLastError(ERROR_SUCCESS);
    return true;
}

// DOS date: bits 15-9 year since 1980, 8-5 month, 4-0 day; time: bits 15-11
// hour, 10-5 minute, 4-0 seconds / 2. The result is a local FILETIME.
bool DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FILETIME &ft)
{
    SYSTEMTIME st;
    st.wYear = std::uint16_t(1980 + (dosDate >> 9));
    st.wMonth = std::uint16_t((dosDate >> 5) & 0x0F);
    st.wDay = std::uint16_t(dosDate & 0x1F);
    st.wHour = std::uint16_t(dosTime >> 11);
    st.wMinute = std::uint16_t((dosTime >> 5) & 0x3F);
    st.wSecond = std::uint16_t((dosTime & 0x1F) * 2);
    return SystemTimeToFileTime(st, ft);
}

bool FileTimeToDosDateTime(const FILETIME &ft, std::uint16_t &dosDate, std::uint16_t &dosTime)
{
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(ft, st) || st.wYear < 1980 || st.wYear > 2107)
        return Fail();
    dosDate = std::uint16_t(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    dosTime = std::uint16_t((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
    return true;
}

} // namespace kestrel::sys
