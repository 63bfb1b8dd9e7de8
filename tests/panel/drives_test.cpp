#include "panel/diskinfopanel.h"
#include "panel/drivefacts.h"
#include "panel/fdrive.h"

#include "platform/drives.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>

namespace kestrel {
namespace {

constexpr sys::UINT64 GiB = 1073741824;
constexpr sys::UINT64 MiB = 1048576;
constexpr sys::UINT64 TiB = 1024 * GiB;

TEST(DriveTexts, SizesInMegabytesBelowABillionBytesElseGigabytes)
{
    const struct {
        sys::UINT64 bytes;
        const char *text;
    } rows[] = {
        {40 * GiB, "40 GB"},
        {512 * MiB, "512 MB"},
        {0, ""},
        {999999999, "954 MB"},    // the last size in MB
        {1000000000, "0.931 GB"}, // the first in GB
        {3 * GiB / 2, "1.5 GB"},
        {5 * TiB, "5,120 GB"}, // beyond 32 bits, and beyond three digits
        {999 * GiB + GiB / 2, "1,000 GB"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(DriveSizeText(row.bytes), QString::fromLatin1(row.text)) << row.bytes;
}

TEST(DriveTexts, TheDiskTextIsTheLongestWordingThatFits)
{
    const auto chars = [](const QString &text) { return int(text.size()); };
    const TDriveSpace disk{5 * TiB, 1 * TiB, true};
    EXPECT_EQ(DiskInfoText(disk, 100, chars),
              QStringLiteral("1,099,511,627,776 bytes Free (5,497,558,138,880 Total bytes)"));
    EXPECT_EQ(DiskInfoText(disk, 40, chars),
              QStringLiteral("1,048,576 M Free (5,242,880 M Total)"));
    EXPECT_EQ(DiskInfoText(disk, 20, chars), QStringLiteral("1,048,576 M Free"));
    EXPECT_EQ(DiskInfoText(disk, 12, chars), QStringLiteral("1,048,576 M"));
    EXPECT_EQ(DiskInfoText(disk, 5, chars), QString());
    // A floppy is counted in K.
    const TDriveSpace floppy{1457664, 1000000, true};
    EXPECT_EQ(DiskInfoText(floppy, 30, chars), QStringLiteral("976 K Free (1,423 K Total)"));
    EXPECT_EQ(DiskInfoText({}, 100, chars), QString());
}

TEST(DriveTexts, TheGaugeIsAPercentageOfSixtyFourBitCounts)
{
    EXPECT_EQ(DiskUsagePercent({5 * TiB, 1 * TiB, true}), 80);
    EXPECT_EQ(DiskUsagePercent({~sys::UINT64(0), 0, true}), 100);
    // An empty or unknown drive used to divide by zero.
    EXPECT_EQ(DiskUsagePercent({0, 0, true}), 0);
    EXPECT_EQ(DiskUsagePercent({}), 0);
    EXPECT_EQ(DiskUsagePercent({100, 200, true}), 0);
}

TEST(DriveTexts, RootsAndTypeNames)
{
    EXPECT_EQ(DriveRoot(QStringLiteral("d")), QStringLiteral("D:\\"));
    EXPECT_EQ(DriveRoot(QStringLiteral("c:\\Data")), QStringLiteral("C:\\"));
    EXPECT_EQ(DriveRoot(QStringLiteral("\\\\srv\\pub")), QStringLiteral("\\\\srv\\pub\\"));
    EXPECT_EQ(DriveTypeName(sys::DRIVE_FIXED), QStringLiteral("Local Drive"));
    EXPECT_EQ(DriveTypeName(sys::DRIVE_NO_ROOT_DIR), QString());
    EXPECT_EQ(DriveTypeName(DRIVE_WORKFOLDER), QString());
}

// The test machine with a drive that is not ready (X) and one of 5 TiB (G).
class DrivesTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("D:\\Work"));
        const QString t = Root();
        qputenv("KESTREL_DRIVES",
                QStringLiteral("C=%1/c,fixed,Local,1A2B3C4D;D=%1/d,fixed,Data,0D0D0D0D,%2;"
                               "A=%1/a,removable;E=%1/e,cdrom,DISC1;N=%1/n,remote;"
                               "G=%1/d,fixed,Huge,12345678,%3/%4;X=%1/gone,fixed,Gone")
                    .arg(t)
                    .arg(512 * MiB)
                    .arg(5 * TiB)
                    .arg(TiB)
                    .toUtf8());
        sys::ReloadDriveTable();
    }
    static QStringList Names(const QList<TDriveItem> &rows)
    {
        QStringList names;
        for (const TDriveItem &row : rows)
            names << row.name;
        return names;
    }
    const QStringList work = {QStringLiteral("D:\\Work"), QString(), QStringLiteral("C:\\")};
};

TEST_F(DrivesTest, RowsListDrivesSetWorkFoldersAndTheNetwork)
{
    const QList<TDriveItem> rows = DriveRows(work, QString());
    EXPECT_EQ(Names(rows),
              QStringList({"A:", "C:", "D:", "E:", "G:", "N:", "X:", "1:", "3:", "/:"}));
    const auto row = [&](const char *name) { return rows[Names(rows).indexOf(name)]; };
    EXPECT_EQ(row("A:").label, QStringLiteral("Floppy"));
    EXPECT_EQ(row("A:").size, 0u);
    EXPECT_EQ(row("D:").size, 512 * MiB);
    EXPECT_EQ(row("G:").size, 5 * TiB);
    EXPECT_EQ(row("G:").label, QStringLiteral("Huge"));
    EXPECT_EQ(row("E:").label, QStringLiteral("DISC1"));
    EXPECT_EQ(row("E:").size, 0u); // only fixed drives show a size
    EXPECT_EQ(row("X:").label, QString());
    EXPECT_EQ(row("X:").size, 0u);
    EXPECT_EQ(row("1:").type, DRIVE_WORKFOLDER);
    EXPECT_EQ(row("1:").label, QStringLiteral("D:\\Work"));
    EXPECT_EQ(row("/:").type, sys::DRIVE_REMOTE);
    EXPECT_EQ(row("/:").label, QStringLiteral("Network"));
    // Excluded letters compare without case; "/" leaves the network out.
    EXPECT_EQ(Names(DriveRows({}, QStringLiteral("egnx/"))), QStringList({"A:", "C:", "D:"}));
}

TEST_F(DrivesTest, TheCurrentRowAndTheKeysThatChoose)
{
    const QList<TDriveItem> rows = DriveRows(work, QString());
    EXPECT_EQ(rows[CurrentDriveRow(rows, QStringLiteral("d:\\Work"))].name, QStringLiteral("D:"));
    EXPECT_EQ(rows[CurrentDriveRow(rows, QStringLiteral("\\\\server\\share"))].name,
              QStringLiteral("/:"));
    EXPECT_EQ(CurrentDriveRow(rows, QStringLiteral("Q:\\")), 0);
    EXPECT_EQ(CurrentDriveRow({}, QStringLiteral("C:\\")), -1);
    EXPECT_EQ(rows[DriveRowForKey(rows, QLatin1Char('e'))].name, QStringLiteral("E:"));
    EXPECT_EQ(rows[DriveRowForKey(rows, QLatin1Char('3'))].name, QStringLiteral("3:"));
    EXPECT_EQ(rows[DriveRowForKey(rows, QLatin1Char('/'))].name, QStringLiteral("/:"));
    // Keys that match no row choose nothing: an empty slot, an excluded or
    // missing letter, a digit beyond the slots.
    EXPECT_EQ(DriveRowForKey(rows, QLatin1Char('2')), -1);
    EXPECT_EQ(DriveRowForKey(rows, QLatin1Char('q')), -1);
    EXPECT_EQ(DriveRowForKey(rows, QLatin1Char('9')), -1);
    EXPECT_EQ(DriveRowForKey(DriveRows({}, QStringLiteral("/")), QLatin1Char('/')), -1);
    EXPECT_EQ(DriveRowForKey({}, QLatin1Char('c')), -1);
}

// Records what the dialog asks of the program above it.
class FakeServices : public TDriveServices {
public:
    FakeServices() : previous(SetDriveServices(this)) {}
    ~FakeServices() override { SetDriveServices(previous); }
    QString SelectNetworkShare(QWidget *, const QString &current) override
    {
        asked << current;
        return share;
    }
    bool MapNetworkDrive(QWidget *) override { return ++maps, false; }
    bool DisconnectNetworkDrive(QWidget *, const QString &drive) override
    {
        disconnected << drive;
        return false;
    }
    void FormatDrive(QWidget *, QChar drive) override { formatted << drive; }

    QString share;
    QStringList asked;
    QStringList disconnected;
    QList<QChar> formatted;
    int maps = 0;

private:
    TDriveServices *previous;
};

class DriveDialogTest : public DrivesTest {
protected:
    void Key(TfDrive &dialog, int key, const QString &text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(dialog.ListBox(), &event);
    }
    void Select(TfDrive &dialog, const char *name)
    {
        for (int i = 0; i < dialog.Rows().size(); ++i)
            if (dialog.Rows()[i].name == QLatin1String(name))
                dialog.ListBox()->setCurrentRow(i);
    }
    test::ScriptedAsk ask;
    FakeServices services;
};

TEST_F(DriveDialogTest, ALetterOrDigitChoosesAtOnce)
{
    TfDrive dialog(nullptr, QStringLiteral("C:\\Data"), work, QString());
    EXPECT_EQ(dialog.Rows()[dialog.ListBox()->currentRow()].name, QStringLiteral("C:"));
    Key(dialog, Qt::Key_E, QStringLiteral("e"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), QStringLiteral("E"));

    // With every work folder set, 2 returns "2".
    TfDrive allSet(nullptr, QStringLiteral("C:\\Data"),
                   {QStringLiteral("D:\\Work"), QStringLiteral("C:\\Data"), QStringLiteral("C:\\")},
                   QString());
    Key(allSet, Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(allSet.Result(), QStringLiteral("2"));

    TfDrive again(nullptr, QStringLiteral("C:\\Data"), work, QString());
    Key(again, Qt::Key_2, QStringLiteral("2")); // slot 2 is empty
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(again.Result(), QString());
    Key(again, Qt::Key_3, QStringLiteral("3"));
    EXPECT_EQ(again.Result(), QStringLiteral("3"));
    EXPECT_TRUE(ask.asked.isEmpty());

    // Escape carries a character too; it used to be taken for a drive key
    // and never closed the dialog.
    TfDrive third(nullptr, QStringLiteral("C:\\Data"), work, QString());
    third.show();
    Key(third, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(third.isVisible());
    EXPECT_EQ(third.result(), QDialog::Rejected);
}

TEST_F(DriveDialogTest, ADriveThatIsNotReadyIsReportedAndTheDialogStays)
{
    TfDrive dialog(nullptr, QStringLiteral("C:\\"), {}, QString());
    ask.ExpectMessageBox(mrOk);
    Key(dialog, Qt::Key_X, QStringLiteral("x"));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("X Drive is not ready"));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Result(), QString());
}

TEST_F(DriveDialogTest, ADriveThatDisappearsWhileTheDialogIsOpen)
{
    TfDrive dialog(nullptr, QStringLiteral("D:\\Work"), {}, QString());
    qputenv("KESTREL_DRIVES", QStringLiteral("C=%1/c,fixed,Local").arg(Root()).toUtf8());
    sys::ReloadDriveTable();
    ask.ExpectMessageBox(mrOk);
    Key(dialog, Qt::Key_Return);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("D Drive is not ready"));
    Key(dialog, Qt::Key_F5);
    EXPECT_EQ(Names(dialog.Rows()), QStringList({"C:", "/:"}));
    EXPECT_EQ(dialog.ListBox()->count(), 2);
}

TEST_F(DriveDialogTest, TheStatusBarAndToolBarFollowTheSelection)
{
    TfDrive dialog(nullptr, QStringLiteral("C:\\"), work, QString());
    const auto status = [&] { return dialog.StatusBar()->currentMessage(); };
    EXPECT_EQ(status(), QStringLiteral("Local Drive"));
    EXPECT_FALSE(dialog.Action(QStringLiteral("tbFormat"))->isEnabled());
    EXPECT_FALSE(dialog.Action(QStringLiteral("tbUnMap"))->isEnabled());
    EXPECT_EQ(dialog.Action(QStringLiteral("tbRefresh"))->toolTip(),
              QStringLiteral("Refresh (F5)"));
    Select(dialog, "A:");
    EXPECT_EQ(status(), QStringLiteral("Removable"));
    EXPECT_TRUE(dialog.Action(QStringLiteral("tbFormat"))->isEnabled());
    Key(dialog, Qt::Key_F11);
    EXPECT_EQ(services.formatted, QList<QChar>{QLatin1Char('A')});
    Select(dialog, "N:");
    EXPECT_EQ(status(), QStringLiteral("Network"));
    EXPECT_TRUE(dialog.Action(QStringLiteral("tbUnMap"))->isEnabled());
    Key(dialog, Qt::Key_F4);
    EXPECT_EQ(services.disconnected, QStringList{QStringLiteral("N:")});
    Key(dialog, Qt::Key_F3);
    EXPECT_EQ(services.maps, 1);
    Select(dialog, "E:");
    EXPECT_EQ(status(), QStringLiteral("Compact Disk"));
    Key(dialog, Qt::Key_F11); // a CD-ROM is not formatted
    EXPECT_EQ(services.formatted.size(), 1);
    Select(dialog, "1:");
    EXPECT_EQ(status(), QStringLiteral("D:\\Work"));
    Select(dialog, "/:");
    EXPECT_FALSE(dialog.Action(QStringLiteral("tbUnMap"))->isEnabled());
}

TEST_F(DriveDialogTest, TheNetworkRowReturnsTheShareChosen)
{
    TfDrive dialog(nullptr, QStringLiteral("\\\\server\\share\\x"), {}, QString());
    EXPECT_EQ(dialog.Rows()[dialog.ListBox()->currentRow()].name, QStringLiteral("/:"));
    Key(dialog, Qt::Key_Return); // nothing chosen in the browser: the dialog stays
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    services.share = QStringLiteral("\\\\server\\share");
    Key(dialog, Qt::Key_Slash, QStringLiteral("/"));
    EXPECT_EQ(services.asked, QStringList({QStringLiteral("\\\\server\\share\\x"),
                                           QStringLiteral("\\\\server\\share\\x")}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), QStringLiteral("\\\\server\\share"));
}

TEST_F(DrivesTest, TheDiskPanelPicksItsWordingByWidth)
{
    TDiskInfoPanel panel;
    panel.SetFolder(QStringLiteral("G:\\Some\\Where"), false);
    EXPECT_EQ(panel.Drive(), QStringLiteral("G:"));
    EXPECT_EQ(panel.Space().total, 5 * TiB);
    EXPECT_EQ(panel.UsagePercent(), 80);
    QStringList seen;
    for (const int width : {900, 420, 260}) {
        panel.resize(width, 24);
        panel.show();
        QApplication::processEvents();
        seen << panel.InfoText();
    }
    EXPECT_EQ(seen[0],
              QStringLiteral("1,099,511,627,776 bytes Free (5,497,558,138,880 Total bytes)"));
    EXPECT_EQ(seen[1], QStringLiteral("1,048,576 M Free (5,242,880 M Total)"));
    EXPECT_EQ(seen[2], QStringLiteral("1,048,576 M Free"));
    // A drive that is not ready shows an empty gauge and no text.
    panel.SetFolder(QStringLiteral("X:\\"), false);
    EXPECT_EQ(panel.UsagePercent(), 0);
    EXPECT_EQ(panel.InfoText(), QString());
    QString clicked;
    panel.OnClick = [&](const QString &root) { clicked = root; };
    panel.SetFolder(QStringLiteral("D:\\Work"), false);
    QTest::mouseClick(&panel, Qt::LeftButton);
    EXPECT_EQ(clicked, QStringLiteral("D:\\"));
}

} // namespace
} // namespace kestrel
