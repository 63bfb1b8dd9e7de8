#pragma once
// Lossless conversion between native file-name bytes and QString. Bytes that
// are not valid UTF-8 map to U+DC80..U+DCFF and back, so any name on disk can
// be listed, shown and opened again.

#include <QByteArray>
#include <QString>

namespace kestrel::sys {

QString DecodeName(const QByteArray &bytes);
QByteArray EncodeName(const QString &name);
// A key equal for names that differ only in case. Unlike
// QString::toCaseFolded, which turns every escaped byte into U+FFFD, it
// keeps names with different undecodable bytes apart.
QString CaseKey(const QString &name);

} // namespace kestrel::sys
