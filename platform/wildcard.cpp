#include "platform/wildcard.h"

#include "platform/names.h"

namespace kestrel::sys {

namespace {

// Plain glob with '*' and '?' over case-folded text; backtracks only to the
// last '*', which is enough because a later '*' absorbs any earlier choice.
bool Glob(QStringView name, QStringView mask)
{
    qsizetype n = 0, m = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        // A '*' in the mask is always a wildcard, even facing a '*' in the name
        // (legal in names here), so it is tested before the literal match.
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == QLatin1Char('?') || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesMask(const QString &name, const QString &mask)
{
    // The everyday masks match every name; a listing asks this once per entry.
    if (mask == QLatin1String("*") || mask == QLatin1String("*.*"))
        return true;
    const QString n = CaseKey(name);
    const QString m = CaseKey(mask);
    const QStringView mv(m);
    // "abc." asks for names without an extension.
    if (m.endsWith(QLatin1Char('.')) && m != QLatin1String(".") && m != QLatin1String("..")) {
        QStringView base = mv;
        while (base.endsWith(QLatin1Char('.')))
            base.chop(1);
        return !n.contains(QLatin1Char('.')) && Glob(n, base);
    }
    if (Glob(n, mv))
        return true;
    // A trailing ".*" also matches names without a dot ("*.*" matches "README").
    if (m.endsWith(QLatin1String(".*")) && !n.contains(QLatin1Char('.')))
        return Glob(n, mv.chopped(2));
    return false;
}

} // namespace kestrel::sys
