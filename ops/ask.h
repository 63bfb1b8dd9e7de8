#pragma once
// The dialog seam: every question the program asks goes through TAsk. The
// application installs the Qt dialogs (QtAsk); tests install a scripted TAsk
// that records each question and returns prepared answers.

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrel {

// Modal results, numbered as Windows numbers them.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// MessageBox flags: button set in the low nibble, icon in the next one.
enum TMessageFlags : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

// What the replace dialog shows; texts are ready to display.
struct TFileExistsQuestion {
    QString fileNameText; // "Destination folder already contains ..."
    QString originInfo;   // existing target: "%s ( %s, %s )" or empty
    QString newInfo;      // item being copied, or empty
    bool isFolder = false; // shows the folder explanation (string 597)
    bool canRename = true;
    QString targetPath;   // the existing target, proposed for Rename
};

struct TFileExistsAnswer {
    int modalResult = mrCancel; // mrYes overwrite, mrNo skip, mrRetry renamed, mrCancel
    bool all = false;
    QString newTarget;          // with mrRetry: the full new target path
};

class TAsk {
public:
    virtual ~TAsk() = default;

    // Application-level message box; returns the modal result of the button.
    virtual int MessageBox(QObject *owner, const QString &text, const QString &caption,
                           unsigned flags) = 0;
    // One-line input; text in and out; returns mrOk or mrCancel.
    virtual int GetString(QObject *owner, const QString &caption, const QString &prompt,
                          QString &text, bool selectAll, bool keepSelection,
                          bool masked = false) = 0;
    // The replace dialog.
    virtual TFileExistsAnswer FileExists(QObject *owner, const TFileExistsQuestion &q) = 0;
    // The delete warning; focused 0 first button, 1 Yes, else No. allCaption
    // recaptions the first button "All(&A)". Returns mrAll, mrYes, mrNo or mrCancel.
    virtual int DeleteWarning(QObject *owner, const QString &text, int focused,
                              bool allCaption) = 0;
    // Folder picker; folder in (start) and out; true on OK.
    virtual bool SelectFolder(QObject *owner, const QString &caption, QString &folder) = 0;
    // File pickers; path in and out; filter in Qt form; true on OK.
    virtual bool OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                              QString &path) = 0;
    virtual bool SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                              QString &path) = 0;
    // Drive chooser: text in (current folder) and out (letter, work-folder
    // digit or share); returns mrOk or mrCancel.
    virtual int SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                            const QString &excluded) = 0;
};

// The installed implementation. Never null once the program or a test runs.
TAsk &Ask();
// Installs an implementation (not owned); returns the previous one.
TAsk *SetAsk(TAsk *ask);

} // namespace kestrel
