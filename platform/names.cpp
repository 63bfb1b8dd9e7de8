#include "platform/names.h"

namespace kestrel::sys {

namespace {

// A byte that cannot start or continue valid UTF-8 here is kept as a lone
// low surrogate, the same escape other tools use, so it round-trips.
constexpr char16_t escapeBase = 0xDC00;

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at p (1..4), or 0 when the bytes there
// are not valid UTF-8 (overlong forms, surrogates and values above U+10FFFF
// included).
int SequenceLength(const unsigned char *p, qsizetype left, char32_t &cp)
{
    const unsigned char c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int len;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if (!IsContinuation(p[i]))
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void AppendUtf8(QByteArray &out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xC0 | (cp >> 6)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(char(0xE0 | (cp >> 12)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else {
        out.append(char(0xF0 | (cp >> 18)));
        out.append(char(0x80 | ((cp >> 12) & 0x3F)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

QString DecodeName(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        char32_t cp;
        const int len = SequenceLength(p + i, n - i, cp);
        if (len == 0) {
            out.append(QChar(char16_t(escapeBase + p[i])));
            ++i;
            continue;
        }
        if (cp < 0x10000) {
            out.append(QChar(char16_t(cp)));
        } else {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        }
        i += len;
    }
    return out;
}

QString CaseKey(const QString &name)
{
    QString out;
    out.reserve(name.size());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < n && name[i + 1].isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[i + 1]));
            out += QChar(QChar::highSurrogate(folded));
            out += QChar(QChar::lowSurrogate(folded));
            ++i;
        } else {
            out += c.isSurrogate() ? c : c.toCaseFolded();
        }
    }
    return out;
}

QByteArray EncodeName(const QString &name)
{
    QByteArray out;
    out.reserve(name.size());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = name[i].unicode();
        if (u >= escapeBase + 0x80 && u <= escapeBase + 0xFF) {
            out.append(char(u - escapeBase));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && name[i + 1].isLowSurrogate()) {
            AppendUtf8(out, QChar::surrogateToUcs4(u, name[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            // A lone surrogate that no decoded name contains: the replacement
            // character keeps the bytes valid.
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

} // namespace kestrel::sys
