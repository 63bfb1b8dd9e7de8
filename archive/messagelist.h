#pragma once
// The problems met while an archive operation runs (items skipped, damaged,
// refused), shown together in one message once it ends, never one box per
// item.

#include <QString>
#include <QStringList>

class QObject;

namespace kestrel {

class TArchiveMessages {
public:
    void Add(const QString &line) { lines.append(line); }
    bool IsEmpty() const { return lines.isEmpty(); }
    void Clear() { lines.clear(); }
    // Shows the lines under the text of heading, the first 20 of them and a
    // count of the rest, and clears them.
    void Show(QObject *owner, int heading);

private:
    QStringList lines;
};

} // namespace kestrel
