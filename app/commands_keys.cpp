// The panel's keys, the context menu, the command line and the
// function keys of the main window.

#include "app/commandlinebar.h"
#include "app/functionentry.h"
#include "app/inifile.h"
#include "app/keymap.h"
#include "app/mainmenu.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "panel/diskinfopanel.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace kestrel {

namespace {

// Internal function keywords of function-key entries.
struct TKeyword {
    const char *word;
    TCmd cmd;
};
const TKeyword keywords[] = {
    {"copy", TCmd::Copy},
    {"move", TCmd::Move},
    {"delete", TCmd::Delete},
    {"rename", TCmd::Rename},
    {"newfolder", TCmd::CreateNewFolder},
    {"selectall", TCmd::SelectAll},
    {"textview", TCmd::ViewText},
    {"textedit", TCmd::EditText},
    {"attrib", TCmd::Attributes},
    {"addcopy", TCmd::AddToArchive},
    {"addmove", TCmd::MoveToArchive},
    {"extract", TCmd::Extract},
    {"desktop", TCmd::Desktop},
    {"mydoc", TCmd::MyDocuments},
    {"findnext", TCmd::FindNext},
};

} // namespace

bool TfMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fileView) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return FileViewKeyDown(static_cast<QKeyEvent *>(event));
        case QEvent::ContextMenu: {
            auto *menuEvent = static_cast<QContextMenuEvent *>(event);
            if (menuEvent->reason() == QContextMenuEvent::Mouse) {
                const QPoint pos = menuEvent->pos();
                const int index = fileView->GetItemAt(pos.x(), pos.y());
                if (index >= 0)
                    fileView->SetFocused(index);
                ShowContextMenu(menuEvent->globalPos());
            } else {
                RunPanelKey({TPanelKey::ContextMenu, 0});
            }
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfMain::FileViewKeyDown(QKeyEvent *event)
{
    const TPanelKeyAction action =
        MapPanelKey(event->key(), event->modifiers(), !fileView->FindText.isEmpty());
    if (action.key == TPanelKey::None)
        return false;
    RunPanelKey(action);
    return true;
}

void TfMain::RunPanelKey(const TPanelKeyAction &action)
{
    fileView->EndQuickSearch();
    switch (action.key) {
    case TPanelKey::SelectGroup:
        return RunCommand(TCmd::SelectGroup);
    case TPanelKey::UnselectGroup:
        return RunCommand(TCmd::UnselectGroup);
    case TPanelKey::InvertSelection:
        return RunCommand(TCmd::InvertSelection);
    case TPanelKey::ContextMenu: {
        const QRect rect = fileView->ItemRect(fileView->GetItemFocused());
        const QPoint at = rect.isEmpty() ? QPoint(10, 10) : rect.topLeft() + QPoint(10, 10);
        return ShowContextMenu(fileView->mapToGlobal(at));
    }
    case TPanelKey::Delete:
        return RunCommand(TCmd::Delete);
    case TPanelKey::Copy:
        return RunCommand(TCmd::Copy);
    case TPanelKey::UpOneLevel:
        return RunCommand(TCmd::UpOneLevel);
    case TPanelKey::Root:
        return RunCommand(TCmd::Root);
    case TPanelKey::CommandLine:
        return OpenCommandLine();
    case TPanelKey::Escape:
        return EscapeKey();
    case TPanelKey::FunctionKey:
        return RunFunctionKey(action.index);
    case TPanelKey::Favorite:
        return GoFavorite(action.index);
    case TPanelKey::Network:
        return RunCommand(TCmd::Network);
    case TPanelKey::DriveRoot:
        SetFolder(QStringLiteral("%1:\\").arg(QChar(u'A' + action.index)));
        return;
    case TPanelKey::None:
        return;
    }
}

void TfMain::EscapeKey()
{
    if (InArchive())
        return CloseArchive();
    switch (ReadSetting(*ini, key::Esc)) {
    case 0:
        return OpenCommandLine();
    case 1:
        close();
        return;
    case 2:
        showMinimized();
        return;
    case 3:
        return fileView->DeselectAll(true);
    default:
        return;
    }
}

void TfMain::ShowContextMenu(const QPoint &at)
{
    if (InArchive())
        return mainMenu->ArchiveMenu()->popup(at);
    UpdateExtractToCaption();
    mainMenu->ContextMenu()->popup(at);
}

bool TfMain::CommandLineOpen() const
{
    return !commandBar->isHidden();
}

void TfMain::OpenCommandLine()
{
    if (statusBar()->isHidden() || CommandLineOpen())
        return;
    for (QWidget *panel : {static_cast<QWidget *>(entryPanel), static_cast<QWidget *>(findPanel),
                           static_cast<QWidget *>(selectionPanel),
                           static_cast<QWidget *>(diskInfo)})
        panel->hide();
    commandBar->show();
    mainMenu->SetEditKeys(false);
    commandBar->Start(commandLine.History());
}

void TfMain::LeaveCommandLine()
{
    if (!CommandLineOpen())
        return;
    commandBar->hide();
    entryPanel->show();
    diskInfo->show();
    UpdateStatus();
    UpdateFind(fileView->FindText);
    mainMenu->SetEditKeys(true);
    fileView->setFocus();
}

void TfMain::RunFunctionKey(int slot)
{
    const TFunctionEntry entry = ParseFunctionEntry(
        ini->ReadString(QLatin1String(key::FunctionSection), FunctionKeyName(slot), {}));
    if (entry.internal) {
        if (entry.keyword.compare(QLatin1String("refresh"), Qt::CaseInsensitive) == 0) {
            const TFile *focused = fileView->GetItemFocused();
            fileView->Refresh(focused ? focused->GetFullName() : QString(), true);
            return;
        }
        for (const TKeyword &k : keywords)
            if (entry.keyword.compare(QLatin1String(k.word), Qt::CaseInsensitive) == 0)
                return RunCommand(k.cmd);
        return;
    }
    if (entry.program.isEmpty())
        return;
    QStringList args;
    if (ExpandArgumentList(this, entry.parameters, PanelNames(), args))
        StartProgramIn(entry.program, args);
}

} // namespace kestrel
