// ARJ: the header reader on hand-made bytes (search behind a stub, CRC
// checks, lying sizes, short files), the corpus listed as arj lists it and
// extracted through the real arj program, hostile names refused, and the
// exact command lines of the add and extract runs.

#include "archive/archivestrings.h"
#include "archive/arj.h"
#include "archive/arjheader.h"
#include "archive/staging.h"
#include "ops/conflicts.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "tests/archive/zipfixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

QByteArray Le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

QByteArray Le32(sys::DWORD v)
{
    return Le16(int(v & 0xFFFF)) + Le16(int(v >> 16));
}

// One stored ARJ item.
struct TArjItem {
    QByteArray name;
    QByteArray data;
    int flags = 0;
    int fileType = 0;
    int hostOs = 0;                // MS-DOS
    int mode = 0x20;               // archive attribute
    sys::INT64 claimedPacked = -1; // a lying packed size when set
};

QByteArray Header(const TArjItem &item, bool corruptCrc = false)
{
    QByteArray basic;
    basic += char(30); // first header size
    basic += char(11); // version
    basic += char(1);  // minimum version
    basic += char(item.hostOs);
    basic += char(item.flags);
    basic += char(0); // stored
    basic += char(item.fileType);
    basic += char(0);
    basic += Le32(0x58A96A00); // 2024-05-09 13:16:00
    basic += Le32(item.claimedPacked >= 0 ? sys::DWORD(item.claimedPacked)
                                          : sys::DWORD(item.data.size()));
    basic += Le32(sys::DWORD(item.data.size()));
    basic += Le32(~ArjCrcUpdate(0xFFFFFFFFu, item.data.constData(), item.data.size()));
    basic += Le16(0);
    basic += Le16(item.mode);
    basic += Le16(0);
    basic += item.name + '\0' + '\0'; // name, empty comment
    sys::DWORD crc = ~ArjCrcUpdate(0xFFFFFFFFu, basic.constData(), basic.size());
    if (corruptCrc)
        crc ^= 1;
    return QByteArray("\x60\xEA", 2) + Le16(int(basic.size())) + basic + Le32(crc) + Le16(0);
}

QByteArray ArjBytes(const QList<TArjItem> &items, const QByteArray &stub = {})
{
    QByteArray bytes = stub + Header({"test.arj", {}, 0, 2});
    for (const TArjItem &item : items)
        bytes += Header(item) + item.data;
    return bytes + QByteArray("\x60\xEA\0\0", 4);
}

QStringList Keys(const TArchiveEntries &list)
{
    QStringList keys;
    for (int i = 0; i < list.Count(); ++i)
        keys.append(list.Key(i));
    keys.sort();
    return keys;
}

// The items of an arj listing: path (slashes) and original size, for each
// volume section.
QMap<QString, quint64> ArjListing(const QString &file)
{
    QMap<QString, quint64> entries;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    static const QRegularExpression nameLine(QStringLiteral("^\\d{3}\\) (.*)$"));
    static const QRegularExpression sizeLine(QStringLiteral("^\\s*\\d+ \\S+\\s+(\\d+)\\s+\\d+"));
    QString name;
    for (const QByteArray &bytes : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        const QRegularExpressionMatch n = nameLine.match(line);
        if (n.hasMatch()) {
            name = n.captured(1);
            continue;
        }
        const QRegularExpressionMatch s = sizeLine.match(line);
        if (s.hasMatch() && !name.isEmpty()) {
            entries[name] += s.captured(1).toULongLong(); // a split item adds up
            name.clear();
        }
    }
    return entries;
}

bool HasArj()
{
    return !QStandardPaths::findExecutable(QStringLiteral("arj")).isEmpty();
}

class ArjTest : public ArchiveTest {
protected:
    std::unique_ptr<TArj> List(const QString &path)
    {
        auto arj = std::make_unique<TArj>();
        arj->SetFileName(path);
        return arj;
    }
};

TEST_F(ArjTest, HeaderSearchPassesOverStubsAndStopsAtItsLimit)
{
    // A stray id pair in the stub, followed by a size whose CRC fails.
    const QByteArray stub =
        QByteArray(1000, 'M') + QByteArray("\x60\xEA\x10\x00", 4) + QByteArray(29000 - 4, 'Z');
    const QByteArray bytes = ArjBytes({{"a.txt", "hello"}}, stub);
    TZipMemorySource source(bytes);
    TArjReader reader(source);
    EXPECT_EQ(reader.FindHeader(), stub.size());

    const QByteArray late = ArjBytes({{"a.txt", "hello"}}, QByteArray(500001, 'S'));
    TZipMemorySource lateSource(late);
    TArjReader lateReader(lateSource);
    EXPECT_EQ(lateReader.FindHeader(), -1);

    MakeFile(QStringLiteral("C:\\sfx.arj"), ArjBytes({{"a.txt", "hello"}}, QByteArray(30000, 'S')));
    MakeFile(QStringLiteral("C:\\late.arj"), late);
    EXPECT_EQ(Keys(List(QStringLiteral("C:\\sfx.arj"))->Files), QStringList{"a.txt"});
    EXPECT_EQ(List(QStringLiteral("C:\\late.arj"))->EntryCount(), 0);
}

TEST_F(ArjTest, HeadersAreReadAsStoredAndCheckedByCrc)
{
    TArjItem slash{"dir/sub/x.txt", "abc", arjPathSlash};
    TArjItem unix{"u/ro.txt", "r", 0, 0, arjHostUnix, 0100444};
    TArjItem folder{"u", {}, 0, arjTypeFolder, arjHostUnix, 040755};
    // A Unix mode with the 0x10 bit is a file, not a folder.
    TArjItem group{"u/g.txt", "g", 0, 0, arjHostUnix, 0100660};
    MakeFile(QStringLiteral("C:\\a.arj"), ArjBytes({slash, unix, folder, group}));
    const auto arj = List(QStringLiteral("C:\\a.arj"));
    EXPECT_EQ(Keys(arj->Files), (QStringList{"dir\\sub\\x.txt", "u\\g.txt", "u\\ro.txt"}));
    const int ro = arj->Files.IndexOf(QStringLiteral("u\\ro.txt"));
    ASSERT_GE(ro, 0);
    EXPECT_EQ(arj->Files.Entry(ro)->Attributes, sys::FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(arj->Files.Entry(ro)->Size, 1u);
    EXPECT_EQ(arj->Files.Entry(arj->Files.IndexOf(QStringLiteral("u\\g.txt")))->Attributes, 0u);
    EXPECT_GE(arj->Folders.IndexOf(QStringLiteral("u")), 0);

    TZipMemorySource source(ArjBytes({slash}));
    TArjReader reader(source);
    TArjHeader header;
    ASSERT_EQ(reader.ReadHeader(true, header), arjRead);
    ASSERT_EQ(reader.ReadHeader(false, header), arjRead);
    EXPECT_EQ(header.name, QByteArray("dir\\sub\\x.txt"));

    // A header whose CRC does not match ends the listing; no entry from it.
    QByteArray bad = Header({"test.arj", {}, 0, 2}) + Header({"one", "1"}) + "1" +
                     Header({"two", "2"}, true) + "2" + Header({"three", "3"}) + "3";
    MakeFile(QStringLiteral("C:\\bad.arj"), bad);
    EXPECT_EQ(Keys(List(QStringLiteral("C:\\bad.arj"))->Files), QStringList{"one"});

    TZipMemorySource noId(QByteArray("\x60\xEB\x04\x00", 4));
    TArjReader noIdReader(noId);
    EXPECT_EQ(noIdReader.ReadHeader(true, header), arjNoId);
}

TEST_F(ArjTest, LyingAndCutHeadersEndTheListingWithoutReadingPastTheData)
{
    const QByteArray whole = ArjBytes({{"a", "aaaa"}, {"b", "bbbb"}});
    // Every cut of the archive lists a prefix of its items and ends.
    for (int cut = 0; cut < whole.size(); ++cut) {
        TZipMemorySource source(whole.left(cut));
        TArjReader reader(source);
        TArjHeader header;
        if (reader.FindHeader() < 0)
            continue;
        int items = 0;
        reader.ReadHeader(true, header);
        while (reader.ReadHeader(false, header) == arjRead && items < 3) {
            ++items;
            reader.Seek(reader.Position() + sys::INT64(header.packedSize));
        }
        EXPECT_LE(items, 2) << cut;
    }
    // A packed size reaching past the end of the file.
    TArjItem liar{"big", "x"};
    liar.claimedPacked = 0x7FFFFFF0;
    MakeFile(QStringLiteral("C:\\liar.arj"), ArjBytes({liar, {"after", "y"}}));
    EXPECT_EQ(Keys(List(QStringLiteral("C:\\liar.arj"))->Files), QStringList{"big"});

    // A name running to the end of the header is cut there.
    TZipMemorySource source(Header({"test.arj", {}, 0, 2}));
    TArjReader reader(source);
    TArjHeader header;
    EXPECT_EQ(reader.ReadHeader(true, header), arjRead);
    EXPECT_EQ(header.name, QByteArray("test.arj"));
}

TEST_F(ArjTest, CorpusListsAsArjDoesAndExtractsWhole)
{
    if (Corpus().isEmpty() || !HasArj())
        GTEST_SKIP() << "no corpus or no arj";
    const QStringList names{"arjdemo_m0.arj",     "arjdemo_m1.arj", "arjdemo_m2.arj",
                            "arjdemo_m3.arj",     "arjdemo_m4.arj", "arjdemo_vol.arj",
                            "arjdemo_comment.arj"};
    QMap<QString, QByteArray> first;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QMap<QString, quint64> listed =
            ArjListing(Corpus() + QStringLiteral("/arj/") + name + QStringLiteral(".listing.txt"));
        ASSERT_FALSE(listed.isEmpty());
        const auto arj = List(QStringLiteral("T:\\arj\\") + name);
        QMap<QString, quint64> ours;
        for (const TArchiveEntries *list : {&arj->Files, &arj->Folders}) {
            for (int i = 0; i < list->Count(); ++i) {
                if (list->Entry(i)->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY &&
                    !listed.contains(
                        QString(list->Key(i)).replace(QLatin1Char('\\'), QLatin1Char('/'))))
                    continue; // a folder implied by its items, not stored
                ours[QString(list->Key(i)).replace(QLatin1Char('\\'), QLatin1Char('/'))] =
                    list->Entry(i)->Size;
            }
        }
        EXPECT_EQ(ours, listed);

        const QString out = QStringLiteral("C:\\out\\") + name;
        arj->Extract(out);
        EXPECT_EQ(Messages(), QStringList());
        const QMap<QString, QByteArray> tree = Tree(Native(out));
        EXPECT_EQ(tree.size(), listed.size() + 1); // and the top folder, implied
        for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
            if (it.value() != "/") {
                EXPECT_EQ(quint64(it.value().size()), listed.value(it.key()))
                    << it.key().toStdString();
            }
        }
        if (first.isEmpty())
            first = tree;
        EXPECT_EQ(tree, first); // every method gives the same files
    }
    // Stored data is in the archive as it is: the extracted file is the same.
    QFile stored(Corpus() + QStringLiteral("/arj/arjdemo_m0.arj"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll().contains(first.value(QStringLiteral("arjdemo/licenses/GPL-2"))));
    // And nothing of the private folder is left behind.
    EXPECT_FALSE(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\out\\arjdemo_m1.arj"))))
                     .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                     .join(QLatin1Char(' '))
                     .contains(QLatin1String(".kestrel")));
}

TEST_F(ArjTest, SelectedItemsAndExistingFiles)
{
    if (Corpus().isEmpty() || !HasArj())
        GTEST_SKIP() << "no corpus or no arj";
    auto arj = List(QStringLiteral("T:\\arj\\arjdemo_m1.arj"));
    arj->Names = QStringList{QStringLiteral("arjdemo\\docs")};
    arj->Extract(QStringLiteral("C:\\sel"));
    QStringList files = Tree(Native(QStringLiteral("C:\\sel"))).keys();
    EXPECT_EQ(files, (QStringList{"arjdemo", "arjdemo/docs", "arjdemo/docs/debug.txt.gz",
                                  "arjdemo/docs/nested", "arjdemo/docs/nested/deep",
                                  "arjdemo/docs/nested/deep/CC0-1.0", "arjdemo/docs/xlation.txt"}));

    // An existing file: kept when skipped, replaced whole when overwritten.
    MakeFile(QStringLiteral("C:\\ex\\arjdemo\\ReadMe.txt"), "mine");
    arj = List(QStringLiteral("T:\\arj\\arjdemo_m1.arj"));
    arj->Names = QStringList{QStringLiteral("arjdemo\\ReadMe.txt")};
    int asked = 0;
    int answer = feSkip;
    arj->OnFileExists = [&](TArchive &, const TFile &, int &mode, QString &) {
        ++asked;
        mode = answer;
    };
    arj->Extract(QStringLiteral("C:\\ex"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Contents(QStringLiteral("C:\\ex\\arjdemo\\ReadMe.txt")), QByteArray("mine"));
    answer = feOverwrite;
    arj->Names = QStringList{QStringLiteral("arjdemo\\ReadMe.txt")};
    arj->Extract(QStringLiteral("C:\\ex"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\ex\\arjdemo\\ReadMe.txt")).size(), 2397);
}

TEST_F(ArjTest, ArchivesWithNamesLeadingOutsideAreRefusedWhole)
{
    if (!HasArj())
        GTEST_SKIP() << "no arj";
    for (const QByteArray &evil : {QByteArray("../evil.txt"), QByteArray("/tmp/evil.txt"),
                                   QByteArray("C:\\evil.txt"), QByteArray("a/../../evil.txt")}) {
        SCOPED_TRACE(evil.toStdString());
        MakeFile(QStringLiteral("C:\\in\\e.arj"), ArjBytes({{"good.txt", "good"}, {evil, "bad"}}));
        const auto arj = List(QStringLiteral("C:\\in\\e.arj"));
        EXPECT_EQ(arj->UnsafeNames.size(), 1);
        ask.ExpectMessageBox(mrOk);
        arj->Extract(QStringLiteral("C:\\in\\out"));
        const QStringList shown = Messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].contains(QLatin1String("outside"))) << shown[0].toStdString();
        EXPECT_FALSE(Exists(QStringLiteral("C:\\in\\out\\good.txt")));
        EXPECT_FALSE(Exists(QStringLiteral("C:\\evil.txt")));
        EXPECT_FALSE(Exists(QStringLiteral("C:\\in\\evil.txt")));
    }
}

TEST_F(ArjTest, DamagedDataIsNotPutInPlace)
{
    if (!HasArj())
        GTEST_SKIP() << "no arj";
    // The stored CRC says other bytes than the data holds.
    TArjItem item{"file.txt", "right data"};
    QByteArray bytes = ArjBytes({item});
    bytes.replace("right data", "wrong data");
    MakeFile(QStringLiteral("C:\\d.arj"), bytes);
    MakeFile(QStringLiteral("C:\\dout\\file.txt"), "old");
    const auto arj = List(QStringLiteral("C:\\d.arj"));
    arj->OnFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feOverwrite; };
    ask.ExpectMessageBox(mrOk);
    ask.ExpectMessageBox(mrOk);
    arj->Extract(QStringLiteral("C:\\dout"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\dout\\file.txt")), QByteArray("old"));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\dout"))).keys(), QStringList{"file.txt"});
}

TEST_F(ArjTest, CommandLinesAndListFile)
{
    TArj arj;
    arj.FileName = QStringLiteral("C:\\My Archives\\new.arj");
    arj.ProgramPath = Stub(QStringLiteral("stub.sh"));
    arj.AddOptions = aoRecurse;
    arj.VolumeSize = 1440;
    arj.Compression = 2;
    arj.Names = QStringList{QStringLiteral("a file.txt"), QStringLiteral("sub\\b.txt")};
    MakeFolder(QStringLiteral("C:\\My Archives"));
    arj.Add();
    const QStringList args = Recorded("args");
    ASSERT_EQ(args.size(), 7);
    EXPECT_EQ(args.mid(0, 5), (QStringList{"a", "-y", "-r", "-v1440", "-m0"}));
    EXPECT_EQ(args[5], QString::fromUtf8(Native(QStringLiteral("C:\\My Archives\\new.arj"))));
    EXPECT_TRUE(args[6].startsWith(QLatin1Char('!')));
    EXPECT_EQ(Recorded("list"), (QStringList{"a file.txt", "sub/b.txt"}));
    // The list file is private and gone once the run ends.
    EXPECT_FALSE(QFile::exists(args[6].mid(1)));

    arj.AddOptions = aoMove;
    arj.VolumeSize = 0;
    arj.Compression = 0;
    arj.Add();
    EXPECT_EQ(Recorded("args").mid(0, 3), (QStringList{"m", "-y", "-m1"}));

    EXPECT_EQ(arj.ExtractArguments(QStringLiteral("/x/a b.arj"), QStringLiteral("/out"), QString()),
              (QStringList{"x", "-v", "-y", "/x/a b.arj", "/out/"}));
    EXPECT_EQ(TArj::NextVolume(QStringLiteral("C:\\v.arj")), QStringLiteral("C:\\v.a01"));
    EXPECT_EQ(TArj::NextVolume(QStringLiteral("C:\\v.a09")), QStringLiteral("C:\\v.a10"));
}

TEST_F(ArjTest, MissingArchiverIsNamedWithWhereToSetIt)
{
    TArj arj;
    arj.FileName = QStringLiteral("C:\\new.arj");
    arj.ProgramPath = QStringLiteral("no-such-archiver.exe");
    arj.Names = QStringList{QStringLiteral("x")};
    ask.ExpectMessageBox(mrOk);
    arj.Add();
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QLatin1String("no-such-archiver.exe")));
    EXPECT_TRUE(shown[0].contains(QLatin1String("Preferences")));
}

TEST_F(ArjTest, RealArjAddsWhatItIsGiven)
{
    if (!HasArj())
        GTEST_SKIP() << "no arj";
    MakeFile(QStringLiteral("C:\\src\\one.txt"), "first file");
    MakeFile(QStringLiteral("C:\\src\\sub dir\\two.txt"), Pattern(70000));
    ASSERT_TRUE(sys::SetCurrentDirectory(QStringLiteral("C:\\src")));
    TArj arj;
    arj.FileName = QStringLiteral("C:\\made.arj");
    arj.AddOptions = aoRecurse;
    arj.Names = QStringList{QStringLiteral("one.txt"), QStringLiteral("sub dir\\two.txt")};
    arj.Add();
    EXPECT_EQ(Messages(), QStringList());
    const auto listed = List(QStringLiteral("C:\\made.arj"));
    EXPECT_EQ(Keys(listed->Files), (QStringList{"one.txt", "sub dir\\two.txt"}));
    listed->Extract(QStringLiteral("C:\\back"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\back\\sub dir\\two.txt")), Pattern(70000));
}

} // namespace
} // namespace kestrel::test
