#include "panel/colorlist.h"

#include "platform/names.h"
#include "platform/statefile.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::array<const char *, BasicColorCount> BasicKeys = {
    "BACK", "LINE", "FOLDER", "DRIVE", "READONLY", "HIDDEN", "NORMAL", "DESCRIPT", "MB", "TITLE",
};

constexpr std::array<TColorRef, BasicColorCount> DefaultColors = {
    0,        // black
    16744576, // red 128, green 128, blue 255
    4210943,  // red 255, green 64, blue 64
    16744576, // red 128, green 128, blue 255
    65535,    // yellow
    255,      // red
    12632256, // silver
    16777215, // white
    255,      // red
    16777215, // white
};

const QString ExtSection = QStringLiteral("[Ext]");
const QString BasicSection = QStringLiteral("[Basic]");

std::optional<TColorRef> ParseColor(QStringView text)
{
    // Plain decimal digits only: Qt's conversion would stop early at a NUL.
    const QStringView digits = text.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

// Lines of a state file: CR LF ends (a bare LF is accepted too), bytes decoded
// losslessly so that any file survives a read and a write unchanged.
QStringList SplitLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        if (end > start && bytes[end - 1] == '\r')
            --end;
        lines.append(sys::DecodeName(bytes.mid(start, end - start)));
        start = next;
    }
    return lines;
}

// A line's name part, before the first "="; empty when there is none.
QStringView NamePart(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QStringView() : QStringView(line).left(eq);
}

QStringView ValuePart(const QString &line)
{
    return QStringView(line).mid(line.indexOf(QLatin1Char('=')) + 1);
}

} // namespace

TColorList::TColorList() : FColors(DefaultColors) {}

void TColorList::LoadFromFile(const QString &path)
{
    FColors = DefaultColors;
    QByteArray bytes;
    if (!sys::ReadWholeFile(path, bytes))
        return;
    const QStringList lines = SplitLines(bytes);
    bytes.clear();

    std::array<bool, BasicColorCount> found{};
    for (const QString &line : lines) {
        const QStringView name = NamePart(line);
        if (name.isEmpty())
            continue;
        for (int i = 0; i < BasicColorCount; ++i) {
            if (found[i] || name.compare(QLatin1String(BasicKeys[i]), Qt::CaseInsensitive) != 0)
                continue;
            found[i] = true;
            FColors[i] = ParseColor(ValuePart(line)).value_or(DefaultColors[i]);
        }
    }

    // Without an [Ext] line every line stays in the extension table.
    const qsizetype ext = lines.indexOf(ExtSection);
    FExtColors.clear();
    for (qsizetype i = ext < 0 ? 0 : ext + 1; i < lines.size(); ++i) {
        const QStringView name = NamePart(lines[i]);
        if (name.isEmpty())
            continue;
        const QString key = sys::CaseKey(name.toString());
        if (!FExtColors.contains(key))
            FExtColors.insert(key, ParseColor(ValuePart(lines[i])));
    }
}

TColorRef TColorList::GetColor(int index) const
{
    return index >= 0 && index < BasicColorCount ? FColors[index] : 0;
}

TColorRef TColorList::GetExtColor(const QString &ext) const
{
    const auto it = FExtColors.constFind(sys::CaseKey(ext));
    if (it == FExtColors.cend() || !it.value())
        return FColors[ciNormal];
    return *it.value();
}

bool TColorList::ReadColorSet(const QString &path, TColorSet &set)
{
    set = TColorSet();
    QByteArray bytes;
    if (!sys::ReadWholeFile(path, bytes))
        return false;
    const QStringList lines = SplitLines(bytes);
    qsizetype ext = lines.indexOf(ExtSection);
    if (ext < 0)
        ext = lines.size();

    // The section header and the empty separator line are written again by
    // WriteColorSet; keeping them would make them pile up with each save.
    for (qsizetype i = 0; i < ext; ++i) {
        if (!lines[i].isEmpty() && lines[i] != BasicSection)
            set.Basic.append(lines[i]);
    }

    // Extensions grouped by colour, groups in the order of their first line;
    // lines without a name or a numeric colour cannot be shown in a group.
    QHash<TColorRef, qsizetype> groups;
    for (qsizetype i = ext + 1; i < lines.size(); ++i) {
        const QStringView name = NamePart(lines[i]);
        const std::optional<TColorRef> color = ParseColor(ValuePart(lines[i]));
        if (name.isEmpty() || !color)
            continue;
        const auto group = groups.constFind(*color);
        if (group == groups.cend()) {
            groups.insert(*color, set.Ext.size());
            set.Ext.append(QString::number(*color) + QLatin1Char('=') + name.toString());
        } else {
            set.Ext[group.value()] += QLatin1Char(';') + name.toString();
        }
    }
    return true;
}

bool TColorList::WriteColorSet(const QString &path, const TColorSet &set)
{
    QStringList extLines;
    for (const QString &group : set.Ext) {
        const QString color = NamePart(group).toString();
        if (color.isEmpty())
            continue;
        for (const QStringView ext : ValuePart(group).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            extLines.append(ext.toString() + QLatin1Char('=') + color);
    }
    std::stable_sort(extLines.begin(), extLines.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });

    QByteArray bytes;
    const auto add = [&bytes](const QString &line) {
        bytes += sys::EncodeName(line);
        bytes += "\r\n";
    };
    add(BasicSection);
    for (const QString &line : set.Basic)
        add(line);
    add(QString());
    add(ExtSection);
    for (const QString &line : extLines)
        add(line);
    return sys::WriteWholeFile(path, bytes);
}

} // namespace kestrel
