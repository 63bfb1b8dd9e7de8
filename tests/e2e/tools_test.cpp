#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"
#include "tools/datetimeedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>

#include <zlib.h>

namespace kestrel::test {
namespace {

class ToolsTest : public EndToEndTest {};

TEST_F(ToolsTest, SplitAndJoinBackByKeys)
{
    const QByteArray data = Pattern(3000000);
    MakeFile(QStringLiteral("C:\\Data\\movie.avi"), data);
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("movie.avi"));

    // The proposed folder and size (1440 KB for 3 MB) are taken with Enter.
    WhenDialog([this](QWidget *dialog) {
        auto *label = dialog->findChild<QLabel *>();
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), QStringLiteral("movie.avi (3,000,000 bytes)"));
        auto *size = dialog->findChild<QComboBox *>();
        ASSERT_TRUE(size);
        EXPECT_EQ(size->currentText(), QStringLiteral("1440 KB"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    for (const char *name : {"movie.001", "movie.002", "movie.003", "movie.crc"})
        EXPECT_TRUE(PanelNames().contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\movie.003")), data.sliced(2880000));
    EXPECT_TRUE(WaitFor([this] { return FocusWidget() == &Panel(); }));

    // Join from any piece: Yes to the count, a new name in the save dialog.
    Focus(QStringLiteral("movie.002"));
    WhenDialog([this](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), QStringLiteral("Do you want to join 3 files (3,000,020 bytes)?"));
        Key(Qt::Key_Return);
    });
    WhenDialog([this](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<QFileDialog *>(dialog));
        // The name from the header is proposed, selected: typing replaces it.
        Type(QStringLiteral("copy.avi"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\copy.avi")), data);
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("copy.avi")));
}

TEST_F(ToolsTest, RenameOneFileAndARunByTheAdvancedRule)
{
    for (const char *name : {"a.txt", "b.txt", "report.txt"})
        MakeFile(QStringLiteral("C:\\Data\\") + QLatin1String(name), name);
    Start({QStringLiteral("C:\\Data")});

    Focus(QStringLiteral("report.txt"));
    WhenDialog([this](QWidget *dialog) {
        // Without Change Extension only the name before it is typed. The box
        // is clicked as a button is, a moment after its key.
        Key(Qt::Key_X, Qt::AltModifier);
        auto *extension = dialog->findChild<QCheckBox *>();
        ASSERT_TRUE(extension);
        ASSERT_TRUE(WaitFor([extension] { return !extension->isChecked(); }));
        Type(QStringLiteral("final"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\final.txt")), "report.txt");
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\report.txt")));
    EXPECT_TRUE(WaitFor([this] { return FocusedName() == QStringLiteral("final.txt"); }));

    // All three: Advanced, the rule Head "new_", OK.
    Key(Qt::Key_U, Qt::AltModifier);
    WhenDialog([this](QWidget *) { Key(Qt::Key_A, Qt::AltModifier); });
    WhenDialog([this](QWidget *dialog) {
        Key(Qt::Key_D, Qt::AltModifier);
        Type(QStringLiteral("new_"));
        auto *preview = dialog->findChild<QTreeWidget *>();
        ASSERT_TRUE(preview);
        ASSERT_EQ(preview->topLevelItemCount(), 3);
        EXPECT_EQ(preview->topLevelItem(0)->text(1), QStringLiteral("new_a.txt"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\new_a.txt")), "a.txt");
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\new_b.txt")), "b.txt");
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\new_final.txt")), "report.txt");
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("new_final.txt")));
    EXPECT_FALSE(PanelNames().contains(QStringLiteral("a.txt")));
}

// The joined file is not written when a piece does not match its CRC and
// the user does not go on.
TEST_F(ToolsTest, ADamagedPieceIsNamedAndNothingIsJoined)
{
    const QByteArray first = "data.bin   10/01234";
    const quint32 crc =
        quint32(crc32(0, reinterpret_cast<const Bytef *>(first.constData()), uInt(first.size())));
    MakeFile(QStringLiteral("C:\\Data\\x.001"), first);
    MakeFile(QStringLiteral("C:\\Data\\x.002"), "56789");
    MakeFile(QStringLiteral("C:\\Data\\x.crc"),
             "; TotalSize : 10\r\n;            5 x.001\r\n;            5 x.002\r\nx.001 " +
                 QByteArray::number(crc, 16).rightJustified(8, '0').toUpper() +
                 "\r\nx.002 00000000\r\n");
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("x.001"));
    WhenDialog([this](QWidget *) { Key(Qt::Key_Return); });
    WhenDialog([this](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        ASSERT_TRUE(files);
        const auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), QStringLiteral("data.bin"));
        Key(Qt::Key_Return);
    });
    QString said;
    WhenDialog([this, &said](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        said = box->text();
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_TRUE(said.startsWith(QStringLiteral("x.002 is damaged: its CRC is "))) << said.toStdString();
    EXPECT_TRUE(said.endsWith(QStringLiteral("Join the pieces anyway?"))) << said.toStdString();
    EXPECT_EQ(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Data")))).entryList(QDir::Files),
              (QStringList{"x.001", "x.002", "x.crc"}));
}

// a.txt and A.TXT are two files on Linux: changing the case of one onto the
// other is refused and both stay as they are.
TEST_F(ToolsTest, CaseNeverTakesTheNameOfAnotherFile)
{
    MakeFile(QStringLiteral("C:\\Data\\note.txt"), "lower");
    MakeFile(QStringLiteral("C:\\Data\\NOTE.TXT"), "upper");
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("note.txt"));
    const bool upper = FocusedName() == QStringLiteral("note.txt");
    WhenDialog([this](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("fCharCase"));
        Key(Qt::Key_Return);
    });
    WhenDialog([this](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_T, Qt::AltModifier);
    Key(upper ? Qt::Key_U : Qt::Key_L);
    ASSERT_TRUE(WaitFor([this] { return PendingDialogSteps() == 0; }));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\note.txt")), "lower");
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\NOTE.TXT")), "upper");
}

// Digits are typed into the date box as it takes them; a day that does not
// exist is refused and the dialog comes again.
TEST_F(ToolsTest, ADayThatDoesNotExistIsRefused)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    SetTime(QStringLiteral("C:\\Data\\a.txt"), 1000000000);
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("a.txt"));
    WhenDialog([this](QWidget *dialog) {
        auto *date = dialog->findChild<TDateEdit *>();
        ASSERT_TRUE(date);
        Key(Qt::Key_G, Qt::AltModifier);
        ASSERT_TRUE(WaitFor([date] { return date->isEnabled(); }));
        Key(Qt::Key_D, Qt::AltModifier);
        Key(Qt::Key_Home);
        Type(QStringLiteral("200240230")); // the 4 of a month is refused
        EXPECT_EQ(date->text(), QStringLiteral("2002-02-30"));
        Key(Qt::Key_Return);
    });
    QString said;
    WhenDialog([this, &said](QWidget *dialog) {
        said = qobject_cast<QMessageBox *>(dialog) ? static_cast<QMessageBox *>(dialog)->text()
                                                   : QString();
        Key(Qt::Key_Return);
    });
    WhenDialog([this](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("fAttrib"));
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return PendingDialogSteps() == 0; }));
    EXPECT_EQ(said, QStringLiteral("There is no day 2002-02-30."));
    EXPECT_EQ(QFileInfo(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\a.txt"))))
                  .lastModified()
                  .toSecsSinceEpoch(),
              1000000000);
}

} // namespace
} // namespace kestrel::test
