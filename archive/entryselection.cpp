#include "archive/entryselection.h"

#include "platform/wildcard.h"

namespace kestrel {

TEntrySelection::TEntrySelection(const QStringList &names) : all(names.isEmpty())
{
    for (QString name : names) {
        while (name.startsWith(QLatin1Char('\\')))
            name.remove(0, 1);
        if (name.endsWith(QLatin1String("\\*.*")))
            below.append(name.chopped(3)); // keeps the backslash
        else if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
            masks.append(name);
        else
            exact.append(name);
    }
}

bool TEntrySelection::Selects(const QString &path) const
{
    if (all)
        return true;
    for (const QString &folder : below) {
        if (path.startsWith(folder, Qt::CaseInsensitive) ||
            path.compare(folder.chopped(1), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const QString &name : exact) {
        // A folder named without its wildcard selects what lies below it.
        if (path.compare(name, Qt::CaseInsensitive) == 0 ||
            (path.size() > name.size() && path[name.size()] == QLatin1Char('\\') &&
             path.startsWith(name, Qt::CaseInsensitive)))
            return true;
    }
    for (const QString &mask : masks) {
        if (sys::MatchesMask(path, mask))
            return true;
    }
    return false;
}

} // namespace kestrel
