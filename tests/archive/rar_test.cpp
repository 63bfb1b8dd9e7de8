// RAR: the corpus listed as bsdtar lists it and extracted as bsdtar
// extracts it, volume sets with a volume missing, encrypted items with the
// password prompt, hostile names, the selection of names, the result codes'
// messages and the exact command line of the add run.

#include "archive/archivestrings.h"
#include "archive/handlers.h"
#include "archive/rar.h"
#include "ops/conflicts.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "tests/archive/zipfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

bool HasTool(const char *name)
{
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

// The first bsdtar section of a corpus listing: path (slashes, a folder
// without its slash) and size.
QMap<QString, quint64> BsdtarListing(const QString &file)
{
    QMap<QString, quint64> entries;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    static const QRegularExpression line(QStringLiteral(
        "^([-dlhrwxs]{10})\\s+\\d+\\s+\\S+\\s+\\S+\\s+(\\d+)\\s+\\w{3}\\s+\\d+\\s+\\d+\\s+(.*)$"));
    int sections = 0;
    for (const QByteArray &bytes : f.readAll().split('\n')) {
        const QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QLatin1String("# ----")) && ++sections > 1)
            break;
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        QString name = m.captured(3);
        name = name.section(QLatin1String(" -> "), 0, 0).section(QLatin1String(" link to "), 0, 0);
        entries[name] =
            m.captured(1).startsWith(QLatin1Char('d')) ? 0 : m.captured(2).toULongLong();
    }
    return entries;
}

class RarTest : public ArchiveTest {
protected:
    std::unique_ptr<TRar> List(const QString &path)
    {
        auto rar = std::make_unique<TRar>();
        rar->SetFileName(path);
        return rar;
    }

    static QMap<QString, quint64> Listed(const TRar &rar)
    {
        QMap<QString, quint64> listed;
        for (const TArchiveEntries *list : {&rar.Files, &rar.Folders})
            for (int i = 0; i < list->Count(); ++i)
                listed[QString(list->Key(i)).replace(QLatin1Char('\\'), QLatin1Char('/'))] =
                    list->Entry(i)->Size;
        return listed;
    }

    void CopyCorpus(const QString &name, const QString &to)
    {
        QFile f(Corpus() + QStringLiteral("/rar/") + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        MakeFile(to, f.readAll());
    }
};

// Samples that cannot be read: their headers are encrypted, and neither
// libarchive nor unar lists them without the password at listing time.
const QStringList headerEncrypted{"test_read_format_rar_encryption_header.rar",
                                  "test_read_format_rar5_encrypted_filenames.rar"};

// A search stops inside the list of any archive whose headers lie all
// through the file, keeping what was read and saying nothing.
TEST_F(RarTest, ListingsStopWhenAsked)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no corpus";
    const struct {
        TArchiveType type;
        const char *file;
    } samples[] = {{atRar, "rar/test_read_format_rar.rar"},
                   {atAce, "ace/dir2.ace"},
                   {atArj, "arj/arjdemo_m1.arj"}};
    for (const auto &sample : samples) {
        QFile f(Corpus() + QLatin1Char('/') + QLatin1String(sample.file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << sample.file;
        MakeFile(QStringLiteral("C:\\stop.arc"), f.readAll());
        const std::unique_ptr<TArchive> whole = CreateArchiveHandler(sample.type);
        whole->SetFileName(QStringLiteral("C:\\stop.arc"));
        ASSERT_GE(whole->Files.Count(), 2) << sample.file;
        const std::unique_ptr<TArchive> stopped = CreateArchiveHandler(sample.type);
        int asked = 0;
        stopped->StopListing = [&asked] { return ++asked > 1; };
        stopped->SetFileName(QStringLiteral("C:\\stop.arc"));
        EXPECT_EQ(asked, 2) << sample.file;
        EXPECT_LE(stopped->Files.Count(), 1) << sample.file;
        EXPECT_LT(stopped->Files.Count() + stopped->Folders.Count(),
                  whole->Files.Count() + whole->Folders.Count())
            << sample.file;
        EXPECT_TRUE(Messages().isEmpty()) << sample.file;
    }
}

TEST_F(RarTest, CorpusListsAsBsdtarDoes)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no corpus";
    QStringList names = QDir(Corpus() + QStringLiteral("/rar"))
                            .entryList({QStringLiteral("*.listing.txt")}, QDir::Files);
    ASSERT_GE(names.size(), 14);
    for (QString name : names) {
        name.chop(int(strlen(".listing.txt")));
        SCOPED_TRACE(name.toStdString());
        if (headerEncrypted.contains(name)) {
            ask.ExpectMessageBox(mrOk);
            const auto rar = List(QStringLiteral("T:\\rar\\") + name);
            EXPECT_EQ(rar->EntryCount(), 0);
            const QStringList shown = Messages();
            ASSERT_EQ(shown.size(), 1);
            EXPECT_TRUE(shown[0].contains(QLatin1String("encrypted"))) << shown[0].toStdString();
            continue;
        }
        const QMap<QString, quint64> expected = BsdtarListing(
            Corpus() + QStringLiteral("/rar/") + name + QStringLiteral(".listing.txt"));
        ASSERT_FALSE(expected.isEmpty());
        const auto rar = List(QStringLiteral("T:\\rar\\") + name);
        QMap<QString, quint64> listed = Listed(*rar);
        // Folders implied by their items are listed too; the tools list
        // stored items only.
        for (auto it = listed.begin(); it != listed.end();) {
            if (!expected.contains(it.key()) && rar->Folders.IndexOf(QString(it.key()).replace(
                                                    QLatin1Char('/'), QLatin1Char('\\'))) >= 0)
                it = listed.erase(it);
            else
                ++it;
        }
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(Messages(), QStringList());
    }
}

TEST_F(RarTest, CorpusExtractsAsBsdtarDoes)
{
    if (Corpus().isEmpty() || !HasTool("bsdtar"))
        GTEST_SKIP() << "no corpus or no bsdtar";
    const QStringList names{"test_read_format_rar.rar",
                            "test_read_format_rar_compress_normal.rar",
                            "test_read_format_rar_unicode.rar",
                            "testfile.rar3.solid.rar",
                            "test_read_format_rar5_stored.rar",
                            "test_read_format_rar5_multiple_files.rar",
                            "test_read_format_rar5_multiple_files_solid.rar",
                            "test_read_format_rar5_unicode.rar",
                            "test_read_format_rar5_win32.rar",
                            "test_read_format_rar_sfx.exe"};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString ours = QStringLiteral("C:\\ours\\") + name;
        MakeFolder(QStringLiteral("C:\\theirs\\") + name);
        const QByteArray theirs = Native(QStringLiteral("C:\\theirs\\") + name);
        QProcess::execute(QStringLiteral("bsdtar"),
                          {QStringLiteral("-xf"), Corpus() + QStringLiteral("/rar/") + name,
                           QStringLiteral("-C"), QString::fromUtf8(theirs)});
        const auto rar = List(QStringLiteral("T:\\rar\\") + name);
        rar->Extract(ours);
        EXPECT_EQ(Messages(), QStringList());
        const QMap<QString, QByteArray> expected = Tree(theirs);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(Tree(Native(ours)), expected);
    }
}

TEST_F(RarTest, VolumeSetsExtractWholeAndAskForAMissingVolume)
{
    if (Corpus().isEmpty() || !HasTool("bsdtar"))
        GTEST_SKIP() << "no corpus or no bsdtar";
    const QString base = QStringLiteral("test_read_format_rar5_multiarchive_solid.part0");
    for (int i = 1; i <= 4; ++i)
        CopyCorpus(base + QString::number(i) + QStringLiteral(".rar"),
                   QStringLiteral("C:\\v\\") + base + QString::number(i) + QStringLiteral(".rar"));
    const QString first = QStringLiteral("C:\\v\\") + base + QStringLiteral("1.rar");
    auto rar = List(first);
    EXPECT_EQ(rar->Files.Count(), 9);
    QStringList volumes;
    rar->OnChangeVolume = [&](TArchive &, const QString &volume, int &) { volumes.append(volume); };
    rar->Extract(QStringLiteral("C:\\whole"));
    EXPECT_EQ(volumes.size(), 3); // each further volume reported as opened
    EXPECT_EQ(Contents(QStringLiteral("C:\\whole\\elf-Linux-ARMv7-ls")).size(), 90808);

    // The last volume is missing, but the item chosen lies in the first: a
    // skip through the rest of the set used to ask for it all the same.
    const QString last = QStringLiteral("C:\\v\\") + base + QStringLiteral("4.rar");
    ASSERT_TRUE(QFile::rename(QString::fromUtf8(Native(last)),
                              QString::fromUtf8(Native(last)) + QStringLiteral(".away")));
    rar = List(first);
    int askedForLast = 0;
    rar->OnChangeVolume = [&](TArchive &, const QString &, int &result) {
        askedForLast += result == 0 ? 1 : 0;
    };
    rar->Names = QStringList{QStringLiteral("cebula.txt")};
    rar->Extract(QStringLiteral("C:\\one"));
    EXPECT_EQ(askedForLast, 0);
    EXPECT_EQ(Messages().size(), 0);
    EXPECT_EQ(Contents(QStringLiteral("C:\\one\\cebula.txt")).size(), 814);
    ASSERT_TRUE(QFile::rename(QString::fromUtf8(Native(last)) + QStringLiteral(".away"),
                              QString::fromUtf8(Native(last))));

    // A volume in the middle is missing: asked for, refused; the split item
    // is not left half-written, the items before it are there.
    ASSERT_TRUE(QFile::remove(
        QString::fromUtf8(Native(QStringLiteral("C:\\v\\") + base + QStringLiteral("3.rar")))));
    rar = List(first);
    int asked = 0;
    rar->OnChangeVolume = [&](TArchive &, const QString &volume, int &result) {
        if (result == 0) {
            ++asked;
            EXPECT_TRUE(volume.endsWith(QLatin1String("part03.rar")));
        }
    };
    ask.ExpectMessageBox(mrOk);
    rar->Extract(QStringLiteral("C:\\part"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\part\\test6.bin")));
    const QMap<QString, QByteArray> tree = Tree(Native(QStringLiteral("C:\\part")));
    EXPECT_FALSE(tree.contains(QStringLiteral("elf-Linux-ARMv7-ls")))
        << tree.value(QStringLiteral("elf-Linux-ARMv7-ls")).size() << " "
        << tree.keys().join(QLatin1Char(' ')).toStdString();
    for (auto it = tree.cbegin(); it != tree.cend(); ++it)
        EXPECT_FALSE(it.key().startsWith(QLatin1Char('.'))) << it.key().toStdString();

    // RAR 4 volumes, the old way of one item split over three.
    for (int i = 1; i <= 3; ++i)
        CopyCorpus(QStringLiteral("test_rar_multivolume_single_file.part%1.rar").arg(i),
                   QStringLiteral("C:\\w\\m.part%1.rar").arg(i));
    rar = List(QStringLiteral("C:\\w\\m.part1.rar"));
    EXPECT_EQ(Listed(*rar), (QMap<QString, quint64>{{"LibarchiveAddingTest.html", 20111}}));
    rar->Extract(QStringLiteral("C:\\w\\out"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\w\\out\\LibarchiveAddingTest.html")).size(), 20111);
}

TEST_F(RarTest, EncryptedItemsAskForThePasswordAndFailClearlyWhenItIsWrong)
{
    if (Corpus().isEmpty() || !HasTool("unar"))
        GTEST_SKIP() << "no corpus or no unar";
    auto rar = List(QStringLiteral("T:\\rar\\test_read_format_rar5_encrypted.rar"));
    EXPECT_EQ(rar->Files.Count(), 4);
    // b.txt takes "password"; d.txt another one, so it ends the extraction.
    ask.ExpectGetString(mrOk, QStringLiteral("password"));
    ask.ExpectMessageBox(mrOk);
    rar->Extract(QStringLiteral("C:\\enc"));
    ASSERT_FALSE(ask.asked.isEmpty());
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("UnRAR"));
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], ArchiveStr(30303));
    EXPECT_EQ(Contents(QStringLiteral("C:\\enc\\a.txt")), QByteArray("This is from a.txt"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\enc\\b.txt")), QByteArray("This is from b.txt"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\enc\\c.txt")), QByteArray("This is from c.txt"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\enc\\d.txt")));

    // Each encrypted item asks until a password is given; cancelling fails
    // on the item with the bad-data message.
    rar = List(QStringLiteral("T:\\rar\\test_read_format_rar5_encrypted.rar"));
    rar->Names = QStringList{QStringLiteral("d.txt")};
    ask.ExpectGetString(mrCancel);
    ask.ExpectMessageBox(mrOk);
    rar->Extract(QStringLiteral("C:\\none"));
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(30102)});
    EXPECT_FALSE(Exists(QStringLiteral("C:\\none\\d.txt")));

    // Encrypted items that are not chosen are skipped without a question.
    rar = List(QStringLiteral("T:\\rar\\test_read_format_rar5_encrypted.rar"));
    rar->Names = QStringList{QStringLiteral("c.txt")};
    const qsizetype questions = ask.asked.size();
    rar->Extract(QStringLiteral("C:\\c"));
    EXPECT_EQ(ask.asked.size(), questions);
    EXPECT_EQ(Contents(QStringLiteral("C:\\c\\c.txt")), QByteArray("This is from c.txt"));

    // A password given before the extraction is used without asking.
    rar = List(QStringLiteral("T:\\rar\\test_read_format_rar5_encrypted.rar"));
    rar->Names = QStringList{QStringLiteral("d.txt")};
    rar->Password = QStringLiteral("password2");
    rar->Extract(QStringLiteral("C:\\d"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\d\\d.txt")), QByteArray("This is from d.txt"));

    // RAR 4 encryption: neither reader can decrypt it, and says so.
    rar = List(QStringLiteral("T:\\rar\\test_read_format_rar_encryption_data.rar"));
    rar->Password = QStringLiteral("12345678");
    ask.ExpectMessageBox(mrOk);
    rar->Extract(QStringLiteral("C:\\r4"));
    const QStringList r4 = Messages();
    ASSERT_EQ(r4.size(), 1);
    EXPECT_TRUE(r4[0].contains(QLatin1String("encrypted"))) << r4[0].toStdString();
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\r4"))), (QMap<QString, QByteArray>{}));
}

TEST_F(RarTest, SelectionMatchesWholeNamesAndExistingFilesAreAsked)
{
    TRar rar;
    rar.Names = QStringList{QStringLiteral("doc")};
    EXPECT_TRUE(rar.IsSelected(QStringLiteral("doc")));
    EXPECT_TRUE(rar.IsSelected(QStringLiteral("DOC\\x.txt")));
    // "doc" used to select "doc2\x.txt" as well.
    EXPECT_FALSE(rar.IsSelected(QStringLiteral("doc2\\x.txt")));

    if (Corpus().isEmpty())
        return;
    MakeFile(QStringLiteral("C:\\s\\testdir\\test.txt"), "mine");
    auto list = List(QStringLiteral("T:\\rar\\test_read_format_rar.rar"));
    list->Names = QStringList{QStringLiteral("testdir")};
    int asked = 0;
    list->OnFileExists = [&](TArchive &, const TFile &entry, int &mode, QString &) {
        ++asked;
        EXPECT_EQ(entry.Size, 20u);
        mode = feRename; // a rename answer skips the item
    };
    list->Extract(QStringLiteral("C:\\s"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Contents(QStringLiteral("C:\\s\\testdir\\test.txt")), QByteArray("mine"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\s\\test.txt")));
}

TEST_F(RarTest, DamagedArchivesKeepWhatWasReadAndSaySo)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no corpus";
    QFile f(Corpus() + QStringLiteral("/rar/test_read_format_rar5_win32.rar"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    // However many messages come, one answer is always ready.
    ask.during = [this](const Question &) { ask.ExpectMessageBox(mrOk); };
    ask.ExpectMessageBox(mrOk);
    QList<QByteArray> damaged;
    for (int cut = 0; cut < whole.size(); cut += 97)
        damaged.append(whole.left(cut));
    QByteArray garbled = whole;
    for (int i = 200; i < garbled.size(); i += 37)
        garbled[i] = char(garbled[i] ^ 0x5A);
    damaged.append(garbled);
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.size());
        MakeFile(QStringLiteral("C:\\cut.rar"), bytes);
        auto rar = List(QStringLiteral("C:\\cut.rar"));
        const int listed = rar->Files.Count();
        EXPECT_LE(listed, 7);
        rar->Extract(QStringLiteral("C:\\cutout"));
        // Once when listing, once when extracting, never per item.
        const QStringList shown = Messages();
        EXPECT_LE(shown.size(), 2);
        for (const QString &key : Tree(Native(QStringLiteral("C:\\cutout"))).keys())
            EXPECT_FALSE(key.contains(QLatin1String(".kestrel"))) << key.toStdString();
    }
    // Cut just before its end header, at a header boundary, a RAR 5 archive
    // used to list as if whole, without a word.
    MakeFile(QStringLiteral("C:\\cut.rar"), whole.left(whole.size() - 8));
    auto rar = List(QStringLiteral("C:\\cut.rar"));
    EXPECT_EQ(rar->Files.Count(), 7);
    EXPECT_EQ(Messages().size(), 1);
    MakeFile(QStringLiteral("C:\\whole.rar"), whole);
    List(QStringLiteral("C:\\whole.rar"));
    EXPECT_EQ(Messages().size(), 0);
    ask.during = nullptr;
    ask.MessageBox(nullptr, QString(), QString(), MB_OK); // the answer kept ready
}

TEST_F(RarTest, ResultCodesShowTheirMessages)
{
    TRar rar;
    EXPECT_EQ(rar.RarErrorText(rarNoMemory), ArchiveStr(30101));
    EXPECT_EQ(rar.RarErrorText(rarBadData), ArchiveStr(30102));
    EXPECT_EQ(rar.RarErrorText(rarBadArchive), QStringLiteral("This is not a RAR archive file"));
    EXPECT_EQ(rar.RarErrorText(rarOpenFailed), ArchiveStr(30201));
    EXPECT_EQ(rar.RarErrorText(rarWriteFailed), ArchiveStr(30205));
    EXPECT_EQ(rar.RarErrorText(rarNoLibrary), QStringLiteral("UNRAR.DLL, Can't find Dll file"));
    EXPECT_EQ(rar.RarErrorText(99), ArchiveStr(30301));
    rar.Password = QStringLiteral("x");
    EXPECT_EQ(rar.RarErrorText(rarBadData), ArchiveStr(30303));

    // A file that is no RAR archive at all.
    MakeFile(QStringLiteral("C:\\no.rar"), QByteArray(300, 'x'));
    ask.ExpectMessageBox(mrOk);
    const auto no = List(QStringLiteral("C:\\no.rar"));
    EXPECT_EQ(no->EntryCount(), 0);
    ASSERT_FALSE(ask.asked.isEmpty());
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("UnRAR"));

    EXPECT_EQ(UnrarLibrary::NextVolume(QStringLiteral("C:\\a.part1.rar")),
              QStringLiteral("C:\\a.part2.rar"));
    EXPECT_EQ(UnrarLibrary::NextVolume(QStringLiteral("C:\\a.part09.rar")),
              QStringLiteral("C:\\a.part10.rar"));
    EXPECT_EQ(UnrarLibrary::NextVolume(QStringLiteral("C:\\a.rar")), QStringLiteral("C:\\a.r00"));
    EXPECT_EQ(UnrarLibrary::NextVolume(QStringLiteral("C:\\a.r99")), QStringLiteral("C:\\a.s00"));
    EXPECT_EQ(UnrarLibrary::NextVolume(QStringLiteral("C:\\a.zip")), QString());
}

TEST_F(RarTest, AddRunsTheArchiverWithItsCommandLine)
{
    const QString stub = Stub(QStringLiteral("rar"));
    MakeFolder(QStringLiteral("C:\\dest dir"));
    TRar rar;
    rar.FileName = QStringLiteral("C:\\dest dir\\new.rar");
    rar.ProgramPath = stub;
    rar.AddOptions = aoRecurse;
    rar.VolumeSize = 1440;
    rar.Compression = 2;
    rar.Names = QStringList{QStringLiteral("one two.txt"), QStringLiteral("d\\x")};
    rar.Add();
    const QStringList got = Recorded("args");
    ASSERT_EQ(got.size(), 6);
    EXPECT_EQ(got.mid(0, 4), (QStringList{"a", "-r", "-v1440", "-m0"}));
    EXPECT_EQ(got[4], QString::fromUtf8(Native(QStringLiteral("C:\\dest dir\\new.rar"))));
    EXPECT_TRUE(got[5].startsWith(QLatin1Char('@')));
    EXPECT_EQ(Recorded("list"), (QStringList{"one two.txt", "d/x"}));
    EXPECT_FALSE(QFile::exists(got[5].mid(1)));

    rar.AddOptions = aoMove;
    rar.VolumeSize = 0;
    rar.Compression = 0;
    rar.Password = QStringLiteral("pw");
    EXPECT_EQ(rar.AddArguments(QStringLiteral("/a.rar"), QStringLiteral("/l")),
              (QStringList{"m", "-ppw", "-m5", "/a.rar", "@/l"}));

    rar.ProgramPath = QStringLiteral("rar.exe");
    if (HasTool("rar"))
        return;
    ask.ExpectMessageBox(mrOk);
    rar.Add();
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QLatin1String("\"rar.exe\"")));
    EXPECT_TRUE(shown[0].contains(QLatin1String("Preferences")));
}

} // namespace
} // namespace kestrel::test
