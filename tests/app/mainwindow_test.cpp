#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/stringhistory.h"
#include "ops/changenotify.h"
#include "ops/heldask.h"
#include "panel/kfileview.h"

#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QAction>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace kestrel {
namespace {

class MainWindowTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        // The program's files on the C: drive, so they can be inspected.
        MakeFolder(QStringLiteral("C:\\Home"));
        qputenv("KESTREL_HOME", Native(QStringLiteral("C:\\Home")));
    }
    static QAction *MenuItem(const TfMain &w, const char *text)
    {
        for (QAction *a : w.findChildren<QAction *>())
            if (a->text() == QLatin1String(text))
                return a;
        ADD_FAILURE() << "no menu item " << text;
        return new QAction(const_cast<TfMain *>(&w));
    }
    static QString Home(const char *name)
    {
        return QStringLiteral("C:\\Home\\") + QLatin1String(name);
    }
};

TEST_F(MainWindowTest, FirstRunOpensWithDefaultsAndWritesTheWindowSection)
{
    {
        TfMain w;
        w.show();
        EXPECT_EQ(w.pos(), QPoint(100, 100));
        EXPECT_EQ(w.size(), QSize(550, 500));
        EXPECT_EQ(w.FileView()->Folder(), QStringLiteral("C:\\"));
        EXPECT_EQ(w.FileView()->CharCase(), ccUpper);
        EXPECT_EQ(w.FileView()->SortType(), fstExt);
        EXPECT_EQ(w.FileView()->FocusStyle(), fsDot);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Kestrel 4.0"));
        EXPECT_EQ(w.History()->Capacity(), 12);
        EXPECT_TRUE(w.SHChangeNotify()->Active());
        EXPECT_EQ(w.SHChangeNotify()->Delay(), 2000);
        EXPECT_EQ(w.SHChangeNotify()->Filter().Mask(), 0x5Bu);
        EXPECT_TRUE(w.close());
    }
    EXPECT_EQ(Contents(Home("kestrel.ini")),
              QByteArray("[Window]\r\nFile=0,100,100,550,500\r\nToolbar=1\r\nStatus=1\r\n"));
    EXPECT_EQ(Contents(Home("last.dir")), QByteArray("C:\\=C:\\\r\nC:\r\n"));
    EXPECT_TRUE(Exists(Home("history.dat")));
    EXPECT_EQ(Contents(Home("history.dat")), QByteArray());
}

TEST_F(MainWindowTest, SavedStateComesBackAndIsSavedAgain)
{
    MakeFolder(QStringLiteral("D:\\Work"));
    MakeFile(Home("kestrel.ini"),
             "[Window]\r\nFile=0,30,40,640,480\r\nToolbar=0\r\n"
             "[Option]\r\nSort=2\r\nDesc=1\r\nPathCaption=1\r\nSaveLastDir=1\r\n");
    MakeFile(Home("last.dir"), "C:\\=C:\\\r\nD:\\=D:\\Work\r\nD:\r\n");
    QByteArray history;
    for (int i = 1; i <= 12; ++i)
        history += "dir " + QByteArray::number(i) + "\r\n";
    MakeFile(Home("history.dat"), history);
    {
        TfMain w;
        w.show();
        EXPECT_EQ(w.geometry().size(), QSize(640, 480));
        EXPECT_EQ(w.pos(), QPoint(30, 40));
        EXPECT_TRUE(w.ToolBar()->isHidden());
        EXPECT_FALSE(w.statusBar()->isHidden());
        EXPECT_EQ(w.FileView()->Folder(), QStringLiteral("D:\\Work"));
        EXPECT_EQ(w.FileView()->SortType(), fstSize);
        EXPECT_TRUE(MenuItem(w, "by &Size")->isChecked()) << "menu follows the settings";
        EXPECT_TRUE(MenuItem(w, "Descend")->isChecked());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("D:\\Work"));
        EXPECT_EQ(w.CommandLine().History().size(), 10);
        w.FileView()->SetFolder(QStringLiteral("C:\\Home"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("C:\\Home")) << "the caption follows";
        w.move(50, 60);
        w.statusBar()->hide();
        w.CommandLine().SetHistory(w.CommandLine().History() +
                                   QStringList{QStringLiteral("dir 13")});
        w.close();
    }
    EXPECT_EQ(Contents(Home("kestrel.ini")),
              QByteArray("[Window]\r\nFile=0,50,60,640,480\r\nToolbar=0\r\nStatus=0\r\n"
                         "[Option]\r\nSort=2\r\nDesc=1\r\nPathCaption=1\r\nSaveLastDir=1\r\n"));
    EXPECT_EQ(Contents(Home("last.dir")), QByteArray("C:\\=C:\\Home\r\nD:\\=D:\\Work\r\nC:\r\n"));
    const QByteArray saved = Contents(Home("history.dat"));
    EXPECT_TRUE(saved.startsWith("dir 4\r\n"));
    EXPECT_TRUE(saved.endsWith("dir 12\r\ndir 13\r\n"));
}

TEST_F(MainWindowTest, MaximisedPlacementIgnoresTheNumbers)
{
    MakeFile(Home("kestrel.ini"), "[Window]\r\nFile=1,5,5,10,10\r\n");
    TfMain w;
    w.show();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    EXPECT_NE(w.size(), QSize(10, 10));
}

// Menu captions used to read "&Foward".
TEST_F(MainWindowTest, HistoryItemsAreSpelledOut)
{
    TfMain w;
    EXPECT_EQ(MenuItem(w, "&Forward")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Right));
    EXPECT_EQ(MenuItem(w, "&Back")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenDoesNotStopClosing)
{
    MakeFolder(Home("kestrel.ini")); // a folder where the file should be
    MakeFolder(QStringLiteral("D:\\Work"));
    TfMain w({QString::fromUtf8(Native(QStringLiteral("D:\\Work")))});
    w.show();
    EXPECT_EQ(w.FileView()->Folder(), QStringLiteral("D:\\Work"));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Contents(Home("last.dir")), QByteArray("D:\\=D:\\Work\r\nD:\r\n"));
}

class AutoRefreshTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
        w = std::make_unique<TfMain>(QStringList{QStringLiteral("C:\\Data")});
        w->show();
        w->SHChangeNotify()->SetDelay(0);
        ASSERT_EQ(w->SHChangeNotify()->Folder(), QStringLiteral("C:\\Data"));
        w->FileView()->SetItemFocused(
            w->FileView()->Files.Get(w->FileView()->Files.IndexOf(QStringLiteral("b.txt"))));
    }
    bool Listed(const char *name) const
    {
        return w->FileView()->Files.IndexOf(QLatin1String(name)) >= 0;
    }
    QString Focused() const { return w->FileView()->GetItemFocused()->GetFullName(); }

    std::unique_ptr<TfMain> w;
};

TEST_F(AutoRefreshTest, ReloadKeepsTheFocusedNameAndFollowsTheFolder)
{
    MakeFile(QStringLiteral("C:\\Data\\0.txt"), "0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Listed("0.txt"); }, 20000));
    EXPECT_EQ(Focused().toLower(), QStringLiteral("b.txt"));

    MakeFolder(QStringLiteral("C:\\Other"));
    w->FileView()->SetFolder(QStringLiteral("C:\\Other"));
    EXPECT_EQ(w->SHChangeNotify()->Folder(), QStringLiteral("C:\\Other"));
    MakeFile(QStringLiteral("C:\\Other\\new.txt"), "n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed("new.txt"); }, 20000));
}

TEST_F(AutoRefreshTest, NoReloadWhileAQuestionIsOpen)
{
    test::ScriptedAsk scripted;
    THeldAsk held(scripted);
    TAsk *previous = SetAsk(&held);
    const TFile *focusedBefore = w->FileView()->GetItemFocused();
    scripted.during = [&](const test::Question &) {
        MakeFile(QStringLiteral("C:\\Data\\during.txt"), "d");
        QTest::qWait(500); // the dialog's event loop runs
        EXPECT_FALSE(Listed("during.txt"));
        EXPECT_EQ(w->FileView()->GetItemFocused(), focusedBefore) << "entries not freed";
    };
    scripted.ExpectMessageBox(mrYes);
    Ask().MessageBox(w.get(), QStringLiteral("Go on?"), QStringLiteral("Kestrel"), MB_YESNO);
    SetAsk(previous);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed("during.txt"); }, 20000));
}

TEST_F(AutoRefreshTest, NoReloadWhileAnOperationHasTheWindowDisabled)
{
    w->setEnabled(false);
    MakeFile(QStringLiteral("C:\\Data\\copied.txt"), "c");
    QTest::qWait(500); // the progress window processes events meanwhile
    EXPECT_FALSE(Listed("copied.txt"));
    w->setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed("copied.txt"); }, 20000));
}

TEST_F(AutoRefreshTest, MenuCommandSwitchesOffUntilSwitchedOnAgain)
{
    EXPECT_TRUE(w->MainMenu()->Item(TCmd::AutoRefresh)->isChecked());
    w->MainMenu()->Item(TCmd::AutoRefresh)->trigger();
    EXPECT_FALSE(w->SHChangeNotify()->Active());
    EXPECT_FALSE(w->MainMenu()->Item(TCmd::AutoRefresh)->isChecked());
    w->SHChangeNotify()->SetActive(true); // as at the end of a move
    EXPECT_FALSE(w->SHChangeNotify()->Active());
    w->MainMenu()->Item(TCmd::AutoRefresh)->trigger();
    EXPECT_TRUE(w->SHChangeNotify()->Active());
    EXPECT_TRUE(w->MainMenu()->Item(TCmd::AutoRefresh)->isChecked());
    w->SHChangeNotify()->SetActive(false);
    EXPECT_FALSE(w->SHChangeNotify()->Active()) << "operations may switch it off again";
}

} // namespace
} // namespace kestrel
