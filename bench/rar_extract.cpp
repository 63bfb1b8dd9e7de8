// RAR extraction: the largest RAR 5 samples of the shared corpus, each
// extracted many times over (about 10 MB written in all) by the RAR
// handler, against the other Linux tools on the same files in the same
// run: `bsdtar -xf` for the single archive, `unar` for the volume set
// (bsdtar cannot follow volumes). The tools are started once per
// extraction, as a user would start them; their start-up is part of their
// time, and the BENCH line names the work done.
//
// BENCH name=rar_extract ours=<s> base=<s> unit=s ratio=<ours/base>

#include "archive/rar.h"
#include "platform/drives.h"
#include "platform/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace kestrel;

namespace {

constexpr int repeats = 60;

double Seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

qint64 TreeBytes(const QString &folder)
{
    qint64 bytes = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &info : entries)
        bytes += info.isDir() ? TreeBytes(info.filePath()) : info.size();
    return bytes;
}

bool Tool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    tool.start(program, args);
    return tool.waitForFinished(-1) && tool.exitCode() == 0;
}

struct TCase {
    QString sample; // below the corpus's rar folder
    QString tool;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString corpus = QStringLiteral(KESTREL_TESTDATA "/archives/rar");
    if (!QFileInfo::exists(corpus)) {
        std::printf("rar_extract: no corpus at %s\n", qPrintable(corpus));
        return 0;
    }
    QTemporaryDir root;
    const QString c = root.path() + QStringLiteral("/c");
    QDir().mkpath(c);
    qputenv("KESTREL_DRIVES", (QStringLiteral("C=") + c + QStringLiteral(",fixed,Bench;T=") +
                               corpus + QStringLiteral(",cdrom"))
                                  .toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    const TCase cases[] = {
        {QStringLiteral("test_read_format_rar5_multiarchive_solid.part01.rar"),
         QStringLiteral("unar")},
        {QStringLiteral("test_read_format_rar5_win32.rar"), QStringLiteral("bsdtar")},
        {QStringLiteral("test_read_format_rar5_multiple_files.rar"), QStringLiteral("bsdtar")},
    };
    double ours = 0;
    double base = 0;
    qint64 written = 0;
    for (const TCase &test : cases) {
        if (QStandardPaths::findExecutable(test.tool).isEmpty()) {
            std::printf("rar_extract: %s is missing, %s skipped\n", qPrintable(test.tool),
                        qPrintable(test.sample));
            continue;
        }
        const QString native = corpus + QLatin1Char('/') + test.sample;
        double mine = 0;
        double theirs = 0;
        for (int i = 0; i < repeats; ++i) {
            const QString out = QStringLiteral("ours%1").arg(i);
            mine += Seconds([&] {
                TRar rar;
                rar.SetFileName(QStringLiteral("T:\\") + test.sample);
                rar.Extract(QStringLiteral("C:\\") + out);
            });
            written += TreeBytes(c + QLatin1Char('/') + out);
            QDir(c + QLatin1Char('/') + out).removeRecursively();
            const QString to = c + QStringLiteral("/theirs");
            QDir().mkpath(to);
            theirs += Seconds([&] {
                if (test.tool == QLatin1String("unar"))
                    Tool(test.tool, {QStringLiteral("-q"), QStringLiteral("-D"),
                                     QStringLiteral("-o"), to, native});
                else
                    Tool(test.tool, {QStringLiteral("-xf"), native, QStringLiteral("-C"), to});
            });
            QDir(to).removeRecursively();
        }
        std::printf("rar_extract: %s x%d: ours %.4f s, %s %.4f s\n", qPrintable(test.sample),
                    repeats, mine, qPrintable(test.tool), theirs);
        ours += mine;
        base += theirs;
    }
    if (base <= 0)
        return 0;
    std::printf("rar_extract: %.1f MB written by ours in all\n", double(written) / 1e6);
    std::printf("BENCH name=rar_extract ours=%.4f base=%.4f unit=s ratio=%.2f\n", ours, base,
                ours / base);
    return 0;
}
