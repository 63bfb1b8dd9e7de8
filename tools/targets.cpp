#include "tools/targets.h"

namespace kestrel {

QList<TFile *> ToolTargets(const TFileListing &panel)
{
    QList<TFile *> targets;
    if (panel.OwnerData())
        return targets;
    for (int i = 0; i < panel.Files.Count(); ++i)
        if (panel.Files[i]->Selected)
            targets.append(panel.Files[i]);
    TFile *focused = panel.GetItemFocused();
    if (targets.isEmpty() && focused && !focused->IsParent() && focused->Kind() != fkDrive)
        targets.append(focused);
    return targets;
}

QString NumberedText(const QString &name, int index, int count)
{
    return QStringLiteral("%1 (%2/%3)").arg(name).arg(index + 1).arg(count);
}

} // namespace kestrel
