// The listing's descriptions: loaded from and saved to the folder's
// descript.dat, and carried along when entries are renamed, deleted, copied
// or moved.

#include "panel/descriptfile.h"
#include "panel/filelisting.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

#include <QHash>

namespace kestrel {

namespace {

// Entries that can carry a description: neither drives nor "..".
bool Describable(const TFile &file)
{
    return file.Kind() != fkDrive && !file.IsParent();
}

bool AnyDescribed(const TFiles &files)
{
    for (int i = 0; i < files.Count(); ++i) {
        if (Describable(*files[i]) && !files[i]->Description.isEmpty())
            return true;
    }
    return false;
}

// The describable entries by their exact names (a.txt and A.TXT are two).
QHash<QString, TFile *> ByName(const TFiles &files)
{
    QHash<QString, TFile *> names;
    for (int i = files.Count() - 1; i >= 0; --i) {
        if (Describable(*files[i]))
            names.insert(files[i]->GetFullName(), files[i]);
    }
    return names;
}

} // namespace

void TFileListing::LoadDescript()
{
    HasDescript = false;
    if (!ownerData && !found && OnDescribe && OnDescribe())
        return;
    TDescriptFile file(folder);
    if (ownerData || found || folder.isEmpty() || !file.Read() || file.LineCount() == 0)
        return;
    for (int i = 0; i < Files.Count(); ++i) {
        TFile &entry = *Files[i];
        if (!Describable(entry))
            continue;
        if (const auto text = file.Get(entry.GetFullName())) {
            entry.SetDescription(*text);
            HasDescript = true;
        }
    }
}

bool TFileListing::SaveDescript(const QStringList &gone)
{
    if (ownerData || found)
        return true;
    TDescriptFile file(folder);
    if (!file.Read())
        return false;
    for (int i = 0; i < Files.Count(); ++i) {
        const TFile &entry = *Files[i];
        if (!Describable(entry))
            continue;
        const QString name = entry.GetFullName();
        // Lines already right are left as they are, in their own spelling.
        if (file.Get(name).value_or(QString()) != entry.Description)
            file.Set(name, entry.Description);
    }
    const QHash<QString, TFile *> listed = ByName(Files);
    for (const QString &name : gone) {
        if (!listed.contains(name))
            file.Erase(name);
    }
    HasDescript = AnyDescribed(Files);
    return file.Write();
}

bool TFileListing::DeleteAllDescript()
{
    if (ownerData || found)
        return true;
    TDescriptFile file(folder);
    file.Parse(QByteArray());
    if (!file.Write())
        return false;
    for (int i = 0; i < Files.Count(); ++i)
        Files[i]->SetDescription(QString());
    HasDescript = false;
    return true;
}

bool TFileListing::DescriptRenamed(const QString &oldName, const QString &newName)
{
    if (ownerData || found || oldName == newName)
        return true;
    TDescriptFile file(folder);
    if (!file.Read())
        return false;
    TFile *entry = ByName(Files).value(newName);
    // The line under the old name is the description; a listing read again
    // meanwhile may show a stale line of the new name instead.
    const std::optional<QString> old = file.Get(oldName);
    const QString text = old ? *old : entry ? entry->Description : QString();
    if (text.isEmpty() && !file.Get(newName))
        return true;
    file.Rename(oldName, newName);
    file.Set(newName, text);
    if (!file.Write())
        return false;
    if (entry)
        entry->SetDescription(text);
    HasDescript = AnyDescribed(Files);
    return true;
}

bool TFileListing::DescriptDeleted(const QStringList &names)
{
    if (ownerData || found || names.isEmpty())
        return true;
    TDescriptFile file(folder);
    if (!file.Read())
        return false;
    const QHash<QString, TFile *> listed = ByName(Files);
    for (const QString &name : names) {
        file.Erase(name);
        if (TFile *entry = listed.value(name))
            entry->SetDescription(QString());
    }
    HasDescript = AnyDescribed(Files);
    return file.Write();
}

bool TFileListing::DescriptCopied(const QString &destFolder, const QList<TDescriptCopy> &done,
                                  bool move)
{
    if (ownerData || found || done.isEmpty())
        return true;
    TDescriptFile source(folder);
    if (!source.Read())
        return false;
    const QHash<QString, TFile *> listed = ByName(Files);
    QList<std::pair<TDescriptCopy, QString>> carried;
    for (const TDescriptCopy &item : done) {
        const TFile *entry = listed.value(item.source);
        QString text = entry ? entry->Description : QString();
        if (text.isEmpty())
            text = source.Get(item.source).value_or(QString());
        if (!text.isEmpty())
            carried.append({item, text});
    }
    if (carried.isEmpty())
        return true;
    // Within one folder (a copy under another name) there is one file.
    const bool sameFolder =
        sys::SameText(sys::GetFullPathName(destFolder), sys::GetFullPathName(folder));
    TDescriptFile other(destFolder);
    TDescriptFile &dest = sameFolder ? source : other;
    // A destination file that cannot be read would lose its lines.
    if (!sameFolder && !dest.Read())
        return false;
    for (const auto &[item, text] : carried) {
        if (move)
            source.Erase(item.source);
        dest.Set(item.target, text);
    }
    // The destination first: should it fail, the source keeps its lines.
    if (!dest.Write())
        return false;
    for (const auto &[item, text] : carried) {
        if (TFile *entry = listed.value(item.source); entry && move)
            entry->SetDescription(QString());
        if (TFile *entry = listed.value(item.target); entry && sameFolder)
            entry->SetDescription(text);
    }
    HasDescript = AnyDescribed(Files);
    return !move || sameFolder || source.Write();
}

} // namespace kestrel
