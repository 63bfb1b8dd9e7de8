#pragma once
// TfMain: the main window. It owns the settings file, the file panel with its
// status texts and View menu, the back/forward history and the change
// notifier, and brings them up and down in order: construction, FormShow
// (window state, start folder, options), FormClose (window state, last.dir,
// history.dat), and destruction (the settings flushed last).

#include "ops/operationlock.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QLabel;
class QToolBar;

namespace kestrel {

class TIniFile;
class TKFileView;
class TShellChangeNotify;
class TStringHistory;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    // arguments: the command line after the program name.
    explicit TfMain(const QStringList &arguments = {}, QWidget *parent = nullptr);
    ~TfMain() override;

    TKFileView *FileView() const { return fileView; }
    TIniFile &Ini() { return *ini; }
    TStringHistory *History() const { return history; }
    TShellChangeNotify *SHChangeNotify() const { return shChangeNotify; }
    QToolBar *ToolBar() const { return toolBar; }
    QAction *AutoRefreshList() const { return autoRefreshList; }
    // The command box's items, oldest first (history.dat).
    QStringList CommandHistory;

    // Applies the [Option] keys; called at start and after Preferences.
    void LoadOptions();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void LoadWindowState();
    void UpdateCaption();
    void FileViewChangeDir();
    void SHChangeNotifyChange();
    void AutoRefreshListClick();

    void CreateViewMenu();
    void SyncViewMenu();
    void FilterClick(int tag);
    void UpdateStatus();
    void UpdateFind(const QString &text);

    std::unique_ptr<TIniFile> ini;
    TKFileView *fileView;
    TStringHistory *history;
    TShellChangeNotify *shChangeNotify;
    QToolBar *toolBar;
    QLabel *entryPanel;
    QLabel *selectionPanel;
    QLabel *findPanel;
    QActionGroup *sortGroup = nullptr;
    QActionGroup *columnGroup = nullptr;
    QActionGroup *styleGroup = nullptr;
    QAction *descendItem = nullptr;
    QAction *hiddenItem = nullptr;
    QAction *longNameItem = nullptr;
    QAction *autoRefreshList = nullptr;

    QString folderArgument;
    bool shown = false;
    bool pathCaption = false;
    // AutoRefresh is on but the watch could not start (the folder was not
    // watchable); tried again at the next folder change.
    bool retryAutoRefresh = false;
    // Held while an operation has the window disabled: its progress window
    // processes events, and a reload then would free entries it still uses.
    std::optional<TOperationGuard> disabledHold;
};

} // namespace kestrel
