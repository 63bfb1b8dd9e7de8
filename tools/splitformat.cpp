#include "tools/splitformat.h"

#include "platform/names.h"

#include <limits>

namespace kestrel {

namespace {

constexpr sys::UINT64 maxUInt64 = std::numeric_limits<sys::UINT64>::max();

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal digits only, no sign, no blanks, fitting 64 bits.
bool ParseDecimal(QByteArrayView digits, sys::UINT64 &value)
{
    if (digits.isEmpty())
        return false;
    value = 0;
    for (const char c : digits) {
        if (!IsAsciiDigit(c))
            return false;
        const sys::UINT64 digit = sys::UINT64(c - '0');
        if (value > (maxUInt64 - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

QByteArrayView TrimBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

bool HasControl(QByteArrayView text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

// The value of a hexadecimal digit, -1 for anything else.
int HexValue(char c)
{
    if (IsAsciiDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "TotalSize : 123" after the semicolon.
bool ReadTotalLine(QByteArrayView rest, sys::UINT64 &total)
{
    rest = TrimBlanks(rest);
    static const QByteArray key = QByteArrayLiteral("TotalSize");
    if (!rest.startsWith(key))
        return false;
    rest = TrimBlanks(rest.sliced(key.size()));
    if (!rest.startsWith(':'))
        return false;
    return ParseDecimal(TrimBlanks(rest.sliced(1)), total);
}

// "      1440000 movie.001" after the semicolon.
bool ReadSizeLine(QByteArrayView rest, sys::UINT64 &size, QByteArrayView &name)
{
    qsizetype i = 0;
    while (i < rest.size() && rest[i] == ' ')
        ++i;
    const qsizetype digitsStart = i;
    while (i < rest.size() && IsAsciiDigit(rest[i]))
        ++i;
    if (i == digitsStart || i >= rest.size() || rest[i] != ' ')
        return false;
    name = TrimBlanks(rest.sliced(i + 1));
    return !name.isEmpty() && ParseDecimal(rest.sliced(digitsStart, i - digitsStart), size);
}

// "movie.001 1A2B3C4D".
bool ReadCrcLine(QByteArrayView line, quint32 &crc, QByteArrayView &name)
{
    const qsizetype blank = line.lastIndexOf(' ');
    if (blank < 0 || line.size() - blank - 1 != 8)
        return false;
    const QByteArrayView hex = line.sliced(blank + 1);
    crc = 0;
    for (const char c : hex) {
        const int digit = HexValue(c);
        if (digit < 0)
            return false;
        crc = crc << 4 | quint32(digit);
    }
    name = TrimBlanks(line.first(blank));
    return !name.isEmpty();
}

// "filename=movie.avi", the key compared without regard to case.
bool ReadFileNameLine(QByteArrayView line, QByteArrayView &value)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return false;
    if (QString::fromLatin1(TrimBlanks(line.first(equals)))
            .compare(QLatin1String("filename"), Qt::CaseInsensitive) != 0)
        return false;
    value = TrimBlanks(line.sliced(equals + 1));
    return true;
}

TPieceSum &EntryOf(TChecksumFile &file, const QString &name)
{
    for (TPieceSum &piece : file.pieces)
        if (piece.name.compare(name, Qt::CaseInsensitive) == 0)
            return piece;
    file.pieces.append(TPieceSum{name});
    return file.pieces.last();
}

} // namespace

sys::UINT64 ParseSizeText(const QString &text)
{
    const QString upper = text.trimmed().toUpper();
    const sys::UINT64 unit = upper.contains(QLatin1String("MB"))   ? 1000000
                             : upper.contains(QLatin1String("KB")) ? 1000
                                                                   : 1;
    qsizetype end = 0;
    while (end < upper.size() && !upper[end].isSpace() && !upper[end].isLetter())
        ++end;
    sys::UINT64 number = 0;
    if (!ParseDecimal(upper.first(end).toLatin1(), number) || number > maxUInt64 / unit)
        return 0;
    return number * unit;
}

const QStringList &SplitSizeTexts()
{
    static const QStringList texts = {
        QStringLiteral("1440 KB"), QStringLiteral("2880 KB"), QStringLiteral("5 MB"),
        QStringLiteral("10 MB"),   QStringLiteral("20 MB"),   QStringLiteral("50 MB"),
        QStringLiteral("100 MB"),
    };
    return texts;
}

int PreselectedSizeIndex(sys::UINT64 fileSize)
{
    // Above each bound the next larger piece size: about four to ten pieces.
    static const sys::UINT64 bounds[] = {10000000,  20000000,  50000000,
                                         100000000, 200000000, 400000000};
    int index = 0;
    for (const sys::UINT64 bound : bounds)
        if (fileSize > bound)
            ++index;
    return index;
}

QString NameStem(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.first(dot) : name;
}

QString PieceName(const QString &stem, int number)
{
    return stem + QStringLiteral(".%1").arg(number, 3, 10, QLatin1Char('0'));
}

QString ChecksumName(const QString &stem)
{
    return stem + QStringLiteral(".crc");
}

int PieceNumber(const QString &stem, const QString &name)
{
    if (name.size() < stem.size() + 4 || !name.startsWith(stem, Qt::CaseInsensitive) ||
        name[stem.size()] != QLatin1Char('.'))
        return 0;
    const QString digits = name.sliced(stem.size() + 1);
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    bool ok = false;
    const int number = digits.toInt(&ok);
    // Only the names split gives: three digits, more without leading zeros.
    return ok && number > 0 && PieceName(stem, number) == stem + QLatin1Char('.') + digits ? number
                                                                                           : 0;
}

QByteArray PieceHeader(const QString &fileName, sys::UINT64 size)
{
    return sys::EncodeName(fileName) + "   " + QByteArray::number(size) + '/';
}

bool ReadPieceHeader(const QByteArray &start, TPieceHeader &header)
{
    const qsizetype slash = start.indexOf('/');
    if (slash < 0)
        return false;
    const QByteArrayView before = QByteArrayView(start).first(slash);
    const qsizetype blank = before.lastIndexOf(' ');
    sys::UINT64 size = 0;
    if (blank < 0 || !ParseDecimal(before.sliced(blank + 1), size))
        return false;
    // Data that only looks like a header (binary, or no name) is none.
    const QByteArrayView name = TrimBlanks(before.first(blank));
    if (name.isEmpty() || HasControl(name))
        return false;
    header.name = sys::DecodeName(name.toByteArray());
    header.size = size;
    header.length = int(slash + 1);
    return true;
}

QByteArray ChecksumFileText(sys::UINT64 total, const QList<TPieceSum> &pieces)
{
    QByteArray text = "; Generated by Kestrel. (compatible with Mendex)\r\n"
                      "; TotalSize : " +
                      QByteArray::number(total) + "\r\n;\r\n";
    for (const TPieceSum &piece : pieces)
        text += "; " + QByteArray::number(piece.size).rightJustified(12, ' ') + ' ' +
                sys::EncodeName(piece.name) + "\r\n";
    for (const TPieceSum &piece : pieces)
        text += sys::EncodeName(piece.name) + ' ' + CrcText(piece.crc).toLatin1() + "\r\n";
    return text;
}

TChecksumFile ReadChecksumFile(const QByteArray &text)
{
    TChecksumFile file;
    const QByteArrayView all(text);
    for (qsizetype from = 0; from < all.size();) {
        qsizetype end = all.indexOf('\n', from);
        if (end < 0)
            end = all.size();
        QByteArrayView line = all.sliced(from, end - from);
        from = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        line = TrimBlanks(line);
        if (line.isEmpty())
            continue;
        QByteArrayView name, value;
        sys::UINT64 number = 0;
        quint32 crc = 0;
        if (line.startsWith(';')) {
            const QByteArrayView rest = line.sliced(1);
            if (ReadTotalLine(rest, number)) {
                file.hasTotal = true;
                file.total = number;
            } else if (ReadSizeLine(rest, number, name)) {
                // A second line for the same piece is not taken.
                TPieceSum &piece = EntryOf(file, sys::DecodeName(name.toByteArray()));
                if (piece.hasSize) {
                    ++file.unreadLines;
                } else {
                    piece.hasSize = true;
                    piece.size = number;
                }
            }
            // Any other line after a semicolon is a comment.
        } else if (ReadFileNameLine(line, value)) {
            file.fileName = sys::DecodeName(value.toByteArray());
        } else if (ReadCrcLine(line, crc, name)) {
            TPieceSum &piece = EntryOf(file, sys::DecodeName(name.toByteArray()));
            if (piece.hasCrc) {
                ++file.unreadLines;
            } else {
                piece.hasCrc = true;
                piece.crc = crc;
            }
        } else {
            ++file.unreadLines;
        }
    }
    return file;
}

const TPieceSum *TChecksumFile::Find(const QString &pieceName) const
{
    for (const TPieceSum &piece : pieces)
        if (piece.name.compare(pieceName, Qt::CaseInsensitive) == 0)
            return &piece;
    return nullptr;
}

QString SafeFileName(const QString &text)
{
    QString name = text;
    const qsizetype cut =
        std::max({name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')),
                  name.lastIndexOf(QLatin1Char(':'))});
    name = name.sliced(cut + 1).trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    for (const QChar c : std::as_const(name))
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QString();
    return name;
}

QString CrcText(quint32 crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace kestrel
