// ACE archives: the corpus listed as the trusted listings say and extracted
// with every member's CRC checked (solid, ACE 2.0, encrypted and volume
// sets), hand-made archives with hostile names and lying headers, the
// result messages, and adding through a recording stand-in for the
// external archiver.

#include "archive/ace.h"
#include "archive/acebits.h"
#include "archive/acecrypt.h"
#include "archive/acedecoder.h"
#include "archive/archivestrings.h"
#include "archive/unacelibrary.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "panel/file.h"
#include "platform/filetime.h"
#include "tests/archive/zipfixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

std::uint32_t Crc(const QByteArray &data)
{
    return AceCrc(aceCrcStart, reinterpret_cast<const std::uint8_t *>(data.constData()),
                  std::size_t(data.size()));
}

void PutLe(QByteArray &out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i)));
}

QByteArray Header(const QByteArray &body)
{
    QByteArray out;
    PutLe(out, Crc(body) & 0xFFFF, 2);
    PutLe(out, std::uint64_t(body.size()), 2);
    return out + body;
}

// One stored member of a hand-made archive.
struct TAceItem {
    QByteArray name;
    QByteArray data;
    std::uint32_t attributes = 0x20;
    std::uint16_t params = 0;
    std::int64_t packedSizeShown = -1; // a lying size when set
    std::uint8_t method = 0;           // the data is stored whatever this says
    QByteArray password = {};          // encrypts the data when set
};

// Encrypts as the archiver does: zero-padded to whole blocks, chained from a
// zero start vector.
QByteArray Encrypted(const QByteArray &plain, const QByteArray &password)
{
    const TAceCipher cipher(password);
    QByteArray out = plain + QByteArray((8 - plain.size() % 8) % 8, '\0');
    std::uint32_t lastLeft = 0;
    std::uint32_t lastRight = 0;
    for (qsizetype at = 0; at < out.size(); at += 8) {
        std::uint32_t half[2] = {};
        for (int i = 0; i < 8; ++i)
            half[i / 4] |= std::uint32_t(std::uint8_t(out[at + i])) << (8 * (i % 4));
        const auto [left, right] = cipher.EncryptBlock(half[0] ^ lastLeft, half[1] ^ lastRight);
        QByteArray block;
        PutLe(block, left, 4);
        PutLe(block, right, 4);
        out.replace(at, 8, block);
        lastLeft = left;
        lastRight = right;
    }
    return out;
}

QByteArray BuildAce(const QList<TAceItem> &items, std::uint16_t mainFlags = 0)
{
    QByteArray main;
    PutLe(main, 0, 1);
    PutLe(main, mainFlags, 2);
    main += "**ACE**";
    main += QByteArray("\x14\x14\x02\x00", 4);
    PutLe(main, 0x5A4F5C21, 4); // 2025-02-15 11:33:02
    main += QByteArray(8, '\0');
    QByteArray out = Header(main);
    for (const TAceItem &item : items) {
        const QByteArray packed =
            item.password.isEmpty() ? item.data : Encrypted(item.data, item.password);
        QByteArray file;
        PutLe(file, 1, 1);
        PutLe(file, item.password.isEmpty() ? 0x0001 : 0x4001, 2);
        PutLe(file, std::uint64_t(item.packedSizeShown >= 0 ? item.packedSizeShown : packed.size()),
              4);
        PutLe(file, std::uint64_t(item.data.size()), 4);
        PutLe(file, 0x5A4F5C21, 4);
        PutLe(file, item.attributes, 4);
        PutLe(file, Crc(item.data), 4);
        PutLe(file, item.method, 1);
        PutLe(file, 0, 1);
        PutLe(file, item.params, 2);
        PutLe(file, 0, 2);
        PutLe(file, std::uint64_t(item.name.size()), 2);
        file += item.name;
        out += Header(file) + packed;
    }
    return out;
}

// A trusted listing's lines: "dd.mm.yy hh:mm packed size ratio name"; a control
// character after the time marks an item that goes on in the next volume.
struct TAceLine {
    QString when;
    quint64 packed = 0;
    quint64 size = 0;
    QString name;
};

class Ace : public ArchiveTest {
protected:
    std::unique_ptr<TAce> List(const QString &path)
    {
        auto archive = std::make_unique<TAce>();
        archive->SetFileName(path);
        return archive;
    }
    std::unique_ptr<TAce> ExtractTo(const QString &path, const QString &destination,
                                    const QStringList &names = {})
    {
        auto archive = List(path);
        archive->Names = names;
        archive->OnFileExists = onFileExists;
        archive->OnChangeVolume = onChangeVolume;
        archive->Extract(destination);
        return archive;
    }
    // The section of the listing made for file by the second listing tool,
    // which reads every sample.
    static QList<TAceLine> TrustedListing(const QString &listing, const QString &file)
    {
        QList<TAceLine> lines;
        QFile text(Corpus() + QStringLiteral("/ace/") + listing + QStringLiteral(".listing.txt"));
        if (!text.open(QIODevice::ReadOnly))
            return lines;
        static const QRegularExpression line(QStringLiteral(
            "^(\\d\\d\\.\\d\\d\\.\\d\\d "
            "\\d\\d:\\d\\d)[\\s\\x01-\\x1f]+(\\d+)\\s+(\\d+)\\s+\\d+%\\s+\\*?(.*)$"));
        bool inSection = false;
        for (const QByteArray &bytes : text.readAll().split('\n')) {
            const QString row = QString::fromUtf8(bytes);
            if (row.startsWith(QLatin1String("# Command")))
                inSection = row.endsWith(QStringLiteral("unace2 v -y ") + file);
            const QRegularExpressionMatch m = line.match(row);
            if (inSection && m.hasMatch())
                lines.append({m.captured(1), m.captured(2).toULongLong(),
                              m.captured(3).toULongLong(), m.captured(4)});
        }
        return lines;
    }
    static QString Listed(const sys::FILETIME &time)
    {
        std::uint16_t date = 0;
        std::uint16_t clock = 0;
        sys::FileTimeToDosDateTime(time, date, clock);
        return QStringLiteral("%1.%2.%3 %4:%5")
            .arg(date & 31, 2, 10, QLatin1Char('0'))
            .arg((date >> 5) & 15, 2, 10, QLatin1Char('0'))
            .arg(((date >> 9) + 80) % 100, 2, 10, QLatin1Char('0'))
            .arg(clock >> 11, 2, 10, QLatin1Char('0'))
            .arg((clock >> 5) & 63, 2, 10, QLatin1Char('0'));
    }
    QString Hostile(const QString &name, const QList<TAceItem> &items, std::uint16_t flags = 0)
    {
        const QString path = QStringLiteral("C:\\made\\") + name;
        MakeFile(path, BuildAce(items, flags));
        return path;
    }
    QString AboutArchive(const QString &path, int id) { return AboutObject(path, ArchiveStr(id)); }

    TArchive::TFileExistsEvent onFileExists;
    TArchive::TChangeVolumeEvent onChangeVolume;
};

TEST_F(Ace, CorpusListsAsTheTrustedListingSays)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    const QList<QPair<QString, QString>> sets = {
        {QStringLiteral("onefile.ace"), QStringLiteral("onefile.ace")},
        {QStringLiteral("zdir.ace"), QStringLiteral("zdir.ace")},
        {QStringLiteral("passwd.ace"), QStringLiteral("passwd.ace")},
        {QStringLiteral("ALCHT.ACE"), QStringLiteral("ALCHT.ACE")},
        {QStringLiteral("dir2.ace"), QStringLiteral("dir2.ace")},
        {QStringLiteral("multivolume.ace"), QStringLiteral("multivolume.ace")},
        {QStringLiteral("multivolume.ace"), QStringLiteral("multivolume.c00")},
        {QStringLiteral("multivolume.ace"), QStringLiteral("multivolume.c01")},
    };
    for (const auto &[listing, file] : sets) {
        SCOPED_TRACE(file.toStdString());
        const QList<TAceLine> expected = TrustedListing(listing, file);
        ASSERT_FALSE(expected.isEmpty());
        const auto archive = List(QStringLiteral("T:\\ace\\") + file);
        EXPECT_EQ(Messages(), QStringList());
        ASSERT_EQ(archive->Files.Count(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const TAceLine &line = expected[i];
            const TArchiveEntry &entry = *archive->Files.Entry(i);
            EXPECT_EQ(archive->Files.Key(i),
                      QString(line.name).replace(QLatin1Char('/'), QLatin1Char('\\')));
            EXPECT_EQ(entry.Size, line.size) << line.name.toStdString();
            EXPECT_EQ(entry.PackedSize, line.packed) << line.name.toStdString();
            EXPECT_EQ(Listed(entry.Time), line.when) << line.name.toStdString();
        }
    }
    // Folders stored and implied both show.
    const auto zdir = List(QStringLiteral("T:\\ace\\zdir.ace"));
    EXPECT_GE(zdir->Folders.IndexOf(QStringLiteral("zman\\man1\\xx\\mmmmmm")), 0);
}

TEST_F(Ace, CorpusExtractsWithEveryCrcRight)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    for (const QString &file : {QStringLiteral("onefile.ace"), QStringLiteral("zdir.ace"),
                                QStringLiteral("ALCHT.ACE"), QStringLiteral("dir2.ace")}) {
        SCOPED_TRACE(file.toStdString());
        const QString ours = QStringLiteral("C:\\ours\\") + file;
        const auto archive = ExtractTo(QStringLiteral("T:\\ace\\") + file, ours);
        EXPECT_EQ(Messages(), QStringList());
        const QMap<QString, QByteArray> tree = Tree(Native(ours));
        const QList<TAceLine> expected = TrustedListing(file, file);
        EXPECT_EQ(archive->ProcessedCount, expected.size());
        for (const TAceLine &line : expected)
            EXPECT_EQ(quint64(tree.value(line.name).size()), line.size) << line.name.toStdString();
    }
    // ACE 2.0's own modes: the sound and picture coders and the filters.
    const QMap<QString, QByteArray> dir2 = Tree(Native(QStringLiteral("C:\\ours\\dir2.ace")));
    EXPECT_TRUE(dir2.value(QStringLiteral("dir2/notification.wav")).startsWith("RIFF"));
    EXPECT_TRUE(dir2.value(QStringLiteral("dir2/gtkam-folder-camera.png")).startsWith("\x89PNG"));
    EXPECT_TRUE(dir2.value(QStringLiteral("dir2/lessecho"))
                    .startsWith("\x7F"
                                "ELF"));
}

TEST_F(Ace, VolumeSetExtractsAcrossItsVolumes)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    const auto archive =
        ExtractTo(QStringLiteral("T:\\ace\\multivolume.ace"), QStringLiteral("C:\\all"));
    EXPECT_EQ(Messages(), QStringList());
    EXPECT_EQ(archive->ProcessedCount, 77);
    const QMap<QString, QByteArray> tree = Tree(Native(QStringLiteral("C:\\all")));
    EXPECT_EQ(tree.value(QStringLiteral("aclocal/libtool.m4")).size(), 306297);
    EXPECT_EQ(tree.value(QStringLiteral("aclocal/yad.m4")).size(), 1154);

    // The last volume missing: the prompt names it; No ends the extraction
    // without a part of the split member.
    MakeFolder(QStringLiteral("C:\\part"));
    QFile::copy(Corpus() + QStringLiteral("/ace/multivolume.ace"),
                QString::fromUtf8(Native(QStringLiteral("C:\\part\\multivolume.ace"))));
    QFile::copy(Corpus() + QStringLiteral("/ace/multivolume.c00"),
                QString::fromUtf8(Native(QStringLiteral("C:\\part\\multivolume.c00"))));
    QStringList asked;
    onChangeVolume = [&](TArchive &, const QString &volume, int &result) {
        if (result == 0)
            asked << volume;
    };
    ask.ExpectMessageBox(mrOk);
    ExtractTo(QStringLiteral("C:\\part\\multivolume.ace"), QStringLiteral("C:\\some"));
    EXPECT_EQ(asked, QStringList{QStringLiteral("C:\\part\\multivolume.c01")});
    const QMap<QString, QByteArray> some = Tree(Native(QStringLiteral("C:\\some")));
    EXPECT_EQ(some.value(QStringLiteral("aclocal/libtool.m4")).size(), 306297);
    EXPECT_FALSE(some.contains(QStringLiteral("aclocal/ltargz.m4")))
        << "split over the missing volume";
    EXPECT_EQ(some.size(), 36 + 15 + 1); // the folder, and no part of the split file
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QLatin1String("next volume")));
}

TEST_F(Ace, EncryptedSampleOpensWithItsPasswordOnly)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    const QString sample = QStringLiteral("T:\\ace\\passwd.ace");
    // The member's CRC as its header stores it, read here without our reader.
    QFile raw(Corpus() + QStringLiteral("/ace/passwd.ace"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    ASSERT_GE(bytes.size(), 0x50);
    std::uint32_t stored = 0;
    for (int i = 3; i >= 0; --i)
        stored = stored << 8 | std::uint8_t(bytes[0x4C + i]);

    // The password stated with the sample ("1234") is not its password;
    // "pass" is, and the bytes it gives agree with the stored CRC.
    ask.ExpectGetString(mrOk, QStringLiteral("pass"));
    const auto right = ExtractTo(sample, QStringLiteral("C:\\right"));
    EXPECT_EQ(Messages(), QStringList());
    EXPECT_EQ(right->ProcessedCount, 1);
    const QByteArray m4 = Contents(QStringLiteral("C:\\right\\passwd.m4"));
    EXPECT_EQ(m4.size(), 15859);
    EXPECT_TRUE(m4.startsWith("# gettext.m4 serial 68"));
    EXPECT_EQ(Crc(m4), stored);

    // A wrong one: the archive's message once, and no file, neither a new
    // one nor one in place of what stood there.
    ask.ExpectGetString(mrOk, QStringLiteral("1234"));
    ask.ExpectMessageBox(mrOk);
    ExtractTo(sample, QStringLiteral("C:\\wrong"));
    EXPECT_EQ(Messages(), QStringList{AboutArchive(sample, 30303)});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\wrong"))), (QMap<QString, QByteArray>{}));

    MakeFile(QStringLiteral("C:\\kept\\passwd.m4"), "the old contents");
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feOverwrite; };
    ask.ExpectGetString(mrOk, QStringLiteral("PASS"));
    ask.ExpectMessageBox(mrOk);
    ExtractTo(sample, QStringLiteral("C:\\kept"));
    EXPECT_EQ(Messages(), QStringList{AboutArchive(sample, 30303)});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\kept"))),
              (QMap<QString, QByteArray>{{QStringLiteral("passwd.m4"), "the old contents"}}));
}

TEST_F(Ace, CipherKeyAndBlocksFollowTheFormat)
{
    // Known values of the format's key and blocks: the key, two blocks
    // chained from a zero start vector, and a stream of two blocks. The
    // boxes used to be pi's digits unchanged, which decrypts nothing the
    // archiver made.
    EXPECT_EQ(TAceCipher::Key(QByteArray("123456789")),
              (std::array<std::uint32_t, 5>{3071200156u, 3325860325u, 4058316933u, 1308772094u,
                                            896611998u}));
    const auto decrypted = [](const QByteArray &password, QByteArray data) {
        TAceCipher cipher(password);
        cipher.Decrypt(reinterpret_cast<std::uint8_t *>(data.data()), std::size_t(data.size()));
        return data.toHex();
    };
    EXPECT_EQ(decrypted("123456789", QByteArray(8, '\xFF') + QByteArray(8, '\xC7')),
              QByteArray("b7774640352e6572654505c4a58529bc"));
    EXPECT_EQ(decrypted("123456789", QByteArray(16, '7')),
              QByteArray("095fd0617d1d68dd3e68e7564a2a5fea"));
    // The chaining carries across calls as if the data came in one piece.
    TAceCipher split(QByteArray("123456789"));
    QByteArray parts(16, '7');
    auto *at = reinterpret_cast<std::uint8_t *>(parts.data());
    split.Decrypt(at, 8);
    split.Decrypt(at + 8, 8);
    EXPECT_EQ(parts.toHex(), QByteArray("095fd0617d1d68dd3e68e7564a2a5fea"));

    const TAceCipher cipher(QByteArray("1234"));
    const auto block = cipher.EncryptBlock(0x01234567, 0x89ABCDEF);
    EXPECT_EQ(cipher.DecryptBlock(block.first, block.second),
              std::make_pair(0x01234567u, 0x89ABCDEFu));
    // Passwords are cut at 50 bytes, so longer ones that share them agree.
    EXPECT_EQ(TAceCipher::Key(QByteArray(50, 'x') + "a"),
              TAceCipher::Key(QByteArray(50, 'x') + "b"));
    EXPECT_NE(TAceCipher::Key(QByteArray(49, 'x') + "a"),
              TAceCipher::Key(QByteArray(49, 'x') + "b"));
}

TEST_F(Ace, EveryEncryptedMemberStartsItsOwnChain)
{
    // Members encrypted one by one, each padded to whole blocks: a chain
    // carried from one member into the next, or a padded tail taken as
    // data, would spoil the second; a plain member between them is read
    // as it is.
    const QString path = Hostile(QStringLiteral("locked.ace"),
                                 {{"a.txt", "thirteen byte", 0x20, 0, -1, 0, "pw"},
                                  {"plain.txt", "open"},
                                  {"b.txt", "twenty bytes of text", 0x20, 0, -1, 0, "pw"}});
    ask.ExpectGetString(mrOk, QStringLiteral("pw"));
    const auto archive = ExtractTo(path, QStringLiteral("C:\\open"));
    EXPECT_EQ(Messages(), QStringList());
    EXPECT_EQ(archive->ProcessedCount, 3);
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\open"))),
              (QMap<QString, QByteArray>{{QStringLiteral("a.txt"), "thirteen byte"},
                                         {QStringLiteral("plain.txt"), "open"},
                                         {QStringLiteral("b.txt"), "twenty bytes of text"}}));
}

TEST_F(Ace, HostileNamesAreNeitherListedNorWritten)
{
    const QString path = Hostile(QStringLiteral("evil.ace"), {{"..\\..\\escape.txt", "out"},
                                                              {"\\rooted.txt", "root"},
                                                              {"C:drive.txt", "drive"},
                                                              {"ok\\inside.txt", "in"}});
    const auto listed = List(path);
    EXPECT_EQ(listed->Files.Count(), 1);
    ask.ExpectMessageBox(mrOk);
    ExtractTo(path, QStringLiteral("C:\\dest\\deeper"));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\dest"))),
              (QMap<QString, QByteArray>{{QStringLiteral("deeper"), "/"},
                                         {QStringLiteral("deeper/ok"), "/"},
                                         {QStringLiteral("deeper/ok/inside.txt"), "in"}}));
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].count(QLatin1String("leads outside")), 3);
}

TEST_F(Ace, SelectingAFolderTakesOnlyWhatIsBelowIt)
{
    // "doc" used to select "doc2\y.txt" too: names matched as prefixes.
    const QString path = Hostile(QStringLiteral("names.ace"),
                                 {{"doc\\x.txt", "x"}, {"doc2\\y.txt", "y"}, {"docz.txt", "z"}});
    ExtractTo(path, QStringLiteral("C:\\sel"), {QStringLiteral("doc")});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\sel"))),
              (QMap<QString, QByteArray>{{QStringLiteral("doc"), "/"},
                                         {QStringLiteral("doc/x.txt"), "x"}}));
}

TEST_F(Ace, LyingAndDamagedHeadersKeepWhatCameBefore)
{
    // A member whose packed size reaches past the end of the file.
    const QString cut = Hostile(QStringLiteral("cut.ace"),
                                {{"first.txt", "one"}, {"second.txt", "two", 0x20, 0, 0x7FFFFFFF}});
    ask.ExpectMessageBox(mrOk);
    const auto listed = List(cut);
    EXPECT_EQ(listed->Files.Count(), 1);
    EXPECT_EQ(Messages(), QStringList{AboutArchive(cut, 30204)});

    // A header whose CRC does not match.
    QByteArray bytes = BuildAce({{"a.txt", "aaa"}, {"b.txt", "bbb"}});
    bytes[bytes.size() - 5] = 'X'; // inside the second header's name
    MakeFile(QStringLiteral("C:\\made\\crc.ace"), bytes);
    ask.ExpectMessageBox(mrOk);
    const auto damaged = List(QStringLiteral("C:\\made\\crc.ace"));
    EXPECT_EQ(damaged->Files.Count(), 1);
    EXPECT_EQ(Messages(), QStringList{AboutArchive(QStringLiteral("C:\\made\\crc.ace"), 30102)});

    // Not an ACE archive at all.
    MakeFile(QStringLiteral("C:\\made\\plain.ace"), QByteArray(2000, 'p'));
    ask.ExpectMessageBox(mrOk);
    const auto plain = List(QStringLiteral("C:\\made\\plain.ace"));
    EXPECT_TRUE(plain->WrongFormat);
    EXPECT_EQ(Messages(), QStringList{AboutObject(QStringLiteral("C:\\made\\plain.ace"),
                                                  ArchiveStr(30104).replace(
                                                      QLatin1String("%s"), QLatin1String("ACE")))});
}

TEST_F(Ace, FailedMembersNeverReplaceAWholeFile)
{
    MakeFile(QStringLiteral("C:\\keep\\big.txt"), "the old contents");
    // A dictionary above the format's limit, and damaged data.
    const QString limit =
        Hostile(QStringLiteral("limit.ace"), {{"big.txt", "new", 0x20, 13, -1, 1}});
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feOverwrite; };
    ask.ExpectMessageBox(mrOk);
    ExtractTo(limit, QStringLiteral("C:\\keep"));
    EXPECT_EQ(Messages(), QStringList{AboutArchive(limit, 30103)});
    QByteArray bytes = BuildAce({{"big.txt", "new contents"}});
    bytes[bytes.size() - 1] = '!';
    MakeFile(QStringLiteral("C:\\made\\bad.ace"), bytes);
    ask.ExpectMessageBox(mrOk);
    ExtractTo(QStringLiteral("C:\\made\\bad.ace"), QStringLiteral("C:\\keep"));
    EXPECT_EQ(Messages(), QStringList{AboutArchive(QStringLiteral("C:\\made\\bad.ace"), 30102)});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\keep"))),
              (QMap<QString, QByteArray>{{QStringLiteral("big.txt"), "the old contents"}}));

    // A whole member does replace it when the answer says so, and a skip keeps it.
    const QString good = Hostile(QStringLiteral("good.ace"), {{"big.txt", "fresh"}});
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feSkip; };
    ExtractTo(good, QStringLiteral("C:\\keep"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\keep\\big.txt")), QByteArray("the old contents"));
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feOverwrite; };
    ExtractTo(good, QStringLiteral("C:\\keep"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\keep\\big.txt")), QByteArray("fresh"));
    EXPECT_EQ(Messages(), QStringList());
}

TEST(AceMessages, CodesMapToTheArchiveTable)
{
    EXPECT_EQ(AceMessage(ucBadData, acProcessing, false), ArchiveStr(30102));
    EXPECT_EQ(AceMessage(ucBadData, acProcessing, true), ArchiveStr(30303));
    EXPECT_EQ(AceMessage(ucNotAce, acOpening, false),
              ArchiveStr(30104).replace(QLatin1String("%s"), QLatin1String("ACE")));
    EXPECT_EQ(AceMessage(ucNotAce, acReading, false), QString());
    EXPECT_EQ(AceMessage(ucNoNextVolume, acOpening, false), QString());
    EXPECT_EQ(AceMessage(ucDiskFull, acProcessing, false), ArchiveStr(30305));
    EXPECT_EQ(AceMessage(ucExists, acProcessing, false), ArchiveStr(30306));
    EXPECT_EQ(AceMessage(ucUnknownFormat, acProcessing, false), ArchiveStr(30103));
    EXPECT_EQ(AceMessage(77, acProcessing, false), ArchiveStr(30301));
    EXPECT_EQ(AceCaption(), QStringLiteral("UnACE"));
}

TEST(AceDecoder, GarbageEndsAsDamagedWithinItsSize)
{
    // Whatever the bytes, decoding stops: damaged, or the size reached.
    struct TBytes : TAceByteSource {
        QByteArray data;
        qsizetype at = 0;
        long long Read(std::uint8_t *buffer, long long length) override
        {
            const long long part = std::min<long long>(length, data.size() - at);
            std::memcpy(buffer, data.constData() + at, std::size_t(part));
            at += part;
            return part;
        }
    };
    TAceDecoder decoder;
    std::uint32_t seed = 12345;
    for (int round = 0; round < 40; ++round) {
        TBytes bytes;
        for (int i = 0; i < 4096; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes.data.append(char(seed >> 16));
        }
        std::uint64_t produced = 0;
        std::uint32_t crc = 0;
        const TAceDecodeResult result = decoder.Decode(
            bytes, 1 + round % 2, 0x0A, 1 << 20,
            [&](const std::uint8_t *, std::size_t length) {
                produced += length;
                return true;
            },
            crc);
        EXPECT_LE(produced, std::uint64_t(1) << 20);
        EXPECT_TRUE(result == adrDamaged || result == adrOk) << result;
    }
}

TEST_F(Ace, AddRunsTheArchiverWithItsArgumentsOrSaysItIsMissing)
{
    auto archive = std::make_unique<TAce>();
    archive->FileName = QStringLiteral("C:\\out\\new.ace");
    archive->ProgramPath = QStringLiteral("no-such-ace32.exe");
    ask.ExpectMessageBox(mrOk);
    archive->Add();
    const QStringList missing = Messages();
    ASSERT_EQ(missing.size(), 1);
    EXPECT_TRUE(missing[0].contains(QLatin1String("no-such-ace32.exe")));
    EXPECT_TRUE(missing[0].contains(QLatin1String("Preferences")));

    // A stand-in that records its arguments and the list file's lines.
    const QString record = QString::fromUtf8(Native(QStringLiteral("C:\\record.txt")));
    MakeFile(QStringLiteral("C:\\bin\\ace32"),
             "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + record.toUtf8() +
                 "'\nfor a in \"$@\"; do case \"$a\" in @*) cat \"${a#@}\" >> '" + record.toUtf8() +
                 "';; esac; done\n");
    QFile::setPermissions(QString::fromUtf8(Native(QStringLiteral("C:\\bin\\ace32"))),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    archive->ProgramPath = QStringLiteral("C:\\bin\\ace32");
    archive->Names = {QStringLiteral("a file.txt"), QStringLiteral("folder")};
    archive->AddOptions = aoMove | aoRecurse;
    archive->VolumeSize = 1440;
    archive->Compression = 2;
    archive->Add();
    EXPECT_EQ(Messages(), QStringList());
    const QStringList lines = QString::fromUtf8(Contents(QStringLiteral("C:\\record.txt")))
                                  .remove(QLatin1Char('\r'))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines.mid(0, 6),
              (QStringList{QStringLiteral("m"), QStringLiteral("-y"), QStringLiteral("-r"),
                           QStringLiteral("-v1440"), QStringLiteral("-m0"),
                           QString::fromUtf8(Native(QStringLiteral("C:\\out\\new.ace")))}));
    EXPECT_TRUE(lines[6].startsWith(QLatin1Char('@')));
    EXPECT_EQ(lines.mid(7), (QStringList{QStringLiteral("a file.txt"), QStringLiteral("folder")}));
    EXPECT_FALSE(QFile::exists(lines[6].mid(1))) << "the list file is removed";
}

} // namespace
} // namespace kestrel::test
