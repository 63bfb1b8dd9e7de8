#include "app/destination.h"

#include "app/workfolders.h"
#include "ops/ask.h"
#include "platform/drives.h"
#include "text/strings.h"

#include <QStringList>

namespace kestrel {

namespace {

// "A:" or "A:\": a drive, not a folder on it.
bool NamesDrive(const QString &text)
{
    return (text.size() == 2 || (text.size() == 3 && text[2] == QLatin1Char('\\'))) &&
           text[0].isLetter() && text[1] == QLatin1Char(':');
}

} // namespace

QString AskDestination(QObject *owner, const QString &folder, const TWorkFolders &workFolders,
                       bool noTreeA)
{
    QStringList slots;
    for (int slot = 0; slot < TWorkFolders::count; ++slot)
        slots.append(workFolders.Get(slot));
    QString text = folder;
    if (Ask().SelectDrive(owner, text, slots, QString()) != mrOk)
        return QString();
    text = text.trimmed();
    if (text.isEmpty())
        return QString();
    // The drive dialog answers a drive with its letter alone: the picker then
    // opens on the current folder when that drive holds it, else on the root.
    const bool letter = text.size() == 1 && text[0].isLetter();
    if (letter || NamesDrive(text)) {
        const QString root = text.left(1).toUpper() + QStringLiteral(":\\");
        if (noTreeA && sys::GetDriveType(root) == sys::DRIVE_REMOVABLE)
            return root;
        if (letter)
            text = folder.startsWith(root.left(2), Qt::CaseInsensitive) ? folder : root;
    }
    if (text.size() == 1 && !text[0].isLetter()) {
        const int digit = text[0].digitValue();
        return digit >= 1 && digit <= TWorkFolders::count ? workFolders.Get(digit - 1) : QString();
    }
    return Ask().SelectFolder(owner, LoadStr(517), text) ? text : QString();
}

} // namespace kestrel
