#include "find/namemasks.h"

#include "platform/wildcard.h"

namespace kestrel {

namespace {

QStringList SplitMasks(const QString &text)
{
    QStringList masks;
    for (QString mask : text.split(QLatin1Char(';'))) {
        mask = mask.trimmed();
        if (mask.size() >= 2 && mask.startsWith(QLatin1Char('"')) && mask.endsWith(QLatin1Char('"')))
            mask = mask.mid(1, mask.size() - 2);
        mask.replace(QLatin1Char('/'), QLatin1Char('\\'));
        // A leading ".\" means the start folder itself.
        while (mask.startsWith(QLatin1String(".\\")))
            mask.remove(0, 2);
        if (!mask.isEmpty())
            masks.append(mask);
    }
    return masks;
}

} // namespace

TNameMasks::TNameMasks(const QString &text)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    include = SplitMasks(bar < 0 ? text : text.left(bar));
    if (bar >= 0)
        exclude = SplitMasks(text.mid(bar + 1));
    // "*" and "*.*" alone include everything; keeping them would only cost time.
    if (include.size() == 1 &&
        (include[0] == QLatin1String("*") || include[0] == QLatin1String("*.*")))
        include.clear();
}

namespace {

// Part by part, so that a "*" never reaches across a folder.
bool MatchesPath(const QString &relative, const QString &mask)
{
    const QStringList parts = relative.split(QLatin1Char('\\'));
    const QStringList masks = mask.split(QLatin1Char('\\'));
    if (parts.size() != masks.size())
        return false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!sys::MatchesMask(parts[i], masks[i]))
            return false;
    }
    return true;
}

} // namespace

bool TNameMasks::Any(const QStringList &masks, const QString &name, const QString &relative)
{
    for (const QString &mask : masks) {
        if (mask.contains(QLatin1Char('\\')) ? MatchesPath(relative, mask)
                                              : sys::MatchesMask(name, mask))
            return true;
    }
    return false;
}

bool TNameMasks::Matches(const QString &name, const QString &relative) const
{
    if (!include.isEmpty() && !Any(include, name, relative))
        return false;
    return exclude.isEmpty() || !Any(exclude, name, relative);
}

bool TNameMasks::MatchesAll() const
{
    return include.isEmpty() && exclude.isEmpty();
}

} // namespace kestrel
