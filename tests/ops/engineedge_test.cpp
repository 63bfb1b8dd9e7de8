// Edge cases of copy, move and delete runs checked on disk: odd names, vanished
// and dangling sources, huge files, answers for all, and overwrites that fail.

#include "ops/changenotify.h"
#include "ops/conflicts.h"
#include "ops/filecopy.h"
#include "ops/filedelete.h"
#include "platform/faults.h"
#include "tests/ops/engine_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTest>

namespace kestrel {
namespace {

using sys::FaultOp;

constexpr qint64 step = TFileCopy::CopyStep;

enum class Op { Copy, MoveWithin, MoveAcross, Delete };

const char *OpName(Op op)
{
    switch (op) {
    case Op::Copy:
        return "copy";
    case Op::MoveWithin:
        return "move within a drive";
    case Op::MoveAcross:
        return "move to another drive";
    case Op::Delete:
        return "delete";
    }
    return "";
}

class EngineEdgeTest : public test::EngineTest {
protected:
    // Runs op on files; copies and moves go to the destination for op.
    int Run(Op op, const QStringList &files, std::vector<bool> *done = nullptr)
    {
        int result;
        std::unique_ptr<TFileFunction> engine;
        if (op == Op::Delete) {
            auto del = std::make_unique<TFileDelete>(nullptr);
            del->Files = files;
            del->UseRecycleBin = false;
            result = del->Execute();
            engine = std::move(del);
        } else {
            auto copy = CopyEngine(files);
            result = op == Op::Copy ? copy->Copy(Destination(op)) : copy->Move(Destination(op));
            engine = std::move(copy);
        }
        if (done) {
            done->clear();
            for (int i = 0; i < files.size(); ++i)
                done->push_back(engine->Succeeded(i));
        }
        return result;
    }
    // One folder per operation, so that the runs of a table stay apart.
    static QString Destination(Op op)
    {
        return op == Op::MoveWithin ? QStringLiteral("C:\\dst")
               : op == Op::Copy     ? QStringLiteral("D:\\copied")
                                    : QStringLiteral("D:\\moved");
    }
    qint64 SizeOf(const QString &path) const
    {
        return QFileInfo(QString::fromUtf8(Native(path))).size();
    }
};

TEST_F(EngineEdgeTest, OddNamesAndEmptyFilesArriveByteForByte)
{
    const QList<std::pair<QString, QByteArray>> files = {
        {QStringLiteral("a=b.txt"), "equals"},
        {QStringLiteral("with  two spaces .txt"), "spaces"},
        {QStringLiteral("ünïcødé ☃.txt"), "unicode"},
        {QStringLiteral("empty.bin"), QByteArray()},
        {QStringLiteral("dir = ü\\inner=1.txt"), "inner"},
        {QStringLiteral("dir = ü\\nothing"), QByteArray()},
    };
    for (const Op op : {Op::Copy, Op::MoveWithin, Op::MoveAcross, Op::Delete}) {
        for (const auto &[name, data] : files)
            MakeFile(QStringLiteral("C:\\src\\") + name, data);
        MakeFolder(Destination(op));
        const QStringList items = {
            QStringLiteral("C:\\src\\a=b.txt"), QStringLiteral("C:\\src\\with  two spaces .txt"),
            QStringLiteral("C:\\src\\ünïcødé ☃.txt"), QStringLiteral("C:\\src\\empty.bin"),
            QStringLiteral("C:\\src\\dir = ü")};
        std::vector<bool> done;
        EXPECT_EQ(Run(op, items, &done), 0) << OpName(op);
        EXPECT_EQ(done, std::vector<bool>(5, true)) << OpName(op);
        for (const auto &[name, data] : files) {
            const QString source = QStringLiteral("C:\\src\\") + name;
            const QString target = Destination(op) + QLatin1Char('\\') + name;
            if (op == Op::Copy)
                EXPECT_EQ(Contents(source), data) << OpName(op);
            else
                EXPECT_FALSE(Exists(source)) << OpName(op) << name.toStdString();
            if (op != Op::Delete) {
                ASSERT_TRUE(Exists(target)) << OpName(op) << name.toStdString();
                EXPECT_EQ(Contents(target), data) << OpName(op) << name.toStdString();
            }
        }
        EXPECT_TRUE(ask.asked.isEmpty()) << OpName(op);
        QDir(Root() + QStringLiteral("/c/src")).removeRecursively();
    }
}

// A source listed in the panel that is gone when its turn comes: one error
// box for it, and the others are done.
TEST_F(EngineEdgeTest, VanishedSourceIsReportedOnceAndTheOthersAreDone)
{
    for (const Op op : {Op::Copy, Op::MoveWithin, Op::MoveAcross, Op::Delete}) {
        MakeFile(QStringLiteral("C:\\src\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\src\\c.txt"), "c");
        MakeFolder(Destination(op));
        ask.asked.clear();
        ask.ExpectMessageBox(mrYes);
        std::vector<bool> done;
        EXPECT_EQ(Run(op,
                      {QStringLiteral("C:\\src\\a.txt"), QStringLiteral("C:\\src\\gone"),
                       QStringLiteral("C:\\src\\c.txt")},
                      &done),
                  0)
            << OpName(op);
        ASSERT_EQ(ask.asked.size(), 1) << OpName(op);
        EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\gone"), 256, true))
            << OpName(op);
        EXPECT_EQ(done, (std::vector<bool>{true, false, true})) << OpName(op);
        if (op != Op::Delete) {
            EXPECT_EQ(Names(Destination(op)), (QStringList{"a.txt", "c.txt"})) << OpName(op);
        }
        EXPECT_EQ(Names(QStringLiteral("C:\\src")).size(), op == Op::Copy ? 2 : 0) << OpName(op);
        QDir(Root() + QStringLiteral("/c/src")).removeRecursively();
    }
}

// A link whose target is gone is moved or deleted as the link itself, with
// no question, and the file beside it is handled as usual.
TEST_F(EngineEdgeTest, DanglingLinkIsMovedOrDeletedAsTheLinkItself)
{
    for (const Op op : {Op::MoveWithin, Op::MoveAcross, Op::Delete}) {
        MakeFile(QStringLiteral("C:\\src\\real.txt"), "real");
        const QString nowhere = Root() + QStringLiteral("/c/nowhere");
        const QString link = QString::fromUtf8(Native(QStringLiteral("C:\\src\\link")));
        ASSERT_TRUE(QFile::link(nowhere, link));
        MakeFolder(Destination(op));
        ask.asked.clear();
        std::vector<bool> done;
        const int result =
            Run(op, {QStringLiteral("C:\\src\\link"), QStringLiteral("C:\\src\\real.txt")}, &done);
        EXPECT_EQ(result, 0) << OpName(op);
        EXPECT_TRUE(done[0] && done[1]) << OpName(op);
        EXPECT_TRUE(ask.asked.empty()) << OpName(op);
        EXPECT_FALSE(QFileInfo(link).isSymLink()) << OpName(op);
        if (op != Op::Delete) {
            const QFileInfo moved(
                QString::fromUtf8(Native(Destination(op) + QStringLiteral("\\link"))));
            EXPECT_TRUE(moved.isSymLink()) << OpName(op);
            EXPECT_EQ(moved.symLinkTarget(), nowhere) << OpName(op);
            EXPECT_EQ(Contents(Destination(op) + QStringLiteral("\\real.txt")), "real");
        }
        QDir(Root() + QStringLiteral("/c/src")).removeRecursively();
    }
}

// Sizes above 4 GiB are 64-bit everywhere: counting, the free-space check, a
// move within a drive, and the bar of a skipped file.
TEST_F(EngineEdgeTest, FilesAboveFourGigabytes)
{
    const qint64 huge = (5LL << 30) + 3;
    MakeSparseFile(QStringLiteral("C:\\src\\huge.bin"), huge);
    MakeFolder(QStringLiteral("C:\\dst"));
    // Within a drive nothing is counted or checked: even a terabyte moves.
    MakeSparseFile(QStringLiteral("C:\\src\\tera.bin"), 1LL << 40);
    auto move =
        CopyEngine({QStringLiteral("C:\\src\\huge.bin"), QStringLiteral("C:\\src\\tera.bin")});
    EXPECT_EQ(move->Move(QStringLiteral("C:\\dst")), 0);
    EXPECT_TRUE(ask.asked.isEmpty());
    EXPECT_EQ(SizeOf(QStringLiteral("C:\\dst\\huge.bin")), huge);
    EXPECT_EQ(SizeOf(QStringLiteral("C:\\dst\\tera.bin")), 1LL << 40);
    // The terabyte is more than any test disk has free: nothing moves.
    ask.ExpectMessageBox(mrOk);
    move = CopyEngine({QStringLiteral("C:\\dst\\huge.bin"), QStringLiteral("C:\\dst\\tera.bin")});
    EXPECT_EQ(move->Move(QStringLiteral("D:\\")), -1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("D:\\\n\n") + LoadStr(261));
    EXPECT_EQ(ask.asked[0].flags, 0x10u);
    EXPECT_EQ(move->TotalSize, sys::UINT64(huge) + (sys::UINT64(1) << 40));
    EXPECT_EQ(move->FileCount, 2);
    EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{});
    EXPECT_EQ(SizeOf(QStringLiteral("C:\\dst\\huge.bin")), huge);

    if (QStorageInfo(Root()).bytesAvailable() < 2 * huge)
        GTEST_SKIP() << "too little free space for the skip of a 5 GiB file";
    ask.asked.clear();
    MakeFile(QStringLiteral("D:\\huge.bin"), "old");
    ask.ExpectFileExists(mrNo);
    auto copy = CopyEngine({QStringLiteral("C:\\dst\\huge.bin")});
    EXPECT_EQ(copy->Copy(QStringLiteral("D:\\")), -1);
    EXPECT_EQ(Contents(QStringLiteral("D:\\huge.bin")), "old");
    EXPECT_EQ(progress.copying.maxValue, sys::UINT64(huge));
    EXPECT_EQ(progress.copying.progress, sys::UINT64(huge));
    EXPECT_EQ(progress.copying.fileNames.last(), QStringLiteral("huge.bin (5,368,709,123 bytes) "));
}

TEST_F(EngineEdgeTest, OverwriteForAllReplacesEveryTargetWithoutCountingOrAsking)
{
    QStringList files;
    for (int i = 1; i <= 4; ++i) {
        const QString name = QStringLiteral("%1.txt").arg(i);
        MakeFile(QStringLiteral("C:\\src\\") + name, "new " + QByteArray::number(i));
        if (i != 3)
            MakeFile(QStringLiteral("D:\\") + name, "old");
        files << QStringLiteral("C:\\src\\") + name;
    }
    ask.ExpectFileExists(mrYes, true);
    auto engine = CopyEngine(files);
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(Contents(QStringLiteral("D:\\%1.txt").arg(i)), "new " + QByteArray::number(i));
    EXPECT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(engine->SuccessCount(), 4);
    EXPECT_EQ(progress.copying.started, 1);
    EXPECT_EQ(engine->Flags, feOverwrite | feAll);
    EXPECT_EQ(Names(QStringLiteral("D:\\")).size(), 4); // no temporary left
}

TEST_F(EngineEdgeTest, RenameHoldsForOneItemEvenWithAllTicked)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "new a");
    MakeFile(QStringLiteral("C:\\src\\b.txt"), "new b");
    MakeFile(QStringLiteral("D:\\a.txt"), "old a");
    MakeFile(QStringLiteral("D:\\b.txt"), "old b");
    MakeFolder(QStringLiteral("D:\\sub"));
    // A name with a backslash leads below the target folder.
    ask.ExpectFileExists(mrRetry, true, QStringLiteral("D:\\sub\\a2.txt"));
    ask.ExpectFileExists(mrNo);
    auto engine = CopyEngine({QStringLiteral("C:\\src\\a.txt"), QStringLiteral("C:\\src\\b.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), -1);
    EXPECT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(Contents(QStringLiteral("D:\\sub\\a2.txt")), "new a");
    EXPECT_EQ(Contents(QStringLiteral("D:\\a.txt")), "old a");
    EXPECT_EQ(Contents(QStringLiteral("D:\\b.txt")), "old b");
    EXPECT_EQ(Names(QStringLiteral("D:\\")), (QStringList{"a.txt", "b.txt", "sub"}));
}

// Inside a folder merge every file is replaced unasked; a replacement that
// fails or is cancelled leaves the old file exactly as it was.
TEST_F(EngineEdgeTest, FailedReplaceInsideAMergeKeepsTheOldFile)
{
    const struct {
        const char *what;
        FaultOp op;
        int nth; // 0: cancelled after the first step instead
        int code;
    } rows[] = {
        {"write fails", FaultOp::Write, 2, 112},
        {"old file cannot step aside", FaultOp::Rename, 1, 5},
        {"new file cannot take its place", FaultOp::Rename, 2, 5},
        {"cancelled", FaultOp::Write, 0, 0},
    };
    const QString old = QStringLiteral("D:\\F\\sub\\big.bin");
    for (const auto &row : rows) {
        MakeFileOfSize(QStringLiteral("C:\\src\\F\\sub\\big.bin"), 4 * step);
        MakeFile(QStringLiteral("D:\\F\\only.txt"), "only here");
        MakeFile(old, "precious");
        SetTime(old, 1300000000);
        SetAttributes(old, sys::FILE_ATTRIBUTE_READONLY);
        ask.asked.clear();
        ask.ExpectFileExists(mrYes);
        if (row.nth > 0)
            ask.ExpectMessageBox(mrOk);
        progress.copying.cancelAtFile = row.nth > 0 ? QString() : QStringLiteral("big.bin");
        auto engine = CopyEngine({QStringLiteral("C:\\src\\F")});
        engine->OnFileExists = [&row](TFileCopy &, const QString &source, QString &target,
                                      sys::DWORD &flags) {
            HandleFileExists(nullptr, source, target, flags);
            if (row.nth > 0)
                sys::InjectFault(row.op, row.nth, sys::DWORD(row.code));
        };
        EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), row.nth > 0 ? row.code : 1223) << row.what;
        EXPECT_EQ(Contents(old), "precious") << row.what;
        EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(old))).lastModified().toSecsSinceEpoch(),
                  1300000000)
            << row.what;
        EXPECT_TRUE(Attributes(old) & sys::FILE_ATTRIBUTE_READONLY) << row.what;
        EXPECT_EQ(Names(QStringLiteral("D:\\F")), (QStringList{"only.txt", "sub"})) << row.what;
        EXPECT_EQ(Names(QStringLiteral("D:\\F\\sub")), QStringList{"big.bin"}) << row.what;
        sys::ClearFaults();
        SetAttributes(old, sys::FILE_ATTRIBUTE_NORMAL);
        QDir(Root() + QStringLiteral("/d/F")).removeRecursively();
    }
}

TEST_F(EngineEdgeTest, MoveToAnotherDriveMergesIntoAnExistingFolderAndRemovesTheSource)
{
    MakeFile(QStringLiteral("C:\\src\\F\\x.txt"), "new x");
    MakeFile(QStringLiteral("C:\\src\\F\\sub\\y.txt"), "new y");
    MakeFile(QStringLiteral("D:\\F\\x.txt"), "old x");
    MakeFile(QStringLiteral("D:\\F\\z.txt"), "only here");
    ask.ExpectFileExists(mrYes);
    auto engine = CopyEngine({QStringLiteral("C:\\src\\F")});
    EXPECT_EQ(engine->Move(QStringLiteral("D:\\")), 0);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\F")));
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\x.txt")), "new x");
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\sub\\y.txt")), "new y");
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\z.txt")), "only here");
    EXPECT_EQ(Names(QStringLiteral("D:\\F")), (QStringList{"sub", "x.txt", "z.txt"}));
}

TEST_F(EngineEdgeTest, EscapeInTheAttributeWarningOfAFolderEndsTheWholeDelete)
{
    MakeFile(QStringLiteral("C:\\x\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\x\\H\\in.txt"), "in");
    MakeFile(QStringLiteral("C:\\x\\z.txt"), "z");
    SetAttributes(QStringLiteral("C:\\x\\H"), sys::FILE_ATTRIBUTE_HIDDEN);
    ask.ExpectDeleteWarning(mrCancel);
    auto engine = std::make_unique<TFileDelete>(nullptr);
    engine->Files = {QStringLiteral("C:\\x\\a.txt"), QStringLiteral("C:\\x\\H"),
                     QStringLiteral("C:\\x\\z.txt")};
    EXPECT_EQ(engine->Execute(), 1223);
    EXPECT_TRUE(engine->Cancelled);
    EXPECT_EQ(ask.asked[0].text.section(QLatin1Char('\n'), 0, 0), QStringLiteral("H"));
    EXPECT_EQ(Names(QStringLiteral("C:\\x")), (QStringList{"H", "z.txt"}));
    EXPECT_EQ(Contents(QStringLiteral("C:\\x\\H\\in.txt")), "in");
    EXPECT_EQ(engine->SuccessCount(), 1);
}

// A change in the watched folder while a question of the run is open must not
// reload the panel before the run has ended, even though the run processes
// events after every file.
TEST_F(EngineEdgeTest, ChangeDuringAQuestionReachesThePanelOnlyAfterTheRun)
{
    for (int i = 0; i < 4; ++i)
        MakeFile(QStringLiteral("C:\\x\\%1.txt").arg(i), "x");
    SetAttributes(QStringLiteral("C:\\x\\0.txt"), sys::FILE_ATTRIBUTE_HIDDEN);
    TShellChangeNotify notify;
    int reloads = 0;
    bool reloadedDuringRun = false;
    bool running = false;
    QObject::connect(&notify, &TShellChangeNotify::OnChange, [&] {
        ++reloads;
        reloadedDuringRun = reloadedDuringRun || running;
    });
    notify.Loaded();
    notify.SetDelay(0);
    notify.SetFolder(QStringLiteral("C:\\x"));
    notify.SetActive(true);
    ASSERT_TRUE(notify.Active());
    ask.during = [&](const test::Question &) {
        notify.ThreadNotification();
        QCoreApplication::processEvents();
    };
    ask.ExpectDeleteWarning(mrYes);
    auto engine = std::make_unique<TFileDelete>(nullptr);
    for (int i = 0; i < 4; ++i)
        engine->Files << QStringLiteral("C:\\x\\%1.txt").arg(i);
    running = true;
    EXPECT_EQ(engine->Execute(), 0);
    running = false;
    EXPECT_FALSE(reloadedDuringRun);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reloads > 0; }, 20000));
    EXPECT_EQ(Names(QStringLiteral("C:\\x")), QStringList{});
}

TEST_F(EngineEdgeTest, AConflictHandlerThatGivesNoAnswerEndsInAnErrorNotALoop)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "new");
    MakeFile(QStringLiteral("D:\\a.txt"), "old");
    int asked = 0;
    auto engine = CopyEngine({QStringLiteral("C:\\src\\a.txt")});
    engine->OnFileExists = [&](TFileCopy &, const QString &, QString &, sys::DWORD &) { ++asked; };
    ask.ExpectMessageBox(mrOk);
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 183);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("D:\\a.txt"), 265, false));
    EXPECT_EQ(Contents(QStringLiteral("D:\\a.txt")), "old");
}

// A link to a folder outside the chosen items is removed itself; the files of
// the folder it points to stay where they are.
TEST_F(EngineEdgeTest, LinksToFoldersAreRemovedWithoutEnteringThem)
{
    MakeFile(QStringLiteral("C:\\elsewhere\\keep.txt"), "keep");
    const QString target = Root() + QStringLiteral("/c/elsewhere");
    for (const Op op : {Op::Delete, Op::MoveAcross}) {
        MakeFile(QStringLiteral("C:\\src\\T\\own.txt"), "own");
        ASSERT_TRUE(
            QFile::link(target, QString::fromUtf8(Native(QStringLiteral("C:\\src\\T\\in")))));
        ASSERT_TRUE(QFile::link(target, QString::fromUtf8(Native(QStringLiteral("C:\\src\\top")))));
        MakeFolder(Destination(op));
        EXPECT_EQ(Run(op, {QStringLiteral("C:\\src\\T"), QStringLiteral("C:\\src\\top")}), 0)
            << OpName(op);
        EXPECT_EQ(Names(QStringLiteral("C:\\src")), QStringList{}) << OpName(op);
        EXPECT_EQ(Contents(QStringLiteral("C:\\elsewhere\\keep.txt")), "keep") << OpName(op);
    }
    EXPECT_EQ(Contents(QStringLiteral("D:\\moved\\T\\own.txt")), "own");
    EXPECT_TRUE(ask.asked.isEmpty());
}

} // namespace
} // namespace kestrel
