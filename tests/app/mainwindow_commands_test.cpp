#include "app/btnstatusbar.h"
#include "app/commandlinebar.h"
#include "app/inifile.h"
#include "app/keymap.h"
#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/workfolderbuttons.h"
#include "panel/kfileview.h"

#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace kestrel {
namespace {

// Sets an environment variable for the life of the object.
class EnvGuard {
public:
    EnvGuard(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray old;
};

// Records what the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public Q_SLOTS:
    void Open(const QUrl &url) { opened << url; }
};

class CommandsTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
        qputenv("KESTREL_HOME", Native(QStringLiteral("C:\\Home")));
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "aaa");
        MakeFile(QStringLiteral("C:\\Data\\b.doc"), "bb");
        MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    }
    void Start(const QString &folder = QStringLiteral("C:\\Data"))
    {
        w = std::make_unique<TfMain>(QStringList{folder});
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->FileView()->setFocus();
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(w->FileView(), key, modifiers);
    }
    void Focus(const char *name)
    {
        const int index = w->FileView()->Files.IndexOf(QLatin1String(name));
        ASSERT_GE(index, 0) << name;
        w->FileView()->SetFocused(index);
    }
    static QString IniPath() { return QStringLiteral("C:\\Home\\kestrel.ini"); }
    QString Folder() const { return w->FileView()->Folder(); }
    QLineEdit *CommandEdit() const { return w->CommandBar()->Command()->lineEdit(); }
    void Command(const QString &text)
    {
        Press(Qt::Key_Slash);
        ASSERT_TRUE(w->CommandLineOpen());
        QTest::keyClicks(CommandEdit(), text);
        QTest::keyClick(CommandEdit(), Qt::Key_Return);
    }
    // An executable script that writes its arguments and folder to out.
    void MakeRecorder(const QString &path, const QString &out)
    {
        MakeFile(path, "#!/bin/sh\necho \"$PWD|$*\" > '" + Native(out) + "'\n");
        QFile::setPermissions(QString::fromUtf8(Native(path)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Waited(const QString &path)
    {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return Exists(path) && !Contents(path).isEmpty(); }, 20000));
        return QString::fromUtf8(Contents(path)).trimmed();
    }

    test::ProgressRecorder progress;
    std::unique_ptr<TfMain> w;
};

// Every shortcut of the menu table, pressed in the panel, reaches its
// command; items whose work is not built are disabled and their keys do
// nothing.
TEST_F(CommandsTest, EveryMenuShortcutReachesItsCommandFromThePanel)
{
    Start();
    QList<TCmd> ran;
    w->MainMenu()->OnCommand = [&](TCmd cmd) { ran << cmd; };
    int pressed = 0;
    for (const TMenuRow &row : TMainMenu::Rows()) {
        if (QByteArray(row.menu).endsWith("Context"))
            continue;
        QAction *item = w->MainMenu()->Item(row.cmd);
        ASSERT_TRUE(item) << row.caption;
        EXPECT_EQ(item->text(), QLatin1String(row.caption));
        EXPECT_EQ(item->isEnabled(), !(row.flags & mrfLater)) << row.caption;
        if (row.shortcut == QKeyCombination())
            continue;
        EXPECT_EQ(item->shortcut(), QKeySequence(row.shortcut)) << row.caption;
        ran.clear();
        Press(row.shortcut.key(), row.shortcut.keyboardModifiers());
        ++pressed;
        if (row.flags & mrfLater)
            EXPECT_TRUE(ran.isEmpty()) << row.caption;
        else
            EXPECT_EQ(ran, QList<TCmd>{row.cmd}) << row.caption;
    }
    EXPECT_GT(pressed, 60);

    // Ctrl+X moves from Cut to Extract; Cut keeps a key of its own.
    w->Ini().WriteString(QStringLiteral("Option"), QStringLiteral("CtrlX"), QStringLiteral("1"));
    w->LoadOptions();
    EXPECT_EQ(w->MainMenu()->Item(TCmd::Extract)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    ran.clear();
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(ran, QList<TCmd>{TCmd::EditCut});
}

// With the CtrlX option, Ctrl+X is Extract's and Cut has only Ctrl+T; the
// Ctrl help used to say "X=Extract" whichever item had the key. While the
// command line is open, neither item owns Ctrl+X.
TEST_F(CommandsTest, CtrlXBelongsToOneItemAndTheHelpSaysWhich)
{
    const QKeySequence ctrlX(Qt::CTRL | Qt::Key_X), ctrlT(Qt::CTRL | Qt::Key_T),
        ctrlE(Qt::CTRL | Qt::Key_E);
    const struct {
        const char *ini;
        bool extractOwnsCtrlX;
    } rows[] = {{"", false}, {"[Option]\r\nCtrlX=0\r\n", false}, {"[Option]\r\nCtrlX=1\r\n", true}};
    for (const auto &row : rows) {
        MakeFile(IniPath(), row.ini);
        Start();
        // A vector: Qt 6.4 compares two empty lists with memcmp on null pointers,
        // which the sanitizer build stops on.
        std::vector<TCmd> ran;
        w->MainMenu()->OnCommand = [&](TCmd cmd) { ran.push_back(cmd); };
        QAction *cut = w->MainMenu()->Item(TCmd::EditCut);
        QAction *extract = w->MainMenu()->Item(TCmd::Extract);
        EXPECT_EQ(cut->shortcut(), row.extractOwnsCtrlX ? ctrlT : ctrlX) << row.ini;
        EXPECT_EQ(extract->shortcut(), row.extractOwnsCtrlX ? ctrlX : ctrlE) << row.ini;
        QStringList ownersOfCtrlX;
        for (const QAction *item : w->findChildren<QAction *>())
            if (item->shortcuts().contains(ctrlX))
                ownersOfCtrlX << item->text();
        EXPECT_EQ(ownersOfCtrlX, QStringList{(row.extractOwnsCtrlX ? extract : cut)->text()})
            << row.ini;

        Focus("a.txt");
        Press(Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(ran, std::vector<TCmd>{row.extractOwnsCtrlX ? TCmd::Extract : TCmd::EditCut})
            << row.ini;
        ran.clear();
        Press(Qt::Key_T, Qt::ControlModifier);
        EXPECT_EQ(ran, row.extractOwnsCtrlX ? std::vector<TCmd>{TCmd::EditCut} : std::vector<TCmd>{})
            << row.ini;

        QTest::keyPress(w->FileView(), Qt::Key_Control, Qt::ControlModifier);
        EXPECT_EQ(w->BtnStatusBar()->Items().at(2),
                  row.extractOwnsCtrlX ? QStringLiteral("X=Extract") : QStringLiteral("E=Extract"))
            << row.ini;
        QTest::keyRelease(w->FileView(), Qt::Key_Control);

        Press(Qt::Key_Slash);
        ASSERT_TRUE(w->CommandLineOpen());
        EXPECT_NE(cut->shortcut(), ctrlX) << row.ini;
        EXPECT_NE(extract->shortcut(), ctrlX) << row.ini;
        QTest::keyClick(CommandEdit(), Qt::Key_Escape);
        ASSERT_FALSE(w->CommandLineOpen());
        EXPECT_EQ(cut->shortcut(), row.extractOwnsCtrlX ? ctrlT : ctrlX) << row.ini;
        EXPECT_EQ(extract->shortcut(), row.extractOwnsCtrlX ? ctrlX : ctrlE) << row.ini;
        w.reset();
    }
}

TEST_F(CommandsTest, ContextMenuHoldsItsItemsAndRunsTheirCommands)
{
    Start();
    QStringList captions;
    for (QAction *item : w->MainMenu()->ContextMenu()->actions())
        if (!item->isSeparator())
            captions << item->text();
    EXPECT_EQ(captions, QStringList({"&Explorer Menu", "Open &With...", "De&scription", "&Copy",
                                     "&Move", "&Delete", "&Rename", "Rest&ore", "Attributes/Time(&Z)",
                                     "&Add to Archive", "E&xtract", "Extract to ",
                                     "Create Shortcut", "Paste(&V)", "Proper&ties"}));
    Focus("a.txt");
    // The Apps key opens it beside the focused entry.
    QMenu *menu = w->MainMenu()->ContextMenu();
    Press(Qt::Key_Menu);
    EXPECT_TRUE(menu->isVisible());
    const QRect focused = w->FileView()->ItemRect(w->FileView()->GetItemFocused());
    EXPECT_EQ(menu->pos(), w->FileView()->mapToGlobal(focused.topLeft() + QPoint(10, 10)));
    menu->hide();
    for (QAction *item : w->MainMenu()->ContextMenu()->actions())
        if (item->text() == QLatin1String("Create Shortcut"))
            item->trigger();
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\a.txt.lnk")));
    EXPECT_GE(w->FileView()->Files.IndexOf(QStringLiteral("a.txt.lnk")), 0) << "listed at once";
}

TEST_F(CommandsTest, PanelKeysDoTheirWork)
{
    MakeFile(QStringLiteral("C:\\Data\\c.txt"), "c");
    MakeFolder(QStringLiteral("D:\\Other"));
    Start(QStringLiteral("C:\\Data\\Sub"));
    test::ScriptedAsk ask;

    Press(Qt::Key_Backspace);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(w->FileView()->GetItemFocused()->Name, QStringLiteral("Sub"));
    Press(Qt::Key_Backslash);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\"));
    w->FileView()->SetFolder(QStringLiteral("C:\\Data\\Sub"));
    Press(Qt::Key_Period);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));

    ask.ExpectGetString(mrOk, QStringLiteral("*.txt"));
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Filter"));
    EXPECT_EQ(w->FileView()->SelCount, 2);
    ask.ExpectGetString(mrOk, QStringLiteral("c*"));
    Press(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(w->FileView()->SelCount, 1);
    Press(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(w->FileView()->SelCount, 2) << "b.doc and c.txt";

    // Delete and Insert run Delete and Copy; answered No and Cancel, they
    // change nothing.
    ask.ExpectDeleteWarning(mrNo);
    Press(Qt::Key_Delete);
    ask.Expect({test::QuestionKind::SelectDrive, mrCancel});
    Press(Qt::Key_Insert);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\c.txt")));
    EXPECT_EQ(w->FileView()->SelCount, 2);

    // Escape by the Esc setting: deselect all, then the command line.
    w->Ini().WriteString(QStringLiteral("Option"), QStringLiteral("Esc"), QStringLiteral("3"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(w->FileView()->SelCount, 0);
    w->Ini().WriteString(QStringLiteral("Option"), QStringLiteral("Esc"), QStringLiteral("0"));
    Press(Qt::Key_Escape);
    EXPECT_TRUE(w->CommandLineOpen());
    QTest::keyClick(CommandEdit(), Qt::Key_Escape);
    EXPECT_FALSE(w->CommandLineOpen());

    // A quick search owns "." and Backspace.
    Press(Qt::Key_B);
    ASSERT_EQ(w->FileView()->FindText, QStringLiteral("b"));
    Press(Qt::Key_Backspace);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));

    Press(Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(Folder().left(3), QStringLiteral("D:\\"));
}

TEST_F(CommandsTest, HoldingAltOrCtrlShowsItsKeyHelpUntilReleased)
{
    MakeFile(IniPath(), "[Function]\r\nF2=[Notes]\"C:\\bin\\notes.exe\" !.!\r\nF3=#refresh\r\n");
    Start();
    TBtnStatusBar *bar = w->BtnStatusBar();
    const QStringList normal = bar->Items();
    EXPECT_EQ(normal.first(), QStringLiteral("F2=Notes"));
    EXPECT_EQ(normal.at(1), QStringLiteral("F3=refresh"));
    EXPECT_EQ(normal.size(), 7);

    QTest::keyPress(w->FileView(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(bar->Items(), QStringList({"C=Copy", "M=Move", "D=Delete", "R=Rename", "K=NewFolder",
                                         "U=SelectAll", "V=TextView"}));
    if (qEnvironmentVariableIsSet("KESTREL_SHOTS"))
        w->grab().save(QStringLiteral("/tmp/mainmenu/althelp.png"));
    QTest::keyRelease(w->FileView(), Qt::Key_Alt);
    EXPECT_EQ(bar->Items(), normal);

    // Without the CtrlX option Ctrl+X is Cut's and Extract has Ctrl+E.
    QTest::keyPress(w->FileView(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(bar->Items(), QStringList({"Z=Attr/Time", "A=Add (Archive)", "E=Extract", "D=Desktop",
                                         "W=MyDocuments", "L=FindNext"}));
    Press(Qt::Key_Down);
    EXPECT_EQ(bar->Items(), normal) << "any other key restores the function keys";
}

TEST_F(CommandsTest, FunctionKeysRunTheirProgramOrCommand)
{
    MakeRecorder(QStringLiteral("C:\\bin\\rec.sh"), QStringLiteral("C:\\fkey.txt"));
    MakeFile(IniPath(), "[Function]\r\nF2=[Rec]\"C:\\bin\\rec.sh\" !.! ,!\r\n"
                        "^F1=#newfolder\r\nF4=#nosuchword\r\n");
    Start();
    test::ScriptedAsk ask;
    Focus("b.doc");
    Press(Qt::Key_F2);
    EXPECT_EQ(Waited(QStringLiteral("C:\\fkey.txt")),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data"))) + "|b.doc doc");
    ask.ExpectGetString(mrCancel);
    Press(Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("New Folder"));
    Press(Qt::Key_F4);
    Press(Qt::Key_F5);
    EXPECT_EQ(ask.asked.size(), 1) << "unknown keywords and empty keys do nothing";
}

// File names put into a program link's parameters used to be joined into
// one text and split again, so blanks and quotes in a name made several
// arguments of it; each name now stays one argument and no shell sees it.
TEST_F(CommandsTest, FunctionKeyNamesReachTheProgramAsSingleArguments)
{
    const QString script = QStringLiteral("C:\\bin\\args.sh");
    MakeFile(script, "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + Native(QStringLiteral("C:\\args.tmp")) +
                         "' && mv '" + Native(QStringLiteral("C:\\args.tmp")) + "' '" +
                         Native(QStringLiteral("C:\\args.out")) + "'\n");
    QFile::setPermissions(QString::fromUtf8(Native(script)),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString evil = QStringLiteral("a; touch X $(x) \"q");
    MakeFile(QStringLiteral("C:\\Data\\") + evil, "e");
    MakeFile(IniPath(), "[Function]\r\nF3=[Args]\"C:\\bin\\args.sh\" -n !.! \"pre !, post\" !..!\r\n");
    Start();
    Focus("a.txt");
    Press(Qt::Key_Space);
    Focus(evil.toUtf8().constData());
    Press(Qt::Key_Space);
    Focus(evil.toUtf8().constData());
    Press(Qt::Key_F3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Exists(QStringLiteral("C:\\args.out")); }, 20000));
    QList<QByteArray> args = Contents(QStringLiteral("C:\\args.out")).split('\0');
    ASSERT_EQ(args.takeLast(), QByteArray());
    const QByteArray name = evil.toUtf8();
    ASSERT_EQ(args.size(), 5);
    EXPECT_EQ(args.mid(0, 3), QList<QByteArray>({"-n", name, "pre " + name + " post"}));
    QList<QByteArray> selected = args.mid(3); // in panel order
    std::sort(selected.begin(), selected.end());
    QList<QByteArray> expected{name, "a.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(selected, expected);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\X")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\X")));
}

TEST_F(CommandsTest, CommandLineWordsRunEndToEnd)
{
    Start();
    test::ScriptedAsk ask;
    QAction *copy = w->MainMenu()->Item(TCmd::EditCopy);
    const QKeySequence copyKey = copy->shortcut();

    Press(Qt::Key_Slash);
    EXPECT_TRUE(CommandEdit()->hasFocus());
    EXPECT_TRUE(copy->shortcut().isEmpty()) << "Ctrl+C edits the command text";
    QTest::keyClick(CommandEdit(), Qt::Key_Escape);
    EXPECT_EQ(copy->shortcut(), copyKey);
    EXPECT_TRUE(w->FileView()->hasFocus());

    Command(QStringLiteral("md \"New Dir\""));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\New Dir")));
    EXPECT_FALSE(w->CommandLineOpen());
    Command(QStringLiteral("cd New Dir"));
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data\\New Dir"));
    Command(QStringLiteral("CD.."));
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));
    Command(QStringLiteral("d:"));
    EXPECT_EQ(Folder(), QStringLiteral("D:\\"));
    Command(QStringLiteral("c:"));
    Command(QStringLiteral("cd\\"));
    EXPECT_EQ(Folder(), QStringLiteral("C:\\"));
    Command(QStringLiteral("cd Data"));

    ask.ExpectMessageBox(mrOk);
    Command(QStringLiteral("md"));
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("The syntax of the command is incorrect.\n\nex) md(mkdir) name"));
    ask.ExpectMessageBox(mrOk);
    Command(QStringLiteral("mkdir Sub"));
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("Sub\n\nA file or folder with the same name already exists."));
    ask.ExpectMessageBox(mrOk);
    Command(QStringLiteral("cd Missing"));
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(ask.asked.size(), 3);

    // A program of the panel's folder with placeholders, run in that folder.
    MakeRecorder(QStringLiteral("C:\\Data\\rec.sh"), QStringLiteral("C:\\out.txt"));
    Focus("a.txt");
    Command(QStringLiteral("rec.sh !.! !, ,! !:"));
    EXPECT_EQ(Waited(QStringLiteral("C:\\out.txt")),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data"))) + "|a.txt a txt " +
                  QString::fromUtf8(Native(QStringLiteral("C:\\"))));
    // The ten newest typed commands are kept.
    ASSERT_EQ(w->CommandLine().History().size(), 10);
    EXPECT_EQ(w->CommandLine().History().first(), QStringLiteral("cd New Dir"));

    // A command picked from the list runs and is not added again.
    Press(Qt::Key_Slash);
    QComboBox *combo = w->CommandBar()->Command();
    combo->setCurrentIndex(1);
    Q_EMIT combo->activated(1);
    QTest::keyClick(CommandEdit(), Qt::Key_Return);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\")) << "CD.. from the list ran";
    EXPECT_EQ(w->CommandLine().History().first(), QStringLiteral("cd New Dir"));
    EXPECT_EQ(w->CommandLine().History().last(), QStringLiteral("rec.sh !.! !, ,! !:"));

    Command(QStringLiteral("exit"));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(CommandsTest, OpenWithParametersRunsTheFocusedFileOrOpensAFolder)
{
    MakeRecorder(QStringLiteral("C:\\Data\\run.sh"), QStringLiteral("C:\\out.txt"));
    Start();
    test::ScriptedAsk ask;
    Focus("run.sh");
    ask.ExpectGetString(mrOk, QStringLiteral("x !\\ %p"));
    ask.ExpectGetString(mrOk, QStringLiteral("edited"));
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ask.asked.at(0).caption, QStringLiteral("Open with parameters"));
    EXPECT_EQ(ask.asked.at(1).caption, QStringLiteral("Edit Param..."));
    EXPECT_TRUE(Waited(QStringLiteral("C:\\out.txt")).endsWith(QLatin1String("|edited")));

    Focus("Sub");
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data\\Sub"));
}

TEST_F(CommandsTest, SaveSelectedListWritesTheListByteByByte)
{
    MakeFile(QStringLiteral("C:\\List\\abc"), "12345");
    MakeFileOfSize(QStringLiteral("C:\\List\\abcdefgh.txt"), 1234);
    MakeFolder(QStringLiteral("C:\\List\\Folder"));
    SetTime(QStringLiteral("C:\\List\\abc"), 1614834360);         // 2021-03-04 05:06 UTC
    SetTime(QStringLiteral("C:\\List\\abcdefgh.txt"), 946684799); // 1999-12-31 23:59 UTC
    SetAttributes(QStringLiteral("C:\\List\\abcdefgh.txt"), sys::FILE_ATTRIBUTE_ARCHIVE |
                                                                sys::FILE_ATTRIBUTE_READONLY |
                                                                sys::FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(QStringLiteral("C:\\Out"));
    Start(QStringLiteral("C:\\List"));
    test::ScriptedAsk ask;
    QAction *save = w->MainMenu()->Item(TCmd::SaveSelectedList);

    save->trigger();
    EXPECT_TRUE(ask.asked.isEmpty()) << "nothing selected, nothing asked";

    Press(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    Press(Qt::Key_U, Qt::AltModifier);
    Focus("Folder");
    Press(Qt::Key_Space);
    ask.Expect({test::QuestionKind::SaveFileName, mrOk, QStringLiteral("C:\\Out\\sel.txt"), false});
    save->trigger();
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked.first().text, QStringLiteral("C:\\List\\list.txt"));
    // The folder's own time cannot be set here; its line is checked by form.
    const QByteArray list = Contents(QStringLiteral("C:\\Out\\sel.txt"));
    const QByteArray head = "C:\\List\r\n\r\n";
    ASSERT_TRUE(list.startsWith(head));
    const QByteArray folderLine = list.mid(head.size(), 38);
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^Folder {9}\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d ____\r\n$"))
                    .match(QString::fromLatin1(folderLine))
                    .hasMatch())
        << folderLine.constData();
    EXPECT_EQ(list.mid(head.size() + 38), QByteArray("abc            2021-03-04 05:06 A___\r\n"
                                                     "abcdefgh.txt   1999-12-31 23:59 A_RS\r\n"
                                                     "\r\n"
                                                     "1 Folders, 2 Files\r\n"
                                                     "1,239 bytes\r\n"));
}

TEST_F(CommandsTest, WorkFoldersAreSetOpenedColouredAndCleared)
{
    Start();
    TWorkFolderButtons *work = w->WorkFolders();
    QToolButton *b1 = work->Button(0);
    const QColor normal = b1->palette().color(QPalette::ButtonText);

    Press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(work->Folders().Get(0), QStringLiteral("C:\\Data"));
    EXPECT_EQ(b1->toolTip(), QStringLiteral("C:\\Data"));
    // Aqua and fuchsia, at a lightness that reads on the bar.
    EXPECT_EQ(b1->palette().color(QPalette::ButtonText).hslHue(), 180);

    w->FileView()->SetFolder(QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(b1->palette().color(QPalette::ButtonText).hslHue(), 300);
    Press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(work->Folders().Get(0), QStringLiteral("C:\\Data")) << "a set slot is kept";
    Press(Qt::Key_F1, Qt::AltModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));
    Press(Qt::Key_F2, Qt::AltModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data")) << "an empty slot opens nothing";

    // Button clicks: an empty slot is set, a set one opened.
    w->FileView()->SetFolder(QStringLiteral("C:\\Data\\Sub"));
    QTest::mouseClick(work->Button(1), Qt::LeftButton);
    EXPECT_EQ(work->Folders().Get(1), QStringLiteral("C:\\Data\\Sub"));
    QTest::mouseClick(b1, Qt::LeftButton);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Data"));

    // A right click clears the slot, its hint and its colour.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 b1->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(b1, &rightClick);
    EXPECT_FALSE(work->Folders().IsSet(0));
    EXPECT_EQ(b1->toolTip(), QStringLiteral("Work Folder"));
    EXPECT_EQ(b1->palette().color(QPalette::ButtonText), normal);
}

TEST_F(CommandsTest, CreateNewAndCreateNewFolderFocusWhatTheyMade)
{
    MakeFile(QStringLiteral("C:\\Data\\keep.txt"), "keep");
    Start();
    test::ScriptedAsk ask;
    ask.ExpectGetString(mrOk, QStringLiteral("empty.txt"));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Create New"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\empty.txt")), QByteArray());
    EXPECT_EQ(w->FileView()->GetItemFocused()->GetFullName(), QStringLiteral("empty.txt"));
    ask.ExpectGetString(mrOk, QStringLiteral("keep.txt"));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\keep.txt")), QByteArray("keep"));

    ask.ExpectGetString(mrOk, QStringLiteral("Made"));
    Press(Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("New Folder"));
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("Enter the folder name you want to create."));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\Made")));
    EXPECT_EQ(w->FileView()->GetItemFocused()->Name, QStringLiteral("Made"));
    ask.ExpectGetString(mrOk, QStringLiteral("Made"));
    ask.ExpectMessageBox(mrOk);
    Press(Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("C:\\Data\\Made\n\n"
                             "A file or folder with the same name already exists."));
}

TEST_F(CommandsTest, ClipboardKeysCopyPasteAndRestoreTheSelection)
{
    Start();
    Focus("a.txt");
    Press(Qt::Key_C, Qt::ControlModifier);
    w->FileView()->SetFolder(QStringLiteral("C:\\Data\\Sub"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\Sub\\a.txt")), QByteArray("aaa"));
    EXPECT_GE(w->FileView()->Files.IndexOf(QStringLiteral("a.txt")), 0);

    w->FileView()->SetFolder(QStringLiteral("C:\\Data"));
    Press(Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(w->FileView()->SelCount, 1);
    EXPECT_TRUE(
        w->FileView()->Files[w->FileView()->Files.IndexOf(QStringLiteral("a.txt"))]->Selected);
}

TEST_F(CommandsTest, CopyPathNamePutsTheFullPathOnTheClipboard)
{
    Start();
    Focus("b.doc");
    Press(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data\\b.doc"))));
}

TEST_F(CommandsTest, SystemFoldersAndTheTrash)
{
    MakeFolder(QStringLiteral("C:\\User\\Desktop"));
    MakeFolder(QStringLiteral("C:\\User\\Documents"));
    MakeFile(QStringLiteral("C:\\User\\.local\\share\\Trash\\files\\old.txt"), "old");
    MakeFolder(QStringLiteral("C:\\User\\.local\\share\\Trash\\files\\OldDir\\x"));
    MakeFile(QStringLiteral("C:\\User\\.local\\share\\Trash\\info\\old.txt.trashinfo"), "i");
    MakeFile(QStringLiteral("C:\\User\\.local\\share\\Trash\\info\\OldDir.trashinfo"), "i");
    EnvGuard home("HOME", Native(QStringLiteral("C:\\User")));
    EnvGuard config("XDG_CONFIG_HOME", Native(QStringLiteral("C:\\User\\.config")));
    EnvGuard data("XDG_DATA_HOME", Native(QStringLiteral("C:\\User\\.local\\share")));
    Start();
    test::ScriptedAsk ask;

    Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\User\\Desktop"));
    Press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\User\\Documents"));
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\User\\.local\\share\\Trash\\files"));

    QAction *empty = w->MainMenu()->Item(TCmd::EmptyRecycleBin);
    ask.ExpectMessageBox(mrNo);
    empty->trigger();
    EXPECT_TRUE(Exists(QStringLiteral("C:\\User\\.local\\share\\Trash\\files\\old.txt")));
    ask.ExpectMessageBox(mrYes);
    empty->trigger();
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Empty Recycle Bin"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\User\\.local\\share\\Trash\\files\\old.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\User\\.local\\share\\Trash\\files\\OldDir")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\User\\.local\\share\\Trash\\info\\old.txt.trashinfo")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\User\\.local\\share\\Trash\\files")));
    EXPECT_EQ(w->FileView()->Files.CountKind(fkFile), 0) << "the panel shows the emptied Trash";

    MakeFolder(QStringLiteral("C:\\Tmp"));
    EnvGuard tmp("TMPDIR", Native(QStringLiteral("C:\\Tmp")));
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Folder(), QStringLiteral("C:\\Tmp"));
}

TEST_F(CommandsTest, DesktopToolsStartWhenPresentOrAreSaidToBeMissing)
{
    MakeFolder(QStringLiteral("C:\\bin"));
    EnvGuard path("PATH", Native(QStringLiteral("C:\\bin")) + ":/usr/bin:/bin");
    Start();
    test::ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    w->MainMenu()->Item(TCmd::ControlPanel)->trigger();
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("This system has no settings tool (control "
                                                    "panel)."));

    MakeRecorder(QStringLiteral("C:\\bin\\gnome-disks"), QStringLiteral("C:\\disks.txt"));
    ask.ExpectMessageBox(mrNo);
    w->MainMenu()->Item(TCmd::Format)->trigger();
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Format Warning"));
    // The drive is asked for; CD-ROM and network drives are not offered.
    ask.ExpectMessageBox(mrYes);
    ask.Expect({test::QuestionKind::SelectDrive, mrOk, QStringLiteral("A"), false});
    w->MainMenu()->Item(TCmd::Format)->trigger();
    EXPECT_EQ(ask.asked.last().kind, test::QuestionKind::SelectDrive);
    EXPECT_EQ(ask.asked.last().excluded, QStringLiteral("EN/"));
    EXPECT_TRUE(ask.asked.last().workFolders.isEmpty());
    EXPECT_FALSE(Waited(QStringLiteral("C:\\disks.txt")).isEmpty());
}

TEST_F(CommandsTest, ViewTextUsesTheProgramOrTheDesktopAndHelpOpensThePages)
{
    MakeRecorder(QStringLiteral("C:\\bin\\viewer"), QStringLiteral("C:\\viewed.txt"));
    MakeFile(IniPath(), "[Program]\r\nView=C:\\bin\\viewer\r\nEdit=no-such-editor.exe\r\n");
    Start();
    UrlRecorder urls;
    Focus("a.txt");
    Press(Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(Waited(QStringLiteral("C:\\viewed.txt")),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data"))) + "|a.txt");
    Press(Qt::Key_B, Qt::AltModifier);
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened.first().toLocalFile(),
              QString::fromUtf8(Native(QStringLiteral("C:\\Data\\a.txt"))));

    Press(Qt::Key_F1);
    ASSERT_EQ(urls.opened.size(), 2);
    EXPECT_TRUE(urls.opened.last().toLocalFile().endsWith(QLatin1String("docs/help/index.html")));
    EXPECT_TRUE(QFile::exists(urls.opened.last().toLocalFile()));
    w->MainMenu()->Item(TCmd::HelpShortcut)->trigger();
    EXPECT_TRUE(QFile::exists(urls.opened.last().toLocalFile()));
}

} // namespace
} // namespace kestrel

#include "mainwindow_commands_test.moc"
