// ZIP benchmarks. Listing: an archive of 100,000 entries in 1,000 folders,
// made here, opened as the panel opens it (the archive read, its root's
// listing filled, then one folder's), against `zipinfo -1` and `bsdtar -tf`
// on the same file; the base is the faster of the two. Extraction: an
// archive of about 1 GiB of mixed files (incompressible, compressible, many
// small ones) extracted by TZip against `bsdtar -xf`, skipped when the
// temporary folder lacks the room for it.
//
// BENCH name=zip_listing ours=<s> base=<s> unit=s ratio=<ours/base>
// BENCH name=zip_extract ours=<s> base=<s> unit=s ratio=<ours/base>

#include "archive/browser.h"
#include "archive/zip.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kestrel;

namespace {

double Best(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void RunTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(program, arguments);
    tool.waitForFinished(-1);
}

void Incompressible(std::vector<char> &buffer, quint32 seed)
{
    quint32 x = 2463534242u + seed;
    for (char &c : buffer) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x & 0xFF);
    }
}

void Compressible(std::vector<char> &buffer, quint32 seed)
{
    static const char words[] = "the quick brown fox jumps over the lazy dog 0123456789\n";
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = words[(i * 7 + seed + i / 97) % (sizeof words - 1)];
}

struct TWriter {
    struct archive *w = archive_write_new();
    explicit TWriter(const QByteArray &path, const char *compression)
    {
        archive_write_set_format_zip(w);
        archive_write_set_option(w, "zip", "compression", compression);
        archive_write_open_filename(w, path.constData());
    }
    ~TWriter()
    {
        archive_write_close(w);
        archive_write_free(w);
    }
    void File(const QString &name, const std::vector<char> &data)
    {
        struct archive_entry *e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_mtime(e, 1700000000, 0);
        archive_entry_set_size(e, la_int64_t(data.size()));
        archive_write_header(w, e);
        archive_write_data(w, data.data(), data.size());
        archive_entry_free(e);
    }
};

void MakeListingArchive(const QByteArray &path)
{
    TWriter writer(path, "store");
    std::vector<char> data(40);
    for (int folder = 0; folder < 1000; ++folder) {
        for (int file = 0; file < 100; ++file) {
            Compressible(data, quint32(folder * 100 + file));
            writer.File(QStringLiteral("folder%1/file%2.txt")
                            .arg(folder, 4, 10, QLatin1Char('0'))
                            .arg(file, 3, 10, QLatin1Char('0')),
                        data);
        }
    }
}

// About 1 GiB: 24 incompressible files of 20 MiB, 24 compressible files of
// 20 MiB, and 4,000 small files of 1 to 64 KiB.
qint64 MakeExtractArchive(const QByteArray &path)
{
    TWriter writer(path, "deflate");
    qint64 total = 0;
    std::vector<char> big(20 << 20);
    for (int i = 0; i < 24; ++i) {
        Incompressible(big, quint32(i));
        writer.File(QStringLiteral("media/clip%1.bin").arg(i), big);
        Compressible(big, quint32(i));
        writer.File(QStringLiteral("logs/day%1.log").arg(i), big);
        total += 2 * qint64(big.size());
    }
    for (int i = 0; i < 4000; ++i) {
        std::vector<char> small(std::size_t(1024 + (i * 7919) % (63 * 1024)));
        if (i % 2)
            Incompressible(small, quint32(i));
        else
            Compressible(small, quint32(i));
        writer.File(QStringLiteral("src/dir%1/file%2.dat").arg(i / 100).arg(i), small);
        total += qint64(small.size());
    }
    return total;
}

void RemoveFolder(const QString &native)
{
    QDir(native).removeRecursively();
    QDir().mkpath(native);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString c = root.path() + QStringLiteral("/c");
    QDir().mkpath(c);
    qputenv("KESTREL_DRIVES", (QStringLiteral("C=") + c + QStringLiteral(",fixed,Bench")).toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    const QString listing = c + QStringLiteral("/listing.zip");
    MakeListingArchive(sys::EncodeName(listing));
    int entries = 0;
    const double ours = Best(
        3, [] {},
        [&] {
            TArchiveBrowser browser(nullptr);
            browser.Open(QStringLiteral("C:\\listing.zip"));
            TFiles rootList;
            browser.Fill(rootList);
            QString focus;
            browser.ChangeFolder(QStringLiteral("folder0500"), focus);
            TFiles folderList;
            browser.Fill(folderList);
            entries = browser.Archive()->EntryCount();
        });
    const double zipinfo = Best(
        3, [] {},
        [&] {
            RunTool(QStringLiteral("zipinfo"), {QStringLiteral("-1"), listing});
        });
    const double bsdtar = Best(
        3, [] {},
        [&] {
            RunTool(QStringLiteral("bsdtar"), {QStringLiteral("-tf"), listing});
        });
    const double base = std::min(zipinfo, bsdtar);
    std::printf("zip_listing: %d entries; ours %.4f s, zipinfo -1 %.4f s, bsdtar -tf %.4f s\n",
                entries, ours, zipinfo, bsdtar);
    std::printf("BENCH name=zip_listing ours=%.4f base=%.4f unit=s ratio=%.2f\n", ours, base,
                ours / base);
    std::fflush(stdout);

    // The archive (about half its contents) and one extracted copy at a
    // time, with a margin.
    const qint64 room = QStorageInfo(root.path()).bytesAvailable();
    const qint64 needed = qint64(1700) << 20;
    if (room < needed) {
        std::printf("zip_extract: skipped, %lld MiB free in %s, %lld MiB needed\n", room >> 20,
                    qPrintable(root.path()), needed >> 20);
        return 0;
    }
    const QString big = c + QStringLiteral("/big.zip");
    const qint64 bytes = MakeExtractArchive(sys::EncodeName(big));
    const QString ourOut = c + QStringLiteral("/ours");
    const QString theirOut = c + QStringLiteral("/theirs");
    // Alternating rounds, so that both see the same page cache.
    double oursExtract = 1e9;
    double bsdtarExtract = 1e9;
    for (int round = 0; round < 3; ++round) {
        oursExtract = std::min(oursExtract, Best(
                                                1, [&] { RemoveFolder(ourOut); },
                                                [&] {
                                                    TZip zip;
                                                    zip.SetFileName(QStringLiteral("C:\\big.zip"));
                                                    zip.Extract(QStringLiteral("C:\\ours"));
                                                }));
        QDir(ourOut).removeRecursively();
        bsdtarExtract = std::min(bsdtarExtract, Best(
                                                    1, [&] { RemoveFolder(theirOut); },
                                                    [&] {
                                                        RunTool(QStringLiteral("bsdtar"),
                                                                {QStringLiteral("-xf"), big,
                                                                 QStringLiteral("-C"), theirOut});
                                                    }));
        QDir(theirOut).removeRecursively();
    }
    std::printf("zip_extract: %.0f MiB; ours %.3f s (%.0f MiB/s), bsdtar -xf %.3f s (%.0f MiB/s)\n",
                bytes / 1048576.0, oursExtract, bytes / 1048576.0 / oursExtract, bsdtarExtract,
                bytes / 1048576.0 / bsdtarExtract);
    std::printf("BENCH name=zip_extract ours=%.3f base=%.3f unit=s ratio=%.2f\n", oursExtract,
                bsdtarExtract, oursExtract / bsdtarExtract);
    return 0;
}
