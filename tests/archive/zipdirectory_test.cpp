// The ZIP directory reader on archives laid out byte by byte: end record
// search, ZIP64, data in front, names and their encodings, attributes,
// damaged directories, and the directory writer read back.

#include "archive/zipdirectory.h"
#include "archive/zipwriter.h"
#include "platform/filetime.h"
#include "tests/archive/zipfixture.h"

#include <gtest/gtest.h>

#include <vector>

#include <zlib.h>

namespace kestrel::test {
namespace {

struct TRead {
    int endResult = -1;
    int entriesResult = -1;
    TZipEnd end;
    std::vector<TZipCentralEntry> entries;
};

TRead ReadBytes(const QByteArray &bytes, int codePage = 437, bool keepExtra = false)
{
    TRead r;
    TZipMemorySource source(bytes);
    TZipDirectoryReader reader(source, codePage);
    r.endResult = reader.FindEnd(r.end);
    if (r.endResult == 0)
        r.entriesResult = reader.ReadEntries(r.end, keepExtra,
                                             [&](TZipCentralEntry &e) { r.entries.push_back(e); });
    return r;
}

TZipItem Item(const char *name, const QByteArray &data = QByteArray())
{
    TZipItem item;
    item.name = name;
    item.data = data;
    return item;
}

TEST(ZipEnd, FoundAtTheEndWithoutComment)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "hello"), Item("b.txt", "world!")};
    TZipLayout layout;
    const QByteArray bytes = zip.Build(&layout);
    const TRead r = ReadBytes(bytes);
    ASSERT_EQ(r.endResult, 0);
    EXPECT_EQ(r.end.endOffset, bytes.size() - 22);
    EXPECT_EQ(r.end.fileSize, bytes.size());
    EXPECT_EQ(r.end.directoryStart, layout.directoryOffset);
    EXPECT_EQ(r.end.Shift(), 0);
    ASSERT_EQ(r.entriesResult, 0);
    ASSERT_EQ(r.entries.size(), 2u);
    EXPECT_EQ(r.entries[1].path, QStringLiteral("b.txt"));
    EXPECT_EQ(r.entries[1].size, 6u);
}

TEST(ZipEnd, FoundBehindAComment)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "x")};
    zip.comment = QByteArray(100, 'c');
    TZipLayout layout;
    const QByteArray bytes = zip.Build(&layout);
    const TRead r = ReadBytes(bytes);
    ASSERT_EQ(r.endResult, 0);
    EXPECT_EQ(r.end.endOffset, layout.endOffset);
    EXPECT_EQ(r.end.commentLength, 100);
    EXPECT_EQ(r.end.directoryStart, layout.directoryOffset);
    EXPECT_EQ(r.entries.size(), 1u);
}

TEST(ZipEnd, ASignatureInsideTheCommentIsNotTheRecord)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "x")};
    // A fake end record in the comment, whose own comment length does not
    // reach the end of the file.
    zip.comment = QByteArray("PK\x05\x06", 4) + QByteArray(16, '\0') + QByteArray("\x05\x00", 2) +
                  QByteArray(30, 'z');
    TZipLayout layout;
    const QByteArray bytes = zip.Build(&layout);
    const TRead r = ReadBytes(bytes);
    ASSERT_EQ(r.endResult, 0);
    EXPECT_EQ(r.end.endOffset, layout.endOffset);
    EXPECT_EQ(r.entries.size(), 1u);
}

TEST(ZipEnd, CommentCutShortCorrectsTheFileSize)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "x")};
    zip.comment = QByteArray(50, 'c');
    TZipLayout layout;
    const QByteArray bytes = zip.Build(&layout).chopped(20);
    const TRead r = ReadBytes(bytes);
    ASSERT_EQ(r.endResult, 0);
    EXPECT_EQ(r.end.fileSize, bytes.size() + 20);
    EXPECT_EQ(r.end.directoryStart, layout.directoryOffset);
    EXPECT_EQ(r.entries.size(), 1u);
}

TEST(ZipEnd, FilesThatHoldNoEndRecord)
{
    // Under 22 bytes the record cannot be read; 0 bytes too.
    EXPECT_EQ(ReadBytes(QByteArray()).endResult, 11011);
    EXPECT_EQ(ReadBytes(QByteArray("PK\x05\x06", 4)).endResult, 11011);
    EXPECT_EQ(ReadBytes(QByteArray(21, '\0')).endResult, 11011);
    // Not an archive: no record in the last 65,557 bytes.
    EXPECT_EQ(ReadBytes(QByteArray(100000, 'x')).endResult, 11036);
    // The record further back than a comment can reach.
    TZipBytes zip;
    zip.items = {Item("a.txt", "x")};
    EXPECT_EQ(ReadBytes(zip.Build() + QByteArray(70000, '\0')).endResult, 11036);
}

TEST(ZipEnd, DataInFrontIsShiftedOver)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "hello"), Item("b.txt", "x")};
    zip.prefix = QByteArray(1000, 'M');
    const TRead r = ReadBytes(zip.Build());
    ASSERT_EQ(r.entriesResult, 0);
    EXPECT_EQ(r.end.Shift(), 1000);
    ASSERT_EQ(r.entries.size(), 2u);
    EXPECT_EQ(r.entries[1].localOffset, 40u); // as recorded, without the prefix

    zip.prefixCounted = true;
    const TRead counted = ReadBytes(zip.Build());
    EXPECT_EQ(counted.end.Shift(), 0);
    EXPECT_EQ(counted.entries.size(), 2u);
}

TEST(ZipEnd, Zip64RecordsReplaceThePlaceholders)
{
    TZipBytes zip;
    zip.items = {Item("a.txt", "one"), Item("b.txt", "two")};
    zip.zip64 = true;
    TZipLayout layout;
    const TRead r = ReadBytes(zip.Build(&layout));
    ASSERT_EQ(r.endResult, 0);
    EXPECT_TRUE(r.end.zip64);
    EXPECT_EQ(r.end.entryCount, 2u);
    EXPECT_EQ(r.end.directoryStart, layout.directoryOffset);
    EXPECT_EQ(r.end.Shift(), 0);
    EXPECT_EQ(r.entries.size(), 2u);

    // The ZIP64 offsets leave out data in front: found before the locator.
    zip.prefix = QByteArray(300, 'S');
    const TRead shifted = ReadBytes(zip.Build());
    ASSERT_EQ(shifted.entriesResult, 0);
    EXPECT_EQ(shifted.end.Shift(), 300);
    EXPECT_EQ(shifted.entries.size(), 2u);
}

TEST(ZipEntries, Zip64ExtraFieldGivesSizesAndOffset)
{
    TZipBytes zip;
    TZipItem big = Item("big.bin", "data");
    QByteArray values;
    for (const quint64 v : {quint64(6000000000ull), quint64(5000000000ull), quint64(4300000000ull)})
        for (int i = 0; i < 8; ++i)
            values.append(char((v >> (8 * i)) & 0xFF));
    big.centralExtra =
        TZipBytes::Extra(0x000A, QByteArray(32, '\0')) + TZipBytes::Extra(0x0001, values);
    zip.items = {big};
    QByteArray bytes = zip.Build();
    // Mark the three header values as "see the ZIP64 field".
    const int central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
    for (const int at : {20, 24, 42})
        bytes.replace(central + at, 4, QByteArray(4, '\xFF'));
    const TRead r = ReadBytes(bytes);
    ASSERT_EQ(r.entries.size(), 1u);
    EXPECT_EQ(r.entries[0].size, 6000000000ull);
    EXPECT_EQ(r.entries[0].packedSize, 5000000000ull);
    EXPECT_EQ(r.entries[0].localOffset, 4300000000ull);
}

TEST(ZipEntries, ExtraFieldAndCommentAreSkipped)
{
    TZipBytes zip;
    TZipItem first = Item("first.txt", "1");
    first.centralExtra = TZipBytes::Extra(0x5455, QByteArray(5, 'u'));
    first.comment = "a comment of the entry";
    zip.items = {first, Item("second.txt", "22")};
    const TRead r = ReadBytes(zip.Build());
    ASSERT_EQ(r.entriesResult, 0);
    ASSERT_EQ(r.entries.size(), 2u);
    EXPECT_EQ(r.entries[1].path, QStringLiteral("second.txt"));
    EXPECT_EQ(r.entries[1].size, 2u);
}

TEST(ZipEntries, NameEncodings)
{
    const QByteArray cp866 = "\x8f\x90\x88\x82\x85\x92"; // ПРИВЕТ
    const QByteArray utf8 = QStringLiteral("Grüße").toUtf8();
    TZipBytes zip;
    TZipItem oem = Item(cp866.constData());
    TZipItem flagged = Item(utf8.constData());
    flagged.flags = 0x0800;
    TZipItem unix = Item(utf8.constData());
    unix.madeBy = 0x0314;
    // The Unicode path field counts only when it belongs to this name.
    const QByteArray name437 = "na\x84ve";
    TZipItem withField = Item(name437.constData());
    const quint32 crc = quint32(
        crc32(0, reinterpret_cast<const Bytef *>(name437.constData()), uInt(name437.size())));
    QByteArray field("\x01", 1);
    for (int i = 0; i < 4; ++i)
        field.append(char((crc >> (8 * i)) & 0xFF));
    withField.centralExtra = TZipBytes::Extra(0x7075, field + QStringLiteral("naïve").toUtf8());
    TZipItem staleField = withField;
    staleField.name = "st\x84le";
    zip.items = {oem, flagged, unix, withField, staleField};
    const QByteArray bytes = zip.Build();

    const TRead r437 = ReadBytes(bytes, 437);
    ASSERT_EQ(r437.entries.size(), 5u);
    EXPECT_EQ(r437.entries[0].path, QString::fromUtf8("\u00c5\u00c9\u00ea\u00e9\u00e0\u00c6"));
    EXPECT_EQ(r437.entries[1].path, QStringLiteral("Grüße"));
    EXPECT_EQ(r437.entries[2].path, QStringLiteral("Grüße"));
    EXPECT_EQ(r437.entries[3].path, QStringLiteral("naïve"));
    EXPECT_EQ(r437.entries[4].path, QStringLiteral("stäle"));

    const TRead r866 = ReadBytes(bytes, 866);
    EXPECT_EQ(r866.entries[0].path, QStringLiteral("ПРИВЕТ"));
    EXPECT_EQ(r866.entries[1].path, QStringLiteral("Grüße"));
}

TEST(ZipEntries, AttributesFromDosAndUnixMakers)
{
    TZipBytes zip;
    TZipItem dos = Item("RO.TXT");
    dos.external = 0x21;
    TZipItem dosFolder = Item("DIR");
    dosFolder.external = 0x10;
    TZipItem slash = Item("unixdir/");
    slash.madeBy = 0x031E;
    slash.external = 0100644u << 16; // the mode says file, the name says folder
    TZipItem unixFolder = Item("modedir");
    unixFolder.madeBy = 0x031E;
    unixFolder.external = 040755u << 16;
    TZipItem unixReadOnly = Item("sub/.hidden");
    unixReadOnly.madeBy = 0x031E;
    unixReadOnly.external = (0100444u << 16) | 0x20;
    TZipItem link = Item("link", "target");
    link.madeBy = 0x031E;
    link.external = 0120777u << 16;
    zip.items = {dos, dosFolder, slash, unixFolder, unixReadOnly, link};
    const TRead r = ReadBytes(zip.Build());
    ASSERT_EQ(r.entries.size(), 6u);
    EXPECT_EQ(r.entries[0].Attributes(), 0x21u);
    EXPECT_TRUE(r.entries[1].IsFolder());
    EXPECT_EQ(r.entries[2].Attributes(), sys::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(r.entries[2].IsFolder());
    EXPECT_TRUE(r.entries[3].IsFolder());
    EXPECT_EQ(r.entries[4].Attributes(), sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(r.entries[4].IsFolder());
    EXPECT_TRUE(r.entries[5].IsLink());
    EXPECT_FALSE(r.entries[0].IsLink());
}

TEST(ZipEntries, TimesAndTheirFallback)
{
    TZipBytes zip;
    TZipItem good = Item("good");
    TZipItem bad = Item("bad");
    bad.dosDate = 0x0000; // month 0, day 0
    bad.dosTime = 0xFFFF; // hour 31
    zip.items = {good, bad};
    const TRead r = ReadBytes(zip.Build());
    ASSERT_EQ(r.entries.size(), 2u);
    // Tests run with TZ=UTC: the stored local time is the UTC time.
    EXPECT_EQ(sys::FileTimeToQDateTime(r.entries[0].Time()),
              QDateTime(QDate(2025, 2, 15), QTime(11, 33, 2), Qt::UTC));
    EXPECT_EQ(sys::FileTimeToQDateTime(r.entries[1].Time()),
              QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::UTC));
}

TEST(ZipEntries, DamagedDirectoriesKeepWhatWasRead)
{
    TZipBytes zip;
    zip.items = {Item("a", "1"), Item("b", "2"), Item("c", "3")};
    TZipLayout layout;
    const QByteArray good = zip.Build(&layout);
    const int second = good.indexOf(QByteArray("PK\x01\x02", 4), layout.directoryOffset + 4);

    // A count that claims more entries than there are: the end record is
    // too short to be read as a header.
    QByteArray more = good;
    more[layout.endOffset + 10] = 9;
    TRead r = ReadBytes(more);
    EXPECT_EQ(r.entriesResult, 11013);
    EXPECT_EQ(r.entries.size(), 3u);

    // A broken signature in the second header.
    QByteArray broken = good;
    broken[second + 3] = 9;
    r = ReadBytes(broken);
    EXPECT_EQ(r.entriesResult, 11015);
    EXPECT_EQ(r.entries.size(), 1u);

    // A name length reaching past the end of the file.
    QByteArray longName = good;
    longName[second + 28] = char(0xFF);
    longName[second + 29] = char(0xFF);
    r = ReadBytes(longName);
    EXPECT_EQ(r.entriesResult, 11017);
    EXPECT_EQ(r.entries.size(), 1u);

    // An extra field reaching past the end.
    QByteArray longExtra = good;
    longExtra[second + 30] = char(0xFF);
    longExtra[second + 31] = char(0x7F);
    r = ReadBytes(longExtra);
    EXPECT_EQ(r.entriesResult, 10201);

    // A directory size larger than the file: read from the recorded offset
    // when it holds a header; with that wrong too, nothing can be read.
    QByteArray size = good;
    size[layout.endOffset + 15] = 0x40;
    r = ReadBytes(size);
    EXPECT_EQ(r.entriesResult, 0);
    EXPECT_EQ(r.entries.size(), 3u);
    size[layout.endOffset + 16] = char(size[layout.endOffset + 16] + 1);
    r = ReadBytes(size);
    EXPECT_EQ(r.entriesResult, 10201);
    EXPECT_TRUE(r.entries.empty());

    // A wrong directory size whose offset is right: read from the offset.
    QByteArray smaller = good;
    smaller[layout.endOffset + 12] = char(smaller[layout.endOffset + 12] - 10);
    r = ReadBytes(smaller);
    EXPECT_EQ(r.entriesResult, 0);
    EXPECT_EQ(r.entries.size(), 3u);

    // A directory cut off by the end of the file.
    r = ReadBytes(good.left(layout.directoryOffset + 50));
    EXPECT_NE(r.endResult, 0);
}

TEST(ZipEntries, OddNamesAreRead)
{
    TZipBytes zip;
    zip.items = {Item(""), Item("/"), Item("ctl\x01\x1f"),
                 Item(QByteArray(65535, 'n').constData())};
    const TRead r = ReadBytes(zip.Build());
    ASSERT_EQ(r.entriesResult, 0);
    ASSERT_EQ(r.entries.size(), 4u);
    EXPECT_EQ(r.entries[0].path, QString());
    EXPECT_EQ(r.entries[1].path, QStringLiteral("\\"));
    EXPECT_EQ(r.entries[3].path.size(), 65535);
}

TEST(ZipWriter, DirectoryWrittenReadsBackTheSame)
{
    TZipBytes zip;
    TZipItem a = Item("a/b.txt", "abc");
    a.centralExtra = TZipBytes::Extra(0x5455, "\x03\x01\x02\x03\x04");
    a.external = 0x20;
    TZipItem b = Item("c.txt", "x");
    b.flags = 0x0800;
    zip.items = {a, b};
    const TRead first = ReadBytes(zip.Build(), 437, true);
    ASSERT_EQ(first.entries.size(), 2u);

    // Rewritten at offsets beyond 32 bits, so the ZIP64 forms are needed.
    QByteArray directory;
    const sys::UINT64 moved = 5000000000ull;
    for (const TZipCentralEntry &e : first.entries)
        directory += ZipCentralHeader(e, e.localOffset + moved);
    const QByteArray bytes =
        directory + ZipEndRecords(2, sys::UINT64(directory.size()), 0, QByteArray("note"));
    const TRead second = ReadBytes(bytes, 437, true);
    ASSERT_EQ(second.entriesResult, 0);
    ASSERT_EQ(second.entries.size(), 2u);
    EXPECT_FALSE(second.end.zip64);
    EXPECT_EQ(second.end.commentLength, 4);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(second.entries[i].rawName, first.entries[i].rawName);
        EXPECT_EQ(second.entries[i].localOffset, first.entries[i].localOffset + moved);
        EXPECT_EQ(second.entries[i].size, first.entries[i].size);
        EXPECT_EQ(second.entries[i].crc, first.entries[i].crc);
        EXPECT_EQ(second.entries[i].flags, first.entries[i].flags);
        EXPECT_EQ(second.entries[i].externalAttributes, first.entries[i].externalAttributes);
    }
    EXPECT_TRUE(second.entries[0].extra.contains("\x55\x54\x05\x00"));

    // Many entries: the ZIP64 end records carry the count.
    const TRead many =
        ReadBytes(directory + ZipEndRecords(70000, sys::UINT64(directory.size()), 0, {}));
    EXPECT_TRUE(many.end.zip64);
    EXPECT_EQ(many.end.entryCount, 70000u);
    EXPECT_EQ(many.entries.size(), 2u);
    EXPECT_EQ(many.entriesResult, 11015);
}

} // namespace
} // namespace kestrel::test
