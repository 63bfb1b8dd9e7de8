#include "panel/filelisting.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "tests/support/machine.h"

#include <QDir>
#include <QStringList>

#include <unistd.h>

namespace kestrel {
namespace {

class Listing : public TFileListing {
public:
    QStringList Names(TFileKind kind) const
    {
        QStringList names;
        for (int i = 0; i < Files.Count(); ++i) {
            if (Files[i]->Kind() == kind)
                names << Files[i]->GetFullName();
        }
        return names;
    }
    QString Focused() const
    {
        return GetItemFocused() ? GetItemFocused()->GetFullName() : QString();
    }
};

class ListingTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "x");
        MakeFolder(QStringLiteral("C:\\Data\\Other"));
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "bb");
        MakeFile(QStringLiteral("C:\\Data\\a.doc"), "a");
        MakeFile(QStringLiteral("C:\\Data\\c.txt"), "ccc");
        MakeFile(QStringLiteral("C:\\top.txt"), "t");
    }
    Listing view;
};

TEST_F(ListingTest, RootHasNoParentAndCannotGoUp)
{
    view.SetFolder(QStringLiteral("C:\\"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\"));
    EXPECT_EQ(view.Title, QStringLiteral("Local(C:)"));
    EXPECT_EQ(view.Names(fkFolder), QStringList{QStringLiteral("Data")});
    int changes = 0;
    view.OnChangeDir = [&] { ++changes; };
    view.SetFolder(QStringLiteral(".."));
    view.SetFolder(QStringLiteral("\\"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\"));
    EXPECT_TRUE(view.IsConsistent());
}

TEST_F(ListingTest, GoingUpFocusesTheFolderJustLeft)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.SetFolder(QStringLiteral("Sub")); // relative to the folder shown
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(view.Title, QStringLiteral("Sub"));
    EXPECT_EQ(view.Names(fkFolder), QStringList{QStringLiteral("..")});
    view.SetFolder(QStringLiteral(".."));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(view.Focused(), QStringLiteral("Sub"));
    view.SetFolder(QStringLiteral("Sub"));
    view.SetFolder(QStringLiteral("\\"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\"));
    EXPECT_EQ(view.Focused(), QStringLiteral("Data"));
    EXPECT_EQ(sys::GetCurrentDirectory(), QStringLiteral("C:\\"));
    // On a share the first-level folder follows the server and share names.
    MakeFolder(QStringLiteral("\\\\server\\share\\Top\\Inner"));
    view.SetFolder(QStringLiteral("\\\\server\\share\\Top\\Inner"));
    view.SetFolder(QStringLiteral("\\"));
    EXPECT_EQ(view.Folder(), QStringLiteral("\\\\server\\share\\"));
    EXPECT_EQ(view.Focused(), QStringLiteral("Top"));
}

// Entering a link to a folder used to show where it led (C:\\Data), and ".."
// then went to C:\\, not back to the folder holding the link.
TEST_F(ListingTest, LinksToFoldersStayInThePath)
{
    MakeFolder(QStringLiteral("C:\\Mixed"));
    MakeFolder(QStringLiteral("D:\\Work"));
    const auto link = [](const char *name, const QByteArray &target) {
        ASSERT_TRUE(sys::CreateSymbolicLink(QStringLiteral("C:\\Mixed\\") + QLatin1String(name),
                                            QString::fromUtf8(target),
                                            sys::SYMBOLIC_LINK_FLAG_DIRECTORY));
    };
    link("LINK", Native(QStringLiteral("C:\\Data")));
    link("Rel", "../Data/Sub");
    link("ToD", Native(QStringLiteral("D:\\Work")));

    view.SetFolder(QStringLiteral("C:\\Mixed"));
    view.SetFolder(QStringLiteral("LINK"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\LINK"));
    EXPECT_EQ(view.Title, QStringLiteral("LINK"));
    EXPECT_TRUE(view.Names(fkFile).contains(QStringLiteral("b.txt")));
    view.SetFolder(QStringLiteral("Sub"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\LINK\\Sub"));
    view.SetFolder(QStringLiteral(".."));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\LINK"));
    EXPECT_EQ(view.Focused(), QStringLiteral("Sub"));
    view.SetFolder(QStringLiteral(".."));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed"));
    EXPECT_EQ(view.Focused(), QStringLiteral("LINK"));

    // Typed in another case, the names are spelt as on disk; the link stays.
    view.SetFolder(QStringLiteral("c:\\mixed\\rel"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\Rel"));
    EXPECT_EQ(view.Names(fkFile), QStringList{QStringLiteral("inner.txt")});
    EXPECT_EQ(view.LastDirs.first(), QStringLiteral("C:\\=C:\\Mixed\\Rel"));

    // A link to another drive stays on the drive of the link.
    view.SetFolder(QStringLiteral("C:\\Mixed\\ToD"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\ToD"));
    EXPECT_EQ(view.Drive(), QStringLiteral("C:"));
    view.SetFolder(QStringLiteral("\\"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\"));
    EXPECT_EQ(view.Focused(), QStringLiteral("Mixed"));

    // A drive is entered again at its remembered folder, link and all.
    view.SetFolder(QStringLiteral("C:\\Mixed\\LINK\\Other"));
    view.SetFolder(QStringLiteral("D:\\Work"));
    view.SetDrive(QStringLiteral("C"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Mixed\\LINK\\Other"));
    EXPECT_TRUE(view.IsConsistent());
}

TEST_F(ListingTest, FailedFolderChangeLeavesEverything)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    const int count = view.Files.Count();
    view.SetFolder(QStringLiteral("C:\\Missing"));
    view.SetFolder(QString());
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(view.Files.Count(), count);
}

TEST_F(ListingTest, DrivesAndNetworkEntryEndEveryListing)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    const QStringList drives{"A:\\", "C:\\", "D:\\", "E:\\", "N:\\", "/:\\"};
    for (TFileSortType type : {fstExt, fstSize, fstTime, fstNone, fstName}) {
        view.SetSortType(type);
        EXPECT_EQ(view.Names(fkDrive), drives);
        EXPECT_EQ(view.Files[view.Files.Count() - 1]->Name, QStringLiteral("/"));
    }
    const int a = view.Files.IndexOf(QStringLiteral("A:\\"));
    EXPECT_EQ(view.Files[a]->Ext, QStringLiteral("Floppy"));
    EXPECT_EQ(view.Files[a + 1]->Ext, QStringLiteral("Local"));
    EXPECT_EQ(view.Files[a + 2]->Ext, QStringLiteral("Data"));
    EXPECT_EQ(view.Files[a + 3]->Ext, QStringLiteral("DISC1"));
    EXPECT_EQ(view.Files[a + 5]->Ext, QStringLiteral("Network"));
    EXPECT_EQ(view.Files[a + 5]->Size, 4u);
    EXPECT_EQ(view.Files.TotalSize(), 6u); // drives do not count
}

TEST_F(ListingTest, HiddenOnlyWithViewHiddenSystemAlways)
{
    MakeFile(QStringLiteral("C:\\Data\\.secret"), "s");
    MakeFile(QStringLiteral("C:\\Data\\sys.bin"), "s");
    SetAttributes(QStringLiteral("C:\\Data\\sys.bin"), sys::FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(QStringLiteral("C:\\Data\\.hiddendir"));
    view.SetFolder(QStringLiteral("C:\\Data"));
    EXPECT_EQ(view.Files.IndexOf(QStringLiteral(".secret")), -1);
    EXPECT_EQ(view.Files.IndexOf(QStringLiteral(".hiddendir")), -1);
    EXPECT_GE(view.Files.IndexOf(QStringLiteral("sys.bin")), 0);
    view.SetFocused(view.Files.IndexOf(QStringLiteral("c.txt")));
    view.SetViewHidden(true);
    EXPECT_GE(view.Files.IndexOf(QStringLiteral(".secret")), 0);
    EXPECT_GE(view.Files.IndexOf(QStringLiteral(".hiddendir")), 0);
    EXPECT_EQ(view.Focused(), QStringLiteral("c.txt"));
}

TEST_F(ListingTest, FilterMasksInOrderWithoutRepeats)
{
    view.SetSortType(fstNone);
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.SetFilter(QStringLiteral("*.txt;*.DOC;b*"));
    QStringList files = view.Names(fkFile);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files.last(), QStringLiteral("a.doc")); // after every .txt
    // A filter naming another folder lists nothing from it.
    view.SetFilter(QStringLiteral("..\\*.txt"));
    EXPECT_TRUE(view.Names(fkFile).isEmpty());
    EXPECT_EQ(view.Names(fkFolder).size(), 3);
}

TEST_F(ListingTest, RefreshKeepsSelectionAndSortNoneRestoresDiskOrder)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.Select(view.Files.IndexOf(QStringLiteral("b.txt")));
    view.Select(view.Files.IndexOf(QStringLiteral("Other")));
    view.Select(0); // ".." is never selected
    EXPECT_EQ(view.SelCount, 2);
    EXPECT_EQ(view.SelSize, 2u);
    MakeFile(QStringLiteral("C:\\Data\\new.txt"), "n");
    view.Refresh(QStringLiteral("NEW.TXT"), true);
    EXPECT_EQ(view.Focused(), QStringLiteral("new.txt"));
    EXPECT_EQ(view.SelCount, 2);
    EXPECT_TRUE(view.Files[view.Files.IndexOf(QStringLiteral("b.txt"))]->Selected);
    EXPECT_TRUE(view.IsConsistent());
    view.SetSortType(fstNone);
    EXPECT_EQ(view.SelCount, 2);
    EXPECT_EQ(view.Focused(), QStringLiteral("new.txt"));
    view.Refresh(QStringLiteral("gone"), false);
    EXPECT_EQ(view.FocusedIndex, -1);
    EXPECT_EQ(view.GetFileName(), QString());
    EXPECT_EQ(view.SelCount, 0);
}

TEST_F(ListingTest, LastDirsAndDriveChanges)
{
    MakeFolder(QStringLiteral("D:\\Work"));
    view.SetFolder(QStringLiteral("C:\\Data\\Sub"));
    view.SetFolder(QStringLiteral("D:\\Work"));
    EXPECT_EQ(view.LastDirs, (QStringList{"C:\\=C:\\Data\\Sub", "D:\\=D:\\Work"}));
    view.SetDrive(QStringLiteral("c"));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data\\Sub"));
    int changes = 0;
    view.OnChangeDir = [&] { ++changes; };
    view.SetDrive(QStringLiteral("C:")); // the current fixed drive: nothing
    EXPECT_EQ(changes, 0);
    // A remembered folder that vanished falls back to the root.
    ASSERT_EQ(::rmdir(Native(QStringLiteral("D:\\Work")).constData()), 0);
    view.SetDrive(QStringLiteral("D"));
    EXPECT_EQ(view.Folder(), QStringLiteral("D:\\"));
    EXPECT_EQ(view.Title, QStringLiteral("Data(D:)"));
    // The current floppy is entered again.
    view.SetDrive(QStringLiteral("A"));
    view.SetDrive(QStringLiteral("A"));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(view.Drive(), QStringLiteral("A:"));
}

TEST_F(ListingTest, OpenEntersFoldersAndDrivesAndStartsFiles)
{
    QStringList opened;
    view.OnShellOpen = [&](const QString &path) {
        opened << path;
        return true;
    };
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.SetFocused(view.Files.IndexOf(QStringLiteral("c.txt")));
    view.Open();
    EXPECT_EQ(opened, QStringList{QStringLiteral("C:\\Data\\c.txt")});
    view.SetFocused(view.Files.IndexOf(QStringLiteral("Sub")));
    view.Open();
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data\\Sub"));
    view.SetFocused(0);
    view.Open();
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    view.SetFocused(view.Files.IndexOf(QStringLiteral("D:\\")));
    EXPECT_EQ(view.GetFileName(), QStringLiteral("D:\\"));
    view.Open();
    EXPECT_EQ(view.Folder(), QStringLiteral("D:\\"));
    bool asked = false;
    view.OnOpen = [&](bool &handled) { handled = asked = true; };
    view.SetFocused(view.Files.IndexOf(QStringLiteral("C:\\")));
    view.Open();
    EXPECT_TRUE(asked);
    EXPECT_EQ(view.Folder(), QStringLiteral("D:\\"));
}

TEST_F(ListingTest, FileTypesAreLookedUpOnceAndCached)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    TFile &parent = *view.Files[0];
    EXPECT_EQ(view.GetFileType(parent), QStringLiteral("Parent Folder"));
    TFile &txt = *view.Files[view.Files.IndexOf(QStringLiteral("c.txt"))];
    EXPECT_TRUE(txt.FileType.isEmpty());
    const QString type = view.GetFileType(txt);
    EXPECT_FALSE(type.isEmpty());
    EXPECT_EQ(txt.FileType, type);
}

TEST_F(ListingTest, OwnerDataFillsFromTheHandler)
{
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.SetOwnerData(true);
    view.OnOwnerData = [&](bool &addDrives) {
        view.Files.Clear();
        view.Files.AddFile(QStringLiteral(".."), 0, sys::FILE_ATTRIBUTE_DIRECTORY, {});
        view.Files.AddFile(QStringLiteral("z.txt"), 3, 0x20, {});
        view.Files.AddFile(QStringLiteral("a.txt"), 3, 0x20, {});
        addDrives = false;
    };
    view.OnGetTitle = [](QString &title) { title = QStringLiteral("x.zip"); };
    view.SetFolder(QStringLiteral("inner"));
    EXPECT_EQ(view.Title, QStringLiteral("x.zip"));
    view.Refresh(QString(), false);
    EXPECT_EQ(view.Names(fkFile), (QStringList{"z.txt", "a.txt"})); // not sorted
    EXPECT_TRUE(view.Names(fkDrive).isEmpty());
    EXPECT_EQ(view.GetFileType(*view.Files[0]), QStringLiteral("Parent Folder"));
}

TEST_F(ListingTest, AwkwardNamesAreListed)
{
    const QByteArray folder = Native(QStringLiteral("C:\\Data"));
    const QList<QByteArray> names = {"with space.txt",   "a=b.txt",
                                     "\xC3\xA4rger.txt", "bad\xFF\xFEname.txt",
                                     "ctl\x01name",      QByteArray(250, 'n') + ".txt"};
    for (const QByteArray &name : names) {
        // Written natively so that invalid UTF-8 reaches the disk unchanged.
        FILE *file = ::fopen((folder + '/' + name).constData(), "w");
        ASSERT_NE(file, nullptr) << name.constData();
        ::fclose(file);
    }
    view.SetFolder(QStringLiteral("C:\\Data"));
    EXPECT_EQ(view.Names(fkFile).size(), 3 + names.size());
    EXPECT_GE(view.Files.IndexOf(QStringLiteral("A=B.TXT")), 0);
    EXPECT_GE(view.Files.IndexOf(QStringLiteral("\u00e4rger.txt")), 0);
    // Entries whose names are not valid UTF-8 open again by their listed name.
    for (int i = 0; i < view.Files.Count(); ++i) {
        if (view.Files[i]->Name.startsWith(QStringLiteral("bad"))) {
            view.SetFocused(i);
            EXPECT_NE(sys::GetFileAttributes(view.GetFileName()), sys::INVALID_FILE_ATTRIBUTES);
        }
    }
    // The temporary folder's clean-up cannot name this file itself.
    ::unlink((folder + "/bad\xFF\xFEname.txt").constData());
}

TEST_F(ListingTest, VanishedFolderGivesAnEmptyListing)
{
    view.SetFolder(QStringLiteral("C:\\Data\\Sub"));
    ASSERT_EQ(::unlink(Native(QStringLiteral("C:\\Data\\Sub\\inner.txt")).constData()), 0);
    ASSERT_EQ(::rmdir(Native(QStringLiteral("C:\\Data\\Sub")).constData()), 0);
    view.Refresh(QString(), true);
    EXPECT_TRUE(view.Names(fkFile).isEmpty());
    EXPECT_EQ(view.Names(fkDrive).size(), 6);
    EXPECT_TRUE(view.IsConsistent());
}

// A found listing: entries of several folders under one root, each named by
// its path from there.
class FoundListingTest : public ListingTest {
protected:
    void SetUp() override
    {
        ListingTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\Dot.d\\plain"), "p");
        MakeFile(QStringLiteral("C:\\Data\\Other\\b.txt"), "other b");
        MakeFile(QStringLiteral("C:\\Data\\descript.dat"), "b.txt=bee\r\n");
        view.SetFolder(QStringLiteral("C:\\"));
        ASSERT_TRUE(view.ShowFound(QStringLiteral("C:\\Data"),
                                   {QStringLiteral("b.txt"), QStringLiteral("Sub\\inner.txt"),
                                    QStringLiteral("Dot.d\\plain"), QStringLiteral("Other\\b.txt"),
                                    QStringLiteral("gone.txt"), QStringLiteral("Other")}));
    }
    const TFile *Entry(const QString &name) const { return view.Files.Get(view.Files.IndexOf(name)); }
};

TEST_F(FoundListingTest, EntriesAreNamedByTheirPathFromTheRoot)
{
    EXPECT_TRUE(view.FoundMode());
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(sys::GetCurrentDirectory(), QStringLiteral("C:\\Data"));
    QStringList files = view.Names(fkFile);
    files.sort(Qt::CaseInsensitive);
    // What has gone from the disk is left out.
    EXPECT_EQ(files, (QStringList{"b.txt", "Dot.d\\plain", "Other\\b.txt", "Sub\\inner.txt"}));
    EXPECT_EQ(view.Names(fkFolder), (QStringList{"..", "Other"}));
    // ".." carries the root's own date.
    SetTime(QStringLiteral("C:\\Data"), 1500000000);
    view.Refresh(QString(), false);
    EXPECT_EQ(view.Files[0]->Time, sys::UnixToFileTime(1500000000, 0));
    EXPECT_TRUE(view.Names(fkDrive).isEmpty());
    // A dot in a folder's name is no extension; a file's own one is.
    ASSERT_TRUE(Entry(QStringLiteral("Dot.d\\plain")));
    EXPECT_EQ(Entry(QStringLiteral("Dot.d\\plain"))->Ext, QString());
    EXPECT_EQ(Entry(QStringLiteral("Other\\b.txt"))->Ext, QStringLiteral("txt"));
    EXPECT_EQ(Entry(QStringLiteral("Other\\b.txt"))->Size, 7u);
    // The folder joined with a name is the entry's real path.
    view.SetFocused(view.Files.IndexOf(QStringLiteral("Sub\\inner.txt")));
    EXPECT_EQ(view.GetFileName(), QStringLiteral("C:\\Data\\Sub\\inner.txt"));
    // Typing finds an entry by its own name as well as by its path.
    EXPECT_TRUE(view.QuickSearch(QStringLiteral("inn"), true));
    EXPECT_EQ(view.Focused(), QStringLiteral("Sub\\inner.txt"));
    EXPECT_TRUE(view.QuickSearch(QStringLiteral("other\\"), true));
    EXPECT_EQ(view.Focused(), QStringLiteral("Other\\b.txt"));
    // The root's descriptions are not the found entries'.
    EXPECT_FALSE(view.HasDescript);
    EXPECT_EQ(Entry(QStringLiteral("b.txt"))->Description, QString());
    EXPECT_TRUE(view.DescriptDeleted({QStringLiteral("b.txt")}));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\descript.dat")), "b.txt=bee\r\n");
    EXPECT_TRUE(view.IsConsistent());
}

TEST_F(FoundListingTest, RefreshReadsTheEntriesAgainAndDropsTheVanished)
{
    view.Select(view.Files.IndexOf(QStringLiteral("Other\\b.txt")));
    ASSERT_EQ(::unlink(Native(QStringLiteral("C:\\Data\\Sub\\inner.txt")).constData()), 0);
    MakeFile(QStringLiteral("C:\\Data\\Other\\b.txt"), "now longer");
    // A new file in the root is no found entry.
    MakeFile(QStringLiteral("C:\\Data\\new.txt"), "n");
    view.Refresh(QStringLiteral("b.txt"), true);
    QStringList files = view.Names(fkFile);
    files.sort(Qt::CaseInsensitive);
    EXPECT_EQ(files, (QStringList{"b.txt", "Dot.d\\plain", "Other\\b.txt"}));
    EXPECT_EQ(Entry(QStringLiteral("Other\\b.txt"))->Size, 10u);
    EXPECT_TRUE(Entry(QStringLiteral("Other\\b.txt"))->Selected);
    EXPECT_EQ(view.SelCount, 1);
    EXPECT_EQ(view.Focused(), QStringLiteral("b.txt"));
    EXPECT_TRUE(view.FoundMode());
    EXPECT_TRUE(view.IsConsistent());
}

TEST_F(FoundListingTest, LeavingGoesBackOrIntoTheFolderEntered)
{
    // "..": the folder shown before the listing.
    view.SetFolder(QStringLiteral(".."));
    EXPECT_FALSE(view.FoundMode());
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\"));
    EXPECT_EQ(view.Names(fkFolder), QStringList{QStringLiteral("Data")});
    // A found folder opens as itself, and its ".." is a folder's again.
    view.ShowFound(QStringLiteral("C:\\Data"), {QStringLiteral("Sub")});
    view.SetFolder(QStringLiteral("Sub"));
    EXPECT_FALSE(view.FoundMode());
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data\\Sub"));
    view.SetFolder(QStringLiteral(".."));
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    // The folder before has gone: ".." shows the root instead.
    MakeFolder(QStringLiteral("C:\\Temp\\Away"));
    view.SetFolder(QStringLiteral("C:\\Temp\\Away"));
    view.ShowFound(QStringLiteral("C:\\Data"), {QStringLiteral("b.txt")});
    ASSERT_EQ(::rmdir(Native(QStringLiteral("C:\\Temp\\Away")).constData()), 0);
    view.SetFolder(QStringLiteral(".."));
    EXPECT_FALSE(view.FoundMode());
    EXPECT_EQ(view.Folder(), QStringLiteral("C:\\Data"));
    EXPECT_TRUE(view.Names(fkFile).contains(QStringLiteral("a.doc")));
}

TEST_F(FoundListingTest, NamesThatAreNotUtf8Survive)
{
    const QByteArray folder = Native(QStringLiteral("C:\\Data\\Sub"));
    FILE *file = ::fopen((folder + "/bad\xFF\xFEname.txt").constData(), "w");
    ASSERT_NE(file, nullptr);
    ::fclose(file);
    QString name;
    sys::ForEachEntry(QStringLiteral("C:\\Data\\Sub"), [&](const sys::WIN32_FIND_DATA &data) {
        if (data.cFileName.startsWith(QLatin1String("bad")))
            name = data.cFileName;
        return true;
    });
    ASSERT_FALSE(name.isEmpty());
    ASSERT_TRUE(view.ShowFound(QStringLiteral("C:\\Data"), {QStringLiteral("Sub\\") + name}));
    ASSERT_EQ(view.Names(fkFile).size(), 1);
    view.SetFocused(view.Files.IndexOf(QStringLiteral("Sub\\") + name));
    EXPECT_NE(sys::GetFileAttributes(view.GetFileName()), sys::INVALID_FILE_ATTRIBUTES);
    ::unlink((folder + "/bad\xFF\xFEname.txt").constData());
}

} // namespace
} // namespace kestrel
