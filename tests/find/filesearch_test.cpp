#include "find/filesearch.h"

#include "platform/faults.h"
#include "platform/filetime.h"
#include "tests/archive/zipfixture.h"
#include "tests/support/machine.h"

#include <QStringEncoder>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::test {
namespace {

class FileSearchTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "alpha beta");
        MakeFile(QStringLiteral("C:\\Data\\old.txt"), "gamma");
        MakeFile(QStringLiteral("C:\\Data\\b.doc"), QByteArray(5000, 'b'));
        MakeFile(QStringLiteral("C:\\Data\\Sub\\c.txt"), "beta");
        MakeFile(QStringLiteral("C:\\Data\\Sub\\Deep\\d.txt"), "delta beta");
        MakeFolder(QStringLiteral("C:\\Data\\Sub\\Empty"));
    }

    // Paths found below C:\Data, relative, sorted.
    QStringList Find(TFindOptions options, QStringList *skipped = nullptr)
    {
        if (options.folders.isEmpty())
            options.folders = {QStringLiteral("C:\\Data")};
        TFileSearch search(options);
        QStringList found;
        search.OnFound = [&](const TFoundItem &item) {
            found << item.path.mid(QStringLiteral("C:\\Data\\").size());
        };
        search.OnSkipped = [&](const QString &path, const QString &) {
            if (skipped)
                *skipped << path;
        };
        search.Run();
        found.sort();
        return found;
    }
};

TEST_F(FileSearchTest, MasksExclusionsAndDepth)
{
    TFindOptions options;
    options.masks = QStringLiteral("*.txt");
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("Sub\\Deep\\d.txt"),
                                          QStringLiteral("Sub\\c.txt"), QStringLiteral("a.txt"),
                                          QStringLiteral("old.txt")}));
    options.masks = QStringLiteral("*.TXT;*.doc|old*;d?txt");
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("Sub\\c.txt"), QStringLiteral("a.txt"),
                                          QStringLiteral("b.doc")}));
    options.depth = 0;
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.doc")}));
    // A mask with a path part matches the path below the start folder.
    options.depth = -1;
    options.masks = QStringLiteral("sub/*.txt");
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("Sub\\c.txt")});
    // No mask finds folders too.
    options.masks.clear();
    options.depth = 1;
    EXPECT_EQ(Find(options).size(), 7);
}

TEST_F(FileSearchTest, SizeDateAndAttributes)
{
    SetTime(QStringLiteral("C:\\Data\\a.txt"), 1000000000);
    SetAttributes(QStringLiteral("C:\\Data\\old.txt"), sys::FILE_ATTRIBUTE_READONLY);
    TFindOptions options;
    options.masks = QStringLiteral("*.*");
    options.minSize = 5;
    options.maxSize = 4999;
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("Sub\\Deep\\d.txt"),
                                          QStringLiteral("a.txt"), QStringLiteral("old.txt")}));
    options.before = sys::UnixToFileTime(1000000000, 0);
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("a.txt")});
    options.before.reset();
    options.after = sys::UnixToFileTime(1000000001, 0);
    options.withAttributes = sys::FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("old.txt")});
    options.withAttributes = 0;
    options.withoutAttributes = sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("Sub\\Deep\\d.txt")});
    // A stored hidden bit is read when the search asks about it.
    SetAttributes(QStringLiteral("C:\\Data\\b.doc"), sys::FILE_ATTRIBUTE_HIDDEN);
    options = TFindOptions();
    options.withAttributes = sys::FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("b.doc")});
}

TEST_F(FileSearchTest, ContentsInFilesOnlyWithEncodings)
{
    TFindOptions options;
    options.text = QStringLiteral("BETA");
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("Sub\\Deep\\d.txt"),
                                          QStringLiteral("Sub\\c.txt"), QStringLiteral("a.txt")}));
    options.matchCase = true;
    EXPECT_TRUE(Find(options).isEmpty());

    QStringEncoder utf16(QStringEncoder::Utf16LE);
    MakeFile(QStringLiteral("C:\\Data\\wide.txt"), utf16.encode(QStringLiteral("\uFEFFsome Beta")));
    options.matchCase = false;
    options.encoding = TTextEncoding::Utf16;
    EXPECT_EQ(Find(options), QStringList{QStringLiteral("wide.txt")});
}

TEST_F(FileSearchTest, SpecialFilesLinksAndUnreadableFoldersNeverStopIt)
{
    // A pipe nobody writes to would hang a reader; a link back up would loop.
    ASSERT_EQ(::mkfifo(Native(QStringLiteral("C:\\Data\\pipe.txt")).constData(), 0644), 0);
    ASSERT_EQ(::symlink(Native(QStringLiteral("C:\\Data")).constData(),
                        Native(QStringLiteral("C:\\Data\\Sub\\up")).constData()),
              0);
    TFindOptions options;
    options.text = QStringLiteral("beta");
    // The second folder entered (Sub) fails as an unreadable one would.
    sys::InjectFault(sys::FaultOp::Enter, 2, sys::ERROR_ACCESS_DENIED);
    QStringList skipped;
    EXPECT_EQ(Find(options, &skipped), QStringList{QStringLiteral("a.txt")});
    sys::ClearFaults();
    EXPECT_EQ(skipped, QStringList{QStringLiteral("C:\\Data\\Sub")});

    options.text.clear();
    options.masks = QStringLiteral("pipe.txt;up");
    EXPECT_EQ(Find(options), (QStringList{QStringLiteral("Sub\\up"), QStringLiteral("pipe.txt")}));
}

TEST_F(FileSearchTest, StopEndsTheRun)
{
    for (int i = 0; i < 50; ++i)
        MakeFile(QStringLiteral("C:\\Data\\Many\\f%1.txt").arg(i), "x");
    TFindOptions options;
    options.folders = {QStringLiteral("C:\\Data")};
    TFileSearch search(options);
    int found = 0;
    search.OnFound = [&](const TFoundItem &) {
        if (++found == 3)
            search.Stop();
    };
    search.Run();
    EXPECT_EQ(found, 3);
}

TEST_F(FileSearchTest, ArchiveItemsByNameAndADamagedArchiveIsSkipped)
{
    WriteLibZip(Native(QStringLiteral("C:\\Data\\pack.zip")),
                {{QStringLiteral("docs/inner.txt"), "inside"}, {QStringLiteral("x.bin"), "x"}});
    MakeFile(QStringLiteral("C:\\Data\\broken.zip"), "PK\x03\x04 not really");
    TFindOptions options;
    options.masks = QStringLiteral("*.txt|old*");
    options.depth = 0;
    options.inArchives = true;
    QStringList skipped;
    EXPECT_EQ(Find(options, &skipped),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("pack.zip\\docs\\inner.txt")}));
    EXPECT_EQ(skipped, QStringList{QStringLiteral("C:\\Data\\broken.zip")});
}

} // namespace
} // namespace kestrel::test
