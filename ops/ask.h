#pragma once
// The dialog seam: every question the program asks goes through TAsk. The
// application installs the Qt dialogs (QtAsk); tests install a scripted TAsk
// that records each question and returns prepared answers.

#include "platform/wintypes.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

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

// The file tools' dialogs: each form holds the fields the dialog shows and
// the user edits, filled in before and read back after.

// Split File: the file's line, then the destination folder and the size text
// (proposed, then as chosen or typed).
struct TSplitForm {
    QString fileText; // "movie.avi (3,000,000 bytes)"
    QString folder;
    QString sizeText;
};

// Advanced Rename: new names for sources[start..] by one rule, into results.
struct TAdvancedRenameForm {
    QStringList sources;
    QStringList results;
    int start = 0;
    // True for a new name that a file outside the run already has; the
    // preview marks such names. Empty: no such check.
    std::function<bool(const QString &name)> takenOutside;
};

// Rename, one entry of a run: the edit holds the name in and the typed text
// out. With the Advanced button the advanced form fills advanced.results for
// every entry from this one on.
struct TRenameForm {
    int index = 0; // the entry shown, of advanced.sources
    QString text;
    bool changeExtension = true; // "Change Extension": the text is the whole name
    TAdvancedRenameForm advanced;
};

// Attributes/Time for one entry: its line, the four attribute boxes, and the
// time mode with its date ("YYYY-MM-DD") and time ("HH:MM") texts.
struct TAttribForm {
    QString fileText; // "name (2/5)"
    sys::DWORD attributes = 0; // read-only, hidden, system and archive bits
    bool applyDateTime = false;
    QString date;
    QString time;
    bool recurse = false;
};

// Add to Archive: the archive's name, format and compression indexes, the
// volume text, password and subfolders box, proposed and then as chosen.
// Start runs accept, and the dialog stays open while it returns false.
struct TArchiveForm {
    QString caption;
    QString fileName;
    int format = 0;
    int compression = 1;
    QString volume;
    QString password;
    bool recursive = false;
    std::function<bool(TArchiveForm &form)> accept;
};

// Archive Properties: texts ready to show, and the gauge's percentage.
struct TArchivePropForm {
    QString fileName;
    QString totalFiles;
    QString originalSize;
    QString packedSize;
    int ratio = 0;
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

    // The file tools' dialogs (forms above).
    // True on OK.
    virtual bool SplitOptions(QObject *owner, TSplitForm &form) = 0;
    // mrOk (results filled from start on) or mrCancel.
    virtual int AdvancedRename(QObject *owner, TAdvancedRenameForm &form) = 0;
    // mrOk (text typed), mrAll (the advanced rule named this entry and every
    // later one) or mrCancel.
    virtual int RenameEntry(QObject *owner, TRenameForm &form) = 0;
    // Upper or lower case for the names; recursive in and out. mrYes or mrNo.
    virtual int CharCase(QObject *owner, bool upper, bool &recursive) = 0;
    // mrOk, mrAll (this setting for every remaining entry) or mrCancel.
    virtual int AttributesTime(QObject *owner, TAttribForm &form) = 0;

    // Colour picker; a Windows colour value (red in the low byte) in and
    // out; true on OK. Font picker; family, point size and bold in and out;
    // true on OK. Implementations that never show pickers cancel them.
    virtual bool ChooseColor(QObject *owner, unsigned &color);
    virtual bool ChooseFont(QObject *owner, QString &family, int &size, bool &bold);
    // The archive dialogs. mrOk (form as accepted) or mrCancel (form as left).
    virtual int ArchiveOptions(QObject *owner, TArchiveForm &form) = 0;
    virtual void ArchiveProperties(QObject *owner, const TArchivePropForm &form) = 0;
};

// The installed implementation. Never null once the program or a test runs.
TAsk &Ask();
// Installs an implementation (not owned); returns the previous one.
TAsk *SetAsk(TAsk *ask);
// Installs an implementation for the calling thread alone, over the one
// above; null removes it. Work on another thread must never reach the
// dialogs, which live on the GUI thread. Returns the previous one.
TAsk *SetThreadAsk(TAsk *ask);

} // namespace kestrel
