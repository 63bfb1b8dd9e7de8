#include "panel/descriptfile.h"
#include "panel/filelisting.h"

#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "tests/support/machine.h"

namespace kestrel {
namespace {

const QString Folder = QStringLiteral("C:\\Data");
const QString DescPath = QStringLiteral("C:\\Data\\descript.dat");

class DescriptFileTest : public ::testing::Test {};

TEST_F(DescriptFileTest, LinesThatAreNotDescriptionsComeBackByteForByte)
{
    // Junk, lines without "=", a lone CR, bytes that are not UTF-8 and NULs
    // are written back as they were read; only empty lines go.
    const QByteArray junk = QByteArray("\xff\xfe\x00\x01 binary", 12);
    const QByteArray in =
        "no equals sign\r\n" + junk + "\r\n\r\n" + "a.txt=first\r\nmid\rdle=x\nlast=no line end";
    TDescriptFile file(QStringLiteral("C:\\Nowhere"));
    file.SetFolderNames({});
    file.Parse(in);
    EXPECT_EQ(file.LineCount(), 5);
    EXPECT_EQ(file.Text(), "no equals sign\r\n" + junk + "\r\na.txt=first\r\nmid\rdle=x\r\n" +
                               "last=no line end\r\n");
    EXPECT_EQ(file.Get(QStringLiteral("a.txt")), QStringLiteral("first"));
    EXPECT_EQ(file.Get(QStringLiteral("mid\rdle")), QStringLiteral("x"));
    EXPECT_FALSE(file.Get(QStringLiteral("no equals sign")).has_value());
}

TEST_F(DescriptFileTest, TheFirstLineOfANameCountsAndErasingRemovesThemAll)
{
    TDescriptFile file(QStringLiteral("C:\\Nowhere"));
    file.SetFolderNames({});
    file.Parse("a.txt=old\r\nb.txt=b\r\na.txt=older\r\n");
    EXPECT_EQ(file.Get(QStringLiteral("a.txt")), QStringLiteral("old"));
    file.Set(QStringLiteral("a.txt"), QStringLiteral("new"));
    EXPECT_EQ(file.Text(), "a.txt=new\r\nb.txt=b\r\na.txt=older\r\n");
    // A cleared description must not let the older duplicate show again.
    file.Erase(QStringLiteral("a.txt"));
    EXPECT_EQ(file.Text(), "b.txt=b\r\n");
    EXPECT_FALSE(file.Get(QStringLiteral("a.txt")).has_value());
}

TEST_F(DescriptFileTest, DescriptionsSplitAtTheFirstEqualsSignAndStayOneLine)
{
    TDescriptFile file(QStringLiteral("C:\\Nowhere"));
    file.SetFolderNames({});
    file.Parse("x.txt=a=b=c\r\n");
    EXPECT_EQ(file.Get(QStringLiteral("x.txt")), QStringLiteral("a=b=c"));
    file.Set(QStringLiteral("y.txt"), QStringLiteral("two\r\nlines"));
    EXPECT_EQ(file.Get(QStringLiteral("y.txt")), QStringLiteral("two  lines"));
    // A name with "=" would read back as another name.
    file.Set(QStringLiteral("a=b.txt"), QStringLiteral("lost"));
    EXPECT_EQ(file.LineCount(), 2);
    EXPECT_FALSE(TDescriptFile::CanDescribe(QStringLiteral("a=b.txt")));
    EXPECT_FALSE(TDescriptFile::CanDescribe(QStringLiteral("a\nb")));
    EXPECT_TRUE(TDescriptFile::CanDescribe(QStringLiteral("Ünïcode name.txt")));
}

TEST_F(DescriptFileTest, CaseOnlyMatchesGiveWayToAnEntryOfThatExactName)
{
    TDescriptFile file(QStringLiteral("C:\\Nowhere"));
    file.SetFolderNames(
        {QStringLiteral("readme.doc"), QStringLiteral("a.txt"), QStringLiteral("A.TXT")});
    file.Parse("ReadMe.DOC=x\r\nA.TXT=upper\r\n");
    EXPECT_EQ(file.Get(QStringLiteral("readme.doc")), QStringLiteral("x"));
    EXPECT_EQ(file.Get(QStringLiteral("A.TXT")), QStringLiteral("upper"));
    // A.TXT exists beside a.txt: its line is not a.txt's.
    EXPECT_FALSE(file.Get(QStringLiteral("a.txt")).has_value());
    file.Set(QStringLiteral("a.txt"), QStringLiteral("lower"));
    EXPECT_EQ(file.Text(), "ReadMe.DOC=x\r\nA.TXT=upper\r\na.txt=lower\r\n");
    // The caseless owner rewrites the line under its own spelling.
    file.Set(QStringLiteral("readme.doc"), QStringLiteral("y"));
    EXPECT_EQ(file.Text(), "readme.doc=y\r\nA.TXT=upper\r\na.txt=lower\r\n");
}

TEST_F(DescriptFileTest, LongLinesAreKeptWhole)
{
    TDescriptFile file(QStringLiteral("C:\\Nowhere"));
    file.SetFolderNames({});
    const QString longText(10 * 1024 * 1024, QLatin1Char('d'));
    file.Set(QStringLiteral("big.txt"), longText);
    TDescriptFile again(QStringLiteral("C:\\Nowhere"));
    again.SetFolderNames({});
    again.Parse(file.Text());
    EXPECT_EQ(again.Get(QStringLiteral("big.txt")), longText);
}

class Listing : public TFileListing {
public:
    TFile *Entry(const QString &name) const { return Files.Get(Files.IndexOf(name)); }
    QString Desc(const QString &name) const
    {
        const TFile *entry = Entry(name);
        return entry ? entry->Description : QStringLiteral("<not listed>");
    }
    void Describe(const QString &name, const QString &text) { Entry(name)->SetDescription(text); }
};

class DescriptionsTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
        MakeFile(QStringLiteral("C:\\Data\\c.doc"), "c");
        MakeFolder(QStringLiteral("C:\\Data\\Sub"));
        MakeFolder(QStringLiteral("D:\\Dest"));
    }
    void Open(const QString &folder = Folder) { ASSERT_TRUE(view.SetFolder(folder)); }
    sys::DWORD Attributes(const QString &path) const { return sys::GetFileAttributes(path); }
    Listing view;
};

TEST_F(DescriptionsTest, DescribingAndClearingTheOnlyDescriptionRemovesTheFile)
{
    Open();
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("the first file"));
    view.Describe(QStringLiteral("Sub"), QStringLiteral("a folder"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_TRUE(view.HasDescript);
    EXPECT_EQ(Contents(DescPath), "Sub=a folder\r\na.txt=the first file\r\n");
    EXPECT_TRUE(Attributes(DescPath) & sys::FILE_ATTRIBUTE_HIDDEN);
    view.Refresh(QString(), false);
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QStringLiteral("the first file"));
    EXPECT_EQ(view.Desc(QStringLiteral("b.txt")), QString());

    view.Describe(QStringLiteral("a.txt"), QString());
    view.Describe(QStringLiteral("Sub"), QString());
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_FALSE(Exists(DescPath));
    EXPECT_FALSE(view.HasDescript);
}

TEST_F(DescriptionsTest, ALineInAnotherCaseDescribesTheEntry)
{
    MakeFile(QStringLiteral("C:\\Data\\readme.doc"), "r");
    MakeFile(QStringLiteral("C:\\Data\\DESCRIPT.DAT"), "ReadMe.DOC=x\r\n");
    Open();
    EXPECT_EQ(view.Desc(QStringLiteral("readme.doc")), QStringLiteral("x"));
    EXPECT_TRUE(view.HasDescript);
    // Saving writes the file that is there, whatever its case.
    view.Describe(QStringLiteral("b.txt"), QStringLiteral("bee"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\DESCRIPT.DAT")), "ReadMe.DOC=x\r\nb.txt=bee\r\n");
    EXPECT_FALSE(Exists(DescPath));
}

TEST_F(DescriptionsTest, EntriesNotListedKeepTheirDescriptions)
{
    // Hidden entries while hidden files are off, and entries outside the
    // filter, used to lose their lines at the next save.
    MakeFile(QStringLiteral("C:\\Data\\.secret"), "s");
    view.SetViewHidden(true);
    Open();
    view.Describe(QStringLiteral(".secret"), QStringLiteral("hidden one"));
    view.Describe(QStringLiteral("c.doc"), QStringLiteral("a document"));
    ASSERT_TRUE(view.SaveDescript());
    view.SetViewHidden(false);
    view.SetFilter(QStringLiteral("*.txt"));
    ASSERT_EQ(view.Entry(QStringLiteral(".secret")), nullptr);
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("another"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(DescPath), ".secret=hidden one\r\nc.doc=a document\r\na.txt=another\r\n");
    view.SetViewHidden(true);
    view.SetFilter(QStringLiteral("*.*"));
    EXPECT_EQ(view.Desc(QStringLiteral(".secret")), QStringLiteral("hidden one"));
    EXPECT_EQ(view.Desc(QStringLiteral("c.doc")), QStringLiteral("a document"));
}

TEST_F(DescriptionsTest, AHiddenEntryKeepsItsLineFromAListedOneInAnotherCase)
{
    // a.txt is listed, A.TXT is hidden: A.TXT's line is not a.txt's to take.
    MakeFile(QStringLiteral("C:\\Data\\A.TXT"), "A");
    SetAttributes(QStringLiteral("C:\\Data\\A.TXT"), sys::FILE_ATTRIBUTE_HIDDEN);
    MakeFile(DescPath, "A.TXT=the hidden upper one\r\n");
    Open();
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QString());
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("lower"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(DescPath), "A.TXT=the hidden upper one\r\na.txt=lower\r\n");
}

TEST_F(DescriptionsTest, ReadOnlyAndHiddenFilesAreReplacedAndEndHidden)
{
    MakeFile(DescPath, "b.txt=kept\r\n");
    SetAttributes(DescPath, sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN);
    Open();
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("added"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(DescPath), "b.txt=kept\r\na.txt=added\r\n");
    const sys::DWORD attributes = Attributes(DescPath);
    EXPECT_TRUE(attributes & sys::FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(attributes & sys::FILE_ATTRIBUTE_READONLY);
}

TEST_F(DescriptionsTest, AFailedReadOrWriteLeavesTheFileAsItWas)
{
    const QByteArray before = "b.txt=precious\r\nc.doc=also\r\n";
    MakeFile(DescPath, before);
    Open();
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("new"));
    // An unreadable file is not overwritten with the listed lines alone.
    sys::InjectFault(sys::FaultOp::Read, 1, sys::ERROR_READ_FAULT);
    EXPECT_FALSE(view.SaveDescript());
    EXPECT_EQ(sys::GetLastError(), sys::ERROR_READ_FAULT);
    EXPECT_EQ(Contents(DescPath), before);
    // A write that fails halfway never replaces the old file.
    sys::InjectFault(sys::FaultOp::Write, 1, sys::ERROR_DISK_FULL);
    EXPECT_FALSE(view.SaveDescript());
    EXPECT_EQ(sys::GetLastError(), sys::ERROR_DISK_FULL);
    EXPECT_EQ(Contents(DescPath), before);
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(DescPath), before + "a.txt=new\r\n");
}

TEST_F(DescriptionsTest, JunkInTheFileSurvivesASave)
{
    const QByteArray junk("\x00\x01\xfe\xff\x80 not a line\r\n", 18);
    MakeFile(DescPath, junk + "b.txt=bee\r\n");
    Open();
    EXPECT_EQ(view.Desc(QStringLiteral("b.txt")), QStringLiteral("bee"));
    view.Describe(QStringLiteral("b.txt"), QStringLiteral("changed"));
    ASSERT_TRUE(view.SaveDescript());
    EXPECT_EQ(Contents(DescPath), junk + "b.txt=changed\r\n");
}

TEST_F(DescriptionsTest, DeleteAllRemovesTheFileAndEveryListedDescription)
{
    MakeFile(DescPath, "a.txt=1\r\nb.txt=2\r\n");
    SetAttributes(DescPath, sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN);
    Open();
    ASSERT_TRUE(view.DeleteAllDescript());
    EXPECT_FALSE(Exists(DescPath));
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QString());
    EXPECT_FALSE(view.HasDescript);
}

TEST_F(DescriptionsTest, ARenamedEntryTakesItsLineAlong)
{
    MakeFile(DescPath, "a.txt=alpha\r\nc.doc=see\r\n");
    Open();
    // The command renames the file and the entry, then calls the hook.
    ASSERT_TRUE(
        sys::MoveFile(QStringLiteral("C:\\Data\\a.txt"), QStringLiteral("C:\\Data\\z.txt")));
    view.Entry(QStringLiteral("a.txt"))->SetFullName(QStringLiteral("z.txt"));
    ASSERT_TRUE(view.DescriptRenamed(QStringLiteral("a.txt"), QStringLiteral("z.txt")));
    EXPECT_EQ(Contents(DescPath), "z.txt=alpha\r\nc.doc=see\r\n");
    // Also when the listing was read again before the hook ran.
    ASSERT_TRUE(
        sys::MoveFile(QStringLiteral("C:\\Data\\c.doc"), QStringLiteral("C:\\Data\\d.doc")));
    view.Refresh(QString(), false);
    EXPECT_EQ(view.Desc(QStringLiteral("d.doc")), QString());
    ASSERT_TRUE(view.DescriptRenamed(QStringLiteral("c.doc"), QStringLiteral("d.doc")));
    EXPECT_EQ(view.Desc(QStringLiteral("d.doc")), QStringLiteral("see"));
    EXPECT_EQ(Contents(DescPath), "z.txt=alpha\r\nd.doc=see\r\n");
    // A case-only rename keeps one line, in the new spelling.
    ASSERT_TRUE(
        sys::MoveFile(QStringLiteral("C:\\Data\\z.txt"), QStringLiteral("C:\\Data\\Z.TXT")));
    view.Refresh(QString(), false);
    ASSERT_TRUE(view.DescriptRenamed(QStringLiteral("z.txt"), QStringLiteral("Z.TXT")));
    EXPECT_EQ(Contents(DescPath), "Z.TXT=alpha\r\nd.doc=see\r\n");
}

TEST_F(DescriptionsTest, ARenameOntoANameWithAStaleLineReplacesIt)
{
    MakeFile(DescPath, "b.txt=stale\r\na.txt=fresh\r\n");
    Open();
    ASSERT_TRUE(sys::DeleteFile(QStringLiteral("C:\\Data\\b.txt")));
    ASSERT_TRUE(
        sys::MoveFile(QStringLiteral("C:\\Data\\a.txt"), QStringLiteral("C:\\Data\\b.txt")));
    view.Refresh(QString(), false);
    ASSERT_TRUE(view.DescriptRenamed(QStringLiteral("a.txt"), QStringLiteral("b.txt")));
    EXPECT_EQ(Contents(DescPath), "b.txt=fresh\r\n");
    EXPECT_EQ(view.Desc(QStringLiteral("b.txt")), QStringLiteral("fresh"));
}

TEST_F(DescriptionsTest, DeletingTheLastDescribedEntryDeletesTheFile)
{
    MakeFile(DescPath, "a.txt=alpha\r\nb.txt=beta\r\n");
    Open();
    ASSERT_TRUE(sys::DeleteFile(QStringLiteral("C:\\Data\\a.txt")));
    ASSERT_TRUE(view.DescriptDeleted({QStringLiteral("a.txt")}));
    EXPECT_EQ(Contents(DescPath), "b.txt=beta\r\n");
    EXPECT_TRUE(view.HasDescript);
    ASSERT_TRUE(sys::DeleteFile(QStringLiteral("C:\\Data\\b.txt")));
    ASSERT_TRUE(view.DescriptDeleted({QStringLiteral("b.txt")}));
    EXPECT_FALSE(Exists(DescPath));
    EXPECT_FALSE(view.HasDescript);
}

TEST_F(DescriptionsTest, AMoveTakesTheLineToTheDestinationWhichEndsHidden)
{
    MakeFile(DescPath, "a.txt=alpha\r\nb.txt=beta\r\n");
    const QString dest = QStringLiteral("D:\\Dest\\descript.dat");
    MakeFile(dest, "other.txt=there already\r\n");
    Open();
    ASSERT_TRUE(view.DescriptCopied(QStringLiteral("D:\\Dest"),
                                    {{QStringLiteral("a.txt"), QStringLiteral("a.txt")}}, true));
    EXPECT_EQ(Contents(DescPath), "b.txt=beta\r\n");
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QString());
    EXPECT_EQ(Contents(dest), "other.txt=there already\r\na.txt=alpha\r\n");
    EXPECT_TRUE(Attributes(dest) & sys::FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(DescriptionsTest, ACopyReplacesTheLineOfTheTargetNameAndKeepsTheSource)
{
    // Appending a second line for the same name would never be read.
    MakeFile(DescPath, "a.txt=alpha\r\nb.txt=beta\r\n");
    const QString dest = QStringLiteral("D:\\Dest\\descript.dat");
    MakeFile(dest, "a.txt=old target\r\nkeep.txt=k\r\n");
    Open();
    ASSERT_TRUE(view.DescriptCopied(
        QStringLiteral("D:\\Dest"),
        {{QStringLiteral("a.txt"), QStringLiteral("a.txt")},
         {QStringLiteral("b.txt"), QStringLiteral("b copy.txt")}, // renamed by the replace dialog
         {QStringLiteral("c.doc"), QStringLiteral("c.doc")}},     // no description
        false));
    EXPECT_EQ(Contents(dest), "a.txt=alpha\r\nkeep.txt=k\r\nb copy.txt=beta\r\n");
    EXPECT_EQ(Contents(DescPath), "a.txt=alpha\r\nb.txt=beta\r\n");
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QStringLiteral("alpha"));
}

TEST_F(DescriptionsTest, AnUnreadableDestinationFileIsLeftAloneAndTheSourceKeepsItsLines)
{
    const QByteArray source = "a.txt=alpha\r\n";
    const QByteArray target = "x.txt=their own\r\n";
    MakeFile(DescPath, source);
    MakeFile(QStringLiteral("D:\\Dest\\descript.dat"), target);
    Open();
    sys::InjectFault(sys::FaultOp::Read, 2, sys::ERROR_READ_FAULT); // the destination's read
    EXPECT_FALSE(view.DescriptCopied(QStringLiteral("D:\\Dest"),
                                     {{QStringLiteral("a.txt"), QStringLiteral("a.txt")}}, true));
    EXPECT_EQ(Contents(QStringLiteral("D:\\Dest\\descript.dat")), target);
    EXPECT_EQ(Contents(DescPath), source);
}

TEST_F(DescriptionsTest, ACopyWithinTheFolderDescribesTheNewName)
{
    MakeFile(DescPath, "a.txt=alpha\r\n");
    MakeFile(QStringLiteral("C:\\Data\\a copy.txt"), "a");
    Open();
    ASSERT_TRUE(view.DescriptCopied(
        Folder, {{QStringLiteral("a.txt"), QStringLiteral("a copy.txt")}}, false));
    EXPECT_EQ(Contents(DescPath), "a.txt=alpha\r\na copy.txt=alpha\r\n");
    EXPECT_EQ(view.Desc(QStringLiteral("a copy.txt")), QStringLiteral("alpha"));
}

TEST_F(DescriptionsTest, ArchiveListingsHaveNoDescriptionsAndWriteNothing)
{
    MakeFile(DescPath, "a.txt=alpha\r\n");
    Open();
    view.SetOwnerData(true);
    view.OnOwnerData = [&](bool &addDrives) {
        addDrives = false;
        view.Files.Clear();
        view.Files.AddFile(QStringLiteral("a.txt"), 1, sys::FILE_ATTRIBUTE_ARCHIVE, {});
    };
    view.SetFolder(QStringLiteral("C:\\Data\\x.zip\\"));
    view.Refresh(QString(), false);
    EXPECT_EQ(view.Desc(QStringLiteral("a.txt")), QString());
    view.Describe(QStringLiteral("a.txt"), QStringLiteral("inside"));
    EXPECT_TRUE(view.SaveDescript());
    EXPECT_TRUE(view.DeleteAllDescript());
    EXPECT_EQ(Contents(DescPath), "a.txt=alpha\r\n");
}

} // namespace
} // namespace kestrel
