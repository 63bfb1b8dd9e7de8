#include "panel/descriptfile.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include <algorithm>

namespace kestrel {

const QString TDescriptFile::FileName = QStringLiteral("descript.dat");

TDescriptFile::TDescriptFile(const QString &folder) : folder(folder) {}

QString TDescriptFile::Path() const
{
    return sys::JoinPath(folder, FileName);
}

bool TDescriptFile::Read()
{
    QByteArray contents;
    if (!sys::ReadWholeFile(Path(), contents)) {
        const sys::DWORD error = sys::GetLastError();
        Parse(QByteArray());
        if (error != sys::ERROR_FILE_NOT_FOUND)
            return false;
        sys::SetLastError(sys::ERROR_SUCCESS);
        return true;
    }
    Parse(contents);
    return true;
}

void TDescriptFile::Parse(const QByteArray &contents)
{
    lines.clear();
    exact.clear();
    caseless.clear();
    qsizetype at = 0;
    while (at < contents.size()) {
        qsizetype end = contents.indexOf('\n', at);
        if (end < 0)
            end = contents.size();
        QByteArray raw = contents.mid(at, end - at);
        at = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        // An empty line describes nothing and is not kept.
        if (raw.isEmpty())
            continue;
        const qsizetype eq = raw.indexOf('=');
        Line line;
        line.name = eq > 0 ? sys::DecodeName(raw.left(eq)) : QString();
        line.raw = std::move(raw);
        lines.append(std::move(line));
        Index(int(lines.size()) - 1);
    }
}

void TDescriptFile::Index(int line)
{
    const QString &name = lines[line].name;
    if (name.isEmpty())
        return;
    QList<int> &same = exact[name];
    same.insert(std::lower_bound(same.begin(), same.end(), line), line);
    QList<int> &folded = caseless[sys::CaseKey(name)];
    if (!folded.contains(line))
        folded.insert(std::lower_bound(folded.begin(), folded.end(), line), line);
}

QByteArray TDescriptFile::Text() const
{
    QByteArray text;
    for (const Line &line : lines) {
        if (!line.gone)
            text += line.raw + "\r\n";
    }
    return text;
}

bool TDescriptFile::Write() const
{
    const QString path = Path();
    const sys::DWORD old = sys::GetFileAttributes(path);
    const bool exists = old != sys::INVALID_FILE_ATTRIBUTES;
    if (LineCount() == 0) {
        if (!exists)
            return true;
        sys::SetFileAttributes(path, sys::FILE_ATTRIBUTE_ARCHIVE);
        if (sys::DeleteFile(path))
            return true;
        const sys::DWORD error = sys::GetLastError();
        sys::SetFileAttributes(path, old);
        sys::SetLastError(error);
        return false;
    }
    // A read-only copy is replaced all the same, as a hidden one is.
    if (exists && (old & sys::FILE_ATTRIBUTE_READONLY))
        sys::SetFileAttributes(path, sys::FILE_ATTRIBUTE_ARCHIVE);
    if (!sys::WriteWholeFile(path, Text())) {
        const sys::DWORD error = sys::GetLastError();
        if (exists)
            sys::SetFileAttributes(path, old);
        sys::SetLastError(error);
        return false;
    }
    sys::SetFileAttributes(path, sys::FILE_ATTRIBUTE_ARCHIVE | sys::FILE_ATTRIBUTE_HIDDEN);
    sys::SetLastError(sys::ERROR_SUCCESS);
    return true;
}

bool TDescriptFile::InFolder(const QString &name) const
{
    if (!folderNames) {
        QSet<QString> names;
        sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
            names.insert(data.cFileName);
            return true;
        });
        folderNames = std::move(names);
    }
    return folderNames->contains(name);
}

QList<int> TDescriptFile::Owned(const QString &name) const
{
    QList<int> owned;
    const auto live = [&](int i) { return !lines[i].gone; };
    if (const auto it = exact.constFind(name); it != exact.constEnd())
        std::copy_if(it->begin(), it->end(), std::back_inserter(owned), live);
    if (!owned.isEmpty())
        return owned;
    const auto it = caseless.constFind(sys::CaseKey(name));
    if (it == caseless.constEnd())
        return owned;
    for (const int i : *it) {
        if (live(i) && lines[i].name != name && !InFolder(lines[i].name))
            owned.append(i);
    }
    return owned;
}

std::optional<QString> TDescriptFile::Get(const QString &name) const
{
    const QList<int> owned = Owned(name);
    if (owned.isEmpty())
        return std::nullopt;
    const QByteArray &raw = lines[owned.first()].raw;
    return sys::DecodeName(raw.mid(raw.indexOf('=') + 1));
}

QByteArray TDescriptFile::Form(const QString &name, const QString &description)
{
    return sys::EncodeName(name) + '=' + sys::EncodeName(description);
}

void TDescriptFile::Set(const QString &name, const QString &description)
{
    // A description is one line.
    QString text = description;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (text.isEmpty()) {
        Erase(name);
        return;
    }
    if (!CanDescribe(name))
        return;
    const QList<int> owned = Owned(name);
    if (owned.isEmpty()) {
        lines.append({Form(name, text), name, false});
        Index(int(lines.size()) - 1);
        return;
    }
    const int first = owned.first();
    Line &line = lines[first];
    line.raw = Form(name, text);
    if (line.name != name) {
        exact[line.name].removeOne(first);
        line.name = name;
        Index(first);
    }
}

void TDescriptFile::Erase(const QString &name)
{
    for (const int i : Owned(name))
        lines[i].gone = true;
}

void TDescriptFile::Rename(const QString &from, const QString &to)
{
    const QList<int> owned = Owned(from);
    if (owned.isEmpty() || !CanDescribe(to))
        return;
    // Stale lines of the new name would come first or resurface later.
    for (const int i : Owned(to)) {
        if (!owned.contains(i))
            lines[i].gone = true;
    }
    for (qsizetype i = 1; i < owned.size(); ++i)
        lines[owned[i]].gone = true;
    const int first = owned.first();
    Line &line = lines[first];
    line.raw = sys::EncodeName(to) + line.raw.mid(line.raw.indexOf('='));
    exact[line.name].removeOne(first);
    if (sys::CaseKey(line.name) != sys::CaseKey(to))
        caseless[sys::CaseKey(line.name)].removeOne(first);
    line.name = to;
    Index(first);
}

int TDescriptFile::LineCount() const
{
    return int(std::count_if(lines.begin(), lines.end(), [](const Line &l) { return !l.gone; }));
}

bool TDescriptFile::CanDescribe(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('=')) &&
           !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
}

} // namespace kestrel
