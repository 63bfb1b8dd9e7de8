#pragma once
// TfFindFiles: the Find Files dialog. The search runs on a worker thread
// and its results stream into the list while it runs; the dialog stays
// usable and Stop ends the search at once. Closing with "Go to file" or
// "Feed to panel" tells the main window what to show.

#include "find/findform.h"
#include "find/foundmodel.h"

#include <QDialog>
#include <QMutex>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QTimer;
class QTreeView;

namespace kestrel {

class TfFindFiles : public QDialog {
    Q_OBJECT
public:
    enum TOutcome { foNone, foGoToFile, foFeed };

    TfFindFiles(QWidget *parent, const TFindForm &form);
    ~TfFindFiles() override;

    void Read(TFindForm &form) const;
    // Starts a search with the form as it stands; a message when it cannot.
    void Start();
    void Stop();
    bool Running() const { return worker != nullptr; }

    TOutcome Outcome() const { return outcome; }
    // The result focused when the dialog closed.
    QString Focused() const { return focused; }
    // The items found on disk, for the panel, after "Feed to panel".
    QStringList Fed() const { return fed; }
    const TFoundModel &Model() const { return model; }

    QLineEdit *Folders;
    QLineEdit *Masks;
    QLineEdit *Text;
    QCheckBox *MatchCase;
    QCheckBox *WholeWords;
    QComboBox *Encoding;
    QComboBox *Depth;
    QLineEdit *MinSize;
    QLineEdit *MaxSize;
    QCheckBox *UseAfter;
    QDateEdit *After;
    QCheckBox *UseBefore;
    QDateEdit *Before;
    QCheckBox *Attributes[5];
    QCheckBox *InArchives;
    QTreeView *Results;
    QLabel *Status;
    QPushButton *FindButton;
    QPushButton *StopButton;
    QPushButton *GoToButton;
    QPushButton *FeedButton;
    QPushButton *CloseButton;

Q_SIGNALS:
    // The search ended: finished, stopped or refused.
    void Finished();

protected:
    void reject() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Drain();
    void WorkerDone();
    void UpdateButtons();
    void UpdateStatus();
    void Close(TOutcome how);

    TFoundModel model;
    // Filled by the worker, emptied into the model by the timer.
    QMutex mutex;
    std::vector<TFoundRow> pending;
    QString currentFolder;
    std::shared_ptr<TFileSearch> search;
    QThread *worker = nullptr;
    QTimer *drainTimer;
    TOutcome outcome = foNone;
    QString focused;
    QStringList fed;
};

} // namespace kestrel
