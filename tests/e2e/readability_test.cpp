#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "app/workfolderbuttons.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QToolButton>

#include <cmath>

namespace kestrel::test {
namespace {

// Contrast of two colours as readability guidelines measure it, from 1
// (the same) to 21 (black on white).
double Luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast between the area's background (the pixel at the
// middle of its left edge, inside any frame) and any pixel inside it: the
// text's full colour, at the middle of a stroke.
double InkContrast(const QImage &image)
{
    const QRgb background = image.pixel(1, image.height() / 2);
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, Contrast(image.pixel(x, y), background));
    return best;
}

class ReadabilityTest : public EndToEndTest {
protected:
    // What the screen shows of a widget inside the main window.
    QImage Seen(QWidget *widget) const
    {
        return Main().grab(QRect(widget->mapTo(&Main(), QPoint(0, 0)), widget->size())).toImage();
    }
    // The start of an entry's row, where its name is drawn (before any
    // column line).
    QImage SeenName(const QString &name) const
    {
        for (int i = 0; i < Panel().Files.Count(); ++i)
            if (Panel().Files.Get(i)->GetFullName() == name) {
                const QRect row = Panel().ItemRect(Panel().Files.Get(i));
                return Main()
                    .grab(QRect(Panel().mapTo(&Main(), row.topLeft()), QSize(30, row.height())))
                    .toImage();
            }
        return QImage();
    }
};

// The work-folder buttons were yellow and magenta on light grey.
TEST_F(ReadabilityTest, WorkFolderButtonsAreReadableInEveryState)
{
    MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    Start({QStringLiteral("C:\\Data")});
    QToolButton *first = Main().WorkFolders()->Button(0);
    const double empty = InkContrast(Seen(first));
    EXPECT_GE(empty, 4.5) << "an empty slot";
    Click(first); // sets slot 1 to the folder shown
    ASSERT_EQ(Main().WorkFolders()->Folders().Get(0), QStringLiteral("C:\\Data"));
    const QImage here = Seen(first);
    EXPECT_GE(InkContrast(here), 4.5) << "the slot of the folder shown";
    Focus(QStringLiteral("Sub"));
    Key(Qt::Key_Return);
    ASSERT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    const QImage other = Seen(first);
    EXPECT_GE(InkContrast(other), 4.5) << "a slot of another folder";
    // The three states still look different.
    EXPECT_NE(here, other);
}

// With icons off a cut entry looked like any other: the focus bar and the
// columns beside the name hid the mark.
TEST_F(ReadabilityTest, CutEntriesAreDimmedWithoutIcons)
{
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    MakeFile(QStringLiteral("C:\\Data\\b.txt"), "b");
    MakeFile(QStringLiteral("C:\\Data\\c.txt"), "c");
    Start({QStringLiteral("C:\\Data")});
    ASSERT_FALSE(Panel().ViewIcon());
    Focus(QStringLiteral("b.txt"));
    const double focusedBefore = InkContrast(SeenName(QStringLiteral("b.txt")));
    Key(Qt::Key_X, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return Panel().GetItemFocused()->Cut; }));
    // Still focused: the bar shows the cut too.
    EXPECT_LT(InkContrast(SeenName(QStringLiteral("b.txt"))), focusedBefore * 0.7);
    Key(Qt::Key_Down);
    ASSERT_EQ(FocusedName(), QStringLiteral("c.txt"));
    const double cut = InkContrast(SeenName(QStringLiteral("b.txt")));
    const double plain = InkContrast(SeenName(QStringLiteral("a.txt")));
    EXPECT_LT(cut, plain * 0.5) << "cut " << cut << " plain " << plain;
    EXPECT_GE(cut, 2.0) << "dimmed so far that it cannot be read";
}

// A name too long for its column is offered whole in a tool tip, which used
// to run past the screen's edge.
TEST_F(ReadabilityTest, LongNameToolTipStaysOnTheScreen)
{
    const QString name =
        QStringLiteral("long") + QString(240, QLatin1Char('n')) + QStringLiteral("end.txt");
    MakeFile(QStringLiteral("C:\\Data\\") + name, "x");
    MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
    Start({QStringLiteral("C:\\Data")});
    Focus(name);
    QWidget *tip = nullptr;
    ASSERT_TRUE(WaitFor([&tip] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible())
                tip = w;
        return tip != nullptr;
    })) << "no tool tip for the long name";
    const QRect screen = Main().screen()->geometry();
    EXPECT_TRUE(screen.contains(tip->frameGeometry()))
        << "tip " << tip->x() << "," << tip->y() << " " << tip->width() << "x" << tip->height();
    QString shown = tip->property("text").toString();
    shown.remove(QLatin1Char('\n'));
    // Shown in the panel's name case.
    EXPECT_EQ(shown.compare(name, Qt::CaseInsensitive), 0) << shown.toStdString();
}

} // namespace
} // namespace kestrel::test
