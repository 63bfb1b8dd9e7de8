#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"
#include "platform/fileapi.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace kestrel::test {
namespace {

const QString DescPath = QStringLiteral("C:\\Data\\descript.dat");

class DescriptionsTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
        MakeFile(QStringLiteral("C:\\Data\\hid.txt"), "h");
        SetAttributes(QStringLiteral("C:\\Data\\hid.txt"), sys::FILE_ATTRIBUTE_HIDDEN);
    }
    // Alt+Enter on the focused entry; the dialog's text replaced by text.
    void Describe(const QString &name, const QString &text)
    {
        Focus(name);
        WhenDialog([this, name, text](QWidget *dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Add/Modify Description"));
            bool prompted = false;
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                prompted =
                    prompted || label->text() == QStringLiteral("'%1'\n\nEmpty in order to remove "
                                                                "description")
                                                     .arg(name);
            EXPECT_TRUE(prompted) << "no prompt naming " << name.toStdString();
            Key(Qt::Key_A, Qt::ControlModifier);
            Key(Qt::Key_Delete);
            Type(text);
            Key(Qt::Key_Return);
        });
        Key(Qt::Key_Return, Qt::AltModifier);
        EXPECT_EQ(PendingDialogSteps(), 0);
    }
    QString Shown(const QString &name) const
    {
        const TFile *entry = Panel().Files.Get(Panel().Files.IndexOf(name));
        return entry ? entry->Description : QStringLiteral("<not listed>");
    }
};

TEST_F(DescriptionsTest, AHiddenFileKeepsItsDescriptionWhileHidden)
{
    Start({QStringLiteral("C:\\Data")});
    Key(Qt::Key_Z, Qt::AltModifier); // hidden files shown
    ASSERT_TRUE(PanelNames().contains(QStringLiteral("hid.txt")));
    Describe(QStringLiteral("hid.txt"), QStringLiteral("kept safe   "));
    EXPECT_EQ(Contents(DescPath), "hid.txt=kept safe\r\n");
    Key(Qt::Key_Z, Qt::AltModifier); // hidden again
    ASSERT_FALSE(PanelNames().contains(QStringLiteral("hid.txt")));
    Describe(QStringLiteral("a.txt"), QStringLiteral("visible"));
    EXPECT_EQ(Contents(DescPath), "hid.txt=kept safe\r\na.txt=visible\r\n");
    EXPECT_EQ(Shown(QStringLiteral("a.txt")), QStringLiteral("visible"));
    Key(Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(Shown(QStringLiteral("hid.txt")), QStringLiteral("kept safe"));
}

TEST_F(DescriptionsTest, ClearingTheOnlyDescriptionRemovesTheFile)
{
    Start({QStringLiteral("C:\\Data")});
    Describe(QStringLiteral("b.txt"), QStringLiteral("bee"));
    EXPECT_TRUE(Exists(DescPath));
    EXPECT_TRUE(sys::GetFileAttributes(DescPath) & sys::FILE_ATTRIBUTE_HIDDEN);
    Describe(QStringLiteral("b.txt"), QString());
    EXPECT_FALSE(Exists(DescPath));
    EXPECT_EQ(Shown(QStringLiteral("b.txt")), QString());
}

TEST_F(DescriptionsTest, CancelAsksAboutTheRestAndNoStops)
{
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.txt"));
    Key(Qt::Key_Space); // selects and moves on
    Key(Qt::Key_Space);
    ASSERT_EQ(Panel().SelCount, 2);
    QString asked;
    WhenDialog([this](QWidget *) { Key(Qt::Key_Escape); });
    WhenDialog([this, &asked](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        asked = box->text();
        Key(Qt::Key_N);
    });
    Key(Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(asked, QStringLiteral("Do you want to process the rest of files?"));
    EXPECT_FALSE(Exists(DescPath));
}

TEST_F(DescriptionsTest, DeleteAllAsksThenRemovesTheFile)
{
    MakeFile(DescPath, "a.txt=one\r\nb.txt=two\r\n");
    Start({QStringLiteral("C:\\Data")});
    EXPECT_EQ(Shown(QStringLiteral("b.txt")), QStringLiteral("two"));
    QString asked;
    WhenDialog([this, &asked](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Delete All Description"));
        asked = qobject_cast<QMessageBox *>(dialog)->text();
        Key(Qt::Key_Y);
    });
    Key(Qt::Key_T, Qt::AltModifier);
    Key(Qt::Key_D);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(asked, QStringLiteral("Are you sure you want to delete all description?"));
    EXPECT_FALSE(Exists(DescPath));
    EXPECT_EQ(Shown(QStringLiteral("b.txt")), QString());
}

} // namespace
} // namespace kestrel::test
