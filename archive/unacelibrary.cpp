#include "archive/unacelibrary.h"

#include "archive/acecrypt.h"
#include "archive/codepage.h"
#include "archive/entrypath.h"
#include "archive/zipsource.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"

#include <QStringDecoder>

namespace kestrel {

namespace {

constexpr std::uint32_t attributeFolder = 0x10;

QString DecodeItemName(const QByteArray &stored)
{
    QByteArray bytes = stored;
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeOem(bytes, ZipCodePage());
}

int CodeOf(TAceDecodeResult result)
{
    switch (result) {
    case adrOk:
        return ucSuccess;
    case adrDamaged:
        return ucBadData;
    case adrUnknownMethod:
    case adrDictionaryLimit:
        return ucUnknownFormat;
    case adrReadFailed:
        return ucReadFailed;
    case adrStopped:
        return ucStopped;
    }
    return ucBadData;
}

} // namespace

class TUnaceLibrary::TVolume {
public:
    ~TVolume()
    {
        source.reset();
        if (file != sys::INVALID_HANDLE_VALUE)
            sys::CloseHandle(file);
    }
    sys::HANDLE file = sys::INVALID_HANDLE_VALUE;
    std::unique_ptr<TZipFileSource> source;
    TAceVolume heads;
};

// The packed bytes of the current item, part after part across volumes.
class TUnaceLibrary::TPacked : public TAceByteSource {
public:
    explicit TPacked(TUnaceLibrary &library) : library(library), part(library.current) {}

    long long Read(std::uint8_t *buffer, long long length) override
    {
        while (taken == part->packedSize) {
            if (!(part->flags & acfContinuesInNext))
                return 0;
            if (!library.NextVolume(true) || library.volume->heads.files.empty() ||
                !(library.volume->heads.files.front().flags & acfContinuedFromPrevious)) {
                missing = true;
                return -1;
            }
            part = &library.volume->heads.files.front();
            library.nextHeader = 1;
            taken = 0;
        }
        const long long want =
            (long long)std::min<std::uint64_t>(std::uint64_t(length), part->packedSize - taken);
        const long long got =
            library.volume->source->ReadAt(part->dataOffset + std::int64_t(taken), buffer, want);
        if (got <= 0)
            return -1;
        taken += std::uint64_t(got);
        return got;
    }
    // The CRC of the whole item is in its last part's header.
    std::uint32_t Crc() const { return part->crc; }
    bool Missing() const { return missing; }

private:
    TUnaceLibrary &library;
    const TAceFileHeader *part;
    std::uint64_t taken = 0;
    bool missing = false;
};

TUnaceLibrary::TUnaceLibrary() = default;
TUnaceLibrary::~TUnaceLibrary() = default;

bool TUnaceLibrary::OpenVolume(const QString &name, std::unique_ptr<TVolume> &opened)
{
    auto made = std::make_unique<TVolume>();
    made->file = sys::CreateFile(name, sys::GENERIC_READ, sys::FILE_SHARE_READ, sys::OPEN_EXISTING,
                                 sys::FILE_ATTRIBUTE_NORMAL);
    if (made->file == sys::INVALID_HANDLE_VALUE)
        return false;
    made->source = std::make_unique<TZipFileSource>(made->file);
    made->heads = ReadAceVolume(*made->source);
    opened = std::move(made);
    return true;
}

int TUnaceLibrary::Open(const QString &name, int openMode, TChangeVolume onChangeVolume,
                        TProcessData onProcessData)
{
    Close();
    archiveName = name;
    mode = openMode;
    changeVolume = std::move(onChangeVolume);
    processData = std::move(onProcessData);
    if (!OpenVolume(name, volume))
        return ucOpenFailed;
    if (volume->heads.error == aheNotAce) {
        volume.reset();
        return ucNotAce;
    }
    headError = volume->heads.error;
    solid = volume->heads.main.flags & acfSolid;
    decoder = std::make_unique<TAceDecoder>();
    return ucSuccess;
}

void TUnaceLibrary::Close()
{
    volume.reset();
    decoder.reset();
    folders.reset();
    current = nullptr;
    currentDone = true;
    nextHeader = 0;
    volumeIndex = 0;
    headError = aheNone;
}

void TUnaceLibrary::SetPassword(const QString &text)
{
    password = text.toUtf8();
}

QString TUnaceLibrary::VolumeName(int index) const
{
    // ".ace" is the first volume, then ".c00", ".c01" and on; a set opened
    // at a later volume counts on from its number.
    const QString file = sys::ExtractFileName(archiveName);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const QString base = archiveName.left(archiveName.size() - (dot < 0 ? 0 : file.size() - dot));
    const QString ext = dot < 0 ? QString() : file.mid(dot + 1);
    int first = -1;
    bool number = false;
    if (ext.size() >= 3 && ext[0].toLower() == QLatin1Char('c'))
        first = ext.mid(1).toInt(&number);
    if (!number)
        first = -1;
    const bool upper = !ext.isEmpty() && ext[0].isUpper();
    return base + (upper ? QLatin1String(".C") : QLatin1String(".c")) +
           QStringLiteral("%1").arg(first + index, 2, 10, QLatin1Char('0'));
}

bool TUnaceLibrary::NextVolume(bool ask)
{
    const QString name = VolumeName(volumeIndex + 1);
    const int expected = volume->heads.main.volume + 1;
    for (;;) {
        std::unique_ptr<TVolume> next;
        if (OpenVolume(name, next) && next->heads.error != aheNotAce &&
            next->heads.main.volume == expected) {
            volume = std::move(next);
            ++volumeIndex;
            nextHeader = 0;
            if (volume->heads.error != aheNone)
                headError = volume->heads.error;
            if (changeVolume)
                changeVolume(name, 1);
            return true;
        }
        if (!ask || !changeVolume || changeVolume(name, 0) == 0)
            return false;
    }
}

int TUnaceLibrary::ReadHeader(TUnaceItem &item)
{
    if (!volume)
        return ucReadFailed;
    if (mode == 1 && current && !currentDone) {
        // Pass over the rest of an item that was not read.
        while (current->flags & acfContinuesInNext) {
            if (!NextVolume(true) || volume->heads.files.empty())
                return ucNoNextVolume;
            current = &volume->heads.files.front();
            nextHeader = 1;
        }
    }
    currentDone = true;
    for (;;) {
        const auto &files = volume->heads.files;
        if (nextHeader < files.size()) {
            current = &files[nextHeader++];
            if (mode == 1 && (current->flags & acfContinuedFromPrevious))
                continue; // the end of an item begun before this volume
            break;
        }
        if (volume->heads.error != aheNone) {
            const TAceHeadError error = volume->heads.error;
            volume->heads.error = aheNone;
            return error == aheTruncated ? ucReadFailed : ucBadData;
        }
        if (mode != 1 || !(volume->heads.main.flags & acfMultiVolume) || !NextVolume(false))
            return -1;
    }
    item.name = DecodeItemName(current->name);
    item.flags = current->flags;
    item.packedSize = current->packedSize;
    item.size = current->size;
    item.time = current->time;
    item.attributes = current->attributes;
    currentDone = current->packedSize == 0 && !(current->flags & acfContinuesInNext);
    return ucSuccess;
}

int TUnaceLibrary::ProcessFile(int operation, const QString &destination)
{
    if (!current || mode != 1)
        return ucSuccess;
    if (operation == ucOperationExtract)
        return Extract(destination, true);
    // Skipping a member of a solid archive still runs it through the
    // decoder: the members after it build on its bytes.
    if (solid && !(current->attributes & attributeFolder))
        return Extract(destination, false);
    return ucSuccess;
}

int TUnaceLibrary::Extract(const QString &destination, bool write)
{
    // A copy: reading an item that goes on in the next volume replaces the
    // volume whose headers current points into.
    const TAceFileHeader item = *current;
    QString relative;
    const QString shown = DecodeItemName(item.name);
    if (write && !SafeEntryPath(shown, relative))
        return ucUnsafeName;
    if (write && !folders)
        folders = std::make_unique<TExtractFolders>(destination);
    const int depth = int(relative.count(QLatin1Char('\\')));
    if (item.attributes & attributeFolder) {
        if (folders->Make(relative, depth + 1) != TExtractFolders::efMade)
            return ucWriteFailed;
        return ucSuccess;
    }
    sys::HANDLE file = sys::INVALID_HANDLE_VALUE;
    QString temp;
    const QString target = sys::JoinPath(destination, relative);
    if (write) {
        if (folders->Make(relative, depth) != TExtractFolders::efMade)
            return ucWriteFailed;
        file = CreateTempBeside(target, sys::FILE_ATTRIBUTE_NORMAL, temp);
        if (file == sys::INVALID_HANDLE_VALUE)
            return ucWriteFailed;
    }
    int failure = ucSuccess;
    TPacked packed(*this);
    const auto sink = [&](const std::uint8_t *data, std::size_t length) {
        if (file != sys::INVALID_HANDLE_VALUE) {
            sys::DWORD done = 0;
            if (!sys::WriteFile(file, data, sys::DWORD(length), done) || done != length) {
                failure = sys::GetLastError() == sys::ERROR_DISK_FULL ? ucDiskFull : ucWriteFailed;
                return false;
            }
        }
        if (processData && processData(length) == 0) {
            failure = ucStopped;
            return false;
        }
        return true;
    };
    std::uint32_t crc = 0;
    TAceDecryptingSource decrypted(packed, password);
    TAceByteSource &input =
        (item.flags & acfEncrypted) ? static_cast<TAceByteSource &>(decrypted) : packed;
    const TAceDecodeResult result =
        decoder->Decode(input, item.method, item.params, item.size, sink, crc);
    currentDone = true;
    if (failure == ucSuccess) {
        if (packed.Missing())
            failure = ucNoNextVolume;
        else if (result != adrOk)
            failure = CodeOf(result);
        else if (crc != packed.Crc())
            failure = ucBadData;
    }
    if (!write)
        return failure;
    sys::FILETIME time;
    if (sys::DosDateTimeToFileTime(std::uint16_t(item.time >> 16), std::uint16_t(item.time), time))
        sys::SetFileTime(file, nullptr, nullptr, &time);
    if (!sys::CloseHandle(file) && failure == ucSuccess)
        failure = ucWriteFailed;
    if (failure != ucSuccess) {
        RemoveFile(temp);
        return failure;
    }
    const bool exists = sys::GetFileAttributes(target) != sys::INVALID_FILE_ATTRIBUTES;
    const int error = exists ? ReplaceFile(temp, target)
                             : (sys::MoveFile(temp, target) ? 0 : int(sys::GetLastError()));
    if (error != 0) {
        RemoveFile(temp);
        return ucWriteFailed;
    }
    if (item.attributes & sys::FILE_ATTRIBUTE_READONLY)
        sys::SetFileAttributes(target,
                               sys::GetFileAttributes(target) | sys::FILE_ATTRIBUTE_READONLY);
    return ucSuccess;
}

} // namespace kestrel
