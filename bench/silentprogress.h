#pragma once
// Shared by the benchmarks: a copy progress window that shows nothing and is
// never cancelled (the engine keeps its full bookkeeping, as with the real
// window, without drawing), and a shell script run to its end.

#include "ops/progress.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrel::bench {

class SilentCopyProgress : public TCopyProgress {
public:
    void Open(bool, const QString &, int, sys::UINT64, QObject *) override { value = 0; }
    void SetFrom(const QString &) override {}
    void SetTo(const QString &) override {}
    void SetFileName(const QString &) override {}
    int StartedCount() const override { return started; }
    void SetStartedCount(int count) override { started = count; }
    sys::UINT64 Progress() const override { return value; }
    void SetProgress(sys::UINT64 v) override { value = v; }
    void PauseTimer() override {}
    void RestartTimer() override {}
    bool Cancelled() const override { return false; }
    void Close() override {}

private:
    sys::UINT64 value = 0;
    int started = 0;
};

// Runs script through sh with args as $1...; true when it exited with 0.
inline bool Shell(const QString &script, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("sh"),
            QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace kestrel::bench
