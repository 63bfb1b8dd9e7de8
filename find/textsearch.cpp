#include "find/textsearch.h"

#include "archive/codepage.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

constexpr std::size_t npos = std::size_t(-1);

// Windows-1252: Latin-1 but for 0x80..0x9F. Its five unused bytes stand
// for themselves, as Windows decodes them.
constexpr char16_t cp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeAnsi(const char *data, std::size_t size)
{
    QString text(qsizetype(size), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? cp1252[b - 0x80] : char16_t(b);
    }
    return text;
}

// The text in a single-byte code page; false when a character is missing.
bool EncodeSingleByte(const QString &text, TTextEncoding encoding, QByteArray &out)
{
    char all[256];
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString table = encoding == TTextEncoding::Ansi
                              ? DecodeAnsi(all, 256)
                              : DecodeOem(QByteArrayView(all, 256), ZipCodePage());
    out.clear();
    for (const QChar c : text) {
        const qsizetype b = table.indexOf(c);
        if (b < 0)
            return false;
        out.append(char(b));
    }
    return true;
}

bool IsAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool IsWordChar(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c);
}

// The character that ends just before at / starts at at, a surrogate pair
// taken whole.
char32_t CharBefore(const QString &text, qsizetype at)
{
    const QChar low = text.at(at - 1);
    if (low.isLowSurrogate() && at >= 2 && text.at(at - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(at - 2), low);
    return low.unicode();
}

char32_t CharAt(const QString &text, qsizetype at)
{
    const QChar high = text.at(at);
    if (high.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(high, text.at(at + 1));
    return high.unicode();
}

char16_t UnitAt(const unsigned char *u, std::size_t at)
{
    return char16_t(u[at] | (u[at + 1] << 8));
}

} // namespace

TTextSearch::TTextSearch(const QString &text, TTextEncoding encoding, bool matchCase,
                         bool wholeWords)
    : encoding(encoding), matchCase(matchCase), wholeWords(wholeWords), text(text)
{
    if (text.isEmpty())
        return;
    switch (encoding) {
    case TTextEncoding::Utf8:
        bytes = text.toUtf8();
        valid = true;
        break;
    case TTextEncoding::Utf16: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        bytes = encoder.encode(text);
        valid = true;
        align = 2;
        context = 4;
        break;
    }
    case TTextEncoding::Oem:
    case TTextEncoding::Ansi:
        valid = EncodeSingleByte(text, encoding, bytes);
        context = 1;
        break;
    }
    byBytes = matchCase || (encoding != TTextEncoding::Utf16 && IsAscii(text));
    if (!byBytes) {
        matcher.setPattern(text);
        matcher.setCaseSensitivity(Qt::CaseInsensitive);
        context = 1;
    } else if (!matchCase) {
        fold.resize(256);
        for (int b = 0; b < 256; ++b)
            fold[std::size_t(b)] =
                b >= 'A' && b <= 'Z' ? (unsigned char)(b + 32) : (unsigned char)b;
        for (char &c : bytes)
            c = char(fold[static_cast<unsigned char>(c)]);
    }
}

TTextSearch::~TTextSearch() = default;

std::size_t TTextSearch::FindBytes(const char *w, std::size_t n, std::size_t from) const
{
    const std::size_t length = std::size_t(bytes.size());
    if (from + length > n)
        return npos;
    if (matchCase) {
        const void *hit = memmem(w + from, n - from, bytes.constData(), length);
        return hit ? std::size_t(static_cast<const char *>(hit) - w) : npos;
    }
    // Case-blind ASCII: the first byte's two cases found with memchr, the rest compared folded.
    const auto *u = reinterpret_cast<const unsigned char *>(w);
    const auto *pattern = reinterpret_cast<const unsigned char *>(bytes.constData());
    const unsigned char lower = pattern[0];
    const unsigned char upper = lower >= 'a' && lower <= 'z' ? lower - 32 : lower;
    const std::size_t last = n - length;
    std::size_t at = from;
    while (at <= last) {
        const auto *a = static_cast<const unsigned char *>(memchr(u + at, lower, last - at + 1));
        const auto *b =
            upper == lower
                ? nullptr
                : static_cast<const unsigned char *>(memchr(u + at, upper, last - at + 1));
        const unsigned char *hit = !a ? b : !b ? a : std::min(a, b);
        if (!hit)
            return npos;
        const std::size_t p = std::size_t(hit - u);
        std::size_t k = 1;
        while (k < length && fold[u[p + k]] == pattern[k])
            ++k;
        if (k == length)
            return p;
        at = p + 1;
    }
    return npos;
}

bool TTextSearch::WordBefore(const char *w, std::size_t at) const
{
    const auto *u = reinterpret_cast<const unsigned char *>(w);
    switch (encoding) {
    case TTextEncoding::Utf16: {
        const char16_t low = UnitAt(u, at - 2);
        if (QChar::isLowSurrogate(low) && at >= 4 && QChar::isHighSurrogate(UnitAt(u, at - 4)))
            return IsWordChar(QChar::surrogateToUcs4(UnitAt(u, at - 4), low));
        return IsWordChar(low);
    }
    case TTextEncoding::Utf8: {
        std::size_t start = at - 1;
        while (start > 0 && at - start < 4 && (u[start] & 0xC0) == 0x80)
            --start;
        // The last character decoded: a stray continuation byte is one of
        // its own, never part of the character before it.
        const QList<uint> chars = QString::fromUtf8(w + start, qsizetype(at - start)).toUcs4();
        return !chars.isEmpty() && IsWordChar(chars.last());
    }
    default:
        return IsWordChar(DecodeBytes(w + at - 1, 1).at(0).unicode());
    }
}

bool TTextSearch::WordAfter(const char *w, std::size_t at, std::size_t n) const
{
    const auto *u = reinterpret_cast<const unsigned char *>(w);
    switch (encoding) {
    case TTextEncoding::Utf16: {
        const char16_t high = UnitAt(u, at);
        if (QChar::isHighSurrogate(high) && at + 4 <= n && QChar::isLowSurrogate(UnitAt(u, at + 2)))
            return IsWordChar(QChar::surrogateToUcs4(high, UnitAt(u, at + 2)));
        return IsWordChar(high);
    }
    case TTextEncoding::Utf8: {
        const std::size_t length = u[at] < 0x80 ? 1 : u[at] >= 0xF0 ? 4 : u[at] >= 0xE0 ? 3 : 2;
        const QString c = QString::fromUtf8(w + at, qsizetype(std::min(length, n - at)));
        return !c.isEmpty() && IsWordChar(c.toUcs4().value(0));
    }
    default:
        return IsWordChar(DecodeBytes(w + at, 1).at(0).unicode());
    }
}

QString TTextSearch::DecodeBytes(const char *data, std::size_t size) const
{
    if (encoding == TTextEncoding::Ansi)
        return DecodeAnsi(data, size);
    return DecodeOem(QByteArrayView(data, qsizetype(size)), ZipCodePage());
}

TTextSearch::Scan::Scan(const TTextSearch &search, std::size_t blockSize)
    : search(search), blockSize(std::max<std::size_t>(blockSize, 1))
{
    reserve = std::size_t(search.bytes.size()) + 2 * search.context;
    // A text search reads its blocks here too, then decodes them.
    window.resize(reserve + this->blockSize);
    if (search.byBytes)
        return;
    if (search.encoding == TTextEncoding::Utf16)
        decoder = std::make_unique<QStringDecoder>(QStringDecoder::Utf16LE);
}

TTextSearch::Scan::~Scan() = default;

bool TTextSearch::Scan::Feed(const char *data, std::size_t size)
{
    if (!search.valid)
        return false;
    if (!search.byBytes)
        return FeedText(data, size);
    if (data == Block())
        return FeedBlock(size);
    while (size > 0) {
        const std::size_t piece = std::min(size, blockSize);
        std::memcpy(Block(), data, piece);
        if (FeedBlock(piece))
            return true;
        data += piece;
        size -= piece;
    }
    return false;
}

bool TTextSearch::Scan::FeedBlock(std::size_t size)
{
    // The window: the kept tail of the blocks before, then this block.
    char *w = window.data() + reserve - tailSize;
    const std::size_t n = tailSize + size;
    if (ExamineBytes(w, n, false))
        return true;
    // Keep enough to see a match that runs over the end and the characters
    // around it; the next window starts that much before the next block.
    const std::size_t keep = std::min(n, reserve);
    std::memmove(window.data() + reserve - keep, w + n - keep, keep);
    first -= n - keep;
    windowOffset += n - keep;
    tailSize = keep;
    return false;
}

bool TTextSearch::Scan::ExamineBytes(const char *w, std::size_t n, bool atEnd)
{
    const std::size_t length = std::size_t(search.bytes.size());
    const std::size_t context = search.context;
    std::size_t at = first;
    for (;;) {
        const std::size_t p = search.FindBytes(w, n, at);
        if (p == npos) {
            first = std::max(at, n + 1 >= length ? n + 1 - length : 0);
            return false;
        }
        if ((windowOffset + p) % search.align != 0) {
            at = p + 1;
            continue;
        }
        if (!search.wholeWords)
            return true;
        const std::size_t end = p + length;
        if (!atEnd && end + context > n) {
            // What follows is in the next block.
            first = p;
            return false;
        }
        const bool before = p == 0 || !search.WordBefore(w, p);
        const bool after = end + search.align > n || !search.WordAfter(w, end, n);
        if (before && after)
            return true;
        at = p + 1;
    }
}

bool TTextSearch::Scan::FeedText(const char *data, std::size_t size)
{
    if (search.encoding == TTextEncoding::Utf8)
        DecodeUtf8(data, size);
    else if (decoder)
        text += decoder->decode(QByteArrayView(data, qsizetype(size)));
    else
        text += search.DecodeBytes(data, size);
    if (ExamineText(false))
        return true;
    const qsizetype keep = std::min(text.size(), search.text.size() + 4);
    first -= std::size_t(text.size() - keep);
    windowOffset += std::size_t(text.size() - keep);
    text = text.right(keep);
    return false;
}

void TTextSearch::Scan::DecodeUtf8(const char *data, std::size_t size)
{
    // A block may end inside a character; those bytes wait for the next one.
    // Decoding starts afresh on each piece: a lead byte always begins a
    // character, so every piece then reads as it would in the whole file
    // (a decoder carrying its state across pieces can lose the byte after
    // a cut-off lead).
    partial.append(data, qsizetype(size));
    const auto *u = reinterpret_cast<const unsigned char *>(partial.constData());
    const qsizetype n = partial.size();
    qsizetype cut = n;
    for (qsizetype at = n - 1; at >= 0 && at >= n - 3; --at) {
        if ((u[at] & 0xC0) == 0x80)
            continue;
        const qsizetype length = u[at] >= 0xF0 ? 4 : u[at] >= 0xE0 ? 3 : u[at] >= 0xC0 ? 2 : 1;
        if (at + length > n)
            cut = at;
        break;
    }
    text += QString::fromUtf8(partial.constData(), cut);
    partial.remove(0, cut);
}

bool TTextSearch::Scan::ExamineText(bool atEnd)
{
    const qsizetype length = search.text.size();
    qsizetype at = qsizetype(first);
    for (;;) {
        const qsizetype p = search.matcher.indexIn(text, at);
        if (p < 0) {
            first = std::size_t(std::max(at, text.size() + 1 - length));
            return false;
        }
        if (!search.wholeWords)
            return true;
        const qsizetype end = p + length;
        if (!atEnd && end + 2 > text.size()) {
            first = std::size_t(p);
            return false;
        }
        const bool before = p == 0 || !IsWordChar(CharBefore(text, p));
        const bool after = end >= text.size() || !IsWordChar(CharAt(text, end));
        if (before && after)
            return true;
        at = p + 1;
    }
}

bool TTextSearch::Scan::Finish()
{
    if (!search.valid)
        return false;
    if (search.byBytes)
        return ExamineBytes(window.data() + reserve - tailSize, tailSize, true);
    text += QString::fromUtf8(partial);
    partial.clear();
    return ExamineText(true);
}

} // namespace kestrel
