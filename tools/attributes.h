#pragma once
// The Attributes/Time command: either the four attributes or the file time
// of the panel's targets, one dialog per entry or one setting for all.

#include "panel/filelisting.h"

#include <QObject>

namespace kestrel {

// "2002-04-27" and "13:05": a file time shown in local time.
void DateTimeTexts(const sys::FILETIME &utc, QString &date, QString &time);
// The texts of the Date and Time edits, taken as local time, as a file
// time. A date or time that does not exist (month 13, 30 February, 24:00)
// is false with a message saying so.
bool ReadDateTime(const QString &date, const QString &time, sys::FILETIME &utc, QString &message);

// True when an entry changed. Failures are reported, each once.
bool RunAttributesCommand(QObject *owner, TFileListing &panel);

} // namespace kestrel
