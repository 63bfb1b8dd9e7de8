#include "panel/kfileview.h"

#include "tests/support/machine.h"

#include <QImage>
#include <QTest>
#include <QToolTip>

namespace kestrel {
namespace {

QColor FromRef(TColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

bool HasColor(const QImage &image, const QRect &rect, const QColor &color)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y) == color)
                return true;
        }
    }
    return false;
}

// Paints the real widget and checks colours by role and extension. With
// KESTREL_SHOT_DIR set, the images are kept there for a look by eye.
class WidgetTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\report.txt"), "text");
        MakeFile(QStringLiteral("C:\\Data\\letter.doc"), QByteArray(123456789 / 1000, 'x'));
        MakeFile(QStringLiteral("C:\\Data\\a very long file name that will not fit.txt"), "x");
        MakeFile(QStringLiteral("C:\\Data\\README"), "r");
        MakeFile(QStringLiteral("C:\\Data\\setup.exe"), "e");
        MakeFolder(QStringLiteral("C:\\Data\\Music"));
        MakeFolder(QStringLiteral("C:\\Data\\Pictures"));
        MakeFile(QStringLiteral("C:\\home.col"),
                 "[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\nTXT=65280\r\nDOC=16776960\r\nEXE=255\r\n");
    }
    void Save(const QImage &image, const char *name)
    {
        const QByteArray dir = qgetenv("KESTREL_SHOT_DIR");
        if (!dir.isEmpty())
            image.save(QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name));
    }
};

TEST_F(WidgetTest, ListViewColoursFocusAndSelection)
{
    TKFileView view;
    view.resize(900, 360);
    view.SetColorFile(QStringLiteral("C:\\home.col"));
    view.SetSortType(fstExt);
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.Select(view.Files.IndexOf(QStringLiteral("letter.doc")));
    view.Select(view.Files.IndexOf(QStringLiteral("setup.exe")));
    const int focused = view.Files.IndexOf(QStringLiteral("report.txt"));
    view.SetFocused(focused);
    const QImage image = view.grab().toImage();
    Save(image, "panel-list.png");

    const QRect focusRow = view.ItemRect(view.Files[focused]);
    const QColor green = FromRef(view.Colors().GetExtColor(QStringLiteral("txt")));
    // The focused row is inverted: its background takes the name colour.
    EXPECT_EQ(image.pixelColor(focusRow.right() - 4, focusRow.center().y()), green);
    const QRect exeRow = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("setup.exe"))]);
    EXPECT_TRUE(HasColor(image, exeRow.adjusted(28, 0, -exeRow.width() / 2, 0), QColor(255, 0, 0)));
    const QRect folderRow = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("Music"))]);
    EXPECT_TRUE(HasColor(image, folderRow, FromRef(view.Colors().GetColor(ciFolder))));
    EXPECT_EQ(view.SelCount, 2);

    view.SetViewStyle(vsIcon);
    view.SetCharCase(ccCapital);
    const QImage icons = view.grab().toImage();
    Save(icons, "panel-icons.png");
    const QRect focusCell = view.ItemRect(view.Files[focused]);
    EXPECT_TRUE(HasColor(icons, focusCell, green));
}

TEST_F(WidgetTest, ClippedNameOffersATooltipAndKeysSearch)
{
    TKFileView view;
    view.resize(300, 200);
    view.SetColumn(1);
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.grab();
    const int longName =
        view.Files.IndexOf(QStringLiteral("a very long file name that will not fit.txt"));
    ASSERT_GE(longName, 0);
    view.SetFocused(longName);
    view.grab();
    EXPECT_TRUE(view.Files[longName]->NameClipped);
    // Focusing it again prepares its full name, in the panel's case.
    view.SetFocused(0);
    view.SetFocused(longName);
    view.ToolTipTimer(); // the 500 ms tick
    EXPECT_EQ(QToolTip::text(), QStringLiteral("A VERY LONG FILE NAME THAT WILL NOT FIT.TXT"));
    view.SetFocused(0); // hidden on every focus change
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    QTest::keyClicks(&view, QStringLiteral("rep"));
    EXPECT_EQ(view.GetItemFocused()->GetFullName(), QStringLiteral("report.txt"));
    QTest::keyClick(&view, 'R', Qt::ShiftModifier); // Shift+letter is a command key
    EXPECT_EQ(view.FindText, QStringLiteral("rep"));
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.FocusedIndex, 0);
    EXPECT_EQ(view.FindText, QString());
}

// Records the region of every paint event the panel receives.
class PaintRecorder : public QObject {
public:
    QList<QRegion> regions;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
};

TEST_F(WidgetTest, FocusMoveWithinThePagePaintsOnlyTheTwoRows)
{
    for (int i = 0; i < 40; ++i)
        MakeFile(QStringLiteral("C:\\Data\\file%1.txt").arg(i), "x");
    TKFileView view;
    view.resize(700, 300);
    view.SetFolder(QStringLiteral("C:\\Data"));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    PaintRecorder recorder;
    view.installEventFilter(&recorder);
    ASSERT_GT(view.Column(), 1);
    // From the first column to the last row of the second: rows far apart.
    const int target = view.RowsPerPage() * 2 - 1;
    ASSERT_LE(target, view.GetPageEnd());
    const QRegion expected =
        QRegion(view.ItemRect(view.Files[0])) + QRegion(view.ItemRect(view.Files[target]));
    // Drawing a row recomputes its NameClipped flag: mark every row to see
    // which ones are drawn again.
    for (int i = 0; i < view.Files.Count(); ++i)
        view.Files[i]->NameClipped = true;
    view.SetFocused(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.regions.isEmpty(); }));
    QRegion painted;
    for (const QRegion &region : recorder.regions)
        painted += region;
    EXPECT_EQ(painted, expected);
    QList<int> drawn;
    for (int i = 0; i < view.Files.Count(); ++i) {
        if (!view.Files[i]->NameClipped)
            drawn.append(i);
    }
    EXPECT_EQ(drawn, (QList<int>{0, target}));
}

// Steps of more than 160 of 255 in brightness between the two pixels of a
// pair (columns 2k and 2k+1). A picture drawn at half the resolution and
// stretched, smoothly or not, has none: stretching repeats each pixel or
// spreads each step over two pixels, at most half of it between neighbours.
int SharpSteps(const QImage &image, const QRect &rect)
{
    int steps = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x < rect.right(); ++x) {
            const int a = qGray(image.pixel(x, y));
            const int b = qGray(image.pixel(x + 1, y));
            // Within a pair that stands for one stretched pixel: never a
            // step when stretched, often one on a sharp picture's edges.
            if (x % 2 == 0 && std::abs(a - b) > 160)
                ++steps;
        }
    }
    return steps;
}

// On a 2x screen the title strip used to be drawn at one pixel per point
// and stretched, its text blurred; it is drawn at full resolution now, as
// the rows are. Icons too come at the resolution painted on.
TEST_F(WidgetTest, TitleAndIconsAtTheResolutionPaintedOn)
{
    TKFileView view;
    view.resize(500, 200);
    view.SetViewIcon(true);
    view.SetFolder(QStringLiteral("C:\\Data"));
    QImage image(view.size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::black);
    view.render(&image);
    image.setDevicePixelRatio(1);
    Save(image, "panel-2x.png");
    const int title = 2 * (TFileLayout::TitleHeight - 1);
    EXPECT_GT(SharpSteps(image, QRect(0, 0, 2 * view.ListRect().width(), title)), 10);
    // A white page on the black background.
    const QRect file = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("report.txt"))]);
    const QRect icon(2 * (file.left() + TFileLayout::SelectStripWidth), 2 * file.top(), 32,
                     2 * file.height());
    EXPECT_GT(SharpSteps(image, icon), 0);
}

TEST_F(WidgetTest, ShortNamesWithLongNamesOffAndManyColumns)
{
    const char *const exts[] = {"txt", "doc", "exe", "zip", "jpg"};
    for (int i = 0; i < 45; ++i)
        MakeFile(QStringLiteral("C:\\Work\\quarterly report %1.%2").arg(i).arg(exts[i % 5]), "x");
    MakeFolder(QStringLiteral("C:\\Work\\Projects"));
    TKFileView view;
    view.resize(900, 360);
    view.SetColorFile(QStringLiteral("C:\\home.col"));
    view.SetFolder(QStringLiteral("C:\\Work"));
    const int entry = view.Files.IndexOf(QStringLiteral("quarterly report 7.exe"));
    ASSERT_GE(entry, 0);
    EXPECT_FALSE(view.Files[entry]->ShortName.isEmpty());
    view.SelectAll(false);
    view.SetFocused(entry);
    Save(view.grab().toImage(), "panel-columns.png");
    ASSERT_GT(view.Column(), 1);

    // A long name clipped in a narrow column fits once shown in 8.3 form.
    view.resize(220, 360);
    view.SetColumn(1);
    view.grab();
    ASSERT_TRUE(view.Files[entry]->NameClipped);
    view.SetLongName(false);
    view.grab();
    EXPECT_FALSE(view.Files[entry]->NameClipped);
    view.resize(900, 360);
    view.SetColumn(0);
    Save(view.grab().toImage(), "panel-short.png");
}

} // namespace
} // namespace kestrel
