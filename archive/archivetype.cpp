#include "archive/archivetype.h"

namespace kestrel {

namespace {

bool IsVolumeExtension(QStringView ext, QChar letter)
{
    return ext[1].toUpper() == letter && ext[2].isDigit() && ext[3].isDigit() &&
           ext[2].unicode() < 0x80 && ext[3].unicode() < 0x80;
}

} // namespace

TArchiveType ArchiveTypeOf(const QString &fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('\\'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return atNone;
    const QStringView ext = QStringView(fileName).mid(dot);
    if (ext.size() != 4)
        return atNone;
    if (ext.compare(QLatin1String(".zip"), Qt::CaseInsensitive) == 0)
        return atZip;
    if (ext.compare(QLatin1String(".rar"), Qt::CaseInsensitive) == 0 ||
        IsVolumeExtension(ext, QLatin1Char('R')))
        return atRar;
    if (ext.compare(QLatin1String(".arj"), Qt::CaseInsensitive) == 0 ||
        IsVolumeExtension(ext, QLatin1Char('A')))
        return atArj;
    if (ext.compare(QLatin1String(".ace"), Qt::CaseInsensitive) == 0 ||
        IsVolumeExtension(ext, QLatin1Char('C')))
        return atAce;
    return atNone;
}

} // namespace kestrel
