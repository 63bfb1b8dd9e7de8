#include "app/settings.h"

#include "platform/fileapi.h"
#include "platform/shell.h"

namespace kestrel {

namespace {

// Items separated by commas; an item in double quotes may hold commas and
// blanks, and "" inside it stands for one quote.
QStringList SplitCommaText(const QString &text)
{
    QStringList items;
    QString item;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                item += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == QLatin1Char(',') && !quoted) {
            items.append(item.trimmed());
            item.clear();
        } else {
            item += c;
        }
    }
    items.append(item.trimmed());
    return items;
}

QString Text(const char *s)
{
    return QString::fromLatin1(s);
}

} // namespace

QString ProgramFile(const QString &name)
{
    // No program folder (no drive covers it): no file, rather than a name
    // relative to whatever folder the panel shows.
    const QString dir = sys::ProgramDir();
    return dir.isEmpty() ? QString() : dir + name;
}

QString UserOrSharedFile(const QString &name)
{
    const QString shared = sys::SharedDir();
    for (const QString &path : {ProgramFile(name), shared.isEmpty() ? QString() : shared + name})
        if (!path.isEmpty() && sys::GetFileAttributes(path) != sys::INVALID_FILE_ATTRIBUTES)
            return path;
    return QString();
}

TWindowPlacement ParsePlacement(const QString &text, const TWindowPlacement &def)
{
    const QStringList items = text.split(QLatin1Char(','));
    if (items.size() != 5)
        return def;
    int v[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        v[i] = items.at(i).trimmed().toInt(&ok, 10);
        if (!ok)
            return def;
    }
    if (v[3] <= 0 || v[4] <= 0)
        return def;
    return {v[0] == 1, v[1], v[2], v[3], v[4]};
}

QString FormatPlacement(const TWindowPlacement &p)
{
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(p.maximized ? 1 : 0)
        .arg(p.left)
        .arg(p.top)
        .arg(p.width)
        .arg(p.height);
}

TFontSpec DefaultFont()
{
    return {QStringLiteral("MS Sans Serif"), 9, false};
}

TFontSpec ParseFont(const QString &text)
{
    TFontSpec font = DefaultFont();
    const QStringList items = SplitCommaText(text);
    if (!items.at(0).isEmpty())
        font.name = items.at(0);
    bool ok = false;
    const int size = items.value(1).toInt(&ok, 10);
    if (ok && size > 0)
        font.size = size;
    font.bold = items.value(2).toInt(&ok, 10) != 0 && ok;
    return font;
}

QString FormatFont(const TFontSpec &f)
{
    QString name = f.name;
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    // One substitution: a chained arg() would expand a "%1" inside the name.
    return QStringLiteral("\"%1\",%2,%3")
        .arg(name, QString::number(f.size), QString::number(f.bold ? 1 : 0));
}

bool ReadSetting(const TIniFile &ini, const TBoolKey &k)
{
    return ini.ReadBool(Text(k.section), Text(k.key), k.def);
}

int ReadSetting(const TIniFile &ini, const TIntKey &k)
{
    return ini.ReadInteger(Text(k.section), Text(k.key), k.def);
}

QString ReadSetting(const TIniFile &ini, const TStringKey &k)
{
    return ini.ReadString(Text(k.section), Text(k.key), Text(k.def));
}

TWindowPlacement ReadSetting(const TIniFile &ini, const TPlacementKey &k)
{
    return ParsePlacement(ini.ReadString(Text(k.section), Text(k.key), QString()), k.def);
}

TFontSpec ReadSetting(const TIniFile &ini, const TFontKey &k)
{
    return ParseFont(ini.ReadString(Text(k.section), Text(k.key), QString()));
}

bool WriteSetting(TIniFile &ini, const TBoolKey &k, bool value)
{
    return ini.WriteBool(Text(k.section), Text(k.key), value);
}

bool WriteSetting(TIniFile &ini, const TIntKey &k, int value)
{
    return ini.WriteInteger(Text(k.section), Text(k.key), value);
}

bool WriteSetting(TIniFile &ini, const TStringKey &k, const QString &value)
{
    return ini.WriteString(Text(k.section), Text(k.key), value);
}

bool WriteSetting(TIniFile &ini, const TPlacementKey &k, const TWindowPlacement &value)
{
    return ini.WriteString(Text(k.section), Text(k.key), FormatPlacement(value));
}

bool WriteSetting(TIniFile &ini, const TFontKey &k, const TFontSpec &value)
{
    return ini.WriteString(Text(k.section), Text(k.key), FormatFont(value));
}

} // namespace kestrel
