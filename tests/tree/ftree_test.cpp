#include "tree/ftree.h"

#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"
#include "tree/treeinfo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace kestrel {
namespace {

using test::QuestionKind;

class FavoritesList : public TTreeFavorites {
public:
    QList<std::pair<QString, QString>> Entries() const override { return entries; }
    bool Add(const QString &name, const QString &path) override
    {
        entries.append({name, path});
        return true;
    }
    QList<std::pair<QString, QString>> entries;
};

// The tree window on drive C: of the test machine, shown and active so that
// its keys reach it as a user's would.
class TreeWindowTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Data\\Music\\Rock"));
        MakeFolder(QStringLiteral("C:\\Data\\Pictures"));
        MakeFolder(QStringLiteral("C:\\Data\\Empty"));
        MakeFolder(QStringLiteral("C:\\Win\\System"));
        MakeFolder(QStringLiteral("D:\\Docs"));
        window = std::make_unique<TfTree>(nullptr, TTreeWindowSettings{}, &favorites);
        window->FolderView->FolderList = {QStringLiteral("C:\\=C:\\Data\\Music")};
        window->FolderView->SetFolder(QStringLiteral("C:\\Data\\Music"));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // Without a window manager the application may not know it yet.
        QApplication::setActiveWindow(window.get());
        ASSERT_EQ(QApplication::activeWindow(), window.get());
    }
    void TearDown() override
    {
        window.reset();
        MachineTest::TearDown();
    }
    TKFolderView &View() { return *window->FolderView; }
    TTreeItem *Node(const char *path) { return View().Items.FindItem(QString::fromUtf8(path)); }
    void Focus(const char *path) { View().SetFocused(Node(path)); }
    // The tree as the tree information file of drive C: holds it.
    QStringList StoredTree()
    {
        TTreeItems stored;
        stored.LoadFromFile(View().TreeFile());
        QStringList paths;
        for (TTreeItem *item = stored.Root(); item; item = item->GetNext())
            paths.append(item->GetFullPath());
        return paths;
    }
    // Through the window system, as a user's keys come: the window's
    // shortcuts first, then the focused tree.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(window->windowHandle(), Qt::Key(key), mods);
    }
    void Type(const char *text)
    {
        for (const char *c = text; *c; ++c)
            QTest::keyClick(window->windowHandle(), *c);
    }

    test::ScriptedAsk ask;
    test::ProgressRecorder progress;
    FavoritesList favorites;
    std::unique_ptr<TfTree> window;
};

TEST_F(TreeWindowTest, OpensOnTheFolderWithItsDriveAndAddress)
{
    EXPECT_EQ(window->Address->text(), QStringLiteral("C:\\Data\\Music"));
    EXPECT_EQ(window->Volume->text(), QStringLiteral("Local"));
    ASSERT_FALSE(window->DriveButtons.isEmpty());
    EXPECT_EQ(window->DriveButtons.last()->text(), QStringLiteral("/"));
    QStringList captions;
    for (const QToolButton *button : std::as_const(window->DriveButtons))
        captions.append(button->text());
    const QStringList letters = captions.mid(0, captions.size() - 1);
    QStringList sorted = letters;
    sorted.sort();
    EXPECT_EQ(letters, sorted);
    EXPECT_TRUE(letters.contains(QStringLiteral("C:")));
    const int c = int(captions.indexOf(QStringLiteral("C:")));
    EXPECT_TRUE(window->DriveButtons[c]->isChecked());
    // The tree was scanned and its file written.
    EXPECT_TRUE(StoredTree().contains(QStringLiteral("C:\\Data\\Music\\Rock")));
    // With KESTREL_SHOT_DIR set the window is kept there for a look by eye.
    const QByteArray shots = qgetenv("KESTREL_SHOT_DIR");
    if (!shots.isEmpty())
        window->grab().save(QString::fromUtf8(shots) + QStringLiteral("/tree-window.png"));
}

TEST_F(TreeWindowTest, ShiftLetterSwitchesDrivesEvenWhileSearching)
{
    Key(Qt::Key_Home);
    Type("da");
    EXPECT_TRUE(window->lFind->isVisible());
    EXPECT_EQ(window->lFind->text(), QStringLiteral(" DA"));
    Key(Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(View().Drive(), QStringLiteral("D:"));
    EXPECT_EQ(window->Volume->text(), QStringLiteral("Data"));
    EXPECT_FALSE(window->lFind->isVisible());
    const int d = int(std::find_if(window->DriveButtons.begin(), window->DriveButtons.end(),
                                   [](const QToolButton *b) { return b->text() == "D:"; }) -
                      window->DriveButtons.begin());
    ASSERT_LT(d, window->DriveButtons.size());
    EXPECT_TRUE(window->DriveButtons[d]->isChecked());

    // A capital typed with Caps Lock comes without Shift: it searches.
    Type("DO");
    EXPECT_EQ(View().Drive(), QStringLiteral("D:"));
    EXPECT_EQ(window->lFind->text(), QStringLiteral(" DO"));
    EXPECT_EQ(window->Address->text(), QStringLiteral("D:\\Docs"));

    // The drive button does the same as the key.
    const int c = int(std::find_if(window->DriveButtons.begin(), window->DriveButtons.end(),
                                   [](const QToolButton *b) { return b->text() == "C:"; }) -
                      window->DriveButtons.begin());
    window->DriveButtons[c]->click();
    EXPECT_EQ(View().Drive(), QStringLiteral("C:"));
    EXPECT_EQ(window->Address->text(), QStringLiteral("C:\\Data\\Music"));
}

TEST_F(TreeWindowTest, RootIsNeitherDeletedNorRenamed)
{
    Key(Qt::Key_Home);
    ASSERT_EQ(View().Focused(), View().Items.Root());
    Key(Qt::Key_F8);
    Key(Qt::Key_Delete);
    Key(Qt::Key_F2);
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(ask.asked.isEmpty());
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data")));
}

TEST_F(TreeWindowTest, RenameAsksAgainUntilTheNameHolds)
{
    MakeFile(QStringLiteral("C:\\Data\\descript.dat"), "Music=songs\r\nPictures=holidays\r\n");
    Focus("C:\\Data\\Pictures");
    // An existing folder, even an empty one, is never replaced; names that
    // would lead elsewhere are refused; the typed name comes back each time.
    ask.ExpectGetString(mrOk, QStringLiteral("Empty"));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral("..\\Photos"));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral(".."));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral(""));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral("Photos"));
    Key(Qt::Key_F2);

    ASSERT_EQ(ask.asked.size(), 9);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Rename"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("Put new name you want to change to"));
    EXPECT_TRUE(ask.asked[1].text.contains(QStringLiteral("already exists")))
        << ask.asked[1].text.toStdString();
    EXPECT_EQ(ask.asked[1].caption, QStringLiteral("Error"));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Photos")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Empty")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Photos")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Pictures")));
    EXPECT_EQ(window->Address->text(), QStringLiteral("C:\\Data\\Photos"));
    const QStringList stored = StoredTree();
    EXPECT_TRUE(stored.contains(QStringLiteral("C:\\Data\\Photos")));
    EXPECT_FALSE(stored.contains(QStringLiteral("C:\\Data\\Pictures")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\descript.dat")),
              "Music=songs\r\nPhotos=holidays\r\n")
        << "the description follows the folder";
}

TEST_F(TreeWindowTest, RenameChangingOnlyTheCaseIsAllowed)
{
    Focus("C:\\Data\\Pictures");
    ask.ExpectGetString(mrOk, QStringLiteral("PICTURES"));
    window->RenameFolder();
    EXPECT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(View().Focused()->Name, QStringLiteral("PICTURES"));
    EXPECT_TRUE(QFile::exists(QString::fromUtf8(Native(QStringLiteral("C:\\Data")) + "/PICTURES")));
}

TEST_F(TreeWindowTest, NewFolderIsMadeAddedAndFocused)
{
    Focus("C:\\Data");
    ask.ExpectGetString(mrOk, QStringLiteral("Music")); // exists already
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral("a:b"));
    ask.ExpectMessageBox(mrOk);
    ask.ExpectGetString(mrOk, QStringLiteral("Videos"));
    Key(Qt::Key_Insert);
    ASSERT_EQ(ask.asked.size(), 5);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("New Folder"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("Enter the folder name you want to create."));
    EXPECT_EQ(ask.asked[1].caption, QStringLiteral("Error"));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Videos")));
    EXPECT_EQ(window->Address->text(), QStringLiteral("C:\\Data\\Videos"));
    EXPECT_TRUE(StoredTree().contains(QStringLiteral("C:\\Data\\Videos")));

    // Cancel ends the command with nothing made.
    ask.ExpectGetString(mrCancel);
    Key(Qt::Key_F7);
    EXPECT_EQ(View().Focused()->Name, QStringLiteral("Videos"));
    EXPECT_FALSE(View().Focused()->HasChildren());
}

TEST_F(TreeWindowTest, DeleteAsksAndTakesTheFolderOutOfTree)
{
    Focus("C:\\Win\\System");
    ask.ExpectDeleteWarning(mrNo);
    Key(Qt::Key_F8);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text,
              QStringLiteral("System\n\nAre you sure you want to send to RecycleBin?"));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Win\\System")));
    ASSERT_NE(Node("C:\\Win\\System"), nullptr);

    ask.ExpectDeleteWarning(mrAll); // "Delete": for good
    Key(Qt::Key_D, Qt::AltModifier);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Win\\System")));
    EXPECT_EQ(Node("C:\\Win\\System"), nullptr);
    EXPECT_FALSE(StoredTree().contains(QStringLiteral("C:\\Win\\System")));
    EXPECT_TRUE(View().Items.IsConsistent());
}

TEST_F(TreeWindowTest, SelectingAVanishedFolderDropsIt)
{
    Focus("C:\\Data\\Music\\Rock");
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\Music\\Rock"))))
                    .removeRecursively());
    ask.ExpectMessageBox(mrOk);
    Key(Qt::Key_Return);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("The system cannot find the folder specified"));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Node("C:\\Data\\Music\\Rock"), nullptr);
    EXPECT_FALSE(StoredTree().contains(QStringLiteral("C:\\Data\\Music\\Rock")));

    Focus("C:\\Data\\Pictures");
    Key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(View().GetFolder(), QStringLiteral("C:\\Data\\Pictures"));
}

TEST_F(TreeWindowTest, ExpandAndCollapseCommands)
{
    window->Action(QStringLiteral("CollapseAll"))->trigger();
    // The first level stays in sight, nothing below it.
    EXPECT_TRUE(View().Items.Root()->Expanded);
    EXPECT_TRUE(Node("C:\\Data")->IsVisible());
    EXPECT_TRUE(Node("C:\\Win")->IsVisible());
    EXPECT_FALSE(Node("C:\\Data\\Music")->IsVisible());
    // The focus was inside a collapsed branch: it moved to what holds it.
    EXPECT_EQ(View().Focused(), Node("C:\\Data"));

    window->Action(QStringLiteral("ExpandOne"))->trigger();
    EXPECT_TRUE(Node("C:\\Data\\Music")->IsVisible());
    EXPECT_FALSE(Node("C:\\Data\\Music\\Rock")->IsVisible());
    window->Action(QStringLiteral("ExpandRecursive"))->trigger();
    EXPECT_TRUE(Node("C:\\Data\\Music\\Rock")->IsVisible());
    EXPECT_FALSE(Node("C:\\Win\\System")->IsVisible());
    window->Action(QStringLiteral("CollapseRecursive"))->trigger();
    EXPECT_FALSE(Node("C:\\Data\\Music")->Expanded);
    window->Action(QStringLiteral("ExpandAll"))->trigger();
    EXPECT_TRUE(Node("C:\\Win\\System")->IsVisible());
    EXPECT_TRUE(Node("C:\\Data\\Music\\Rock")->IsVisible());
}

TEST_F(TreeWindowTest, PopupOffersTheExpandItemOnlyForFoldersWithChildren)
{
    QAction *expand = window->Action(QStringLiteral("PopupExpand"));
    const auto rightClick = [&](const char *path) {
        const auto at = [&] {
            return View().GetItemPos(Node(path)) + QPoint(30, View().RowHeight / 2);
        };
        QTest::mousePress(window->FolderView, Qt::RightButton, {}, at());
        QTest::mouseRelease(window->FolderView, Qt::RightButton, {}, at());
        EXPECT_TRUE(window->PopupMenu->isVisible());
        window->PopupMenu->hide();
    };
    rightClick("C:\\Data");
    EXPECT_EQ(View().Focused(), Node("C:\\Data"));
    EXPECT_TRUE(expand->isVisible());
    EXPECT_EQ(expand->text(), QStringLiteral("&Collapse"));
    expand->trigger();
    EXPECT_FALSE(Node("C:\\Data")->Expanded);
    rightClick("C:\\Data");
    EXPECT_EQ(expand->text(), QStringLiteral("E&xpand"));
    rightClick("C:\\Win\\System");
    EXPECT_FALSE(expand->isVisible());
}

TEST_F(TreeWindowTest, StatusPanelsRunTheirCommands)
{
    QStringList texts;
    for (const QToolButton *panel : std::as_const(window->StatusPanels))
        texts.append(panel->text());
    EXPECT_EQ(texts, QStringList({"F2=Rename", "F3=Find Next", "F5=Refresh", "F6=Part Refresh",
                                  "F7=New Folder", "F8=Delete", "F9=Properties"}));
    Focus("C:\\Data");
    ask.ExpectGetString(mrCancel);
    window->StatusPanels[4]->click();
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("New Folder"));

    // Full refresh finds a folder made behind the tree's back.
    MakeFolder(QStringLiteral("C:\\Later"));
    window->StatusPanels[2]->click();
    EXPECT_NE(Node("C:\\Later"), nullptr);
}

TEST_F(TreeWindowTest, FavoritesListAndAddTheFocusedFolder)
{
    favorites.entries = {{QStringLiteral("Tunes"), QStringLiteral("C:\\Data\\Music\\Rock")}};
    Focus("C:\\Win");
    ask.ExpectGetString(mrOk, QStringLiteral("Windows"));
    window->Action(QStringLiteral("PopupAddFavorite"))->trigger();
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Add Favorites"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("\"Win\"\n\nDisplay Name"));
    ASSERT_EQ(favorites.entries.size(), 2);
    EXPECT_EQ(favorites.entries[1],
              std::make_pair(QStringLiteral("Windows"), QStringLiteral("C:\\Win")));

    Q_EMIT window->FavoritesMenu->aboutToShow();
    const QList<QAction *> items = window->FavoritesMenu->actions();
    ASSERT_EQ(items.size(), 4); // two entries, a separator, Add Favorites
    EXPECT_EQ(items[0]->text(), QStringLiteral("Tunes"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("Add Favorites"));
    items[0]->trigger();
    EXPECT_EQ(View().GetFolder(), QStringLiteral("C:\\Data\\Music\\Rock"));
}

// A name with "=" was stored and read back cut at its "=".
TEST_F(TreeWindowTest, AddFavoriteRefusesANameWithAnEqualsSign)
{
    Focus("C:\\Win");
    ask.ExpectGetString(mrOk, QStringLiteral("a=b"));
    ask.ExpectMessageBox(mrOk);
    window->Action(QStringLiteral("PopupAddFavorite"))->trigger();
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[1].kind, test::QuestionKind::MessageBox);
    EXPECT_TRUE(ask.asked[1].text.contains(QLatin1Char('=')));
    EXPECT_TRUE(favorites.entries.isEmpty());
}

TEST_F(TreeWindowTest, EscapeClosesWithoutAFolder)
{
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

// A scan repaints the window as it goes: keys and closing met meanwhile
// used to switch drives or close the window under the running scan.
TEST_F(TreeWindowTest, NothingSwitchesOrClosesUnderARunningScan)
{
    const auto step = View().OnScan;
    int scanned = 0;
    View().OnScan = [&](const QString &folder) {
        if (++scanned == 2) {
            Key(Qt::Key_D, Qt::ShiftModifier);
            Key(Qt::Key_F5);
            window->reject();
        }
        return step(folder);
    };
    Key(Qt::Key_F5);
    EXPECT_GT(scanned, 2);
    EXPECT_EQ(View().Drive(), QStringLiteral("C:"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(Node("C:\\Data\\Music\\Rock"), nullptr);
    // Once the scan has ended the keys work again.
    Key(Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(View().Drive(), QStringLiteral("D:"));
}

TEST_F(TreeWindowTest, EscapeCancelsAScanWhoseTreeIsShownButNotSaved)
{
    const QStringList saved = StoredTree();
    ASSERT_TRUE(saved.contains(QStringLiteral("C:\\Data\\Music\\Rock")));
    MakeFolder(QStringLiteral("C:\\Data\\Music\\Jazz"));
    const auto step = View().OnScan;
    int scanned = 0;
    View().OnScan = [&](const QString &folder) {
        if (++scanned == 2) {
            auto *scan = window->findChild<QDialog *>(QStringLiteral("fScan"));
            EXPECT_TRUE(scan && scan->isVisible());
            if (scan)
                QTest::keyClick(scan->windowHandle(), Qt::Key_Escape);
        }
        return step(folder);
    };
    Key(Qt::Key_F5);
    EXPECT_EQ(scanned, 2);
    EXPECT_EQ(View().Items.Count(), 2) << "the root and the one folder found before Esc";
    EXPECT_EQ(StoredTree(), saved);
    EXPECT_TRUE(window->isVisible());
    View().OnScan = step;
    Key(Qt::Key_F5);
    EXPECT_NE(Node("C:\\Data\\Music\\Jazz"), nullptr);
    EXPECT_TRUE(StoredTree().contains(QStringLiteral("C:\\Data\\Music\\Jazz")));
}

TEST(TreeWindowPlacement, RestoresAndReportsItsPlacement)
{
    TTreeWindowSettings settings;
    settings.geometry = QRect(40, 50, 640, 480);
    settings.fontName = QStringLiteral("Sans");
    settings.fontSize = 0; // unusable sizes still give a drawable tree
    TfTree window(nullptr, settings);
    EXPECT_FALSE(window.Maximized());
    EXPECT_EQ(window.Placement().size(), QSize(640, 480));
    EXPECT_GE(window.FolderView->RowHeight, 1);
    settings.maximized = true;
    TfTree maximized(nullptr, settings);
    EXPECT_TRUE(maximized.Maximized());
}

} // namespace
} // namespace kestrel
