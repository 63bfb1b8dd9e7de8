#include "find/textsearch.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

// Feeds data in blocks of the given size, then the end.
bool Search(const TTextSearch &search, const QByteArray &data, std::size_t blockSize)
{
    TTextSearch::Scan scan(search, blockSize);
    for (qsizetype at = 0; at < data.size(); at += qsizetype(blockSize)) {
        const qsizetype size = std::min<qsizetype>(qsizetype(blockSize), data.size() - at);
        if (scan.Feed(data.constData() + at, std::size_t(size)))
            return true;
    }
    return scan.Finish();
}

// Every block size from 1 to past the data's length gives the same answer.
void ExpectEverywhere(const TTextSearch &search, const QByteArray &data, bool found)
{
    for (std::size_t block = 1; block <= std::size_t(data.size()) + 2; ++block)
        ASSERT_EQ(Search(search, data, block), found)
            << "block " << block << " in \"" << data.constData() << "\"";
}

QByteArray Utf16(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return encoder.encode(text);
}

TEST(TextSearch, FindsTheTextAtEveryPlaceAcrossBlocks)
{
    const TTextSearch exact(QStringLiteral("needle"), TTextEncoding::Utf8, true, false);
    const TTextSearch blind(QStringLiteral("NeEdLe"), TTextEncoding::Utf8, false, false);
    for (int at = 0; at <= 12; ++at) {
        QByteArray data(12, 'x');
        data.insert(at, "needle");
        ExpectEverywhere(exact, data, true);
        ExpectEverywhere(blind, data, true);
        data[at + 5] = 'E';
        ExpectEverywhere(exact, data, false);
        ExpectEverywhere(blind, data, true);
    }
    // Almost: a prefix at the end of the file and a near miss inside it.
    ExpectEverywhere(exact, "xxneedlxxneedl", false);
    // A one-byte text.
    ExpectEverywhere(TTextSearch(QStringLiteral("q"), TTextEncoding::Utf8, false, false), "abcQ",
                     true);
}

TEST(TextSearch, WholeWordsLookAtTheCharactersAround)
{
    const TTextSearch word(QStringLiteral("cat"), TTextEncoding::Utf8, false, true);
    ExpectEverywhere(word, "cat", true);
    ExpectEverywhere(word, "a cat.", true);
    ExpectEverywhere(word, "concat cats cat_ 2cat", false);
    // A later whole word after parts of words, and letters beyond ASCII.
    ExpectEverywhere(word, "concat, CAT!", true);
    ExpectEverywhere(word, "\xC3\xA9" "cat", false);  // écat
    ExpectEverywhere(word, "cat\xC3\xA9", false);     // caté
    ExpectEverywhere(word, "\xE2\x80\x94" "cat", true); // a dash is no letter
    // A stray continuation byte used to be read as part of the letter before it.
    ExpectEverywhere(word, "concat\xA2" "cat.", true);
}

TEST(TextSearch, CaseBlindBeyondAscii)
{
    const TTextSearch text(QStringLiteral("ärger"), TTextEncoding::Utf8, false, false);
    ExpectEverywhere(text, QStringLiteral("kein ÄRGER hier").toUtf8(), true);
    ExpectEverywhere(text, QStringLiteral("kein arger hier").toUtf8(), false);
    const TTextSearch exact(QStringLiteral("ärger"), TTextEncoding::Utf8, true, false);
    ExpectEverywhere(exact, QStringLiteral("kein ÄRGER hier").toUtf8(), false);
}

TEST(TextSearch, InvalidBytesDecodeAsAWholeFileWouldBe)
{
    // A lead byte cut off by a plain letter in the next block used to take
    // that letter with it, so "tbaή" was read as a whole word "baή".
    const TTextSearch word(QStringLiteral("baή"), TTextEncoding::Utf8, false, true);
    ExpectEverywhere(word, QByteArray("c\xE3t") + QStringLiteral("baή").toUtf8(), false);
    ExpectEverywhere(word, QByteArray("c\xE3 ") + QStringLiteral("baή").toUtf8(), true);
    // The same for a plain search: the letter after a cut lead byte is kept.
    const TTextSearch text(QStringLiteral("tή"), TTextEncoding::Utf8, false, false);
    ExpectEverywhere(text, QByteArray("\xE3t") + QStringLiteral("ή").toUtf8(), true);
    ExpectEverywhere(text, QByteArray("\xF0\x9Ft") + QStringLiteral("ή").toUtf8(), true);
}

TEST(TextSearch, Utf16MatchesOnWholeUnitsOnly)
{
    const TTextSearch exact(QStringLiteral("ab"), TTextEncoding::Utf16, true, false);
    ExpectEverywhere(exact, Utf16(QStringLiteral("xxabxx")), true);
    // 'a','b' as UTF-16LE is 61 00 62 00; here it only appears one byte off.
    QByteArray shifted("\x01\x61\x00\x62\x00\x01", 6);
    ExpectEverywhere(exact, shifted, false);
    const TTextSearch blind(QStringLiteral("ÄB"), TTextEncoding::Utf16, false, true);
    ExpectEverywhere(blind, Utf16(QStringLiteral("x äb y")), true);
    ExpectEverywhere(blind, Utf16(QStringLiteral("x äbc y")), false);
}

TEST(TextSearch, CodePagesAndTextsTheyCannotHold)
{
    // "Ä" is 0x8E in the OEM code page 437, "€" is 0x80 in Windows-1252.
    const TTextSearch oem(QStringLiteral("Äx"), TTextEncoding::Oem, true, false);
    ASSERT_TRUE(oem.Valid());
    ExpectEverywhere(oem, "--\x8Ex--", true);
    ExpectEverywhere(oem, QStringLiteral("--Äx--").toUtf8(), false);
    const TTextSearch ansi(QStringLiteral("5 €"), TTextEncoding::Ansi, true, false);
    ExpectEverywhere(ansi, "cost 5 \x80.", true);
    EXPECT_FALSE(TTextSearch(QStringLiteral("€"), TTextEncoding::Oem, true, false).Valid());
    EXPECT_FALSE(TTextSearch(QString(), TTextEncoding::Utf8, true, false).Valid());
}

TEST(TextSearch, ALongTextAcrossSmallBlocks)
{
    QByteArray needle(65536, 'a');
    for (int i = 0; i < needle.size(); i += 7)
        needle[i] = char('b' + i % 20);
    const TTextSearch search(QString::fromLatin1(needle), TTextEncoding::Utf8, true, false);
    const QByteArray data = "xx" + needle + "yy";
    EXPECT_TRUE(Search(search, data, 4096));
    EXPECT_TRUE(Search(search, data, 65536));
    QByteArray broken = data;
    broken[40000] = 'Z';
    EXPECT_FALSE(Search(search, broken, 4096));
}

} // namespace
} // namespace kestrel::test
