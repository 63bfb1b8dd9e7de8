#include "tests/e2e/e2e.h"

#include "app/btnstatusbar.h"
#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QMenu>
#include <QToolButton>

namespace kestrel::test {
namespace {

class KeyHelpTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
        MakeFile(QStringLiteral("C:\\Data\\c.txt"), "c");
        Start({QStringLiteral("C:\\Data")});
        normal = Labels();
        ASSERT_TRUE(normal.value(0).startsWith(QLatin1String("F2="))) << Shown();
    }

    QStringList Labels() const { return Main().BtnStatusBar()->Items(); }
    std::string Shown() const { return Labels().join(QLatin1Char(' ')).toStdString(); }
    bool AltHelp() const { return Labels().contains(QStringLiteral("K=NewFolder")); }
    bool CtrlHelp() const { return Labels().contains(QStringLiteral("W=MyDocuments")); }
    bool PanelHasKeys() const
    {
        return WaitFor([this] { return FocusWidget() == &Panel(); });
    }

    QStringList normal;
};

// Releasing a lone Alt used to leave its help on the bar and hand the keys
// to the menu bar: the next Down opened the File menu.
TEST_F(KeyHelpTest, LoneAltShowsItsHelpOnlyWhileHeld)
{
    Press(Qt::Key_Alt);
    EXPECT_TRUE(AltHelp()) << Shown();
    Release(Qt::Key_Alt);
    EXPECT_EQ(Labels(), normal);
    EXPECT_EQ(FocusWidget(), &Panel());
    const QString before = FocusedName();
    Key(Qt::Key_Down);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a menu opened";
    EXPECT_NE(FocusedName(), before) << "Down did not reach the panel";

    // The menus stay reachable by Alt and their letter; Esc gives the keys back.
    Key(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(qobject_cast<QMenu *>(QApplication::activePopupWidget())) << "Alt+F opened no menu";
    Key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(PanelHasKeys());
    EXPECT_EQ(Labels(), normal);
    const QString next = FocusedName();
    Key(Qt::Key_Up);
    EXPECT_NE(FocusedName(), next) << "the panel lost the keys to the menu bar";
}

// A shortcut's key never reaches the panel as a key press; it still ends
// the help while the modifier is held.
TEST_F(KeyHelpTest, AnotherKeyEndsTheHelp)
{
    Press(Qt::Key_Control);
    EXPECT_TRUE(CtrlHelp()) << Shown();
    Press(Qt::Key_R, Qt::ControlModifier); // Refresh
    EXPECT_EQ(Labels(), normal);
    Release(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Labels(), normal);

    Press(Qt::Key_Alt);
    EXPECT_TRUE(AltHelp()) << Shown();
    Key(Qt::Key_Down);
    EXPECT_EQ(Labels(), normal);
    Release(Qt::Key_Alt);
    EXPECT_EQ(Labels(), normal);
}

// The modifier is released in the dialog the shortcut opened; the help used
// to stay on the bar after the dialog closed.
TEST_F(KeyHelpTest, HelpGoesWhenADialogOpensInBetween)
{
    Press(Qt::Key_Control);
    EXPECT_TRUE(CtrlHelp()) << Shown();
    WhenDialog([this](QWidget *) {
        Release(Qt::Key_N, Qt::ControlModifier);
        Key(Qt::Key_Escape);
    });
    Press(Qt::Key_N, Qt::ControlModifier); // Create New
    ASSERT_TRUE(PanelHasKeys());
    EXPECT_EQ(Labels(), normal) << Shown();

    Press(Qt::Key_Alt);
    EXPECT_TRUE(AltHelp()) << Shown();
    WhenDialog([this](QWidget *) {
        Release(Qt::Key_K, Qt::AltModifier);
        Key(Qt::Key_Escape);
    });
    Press(Qt::Key_K, Qt::AltModifier); // Create New Folder
    ASSERT_TRUE(PanelHasKeys());
    EXPECT_EQ(Labels(), normal) << Shown();

    // And the help still follows the keys afterwards.
    Press(Qt::Key_Control);
    EXPECT_TRUE(CtrlHelp()) << Shown();
    Release(Qt::Key_Control);
    EXPECT_EQ(Labels(), normal);
}

// At the default window width every label of both helps is readable whole:
// each button is at least as wide as its text needs.
TEST_F(KeyHelpTest, LabelsFitTheDefaultWidth)
{
    ASSERT_EQ(Main().width(), 550);
    for (const Qt::Key modifier : {Qt::Key_Alt, Qt::Key_Control}) {
        Press(modifier);
        const QList<QToolButton *> buttons = Main().BtnStatusBar()->findChildren<QToolButton *>();
        ASSERT_FALSE(buttons.isEmpty());
        for (QToolButton *button : buttons) {
            if (!button->isVisible())
                continue;
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
            EXPECT_GE(button->x(), 0);
            EXPECT_LE(button->geometry().right(), Main().BtnStatusBar()->width());
        }
        Release(modifier);
    }
}

} // namespace
} // namespace kestrel::test
