#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "app/navigationbar.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace kestrel::test {
namespace {

class FavoritesEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        for (const char *name : {"One", "Two", "Three"})
            MakeFolder(QStringLiteral("C:\\Data\\") + QLatin1String(name));
    }
    // The dialog's buttons are clicked: on the offscreen platform a dialog
    // opened from a menu gets no Alt shortcuts (they work on X11).
    static QPushButton *Button(QWidget *dialog, const QString &text)
    {
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text() == text)
                return button;
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    static QString FavoritesFile() { return Home(QStringLiteral("favorite.dat")); }
    // F11 drops the favourites menu; Up from the top reaches its last items.
    void ChooseFromFavoritesMenu(int upPresses)
    {
        When([this] { return Main().Navigation()->FavoritesMenu()->isVisible() && FocusWindow(); },
             [this, upPresses] {
                 for (int i = 0; i < upPresses; ++i)
                     Key(Qt::Key_Up);
                 Key(Qt::Key_Return);
             });
        Key(Qt::Key_F11);
    }
};

TEST_F(FavoritesEndToEnd, BackAndForwardByKeys)
{
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("One"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Backspace);
    Focus(QStringLiteral("Two"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Two"));
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\One"));
    Key(Qt::Key_Right, Qt::AltModifier);
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Two"));
    // At the newest entry Forward does nothing.
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Two"));
    EXPECT_FALSE(Main().Navigation()->ForwardButton()->isEnabled());
}

TEST_F(FavoritesEndToEnd, ShiftF1ReachesTheFirstFavourite)
{
    MakeFile(FavoritesFile(), "Tools=C:\\Data\\Three\r\n");
    Start({QStringLiteral("C:\\Data")});
    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Three"));
    // No second favourite: Shift+F2 leaves the panel where it is.
    Key(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Three"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(FavoritesEndToEnd, AddToFavoritesStoresThePanelFolder)
{
    Start({QStringLiteral("C:\\Data\\Two")});
    WhenDialog([this](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->text(), QStringLiteral("Two"));
        Type(QStringLiteral("Second"));
        Key(Qt::Key_Return);
    });
    ChooseFromFavoritesMenu(2);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Contents(FavoritesFile()), QByteArray("Second=C:\\Data\\Two\r\n"));
    Key(Qt::Key_Backspace);
    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Two"));
}

TEST_F(FavoritesEndToEnd, OrganizeFavoritesUpThenCancelLeavesTheFile)
{
    const QByteArray before = "First=C:\\Data\\One\r\nSecond=C:\\Data\\Two\r\n";
    MakeFile(FavoritesFile(), before);
    Start({QStringLiteral("C:\\Data")});
    QStringList shown;
    WhenDialog([this, &shown](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>();
        ASSERT_TRUE(list);
        Key(Qt::Key_Down);
        Click(Button(dialog, QStringLiteral("&Up")));
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        Key(Qt::Key_Escape);
    });
    ChooseFromFavoritesMenu(1);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Second"), QStringLiteral("First")}));
    EXPECT_EQ(Contents(FavoritesFile()), before);
}

TEST_F(FavoritesEndToEnd, OrganizeFavoritesDownThenOkWritesTheNewOrder)
{
    MakeFile(FavoritesFile(), "First=C:\\Data\\One\r\nSecond=C:\\Data\\Two\r\n");
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *dialog) {
        Click(Button(dialog, QStringLiteral("Do&wn")));
        Key(Qt::Key_Return);
    });
    ChooseFromFavoritesMenu(1);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Contents(FavoritesFile()),
              QByteArray("Second=C:\\Data\\Two\r\nFirst=C:\\Data\\One\r\n"));
    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Two"));
}

} // namespace
} // namespace kestrel::test
