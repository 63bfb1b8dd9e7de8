#include "ops/conflicts.h"

#include "ops/operationlock.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "tests/ops/engine_fixture.h"

#include <QCoreApplication>

namespace kestrel {
namespace {

using test::Answer;
using test::QuestionKind;

class ConflictTest : public test::EngineTest {};

TEST_F(ConflictTest, FileOntoFileShowsBothFilesAndMapsEachAnswer)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), QByteArray(1234, 'n'));
    MakeFile(QStringLiteral("C:\\dst\\a.txt"), QByteArray(5, 'o'));
    SetTime(QStringLiteral("C:\\src\\a.txt"), 1704103200); // Monday 1 January 2024 10:00 UTC
    const struct {
        int result;
        bool all;
        sys::DWORD flags;
    } rows[] = {
        {mrYes, false, feOverwrite},  {mrYes, true, feOverwrite | feAll}, {mrNo, false, feSkip},
        {mrNo, true, feSkip | feAll}, {mrCancel, true, feCancel},         {mrRetry, true, feRename},
    };
    for (const auto &row : rows) {
        ask.Expect(
            {QuestionKind::FileExists, row.result, QStringLiteral("C:\\dst\\b.txt"), row.all});
        QString target = QStringLiteral("C:\\dst\\a.txt");
        EXPECT_EQ(AskFileExists(nullptr, QStringLiteral("C:\\src\\a.txt"), target), row.flags)
            << row.result << row.all;
        EXPECT_EQ(target, row.result == mrRetry ? QStringLiteral("C:\\dst\\b.txt")
                                                : QStringLiteral("C:\\dst\\a.txt"));
    }
    const TFileExistsQuestion &q = ask.asked.first().fileExists;
    EXPECT_EQ(q.fileNameText,
              QStringLiteral("Destination folder already contains a file named 'a.txt'"));
    EXPECT_EQ(q.newInfo, QStringLiteral("1,234 bytes ( Monday, 1 January 2024, 10:00:00 )"));
    EXPECT_TRUE(q.originInfo.startsWith(QStringLiteral("5 bytes ( ")))
        << q.originInfo.toStdString();
    EXPECT_FALSE(q.isFolder);
    EXPECT_TRUE(q.canRename);
    EXPECT_EQ(q.targetPath, QStringLiteral("C:\\dst\\a.txt"));
}

TEST_F(ConflictTest, FolderOntoFolderShowsTheFolderSentenceWithoutInformation)
{
    MakeFolder(QStringLiteral("C:\\src\\Data"));
    MakeFolder(QStringLiteral("C:\\dst\\Data"));
    ask.ExpectFileExists(mrYes);
    QString target = QStringLiteral("C:\\dst\\Data");
    EXPECT_EQ(AskFileExists(nullptr, QStringLiteral("C:\\src\\Data"), target), feOverwrite);
    const TFileExistsQuestion &q = ask.asked.first().fileExists;
    EXPECT_EQ(q.fileNameText,
              QStringLiteral("Destination folder already contains a folder named 'Data'"));
    EXPECT_TRUE(q.isFolder);
    EXPECT_TRUE(q.newInfo.isEmpty());
    EXPECT_TRUE(q.originInfo.isEmpty());
}

TEST_F(ConflictTest, ListedItemCannotBeRenamed)
{
    MakeFile(QStringLiteral("C:\\dst\\x.bin"), "old");
    TListedItem item{QStringLiteral("x.bin"), 1000000, sys::UnixToFileTime(1704103200, 0)};
    ask.ExpectFileExists(mrNo, true);
    QString target = QStringLiteral("C:\\dst\\x.bin");
    EXPECT_EQ(AskFileExists(nullptr, item, target), feSkip | feAll);
    const TFileExistsQuestion &q = ask.asked.first().fileExists;
    EXPECT_FALSE(q.canRename);
    EXPECT_EQ(q.newInfo, QStringLiteral("1,000,000 bytes ( Monday, 1 January 2024, 10:00:00 )"));
    EXPECT_TRUE(q.originInfo.startsWith(QStringLiteral("3 bytes")));
}

TEST(IsValidNewName, RefusesWhatCannotNameAFileBelowTheTarget)
{
    const struct {
        QString name;
        bool valid;
    } rows[] = {
        {QStringLiteral("new name.txt"), true},
        {QStringLiteral("a=b ü.txt"), true},
        {QStringLiteral("sub\\file.txt"), true}, // lands below the target folder
        {QStringLiteral("sub/file.txt"), true},
        {QString(254, QLatin1Char('n')), true},
        {QString(255, QLatin1Char('n')), false},
        {QString(), false},
        {QStringLiteral("a:b"), false},
        {QStringLiteral("a>b"), false},
        {QStringLiteral("a*"), false},
        {QStringLiteral("a?"), false},
        {QStringLiteral("a|b"), false},
        {QStringLiteral("\"a\""), false},
        {QStringLiteral("..\\outside.txt"), false}, // would leave the target folder
        {QStringLiteral(".."), false},
        {QStringLiteral("\\root.txt"), false},
        {QStringLiteral("sub\\"), false},
        // A name that is not UTF-8 used to slip past the check of its parts.
        {sys::DecodeName("..\\out\xFF.txt"), false},
        {sys::DecodeName("../out\xFF.txt"), false},
        {sys::DecodeName("sub\\caf\xE9.txt"), true},
    };
    for (const auto &row : rows)
        EXPECT_EQ(IsValidNewName(row.name), row.valid) << row.name.toStdString();
}

TEST_F(ConflictTest, RenameAsksAgainAfterAnInvalidNameAndKeepsTheFolder)
{
    ask.ExpectGetString(mrOk, QStringLiteral("bad?name"));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral("good.txt"));
    QString target = QStringLiteral("C:\\dst\\a.txt");
    ASSERT_TRUE(AskRenameTarget(nullptr, target));
    EXPECT_EQ(target, QStringLiteral("C:\\dst\\good.txt"));
    ASSERT_EQ(ask.asked.size(), 3);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Rename and Copy"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("Put new name you want to change to"));
    EXPECT_EQ(ask.asked[1].text, QStringLiteral("bad?name\n\nInvalid Name"));
    EXPECT_EQ(ask.asked[1].flags, 0x10u);
}

TEST_F(ConflictTest, CancelledRenameLeavesTheTarget)
{
    ask.ExpectGetString(mrCancel);
    QString target = QStringLiteral("C:\\dst\\a.txt");
    EXPECT_FALSE(AskRenameTarget(nullptr, target));
    EXPECT_EQ(target, QStringLiteral("C:\\dst\\a.txt"));
}

TEST_F(ConflictTest, HandlerDoesNotAskWhileAnAnswerForAllStands)
{
    MakeFile(QStringLiteral("C:\\src\\a"), "a");
    MakeFile(QStringLiteral("C:\\dst\\a"), "b");
    QString target = QStringLiteral("C:\\dst\\a");
    sys::DWORD flags = feOverwrite | feAll;
    HandleFileExists(nullptr, QStringLiteral("C:\\src\\a"), target, flags);
    EXPECT_EQ(flags, feOverwrite | feAll);
    ask.ExpectFileExists(mrNo);
    flags = 0;
    HandleFileExists(nullptr, QStringLiteral("C:\\src\\a"), target, flags);
    EXPECT_EQ(flags, feSkip);
}

// A change notification during an open question must not reload the panel
// under the operation; the reload runs once, after the operation.
TEST_F(ConflictTest, ReloadRequestedDuringAQuestionWaitsForTheEndOfTheOperation)
{
    QObject panel;
    int reloads = 0;
    bool runningDuringQuestion = false;
    ask.during = [&](const test::Question &) {
        runningDuringQuestion = TOperationState::Instance().Running();
        TOperationState::Instance().RunWhenIdle(&panel, [&] { ++reloads; });
        TOperationState::Instance().RunWhenIdle(&panel, [&] { ++reloads; });
    };
    ask.ExpectDeleteWarning(mrYes);
    {
        const TOperationGuard operation;
        EXPECT_EQ(AskDeleteWarning(nullptr, QStringLiteral("x"), 2, false), mrYes);
        QCoreApplication::processEvents();
        EXPECT_EQ(reloads, 0);
    }
    EXPECT_TRUE(runningDuringQuestion);
    EXPECT_EQ(reloads, 0); // not from inside the operation's own return path
    QCoreApplication::processEvents();
    EXPECT_EQ(reloads, 1);
    TOperationState::Instance().RunWhenIdle(&panel, [&] { ++reloads; });
    EXPECT_EQ(reloads, 2); // nothing running: at once
}

} // namespace
} // namespace kestrel
