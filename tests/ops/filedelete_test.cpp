#include "ops/filedelete.h"

#include "tests/ops/engine_fixture.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kestrel {
namespace {

class DeleteTest : public test::EngineTest {
protected:
    std::unique_ptr<TFileDelete> Engine(const QStringList &files, bool recycle)
    {
        auto engine = std::make_unique<TFileDelete>(nullptr);
        engine->Files = files;
        engine->UseRecycleBin = recycle;
        return engine;
    }
};

TEST_F(DeleteTest, DeletesFilesAndTreesForGood)
{
    MakeFile(QStringLiteral("C:\\x\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\x\\T\\sub\\b.txt"), "b");
    MakeFile(QStringLiteral("C:\\x\\T\\c.txt"), "c");
    MakeFile(QStringLiteral("C:\\x\\keep.txt"), "k");
    auto engine = Engine({QStringLiteral("C:\\x\\a.txt"), QStringLiteral("C:\\x\\T")}, false);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Names(QStringLiteral("C:\\x")), QStringList{"keep.txt"});
    EXPECT_EQ(engine->SuccessCount(), 2);
    EXPECT_EQ(progress.deleting.maxValue, 3);
    EXPECT_EQ(progress.deleting.progress, 3);
    EXPECT_EQ(progress.deleting.closed, 1);
}

TEST_F(DeleteTest, LinkedFolderInsideATreeIsLeftWhole)
{
    MakeFile(QStringLiteral("C:\\x\\T\\a.txt"), "a");
    MakeFile(QStringLiteral("D:\\other\\keep.txt"), "k");
    MakeFile(QStringLiteral("D:\\other\\sub\\deep.txt"), "d");
    ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/d/other"),
                            QString::fromUtf8(Native(QStringLiteral("C:\\x\\T\\link")))));
    ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/d/other"),
                            QString::fromUtf8(Native(QStringLiteral("C:\\x\\top")))));
    auto engine = Engine({QStringLiteral("C:\\x\\T"), QStringLiteral("C:\\x\\top")}, false);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\x\\T")));
    EXPECT_FALSE(QFileInfo(Root() + QStringLiteral("/c/x/top")).isSymLink());
    EXPECT_EQ(Contents(QStringLiteral("D:\\other\\keep.txt")), "k");
    EXPECT_EQ(Contents(QStringLiteral("D:\\other\\sub\\deep.txt")), "d");
}

TEST_F(DeleteTest, LinkToAReadOnlyFileGoesWithoutTouchingItsTarget)
{
    // Clearing the attributes before the delete used to clear the target's.
    MakeFile(QStringLiteral("D:\\ro.txt"), "r");
    SetAttributes(QStringLiteral("D:\\ro.txt"), sys::FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/d/ro.txt"),
                            QString::fromUtf8(Native(QStringLiteral("C:\\ro-link")))));
    auto engine = Engine({QStringLiteral("C:\\ro-link")}, false);
    engine->WarnAttributes = false;
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_FALSE(QFileInfo(Root() + QStringLiteral("/c/ro-link")).isSymLink());
    EXPECT_EQ(Contents(QStringLiteral("D:\\ro.txt")), "r");
    EXPECT_TRUE(sys::GetFileAttributes(QStringLiteral("D:\\ro.txt")) &
                sys::FILE_ATTRIBUTE_READONLY);
}

TEST_F(DeleteTest, AttributeWarningAnswers)
{
    const struct {
        int answer;
        int result;
        QStringList left;
        int questions;
    } rows[] = {
        // All: later important items go without asking.
        {mrAll, 0, {}, 1},
        // No: that item stays, the next is asked about.
        {mrNo, 0, {"h1.txt"}, 2},
        // Escape: the whole delete ends.
        {mrCancel, 1223, {"h1.txt", "h2.txt", "plain.txt"}, 1},
    };
    for (const auto &row : rows) {
        MakeFile(QStringLiteral("C:\\x\\h1.txt"), "1");
        MakeFile(QStringLiteral("C:\\x\\h2.txt"), "2");
        MakeFile(QStringLiteral("C:\\x\\plain.txt"), "p");
        SetAttributes(QStringLiteral("C:\\x\\h1.txt"), sys::FILE_ATTRIBUTE_HIDDEN);
        SetAttributes(QStringLiteral("C:\\x\\h2.txt"), sys::FILE_ATTRIBUTE_READONLY);
        ask.ExpectDeleteWarning(row.answer);
        if (row.answer == mrNo)
            ask.ExpectDeleteWarning(mrYes);
        ask.asked.clear();
        auto engine = Engine({QStringLiteral("C:\\x\\h1.txt"), QStringLiteral("C:\\x\\h2.txt"),
                              QStringLiteral("C:\\x\\plain.txt")},
                             false);
        EXPECT_EQ(engine->Execute(), row.result) << row.answer;
        EXPECT_EQ(Names(QStringLiteral("C:\\x")), row.left) << row.answer;
        EXPECT_EQ(ask.asked.size(), row.questions) << row.answer;
        EXPECT_EQ(engine->Cancelled, row.answer == mrCancel);
        ASSERT_FALSE(ask.asked.isEmpty());
        EXPECT_EQ(ask.asked[0].text,
                  QStringLiteral("h1.txt\nFile/Folder has important "
                                 "attributes\nDo you really want to delete it?"));
        EXPECT_EQ(ask.asked[0].focused, 2);
        EXPECT_TRUE(ask.asked[0].allCaption);
    }
}

TEST_F(DeleteTest, SkippedFileKeepsItsFolderWithoutAnError)
{
    MakeFile(QStringLiteral("C:\\x\\T\\ro.txt"), "r");
    MakeFile(QStringLiteral("C:\\x\\T\\gone.txt"), "g");
    SetAttributes(QStringLiteral("C:\\x\\T\\ro.txt"), sys::FILE_ATTRIBUTE_READONLY);
    ask.ExpectDeleteWarning(mrNo);
    auto engine = Engine({QStringLiteral("C:\\x\\T")}, false);
    EXPECT_EQ(engine->Execute(), -1);
    EXPECT_EQ(Names(QStringLiteral("C:\\x\\T")), QStringList{"ro.txt"});
    EXPECT_EQ(engine->SuccessCount(), 0);
}

// A folder used to be trashed file by file: its empty subfolders and the
// folders' times were lost, so a restore could not bring them back.
TEST_F(DeleteTest, RecycleBinTakesAFolderWhole)
{
    MakeFolder(QStringLiteral("C:\\xdg"));
    const QString trash = Root() + QStringLiteral("/c/xdg/Trash/files/T");
    qputenv("XDG_DATA_HOME", (Root() + QStringLiteral("/c/xdg")).toUtf8());
    MakeFile(QStringLiteral("C:\\x\\T\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\x\\T\\sub\\b.txt"), "b");
    MakeFolder(QStringLiteral("C:\\x\\T\\empty"));
    SetTime(QStringLiteral("C:\\x\\T\\sub"), 1400000000);
    auto engine = Engine({QStringLiteral("C:\\x\\T")}, true);
    EXPECT_EQ(engine->Execute(), 0);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_FALSE(Exists(QStringLiteral("C:\\x\\T")));
    EXPECT_TRUE(QFileInfo(trash + QStringLiteral("/empty")).isDir());
    EXPECT_EQ(QFileInfo(trash + QStringLiteral("/sub")).lastModified().toSecsSinceEpoch(),
              1400000000);
    QStringList trashed;
    QDirIterator it(trash, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        trashed << it.next().mid(trash.size() + 1);
    trashed.sort();
    EXPECT_EQ(trashed, (QStringList{"a.txt", "sub/b.txt"}));
}

TEST_F(DeleteTest, ErrorAsksToGoOnAndMarksTheItem)
{
    MakeFile(QStringLiteral("C:\\x\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\x\\c.txt"), "c");
    ask.ExpectMessageBox(mrYes);
    auto engine = Engine({QStringLiteral("C:\\x\\a.txt"), QStringLiteral("C:\\x\\vanished"),
                          QStringLiteral("C:\\x\\c.txt")},
                         false);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\x\\vanished"), 256, true));
    EXPECT_TRUE(engine->Succeeded(0));
    EXPECT_FALSE(engine->Succeeded(1));
    EXPECT_TRUE(engine->Succeeded(2));
    EXPECT_EQ(Names(QStringLiteral("C:\\x")), QStringList{});
}

TEST_F(DeleteTest, CancelFromTheProgressWindowStopsBeforeTheNextFile)
{
    for (int i = 0; i < 5; ++i)
        MakeFile(QStringLiteral("C:\\x\\T\\%1.txt").arg(i), "x");
    progress.deleting.cancelAtStep = 2;
    auto engine = Engine({QStringLiteral("C:\\x\\T")}, false);
    EXPECT_EQ(engine->Execute(), 1223);
    EXPECT_EQ(Names(QStringLiteral("C:\\x\\T")).size(), 3);
    EXPECT_TRUE(ask.asked.isEmpty());
}

} // namespace
} // namespace kestrel
