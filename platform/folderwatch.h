#pragma once
// TFolderWatch: watches native folders (each by itself, not its subtree) for
// the changes a FILE_NOTIFY_CHANGE_* filter asks for, writes into existing
// files included, and reports them through the event loop of its thread.
// Changes read together give one Changed per folder. A folder that goes away
// (deleted, renamed, unmounted) is dropped and reported once as Gone.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>

class QSocketNotifier;

namespace kestrel::sys {

class TFolderWatch : public QObject {
    Q_OBJECT
public:
    explicit TFolderWatch(QObject *parent = nullptr);
    ~TFolderWatch() override;

    // True when the filter names a change the watch can report. Last access
    // is never reported: reading the folder to show it would count as one.
    static bool Observable(DWORD notifyFilter);

    // Watches a folder. Fails with the last error set when the path is not a
    // folder or cannot be read, the filter has nothing observable, or the
    // system's limit of watches is reached. A folder reached by several paths
    // is watched once, for the union of their filters.
    bool Add(const QByteArray &nativeFolder, DWORD notifyFilter);
    void Remove(const QByteArray &nativeFolder);
    bool Contains(const QByteArray &nativeFolder) const { return watches.contains(nativeFolder); }

Q_SIGNALS:
    void Changed(const QByteArray &nativeFolder);
    void Gone(const QByteArray &nativeFolder);

private:
    void ReadEvents();
    void Drop(int wd, QList<QByteArray> &gone);

    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QHash<int, QList<QByteArray>> paths; // by watch descriptor
    QHash<QByteArray, int> watches;      // watch descriptor by path
};

} // namespace kestrel::sys
