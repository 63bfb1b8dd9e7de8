#include "panel/filetexts.h"

#include "platform/drives.h"
#include "platform/filetime.h"

namespace kestrel {

QString FitCharCase(const QString &text, TCharCase charCase)
{
    switch (charCase) {
    case ccUpper:
        return text.toUpper();
    case ccLower:
        return text.toLower();
    case ccCapital: {
        QString result = text.toLower();
        if (!result.isEmpty() && result[0] >= QLatin1Char('a') && result[0] <= QLatin1Char('z'))
            result[0] = result[0].toUpper();
        return result;
    }
    case ccNormal:
        break;
    }
    return text;
}

static bool Unprintable(QChar c)
{
    return c.category() == QChar::Other_Control || c.isSurrogate();
}

QString PrintableText(const QString &text)
{
    QString result = text; // shared until a character is replaced
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // a character outside the basic plane
            continue;
        }
        if (Unprintable(c))
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

TSizeText SizeText(quint64 size, bool wide)
{
    constexpr double gib = 1024.0 * 1024.0 * 1024.0;
    constexpr double mib = 1024.0 * 1024.0;
    const int decimals = wide ? 2 : 1;
    if (size > 1073741823)
        return {QString::number(double(size) / gib, 'f', decimals), QStringLiteral("G")};
    if (size > (wide ? 99999999u : 999999u))
        return {QString::number(double(size) / mib, 'f', decimals), QStringLiteral("M")};
    return {wide ? ThousandsText(size) : QString::number(size), QString()};
}

static bool LocalTime(const sys::FILETIME &utc, sys::SYSTEMTIME &st)
{
    sys::FILETIME local;
    return sys::FileTimeToLocalFileTime(utc, local) && sys::FileTimeToSystemTime(local, st);
}

QString DateText(const sys::FILETIME &utc)
{
    sys::SYSTEMTIME st;
    if (!LocalTime(utc, st))
        return QString();
    return QStringLiteral("%1-%2-%3")
        .arg(st.wYear, 4, 10, QLatin1Char('0'))
        .arg(st.wMonth, 2, 10, QLatin1Char('0'))
        .arg(st.wDay, 2, 10, QLatin1Char('0'));
}

QString TimeText(const sys::FILETIME &utc)
{
    sys::SYSTEMTIME st;
    if (!LocalTime(utc, st))
        return QString();
    return QStringLiteral("%1:%2")
        .arg(st.wHour, 2, 10, QLatin1Char('0'))
        .arg(st.wMinute, 2, 10, QLatin1Char('0'));
}

QString AttributeText(sys::DWORD attributes)
{
    QString text;
    text += (attributes & sys::FILE_ATTRIBUTE_ARCHIVE) ? QLatin1Char('A') : QLatin1Char('_');
    text += (attributes & sys::FILE_ATTRIBUTE_HIDDEN) ? QLatin1Char('H') : QLatin1Char('_');
    text += (attributes & sys::FILE_ATTRIBUTE_READONLY) ? QLatin1Char('R') : QLatin1Char('_');
    text += (attributes & sys::FILE_ATTRIBUTE_SYSTEM) ? QLatin1Char('S') : QLatin1Char('_');
    return text;
}

QString DriveRowText(const QString &letter, const QString &label)
{
    return QStringLiteral("[-%1-] %2").arg(letter, label);
}

static QString DriveTypeName(unsigned type)
{
    static const char *const names[] = {
        "Unknown", "", "Floppy Disk", "Local Disk", "Network", "Compact Disc", "Ram Disk"};
    return type < 7 ? QString::fromLatin1(names[type]) : QString();
}

QString EntryStatusText(const TFile *entry)
{
    if (!entry)
        return QString();
    if (entry->Kind() == fkDrive) {
        if (entry->Name == QLatin1String("/"))
            return panelstr::NetworkPlaces;
        const unsigned type = sys::GetDriveType(entry->GetFullName());
        return QStringLiteral(" %1  |  %2 (%3:)  ")
            .arg(DriveTypeName(type), entry->Ext, entry->Name);
    }
    const QString size = entry->Kind() == fkFolder ? panelstr::Folder : ThousandsText(entry->Size);
    return QStringLiteral(" %1  |  %2, %3  |  %4  ")
        .arg(size, DateText(entry->Time), TimeText(entry->Time), AttributeText(entry->Attributes));
}

QString ItemCountText(qsizetype count)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? panelstr::Item : panelstr::Items);
}

QString SelectionStatusText(int selCount, quint64 selSize)
{
    if (selCount <= 0)
        return QString();
    return panelstr::SelectedItems.arg(ItemCountText(selCount), ThousandsText(selSize));
}

} // namespace kestrel
