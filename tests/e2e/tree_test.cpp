#include "tests/e2e/e2e.h"

#include "panel/kfileview.h"
#include "tree/ftree.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace kestrel::test {
namespace {

// The folder tree window as the Tree command (F10) and the folder questions
// open it.
class TreeTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFolder(QStringLiteral("C:\\Data\\Music\\Rock"));
        MakeFolder(QStringLiteral("C:\\Data\\Pictures"));
        MakeFolder(QStringLiteral("D:\\Docs\\Letters"));
    }
};

TEST_F(TreeTest, F10MovesThePanelToTheChosenFolder)
{
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *dialog) {
        auto *tree = qobject_cast<TfTree *>(dialog);
        ASSERT_TRUE(tree) << "not the folder tree";
        EXPECT_EQ(tree->windowTitle(), QStringLiteral("Select Folder"));
        // It opens on the panel's folder.
        EXPECT_EQ(tree->Address->text(), QStringLiteral("C:\\Data"));
        EXPECT_EQ(tree->Volume->text(), QStringLiteral("Local"));
        Type(QStringLiteral("mu"));
        EXPECT_TRUE(tree->lFind->isVisible());
        EXPECT_EQ(tree->lFind->text(), QStringLiteral(" MU"));
        Key(Qt::Key_Right);
        EXPECT_EQ(tree->Address->text(), QStringLiteral("C:\\Data\\Music\\Rock"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F10);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_TRUE(WaitFor([this] {
        return Panel().Folder() == QStringLiteral("C:\\Data\\Music\\Rock");
    })) << Panel().Folder().toStdString();

    // Another drive through Shift and its letter; Escape changes nothing.
    WhenDialog([this](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<TfTree *>(dialog));
        ChooseInTree(QStringLiteral("D:\\Docs\\Letters"));
    });
    Key(Qt::Key_F10);
    EXPECT_TRUE(WaitFor([this] { return Panel().Folder() == QStringLiteral("D:\\Docs\\Letters"); }))
        << Panel().Folder().toStdString();
    WhenDialog([this](QWidget *) { Key(Qt::Key_Escape); });
    Key(Qt::Key_F10);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("D:\\Docs\\Letters"));
    // The window's place is kept in the settings file.
    EXPECT_TRUE(Contents(Home(QStringLiteral("kestrel.ini"))).contains("Tree=0,"))
        << Contents(Home(QStringLiteral("kestrel.ini"))).constData();
}

TEST_F(TreeTest, FoldersMadeAndRenamedInTheTreeAreOnDisk)
{
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *dialog) {
        auto *tree = qobject_cast<TfTree *>(dialog);
        ASSERT_TRUE(tree);
        WhenDialog([this](QWidget *ask) {
            EXPECT_EQ(ask->windowTitle(), QStringLiteral("New Folder"));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type(QStringLiteral("films"));
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_F7);
        EXPECT_EQ(tree->Address->text(), QStringLiteral("C:\\Data\\films"));
        WhenDialog([this](QWidget *ask) {
            EXPECT_EQ(ask->windowTitle(), QStringLiteral("Rename"));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type(QStringLiteral("movies"));
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_F2);
        EXPECT_EQ(tree->Address->text(), QStringLiteral("C:\\Data\\movies"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F10);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\movies")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\films")));
    EXPECT_TRUE(WaitFor([this] { return Panel().Folder() == QStringLiteral("C:\\Data\\movies"); }))
        << Panel().Folder().toStdString();
}

TEST_F(TreeTest, AFolderGoneSinceTheTreeWasStoredIsDroppedWhenChosen)
{
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *) { Key(Qt::Key_Escape); });
    Key(Qt::Key_F10); // stores the tree of C:
    ASSERT_EQ(PendingDialogSteps(), 0);
    ASSERT_TRUE(
        QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\Pictures")))).removeRecursively());
    QString said;
    WhenDialog([this, &said](QWidget *dialog) {
        auto *tree = qobject_cast<TfTree *>(dialog);
        ASSERT_TRUE(tree);
        Type(QStringLiteral("pic"));
        EXPECT_EQ(tree->Address->text(), QStringLiteral("C:\\Data\\Pictures"));
        WhenDialog([this, &said](QWidget *box) {
            ASSERT_TRUE(qobject_cast<QMessageBox *>(box));
            said = qobject_cast<QMessageBox *>(box)->text();
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_Return);
        EXPECT_TRUE(tree->isVisible());
        EXPECT_EQ(tree->FolderView->Items.FindItem(QStringLiteral("C:\\Data\\Pictures")), nullptr);
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_F10);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(said, QStringLiteral("The system cannot find the folder specified"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
}

} // namespace
} // namespace kestrel::test
