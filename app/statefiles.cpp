#include "app/statefiles.h"

#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include <cstdio>

namespace kestrel {

namespace {

// Far beyond any real list (26 drives, 10 commands): a larger file is damaged
// and is not worth reading into memory.
constexpr sys::UINT64 kMaxStateFile = 1 << 20;

bool TooLarge(const QString &path)
{
    sys::WIN32_FIND_DATA data;
    const sys::HANDLE h = sys::FindFirstFile(path, data);
    if (h == sys::INVALID_HANDLE_VALUE)
        return false;
    sys::FindClose(h);
    return ((sys::UINT64(data.nFileSizeHigh) << 32) | data.nFileSizeLow) > kMaxStateFile;
}

// An oversized file was never read, so it is the user's data we know nothing
// of: it is kept under a backup name instead of being overwritten.
bool KeepOversized(const QString &path)
{
    QByteArray from, keptAs;
    if (sys::KeepAsBackup(path, from, keptAs)) {
        std::fprintf(stderr, "kestrel: %s is over 1 MiB and was not read; kept it as %s\n",
                     from.constData(), keptAs.constData());
        return true;
    }
    const sys::DWORD error = sys::GetLastError();
    if (from.isEmpty())
        from = sys::EncodeName(path);
    std::fprintf(stderr,
                 "kestrel: %s is over 1 MiB and was not read; it could not be kept as a "
                 "backup (error %u), so it was left as it is\n",
                 from.constData(), unsigned(error));
    return false;
}

QString NameOf(const QString &pair)
{
    return pair.left(pair.indexOf(QLatin1Char('=')));
}

// Lines ended by CR LF, CR or LF, split on the bytes and then decoded one by
// one: a name that is not UTF-8 decodes to text a pattern match rejects whole.
QStringList SplitLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i > start)
            lines.append(sys::DecodeName(bytes.mid(start, i - start)));
        start = i + 1;
    }
    return lines;
}

} // namespace

QStringList ReadStateLines(const QString &path)
{
    QByteArray contents;
    if (path.isEmpty() || TooLarge(path) || !sys::ReadWholeFile(path, contents))
        return {};
    return SplitLines(contents);
}

bool WriteStateLines(const QString &path, const QStringList &lines)
{
    if (path.isEmpty() || (TooLarge(path) && !KeepOversized(path)))
        return false;
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    return sys::WriteWholeFile(path, sys::EncodeName(text));
}

TLastDir LoadLastDir(const QString &path)
{
    TLastDir result;
    QStringList lines = ReadStateLines(path);
    if (!lines.isEmpty() && !lines.last().contains(QLatin1Char('=')))
        result.currentDrive = lines.takeLast().trimmed();
    QStringList names;
    for (const QString &line : lines) {
        if (line.indexOf(QLatin1Char('=')) <= 0)
            continue;
        const QString name = NameOf(line);
        if (names.contains(name, Qt::CaseInsensitive))
            continue;
        names.append(name);
        result.dirs.append(line);
    }
    return result;
}

bool SaveLastDir(const QString &path, const QStringList &dirs, const QString &currentDrive)
{
    QStringList lines = dirs;
    lines.append(currentDrive);
    return WriteStateLines(path, lines);
}

QStringList LoadCommandHistory(const QString &path)
{
    QStringList items = ReadStateLines(path);
    if (items.size() > kCommandHistoryMax)
        items = items.mid(items.size() - kCommandHistoryMax);
    return items;
}

bool SaveCommandHistory(const QString &path, const QStringList &items)
{
    return WriteStateLines(path, items.mid(qMax(qsizetype(0), items.size() - kCommandHistoryMax)));
}

} // namespace kestrel
