// Copy, move and delete as a person does them: keys in the panel, the drive
// dialog and the folder picker for the destination, the replace question,
// the delete warning, then the Recycle Bin and Restore.

#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "ops/fdelwarning.h"
#include "ops/ffileexists.h"
#include "panel/fdrive.h"
#include "panel/kfileview.h"
#include "platform/faults.h"
#include "platform/fileapi.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace kestrel::test {
namespace {

class TransferEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFolder(QStringLiteral("C:\\User"));
        saved = {qgetenv("HOME"), qgetenv("XDG_DATA_HOME")};
        qputenv("HOME", Native(QStringLiteral("C:\\User")));
        qputenv("XDG_DATA_HOME", Native(QStringLiteral("C:\\User\\.local\\share")));
    }
    void TearDown() override
    {
        sys::ClearFaults();
        EndToEndTest::TearDown();
        qputenv("HOME", saved[0]);
        qputenv("XDG_DATA_HOME", saved[1]);
    }

    void WaitForPanel()
    {
        ASSERT_TRUE(WaitFor([this] { return Main().isEnabled() && FocusWidget() == &Panel(); }));
    }
    QStringList OnDisk(const QString &folder) const
    {
        QStringList names = QDir(QString::fromUtf8(Native(folder)))
                                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    QStringList Entries() const
    {
        QStringList names;
        for (const QString &name : PanelNames())
            if (!name.endsWith(QLatin1String(":\\")) && name != QLatin1String("/"))
                names << name;
        return names;
    }

    QList<QByteArray> saved;
};

TEST_F(TransferEndToEnd, MoveOfThreeWithAFailureKeepsTheFailedOneAndTheFocus)
{
    for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        MakeFile(QStringLiteral("C:\\Data\\%1").arg(QLatin1String(name)), name);
    MakeFolder(QStringLiteral("D:\\Dest"));
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.txt"));
    Key(Qt::Key_Space);
    Key(Qt::Key_Space);
    Key(Qt::Key_Space);
    ASSERT_EQ(FocusedName(), QStringLiteral("d.txt"));

    AnswerDestination(QStringLiteral("D:\\Dest"));
    QString error;
    WhenDialog([this, &error](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box) << "not the error box";
        error = box->text();
        QAbstractButton *yes = nullptr;
        for (QAbstractButton *button : box->buttons())
            if (button->text().remove(QLatin1Char('&')) == QLatin1String("Yes"))
                yes = button;
        ASSERT_TRUE(yes) << "no Yes button";
        Click(yes);
    });
    sys::InjectFault(sys::FaultOp::Create, 2, sys::ERROR_DISK_FULL);
    Key(Qt::Key_M, Qt::AltModifier);
    WaitForPanel();

    EXPECT_TRUE(error.contains(QStringLiteral("b.txt"))) << error.toStdString();
    EXPECT_EQ(OnDisk(QStringLiteral("D:\\Dest")), (QStringList{"a.txt", "c.txt"}));
    EXPECT_EQ(OnDisk(QStringLiteral("C:\\Data")), (QStringList{"b.txt", "d.txt"}));
    EXPECT_EQ(Entries(), (QStringList{"..", "b.txt", "d.txt"}));
    EXPECT_EQ(FocusedName(), QStringLiteral("d.txt"));
    EXPECT_EQ(Panel().SelCount, 1) << "b.txt keeps its selection";
}

TEST_F(TransferEndToEnd, CopyAsksBeforeReplacingAndUnselectsWhatItCopied)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "new");
    MakeFile(QStringLiteral("D:\\Out\\a.txt"), "old");
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.txt"));
    Key(Qt::Key_Space);
    AnswerDestination(QStringLiteral("D:\\Out"));
    QString asked;
    WhenDialog([this, &asked](QWidget *dialog) {
        auto *replace = qobject_cast<TfFileExists *>(dialog);
        ASSERT_TRUE(replace) << "not the replace question";
        asked = replace->FileName->text();
        Click(replace->Overwrite);
    });
    Key(Qt::Key_C, Qt::AltModifier);
    WaitForPanel();
    EXPECT_TRUE(asked.contains(QStringLiteral("a.txt"))) << asked.toStdString();
    EXPECT_EQ(Contents(QStringLiteral("D:\\Out\\a.txt")), "new");
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\a.txt")), "new");
    EXPECT_EQ(Panel().SelCount, 0);
    EXPECT_EQ(Main().LastDestination, QStringLiteral("D:\\Out"));
}

TEST_F(TransferEndToEnd, DeleteToTheRecycleBinAndRestore)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "keep me");
    MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
    SetTime(QStringLiteral("C:\\Data\\a.txt"), 1400000000);
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.txt"));

    // The default answer is No: Enter changes nothing.
    QString text;
    bool noFocused = false;
    WhenDialog([this, &text, &noFocused](QWidget *dialog) {
        auto *warning = qobject_cast<TfDelWarning *>(dialog);
        ASSERT_TRUE(warning) << "not the delete warning";
        text = warning->Text->text();
        noFocused = warning->NoBtn->hasFocus();
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_D, Qt::AltModifier);
    WaitForPanel();
    EXPECT_EQ(text, QStringLiteral("a.txt\n\nAre you sure you want to send to RecycleBin?"));
    EXPECT_TRUE(noFocused);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\a.txt")));

    WhenDialog([this](QWidget *dialog) {
        auto *warning = qobject_cast<TfDelWarning *>(dialog);
        ASSERT_TRUE(warning) << "not the delete warning";
        Click(warning->YesBtn);
    });
    Key(Qt::Key_D, Qt::AltModifier);
    WaitForPanel();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\a.txt")));
    EXPECT_EQ(Entries(), (QStringList{"..", "b.txt"}));
    EXPECT_EQ(FocusedName(), QStringLiteral("b.txt"));

    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\User\\.local\\share\\Trash\\files"));
    Focus(QStringLiteral("a.txt"));
    const TFile *trashed = Panel().GetItemFocused();
    EXPECT_TRUE(trashed->Description.startsWith(QStringLiteral("C:\\Data\\a.txt  (deleted ")))
        << trashed->Description.toStdString();
    Key(Qt::Key_B, Qt::ShiftModifier | Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\a.txt")), "keep me");
    EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\a.txt"))))
                  .lastModified()
                  .toSecsSinceEpoch(),
              1400000000);
    EXPECT_EQ(Entries(), QStringList{".."});
    EXPECT_EQ(OnDisk(QStringLiteral("C:\\User\\.local\\share\\Trash\\info")), QStringList());
}

} // namespace
} // namespace kestrel::test
