// Start-up benchmark: the program started on a folder of 10,000 files until
// its window has been painted once, against `ls -la` listing the same folder
// (both as fresh processes; the median of several runs each).

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kRuns = 5;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds for one run of the program, or a negative value when it failed.
double TimeRun(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "startup: %s failed: %s\n", qPrintable(program),
                     qPrintable(p.errorString()));
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString kestrel = QCoreApplication::applicationDirPath() + QStringLiteral("/../kestrel");
    QTemporaryDir dir;
    if (!dir.isValid() || !QFile::exists(kestrel)) {
        std::fprintf(stderr, "startup: no temporary folder or no %s\n", qPrintable(kestrel));
        return 1;
    }
    const QString files = dir.path() + QStringLiteral("/c/files");
    QDir().mkpath(files);
    QDir().mkpath(dir.path() + QStringLiteral("/home"));
    for (int i = 0; i < kFiles; ++i) {
        QFile f(files + QStringLiteral("/file%1.%2")
                            .arg(i, 5, 10, QLatin1Char('0'))
                            .arg(i % 7 ? QStringLiteral("txt") : QStringLiteral("dat")));
        if (!f.open(QIODevice::WriteOnly) || f.write("x") != 1)
            return 1;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KESTREL_DRIVES"), QStringLiteral("C=%1/c").arg(dir.path()));
    env.insert(QStringLiteral("KESTREL_HOME"), dir.path() + QStringLiteral("/home"));

    std::vector<double> ours, base;
    for (int i = 0; i < kRuns; ++i) {
        const double o = TimeRun(
            kestrel, {QStringLiteral("--quit-after-start"), QStringLiteral("C:\\files")}, env);
        const double b = TimeRun(QStringLiteral("ls"), {QStringLiteral("-la"), files}, env);
        if (o < 0 || b < 0) {
            std::fprintf(stderr, "startup: a run failed\n");
            return 1;
        }
        ours.push_back(o);
        base.push_back(b);
    }
    const double o = Median(ours), b = Median(base);
    std::printf("BENCH name=startup ours=%.4f base=%.4f unit=s ratio=%.2f\n", o, b, o / b);
    return 0;
}
