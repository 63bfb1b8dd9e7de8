#pragma once
// TfMain: the main window. It owns the settings file, the file panel with its
// status texts, the menus, the command line, the work folders, the
// back/forward history and the change notifier, and brings them up and down
// in order: construction, FormShow (window state, start folder, options),
// FormClose (window state, last.dir, history.dat), and destruction (the
// settings flushed last). Its commands live in the commands_*.cpp files.

#include "app/commandid.h"
#include "app/commandline.h"
#include "app/panelupdate.h"
#include "archive/browser.h"
#include "find/findform.h"
#include "ops/operationlock.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QToolBar;

namespace kestrel {

class TAppDriveServices;
class TBtnStatusBar;
class TCommandLineBar;
class TDiskInfoPanel;
class TIniFile;
class TKeyHelp;
class TKFileView;
class TMainMenu;
class TNavigationBar;
class TShellChangeNotify;
class TStringHistory;
class TWorkFolderButtons;
struct TPanelKeyAction;
struct TRenamed;

class TfMain : public QMainWindow, public TCommandTarget {
    Q_OBJECT
public:
    // arguments: the command line after the program name.
    explicit TfMain(const QStringList &arguments = {}, QWidget *parent = nullptr);
    ~TfMain() override;
    // The first show loads the window state and options (FormShow).
    void setVisible(bool visible) override;

    TKFileView *FileView() const { return fileView; }
    TIniFile &Ini() { return *ini; }
    TStringHistory *History() const { return history; }
    TNavigationBar *Navigation() const { return navigation; }
    TShellChangeNotify *SHChangeNotify() const { return shChangeNotify; }
    QToolBar *ToolBar() const { return toolBar; }
    TMainMenu *MainMenu() const { return mainMenu; }
    TWorkFolderButtons *WorkFolders() const { return workFolders; }
    TBtnStatusBar *BtnStatusBar() const { return btnStatusBar; }
    TCommandLineBar *CommandBar() const { return commandBar; }
    TDiskInfoPanel *DiskInfo() const { return diskInfo; }
    // The command box's items, oldest first (history.dat).
    TCommandLine &CommandLine() { return commandLine; }

    // The destination of the last copy or move (Last Destination opens it).
    QString LastDestination;
    // Full paths of the entries last collected for an operation or the
    // clipboard (Restore Selection selects them again).
    QStringList LastSelection;

    // Reads the space of the panel folder's drive again (after an operation).
    void UpdateDiskInfo();
    // Applies the [Option] keys; called at start and after Preferences.
    void LoadOptions();
    // Runs a menu command.
    void RunCommand(TCmd cmd);
    bool CommandLineOpen() const;

    // TCommandTarget
    TPanelNames PanelNames() const override;
    bool SetFolder(const QString &path) override;
    void FormatDrive(QChar drive, bool quick) override;
    void RunProgram(const QString &program, const QString &parameters) override;
    // Starts a program with an argument list in the panel's folder, not
    // waiting; a failure is reported.
    void StartProgramIn(const QString &program, const QStringList &args);
    void OpenFocused() override;
    void Exit() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Life cycle (mainwindow.cpp)
    void FormShow();
    void FormClose();
    void LoadWindowState();
    void UpdateCaption();
    void FileViewChangeDir();
    void SHChangeNotifyChange();
    void AutoRefreshListClick();
    void SyncViewMenu();
    void UpdateStatus();
    void UpdateFind(const QString &text);
    void LoadFunctionKeyLabels();

    // Keys, context menu, command line (commands_keys.cpp)
    bool FileViewKeyDown(QKeyEvent *event);
    void RunPanelKey(const TPanelKeyAction &action);
    void EscapeKey();
    void ShowContextMenu(const QPoint &at);
    void OpenCommandLine();
    void LeaveCommandLine();
    void RunFunctionKey(int slot);

    // Archives open in the panel and extraction (commands_archive.cpp)
    bool InArchive() const { return archive.IsOpen(); }
    // The folder on disk the panel is in: with an archive open, the one it lies in.
    QString DiskFolder() const;
    void FileViewOpen(bool &handled);
    void OpenArchive(const QString &path);
    void ChangeArchiveFolder(const QString &name);
    void CloseArchive();
    // Frees the archive and leaves owner-data mode, the panel's folder as it is.
    void LeaveArchive();
    void ShowArchivePath(const QString &focusName);
    void ArchiveUpOneLevel();
    void OpenArchivedFile();
    void ExtractCommand(bool toFolders);
    void UpdateExtractToCaption();
    // Add to Archive, Move to Archive, Archive Properties and Install
    // (commands_archive.cpp).
    void AddToArchive(bool move);
    void ArchiveProperties();
    void InstallCommand();

    // Clipboard (commands_file.cpp)
    void Copy1Click();
    void Cut1Click();
    void Paste1Click();
    void PasteShortcut1Click();
    void RememberSelection();

    // File and folder commands (commands_file.cpp)
    void OpenWithParameters1Click();
    void CreateNew1Click();
    void CreateNewFolder1Click();
    void CopyPathName1Click();
    void SaveSelectedList1Click();
    void TextClick(int tag);
    void CreateShortcutIn(const QString &folder);
    void RestoreSelection1Click();
    void SelectGroupClick(bool select);
    void CustomFilter1Click();
    void RefreshKeepingFocus(const QString &focusName);
    QString FocusedPath() const;

    // Copy, Move and Delete (commands_transfer.cpp)
    void TransferCommand(bool move);
    void Delete1Click();
    TTreeFileOptions TreeFiles() const;
    QString CheckedDestination(const QString &destination, const QStringList &sources);

    // File tools (commands_tools.cpp)
    void Rename1Click();
    void AfterRenames(const QList<TRenamed> &renamed);
    void Attributes1Click();
    void CharCaseClick(int tag);
    void SplitFile1Click();
    void JoinFiles1Click();
    // Runs a tool command with the panel's change notification off.
    void WithoutNotification(const std::function<void()> &command);
    // Descriptions (commands_descript.cpp)
    void Description1Click();
    void DeleteAllDescriptions1Click();

    // History, address box and favourites (commands_history.cpp)
    void SetUpNavigation();
    void RecordFolder();
    void HistoryStep(bool back);
    // Goes to a folder as any navigation does; a failure is reported.
    void GoTo(const QString &folder);
    void AddToFavorites1Click();
    void OrganizeFavorites1Click();
    void GoFavorite(int index);

    // System and help commands (commands_system.cpp)
    void SpecialFolderClick(int which);
    // The Trash and the temporary folder (commands_trash.cpp)
    void RecycleBin1Click();
    void EmptyRecycleBin1Click();
    void EmptyTemp1Click();
    void Restore1Click();
    // Fills the descriptions of a Trash folder shown in the panel; false
    // when the panel shows none.
    bool DescribeTrash();
    // Removes the records of the Trash items a run has done.
    void ForgetTrashed(const QString &trash, const TRunResult &result);
    void Format1Click();
    void StartDesktopTool(const QStringList &candidates, const QString &missing,
                          const QStringList &args = {});
    void DiskCopy1Click();
    void Network1Click();
    // Find Files (commands_find.cpp): the dialog, then the result chosen.
    void FindFiles1Click();
    void GoToFound(const QString &path);
    void FeedFound(const QStringList &paths);
    bool RefusedInFound(TCmd cmd);
    void Tree1Click();
    void MapNetworkDrive1Click();
    void DisconnectNetworkDrive1Click();
    void Properties1Click();
    void HelpClick(const QString &page);
    void About1Click();
    void Options1Click();

    std::unique_ptr<TIniFile> ini;
    TKFileView *fileView;
    TStringHistory *history;
    TShellChangeNotify *shChangeNotify;
    QToolBar *toolBar;
    QLabel *entryPanel;
    QLabel *selectionPanel;
    QLabel *findPanel;
    TDiskInfoPanel *diskInfo;
    TMainMenu *mainMenu;
    TWorkFolderButtons *workFolders;
    TNavigationBar *navigation;
    // Set while Back or Forward changes the folder: that change is not
    // recorded in the history.
    bool historyMove = false;
    TBtnStatusBar *btnStatusBar;
    TCommandLineBar *commandBar;
    TCommandLine commandLine;
    std::unique_ptr<TAppDriveServices> driveServices;

    // The archive open in the panel, the folder shown before it was opened
    // and whether the change notification was on then.
    TArchiveBrowser archive{this};
    // The Find Files dialog's fields as the user last left them.
    TFindForm findForm;
    QString folderBeforeArchive;
    bool watchingBeforeArchive = false;

    QString folderArgument;
    bool shown = false;
    bool pathCaption = false;
    // AutoRefresh is on but the watch could not start (the folder was not
    // watchable); tried again at the next folder change.
    bool retryAutoRefresh = false;
    // Held while an operation has the window disabled: its progress window
    // processes events, and a reload then would free entries it still uses.
    std::optional<TOperationGuard> disabledHold;
    // Goes first when the window is destroyed: closing it deactivates it,
    // which must not rebuild the button bar of a window half taken down.
    std::unique_ptr<TKeyHelp> keyHelp;
};

} // namespace kestrel
