#pragma once
// FILETIME conversions: Unix time, local time, system time and DOS date/time.

#include "platform/wintypes.h"

#include <QDateTime>

namespace kestrel::sys {

UINT64 FileTimeToUInt64(const FILETIME &ft);
FILETIME UInt64ToFileTime(UINT64 value);
FILETIME UnixToFileTime(INT64 seconds, long nanoseconds);
void FileTimeToUnix(const FILETIME &ft, INT64 &seconds, long &nanoseconds);
QDateTime FileTimeToQDateTime(const FILETIME &ft); // UTC
FILETIME QDateTimeToFileTime(const QDateTime &dt);

// -1, 0 or 1
int CompareFileTime(const FILETIME &a, const FILETIME &b);
bool FileTimeToLocalFileTime(const FILETIME &utc, FILETIME &local);
bool LocalFileTimeToFileTime(const FILETIME &local, FILETIME &utc);
bool FileTimeToSystemTime(const FILETIME &ft, SYSTEMTIME &st);
bool SystemTimeToFileTime(const SYSTEMTIME &st, FILETIME &ft);
bool DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FILETIME &ft);
bool FileTimeToDosDateTime(const FILETIME &ft, std::uint16_t &dosDate, std::uint16_t &dosTime);

} // namespace kestrel::sys
