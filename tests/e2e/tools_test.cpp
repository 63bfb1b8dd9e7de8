#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTreeWidget>

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

} // namespace
} // namespace kestrel::test
