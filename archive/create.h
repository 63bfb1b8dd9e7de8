#pragma once
// Making an archive of files on disk: the name the archive gets, the Add
// dialog's checks, and one run of a handler's Add with the check that the
// result holds what was to be added.

#include "archive/archivetype.h"
#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

class QObject;

namespace kestrel {

struct TArchiveForm;

// ".zip", ".rar", ".arj" or ".ace"; "" for other types.
QString ArchiveExtension(TArchiveType type);
// The name with the type's extension added unless it already ends with it
// (compared without regard to case).
QString FinalArchiveName(const QString &name, TArchiveType type);
// The Add dialog's name for the focused item: its name without extension.
QString ProposedArchiveName(const QString &focusedName);
// "" or why the password cannot be used: longer than the dialog's 30
// characters, or, for ZIP, not plain ASCII (other programs would read those
// characters in their own code page and never match).
QString PasswordProblem(TArchiveType type, const QString &password);
// The Add dialog's Start: a password that cannot be used is said so; one
// that can is asked for again and must match. False keeps the dialog open.
bool AcceptArchiveForm(QObject *owner, TArchiveForm &form);

struct TCreateRequest {
    QString name; // as typed; relative to folder
    TArchiveType type = atZip;
    QString folder;    // the panel's folder; names are relative to it
    QStringList names; // without folder
    bool move = false;
    bool recurse = false;
    int compression = 1; // 0 best, 1 normal, 2 store
    sys::INT64 volumeSize = 0;
    QString password;
    QString programPath; // the archiver of RAR, ARJ and ACE
};

// One Add to Archive or Move to Archive: the archive's path and whether it
// was written and found to hold every name. Failures are reported once, here
// or by the handler; originals go only when the archive is proven whole.
class TArchiveCreation {
public:
    explicit TArchiveCreation(QObject *owner) : owner(owner) {}

    // The final path of the archive (also when it failed).
    QString Create(const TCreateRequest &request);
    bool Succeeded() const { return succeeded; }

private:
    bool Listed(const TCreateRequest &request, const QString &path) const;

    QObject *owner;
    bool succeeded = false;
};

} // namespace kestrel
