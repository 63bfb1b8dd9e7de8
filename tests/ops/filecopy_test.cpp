#include "ops/filecopy.h"

#include "ops/conflicts.h"
#include "platform/faults.h"
#include "tests/ops/engine_fixture.h"

#include <QFile>

namespace kestrel {
namespace {

using sys::FaultOp;
using test::Answer;
using test::QuestionKind;

// Faults and cancel are counted per step of the engine's copy loop.
constexpr qint64 step = TFileCopy::CopyStep;

class CopyTest : public test::EngineTest {
protected:
    std::unique_ptr<TFileCopy> Engine(const QStringList &files) { return CopyEngine(files); }
    QStringList Results(const TFileCopy &engine) const
    {
        QStringList out;
        for (int i = 0; i < engine.Files.size(); ++i)
            out << (engine.Succeeded(i) ? QStringLiteral("done") : QStringLiteral("-"));
        return out;
    }
};

TEST_F(CopyTest, CopiesFilesAndTreesWithTimesAndCounts)
{
    MakeFile(QStringLiteral("C:\\src\\a b=c ü.txt"), "hello");
    MakeFile(QStringLiteral("C:\\src\\empty"), QByteArray());
    MakeFileOfSize(QStringLiteral("C:\\src\\tree\\sub\\big.bin"), 3 * step + 7);
    MakeFile(QStringLiteral("C:\\src\\tree\\top.txt"), "top");
    SetTime(QStringLiteral("C:\\src\\a b=c ü.txt"), 1000000000);
    auto engine = Engine({QStringLiteral("C:\\src\\a b=c ü.txt"), QStringLiteral("C:\\src\\empty"),
                          QStringLiteral("C:\\src\\tree")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 0);
    EXPECT_EQ(engine->SuccessCount(), 3);
    EXPECT_EQ(Contents(QStringLiteral("D:\\a b=c ü.txt")), "hello");
    EXPECT_TRUE(Exists(QStringLiteral("D:\\empty")));
    EXPECT_EQ(Contents(QStringLiteral("D:\\tree\\sub\\big.bin")), Pattern(3 * step + 7));
    EXPECT_EQ(Contents(QStringLiteral("D:\\tree\\top.txt")), "top");
    EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("D:\\a b=c ü.txt"))))
                  .lastModified()
                  .toSecsSinceEpoch(),
              1000000000);
    EXPECT_EQ(engine->FileCount, 4);
    EXPECT_EQ(engine->TotalSize, sys::UINT64(5 + 3 * step + 7 + 3));
    EXPECT_EQ(progress.copying.caption, QStringLiteral("Copying..."));
    EXPECT_EQ(progress.copying.maxValue, engine->TotalSize);
    EXPECT_EQ(progress.copying.progress, engine->TotalSize);
    EXPECT_EQ(progress.copying.started, 4);
    EXPECT_EQ(progress.copying.from, QStringLiteral("src"));
    EXPECT_EQ(progress.copying.to, QStringLiteral("D:"));
    EXPECT_TRUE(progress.copying.fileNames.contains(QStringLiteral("big.bin (3,145,735 bytes) ")));
    EXPECT_EQ(progress.copying.closed, 1);
    EXPECT_TRUE(ask.asked.isEmpty());
}

TEST_F(CopyTest, DiskFullInTheMiddleOfAFileKeepsEarlierFilesAndThePartialFile)
{
    MakeFile(QStringLiteral("C:\\src\\1.txt"), "one");
    MakeFileOfSize(QStringLiteral("C:\\src\\2.bin"), 3 * step);
    MakeFile(QStringLiteral("C:\\src\\3.txt"), "three");
    MakeFolder(QStringLiteral("D:\\dst"));
    sys::InjectFault(FaultOp::Write, 3, 112); // 1.txt takes one write, 2.bin fails on its second
    ask.ExpectMessageBox(mrNo);
    auto engine = Engine({QStringLiteral("C:\\src\\1.txt"), QStringLiteral("C:\\src\\2.bin"),
                          QStringLiteral("C:\\src\\3.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\dst")), 112);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\2.bin"), 261, true));
    EXPECT_EQ(ask.asked[0].flags, 0x14u);
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\1.txt")), "one");
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\2.bin")), Pattern(3 * step).left(step));
    EXPECT_FALSE(Exists(QStringLiteral("D:\\dst\\3.txt")));
    EXPECT_EQ(Results(*engine), (QStringList{"done", "-", "-"}));
}

TEST_F(CopyTest, CancelInALargeFileRemovesItsPartialTargetOnly)
{
    MakeFile(QStringLiteral("C:\\src\\1.txt"), "one");
    MakeFileOfSize(QStringLiteral("C:\\src\\2.bin"), 5 * step);
    MakeFile(QStringLiteral("C:\\src\\3.txt"), "three");
    progress.copying.cancelAtStep = 4; // 1.txt's step, then three steps of 2.bin
    auto engine = Engine({QStringLiteral("C:\\src\\1.txt"), QStringLiteral("C:\\src\\2.bin"),
                          QStringLiteral("C:\\src\\3.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 1223);
    EXPECT_TRUE(ask.asked.isEmpty());
    EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{"1.txt"});
    EXPECT_EQ(Results(*engine), (QStringList{"done", "-", "-"}));
    // The step in hand when Cancel was pressed is the last one.
    EXPECT_EQ(progress.copying.progress, sys::UINT64(3 + 3 * step));
}

TEST_F(CopyTest, FailedOrCancelledOverwriteLeavesTheOldTargetAsItWas)
{
    MakeFileOfSize(QStringLiteral("C:\\src\\f.bin"), 4 * step);
    MakeFile(QStringLiteral("D:\\f.bin"), "precious");
    SetTime(QStringLiteral("D:\\f.bin"), 1500000000);
    for (int run = 0; run < 2; ++run) {
        ask.ExpectFileExists(mrYes);
        if (run == 0) {
            sys::InjectFault(FaultOp::Write, 2, 112);
            ask.ExpectMessageBox(mrOk);
        } else {
            progress.copying.steps = 0;
            progress.copying.cancelAtStep = 2;
        }
        auto engine = Engine({QStringLiteral("C:\\src\\f.bin")});
        EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), run == 0 ? 112 : 1223);
        EXPECT_EQ(Contents(QStringLiteral("D:\\f.bin")), "precious");
        EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("D:\\f.bin"))))
                      .lastModified()
                      .toSecsSinceEpoch(),
                  1500000000);
        EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{"f.bin"}); // no temporary left
    }
    EXPECT_EQ(ask.asked[1].text, ErrorText(QStringLiteral("C:\\src\\f.bin"), 261, false));
}

TEST_F(CopyTest, OverwriteReplacesAReadOnlyTargetWithTheSourceAttributesAndTime)
{
    MakeFile(QStringLiteral("C:\\src\\f.txt"), "new");
    SetTime(QStringLiteral("C:\\src\\f.txt"), 1200000000);
    MakeFile(QStringLiteral("D:\\f.txt"), "old");
    SetAttributes(QStringLiteral("D:\\f.txt"), sys::FILE_ATTRIBUTE_READONLY);
    ask.ExpectFileExists(mrYes);
    auto engine = Engine({QStringLiteral("C:\\src\\f.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 0);
    EXPECT_EQ(Contents(QStringLiteral("D:\\f.txt")), "new");
    EXPECT_FALSE(Attributes(QStringLiteral("D:\\f.txt")) & sys::FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("D:\\f.txt"))))
                  .lastModified()
                  .toSecsSinceEpoch(),
              1200000000);
    EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{"f.txt"});
}

TEST_F(CopyTest, RemoveReadOnlyClearsTheAttributeOfTheCopy)
{
    for (const bool remove : {false, true}) {
        const QString dest = remove ? QStringLiteral("D:\\cleared") : QStringLiteral("D:\\kept");
        MakeFile(QStringLiteral("C:\\src\\ro.txt"), "ro");
        SetAttributes(QStringLiteral("C:\\src\\ro.txt"), sys::FILE_ATTRIBUTE_READONLY);
        MakeFolder(dest);
        auto engine = Engine({QStringLiteral("C:\\src\\ro.txt")});
        engine->RemoveReadOnly = remove;
        EXPECT_EQ(engine->Copy(dest), 0);
        EXPECT_EQ(
            bool(Attributes(dest + QStringLiteral("\\ro.txt")) & sys::FILE_ATTRIBUTE_READONLY),
            !remove);
    }
}

TEST_F(CopyTest, SkipWithAllOnItemTwoSkipsEveryFollowingItem)
{
    QStringList files;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("C:\\src\\%1.txt").arg(i);
        MakeFile(name, QByteArray::number(i));
        files << name;
    }
    MakeFile(QStringLiteral("D:\\2.txt"), "old");
    ask.ExpectFileExists(mrNo, true);
    auto engine = Engine(files);
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), -1);
    EXPECT_EQ(Names(QStringLiteral("D:\\")), (QStringList{"1.txt", "2.txt"}));
    EXPECT_EQ(Contents(QStringLiteral("D:\\2.txt")), "old");
    EXPECT_EQ(Results(*engine), (QStringList{"done", "-", "-", "-", "-"}));
    // Item 2 counted before its question; the counter stands while an answer for all holds.
    EXPECT_EQ(progress.copying.started, 2);
}

TEST_F(CopyTest, OverwriteOnAFolderMergesAndHoldsForThatItemOnly)
{
    MakeFile(QStringLiteral("C:\\src\\F\\x.txt"), "new x");
    MakeFile(QStringLiteral("C:\\src\\F\\sub\\y.txt"), "new y");
    MakeFile(QStringLiteral("D:\\F\\x.txt"), "old x");
    MakeFile(QStringLiteral("D:\\F\\sub\\y.txt"), "old y");
    MakeFile(QStringLiteral("D:\\F\\z.txt"), "only here");
    MakeFile(QStringLiteral("C:\\src\\g.txt"), "new g");
    MakeFile(QStringLiteral("D:\\g.txt"), "old g");
    ask.ExpectFileExists(mrYes);
    ask.ExpectFileExists(mrNo);
    auto engine = Engine({QStringLiteral("C:\\src\\F"), QStringLiteral("C:\\src\\g.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), -1);
    EXPECT_TRUE(ask.asked[0].fileExists.isFolder);
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\x.txt")), "new x");
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\sub\\y.txt")), "new y");
    EXPECT_EQ(Contents(QStringLiteral("D:\\F\\z.txt")), "only here");
    EXPECT_EQ(Contents(QStringLiteral("D:\\g.txt")), "old g");
    EXPECT_EQ(Names(QStringLiteral("D:\\F")), (QStringList{"sub", "x.txt", "z.txt"}));
    EXPECT_EQ(Results(*engine), (QStringList{"done", "-"}));
}

TEST_F(CopyTest, RenameCopiesToTheNewNameAndAConflictThereAsksAgain)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "new");
    MakeFile(QStringLiteral("D:\\a.txt"), "old a");
    MakeFile(QStringLiteral("D:\\b.txt"), "old b");
    ask.ExpectFileExists(mrRetry, true, QStringLiteral("D:\\b.txt"));
    ask.ExpectFileExists(mrYes);
    auto engine = Engine({QStringLiteral("C:\\src\\a.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 0);
    // The Overwrite answered about b.txt replaces b.txt, not a.txt.
    EXPECT_EQ(Contents(QStringLiteral("D:\\a.txt")), "old a");
    EXPECT_EQ(Contents(QStringLiteral("D:\\b.txt")), "new");
    EXPECT_EQ(ask.asked[1].fileExists.targetPath, QStringLiteral("D:\\b.txt"));
    EXPECT_EQ(engine->Flags, 0u);
}

TEST_F(CopyTest, FolderIntoItselfOrItsSubfolderIsRefusedButASiblingIsNot)
{
    MakeFile(QStringLiteral("C:\\Data\\Sub\\f.txt"), "f");
    const struct {
        QString source, destination;
        int result;
    } rows[] = {
        {QStringLiteral("C:\\Data"), QStringLiteral("C:\\"), 12},
        {QStringLiteral("C:\\Data"), QStringLiteral("C:\\Data"), 12},
        {QStringLiteral("C:\\Data"), QStringLiteral("c:\\data\\Sub"), 12},
        {QStringLiteral("C:\\Data"), QStringLiteral("C:\\Data2"), 0},
    };
    MakeFolder(QStringLiteral("C:\\Data2"));
    for (const auto &row : rows) {
        if (row.result == 12)
            ask.ExpectMessageBox(mrOk);
        auto engine = Engine({row.source});
        EXPECT_EQ(engine->Copy(row.destination), row.result) << row.destination.toStdString();
        if (row.result == 12) {
            EXPECT_EQ(ask.asked.last().text,
                      QStringLiteral("C:\\Data\n\n") +
                          LoadStr(267).replace(QStringLiteral("%d"), QStringLiteral("12")));
        }
    }
    EXPECT_EQ(Names(QStringLiteral("C:\\Data")), QStringList{"Sub"});
    EXPECT_EQ(Names(QStringLiteral("C:\\Data\\Sub")), QStringList{"f.txt"});
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data2\\Data\\Sub\\f.txt")), "f");
}

// A folder reached through a link has two names; copying it below either of
// them used to recurse until the path grew too long.
TEST_F(CopyTest, FolderIntoItselfThroughALinkIsRefused)
{
    MakeFile(QStringLiteral("C:\\Data\\Sub\\f.txt"), "f");
    ASSERT_TRUE(sys::CreateSymbolicLink(QStringLiteral("C:\\Via"),
                                        QString::fromUtf8(Native(QStringLiteral("C:\\Data"))),
                                        sys::SYMBOLIC_LINK_FLAG_DIRECTORY));
    const struct {
        QString source, destination;
    } rows[] = {
        {QStringLiteral("C:\\Via\\Sub"), QStringLiteral("C:\\Data\\Sub")},
        {QStringLiteral("C:\\Data"), QStringLiteral("C:\\Via\\Sub")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.destination.toStdString());
        ask.ExpectMessageBox(mrOk);
        EXPECT_EQ(Engine({row.source})->Copy(row.destination), 12);
        auto mover = Engine({row.source});
        ask.ExpectMessageBox(mrOk);
        EXPECT_EQ(mover->Move(row.destination), 12);
    }
    EXPECT_EQ(Names(QStringLiteral("C:\\Data")), QStringList{"Sub"});
    EXPECT_EQ(Names(QStringLiteral("C:\\Data\\Sub")), QStringList{"f.txt"});
}

TEST_F(CopyTest, OverwriteOfAFileByAFolderIsAnErrorNotAnEndlessQuestion)
{
    MakeFile(QStringLiteral("C:\\src\\x\\in.txt"), "in");
    MakeFile(QStringLiteral("C:\\src\\y"), "file y");
    MakeFile(QStringLiteral("D:\\x"), "file x");
    MakeFolder(QStringLiteral("D:\\y"));
    ask.ExpectFileExists(mrYes, true);
    ask.ExpectMessageBox(mrYes);
    ask.ExpectMessageBox(mrOk);
    auto engine = Engine({QStringLiteral("C:\\src\\x"), QStringLiteral("C:\\src\\y")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 183);
    EXPECT_EQ(ask.asked[1].text, ErrorText(QStringLiteral("D:\\x"), 265, true));
    EXPECT_EQ(ask.asked[2].text, ErrorText(QStringLiteral("D:\\y"), 265, false));
    EXPECT_EQ(Contents(QStringLiteral("D:\\x")), "file x");
    EXPECT_EQ(Names(QStringLiteral("D:\\y")), QStringList{});
}

TEST_F(CopyTest, AnswerNoToTheErrorLeavesTheRestUntouched)
{
    QStringList files;
    for (int i = 1; i <= 10; ++i) {
        const QString name = QStringLiteral("C:\\src\\%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        if (i != 3)
            MakeFile(name, "x");
        files << name; // 03.txt vanished after the listing
    }
    ask.ExpectMessageBox(mrNo);
    auto engine = Engine(files);
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 2);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\03.txt"), 256, true));
    EXPECT_EQ(Names(QStringLiteral("D:\\")), (QStringList{"01.txt", "02.txt"}));
    EXPECT_EQ(engine->SuccessCount(), 2);
}

TEST_F(CopyTest, DanglingLinkSourceArrivesAsTheSameLink)
{
    MakeFolder(QStringLiteral("C:\\src"));
    const QString nowhere = Root() + QStringLiteral("/c/nowhere");
    ASSERT_TRUE(QFile::link(nowhere, QString::fromUtf8(Native(QStringLiteral("C:\\src\\link")))));
    auto engine = Engine({QStringLiteral("C:\\src\\link")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), 0);
    QString text;
    EXPECT_TRUE(sys::ReadSymbolicLink(QStringLiteral("D:\\link"), text));
    EXPECT_EQ(text, nowhere);
    EXPECT_TRUE(ask.asked.isEmpty());
}

TEST_F(CopyTest, WriteProtectedDestinationIsReportedOnce)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\src\\b.txt"), "b");
    sys::InjectFault(FaultOp::Create, 1, 19);
    ask.ExpectMessageBox(mrNo);
    auto engine = Engine({QStringLiteral("C:\\src\\a.txt"), QStringLiteral("C:\\src\\b.txt")});
    EXPECT_EQ(engine->Copy(QStringLiteral("E:\\")), 19);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\a.txt"), 260, true));
    EXPECT_EQ(Names(QStringLiteral("E:\\")), QStringList{});
    EXPECT_EQ(Contents(QStringLiteral("C:\\src\\a.txt")), "a");
}

TEST_F(CopyTest, CountsFilesLargerThanFourGigabytes)
{
    MakeSparseFile(QStringLiteral("C:\\src\\huge.bin"), 5LL << 30);
    const TTreeTotals totals = ItemTotals(QStringLiteral("C:\\src"));
    EXPECT_EQ(totals.files, 1);
    EXPECT_EQ(totals.bytes, sys::UINT64(5) << 30);
}

TEST_F(CopyTest, MoveAcrossDrivesKeepsASourceThatCouldNotBeRead)
{
    MakeFile(QStringLiteral("C:\\src\\1.txt"), "one");
    MakeFileOfSize(QStringLiteral("C:\\src\\2.bin"), 3 * step);
    MakeFile(QStringLiteral("C:\\src\\3\\in.txt"), "three");
    sys::InjectFault(FaultOp::Read, 4, 30); // 1.txt: data and end; 2.bin: the second step
    ask.ExpectMessageBox(mrYes);
    auto engine = Engine({QStringLiteral("C:\\src\\1.txt"), QStringLiteral("C:\\src\\2.bin"),
                          QStringLiteral("C:\\src\\3")});
    EXPECT_EQ(engine->Move(QStringLiteral("D:\\")), 0);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\2.bin"), 266, true));
    EXPECT_EQ(Names(QStringLiteral("C:\\src")), QStringList{"2.bin"});
    EXPECT_EQ(Contents(QStringLiteral("C:\\src\\2.bin")), Pattern(3 * step));
    EXPECT_EQ(Contents(QStringLiteral("D:\\1.txt")), "one");
    EXPECT_EQ(Contents(QStringLiteral("D:\\3\\in.txt")), "three");
    EXPECT_EQ(Results(*engine), (QStringList{"done", "-", "done"}));
    EXPECT_EQ(progress.copying.caption, QStringLiteral("Moving..."));
    EXPECT_TRUE(progress.copying.byteMode);
}

TEST_F(CopyTest, MoveWithinADriveCountsItemsAndReplacesSafely)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "new a");
    MakeFile(QStringLiteral("C:\\src\\F\\x.txt"), "new x");
    MakeFile(QStringLiteral("C:\\dst\\a.txt"), "old a");
    SetAttributes(QStringLiteral("C:\\dst\\a.txt"), sys::FILE_ATTRIBUTE_READONLY);
    MakeFile(QStringLiteral("C:\\dst\\F\\z.txt"), "z");
    MakeFile(QStringLiteral("C:\\src\\plain.txt"), "plain");
    ask.ExpectFileExists(mrYes, true);
    auto engine = Engine({QStringLiteral("C:\\src\\a.txt"), QStringLiteral("C:\\src\\F"),
                          QStringLiteral("C:\\src\\plain.txt")});
    EXPECT_EQ(engine->Move(QStringLiteral("C:\\dst")), 0);
    EXPECT_EQ(Names(QStringLiteral("C:\\src")), QStringList{});
    EXPECT_EQ(Contents(QStringLiteral("C:\\dst\\a.txt")), "new a");
    EXPECT_EQ(Names(QStringLiteral("C:\\dst\\F")), (QStringList{"x.txt", "z.txt"}));
    EXPECT_EQ(Contents(QStringLiteral("C:\\dst\\plain.txt")), "plain");
    EXPECT_EQ(Names(QStringLiteral("C:\\dst")), (QStringList{"F", "a.txt", "plain.txt"}));
    EXPECT_FALSE(progress.copying.byteMode);
    EXPECT_EQ(progress.copying.maxValue, 3u);
    EXPECT_EQ(progress.copying.progress, 3u);
}

TEST_F(CopyTest, MovingAFileOrFolderOntoItselfLosesNothing)
{
    MakeFile(QStringLiteral("C:\\dir\\f.txt"), "keep");
    MakeFile(QStringLiteral("C:\\dir\\F2\\in.txt"), "in");
    ask.ExpectMessageBox(mrOk);
    auto engine = Engine({QStringLiteral("C:\\dir\\f.txt"), QStringLiteral("C:\\dir\\F2")});
    EXPECT_EQ(engine->Move(QStringLiteral("C:\\dir")), 12);
    EXPECT_EQ(Contents(QStringLiteral("C:\\dir\\f.txt")), "keep");
    EXPECT_EQ(Contents(QStringLiteral("C:\\dir\\F2\\in.txt")), "in");
    // With Overwrite answered for all, a file onto itself is refused, not deleted.
    MakeFile(QStringLiteral("C:\\other\\f.txt"), "other");
    ask.ExpectFileExists(mrYes, true);
    ask.ExpectMessageBox(mrOk);
    engine = Engine({QStringLiteral("C:\\other\\f.txt"), QStringLiteral("C:\\dir\\f.txt")});
    EXPECT_EQ(engine->Move(QStringLiteral("C:\\dir")), 12);
    EXPECT_EQ(Contents(QStringLiteral("C:\\dir\\f.txt")), "other");
    EXPECT_EQ(Names(QStringLiteral("C:\\dir")), (QStringList{"F2", "f.txt"}));
}

TEST_F(CopyTest, NotEnoughFreeSpaceCopiesNothing)
{
    MakeSparseFile(QStringLiteral("C:\\src\\huge.bin"), 1LL << 40);
    ask.ExpectMessageBox(mrOk);
    auto engine = Engine({QStringLiteral("C:\\src\\huge.bin")});
    EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), -1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("D:\\\n\n") + LoadStr(261));
    EXPECT_EQ(ask.asked[0].flags, 0x10u);
    EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{});
    EXPECT_EQ(progress.copying.opened, 0);
}

} // namespace
} // namespace kestrel
