#pragma once
// Writing the ZIP directory: central headers of entries read from another
// archive (their data copied as it stands), and the end records.

#include "archive/zipdirectory.h"

#include <QByteArray>

namespace kestrel {

// The central header of an entry whose local header now lies at
// localOffset: its fields as read (the entry's extra fields must have been
// kept), ZIP64 values in their own field where they do not fit 32 bits,
// then as many of the other extra fields as the 16-bit length allows; no
// comment.
QByteArray ZipCentralHeader(const TZipCentralEntry &entry, sys::UINT64 localOffset);

// The records after a directory of count headers, size bytes, at offset:
// the ZIP64 end record and locator when a value does not fit, then the end
// record with the archive comment.
QByteArray ZipEndRecords(sys::UINT64 count, sys::UINT64 size, sys::UINT64 offset,
                         const QByteArray &comment);

} // namespace kestrel
