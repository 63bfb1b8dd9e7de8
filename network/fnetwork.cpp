#include "network/fnetwork.h"

#include "network/modal.h"

#include "ops/ask.h"
#include "platform/errors.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrel {

namespace {

const QString kParent = QStringLiteral("..");
// A ".." row carries no item.
constexpr int kItemRole = Qt::UserRole;

// Questions to servers outlive a window closed while they wait, and they end
// by reading the drive table. They are joined before the process's statics
// go: a detached one would read that table after exit destroyed it. Made on
// first use, after start-up, this is destroyed before those statics.
class TQueryThreads {
public:
    static TQueryThreads &Instance()
    {
        static TQueryThreads threads;
        return threads;
    }

    void Start(std::function<void()> work)
    {
        std::lock_guard lock(mutex);
        JoinFinished();
        auto finished = std::make_shared<std::atomic<bool>>(false);
        running.push_back({std::thread([work = std::move(work), finished] {
                               work();
                               *finished = true;
                           }),
                           finished});
    }

    ~TQueryThreads()
    {
        for (Running &query : running)
            query.thread.join();
    }

private:
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void JoinFinished()
    {
        std::erase_if(running, [](Running &query) {
            if (!*query.finished)
                return false;
            query.thread.join();
            return true;
        });
    }

    std::mutex mutex;
    std::vector<Running> running;
};

} // namespace

// One question to the neighbourhood, answered on a worker thread. The worker
// keeps its own reference, so a window closed meanwhile leaves it nothing
// to write into but this.
struct TfNetwork::Job {
    std::mutex mutex;
    bool done = false;
    bool ok = false;
    sys::DWORD error = 0;
    QList<TNetworkItem> items;
};

TfNetwork::TfNetwork(QWidget *parent, std::shared_ptr<TNeighbourhood> neighbourhood,
                     const QString &start)
    : QDialog(parent), neighbourhood(std::move(neighbourhood)), lvNetwork(new QTreeWidget(this)),
      statusBar(new QStatusBar(this))
{
    setWindowTitle(QStringLiteral("Network"));
    setObjectName(QStringLiteral("fNetwork"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tbUp = toolBar->addAction(style()->standardIcon(QStyle::SP_FileDialogToParent),
                              QStringLiteral("Up"), this, &TfNetwork::Up);
    tbUp->setObjectName(QStringLiteral("tbUp"));
    tbUp->setToolTip(QStringLiteral("Up (Backspace)"));
    QAction *tbRoot = toolBar->addAction(style()->standardIcon(QStyle::SP_DriveNetIcon),
                                         QStringLiteral("Network"), this, &TfNetwork::Root);
    tbRoot->setObjectName(QStringLiteral("tbRoot"));
    tbRoot->setToolTip(QStringLiteral("All servers (\\)"));
    for (QWidget *button : toolBar->findChildren<QWidget *>())
        button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(toolBar);

    lvNetwork->setObjectName(QStringLiteral("lvNetwork"));
    lvNetwork->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type")});
    lvNetwork->setRootIsDecorated(false);
    lvNetwork->setUniformRowHeights(true);
    lvNetwork->header()->setStretchLastSection(true);
    lvNetwork->header()->resizeSection(0, 260);
    lvNetwork->installEventFilter(this);
    layout->addWidget(lvNetwork, 1);
    statusBar->setSizeGripEnabled(false);
    layout->addWidget(statusBar);
    setMinimumSize(440, 320);

    connect(lvNetwork, &QTreeWidget::currentItemChanged, this, &TfNetwork::SelectionChanged);
    connect(lvNetwork, &QTreeWidget::itemActivated, this, [this] { Choose(); });
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, &TfNetwork::Poll);
    OpenFolder(ServerOf(start));
    lvNetwork->setFocus();
}

TfNetwork::~TfNetwork() = default;

void TfNetwork::OpenFolder(const QString &name, const QString &focusName)
{
    server = name;
    tbUp->setEnabled(!server.isEmpty());
    rows.clear();
    Show({}, QString());
    statusBar->showMessage(server.isEmpty() ? QStringLiteral("Looking for servers...")
                                            : QStringLiteral("Asking \\\\%1...").arg(server));
    job = std::make_shared<Job>();
    jobServer = server;
    jobFocus = focusName;
    TQueryThreads::Instance().Start(
        [job = job, neighbourhood = neighbourhood, name, login = login] {
            QList<TNetworkItem> items;
            bool ok = true;
            if (name.isEmpty())
                items = neighbourhood->Servers();
            else
                ok = neighbourhood->Shares(name, login, items);
            const sys::DWORD error = sys::GetLastError();
            std::lock_guard lock(job->mutex);
            job->items = items;
            job->ok = ok;
            job->error = error;
            job->done = true;
        });
    waited.start();
    poll.start();
}

void TfNetwork::Poll()
{
    if (!job)
        return;
    QList<TNetworkItem> items;
    bool ok = false;
    sys::DWORD error = 0;
    {
        std::lock_guard lock(job->mutex);
        if (!job->done) {
            if (waited.elapsed() < deadlineMs)
                return;
            error = sys::ERROR_BAD_NETPATH;
        } else {
            items = job->items;
            ok = job->ok;
            error = job->error;
        }
    }
    job.reset();
    poll.stop();
    if (!ok && error == sys::ERROR_ACCESS_DENIED && AskLogin(login)) {
        OpenFolder(jobServer, jobFocus);
        return;
    }
    rows = items;
    Show(rows, jobFocus);
    if (!ok && rows.isEmpty())
        statusBar->showMessage(QStringLiteral("\\\\%1 does not answer.").arg(jobServer));
    else if (rows.isEmpty())
        statusBar->showMessage(jobServer.isEmpty() ? QStringLiteral("No servers found.")
                                                   : QStringLiteral("No shares found."));
}

bool TfNetwork::AskLogin(sys::SmbLogin &wanted)
{
    QString user = wanted.user;
    if (Ask().GetString(
            this, QStringLiteral("Connect to \\\\%1").arg(jobServer),
            QStringLiteral("\\\\%1 wants a user name and password.\n\nUser name").arg(jobServer),
            user, true, false) != mrOk ||
        user.trimmed().isEmpty())
        return false;
    QString password;
    if (Ask().GetString(this, QStringLiteral("Connect to \\\\%1").arg(jobServer),
                        QStringLiteral("Password of %1").arg(user.trimmed()), password, false,
                        false, true) != mrOk)
        return false;
    wanted.user = user.trimmed();
    wanted.password = password;
    // "DOMAIN\user" names the domain too.
    if (const qsizetype cut = wanted.user.indexOf(QLatin1Char('\\')); cut > 0) {
        wanted.domain = wanted.user.left(cut);
        wanted.user = wanted.user.mid(cut + 1);
    }
    return true;
}

void TfNetwork::Show(const QList<TNetworkItem> &items, const QString &focusName)
{
    lvNetwork->clear();
    if (!server.isEmpty()) {
        auto *parent = new QTreeWidgetItem(lvNetwork, {kParent, QString()});
        parent->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogToParent));
    }
    QTreeWidgetItem *focus = nullptr;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TNetworkItem &item = items[i];
        auto *row = new QTreeWidgetItem(lvNetwork, {item.displayName, item.typeName});
        row->setData(0, kItemRole, int(i));
        const QColor colour = item.IsShare() ? QColor(0, 0, 0) : QColor(0x80, 0x80, 0x80);
        row->setForeground(0, colour);
        row->setForeground(1, colour);
        row->setIcon(0, style()->standardIcon(item.IsShare() ? QStyle::SP_DirIcon
                                                             : QStyle::SP_ComputerIcon));
        if (!focusName.isEmpty() && item.displayName.compare(focusName, Qt::CaseInsensitive) == 0)
            focus = row;
    }
    if (!focus)
        focus = lvNetwork->topLevelItem(server.isEmpty() || items.isEmpty() ? 0 : 1);
    lvNetwork->setCurrentItem(focus);
    SelectionChanged();
}

void TfNetwork::SelectionChanged()
{
    const QTreeWidgetItem *current = lvNetwork->currentItem();
    const QVariant index = current ? current->data(0, kItemRole) : QVariant();
    if (index.isValid() && rows[index.toInt()].IsShare())
        statusBar->showMessage(rows[index.toInt()].parsingName);
    else if (!job)
        statusBar->clearMessage();
}

void TfNetwork::Choose()
{
    const QTreeWidgetItem *current = lvNetwork->currentItem();
    if (!current || job)
        return;
    const QVariant index = current->data(0, kItemRole);
    if (!index.isValid()) {
        Up();
        return;
    }
    const TNetworkItem &item = rows[index.toInt()];
    const QString share = ShareOf(item.parsingName);
    if (!share.isEmpty()) {
        chosen = share;
        accept();
        return;
    }
    OpenFolder(ServerOf(item.parsingName));
}

void TfNetwork::Up()
{
    if (server.isEmpty())
        return;
    OpenFolder(QString(), server);
}

void TfNetwork::Root()
{
    OpenFolder(QString());
}

bool TfNetwork::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lvNetwork && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Choose();
            return true;
        case Qt::Key_Backspace:
            Up();
            return true;
        case Qt::Key_Backslash:
            Root();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString SelectNetworkShare(QWidget *owner, const QString &start)
{
    TfNetwork window(owner ? owner->window() : QApplication::activeWindow(),
                     std::make_shared<TSystemNeighbourhood>(), start);
    return ExecModal(window, owner) == QDialog::Accepted ? window.Result() : QString();
}

} // namespace kestrel
