#include "ops/changenotify.h"

#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/folderwatch.h"

#include <QTimer>

namespace kestrel {

namespace {

constexpr sys::DWORD kNotifyFlags[] = {
    sys::FILE_NOTIFY_CHANGE_FILE_NAME,  sys::FILE_NOTIFY_CHANGE_DIR_NAME,
    sys::FILE_NOTIFY_CHANGE_ATTRIBUTES, sys::FILE_NOTIFY_CHANGE_SIZE,
    sys::FILE_NOTIFY_CHANGE_LAST_WRITE, sys::FILE_NOTIFY_CHANGE_LAST_ACCESS,
    sys::FILE_NOTIFY_CHANGE_CREATION,   sys::FILE_NOTIFY_CHANGE_SECURITY};
// A subtree watch follows links, so a link loop could otherwise grow without end.
constexpr int kMaxDepth = 64;
constexpr qsizetype kMaxWatched = 4096;

bool IsFolder(const QString &path)
{
    const sys::DWORD attr = sys::GetFileAttributes(path);
    return attr != sys::INVALID_FILE_ATTRIBUTES && (attr & sys::FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

sys::DWORD TShellChangeFilters::Mask() const
{
    sys::DWORD mask = 0;
    for (int f = mfFileName; f <= mfSecurity; ++f)
        if (Has(TShellChangeFilter(f)))
            mask |= kNotifyFlags[f];
    return mask;
}

TShellChangeNotify::TShellChangeNotify(QObject *parent) : QObject(parent)
{
    connect(&TOperationState::Instance(), &TOperationState::Ended, this,
            &TShellChangeNotify::HoldReleased, Qt::QueuedConnection);
}

TShellChangeNotify::~TShellChangeNotify()
{
    FreeThread();
}

void TShellChangeNotify::SetSubFolder(bool value)
{
    if (value == subFolder)
        return;
    subFolder = value;
    ResetThread(Active());
}

void TShellChangeNotify::SetFilter(TShellChangeFilters value)
{
    if (value == filter)
        return;
    filter = value;
    ResetThread(Active());
}

void TShellChangeNotify::SetFolder(const QString &value)
{
    if (value == folder)
        return;
    folder = value;
    ResetThread(Active());
}

void TShellChangeNotify::SetActive(bool value)
{
    if (userDisabled)
        return;
    if (loading) {
        activateAfterLoad = value;
        return;
    }
    if (value != Active())
        ResetThread(value);
}

void TShellChangeNotify::Loaded()
{
    loading = false;
    if (activateAfterLoad)
        SetActive(true);
}

void TShellChangeNotify::ResetThread(bool value)
{
    FreeThread();
    if (!value || !sys::TFolderWatch::Observable(filter.Mask()) || !IsFolder(folder))
        return;
    watch = new sys::TFolderWatch(this);
    connect(watch, &sys::TFolderWatch::Changed, this, &TShellChangeNotify::FolderChanged);
    connect(watch, &sys::TFolderWatch::Gone, this, &TShellChangeNotify::FolderGone);
    WatchTree(folder, 0);
    if (watched.isEmpty())
        FreeThread();
}

void TShellChangeNotify::FreeThread()
{
    if (watch) {
        // OnChange may have led here from inside the watch's own signal.
        disconnect(watch, nullptr, this, nullptr);
        watch->deleteLater();
        watch = nullptr;
    }
    watched.clear();
}

void TShellChangeNotify::WatchTree(const QString &winFolder, int depth)
{
    QByteArray native;
    if (!sys::ToNative(winFolder, native))
        return;
    if (watched.contains(native) || watched.size() >= kMaxWatched ||
        !watch->Add(native, filter.Mask()))
        return;
    watched.insert(native, {winFolder, depth});
    WatchChildren(winFolder, depth);
}

void TShellChangeNotify::WatchChildren(const QString &winFolder, int depth)
{
    if (!subFolder || depth >= kMaxDepth)
        return;
    sys::ForEachEntry(winFolder, [&](const sys::WIN32_FIND_DATA &data) {
        if (data.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            WatchTree(sys::JoinPath(winFolder, data.cFileName), depth + 1);
        return true;
    });
}

void TShellChangeNotify::FolderChanged(const QByteArray &nativePath)
{
    const auto it = watched.constFind(nativePath);
    if (it != watched.cend()) {
        // Subfolders made since the watch began.
        const TWatched w = it.value();
        WatchChildren(w.winFolder, w.depth);
    }
    ThreadNotification();
}

void TShellChangeNotify::FolderGone(const QByteArray &nativePath)
{
    // The watch has dropped it already. Forget it so the same name can be
    // watched again once it exists.
    watched.remove(nativePath);
    ThreadNotification();
}

void TShellChangeNotify::ThreadNotification()
{
    if (delay < 1) {
        Changed();
        return;
    }
    if (delayTimer)
        return;
    delayTimer = new QTimer(this);
    delayTimer->setSingleShot(true);
    delayTimer->setInterval(delay);
    connect(delayTimer, &QTimer::timeout, this, &TShellChangeNotify::Timer);
    delayTimer->start();
}

void TShellChangeNotify::Timer()
{
    delayTimer->deleteLater();
    delayTimer = nullptr;
    Changed();
}

void TShellChangeNotify::Changed()
{
    if (TOperationState::Instance().Running()) {
        heldBack = true;
        return;
    }
    Q_EMIT OnChange(this);
}

void TShellChangeNotify::HoldReleased()
{
    if (!heldBack || TOperationState::Instance().Running())
        return;
    heldBack = false;
    Changed();
}

} // namespace kestrel
