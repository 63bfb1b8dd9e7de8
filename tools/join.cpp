#include "tools/join.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/statefile.h"
#include "text/strings.h"
#include "tools/filehandle.h"
#include "tools/sparsewriter.h"

#include <QCoreApplication>
#include <QMap>

#include <zlib.h>

#include <vector>

namespace kestrel {

namespace {

// Every byte passes once through memory, for its CRC.
constexpr sys::DWORD readBlock = 1 << 20;
// A checksum file is a few lines a piece; anything larger is no such file.
constexpr sys::UINT64 maxChecksumFile = 16 << 20;
// Problems listed by name before the rest are only counted.
constexpr int maxListed = 12;

TToolResult Changed(const QString &piece)
{
    return {int(sys::ERROR_INVALID_DATA), piece,
            QStringLiteral("The piece changed while it was being read.")};
}

sys::HANDLE OpenPiece(const QString &path)
{
    return sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ, sys::OPEN_EXISTING,
                           sys::FILE_ATTRIBUTE_NORMAL);
}

// Up to size bytes from the start of a file, fewer only at its end.
bool ReadStart(const QString &path, int size, QByteArray &data)
{
    TFileHandle in(OpenPiece(path));
    if (!in.Valid())
        return false;
    data.resize(size);
    qsizetype have = 0;
    while (have < size) {
        sys::DWORD got = 0;
        if (!sys::ReadFile(in.Get(), data.data() + have, sys::DWORD(size - have), got))
            return false;
        if (got == 0)
            break;
        have += got;
    }
    data.truncate(have);
    return true;
}

QString Name(const QString &path)
{
    return sys::ExtractFileName(path);
}

// Header bytes a piece holds besides its data.
sys::UINT64 HeaderBytes(const TJoinSet &set, int index)
{
    return index == 0 && set.hasHeader ? sys::UINT64(set.header.length) : 0;
}

} // namespace

sys::UINT64 TJoinSet::DataSize() const
{
    return total - (hasHeader ? sys::UINT64(header.length) : 0);
}

QString TJoinSet::OutputName() const
{
    if (hasHeader)
        if (const QString name = SafeFileName(header.name); !name.isEmpty())
            return name;
    if (hasChecksums)
        if (const QString name = SafeFileName(checksums.fileName); !name.isEmpty())
            return name;
    return stem;
}

TJoinSet FindPieces(const QString &folder, const QString &stem)
{
    TJoinSet set;
    set.folder = folder;
    set.stem = stem;
    struct Found {
        QString name;
        sys::UINT64 size;
    };
    QMap<int, Found> found;
    QString checksumName;
    sys::UINT64 checksumSize = 0;
    const QString wantedChecksum = ChecksumName(stem);
    const bool listed = sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &entry) {
        if (entry.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            return true;
        const sys::UINT64 size = sys::UINT64(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
        // Where names differ only in case, the one spelt like the stem wins.
        if (const int number = PieceNumber(stem, entry.cFileName)) {
            if (!found.contains(number) || entry.cFileName == PieceName(stem, number))
                found.insert(number, {entry.cFileName, size});
        } else if (entry.cFileName.compare(wantedChecksum, Qt::CaseInsensitive) == 0 &&
                   (checksumName.isEmpty() || entry.cFileName == wantedChecksum)) {
            checksumName = entry.cFileName;
            checksumSize = size;
        }
        return true;
    });
    if (!listed) {
        set.readFailure = LastFailure(folder);
        return set;
    }
    for (int number = 1; found.contains(number); ++number) {
        const Found &piece = found.value(number);
        set.pieces.append({sys::JoinPath(folder, piece.name), piece.size});
        set.total += piece.size;
    }
    if (!found.isEmpty())
        for (int number = int(set.pieces.size()) + 1; number < found.lastKey(); ++number)
            if (!found.contains(number))
                set.missing.append(PieceName(stem, number));

    if (!set.pieces.isEmpty()) {
        QByteArray start;
        if (!ReadStart(set.pieces.first().path, HeaderProbeSize, start)) {
            set.readFailure = LastFailure(set.pieces.first().path);
            return set;
        }
        set.hasHeader = ReadPieceHeader(start, set.header);
    }
    if (!checksumName.isEmpty()) {
        const QString path = sys::JoinPath(folder, checksumName);
        QByteArray text;
        if (checksumSize > maxChecksumFile) {
            set.readFailure = {int(sys::ERROR_INVALID_DATA), path,
                               QStringLiteral("This is too large to be a checksum file.")};
            return set;
        }
        if (!sys::ReadWholeFile(path, text)) {
            set.readFailure = LastFailure(path);
            return set;
        }
        set.hasChecksums = true;
        set.checksums = ReadChecksumFile(text);
    }
    return set;
}

QStringList SizeProblems(const TJoinSet &set)
{
    QStringList problems;
    for (const QString &name : set.missing)
        problems << QStringLiteral("%1 is missing.").arg(name);
    if (set.hasHeader && set.header.size != set.DataSize())
        problems << QStringLiteral("%1 says the file had %2 bytes; the pieces hold %3.")
                        .arg(Name(set.pieces.first().path), ThousandsText(set.header.size),
                             ThousandsText(set.DataSize()));
    if (!set.hasChecksums)
        return problems;

    const QString sums = ChecksumName(set.stem);
    if (set.checksums.pieces.isEmpty())
        problems << QStringLiteral("%1 lists no pieces.").arg(sums);
    if (set.checksums.unreadLines > 0)
        problems << QStringLiteral("%1 has %2 line(s) of no known form.")
                        .arg(sums)
                        .arg(set.checksums.unreadLines);
    if (set.checksums.hasTotal && set.checksums.total != set.DataSize())
        problems << QStringLiteral("%1 says the file had %2 bytes; the pieces hold %3.")
                        .arg(sums, ThousandsText(set.checksums.total),
                             ThousandsText(set.DataSize()));
    QStringList here;
    for (int i = 0; i < set.pieces.size(); ++i) {
        const QString name = Name(set.pieces[i].path);
        here << name;
        const TPieceSum *sum = set.checksums.Find(name);
        if (!sum) {
            problems << QStringLiteral("%1 is not listed in %2.").arg(name, sums);
            continue;
        }
        const sys::UINT64 data = set.pieces[i].size - HeaderBytes(set, i);
        if (sum->hasSize && sum->size != data)
            problems << QStringLiteral("%1 holds %2 bytes; %3 says %4.")
                            .arg(name, ThousandsText(data), sums, ThousandsText(sum->size));
        if (!sum->hasCrc)
            problems << QStringLiteral("%1 has no CRC in %2.").arg(name, sums);
    }
    for (const TPieceSum &sum : set.checksums.pieces)
        if (!here.contains(sum.name, Qt::CaseInsensitive) &&
            !set.missing.contains(sum.name, Qt::CaseInsensitive))
            problems << QStringLiteral("%1 is missing.").arg(sum.name);
    return problems;
}

namespace {

// One run of JoinFiles: the pieces read once, each checked against its CRC
// while it is written.
class TJoinRun {
public:
    TJoinRun(QObject *owner, const TJoinSet &set, const QString &output)
        : owner(owner), set(set), output(output), buffer(readBlock)
    {
    }
    TToolResult Write(sys::HANDLE out);

private:
    TToolResult WritePiece(int index, TSparseWriter &writer);
    // A piece whose CRC differs: the user says whether to go on (once).
    bool GoOnAfterDamage(const QString &problem);

    QObject *owner;
    const TJoinSet &set;
    QString output;
    std::vector<char> buffer;
    bool damageAccepted = false;
};

TToolResult TJoinRun::Write(sys::HANDLE out)
{
    TSparseWriter writer(out);
    for (int i = 0; i < set.pieces.size(); ++i)
        if (TToolResult result = WritePiece(i, writer); !result.Done())
            return result;
    if (!writer.Finish())
        return LastFailure(output);
    return {};
}

TToolResult TJoinRun::WritePiece(int index, TSparseWriter &writer)
{
    TCopyProgress &progress = CopyProgress();
    const TJoinPiece &piece = set.pieces[index];
    const QString name = Name(piece.path);
    progress.SetStartedCount(index + 1);
    progress.SetFileName(QStringLiteral("%1 (%2 bytes) ").arg(name, ThousandsText(piece.size)));
    QCoreApplication::processEvents();
    if (progress.Cancelled())
        return {resCancelled};
    TFileHandle in(OpenPiece(piece.path));
    if (!in.Valid())
        return LastFailure(piece.path);
    // The CRC covers the whole piece, header included; the header is not written.
    const sys::UINT64 skip = HeaderBytes(set, index);
    quint32 crc = quint32(crc32(0, nullptr, 0));
    for (sys::UINT64 done = 0; done < piece.size;) {
        const sys::DWORD want = sys::DWORD(std::min<sys::UINT64>(readBlock, piece.size - done));
        sys::DWORD got = 0;
        if (!sys::ReadFile(in.Get(), buffer.data(), want, got))
            return LastFailure(piece.path);
        if (got == 0)
            return Changed(piece.path);
        crc = quint32(crc32(crc, reinterpret_cast<const Bytef *>(buffer.data()), got));
        const sys::DWORD header =
            sys::DWORD(std::min<sys::UINT64>(got, skip - std::min(skip, done)));
        if (got > header && !writer.Write(buffer.data() + header, got - header))
            return LastFailure(output);
        done += got;
        progress.SetProgress(progress.Progress() + (got - header));
        if (progress.Cancelled())
            return {resCancelled};
    }
    if (sys::GetFileSize64(in.Get()) != piece.size)
        return Changed(piece.path);
    const TPieceSum *sum = set.hasChecksums ? set.checksums.Find(name) : nullptr;
    if (sum && sum->hasCrc && sum->crc != crc &&
        !GoOnAfterDamage(QStringLiteral("%1 is damaged: its CRC is %2, %3 says %4.")
                             .arg(name, CrcText(crc), ChecksumName(set.stem), CrcText(sum->crc))))
        return {resCancelled};
    return {};
}

bool TJoinRun::GoOnAfterDamage(const QString &problem)
{
    if (damageAccepted)
        return true;
    TCopyProgress &progress = CopyProgress();
    progress.PauseTimer();
    damageAccepted =
        Ask().MessageBox(owner, problem + QStringLiteral("\n\nJoin the pieces anyway?"),
                         LoadStr(594), MB_YESNO | MB_ICONWARNING) == mrYes;
    progress.RestartTimer();
    return damageAccepted;
}

} // namespace

TToolResult JoinFiles(QObject *owner, const TJoinSet &set, const QString &output)
{
    const TOperationGuard guard;
    // What the sizes tell is asked before anything is written.
    if (const QStringList problems = SizeProblems(set); !problems.isEmpty()) {
        QStringList shown = problems.mid(0, maxListed);
        if (problems.size() > maxListed)
            shown << QStringLiteral("... and %1 more.").arg(problems.size() - maxListed);
        const QString text =
            shown.join(QLatin1Char('\n')) + QStringLiteral("\n\nJoin the pieces anyway?");
        if (Ask().MessageBox(owner, text, LoadStr(594), MB_YESNO | MB_ICONWARNING) != mrYes)
            return {resCancelled};
    }
    const sys::DWORD existing = sys::GetFileAttributes(output);
    if (existing != sys::INVALID_FILE_ATTRIBUTES && (existing & sys::FILE_ATTRIBUTE_DIRECTORY))
        return {int(sys::ERROR_ALREADY_EXISTS), output};
    // Written under a temporary name, which becomes the output only when whole.
    QString temp;
    TFileHandle out(CreateTempBeside(output, sys::FILE_ATTRIBUTE_ARCHIVE, temp));
    if (!out.Valid())
        return LastFailure(output);

    TCopyProgress &progress = CopyProgress();
    progress.Open(true, LoadStr(594), int(set.pieces.size()), set.DataSize(), owner);
    progress.SetFrom(FolderDisplayName(set.folder));
    progress.SetTo(FolderDisplayName(sys::ExtractFilePath(output)));
    TJoinRun run(owner, set, output);
    TToolResult result = run.Write(out.Get());
    // Closing can report a late write failure.
    if (!out.Close() && result.Done())
        result = LastFailure(output);
    progress.Close();
    if (result.Done()) {
        if (existing != sys::INVALID_FILE_ATTRIBUTES) {
            if (const int code = ReplaceFile(temp, output))
                result = {code, output};
        } else if (!sys::MoveFile(temp, output)) {
            result = LastFailure(output);
        }
    }
    if (!result.Done())
        RemoveFile(temp);
    return result;
}

} // namespace kestrel
