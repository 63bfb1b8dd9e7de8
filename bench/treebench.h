#pragma once
// Shared by the folder tree benchmarks: the test drive of 20,000 folders and
// best-of timing.

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>

#include <algorithm>
#include <functional>

namespace kestrel::bench {

// 20,000 folders below root: two wide folders of 2,000 subfolders each, a
// bushy part of three subfolders a folder, and chains down to level 12.
inline int MakeTreeDrive(const QString &root)
{
    int made = 0;
    // Parents are always made before their children: one mkdir each.
    QDir().mkpath(root);
    auto make = [&](const QString &path) {
        QDir().mkdir(path);
        ++made;
    };
    for (int w = 0; w < 2; ++w) {
        const QString wide = root + QStringLiteral("/wide%1").arg(w);
        make(wide);
        for (int i = 0; i < 2000; ++i)
            make(wide + QStringLiteral("/item%1").arg((i * 7919) % 2000, 4, 10, QLatin1Char('0')));
    }
    for (int c = 0; c < 20; ++c) {
        QString chain = root + QStringLiteral("/chain%1").arg(c);
        for (int level = 1; level <= 12; ++level) {
            make(chain);
            chain += QStringLiteral("/level%1").arg(level + 1);
        }
    }
    QList<QString> queue{root + QStringLiteral("/bushy")};
    make(queue.first());
    for (qsizetype at = 0; made < 20000; ++at) {
        for (int k = 0; k < 3 && made < 20000; ++k) {
            const QString child = queue[at] + QStringLiteral("/Folder %1").arg(k);
            make(child);
            queue.append(child);
        }
    }
    return made;
}

inline double Best(int runs, const std::function<void()> &work)
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

// The time of a command with its output thrown away, best of runs.
inline double RunBest(int runs, const QString &program, const QStringList &args)
{
    return Best(runs, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, args);
        process.waitForFinished(-1);
    });
}

} // namespace kestrel::bench
