// Folder change notification over inotify. Unlike a plain name watch, the
// mask carries IN_MODIFY and IN_CLOSE_WRITE when size or last-write changes
// are asked for, so a file growing in place is seen.

#include "platform/folderwatch.h"

#include "platform/errors.h"
#include "platform/native.h"

#include <QPointer>
#include <QSet>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <sys/inotify.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

constexpr std::uint32_t kNames = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kContents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB;
// Asked for always, so that a folder that goes away is dropped.
constexpr std::uint32_t kSelf = IN_DELETE_SELF | IN_MOVE_SELF;

std::uint32_t EventMask(DWORD filter)
{
    std::uint32_t mask = 0;
    if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
        mask |= kNames;
    if (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY))
        mask |= IN_ATTRIB;
    if (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE))
        mask |= kContents;
    if (filter & FILE_NOTIFY_CHANGE_CREATION)
        mask |= IN_CREATE;
    return mask;
}

bool Fail(DWORD code)
{
    SetLastError(code);
    return false;
}

DWORD WatchError(int err, const QByteArray &native)
{
    // Out of watches or instances: a resource limit, not a full disk.
    if (err == ENOSPC || err == EMFILE || err == ENFILE)
        return ERROR_NOT_ENOUGH_MEMORY;
    return PathError(err, native);
}

} // namespace

TFolderWatch::TFolderWatch(QObject *parent) : QObject(parent)
{
    fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TFolderWatch::ReadEvents);
}

TFolderWatch::~TFolderWatch()
{
    // The notifier must let go of the descriptor before it is closed.
    delete notifier;
    if (fd >= 0)
        ::close(fd);
}

bool TFolderWatch::Observable(DWORD notifyFilter)
{
    return EventMask(notifyFilter) != 0;
}

bool TFolderWatch::Add(const QByteArray &nativeFolder, DWORD notifyFilter)
{
    const std::uint32_t mask = EventMask(notifyFilter);
    if (mask == 0)
        return Fail(ERROR_INVALID_PARAMETER);
    if (fd < 0)
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    const int wd =
        inotify_add_watch(fd, nativeFolder.constData(), mask | kSelf | IN_ONLYDIR | IN_MASK_ADD);
    if (wd < 0)
        return Fail(WatchError(errno, nativeFolder));
    if (watches.value(nativeFolder, -1) != wd) {
        // New, or the name now leads to another folder than before.
        Remove(nativeFolder);
        watches.insert(nativeFolder, wd);
        paths[wd].append(nativeFolder);
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

void TFolderWatch::Remove(const QByteArray &nativeFolder)
{
    const auto it = watches.constFind(nativeFolder);
    if (it == watches.cend())
        return;
    const int wd = it.value();
    watches.erase(it);
    QList<QByteArray> &others = paths[wd];
    others.removeOne(nativeFolder);
    if (others.isEmpty()) {
        paths.remove(wd);
        inotify_rm_watch(fd, wd);
    }
}

void TFolderWatch::Drop(int wd, QList<QByteArray> &gone)
{
    const auto it = paths.constFind(wd);
    if (it == paths.cend())
        return; // removed by us; this is the kernel's acknowledgement
    for (const QByteArray &path : it.value()) {
        watches.remove(path);
        gone.append(path);
    }
    paths.erase(it);
    // A renamed folder keeps its watch under the new name; end it. For a
    // deleted one the kernel has ended it already and this fails harmlessly.
    inotify_rm_watch(fd, wd);
}

void TFolderWatch::ReadEvents()
{
    QList<int> changed; // in the order of their first event
    QSet<int> seen;
    QList<QByteArray> gone;
    bool overflow = false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // EAGAIN: all read. Anything else would repeat forever.
            if (n == 0 || errno != EAGAIN)
                notifier->setEnabled(false);
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                overflow = true;
            else if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED))
                Drop(event->wd, gone);
            else if (paths.contains(event->wd) && !seen.contains(event->wd)) {
                seen.insert(event->wd);
                changed.append(event->wd);
            }
        }
    }

    // Lost events could have touched any folder.
    QList<QByteArray> report = overflow ? watches.keys() : QList<QByteArray>();
    if (!overflow)
        for (int wd : changed)
            report += paths.value(wd);

    // A receiver may delete this watch or change its folders.
    const QPointer<TFolderWatch> self(this);
    for (const QByteArray &path : gone) {
        Q_EMIT Gone(path);
        if (!self)
            return;
    }
    for (const QByteArray &path : report) {
        if (!watches.contains(path))
            continue;
        Q_EMIT Changed(path);
        if (!self)
            return;
    }
}

} // namespace kestrel::sys
