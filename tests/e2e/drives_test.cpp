#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "network/fnetwork.h"
#include "panel/diskinfopanel.h"
#include "panel/fdrive.h"
#include "panel/fproperties.h"
#include "panel/kfileview.h"
#include "platform/drives.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTreeWidget>

namespace kestrel::test {
namespace {

constexpr sys::UINT64 TiB = sys::UINT64(1) << 40;

QStringList RowNames(QWidget *dialog)
{
    QStringList names;
    if (auto *drive = qobject_cast<TfDrive *>(dialog))
        for (const TDriveItem &row : drive->Rows())
            names << row.name;
    return names;
}

// The test machine with a drive of 5 TiB (G:, 1 TiB free) and one that is
// not ready (X:).
class DrivesTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Data"));
        MakeFolder(QStringLiteral("G:\\Big"));
        qputenv("KESTREL_DRIVES",
                qgetenv("KESTREL_DRIVES") +
                    QStringLiteral(";G=%1/g,fixed,Huge,12345678,%2/%3;X=%1/gone,fixed")
                        .arg(Root())
                        .arg(5 * TiB)
                        .arg(TiB)
                        .toUtf8());
        sys::ReloadDriveTable();
    }
    // System > Format..., the warning answered Yes; step acts on the drive
    // dialog.
    void Format(std::function<void(QWidget *)> step)
    {
        WhenDialog([this](QWidget *dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Format Warning"));
            Key(Qt::Key_Y);
        });
        WhenDialog(std::move(step));
        Key(Qt::Key_S, Qt::AltModifier);
        Key(Qt::Key_F);
        EXPECT_EQ(PendingDialogSteps(), 0);
    }
};

TEST_F(DrivesTest, FormatOffersNeitherCdromNorNetworkDrives)
{
    Start({QStringLiteral("C:\\Data")});
    QStringList rows;
    Format([this, &rows](QWidget *dialog) {
        rows = RowNames(dialog);
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(rows, QStringList({"A:", "C:", "D:", "G:", "X:"}));
}

TEST_F(DrivesTest, ChoosingADriveThatIsNotReadySaysSoAndKeepsTheDialog)
{
    Start({QStringLiteral("C:\\Data")});
    QString said;
    bool stillOpen = false;
    Format([this, &said, &stillOpen](QWidget *dialog) {
        WhenDialog([this, &said](QWidget *box) {
            said = qobject_cast<QMessageBox *>(box)->text();
            Key(Qt::Key_Return);
        });
        Type(QStringLiteral("x"));
        stillOpen = dialog->isVisible();
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(said, QStringLiteral("X Drive is not ready"));
    EXPECT_TRUE(stillOpen);
}

TEST_F(DrivesTest, TheDiskPanelWordsTheSpaceToFitTheWindow)
{
    Start({QStringLiteral("G:\\Big")});
    const TDiskInfoPanel *disk = Main().DiskInfo();
    ASSERT_TRUE(disk->isVisible());
    EXPECT_EQ(disk->UsagePercent(), 80);
    const QString longest =
        QStringLiteral("1,099,511,627,776 bytes Free (5,497,558,138,880 Total bytes)");
    const QString middle = QStringLiteral("1,048,576 M Free (5,242,880 M Total)");
    const QString shortest = QStringLiteral("1,048,576 M Free");
    QStringList seen;
    for (const int width : {1400, 900, 560}) {
        Main().resize(width, 500);
        WaitFor([&] {
            const QString text = disk->InfoText();
            return !seen.contains(text) && (text == longest || text == middle || text == shortest);
        });
        seen << disk->InfoText();
    }
    EXPECT_EQ(seen, QStringList({longest, middle, shortest}));
    // A click shows the drive's properties.
    Click(const_cast<TDiskInfoPanel *>(disk));
    TfProperties *properties = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<TfProperties *>(window); p && p->isVisible())
                properties = p;
        return properties != nullptr;
    }));
    EXPECT_EQ(properties->Value(QStringLiteral("Label")), QStringLiteral("Huge"));
    EXPECT_EQ(properties->Value(QStringLiteral("Capacity")),
              QStringLiteral("5,120 GB (5,497,558,138,880 bytes)"));
    properties->close();
}

TEST_F(DrivesTest, TheNetworkCommandOpensTheShareChosen)
{
    MakeFile(QStringLiteral("\\\\server\\share\\shared.txt"), "s");
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *dialog) {
        auto *network = qobject_cast<TfNetwork *>(dialog);
        ASSERT_TRUE(network);
        ASSERT_TRUE(WaitFor([&] { return !network->Busy(); }));
        network->ListView()->keyboardSearch(QStringLiteral("server"));
        Key(Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !network->Busy(); }));
        EXPECT_EQ(network->Server(), QStringLiteral("server"));
        network->ListView()->keyboardSearch(QStringLiteral("share"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_Slash, Qt::ShiftModifier);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_EQ(Panel().Drive(), QStringLiteral("\\\\server\\share"));
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("shared.txt")));
}

TEST_F(DrivesTest, AMappedLetterComesAndGoes)
{
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *dialog) {
        auto *letter = dialog->findChild<QComboBox *>(QStringLiteral("Drive"));
        ASSERT_TRUE(letter);
        EXPECT_EQ(letter->currentText(), QStringLiteral("F"));
        Type(QStringLiteral("C:\\Data"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_T, Qt::AltModifier);
    Key(Qt::Key_M);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_TRUE(Contents(Home(QStringLiteral("kestrel.ini")))
                    .contains(("F=" + Native(QStringLiteral("C:\\Data")) + ",fixed,Data\r\n")))
        << Contents(Home(QStringLiteral("kestrel.ini"))).constData();
    EXPECT_TRUE(PanelNames().contains(QStringLiteral("F:\\")));

    WhenDialog([this](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("Mappings"));
        ASSERT_TRUE(list);
        EXPECT_EQ(list->count(), 1);
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_T, Qt::AltModifier);
    Key(Qt::Key_N);
    EXPECT_EQ(PendingDialogSteps(), 0);
    EXPECT_FALSE(Contents(Home(QStringLiteral("kestrel.ini"))).contains("F="));
    EXPECT_FALSE(PanelNames().contains(QStringLiteral("F:\\")));
}

} // namespace
} // namespace kestrel::test
