// TZip extraction: the corpus against bsdtar, passwords, damaged data,
// names and links that would leave the destination, existing targets,
// failures that must leave no half-written file, and the selection.

#include "archive/archivestrings.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "tests/archive/zipfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class ZipExtract : public ArchiveTest {
protected:
    // Extracts names (all when empty) of the archive into the folder.
    std::unique_ptr<TZip> ExtractTo(const QString &archive, const QString &destination,
                                    const QStringList &names = {}, const QString &password = {})
    {
        auto zip = Open(archive);
        zip->Password = password;
        zip->Names = names;
        zip->OnFileExists = onFileExists;
        zip->OnProgress = onProgress;
        zip->Extract(destination);
        return zip;
    }
    void WriteZip(const QString &path, const QByteArray &bytes) { MakeFile(path, bytes); }
    // Names in a native folder tree that look like temporary files.
    QStringList Leftovers(const QString &folder)
    {
        return Tree(Native(folder)).keys().filter(QStringLiteral("~kst"));
    }
    // Entries and their contents for the tests' own archives.
    static QList<TLibItem> Sample()
    {
        return {{QStringLiteral("readme.txt"), "read me\n"},
                {QStringLiteral("dir/"), {}, TLibItem::Folder},
                {QStringLiteral("dir/a.bin"), Pattern(300000, 1)},
                {QStringLiteral("dir/sub/b.txt"), "bee"},
                {QStringLiteral("empty/"), {}, TLibItem::Folder}};
    }

    TArchive::TFileExistsEvent onFileExists;
    TArchive::TProgressEvent onProgress;
};

TEST_F(ZipExtract, CorpusExtractsAsBsdtarDoes)
{
    if (Corpus().isEmpty() || QStandardPaths::findExecutable(QStringLiteral("bsdtar")).isEmpty())
        GTEST_SKIP() << "no archive corpus or no bsdtar on this machine";
    const QMap<QString, QString> passwords{
        {QStringLiteral("test_read_format_zip_traditional_encryption_data.zip"),
         QStringLiteral("12345678")},
        {QStringLiteral("test_read_format_zip_winzip_aes256.zip"), QStringLiteral("password")}};
    int compared = 0;
    for (const QString &folder : {QStringLiteral("zip"), QStringLiteral("debian-zip")}) {
        const QDir dir(Corpus() + QLatin1Char('/') + folder);
        for (const QString &name : dir.entryList(QDir::Files)) {
            if (name.endsWith(QLatin1String(".listing.txt")))
                continue;
            SCOPED_TRACE(name.toStdString());
            const QString ours = QStringLiteral("C:\\ours\\") + name;
            const QString theirs = QStringLiteral("C:\\bsdtar\\") + name;
            MakeFolder(theirs);
            QStringList arguments{QStringLiteral("-xf"), dir.filePath(name), QStringLiteral("-C"),
                                  QString::fromUtf8(Native(theirs))};
            if (passwords.contains(name))
                arguments << QStringLiteral("--passphrase") << passwords[name];
            QProcess::execute(QStringLiteral("bsdtar"), arguments);

            const bool selfExtractor = name.contains(QLatin1String("sfx"));
            // The one archive with a damaged item: libarchive's file2 has a bad CRC.
            const bool damaged = name == QLatin1String("test_read_format_zip.zip");
            // OEM names: bsdtar keeps the bytes, we write the names decoded.
            const bool oemNames = name.contains(QLatin1String("cp866"));
            SetZipCodePage(oemNames ? 866 : 437);
            if (selfExtractor)
                ask.ExpectMessageBox(mrOk);
            if (damaged)
                ask.ExpectMessageBox(mrOk);
            const auto zip = ExtractTo(QStringLiteral("T:\\") + folder + QLatin1Char('\\') + name,
                                       ours, {}, passwords.value(name));
            QMap<QString, QByteArray> expected = Tree(Native(theirs));
            if (oemNames) {
                // Names differing only in case are one file to the program:
                // the second is an existing file, kept with nobody to ask.
                expected = {{QStringLiteral("ПРИВЕТ"), "\xf0\xf2\xe9\xf7\xe5\xf4"}};
            }
            if (damaged) {
                // bsdtar leaves the damaged file behind; we do not.
                EXPECT_TRUE(expected.remove(QStringLiteral("file2")));
                EXPECT_EQ(Messages().last(),
                          ArchiveStr(amNotExtracted) + QLatin1Char('\n') +
                              ArchiveStr(amCrcError)
                                  .replace(QLatin1String("%s"), QLatin1String("file2")));
            }
            EXPECT_FALSE(expected.isEmpty());
            EXPECT_EQ(Tree(Native(ours)), expected);
            EXPECT_EQ(zip->ProcessedCount,
                      int(std::count_if(expected.begin(), expected.end(),
                                        [](const QByteArray &v) { return v != "/"; })));
            ++compared;
        }
    }
    EXPECT_EQ(compared, 13);
    // bsdtar's names that are not UTF-8 are beyond what the temporary folder removes.
    QProcess::execute(
        QStringLiteral("rm"),
        {QStringLiteral("-rf"), QString::fromUtf8(Native(QStringLiteral("C:\\bsdtar")))});
}

TEST_F(ZipExtract, PasswordsTraditionalAndAes)
{
    for (const char *method : {"zipcrypt", "aes256"}) {
        SCOPED_TRACE(method);
        const QString archive = QStringLiteral("C:\\%1.zip").arg(QLatin1String(method));
        WriteLibZip(Native(archive), Sample(), "deflate", method, "right");

        // Given beforehand: no question.
        const QString given = QStringLiteral("C:\\given-%1").arg(QLatin1String(method));
        ExtractTo(archive, given, {}, QStringLiteral("right"));
        EXPECT_EQ(Contents(given + QStringLiteral("\\dir\\a.bin")), Pattern(300000, 1));

        // Asked once, then kept for the other items.
        ask.ExpectGetString(mrOk, QStringLiteral("right"));
        const QString prompted = QStringLiteral("C:\\asked-%1").arg(QLatin1String(method));
        const auto zip = ExtractTo(archive, prompted);
        EXPECT_EQ(zip->ProcessedCount, 3);
        EXPECT_EQ(zip->Password, QStringLiteral("right"));
        EXPECT_EQ(Contents(prompted + QStringLiteral("\\dir\\sub\\b.txt")), QByteArray("bee"));
        EXPECT_TRUE(Messages().isEmpty());
    }
}

TEST_F(ZipExtract, WrongPasswordLeavesNothingBehind)
{
    const QString archive = QStringLiteral("C:\\locked.zip");
    WriteLibZip(
        Native(archive),
        {{QStringLiteral("secret.txt"), Pattern(100000, 3)}, {QStringLiteral("more.txt"), "more"}},
        "deflate", "aes256", "right");
    // Three wrong answers use up the requests; the fourth gives up.
    for (int i = 0; i < 3; ++i)
        ask.ExpectGetString(mrOk, QStringLiteral("wrong%1").arg(i));
    ask.ExpectMessageBox(mrOk);
    const auto zip = ExtractTo(archive, QStringLiteral("C:\\out"));
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) +
                                      QStringLiteral("\nsecret.txt: ") + ArchiveStr(10104)});
    EXPECT_EQ(zip->ProcessedCount, 0);
    EXPECT_TRUE(Tree(Native(QStringLiteral("C:\\out"))).isEmpty());

    // Cancelling the question stops without a message.
    ask.ExpectGetString(mrCancel);
    ExtractTo(archive, QStringLiteral("C:\\out2"));
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_TRUE(Tree(Native(QStringLiteral("C:\\out2"))).isEmpty());
}

TEST_F(ZipExtract, DamagedDataNeverReplacesAGoodFile)
{
    TZipBytes zip;
    zip.items = {{"good.txt", "fine data"}, {"bad.txt", Pattern(5000, 2)}, {"last.txt", "last"}};
    zip.items[1].deflate = true;
    QByteArray bytes = zip.Build();
    // Damage the deflated data of bad.txt.
    const int data = bytes.indexOf("bad.txt") + 7 + 100;
    for (int i = 0; i < 40; ++i)
        bytes[data + i] = char(bytes[data + i] ^ 0x5A);
    WriteZip(QStringLiteral("C:\\damaged.zip"), bytes);
    MakeFile(QStringLiteral("C:\\out\\bad.txt"), "the old, whole file");
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feOverwrite; };
    ask.ExpectMessageBox(mrOk);
    const auto result = ExtractTo(QStringLiteral("C:\\damaged.zip"), QStringLiteral("C:\\out"));
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QLatin1String("bad.txt"))) << messages[0].toStdString();
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\bad.txt")), QByteArray("the old, whole file"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\good.txt")), QByteArray("fine data"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\last.txt")), QByteArray("last"));
    EXPECT_EQ(result->ProcessedCount, 2);
    EXPECT_TRUE(Leftovers(QStringLiteral("C:\\out")).isEmpty());
}

TEST_F(ZipExtract, NothingIsWrittenOutsideTheDestination)
{
    TZipBytes zip;
    for (const QByteArray &name :
         {QByteArray("../escape.txt"), QByteArray("sub/../../escape2.txt"), QByteArray("/abs.txt"),
          QByteArray("C:/drive.txt"), QByteArray("C:drive2.txt"), QByteArray("ok.txt"),
          QByteArray("ctl\x07.txt"), QByteArray("/")})
        zip.items.append(TZipItem{name, "payload"});
    WriteZip(QStringLiteral("C:\\evil.zip"), zip.Build());
    MakeFolder(QStringLiteral("C:\\dest\\inner"));
    ask.ExpectMessageBox(mrOk);
    const auto result =
        ExtractTo(QStringLiteral("C:\\evil.zip"), QStringLiteral("C:\\dest\\inner"));
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 1);
    for (const char *name : {"../escape.txt", "sub/../../escape2.txt", "/abs.txt", "C:/drive.txt",
                             "C:drive2.txt", "ctl\x07.txt"})
        EXPECT_TRUE(messages[0].contains(
            QString::fromLatin1(name).replace(QLatin1Char('/'), QLatin1Char('\\'))))
            << name;
    EXPECT_EQ(result->ProcessedCount, 1);
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\dest"))),
              (QMap<QString, QByteArray>{{QStringLiteral("inner"), "/"},
                                         {QStringLiteral("inner/ok.txt"), "payload"}}));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\"))).count(), 4); // evil.zip, dest, inner, ok.txt
}

TEST_F(ZipExtract, ManyMessagesAreCountedNotListed)
{
    TZipBytes zip;
    for (int i = 0; i < 25; ++i)
        zip.items.append(TZipItem{"../evil" + QByteArray::number(i), "x"});
    WriteZip(QStringLiteral("C:\\many.zip"), zip.Build());
    ask.ExpectMessageBox(mrOk);
    ExtractTo(QStringLiteral("C:\\many.zip"), QStringLiteral("C:\\out"));
    const QStringList lines = Messages().value(0).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_TRUE(lines[20].startsWith(QLatin1String("..\\evil19:")));
    EXPECT_EQ(lines[21], QStringLiteral("... and 5 more"));
}

TEST_F(ZipExtract, NamesTooLongForTheDiskFailAlone)
{
    TZipBytes zip;
    zip.items = {{QByteArray(65535, 'n'), "long"},
                 {QByteArray(300, 'm') + "/x.txt", "deep"},
                 {"fine.txt", "fine"}};
    WriteZip(QStringLiteral("C:\\long.zip"), zip.Build());
    ask.ExpectMessageBox(mrOk);
    const auto result = ExtractTo(QStringLiteral("C:\\long.zip"), QStringLiteral("C:\\out"));
    const QString message = Messages().value(0);
    EXPECT_EQ(message.count(GetErrorMessage(int(sys::ERROR_FILENAME_EXCED_RANGE))), 2);
    EXPECT_EQ(result->ProcessedCount, 1);
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\out"))).keys(),
              QStringList{QStringLiteral("fine.txt")});
}

TEST_F(ZipExtract, LinksThatLeaveAreRefused)
{
    MakeFolder(QStringLiteral("C:\\outside"));
    WriteLibZip(Native(QStringLiteral("C:\\links.zip")),
                {{QStringLiteral("file"), "content"},
                 {QStringLiteral("sub/"), {}, TLibItem::Folder},
                 {QStringLiteral("sub/up"), {}, TLibItem::Link, QStringLiteral("../file")},
                 {QStringLiteral("inside"), {}, TLibItem::Link, QStringLiteral("file")},
                 {QStringLiteral("out"), {}, TLibItem::Link, QStringLiteral("../outside")},
                 {QStringLiteral("abs"),
                  {},
                  TLibItem::Link,
                  QString::fromUtf8(Native(QStringLiteral("C:\\outside")))},
                 {QStringLiteral("hop"), {}, TLibItem::Link, QStringLiteral("sub")},
                 {QStringLiteral("hop/through.txt"), "through a link"},
                 {QStringLiteral("pre/x.txt"), "into a link already there"}});
    // A link the user has in the destination: nothing is written through it.
    MakeFolder(QStringLiteral("C:\\dest"));
    ASSERT_TRUE(sys::CreateSymbolicLink(QStringLiteral("C:\\dest\\pre"),
                                        QString::fromUtf8(Native(QStringLiteral("C:\\outside"))),
                                        0));
    ask.ExpectMessageBox(mrOk);
    ExtractTo(QStringLiteral("C:\\links.zip"), QStringLiteral("C:\\dest"));
    const QString message = Messages().value(0);
    for (const char *name : {"out", "abs", "hop\\through.txt", "pre\\x.txt"})
        EXPECT_TRUE(message.contains(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(message.contains(QLatin1String("inside")));
    const QMap<QString, QByteArray> tree = Tree(Native(QStringLiteral("C:\\dest")));
    EXPECT_EQ(tree.value(QStringLiteral("inside")), QByteArray("-> file"));
    EXPECT_EQ(tree.value(QStringLiteral("sub/up")), QByteArray("-> ../file"));
    EXPECT_EQ(tree.value(QStringLiteral("hop")), QByteArray("-> sub"));
    EXPECT_FALSE(tree.contains(QStringLiteral("out")));
    EXPECT_FALSE(tree.contains(QStringLiteral("abs")));
    EXPECT_TRUE(Tree(Native(QStringLiteral("C:\\outside"))).isEmpty());
}

// Items are read in stretches of a bounded size, and libarchive seeks back
// over an item's start while opening it: every byte must still come out in
// its place, for the stretch boundaries of stored, deflated and encrypted data.
TEST_F(ZipExtract, ItemsLongerThanOneReadComeOutWhole)
{
    const QByteArray big = Pattern(2621447, 7);
    const QByteArray exact = Pattern(1 << 20, 8);
    for (const char *method : {"store", "deflate", "zipcrypt"}) {
        SCOPED_TRACE(method);
        const bool crypt = QByteArray(method) == "zipcrypt";
        const QString archive = QStringLiteral("C:\\long-%1.zip").arg(QLatin1String(method));
        WriteLibZip(Native(archive),
                    {{QStringLiteral("big.bin"), big},
                     {QStringLiteral("tiny.txt"), "t"},
                     {QStringLiteral("exact.bin"), exact}},
                    crypt ? "deflate" : method, crypt ? method : nullptr, "pw");
        const QString out = QStringLiteral("C:\\long-%1").arg(QLatin1String(method));
        const auto zip = ExtractTo(archive, out, {}, crypt ? QStringLiteral("pw") : QString());
        EXPECT_EQ(zip->ProcessedCount, 3);
        EXPECT_TRUE(Contents(out + QStringLiteral("\\big.bin")) == big);
        EXPECT_EQ(Contents(out + QStringLiteral("\\tiny.txt")), QByteArray("t"));
        EXPECT_TRUE(Contents(out + QStringLiteral("\\exact.bin")) == exact);
    }
}

// A dangling link where an item goes is there all the same: the user is
// asked, and an overwrite replaces the link itself, never writing where it
// points.
TEST_F(ZipExtract, DanglingLinkAtTheTargetIsAskedAbout)
{
    WriteLibZip(Native(QStringLiteral("C:\\one.zip")), {{QStringLiteral("a.txt"), "new a"}});
    MakeFolder(QStringLiteral("C:\\out"));
    ASSERT_TRUE(
        sys::CreateSymbolicLink(QStringLiteral("C:\\out\\a.txt"), QStringLiteral("gone.txt"), 0));
    int asked = 0;
    onFileExists = [&](TArchive &, const TFile &, int &mode, QString &) {
        ++asked;
        mode = feOverwrite;
    };
    const auto zip = ExtractTo(QStringLiteral("C:\\one.zip"), QStringLiteral("C:\\out"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(zip->ProcessedCount, 1);
    const QMap<QString, QByteArray> tree = Tree(Native(QStringLiteral("C:\\out")));
    EXPECT_EQ(tree.value(QStringLiteral("a.txt")), QByteArray("new a"));
    EXPECT_FALSE(tree.contains(QStringLiteral("gone.txt")));
    EXPECT_EQ(tree.size(), 1);
}

TEST_F(ZipExtract, ExistingFilesFollowTheAnswers)
{
    WriteLibZip(Native(QStringLiteral("C:\\new.zip")), {{QStringLiteral("a.txt"), "new a"},
                                                        {QStringLiteral("b.txt"), "new b"},
                                                        {QStringLiteral("c.txt"), "new c"},
                                                        {QStringLiteral("d.txt"), "new d"}});
    for (const char *n : {"a", "b", "c"})
        MakeFile(QStringLiteral("C:\\out\\%1.txt").arg(QLatin1String(n)), "old");
    int asked = 0;
    QString askedTarget;
    onFileExists = [&](TArchive &, const TFile &item, int &mode, QString &target) {
        ++asked;
        askedTarget = target;
        EXPECT_EQ(item.Size, 5u);
        // An answer for all stands without asking.
        if (!(mode & feAll))
            mode = feSkip | feAll;
    };
    ExtractTo(QStringLiteral("C:\\new.zip"), QStringLiteral("C:\\out"));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(askedTarget, QStringLiteral("C:\\out\\c.txt"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\a.txt")), QByteArray("old"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\d.txt")), QByteArray("new d"));

    // Overwrite one, then cancel: nothing after the cancel is extracted.
    sys::DeleteFile(QStringLiteral("C:\\out\\d.txt"));
    int answers = 0;
    onFileExists = [&](TArchive &, const TFile &, int &mode, QString &) {
        mode = answers++ == 0 ? feOverwrite : feCancel;
    };
    const auto zip = ExtractTo(QStringLiteral("C:\\new.zip"), QStringLiteral("C:\\out"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\a.txt")), QByteArray("new a"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\b.txt")), QByteArray("old"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\d.txt")));
    EXPECT_EQ(zip->ProcessedCount, 1);
    EXPECT_FALSE(zip->Cancel);
}

TEST_F(ZipExtract, FailedWritesLeaveNoPartFile)
{
    WriteLibZip(
        Native(QStringLiteral("C:\\big.zip")),
        {{QStringLiteral("big.bin"), Pattern(3000000, 4)}, {QStringLiteral("small.txt"), "ok"}},
        "store");
    MakeFile(QStringLiteral("C:\\out\\big.bin"), "keep me");
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) {
        mode = feOverwrite | feAll;
    };
    sys::InjectFault(sys::FaultOp::Write, 2, sys::ERROR_DISK_FULL);
    ask.ExpectMessageBox(mrOk);
    const auto zip = ExtractTo(QStringLiteral("C:\\big.zip"), QStringLiteral("C:\\out"));
    sys::ClearFaults();
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) + QStringLiteral("\nbig.bin: ") +
                                      GetErrorMessage(int(sys::ERROR_DISK_FULL))});
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\big.bin")), QByteArray("keep me"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\small.txt")), QByteArray("ok"));
    EXPECT_TRUE(Leftovers(QStringLiteral("C:\\out")).isEmpty());
    EXPECT_EQ(zip->ProcessedCount, 1);
}

TEST_F(ZipExtract, CancelFromTheProgressStopsAndCleansUp)
{
    WriteLibZip(
        Native(QStringLiteral("C:\\two.zip")),
        {{QStringLiteral("first.bin"), Pattern(2000000, 5)}, {QStringLiteral("second.txt"), "2"}},
        "store");
    QList<int> kinds;
    onProgress = [&](TArchive &sender, int kind, sys::INT64, const QString &) {
        kinds << kind;
        if (kind == apkBytes)
            sender.Cancel = true;
    };
    const auto zip = ExtractTo(QStringLiteral("C:\\two.zip"), QStringLiteral("C:\\out"));
    EXPECT_EQ(kinds.mid(0, 4), (QList<int>{apkItemCount, apkByteTotal, apkItem, apkBytes}));
    EXPECT_EQ(kinds.last(), apkEnd);
    EXPECT_TRUE(Tree(Native(QStringLiteral("C:\\out"))).isEmpty());
    EXPECT_EQ(zip->ProcessedCount, 0);
}

TEST_F(ZipExtract, ProgressReportsEveryItemAndByte)
{
    WriteLibZip(Native(QStringLiteral("C:\\s.zip")), Sample());
    QStringList items;
    sys::INT64 bytes = 0;
    sys::INT64 count = -1;
    sys::INT64 total = -1;
    onProgress = [&](TArchive &, int kind, sys::INT64 amount, const QString &name) {
        if (kind == apkItem)
            items << name;
        else if (kind == apkBytes)
            bytes += amount;
        else if (kind == apkItemCount)
            count = amount;
        else if (kind == apkByteTotal)
            total = amount;
    };
    ExtractTo(QStringLiteral("C:\\s.zip"), QStringLiteral("C:\\out"));
    EXPECT_EQ(items, (QStringList{QStringLiteral("readme.txt"), QStringLiteral("dir\\a.bin"),
                                  QStringLiteral("dir\\sub\\b.txt")}));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(total, 8 + 300000 + 3);
    EXPECT_EQ(bytes, total);
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\out"))).value(QStringLiteral("empty")),
              QByteArray("/"));
}

TEST_F(ZipExtract, NamesSelectItemsAndFolders)
{
    WriteLibZip(Native(QStringLiteral("C:\\s.zip")), Sample());
    ExtractTo(QStringLiteral("C:\\s.zip"), QStringLiteral("C:\\one"), {QStringLiteral("DIR")});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\one"))).keys(),
              (QStringList{QStringLiteral("dir"), QStringLiteral("dir/a.bin"),
                           QStringLiteral("dir/sub"), QStringLiteral("dir/sub/b.txt")}));
    ExtractTo(QStringLiteral("C:\\s.zip"), QStringLiteral("C:\\two"),
              {QStringLiteral("dir\\sub\\b.txt"), QStringLiteral("readme.txt")});
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\two"))).keys(),
              (QStringList{QStringLiteral("dir"), QStringLiteral("dir/sub"),
                           QStringLiteral("dir/sub/b.txt"), QStringLiteral("readme.txt")}));
}

TEST_F(ZipExtract, ExplicitDestinationIsMadeAndTheCurrentFolderStays)
{
    WriteLibZip(Native(QStringLiteral("C:\\s.zip")), Sample());
    MakeFolder(QStringLiteral("D:\\work"));
    ASSERT_TRUE(sys::SetCurrentDirectory(QStringLiteral("D:\\work")));
    const auto zip = ExtractTo(QStringLiteral("C:\\s.zip"), QStringLiteral("C:\\new\\deep\\dest"));
    EXPECT_EQ(sys::GetCurrentDirectory(), QStringLiteral("D:\\work"));
    EXPECT_EQ(zip->ProcessedCount, 3);
    EXPECT_EQ(Contents(QStringLiteral("C:\\new\\deep\\dest\\readme.txt")), QByteArray("read me\n"));
    EXPECT_TRUE(Tree(Native(QStringLiteral("D:\\work"))).isEmpty());
}

TEST_F(ZipExtract, ArchiveThatVanishedOrWasCut)
{
    WriteLibZip(Native(QStringLiteral("C:\\s.zip")), Sample(), "store");
    auto zip = Open(QStringLiteral("C:\\s.zip"));
    ASSERT_EQ(zip->Files.Count(), 3);
    ASSERT_TRUE(sys::DeleteFile(QStringLiteral("C:\\s.zip")));
    ask.ExpectMessageBox(mrOk);
    zip->Extract(QStringLiteral("C:\\out"));
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) + QLatin1Char('\n') +
                                      ArchiveStr(11001) + QStringLiteral(": C:\\s.zip")});
    EXPECT_EQ(zip->ProcessedCount, 0);

    // Cut after the listing: the directory is gone with the end of the file.
    WriteLibZip(Native(QStringLiteral("C:\\s.zip")), Sample(), "store");
    zip = Open(QStringLiteral("C:\\s.zip"));
    const QByteArray whole = Contents(QStringLiteral("C:\\s.zip"));
    MakeFile(QStringLiteral("C:\\s.zip"), whole.left(whole.indexOf("dir/a.bin") + 1000));
    ask.ExpectMessageBox(mrOk);
    zip->Extract(QStringLiteral("C:\\cut"));
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) + QLatin1Char('\n') +
                                      ArchiveStr(11036) + QStringLiteral(": C:\\s.zip")});
    EXPECT_TRUE(Tree(Native(QStringLiteral("C:\\cut"))).isEmpty());
}

TEST_F(ZipExtract, SizesThatLieGiveDamagedItemsOnly)
{
    TZipBytes zip;
    zip.items = {{"first.txt", "first"}, {"liar.txt", Pattern(1000, 6)}, {"third.txt", "third"}};
    TZipLayout layout;
    QByteArray bytes = zip.Build(&layout);
    // The directory says liar.txt is far longer than the file.
    const int central = bytes.indexOf("liar.txt", layout.directoryOffset) - 46;
    bytes[central + 22] = 0x10;
    bytes[central + 26] = 0x10;
    WriteZip(QStringLiteral("C:\\liar.zip"), bytes);
    ask.ExpectMessageBox(mrOk);
    const auto result = ExtractTo(QStringLiteral("C:\\liar.zip"), QStringLiteral("C:\\out"));
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QLatin1String("liar.txt")));
    EXPECT_EQ(result->ProcessedCount, 2);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\liar.txt")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\third.txt")), QByteArray("third"));
    EXPECT_TRUE(Leftovers(QStringLiteral("C:\\out")).isEmpty());
}

TEST_F(ZipExtract, UnixModesGiveReadOnlyAndExecutable)
{
    WriteLibZip(Native(QStringLiteral("C:\\m.zip")),
                {{QStringLiteral("run.sh"), "#!/bin/sh\n", TLibItem::File, {}, 0755},
                 {QStringLiteral("ro.txt"), "fixed", TLibItem::File, {}, 0444}});
    ExtractTo(QStringLiteral("C:\\m.zip"), QStringLiteral("C:\\out"));
    EXPECT_TRUE(
        QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\out\\run.sh")))).isExecutable());
    EXPECT_TRUE(sys::GetFileAttributes(QStringLiteral("C:\\out\\ro.txt")) &
                sys::FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(
        QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\out\\ro.txt")))).isExecutable());
}

} // namespace
} // namespace kestrel::test
