#pragma once
// The command line of the main window: runs typed text (built-in words cd,
// md/mkdir, format, copy, exit, drive switches, else a program in the panel's
// folder) and keeps the history of typed commands. The built-in words take
// native paths ("cd /home/me") as well as Windows-form ones.

#include "app/params.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrel {

// What the command line needs of the main window.
class TCommandTarget {
public:
    virtual ~TCommandTarget() = default;

    virtual TPanelNames PanelNames() const = 0;
    // Opens a folder in the panel: a full path, a drive root, or a path
    // relative to the panel's folder ("..", "\", "Sub"). False when it
    // cannot be entered.
    virtual bool SetFolder(const QString &path) = 0;
    // The desktop's format tool for a drive letter.
    virtual void FormatDrive(QChar drive, bool quick) = 0;
    // Starts a program or opens a document with a parameter text, in the
    // panel's folder, not waiting; a failure is reported by the shell layer.
    virtual void RunProgram(const QString &program, const QString &parameters) = 0;
    // Opens the focused entry as Enter does (used for folders).
    virtual void OpenFocused() = 0;
    // Closes the main window.
    virtual void Exit() = 0;
};

class TCommandLine {
public:
    static constexpr int maxHistory = 10;

    TCommandLine(TCommandTarget &target, QObject *owner) : target(target), owner(owner) {}

    // Runs text; typed (not picked from the history list) text that is not
    // empty is added to the history.
    void Run(const QString &text, bool typed);

    // File > Open with parameters on the focused entry.
    void OpenWithParameters(bool focusedIsFolder);

    // Oldest first, at most maxHistory entries.
    const QStringList &History() const { return history; }
    void SetHistory(const QStringList &entries);

private:
    void Execute(const QString &word, const QString &args);
    void OpenFolder(const QString &typed);
    void MakeFolder(const QString &args);
    void Format(const QString &args);
    void AddToHistory(const QString &text);

    TCommandTarget &target;
    QObject *owner;
    QStringList history;
};

} // namespace kestrel
