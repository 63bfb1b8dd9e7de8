// Find Files: a name search over a tree of 200,000 files against
// `find DIR -iname '*.txt'`, and a literal content search over 1 GiB of
// text files against `grep -rlF`, each on the same tree in the same run.
//
// BENCH name=find_name ours=<s> base=<s> unit=s ratio=<ours/base>
// BENCH name=find_content ours=<s> base=<s> unit=s ratio=<ours/base>

#include "bench/treebench.h"
#include "find/filesearch.h"
#include "platform/drives.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace kestrel;

namespace {

// 200,000 small files in 2,000 folders, 40 levels of 50; one in ten a .txt.
int MakeNameTree(const QString &root)
{
    int files = 0;
    for (int f = 0; f < 2000; ++f) {
        const QString folder = root + QStringLiteral("/d%1/e%2").arg(f / 50).arg(f % 50);
        QDir().mkpath(folder);
        for (int i = 0; i < 100; ++i) {
            QFile file(folder + (i % 10 == 0 ? QStringLiteral("/note%1.TXT").arg(i)
                                              : QStringLiteral("/data%1.bin").arg(i)));
            if (file.open(QIODevice::WriteOnly))
                ++files;
        }
    }
    return files;
}

// 256 files of 4 MiB of text lines; the word sought is in every eighth file,
// near its end.
qint64 MakeTextTree(const QString &root)
{
    QByteArray block;
    for (int line = 0; block.size() < (1 << 20); ++line)
        block += QByteArray("line ") + QByteArray::number(line) +
                 " the quick brown fox jumps over the lazy dog\n";
    block.truncate(1 << 20);
    qint64 total = 0;
    for (int f = 0; f < 256; ++f) {
        const QString folder = root + QStringLiteral("/t%1").arg(f / 32);
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/text%1.txt").arg(f));
        if (!file.open(QIODevice::WriteOnly))
            continue;
        for (int k = 0; k < 4; ++k)
            total += file.write(block);
        if (f % 8 == 0)
            total += file.write("xylophonist\n");
    }
    return total;
}

int Count(const TFindOptions &options)
{
    TFileSearch search(options);
    int found = 0;
    search.OnFound = [&](const TFoundItem &) { ++found; };
    search.Run();
    return found;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString names = root.path() + QStringLiteral("/n");
    const QString texts = root.path() + QStringLiteral("/t");
    const int files = MakeNameTree(names);
    const qint64 bytes = MakeTextTree(texts);
    qputenv("KESTREL_DRIVES", (QStringLiteral("N=") + names + QStringLiteral(",fixed,Names;T=") +
                               texts + QStringLiteral(",fixed,Texts"))
                                  .toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    TFindOptions byName;
    byName.folders = {QStringLiteral("N:\\")};
    byName.masks = QStringLiteral("*.txt");
    int named = 0;
    const double oursName = bench::Best(5, [&] { named = Count(byName); });
    const double baseName = bench::RunBest(
        5, QStringLiteral("find"), {names, QStringLiteral("-iname"), QStringLiteral("*.txt")});

    TFindOptions byText;
    byText.folders = {QStringLiteral("T:\\")};
    byText.text = QStringLiteral("xylophonist");
    byText.matchCase = true;
    int contained = 0;
    const double oursText = bench::Best(3, [&] { contained = Count(byText); });
    const double baseText = bench::RunBest(
        3, QStringLiteral("grep"), {QStringLiteral("-rlF"), QStringLiteral("xylophonist"), texts});

    std::printf("find: %d files, %d named; %lld bytes of text, %d containing\n", files, named,
                static_cast<long long>(bytes), contained);
    std::printf("BENCH name=find_name ours=%.4f base=%.4f unit=s ratio=%.2f\n", oursName,
                baseName, oursName / baseName);
    std::printf("BENCH name=find_content ours=%.4f base=%.4f unit=s ratio=%.2f\n", oursText,
                baseText, oursText / baseText);
    return named == files / 10 && contained == 32 ? 0 : 1;
}
