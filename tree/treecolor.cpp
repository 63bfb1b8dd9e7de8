#include "tree/treecolor.h"

namespace kestrel {

TTreeColor LoadTreeColors(const QString &colorFile)
{
    TTreeColor colors;
    TColorSet set;
    if (!TColorList::ReadColorSet(colorFile, set))
        return colors;
    const std::pair<const char *, TColorRef *> keys[] = {
        {"TBACK", &colors.Back},   {"TLINE", &colors.Line}, {"TNORMAL", &colors.Normal},
        {"TFOCUS", &colors.Focus}, {"TOPEN", &colors.Open}, {"THINT", &colors.Hint},
    };
    for (const auto &[key, color] : keys) {
        for (const QString &line : std::as_const(set.Basic)) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0 || QStringView(line).left(eq).trimmed().compare(QLatin1String(key),
                                                                       Qt::CaseInsensitive) != 0)
                continue;
            bool ok = false;
            const QStringView value = QStringView(line).mid(eq + 1).trimmed();
            const uint number = value.toUInt(&ok, 10);
            if (ok && !value.startsWith(QLatin1Char('+')))
                *color = number;
            break;
        }
    }
    return colors;
}

} // namespace kestrel
