#include "app/mainwindow.h"

#include "app/btnstatusbar.h"
#include "app/commandlinebar.h"
#include "app/driveservices.h"
#include "app/inifile.h"
#include "app/keyhelp.h"
#include "app/keymap.h"
#include "app/mainmenu.h"
#include "app/navigationbar.h"
#include "app/paneloptions.h"
#include "app/settings.h"
#include "app/startfolder.h"
#include "app/statefiles.h"
#include "app/treedialog.h"
#include "app/stringhistory.h"
#include "app/windowstate.h"
#include "app/workfolderbuttons.h"
#include "ops/changenotify.h"
#include "ops/paneldragdrop.h"
#include "ops/qtask.h"
#include "panel/diskinfopanel.h"
#include "panel/fproperties.h"
#include "panel/kfileview.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

namespace kestrel {

namespace {
const QString kTitle = QStringLiteral("Kestrel 4.0");
}

TfMain::TfMain(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent),
      ini(std::make_unique<TIniFile>(ProgramFile(QStringLiteral("kestrel.ini")))),
      fileView(new TKFileView(this)), history(new TStringHistory(12, this)),
      shChangeNotify(new TShellChangeNotify(this)), toolBar(addToolBar(QStringLiteral("ToolBar"))),
      entryPanel(new QLabel(this)), selectionPanel(new QLabel(this)), findPanel(new QLabel(this)),
      diskInfo(new TDiskInfoPanel(this)), mainMenu(new TMainMenu(*this)),
      workFolders(new TWorkFolderButtons(*toolBar)),
      navigation(new TNavigationBar(*toolBar, *history)), btnStatusBar(new TBtnStatusBar(this)),
      commandBar(new TCommandLineBar(this)), commandLine(*this, this),
      driveServices(std::make_unique<TAppDriveServices>(
          *ini, [this](QChar drive) { FormatDrive(drive, false); })),
      folderArgument(FolderArgument(arguments))
{
    setWindowTitle(kTitle);
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    toolBar->setMovable(false);
    setCentralWidget(fileView);
    fileView->SetSortType(fstExt);
    fileView->OnChangeDir = [this] { FileViewChangeDir(); };
    fileView->installEventFilter(this);
    statusBar()->addWidget(entryPanel, 1);
    statusBar()->addWidget(findPanel);
    statusBar()->addWidget(selectionPanel);
    statusBar()->addWidget(diskInfo, 1);
    statusBar()->addWidget(commandBar, 1);
    diskInfo->OnClick = [this](const QString &root) { TfProperties::Open(root, this); };
    // The network entry opens the network window.
    fileView->OnOpen = [this](bool &handled) {
        const TFile *focused = fileView->GetItemFocused();
        handled = focused && focused->Kind() == fkDrive && focused->Name == QLatin1String("/");
        if (handled)
            Network1Click();
    };
    commandBar->hide();
    commandBar->OnLeave = [this] { LeaveCommandLine(); };
    commandBar->OnRun = [this](const QString &text, bool typed) { commandLine.Run(text, typed); };
    fileView->OnChange = [this] { UpdateStatus(); };
    fileView->OnChangeSelected = [this] { UpdateStatus(); };
    fileView->OnFindChange = [this](const QString &text) { UpdateFind(text); };
    fileView->OnOpen = [this](bool &handled) { FileViewOpen(handled); };
    fileView->OnOwnerData = [this](bool &) {
        fileView->Files.Clear();
        archive.Fill(fileView->Files);
    };
    fileView->OnGetTitle = [this](QString &title) { title = archive.Title(); };
    fileView->OnDescribe = [this] { return DescribeTrash(); };

    auto *keyBar = new QToolBar(QStringLiteral("Function Keys"), this);
    keyBar->setObjectName(QStringLiteral("FunctionKeys"));
    keyBar->setMovable(false);
    keyBar->addWidget(btnStatusBar);
    addToolBar(Qt::BottomToolBarArea, keyBar);
    btnStatusBar->OnClick = [this](int index) { RunFunctionKey(index); };
    keyHelp = std::make_unique<TKeyHelp>(*btnStatusBar, *fileView);

    workFolders->PanelFolder = [this] { return fileView->Folder(); };
    workFolders->OnOpen = [this](const QString &folder) { SetFolder(folder); };
    mainMenu->OnCommand = [this](TCmd cmd) { RunCommand(cmd); };
    mainMenu->Item(TCmd::FilterAll)->setChecked(true);

    shChangeNotify->SetDelay(2000);
    shChangeNotify->SetFilter({mfFileName, mfDirName, mfSize, mfLastWrite, mfCreation});
    connect(shChangeNotify, &TShellChangeNotify::OnChange, this, &TfMain::SHChangeNotifyChange);
    shChangeNotify->Loaded();

    new TPanelDragDrop(fileView, this);
    // Folder questions (copy destinations, the split folder) open the tree.
    SetFolderPicker([this](QObject *owner, const QString &caption, QString &folder) {
        const QString chosen =
            SelectFolderDialog(qobject_cast<QWidget *>(owner), *ini, folder, fileView->Drive(),
                               fileView->LastDirs, caption);
        if (chosen.isEmpty())
            return false;
        folder = chosen;
        return true;
    });
    SetUpNavigation();
    SyncViewMenu();
    fileView->setFocus();
    // [Option] Lang "EN" asks for the English texts; the built-in texts are
    // the English ones, so every value of Lang keeps them.
}

TfMain::~TfMain()
{
    SetFolderPicker(nullptr);
}

// The state is loaded before the window is made: a position given then
// places the window's frame, as it was saved, also where the window system
// learns the frame only when the window appears.
void TfMain::setVisible(bool visible)
{
    if (visible && !shown) {
        shown = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
}

void TfMain::FormShow()
{
    fileView->Files.BeginUpdate();
    LoadWindowState();
    LoadOptions();
    fileView->Files.EndUpdate();
}

void TfMain::LoadWindowState()
{
    ApplyPlacement(*this, ReadSetting(*ini, key::File));
    OpenStartFolder(*fileView, *ini, folderArgument, ProgramFile(QStringLiteral("last.dir")));
    shChangeNotify->SetFolder(fileView->Folder());
    commandLine.SetHistory(LoadCommandHistory(ProgramFile(QStringLiteral("history.dat"))));
    toolBar->setVisible(ReadSetting(*ini, key::Toolbar));
    statusBar()->setVisible(ReadSetting(*ini, key::Status));
    workFolders->Recolor();
    SyncViewMenu();
}

void TfMain::LoadOptions()
{
    fileView->Files.BeginUpdate();
    LoadPanelOptions(*fileView, *ini, UserOrSharedFile(QStringLiteral("kestrel.col")));
    pathCaption = ReadSetting(*ini, key::PathCaption);
    UpdateCaption();
    const bool ctrlX = ReadSetting(*ini, key::CtrlX);
    mainMenu->SetCtrlX(ctrlX);
    btnStatusBar->SetCtrlX(ctrlX);
    fileView->Files.EndUpdate();
    SyncViewMenu();

    const bool autoRefresh = ReadSetting(*ini, key::AutoRefresh);
    shChangeNotify->SetActive(autoRefresh);
    retryAutoRefresh = autoRefresh && !shChangeNotify->Active();
    mainMenu->Item(TCmd::AutoRefresh)->setChecked(shChangeNotify->Active());
    LoadFunctionKeyLabels();
}

void TfMain::LoadFunctionKeyLabels()
{
    QStringList labels;
    for (int slot = 0; slot < 7; ++slot)
        labels.append(QStringLiteral("F%1=%2").arg(slot + 2).arg(FunctionKeyLabel(
            ini->ReadString(QLatin1String(key::FunctionSection), FunctionKeyName(slot), {}))));
    btnStatusBar->SetNormalItems(labels);
}

void TfMain::UpdateCaption()
{
    // Only the window's own title: an application display name would be
    // added by Qt to the title of every dialog ("Error — Kestrel 4.0").
    setWindowTitle(pathCaption ? fileView->Folder() : kTitle);
}

void TfMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && !disabledHold)
            disabledHold.emplace();
        else if (isEnabled())
            disabledHold.reset();
    }
    QMainWindow::changeEvent(event);
}

void TfMain::FormClose()
{
    // Failed writes are not reported: a settings folder that cannot be
    // written must not keep the program from closing.
    WriteSetting(*ini, key::File, CurrentPlacement(*this));
    WriteSetting(*ini, key::Toolbar, !toolBar->isHidden());
    WriteSetting(*ini, key::Status, !statusBar()->isHidden());
    ini->UpdateFile();
    if (ReadSetting(*ini, key::SaveLastDir))
        SaveLastDir(ProgramFile(QStringLiteral("last.dir")), fileView->LastDirs, fileView->Drive());
    SaveCommandHistory(ProgramFile(QStringLiteral("history.dat")), commandLine.History());
}

void TfMain::FileViewChangeDir()
{
    diskInfo->SetFolder(fileView->Folder(), false);
    shChangeNotify->SetFolder(fileView->Folder());
    if (retryAutoRefresh) {
        shChangeNotify->SetActive(true);
        retryAutoRefresh = !shChangeNotify->Active();
        mainMenu->Item(TCmd::AutoRefresh)->setChecked(shChangeNotify->Active());
    }
    if (pathCaption)
        UpdateCaption();
    workFolders->Recolor();
    RecordFolder();
}

void TfMain::SHChangeNotifyChange()
{
    // A found listing is re-read by Refresh only: the folder watched is
    // not the one its entries lie in.
    if (fileView->OwnerData() || fileView->FoundMode())
        return;
    const TFile *focused = fileView->GetItemFocused();
    fileView->Refresh(focused ? focused->GetFullName() : QString(), true);
}

void TfMain::AutoRefreshListClick()
{
    shChangeNotify->SetUserDisabled(false);
    shChangeNotify->SetActive(!shChangeNotify->Active());
    shChangeNotify->SetUserDisabled(!shChangeNotify->Active());
    retryAutoRefresh = false;
    mainMenu->Item(TCmd::AutoRefresh)->setChecked(shChangeNotify->Active());
}

void TfMain::UpdateDiskInfo()
{
    diskInfo->SetFolder(fileView->Folder(), true);
}

void TfMain::UpdateStatus()
{
    // An archive's entries and found ones carry no descriptions.
    for (const TCmd cmd : {TCmd::Description, TCmd::DeleteAllDescriptions})
        mainMenu->Item(cmd)->setEnabled(!fileView->OwnerData() && !fileView->FoundMode());
    entryPanel->setText(fileView->EntryStatus());
    const QString selection = fileView->SelectionStatus();
    selectionPanel->setText(selection);
    selectionPanel->setVisible(!selection.isEmpty() && !CommandLineOpen());
}

void TfMain::UpdateFind(const QString &text)
{
    findPanel->setText(text);
    findPanel->setVisible(!text.isEmpty() && !CommandLineOpen());
}

// Check marks follow the panel, whose options come from the settings file.
void TfMain::SyncViewMenu()
{
    const auto check = [this](TCmd cmd, bool on) { mainMenu->Item(cmd)->setChecked(on); };
    check(TCmd(int(TCmd::SortName) + fileView->SortType()), true);
    check(TCmd::Descend, fileView->Descend());
    const int columns = fileView->AutoColumn() ? 0 : fileView->Column();
    if (columns <= 6)
        check(TCmd(int(TCmd::ColumnAuto) + columns), true);
    check(fileView->ViewStyle() == vsIcon ? TCmd::LargeIcons : TCmd::List, true);
    check(TCmd::HiddenFile, fileView->ViewHidden());
    check(TCmd::LongFilename, fileView->LongName());
    check(TCmd::Toolbar, !toolBar->isHidden());
    check(TCmd::StatusBar, !statusBar()->isHidden());
}

} // namespace kestrel
