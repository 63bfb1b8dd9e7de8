#include "panel/filelisting.h"

#include "ops/errors.h"
#include "platform/names.h"
#include "platform/wildcard.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shell.h"

#include <QHash>
#include <QMap>
#include <QSet>

namespace kestrel {

static const QString Parent = QStringLiteral("..");
static const QString Backslash = QStringLiteral("\\");

// "C:\Data" of "C:\Data\Sub"; a root of a folder just below it.
static QString ParentFolder(const QString &folder)
{
    const QString parent = sys::ExtractFilePath(folder);
    return parent.size() > 3 && parent.endsWith(Backslash) ? parent.chopped(1) : parent;
}

bool TFileListing::SetFolder(const QString &path)
{
    HideToolTip();
    // What was typed belongs to the listing being left.
    EndQuickSearch();
    // Found mode ends on any move; ".." goes back where it started, or to
    // the root when that folder has gone.
    const bool leavingFound = found;
    found = false;
    if (leavingFound && path == Parent)
        return SetFolder(folderBeforeFound) || SetFolder(folder);
    if (ownerData) {
        folder = path;
        if (OnGetTitle) {
            QString title = Title;
            OnGetTitle(title);
            SetTitle(title);
        }
        Invalidate();
        return true;
    }
    const QString target = PathFromFolder(path);
    if (!sys::SetCurrentDirectory(target)) {
        found = leavingFound;
        return false;
    }
    if (!leavingFound && sys::IsRoot(folder) && (path == Parent || path == Backslash))
        return true;

    QString focusName;
    if (path == Parent) {
        focusName = sys::ExtractFileName(folder);
    } else if (path == Backslash) {
        // The first-level folder below the root ("C:\" or "\\server\share\").
        focusName = folder.mid(drive.size() + 1).section(QLatin1Char('\\'), 0, 0);
    }
    // The folder is kept as it was reached, as a shell's cd keeps it: a link
    // to a folder stays in the path, so ".." returns to the folder holding
    // the link. Only the spelling of the names is taken from the disk.
    const QString entered = sys::GetLongPathName(target);
    folder = entered.isEmpty() ? sys::GetCurrentDirectory() : entered;
    drive = sys::ExtractFileDrive(folder);
    RememberFolder();
    if (sys::IsRoot(folder)) {
        QString bare = folder;
        bare.chop(1);
        SetTitle(QStringLiteral("%1(%2)").arg(DriveLabelText(folder), bare));
    } else {
        SetTitle(sys::ExtractFileName(folder));
    }
    Refresh(focusName, false);
    Invalidate();
    if (OnChangeDir)
        OnChangeDir();
    return true;
}

QString TFileListing::PathFromFolder(const QString &path) const
{
    if (folder.isEmpty() || path.isEmpty() || path.contains(QLatin1Char(':')) ||
        path.startsWith(QLatin1String("\\\\")))
        return path;
    if (path.startsWith(QLatin1Char('\\')) || path.startsWith(QLatin1Char('/')))
        return drive + path;
    return sys::JoinPath(folder, path);
}

void TFileListing::RememberFolder()
{
    const QString root = drive + Backslash;
    const QString key = root + QLatin1Char('=');
    for (QString &line : LastDirs) {
        if (line.section(QLatin1Char('='), 0, 0).compare(root, Qt::CaseInsensitive) == 0) {
            line = line.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') + folder;
            return;
        }
    }
    LastDirs.append(key + folder);
}

void TFileListing::SetDrive(const QString &driveText)
{
    if (driveText.isEmpty())
        return;
    QString root;
    if (driveText[0].isLetter())
        root = QString(driveText[0].toUpper()) + QLatin1String(":\\");
    else
        root = driveText.endsWith(Backslash) ? driveText : driveText + Backslash;
    const unsigned type = sys::GetDriveType(root);
    const bool reread = type == sys::DRIVE_REMOVABLE || type == sys::DRIVE_CDROM;
    if (!reread && sys::ExtractFileDrive(root).compare(drive, Qt::CaseInsensitive) == 0)
        return;
    if (!sys::GetVolumeInformation(root, nullptr, nullptr))
        return;
    QString remembered;
    for (const QString &line : LastDirs) {
        if (line.section(QLatin1Char('='), 0, 0).compare(root, Qt::CaseInsensitive) == 0) {
            remembered = line.section(QLatin1Char('='), 1);
            break;
        }
    }
    if (remembered.isEmpty() || !sys::SetCurrentDirectory(remembered)) {
        if (!sys::SetCurrentDirectory(root))
            return;
        remembered = root;
    }
    SetFolder(remembered);
}

void TFileListing::Refresh(const QString &focusName, bool keepSelection)
{
    QStringList selected;
    if (keepSelection) {
        for (int i = 0; i < Files.Count(); ++i) {
            if (Files[i]->Selected)
                selected.append(Files[i]->GetFullName());
        }
    }
    Files.BeginUpdate();
    SelCount = 0;
    SelSize = 0;
    if (ownerData) {
        GetOwnerData();
    } else if (found) {
        QStringList names;
        for (int i = 0; i < Files.Count(); ++i)
            if (!Files[i]->IsParent())
                names.append(Files[i]->GetFullName());
        ScanFound(names);
    } else {
        ScanFiles();
    }
    if (!focusName.isEmpty())
        FocusedIndex = Files.IndexOf(focusName);
    if (!selected.isEmpty()) {
        // One pass over the listing instead of one look-up per name.
        QHash<QString, int> byName;
        for (int i = Files.Count() - 1; i >= 0; --i)
            byName.insert(sys::CaseKey(Files[i]->GetFullName()), i);
        for (const QString &name : selected) {
            const auto it = byName.constFind(sys::CaseKey(name));
            if (it != byName.constEnd())
                Select(it.value());
        }
    }
    if (!ownerData && !found)
        LoadDescript();
    Files.EndUpdate();
    FireChangeSelected();
}

QList<TFileListing::Found> TFileListing::ReadFolder(bool atRoot) const
{
    QList<Found> found;
    sys::WIN32_FIND_DATA data;
    const sys::HANDLE search =
        sys::FindFirstFile(sys::JoinPath(folder, QStringLiteral("*.*")), data);
    if (search == sys::INVALID_HANDLE_VALUE)
        return found;
    do {
        const QString &name = data.cFileName;
        if (name == QLatin1String(".") || (atRoot && name == Parent))
            continue;
        if (name != Parent && !viewHidden && (data.dwFileAttributes & sys::FILE_ATTRIBUTE_HIDDEN))
            continue;
        found.append({name, data.cAlternateFileName,
                      (quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                      data.dwFileAttributes, data.ftLastWriteTime});
    } while (sys::FindNextFile(search, data));
    sys::FindClose(search);
    return found;
}

void TFileListing::ScanFiles()
{
    const bool atRoot = sys::IsRoot(folder);
    Files.BeginUpdate();
    Files.Clear();
    SelCount = 0;
    SelSize = 0;
    // The folder is read once; the folder pass and each mask's file pass then
    // pick from it in directory order, as separate searches would.
    const QList<Found> found = ReadFolder(atRoot);
    for (const Found &f : found) {
        if (f.attributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            Files.AddFile(f.name, 0, f.attributes, f.time)->ShortName = f.shortName;
    }
    QStringList masks;
    for (const QString &mask : filter.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = mask.trimmed();
        // A mask names files of this folder only, never a path elsewhere.
        if (!trimmed.isEmpty() && !trimmed.contains(QLatin1Char('\\')) &&
            !trimmed.contains(QLatin1Char('/')) && !trimmed.contains(QLatin1Char(':')))
            masks.append(trimmed);
    }
    // A file matching several masks is listed once, under its first mask.
    QList<bool> listed(found.size(), false);
    for (const QString &mask : masks) {
        for (qsizetype i = 0; i < found.size(); ++i) {
            const Found &f = found[i];
            if (listed[i] || (f.attributes & sys::FILE_ATTRIBUTE_DIRECTORY) ||
                !sys::MatchesMask(f.name, mask))
                continue;
            listed[i] = true;
            Files.AddFile(f.name, f.size, f.attributes, f.time)->ShortName = f.shortName;
        }
    }
    ScanDrives();
    if (sortType != fstNone)
        Files.Sort(sortType, descend);
    FocusedIndex = 0;
    Files.EndUpdate();
}

QString TFileListing::DriveLabelText(const QString &root)
{
    const unsigned type = sys::GetDriveType(root);
    if (type == sys::DRIVE_REMOVABLE)
        return QStringLiteral("Floppy");
    QString label;
    if (!sys::GetVolumeInformation(root, &label, nullptr))
        label.clear();
    if (label.isEmpty()) {
        if (type == sys::DRIVE_FIXED)
            return QStringLiteral("Local");
        if (type == sys::DRIVE_CDROM)
            return QStringLiteral("CDROM");
    }
    return label;
}

void TFileListing::ScanDrives()
{
    Files.BeginUpdate();
    const sys::DWORD mask = sys::GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(mask & (sys::DWORD(1) << bit)))
            continue;
        const QString letter(QChar(u'A' + bit));
        TFile *entry = Files.AddFile(letter, 0, FILE_ATTRIBUTE_DRIVE, sys::FILETIME());
        entry->Ext = DriveLabelText(letter + QLatin1String(":\\"));
    }
    TFile *network = Files.AddFile(QStringLiteral("/"), 0, FILE_ATTRIBUTE_DRIVE, sys::FILETIME());
    network->Ext = panelstr::Network;
    network->Size = 4;
    Files.EndUpdate();
}

void TFileListing::GetOwnerData()
{
    Files.BeginUpdate();
    bool addDrives = true;
    if (OnOwnerData)
        OnOwnerData(addDrives);
    if (addDrives)
        ScanDrives();
    FocusedIndex = 0;
    Files.EndUpdate();
}

void TFileListing::SetOwnerData(bool value)
{
    ownerData = value;
    if (value)
        found = false;
}

bool TFileListing::ShowFound(const QString &root, const QStringList &names)
{
    HideToolTip();
    EndQuickSearch();
    if (!sys::SetCurrentDirectory(root))
        return false;
    // Fed again from a found listing: ".." still leads to the folder before.
    if (!found)
        folderBeforeFound = folder;
    found = true;
    folder = root;
    drive = sys::ExtractFileDrive(root);
    HasDescript = false;
    SetTitle(QStringLiteral("Found in %1")
                 .arg(sys::ExtractFileName(root).isEmpty() ? root : sys::ExtractFileName(root)));
    Files.BeginUpdate();
    SelCount = 0;
    SelSize = 0;
    ScanFound(names);
    Files.EndUpdate();
    FireChangeSelected();
    Invalidate();
    return true;
}

void TFileListing::ScanFound(const QStringList &names)
{
    Files.BeginUpdate();
    Files.Clear();
    SelCount = 0;
    SelSize = 0;
    // ".." shows the root's own date, as a folder's ".." shows its folder's.
    sys::FILETIME rootTime;
    if (!sys::IsRoot(folder)) {
        const QString rootName = sys::ExtractFileName(folder);
        sys::ForEachEntry(ParentFolder(folder), [&](const sys::WIN32_FIND_DATA &data) {
            if (data.cFileName != rootName)
                return true;
            rootTime = data.ftLastWriteTime;
            return false;
        });
    }
    Files.AddFile(Parent, 0, sys::FILE_ATTRIBUTE_DIRECTORY, rootTime);
    // Each folder is read once for all of its entries.
    QMap<QString, QList<qsizetype>> byFolder;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const qsizetype cut = names[i].lastIndexOf(QLatin1Char('\\'));
        byFolder[cut < 0 ? QString() : names[i].left(cut)].append(i);
    }
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        const QString prefix = it.key().isEmpty() ? QString() : it.key() + Backslash;
        QSet<QString> wanted;
        for (const qsizetype i : it.value())
            wanted.insert(names[i].mid(prefix.size()));
        sys::ForEachEntry(sys::JoinPath(folder, it.key()), [&](const sys::WIN32_FIND_DATA &data) {
            if (wanted.remove(data.cFileName))
                Files
                    .AddFile(prefix + data.cFileName,
                             (quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                             data.dwFileAttributes, data.ftLastWriteTime)
                    ->ShortName = data.cAlternateFileName.isEmpty()
                                      ? QString()
                                      : prefix + data.cAlternateFileName;
            return !wanted.isEmpty();
        });
    }
    if (sortType != fstNone)
        Files.Sort(sortType, descend);
    FocusedIndex = 0;
    Files.EndUpdate();
}

void TFileListing::SetFilter(const QString &text)
{
    if (text.compare(filter, Qt::CaseInsensitive) == 0)
        return;
    filter = text;
    Refresh(QString(), false);
}

void TFileListing::SetViewHidden(bool value)
{
    if (value == viewHidden)
        return;
    viewHidden = value;
    const TFile *focused = GetItemFocused();
    Refresh(focused && focused->Kind() != fkDrive ? sys::ExtractFileName(GetFileName()) : QString(),
            false);
}

void TFileListing::SetSortType(TFileSortType type)
{
    if (type == sortType)
        return;
    sortType = type;
    if (type != fstNone) {
        Sort();
        Invalidate();
        return;
    }
    const TFile *focused = GetItemFocused();
    Refresh(focused ? focused->GetFullName() : QString(), true);
}

void TFileListing::SetDescend(bool value)
{
    if (value == descend)
        return;
    descend = value;
    if (sortType != fstNone) {
        Sort();
        Invalidate();
    }
}

void TFileListing::Open()
{
    bool handled = false;
    if (OnOpen)
        OnOpen(handled);
    if (handled)
        return;
    const TFile *focused = GetItemFocused();
    if (!focused)
        return;
    // What cannot be opened is said, with its name; nothing happening would
    // leave the user guessing.
    const QString path = focused->IsParent() ? ParentFolder(folder) : GetFileName();
    switch (focused->Kind()) {
    case fkFile:
        if (OnShellOpen && !OnShellOpen(path))
            ShowError(int(sys::GetLastError()), path, LoadStr(512), true);
        break;
    case fkFolder:
        if (!SetFolder(focused->Name))
            ShowError(int(sys::GetLastError()), path, LoadStr(512), true);
        break;
    case fkDrive:
        SetDrive(focused->Name);
        break;
    }
}

QString TFileListing::GetFileName() const
{
    const TFile *focused = GetItemFocused();
    if (!focused)
        return QString();
    if (focused->Kind() == fkDrive)
        return focused->GetFullName();
    return sys::JoinPath(folder, focused->GetFullName());
}

QString TFileListing::GetFileType(TFile &file) const
{
    if (!file.FileType.isEmpty())
        return file.FileType;
    QString type;
    if (file.Kind() == fkFolder && file.IsParent())
        type = panelstr::ParentFolder;
    else if (file.Kind() == fkDrive)
        type = file.Name == QLatin1String("/") ? panelstr::NetworkPlaces
                                               : sys::GetTypeName(file.GetFullName(), true, false);
    else if (file.Kind() == fkFolder)
        type = ownerData ? panelstr::FileFolder
                         : sys::GetTypeName(sys::JoinPath(folder, file.Name), true, false);
    else
        type = sys::GetTypeName(file.GetFullName(), false, true);
    file.SetFileType(type);
    return type;
}

} // namespace kestrel
