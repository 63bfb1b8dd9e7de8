#include "archive/arj.h"

#include "archive/archiver.h"
#include "archive/archivestrings.h"
#include "archive/archivetype.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/messagelist.h"
#include "archive/staging.h"
#include "ops/ask.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"

#include <QCoreApplication>

namespace kestrel {

namespace {

constexpr int maxVolumes = 999;

} // namespace

TArj::TArj()
{
    ProgramPath = QStringLiteral("arj.exe");
}

QString TArj::NextVolume(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < path.lastIndexOf(QLatin1Char('\\')))
        return QString();
    const QString extension = path.mid(dot + 1);
    if (extension.compare(QLatin1String("arj"), Qt::CaseInsensitive) == 0)
        return path.left(dot + 1) + QLatin1Char(extension[0].isUpper() ? 'A' : 'a') +
               QLatin1String("01");
    bool number = false;
    const int n = extension.mid(1).toInt(&number);
    if (!number || extension.size() < 3 || n >= maxVolumes)
        return QString();
    return path.left(dot + 2) +
           QStringLiteral("%1").arg(n + 1, int(extension.size()) - 1, 10, QLatin1Char('0'));
}

void TArj::AddItem(const TArjHeader &header)
{
    QString path;
    const QString name = sys::DecodeName(header.name);
    if (!SafeEntryPath(name, path)) {
        UnsafeNames.append(name);
        return;
    }
    const QString key = sys::CaseKey(path);
    if (header.flags & arjContinued) {
        // The rest of an item the previous volume began.
        const int index = Files.IndexOf(path);
        if (index >= 0) {
            Files.Entry(index)->Size += header.size;
            Files.Entry(index)->PackedSize += header.packedSize;
            stored[key].crc.reset();
            return;
        }
    }
    auto entry = std::make_unique<TArchiveEntry>();
    entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    entry->Size = header.size;
    entry->PackedSize = header.packedSize;
    entry->Attributes = header.Attributes();
    sys::DosDateTimeToFileTime(std::uint16_t(header.dosTime >> 16),
                               std::uint16_t(header.dosTime & 0xFFFF), entry->Time);
    TStored item;
    item.name = QByteArray(header.name).replace('\\', '/');
    if (!(header.flags & arjVolume))
        item.crc = header.crc;
    stored.insert(key, item);
    if (entry->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
        if (Folders.IndexOf(path) < 0)
            AddFolder(path, std::move(entry));
    } else {
        AddFile(path, std::move(entry));
    }
}

bool TArj::ListVolume(const QString &path)
{
    const sys::HANDLE file = sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                             sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return false;
    TZipFileSource source(file);
    TArjReader reader(source);
    TArjHeader header;
    bool goesOn = false;
    if (reader.FindHeader() >= 0 && reader.ReadHeader(true, header) == arjRead) {
        while (reader.ReadHeader(false, header) == arjRead) {
            if (ListingStopped()) {
                goesOn = false;
                break;
            }
            AddItem(header);
            goesOn = header.flags & arjVolume;
            // Data that claims to reach past the end ends the listing.
            const sys::INT64 next = reader.Position() + sys::INT64(header.packedSize);
            if (next > source.Size())
                break;
            reader.Seek(next);
        }
    }
    sys::CloseHandle(file);
    return goesOn;
}

void TArj::ReadList()
{
    Files.Clear();
    Folders.Clear();
    UnsafeNames.clear();
    stored.clear();
    QString volume = FileName;
    for (int i = 0; i < maxVolumes && !volume.isEmpty() && ListVolume(volume); ++i)
        volume = NextVolume(volume);
    BuildFolders();
}

QStringList TArj::ExtractArguments(const QString &archive, const QString &folder,
                                   const QString &listFile) const
{
    QStringList args{QStringLiteral("x"), QStringLiteral("-v"), QStringLiteral("-y"), archive,
                     folder + QLatin1Char('/')};
    if (!listFile.isEmpty())
        args.append(QLatin1Char('!') + listFile);
    return args;
}

QStringList TArj::AddArguments(const QString &archive, const QString &listFile) const
{
    QStringList args{(AddOptions & aoMove) ? QStringLiteral("m") : QStringLiteral("a"),
                     QStringLiteral("-y")};
    if (AddOptions & aoRecurse)
        args.append(QStringLiteral("-r"));
    if (VolumeSize != 0)
        args.append(QStringLiteral("-v") + QString::number(VolumeSize));
    args.append(Compression == 2 ? QStringLiteral("-m0") : QStringLiteral("-m1"));
    args.append(archive);
    args.append(QLatin1Char('!') + listFile);
    return args;
}

void TArj::Extract(const QString &destination)
{
    if (FileName.isEmpty())
        return;
    Cancel = false;
    TArchiveMessages messages;
    const QString target = destination.isEmpty() ? sys::GetCurrentDirectory() : destination;
    QStringList names = Names;
    AppendFolderWildcards(names);
    const TEntrySelection selection(names);
    auto report = [this](int kind, sys::INT64 amount, const QString &name) {
        if (OnProgress && !Cancel)
            OnProgress(*this, kind, amount, name);
    };
    if (!UnsafeNames.isEmpty()) {
        const TOperationGuard guard;
        Ask().MessageBox(Owner,
                         ArchiveStr(amUnsafeArchive).replace(QLatin1String("%s"), FileName) +
                             QLatin1String("\n\n") + UnsafeNames.mid(0, 5).join(QLatin1Char('\n')),
                         ArchiveTypeName(atArj), MB_OK | MB_ICONERROR);
        report(apkEnd, 0, QString());
        return;
    }
    int count = 0;
    sys::UINT64 total = 0;
    QStringList listed;
    for (int i = 0; i < Files.Count(); ++i) {
        if (selection.Selects(Files.Key(i))) {
            ++count;
            total += Files.Entry(i)->Size;
            // The names as stored, which is how arj matches them.
            listed.append(sys::DecodeName(stored.value(sys::CaseKey(Files.Key(i))).name));
        }
    }
    report(apkItemCount, count, QString());
    report(apkByteTotal, sys::INT64(total), QString());
    {
        TStaging staging(*this, target, messages);
        TListFile list;
        const QString archive = NativeArgument(FileName);
        if (staging.Open() && (Names.isEmpty() || list.Write(listed))) {
            const QStringList args =
                ExtractArguments(archive, NativeArgument(staging.Folder()),
                                 Names.isEmpty() ? QString() : list.NativePath());
            RunArchiver(*this, args, staging.Folder(), ArchiveTypeName(atArj));
            for (int i = 0; i < Folders.Count() && !Cancel; ++i) {
                if (selection.Selects(Folders.Key(i)))
                    staging.PlaceFolder(Folders.Key(i));
            }
            for (int i = 0; i < Files.Count() && !Cancel; ++i) {
                const QString &key = Files.Key(i);
                if (!selection.Selects(key))
                    continue;
                const TArchiveEntry &entry = *Files.Entry(i);
                report(apkItem, sys::INT64(entry.Size), key);
                staging.Place(key, entry, stored.value(sys::CaseKey(key)).crc);
                report(apkBytes, sys::INT64(entry.Size), QString());
                if (QCoreApplication::instance())
                    QCoreApplication::processEvents();
            }
        }
    }
    report(apkEnd, 0, QString());
    messages.Show(Owner, amNotExtracted);
    Names.clear();
}

void TArj::Add()
{
    Added = false;
    TListFile list;
    if (!list.Write(Names)) {
        const TOperationGuard guard;
        Ask().MessageBox(Owner, ArchiveStr(30205), ArchiveTypeName(atArj), MB_OK | MB_ICONERROR);
        return;
    }
    Added = RunArchiver(*this, AddArguments(NativeArgument(FileName), list.NativePath()),
                        QString(), ArchiveTypeName(atArj));
}

} // namespace kestrel
