// Copy, Move, Delete and the Trash commands of the main window, run through
// its menu items with scripted answers, checked against the disk, the panel,
// descript.dat and the tree files afterwards.

#include "app/inifile.h"
#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/tempfolder.h"
#include "panel/kfileview.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/trash.h"

#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

using test::Answer;
using test::QuestionKind;

class EnvGuard {
public:
    EnvGuard(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray old;
};

class TransferTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
        MakeFolder(QStringLiteral("C:\\User"));
        home = std::make_unique<EnvGuard>("KESTREL_HOME", Native(QStringLiteral("C:\\Home")));
        userHome = std::make_unique<EnvGuard>("HOME", Native(QStringLiteral("C:\\User")));
        data = std::make_unique<EnvGuard>("XDG_DATA_HOME",
                                          Native(QStringLiteral("C:\\User\\.local\\share")));
        MakeFile(QStringLiteral("C:\\Home\\kestrel.ini"), "[Option]\r\nAutoRefresh=0\r\n");
    }
    void TearDown() override
    {
        sys::ClearFaults();
        w.reset();
        MachineTest::TearDown();
    }
    void Start(const QString &folder)
    {
        w = std::make_unique<TfMain>(QStringList{folder});
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->FileView()->setFocus();
    }
    void Run(TCmd cmd) { w->MainMenu()->Item(cmd)->trigger(); }
    TKFileView &Panel() const { return *w->FileView(); }
    void Focus(const QString &name)
    {
        const int index = Panel().Files.IndexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        Panel().SetFocused(index);
    }
    void Select(const QString &name)
    {
        const int index = Panel().Files.IndexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        Panel().Select(index);
    }
    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < Panel().Files.Count(); ++i)
            if (Panel().Files[i]->Kind() != fkDrive)
                names << Panel().Files[i]->GetFullName();
        return names;
    }
    QString FocusedName() const { return Panel().GetItemFocused()->GetFullName(); }
    // The drive dialog answered with a drive letter, the picker with a folder.
    void ExpectDestination(const QString &folder)
    {
        ask.Expect({QuestionKind::SelectDrive, mrOk, folder.left(1)});
        ask.Expect({QuestionKind::SelectFolder, mrOk, folder});
    }
    QStringList Lines(const QString &path) const
    {
        QStringList lines;
        for (const QByteArray &line : Contents(path).split('\n'))
            if (!line.trimmed().isEmpty())
                lines << QString::fromUtf8(line.trimmed());
        lines.sort();
        return lines;
    }
    QStringList NamesOnDisk(const QString &folder) const
    {
        QStringList names =
            QDir(QString::fromUtf8(Native(folder)))
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    QString TrashRoot() const { return QStringLiteral("C:\\User\\.local\\share\\Trash"); }

    test::ProgressRecorder progress;
    test::ScriptedAsk ask;
    std::unique_ptr<EnvGuard> home, userHome, data;
    std::unique_ptr<TfMain> w;
};

TEST_F(TransferTest, NothingToWorkOnAsksNothing)
{
    MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    Start(QStringLiteral("C:\\Data\\Sub"));
    Focus(QStringLiteral(".."));
    Run(TCmd::Copy);
    Run(TCmd::Move);
    Run(TCmd::Delete);
    EXPECT_TRUE(ask.asked.isEmpty());
}

TEST_F(TransferTest, MoveOfThreeWhoseSecondFailsLeavesEverythingAsTheDisk)
{
    for (const char *name : {"A", "B", "C"})
        MakeFile(QStringLiteral("C:\\Data\\%1\\in.txt").arg(QLatin1String(name)), "x");
    MakeFile(QStringLiteral("C:\\Data\\z.txt"), "z");
    MakeFile(QStringLiteral("C:\\Data\\descript.dat"), "A=first\r\nB=second\r\nC=third\r\n");
    MakeFolder(QStringLiteral("D:\\Dest"));
    MakeFile(QStringLiteral("C:\\Home\\1A2B3C4D.kcd"),
             "1 0C:\r\n1 1Data\r\n1 2A\r\n1 2B\r\n1 2C\r\n");
    MakeFile(QStringLiteral("C:\\Home\\0D0D0D0D.kcd"), "1 0D:\r\n1 1Dest\r\n");
    Start(QStringLiteral("C:\\Data"));
    for (const char *name : {"A", "B", "C"})
        Select(QLatin1String(name));
    Focus(QStringLiteral("z.txt"));

    ExpectDestination(QStringLiteral("D:\\Dest"));
    ask.ExpectMessageBox(mrYes); // the failure of B: go on
    // Each folder's file is one creation: B's fails.
    sys::InjectFault(sys::FaultOp::Create, 2, sys::ERROR_DISK_FULL);
    Run(TCmd::Move);
    sys::ClearFaults();

    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Data")), (QStringList{"B", "descript.dat", "z.txt"}));
    EXPECT_EQ(NamesOnDisk(QStringLiteral("D:\\Dest")), (QStringList{"A", "C", "descript.dat"}));
    EXPECT_EQ(Names(), (QStringList{"..", "B", "descript.dat", "z.txt"}));
    EXPECT_EQ(FocusedName(), QStringLiteral("z.txt")) << "the focus stays on its entry";
    EXPECT_TRUE(Panel().Files[Panel().Files.IndexOf(QStringLiteral("B"))]->Selected);
    EXPECT_EQ(Panel().SelCount, 1);
    EXPECT_EQ(Lines(QStringLiteral("C:\\Data\\descript.dat")), (QStringList{"B=second"}));
    EXPECT_EQ(Lines(QStringLiteral("D:\\Dest\\descript.dat")), (QStringList{"A=first", "C=third"}));
    EXPECT_EQ(Lines(QStringLiteral("C:\\Home\\1A2B3C4D.kcd")),
              (QStringList{"1 0C:", "1 1Data", "1 2B"}));
    EXPECT_EQ(Lines(QStringLiteral("C:\\Home\\0D0D0D0D.kcd")),
              (QStringList{"1 0D:", "1 1Dest", "1 2A", "1 2C"}));
    EXPECT_EQ(w->LastDestination, QStringLiteral("D:\\Dest"));
}

TEST_F(TransferTest, FoundEntriesMoveUnderTheirOwnNamesAndNothingIsPastedAmongThem)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "root a");
    MakeFile(QStringLiteral("C:\\Data\\descript.dat"), "a.txt=root a\r\n");
    MakeFile(QStringLiteral("C:\\Data\\One\\a.txt"), "one a");
    MakeFile(QStringLiteral("C:\\Data\\Two\\b.txt"), "two b");
    MakeFolder(QStringLiteral("D:\\Dest"));
    Start(QStringLiteral("C:\\Data"));
    ASSERT_TRUE(Panel().ShowFound(QStringLiteral("C:\\Data"),
                                  {QStringLiteral("One\\a.txt"), QStringLiteral("Two\\b.txt")}));
    Select(QStringLiteral("One\\a.txt"));
    Select(QStringLiteral("Two\\b.txt"));
    ExpectDestination(QStringLiteral("D:\\Dest"));
    Run(TCmd::Move);
    EXPECT_EQ(NamesOnDisk(QStringLiteral("D:\\Dest")), (QStringList{"a.txt", "b.txt"}));
    EXPECT_EQ(Contents(QStringLiteral("D:\\Dest\\a.txt")), "one a");
    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Data\\One")), QStringList());
    // The root's own a.txt and its description are not the found one's.
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\a.txt")), "root a");
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\descript.dat")), "a.txt=root a\r\n");
    EXPECT_EQ(Names(), QStringList{QStringLiteral("..")});
    EXPECT_TRUE(Panel().FoundMode());

    ask.ExpectMessageBox(mrOk);
    Run(TCmd::EditPaste);
    ASSERT_EQ(ask.asked.size(), 3u);
    EXPECT_TRUE(ask.asked[2].text.contains(QLatin1String("nothing can be put into it")))
        << ask.asked[2].text.toStdString();
}

TEST_F(TransferTest, AFoundFolderTakesTheFoundEntriesInsideItAlong)
{
    MakeFile(QStringLiteral("C:\\Data\\Sub\\in.txt"), "in");
    MakeFile(QStringLiteral("C:\\Data\\Sub\\Deep\\deep.txt"), "deep");
    MakeFile(QStringLiteral("C:\\Data\\Subway\\out.txt"), "out");
    MakeFile(QStringLiteral("C:\\Data\\Other\\x.txt"), "x");
    Start(QStringLiteral("C:\\Data"));
    ASSERT_TRUE(Panel().ShowFound(
        QStringLiteral("C:\\Data"),
        {QStringLiteral("Sub"), QStringLiteral("Sub\\in.txt"), QStringLiteral("Sub\\Deep\\deep.txt"),
         QStringLiteral("Subway\\out.txt"), QStringLiteral("Other\\x.txt")}));
    for (const char *name : {"Sub", "Sub\\in.txt", "Sub\\Deep\\deep.txt", "Subway\\out.txt"})
        Select(QString::fromLatin1(name));
    // One question, no message about the entries gone with their folder.
    ask.ExpectDeleteWarning(mrAll);
    Run(TCmd::Delete);
    EXPECT_EQ(ask.asked.size(), 1u);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Sub")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Subway\\out.txt")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Other\\x.txt")));
    EXPECT_EQ(Names(), (QStringList{"..", "Other\\x.txt"}));
    EXPECT_EQ(Panel().SelCount, 0);
    EXPECT_TRUE(Panel().GetItemFocused());
}

TEST_F(TransferTest, CopyDeselectsWhatWasCopiedAndRefusesBadDestinations)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "aaa");
    MakeFile(QStringLiteral("C:\\Data\\b.txt"), "bbb");
    MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    MakeFolder(QStringLiteral("C:\\Out"));
    Start(QStringLiteral("C:\\Data"));
    Select(QStringLiteral("a.txt"));
    Select(QStringLiteral("Sub"));

    // A destination inside a source, and one that is a file: refused.
    ExpectDestination(QStringLiteral("C:\\Data\\Sub"));
    ask.ExpectMessageBox(mrOk);
    Run(TCmd::Copy);
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("inside")));
    ExpectDestination(QStringLiteral("C:\\Data\\b.txt"));
    ask.ExpectMessageBox(mrOk);
    Run(TCmd::Copy);
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("not a folder")));
    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Data\\Sub")), QStringList());
    EXPECT_EQ(Panel().SelCount, 2);

    // Work folder 2 is empty: no destination, the last one unchanged.
    ask.Expect({QuestionKind::SelectDrive, mrOk, QStringLiteral("2")});
    Run(TCmd::Copy);
    EXPECT_EQ(ask.Pending(), 0);

    ExpectDestination(QStringLiteral("C:\\Out"));
    Run(TCmd::Copy);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Out\\a.txt")), "aaa");
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Out\\Sub")));
    EXPECT_EQ(Panel().SelCount, 0);
    EXPECT_EQ(Names(), (QStringList{"..", "Sub", "a.txt", "b.txt"}));
}

TEST_F(TransferTest, AnEntryGoneBeforeTheRunIsReportedAndLeavesThePanel)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
    MakeFile(QStringLiteral("C:\\Data\\c.txt"), "c");
    MakeFolder(QStringLiteral("C:\\Out"));
    Start(QStringLiteral("C:\\Data"));
    Select(QStringLiteral("a.txt"));
    Select(QStringLiteral("b.txt"));
    Focus(QStringLiteral("c.txt"));
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\b.txt")))));
    ExpectDestination(QStringLiteral("C:\\Out"));
    ask.ExpectMessageBox(mrOk); // b.txt cannot be found
    Run(TCmd::Copy);
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("b.txt")));
    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Out")), QStringList{"a.txt"});
    EXPECT_EQ(Names(), (QStringList{"..", "a.txt", "c.txt"}));
    EXPECT_EQ(FocusedName(), QStringLiteral("c.txt"));

    // Deleting what is gone already: the entry goes, the rest stays.
    MakeFile(QStringLiteral("C:\\Data\\d.txt"), "d");
    Panel().Refresh(QStringLiteral("d.txt"), false);
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\d.txt")))));
    ask.ExpectDeleteWarning(mrAll);
    ask.ExpectMessageBox(mrOk);
    Run(TCmd::Delete);
    EXPECT_EQ(Names(), (QStringList{"..", "a.txt", "c.txt"}));
    // The last entry left: the focus moves to the one now last, not to a drive.
    EXPECT_EQ(FocusedName(), QStringLiteral("c.txt"));
}

// A move whose original cannot be removed (a read-only drive) used to
// report the item as moved.
TEST_F(TransferTest, MoveWhoseOriginalStaysIsNoSuccess)
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        MakeFile(QStringLiteral("E:\\%1").arg(QLatin1String(name)), name);
    MakeFolder(QStringLiteral("C:\\Out"));
    Start(QStringLiteral("E:\\"));
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        Select(QLatin1String(name));
    ExpectDestination(QStringLiteral("C:\\Out"));
    ask.ExpectMessageBox(mrYes); // the original of a.txt stays: go on
    sys::InjectFault(sys::FaultOp::Delete, 1, sys::ERROR_WRITE_PROTECT);
    Run(TCmd::Move);
    EXPECT_EQ(ask.Pending(), 0);
    ASSERT_EQ(ask.asked.size(), 3) << "the drive dialog, the picker and one error";
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("a.txt")));
    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Out")), (QStringList{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(NamesOnDisk(QStringLiteral("E:\\")), QStringList{"a.txt"});
    EXPECT_EQ(Names(), QStringList{"a.txt"}) << "a.txt was not moved";
    EXPECT_EQ(Panel().SelCount, 1);
}

TEST_F(TransferTest, CopyFromACdRomDropsReadOnlyOnlyWithRemRead)
{
    MakeFile(QStringLiteral("E:\\disc.txt"), "disc");
    SetAttributes(QStringLiteral("E:\\disc.txt"), sys::FILE_ATTRIBUTE_READONLY);
    MakeFolder(QStringLiteral("C:\\Out1"));
    MakeFolder(QStringLiteral("C:\\Out2"));
    Start(QStringLiteral("E:\\"));
    Focus(QStringLiteral("disc.txt"));
    ExpectDestination(QStringLiteral("C:\\Out1"));
    Run(TCmd::Copy);
    EXPECT_TRUE(sys::GetFileAttributes(QStringLiteral("C:\\Out1\\disc.txt")) &
                sys::FILE_ATTRIBUTE_READONLY);

    w->Ini().WriteBool(QStringLiteral("Option"), QStringLiteral("RemRead"), true);
    ExpectDestination(QStringLiteral("C:\\Out2"));
    Run(TCmd::Copy);
    EXPECT_FALSE(sys::GetFileAttributes(QStringLiteral("C:\\Out2\\disc.txt")) &
                 sys::FILE_ATTRIBUTE_READONLY);
}

TEST_F(TransferTest, DeleteWarningTextsAndDefaultButton)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    Start(QStringLiteral("C:\\Data"));
    Focus(QStringLiteral("a.txt"));
    ask.ExpectDeleteWarning(mrNo);
    Run(TCmd::Delete);
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("a.txt\n\nAre you sure you want to send to RecycleBin?"));
    EXPECT_EQ(ask.asked.last().focused, 2);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\a.txt")));

    w->Ini().WriteInteger(QStringLiteral("Option"), QStringLiteral("DelBtn"), 0);
    Select(QStringLiteral("Sub"));
    ask.ExpectDeleteWarning(mrAll); // the Delete button: for good
    Run(TCmd::Delete);
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("Selected All Files/Folders\n\nAre you sure you want to send to "
                             "RecycleBin?"));
    EXPECT_EQ(ask.asked.last().focused, 0);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Sub")));
    EXPECT_FALSE(Exists(TrashRoot() + QStringLiteral("\\files\\Sub")));
    EXPECT_EQ(Names(), (QStringList{"..", "a.txt"}));
}

TEST_F(TransferTest, TrashThenRestoreGivesBackTheSameFiles)
{
    MakeFileOfSize(QStringLiteral("C:\\Data\\a.bin"), 70000);
    SetTime(QStringLiteral("C:\\Data\\a.bin"), 1500000000);
    SetAttributes(QStringLiteral("C:\\Data\\a.bin"),
                  sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_SYSTEM);
    MakeFile(QStringLiteral("C:\\Gone\\g.txt"), "gone");
    MakeFolder(QStringLiteral("C:\\Data\\F\\empty"));
    SetTime(QStringLiteral("C:\\Data\\F"), 1400000000);
    const QByteArray before = Contents(QStringLiteral("C:\\Data\\a.bin"));
    const sys::DWORD attributes = sys::GetFileAttributes(QStringLiteral("C:\\Data\\a.bin"));
    const QDateTime time =
        QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\a.bin")))).lastModified();

    Start(QStringLiteral("C:\\Data"));
    Focus(QStringLiteral("a.bin"));
    ask.ExpectDeleteWarning(mrYes);
    ask.ExpectDeleteWarning(mrYes); // its important attributes
    Run(TCmd::Delete);
    ASSERT_FALSE(Exists(QStringLiteral("C:\\Data\\a.bin")));
    EXPECT_FALSE(Names().contains(QStringLiteral("a.bin")));
    Focus(QStringLiteral("F"));
    ask.ExpectDeleteWarning(mrYes);
    Run(TCmd::Delete);
    ASSERT_FALSE(Exists(QStringLiteral("C:\\Data\\F")));
    w->SetFolder(QStringLiteral("C:\\Gone"));
    Focus(QStringLiteral("g.txt"));
    ask.ExpectDeleteWarning(mrYes);
    Run(TCmd::Delete);
    w->SetFolder(QStringLiteral("C:\\"));
    QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Gone")))).removeRecursively();

    Run(TCmd::RecycleBin);
    EXPECT_EQ(Panel().Folder(), TrashRoot() + QStringLiteral("\\files"));
    const TFile *trashed = Panel().Files.Get(Panel().Files.IndexOf(QStringLiteral("a.bin")));
    ASSERT_TRUE(trashed);
    EXPECT_TRUE(trashed->Description.startsWith(QStringLiteral("C:\\Data\\a.bin  (deleted ")))
        << trashed->Description.toStdString();

    Select(QStringLiteral("a.bin"));
    Select(QStringLiteral("g.txt"));
    Select(QStringLiteral("F"));
    Run(TCmd::Restore);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\a.bin")), before);
    EXPECT_EQ(sys::GetFileAttributes(QStringLiteral("C:\\Data\\a.bin")), attributes);
    EXPECT_EQ(
        QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\a.bin")))).lastModified(),
        time);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Gone\\g.txt")), "gone") << "its folder is made again";
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\F\\empty"))) << "a folder comes back whole";
    EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\F"))))
                  .lastModified()
                  .toSecsSinceEpoch(),
              1400000000);
    EXPECT_EQ(NamesOnDisk(TrashRoot() + QStringLiteral("\\files")), QStringList());
    EXPECT_EQ(NamesOnDisk(TrashRoot() + QStringLiteral("\\info")), QStringList());
    EXPECT_EQ(Names(), QStringList{".."});
}

TEST_F(TransferTest, RestoreAsksBeforeReplacingAndKeepsItemsWithoutARecord)
{
    MakeFile(TrashRoot() + QStringLiteral("\\files\\a.txt"), "old");
    MakeFile(TrashRoot() + QStringLiteral("\\info\\a.txt.trashinfo"),
             sys::TrashInfoText(Native(QStringLiteral("C:\\Data\\a.txt")),
                                QDateTime::currentDateTime()));
    MakeFile(TrashRoot() + QStringLiteral("\\files\\stray.txt"), "s");
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "new");
    Start(QStringLiteral("C:\\Data"));
    Run(TCmd::RecycleBin);
    Select(QStringLiteral("a.txt"));
    Select(QStringLiteral("stray.txt"));
    ask.ExpectMessageBox(mrOk); // stray.txt has no record
    ask.ExpectFileExists(mrNo); // keep the newer a.txt: skip
    Run(TCmd::Restore);
    EXPECT_TRUE(ask.asked.first().text.contains(QStringLiteral("stray.txt")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\a.txt")), "new");
    EXPECT_EQ(NamesOnDisk(TrashRoot() + QStringLiteral("\\files")),
              (QStringList{"a.txt", "stray.txt"}));
    EXPECT_TRUE(Exists(TrashRoot() + QStringLiteral("\\info\\a.txt.trashinfo")));
}

TEST_F(TransferTest, EmptyRecycleBinLeavesNoOrphans)
{
    MakeFile(TrashRoot() + QStringLiteral("\\files\\good.txt"), "g");
    MakeFile(TrashRoot() + QStringLiteral("\\info\\good.txt.trashinfo"),
             "[Trash Info]\nPath=/x/good.txt\nDeletionDate=2026-01-02T03:04:05\n");
    MakeFile(TrashRoot() + QStringLiteral("\\files\\Dir\\inner.txt"), "i");
    MakeFile(TrashRoot() + QStringLiteral("\\info\\Dir.trashinfo"),
             "[Trash Info]\nPath=relative/Dir\nDeletionDate=yesterday\n");
    MakeFile(TrashRoot() + QStringLiteral("\\info\\lost.txt.trashinfo"),
             "[Trash Info]\nPath=/x/lost.txt\n");
    MakeFile(TrashRoot() + QStringLiteral("\\files\\norecord.txt"), "n");
    MakeFile(TrashRoot() + QStringLiteral("\\directorysizes"), "1 2 Dir\n");
    // A drive's own Trash counts too.
    MakeFile(QStringLiteral("D:\\.Trash-%1\\files\\d.txt").arg(getuid()), "d");
    MakeFile(QStringLiteral("D:\\.Trash-%1\\info\\d.txt.trashinfo").arg(getuid()),
             "[Trash Info]\nPath=d.txt\nDeletionDate=2026-01-02T03:04:05\n");
    Start(QStringLiteral("C:\\"));

    Run(TCmd::RecycleBin);
    const TFile *dir = Panel().Files.Get(Panel().Files.IndexOf(QStringLiteral("Dir")));
    ASSERT_TRUE(dir);
    EXPECT_EQ(dir->Description, QStringLiteral("(no record of its original place)"));

    ask.ExpectMessageBox(mrYes);
    Run(TCmd::EmptyRecycleBin);
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("all 4 items")))
        << ask.asked.last().text.toStdString();
    EXPECT_EQ(NamesOnDisk(TrashRoot()), (QStringList{"files", "info"}));
    EXPECT_EQ(NamesOnDisk(TrashRoot() + QStringLiteral("\\files")), QStringList());
    EXPECT_EQ(NamesOnDisk(TrashRoot() + QStringLiteral("\\info")), QStringList());
    EXPECT_EQ(NamesOnDisk(QStringLiteral("D:\\.Trash-%1\\files").arg(getuid())), QStringList());
    EXPECT_EQ(NamesOnDisk(QStringLiteral("D:\\.Trash-%1\\info").arg(getuid())), QStringList());
    EXPECT_EQ(Names(), QStringList{".."});
}

TEST_F(TransferTest, EmptyTempFolderTakesOnlyOldEntriesOfTheUser)
{
    const qint64 old = QDateTime::currentSecsSinceEpoch() - 2 * 3600;
    MakeFileOfSize(QStringLiteral("C:\\Tmp\\old.log"), 1000);
    SetTime(QStringLiteral("C:\\Tmp\\old.log"), old);
    MakeFile(QStringLiteral("C:\\Tmp\\OldDir\\x.txt"), "12345");
    SetTime(QStringLiteral("C:\\Tmp\\OldDir\\x.txt"), old);
    MakeFile(QStringLiteral("C:\\Tmp\\fresh.txt"), "new");
    MakeFolder(QStringLiteral("C:\\Tmp\\.X11-unix"));
    MakeFolder(QStringLiteral("C:\\Tmp\\systemd-private-abc"));
    MakeFolder(QStringLiteral("C:\\Tmp\\Mixed"));
    MakeFile(QStringLiteral("C:\\Tmp\\Mixed\\recent.txt"), "r");
    ASSERT_EQ(::mkfifo(Native(QStringLiteral("C:\\Tmp\\pipe")).constData(), 0600), 0);
    // Folders are dated after their contents were made.
    for (const char *name : {"OldDir", ".X11-unix", "systemd-private-abc", "pipe", "Mixed"}) {
        const timespec times[2] = {{old, 0}, {old, 0}};
        ASSERT_EQ(
            ::utimensat(AT_FDCWD,
                        Native(QStringLiteral("C:\\Tmp\\%1").arg(QLatin1String(name))).constData(),
                        times, AT_SYMLINK_NOFOLLOW),
            0);
    }
    EnvGuard tmp("TMPDIR", Native(QStringLiteral("C:\\Tmp")));
    Start(QStringLiteral("C:\\"));

    ask.ExpectDeleteWarning(mrAll);
    Run(TCmd::EmptyTemp);
    ASSERT_FALSE(ask.asked.isEmpty());
    EXPECT_TRUE(ask.asked.last().text.startsWith(
        QStringLiteral("Are you sure you want to empty system temp folder")));
    EXPECT_TRUE(ask.asked.last().text.contains(QStringLiteral("2 entries (1,005 bytes)")))
        << ask.asked.last().text.toStdString();
    EXPECT_EQ(NamesOnDisk(QStringLiteral("C:\\Tmp")),
              (QStringList{".X11-unix", "Mixed", "fresh.txt", "pipe", "systemd-private-abc"}));
}

TEST_F(TransferTest, EmptyTempFolderRefusesTheHomeFolderAndRoots)
{
    Start(QStringLiteral("C:\\"));
    EnvGuard tmp("TMPDIR", Native(QStringLiteral("C:\\User")));
    MakeFile(QStringLiteral("C:\\User\\keep.txt"), "k");
    SetTime(QStringLiteral("C:\\User\\keep.txt"), 1000000000);
    ask.ExpectMessageBox(mrOk);
    Run(TCmd::EmptyTemp);
    EXPECT_EQ(ask.asked.last().kind, QuestionKind::MessageBox);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\User\\keep.txt")));
    EXPECT_FALSE(IsEmptiableTempFolder(QStringLiteral("C:\\")));
    EXPECT_FALSE(IsEmptiableTempFolder(QStringLiteral("C:\\Missing")));
}

// The info files of a Trash: what restore may trust.
TEST(TrashInfo, ParsesSafePathsOnlyAndToleratesBadDates)
{
    QByteArray path;
    QDateTime when;
    EXPECT_TRUE(sys::ParseTrashInfo(
        "[Trash Info]\nPath=/home/u/a%20b.txt\nDeletionDate=2026-01-02T03:04:05\n", {}, path,
        when));
    EXPECT_EQ(path, "/home/u/a b.txt");
    EXPECT_EQ(when, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));

    EXPECT_TRUE(sys::ParseTrashInfo("[Trash Info]\nPath=/a\nDeletionDate=soon\n", {}, path, when));
    EXPECT_FALSE(when.isValid());

    // Relative paths belong to drives' Trash folders only.
    EXPECT_FALSE(sys::ParseTrashInfo("[Trash Info]\nPath=a.txt\n", {}, path, when));
    EXPECT_TRUE(sys::ParseTrashInfo("[Trash Info]\nPath=dir/a.txt\n", "/media/d", path, when));
    EXPECT_EQ(path, "/media/d/dir/a.txt");
    EXPECT_FALSE(sys::ParseTrashInfo("[Trash Info]\nPath=/etc/passwd\n", "/media/d", path, when))
        << "outside the drive";
    for (const char *bad : {"[Trash Info]\nPath=/a/../../etc\n", "[Trash Info]\nPath=/a//b\n",
                            "[Trash Info]\nPath=/a/./b\n", "Path=/a\n", "[Other]\nPath=/a\n",
                            "[Trash Info]\nPath=\n", "[Trash Info]\nPath=/a%00b\n", ""})
        EXPECT_FALSE(sys::ParseTrashInfo(bad, {}, path, when)) << bad;

    // What the program writes reads back.
    const QDateTime at(QDate(2025, 12, 31), QTime(23, 59, 58));
    ASSERT_TRUE(sys::ParseTrashInfo(sys::TrashInfoText("/x/50% off;#.txt", at), {}, path, when));
    EXPECT_EQ(path, "/x/50% off;#.txt");
    EXPECT_EQ(when, at);
}

TEST(TempNames, DesktopFoldersAreNeverTaken)
{
    for (const char *name : {".X11-unix", ".X0-lock", ".ICE-unix", "systemd-private-1-x",
                             "ssh-XXXX", "pulse-abc", "tmux-1000", ".font-unix"})
        EXPECT_TRUE(IsDesktopTempName(QLatin1String(name))) << name;
    for (const char *name : {"build.log", "x.tmp", "cache"})
        EXPECT_FALSE(IsDesktopTempName(QLatin1String(name))) << name;
}

} // namespace
} // namespace kestrel
