#pragma once
// Parameter text of the command line, the function keys and Open with
// parameters: the placeholders that name the panel's entries, and the
// splitting of typed text into a program and its arguments.

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrel {

// What the placeholders refer to.
struct TPanelNames {
    QString folder;       // the panel's folder
    QStringList selected; // the selected entries' names, or the focused one's
    QString focused;      // the focused entry's name with its extension
};

// Replaces, in this order, "!..!" (the selected names, each in double quotes,
// one blank between), "!:" (the folder's drive), "!.!" (the focused name),
// "!\" (the folder with a trailing separator), "!," (the focused name without
// its extension) and ",!" (its extension); removes "%p"/"%P", setting
// askToEdit. The result is trimmed. Paths are native, as the programs that
// get them need: the drive is its native folder, the folder "/x/Data/".
QString ExpandParams(const QString &text, const TPanelNames &names, bool &askToEdit);

// ExpandParams, then, when the text asked for it, the expanded text offered
// for editing ("Edit Param..."). False when that question was cancelled.
bool ExpandParameters(QObject *owner, const QString &text, const TPanelNames &names,
                      QString &expanded);

// The arguments of a program started by a function key: the text is split
// into arguments first (SplitArguments), then the placeholders are replaced
// inside each one, so a name with blanks, quotes, ";" or "$" stays one
// argument and is never read as more. "!..!" alone gives one argument per
// selected name; inside a longer argument the names joined by blanks. An
// argument that is only "%p"/"%P" sets askToEdit and is dropped.
QStringList ExpandArguments(const QString &text, const TPanelNames &names, bool &askToEdit);

// Arguments as parameter text that SplitArguments splits back into them.
QString JoinArguments(const QStringList &args);

// ExpandArguments, then, when the text asked for it, the arguments offered
// for editing as parameter text. False when that question was cancelled.
bool ExpandArgumentList(QObject *owner, const QString &text, const TPanelNames &names,
                        QStringList &args);

// Splits typed text into its first word and the rest. A word that begins with
// a double quote runs to the next one (quotes dropped) or, unbalanced, to the
// end; otherwise it ends at the first blank. The rest is trimmed.
void SplitCommand(const QString &text, QString &word, QString &rest);

// Splits a parameter text into arguments for a program: blanks separate,
// double quotes group (a pair "" inside quotes is one quote) and an
// unbalanced quote runs to the end.
QStringList SplitArguments(const QString &text);

// Drops one pair of double quotes around text ("\"My Folder\"" -> "My Folder").
QString Unquoted(const QString &text);

} // namespace kestrel
