#include "tests/e2e/e2e.h"

#include "app/commandlinebar.h"
#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>

namespace kestrel::test {
namespace {

class CommandLineTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "x");
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFolder(QStringLiteral("D:\\Backup"));
    }

    QComboBox *Box() const { return Main().CommandBar()->Command(); }
    bool BarOpen() const { return Main().CommandBar()->isVisible(); }

    // "/" in the panel opens the command box with the keyboard in it.
    void Open()
    {
        ASSERT_EQ(FocusWidget(), &Panel());
        Type(QStringLiteral("/"));
        ASSERT_TRUE(BarOpen()) << "\"/\" did not open the command line";
        ASSERT_TRUE(FocusWidget() == Box() || FocusWidget() == Box()->lineEdit());
        ASSERT_EQ(Box()->currentText(), QString());
    }

    // Types a command and presses Enter (the main or the keypad one).
    void Run(const QString &text, bool keypad = false)
    {
        Open();
        Type(text);
        ASSERT_EQ(Box()->currentText(), text);
        if (keypad)
            Key(Qt::Key_Enter, Qt::KeypadModifier);
        else
            Key(Qt::Key_Return);
        ExpectLeft();
    }

    // The box is gone, the status bar is back and the panel has the keys
    // (after a message box, once the window is active again).
    void ExpectLeft()
    {
        EXPECT_FALSE(BarOpen()) << "the command line stayed open";
        EXPECT_TRUE(StatusTexts().contains(Panel().EntryStatus())) << "the status bar stayed empty";
        EXPECT_TRUE(WaitFor([this] { return FocusWidget() == &Panel(); }))
            << "the panel did not get the keys back";
    }
};

TEST_F(CommandLineTest, CdFormsAndDriveWords)
{
    Start({QStringLiteral("C:\\Data")});
    Run(QStringLiteral("cd C:\\Data\\Sub"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    Run(QStringLiteral("cd.."), true);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    Run(QStringLiteral("cd Sub"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    Run(QStringLiteral("CD\\"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\"));
    Run(QStringLiteral("d:"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("D:\\"));
    Run(QStringLiteral("cd \"C:\\Data\""), true);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    // Backspace is the panel's again: up one level.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\"));
}

TEST_F(CommandLineTest, MenuOpensItAndEscapeOnlyLeaves)
{
    Start({QStringLiteral("C:\\Data")});
    Key(Qt::Key_S, Qt::AltModifier);
    Key(Qt::Key_A);
    ASSERT_TRUE(BarOpen()) << "System > Command Line did not open the command line";
    EXPECT_FALSE(StatusTexts().contains(Panel().EntryStatus()))
        << "the status texts share the bar with the box";
    Type(QStringLiteral("md Never"));
    Key(Qt::Key_Escape);
    ExpectLeft();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Never")));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));

    // Ctrl+C is the panel's Copy again: the focused file goes to the clipboard.
    Focus(QStringLiteral("a.txt"));
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasUrls());
    EXPECT_TRUE(data->urls().value(0).toLocalFile().endsWith(QLatin1String("/a.txt")));
}

// While the box is open, Ctrl+X, Ctrl+C and Ctrl+V edit its text.
TEST_F(CommandLineTest, EditKeysEditTheText)
{
    Start({QStringLiteral("C:\\Data")});
    QGuiApplication::clipboard()->clear();
    Open();
    Type(QStringLiteral("md One"));
    Key(Qt::Key_Home, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("md One"));
    Key(Qt::Key_End);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Home, Qt::ShiftModifier);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Box()->currentText(), QString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("md Onex"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box()->currentText(), QStringLiteral("md Onex"));
    Key(Qt::Key_Return);
    ExpectLeft();
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Onex")));
}

TEST_F(CommandLineTest, MdMakesAFolderOrSaysWhyNot)
{
    Start({QStringLiteral("C:\\Data")});
    Run(QStringLiteral("md Made"));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Made")));
    Run(QStringLiteral("mkdir \"With Blank\""));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\With Blank")));

    QString said;
    WhenDialog([&said, this](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        said = box->text();
        Key(Qt::Key_Return);
    });
    Run(QStringLiteral("md"));
    EXPECT_TRUE(said.contains(QLatin1String("md(mkdir) name"))) << said.toStdString();

    said.clear();
    WhenDialog([&said, this](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        said = box->text();
        Key(Qt::Key_Return);
    });
    Run(QStringLiteral("md Sub"));
    EXPECT_FALSE(said.isEmpty()) << "making an existing folder was not reported";
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Sub\\inner.txt")));
}

// Anything else runs as a program in the panel's folder, with the
// placeholders expanded and quoted arguments kept whole.
TEST_F(CommandLineTest, RunsAProgramInThePanelsFolder)
{
    const QString script = QStringLiteral("C:\\Data\\Sub\\rec.sh");
    MakeFile(script,
             "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > args.tmp && mv args.tmp args.txt\n");
    ASSERT_TRUE(QFile::setPermissions(QString::fromUtf8(Native(script)),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    Start({QStringLiteral("C:\\Data\\Sub")});
    Focus(QStringLiteral("inner.txt"));
    Run(QStringLiteral("rec.sh \"two words\" !.! !:"));
    const QString out = QStringLiteral("C:\\Data\\Sub\\args.txt");
    ASSERT_TRUE(WaitFor([&] { return Exists(out); })) << "the program did not run";
    EXPECT_EQ(Contents(out),
              Native(QStringLiteral("C:\\Data\\Sub")) + "\ntwo words\ninner.txt\nC:\n");
}

// The box's list holds the typed commands; a command picked from it by
// keyboard runs without being added again, and the list survives a restart.
TEST_F(CommandLineTest, HistoryByKeyboard)
{
    Start({QStringLiteral("C:\\Data")});
    Run(QStringLiteral("cd Sub"));
    Run(QStringLiteral("cd.."));
    ASSERT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));

    // Alt+Down drops the list; the first entry is picked and run.
    Open();
    ASSERT_EQ(Box()->count(), 2);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([this] { return Box()->view()->isVisible(); }));
    Key(Qt::Key_Home);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([this] { return !Box()->view()->isVisible(); }));
    EXPECT_TRUE(BarOpen()) << "picking from the list must not run the command yet";
    EXPECT_EQ(Box()->currentText(), QStringLiteral("cd Sub"));
    Key(Qt::Key_Return);
    ExpectLeft();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));

    // Up in the empty box recalls the newest command.
    Open();
    Key(Qt::Key_Up);
    EXPECT_EQ(Box()->currentText(), QStringLiteral("cd.."));
    Key(Qt::Key_Return);
    ExpectLeft();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));

    Quit();
    Start();
    Open();
    ASSERT_EQ(Box()->count(), 2) << "picked commands were added again, or the list was lost";
    EXPECT_EQ(Box()->itemText(0), QStringLiteral("cd Sub"));
    EXPECT_EQ(Box()->itemText(1), QStringLiteral("cd.."));
    Key(Qt::Key_Escape);
    ExpectLeft();
}

TEST_F(CommandLineTest, ExitClosesTheProgram)
{
    Start({QStringLiteral("C:\\Data")});
    Open();
    Type(QStringLiteral("exit"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(WaitFor([this] { return !Main().isVisible(); }));
}

} // namespace
} // namespace kestrel::test
