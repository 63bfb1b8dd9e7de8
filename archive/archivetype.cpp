#include "archive/archivetype.h"

namespace kestrel {

namespace {

bool IsVolumeExtension(QStringView ext, QChar letter)
{
    return ext[1].toUpper() == letter && ext[2].isDigit() && ext[3].isDigit() &&
           ext[2].unicode() < 0x80 && ext[3].unicode() < 0x80;
}

// The four types named by the first rule.
TArchiveType FourTypeOf(QStringView ext)
{
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

struct TSuffix {
    const char *suffix;
    TArchiveType type;
};

// Longer suffixes first: ".tar.gz" before ".gz".
constexpr TSuffix suffixes[] = {
    {".tar.gz", atTar},     {".tar.bz2", atTar},    {".tar.xz", atTar},    {".tar.zst", atTar},
    {".tar.lz4", atTar},    {".tgz", atTar},        {".tbz2", atTar},      {".tbz", atTar},
    {".txz", atTar},        {".tar", atTar},        {".7z", atSevenZip},   {".cab", atCab},
    {".lzh", atLha},        {".lha", atLha},        {".iso", atIso},       {".cpio", atCpio},
    {".gz", atCompressed},  {".bz2", atCompressed}, {".xz", atCompressed}, {".zst", atCompressed},
    {".lz4", atCompressed},
};

// The type of a name and the length of the extension that gave it.
TArchiveType TypeAndExtension(const QString &fileName, qsizetype &extension)
{
    extension = 0;
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('\\'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return atNone;
    const TArchiveType four = FourTypeOf(QStringView(fileName).mid(dot));
    if (four != atNone) {
        extension = fileName.size() - dot;
        return four;
    }
    const QStringView name = QStringView(fileName).mid(slash + 1);
    for (const TSuffix &s : suffixes) {
        const QLatin1String suffix(s.suffix);
        // A suffix alone is no name: ".gz" is a hidden file, not an archive.
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive)) {
            extension = suffix.size();
            return s.type;
        }
    }
    return atNone;
}

} // namespace

TArchiveType ArchiveTypeOf(const QString &fileName)
{
    qsizetype extension = 0;
    return TypeAndExtension(fileName, extension);
}

QString ArchiveBaseName(const QString &fileName)
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('\\')) + 1);
    qsizetype extension = 0;
    if (TypeAndExtension(name, extension) == atNone) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        return dot > 0 ? name.left(dot) : name;
    }
    return name.chopped(extension);
}

QString ArchiveTypeName(TArchiveType type)
{
    switch (type) {
    case atZip:
        return QStringLiteral("ZIP");
    case atRar:
        return QStringLiteral("RAR");
    case atArj:
        return QStringLiteral("ARJ");
    case atAce:
        return QStringLiteral("ACE");
    case atSevenZip:
        return QStringLiteral("7z");
    case atTar:
        return QStringLiteral("tar");
    case atCab:
        return QStringLiteral("CAB");
    case atLha:
        return QStringLiteral("LHA");
    case atIso:
        return QStringLiteral("ISO 9660");
    case atCpio:
        return QStringLiteral("cpio");
    case atCompressed:
        return QStringLiteral("compressed");
    case atNone:
        break;
    }
    return QString();
}

} // namespace kestrel
