// Find Files feeding the panel: the items found listed there, deleted from
// there as from a folder, and ".." back to the folder shown before.

#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "find/ffindfiles.h"
#include "ops/fdelwarning.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrel::test {
namespace {

class FeedEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFile(QStringLiteral("C:\\Data\\keep.txt"), "k");
        MakeFile(QStringLiteral("C:\\Data\\Alpha\\gone1.txt"), "g1");
        MakeFile(QStringLiteral("C:\\Data\\Beta\\gone2.txt"), "g2");
        MakeFile(QStringLiteral("C:\\Data\\Gamma\\same.txt"), "s1");
        MakeFile(QStringLiteral("C:\\Data\\Delta\\same.txt"), "s2");
        MakeFile(QStringLiteral("C:\\Data\\Delta\\other.doc"), "o");
        MakeFolder(QStringLiteral("C:\\Start"));
    }

    void WaitForPanel()
    {
        ASSERT_TRUE(WaitFor([this] {
            return QApplication::activeModalWidget() == nullptr && Main().isEnabled() &&
                   FocusWidget() == &Panel();
        }));
    }

    // The panel's entries but "..", sorted.
    QStringList Listed() const
    {
        QStringList names = PanelNames();
        names.removeAll(QStringLiteral(".."));
        names.sort(Qt::CaseInsensitive);
        return names;
    }
};

TEST_F(FeedEndToEnd, FedResultsAreDeletedFromThePanelAndDotDotGoesBack)
{
    Start({QStringLiteral("C:\\Start")});
    bool feedEnabledWhenDone = false;
    WhenDialog([&](QWidget *dialog) {
        auto *find = qobject_cast<TfFindFiles *>(dialog);
        ASSERT_TRUE(find) << "not the Find Files dialog";
        // Nothing found yet: nothing to feed.
        EXPECT_FALSE(find->FeedButton->isEnabled());
        Key(Qt::Key_S, Qt::AltModifier);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("C:\\Data"));
        Key(Qt::Key_N, Qt::AltModifier);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("*.txt"));
        Key(Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !find->Running(); })) << "the search never ended";
        feedEnabledWhenDone = find->FeedButton->isEnabled();
        Key(Qt::Key_P, Qt::AltModifier);
    });
    Key(Qt::Key_F7, Qt::AltModifier);
    WaitForPanel();
    EXPECT_TRUE(feedEnabledWhenDone);
    // Every item by its way from the searched folder: the two same.txt apart.
    EXPECT_EQ(Listed(), (QStringList{"Alpha\\gone1.txt", "Beta\\gone2.txt", "Delta\\same.txt",
                                     "Gamma\\same.txt", "keep.txt"}));
    EXPECT_TRUE(Panel().FoundMode());

    // Typing finds an entry by its own name too.
    Type(QStringLiteral("gone1"));
    EXPECT_EQ(FocusedName(), QStringLiteral("Alpha\\gone1.txt"));
    Key(Qt::Key_Space);
    Key(Qt::Key_Escape);
    Type(QStringLiteral("gone2"));
    EXPECT_EQ(FocusedName(), QStringLiteral("Beta\\gone2.txt"));
    Key(Qt::Key_Space);
    ASSERT_EQ(Panel().SelCount, 2);
    QString asked;
    WhenDialog([&](QWidget *dialog) {
        auto *warning = qobject_cast<TfDelWarning *>(dialog);
        ASSERT_TRUE(warning) << "not the delete warning";
        asked = warning->Text->text();
        Click(warning->YesBtn);
    });
    Key(Qt::Key_Delete);
    WaitForPanel();
    EXPECT_FALSE(asked.isEmpty());
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Alpha\\gone1.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\Beta\\gone2.txt")));
    for (const char *stays : {"C:\\Data\\keep.txt", "C:\\Data\\Gamma\\same.txt",
                              "C:\\Data\\Delta\\same.txt", "C:\\Data\\Delta\\other.doc"})
        EXPECT_TRUE(Exists(QString::fromLatin1(stays))) << stays;
    EXPECT_EQ(Listed(), (QStringList{"Delta\\same.txt", "Gamma\\same.txt", "keep.txt"}));

    // The listing is no folder: what would put something into it says so.
    QString refusal;
    WhenDialog([&](QWidget *dialog) {
        if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            refusal = label->text();
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_K, Qt::AltModifier);
    WaitForPanel();
    EXPECT_TRUE(refusal.contains(QLatin1String("nothing can be put into it")))
        << refusal.toStdString();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\New Folder")));
    EXPECT_TRUE(Panel().FoundMode());

    // Backspace leaves the listing for the folder shown before it.
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(Panel().FoundMode());
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Start"));
    EXPECT_EQ(PanelNames().first(), QStringLiteral(".."));
}

} // namespace
} // namespace kestrel::test
