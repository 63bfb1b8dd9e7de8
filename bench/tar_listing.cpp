// tar.gz listing: an archive of 100,000 entries in 1,000 folders, made
// here, opened as the panel opens it (the archive read, its root's listing
// filled, then one folder's), against `bsdtar -tzf` on the same file. Both
// decompress the whole stream; the rest is the listing's own cost.
//
// BENCH name=tar_listing ours=<s> base=<s> unit=s ratio=<ours/base>

#include "archive/browser.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kestrel;

namespace {

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

void MakeArchive(const QByteArray &path)
{
    struct archive *w = archive_write_new();
    archive_write_set_format_pax_restricted(w);
    archive_write_add_filter_gzip(w);
    archive_write_open_filename(w, path.constData());
    char data[40];
    for (int folder = 0; folder < 1000; ++folder) {
        for (int file = 0; file < 100; ++file) {
            for (std::size_t i = 0; i < sizeof data; ++i)
                data[i] = char('a' + (i * 7 + std::size_t(folder + file)) % 26);
            const QByteArray name = QStringLiteral("folder%1/file%2.txt")
                                        .arg(folder, 4, 10, QLatin1Char('0'))
                                        .arg(file, 3, 10, QLatin1Char('0'))
                                        .toUtf8();
            struct archive_entry *e = archive_entry_new();
            archive_entry_set_pathname(e, name.constData());
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_mtime(e, 1700000000, 0);
            archive_entry_set_size(e, sizeof data);
            archive_write_header(w, e);
            archive_write_data(w, data, sizeof data);
            archive_entry_free(e);
        }
    }
    archive_write_close(w);
    archive_write_free(w);
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

    const QString path = c + QStringLiteral("/listing.tar.gz");
    MakeArchive(sys::EncodeName(path));
    int entries = 0;
    const double ours = Best(3, [&] {
        TArchiveBrowser browser(nullptr);
        browser.Open(QStringLiteral("C:\\listing.tar.gz"));
        TFiles rootList;
        browser.Fill(rootList);
        QString focus;
        browser.ChangeFolder(QStringLiteral("folder0500"), focus);
        TFiles folderList;
        browser.Fill(folderList);
        entries = browser.Archive()->EntryCount();
    });
    const double bsdtar = Best(3, [&] {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        tool.start(QStringLiteral("bsdtar"), {QStringLiteral("-tzf"), path});
        tool.waitForFinished(-1);
    });
    std::printf("tar_listing: %d entries; ours %.4f s, bsdtar -tzf %.4f s\n", entries, ours,
                bsdtar);
    std::printf("BENCH name=tar_listing ours=%.4f base=%.4f unit=s ratio=%.2f\n", ours, bsdtar,
                ours / bsdtar);
    return 0;
}
