#include "app/selectedlist.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "text/strings.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/statefile.h"

namespace kestrel {

namespace {

QString TimeText(const sys::FILETIME &utc)
{
    sys::FILETIME local;
    sys::SYSTEMTIME st;
    if (!sys::FileTimeToLocalFileTime(utc, local) || !sys::FileTimeToSystemTime(local, st))
        return QStringLiteral("0000-00-00 00:00");
    return QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d", st.wYear, st.wMonth, st.wDay, st.wHour,
                             st.wMinute);
}

QString AttributeText(sys::DWORD attributes)
{
    const std::pair<sys::DWORD, char> letters[] = {{sys::FILE_ATTRIBUTE_ARCHIVE, 'A'},
                                                   {sys::FILE_ATTRIBUTE_HIDDEN, 'H'},
                                                   {sys::FILE_ATTRIBUTE_READONLY, 'R'},
                                                   {sys::FILE_ATTRIBUTE_SYSTEM, 'S'}};
    QString text;
    for (const auto &[bit, letter] : letters)
        text += QLatin1Char((attributes & bit) ? letter : '_');
    return text;
}

} // namespace

QByteArray SelectedListText(const QString &folder, const QList<TListedEntry> &entries)
{
    qsizetype width = 0;
    for (const TListedEntry &e : entries)
        width = qMax(width, e.name.size());

    QStringList lines{folder, QString()};
    int folders = 0;
    int files = 0;
    sys::UINT64 total = 0;
    for (const TListedEntry &e : entries) {
        lines.append(e.name.leftJustified(width + 2) + QLatin1Char(' ') + TimeText(e.lastWrite) +
                     QLatin1Char(' ') + AttributeText(e.attributes));
        if (e.attributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
            ++folders;
        } else {
            ++files;
            total += e.size;
        }
    }
    lines.append(QString());
    lines.append(QStringLiteral("%1 Folders, %2 Files").arg(folders).arg(files));
    lines.append(ThousandsText(total) + QLatin1String(" bytes"));

    // Names go out as they are on disk, even when they are not valid UTF-8.
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += sys::EncodeName(line) + "\r\n";
    return bytes;
}

void SaveSelectedList(QObject *owner, const QString &folder, const QList<TListedEntry> &entries)
{
    if (entries.isEmpty())
        return;
    QString path = sys::JoinPath(folder, QStringLiteral("list.txt"));
    if (!Ask().SaveFileName(owner, QStringLiteral("Save Selected List"),
                            QStringLiteral("Text(*.txt)"), path))
        return;
    if (!sys::WriteWholeFile(path, SelectedListText(folder, entries)))
        ShowError(sys::GetLastError(), path, LoadStr(512), true);
}

QString PathNameText(const QString &folder, const QString &name, bool isDrive)
{
    if (isDrive)
        return name.left(1).toUpper() + QLatin1String(":\\");
    if (name == QLatin1String("..")) {
        QString path = folder;
        if (path.endsWith(QLatin1Char('\\')) && !sys::IsRoot(path))
            path.chop(1);
        const QString parent = sys::ExtractFilePath(path);
        return sys::IsRoot(parent) || parent.size() <= 1 ? parent : parent.left(parent.size() - 1);
    }
    return sys::JoinPath(folder, name);
}

} // namespace kestrel
