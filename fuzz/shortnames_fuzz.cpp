// Short names: in a folder of any names, every entry's 8.3 name (its own
// name when that already is one) is a valid upper-case 8.3 name, no two
// entries share one, and none is another entry's name.
// Input: the folder's names separated by '/', the one byte a name cannot hold.

#include "fuzz/support.h"
#include "platform/names.h"
#include "platform/shortnames.h"

#include <QSet>

namespace {

using namespace kestrel;

bool IsShortChar(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           QStringLiteral("!#$%&'()-@^_`{}~").contains(c);
}

// One to eight short characters, then optionally a dot and one to three.
bool IsValidShortName(const QString &name)
{
    const QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() > 2 || parts[0].isEmpty() || parts[0].size() > 8)
        return false;
    if (parts.size() == 2 && (parts[1].isEmpty() || parts[1].size() > 3))
        return false;
    for (const QString &part : parts)
        for (const QChar c : part)
            if (!IsShortChar(c))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList names;
    QSet<QString> seen;
    for (const QByteArray &part : bytes.split('/')) {
        const QString name = sys::DecodeName(part);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
            name.contains(QChar(0)) || seen.contains(name))
            continue;
        seen.insert(name);
        names.append(name);
    }
    QSet<QString> upperNames;
    for (const QString &name : std::as_const(names))
        upperNames.insert(name.toUpper());

    sys::ShortNames shortNames(names);
    QSet<QString> given;
    for (const QString &name : std::as_const(names)) {
        const QString generated = shortNames.Next(name);
        const QString shortName = generated.isEmpty() ? name : generated;
        const QString detail = fuzz::Shown(name) + QStringLiteral(" -> ") + fuzz::Shown(shortName) +
                               QStringLiteral(" in ") + fuzz::Shown(names);
        fuzz::Check(IsValidShortName(shortName), "a short name is not a valid 8.3 name", detail);
        fuzz::Check(!given.contains(shortName), "two entries share a short name", detail);
        given.insert(shortName);
        // A name upper-cased may equal another's ignoring case ("Readme.txt"
        // beside "readme.txt"), never exactly; a numbered one neither way.
        fuzz::Check(generated.isEmpty() || generated == name || !seen.contains(generated),
                    "a short name is another entry's name", detail);
        fuzz::Check(generated.isEmpty() || generated == name.toUpper() ||
                        !upperNames.contains(generated),
                    "a numbered short name is another entry's name ignoring case", detail);
    }
    return 0;
}
