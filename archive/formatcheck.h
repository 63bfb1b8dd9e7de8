#pragma once
// What the bytes of a file say about it, for the formats read through
// libarchive: whether its first bytes are those of the format its extension
// names, and the unpacked size of a file compressed alone, read from the
// compressed data's own records without decompressing it.

#include "archive/archivetype.h"
#include "platform/wintypes.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

class TZipSource;

// Bytes from the start of a file that decide every format: an ISO 9660
// volume descriptor's id lies at 32769.
inline constexpr int formatHeadSize = 32774;

// The compression a file name's extension names, for a tar archive or a
// file compressed alone.
enum TCompression { tcNone, tcGzip, tcBzip2, tcXz, tcZstd, tcLz4 };
TCompression CompressionOf(const QString &fileName);

// True when head (the file's first bytes, up to formatHeadSize) starts as
// the type's format with the compression does. Of a compressed tar archive
// only the compression can be seen.
bool HeadMatches(TArchiveType type, TCompression compression, const QByteArray &head);

// The unpacked size of data compressed alone, from the records that hold
// it: gzip's trailer (a single member below 4 GiB), the xz index, the
// content size of zstd and lz4 frames that give it. -1 when they do not say
// (bzip2 never does).
sys::INT64 CompressedSize(TCompression compression, TZipSource &source);

// The name of the file compressed alone: the archive's without the
// compression's extension.
QString CompressedName(const QString &archiveName);

} // namespace kestrel
