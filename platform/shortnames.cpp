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
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('.'))
            continue;
        const QChar u = c.unicode() < 0x80 ? c.toUpper() : c;
        out += IsShortChar(u) ? u : QLatin1Char('_');
    }
    return out;
}

// A name longer than "12345678.123" is never a valid 8.3 name; most long names
// are ruled out by this without upper-casing them.
bool MayBeEightDotThree(const QString &name)
{
    return name.size() <= 12;
}

} // namespace

ShortNames::ShortNames(const QStringList &folderNames)
{
    for (const QString &name : folderNames) {
        if (!MayBeEightDotThree(name))
            continue;
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
    if (MayBeEightDotThree(longName)) {
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
    }
    QStringView stem(longName);
    while (stem.startsWith(QLatin1Char('.')))
        stem = stem.mid(1);
    const qsizetype dot = stem.lastIndexOf(QLatin1Char('.'));
    const QString base = Clean(dot < 0 ? stem : stem.left(dot));
    const QString ext = dot < 0 ? QString() : Clean(stem.mid(dot + 1)).left(3);
    const QString suffix = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    // Names sharing a prefix share a counter per tail width, so a folder of
    // 100,000 "file000001.txt"-like names is numbered in linear time.
    QString key;
    QString candidate;
    int limit = 10;
    for (int digits = 1;; ++digits, limit *= 10) {
        const QStringView prefix = QStringView(base).left(8 - 1 - digits);
        key.resize(0);
        key.append(prefix).append(QLatin1Char('|')).append(suffix);
        auto counter = nextNumber.find(key);
        if (counter == nextNumber.end())
            counter = nextNumber.insert(key, 0);
        int &next = counter.value();
        next = std::max(next, limit / 10);
        for (; next < limit; ++next) {
            candidate.resize(0);
            candidate.append(prefix).append(QLatin1Char('~'));
            for (int unit = limit / 10; unit > 0; unit /= 10)
                candidate.append(QLatin1Char(char('0' + next / unit % 10)));
            candidate.append(suffix);
            if (!eightDotThree.contains(candidate) && !taken.contains(candidate)) {
                taken.insert(candidate);
                ++next;
                return candidate;
            }
        }
    }
}

} // namespace kestrel::sys
