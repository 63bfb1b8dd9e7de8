#include "app/inifile.h"

#include "platform/names.h"
#include "platform/statefile.h"

namespace kestrel {

namespace {

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList SplitLines(const QString &text)
{
    QStringList result;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        result.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        result.append(text.mid(start));
    return result;
}

bool HasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

} // namespace

TIniFile::TIniFile(const QString &fileName) : fileName(fileName)
{
    QByteArray contents;
    if (!fileName.isEmpty() && sys::ReadWholeFile(fileName, contents)) {
        if (contents.startsWith("\xEF\xBB\xBF"))
            contents.remove(0, 3);
        Parse(sys::DecodeName(contents));
    }
}

TIniFile::~TIniFile()
{
    UpdateFile();
}

void TIniFile::Parse(const QString &contents)
{
    for (const QString &text : SplitLines(contents)) {
        Line line;
        line.text = text;
        const QString t = text.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'))) {
            line.kind = Line::Section;
            line.name = t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
        } else if (!t.startsWith(QLatin1Char(';')) && t.indexOf(QLatin1Char('=')) > 0) {
            const qsizetype eq = t.indexOf(QLatin1Char('='));
            line.kind = Line::Key;
            line.name = t.left(eq).trimmed();
            line.value = t.mid(eq + 1).trimmed();
        }
        lines.push_back(line);
    }
}

int TIniFile::FindSection(const QString &section) const
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && SameName(lines[i].name, section))
            return int(i);
    return -1;
}

int TIniFile::SectionEnd(int header) const
{
    size_t i = size_t(header) + 1;
    while (i < lines.size() && lines[i].kind != Line::Section)
        ++i;
    return int(i);
}

int TIniFile::FindKey(const QString &section, const QString &key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return -1;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (lines[size_t(i)].kind == Line::Key && SameName(lines[size_t(i)].name, key))
            return i;
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const int i = FindKey(section, key);
    return i < 0 ? def : lines[size_t(i)].value;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok, 10);
    return ok ? value : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindKey(section, key) >= 0;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    const int header = FindSection(section);
    if (header < 0)
        return keys;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Line &line = lines[size_t(i)];
        if (line.kind == Line::Key && !keys.contains(line.name, Qt::CaseInsensitive))
            keys.append(line.name);
    }
    return keys;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString name = key.trimmed();
    const QString sectionName = section.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('=')) || HasLineBreak(name) ||
        name.startsWith(QLatin1Char('[')) || name.startsWith(QLatin1Char(';')) ||
        sectionName.isEmpty() || sectionName.contains(QLatin1Char(']')) ||
        HasLineBreak(sectionName))
        return false;
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    v = v.trimmed();

    Line line;
    line.kind = Line::Key;
    line.name = name;
    line.value = v;
    line.text = name + QLatin1Char('=') + v;

    const int existing = FindKey(sectionName, name);
    if (existing >= 0) {
        if (lines[size_t(existing)].value == v)
            return UpdateFile();
        line.name = lines[size_t(existing)].name;
        line.text = line.name + QLatin1Char('=') + v;
        lines[size_t(existing)] = line;
    } else {
        int header = FindSection(sectionName);
        if (header < 0) {
            Line head;
            head.kind = Line::Section;
            head.name = sectionName;
            head.text = QLatin1Char('[') + sectionName + QLatin1Char(']');
            lines.push_back(head);
            header = int(lines.size()) - 1;
        }
        // After the section's last key, so blank lines and comments that
        // precede the next section stay where they were.
        int at = header + 1;
        const int end = SectionEnd(header);
        for (int i = header + 1; i < end; ++i)
            if (lines[size_t(i)].kind == Line::Key)
                at = i + 1;
        lines.insert(lines.begin() + at, line);
    }
    dirty = true;
    return Save();
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const int i = FindKey(section, key);
    if (i < 0)
        return UpdateFile();
    lines.erase(lines.begin() + i);
    dirty = true;
    return Save();
}

bool TIniFile::UpdateFile()
{
    return !dirty || Save();
}

bool TIniFile::Save()
{
    QString text;
    for (const Line &line : lines) {
        text += line.text;
        text += QLatin1String("\r\n");
    }
    if (fileName.isEmpty() || !sys::WriteWholeFile(fileName, sys::EncodeName(text)))
        return false;
    dirty = false;
    return true;
}

} // namespace kestrel
