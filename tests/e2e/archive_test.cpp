// Archives in the panel as a person uses them: Enter opens a ZIP like a
// folder, ".." and Backspace walk back out, the Extract commands write the
// chosen items below the chosen folder, and a file opened inside an archive
// is extracted first.

#include "tests/archive/zipfixture.h"
#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "ops/fgetstring.h"
#include "panel/fdrive.h"
#include "panel/kfileview.h"
#include "tree/ftree.h"
#include "platform/fileapi.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>

namespace kestrel::test {
namespace {

class ArchiveEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
    }

    void MakeSample(const QString &path)
    {
        WriteLibZip(Native(path), {{QStringLiteral("doc/a.txt"), "aaaa"},
                                   {QStringLiteral("doc/deep/b.txt"), Pattern(70000, 9)},
                                   {QStringLiteral("top.txt"), "top"}});
    }

    // Answers the next message box with Enter and returns its text.
    void ReadMessage(QString &text)
    {
        WhenDialog([this, &text](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            ASSERT_TRUE(box) << "not a message box";
            text = box->text();
            Key(Qt::Key_Return);
        });
    }

    // Names below a folder on disk, relative, folders ending in "/".
    QStringList Listing(const QString &folder) const
    {
        QStringList names;
        const QString root = QString::fromUtf8(Native(folder));
        QDir dir(root);
        const auto walk = [&](const auto &self, const QString &relative) -> void {
            const QDir here(root + QLatin1Char('/') + relative);
            for (const QFileInfo &info : here.entryInfoList(
                     QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
                const QString name = relative + info.fileName();
                names << (info.isDir() ? name + QLatin1Char('/') : name);
                if (info.isDir())
                    self(self, name + QLatin1Char('/'));
            }
        };
        if (dir.exists())
            walk(walk, QString());
        return names;
    }

    void WaitForPanel()
    {
        ASSERT_TRUE(WaitFor([this] { return Main().isEnabled() && FocusWidget() == &Panel(); }))
            << "the main window did not get the keys back: "
            << (FocusWidget() ? FocusWidget()->metaObject()->className() : "no widget") << " "
            << (QApplication::activeWindow()
                    ? QApplication::activeWindow()->metaObject()->className()
                    : "no window");
    }
};

TEST_F(ArchiveEndToEnd, EnterOpensDotDotAndBackspaceLeave)
{
    MakeSample(QStringLiteral("C:\\Data\\a.zip"));
    MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
    Start({QStringLiteral("C:\\Data")});

    Focus(QStringLiteral("a.zip"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip"));
    EXPECT_EQ(Panel().Title, QStringLiteral("a.zip"));
    EXPECT_EQ(PanelNames().mid(0, 3), (QStringList{QStringLiteral(".."), QStringLiteral("doc"),
                                                   QStringLiteral("top.txt")}));

    Focus(QStringLiteral("doc"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip\\doc"));
    EXPECT_EQ(Panel().Title, QStringLiteral("a.zip\\doc"));
    EXPECT_EQ(PanelNames().mid(0, 3),
              (QStringList{QStringLiteral(".."), QStringLiteral("deep"), QStringLiteral("a.txt")}));
    Focus(QStringLiteral("deep"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip\\doc\\deep"));

    // "\" goes to the archive's root, focusing the folder it came from.
    Type(QStringLiteral("\\"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip"));
    EXPECT_EQ(FocusedName(), QStringLiteral("doc"));
    Key(Qt::Key_Return);

    // Enter on "..": one level up, the folder left focused.
    Key(Qt::Key_Home);
    ASSERT_EQ(FocusedName(), QStringLiteral(".."));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip"));
    EXPECT_EQ(FocusedName(), QStringLiteral("doc"));

    // ".." at the root leaves the archive, focusing it in its folder.
    Key(Qt::Key_Home);
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(FocusedName(), QStringLiteral("a.zip"));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("b.txt")));

    // Backspace walks up inside and then out; Esc leaves from anywhere.
    Key(Qt::Key_Return);
    Focus(QStringLiteral("doc"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(FocusedName(), QStringLiteral("a.zip"));
    Key(Qt::Key_Return);
    Focus(QStringLiteral("doc"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_TRUE(Main().isVisible());
}

TEST_F(ArchiveEndToEnd, ExtractCommandWritesTheMarkedItemsToTheChosenFolder)
{
    MakeSample(QStringLiteral("C:\\Data\\a.zip"));
    MakeFolder(QStringLiteral("D:\\Out"));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.zip"));
    Key(Qt::Key_Return);
    Focus(QStringLiteral("doc"));
    Key(Qt::Key_Return);
    // In doc: the folder deep and nothing else.
    Focus(QStringLiteral("deep"));
    Key(Qt::Key_Space);
    ASSERT_EQ(Panel().SelCount, 1);

    AnswerDestination(QStringLiteral("D:\\Out"));
    Key(Qt::Key_E, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(Listing(QStringLiteral("D:\\Out")),
              (QStringList{QStringLiteral("doc/"), QStringLiteral("doc/deep/"),
                           QStringLiteral("doc/deep/b.txt")}));
    EXPECT_EQ(Contents(QStringLiteral("D:\\Out\\doc\\deep\\b.txt")), Pattern(70000, 9));
    // The panel still shows the archive.
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip\\doc"));

    // From the folder: the focused archive, whole.
    Key(Qt::Key_Escape);
    ASSERT_EQ(FocusedName(), QStringLiteral("a.zip"));
    AnswerDestination(QStringLiteral("D:\\Out\\All"));
    MakeFolder(QStringLiteral("D:\\Out\\All"));
    Key(Qt::Key_E, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(Listing(QStringLiteral("D:\\Out\\All")),
              (QStringList{QStringLiteral("doc/"), QStringLiteral("doc/a.txt"),
                           QStringLiteral("doc/deep/"), QStringLiteral("doc/deep/b.txt"),
                           QStringLiteral("top.txt")}));
}

TEST_F(ArchiveEndToEnd, ExtractToFoldersGivesEachArchiveItsOwnFolder)
{
    MakeSample(QStringLiteral("C:\\Data\\one.zip"));
    MakeSample(QStringLiteral("C:\\Data\\two.zip"));
    MakeFile(QStringLiteral("C:\\Data\\notes.txt"), "not an archive");
    Start({QStringLiteral("C:\\Data")});
    for (const char *name : {"one.zip", "two.zip", "notes.txt"}) {
        Focus(QLatin1String(name));
        Key(Qt::Key_Space);
    }
    ASSERT_EQ(Panel().SelCount, 3);

    Key(Qt::Key_Menu);
    QMenu *menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        return menu && menu->isVisible();
    })) << "the context menu did not open";
    QAction *extractTo = nullptr;
    for (QAction *action : menu->actions())
        if (action->text().startsWith(QLatin1String("Extract to")))
            extractTo = action;
    ASSERT_TRUE(extractTo);
    EXPECT_EQ(extractTo->text(), QStringLiteral("Extract to folders"));
    Click(menu, menu->actionGeometry(extractTo).center());
    WaitForPanel();

    for (const char *name : {"one", "two"})
        EXPECT_EQ(Listing(QStringLiteral("C:\\Data\\") + QLatin1String(name)),
                  (QStringList{QStringLiteral("doc/"), QStringLiteral("doc/a.txt"),
                               QStringLiteral("doc/deep/"), QStringLiteral("doc/deep/b.txt"),
                               QStringLiteral("top.txt")}));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\notes")));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("one")));
}

TEST_F(ArchiveEndToEnd, WrongPasswordLeavesNoFileBehind)
{
    WriteLibZip(Native(QStringLiteral("C:\\Data\\locked.zip")),
                {{QStringLiteral("secret.txt"), Pattern(100000, 3)}}, "deflate", "aes256", "right");
    MakeFolder(QStringLiteral("D:\\Out"));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("locked.zip"));

    AnswerDestination(QStringLiteral("D:\\Out"));
    QStringList prompts;
    for (int i = 0; i < 3; ++i)
        WhenDialog([this, &prompts](QWidget *dialog) {
            auto *prompt = qobject_cast<TfGetString *>(dialog);
            ASSERT_TRUE(prompt) << "not the password prompt";
            prompts << prompt->windowTitle();
            QLineEdit *edit = prompt->findChild<QLineEdit *>();
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            Type(QStringLiteral("wrong"));
            Key(Qt::Key_Return);
        });
    QString message;
    ReadMessage(message);
    Key(Qt::Key_E, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(prompts, QStringList(3, QStringLiteral("Confirm password")));
    EXPECT_TRUE(message.contains(QLatin1String("secret.txt"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("Invalid Password"))) << message.toStdString();
    EXPECT_TRUE(Listing(QStringLiteral("D:\\Out")).isEmpty())
        << Listing(QStringLiteral("D:\\Out")).join(QLatin1Char(' ')).toStdString();
}

TEST_F(ArchiveEndToEnd, HostileEntryIsRefusedAndTheRestExtracted)
{
    TZipBytes zip;
    zip.items = {{"good.txt", "good"}, {"../evil.txt", "evil"}, {"sub/fine.txt", "fine"}};
    MakeFile(QStringLiteral("C:\\Data\\trap.zip"), zip.Build());
    MakeFolder(QStringLiteral("D:\\Box\\Out"));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("trap.zip"));

    AnswerDestination(QStringLiteral("D:\\Box\\Out"));
    QString message;
    ReadMessage(message);
    Key(Qt::Key_E, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_TRUE(message.contains(QLatin1String("../evil.txt")) ||
                message.contains(QLatin1String("..\\evil.txt")))
        << message.toStdString();
    EXPECT_EQ(Listing(QStringLiteral("D:\\Box")),
              (QStringList{QStringLiteral("Out/"), QStringLiteral("Out/good.txt"),
                           QStringLiteral("Out/sub/"), QStringLiteral("Out/sub/fine.txt")}));
}

TEST_F(ArchiveEndToEnd, FileOpenedInsideIsExtractedToAPrivateFolderFirst)
{
    MakeFolder(QStringLiteral("C:\\Desktop"));
    const EmptyDesktop desktop(Native(QStringLiteral("C:\\Desktop")));
    WriteLibZip(Native(QStringLiteral("C:\\Data\\a.zip")),
                {{QStringLiteral("in/blob.kqz"), "blob data"}});
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.zip"));
    Key(Qt::Key_Return);
    Focus(QStringLiteral("in"));
    Key(Qt::Key_Return);
    Focus(QStringLiteral("blob.kqz"));

    // Nothing here opens the type: the box names the extracted copy.
    QString message;
    ReadMessage(message);
    Key(Qt::Key_Return);
    WaitForPanel();
    const qsizetype at = message.indexOf(QLatin1String("\\in\\blob.kqz"));
    ASSERT_GT(at, 0) << message.toStdString();
    const QString copy =
        message.left(at).section(QLatin1Char('\n'), -1).section(QLatin1Char(' '), -1) +
        QStringLiteral("\\in\\blob.kqz");
    QFile extracted(sys::GetShortPathName(copy));
    ASSERT_TRUE(extracted.open(QIODevice::ReadOnly)) << copy.toStdString();
    EXPECT_EQ(extracted.readAll(), QByteArray("blob data"));
    EXPECT_FALSE(copy.startsWith(QLatin1String("C:\\Data"))) << copy.toStdString();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\a.zip\\in"));
}

TEST_F(ArchiveEndToEnd, TarGzOpensLikeAFolderAndAFakeArchiveDoesNot)
{
    MakeFile(QStringLiteral("C:\\Src\\docs\\a.txt"), "alpha");
    MakeFile(QStringLiteral("C:\\Src\\top.txt"), "top");
    MakeFolder(QStringLiteral("C:\\Data"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("tar"),
                                {QStringLiteral("-czf"),
                                 QString::fromUtf8(Native(QStringLiteral("C:\\Data\\src.tar.gz"))),
                                 QStringLiteral("-C"),
                                 QString::fromUtf8(Native(QStringLiteral("C:\\Src"))),
                                 QStringLiteral("docs"), QStringLiteral("top.txt")}),
              0);
    MakeFile(QStringLiteral("C:\\Data\\fake.7z"), "not an archive at all");
    MakeFolder(QStringLiteral("D:\\Out"));
    Start({QStringLiteral("C:\\Data")});

    Focus(QStringLiteral("src.tar.gz"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\src.tar.gz"));
    EXPECT_EQ(PanelNames().mid(0, 3), (QStringList{QStringLiteral(".."), QStringLiteral("docs"),
                                                   QStringLiteral("top.txt")}));
    Focus(QStringLiteral("docs"));
    Key(Qt::Key_Return);
    EXPECT_EQ(PanelNames().mid(0, 2), (QStringList{QStringLiteral(".."), QStringLiteral("a.txt")}));
    Focus(QStringLiteral("a.txt"));
    AnswerDestination(QStringLiteral("D:\\Out"));
    Key(Qt::Key_E, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(Listing(QStringLiteral("D:\\Out")),
              (QStringList{QStringLiteral("docs/"), QStringLiteral("docs/a.txt")}));
    EXPECT_EQ(Contents(QStringLiteral("D:\\Out\\docs\\a.txt")), "alpha");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));

    // A file that only carries an archive's extension says so and stays closed.
    Focus(QStringLiteral("fake.7z"));
    QString message;
    ReadMessage(message);
    Key(Qt::Key_Return);
    WaitForPanel();
    EXPECT_TRUE(message.contains(QLatin1String("This is not a 7z archive file")))
        << message.toStdString();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(FocusedName(), QStringLiteral("fake.7z"));
}

} // namespace
} // namespace kestrel::test
