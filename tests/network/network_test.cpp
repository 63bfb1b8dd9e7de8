#include "network/fnetwork.h"
#include "network/neighbourhood.h"

#include "platform/errors.h"
#include "platform/network.h"
#include "tests/network/sambaserver.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTreeWidget>

namespace kestrel {
namespace {

const QString Spaced = QStringLiteral("Ünï share");

bool WaitFor(const std::function<bool()> &condition, int ms = 20000)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QStringList Rows(const TfNetwork &window)
{
    QStringList names;
    for (int i = 0; i < window.ListView()->topLevelItemCount(); ++i)
        names << window.ListView()->topLevelItem(i)->text(0);
    return names;
}

void Key(TfNetwork &window, int key, const QString &text = {})
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(window.ListView(), &event);
}

void Focus(TfNetwork &window, const QString &name)
{
    const QList<QTreeWidgetItem *> found =
        window.ListView()->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_FALSE(found.isEmpty()) << name.toStdString();
    window.ListView()->setCurrentItem(found.first());
}

TEST(NetworkNames, ServerAndSharePartsOfPaths)
{
    EXPECT_EQ(ServerOf(QStringLiteral("\\\\nas\\pub\\dir")), QStringLiteral("nas"));
    EXPECT_EQ(ServerOf(QStringLiteral("//nas/pub")), QStringLiteral("nas"));
    // Only a path that starts with two backslashes names a server.
    EXPECT_EQ(ServerOf(QStringLiteral("C:\\")), QString());
    EXPECT_EQ(ServerOf(QStringLiteral("\\x")), QString());
    EXPECT_EQ(ShareOf(QStringLiteral("\\\\nas\\pub\\dir\\deeper")), QStringLiteral("\\\\nas\\pub"));
    EXPECT_EQ(ShareOf(QStringLiteral("\\\\nas")), QString());
    EXPECT_TRUE(ShareItem(QStringLiteral("nas"), QStringLiteral("my share")).IsShare());
    EXPECT_FALSE(ServerItem(QStringLiteral("nas")).IsShare());
}

// A real smbd on the loopback address, with shares whose names hold blanks
// and accents.
class SambaTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        server = std::make_unique<test::SambaServer>(
            QStringList{QStringLiteral("share"), QStringLiteral("pub"), Spaced});
        // Never skipped: a machine without smbd fails these tests.
        ASSERT_TRUE(server->Failure().isEmpty()) << server->Failure().toStdString();
    }
    void TearDown() override
    {
        server.reset();
        MachineTest::TearDown();
    }
    std::unique_ptr<test::SambaServer> server;
};

TEST_F(SambaTest, TheServerListsItsDiskSharesOnly)
{
    QList<sys::SmbShare> shares;
    ASSERT_TRUE(sys::EnumerateShares(QStringLiteral("127.0.0.1"), {}, 10000, shares))
        << sys::GetLastError();
    QStringList names;
    for (const sys::SmbShare &share : shares)
        names << share.name;
    names.sort();
    // IPC$ is left out.
    EXPECT_EQ(names, QStringList({QStringLiteral("pub"), QStringLiteral("share"), Spaced}));
}

TEST_F(SambaTest, TheWindowListsTheSharesAndReturnsTheOneChosen)
{
    TfNetwork window(nullptr, std::make_shared<TSystemNeighbourhood>(),
                     QStringLiteral("\\\\127.0.0.1\\pub\\some\\folder"));
    EXPECT_EQ(window.Server(), QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(WaitFor([&] { return !window.Busy(); }));
    EXPECT_EQ(Rows(window), QStringList({QStringLiteral(".."), QStringLiteral("pub"),
                                         QStringLiteral("share"), Spaced}));
    // Shares are drawn black, the rest gray; the status bar names a share.
    const QTreeWidget *list = window.ListView();
    EXPECT_EQ(list->topLevelItem(1)->foreground(0).color(), QColor(Qt::black));
    Focus(window, Spaced);
    EXPECT_EQ(window.StatusBar()->currentMessage(), QStringLiteral("\\\\127.0.0.1\\") + Spaced);
    Focus(window, QStringLiteral(".."));
    EXPECT_EQ(window.StatusBar()->currentMessage(), QString());
    Focus(window, QStringLiteral("share"));
    Key(window, Qt::Key_Return);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.Result(), QStringLiteral("\\\\127.0.0.1\\share"));
}

TEST_F(SambaTest, UpLeavesTheServerAndFocusesIt)
{
    // The test machine's share names a server of its own: the neighbourhood
    // lists the servers of mapped shares.
    TfNetwork window(nullptr, std::make_shared<TSystemNeighbourhood>(),
                     QStringLiteral("\\\\server\\share"));
    ASSERT_TRUE(WaitFor([&] { return !window.Busy(); }));
    EXPECT_EQ(Rows(window), QStringList({QStringLiteral(".."), QStringLiteral("share")}));
    Key(window, Qt::Key_Backspace);
    ASSERT_TRUE(WaitFor([&] { return !window.Busy(); }));
    EXPECT_EQ(window.Server(), QString());
    EXPECT_TRUE(Rows(window).contains(QStringLiteral("server")));
    EXPECT_FALSE(Rows(window).contains(QStringLiteral("..")));
    EXPECT_EQ(window.ListView()->currentItem()->text(0), QStringLiteral("server"));
    EXPECT_EQ(window.ListView()->currentItem()->foreground(0).color(), QColor(0x80, 0x80, 0x80));
    Key(window, Qt::Key_Return); // a server opens
    ASSERT_TRUE(WaitFor([&] { return !window.Busy(); }));
    EXPECT_EQ(window.Server(), QStringLiteral("server"));
    Key(window, Qt::Key_Backslash, QStringLiteral("\\"));
    EXPECT_EQ(window.Server(), QString());
}

TEST(NetworkWindow, ADriveLetterStartOpensTheNeighbourhood)
{
    TfNetwork window(nullptr, std::make_shared<TSystemNeighbourhood>(), QStringLiteral("C:\\"));
    EXPECT_EQ(window.Server(), QString());
    TfNetwork shortStart(nullptr, std::make_shared<TSystemNeighbourhood>(), QStringLiteral("C:"));
    EXPECT_EQ(shortStart.Server(), QString());
}

TEST(NetworkWindow, AServerThatDoesNotAnswerLeavesAnEmptyListInTime)
{
    test::SilentServer silent;
    TfNetwork window(nullptr, std::make_shared<TSystemNeighbourhood>(),
                     QStringLiteral("\\\\127.0.0.1"));
    window.SetDeadline(1500);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    ASSERT_TRUE(WaitFor([&] { return !window.Busy(); }, 15000));
    // The window went on handling events while the server was asked.
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(Rows(window), QStringList{QStringLiteral("..")});
    EXPECT_EQ(window.StatusBar()->currentMessage(),
              QStringLiteral("\\\\127.0.0.1 does not answer."));
}

// Asks for a login once, then lists.
class LoginNeighbourhood : public TNeighbourhood {
public:
    QList<TNetworkItem> Servers() override { return {ServerItem(QStringLiteral("nas"))}; }
    bool Shares(const QString &server, const sys::SmbLogin &login,
                QList<TNetworkItem> &shares) override
    {
        logins.append(login.domain + QLatin1Char('|') + login.user + QLatin1Char('|') +
                      login.password);
        if (login.user != QLatin1String("me")) {
            sys::SetLastError(sys::ERROR_ACCESS_DENIED);
            return false;
        }
        shares = {ShareItem(server, QStringLiteral("private"))};
        return true;
    }
    QStringList logins;
};

TEST(NetworkWindow, AServerThatWantsALoginIsAskedWithIt)
{
    test::ScriptedAsk ask;
    ask.ExpectGetString(mrOk, QStringLiteral("WORK\\me"));
    ask.ExpectGetString(mrOk, QStringLiteral("secret"));
    auto neighbourhood = std::make_shared<LoginNeighbourhood>();
    TfNetwork window(nullptr, neighbourhood, QStringLiteral("\\\\nas"));
    ASSERT_TRUE(WaitFor([&] { return !window.Busy() && Rows(window).size() == 2; }));
    EXPECT_EQ(neighbourhood->logins,
              QStringList({QStringLiteral("||"), QStringLiteral("WORK|me|secret")}));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_TRUE(ask.asked[1].masked);
    EXPECT_EQ(Rows(window), QStringList({QStringLiteral(".."), QStringLiteral("private")}));
}

} // namespace
} // namespace kestrel
