#include "ops/conflicts.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "text/strings.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"

#include <QLocale>
#include <QRegularExpression>

namespace kestrel {

namespace {

QString WithName(int id, const QString &name)
{
    return LoadStr(id).replace(QLatin1String("%s"), name);
}

// The information line of a file on disk; empty when it cannot be read.
QString PathInfoLine(const QString &path)
{
    const sys::HANDLE file = sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                             sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return QString();
    sys::FILETIME lastWrite;
    const sys::UINT64 size = sys::GetFileSize64(file);
    const bool haveTime = sys::GetFileTime(file, nullptr, nullptr, &lastWrite);
    sys::CloseHandle(file);
    if (size == sys::INVALID_FILE_SIZE64 || !haveTime)
        return QString();
    return FileInfoLine(size, lastWrite);
}

sys::DWORD FlagsOf(const TFileExistsAnswer &answer, QString &target)
{
    switch (answer.modalResult) {
    case mrYes:
        return feOverwrite | (answer.all ? feAll : 0);
    case mrNo:
        return feSkip | (answer.all ? feAll : 0);
    case mrRetry:
        // All is ignored with Rename: only this item goes to the new name.
        target = answer.newTarget;
        return feRename;
    default:
        return feCancel;
    }
}

} // namespace

QString FileInfoLine(sys::UINT64 size, const sys::FILETIME &lastWriteUtc)
{
    const QLocale locale = QLocale::system();
    const QDateTime local = sys::FileTimeToQDateTime(lastWriteUtc).toLocalTime();
    // The long time format without the time zone, as the system clock shows it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat = timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b"))).trimmed();
    return QStringLiteral("%1 bytes ( %2, %3 )")
        .arg(ThousandsText(size), locale.toString(local.date(), QLocale::LongFormat),
             locale.toString(local.time(), timeFormat));
}

// An existing target file fills the Origin row and names the question; then asks.
static sys::DWORD AskWithTarget(QObject *owner, TFileExistsQuestion &q, QString &target)
{
    const sys::DWORD targetAttributes = sys::GetFileAttributes(target);
    if (targetAttributes != sys::INVALID_FILE_ATTRIBUTES &&
        !(targetAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
        q.fileNameText = WithName(524, sys::ExtractFileName(target));
        q.originInfo = PathInfoLine(target);
    }
    return FlagsOf(Ask().FileExists(owner, q), target);
}

sys::DWORD AskFileExists(QObject *owner, const QString &itemPath, QString &target)
{
    const TOperationGuard guard;
    TFileExistsQuestion q;
    q.targetPath = target;
    const sys::DWORD itemAttributes = sys::GetFileAttributes(itemPath);
    if (itemAttributes != sys::INVALID_FILE_ATTRIBUTES) {
        if (itemAttributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
            q.fileNameText = WithName(596, sys::ExtractFileName(itemPath));
            q.isFolder = true;
        } else {
            q.fileNameText = WithName(524, sys::ExtractFileName(itemPath));
            q.newInfo = PathInfoLine(itemPath);
        }
    }
    return AskWithTarget(owner, q, target);
}

sys::DWORD AskFileExists(QObject *owner, const TListedItem &item, QString &target)
{
    const TOperationGuard guard;
    TFileExistsQuestion q;
    q.targetPath = target;
    q.canRename = false;
    q.fileNameText = WithName(524, item.name);
    q.newInfo = FileInfoLine(item.size, item.time);
    return AskWithTarget(owner, q, target);
}

bool IsValidNewName(const QString &name)
{
    if (name.isEmpty() || name.size() >= 255)
        return false;
    for (const QChar c : name) {
        if (QStringView(u":>*?|\"").contains(c))
            return false;
    }
    // Backslashes and slashes lead into subfolders of the target folder;
    // parts that would lead out of it, or nowhere, are refused. Split by
    // character: a pattern never matches a name that is not UTF-8.
    const QStringList parts =
        QString(name).replace(QLatin1Char('/'), QLatin1Char('\\')).split(QLatin1Char('\\'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

bool AskRenameTarget(QObject *owner, QString &target)
{
    QString name = sys::ExtractFileName(target);
    for (;;) {
        if (AskString(owner, LoadStr(577), LoadStr(576), name, true, false) != mrOk)
            return false;
        if (IsValidNewName(name)) {
            target = sys::ExtractFilePath(target) + name;
            return true;
        }
        const TOperationGuard guard;
        Ask().MessageBox(owner, AboutObject(name, LoadStr(264)), LoadStr(512),
                         MB_OK | MB_ICONERROR);
    }
}

int AskDeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption)
{
    const TOperationGuard guard;
    return Ask().DeleteWarning(owner, text, focused, allCaption);
}

int AskString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
              bool selectAll, bool keepSelection)
{
    const TOperationGuard guard;
    return Ask().GetString(owner, caption, prompt, text, selectAll, keepSelection);
}

void HandleFileExists(QObject *owner, const QString &source, QString &target, sys::DWORD &flags)
{
    if (flags & feAll)
        return;
    flags = AskFileExists(owner, source, target);
}

} // namespace kestrel
