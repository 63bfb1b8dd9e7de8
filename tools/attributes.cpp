#include "tools/attributes.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "text/strings.h"
#include "tools/targets.h"

#include <QDate>
#include <QTime>

#include <functional>

namespace kestrel {

namespace {

constexpr sys::DWORD shownAttributes = sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN |
                                       sys::FILE_ATTRIBUTE_SYSTEM | sys::FILE_ATTRIBUTE_ARCHIVE;

// Characters from..from+count-1 (1-based) of text as a number; fallback
// when they are no number.
int Field(const QString &text, int from, int count, int fallback)
{
    bool ok = false;
    const int value = text.mid(from - 1, count).toInt(&ok);
    return ok ? value : fallback;
}

// Calls change for every file below folder, at any depth, stopping at the
// first failure (its path in failed). Links are neither entered nor changed:
// what they lead to may lie anywhere.
int ForEachFileBelow(const QString &folder, const std::function<bool(const QString &)> &change,
                     QString &failed)
{
    QList<sys::WIN32_FIND_DATA> entries;
    if (!sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &entry) {
            entries << entry;
            return true;
        })) {
        failed = folder;
        return int(sys::GetLastError());
    }
    for (const sys::WIN32_FIND_DATA &entry : std::as_const(entries)) {
        if (IsLink(entry.dwFileAttributes))
            continue;
        const QString path = sys::JoinPath(folder, entry.cFileName);
        if (entry.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
            if (const int code = ForEachFileBelow(path, change, failed))
                return code;
        } else if (!change(path)) {
            failed = path;
            return int(sys::GetLastError());
        }
    }
    return 0;
}

bool SetTimes(const QString &path, const sys::FILETIME &time)
{
    const sys::HANDLE file = sys::CreateFile(path, sys::GENERIC_WRITE, sys::FILE_SHARE_READ,
                                             sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return false;
    const bool set = sys::SetFileTime(file, &time, &time, &time);
    const sys::DWORD error = sys::GetLastError();
    const bool closed = sys::CloseHandle(file);
    if (!set)
        sys::SetLastError(error);
    return set && closed;
}

bool SetAttributes(const QString &path, sys::DWORD attributes)
{
    return sys::SetFileAttributes(path, attributes ? attributes : sys::FILE_ATTRIBUTE_NORMAL);
}

// One entry with the dialog's settings; 0 or the error code, the path it is
// about in failed.
int Apply(TFile &file, const QString &path, const TAttribForm &form, const sys::FILETIME &time,
          QString &failed)
{
    failed = path;
    const bool folder = file.Kind() == fkFolder;
    const sys::DWORD bits = form.attributes & shownAttributes;
    if (folder && form.recurse) {
        // The folder itself stays as it is; the files below it change.
        return ForEachFileBelow(
            path,
            [&](const QString &below) {
                return form.applyDateTime ? SetTimes(below, time) : SetAttributes(below, bits);
            },
            failed);
    }
    if (form.applyDateTime) {
        if (folder)
            return 0;
        if (!SetTimes(path, time))
            return int(sys::GetLastError());
        file.Time = time;
        return 0;
    }
    if (!SetAttributes(path, folder ? bits | sys::FILE_ATTRIBUTE_DIRECTORY : bits))
        return int(sys::GetLastError());
    const sys::DWORD now = sys::GetFileAttributes(path);
    if (now != sys::INVALID_FILE_ATTRIBUTES)
        file.Attributes = now;
    return 0;
}

} // namespace

void DateTimeTexts(const sys::FILETIME &utc, QString &date, QString &time)
{
    sys::FILETIME local;
    sys::SYSTEMTIME st;
    if (!sys::FileTimeToLocalFileTime(utc, local) || !sys::FileTimeToSystemTime(local, st))
        st = sys::SYSTEMTIME{2000, 1, 0, 1, 0, 0, 0, 0};
    date = QString::asprintf("%.4d-%.2d-%.2d", st.wYear, st.wMonth, st.wDay);
    time = QString::asprintf("%.2d:%.2d", st.wHour, st.wMinute);
}

bool ReadDateTime(const QString &date, const QString &time, sys::FILETIME &utc, QString &message)
{
    const int year = Field(date, 1, 4, 2000);
    const int month = Field(date, 6, 2, 1);
    const int day = Field(date, 9, 2, 1);
    const int hour = Field(time, 1, 2, 0);
    const int minute = Field(time, 4, 2, 0);
    // File times begin in 1601.
    if (year < 1601 || !QDate::isValid(year, month, day)) {
        message = QStringLiteral("There is no day %1.").arg(date);
        return false;
    }
    if (!QTime::isValid(hour, minute, 0)) {
        message = QStringLiteral("There is no time %1.").arg(time);
        return false;
    }
    const sys::SYSTEMTIME st{std::uint16_t(year), std::uint16_t(month),  0, std::uint16_t(day),
                             std::uint16_t(hour), std::uint16_t(minute), 0, 0};
    sys::FILETIME local;
    if (!sys::SystemTimeToFileTime(st, local) || !sys::LocalFileTimeToFileTime(local, utc)) {
        message = QStringLiteral("%1 %2 cannot be given to a file.").arg(date, time);
        return false;
    }
    return true;
}

bool RunAttributesCommand(QObject *owner, TFileListing &panel)
{
    const QList<TFile *> targets = ToolTargets(panel);
    if (targets.isEmpty())
        return false;
    const TOperationGuard guard;
    const QString folder = panel.Folder();
    TAttribForm form;
    bool all = false;
    bool changed = false;
    for (int i = 0; i < targets.size(); ++i) {
        TFile &file = *targets[i];
        sys::FILETIME time;
        for (;;) {
            if (!all) {
                form.fileText = NumberedText(file.GetFullName(), i, int(targets.size()));
                form.attributes = file.Attributes & shownAttributes;
                DateTimeTexts(file.Time, form.date, form.time);
                const int answer = Ask().AttributesTime(owner, form);
                if (answer != mrOk && answer != mrAll)
                    return changed;
                all = answer == mrAll;
            }
            QString message;
            if (!form.applyDateTime || ReadDateTime(form.date, form.time, time, message))
                break;
            Ask().MessageBox(owner, message, LoadStr(512), MB_OK | MB_ICONERROR);
            all = false;
        }
        QString failed;
        const int code = Apply(file, sys::JoinPath(folder, file.GetFullName()), form, time, failed);
        if (code == 0) {
            changed = true;
            continue;
        }
        if (!ShowError(code, failed, LoadStr(512), i + 1 == targets.size()))
            return changed;
    }
    return changed;
}

} // namespace kestrel
