// Copy benchmark: one 1 GiB file and a tree of 10,000 small files, copied by
// TFileCopy and by cp side by side in the same run, with the source first out
// of the page cache (cold, where dd can drop it) and then in it (warm).

#include "bench/silentprogress.h"
#include "ops/ask.h"
#include "ops/filecopy.h"
#include "ops/progress.h"
#include "platform/drives.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace kestrel;

// A delete progress window that shows nothing and is never cancelled.
class SilentDeleteProgress : public TDeleteProgress {
public:
    void Open(int, QObject *) override {}
    void SetItem(const QString &) override {}
    int Progress() const override { return 0; }
    void SetProgress(int) override {}
    bool Cancelled() const override { return false; }
    void Close() override {}
};

// Any question during the benchmark is a failure of the run.
class FailingAsk : public TAsk {
public:
    int MessageBox(QObject *, const QString &text, const QString &, unsigned) override
    {
        std::fprintf(stderr, "bench_copy: unexpected message: %s\n", qPrintable(text));
        failed = true;
        return mrNo;
    }
    int GetString(QObject *, const QString &, const QString &, QString &, bool, bool, bool) override
    {
        return Fail();
    }
    TFileExistsAnswer FileExists(QObject *, const TFileExistsQuestion &) override
    {
        Fail();
        return {};
    }
    int DeleteWarning(QObject *, const QString &, int, bool) override { return Fail(); }
    bool SelectFolder(QObject *, const QString &, QString &) override { return Fail(); }
    bool OpenFileName(QObject *, const QString &, const QString &, QString &) override
    {
        return Fail();
    }
    bool SaveFileName(QObject *, const QString &, const QString &, QString &) override
    {
        return Fail();
    }
    int SelectDrive(QObject *, QString &, const QStringList &, const QString &) override
    {
        return Fail();
    }
    bool SplitOptions(QObject *, TSplitForm &) override { return Fail() == mrOk; }
    int AdvancedRename(QObject *, TAdvancedRenameForm &) override { return Fail(); }
    int RenameEntry(QObject *, TRenameForm &) override { return Fail(); }
    int CharCase(QObject *, bool, bool &) override { return Fail(); }
    int AttributesTime(QObject *, TAttribForm &) override { return Fail(); }
    int ArchiveOptions(QObject *, TArchiveForm &) override { return Fail(); }
    void ArchiveProperties(QObject *, const TArchivePropForm &) override { Fail(); }
    bool failed = false;

private:
    int Fail()
    {
        std::fprintf(stderr, "bench_copy: unexpected question\n");
        failed = true;
        return mrCancel;
    }
};

bool Run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void Sync()
{
    Run(QStringLiteral("sync"), {});
}

// Drops (cold) or loads (warm) the page cache of every file below path.
bool PrepareCache(const QString &path, bool cold)
{
    const QString script = cold ? QStringLiteral("find \"$1\" -type f -exec dd if={} iflag=nocache "
                                                 "count=0 status=none \\;")
                                : QStringLiteral("find \"$1\" -type f -exec cat {} + >/dev/null");
    return Run(QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral("sh"), path});
}

double Seconds(const std::function<bool()> &work, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    ok = work() && ok;
    return double(timer.nsecsElapsed()) / 1e9;
}

bool MakeLargeFile(const QString &path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator rng(7);
    rng.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
    for (qint64 done = 0; done < size; done += block.size()) {
        block[0] = char(done >> 20); // no two blocks alike
        if (f.write(block) != block.size())
            return false;
    }
    return true;
}

bool MakeSmallTree(const QString &root, int files)
{
    QRandomGenerator rng(11);
    for (int i = 0; i < files; ++i) {
        const QString folder = root + QStringLiteral("/d%1/e%2").arg(i / 1000).arg(i / 100 % 10);
        if (i % 100 == 0 && !QDir().mkpath(folder))
            return false;
        QFile f(folder + QStringLiteral("/f%1.txt").arg(i));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(QByteArray(int(rng.bounded(200, 8000)), char('a' + i % 26)));
    }
    return true;
}

int CopyWithEngine(const QString &source, const QString &destination)
{
    TFileCopy engine(nullptr);
    engine.Files = {source};
    return engine.Copy(destination);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/bench-copy-XXXXXX"));
    if (!root.isValid())
        return 1;
    const QString t = root.path();
    for (const char *d : {"c/src", "d/ours", "d/cp"})
        QDir().mkpath(t + QLatin1Char('/') + QLatin1String(d));
    qputenv("KESTREL_DRIVES", QStringLiteral("C=%1/c;D=%1/d").arg(t).toUtf8());
    sys::ReloadDriveTable();
    bench::SilentCopyProgress copying;
    SilentDeleteProgress deleting;
    SetProgressWindows(&copying, &deleting);
    FailingAsk ask;
    SetAsk(&ask);

    const qint64 largeSize = qint64(1) << 30;
    if (!MakeLargeFile(t + QStringLiteral("/c/src/large.bin"), largeSize) ||
        !MakeSmallTree(t + QStringLiteral("/c/src/small"), 10000)) {
        std::fprintf(stderr, "bench_copy: cannot make the fixtures\n");
        return 1;
    }
    Sync();

    struct Case {
        const char *name;
        QString item;
    };
    const Case cases[] = {{"copy_large", QStringLiteral("large.bin")},
                          {"copy_small", QStringLiteral("small")}};
    bool ok = true;
    for (const Case &c : cases) {
        const QString source = t + QStringLiteral("/c/src/") + c.item;
        const auto ours = [&] {
            return CopyWithEngine(QStringLiteral("C:\\src\\") + c.item,
                                  QStringLiteral("D:\\ours")) == 0;
        };
        const auto base = [&] {
            return Run(QStringLiteral("cp"),
                       {QStringLiteral("-r"), source, t + QStringLiteral("/d/cp/")});
        };
        // One timed copy from a prepared cache; its copy is removed afterwards
        // so every run creates its files in the same conditions.
        const auto timed = [&](const std::function<bool()> &work, const QString &copy, bool cold) {
            ok = PrepareCache(source, cold) && ok;
            const double seconds = Seconds(work, ok);
            Sync();
            QDir(copy).removeRecursively();
            QFile::remove(copy);
            Sync();
            return seconds;
        };
        for (const bool cold : {true, false}) {
            // Best of three, taking turns at going first: creating thousands
            // of files on a shared disk swings by a factor of two between runs.
            double oursBest = 1e30, baseBest = 1e30;
            for (int round = 0; round < 3; ++round) {
                for (int turn = 0; turn < 2; ++turn) {
                    if ((round + turn) % 2 == 0)
                        oursBest = std::min(
                            oursBest, timed(ours, t + QStringLiteral("/d/ours/") + c.item, cold));
                    else
                        baseBest = std::min(
                            baseBest, timed(base, t + QStringLiteral("/d/cp/") + c.item, cold));
                }
            }
            // The warm run carries the plain name; the cold one is marked.
            const QByteArray name = QByteArray(c.name) + (cold ? "_cold" : "");
            if (c.item == QStringLiteral("large.bin")) {
                const double mb = double(largeSize) / 1e6;
                std::printf("BENCH name=%s ours=%.1f base=%.1f unit=MB/s ratio=%.2f\n",
                            name.constData(), mb / oursBest, mb / baseBest, baseBest / oursBest);
            } else {
                std::printf("BENCH name=%s ours=%.3f base=%.3f unit=s ratio=%.2f\n",
                            name.constData(), oursBest, baseBest, oursBest / baseBest);
            }
            std::fflush(stdout);
        }
    }
    SetAsk(nullptr);
    SetProgressWindows(nullptr, nullptr);
    return ok && !ask.failed ? 0 : 1;
}
