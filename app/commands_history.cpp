// Back and Forward through the folder history, the address box and the
// favourites.

#include "app/favorites.h"
#include "app/mainwindow.h"
#include "app/navigationbar.h"
#include "app/organizefav.h"
#include "app/stringhistory.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/qtask.h"
#include "panel/kfileview.h"
#include "text/strings.h"

#include "platform/errors.h"

namespace kestrel {

void TfMain::SetUpNavigation()
{
    navigation->OnBack = [this] { RunCommand(TCmd::Back); };
    navigation->OnForward = [this] { RunCommand(TCmd::Forward); };
    navigation->OnGo = [this](const QString &folder) { GoTo(folder); };
    navigation->OnTyped = [this](const QString &text) {
        const QString folder = text.trimmed();
        if (!folder.isEmpty())
            GoTo(folder);
        fileView->setFocus();
    };
    navigation->OnDrive = [this](QChar drive) {
        CloseArchive();
        fileView->SetDrive(QString(drive) + QLatin1Char(':'));
        fileView->setFocus();
    };
    navigation->OnNetwork = [this] { Network1Click(); };
    navigation->Favorites = [] { return LoadFavorites(FavoritesFile()); };
    navigation->OnAddFavorite = [this] { AddToFavorites1Click(); };
    navigation->OnOrganizeFavorites = [this] { OrganizeFavorites1Click(); };
    // Tab goes from the panel to the address box (Shift+Tab back).
    setTabOrder(fileView, navigation->Address());
}

// Every folder the panel changes to is recorded, except those reached by
// Back or Forward and the inside of an archive. Coming back to the folder
// already current (closing an archive) adds no second entry.
void TfMain::RecordFolder()
{
    const QString folder = fileView->Folder();
    navigation->ShowFolder(folder);
    if (historyMove || InArchive() || history->Get(history->Current()) == folder)
        return;
    history->Add(folder);
}

void TfMain::HistoryStep(bool back)
{
    // A found listing is no step of the history: Back leaves it for the
    // folder it was fed in.
    if (back && fileView->FoundMode()) {
        fileView->SetFolder(QStringLiteral(".."));
        return;
    }
    if (back ? !history->CanBack() : !history->CanForward())
        return;
    const QString folder = back ? history->Back() : history->Forward();
    historyMove = true;
    const bool entered = SetFolder(folder);
    // Cleared whatever the outcome: a folder that is gone changes nothing,
    // and the next real change must still be recorded.
    historyMove = false;
    if (!entered)
        ShowError(int(sys::GetLastError()), folder, LoadStr(512), true);
}

void TfMain::GoTo(const QString &folder)
{
    if (!SetFolder(folder))
        ShowError(int(sys::GetLastError()), folder, LoadStr(512), true);
}

void TfMain::GoFavorite(int index)
{
    // Fewer favourites than the key's number: the key does nothing.
    const QList<TFavorite> favorites = LoadFavorites(FavoritesFile());
    if (index >= 0 && index < favorites.size())
        GoTo(favorites[index].path);
}

void TfMain::AddToFavorites1Click()
{
    const QString caption = QStringLiteral("Add Favorites");
    const QString folder = DiskFolder();
    QString name = FavoriteNameFor(folder);
    if (Ask().GetString(this, caption,
                        QLatin1Char('"') + folder + QStringLiteral("\"\n\nDisplay Name"), name,
                        true, false) != mrOk ||
        !AcceptFavorite(this, {name, folder}, caption))
        return;
    const QString file = FavoritesFile();
    if (!AppendFavorite(file, {name, folder}))
        ShowError(int(sys::GetLastError()), file, LoadStr(512), true);
}

void TfMain::OrganizeFavorites1Click()
{
    TfOrganizeFav dialog(DialogParent(this), FavoritesFile(), DiskFolder());
    ExecDialog(dialog, this);
}

} // namespace kestrel
