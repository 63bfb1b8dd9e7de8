// Split and join benchmark: a 1 GiB file cut into 100 MB pieces with the
// checksum file, and the pieces joined back with every piece checked against
// it, side by side in the same run with `split -b` + `cksum` of the pieces
// and with `cat` + `cksum` of the joined file. The source is in the page
// cache for both, as after a download; each side's output is removed before
// the next run.
//
// BENCH name=split ours=<MB/s> base=<MB/s> unit=MB/s ratio=<ours/base>
// BENCH name=join ours=<MB/s> base=<MB/s> unit=MB/s ratio=<ours/base>

#include "bench/silentprogress.h"
#include "ops/progress.h"
#include "platform/drives.h"
#include "tools/join.h"
#include "tools/split.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace kestrel;

double Seconds(const std::function<bool()> &work, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    ok = work() && ok;
    return double(timer.nsecsElapsed()) / 1e9;
}

bool MakeSource(const QString &path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator rng(5);
    rng.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
    for (qint64 done = 0; done < size; done += block.size()) {
        block[0] = char(done >> 20); // no two blocks alike
        if (f.write(block) != block.size())
            return false;
    }
    return true;
}

// Empties a folder and lets the disk catch up, outside the timed part.
void Clear(const QString &folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    bench::Shell(QStringLiteral("sync"), {});
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/bench-splitjoin-XXXXXX"));
    const qint64 size = qint64(1) << 30;
    if (!root.isValid() || QStorageInfo(root.path()).bytesAvailable() < 5 * size) {
        std::fprintf(stderr, "bench_split_join: needs 5 GiB free beside the build\n");
        return 0;
    }
    const QString t = root.path();
    for (const char *d : {"c/src", "c/ours", "c/base", "c/joined-ours", "c/joined-base"})
        QDir().mkpath(t + QLatin1Char('/') + QLatin1String(d));
    qputenv("KESTREL_DRIVES", QStringLiteral("C=%1/c").arg(t).toUtf8());
    sys::ReloadDriveTable();
    bench::SilentCopyProgress copying;
    SetProgressWindows(&copying, nullptr);
    const QString source = t + QStringLiteral("/c/src/big.bin");
    if (!MakeSource(source, size)) {
        std::fprintf(stderr, "bench_split_join: cannot make the source\n");
        return 1;
    }
    bench::Shell(QStringLiteral("sync; cat \"$1\" >/dev/null"), {source});

    const sys::UINT64 piece = 100000000;
    bool ok = true;
    const auto splitOurs = [&] {
        return SplitFile(nullptr, QStringLiteral("C:\\src\\big.bin"), QStringLiteral("C:\\ours"),
                         piece)
            .Done();
    };
    const auto splitBase = [&] {
        return bench::Shell(QStringLiteral("split -b %1 \"$1\" \"$2/big.\" && cksum \"$2\"/big.* "
                                           ">/dev/null")
                                .arg(piece),
                            {source, t + QStringLiteral("/c/base")});
    };
    const auto joinOurs = [&] {
        const TJoinSet set = FindPieces(QStringLiteral("C:\\ours"), QStringLiteral("big"));
        return set.hasChecksums &&
               JoinFiles(nullptr, set, QStringLiteral("C:\\joined-ours\\big.bin")).Done();
    };
    const auto joinBase = [&] {
        return bench::Shell(
            QStringLiteral("cat \"$1\"/big.* >\"$2\" && cksum \"$2\" >/dev/null"),
            {t + QStringLiteral("/c/base"), t + QStringLiteral("/c/joined-base/big.bin")});
    };

    const std::function<bool()> splits[2] = {splitOurs, splitBase};
    const std::function<bool()> joins[2] = {joinOurs, joinBase};
    // Best of three, taking turns at going first.
    double splitBest[2] = {1e30, 1e30}, joinBest[2] = {1e30, 1e30};
    for (int round = 0; round < 3; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const int side = (round + turn) % 2; // 0 ours, 1 base
            const QString name = side == 0 ? QStringLiteral("ours") : QStringLiteral("base");
            Clear(t + QStringLiteral("/c/") + name);
            splitBest[side] = std::min(splitBest[side], Seconds(splits[side], ok));
            bench::Shell(QStringLiteral("sync"), {});
            Clear(t + QStringLiteral("/c/joined-") + name);
            joinBest[side] = std::min(joinBest[side], Seconds(joins[side], ok));
        }
    }
    const bool same = bench::Shell(QStringLiteral("cmp -s \"$1\" \"$2\""),
                                   {source, t + QStringLiteral("/c/joined-ours/big.bin")});
    if (!same)
        std::fprintf(stderr, "bench_split_join: the joined file differs from the source\n");
    const double mb = double(size) / 1e6;
    std::printf("BENCH name=split ours=%.1f base=%.1f unit=MB/s ratio=%.2f\n", mb / splitBest[0],
                mb / splitBest[1], splitBest[1] / splitBest[0]);
    std::printf("BENCH name=join ours=%.1f base=%.1f unit=MB/s ratio=%.2f\n", mb / joinBest[0],
                mb / joinBest[1], joinBest[1] / joinBest[0]);
    SetProgressWindows(nullptr, nullptr);
    return ok && same ? 0 : 1;
}
