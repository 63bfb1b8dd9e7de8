// Settings file: a file is parsed, edited and read back; what a fresh reader
// finds equals what the edited one holds, each write is seen as written and
// leaves every other key alone. Input: file 0x1F (section 0x1F key 0x1F
// value)*, a value of the single byte 0x7F deleting the key.

#include "app/inifile.h"
#include "fuzz/support.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include <algorithm>

namespace {

using namespace kestrel;

const QString iniPath = QStringLiteral("C:\\fuzz.ini");

struct Edit {
    QString section;
    QString key;
    QString value;
    bool remove = false;
};

// Section and key names the text may hold, found roughly: only used as
// questions to the reader.
void CollectNames(const QString &text, QStringList &sections, QStringList &keys)
{
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : flat.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString t = line.trimmed();
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (t.startsWith(QLatin1Char('[')) && close > 0)
            sections.append(t.mid(1, close - 1).trimmed());
        else if (eq > 0)
            keys.append(t.left(eq).trimmed());
        if (sections.size() >= 16 || keys.size() >= 16)
            break;
    }
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// What a reader answers for every pair of names, one entry per question.
QStringList Answers(const TIniFile &ini, const QStringList &sections, const QStringList &keys)
{
    QStringList answers;
    for (const QString &s : sections) {
        answers.append(ini.ReadSection(s).join(QLatin1Char('\n')));
        for (const QString &k : keys)
            answers.append(ini.ReadString(s, k, QStringLiteral("<none>")));
    }
    return answers;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 1);
    if (!sys::WriteWholeFile(iniPath, fields[0]))
        fuzz::Check(false, "cannot write the input file");

    QList<Edit> edits;
    for (qsizetype i = 1; i + 2 < fields.size() && edits.size() < 4; i += 3) {
        edits.append({sys::DecodeName(fields[i]).trimmed(),
                      sys::DecodeName(fields[i + 1]).trimmed(), sys::DecodeName(fields[i + 2]),
                      fields[i + 2] == "\x7F"});
    }

    QStringList sections, keys;
    CollectNames(sys::DecodeName(fields[0]), sections, keys);
    for (const Edit &e : edits) {
        sections.append(e.section);
        keys.append(e.key);
    }

    TIniFile ini(iniPath);
    const QStringList before = Answers(ini, sections, keys);
    for (const Edit &e : edits) {
        if (e.remove) {
            ini.DeleteKey(e.section, e.key);
            continue;
        }
        if (!ini.WriteString(e.section, e.key, e.value))
            continue;
        // Each line break, CR LF counting as one, turns into a blank.
        QString expected = e.value;
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        expected.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        expected.replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QString got = ini.ReadString(e.section, e.key, QString());
        fuzz::Check(got == expected.trimmed(), "a written value reads back different",
                    QStringLiteral("section %1 key %2 value %3 read %4")
                        .arg(fuzz::Shown(e.section), fuzz::Shown(e.key), fuzz::Shown(e.value),
                             fuzz::Shown(got)));
    }

    // Keys no edit named keep their values; sections no edit named keep their keys.
    const QStringList after = Answers(ini, sections, keys);
    qsizetype at = 0;
    for (const QString &s : sections) {
        const bool sectionEdited = std::any_of(
            edits.begin(), edits.end(), [&](const Edit &e) { return SameName(e.section, s); });
        fuzz::Check(sectionEdited || after[at] == before[at], "an edit changed another section",
                    fuzz::Shown(s) + QStringLiteral(": ") + fuzz::Shown(before[at]) +
                        QStringLiteral(" -> ") + fuzz::Shown(after[at]));
        ++at;
        for (const QString &k : keys) {
            const bool edited = std::any_of(edits.begin(), edits.end(), [&](const Edit &e) {
                return SameName(e.section, s) && SameName(e.key, k);
            });
            fuzz::Check(edited || after[at] == before[at], "an edit changed another key",
                        fuzz::Shown(s) + QLatin1Char(' ') + fuzz::Shown(k) + QStringLiteral(": ") +
                            fuzz::Shown(before[at]) + QStringLiteral(" -> ") +
                            fuzz::Shown(after[at]));
            ++at;
        }
    }

    const TIniFile again(iniPath);
    const QStringList reread = Answers(again, sections, keys);
    for (qsizetype i = 0; i < after.size(); ++i)
        fuzz::Check(reread[i] == after[i], "the file reads back different from what was written",
                    fuzz::Shown(after[i]) + QStringLiteral(" -> ") + fuzz::Shown(reread[i]));
    return 0;
}
