#include "app/functionentry.h"

#include "app/params.h"

namespace kestrel {

namespace {

struct TKeywordText {
    const char *word;
    const char *caption;
};
const TKeywordText keywordTexts[FunctionKeywordCount] = {
    {"copy", "Copy"},
    {"move", "Move"},
    {"delete", "Delete"},
    {"rename", "Rename"},
    {"newfolder", "New Folder"},
    {"selectall", "Select All"},
    {"textview", "Text View"},
    {"attrib", "Attrib/Time"},
    {"addcopy", "Archive (Copy)"},
    {"extract", "Extract"},
    {"desktop", "Desktop"},
    {"mydoc", "My Documents"},
    {"findnext", "Find Next"},
    {"textedit", "TextEdit"},
    {"addmove", "Archive (Move)"},
    {"refresh", "Refresh"},
};

} // namespace

QString FunctionKeyword(int index)
{
    return index >= 0 && index < FunctionKeywordCount
               ? QString::fromLatin1(keywordTexts[index].word)
               : QString();
}

QString FunctionKeywordCaption(int index)
{
    return index >= 0 && index < FunctionKeywordCount
               ? QString::fromLatin1(keywordTexts[index].caption)
               : QString();
}

int FunctionKeywordIndex(const QString &word)
{
    for (int i = 0; i < FunctionKeywordCount; ++i)
        if (word.compare(QLatin1String(keywordTexts[i].word), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TFunctionEntry ParseFunctionEntry(const QString &text)
{
    TFunctionEntry entry;
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close > 0) {
            entry.name = rest.mid(1, close - 1).trimmed();
            rest = rest.mid(close + 1).trimmed();
        }
    }
    if (rest.startsWith(QLatin1Char('#'))) {
        entry.internal = true;
        entry.keyword = rest.mid(1).trimmed();
    } else {
        SplitCommand(rest, entry.program, entry.parameters);
        // Blanks inside the quotes are dropped as the editor drops them, so
        // what it writes back reads the same.
        entry.program = entry.program.trimmed();
        entry.parameters = entry.parameters.trimmed();
    }
    return entry;
}

QString FormatFunctionEntry(const TFunctionEntry &entry)
{
    QString body;
    if (entry.internal) {
        if (entry.keyword.isEmpty())
            return {};
        body = QLatin1Char('#') + entry.keyword;
    } else {
        const QString program = entry.program.trimmed();
        if (program.isEmpty())
            return {};
        body = QLatin1Char('"') + program + QLatin1Char('"');
        const QString parameters = entry.parameters.trimmed();
        if (!parameters.isEmpty())
            body += QLatin1Char(' ') + parameters;
    }
    const QString name = entry.name.trimmed();
    return name.isEmpty() ? body : QLatin1Char('[') + name + QLatin1Char(']') + body;
}

bool ValidDisplayName(const QString &name)
{
    return !name.contains(QLatin1Char(']'));
}

QString FunctionEntryLabel(const TFunctionEntry &entry)
{
    if (!entry.name.isEmpty())
        return entry.name;
    if (entry.internal)
        return entry.keyword;
    const QString &program = entry.program;
    const QString file = program.mid(
        qMax(program.lastIndexOf(QLatin1Char('\\')), program.lastIndexOf(QLatin1Char('/'))) + 1);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? file.left(dot) : file;
}

} // namespace kestrel
