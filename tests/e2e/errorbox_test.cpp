#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>

namespace kestrel::test {
namespace {

// What a title bar shows for a window: Qt appends the application's display
// name, when one was set, to every title that does not already end with it.
QString ShownTitle(const QWidget &window)
{
    const QString title = window.windowTitle();
    const QString display = QGuiApplication::applicationDisplayName();
    if (display == QCoreApplication::applicationName() || title.endsWith(display))
        return title;
    return title + QStringLiteral(" \u2014 ") + display;
}

struct SeenBox {
    QString text;
    QString title;
    QRect frame;
    int titleRoom = 0; // the title's width with room for the title bar's buttons
};

class ErrorBoxTest : public EndToEndTest {
protected:
    // Records the next message box and closes it with Enter.
    void WhenErrorBox(SeenBox &seen)
    {
        WhenDialog([this, &seen](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            ASSERT_TRUE(box) << "not a message box";
            seen.text = box->text();
            seen.title = ShownTitle(*box);
            seen.frame = box->frameGeometry();
            const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
            seen.titleRoom = title.horizontalAdvance(seen.title) + 4 * title.height() + 48;
            Key(Qt::Key_Return);
        });
    }
};

// The box used to say "the file/folder which has same name is already
// exists" without the name, under the caption "Error — Kestrel 4.0", cut
// short by a box narrower than its title, off the window's centre.
TEST_F(ErrorBoxTest, NamesTheFolderAndSitsCentredOverTheWindow)
{
    MakeFolder(QStringLiteral("C:\\Data\\Old"));
    Start({QStringLiteral("C:\\Data")});
    EXPECT_EQ(ShownTitle(Main()), QStringLiteral("Kestrel 4.0"));
    WhenDialog([this](QWidget *) {
        Type(QStringLiteral("Old"));
        Key(Qt::Key_Return);
    });
    SeenBox seen;
    WhenErrorBox(seen);
    Key(Qt::Key_K, Qt::AltModifier);
    ASSERT_EQ(PendingDialogSteps(), 0);

    EXPECT_TRUE(seen.text.contains(QStringLiteral("C:\\Data\\Old"))) << seen.text.toStdString();
    EXPECT_TRUE(seen.text.contains(QStringLiteral("already exists"))) << seen.text.toStdString();
    EXPECT_EQ(seen.title, QStringLiteral("Error"));
    EXPECT_GE(seen.frame.width(), seen.titleRoom) << "the title does not fit";
    const QRect window = Main().frameGeometry();
    EXPECT_LE((seen.frame.center() - window.center()).manhattanLength(), 2)
        << "box at " << seen.frame.x() << "," << seen.frame.y() << " " << seen.frame.width() << "x"
        << seen.frame.height();
    EXPECT_TRUE(window.contains(seen.frame));
}

// A window near the screen's edge still gets its box wholly on the screen.
TEST_F(ErrorBoxTest, StaysOnTheScreenBesideAWindowAtItsEdge)
{
    MakeFolder(QStringLiteral("C:\\Data\\Old"));
    MakeFile(Home(QStringLiteral("kestrel.ini")), "[Window]\r\nFile=0,-300,-200,420,300\r\n");
    Start({QStringLiteral("C:\\Data")});
    WhenDialog([this](QWidget *) {
        Type(QStringLiteral("Old"));
        Key(Qt::Key_Return);
    });
    SeenBox seen;
    WhenErrorBox(seen);
    Key(Qt::Key_K, Qt::AltModifier);
    ASSERT_EQ(PendingDialogSteps(), 0);
    const QRect screen = Main().screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(seen.frame))
        << "box at " << seen.frame.x() << "," << seen.frame.y();
}

} // namespace
} // namespace kestrel::test
