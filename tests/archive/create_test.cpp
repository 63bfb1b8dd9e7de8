// Making archives: names and extensions, the Add dialog's password checks,
// ZIP archives other tools read back, moves that never lose an original,
// and the outside archivers, whose word alone is not taken.

#include "archive/ace.h"
#include "archive/archivestrings.h"
#include "archive/create.h"
#include "archive/handlers.h"
#include "archive/install.h"
#include "archive/rar.h"
#include "platform/drives.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "tests/archive/zipfixture.h"
#include "tests/support/progressrecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

bool HasTool(const char *name)
{
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

TEST(ArchiveNames, ExtensionAddedOnlyWhenMissing)
{
    EXPECT_EQ(FinalArchiveName(QStringLiteral("C:\\x\\report"), atZip),
              QStringLiteral("C:\\x\\report.zip"));
    // The comparison ignores case.
    EXPECT_EQ(FinalArchiveName(QStringLiteral("report.ZIP"), atZip), QStringLiteral("report.ZIP"));
    EXPECT_EQ(FinalArchiveName(QStringLiteral("a.zip"), atRar), QStringLiteral("a.zip.rar"));
    EXPECT_EQ(FinalArchiveName(QStringLiteral("v1.2"), atArj), QStringLiteral("v1.2.arj"));
    EXPECT_EQ(FinalArchiveName(QStringLiteral("b.Ace"), atAce), QStringLiteral("b.Ace"));
    // A folder's dot is no extension of the file.
    EXPECT_EQ(FinalArchiveName(QStringLiteral("C:\\d.zip\\x"), atZip),
              QStringLiteral("C:\\d.zip\\x.zip"));

    EXPECT_EQ(ProposedArchiveName(QStringLiteral("report.doc")), QStringLiteral("report"));
    EXPECT_EQ(ProposedArchiveName(QStringLiteral("a.tar.gz")), QStringLiteral("a.tar"));
    EXPECT_EQ(ProposedArchiveName(QStringLiteral("folder")), QStringLiteral("folder"));
    EXPECT_EQ(ProposedArchiveName(QStringLiteral(".profile")), QStringLiteral(".profile"));
}

TEST(ArchiveNames, PasswordsThatCannotBeKeptAreRefused)
{
    const QString thirty(30, QLatin1Char('x'));
    EXPECT_TRUE(PasswordProblem(atZip, thirty).isEmpty());
    EXPECT_FALSE(PasswordProblem(atZip, thirty + QLatin1Char('y')).isEmpty());
    EXPECT_FALSE(PasswordProblem(atRar, thirty + QLatin1Char('y')).isEmpty());
    EXPECT_FALSE(PasswordProblem(atZip, QStringLiteral("gr\u00FC\u00DFe")).isEmpty());
    EXPECT_FALSE(PasswordProblem(atZip, QStringLiteral("tab\there")).isEmpty());
    // The outside archivers take the characters as they are.
    EXPECT_TRUE(PasswordProblem(atRar, QStringLiteral("gr\u00FC\u00DFe")).isEmpty());
}

class AddDialogStart : public ::testing::Test {
protected:
    TArchiveForm Form(int format, const QString &password)
    {
        TArchiveForm form;
        form.caption = QStringLiteral("Compress (Copy)");
        form.format = format;
        form.password = password;
        return form;
    }
    ScriptedAsk ask;
};

TEST_F(AddDialogStart, PasswordMustBeTypedTwiceAlike)
{
    TArchiveForm none = Form(atZip, QString());
    EXPECT_TRUE(AcceptArchiveForm(nullptr, none));
    EXPECT_TRUE(ask.asked.isEmpty());

    TArchiveForm form = Form(atZip, QStringLiteral("secret"));
    ask.ExpectGetString(mrOk, QStringLiteral("secret"));
    EXPECT_TRUE(AcceptArchiveForm(nullptr, form));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Confirm Password"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("Please retype password to confirm"));
    EXPECT_TRUE(ask.asked[0].masked);

    ask.ExpectGetString(mrOk, QStringLiteral("Secret"));
    EXPECT_FALSE(AcceptArchiveForm(nullptr, form));
    ask.ExpectGetString(mrCancel, QStringLiteral("secret"));
    EXPECT_FALSE(AcceptArchiveForm(nullptr, form));
    EXPECT_EQ(ask.asked.size(), 3) << "a differing retype keeps the dialog open silently";
}

TEST_F(AddDialogStart, UnusablePasswordIsSaidAndArjDropsIt)
{
    TArchiveForm accented = Form(atZip, QStringLiteral("caf\u00E9"));
    ask.ExpectMessageBox(mrOk);
    EXPECT_FALSE(AcceptArchiveForm(nullptr, accented));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_TRUE(ask.asked[0].text.contains(QLatin1String("ASCII")));

    TArchiveForm arj = Form(atArj, QStringLiteral("secret"));
    EXPECT_TRUE(AcceptArchiveForm(nullptr, arj));
    EXPECT_TRUE(arj.password.isEmpty());
    EXPECT_EQ(ask.asked.size(), 1);
}

class CreateTest : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        MakeFile(QStringLiteral("C:\\src\\report.doc"), "the report");
        MakeFile(QStringLiteral("C:\\src\\d\\x.bin"), Pattern(300000, 3));
        MakeFile(QStringLiteral("C:\\src\\d\\e\\y.txt"), "why");
        MakeFolder(QStringLiteral("C:\\src\\d\\empty"));
    }
    void TearDown() override
    {
        sys::ClearFaults();
        ArchiveTest::TearDown();
    }
    TCreateRequest Request(const QString &name, const QStringList &names, bool move = false)
    {
        TCreateRequest request;
        request.name = name;
        request.folder = QStringLiteral("C:\\src");
        request.names = names;
        request.move = move;
        request.recurse = true;
        return request;
    }
    // Extracted with our own reader.
    QMap<QString, QByteArray> OurExtract(const QString &archive, const QString &password = {})
    {
        const QString folder = QStringLiteral("C:\\ours%1").arg(++checks);
        MakeFolder(folder);
        auto zip = Open(archive);
        zip->Password = password;
        zip->Extract(folder);
        return Tree(Native(folder));
    }
    QMap<QString, QByteArray> ToolExtract(const QString &archive, const QStringList &arguments)
    {
        const QString folder = QStringLiteral("C:\\tool%1").arg(++checks);
        MakeFolder(folder);
        QProcess tool;
        tool.setWorkingDirectory(QString::fromUtf8(Native(folder)));
        const QString path = QString::fromUtf8(Native(archive));
        tool.start(arguments[0], QStringList(arguments.mid(1)) << path);
        EXPECT_TRUE(tool.waitForFinished(-1));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return Tree(Native(folder));
    }
    QMap<QString, QByteArray> Source() { return Tree(Native(QStringLiteral("C:\\src"))); }

    ProgressRecorder progress;
    int checks = 0;
};

TEST_F(CreateTest, ZipGetsItsExtensionOnceAndHoldsTheFiles)
{
    TArchiveCreation creation(nullptr);
    EXPECT_EQ(creation.Create(Request(QStringLiteral("report"), {QStringLiteral("report.doc")})),
              QStringLiteral("C:\\src\\report.zip"));
    EXPECT_TRUE(creation.Succeeded());
    EXPECT_EQ(OurExtract(QStringLiteral("C:\\src\\report.zip")),
              (QMap<QString, QByteArray>{{QStringLiteral("report.doc"), "the report"}}));

    EXPECT_EQ(creation.Create(Request(QStringLiteral("C:\\out\\Both.ZIP"),
                                      {QStringLiteral("report.doc"), QStringLiteral("d")})),
              QStringLiteral("C:\\out\\Both.ZIP"));
    EXPECT_TRUE(creation.Succeeded());
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\Both.ZIP.zip")));
    const auto back = OurExtract(QStringLiteral("C:\\out\\Both.ZIP"));
    EXPECT_EQ(back.value(QStringLiteral("d/x.bin")), Pattern(300000, 3));
    EXPECT_EQ(back.value(QStringLiteral("d/empty")), QByteArray("/"));
    EXPECT_EQ(Messages(), QStringList());
    EXPECT_EQ(progress.copying.caption, QStringLiteral("Compressing..."));
    EXPECT_EQ(progress.copying.opened, progress.copying.closed);
    EXPECT_TRUE(
        progress.copying.fileNames.contains(QStringLiteral("d\\x.bin -> C:\\out\\Both.ZIP")))
        << progress.copying.fileNames.join(QLatin1Char('|')).toStdString();
}

TEST_F(CreateTest, CancelledMoveKeepsEveryOriginalAndMakesNoArchive)
{
    const auto before = Source();
    progress.copying.cancelAtStep = 1;
    TArchiveCreation creation(nullptr);
    creation.Create(Request(QStringLiteral("C:\\out\\stop"), {QStringLiteral("d")}, true));
    EXPECT_FALSE(creation.Succeeded());
    EXPECT_EQ(Source(), before);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\stop.zip")));
    Messages();
}

TEST_F(CreateTest, CompressionChoiceDecidesTheMethod)
{
    QByteArray text;
    for (int i = 0; text.size() < 300000; ++i)
        text += "line " + QByteArray::number(i % 977) + " of a text that packs well\n";
    MakeFile(QStringLiteral("C:\\src\\text\\t.txt"), text);
    TArchiveCreation creation(nullptr);
    for (int compression : {0, 1, 2}) {
        TCreateRequest request =
            Request(QStringLiteral("c%1").arg(compression), {QStringLiteral("text")});
        request.compression = compression;
        creation.Create(request);
        ASSERT_TRUE(creation.Succeeded());
    }
    const qint64 best = Contents(QStringLiteral("C:\\src\\c0.zip")).size();
    const qint64 normal = Contents(QStringLiteral("C:\\src\\c1.zip")).size();
    const qint64 fast = Contents(QStringLiteral("C:\\src\\c2.zip")).size();
    // "Fast" stores: the archive holds every byte as it is.
    EXPECT_GT(fast, text.size());
    EXPECT_LT(normal, fast / 4);
    EXPECT_LT(best, fast / 4);
    auto stored = Open(QStringLiteral("C:\\src\\c2.zip"));
    const int at = stored->Files.IndexOf(QStringLiteral("text\\t.txt"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(stored->Files.Entry(at)->PackedSize, stored->Files.Entry(at)->Size);
    EXPECT_EQ(OurExtract(QStringLiteral("C:\\src\\c0.zip")).value(QStringLiteral("text/t.txt")),
              text);
}

TEST_F(CreateTest, MoveDeletesOriginalsOnlyOnceTheArchiveReadsBackWhole)
{
    const auto before = Source();
    TArchiveCreation creation(nullptr);
    TCreateRequest request = Request(QStringLiteral("C:\\out\\moved"),
                                     {QStringLiteral("report.doc"), QStringLiteral("d")}, true);
    request.password = QStringLiteral("pw");
    creation.Create(request);
    ASSERT_TRUE(creation.Succeeded());
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\report.doc")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\d")));
    EXPECT_EQ(OurExtract(QStringLiteral("C:\\out\\moved.zip"), QStringLiteral("pw")), before);
}

// Answers every message with OK and counts them: how many a failing run
// shows depends on where the fault hit.
class TMessageCounter : public ScriptedAsk {
public:
    int MessageBox(QObject *, const QString &text, const QString &, unsigned) override
    {
        texts << text;
        ++shown;
        return mrOk;
    }
    int shown = 0;
    QStringList texts;
};

// Every read, write, create and rename of a move fails once in turn: the
// run either succeeds with an archive that holds every file, or leaves every
// original where it was and says so.
TEST_F(CreateTest, FaultsDuringAMoveNeverLoseAnOriginal)
{
    const auto before = Source();
    int failures = 0;
    for (const sys::FaultOp op :
         {sys::FaultOp::Write, sys::FaultOp::Read, sys::FaultOp::Create, sys::FaultOp::Rename}) {
        for (int nth = 1; nth <= 12; ++nth) {
            SCOPED_TRACE(testing::Message() << "op " << int(op) << " nth " << nth);
            const QString name = QStringLiteral("C:\\out\\f%1_%2").arg(int(op)).arg(nth);
            TMessageCounter counter;
            sys::InjectFault(op, nth, sys::ERROR_DISK_FULL);
            TArchiveCreation creation(nullptr);
            creation.Create(
                Request(name, {QStringLiteral("report.doc"), QStringLiteral("d")}, true));
            sys::ClearFaults();
            if (!creation.Succeeded()) {
                ++failures;
                EXPECT_GT(counter.shown, 0) << "a failure is reported";
                ASSERT_EQ(Source(), before);
                continue;
            }
            EXPECT_EQ(counter.shown, 0) << counter.texts.join(QLatin1Char('\n')).toStdString();
            EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\d")));
            // The archive holds everything: unpacking it restores the source.
            auto zip = Open(name + QStringLiteral(".zip"));
            zip->Extract(QStringLiteral("C:\\src"));
            ASSERT_EQ(Source(), before);
        }
    }
    EXPECT_GT(failures, 0) << "the faults reached the run";
}

TEST_F(CreateTest, BadTargetsAreSaidAndLoseNothing)
{
    const auto before = Source();
    TArchiveCreation creation(nullptr);
    // A folder of the name the archive would get.
    MakeFolder(QStringLiteral("C:\\other\\taken.zip"));
    ask.ExpectMessageBox(mrOk);
    creation.Create(
        Request(QStringLiteral("C:\\other\\taken"), {QStringLiteral("report.doc")}, true));
    EXPECT_FALSE(creation.Succeeded());
    const QStringList folder = Messages();
    ASSERT_EQ(folder.size(), 1);
    EXPECT_TRUE(folder[0].contains(QLatin1String("folder")));

    // A destination nobody may write to (refused as the system would refuse
    // it, also where the tests run with every right).
    MakeFolder(QStringLiteral("C:\\locked"));
    sys::InjectFault(sys::FaultOp::Create, 1, sys::ERROR_ACCESS_DENIED);
    ask.ExpectMessageBox(mrOk);
    creation.Create(Request(QStringLiteral("C:\\locked\\a"),
                            {QStringLiteral("report.doc"), QStringLiteral("d")}, true));
    sys::ClearFaults();
    EXPECT_FALSE(creation.Succeeded());
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\locked\\a.zip")));

    // Names that vanished before packing.
    ask.ExpectMessageBox(mrOk);
    creation.Create(Request(QStringLiteral("gone"), {QStringLiteral("no such file")}, true));
    EXPECT_FALSE(creation.Succeeded());
    const QStringList gone = Messages();
    ASSERT_EQ(gone.size(), 1);
    EXPECT_TRUE(gone[0].contains(QLatin1String("no such file")));

    // A file of the archive's name that is no ZIP: its listing error is the
    // one message (a second one without a name used to follow) and the file
    // stays as it was.
    MakeFile(QStringLiteral("C:\\other\\plain.zip"), "not an archive");
    ask.ExpectMessageBox(mrOk);
    creation.Create(Request(QStringLiteral("C:\\other\\plain"), {QStringLiteral("report.doc")}, true));
    EXPECT_FALSE(creation.Succeeded());
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_EQ(Contents(QStringLiteral("C:\\other\\plain.zip")), QByteArray("not an archive"));
    EXPECT_EQ(Source(), before);
}

TEST_F(CreateTest, ExistingZipIsKeptWholeWhenAddedTo)
{
    TArchiveCreation creation(nullptr);
    creation.Create(Request(QStringLiteral("C:\\out\\grow"), {QStringLiteral("d")}));
    ASSERT_TRUE(creation.Succeeded());
    const auto first = OurExtract(QStringLiteral("C:\\out\\grow.zip"));
    creation.Create(Request(QStringLiteral("C:\\out\\grow.zip"), {QStringLiteral("report.doc")}));
    ASSERT_TRUE(creation.Succeeded());
    auto both = OurExtract(QStringLiteral("C:\\out\\grow.zip"));
    EXPECT_EQ(both.take(QStringLiteral("report.doc")), QByteArray("the report"));
    EXPECT_EQ(both, first);

    // A failing addition leaves the old archive byte for byte.
    const QByteArray old = Contents(QStringLiteral("C:\\out\\grow.zip"));
    sys::InjectFault(sys::FaultOp::Write, 3, sys::ERROR_DISK_FULL);
    ask.ExpectMessageBox(mrOk);
    creation.Create(Request(QStringLiteral("C:\\out\\grow.zip"), {QStringLiteral("d")}));
    sys::ClearFaults();
    EXPECT_FALSE(creation.Succeeded());
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\grow.zip")), old);
    EXPECT_EQ(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\out")))).entryList(QDir::Files),
              QStringList{QStringLiteral("grow.zip")});
}

// Ten thousand files with non-ASCII names, hidden files and empty folders
// come back alike from our reader, bsdtar and unzip.
TEST_F(CreateTest, ZipOfAMixedTreeReadsAlikeEverywhere)
{
    for (int i = 0; i < 10000; ++i)
        MakeFile(
            QStringLiteral("C:\\src\\t\\f\u00FC\u00DF%1\\\u65E5\u672C%2.txt").arg(i % 7).arg(i),
            Pattern((i % 97) * 37, i));
    MakeFile(QStringLiteral("C:\\src\\t\\.hidden"), "not shown by default");
    MakeFile(QStringLiteral("C:\\src\\t\\.config\\k"), "key");
    MakeFolder(QStringLiteral("C:\\src\\t\\empty \u00E9"));
    const auto tree = Tree(Native(QStringLiteral("C:\\src\\t")));
    TArchiveCreation creation(nullptr);
    creation.Create(Request(QStringLiteral("C:\\out\\mixed"), {QStringLiteral("t")}));
    ASSERT_TRUE(creation.Succeeded());
    QMap<QString, QByteArray> expected{{QStringLiteral("t"), "/"}};
    for (auto it = tree.begin(); it != tree.end(); ++it)
        expected.insert(QStringLiteral("t/") + it.key(), it.value());
    EXPECT_EQ(OurExtract(QStringLiteral("C:\\out\\mixed.zip")), expected);
    if (HasTool("bsdtar")) {
        EXPECT_EQ(ToolExtract(QStringLiteral("C:\\out\\mixed.zip"), {"bsdtar", "-xf"}), expected);
    }
    if (HasTool("unzip")) {
        EXPECT_EQ(ToolExtract(QStringLiteral("C:\\out\\mixed.zip"), {"unzip", "-q"}), expected);
    }
}

// Slow (packs and unpacks 4.5 GB three times): run with KESTREL_BIG_TESTS=1.
TEST_F(CreateTest, FileOver4GiBUsesZip64AndReadsBackEverywhere)
{
    if (qEnvironmentVariableIsEmpty("KESTREL_BIG_TESTS"))
        GTEST_SKIP() << "set KESTREL_BIG_TESTS=1 to pack a 4.5 GB file";
    constexpr qint64 big = (qint64(9) << 29) + 12345; // 4.5 GiB and a bit
    MakeSparseFile(QStringLiteral("C:\\src\\big\\sparse.img"), big);
    MakeFile(QStringLiteral("C:\\src\\big\\small.txt"), "small");
    TArchiveCreation creation(nullptr);
    TCreateRequest request = Request(QStringLiteral("C:\\out\\big"), {QStringLiteral("big")});
    request.compression = 2;
    creation.Create(request);
    ASSERT_TRUE(creation.Succeeded());
    auto listed = Open(QStringLiteral("C:\\out\\big.zip"));
    const int at = listed->Files.IndexOf(QStringLiteral("big\\sparse.img"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(listed->Files.Entry(at)->Size, quint64(big));
    for (const QStringList &tool : {QStringList{"bsdtar", "-xf"}, QStringList{"unzip", "-q"}}) {
        if (!HasTool(tool[0].toUtf8().constData()))
            continue;
        const QString folder = QStringLiteral("C:\\tool%1").arg(checks + 1);
        const auto files = ToolExtract(QStringLiteral("C:\\out\\big.zip"), tool);
        EXPECT_EQ(files.value(QStringLiteral("big/small.txt")), QByteArray("small"));
        EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(folder + QStringLiteral("\\big\\sparse.img"))))
                      .size(),
                  big);
        QDir(QString::fromUtf8(Native(folder))).removeRecursively();
    }
}

TEST_F(CreateTest, RarMoveRunsTheArchiverAndChecksWhatItMade)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no corpus";
    const QString fixture = Corpus() + QStringLiteral("/rar/test_read_format_rar.rar");
    MakeFile(QStringLiteral("C:\\src\\test.txt"), "x");
    MakeFolder(QStringLiteral("C:\\src\\testdir"));
    TCreateRequest request = Request(QStringLiteral("pack"),
                                     {QStringLiteral("test.txt"), QStringLiteral("testdir")}, true);
    request.type = atRar;
    request.compression = 0;
    request.volumeSize = 1440000;
    request.programPath = Stub(QStringLiteral("rar"), fixture, 0);
    TArchiveCreation creation(nullptr);
    EXPECT_EQ(creation.Create(request), QStringLiteral("C:\\src\\pack.rar"));
    EXPECT_TRUE(creation.Succeeded());
    EXPECT_EQ(Messages(), QStringList());
    const QStringList args = Recorded("args");
    ASSERT_EQ(args.size(), 6);
    EXPECT_EQ(args.mid(0, 4), (QStringList{"m", "-r", "-v1440000", "-m5"}));
    EXPECT_EQ(args[4], QString::fromUtf8(Native(QStringLiteral("C:\\src\\pack.rar"))));
    EXPECT_EQ(Recorded("list"), (QStringList{"test.txt", "testdir"}));

    // An archiver that says it succeeded but made an archive without the
    // names is not believed.
    request.name = QStringLiteral("other");
    request.names = QStringList{QStringLiteral("report.doc")};
    ask.ExpectMessageBox(mrOk);
    creation.Create(request);
    EXPECT_FALSE(creation.Succeeded());
    const QStringList unlisted = Messages();
    ASSERT_EQ(unlisted.size(), 1);
    EXPECT_TRUE(unlisted[0].contains(QLatin1String("other.rar")));

    // One that fails is reported once, with its code.
    request.programPath = Stub(QStringLiteral("rar-fails"), QString(), 7);
    ask.ExpectMessageBox(mrOk);
    creation.Create(request);
    EXPECT_FALSE(creation.Succeeded());
    const QStringList failed = Messages();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed[0].contains(QLatin1String("7")));

    // One that is not there is named.
    request.programPath = QStringLiteral("no-such-rar");
    ask.ExpectMessageBox(mrOk);
    creation.Create(request);
    EXPECT_FALSE(creation.Succeeded());
    const QStringList missing = Messages();
    ASSERT_EQ(missing.size(), 1);
    EXPECT_TRUE(missing[0].contains(QLatin1String("no-such-rar")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\report.doc")));
}

TEST_F(CreateTest, AceArchiverGetsItsArgumentsAndPasswordArjNone)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no corpus";
    MakeFile(QStringLiteral("C:\\src\\CHANGES.LOG"), "log");
    TCreateRequest request = Request(QStringLiteral("log"), {QStringLiteral("CHANGES.LOG")});
    request.type = atAce;
    request.recurse = false;
    request.password = QStringLiteral("pw");
    request.programPath =
        Stub(QStringLiteral("ace"), Corpus() + QStringLiteral("/ace/onefile.ace"), 0);
    TArchiveCreation creation(nullptr);
    creation.Create(request);
    EXPECT_TRUE(creation.Succeeded());
    EXPECT_EQ(Messages(), QStringList());
    const QStringList args = Recorded("args");
    ASSERT_EQ(args.size(), 6);
    EXPECT_EQ(args.mid(0, 4), (QStringList{"a", "-y", "-ppw", "-m3"}));
    EXPECT_EQ(args[4], QString::fromUtf8(Native(QStringLiteral("C:\\src\\log.ace"))));
}

TEST_F(CreateTest, RealArjPacksAndIsChecked)
{
    if (!HasTool("arj"))
        GTEST_SKIP() << "no arj";
    const auto before = Source();
    TCreateRequest request = Request(QStringLiteral("C:\\out\\made"),
                                     {QStringLiteral("report.doc"), QStringLiteral("d")});
    request.type = atArj;
    request.programPath = QStringLiteral("arj");
    request.password = QStringLiteral("ignored");
    TArchiveCreation creation(nullptr);
    creation.Create(request);
    ASSERT_TRUE(creation.Succeeded());
    EXPECT_EQ(Messages(), QStringList());
    auto made = CreateArchiveHandler(atArj);
    made->SetFileName(QStringLiteral("C:\\out\\made.arj"));
    made->Extract(QStringLiteral("C:\\back"));
    auto back = Tree(Native(QStringLiteral("C:\\back")));
    auto expected = before;
    // arj keeps no empty folders.
    expected.remove(QStringLiteral("d/empty"));
    back.remove(QStringLiteral("d/empty"));
    EXPECT_EQ(back, expected);
}

class InstallTest : public ArchiveTest {
protected:
    // A ZIP at C:\\in\\name holding the items.
    void MakeZip(const QString &name, const QList<TLibItem> &items)
    {
        MakeFolder(QStringLiteral("C:\\in"));
        WriteLibZip(Native(QStringLiteral("C:\\in\\") + name), items);
    }
    struct TStarted {
        QString program;
        QStringList args;
        bool folderHeldIt = false;
    };
    // Runs Install with a recorder in place of starting programs.
    QList<TStarted> Run(const QString &archive, const QString &loader,
                        const QString &inside = QString())
    {
        QList<TStarted> started;
        TInstall install(nullptr);
        install.WindowsLoader = loader;
        install.Start = [&](const QString &program, const QStringList &args, const QString &dir) {
            TStarted s{program, args, false};
            // The program is there to be started while the question is open.
            s.folderHeldIt = sys::GetFileAttributes(dir) != sys::INVALID_FILE_ATTRIBUTES;
            started << s;
            return true;
        };
        install.Run(archive, inside);
        lastFolder = install.Folder();
        return started;
    }
    ProgressRecorder progress;
    QString lastFolder;
};

TEST_F(InstallTest, SetupProgramIsFoundStartedAndTheFolderRemoved)
{
    MakeZip(QStringLiteral("app.zip"), {{QStringLiteral("setup.exe"), "MZ"},
                                        {QStringLiteral("install.sh"), "#!/bin/sh\n"},
                                        {QStringLiteral("data/file.txt"), "data"}});
    ask.ExpectMessageBox(mrOk);
    const auto started = Run(QStringLiteral("C:\\in\\app.zip"), QString());
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].program, QStringLiteral("sh"));
    ASSERT_EQ(started[0].args.size(), 1);
    EXPECT_TRUE(started[0].args[0].endsWith(QLatin1String("/install.sh")));
    EXPECT_TRUE(started[0].folderHeldIt);
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QLatin1String("After finishing install")));
    ASSERT_FALSE(lastFolder.isEmpty());
    EXPECT_EQ(sys::GetFileAttributes(lastFolder), sys::INVALID_FILE_ATTRIBUTES);

    // Each run gets a folder of its own.
    const QString first = lastFolder;
    ask.ExpectMessageBox(mrOk);
    Run(QStringLiteral("C:\\in\\app.zip"), QString());
    EXPECT_NE(lastFolder, first);
    Messages();
}

TEST_F(InstallTest, WindowsSetupNeedsALoaderAndNothingToStartIsSaid)
{
    MakeZip(QStringLiteral("win.zip"), {{QStringLiteral("setup.exe"), "MZ"}});
    ask.ExpectMessageBox(mrOk);
    EXPECT_TRUE(Run(QStringLiteral("C:\\in\\win.zip"), QString()).isEmpty());
    QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QLatin1String("wine")));
    EXPECT_EQ(sys::GetFileAttributes(lastFolder), sys::INVALID_FILE_ATTRIBUTES);

    ask.ExpectMessageBox(mrOk);
    const auto started = Run(QStringLiteral("C:\\in\\win.zip"), QStringLiteral("/usr/bin/wine"));
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].program, QStringLiteral("/usr/bin/wine"));
    EXPECT_TRUE(started[0].args.value(0).endsWith(QLatin1String("/setup.exe")));
    Messages();

    // Neither setup.exe nor install.exe: message 544, and still no folder left.
    MakeZip(QStringLiteral("none.zip"), {{QStringLiteral("readme.txt"), "read me"},
                                         {QStringLiteral("install"), "not runnable"}});
    ask.ExpectMessageBox(mrOk);
    EXPECT_TRUE(Run(QStringLiteral("C:\\in\\none.zip"), QStringLiteral("wine")).isEmpty());
    shown = Messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("There is no execution file for installing"));
    EXPECT_EQ(sys::GetFileAttributes(lastFolder), sys::INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallTest, ExecutableInstallAndAFocusedProgramInside)
{
    MakeZip(QStringLiteral("x.zip"),
            {{QStringLiteral("install"), "#!/bin/sh\n", TLibItem::File, QString(), 0755},
             {QStringLiteral("bin/other.sh"), "#!/bin/sh\n"}});
    ask.ExpectMessageBox(mrOk);
    auto started = Run(QStringLiteral("C:\\in\\x.zip"), QString());
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(started[0].program.endsWith(QLatin1String("\\install")));
    Messages();

    ask.ExpectMessageBox(mrOk);
    started = Run(QStringLiteral("C:\\in\\x.zip"), QString(), QStringLiteral("bin\\other.sh"));
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(started[0].args.value(0).endsWith(QLatin1String("/bin/other.sh")));
    Messages();
}

} // namespace
} // namespace kestrel::test
