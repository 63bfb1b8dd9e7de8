#include "app/params.h"

#include "ops/ask.h"
#include "platform/drives.h"
#include "platform/fileapi.h"

namespace kestrel {

namespace {

// A name's base and extension split at the last dot; a name whose only dot
// leads it (".profile") has no extension.
void SplitName(const QString &name, QString &base, QString &extension)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        base = name;
        extension.clear();
    } else {
        base = name.left(dot);
        extension = name.mid(dot + 1);
    }
}

// Other programs get native paths. A path that cannot be converted (a
// folder gone meanwhile) stays in Windows form.
QString NativeText(const QString &path)
{
    const QString native = sys::GetShortPathName(path);
    return native.isEmpty() ? path : native;
}

// Entry names stay names (the program runs in the panel's folder); only a
// drive entry's name is a path ("C:\").
QString NativeName(const QString &name)
{
    return sys::ExtractFileDrive(name).isEmpty() ? name : NativeText(name);
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The placeholders of text replaced; "!..!" becomes selected.
QString Expand(const QString &text, const TPanelNames &names, const QString &selected,
               bool &askToEdit)
{
    QString folder = NativeText(names.folder);
    const QChar separator = folder.startsWith(QLatin1Char('/')) ? u'/' : u'\\';
    if (!folder.endsWith(separator))
        folder += separator;
    const QString drive = sys::ExtractFileDrive(names.folder);
    QString base, extension;
    SplitName(names.focused, base, extension);
    const std::pair<QString, QString> placeholders[] = {
        {QStringLiteral("!..!"), selected},
        {QStringLiteral("!:"), drive.isEmpty() ? drive : NativeText(drive + u'\\')},
        {QStringLiteral("!.!"), NativeName(names.focused)},
        {QStringLiteral("!\\"), folder},
        {QStringLiteral("!,"), base},
        {QStringLiteral(",!"), extension},
        {QStringLiteral("%p"), QString()},
    };

    // Replaced one placeholder after the other, but only in the typed text:
    // a file name such as "100%pure.txt" put in by one placeholder is never
    // read as another.
    struct Piece {
        QString text;
        bool typed;
    };
    QList<Piece> pieces{{text, true}};
    askToEdit = false;
    for (const auto &[key, value] : placeholders) {
        QList<Piece> next;
        for (const Piece &piece : pieces) {
            if (!piece.typed) {
                next.append(piece);
                continue;
            }
            const QStringList parts =
                piece.text.split(key, Qt::KeepEmptyParts, Qt::CaseInsensitive);
            for (qsizetype i = 0; i < parts.size(); ++i) {
                if (i > 0) {
                    next.append({value, false});
                    askToEdit = askToEdit || key == QLatin1String("%p");
                }
                next.append({parts[i], true});
            }
        }
        pieces = next;
    }
    QString s;
    for (const Piece &piece : pieces)
        s += piece.text;
    return s;
}

QStringList NativeNames(const QStringList &names)
{
    QStringList native;
    for (const QString &name : names)
        native.append(NativeName(name));
    return native;
}

} // namespace

QString ExpandParams(const QString &text, const TPanelNames &names, bool &askToEdit)
{
    QStringList quoted;
    for (const QString &name : NativeNames(names.selected))
        quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
    return Expand(text, names, quoted.join(QLatin1Char(' ')), askToEdit).trimmed();
}

QStringList ExpandArguments(const QString &text, const TPanelNames &names, bool &askToEdit)
{
    askToEdit = false;
    const QStringList selected = NativeNames(names.selected);
    QStringList args;
    for (const QString &arg : SplitArguments(text)) {
        if (arg.compare(QLatin1String("!..!"), Qt::CaseInsensitive) == 0) {
            args.append(selected);
            continue;
        }
        bool edit = false;
        const QString expanded = Expand(arg, names, selected.join(QLatin1Char(' ')), edit);
        askToEdit = askToEdit || edit;
        // "%P" alone only asks; it is no argument of the program.
        if (!expanded.isEmpty() || !edit)
            args.append(expanded);
    }
    return args;
}

QString JoinArguments(const QStringList &args)
{
    QStringList quoted;
    for (QString arg : args) {
        const bool plain = !arg.isEmpty() && !arg.contains(QLatin1Char('"')) &&
                           !arg.contains(QLatin1Char(' ')) && !arg.contains(QLatin1Char('\t'));
        if (plain) {
            quoted.append(arg);
            continue;
        }
        arg.replace(QLatin1String("\""), QLatin1String("\"\""));
        quoted.append(QLatin1Char('"') + arg + QLatin1Char('"'));
    }
    return quoted.join(QLatin1Char(' '));
}

bool ExpandArgumentList(QObject *owner, const QString &text, const TPanelNames &names,
                        QStringList &args)
{
    bool askToEdit = false;
    args = ExpandArguments(text, names, askToEdit);
    if (!askToEdit)
        return true;
    QString edited = JoinArguments(args);
    if (Ask().GetString(owner, QStringLiteral("Edit Param..."), QStringLiteral("\n\nParameters"),
                        edited, false, false) != mrOk)
        return false;
    args = SplitArguments(edited);
    return true;
}

bool ExpandParameters(QObject *owner, const QString &text, const TPanelNames &names,
                      QString &expanded)
{
    bool askToEdit = false;
    expanded = ExpandParams(text, names, askToEdit);
    if (!askToEdit)
        return true;
    if (Ask().GetString(owner, QStringLiteral("Edit Param..."), QStringLiteral("\n\nParameters"),
                        expanded, false, false) != mrOk)
        return false;
    expanded = expanded.trimmed();
    return true;
}

void SplitCommand(const QString &text, QString &word, QString &rest)
{
    const QString s = text.trimmed();
    qsizetype end;
    if (s.startsWith(QLatin1Char('"'))) {
        const qsizetype close = s.indexOf(QLatin1Char('"'), 1);
        end = close < 0 ? s.size() : close + 1;
        word = s.mid(1, (close < 0 ? s.size() : close) - 1);
    } else {
        end = 0;
        while (end < s.size() && !IsBlank(s[end]))
            ++end;
        word = s.left(end);
    }
    rest = s.mid(end).trimmed();
}

QStringList SplitArguments(const QString &text)
{
    QStringList args;
    QString current;
    bool inQuotes = false;
    bool started = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"')) {
            if (inQuotes && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                current += c;
                ++i;
            } else {
                inQuotes = !inQuotes;
            }
            started = true;
        } else if (IsBlank(c) && !inQuotes) {
            if (started)
                args.append(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        args.append(current);
    return args;
}

QString Unquoted(const QString &text)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace kestrel
