#pragma once
// Trees for the tests written as indented outlines: each leading blank is one
// level, "-" after the blanks marks a collapsed folder. {"C:", " A", "  B"}
// is the root C: with A below it and B below A.

#include <QString>
#include <QStringList>

#include <initializer_list>

namespace kestrel::test {

inline QStringList Outline(std::initializer_list<const char *> rows)
{
    QStringList lines;
    for (const char *row : rows) {
        QString text = QString::fromUtf8(row);
        int level = 0;
        while (level < text.size() && text[level] == QLatin1Char(' '))
            ++level;
        text.remove(0, level);
        const bool collapsed = text.startsWith(QLatin1Char('-'));
        if (collapsed)
            text.remove(0, 1);
        lines.append(QString::number(collapsed ? 0 : 1) +
                     QString::number(level).rightJustified(2, QLatin1Char(' ')) + text);
    }
    return lines;
}

} // namespace kestrel::test
