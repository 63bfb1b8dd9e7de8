// Parameter texts of the command line and the function keys. Arguments split
// from a text, quoted and joined, split into the same arguments; a command
// word and its rest, put together again, split the same; placeholders expand
// as a plain recursive reference does, never inside what another placeholder
// put in. Input: text 0x1F folder 0x1F focused name 0x1F selected names
// separated by '/'.

#include "app/params.h"
#include "fuzz/support.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"

#include <utility>

namespace {

using namespace kestrel;

QString Quoted(QString argument)
{
    argument.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + argument + QLatin1Char('"');
}

void CheckArguments(const QString &text)
{
    const QStringList arguments = SplitArguments(text);
    QStringList quoted;
    for (const QString &a : arguments)
        quoted.append(Quoted(a));
    const QString joined = quoted.join(QLatin1Char(' '));
    const QStringList again = SplitArguments(joined);
    fuzz::Check(again == arguments, "quoted arguments split different",
                fuzz::Shown(text) + QStringLiteral(" -> ") + fuzz::Shown(arguments) +
                    QStringLiteral(" -> ") + fuzz::Shown(joined) + QStringLiteral(" -> ") +
                    fuzz::Shown(again));
}

void CheckCommand(const QString &text)
{
    QString word, rest;
    SplitCommand(text, word, rest);
    // A word with a blank, or with white space at an end, came from quotes
    // and so holds no quote.
    const bool quote = !word.contains(QLatin1Char('"')) &&
                       (word.isEmpty() || word.contains(QLatin1Char(' ')) ||
                        word.contains(QLatin1Char('\t')) || word.trimmed() != word);
    const QString joined =
        (quote ? QLatin1Char('"') + word + QLatin1Char('"') : word) + QLatin1Char(' ') + rest;
    QString wordAgain, restAgain;
    SplitCommand(joined, wordAgain, restAgain);
    fuzz::Check(wordAgain == word && restAgain == rest, "a command put together splits different",
                fuzz::Shown(text) + QStringLiteral(" -> ") + fuzz::Shown(word) + QLatin1Char(' ') +
                    fuzz::Shown(rest) + QStringLiteral(" -> ") + fuzz::Shown(wordAgain) +
                    QLatin1Char(' ') + fuzz::Shown(restAgain));
}

using Placeholders = QList<std::pair<QString, QString>>;

// Cuts the text at the first placeholder, expands the pieces with the
// remaining ones and joins them with the value.
QString Expand(const QString &text, const Placeholders &placeholders, qsizetype from, bool &edit)
{
    if (from == placeholders.size())
        return text;
    const auto &[key, value] = placeholders[from];
    QStringList pieces;
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = text.indexOf(key, start, Qt::CaseInsensitive);
        pieces.append(
            Expand(text.mid(start, at < 0 ? -1 : at - start), placeholders, from + 1, edit));
        if (at < 0)
            break;
        edit = edit || key == QLatin1String("%p");
        start = at + key.size();
    }
    return pieces.join(value);
}

// Paths go to other programs in native form when they can be converted.
QString NativeText(const QString &path)
{
    const QString native = sys::GetShortPathName(path);
    return native.isEmpty() ? path : native;
}

QString NativeName(const QString &name)
{
    return sys::ExtractFileDrive(name).isEmpty() ? name : NativeText(name);
}

void CheckExpansion(const QString &text, const TPanelNames &names)
{
    QString folder = NativeText(names.folder);
    const QChar separator = folder.startsWith(QLatin1Char('/')) ? u'/' : u'\\';
    if (!folder.endsWith(separator))
        folder += separator;
    const QString drive = sys::ExtractFileDrive(names.folder);
    const qsizetype dot = names.focused.lastIndexOf(QLatin1Char('.'));
    QStringList quoted;
    for (const QString &name : names.selected)
        quoted.append(QLatin1Char('"') + NativeName(name) + QLatin1Char('"'));
    const Placeholders placeholders = {
        {QStringLiteral("!..!"), quoted.join(QLatin1Char(' '))},
        {QStringLiteral("!:"), drive.isEmpty() ? drive : NativeText(drive + u'\\')},
        {QStringLiteral("!.!"), NativeName(names.focused)},
        {QStringLiteral("!\\"), folder},
        {QStringLiteral("!,"), dot > 0 ? names.focused.left(dot) : names.focused},
        {QStringLiteral(",!"), dot > 0 ? names.focused.mid(dot + 1) : QString()},
        {QStringLiteral("%p"), QString()},
    };
    bool editExpected = false;
    const QString expected = Expand(text, placeholders, 0, editExpected).trimmed();
    bool edit = false;
    const QString got = ExpandParams(text, names, edit);
    fuzz::Check(got == expected && edit == editExpected,
                "parameters expand different from the reference",
                fuzz::Shown(text) + QStringLiteral(" -> ") + fuzz::Shown(got) +
                    QStringLiteral(" expected ") + fuzz::Shown(expected));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 4);
    const QString text = sys::DecodeName(fields[0]);
    CheckArguments(text);
    CheckCommand(text);
    TPanelNames names;
    names.folder = sys::DecodeName(fields[1]);
    names.focused = sys::DecodeName(fields[2]);
    for (const QByteArray &name : fields[3].split('/'))
        if (!name.isEmpty())
            names.selected.append(sys::DecodeName(name));
    CheckExpansion(text, names);
    return 0;
}
