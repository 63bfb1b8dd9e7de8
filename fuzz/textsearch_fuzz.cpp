// Content search against a plain reference: the whole input decoded at once
// and searched with QString::indexOf, whole words judged on the characters
// around. The search under test sees the data in blocks of a size the input
// chooses, so every match across a block boundary is checked.
// Input: flags blocksize text 0x1F data. Flags: bit 0 match case, bit 1
// whole words, bits 2-3 the encoding (UTF-8, OEM, UTF-16).

#include "archive/codepage.h"
#include "find/textsearch.h"
#include "fuzz/support.h"

#include <QStringDecoder>

namespace {

using namespace kestrel;

bool IsWordChar(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c);
}

bool IsAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool Reference(const QString &data, const QString &text, bool matchCase, bool wholeWords)
{
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QList<uint> all = data.toUcs4();
    for (qsizetype p = data.indexOf(text, 0, cs); p >= 0; p = data.indexOf(text, p + 1, cs)) {
        if (!wholeWords)
            return true;
        // The characters around, surrogate pairs whole.
        const QString before = data.left(p);
        const QString after = data.mid(p + text.size());
        const QList<uint> b = before.toUcs4();
        const QList<uint> a = after.toUcs4();
        if ((b.isEmpty() || !IsWordChar(b.last())) && (a.isEmpty() || !IsWordChar(a.first())))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3 || size > 4096)
        return 0;
    const int flags = data[0];
    const std::size_t blockSize = 1 + data[1] % 64;
    const QList<QByteArray> fields = fuzz::Fields(data + 2, size - 2, 2);
    const QString text = QString::fromUtf8(fields[0]);
    const QByteArray &bytes = fields[1];
    const bool matchCase = flags & 1;
    const bool wholeWords = flags & 2;
    const int which = (flags >> 2) % 3;
    const TTextEncoding encoding = which == 0   ? TTextEncoding::Utf8
                                   : which == 1 ? TTextEncoding::Oem
                                                : TTextEncoding::Utf16;
    const TTextSearch search(text, encoding, matchCase, wholeWords);
    TTextSearch::Scan scan(search, blockSize);
    bool found = false;
    for (std::size_t at = 0; at < std::size_t(bytes.size()) && !found; at += blockSize)
        found = scan.Feed(bytes.constData() + at, std::min(blockSize, std::size_t(bytes.size()) - at));
    if (!found)
        found = scan.Finish();
    if (!search.Valid()) {
        fuzz::Check(!found, "an invalid search found something");
        return 0;
    }
    QString decoded;
    if (encoding == TTextEncoding::Utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        decoded = decoder.decode(bytes);
    } else if (encoding == TTextEncoding::Utf16) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        decoded = decoder.decode(bytes.left(bytes.size() & ~qsizetype(1)));
    } else {
        decoded = DecodeOem(bytes, ZipCodePage());
    }
    // Case-blind searches for an ASCII text fold ASCII letters only, by
    // design; the reference folds every letter, so it judges those only on
    // ASCII data.
    if (!matchCase && IsAscii(fields[0]) && encoding != TTextEncoding::Utf16 && !IsAscii(bytes))
        return 0;
    // A search by bytes sees a byte order mark as the character it is; the
    // decoder drops it. A replacement character stands for invalid bytes in
    // the reference but is a character of its own in the text.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xEF\xBB\xBF") ||
        text.contains(QChar::ReplacementCharacter))
        return 0;
    fuzz::Check(found == Reference(decoded, text, matchCase, wholeWords), "search and reference differ",
                fuzz::Shown(text) + QStringLiteral(" in ") + fuzz::Shown(decoded));
    return 0;
}
