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

QFont ChosenFont(const TFontSpec &wanted)
{
    QFont font;
    if (QFontDatabase::hasFamily(wanted.name))
        font.setFamily(wanted.name);
    else
        font = QFontDatabase::systemFont(IsFixedPitchWindowsFamily(wanted.name)
                                             ? QFontDatabase::FixedFont
                                             : QFontDatabase::GeneralFont);
    if (wanted.size > 0)
        font.setPointSize(wanted.size);
    font.setBold(wanted.bold);
    return font;
}

} // namespace kestrel
