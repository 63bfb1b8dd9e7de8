#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

namespace kestrel::test {
namespace {

class ClipboardTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(QStringLiteral("C:\\A\\one.txt"), "first");
        MakeFile(QStringLiteral("C:\\A\\two.txt"), "second");
        MakeFile(QStringLiteral("C:\\A\\three.txt"), "third");
        MakeFolder(QStringLiteral("D:\\B"));
    }

    // Shift and a drive letter open the drive's root; the folder is typed.
    void Open(Qt::Key drive, const QString &folder)
    {
        Key(drive, Qt::ShiftModifier);
        Focus(folder);
        Key(Qt::Key_Return);
    }
};

TEST_F(ClipboardTest, CopyCutAndPasteBetweenTwoFolders)
{
    Start({QStringLiteral("C:\\A")});

    // Copy: the focused file.
    Focus(QStringLiteral("one.txt"));
    Key(Qt::Key_C, Qt::ControlModifier);
    Open(Qt::Key_D, QStringLiteral("B"));
    ASSERT_EQ(Panel().Folder(), QStringLiteral("D:\\B"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Contents(QStringLiteral("D:\\B\\one.txt")), "first");
    EXPECT_EQ(Contents(QStringLiteral("C:\\A\\one.txt")), "first");
    EXPECT_TRUE(WaitFor([this] { return PanelNames().contains(QStringLiteral("one.txt")); }))
        << "the panel did not show the pasted file";

    // Cut: two selected files move.
    Open(Qt::Key_C, QStringLiteral("A"));
    ASSERT_EQ(Panel().Folder(), QStringLiteral("C:\\A"));
    Focus(QStringLiteral("two.txt"));
    Key(Qt::Key_Space);
    Focus(QStringLiteral("three.txt"));
    Key(Qt::Key_Space);
    ASSERT_EQ(Panel().SelCount, 2);
    Key(Qt::Key_X, Qt::ControlModifier);
    Open(Qt::Key_D, QStringLiteral("B"));
    ASSERT_EQ(Panel().Folder(), QStringLiteral("D:\\B"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Contents(QStringLiteral("D:\\B\\two.txt")), "second");
    EXPECT_EQ(Contents(QStringLiteral("D:\\B\\three.txt")), "third");
    EXPECT_FALSE(Exists(QStringLiteral("C:\\A\\two.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\A\\three.txt")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\A\\one.txt")));
    EXPECT_EQ(FocusWidget(), &Panel());
}

} // namespace
} // namespace kestrel::test
