#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"
#include "platform/names.h"

#include <QDir>

namespace kestrel::test {
namespace {

// The desktop opens a folder with Kestrel by starting it with the folder's
// native path as the only argument ("Exec=kestrel %f").
class DesktopTest : public EndToEndTest {
protected:
    QString NativeArg(const QString &winPath) const { return sys::DecodeName(Native(winPath)); }
};

TEST_F(DesktopTest, NativeFolderOpensInThePanel)
{
    MakeFile(QStringLiteral("C:\\Data\\My Files\\inner.txt"), "x");
    Start({NativeArg(QStringLiteral("C:\\Data\\My Files"))});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\My Files"));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("inner.txt")));
}

// A folder whose name ends in a blank used to lose the blank and open its
// namesake without one.
TEST_F(DesktopTest, FolderNameEndingInABlank)
{
    MakeFile(QStringLiteral("C:\\Data\\Trail \\inner.txt"), "x");
    MakeFile(QStringLiteral("C:\\Data\\Trail\\other.txt"), "y");
    Start({NativeArg(QStringLiteral("C:\\Data\\Trail "))});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Trail "));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("inner.txt")));
}

// From a terminal: a folder relative to the one the program starts in.
TEST_F(DesktopTest, RelativeFolder)
{
    MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "x");
    ASSERT_TRUE(QDir::setCurrent(NativeArg(QStringLiteral("C:\\Data"))));
    Start({QStringLiteral("Sub")});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    Quit();
    // The panel took the process's current folder along; a new start
    // begins where the terminal is.
    ASSERT_TRUE(QDir::setCurrent(NativeArg(QStringLiteral("C:\\Data"))));
    Start({QStringLiteral(".")});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
}

// Not a folder, or no such folder: the start goes on as without one.
TEST_F(DesktopTest, NoFolderNoChange)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    Start({NativeArg(QStringLiteral("C:\\Data\\a.txt"))});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\"));
    Quit();
    Start({NativeArg(QStringLiteral("C:\\Data\\Gone"))});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\"));
}

} // namespace
} // namespace kestrel::test
