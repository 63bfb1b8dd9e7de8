// What the system offers as drives and shares, and the small INI reader for
// the [Drives] and [Network] sections.

#include "platform/names.h"
#include "platform/native.h"

#include <QFile>

namespace kestrel::sys {

QList<DriveEntry> DetectDrives()
{
    DriveEntry c;
    c.info.letter = QLatin1Char('C');
    c.info.nativeRoot = "/";
    c.info.serial = StableSerial("/");
    c.resolvedRoot = "/";
    return {c};
}

QList<ShareEntry> DetectShares()
{
    return {};
}

QList<std::pair<QByteArray, QByteArray>> ReadIniSection(const QByteArray &nativeFile,
                                                        const QByteArray &section)
{
    QList<std::pair<QByteArray, QByteArray>> entries;
    QFile file(DecodeName(nativeFile));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    bool inSection = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            inSection = end > 0 &&
                        line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq <= 0 || line.startsWith(';'))
            continue;
        entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return entries;
}

} // namespace kestrel::sys
