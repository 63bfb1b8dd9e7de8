// ZIP creation benchmark: a 1 GiB tree of mixed files (text that packs well,
// random data that does not, and thousands of small files) packed at
// "Normal" by Add to Archive's engine, side by side in the same run with
// `zip -r -6 -q` of the same tree. The tree is in the page cache for both;
// each archive is removed before the next run. Best of two, taking turns.
//
// BENCH name=zip_create ours=<MB/s> base=<MB/s> unit=MB/s ratio=<ours/base>

#include "archive/create.h"
#include "bench/silentprogress.h"
#include "ops/progress.h"
#include "platform/drives.h"

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

bool WriteFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// About 1 GiB: 400 MB of text, 400 MB of random bytes, 6,000 small files.
qint64 MakeTree(const QString &root)
{
    QRandomGenerator rng(11);
    static const char *const words[] = {"file ",  "manager ", "archive ", "folder ", "the ",
                                        "panel ", "keys ",    "copy ",    "42 ",     "\n"};
    qint64 total = 0;
    QDir().mkpath(root + QStringLiteral("/text"));
    for (int i = 0; i < 200; ++i) {
        QByteArray text;
        text.reserve(2000000);
        while (text.size() < 2000000)
            text += words[rng.bounded(10)];
        total += text.size();
        if (!WriteFile(root + QStringLiteral("/text/t%1.txt").arg(i), text))
            return -1;
    }
    QDir().mkpath(root + QStringLiteral("/random"));
    QByteArray block(50000000, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i) {
        rng.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        total += block.size();
        if (!WriteFile(root + QStringLiteral("/random/r%1.bin").arg(i), block))
            return -1;
    }
    for (int i = 0; i < 6000; ++i) {
        const QString folder = root + QStringLiteral("/small/s%1").arg(i / 100);
        QDir().mkpath(folder);
        const int size = int(rng.bounded(75000));
        QByteArray data = block.left(size / 2);
        while (data.size() < size)
            data += words[rng.bounded(10)];
        total += data.size();
        if (!WriteFile(folder + QStringLiteral("/f%1.dat").arg(i), data))
            return -1;
    }
    return total;
}

double Seconds(const std::function<bool()> &work, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    ok = work() && ok;
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/bench-zipcreate-XXXXXX"));
    if (!root.isValid() || QStorageInfo(root.path()).bytesAvailable() < (qint64(4) << 30)) {
        std::fprintf(stderr, "bench_zip_create: needs 4 GiB free beside the build\n");
        return 0;
    }
    if (QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("command -v zip >/dev/null")}) !=
        0) {
        std::fprintf(stderr, "bench_zip_create: no zip to compare with\n");
        return 0;
    }
    const QString t = root.path();
    QDir().mkpath(t + QStringLiteral("/c/out"));
    const qint64 size = MakeTree(t + QStringLiteral("/c/tree"));
    if (size <= 0) {
        std::fprintf(stderr, "bench_zip_create: cannot make the tree\n");
        return 1;
    }
    qputenv("KESTREL_DRIVES", QStringLiteral("C=%1/c").arg(t).toUtf8());
    sys::ReloadDriveTable();
    bench::SilentCopyProgress copying;
    SetProgressWindows(&copying, nullptr);
    bench::Shell(QStringLiteral("sync; find \"$1\" -type f -exec cat {} + >/dev/null"),
                 {t + QStringLiteral("/c/tree")});

    bool ok = true;
    const auto ours = [&] {
        TCreateRequest request;
        request.name = QStringLiteral("C:\\out\\ours");
        request.folder = QStringLiteral("C:\\tree");
        request.names =
            QStringList{QStringLiteral("text"), QStringLiteral("random"), QStringLiteral("small")};
        request.recurse = true;
        request.compression = 1;
        TArchiveCreation creation(nullptr);
        creation.Create(request);
        return creation.Succeeded();
    };
    const auto base = [&] {
        return bench::Shell(QStringLiteral("cd \"$1\" && zip -r -6 -q \"$2\" text random small"),
                            {t + QStringLiteral("/c/tree"), t + QStringLiteral("/c/out/base.zip")});
    };
    const std::function<bool()> sides[2] = {ours, base};
    double best[2] = {1e30, 1e30};
    for (int round = 0; round < 2; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const int side = (round + turn) % 2;
            QFile::remove(t + QStringLiteral("/c/out/ours.zip"));
            QFile::remove(t + QStringLiteral("/c/out/base.zip"));
            bench::Shell(QStringLiteral("sync"), {});
            best[side] = std::min(best[side], Seconds(sides[side], ok));
        }
    }
    const double mb = double(size) / 1e6;
    std::printf("BENCH name=zip_create ours=%.1f base=%.1f unit=MB/s ratio=%.2f\n", mb / best[0],
                mb / best[1], best[1] / best[0]);
    SetProgressWindows(nullptr, nullptr);
    return ok ? 0 : 1;
}
