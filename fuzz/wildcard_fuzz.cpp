// Wildcard matching against a plain reference: the same mask rules ("*" and
// "*.*" match everything, a trailing "." asks for names without a dot, a
// trailing ".*" also matches names without one) over a textbook
// dynamic-programming glob. Input: mask 0x1F name.

#include "fuzz/support.h"
#include "platform/names.h"
#include "platform/wildcard.h"

#include <vector>

namespace {

using namespace kestrel;

// '*' takes any run of characters (a '*' in the name too), '?' exactly one,
// anything else itself.
bool Glob(QStringView name, QStringView mask)
{
    // matched[j]: the name's first i characters match the mask's first j.
    std::vector<bool> matched(size_t(mask.size()) + 1, false);
    matched[0] = true;
    for (qsizetype j = 1; j <= mask.size(); ++j)
        matched[size_t(j)] = matched[size_t(j - 1)] && mask[j - 1] == QLatin1Char('*');
    for (qsizetype i = 1; i <= name.size(); ++i) {
        std::vector<bool> row(matched.size(), false);
        for (qsizetype j = 1; j <= mask.size(); ++j) {
            const QChar m = mask[j - 1];
            if (m == QLatin1Char('*'))
                row[size_t(j)] = row[size_t(j - 1)] || matched[size_t(j)];
            else if (m == QLatin1Char('?') || m == name[i - 1])
                row[size_t(j)] = matched[size_t(j - 1)];
        }
        matched = row;
    }
    return matched.back();
}

bool Reference(const QString &name, const QString &mask)
{
    if (mask == QLatin1String("*") || mask == QLatin1String("*.*"))
        return true;
    const QString n = sys::CaseKey(name);
    QString m = sys::CaseKey(mask);
    const bool hasDot = n.contains(QLatin1Char('.'));
    if (m.endsWith(QLatin1Char('.')) && m != QLatin1String(".") && m != QLatin1String("..")) {
        while (m.endsWith(QLatin1Char('.')))
            m.chop(1);
        return !hasDot && Glob(n, m);
    }
    if (Glob(n, m))
        return true;
    return m.endsWith(QLatin1String(".*")) && !hasDot && Glob(n, QStringView(m).chopped(2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Long inputs only slow the quadratic reference down.
    if (size > 512)
        return 0;
    const QList<QByteArray> fields = fuzz::Fields(data, size, 2);
    const QString mask = sys::DecodeName(fields[0]);
    const QString name = sys::DecodeName(fields[1]);
    const bool got = sys::MatchesMask(name, mask);
    fuzz::Check(got == Reference(name, mask), "MatchesMask differs from the reference",
                QStringLiteral("mask %1 name %2 got %3")
                    .arg(fuzz::Shown(mask), fuzz::Shown(name),
                         got ? QStringLiteral("true") : QStringLiteral("false")));
    return 0;
}
