#include "tools/splitcommands.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "text/strings.h"
#include "tools/join.h"
#include "tools/split.h"
#include "tools/splitformat.h"

namespace kestrel {

namespace {

void Refuse(QObject *owner, const QString &object, const QString &text)
{
    Ask().MessageBox(owner, AboutObject(object, text), LoadStr(512), MB_OK | MB_ICONERROR);
}

// The destination typed in the split dialog, in Windows form; empty (after
// saying why) when it is no folder.
QString DestinationFolder(QObject *owner, const QString &typed)
{
    const QString path = sys::FromTypedPath(typed.trimmed());
    const sys::DWORD attributes =
        path.isEmpty() ? sys::INVALID_FILE_ATTRIBUTES : sys::GetFileAttributes(path);
    if (attributes != sys::INVALID_FILE_ATTRIBUTES && (attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
        return sys::GetFullPathName(path);
    Refuse(owner, typed.trimmed(), QStringLiteral("There is no folder of this name."));
    return QString();
}

// The room left for the caller on the drive of path; true when it is not known.
bool Room(const QString &path, sys::UINT64 needed)
{
    const QString root = sys::ExtractFileDrive(sys::GetFullPathName(path)) + QLatin1Char('\\');
    sys::UINT64 freeToCaller = 0, total = 0, totalFree = 0;
    if (!sys::GetDiskFreeSpaceEx(root, &freeToCaller, &total, &totalFree))
        return true;
    return needed <= freeToCaller;
}

// The joined file must not take the place of what it is made from.
bool IsPartOfSet(const TJoinSet &set, const QString &output)
{
    const QString target = sys::GetFinalPathName(output);
    if (target.isEmpty())
        return false;
    QStringList parts;
    for (const TJoinPiece &piece : set.pieces)
        parts << piece.path;
    if (set.hasChecksums)
        parts << sys::JoinPath(set.folder, ChecksumName(set.stem));
    for (const QString &part : std::as_const(parts))
        if (sys::SameText(sys::GetFinalPathName(part), target))
            return true;
    return false;
}

} // namespace

bool RunSplitCommand(QObject *owner, const QString &folder, const QString &name, sys::UINT64 size)
{
    TSplitForm form;
    form.fileText = QStringLiteral("%1 (%2 bytes)").arg(name, ThousandsText(size));
    form.folder = folder;
    form.sizeText = SplitSizeTexts().value(PreselectedSizeIndex(size));
    QString destination;
    sys::UINT64 pieceSize = 0;
    // A size or folder that is no such thing is said, and the dialog comes again.
    while (destination.isEmpty() || pieceSize == 0) {
        if (!Ask().SplitOptions(owner, form))
            return false;
        pieceSize = ParseSizeText(form.sizeText);
        if (pieceSize == 0) {
            Refuse(owner, form.sizeText.trimmed(),
                   QStringLiteral("This is no piece size. Give a number of bytes, or of KB or "
                                  "MB (1 KB = 1000 bytes), for example \"1440 KB\"."));
            continue;
        }
        destination = DestinationFolder(owner, form.folder);
    }
    const TToolResult result =
        SplitFile(owner, sys::JoinPath(folder, name), destination, pieceSize);
    ReportToolResult(owner, result);
    return result.Done();
}

bool RunJoinCommand(QObject *owner, const QString &folder, const QString &name)
{
    const TJoinSet set = FindPieces(folder, NameStem(name));
    if (!set.readFailure.Done()) {
        ReportToolResult(owner, set.readFailure);
        return false;
    }
    if (set.pieces.isEmpty()) {
        Refuse(owner, sys::JoinPath(folder, PieceName(NameStem(name), 1)),
               QStringLiteral("There is no first piece to join."));
        return false;
    }
    if (Ask().MessageBox(owner,
                         QStringLiteral("Do you want to join %1 files (%2 bytes)?")
                             .arg(set.pieces.size())
                             .arg(ThousandsText(set.total)),
                         QStringLiteral("Confirm"), MB_YESNO | MB_ICONQUESTION) != mrYes)
        return false;
    QString output = sys::JoinPath(folder, set.OutputName());
    if (!Ask().SaveFileName(owner, LoadStr(594), QString(), output))
        return false;
    if (IsPartOfSet(set, output)) {
        Refuse(owner, output,
               QStringLiteral("The joined file cannot take the place of one of its pieces."));
        return false;
    }
    if (!Room(output, set.DataSize())) {
        Ask().MessageBox(owner, AboutObject(output, LoadStr(261)), LoadStr(512),
                         MB_OK | MB_ICONERROR);
        return false;
    }
    const TToolResult result = JoinFiles(owner, set, output);
    ReportToolResult(owner, result);
    return result.Done();
}

} // namespace kestrel
