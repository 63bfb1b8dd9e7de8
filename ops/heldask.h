#pragma once
// THeldAsk: the dialog seam with a TOperationGuard around every question, so a
// change notification that arrives while a modal dialog runs its event loop
// never reloads the panel under the code that asked. Installed over the real
// dialogs at start-up.

#include "ops/ask.h"

namespace kestrel {

class THeldAsk : public TAsk {
public:
    explicit THeldAsk(TAsk &inner) : inner(inner) {}

    int MessageBox(QObject *owner, const QString &text, const QString &caption,
                   unsigned flags) override;
    int GetString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
                  bool selectAll, bool keepSelection, bool masked) override;
    TFileExistsAnswer FileExists(QObject *owner, const TFileExistsQuestion &q) override;
    int DeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption) override;
    bool SelectFolder(QObject *owner, const QString &caption, QString &folder) override;
    bool OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    bool SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    int SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                    const QString &excluded) override;
    bool SplitOptions(QObject *owner, TSplitForm &form) override;
    int AdvancedRename(QObject *owner, TAdvancedRenameForm &form) override;
    int RenameEntry(QObject *owner, TRenameForm &form) override;
    int CharCase(QObject *owner, bool upper, bool &recursive) override;
    int AttributesTime(QObject *owner, TAttribForm &form) override;
    bool ChooseColor(QObject *owner, unsigned &color) override;
    bool ChooseFont(QObject *owner, QString &family, int &size, bool &bold) override;
    int ArchiveOptions(QObject *owner, TArchiveForm &form) override;
    void ArchiveProperties(QObject *owner, const TArchivePropForm &form) override;

private:
    TAsk &inner;
};

} // namespace kestrel
