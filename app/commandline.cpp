#include "app/commandline.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "text/strings.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

namespace kestrel {

namespace {

const QString errorCaption = QStringLiteral("Error");

bool IsWord(const QString &word, const char *builtIn)
{
    return word.compare(QLatin1String(builtIn), Qt::CaseInsensitive) == 0;
}

bool IsDriveSwitch(const QString &word)
{
    return word.size() == 2 && word[0].isLetter() && word[0].unicode() < 128 &&
           word[1] == QLatin1Char(':');
}

} // namespace

void TCommandLine::Run(const QString &text, bool typed)
{
    QString word, args;
    SplitCommand(text, word, args);
    QString expanded;
    if (!word.isEmpty() && ExpandParameters(owner, args, target.PanelNames(), expanded))
        Execute(word, expanded);
    if (typed && !text.trimmed().isEmpty())
        AddToHistory(text);
}

void TCommandLine::Execute(const QString &word, const QString &args)
{
    if (IsDriveSwitch(word) && args.isEmpty())
        return OpenFolder(word.toUpper() + QLatin1Char('\\'));
    if (IsWord(word, "cd.."))
        return OpenFolder(QStringLiteral(".."));
    if (IsWord(word, "cd\\"))
        return OpenFolder(QStringLiteral("\\"));
    if (IsWord(word, "cd"))
        return OpenFolder(Unquoted(args));
    if (IsWord(word, "md") || IsWord(word, "mkdir"))
        return MakeFolder(args);
    if (IsWord(word, "format"))
        return Format(args);
    if (IsWord(word, "copy"))
        return target.RunProgram(QStringLiteral("command"), QStringLiteral("/k copy ") + args);
    if (IsWord(word, "exit"))
        return target.Exit();
    target.RunProgram(word, args);
}

void TCommandLine::OpenFolder(const QString &typed)
{
    if (typed.isEmpty())
        return;
    // A folder that cannot be entered is said so, rather than nothing happening.
    const QString path = sys::FromTypedPath(typed);
    if (path.isEmpty() || !target.SetFolder(path))
        ShowError(sys::ERROR_PATH_NOT_FOUND, path.isEmpty() ? typed : path, LoadStr(512), true);
}

void TCommandLine::Format(const QString &args)
{
    // Without a drive the panel's drive is meant; "/q" alone is the option,
    // not a folder. The tool asks before it formats.
    const QString first = SplitArguments(args).value(0);
    const bool option = first.compare(QLatin1String("/q"), Qt::CaseInsensitive) == 0;
    const QString drive = args.isEmpty() ? target.PanelNames().folder
                          : option       ? QString()
                                         : sys::FromTypedPath(first);
    if (!drive.isEmpty() && drive[0].isLetter())
        target.FormatDrive(drive[0].toUpper(),
                           args.contains(QLatin1String("/q"), Qt::CaseInsensitive));
}

void TCommandLine::MakeFolder(const QString &args)
{
    const QString typed = Unquoted(args);
    if (typed.isEmpty()) {
        Ask().MessageBox(owner,
                         QStringLiteral("The syntax of the command is incorrect.\n\n"
                                        "ex) md(mkdir) name"),
                         errorCaption, MB_OK | MB_ICONERROR);
        return;
    }
    const QString name = sys::FromTypedPath(typed);
    if (name.isEmpty())
        ShowError(sys::ERROR_PATH_NOT_FOUND, typed, LoadStr(512), true);
    else if (!sys::CreateDirectory(name))
        ShowError(sys::GetLastError(), name, LoadStr(512), true);
}

void TCommandLine::OpenWithParameters(bool focusedIsFolder)
{
    if (focusedIsFolder)
        return target.OpenFocused();
    QString params;
    if (Ask().GetString(owner, QStringLiteral("Open with parameters"),
                        QStringLiteral("\n\nParameters"), params, false, false) != mrOk)
        return;
    const TPanelNames names = target.PanelNames();
    QString expanded;
    if (ExpandParameters(owner, params, names, expanded))
        target.RunProgram(names.focused, expanded);
}

void TCommandLine::SetHistory(const QStringList &entries)
{
    history = entries.mid(qMax<qsizetype>(0, entries.size() - maxHistory));
}

void TCommandLine::AddToHistory(const QString &text)
{
    if (history.size() >= maxHistory)
        history.removeFirst();
    history.append(text);
}

} // namespace kestrel
