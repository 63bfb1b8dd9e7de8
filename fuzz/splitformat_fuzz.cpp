// The readers of split files: the checksum file and the header of piece 1.
// What any checksum file yields for its complete pieces is written again and
// read back the same; a header written for a name reads back that name and
// size; a header found in any data lies inside it; names taken from files
// never leave their folder. Input: checksum file 0x1F name 0x1F size text
// 0x1F start of a piece.

#include "fuzz/support.h"
#include "platform/names.h"
#include "tools/splitformat.h"

namespace {

using namespace kestrel;

QString Describe(const TPieceSum &piece)
{
    return fuzz::Shown(piece.name) + QStringLiteral(" %1 %2").arg(piece.size).arg(piece.crc);
}

void CheckChecksumFile(const QByteArray &text)
{
    const TChecksumFile read = ReadChecksumFile(text);
    QList<TPieceSum> complete;
    for (const TPieceSum &piece : read.pieces) {
        fuzz::Check(!piece.name.isEmpty(), "a piece without a name");
        if (piece.hasSize && piece.hasCrc)
            complete << piece;
    }
    const TChecksumFile again = ReadChecksumFile(ChecksumFileText(read.total, complete));
    fuzz::Check(again.hasTotal && again.total == read.total && again.unreadLines == 0 &&
                    again.fileName.isEmpty() && again.pieces.size() == complete.size(),
                "a written checksum file reads back different",
                QStringLiteral("pieces %1 -> %2, unread %3")
                    .arg(complete.size())
                    .arg(again.pieces.size())
                    .arg(again.unreadLines));
    for (int i = 0; i < complete.size(); ++i) {
        const TPieceSum &a = complete[i];
        const TPieceSum &b = again.pieces[i];
        fuzz::Check(a.name == b.name && a.size == b.size && a.crc == b.crc && b.hasSize && b.hasCrc,
                    "a piece reads back different",
                    Describe(a) + QStringLiteral(" -> ") + Describe(b));
    }
}

void CheckHeader(const QByteArray &nameBytes, const QByteArray &sizeText)
{
    const QString name = sys::DecodeName(nameBytes).trimmed();
    // Names as split writes them: a file's own name, which holds no slash.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || SafeFileName(name) != name)
        return;
    const sys::UINT64 size = sizeText.toULongLong();
    const QByteArray header = PieceHeader(name, size);
    TPieceHeader read;
    fuzz::Check(ReadPieceHeader(header + nameBytes, read) && read.name == name &&
                    read.size == size && read.length == header.size(),
                "a header reads back different", fuzz::Shown(name));
}

void CheckPieceStart(const QByteArray &start)
{
    TPieceHeader read;
    if (!ReadPieceHeader(start, read))
        return;
    fuzz::Check(read.length > 0 && read.length <= start.size() && start[read.length - 1] == '/' &&
                    !read.name.isEmpty(),
                "a header outside its data", fuzz::Shown(read.name));
    const QString safe = SafeFileName(read.name);
    fuzz::Check(!safe.contains(QLatin1Char('\\')) && !safe.contains(QLatin1Char('/')) &&
                    !safe.contains(QLatin1Char(':')) && safe != QLatin1String("..") &&
                    safe != QLatin1String("."),
                "a name from a header leaves its folder", fuzz::Shown(safe));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 4);
    CheckChecksumFile(fields[0]);
    CheckHeader(fields[1], fields[2]);
    CheckPieceStart(fields[3]);
    // Under the sanitizers: any text, no overflow.
    static_cast<void>(ParseSizeText(QString::fromUtf8(fields[2])));
    return 0;
}
