#include "app/favorites.h"
#include "app/mainwindow.h"
#include "app/navigationbar.h"
#include "app/organizefav.h"
#include "app/stringhistory.h"
#include "panel/kfileview.h"

#include "tests/archive/zipfixture.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace kestrel {
namespace {

using test::QuestionKind;

const QString kFavorites = QStringLiteral("C:\\Home\\favorite.dat");

QString Dir(const char *name)
{
    return QStringLiteral("C:\\") + QLatin1String(name);
}

// The main window on the test machine, driven through its commands and the
// panel's keys, dialogs answered by a ScriptedAsk.
class NavigationTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
        qputenv("KESTREL_HOME", Native(QStringLiteral("C:\\Home")));
        MakeFile(QStringLiteral("C:\\Home\\kestrel.ini"), "[Option]\r\nAutoRefresh=0\r\n");
        for (const char *name : {"A", "B", "C", "D"})
            MakeFolder(Dir(name));
    }
    void Start(const QString &folder = Dir("A"))
    {
        w = std::make_unique<TfMain>(QStringList{folder});
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->FileView()->setFocus();
    }
    void Visit(const char *name) { ASSERT_TRUE(w->SetFolder(Dir(name))) << name; }
    QString Folder() const { return w->FileView()->Folder(); }
    TStringHistory &History() const { return *w->History(); }
    TNavigationBar &Nav() const { return *w->Navigation(); }
    QStringList Entries() const
    {
        QStringList entries;
        for (int i = 0; i <= History().Last(); ++i)
            entries << History().Get(i);
        return entries;
    }
    static QStringList Captions(QMenu *menu)
    {
        Q_EMIT menu->aboutToShow();
        QStringList captions;
        for (const QAction *action : menu->actions())
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return captions;
    }

    test::ScriptedAsk ask;
    std::unique_ptr<TfMain> w;
};

TEST_F(NavigationTest, OpeningAFolderAfterGoingBackDropsTheForwardEntries)
{
    Start();
    Visit("B");
    Visit("C");
    w->RunCommand(TCmd::Back);
    w->RunCommand(TCmd::Back);
    EXPECT_EQ(Folder(), Dir("A"));
    EXPECT_TRUE(Nav().ForwardButton()->isEnabled());
    EXPECT_FALSE(Nav().BackButton()->isEnabled());
    Visit("D");
    EXPECT_EQ(Entries(), (QStringList{Dir("A"), Dir("D")}));
    EXPECT_FALSE(Nav().ForwardButton()->isEnabled());
    EXPECT_TRUE(Nav().BackButton()->isEnabled());
    // Forward with nothing ahead changes nothing.
    w->RunCommand(TCmd::Forward);
    EXPECT_EQ(Folder(), Dir("D"));
}

// Back and Forward move through the history without adding to it; the
// menus list the folders behind and ahead, and choosing one from the Back
// menu is a new visit.
TEST_F(NavigationTest, BackAndForwardAddNothingButAChosenMenuEntryDoes)
{
    Start();
    Visit("B");
    Visit("C");
    Visit("D");
    w->RunCommand(TCmd::Back);
    w->RunCommand(TCmd::Back);
    EXPECT_EQ(Folder(), Dir("B"));
    w->RunCommand(TCmd::Forward);
    EXPECT_EQ(Folder(), Dir("C"));
    EXPECT_EQ(Entries(), (QStringList{Dir("A"), Dir("B"), Dir("C"), Dir("D")}));
    EXPECT_EQ(History().Current(), 2);
    EXPECT_EQ(Captions(Nav().BackMenu()), (QStringList{Dir("A"), Dir("B")}));
    EXPECT_EQ(Captions(Nav().ForwardMenu()), QStringList{Dir("D")});

    Nav().BackMenu()->actions().at(0)->trigger();
    EXPECT_EQ(Folder(), Dir("A"));
    EXPECT_EQ(Entries(), (QStringList{Dir("A"), Dir("B"), Dir("C"), Dir("A")}));
    EXPECT_FALSE(Nav().ForwardButton()->isEnabled());
    // The tool button runs the same command as the menu.
    Nav().BackButton()->click();
    EXPECT_EQ(Folder(), Dir("C"));
}

// A Back into a folder that has gone used to leave the one-shot flag set, so
// the next real visit was not recorded.
TEST_F(NavigationTest, BackIntoAVanishedFolderStillRecordsTheNextVisit)
{
    Start();
    Visit("B");
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(Dir("A")))).removeRecursively());
    ask.ExpectMessageBox(mrOk);
    w->RunCommand(TCmd::Back);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_TRUE(ask.asked[0].text.contains(Dir("A"))) << ask.asked[0].text.toStdString();
    EXPECT_EQ(Folder(), Dir("B"));
    Visit("C");
    EXPECT_EQ(History().Get(History().Current()), Dir("C"));
    EXPECT_EQ(Entries(), (QStringList{Dir("A"), Dir("C")}));
}

TEST_F(NavigationTest, BrowsingInsideAnArchiveAddsNothing)
{
    test::WriteLibZip(Native(QStringLiteral("C:\\A\\pack.zip")),
                      {{QStringLiteral("doc/a.txt"), "aaaa"}, {QStringLiteral("top.txt"), "t"}});
    Start();
    auto *view = w->FileView();
    view->SetFocused(view->Files.IndexOf(QStringLiteral("pack.zip")));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(view->OwnerData());
    view->SetFocused(view->Files.IndexOf(QStringLiteral("doc")));
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Backspace);
    ASSERT_FALSE(view->OwnerData());
    EXPECT_EQ(Folder(), Dir("A"));
    EXPECT_EQ(Entries(), QStringList{Dir("A")});
}

TEST_F(NavigationTest, BackFromFoundEntriesReturnsToTheFolderTheyWereFedIn)
{
    Start();
    Visit("B");
    ASSERT_TRUE(w->FileView()->ShowFound(Dir("A"), {QStringLiteral("x")}));
    w->RunCommand(TCmd::Back);
    EXPECT_FALSE(w->FileView()->FoundMode());
    EXPECT_EQ(Folder(), Dir("B"));
    EXPECT_EQ(Entries(), (QStringList{Dir("A"), Dir("B")}));
}

TEST_F(NavigationTest, AnArchiveOpenedFromFoundEntriesClosesIntoItsOwnFolder)
{
    test::WriteLibZip(Native(QStringLiteral("C:\\A\\In\\pack.zip")),
                      {{QStringLiteral("top.txt"), "t"}});
    Start();
    auto *view = w->FileView();
    ASSERT_TRUE(view->ShowFound(Dir("A"), {QStringLiteral("In\\pack.zip")}));
    view->SetFocused(view->Files.IndexOf(QStringLiteral("In\\pack.zip")));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(view->OwnerData());
    QTest::keyClick(view, Qt::Key_Backspace);
    ASSERT_FALSE(view->OwnerData());
    EXPECT_EQ(Folder(), QStringLiteral("C:\\A\\In"));
    EXPECT_EQ(view->GetItemFocused()->GetFullName(), QStringLiteral("pack.zip"));
}

// Enter in the address box goes to the typed folder and gives the keys back
// to the panel; the list holds the drives by volume name, then Network.
TEST_F(NavigationTest, AddressBoxGoesToTypedFoldersAndListsTheDrives)
{
    Start();
    TAddressBox *box = Nav().Address();
    EXPECT_EQ(box->currentText(), Dir("A"));
    QTest::keyClick(w->FileView(), Qt::Key_Tab);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(w->FileView()->hasFocus());
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, QStringLiteral("c:\\b"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Folder(), Dir("B"));
    EXPECT_TRUE(w->FileView()->hasFocus());
    EXPECT_EQ(box->currentText(), Dir("B"));
    EXPECT_EQ(box->count(), 0); // Enter added no line

    box->showPopup();
    QStringList lines;
    for (int i = 0; i < box->count(); ++i)
        lines << box->itemText(i);
    box->hidePopup();
    EXPECT_TRUE(lines.contains(QStringLiteral("Floppy (A:)"))) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Local (C:)")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Data (D:)")));
    EXPECT_TRUE(lines.contains(QStringLiteral("DISC1 (E:)")));
    EXPECT_EQ(lines.last(), QStringLiteral("Network"));
    EXPECT_EQ(box->currentText(), Dir("B")); // filling the list keeps the text

    Q_EMIT box->activated(int(lines.indexOf(QStringLiteral("Data (D:)"))));
    EXPECT_TRUE(Folder().startsWith(QStringLiteral("D:\\"))) << Folder().toStdString();
    EXPECT_EQ(box->currentText(), Folder());
    EXPECT_EQ(History().Get(History().Current()), Folder());
}

TEST_F(NavigationTest, AFolderThatCannotBeOpenedFromTheAddressBoxIsReported)
{
    Start();
    ask.ExpectMessageBox(mrOk);
    Nav().Address()->OnEnter(QStringLiteral("C:\\Nowhere"));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_TRUE(ask.asked[0].text.contains(QStringLiteral("C:\\Nowhere")));
    EXPECT_EQ(Folder(), Dir("A"));
    EXPECT_EQ(Entries(), QStringList{Dir("A")});
}

// The menu lists the file's entries, then the fixed items; Shift+Fn goes to
// entry n, and past the last entry does nothing (it used to reach a fixed
// item of the menu).
TEST_F(NavigationTest, FavoritesMenuAndShiftFunctionKeys)
{
    MakeFile(kFavorites, "Tools=C:\\C\r\nbroken line\r\nFourth=C:\\D\r\n");
    Start();
    EXPECT_EQ(
        Captions(Nav().FavoritesMenu()),
        (QStringList{QStringLiteral("Tools"), QStringLiteral("Fourth"), QStringLiteral("-"),
                     QStringLiteral("Add to Favorites"), QStringLiteral("Organize Favorites")}));
    QTest::keyClick(w->FileView(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(Folder(), Dir("C"));
    QTest::keyClick(w->FileView(), Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(Folder(), Dir("D"));
    for (Qt::Key key : {Qt::Key_F3, Qt::Key_F4, Qt::Key_F12})
        QTest::keyClick(w->FileView(), key, Qt::ShiftModifier);
    EXPECT_EQ(Folder(), Dir("D"));
    EXPECT_TRUE(ask.asked.isEmpty());

    Nav().FavoritesMenu()->actions().at(0)->trigger();
    EXPECT_EQ(Folder(), Dir("C"));
}

TEST_F(NavigationTest, AddToFavoritesAppendsThePanelFolderAndRefusesEqualsSigns)
{
    MakeFolder(QStringLiteral("C:\\A\\Music"));
    Start(QStringLiteral("C:\\A\\Music"));
    ask.ExpectGetString(mrOk, QStringLiteral("My Music"));
    Captions(Nav().FavoritesMenu());
    Nav().FavoritesMenu()->actions().at(1)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ask.asked.size() == 1; }));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Add Favorites"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("\"C:\\A\\Music\"\n\nDisplay Name"));
    EXPECT_EQ(Contents(kFavorites), QByteArray("My Music=C:\\A\\Music\r\n"));
    // The new entry is in the menu the next time it drops down.
    EXPECT_EQ(Captions(Nav().FavoritesMenu()).first(), QStringLiteral("My Music"));

    ask.ExpectGetString(mrOk, QStringLiteral("a=b"));
    ask.ExpectMessageBox(mrOk);
    Nav().FavoritesMenu()->actions().at(2)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ask.asked.size() == 3; }));
    EXPECT_EQ(ask.asked[2].kind, QuestionKind::MessageBox);
    EXPECT_EQ(Contents(kFavorites), QByteArray("My Music=C:\\A\\Music\r\n"));
}

class OrganizeTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
    }
    void Open()
    {
        dialog = std::make_unique<TfOrganizeFav>(nullptr, kFavorites, QStringLiteral("C:\\Panel"));
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < dialog->Entries->count(); ++i)
            rows << dialog->Entries->item(i)->text();
        return rows;
    }

    test::ScriptedAsk ask;
    std::unique_ptr<TfOrganizeFav> dialog;
};

TEST_F(OrganizeTest, UpThenCancelLeavesTheFileAsItWas)
{
    const QByteArray before = "One=C:\\1\r\nTwo=C:\\2\r\njunk\r\n";
    MakeFile(kFavorites, before);
    Open();
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
    EXPECT_EQ(dialog->Entries->currentRow(), 0);
    dialog->Entries->setCurrentRow(1);
    dialog->UpBtn->click();
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("Two"), QStringLiteral("One")}));
    EXPECT_EQ(dialog->Entries->currentRow(), 0);
    dialog->CancelBtn->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Contents(kFavorites), before);
}

// The selected entry's name, path and key; the key label follows the row.
TEST_F(OrganizeTest, SelectedEntryShowsItsNamePathAndKey)
{
    QByteArray text;
    for (int i = 1; i <= 13; ++i)
        text += "N" + QByteArray::number(i) + "=C:\\P" + QByteArray::number(i) + "\r\n";
    MakeFile(kFavorites, text);
    Open();
    EXPECT_EQ(dialog->Item->text(), QStringLiteral("N1"));
    EXPECT_EQ(dialog->ItemPath->text(), QStringLiteral("C:\\P1"));
    EXPECT_EQ(dialog->Shortcut->text(), QStringLiteral("( Shift + F1 )"));
    EXPECT_TRUE(dialog->Item->font().bold());
    EXPECT_EQ(dialog->Item->toolTip(), QStringLiteral("Rename"));
    EXPECT_EQ(dialog->ItemPath->toolTip(), QStringLiteral("Change Path"));
    dialog->Entries->setCurrentRow(11);
    EXPECT_EQ(dialog->Shortcut->text(), QStringLiteral("( Shift + F12 )"));
    dialog->Entries->setCurrentRow(12);
    EXPECT_EQ(dialog->Shortcut->text(), QString());
    dialog->DownBtn->click(); // the last entry stays last
    EXPECT_EQ(Rows().last(), QStringLiteral("N13"));
}

// With no entries nothing can be renamed, moved or deleted; Add starts at
// the panel's folder and proposes its last component.
TEST_F(OrganizeTest, EmptyListDisablesEntryControlsAndAddStartsAtThePanelFolder)
{
    Open();
    for (QWidget *control :
         {static_cast<QWidget *>(dialog->Item), static_cast<QWidget *>(dialog->ItemPath),
          static_cast<QWidget *>(dialog->DeleteBtn), static_cast<QWidget *>(dialog->UpBtn),
          static_cast<QWidget *>(dialog->DownBtn)})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(dialog->AddBtn->isEnabled());

    ask.Expect({QuestionKind::SelectFolder, 1, QStringLiteral("C:\\Picked\\Songs")});
    ask.ExpectGetString(mrOk, QStringLiteral("Songs!"));
    dialog->AddBtn->click();
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Select Folder"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("C:\\Panel"));
    EXPECT_EQ(ask.asked[1].caption, QStringLiteral("Favorites"));
    EXPECT_EQ(ask.asked[1].text, QStringLiteral("Display Name"));
    EXPECT_EQ(Rows(), QStringList{QStringLiteral("Songs!")});
    EXPECT_TRUE(dialog->DeleteBtn->isEnabled());
    EXPECT_FALSE(Exists(kFavorites)); // nothing written before OK

    dialog->OkBtn->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Contents(kFavorites), QByteArray("Songs!=C:\\Picked\\Songs\r\n"));
}

TEST_F(OrganizeTest, RenameChangePathAndDeleteThenOkWritesTheList)
{
    MakeFile(kFavorites, "One=C:\\1\r\nTwo=C:\\2\r\nThree=C:\\3\r\n");
    Open();
    // A name with "=" is refused and the entry keeps its name.
    ask.ExpectGetString(mrOk, QStringLiteral("Un=o"));
    ask.ExpectMessageBox(mrOk);
    dialog->Item->click();
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("New display name"));
    EXPECT_EQ(Rows().first(), QStringLiteral("One"));

    ask.ExpectGetString(mrOk, QStringLiteral("Uno"));
    dialog->Item->click();
    // A folder whose name holds a line break is refused.
    ask.Expect({QuestionKind::SelectFolder, 1, QStringLiteral("C:\\two\nlines")});
    ask.ExpectMessageBox(mrOk);
    dialog->ItemPath->click();
    EXPECT_EQ(dialog->ItemPath->text(), QStringLiteral("C:\\1"));
    EXPECT_EQ(dialog->Item->text(), QStringLiteral("Uno"));

    ask.Expect({QuestionKind::SelectFolder, 1, QStringLiteral("D:\\Elsewhere")});
    dialog->ItemPath->click();
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("C:\\1"));
    EXPECT_EQ(dialog->ItemPath->text(), QStringLiteral("D:\\Elsewhere"));

    dialog->Entries->setCurrentRow(1);
    ask.ExpectMessageBox(mrNo);
    dialog->DeleteBtn->click();
    EXPECT_EQ(Rows().size(), 3);
    ask.ExpectMessageBox(mrYes);
    dialog->DeleteBtn->click();
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("Are you sure to delete?"));
    EXPECT_EQ(ask.asked.last().flags & 0x0F, unsigned(MB_YESNO));
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("Uno"), QStringLiteral("Three")}));
    EXPECT_EQ(dialog->Entries->currentRow(), 1);

    dialog->OkBtn->click();
    EXPECT_EQ(Contents(kFavorites), QByteArray("Uno=D:\\Elsewhere\r\nThree=C:\\3\r\n"));
}

} // namespace
} // namespace kestrel
