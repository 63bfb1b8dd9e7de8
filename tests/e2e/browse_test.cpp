#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

namespace kestrel::test {
namespace {

using BrowseTest = EndToEndTest;

// Enter opens the focused folder, Backspace returns with the old folder
// focused, and the folder is remembered across a restart.
TEST_F(BrowseTest, EnterBackspaceAndRestart)
{
    MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "x");
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    Start({QStringLiteral("C:\\Data")});
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    Focus(QStringLiteral("Sub"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("inner.txt")));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(FocusedName(), QStringLiteral("Sub"));
    Focus(QStringLiteral("Sub"));
    Key(Qt::Key_Return);
    Quit();
    Start();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
}

} // namespace
} // namespace kestrel::test
