// Symbolic links in copy and move runs, checked on disk: a link arrives as a
// link holding the same text, whatever it points to, and no run ever enters
// a linked folder or writes through a link.

#include "ops/conflicts.h"
#include "ops/filecopy.h"
#include "platform/faults.h"
#include "tests/ops/engine_fixture.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel {
namespace {

class CopyLinksTest : public test::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        elsewhere = Root() + QStringLiteral("/c/elsewhere");
        MakeFile(QStringLiteral("C:\\elsewhere\\keep.txt"), "keep");
    }
    void Link(const QString &text, const QString &winPath)
    {
        const QString native = QString::fromUtf8(Native(winPath));
        QDir().mkpath(QFileInfo(native).path());
        ASSERT_TRUE(QFile::link(text, native));
    }
    // The text of a link, or "(no link)".
    static QString LinkText(const QString &winPath)
    {
        QString text;
        return sys::ReadSymbolicLink(winPath, text) ? text : QStringLiteral("(no link)");
    }
    QString elsewhere;
};

// A folder with links of every kind, one of them to its own parent (which a
// run that followed it would copy into itself until the system refused).
TEST_F(CopyLinksTest, LinksArriveAsLinksWithTheSameText)
{
    const struct {
        const char *what;
        bool move;
        QString destination;
    } rows[] = {
        {"copy", false, QStringLiteral("D:\\copied")},
        {"move to another drive", true, QStringLiteral("D:\\moved")},
        {"move within a drive", true, QStringLiteral("C:\\moved")},
    };
    for (const auto &row : rows) {
        MakeFile(QStringLiteral("C:\\src\\T\\own.txt"), "own");
        Link(QStringLiteral(".."), QStringLiteral("C:\\src\\T\\up"));
        Link(QStringLiteral("own.txt"), QStringLiteral("C:\\src\\T\\file"));
        Link(QStringLiteral("nowhere"), QStringLiteral("C:\\src\\T\\gone"));
        Link(elsewhere, QStringLiteral("C:\\src\\top"));
        MakeFolder(row.destination);
        auto engine = CopyEngine({QStringLiteral("C:\\src\\T"), QStringLiteral("C:\\src\\top")});
        const int result = row.move ? engine->Move(row.destination) : engine->Copy(row.destination);
        EXPECT_EQ(result, 0) << row.what;
        EXPECT_EQ(engine->SuccessCount(), 2) << row.what;
        // Counted without walking into a linked folder: a link is one file of no bytes.
        if (row.destination.startsWith(QLatin1Char('D'))) {
            EXPECT_EQ(engine->FileCount, 5) << row.what;
            EXPECT_EQ(engine->TotalSize, sys::UINT64(3)) << row.what;
            EXPECT_EQ(progress.copying.started, 5) << row.what;
        }
        const QString t = row.destination + QStringLiteral("\\T\\");
        EXPECT_EQ(Names(row.destination + QStringLiteral("\\T")),
                  (QStringList{"file", "gone", "own.txt", "up"}))
            << row.what;
        EXPECT_EQ(Contents(t + QStringLiteral("own.txt")), "own") << row.what;
        EXPECT_EQ(LinkText(t + QStringLiteral("up")), QStringLiteral("..")) << row.what;
        EXPECT_EQ(LinkText(t + QStringLiteral("file")), QStringLiteral("own.txt")) << row.what;
        EXPECT_EQ(LinkText(t + QStringLiteral("gone")), QStringLiteral("nowhere")) << row.what;
        EXPECT_EQ(LinkText(row.destination + QStringLiteral("\\top")), elsewhere) << row.what;
        EXPECT_EQ(Names(QStringLiteral("C:\\src")),
                  row.move ? QStringList{} : (QStringList{"T", "top"}))
            << row.what;
        EXPECT_EQ(Names(QStringLiteral("C:\\elsewhere")), QStringList{"keep.txt"}) << row.what;
        EXPECT_TRUE(ask.asked.isEmpty()) << row.what;
        QDir(Root() + QStringLiteral("/c/src")).removeRecursively();
    }
}

// An existing target is asked about as for a file. A file or a link gives way
// to the new link (a replaced link's own target untouched); a folder does not,
// nor is a folder merged through a link in the target's place.
TEST_F(CopyLinksTest, ExistingTargetsGoThroughTheReplaceQuestion)
{
    enum class Kind { File, LinkToFolder, LinkToReadOnlyFile, Folder };
    const struct {
        const char *what;
        bool sourceIsFolder;
        Kind existing;
        int answer;
        int result;
        bool replaced;
    } rows[] = {
        {"link onto a file, replaced", false, Kind::File, mrYes, 0, true},
        {"link onto a file, skipped", false, Kind::File, mrNo, -1, false},
        {"link onto a link, replaced", false, Kind::LinkToFolder, mrYes, 0, true},
        // The old link's read-only target keeps its attribute.
        {"link onto a link to a read-only file", false, Kind::LinkToReadOnlyFile, mrYes, 0, true},
        {"link onto a folder", false, Kind::Folder, mrYes, 183, false},
        {"folder onto a link", true, Kind::LinkToFolder, mrYes, 183, false},
    };
    for (const auto &row : rows) {
        if (row.sourceIsFolder)
            MakeFile(QStringLiteral("C:\\src\\X\\new.txt"), "new");
        else
            Link(QStringLiteral("nowhere"), QStringLiteral("C:\\src\\X"));
        switch (row.existing) {
        case Kind::File:
            MakeFile(QStringLiteral("D:\\X"), "old");
            break;
        case Kind::LinkToFolder:
            Link(elsewhere, QStringLiteral("D:\\X"));
            break;
        case Kind::LinkToReadOnlyFile:
            SetAttributes(QStringLiteral("C:\\elsewhere\\keep.txt"), sys::FILE_ATTRIBUTE_READONLY);
            Link(elsewhere + QStringLiteral("/keep.txt"), QStringLiteral("D:\\X"));
            break;
        case Kind::Folder:
            MakeFile(QStringLiteral("D:\\X\\old.txt"), "old");
            break;
        }
        ask.asked.clear();
        ask.ExpectFileExists(row.answer);
        if (row.result > 0)
            ask.ExpectMessageBox(mrOk);
        auto engine = CopyEngine({QStringLiteral("C:\\src\\X")});
        EXPECT_EQ(engine->Copy(QStringLiteral("D:\\")), row.result) << row.what;
        EXPECT_EQ(ask.asked.size(), row.result > 0 ? 2 : 1) << row.what;
        if (row.replaced) {
            EXPECT_EQ(LinkText(QStringLiteral("D:\\X")), QStringLiteral("nowhere")) << row.what;
        } else if (row.existing == Kind::File) {
            EXPECT_EQ(Contents(QStringLiteral("D:\\X")), "old") << row.what;
        } else if (row.existing == Kind::LinkToFolder) {
            EXPECT_EQ(LinkText(QStringLiteral("D:\\X")), elsewhere) << row.what;
        } else {
            EXPECT_EQ(Names(QStringLiteral("D:\\X")), QStringList{"old.txt"}) << row.what;
        }
        EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{"X"})
            << row.what << " (temporary left)";
        EXPECT_EQ(Names(QStringLiteral("C:\\elsewhere")), QStringList{"keep.txt"}) << row.what;
        EXPECT_EQ(Attributes(QStringLiteral("C:\\elsewhere\\keep.txt")) &
                      sys::FILE_ATTRIBUTE_READONLY,
                  row.existing == Kind::LinkToReadOnlyFile ? sys::FILE_ATTRIBUTE_READONLY : 0u)
            << row.what;
        SetAttributes(QStringLiteral("C:\\elsewhere\\keep.txt"), sys::FILE_ATTRIBUTE_NORMAL);
        QDir(Root() + QStringLiteral("/c/src")).removeRecursively();
        QFile::remove(Root() + QStringLiteral("/d/X"));
        QDir(Root() + QStringLiteral("/d/X")).removeRecursively();
    }
}

// A link that cannot be made is an error of its item, shown once; a move
// then keeps its source link.
TEST_F(CopyLinksTest, ALinkThatCannotBeMadeIsReportedAndKeepsTheSource)
{
    Link(elsewhere, QStringLiteral("C:\\src\\a"));
    MakeFile(QStringLiteral("C:\\src\\b.txt"), "b");
    sys::InjectFault(sys::FaultOp::Create, 1, 5);
    ask.ExpectMessageBox(mrYes);
    auto engine = CopyEngine({QStringLiteral("C:\\src\\a"), QStringLiteral("C:\\src\\b.txt")});
    EXPECT_EQ(engine->Move(QStringLiteral("D:\\")), 0);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, ErrorText(QStringLiteral("C:\\src\\a"), 259, true));
    EXPECT_EQ(LinkText(QStringLiteral("C:\\src\\a")), elsewhere);
    EXPECT_EQ(Names(QStringLiteral("D:\\")), QStringList{"b.txt"});
    EXPECT_EQ(Names(QStringLiteral("C:\\elsewhere")), QStringList{"keep.txt"});
}

// A file answered Overwrite onto a link to a folder used to replace the link
// and report success. The link, and the folder it leads to, stay; the item
// fails with 183 through the error box, whatever way the answer was given.
TEST_F(CopyLinksTest, AFileNeverReplacesALinkToAFolder)
{
    enum class Way { Copy, MoveWithin, MoveAcross, CopyIntoMergedFolder };
    const struct {
        const char *what;
        Way way;
        bool all; // Overwrite for all, with a second file that is replaced
    } rows[] = {
        {"copy", Way::Copy, false},
        {"copy, overwrite all", Way::Copy, true},
        {"move within a drive", Way::MoveWithin, false},
        {"move within a drive, overwrite all", Way::MoveWithin, true},
        {"move to another drive", Way::MoveAcross, false},
        {"move to another drive, overwrite all", Way::MoveAcross, true},
        {"copy into a folder being merged", Way::CopyIntoMergedFolder, false},
    };
    for (const auto &row : rows) {
        const bool merged = row.way == Way::CopyIntoMergedFolder;
        const QString into = row.way == Way::MoveWithin ? QStringLiteral("C:\\dst\\")
                             : merged                   ? QStringLiteral("D:\\X\\")
                                                        : QStringLiteral("D:\\");
        const QString from = merged ? QStringLiteral("C:\\src\\X\\") : QStringLiteral("C:\\src\\");
        MakeFile(from + QStringLiteral("L"), "new");
        Link(elsewhere, into + QStringLiteral("L"));
        QStringList items{merged ? QStringLiteral("C:\\src\\X") : from + QStringLiteral("L")};
        if (row.all) {
            MakeFile(from + QStringLiteral("b.txt"), "new b");
            MakeFile(into + QStringLiteral("b.txt"), "old b");
            items.append(from + QStringLiteral("b.txt"));
        }
        ask.asked.clear();
        ask.ExpectFileExists(mrYes, row.all);
        ask.ExpectMessageBox(row.all ? mrYes : mrOk);
        auto engine = CopyEngine(items);
        const QString destination = merged ? QStringLiteral("D:\\") : into;
        const int result =
            row.way == Way::Copy || merged ? engine->Copy(destination) : engine->Move(destination);
        EXPECT_EQ(result, row.all ? 0 : 183) << row.what;
        EXPECT_FALSE(engine->Succeeded(0)) << row.what;
        ASSERT_EQ(ask.asked.size(), 2) << row.what;
        EXPECT_EQ(ask.asked[1].text, ErrorText(265, row.all)) << row.what;
        EXPECT_EQ(LinkText(into + QStringLiteral("L")), elsewhere) << row.what;
        EXPECT_EQ(Names(QStringLiteral("C:\\elsewhere")), QStringList{"keep.txt"}) << row.what;
        EXPECT_EQ(Contents(QStringLiteral("C:\\elsewhere\\keep.txt")), "keep") << row.what;
        EXPECT_EQ(Contents(from + QStringLiteral("L")), "new") << row.what << " (source kept)";
        if (row.all) {
            EXPECT_TRUE(engine->Succeeded(1)) << row.what;
            EXPECT_EQ(Contents(into + QStringLiteral("b.txt")), "new b") << row.what;
        }
        EXPECT_EQ(Names(into), row.all ? (QStringList{"L", "b.txt"}) : QStringList{"L"})
            << row.what << " (temporary left)";
        for (const char *folder : {"/c/src", "/c/dst", "/d"}) {
            QDir(Root() + QLatin1String(folder)).removeRecursively();
            QDir().mkpath(Root() + QLatin1String(folder));
        }
    }
}

} // namespace
} // namespace kestrel
