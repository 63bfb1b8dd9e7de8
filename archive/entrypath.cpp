#include "archive/entrypath.h"

#include <QStringList>

namespace kestrel {

namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool HasDrive(QStringView path)
{
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].unicode() < 0x80 &&
           path[0].isLetter();
}

bool BadCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(':');
}

} // namespace

bool SafeEntryPath(const QString &stored, QString &relative)
{
    const QStringView rest(stored);
    relative.clear();
    if (HasDrive(rest) || (!rest.isEmpty() && IsSeparator(rest[0])))
        return false;
    relative.reserve(rest.size());
    qsizetype start = 0;
    while (start <= rest.size()) {
        qsizetype end = start;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const QStringView part = rest.mid(start, end - start);
        if (part == QLatin1String(".."))
            return false;
        if (!part.isEmpty() && part != QLatin1String(".")) {
            for (const QChar c : part) {
                if (BadCharacter(c))
                    return false;
            }
            if (!relative.isEmpty())
                relative += QLatin1Char('\\');
            relative += part;
        }
        start = end + 1;
    }
    return !relative.isEmpty();
}

bool LinkStaysInside(const QString &linkPath, const QString &target)
{
    if (target.isEmpty() || IsSeparator(target[0]) || HasDrive(target))
        return false;
    // Only climbs at the start are allowed: the folders they climb are the
    // link's own, which extraction makes as real folders, while a ".." after
    // a name could climb out of whatever that name turns out to be.
    const qsizetype depth = linkPath.count(QLatin1Char('\\'));
    qsizetype climbs = 0;
    bool named = false;
    for (const QString &part : target.split(QLatin1Char('/'))) {
        if (part == QLatin1String("..")) {
            if (named || ++climbs > depth)
                return false;
        } else if (!part.isEmpty() && part != QLatin1String(".")) {
            named = true;
        }
    }
    return true;
}

} // namespace kestrel
