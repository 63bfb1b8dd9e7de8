#include "platform/names.h"

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

struct NameCase {
    const char *what;
    QByteArray bytes;
    QString decoded;
};

TEST(Names, DecodeKeepsValidUtf8AndEscapesEveryInvalidByte)
{
    // Escapes are written as hex escapes: a lone surrogate cannot be a \u name.
    const NameCase cases[] = {
        {"ascii", "readme.txt", QStringLiteral("readme.txt")},
        {"two-byte", "caf\xC3\xA9", QStringLiteral("caf\u00E9")},
        {"three-byte", "\xE2\x82\xAC", QStringLiteral("\u20AC")},
        {"four-byte", "\xF0\x9F\x98\x80", QString::fromUcs4(U"\U0001F600", 1)},
        {"latin-1 byte", "caf\xE9.txt", QStringLiteral("caf\xDCE9.txt")},
        {"truncated at end", "a\xC3", QStringLiteral("a\xDCC3")},
        {"lone continuation", "\x80x", QStringLiteral("\xDC80x")},
        {"overlong slash", "\xC0\xAF", QStringLiteral("\xDCC0\xDCAF")},
        {"encoded surrogate", "\xED\xA0\x80", QStringLiteral("\xDCED\xDCA0\xDC80")},
        {"above U+10FFFF", "\xF4\x90\x80\x80", QStringLiteral("\xDCF4\xDC90\xDC80\xDC80")},
        {"bad byte inside sequence", "\xE2\x28\xA1", QStringLiteral("\xDCE2(\xDCA1")},
        {"0xFF", "\xFF", QStringLiteral("\xDCFF")},
    };
    for (const NameCase &c : cases) {
        EXPECT_EQ(DecodeName(c.bytes), c.decoded) << c.what;
        EXPECT_EQ(EncodeName(c.decoded), c.bytes) << c.what;
    }
}

TEST(Names, AnyByteStringRoundTrips)
{
    for (int seed = 0; seed < 8; ++seed) {
        QByteArray bytes(4096, Qt::Uninitialized);
        quint32 x = 2463534242u + quint32(seed); // xorshift: the same bytes every run
        for (char &b : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = char(x);
        }
        EXPECT_EQ(EncodeName(DecodeName(bytes)), bytes) << "seed " << seed;
    }
}

TEST(Names, LoneSurrogatesThatNoNameHoldsEncodeAsValidUtf8)
{
    // An escape below 0x80 and a high surrogate without its partner are not
    // produced by decoding; they must still give valid bytes.
    const QByteArray bytes = EncodeName(QStringLiteral("a") + QChar(0xDC41) + QChar(0xD800));
    EXPECT_EQ(bytes, QByteArray("a\xEF\xBF\xBD\xEF\xBF\xBD"));
}

TEST(Names, CaseKeysFoldCaseAndKeepUndecodableBytesApart)
{
    EXPECT_EQ(CaseKey(QStringLiteral("Report.DOC")), CaseKey(QStringLiteral("report.doc")));
    // A pair of surrogates is one character and folds as one.
    EXPECT_EQ(CaseKey(DecodeName("\xC3\x84\xF0\x90\x90\x80\xBD")),
              DecodeName("\xC3\xA4\xF0\x90\x90\xA8\xBD"));
    // Folding turned every undecodable byte into U+FFFD, so "A\xBD" and
    // "a\xA2" shared a key.
    const QString bd = DecodeName("A\xBD");
    const QString a2 = DecodeName("a\xA2");
    EXPECT_NE(CaseKey(bd), CaseKey(a2));
    EXPECT_EQ(CaseKey(bd), CaseKey(DecodeName("a\xBD")));
    EXPECT_EQ(CaseKey(DecodeName("X\xBDY\xBDZ")), DecodeName("x\xBDy\xBDz"));
}

} // namespace
} // namespace kestrel::sys
