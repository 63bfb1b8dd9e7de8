#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QScreen>

namespace kestrel::test {
namespace {

// Notes where the main window stands when its native window is made.
class WindowBirth : public QObject {
public:
    WindowBirth() { qApp->installEventFilter(this); }
    ~WindowBirth() override { qApp->removeEventFilter(this); }
    QPoint position;
    bool seen = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WinIdChange && !seen)
            if (auto *window = qobject_cast<TfMain *>(watched)) {
                position = window->pos();
                seen = true;
            }
        return false;
    }
};

class PlacementTest : public EndToEndTest {
protected:
    void WritePlacement(const QString &value)
    {
        MakeFile(Home(QStringLiteral("kestrel.ini")),
                 QStringLiteral("[Window]\r\nFile=%1\r\n").arg(value).toUtf8());
    }
    QString SavedPlacement() const
    {
        const QRegularExpression line(QStringLiteral("^File=(.*)$"),
                                      QRegularExpression::MultilineOption |
                                          QRegularExpression::CaseInsensitiveOption);
        const auto match =
            line.match(QString::fromUtf8(Contents(Home(QStringLiteral("kestrel.ini")))));
        return match.hasMatch() ? match.captured(1).trimmed() : QString();
    }
};

// The window used to creep by its frame at every restart: the saved frame
// position was applied as the position of the client area.
TEST_F(PlacementTest, RestartsRestoreThePlacementTheySaved)
{
    WritePlacement(QStringLiteral("0,300,200,640,480"));
    for (int run = 0; run < 4; ++run) {
        Start();
        EXPECT_EQ(Main().frameGeometry().topLeft(), QPoint(300, 200)) << "run " << run;
        EXPECT_EQ(Main().size(), QSize(640, 480)) << "run " << run;
        Quit();
        EXPECT_EQ(SavedPlacement(), QStringLiteral("0,300,200,640,480")) << "run " << run;
    }
}

// A window system that learns the frame only when the window appears (X11
// with a window manager) places the frame where it is told only for a
// position given before the window is made; one given later is taken as the
// client area's, and the window crept up and left by its frame at every
// restart.
TEST_F(PlacementTest, PlacementIsGivenBeforeTheWindowIsMade)
{
    WritePlacement(QStringLiteral("0,300,200,640,480"));
    const WindowBirth birth;
    Start();
    ASSERT_TRUE(birth.seen);
    EXPECT_EQ(birth.position, QPoint(300, 200))
        << "made at " << birth.position.x() << "," << birth.position.y();
}

TEST_F(PlacementTest, DefaultPlacementStaysPutAcrossRestarts)
{
    Start();
    Quit();
    const QString first = SavedPlacement();
    EXPECT_EQ(first, QStringLiteral("0,100,100,550,500"));
    for (int run = 0; run < 3; ++run) {
        Start();
        Quit();
        EXPECT_EQ(SavedPlacement(), first) << "run " << run;
    }
}

TEST_F(PlacementTest, MaximisedWindowReopensMaximised)
{
    WritePlacement(QStringLiteral("1,5,5,10,10"));
    for (int run = 0; run < 2; ++run) {
        Start();
        EXPECT_TRUE(WaitFor([this] { return Main().isMaximized(); })) << "run " << run;
        EXPECT_GT(Main().width(), 10);
        Quit();
        EXPECT_TRUE(SavedPlacement().startsWith(QStringLiteral("1,")))
            << SavedPlacement().toStdString();
    }
}

} // namespace
} // namespace kestrel::test
