#pragma once
// TfNetwork: the "Network" window, through which the user picks a share by
// walking the neighbourhood: servers, then a server's shares. Shares are
// drawn black, everything else gray. Enter or a double click chooses (a share
// closes the window, a server opens), Backspace or ".." goes up, "\" goes to
// the top. A server is asked on a worker thread: the window stays responsive
// and shows an empty list when no answer comes in time.

#include "network/neighbourhood.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class QAction;
class QStatusBar;
class QTreeWidget;

namespace kestrel {

class TfNetwork : public QDialog {
    Q_OBJECT
public:
    // start: a path whose server part ("\\server") opens that server's
    // shares; anything else opens the neighbourhood.
    TfNetwork(QWidget *parent, std::shared_ptr<TNeighbourhood> neighbourhood, const QString &start);
    ~TfNetwork() override;

    // The chosen share, "\\server\share"; empty until one is chosen.
    QString Result() const { return chosen; }
    QTreeWidget *ListView() const { return lvNetwork; }
    QStatusBar *StatusBar() const { return statusBar; }
    // The server shown, "" at the top.
    QString Server() const { return server; }
    // True while a server is being asked.
    bool Busy() const { return job != nullptr; }
    // How long an answer is waited for before the list is left empty.
    void SetDeadline(int ms) { deadlineMs = ms; }

    void OpenFolder(const QString &server, const QString &focusName = QString());
    void Choose();
    void Up();
    void Root();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Job;
    void Poll();
    void Show(const QList<TNetworkItem> &items, const QString &focusName);
    void SelectionChanged();
    bool AskLogin(sys::SmbLogin &login);

    std::shared_ptr<TNeighbourhood> neighbourhood;
    QString server;
    QString chosen;
    QList<TNetworkItem> rows; // without the ".." row
    QTreeWidget *lvNetwork;
    QStatusBar *statusBar;
    QAction *tbUp;
    std::shared_ptr<Job> job;
    QString jobServer;
    QString jobFocus;
    sys::SmbLogin login;
    QTimer poll;
    QElapsedTimer waited;
    int deadlineMs = TSystemNeighbourhood::timeoutMs + 3000;
};

// Opens the window over owner on the machine's neighbourhood and returns the
// chosen share, or "" when none was chosen.
QString SelectNetworkShare(QWidget *owner, const QString &start);

} // namespace kestrel
