#pragma once
// The layout split files share with other split/join tools: the size texts of
// the split dialog, the names of the pieces, the header at the start of piece
// 1 ("name   size/") and the checksum file that lists every piece with its
// size and CRC-32.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

// "1440 KB" is 1,440,000 bytes, "5 MB" 5,000,000 and "700" 700 bytes
// (decimal units). 0 for a text without a positive number, or one too large
// for 64 bits.
sys::UINT64 ParseSizeText(const QString &text);

// The sizes the split dialog offers, and the one it proposes for a file.
const QStringList &SplitSizeTexts();
int PreselectedSizeIndex(sys::UINT64 fileSize);

// A file name without its extension: "movie.avi" gives "movie". The
// extension starts at the last dot; a leading dot starts none (".profile").
QString NameStem(const QString &name);
// "movie" and 2 give "movie.002"; from 1000 on the number has four digits.
QString PieceName(const QString &stem, int number);
QString ChecksumName(const QString &stem);
// The number of a piece name of this stem ("movie.012" gives 12); 0 when the
// name is none.
int PieceNumber(const QString &stem, const QString &name);

// The header of piece 1: the file name, three blanks, its size, a slash.
QByteArray PieceHeader(const QString &fileName, sys::UINT64 size);

struct TPieceHeader {
    QString name; // as stored, blanks around it trimmed
    sys::UINT64 size = 0;
    int length = 0; // bytes up to and including the slash
};
// How much of piece 1 is read to find its header.
inline constexpr int HeaderProbeSize = 512;
// True when the start of piece 1 holds a header.
bool ReadPieceHeader(const QByteArray &start, TPieceHeader &header);

struct TPieceSum {
    QString name;
    sys::UINT64 size = 0;
    quint32 crc = 0;
    bool hasSize = false;
    bool hasCrc = false;
};

// The checksum file as split writes it: three heading lines, one size line
// and one CRC line per piece, CR LF line ends.
QByteArray ChecksumFileText(sys::UINT64 total, const QList<TPieceSum> &pieces);

struct TChecksumFile {
    QString fileName; // the value of a "filename=" line, when there is one
    bool hasTotal = false;
    sys::UINT64 total = 0;
    QList<TPieceSum> pieces; // in the order of their first line
    int unreadLines = 0;     // lines of no known form

    // The entry of a piece name (case ignored); null when it is not listed.
    const TPieceSum *Find(const QString &pieceName) const;
};
// Reads any text: lines of no known form are counted and skipped.
TChecksumFile ReadChecksumFile(const QByteArray &text);

// A name read from a file, made safe to create in the folder the user chose:
// its last component only; empty when nothing usable is left (empty, "." or
// "..", or control characters).
QString SafeFileName(const QString &text);

// The text shown for a CRC: eight upper-case hexadecimal digits.
QString CrcText(quint32 crc);

} // namespace kestrel
