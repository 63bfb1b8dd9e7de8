#include "tree/folderscan.h"

#include "platform/drives.h"
#include "platform/folderwalk.h"
#include "tree/treeitems.h"

namespace kestrel {

namespace {

QString Line(int level, const QString &name)
{
    return QLatin1Char('1') + QString::number(level).rightJustified(2, QLatin1Char(' ')) + name;
}

} // namespace

int TFolderScan::PathDepth(const QString &path)
{
    if (path.size() < 4)
        return 0;
    QStringView p(path);
    if (p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    int depth = int(p.count(QLatin1Char('\\')));
    if (p.startsWith(QLatin1String("\\\\")))
        depth -= 3;
    return depth < 0 ? 0 : depth;
}

bool TFolderScan::ScanDirectory(const QString &path, QStringList &list)
{
    cancelled = false;
    const int depth = PathDepth(path);
    if (depth > TTreeItems::MaxFileLevel)
        return false;
    QStringList lines;
    if (depth == 0) {
        lines.append(Line(0, sys::ExtractFileDrive(path)));
    } else {
        QString folder = path;
        if (folder.endsWith(QLatin1Char('\\')))
            folder.chop(1);
        lines.append(Line(depth, sys::ExtractFileName(folder)));
    }
    sys::FolderWalk walk;
    if (!walk.Open(path))
        return false;
    if (OnBeforeScan)
        OnBeforeScan();
    const bool whole =
        walk.Walk(TTreeItems::MaxFileLevel - depth, [&](const QString &name, int below) {
            if (OnScan && !OnScan(name))
                return false;
            lines.append(Line(depth + below, name));
            return true;
        });
    cancelled = !whole;
    list = std::move(lines);
    if (OnAfterScan)
        OnAfterScan();
    return whole;
}

} // namespace kestrel
