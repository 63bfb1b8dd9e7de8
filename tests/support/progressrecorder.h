#pragma once
// Progress windows for tests: record what the engine shows and press Cancel
// at a chosen moment. A ProgressRecorder installs itself as both windows.

#include "ops/progress.h"

#include <QStringList>

#include <functional>

namespace kestrel::test {

class CopyRecorder : public TCopyProgress {
public:
    // Cancel is "pressed" once the bar has moved this many times; 0 never.
    int cancelAtStep = 0;
    // Cancel is "pressed" when a file line beginning with this text shows.
    QString cancelAtFile;
    // Runs when a file line shows, as events processed there could run code.
    std::function<void(const QString &)> onFile;

    int opened = 0, closed = 0;
    bool byteMode = false;
    QString caption, from, to;
    int totalCount = 0;
    sys::UINT64 maxValue = 0;
    QStringList fileNames;
    int started = 0;
    sys::UINT64 progress = 0;
    int steps = 0;
    int pauses = 0, restarts = 0;
    bool cancelled = false;

    void Open(bool byteMode, const QString &caption, int fileCount, sys::UINT64 totalBytes,
              QObject *owner) override;
    void SetFrom(const QString &text) override { from = text; }
    void SetTo(const QString &text) override { to = text; }
    void SetFileName(const QString &text) override;
    int StartedCount() const override { return started; }
    void SetStartedCount(int count) override { started = count; }
    sys::UINT64 Progress() const override { return progress; }
    void SetProgress(sys::UINT64 value) override;
    void PauseTimer() override { ++pauses; }
    void RestartTimer() override { ++restarts; }
    bool Cancelled() const override { return cancelled; }
    void Close() override { ++closed; }
};

class DeleteRecorder : public TDeleteProgress {
public:
    int cancelAtStep = 0;
    int opened = 0, closed = 0;
    int maxValue = 0;
    QStringList items;
    int progress = 0;
    bool cancelled = false;

    void Open(int maxValue, QObject *owner) override;
    void SetItem(const QString &text) override { items << text; }
    int Progress() const override { return progress; }
    void SetProgress(int value) override;
    bool Cancelled() const override { return cancelled; }
    void Close() override { ++closed; }
};

class ProgressRecorder {
public:
    ProgressRecorder();  // installs copying and deleting
    ~ProgressRecorder(); // uninstalls them

    CopyRecorder copying;
    DeleteRecorder deleting;
};

} // namespace kestrel::test
