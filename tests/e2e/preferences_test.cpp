// Preferences as a person uses it: Ctrl+F12 opens it over the main window,
// keys change a few settings, Enter applies them and closes it; the settings
// file and the panel show the change. Escape closes it without a trace.

#include "tests/e2e/e2e.h"

#include "app/fpreferences.h"
#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

namespace kestrel::test {
namespace {

class PreferencesEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")),
                 "; kept\r\n[Option]\r\nAutoRefresh=0\r\nFocus=1\r\nMine=7\r\n");
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\secret.txt"), "s");
        SetAttributes(QStringLiteral("C:\\Data\\secret.txt"), sys::FILE_ATTRIBUTE_HIDDEN);
    }
    bool Closed() const
    {
        return PendingDialogSteps() == 0 && QApplication::activeModalWidget() == nullptr;
    }
};

TEST_F(PreferencesEndToEnd, ChangesAppliedWithOkReachTheFileAndThePanel)
{
    Start({QStringLiteral("C:\\Data")});
    EXPECT_FALSE(PanelNames().contains(QStringLiteral("secret.txt")));
    bool mainBlocked = false;
    WhenDialog([&](QWidget *dialog) {
        auto *prefs = qobject_cast<TfPreferences *>(dialog);
        ASSERT_TRUE(prefs) << "not the Preferences dialog";
        mainBlocked =
            QApplication::activeModalWidget() == prefs && !Main().isEnabled() && prefs->isEnabled();
        // The dialog fits the smallest screen it is meant for.
        EXPECT_LE(prefs->width(), 1024);
        EXPECT_LE(prefs->height(), 768);
        EXPECT_EQ(prefs->Pages->currentIndex(), 0);
        Key(Qt::Key_H, Qt::AltModifier);
        ASSERT_TRUE(WaitFor([&] { return prefs->Hidden->isChecked(); }));
        Key(Qt::Key_F, Qt::AltModifier);
        ASSERT_EQ(FocusWidget(), prefs->FocusFrame);
        Key(Qt::Key_Down); // Line -> Dot
        EXPECT_EQ(prefs->FocusFrame->currentText(), QStringLiteral("Dot"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F12, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return Closed(); }));
    EXPECT_TRUE(mainBlocked);
    EXPECT_TRUE(Main().isEnabled());

    const QString ini = QString::fromUtf8(Contents(Home(QStringLiteral("kestrel.ini"))));
    EXPECT_TRUE(ini.contains(QLatin1String("Hidden=1\r\n")));
    EXPECT_TRUE(ini.contains(QLatin1String("Focus=0\r\n")));
    EXPECT_TRUE(ini.contains(QLatin1String("; kept\r\n")));
    EXPECT_TRUE(ini.contains(QLatin1String("Mine=7\r\n")));
    EXPECT_TRUE(Exists(Home(QStringLiteral("kestrel.col"))));
    EXPECT_TRUE(WaitFor([&] { return PanelNames().contains(QStringLiteral("secret.txt")); }));
    EXPECT_EQ(Panel().FocusStyle(), fsDot);
}

TEST_F(PreferencesEndToEnd, EscapeClosesWithoutWriting)
{
    Start({QStringLiteral("C:\\Data")});
    const QByteArray before = Contents(Home(QStringLiteral("kestrel.ini")));
    WhenDialog([&](QWidget *dialog) {
        auto *prefs = qobject_cast<TfPreferences *>(dialog);
        ASSERT_TRUE(prefs);
        Key(Qt::Key_H, Qt::AltModifier);
        ASSERT_TRUE(WaitFor([&] { return prefs->Hidden->isChecked(); }));
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_F12, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return Closed(); }));
    EXPECT_EQ(Contents(Home(QStringLiteral("kestrel.ini"))), before);
    EXPECT_FALSE(Exists(Home(QStringLiteral("kestrel.col"))));
    EXPECT_FALSE(PanelNames().contains(QStringLiteral("secret.txt")));
}

} // namespace
} // namespace kestrel::test
