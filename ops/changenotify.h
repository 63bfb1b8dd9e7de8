#pragma once
// TShellChangeNotify: watches one folder (optionally its subtree) and fires
// OnChange on the UI thread once per burst of changes: the first change after
// a quiet period starts a Delay timer, later changes are absorbed, the timer
// fires OnChange. Built on sys::TFolderWatch, which reports what the Filter
// asks for: names created, deleted or renamed, attribute and time changes,
// and, for size or last write, writes into existing files.
// While an operation or a question runs (TOperationGuard), OnChange waits for it to end.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <initializer_list>

class QTimer;

namespace kestrel {

namespace sys {
class TFolderWatch;
}

enum TShellChangeFilter {
    mfFileName,
    mfDirName,
    mfAttributes,
    mfSize,
    mfLastWrite,
    mfLastAccess,
    mfCreation,
    mfSecurity,
};

// A set of TShellChangeFilter (one bit per value).
class TShellChangeFilters {
public:
    constexpr TShellChangeFilters() = default;
    constexpr TShellChangeFilters(std::initializer_list<TShellChangeFilter> filters)
    {
        for (TShellChangeFilter f : filters)
            bits = std::uint8_t(bits | (1u << f));
    }
    constexpr bool Has(TShellChangeFilter f) const { return bits & (1u << f); }
    // FILE_NOTIFY_CHANGE_* flags of the members.
    sys::DWORD Mask() const;
    friend bool operator==(TShellChangeFilters, TShellChangeFilters) = default;

private:
    std::uint8_t bits = 0;
};

class TShellChangeNotify : public QObject {
    Q_OBJECT
public:
    // Starts in the loading state: SetActive(true) is remembered until Loaded.
    explicit TShellChangeNotify(QObject *parent = nullptr);
    ~TShellChangeNotify() override;

    int Delay() const { return delay; }
    void SetDelay(int ms) { delay = ms; } // below 1: OnChange at once
    bool SubFolder() const { return subFolder; }
    void SetSubFolder(bool value);
    TShellChangeFilters Filter() const { return filter; }
    void SetFilter(TShellChangeFilters value);
    QString Folder() const { return folder; }
    void SetFolder(const QString &value); // Windows form

    // True while a watch exists (it stays so after the folder is deleted,
    // until the folder or the settings change).
    bool Active() const { return watch != nullptr; }
    // Does nothing while user-disabled is set.
    void SetActive(bool value);
    bool UserDisabled() const { return userDisabled; }
    void SetUserDisabled(bool value) { userDisabled = value; }

    void Loaded();
    // Drops the watch; when value is true and Folder is an existing folder
    // that can be watched, makes a new one.
    void ResetThread(bool value);

    // A change reported by the watch; public so owners can feed one in.
    void ThreadNotification();

Q_SIGNALS:
    void OnChange(QObject *sender);

private:
    void FreeThread();
    void WatchTree(const QString &winFolder, int depth);
    void WatchChildren(const QString &winFolder, int depth);
    void FolderChanged(const QByteArray &nativePath);
    void FolderGone(const QByteArray &nativePath);
    void Timer();
    void Changed();
    void HoldReleased();

    int delay = 0;
    bool subFolder = false;
    TShellChangeFilters filter{mfFileName, mfDirName, mfSize, mfLastWrite};
    QString folder;
    sys::TFolderWatch *watch = nullptr;
    struct TWatched {
        QString winFolder;
        int depth = 0;
    };
    QHash<QByteArray, TWatched> watched; // by native path
    QTimer *delayTimer = nullptr;
    bool loading = true;
    bool activateAfterLoad = false;
    bool userDisabled = false;
    bool heldBack = false;
};

} // namespace kestrel
