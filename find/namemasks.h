#pragma once
// The name masks of a search: "*.txt;*.doc|old*;*.bak" finds the names that
// match a mask before the "|" and none after it. A mask holding a "\" or "/"
// is matched against the path below the start folder instead of the name.

#include <QString>
#include <QStringList>

namespace kestrel {

class TNameMasks {
public:
    explicit TNameMasks(const QString &text = QString());

    // relative: the entry's path below the start folder, "\" between parts.
    bool Matches(const QString &name, const QString &relative) const;
    // True when every name matches: nothing to include and nothing to exclude.
    bool MatchesAll() const;

private:
    static bool Any(const QStringList &masks, const QString &name, const QString &relative);

    QStringList include;
    QStringList exclude;
};

} // namespace kestrel
