// The main window's command dispatch: each menu command to its handler.

#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/navigationbar.h"
#include "app/settings.h"
#include "app/workfolderbuttons.h"
#include "panel/kfileview.h"
#include "platform/shell.h"

#include <QAction>
#include <QStatusBar>
#include <QToolBar>

namespace kestrel {

namespace {

const char *const filterMasks[] = {
    "*.*",
    "*.exe;*.com;*.bat;*.lnk;*.pif",
    "*.doc;*.txt;*.cap;*.hwp;*.gul;*.xls;*.ppt;*.pdf",
    "*.jpg;*.jpeg;*.gif;*.bmp;*.psd;*.cdr;*.ai;*.tif;*.tiff;*.png",
    "*.wav;*.mp3;*.mpeg;*.mpg;*.avi;*.asf;*.ra;*.ram;*.mov;*.wma;*.wmv",
    "*.zip;*.rar;*.arj;*.ace;*.lzh;*.cab",
};

int Offset(TCmd cmd, TCmd first)
{
    return int(cmd) - int(first);
}

// Commands that act on the folder on disk: inside an archive the panel's
// entries are no files there.
bool FileSystemOnly(TCmd cmd)
{
    switch (cmd) {
    case TCmd::OpenWithParameters:
    case TCmd::CreateNew:
    case TCmd::CreateNewFolder:
    case TCmd::EditCopy:
    case TCmd::EditCut:
    case TCmd::EditPaste:
    case TCmd::PasteShortcut:
    case TCmd::CopyPathName:
    case TCmd::ViewText:
    case TCmd::EditText:
    case TCmd::ShortcutToDesktop:
    case TCmd::CreateShortcut:
    case TCmd::SetWork1:
    case TCmd::SetWork2:
    case TCmd::SetWork3:
        return true;
    default:
        return false;
    }
}

} // namespace

void TfMain::RunCommand(TCmd cmd)
{
    // A disabled item's command is not run from anywhere (keys, function keys).
    if (QAction *item = mainMenu->Item(cmd); item && !item->isEnabled())
        return;
    if ((InArchive() && FileSystemOnly(cmd)) || RefusedInFound(cmd))
        return;
    // A command ends the quick search; Find Next is the one that goes on with it.
    if (cmd != TCmd::FindNext)
        fileView->EndQuickSearch();
    const TFile *focused = fileView->GetItemFocused();
    switch (cmd) {
    case TCmd::Open:
        return OpenFocused();
    case TCmd::OpenWithParameters:
        return OpenWithParameters1Click();
    case TCmd::Description:
        return Description1Click();
    case TCmd::CreateNew:
        return CreateNew1Click();
    case TCmd::Exit:
        return Exit();
    case TCmd::CreateNewFolder:
        return CreateNewFolder1Click();
    case TCmd::UpOneLevel:
        if (InArchive())
            return ArchiveUpOneLevel();
        fileView->SetFolder(QStringLiteral(".."));
        return;
    case TCmd::Root:
        if (InArchive())
            return ChangeArchiveFolder(QStringLiteral("\\"));
        fileView->SetFolder(QStringLiteral("\\"));
        return;
    case TCmd::Back:
        return HistoryStep(true);
    case TCmd::Forward:
        return HistoryStep(false);
    case TCmd::Favorites:
        return navigation->DropFavorites(fileView->mapToGlobal(QPoint(0, 0)));
    case TCmd::LastDestination:
        if (!LastDestination.isEmpty())
            SetFolder(LastDestination);
        return;
    case TCmd::SetWork1:
    case TCmd::SetWork2:
    case TCmd::SetWork3:
        return workFolders->SetSlot(Offset(cmd, TCmd::SetWork1));
    case TCmd::GoWork1:
    case TCmd::GoWork2:
    case TCmd::GoWork3:
        return workFolders->GoSlot(Offset(cmd, TCmd::GoWork1));
    case TCmd::Refresh:
        UpdateDiskInfo();
        return RefreshKeepingFocus(focused ? focused->GetFullName() : QString());
    case TCmd::Network:
        return Network1Click();
    case TCmd::Tree:
        return Tree1Click();
    case TCmd::MapNetworkDrive:
        return MapNetworkDrive1Click();
    case TCmd::DisconnectNetworkDrive:
        return DisconnectNetworkDrive1Click();
    case TCmd::Properties:
        return Properties1Click();
    case TCmd::Copy:
        return TransferCommand(false);
    case TCmd::Move:
        return TransferCommand(true);
    case TCmd::Delete:
        return Delete1Click();
    case TCmd::EditCopy:
        return Copy1Click();
    case TCmd::EditCut:
        return Cut1Click();
    case TCmd::EditPaste:
        return Paste1Click();
    case TCmd::PasteShortcut:
        return PasteShortcut1Click();
    case TCmd::CopyPathName:
        return CopyPathName1Click();
    case TCmd::SelectAll:
        if (fileView->SelCount > 0)
            fileView->DeselectAll(ReadSetting(*ini, key::SelDir));
        else
            fileView->SelectAll(ReadSetting(*ini, key::SelDir));
        return;
    case TCmd::InvertSelection:
        return fileView->InvertSelection(ReadSetting(*ini, key::SelDir));
    case TCmd::RestoreSelection:
        return RestoreSelection1Click();
    case TCmd::SelectGroup:
        return SelectGroupClick(true);
    case TCmd::UnselectGroup:
        return SelectGroupClick(false);
    case TCmd::SelectSameExt:
        return fileView->SelectSameExt();
    case TCmd::FindNext:
        return fileView->FindNext();
    case TCmd::Toolbar:
        toolBar->setVisible(!toolBar->isVisible());
        return SyncViewMenu();
    case TCmd::StatusBar:
        if (CommandLineOpen())
            LeaveCommandLine();
        statusBar()->setVisible(statusBar()->isHidden());
        return SyncViewMenu();
    case TCmd::List:
        fileView->SetViewStyle(vsList);
        return;
    case TCmd::LargeIcons:
        fileView->SetViewStyle(vsIcon);
        return;
    case TCmd::SortName:
    case TCmd::SortExt:
    case TCmd::SortSize:
    case TCmd::SortTime:
    case TCmd::SortNone:
        fileView->SetSortType(TFileSortType(Offset(cmd, TCmd::SortName)));
        return;
    case TCmd::Descend:
        fileView->SetDescend(!fileView->Descend());
        return SyncViewMenu();
    case TCmd::ColumnAuto:
    case TCmd::Column1:
    case TCmd::Column2:
    case TCmd::Column3:
    case TCmd::Column4:
    case TCmd::Column5:
    case TCmd::Column6:
        fileView->SetColumn(Offset(cmd, TCmd::ColumnAuto));
        return SyncViewMenu();
    case TCmd::FilterAll:
    case TCmd::FilterProgram:
    case TCmd::FilterDocument:
    case TCmd::FilterImage:
    case TCmd::FilterMultimedia:
    case TCmd::FilterArchive:
        fileView->SetFilter(QString::fromLatin1(filterMasks[Offset(cmd, TCmd::FilterAll)]));
        return;
    case TCmd::CustomFilter:
        return CustomFilter1Click();
    case TCmd::LongFilename:
        fileView->SetLongName(!fileView->LongName());
        return SyncViewMenu();
    case TCmd::HiddenFile:
        fileView->SetViewHidden(!fileView->ViewHidden());
        return SyncViewMenu();
    case TCmd::AutoRefresh:
        return AutoRefreshListClick();
    case TCmd::Desktop:
    case TCmd::StartMenu:
    case TCmd::MyDocuments:
        return SpecialFolderClick(Offset(cmd, TCmd::Desktop));
    case TCmd::ControlPanel:
        return StartDesktopTool(
            {QStringLiteral("gnome-control-center"), QStringLiteral("systemsettings"),
             QStringLiteral("xfce4-settings-manager"), QStringLiteral("mate-control-center"),
             QStringLiteral("lxqt-config")},
            QStringLiteral("This system has no settings tool (control panel)."));
    case TCmd::AddRemovePrograms:
        return StartDesktopTool({QStringLiteral("gnome-software"),
                                 QStringLiteral("plasma-discover"), QStringLiteral("synaptic")},
                                QStringLiteral("This system has no tool to add or remove "
                                               "programs."));
    case TCmd::RecycleBin:
        return RecycleBin1Click();
    case TCmd::EmptyRecycleBin:
        return EmptyRecycleBin1Click();
    case TCmd::Restore:
        return Restore1Click();
    case TCmd::EmptyTemp:
        return EmptyTemp1Click();
    case TCmd::GoToTemp:
        return SpecialFolderClick(3);
    case TCmd::Format:
        return Format1Click();
    case TCmd::CommandLine:
        return OpenCommandLine();
    case TCmd::Extract:
        return ExtractCommand(false);
    case TCmd::ExtractTo:
        return ExtractCommand(true);
    case TCmd::CloseArchive:
        return CloseArchive();
    case TCmd::AddToArchive:
        return AddToArchive(false);
    case TCmd::MoveToArchive:
        return AddToArchive(true);
    case TCmd::ArchiveProperties:
        return ArchiveProperties();
    case TCmd::Install:
        return InstallCommand();
    case TCmd::ViewText:
        return TextClick(0);
    case TCmd::EditText:
        return TextClick(1);
    case TCmd::DeleteAllDescriptions:
        return DeleteAllDescriptions1Click();
    case TCmd::FindFiles:
        return FindFiles1Click();
    case TCmd::SaveSelectedList:
        return SaveSelectedList1Click();
    case TCmd::Rename:
        return Rename1Click();
    case TCmd::Attributes:
        return Attributes1Click();
    case TCmd::LowercaseFilename:
        return CharCaseClick(0);
    case TCmd::UppercaseFilename:
        return CharCaseClick(1);
    case TCmd::SplitFile:
        return SplitFile1Click();
    case TCmd::JoinFiles:
        return JoinFiles1Click();
    case TCmd::DiskCopy:
        return DiskCopy1Click();
    case TCmd::ShortcutToDesktop:
        return CreateShortcutIn(sys::GetSpecialFolder(sys::SpecialFolder::Desktop));
    case TCmd::CreateShortcut:
        return CreateShortcutIn(fileView->Folder());
    case TCmd::HelpContents:
        return HelpClick(QStringLiteral("index.html"));
    case TCmd::HelpShortcut:
        return HelpClick(QStringLiteral("keys.html"));
    case TCmd::About:
        return About1Click();
    case TCmd::Options:
        return Options1Click();
    default:
        // Commands whose items are disabled until their work is built.
        return;
    }
}

} // namespace kestrel
