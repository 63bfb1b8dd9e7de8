// Folder tree scan: a drive of 20,000 folders (depth up to 12, two folders of
// 2,000 subfolders) scanned whole into a TTreeItems model, against
// `find DIR -type d` on the same folder in the same run.
//
// BENCH name=tree_scan ours=<s> base=<s> unit=s ratio=<ours/base>

#include "bench/treebench.h"
#include "platform/drives.h"
#include "tree/folderscan.h"
#include "tree/treeitems.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace kestrel;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString drive = root.path() + QStringLiteral("/c");
    const int made = bench::MakeTreeDrive(drive);
    qputenv("KESTREL_DRIVES",
            (QStringLiteral("C=") + drive + QStringLiteral(",fixed,Bench")).toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    int count = 0;
    const double ours = bench::Best(5, [&] {
        TFolderScan scan;
        QStringList lines;
        scan.ScanDirectory(QStringLiteral("C:\\"), lines);
        TTreeItems items;
        items.LoadFromStrings(lines);
        count = items.Count();
    });
    const double base = bench::RunBest(5, QStringLiteral("find"),
                                       {drive, QStringLiteral("-type"), QStringLiteral("d")});
    std::printf("tree_scan: %d folders made, %d nodes in the model\n", made, count);
    std::printf("BENCH name=tree_scan ours=%.4f base=%.4f unit=s ratio=%.2f\n", ours, base,
                ours / base);
    return count == made + 1 ? 0 : 1;
}
