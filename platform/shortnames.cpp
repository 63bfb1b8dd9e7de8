#include "platform/shortnames.h"

#include <algorithm>

namespace kestrel::sys {

namespace {

bool IsShortChar(QChar c)
{
    if (c.unicode() >= 0x80)
        return false;
    const char a = char(c.unicode());
    return (a >= 'A' && a <= 'Z') || (a >= '0' && a <= '9') ||
           QByteArrayView("!#$%&'()-@^_`{}~").contains(a);
}

// True when name is a valid 8.3 name once upper-cased.
bool IsEightDotThree(const QString &upper)
{
    if (upper == QLatin1String(".") || upper == QLatin1String(".."))
        return false;
    const qsizetype dot = upper.indexOf(QLatin1Char('.'));
    const QStringView base = dot < 0 ? QStringView(upper) : QStringView(upper).left(dot);
    const QStringView ext = dot < 0 ? QStringView() : QStringView(upper).mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || (dot >= 0 && ext.isEmpty()))
        return false;
    for (QChar c : base)
        if (!IsShortChar(c))
            return false;
    for (QChar c : ext)
        if (!IsShortChar(c))
            return false;
    return true;
}

// Upper-cased, spaces and dots dropped, other characters a short name cannot
// hold replaced by '_'.
QString Clean(QStringView text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('.'))
            continue;
        const QChar u = c.unicode() < 0x80 ? c.toUpper() : c;
        out += IsShortChar(u) ? u : QLatin1Char('_');
    }
    return out;
}

} // namespace

ShortNames::ShortNames(const QStringList &folderNames)
{
    for (const QString &name : folderNames) {
        const QString upper = name.toUpper();
        if (!IsEightDotThree(upper))
            continue;
        eightDotThree.insert(upper);
        if (name == upper)
            exact.insert(name);
    }
}

QString ShortNames::Next(const QString &longName)
{
    const QString upper = longName.toUpper();
    if (IsEightDotThree(upper)) {
        if (longName == upper)
            return QString();
        // "readme.txt" becomes "README.TXT" unless that name is already someone's.
        if (!exact.contains(upper) && !taken.contains(upper)) {
            taken.insert(upper);
            return upper;
        }
    }
    QString stem = longName;
    while (stem.startsWith(QLatin1Char('.')))
        stem.remove(0, 1);
    const qsizetype dot = stem.lastIndexOf(QLatin1Char('.'));
    const QString base = Clean(dot < 0 ? QStringView(stem) : QStringView(stem).left(dot));
    const QString ext = dot < 0 ? QString() : Clean(QStringView(stem).mid(dot + 1)).left(3);
    const QString suffix = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    // Names sharing a prefix share a counter per tail width, so a folder of
    // 100,000 "file000001.txt"-like names is numbered in linear time.
    int limit = 10;
    for (int digits = 1;; ++digits, limit *= 10) {
        const QString prefix = base.left(8 - 1 - digits);
        int &next = nextNumber[prefix + QLatin1Char('|') + suffix];
        next = std::max(next, limit / 10);
        for (; next < limit; ++next) {
            const QString candidate =
                prefix + QLatin1Char('~') + QString::number(next) + suffix;
            if (!eightDotThree.contains(candidate) && !taken.contains(candidate)) {
                taken.insert(candidate);
                ++next;
                return candidate;
            }
        }
    }
}

} // namespace kestrel::sys
