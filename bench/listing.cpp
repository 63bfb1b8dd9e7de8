// Listing benchmark: a folder of many files with mixed extensions, entered
// with SetFolder and sorted by extension, against `find -printf` on the same
// folder. Also reports memory per entry and the 10,000 vs 100,000 scaling.
//
// BENCH name=listing ours=<s> base=<s> unit=s ratio=<ours/base>

#include "panel/filelisting.h"
#include "platform/drives.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <malloc.h>

using namespace kestrel;

namespace {

const char *const extensions[] = {"txt", "doc", "jpg", "png", "cpp", "h", "exe", "zip", "", "mp3"};

void MakeFiles(const QString &folder, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString ext = QString::fromLatin1(extensions[(i * 7) % 10]);
        QString name =
            folder + QStringLiteral("/file%1").arg((i * 7919) % count, 6, 10, QLatin1Char('0'));
        if (!ext.isEmpty())
            name += QLatin1Char('.') + ext;
        QFile file(name);
        file.open(QIODevice::WriteOnly);
        file.write("x", i % 3);
    }
}

// Bytes the program holds on the heap now (every arena, large blocks too):
// unlike the resident size it does not keep what earlier runs freed.
double LiveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

double Best(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

double ListOnce(const QString &winFolder)
{
    return Best(3, [&] {
        TFileListing view;
        view.SetSortType(fstExt);
        view.SetFolder(winFolder);
    });
}

double FindOnce(const QString &native)
{
    return Best(3, [&] {
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("find"),
                   {native, QStringLiteral("-maxdepth"), QStringLiteral("1"),
                    QStringLiteral("-printf"), QStringLiteral("%f %s %T@\\n")});
        find.waitForFinished(-1);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString big = root.path() + QStringLiteral("/c/big");
    const QString small = root.path() + QStringLiteral("/c/small");
    MakeFiles(big, 100000);
    MakeFiles(small, 10000);
    qputenv("KESTREL_DRIVES",
            (QStringLiteral("C=") + root.path() + QStringLiteral("/c,fixed,Bench")).toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    {
        const double before = LiveHeapBytes();
        TFileListing view;
        view.SetSortType(fstExt);
        view.SetFolder(QStringLiteral("C:\\big"));
        const double entries = view.Files.Count();
        std::printf("listing: %.0f entries, %.0f bytes of heap per entry held by the listing\n",
                    entries, (LiveHeapBytes() - before) / entries);
    }
    const double ours = ListOnce(QStringLiteral("C:\\big"));
    const double base = FindOnce(big);
    const double ours10k = ListOnce(QStringLiteral("C:\\small"));

    std::printf("listing: 10,000 files %.4f s, 100,000 files %.4f s (x%.1f for 10x the files)\n",
                ours10k, ours, ours / ours10k);
    std::printf("BENCH name=listing ours=%.4f base=%.4f unit=s ratio=%.2f\n", ours, base,
                ours / base);
    return 0;
}
