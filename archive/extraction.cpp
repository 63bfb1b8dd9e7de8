#include "archive/extraction.h"

#include "archive/archivestrings.h"
#include "archive/archivetype.h"
#include "archive/handlers.h"
#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "text/strings.h"

#include <QCoreApplication>

namespace kestrel {

bool TArchiveExtraction::ExtractArchive(const QString &archivePath, const QString &destination,
                                        const QStringList &names)
{
    const std::unique_ptr<TArchive> archive = CreateArchiveHandler(ArchiveTypeOf(archivePath));
    if (!archive)
        return false;
    archive->Owner = owner;
    archive->SetFileName(archivePath);
    ExtractWith(*archive, destination, names);
    return true;
}

void TArchiveExtraction::ExtractWith(TArchive &archive, const QString &destination,
                                     const QStringList &names)
{
    if (!names.isEmpty())
        archive.Names = names;
    archive.OnProgress = [this](TArchive &sender, int kind, sys::INT64 amount,
                                const QString &name) { Progress(sender, kind, amount, name); };
    archive.OnChangeVolume = [this](TArchive &, const QString &volume, int &result) {
        ChangeVolume(volume, result);
    };
    archive.OnFileExists = [this](TArchive &, const TFile &entry, int &mode, QString &target) {
        FileExists(entry, mode, target);
    };
    if ((keptMode & feAll) && (keptMode & (feOverwrite | feSkip)))
        archive.OverwriteMode = keptMode;
    itemCount = 0;
    archive.Extract(destination);
    keptMode = archive.OverwriteMode;
    if (windowOpen)
        CopyProgress().Close();
    windowOpen = false;
}

void TArchiveExtraction::ExtractFiles(const QStringList &paths, const QString &destination,
                                      bool toFolders)
{
    for (const QString &path : paths) {
        if (ArchiveTypeOf(path) == atNone)
            continue;
        QString target = destination;
        if (toFolders) {
            target = sys::ExtractFilePath(path) + ArchiveBaseName(path);
            sys::CreateDirectory(target);
        }
        ExtractArchive(path, target, {});
    }
}

void TArchiveExtraction::Progress(TArchive &archive, int kind, sys::INT64 amount,
                                  const QString &name)
{
    switch (kind) {
    case apkItem:
        if (windowOpen) {
            CopyProgress().SetFileName(
                QStringLiteral("%1 (%2 bytes)").arg(name, ThousandsText(sys::UINT64(amount))));
            CopyProgress().SetStartedCount(CopyProgress().StartedCount() + 1);
        }
        break;
    case apkBytes:
        if (windowOpen)
            CopyProgress().SetProgress(CopyProgress().Progress() + sys::UINT64(amount));
        break;
    case apkEnd:
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        break;
    case apkItemCount:
        itemCount = int(amount);
        break;
    case apkByteTotal:
        // The window opens once the totals are known, before the first item.
        if (!windowOpen) {
            CopyProgress().Open(true, ArchiveStr(526), itemCount, sys::UINT64(amount), owner);
            windowOpen = true;
        }
        break;
    default:
        break;
    }
    if (windowOpen && CopyProgress().Cancelled())
        archive.Cancel = true;
}

void TArchiveExtraction::ChangeVolume(const QString &volumeName, int &result)
{
    if (result == 1) {
        if (windowOpen)
            CopyProgress().SetFileName(volumeName);
        return;
    }
    const TOperationGuard guard;
    const QString text = ArchiveStr(525).replace(QLatin1String("%s"), volumeName);
    if (Ask().MessageBox(owner, text, LoadStr(512), MB_YESNO | MB_ICONERROR) == mrYes)
        result = 1;
}

void TArchiveExtraction::FileExists(const TFile &entry, int &mode, QString &targetPath)
{
    if (mode & feAll)
        return;
    TListedItem item;
    item.name = entry.GetFullName();
    item.size = entry.Size;
    item.time = entry.Time;
    if (windowOpen)
        CopyProgress().PauseTimer();
    mode = int(AskFileExists(owner, item, targetPath));
    if (windowOpen)
        CopyProgress().RestartTimer();
}

QString ExtractToCaption(const QString &focusedFileName, int markedCount)
{
    if (markedCount > 0)
        return ArchiveStr(1101);
    if (focusedFileName.isEmpty())
        return ArchiveStr(1100);
    return ArchiveStr(1100) + QStringLiteral(" \"") + ArchiveBaseName(focusedFileName) +
           QLatin1Char('"');
}

} // namespace kestrel
