#pragma once
// Install: an archive's files are extracted into a new private temporary
// folder, its setup program is started, and once the user says the setup is
// done the folder is deleted with everything in it.

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace kestrel {

// The program that runs a setup program found in folder, and its arguments:
// a script through "sh", an executable itself, a Windows program through
// the loader when one is installed. Empty program: nothing to start, with
// why in problem.
struct TSetupCommand {
    QString program;
    QStringList args;
    QString problem;
};

// Looks in the folder's top level for "setup.sh", "install.sh", an
// executable "install", then "setup.exe" and "install.exe". windowsLoader is
// the program that starts Windows programs ("" when there is none).
TSetupCommand FindSetupProgram(const QString &folder, const QString &windowsLoader);

class TInstall {
public:
    explicit TInstall(QObject *owner);

    // The archive's files into a new folder; focusedInside, a path inside
    // the archive, names the program to start instead of searching.
    void Run(const QString &archivePath, const QString &focusedInside = QString());

    // Starts the setup program; a test puts a recorder here.
    std::function<bool(const QString &program, const QStringList &args, const QString &folder)>
        Start;
    // The Windows program loader; "" when there is none.
    QString WindowsLoader;
    // The folder the last run extracted into (deleted by now).
    QString Folder() const { return folder; }

private:
    QObject *owner;
    QString folder;
};

} // namespace kestrel
