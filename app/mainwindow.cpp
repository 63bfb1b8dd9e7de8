#include "app/mainwindow.h"

#include "app/inifile.h"
#include "app/paneloptions.h"
#include "app/settings.h"
#include "app/startfolder.h"
#include "app/statefiles.h"
#include "app/stringhistory.h"
#include "app/windowstate.h"
#include "ops/changenotify.h"
#include "panel/kfileview.h"

#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace kestrel {

namespace {

const QString kTitle = QStringLiteral("Kestrel 4.0");

struct FilterItem {
    const char *caption;
    const char *filter;
};

const FilterItem filterItems[] = {
    {"All Files", "*.*"},
    {"Program Files", "*.exe;*.com;*.bat;*.lnk;*.pif"},
    {"Document files", "*.doc;*.txt;*.cap;*.hwp;*.gul;*.xls;*.ppt;*.pdf"},
    {"Image files", "*.jpg;*.jpeg;*.gif;*.bmp;*.psd;*.cdr;*.ai;*.tif;*.tiff;*.png"},
    {"Multimedia files", "*.wav;*.mp3;*.mpeg;*.mpg;*.avi;*.asf;*.ra;*.ram;*.mov;*.wma;*.wmv"},
    {"Archive files", "*.zip;*.rar;*.arj;*.ace;*.lzh;*.cab"},
};

} // namespace

TfMain::TfMain(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent),
      ini(std::make_unique<TIniFile>(ProgramFile(QStringLiteral("kestrel.ini")))),
      fileView(new TKFileView(this)), history(new TStringHistory(12, this)),
      shChangeNotify(new TShellChangeNotify(this)), toolBar(addToolBar(QStringLiteral("ToolBar"))),
      entryPanel(new QLabel(this)), selectionPanel(new QLabel(this)), findPanel(new QLabel(this)),
      folderArgument(FolderArgument(arguments))
{
    setWindowTitle(kTitle);
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    setCentralWidget(fileView);
    fileView->SetSortType(fstExt);
    fileView->OnChangeDir = [this] { FileViewChangeDir(); };
    statusBar()->addWidget(entryPanel, 1);
    statusBar()->addWidget(findPanel);
    statusBar()->addWidget(selectionPanel);
    fileView->OnChange = [this] { UpdateStatus(); };
    fileView->OnChangeSelected = [this] { UpdateStatus(); };
    fileView->OnFindChange = [this](const QString &text) { UpdateFind(text); };

    shChangeNotify->SetDelay(2000);
    shChangeNotify->SetFilter({mfFileName, mfDirName, mfSize, mfLastWrite, mfCreation});
    connect(shChangeNotify, &TShellChangeNotify::OnChange, this, &TfMain::SHChangeNotifyChange);
    shChangeNotify->Loaded();

    CreateViewMenu();
    fileView->setFocus();
    // [Option] Lang "EN" asks for the English texts; the built-in texts are
    // the English ones, so every value of Lang keeps them.
}

TfMain::~TfMain() = default;

void TfMain::showEvent(QShowEvent *event)
{
    if (!shown) {
        shown = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
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
    CommandHistory = LoadCommandHistory(ProgramFile(QStringLiteral("history.dat")));
    toolBar->setVisible(ReadSetting(*ini, key::Toolbar));
    statusBar()->setVisible(ReadSetting(*ini, key::Status));
}

void TfMain::LoadOptions()
{
    fileView->Files.BeginUpdate();
    LoadPanelOptions(*fileView, *ini, ProgramFile(QStringLiteral("kestrel.col")));
    pathCaption = ReadSetting(*ini, key::PathCaption);
    UpdateCaption();
    fileView->Files.EndUpdate();
    SyncViewMenu();

    const bool autoRefresh = ReadSetting(*ini, key::AutoRefresh);
    shChangeNotify->SetActive(autoRefresh);
    retryAutoRefresh = autoRefresh && !shChangeNotify->Active();
    autoRefreshList->setChecked(shChangeNotify->Active());
}

void TfMain::UpdateCaption()
{
    const QString title = pathCaption ? fileView->Folder() : kTitle;
    setWindowTitle(title);
    QApplication::setApplicationDisplayName(title);
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
    SaveCommandHistory(ProgramFile(QStringLiteral("history.dat")), CommandHistory);
}

void TfMain::FileViewChangeDir()
{
    shChangeNotify->SetFolder(fileView->Folder());
    if (retryAutoRefresh) {
        shChangeNotify->SetActive(true);
        retryAutoRefresh = !shChangeNotify->Active();
        autoRefreshList->setChecked(shChangeNotify->Active());
    }
    if (pathCaption)
        UpdateCaption();
}

void TfMain::SHChangeNotifyChange()
{
    if (fileView->OwnerData())
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
    autoRefreshList->setChecked(shChangeNotify->Active());
}

void TfMain::UpdateStatus()
{
    entryPanel->setText(fileView->EntryStatus());
    const QString selection = fileView->SelectionStatus();
    selectionPanel->setText(selection);
    selectionPanel->setVisible(!selection.isEmpty());
}

void TfMain::UpdateFind(const QString &text)
{
    findPanel->setText(text);
    findPanel->setVisible(!text.isEmpty());
}

void TfMain::FilterClick(int tag)
{
    fileView->SetFilter(QString::fromLatin1(filterItems[tag].filter));
}

void TfMain::CreateViewMenu()
{
    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));

    QMenu *filter = view->addMenu(QStringLiteral("&Filter"));
    auto *filterGroup = new QActionGroup(this);
    for (int tag = 0; tag < int(std::size(filterItems)); ++tag) {
        QAction *item = filter->addAction(QString::fromLatin1(filterItems[tag].caption));
        item->setCheckable(true);
        item->setChecked(tag == 0);
        filterGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag] { FilterClick(tag); });
    }

    QMenu *arrange = view->addMenu(QStringLiteral("&Arrange"));
    sortGroup = new QActionGroup(this);
    const char *const sortNames[] = {"by &Name", "by &Extension", "by &Size", "by &Time", "N&one"};
    for (int tag = fstName; tag <= fstNone; ++tag) {
        QAction *item = arrange->addAction(QString::fromLatin1(sortNames[tag]));
        item->setCheckable(true);
        sortGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, tag] { fileView->SetSortType(TFileSortType(tag)); });
    }
    arrange->addSeparator();
    descendItem = arrange->addAction(QStringLiteral("&Descend"));
    descendItem->setCheckable(true);
    connect(descendItem, &QAction::toggled, this, [this](bool on) { fileView->SetDescend(on); });

    QMenu *column = view->addMenu(QStringLiteral("&Column"));
    columnGroup = new QActionGroup(this);
    for (int count = 0; count <= 6; ++count) {
        QAction *item =
            column->addAction(count == 0 ? QStringLiteral("&Auto") : QString::number(count));
        item->setCheckable(true);
        columnGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, count] { fileView->SetColumn(count); });
    }

    view->addSeparator();
    styleGroup = new QActionGroup(this);
    QAction *list = view->addAction(QStringLiteral("&List"));
    QAction *icons = view->addAction(QStringLiteral("Large &Icons"));
    for (QAction *item : {list, icons}) {
        item->setCheckable(true);
        styleGroup->addAction(item);
    }
    connect(list, &QAction::triggered, this, [this] { fileView->SetViewStyle(vsList); });
    connect(icons, &QAction::triggered, this, [this] { fileView->SetViewStyle(vsIcon); });

    view->addSeparator();
    hiddenItem = view->addAction(QStringLiteral("Show &Hidden File"));
    hiddenItem->setCheckable(true);
    connect(hiddenItem, &QAction::toggled, this, [this](bool on) { fileView->SetViewHidden(on); });
    longNameItem = view->addAction(QStringLiteral("Show Long File&name"));
    longNameItem->setCheckable(true);
    connect(longNameItem, &QAction::toggled, this, [this](bool on) { fileView->SetLongName(on); });

    view->addSeparator();
    autoRefreshList = view->addAction(QStringLiteral("&Auto Refresh List"));
    autoRefreshList->setCheckable(true);
    connect(autoRefreshList, &QAction::triggered, this, &TfMain::AutoRefreshListClick);
    SyncViewMenu();
}

// Check marks follow the panel, whose options come from the settings file.
void TfMain::SyncViewMenu()
{
    sortGroup->actions().at(fileView->SortType())->setChecked(true);
    const int columns = fileView->AutoColumn() ? 0 : fileView->Column();
    if (columns < columnGroup->actions().size())
        columnGroup->actions().at(columns)->setChecked(true);
    styleGroup->actions().at(fileView->ViewStyle() == vsIcon ? 1 : 0)->setChecked(true);
    descendItem->setChecked(fileView->Descend());
    hiddenItem->setChecked(fileView->ViewHidden());
    longNameItem->setChecked(fileView->LongName());
}

} // namespace kestrel
