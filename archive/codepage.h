#pragma once
// Names of ZIP items that carry no encoding of their own are in an OEM code
// page: 437 unless the user chose another. The decoding is table-driven, so
// it does not depend on the converters the Qt build happens to have.

#include <QByteArrayView>
#include <QString>

namespace kestrel {

// 437 (the default), 850 or 866; false, changing nothing, for any other.
bool SetZipCodePage(int codePage);
int ZipCodePage();

// Bytes below 0x80 are ASCII; the others come from the code page's table.
QString DecodeOem(QByteArrayView bytes, int codePage);

} // namespace kestrel
