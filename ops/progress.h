#pragma once
// The progress seam between the operation engine (QtCore) and the progress
// windows (TfCopying, TfDeleting). The application installs the windows;
// tests install recorders that can also press Cancel at a chosen moment.

#include "platform/wintypes.h"

#include <QObject>
#include <QString>

namespace kestrel {

// The copy/move progress window.
class TCopyProgress {
public:
    virtual ~TCopyProgress() = default;
    // Byte mode: the bar counts bytes (maximum = totalBytes) and shows the
    // total; count mode: the bar counts items (maximum = fileCount). Centres
    // over the owner, disables it, shows modeless, starts the time estimate.
    virtual void Open(bool byteMode, const QString &caption, int fileCount,
                      sys::UINT64 totalBytes, QObject *owner) = 0;
    virtual void SetFrom(const QString &text) = 0;
    virtual void SetTo(const QString &text) = 0;
    virtual void SetFileName(const QString &text) = 0;
    virtual int StartedCount() const = 0;
    virtual void SetStartedCount(int count) = 0;
    virtual sys::UINT64 Progress() const = 0;
    virtual void SetProgress(sys::UINT64 value) = 0; // ignored above the maximum
    virtual void PauseTimer() = 0;   // around the replace question
    virtual void RestartTimer() = 0;
    virtual bool Cancelled() const = 0;
    // Stops the estimate, re-enables the owner, hides the window.
    virtual void Close() = 0;
};

// The delete progress window.
class TDeleteProgress {
public:
    virtual ~TDeleteProgress() = default;
    virtual void Open(int maxValue, QObject *owner) = 0;
    virtual void SetItem(const QString &text) = 0;
    virtual int Progress() const = 0;
    virtual void SetProgress(int value) = 0;
    virtual bool Cancelled() const = 0;
    virtual void Close() = 0;
};

// The installed windows; never null while the program or a test runs an
// engine with ShowProgress on.
TCopyProgress &CopyProgress();
TDeleteProgress &DeleteProgress();
void SetProgressWindows(TCopyProgress *copying, TDeleteProgress *deleting);

} // namespace kestrel
