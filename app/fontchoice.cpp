#include "app/fontchoice.h"

#include <QFontDatabase>

namespace kestrel {

namespace {

bool IsFixedPitchWindowsFamily(const QString &family)
{
    static const char *const fixed[] = {"Courier",  "Courier New",    "Fixedsys",
                                        "Terminal", "Lucida Console", "Consolas"};
    for (const char *name : fixed)
        if (family.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QFont ChosenFont(const TFontSpec &spec)
{
    QFont font;
    if (QFontDatabase::hasFamily(spec.name))
        font.setFamily(spec.name);
    else
        font = QFontDatabase::systemFont(IsFixedPitchWindowsFamily(spec.name)
                                             ? QFontDatabase::FixedFont
                                             : QFontDatabase::GeneralFont);
    if (spec.size > 0)
        font.setPointSize(spec.size);
    font.setBold(spec.bold);
    return font;
}

} // namespace kestrel
