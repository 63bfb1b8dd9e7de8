#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"
#include "platform/faults.h"

#include <QDir>
#include <QList>

#include <QMessageBox>
#include <iterator>

namespace kestrel::test {
namespace {

// Enter on an entry that cannot be opened says so, naming the entry.
class OpenTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        // No automatic reload: the panel keeps showing an entry that is gone.
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    }
    void TearDown() override
    {
        sys::ClearFaults();
        EndToEndTest::TearDown();
    }

    // Presses Enter on the focused entry and returns the text of the error
    // box it opens ("" when none opened), closing the box with Enter.
    QString EnterAndReadError()
    {
        QString text;
        QString title;
        WhenDialog([&](QWidget *dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                text = box->text();
                title = box->windowTitle();
            }
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_Return);
        EXPECT_EQ(PendingDialogSteps(), 0) << "no error box opened";
        EXPECT_EQ(title, QStringLiteral("Error"));
        return text;
    }
};

TEST_F(OpenTest, FolderThatVanishedIsReported)
{
    MakeFolder(QStringLiteral("C:\\Data\\Gone"));
    Start({QStringLiteral("C:\\Data")});
    ASSERT_TRUE(
        QDir(QString::fromLocal8Bit(Native(QStringLiteral("C:\\Data\\Gone")))).removeRecursively());
    Focus(QStringLiteral("Gone"));
    const QString text = EnterAndReadError();
    EXPECT_TRUE(text.contains(QStringLiteral("C:\\Data\\Gone"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("cannot find"))) << text.toStdString();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    // The panel goes on working after the box.
    Key(Qt::Key_Home);
    EXPECT_EQ(FocusWindow(), Main().windowHandle());
}

// The tests run as root, who may enter any folder whatever its permissions;
// the platform layer makes the entry fail as it does for a user without the
// right to list the folder.
TEST_F(OpenTest, FolderThatCannotBeEnteredIsReported)
{
    MakeFolder(QStringLiteral("C:\\Data\\Locked"));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("Locked"));
    sys::InjectFault(sys::FaultOp::Enter, 1, sys::ERROR_ACCESS_DENIED);
    const QString text = EnterAndReadError();
    EXPECT_TRUE(text.contains(QStringLiteral("C:\\Data\\Locked"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Access is denied."))) << text.toStdString();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
}

TEST_F(OpenTest, FileWithoutAnAssociatedProgramIsReported)
{
    MakeFolder(QStringLiteral("C:\\Desktop"));
    const EmptyDesktop desktop(Native(QStringLiteral("C:\\Desktop")));
    MakeFile(QStringLiteral("C:\\Data\\blob.kqz"), QByteArray(64, '\0'));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("blob.kqz"));
    const QString text = EnterAndReadError();
    EXPECT_TRUE(text.contains(QStringLiteral("C:\\Data\\blob.kqz"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("No program"))) << text.toStdString();
}

} // namespace
} // namespace kestrel::test
