#include "tools/split.h"

#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "text/strings.h"
#include "tools/filehandle.h"
#include "tools/sparsewriter.h"
#include "tools/splitformat.h"

#include <QCoreApplication>

#include <zlib.h>

#include <vector>

namespace kestrel {

namespace {

// Large blocks: each passes once through memory for its CRC.
constexpr sys::DWORD blockSize = 1 << 20;

bool HasControl(const QString &name)
{
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

// One run of SplitFile; everything it created goes again unless it completes.
class TSplitRun {
public:
    TSplitRun(QObject *owner, const QString &source, const QString &folder, sys::UINT64 pieceSize)
        : owner(owner), source(source), folder(folder), pieceSize(pieceSize)
    {
    }
    ~TSplitRun()
    {
        if (!complete)
            for (const QString &path : std::as_const(created))
                sys::DeleteFile(path);
    }

    TToolResult Run();

private:
    TToolResult CheckNamesFree(const QString &stem, sys::UINT64 count) const;
    TToolResult WritePiece(int number, const QString &path, sys::UINT64 dataSize);
    TToolResult WriteChecksumFile(const QString &path);

    QObject *owner;
    QString source;
    QString folder;
    sys::UINT64 pieceSize;
    TFileHandle in;
    sys::UINT64 total = 0;
    std::vector<char> buffer;
    QStringList created;
    QList<TPieceSum> sums;
    bool complete = false;
};

TToolResult TSplitRun::Run()
{
    const QString name = sys::ExtractFileName(source);
    if (pieceSize == 0)
        return {int(sys::ERROR_INVALID_PARAMETER), QString(),
                QStringLiteral("A piece must hold at least one byte.")};
    // The checksum file is a list of lines, which such a name would break.
    if (HasControl(name))
        return {int(sys::ERROR_INVALID_NAME), source,
                QStringLiteral("A name with control characters cannot be listed in a checksum "
                               "file; rename the file first.")};
    const sys::DWORD folderAttributes = sys::GetFileAttributes(folder);
    if (folderAttributes == sys::INVALID_FILE_ATTRIBUTES ||
        !(folderAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
        if (folderAttributes != sys::INVALID_FILE_ATTRIBUTES)
            sys::SetLastError(sys::ERROR_PATH_NOT_FOUND);
        return LastFailure(folder);
    }
    in.Reset(sys::CreateFile(source, sys::GENERIC_READ, sys::FILE_SHARE_READ, sys::OPEN_EXISTING,
                             sys::FILE_ATTRIBUTE_NORMAL));
    if (!in.Valid())
        return LastFailure(source);
    total = sys::GetFileSize64(in.Get());
    if (total == sys::INVALID_FILE_SIZE64)
        return LastFailure(source);
    const sys::UINT64 count = total == 0 ? 1 : (total - 1) / pieceSize + 1;
    if (count > MaxPieces)
        return {int(sys::ERROR_INVALID_PARAMETER), source,
                QStringLiteral("Pieces of %1 bytes would make %2 pieces; choose a larger size.")
                    .arg(ThousandsText(pieceSize), ThousandsText(count))};
    const QString stem = sys::JoinPath(folder, NameStem(name));
    if (TToolResult taken = CheckNamesFree(stem, count); !taken.Done())
        return taken;

    buffer.resize(blockSize);
    TCopyProgress &progress = CopyProgress();
    progress.Open(true, LoadStr(598), int(count), total, owner);
    progress.SetFrom(FolderDisplayName(sys::ExtractFilePath(AbsolutePath(source))));
    progress.SetTo(FolderDisplayName(AbsolutePath(folder)));
    TToolResult result;
    for (int number = 1; number <= int(count) && result.Done(); ++number) {
        const sys::UINT64 done = sys::UINT64(number - 1) * pieceSize;
        result = WritePiece(number, PieceName(stem, number), std::min(pieceSize, total - done));
    }
    if (result.Done()) {
        // A source that grew while it was read would be joined short.
        sys::DWORD more = 0;
        char probe;
        if (!sys::ReadFile(in.Get(), &probe, 1, more))
            result = LastFailure(source);
        else if (more > 0)
            result = {int(sys::ERROR_INVALID_DATA), source,
                      QStringLiteral("The file changed while it was split.")};
    }
    if (result.Done())
        result = WriteChecksumFile(ChecksumName(stem));
    progress.Close();
    complete = result.Done();
    return result;
}

// Every name the run will create is free, so that a taken one stops it
// before anything is written.
TToolResult TSplitRun::CheckNamesFree(const QString &stem, sys::UINT64 count) const
{
    const QString stemName = sys::ExtractFileName(stem);
    const QString checksumName = ChecksumName(stemName);
    QString taken;
    const bool listed = sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &entry) {
        const int number = PieceNumber(stemName, entry.cFileName);
        if ((number > 0 && sys::UINT64(number) <= count) ||
            entry.cFileName.compare(checksumName, Qt::CaseInsensitive) == 0)
            taken = entry.cFileName;
        return taken.isEmpty();
    });
    if (!listed)
        return LastFailure(folder);
    if (taken.isEmpty())
        return {};
    return {int(sys::ERROR_FILE_EXISTS), sys::JoinPath(folder, taken),
            QStringLiteral("A file of this name is in the way. Move it, or split into "
                           "another folder.")};
}

TToolResult TSplitRun::WritePiece(int number, const QString &path, sys::UINT64 dataSize)
{
    TCopyProgress &progress = CopyProgress();
    progress.SetStartedCount(number);
    progress.SetFileName(sys::ExtractFileName(path));
    QCoreApplication::processEvents();
    if (progress.Cancelled())
        return {resCancelled};

    TFileHandle out(
        sys::CreateFile(path, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_ARCHIVE));
    if (!out.Valid())
        return LastFailure(path);
    created.append(path);
    TSparseWriter writer(out.Get());
    quint32 crc = quint32(crc32(0, nullptr, 0));
    if (number == 1) {
        const QByteArray header = PieceHeader(sys::ExtractFileName(source), total);
        crc = quint32(
            crc32(crc, reinterpret_cast<const Bytef *>(header.constData()), uInt(header.size())));
        if (!writer.Write(header.constData(), sys::DWORD(header.size())))
            return LastFailure(path);
    }
    sys::UINT64 written = 0;
    while (written < dataSize) {
        const sys::DWORD want = sys::DWORD(std::min<sys::UINT64>(blockSize, dataSize - written));
        sys::DWORD got = 0;
        if (!sys::ReadFile(in.Get(), buffer.data(), want, got))
            return LastFailure(source);
        if (got == 0)
            return {int(sys::ERROR_INVALID_DATA), source,
                    QStringLiteral("The file changed while it was split.")};
        crc = quint32(crc32(crc, reinterpret_cast<const Bytef *>(buffer.data()), uInt(got)));
        if (!writer.Write(buffer.data(), got))
            return LastFailure(path);
        written += got;
        progress.SetProgress(progress.Progress() + got);
        if (progress.Cancelled())
            return {resCancelled};
    }
    if (!writer.Finish() || !out.Close())
        return LastFailure(path);
    sums.append({sys::ExtractFileName(path), written, crc, true, true});
    return {};
}

TToolResult TSplitRun::WriteChecksumFile(const QString &path)
{
    const QByteArray text = ChecksumFileText(total, sums);
    TFileHandle out(
        sys::CreateFile(path, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_ARCHIVE));
    if (!out.Valid())
        return LastFailure(path);
    created.append(path);
    TSparseWriter writer(out.Get());
    if (!writer.Write(text.constData(), sys::DWORD(text.size())) || !out.Close())
        return LastFailure(path);
    return {};
}

} // namespace

TToolResult SplitFile(QObject *owner, const QString &source, const QString &folder,
                      sys::UINT64 pieceSize)
{
    const TOperationGuard guard;
    TSplitRun run(owner, source, folder, pieceSize);
    return run.Run();
}

} // namespace kestrel
