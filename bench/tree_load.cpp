// Folder tree file: the tree of a drive of 20,000 folders loaded from its
// tree information file into the control's model and laid out, against
// `wc -l` reading the same file; saving it against loading it; and the layout
// after expanding a folder of 2,000 subfolders against one frame (16 ms).
//
// BENCH name=tree_load ours=<s> base=<s> unit=s ratio=<ours/base>
// BENCH name=tree_save ours=<s> base=<load s> unit=s ratio=<ours/base>
// BENCH name=tree_expand ours=<s> base=0.016 unit=s ratio=<ours/base>

#include "bench/treebench.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "tree/folderscan.h"
#include "tree/folderviewmodel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace kestrel;

namespace {

// Text of 13 pixels, every name 7 pixels a character: a font without a window.
class FixedMeasure : public TTextMeasure {
public:
    int TextWidth(const QString &text) const override { return int(text.size()) * 7; }
    int TextHeight() const override { return 13; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString drive = root.path() + QStringLiteral("/c");
    bench::MakeTreeDrive(drive);
    qputenv("KESTREL_DRIVES",
            (QStringLiteral("C=") + drive + QStringLiteral(",fixed,Bench")).toUtf8());
    qputenv("KESTREL_HOME", root.path().toUtf8());
    sys::ReloadDriveTable();

    const QString file = QStringLiteral("C:\\treeinfo.kcd");
    {
        TFolderScan scan;
        QStringList lines;
        scan.ScanDirectory(QStringLiteral("C:\\"), lines);
        TTreeItems items;
        items.LoadFromStrings(lines);
        items.SaveToFile(file);
    }
    QByteArray nativeFile;
    sys::ToNative(file, nativeFile);

    const FixedMeasure measure;
    TFolderViewModel view;
    view.SetMeasure(&measure, 9);
    view.SetClientSize(800, 600);
    const double load = bench::Best(5, [&] { view.Items.LoadFromFile(file); });
    const double wc = bench::RunBest(5, QStringLiteral("wc"),
                                     {QStringLiteral("-l"), sys::DecodeName(nativeFile)});
    const double save = bench::Best(5, [&] { view.Items.SaveToFile(file); });

    TTreeItem *wide = view.Items.FindItem(QStringLiteral("C:\\wide0"));
    double expand = 1e9;
    for (int r = 0; r < 5; ++r) {
        wide->SetExpanded(false);
        expand = std::min(expand, bench::Best(1, [&] { wide->SetExpanded(true); }));
    }
    std::printf("tree_load: %d folders, %d rows, file of %lld bytes\n", view.Items.Count(),
                view.RowCount(),
                static_cast<long long>(QFileInfo(sys::DecodeName(nativeFile)).size()));
    std::printf("BENCH name=tree_load ours=%.4f base=%.4f unit=s ratio=%.2f\n", load, wc,
                load / wc);
    std::printf("BENCH name=tree_save ours=%.4f base=%.4f unit=s ratio=%.2f\n", save, load,
                save / load);
    std::printf("BENCH name=tree_expand ours=%.4f base=0.0160 unit=s ratio=%.2f\n", expand,
                expand / 0.016);
    return 0;
}
