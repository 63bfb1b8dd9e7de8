#pragma once
// Private to platform/: 8.3 short names for the entries of one folder, made
// the Windows way ("Program Files.txt" -> "PROGRA~1.TXT") and numbered in
// listing order, never equal to another entry's name or short name.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace kestrel::sys {

class ShortNames {
public:
    // All names of the folder, so that existing 8.3 names are never handed out.
    explicit ShortNames(const QStringList &folderNames);
    // The short name of the next entry in listing order; empty when the long
    // name already is a valid upper-case 8.3 name.
    QString Next(const QString &longName);

private:
    QSet<QString> exact;         // names that are their own short name
    QSet<QString> eightDotThree; // upper-case forms of names valid as 8.3 ignoring case
    QSet<QString> taken;         // short names handed out so far
    QHash<QString, int> nextNumber; // by prefix and extension: the next ~n to try
};

} // namespace kestrel::sys
