#include "find/filesearch.h"

#include "archive/archive.h"
#include "archive/archivetype.h"
#include "archive/handlers.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/filewalk.h"

#include <climits>
#include <vector>

namespace kestrel {

namespace {

// The dialogs belong to the GUI thread: an archive read during a search
// asks nobody. Its messages become the reason it was skipped, and every
// question (a password, the next volume) is answered with Cancel.
class TQuietAsk : public TAsk {
public:
    QString said;

    int MessageBox(QObject *, const QString &text, const QString &, unsigned) override
    {
        if (said.isEmpty())
            said = text;
        return mrCancel;
    }
    int GetString(QObject *, const QString &, const QString &, QString &, bool, bool,
                  bool) override
    {
        return mrCancel;
    }
    TFileExistsAnswer FileExists(QObject *, const TFileExistsQuestion &) override
    {
        return {};
    }
    int DeleteWarning(QObject *, const QString &, int, bool) override { return mrCancel; }
    bool SelectFolder(QObject *, const QString &, QString &) override { return false; }
    bool OpenFileName(QObject *, const QString &, const QString &, QString &) override
    {
        return false;
    }
    bool SaveFileName(QObject *, const QString &, const QString &, QString &) override
    {
        return false;
    }
    int SelectDrive(QObject *, QString &, const QStringList &, const QString &) override
    {
        return mrCancel;
    }
    bool SplitOptions(QObject *, TSplitForm &) override { return false; }
    int AdvancedRename(QObject *, TAdvancedRenameForm &) override { return mrCancel; }
    int RenameEntry(QObject *, TRenameForm &) override { return mrCancel; }
    int CharCase(QObject *, bool, bool &) override { return mrNo; }
    int AttributesTime(QObject *, TAttribForm &) override { return mrCancel; }
    int ArchiveOptions(QObject *, TArchiveForm &) override { return mrCancel; }
    void ArchiveProperties(QObject *, const TArchivePropForm &) override {}
};

class TThreadAskScope {
public:
    explicit TThreadAskScope(TAsk &ask) : previous(SetThreadAsk(&ask)) {}
    ~TThreadAskScope() { SetThreadAsk(previous); }
    TThreadAskScope(const TThreadAskScope &) = delete;
    TThreadAskScope &operator=(const TThreadAskScope &) = delete;

private:
    TAsk *previous;
};

QString Joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder + name : folder + QLatin1Char('\\') + name;
}

} // namespace

TFileSearch::TFileSearch(TFindOptions options)
    : options(std::move(options)), masks(this->options.masks),
      text(this->options.text, this->options.encoding, this->options.matchCase,
           this->options.wholeWords)
{
}

bool TFileSearch::Valid() const
{
    return options.text.isEmpty() || text.Valid();
}

QString TFileSearch::Problem() const
{
    return Valid() ? QString()
                   : QStringLiteral("The text has characters that the chosen encoding cannot "
                                    "hold.");
}

void TFileSearch::Run()
{
    if (!Valid())
        return;
    for (const QString &folder : options.folders) {
        if (Stopped())
            return;
        SearchFolder(folder);
    }
}

bool TFileSearch::Filtered(sys::UINT64 size, const sys::FILETIME &time,
                           sys::DWORD attributes) const
{
    if ((options.minSize && size < *options.minSize) ||
        (options.maxSize && size > *options.maxSize))
        return false;
    if ((options.after && sys::CompareFileTime(time, *options.after) < 0) ||
        (options.before && sys::CompareFileTime(time, *options.before) > 0))
        return false;
    return (attributes & options.withAttributes) == options.withAttributes &&
           (attributes & options.withoutAttributes) == 0;
}

void TFileSearch::SearchFolder(const QString &start)
{
    const bool needStat = options.minSize || options.maxSize || options.after || options.before ||
                          options.withAttributes || options.withoutAttributes;
    const bool byContent = !options.text.isEmpty();
    // The stored DOS bits are read only when the search asks about them.
    const sys::DWORD storedBits =
        sys::FILE_ATTRIBUTE_HIDDEN | sys::FILE_ATTRIBUTE_SYSTEM | sys::FILE_ATTRIBUTE_ARCHIVE;
    const bool readStored = ((options.withAttributes | options.withoutAttributes) & storedBits) != 0;
    const int maxDepth = options.depth < 0 ? INT_MAX : options.depth + 1;
    QString current;
    sys::FileWalkVisitor visitor;
    visitor.stop = [this] { return Stopped(); };
    visitor.skipped = [&](const QString &relative, sys::DWORD error) {
        if (OnSkipped)
            OnSkipped(relative.isEmpty() ? start : Joined(start, relative),
                      GetErrorMessage(int(error)));
    };
    visitor.visit = [&](sys::WalkEntry &entry, const QString &relative, int) {
        const sys::WalkKind kind = entry.Kind();
        const QString name = entry.Name();
        const QString below = relative.isEmpty() ? name : relative + QLatin1Char('\\') + name;
        if (OnFolder && relative != current) {
            current = relative;
            OnFolder(relative.isEmpty() ? start : Joined(start, relative));
        }
        const bool folder = kind == sys::WalkKind::Folder || kind == sys::WalkKind::FolderLink;
        // Contents are searched in files alone; special files are never opened.
        if ((!byContent || kind == sys::WalkKind::File) && masks.Matches(name, below)) {
            if ((needStat || OnFound) && entry.Stat(readStored) &&
                Filtered(folder ? 0 : entry.Size(), entry.LastWrite(), entry.Attributes())) {
                const QString path = Joined(start, below);
                if (!byContent || ContentMatches(entry, path)) {
                    TFoundItem item;
                    item.path = path;
                    item.size = folder ? 0 : entry.Size();
                    item.time = entry.LastWrite();
                    item.attributes = entry.Attributes();
                    if (OnFound)
                        OnFound(item);
                }
            }
        }
        if (options.inArchives && !byContent && kind == sys::WalkKind::File &&
            ArchiveTypeOf(name) != atNone)
            SearchArchive(Joined(start, below), below);
        return true;
    };
    if (!sys::WalkFiles(start, maxDepth, visitor) && OnSkipped)
        OnSkipped(start, GetErrorMessage(int(sys::GetLastError())));
}

bool TFileSearch::ContentMatches(sys::WalkEntry &entry, const QString &path)
{
    TTextSearch::Scan scan(text);
    bool found = false;
    const bool read = entry.Read(scan.Block(), scan.BlockSize(), [&](const char *data,
                                                                      std::size_t size) {
        found = scan.Feed(data, size);
        return !found && !Stopped();
    });
    if (!read) {
        if (OnSkipped)
            OnSkipped(path, GetErrorMessage(int(sys::GetLastError())));
        return false;
    }
    return found || (!Stopped() && scan.Finish());
}

void TFileSearch::SearchArchive(const QString &path, const QString &relative)
{
    std::unique_ptr<TArchive> archive = CreateArchiveHandler(ArchiveTypeOf(path));
    if (!archive)
        return;
    TQuietAsk quiet;
    {
        const TThreadAskScope scope(quiet);
        archive->OnChangeVolume = [](TArchive &, const QString &, int &result) {
            result = mrCancel;
        };
        // A long list (a big compressed tar) ends with the search.
        archive->StopListing = [this] { return Stopped(); };
        // Reads the list.
        archive->SetFileName(path);
    }
    if (!quiet.said.isEmpty() && OnSkipped)
        OnSkipped(path, quiet.said);
    const auto report = [&](const TArchiveEntries &entries, bool folders) {
        for (int i = 0; i < entries.Count() && !Stopped(); ++i) {
            const QString &key = entries.Key(i);
            const TArchiveEntry &entry = *entries.Entry(i);
            if (!masks.Matches(entry.Name, relative + QLatin1Char('\\') + key) ||
                !Filtered(folders ? 0 : entry.Size, entry.Time, entry.Attributes))
                continue;
            TFoundItem item;
            item.path = Joined(path, key);
            item.size = folders ? 0 : entry.Size;
            item.time = entry.Time;
            item.attributes = entry.Attributes | (folders ? sys::FILE_ATTRIBUTE_DIRECTORY : 0);
            item.inArchive = true;
            if (OnFound)
                OnFound(item);
        }
    };
    report(archive->Folders, true);
    report(archive->Files, false);
}

} // namespace kestrel
