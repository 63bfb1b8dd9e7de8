#pragma once
// The real dialogs behind the dialog seam.

#include "ops/ask.h"

#include <functional>

class QDialog;
class QWidget;

namespace kestrel {

// For the program's own dialogs: the window a dialog for owner is made a
// child of, and the modal run every question gets (centred over the asking
// window, the keys handed back to it afterwards). Returns the modal result.
QWidget *DialogParent(QObject *owner);
int ExecDialog(QDialog &dialog, QObject *owner);

// The folder picker QtAsk shows: the program installs its folder tree
// window. Folder in (start) and out; true on OK. Without one nothing is
// chosen. Returns the previous picker.
using TFolderPicker = std::function<bool(QObject *owner, const QString &caption, QString &folder)>;
TFolderPicker SetFolderPicker(TFolderPicker picker);

class QtAsk : public TAsk {
public:
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
    bool ChooseColor(QObject *owner, unsigned &color) override;
    bool ChooseFont(QObject *owner, QString &family, int &size, bool &bold) override;
    // The file tools' dialogs live with the tools: tools/tooldialogs.cpp.
    bool SplitOptions(QObject *owner, TSplitForm &form) override;
    int AdvancedRename(QObject *owner, TAdvancedRenameForm &form) override;
    int RenameEntry(QObject *owner, TRenameForm &form) override;
    int CharCase(QObject *owner, bool upper, bool &recursive) override;
    int AttributesTime(QObject *owner, TAttribForm &form) override;
    // The archive dialogs live with the main window: app/archivedialogs.cpp.
    int ArchiveOptions(QObject *owner, TArchiveForm &form) override;
    void ArchiveProperties(QObject *owner, const TArchivePropForm &form) override;
};

} // namespace kestrel
