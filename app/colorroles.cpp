#include "app/colorroles.h"

#include <algorithm>

namespace kestrel {

namespace {

const TColorRole roles[ColorRoleCount] = {
    {"BACK", "Background", 0},        {"LINE", "Column Line", 16744576},
    {"NORMAL", "Normal", 12632256},   {"FOLDER", "Folder", 4210943},
    {"DRIVE", "Drive", 16744576},     {"READONLY", "Readonly(Size)", 65535},
    {"HIDDEN", "Hidden(Size)", 255},  {"DESCRIPT", "Description", 16777215},
    {"MB", "MB(Size Mark)", 255},     {"TITLE", "Folder Name Title", 16777215},
    {"TBACK", "Backgound", 16777215}, {"TNORMAL", "Normal", 0},
    {"TOPEN", "Open Folder", 255},    {"TFOCUS", "Selected Folder", 0},
    {"TLINE", "Line", 12632256},      {"THINT", "Hint Text", 8421504},
};

bool ParseNumber(QStringView text, TColorRef &value)
{
    const QStringView digits = text.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return false;
    bool ok = false;
    value = digits.toUInt(&ok, 10);
    return ok;
}

int RoleLine(const QStringList &basic, int role)
{
    const QLatin1String key(ColorRole(role).key);
    for (int i = 0; i < basic.size(); ++i) {
        const qsizetype eq = basic[i].indexOf(QLatin1Char('='));
        if (eq > 0 &&
            QStringView(basic[i]).left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

const TColorRole &ColorRole(int role)
{
    return roles[std::clamp(role, 0, ColorRoleCount - 1)];
}

TColorRef RoleColor(const QStringList &basic, int role)
{
    const int line = RoleLine(basic, role);
    TColorRef color = 0;
    if (line >= 0 &&
        ParseNumber(QStringView(basic[line]).mid(basic[line].indexOf(u'=') + 1), color))
        return color;
    return ColorRole(role).initial;
}

void SetRoleColor(QStringList &basic, int role, TColorRef color)
{
    const QString text =
        QString::fromLatin1(ColorRole(role).key) + QLatin1Char('=') + QString::number(color);
    const int line = RoleLine(basic, role);
    if (line >= 0)
        basic[line] = text;
    else
        basic.append(text);
}

bool ExtLineColor(const QString &line, TColorRef &color)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq > 0 && ParseNumber(QStringView(line).left(eq), color);
}

QString ExtLineExtensions(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString MakeExtLine(TColorRef color, const QString &extensions)
{
    return QString::number(color) + QLatin1Char('=') + extensions;
}

int FindExtColor(const QStringList &ext, TColorRef color, int except)
{
    for (int i = 0; i < ext.size(); ++i) {
        TColorRef c = 0;
        if (i != except && ExtLineColor(ext[i], c) && c == color)
            return i;
    }
    return -1;
}

bool ValidExtensions(const QString &text)
{
    if (text.contains(QLatin1Char('=')))
        return false;
    const QStringList names = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return std::any_of(names.begin(), names.end(),
                       [](const QString &name) { return !name.trimmed().isEmpty(); });
}

} // namespace kestrel
