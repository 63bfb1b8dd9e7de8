#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"
#include "platform/fileapi.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>

namespace kestrel::test {
namespace {

using PathsTest = EndToEndTest;

QString Canonical(const QByteArray &native)
{
    return QDir(QString::fromUtf8(native)).canonicalPath();
}

// Selects two entries with Space, runs Tools > Save Selected List from the
// keyboard and answers the save dialog with typed text and Enter.
class SaveListTest : public PathsTest {
protected:
    void SetUp() override
    {
        PathsTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "aaa");
        MakeFile(QStringLiteral("C:\\Data\\b.doc"), "bb");
        MakeFile(QStringLiteral("C:\\Data\\c.txt"), "c");
        MakeFolder(QStringLiteral("C:\\Out"));
    }
    void SelectAndSave(const QString &typed)
    {
        Start({QStringLiteral("C:\\Data")});
        Focus(QStringLiteral("a.txt"));
        Key(Qt::Key_Space);
        Focus(QStringLiteral("c.txt"));
        Key(Qt::Key_Space);
        WhenDialog([this, typed](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            ASSERT_TRUE(files) << "not a file dialog";
            // The dialog opens in the panel's folder, offering a plain name.
            EXPECT_EQ(files->directory().canonicalPath(),
                      Canonical(Native(QStringLiteral("C:\\Data"))));
            const auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_TRUE(name);
            EXPECT_EQ(name->text(), QStringLiteral("list.txt"));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type(typed);
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_T, Qt::AltModifier);
        Key(Qt::Key_S);
        ASSERT_TRUE(WaitFor([this] { return PendingDialogSteps() == 0; }))
            << "the save dialog never opened";
    }
    void ExpectList(const QString &file)
    {
        ASSERT_TRUE(WaitFor([&] { return Exists(file); })) << "nothing was saved";
        const QByteArray list = Contents(file);
        EXPECT_TRUE(list.startsWith("C:\\Data\r\n\r\na.txt  ")) << list.constData();
        EXPECT_TRUE(list.contains("\r\nc.txt  ")) << list.constData();
        EXPECT_FALSE(list.contains("b.doc")) << list.constData();
        EXPECT_TRUE(list.endsWith("\r\n0 Folders, 2 Files\r\n4 bytes\r\n")) << list.constData();
    }
};

// The dialog used to open at "/" with "C:\Data\list.txt" as the name, and
// the path it returned was read as a Windows path, so nothing was saved.
TEST_F(SaveListTest, TypedNameIsSavedInThePanelsFolder)
{
    SelectAndSave(QStringLiteral("mine.txt"));
    ExpectList(QStringLiteral("C:\\Data\\mine.txt"));
}

TEST_F(SaveListTest, TypedNativePathIsSavedThere)
{
    SelectAndSave(QString::fromUtf8(Native(QStringLiteral("C:\\Out\\sel.txt"))));
    ExpectList(QStringLiteral("C:\\Out\\sel.txt"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\list.txt")));
}

// Other programs get native paths: Copy Path Name used to put "C:\\Data\\b.doc"
// on the clipboard, which nothing outside the program can open.
TEST_F(PathsTest, CopyPathNameGivesTheNativePath)
{
    MakeFile(QStringLiteral("C:\\Data\\b.doc"), "bb");
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("b.doc"));
    Key(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data\\b.doc"))));
}

// Open with Parameters runs the focused program with "!\\" and "!:" as native
// paths (they used to arrive as "C:\\Data\\" and "C:").
TEST_F(PathsTest, OpenWithParametersHandsNativePaths)
{
    const QString script = QStringLiteral("C:\\Data\\args.sh");
    MakeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > out.tmp && mv out.tmp out.txt\n");
    QFile::setPermissions(QString::fromUtf8(Native(script)),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("args.sh"));
    WhenDialog([this](QWidget *) {
        Type(QStringLiteral("!\\ !: !.!"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_Return, Qt::ControlModifier);
    const QString out = QStringLiteral("C:\\Data\\out.txt");
    ASSERT_TRUE(WaitFor([&] { return Exists(out); })) << "the program did not run";
    EXPECT_EQ(Contents(out), Native(QStringLiteral("C:\\Data")) + "/\n" +
                                 Native(QStringLiteral("C:\\")) + "\nargs.sh\n");
}

// Entering a link to a folder used to show C:\\Data, and Backspace then went
// to C:\\ instead of back to the folder holding the link.
TEST_F(PathsTest, LinkToAFolderKeepsTheWayBack)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "i");
    MakeFolder(QStringLiteral("C:\\Mixed"));
    ASSERT_TRUE(sys::CreateSymbolicLink(QStringLiteral("C:\\Mixed\\LINK_TO_DATA"),
                                        QString::fromUtf8(Native(QStringLiteral("C:\\Data"))),
                                        sys::SYMBOLIC_LINK_FLAG_DIRECTORY));
    Start({QStringLiteral("C:\\Mixed")});
    Focus(QStringLiteral("LINK_TO_DATA"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Mixed\\LINK_TO_DATA"));
    EXPECT_EQ(Panel().Title, QStringLiteral("LINK_TO_DATA"));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("a.txt")));
    Focus(QStringLiteral("Sub"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Mixed\\LINK_TO_DATA\\Sub"));
    // Moving the focus ends the quick search that found the folder, so that
    // Backspace goes up instead of taking back a letter of the search.
    Key(Qt::Key_Down);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(FocusedName(), QStringLiteral("Sub"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Mixed"));
    EXPECT_EQ(FocusedName(), QStringLiteral("LINK_TO_DATA"));

    // A file cut inside the link's folder and pasted elsewhere is the one
    // the link leads to; the link itself stays.
    Key(Qt::Key_Return);
    Focus(QStringLiteral("a.txt"));
    Key(Qt::Key_X, Qt::ControlModifier);
    Key(Qt::Key_D, Qt::ShiftModifier);
    ASSERT_EQ(Panel().Folder(), QStringLiteral("D:\\"));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return Exists(QStringLiteral("D:\\a.txt")); }));
    EXPECT_EQ(Contents(QStringLiteral("D:\\a.txt")), "a");
    EXPECT_TRUE(WaitFor([this] { return !Exists(QStringLiteral("C:\\Data\\a.txt")); }));
    QString target;
    EXPECT_TRUE(sys::ReadSymbolicLink(QStringLiteral("C:\\Mixed\\LINK_TO_DATA"), target));
}

} // namespace
} // namespace kestrel::test
