// The main window's file tools: rename, character case, attributes and
// time, split and join. The work is the tools' own; here the panel shows
// what changed.

#include "app/mainwindow.h"
#include "app/settings.h"
#include "ops/changenotify.h"
#include "ops/completesound.h"
#include "panel/kfileview.h"
#include "tools/attributes.h"
#include "tools/charcase.h"
#include "tools/renamecommand.h"
#include "tools/splitcommands.h"

namespace kestrel {

void TfMain::WithoutNotification(const std::function<void()> &command)
{
    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    command();
    shChangeNotify->SetActive(watching);
}

void TfMain::Rename1Click()
{
    WithoutNotification([this] { AfterRenames(RunRenameCommand(this, *fileView)); });
}

// Everything that follows new names starts here, once per rename command.
// The folder's descriptions and the drive's tree information file are to
// follow the renamed entries from here too, before the panel lists the
// folder again, so that the entries keep their descriptions. The panel then
// shows the new names, the renamed entries still selected.
void TfMain::AfterRenames(const QList<TRenamed> &renamed)
{
    if (renamed.isEmpty())
        return;
    const TFile *focused = fileView->GetItemFocused();
    fileView->Refresh(focused ? focused->GetFullName() : QString(), true);
}

void TfMain::Attributes1Click()
{
    WithoutNotification([this] {
        if (RunAttributesCommand(this, *fileView))
            fileView->update();
    });
}

void TfMain::CharCaseClick(int tag)
{
    WithoutNotification([this, tag] {
        if (RunCharCaseCommand(this, *fileView, tag != 0))
            fileView->update();
    });
}

void TfMain::SplitFile1Click()
{
    const TFile *focused = fileView->GetItemFocused();
    if (fileView->OwnerData() || !focused || focused->Kind() != fkFile)
        return;
    const QString name = focused->GetFullName();
    if (RunSplitCommand(this, fileView->Folder(), name, focused->Size))
        PlayCompleteSound(ReadSetting(*ini, key::Sound));
    RefreshKeepingFocus(name);
}

void TfMain::JoinFiles1Click()
{
    const TFile *focused = fileView->GetItemFocused();
    if (fileView->OwnerData() || !focused || focused->Kind() != fkFile)
        return;
    const QString name = focused->GetFullName();
    if (RunJoinCommand(this, fileView->Folder(), name))
        PlayCompleteSound(ReadSetting(*ini, key::Sound));
    RefreshKeepingFocus(name);
}

} // namespace kestrel
