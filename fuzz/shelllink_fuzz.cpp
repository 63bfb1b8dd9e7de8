// Shell Link reader: any bytes either fail to parse or parse into a link that
// writes out and reads back the same. Input: the bytes of a .lnk file.

#include "fuzz/support.h"
#include "platform/drives.h"
#include "platform/shelllink.h"

#include <QStringList>

namespace {

using namespace kestrel;
using sys::TShellLink;

bool SameTime(const sys::FILETIME &a, const sys::FILETIME &b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

QString Describe(const TShellLink &l)
{
    return QStringLiteral(
               "target %1 relative %2 work %3 args %4 label %5 type %6 serial %7 icon %8")
        .arg(fuzz::Shown(l.target), fuzz::Shown(l.relativePath), fuzz::Shown(l.workingDir),
             fuzz::Shown(l.arguments), fuzz::Shown(l.volumeLabel), QString::number(l.driveType),
             QString::number(l.driveSerial), QString::number(l.iconIndex));
}

// Everything the writer stores. The volume is stored for drive-letter
// targets only, its label in the ANSI code page.
bool SameLink(const TShellLink &read, const TShellLink &again)
{
    // A share is stored as its name and the path below it, so the share's
    // root is written without a final backslash.
    QString target = read.target;
    const QStringList share = target.mid(2).split(QLatin1Char('\\'));
    if (target.startsWith(QLatin1String("\\\\")) && share.size() == 3 && !share[0].isEmpty() &&
        !share[1].isEmpty() && share[2].isEmpty())
        target.chop(1);
    const bool sameFields =
        target == again.target && read.relativePath == again.relativePath &&
        read.workingDir == again.workingDir && read.arguments == again.arguments &&
        read.attributes == again.attributes && SameTime(read.creationTime, again.creationTime) &&
        SameTime(read.accessTime, again.accessTime) && SameTime(read.writeTime, again.writeTime) &&
        read.fileSize == again.fileSize && read.iconIndex == again.iconIndex;
    if (!sameFields || read.target.startsWith(QLatin1String("\\\\")))
        return sameFields;
    return read.driveType == again.driveType && read.driveSerial == again.driveSerial &&
           QString::fromLatin1(read.volumeLabel.toLatin1()) == again.volumeLabel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TShellLink read;
    if (!sys::DecodeShellLink(bytes, read))
        return 0;
    const QByteArray written = sys::EncodeShellLink(read);
    TShellLink again;
    fuzz::Check(sys::DecodeShellLink(written, again), "a written link does not parse",
                Describe(read));
    fuzz::Check(SameLink(read, again), "a link reads back different",
                Describe(read) + QStringLiteral("\nread back: ") + Describe(again));
    fuzz::Check(sys::EncodeShellLink(again) == written, "a link read back writes different bytes",
                Describe(again));
    return 0;
}
